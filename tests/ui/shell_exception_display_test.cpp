#include <gtest/gtest.h>

#include <QMessageBox>
#include <QStyle>
#include <QTest>
#include <QWidget>
#include <stdexcept>

#include "input/in_out_error.h"
#include "tests/ui/shell_modal_helper.h"
#include "tests/wait_for.h"
#include "ui/abort.h"
#include "ui/exception_display.h"

namespace kelmarin {
namespace {

TEST(ShellPeriodRule, APeriodFollowsEveryLastCharacterAboveThePeriod) {
    const std::pair<std::string, std::string> cases[] = {
        {"File not found", "File not found."},
        {"I/O error 999", "I/O error 999."},  // ends in a digit
        {"Closing.", "Closing."},
        {"Reading fil does not exist!", "Reading fil does not exist!"},  // "!" is 0x21
        {"range (0..100)", "range (0..100)"},                            // ")" is 0x29
        {"Why?", "Why?."},                                               // "?" is 0x3F
        {"a,", "a,"},                                                    // 0x2C
        {"a-", "a-"},                                                    // 0x2D
        {"a/", "a/."},                                                   // 0x2F
        {"caf\xc3\xa9", "caf\xc3\xa9."},  // a byte above 0x7F is above "." too
        {"ends in a blank ", "ends in a blank "},
        {"", ""},
    };
    for (const auto& [message, shown] : cases)
        EXPECT_EQ(WithClosingPeriod(message), shown) << message;
}

TEST(ShellPeriodRule, TheShownTextOfAFailure) {
    EXPECT_EQ(FailureMessage(std::make_exception_ptr(EInOutError(kIoFileNotFound))),
              QStringLiteral("File not found."));
    EXPECT_EQ(FailureMessage(std::make_exception_ptr(std::runtime_error("Stop!"))),
              QStringLiteral("Stop!"));
    EXPECT_EQ(FailureMessage(std::make_exception_ptr(42)), QString());
}

class EUserAbort : public EAbort {};

TEST(ShellExceptionDisplay, AbortAndItsDescendantsAreSilent) {
    EXPECT_TRUE(IsSilentFailure(std::make_exception_ptr(EAbort())));
    EXPECT_TRUE(IsSilentFailure(std::make_exception_ptr(EUserAbort())));
    EXPECT_FALSE(IsSilentFailure(std::make_exception_ptr(std::runtime_error("x"))));
    EXPECT_FALSE(IsSilentFailure(std::make_exception_ptr(EInOutError(kIoAccessDenied))));
}

TEST(ShellExceptionDisplay, TheMouseCaptureIsCancelledBeforeTheBoxEvenForAnAbort) {
    QWidget holder;
    holder.show();
    for (bool abort : {true, false}) {
        holder.grabMouse();
        ASSERT_EQ(QWidget::mouseGrabber(), &holder);
        QWidget* grabberWhileOpen = &holder;
        if (!abort)
            test::OnModal([&](QWidget* box) {
                grabberWhileOpen = QWidget::mouseGrabber();
                box->close();
            });
        ShowException(abort ? std::make_exception_ptr(EAbort())
                            : std::make_exception_ptr(std::runtime_error("Bad")));
        EXPECT_EQ(QWidget::mouseGrabber(), nullptr) << abort;
        if (!abort) {
            EXPECT_EQ(grabberWhileOpen, nullptr);
        }
    }
}

TEST(ShellExceptionDisplay, TheWindowActiveBeforeIsActiveAgainAfterTheBox) {
    QWidget mainWindow;
    mainWindow.show();
    mainWindow.activateWindow();
    ASSERT_TRUE(test::WaitFor([&] { return QApplication::activeWindow() == &mainWindow; }));
    test::OnModal([](QWidget* box) {
        QTest::mouseClick(qobject_cast<QMessageBox*>(box)->button(QMessageBox::Ok), Qt::LeftButton);
    });
    ShowException(std::make_exception_ptr(std::runtime_error("Bad")));
    ASSERT_TRUE(test::WaitFor([&] { return QApplication::activeWindow() == &mainWindow; }));
}

// A short message under the program's title: the title bar must have room for the caption in
// a bold title font beside the window's icon and three title buttons, or it shows cut.
TEST(ShellExceptionDisplay, TheBoxIsWideEnoughForTheTitleBarToShowTheCaptionWhole) {
    QFont bold = QApplication::font("QMdiSubWindowTitleBar");
    bold.setBold(true);
    const int bar = QApplication::style()->pixelMetric(QStyle::PM_TitleBarHeight);
    int width = 0, needed = 0;
    test::OnModal([&](QWidget* box) {
        width = box->width();
        needed = QFontMetrics(bold).horizontalAdvance(box->windowTitle()) + 4 * bar;
        box->close();
    });
    ShowException(std::make_exception_ptr(std::runtime_error("Disk full")));
    EXPECT_GE(width, needed);
}

}  // namespace
}  // namespace kelmarin
