#include "ui/message_form.h"

#include <QApplication>
#include <QClipboard>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <algorithm>

#include "platform/handler_guard.h"

namespace kelmarin {

namespace {

// Caption widths are measured once per run: the dialog font does not change.
std::array<int, kMessageButtonCount> cachedCaptionWidth = [] {
    std::array<int, kMessageButtonCount> w{};
    w.fill(-1);
    return w;
}();

int CaptionWidth(TMsgDlgBtn b, const QFontMetrics& fm) {
    int& w = cachedCaptionWidth.at(b);
    if (w < 0) w = fm.horizontalAdvance(ButtonCaption(b).remove(u'&'));
    return w;
}

QRect ScreenRect() {
    QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry() : QRect(0, 0, 640, 480);
}

QSize MeasureText(const QString& text, const QFontMetrics& fm) {
    const QRect bounds(0, 0, ScreenRect().width() / 2, 0);
    return fm.boundingRect(bounds, Qt::TextWordWrap | Qt::TextExpandTabs, text).size();
}

}  // namespace

int TitleBarWidth(const QString& caption) {
    // The caption in the title font, bold as most window managers draw it, beside the window's
    // icon and up to three title buttons, each about as wide as the bar is high, with a bar's
    // height of room left over.
    QFont font = QApplication::font("QMdiSubWindowTitleBar");
    font.setBold(true);
    const int bar = QApplication::style()->pixelMetric(QStyle::PM_TitleBarHeight);
    return QFontMetrics(font).horizontalAdvance(caption) + 5 * bar;
}

TMessageForm::TMessageForm(const QString& text, TMsgDlgType kind, TMsgDlgButtons buttons,
                           QWidget* parent)
    : QDialog(parent), set_(buttons) {
    setFont(QApplication::font("QMessageBox"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setWindowModality(Qt::ApplicationModal);
    setWindowTitle(MessageKindCaption(kind));
    BuildButtons(buttons);
    PlaceWidgets(text, kind);
}

void TMessageForm::BuildButtons(TMsgDlgButtons buttons) {
    const std::optional<TMsgDlgBtn> def = DefaultButton(buttons);
    const std::optional<TMsgDlgBtn> cancel = CancelButton(buttons);
    for (int i = 0; i < kMessageButtonCount; ++i) {
        const auto b = TMsgDlgBtn(i);
        if ((buttons & Buttons(b)) == 0) continue;
        auto* button = new QPushButton(ButtonCaption(b), this);
        button->setObjectName(ButtonName(b));
        // Enter presses the focused button; the default one only when none has the focus.
        button->setAutoDefault(true);
        button->setDefault(def == b);
        if (cancel == b) cancel_ = button;
        if (const int result = ButtonResult(b); result != mrNone)
            connect(button, &QPushButton::clicked, this,
                    [this, result] { RunHandler([this, result] { done(result); }); });
        buttons_.at(b) = button;
    }
}

void TMessageForm::PlaceWidgets(const QString& text, TMsgDlgType kind) {
    const QFontMetrics fm(font());
    const QString letters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    const int u = fm.horizontalAdvance(letters) / 52;
    const int v = fm.height();

    int buttonWidth = MinimumButtonWidth(u);
    int count = 0;
    for (int i = 0; i < kMessageButtonCount; ++i) {
        if (buttons_.at(i) == nullptr) continue;
        buttonWidth = std::max(buttonWidth, CaptionWidth(TMsgDlgBtn(i), fm) + 8);
        ++count;
    }
    const QIcon icon = MessageKindIcon(kind);
    layout_ = LayoutMessage(u, v, MeasureText(text, fm), buttonWidth, count, !icon.isNull(),
                            TitleBarWidth(windowTitle()));

    if (!icon.isNull()) {
        auto* image = new QLabel(this);
        image->setObjectName(QStringLiteral("Image"));
        image->setPixmap(icon.pixmap(kMessageIconSize, kMessageIconSize));
        image->setGeometry(layout_.icon);
    }
    auto* message = new QLabel(text, this);
    message->setObjectName(QStringLiteral("Message"));
    message->setTextFormat(Qt::PlainText);
    message->setWordWrap(true);
    message->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    message->setGeometry(layout_.text);

    int placed = 0;
    QPushButton* first = nullptr;
    for (QPushButton* button : buttons_) {
        if (button == nullptr) continue;
        button->setGeometry(layout_.buttons.at(placed++));
        if (first == nullptr) first = button;
    }
    if (first != nullptr) first->setFocus();

    setFixedSize(layout_.client);
    const QRect screen = ScreenRect();
    move(screen.x() + (screen.width() - width()) / 2,
         screen.y() + (screen.height() - height()) / 2);
}

QString TMessageForm::ClipboardText() const {
    QStringList captions;
    for (const QPushButton* button : buttons_)
        if (button != nullptr) captions << button->text();
    const auto* message = findChild<QLabel*>(QStringLiteral("Message"));
    return MessageClipboardText(windowTitle(), message ? message->text() : QString(), captions);
}

void TMessageForm::reject() { done(mrCancel); }

void TMessageForm::CopyToClipboard() {
    QApplication::beep();
    QGuiApplication::clipboard()->setText(ClipboardText());
}

bool TMessageForm::PressAccessKey(QChar key) {
    std::vector<QPushButton*> matches;
    for (QPushButton* button : buttons_)
        if (button != nullptr && AccessKey(button->text()) == key) matches.push_back(button);
    if (matches.empty()) return false;
    if (matches.size() == 1) {
        matches.front()->click();
        return true;
    }
    // Several buttons share the letter: the focus moves to the next of them, nothing is pressed.
    const auto current = std::find(matches.begin(), matches.end(), focusWidget());
    const auto next =
        (current == matches.end() || current + 1 == matches.end()) ? matches.begin() : current + 1;
    (*next)->setFocus(Qt::ShortcutFocusReason);
    return true;
}

void TMessageForm::MoveFocus(bool forward) { focusNextPrevChild(forward); }

void TMessageForm::keyPressEvent(QKeyEvent* event) {
    RunHandler([&] { HandleKey(event); });
}

void TMessageForm::HandleKey(QKeyEvent* event) {
    const Qt::KeyboardModifiers mods = event->modifiers() & ~Qt::KeypadModifier;
    if (event->key() == Qt::Key_C && mods == Qt::ControlModifier) {
        CopyToClipboard();
        return;
    }
    if (event->key() == Qt::Key_Escape && mods == Qt::NoModifier) {
        // Without a cancel button Esc does nothing at all.
        if (cancel_ != nullptr) cancel_->click();
        return;
    }
    if (mods == Qt::NoModifier || mods == Qt::ShiftModifier || mods == Qt::AltModifier) {
        switch (event->key()) {
            case Qt::Key_Left:
            case Qt::Key_Up:
                MoveFocus(false);
                return;
            case Qt::Key_Right:
            case Qt::Key_Down:
                MoveFocus(true);
                return;
            default:
                break;
        }
        const QString typed = event->text();
        if (typed.size() == 1 && typed.at(0).isLetterOrNumber() &&
            PressAccessKey(typed.at(0).toUpper()))
            return;
    }
    QDialog::keyPressEvent(event);
}

}  // namespace kelmarin
