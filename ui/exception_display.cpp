#include "ui/exception_display.h"

#include <QApplication>
#include <QGridLayout>
#include <QMessageBox>
#include <QPointer>
#include <QWidget>

#include "ui/abort.h"
#include "ui/application.h"
#include "ui/message_form.h"

namespace kelmarin {

std::string WithClosingPeriod(std::string message) {
    // Bytes compare unsigned: a message ending in a non-ASCII letter gets its period too.
    if (!message.empty() && static_cast<unsigned char>(message.back()) > '.') message += '.';
    return message;
}

QString FailureMessage(std::exception_ptr failure) {
    try {
        std::rethrow_exception(failure);
    } catch (const std::exception& e) {
        return QString::fromLocal8Bit(WithClosingPeriod(e.what()));
    } catch (...) {
        return QString();
    }
}

bool IsSilentFailure(std::exception_ptr failure) {
    try {
        std::rethrow_exception(failure);
    } catch (const EAbort&) {
        return true;
    } catch (...) {
        return false;
    }
}

namespace {

// A widget holding the mouse would keep it while the box is open.
void CancelMouseCapture() {
    if (QWidget* grabber = QWidget::mouseGrabber()) grabber->releaseMouse();
}

void ShowErrorBox(const QString& text) {
    QPointer<QWidget> previous = QApplication::activeWindow();
    QPointer<QWidget> previousFocus = QApplication::focusWidget();
    QMessageBox box(QMessageBox::Critical, ApplicationTitle(), text, QMessageBox::Ok);
    box.setWindowModality(Qt::ApplicationModal);
    box.setTextFormat(Qt::PlainText);
    // The box sizes itself to its content; a row of the caption's width keeps it wide enough
    // for the title bar to show the caption whole.
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout()))
        grid->addItem(new QSpacerItem(TitleBarWidth(box.windowTitle()), 0), grid->rowCount(), 0, 1,
                      grid->columnCount());
    box.exec();
    box.hide();
    if (previous && previous->isVisible()) previous->activateWindow();
    if (previousFocus && previousFocus->isVisible()) previousFocus->setFocus();
}

}  // namespace

void ShowException(std::exception_ptr failure) {
    if (!failure) return;
    CancelMouseCapture();
    if (IsSilentFailure(failure)) return;
    ShowErrorBox(FailureMessage(failure));
}

}  // namespace kelmarin
