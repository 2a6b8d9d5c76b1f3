#include "ui/about_box.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QWindow>

#include "platform/font.h"
#include "platform/handler_guard.h"
#include "resources/resource_paths.h"
#include "ui/jpeg_image.h"
#include "ui/picture_shrink.h"
#include "ui_about_box.h"

namespace kelmarin {

namespace {

// The OK button's result code; it has no effect since the box is never shown modally.
constexpr int kOkResult = 1;

}  // namespace

TAboutBox::TAboutBox(QWidget* parent) : TAboutBox(ResourceBytes(kAboutPicturePath), parent) {}

TAboutBox::TAboutBox(const QByteArray& picture, QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::AboutBox>()) {
    ui_->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    // The design's size and font height are logical pixels, which Qt scales by the device pixel
    // ratio; the window font's "0" does not rescale them.
    setFixedSize(367, 262);
    // Closing the about box must never end the program.
    setAttribute(Qt::WA_QuitOnClose, false);
    setFont(MakeFont(QStringLiteral("MS Sans Serif"), -14));
    for (QLabel* label : {ui_->Label1, ui_->Label2, ui_->Label3, ui_->Label4}) {
        label->adjustSize();
    }
    ShowPicture(picture);
    connect(ui_->OKButton, &QPushButton::clicked, this,
            [this] { RunHandler([this] { OKButtonClick(); }); });
}

TAboutBox::~TAboutBox() = default;

void TAboutBox::ShowPicture(const QByteArray& picture) {
    const QImage shrunk =
        ShrinkToFit(DecodeJpeg(picture), ui_->Image2->size(), ui_->Image2->devicePixelRatioF());
    ui_->Image2->setPixmap(QPixmap::fromImage(shrunk, Qt::NoFormatConversion));
}

void TAboutBox::Show() {
    if (isVisible()) return;
    setVisible(true);
    raise();
    activateWindow();
    ui_->OKButton->setFocus(Qt::ActiveWindowFocusReason);
}

void TAboutBox::setVisible(bool visible) {
    if (visible && !placed_ && !isVisible()) {
        CentreOnScreen();
        placed_ = true;
    }
    QDialog::setVisible(visible);
}

void TAboutBox::OKButtonClick() {
    setResult(kOkResult);
    hide();
}

void TAboutBox::keyPressEvent(QKeyEvent* event) {
    // The box has no cancel button, so Esc does nothing (a dialog would otherwise close).
    if (event->matches(QKeySequence::Cancel)) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TAboutBox::CentreOnScreen() {
    const QScreen* target = screen() ? screen() : QGuiApplication::primaryScreen();
    if (!target) return;
    const QRect area = target->geometry();
    // The frame is known once the window exists; move() places the frame's corner.
    winId();
    const QSize outer = size().grownBy(windowHandle()->frameMargins());
    move(area.x() + (area.width() - outer.width()) / 2,
         area.y() + (area.height() - outer.height()) / 2);
}

}  // namespace kelmarin
