#include "ui/message_dialog.h"

#include <gtest/gtest.h>

#include <QClipboard>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QStyle>
#include <QTest>
#include <QWindow>
#include <optional>

#include "tests/ui/shell_modal_helper.h"
#include "tests/wait_for.h"
#include "ui/application.h"
#include "ui/message_form.h"

namespace kelmarin {
namespace {

using test::ButtonNamed;
using test::KeyTarget;
using test::OnMessageForm;

const QString kExitQuestion = QStringLiteral("You are closing the program. Are you sure?");
const QString kNotSelected = QStringLiteral("Reading file not selected!");

int AskExit() {
    return ShowMessageDialog(kExitQuestion, TMsgDlgType::mtConfirmation, Buttons(mbYes, mbNo), 0);
}
int ReportNotSelected() {
    return ShowMessageDialog(kNotSelected, TMsgDlgType::mtError, Buttons(mbAbort), 0);
}

// The close box: the window system asks the window to close.
void CloseByCloseBox(QWidget* form) { form->windowHandle()->close(); }

TEST(MessageDialogExitConfirmation, EnterPressesYesWhichHasTheFocusAndIsTheDefault) {
    bool checked = false;
    OnMessageForm([&](TMessageForm* form) {
        QPushButton* yes = ButtonNamed(form, "Yes");
        checked = yes != nullptr && form->focusWidget() == yes && yes->isDefault();
        QTest::keyClick(KeyTarget(form), Qt::Key_Return);
    });
    EXPECT_EQ(AskExit(), 6);
    EXPECT_TRUE(checked);
}

TEST(MessageDialogExitConfirmation, EscPressesNo) {
    OnMessageForm([](TMessageForm* form) { QTest::keyClick(KeyTarget(form), Qt::Key_Escape); });
    EXPECT_EQ(AskExit(), 7);
}

TEST(MessageDialogExitConfirmation, CloseBoxGivesTwo) {
    OnMessageForm(CloseByCloseBox);
    EXPECT_EQ(AskExit(), 2);
}

TEST(MessageDialogExitConfirmation, AccessLettersPressTheirButtons) {
    const std::pair<Qt::Key, int> cases[] = {{Qt::Key_Y, 6}, {Qt::Key_N, 7}};
    for (const auto& [key, expected] : cases) {
        OnMessageForm([key = key](TMessageForm* form) { QTest::keyClick(KeyTarget(form), key); });
        EXPECT_EQ(AskExit(), expected) << "key " << key;
    }
}

TEST(MessageDialogExitConfirmation, EnterPressesTheFocusedButtonRatherThanTheDefault) {
    OnMessageForm([](TMessageForm* form) {
        QTest::keyClick(KeyTarget(form), Qt::Key_Tab);
        QTest::keyClick(KeyTarget(form), Qt::Key_Return);
    });
    EXPECT_EQ(AskExit(), 7);
}

TEST(MessageDialogExitConfirmation, CtrlCCopiesSevenLinesAndLeavesTheDialogOpen) {
    QGuiApplication::clipboard()->clear();
    bool stillOpen = false;
    OnMessageForm([&](TMessageForm* form) {
        QTest::keyClick(KeyTarget(form), Qt::Key_C, Qt::ControlModifier);
        stillOpen = form->isVisible();
        QTest::keyClick(KeyTarget(form), Qt::Key_Escape);
    });
    EXPECT_EQ(AskExit(), 7);
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(QGuiApplication::clipboard()->text(),
              QStringLiteral("---------------------------\r\n"
                             "Confirm\r\n"
                             "---------------------------\r\n"
                             "You are closing the program. Are you sure?\r\n"
                             "---------------------------\r\n"
                             "Yes   No   \r\n"
                             "---------------------------\r\n"));
}

TEST(MessageDialogAbortOnly, EscDoesNothingAndTheCloseBoxGivesTwo) {
    bool openAfterEsc = false;
    OnMessageForm([&](TMessageForm* form) {
        QTest::keyClick(KeyTarget(form), Qt::Key_Escape);
        openAfterEsc = form->isVisible();
        CloseByCloseBox(form);
    });
    EXPECT_EQ(ReportNotSelected(), 2);
    EXPECT_TRUE(openAfterEsc);
}

TEST(MessageDialogAbortOnly, EnterClickAndAccessLetterGiveThree) {
    const std::function<void(TMessageForm*)> ways[] = {
        [](TMessageForm* f) { QTest::keyClick(KeyTarget(f), Qt::Key_Return); },
        [](TMessageForm* f) { QTest::mouseClick(ButtonNamed(f, "Abort"), Qt::LeftButton); },
        [](TMessageForm* f) { QTest::keyClick(KeyTarget(f), Qt::Key_A); },
    };
    for (const auto& way : ways) {
        OnMessageForm(way);
        EXPECT_EQ(ReportNotSelected(), 3);
    }
}

TEST(MessageDialogPlain, BearsTheTitleNoIconAndOneOkButtonThatIsDefaultAndCancel) {
    const std::pair<Qt::Key, const char*> keys[] = {{Qt::Key_Return, "Enter"},
                                                    {Qt::Key_Escape, "Esc"}};
    for (const auto& [key, label] : keys) {
        bool checked = false;
        bool closed = false;
        OnMessageForm([&, key = key](TMessageForm* form) {
            const auto buttons = form->findChildren<QPushButton*>();
            checked = form->windowTitle() == ApplicationTitle() &&
                      form->findChild<QLabel*>(QStringLiteral("Image")) == nullptr &&
                      buttons.size() == 1 && buttons.front()->objectName() == "OK" &&
                      buttons.front()->isDefault();
            QTest::keyClick(KeyTarget(form), key);
            closed = !form->isVisible();
        });
        ShowPlainMessage(QStringLiteral("END PROCESSING !"));
        EXPECT_TRUE(checked) << label;
        EXPECT_TRUE(closed) << label;
    }
}

TEST(MessageDialogRunning, OtherWindowsAreBlockedWhileOpenAndTheActiveOneReturnsAfter) {
    QWidget mainWindow;
    mainWindow.show();
    mainWindow.activateWindow();
    ASSERT_TRUE(test::WaitFor([&] { return QApplication::activeWindow() == &mainWindow; }));
    bool blocked = false;
    OnMessageForm([&](TMessageForm* form) {
        blocked = QApplication::activeModalWidget() == form && form->isModal() &&
                  form->windowModality() == Qt::ApplicationModal;
        QTest::keyClick(KeyTarget(form), Qt::Key_Return);
    });
    EXPECT_EQ(AskExit(), 6);
    EXPECT_TRUE(blocked);
    ASSERT_TRUE(test::WaitFor([&] { return QApplication::activeWindow() == &mainWindow; }));
}

struct KindCase {
    TMsgDlgType kind;
    const char* caption;
    std::optional<QStyle::StandardPixmap> icon;
};

TEST(MessageDialogKinds, CaptionAndStandardIconOfEachKind) {
    const KindCase cases[] = {
        {TMsgDlgType::mtWarning, "Warning", QStyle::SP_MessageBoxWarning},
        {TMsgDlgType::mtError, "Error", QStyle::SP_MessageBoxCritical},
        {TMsgDlgType::mtInformation, "Information", QStyle::SP_MessageBoxInformation},
        {TMsgDlgType::mtConfirmation, "Confirm", QStyle::SP_MessageBoxQuestion},
        {TMsgDlgType::mtCustom, nullptr, std::nullopt},
    };
    for (const KindCase& c : cases) {
        TMessageForm form(QStringLiteral("text"), c.kind, Buttons(mbOK));
        const QString caption = c.caption ? QString::fromLatin1(c.caption) : ApplicationTitle();
        EXPECT_EQ(form.windowTitle(), caption);
        const auto* image = form.findChild<QLabel*>(QStringLiteral("Image"));
        ASSERT_EQ(image != nullptr, c.icon.has_value()) << c.caption;
        if (!c.icon) continue;
        const QImage expected =
            QApplication::style()->standardIcon(*c.icon).pixmap(32, 32).toImage();
        EXPECT_EQ(image->pixmap().toImage(), expected) << c.caption;
    }
}

struct ButtonRow {
    const char* name;
    const char* caption;
    int result;
};

// Every button, in the order they must appear, with its caption and result code.
constexpr ButtonRow kButtonTable[] = {
    {"Yes", "&Yes", 6},
    {"No", "&No", 7},
    {"OK", "OK", 1},
    {"Cancel", "Cancel", 2},
    {"Abort", "&Abort", 3},
    {"Retry", "&Retry", 4},
    {"Ignore", "&Ignore", 5},
    {"All", "&All", 8},
    {"NoToAll", "N&o to All", 9},
    {"YesToAll", "Yes to &All", 10},
    {"Help", "&Help", 0},
};

TEST(MessageDialogButtons, AllElevenInOrderWithTheirNamesCaptionsAndWidths) {
    TMessageForm form(QStringLiteral("text"), TMsgDlgType::mtWarning, 0x7FF);
    int previousRight = -1;
    int width = -1;
    for (const ButtonRow& row : kButtonTable) {
        QPushButton* b = ButtonNamed(&form, row.name);
        ASSERT_NE(b, nullptr) << row.name;
        EXPECT_EQ(b->text(), QString::fromLatin1(row.caption));
        EXPECT_GT(b->x(), previousRight) << row.name << " is out of order";
        if (width >= 0) {
            EXPECT_EQ(b->width(), width) << row.name;
        }
        width = b->width();
        EXPECT_GE(width, b->fontMetrics().horizontalAdvance(QString(row.caption).remove('&')) + 8);
        previousRight = b->geometry().right();
    }
}

TEST(MessageDialogButtons, EachButtonClosesWithItsResultExceptHelp) {
    for (const ButtonRow& row : kButtonTable) {
        if (row.result == 0) continue;
        OnMessageForm([&row](TMessageForm* f) {
            QTest::mouseClick(ButtonNamed(f, row.name), Qt::LeftButton);
        });
        EXPECT_EQ(ShowMessageDialog("text", TMsgDlgType::mtInformation, 0x7FF), row.result)
            << row.name;
    }
    bool openAfterHelp = false;
    OnMessageForm([&](TMessageForm* f) {
        QTest::mouseClick(ButtonNamed(f, "Help"), Qt::LeftButton);
        openAfterHelp = f->isVisible();
        CloseByCloseBox(f);
    });
    EXPECT_EQ(ShowMessageDialog("text", TMsgDlgType::mtInformation, Buttons(mbOK, mbHelp)), 2);
    EXPECT_TRUE(openAfterHelp);
}

TEST(MessageDialogButtons, ALetterSharedByButtonsMovesTheFocusWithoutPressing) {
    // "&Abort", "&All" and "Yes to &All" all answer to A.
    std::vector<QString> focused;
    OnMessageForm([&](TMessageForm* f) {
        for (int i = 0; i < 4; ++i) {
            QTest::keyClick(KeyTarget(f), Qt::Key_A);
            focused.push_back(f->focusWidget()->objectName());
        }
        CloseByCloseBox(f);
    });
    EXPECT_EQ(ShowMessageDialog("text", TMsgDlgType::mtWarning,
                                Buttons(mbYes, mbAbort, mbAll, mbYesToAll)),
              2);
    EXPECT_EQ(focused, (std::vector<QString>{"Abort", "All", "YesToAll", "Abort"}));
}

struct DefaultCancelCase {
    TMsgDlgButtons buttons;
    std::optional<TMsgDlgBtn> defaultButton;
    std::optional<TMsgDlgBtn> cancelButton;
};

TEST(MessageDialogButtons, DefaultAndCancelButtonRules) {
    const DefaultCancelCase cases[] = {
        {Buttons(mbYes, mbNo), mbYes, mbNo},
        {Buttons(mbAbort), std::nullopt, std::nullopt},
        {Buttons(mbOK), mbOK, mbOK},
        {Buttons(mbOK, mbCancel), mbOK, mbCancel},
        {Buttons(mbYes, mbNo, mbCancel), mbYes, mbCancel},
        {Buttons(mbAbort, mbRetry, mbIgnore), mbRetry, std::nullopt},
        {Buttons(mbYes, mbOK, mbNo), mbOK, mbNo},
        {Buttons(mbYesToAll, mbNoToAll, mbAll, mbHelp), std::nullopt, std::nullopt},
    };
    for (const DefaultCancelCase& c : cases) {
        EXPECT_EQ(DefaultButton(c.buttons), c.defaultButton) << std::hex << c.buttons;
        EXPECT_EQ(CancelButton(c.buttons), c.cancelButton) << std::hex << c.buttons;
        TMessageForm form(QStringLiteral("text"), TMsgDlgType::mtWarning, c.buttons);
        for (QPushButton* b : form.findChildren<QPushButton*>()) {
            const bool expected =
                c.defaultButton && b->objectName() == ButtonName(*c.defaultButton);
            EXPECT_EQ(b->isDefault(), expected) << b->objectName().toStdString();
        }
    }
}

// A short text under the program's title: the title bar must have room for the caption in a
// bold title font beside the window's icon and three title buttons, or it shows cut.
TEST(MessageDialogPlacement, WideEnoughForTheTitleBarToShowTheCaptionWhole) {
    QFont bold = QApplication::font("QMdiSubWindowTitleBar");
    bold.setBold(true);
    const int bar = QApplication::style()->pixelMetric(QStyle::PM_TitleBarHeight);
    for (const TMsgDlgType kind : {TMsgDlgType::mtCustom, TMsgDlgType::mtConfirmation}) {
        TMessageForm form(QStringLiteral("END PROCESSING !"), kind, Buttons(mbOK));
        EXPECT_GE(form.width(), QFontMetrics(bold).horizontalAdvance(form.windowTitle()) + 4 * bar)
            << form.windowTitle().toStdString();
    }
}

TEST(MessageDialogPlacement, CentredOnTheScreenWithTextWrappedWithinHalfItsWidth) {
    const QString longText = QString(QStringLiteral("a fairly long word list ")).repeated(60);
    TMessageForm form(longText, TMsgDlgType::mtInformation, Buttons(mbOK));
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    const auto* message = form.findChild<QLabel*>(QStringLiteral("Message"));
    ASSERT_NE(message, nullptr);
    EXPECT_LE(message->width(), screen.width() / 2);
    EXPECT_GT(message->height(), 3 * form.fontMetrics().height());
    EXPECT_NEAR(form.x() + form.width() / 2, screen.center().x(), 1);
    EXPECT_NEAR(form.y() + form.height() / 2, screen.center().y(), 1);
    QPushButton* ok = ButtonNamed(&form, "OK");
    EXPECT_NEAR(ok->x(), form.width() - ok->geometry().right() - 1, 1) << "row not centred";
    EXPECT_GT(ok->y(), message->geometry().bottom());
    EXPECT_EQ(form.minimumSize(), form.maximumSize()) << "the frame must not be resizable";
}

}  // namespace
}  // namespace kelmarin
