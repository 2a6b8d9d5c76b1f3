#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QWindow>
#include <vector>

#include "input/in_out_error.h"
#include "platform/handler_guard.h"
#include "tests/ui/shell_modal_helper.h"
#include "ui/abort.h"
#include "ui/application.h"
#include "ui/message_dialog.h"

namespace kelmarin {
namespace {

TEST(ShellTitle, DerivedFromTheProgramFileName) {
    const std::pair<const char*, const char*> cases[] = {
        {"/usr/bin/kelmarin", "kelmarin"},
        {"/opt/KELMARIN.EXE", "Kelmarin"},
        {"/opt/Kelmarin.exe", "Kelmarin"},
        {"/home/me/bin/kel.mar.in", "kel"},
        {"/srv/app.d/ProgName", "Progname"},  // a dot in a folder name is not the extension
        {"relative/Tool", "Tool"},
        {"Bare", "Bare"},
        {"/home/me/.hidden", ""},
        {"/x/9LIVES.bin", "9lives"},
        {"", ""},
    };
    for (const auto& [path, title] : cases)
        EXPECT_EQ(TitleFromProgramPath(QString::fromLatin1(path)), QString::fromLatin1(title))
            << path;
}

TEST(ShellTitle, TheRunningProgramsTitleComesFromItsOwnFile) {
    ASSERT_NE(TApplication::Instance(), nullptr);
    EXPECT_EQ(ApplicationTitle(), QStringLiteral("ui_shell_tests"));
}

// Records the events it gets; its handler fails when told to, and runs as the program's own
// handlers do, so that the failure is caught before it reaches Qt.
class Recorder : public QObject {
  public:
    std::vector<int> seen;
    int failOn = -1;
    bool abortOn = false;

    bool event(QEvent* e) override {
        if (e->type() < QEvent::User) return QObject::event(e);
        const int n = e->type() - QEvent::User;
        seen.push_back(n);
        RunHandler([&] {
            if (n != failOn) return;
            if (abortOn) throw EAbort();
            throw EInOutError(kIoFileNotFound);
        });
        return true;
    }
    void Post(int n) {
        QCoreApplication::postEvent(this, new QEvent(QEvent::Type(QEvent::User + n)));
    }
};

TEST(ShellPendingEvents, HandlesEveryWaitingEventInArrivalOrder) {
    Recorder r;
    for (int n : {3, 1, 2}) r.Post(n);
    ProcessPendingEvents();
    EXPECT_EQ(r.seen, (std::vector<int>{3, 1, 2}));
    ProcessPendingEvents();  // nothing waiting: returns at once
    EXPECT_EQ(r.seen.size(), 3u);
}

TEST(ShellPendingEvents, AFailureInAHandlerReachesTheCallerAndNoBoxIsShown) {
    Recorder r;
    r.failOn = 2;
    for (int n : {1, 2}) r.Post(n);
    bool boxShown = false;
    test::OnModal(
        [&](QWidget* w) {
            boxShown = true;
            w->close();
        },
        0);
    try {
        ProcessPendingEvents();
        ADD_FAILURE() << "the failure did not reach the caller";
    } catch (const EInOutError& e) {
        EXPECT_EQ(e.ErrorCode(), kIoFileNotFound);
    }
    QCoreApplication::processEvents();  // let the watcher look
    EXPECT_FALSE(boxShown);
    // The failure was handed over once: the next call has nothing to report.
    r.Post(3);
    EXPECT_NO_THROW(ProcessPendingEvents());
    EXPECT_EQ(r.seen, (std::vector<int>{1, 2, 3}));
}

TEST(ShellPendingEvents, ASecondFailureInTheSamePassIsShownNotLost) {
    Recorder r;
    r.failOn = 1;
    Recorder other;
    other.failOn = 2;
    r.Post(1);
    other.Post(2);
    QString shown;
    test::OnModal([&](QWidget* w) {
        shown = qobject_cast<QMessageBox*>(w)->text();
        w->close();
    });
    EXPECT_THROW(ProcessPendingEvents(), EInOutError);
    EXPECT_EQ(shown, QStringLiteral("File not found."));
}

TEST(ShellPendingEvents, AnAbortAlsoReachesTheCaller) {
    Recorder r;
    r.failOn = 1;
    r.abortOn = true;
    r.Post(1);
    EXPECT_THROW(ProcessPendingEvents(), EAbort);
}

TEST(ShellPendingEvents, AFailureInsideAnOpenDialogLeavesTheDialogsCall) {
    Recorder r;
    r.failOn = 5;
    bool closedByFailure = false;
    test::OnMessageForm([&](TMessageForm* form) {
        r.Post(5);
        QCoreApplication::processEvents();
        closedByFailure = !form->isVisible();
        if (form->isVisible()) form->close();
    });
    EXPECT_THROW(ShowMessageDialog("text", TMsgDlgType::mtWarning, Buttons(mbOK)), EInOutError);
    EXPECT_TRUE(closedByFailure);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

// A button whose click handler fails, as a file error would.
struct FailingButton {
    QPushButton button{QStringLiteral("START")};
    int clicks = 0;
    bool abort = false;
    FailingButton() {
        QObject::connect(&button, &QPushButton::clicked, [this] {
            RunHandler([this] {
                ++clicks;
                if (abort) throw EAbort();
                throw EInOutError(kIoFileNotFound);
            });
        });
        button.show();
    }
};

TEST(ShellExceptionDisplay, AFailureLeavingAHandlerIsShownAndTheProgramGoesOn) {
    FailingButton f;
    QString title, text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
    test::OnModal([&](QWidget* w) {
        auto* box = qobject_cast<QMessageBox*>(w);
        ASSERT_NE(box, nullptr);
        title = box->windowTitle();
        text = box->text();
        icon = box->icon();
        buttons = box->standardButtons();
        QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
    });
    QTest::mouseClick(&f.button, Qt::LeftButton);
    EXPECT_EQ(title, ApplicationTitle());
    EXPECT_EQ(text, QStringLiteral("File not found."));
    EXPECT_EQ(icon, QMessageBox::Critical);
    EXPECT_EQ(buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);

    // The window is usable again: the next click reaches the handler.
    test::OnModal([](QWidget* w) { w->close(); });
    QTest::mouseClick(&f.button, Qt::LeftButton);
    EXPECT_EQ(f.clicks, 2);
}

TEST(ShellExceptionDisplay, AnAbortLeavingAHandlerIsDroppedSilently) {
    FailingButton f;
    f.abort = true;
    bool boxShown = false;
    test::OnModal(
        [&](QWidget* w) {
            boxShown = true;
            w->close();
        },
        0);
    QTest::mouseClick(&f.button, Qt::LeftButton);
    QCoreApplication::processEvents();
    EXPECT_EQ(f.clicks, 1);
    EXPECT_FALSE(boxShown);
}

TEST(ShellTermination, AnOpenDialogClosesWithTwoAndLaterOnesCloseAtOnce) {
    QWidget mainWindow;
    int open = -1, later = -1;
    bool laterShown = false;
    QTimer::singleShot(0, [&] {
        test::OnMessageForm([](TMessageForm*) { RequestTermination(); });
        open = ShowMessageDialog(QStringLiteral("You are closing the program. Are you sure?"),
                                 TMsgDlgType::mtConfirmation, Buttons(mbYes, mbNo));
        test::OnModal(
            [&](QWidget* w) {
                laterShown = true;
                w->close();
            },
            0);
        later = ShowMessageDialog("END PROCESSING !", TMsgDlgType::mtCustom, Buttons(mbOK));
    });
    EXPECT_EQ(TApplication::Instance()->Run(&mainWindow), 0);
    EXPECT_EQ(open, 2);
    EXPECT_EQ(later, 2);
    EXPECT_FALSE(laterShown);
    EXPECT_FALSE(TerminationRequested()) << "Run leaves the flag clear";
}

// The shell only requests termination: a busy handler is not interrupted (whether it stops is
// its own choice), its later dialogs close at once, and the loop ends when it returns.
TEST(ShellTermination, ClosingTheMainWindowDuringABusyHandlerEndsTheLoopWhenItReturns) {
    QWidget mainWindow;
    std::vector<std::string> steps;
    QTimer::singleShot(0, [&] {
        // The close arrives while the handler lets pending events run.
        QTimer::singleShot(0, [&] { mainWindow.windowHandle()->close(); });
        for (int i = 0; i < 3; ++i) {
            ProcessPendingEvents();
            steps.push_back(TerminationRequested() ? "events after close" : "events");
        }
        ShowPlainMessage(QStringLiteral("END PROCESSING !"));
        steps.push_back("handler's end");
    });
    TApplication::Instance()->Run(&mainWindow);
    EXPECT_EQ(steps, (std::vector<std::string>{"events after close", "events after close",
                                               "events after close", "handler's end"}));
    EXPECT_FALSE(mainWindow.isVisible());
}

TEST(ShellTermination, ARequestBeforeTheLoopStartsIsStillMet) {
    QWidget mainWindow;
    RequestTermination();
    EXPECT_EQ(TApplication::Instance()->Run(&mainWindow), 0);
    // The loop machinery is usable again afterwards.
    test::OnMessageForm([](TMessageForm* f) { QTest::keyClick(test::KeyTarget(f), Qt::Key_Y); });
    EXPECT_EQ(ShowMessageDialog("q", TMsgDlgType::mtConfirmation, Buttons(mbYes, mbNo)), 6);
}

}  // namespace
}  // namespace kelmarin
