// The about box as the user meets it: shown by Info without blocking the main window, centred
// once and then where it was left, hidden by OK, Enter, Space and the close box, deaf to Esc.
#include "ui/about_box.h"

#include <gtest/gtest.h>

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>

#include "resources/resource_paths.h"
#include "tests/wait_for.h"
#include "ui/exception_display.h"
#include "ui/jpeg_image.h"
#include "ui/picture_shrink.h"

namespace kelmarin {
namespace {

using test::WaitFor;

class AboutBoxTest : public ::testing::Test {
  protected:
    template <class T>
    T* Child(const char* name) {
        T* child = box.findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(child, nullptr) << name;
        return child;
    }
    QPushButton* OK() { return Child<QPushButton>("OKButton"); }

    void ShowAndWait() {
        box.Show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));
    }

    TAboutBox box;
};

TEST_F(AboutBoxTest, BuiltHiddenAsASmallFixedNonModalWindow) {
    EXPECT_FALSE(box.isVisible());
    EXPECT_EQ(box.windowTitle(), QString("About"));
    EXPECT_EQ(box.size(), QSize(367, 262));
    EXPECT_EQ(box.minimumSize(), box.maximumSize());
    const Qt::WindowFlags flags = box.windowFlags();
    EXPECT_TRUE(flags.testFlag(Qt::WindowCloseButtonHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowMaximizeButtonHint));
    ShowAndWait();
    EXPECT_FALSE(box.isModal());
    EXPECT_EQ(box.windowModality(), Qt::NonModal);
}

TEST_F(AboutBoxTest, ControlsAsDesigned) {
    struct Placed {
        const char* name;
        QRect geometry;
    };
    const Placed placed[] = {
        {"Panel1", {10, 10, 346, 198}},
        {"Panel2", {0, 0, 346, 198}},
        {"Image2", {8, 8, 89, 89}},
        {"OKButton", {137, 222, 92, 30}},
    };
    for (const Placed& p : placed) {
        QWidget* w = Child<QWidget>(p.name);
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(w->geometry(), p.geometry) << p.name;
    }
    EXPECT_EQ(Child<QWidget>("Panel2")->parentWidget(), Child<QWidget>("Panel1"));
    EXPECT_EQ(Child<QWidget>("Image2")->parentWidget(), Child<QWidget>("Panel2"));
    EXPECT_EQ(OK()->text(), QString("OK"));
    EXPECT_TRUE(OK()->isDefault());
    EXPECT_EQ(Child<QWidget>("Panel1")->focusPolicy(), Qt::NoFocus);
}

TEST_F(AboutBoxTest, FourOneLineLabelsNameTheMakerInsideThePanel) {
    const int tops[] = {24, 48, 72, 152};
    QWidget* panel = Child<QWidget>("Panel2");
    for (int i = 0; i < 4; ++i) {
        const QString name = QString("Label%1").arg(i + 1);
        auto* label = box.findChild<QLabel*>(name);
        ASSERT_NE(label, nullptr) << name.toStdString();
        EXPECT_EQ(label->parentWidget(), panel);
        EXPECT_EQ(label->pos(), QPoint(120, tops[i]));
        EXPECT_FALSE(label->text().isEmpty());
        EXPECT_FALSE(label->text().contains('\n'));
        // Sized to its text: the whole text shows, on one line, within the panel.
        EXPECT_GE(label->width(), label->fontMetrics().horizontalAdvance(label->text()));
        EXPECT_LT(label->height(), 2 * label->fontMetrics().height());
        EXPECT_LT(label->geometry().right(), panel->width() - 2) << name.toStdString();
    }
}

TEST_F(AboutBoxTest, ShowsTheStoredPictureShrunkByKeepingRowsAndColumns) {
    const QImage picture = DecodeJpeg(ResourceBytes(kAboutPicturePath));
    const QImage shown = Child<QWidget>("Image2")->grab().toImage();
    ASSERT_EQ(shown.size(), QSize(89, 89));
    for (int y = 0; y < 89; ++y) {
        for (int x = 0; x < 89; ++x) {
            ASSERT_EQ(shown.pixel(x, y), picture.pixel(x * 300 / 89, y * 300 / 89))
                << x << "," << y;
        }
    }
}

TEST_F(AboutBoxTest, FirstShowIsCentredAndActiveWithTheFocusOnOK) {
    ShowAndWait();
    const QRect screen = box.screen()->geometry();
    const QPoint offset = box.frameGeometry().center() - screen.center();
    EXPECT_LE(std::abs(offset.x()), 1);
    EXPECT_LE(std::abs(offset.y()), 1);
    EXPECT_TRUE(QTest::qWaitForWindowActive(&box));
    EXPECT_TRUE(WaitFor([&] { return QApplication::focusWidget() == OK(); }))
        << (QApplication::focusWidget() ? QApplication::focusWidget()->objectName().toStdString()
                                        : "none");
}

TEST_F(AboutBoxTest, OKHidesAndInfoShowsAgainAtTheSamePlace) {
    ShowAndWait();
    const QPoint centred = box.pos();
    QTest::mouseClick(OK(), Qt::LeftButton);
    EXPECT_TRUE(WaitFor([&] { return !box.isVisible(); }));
    ShowAndWait();
    EXPECT_EQ(box.pos(), centred);
}

TEST_F(AboutBoxTest, MovedBoxComesBackWhereItWasLeft) {
    ShowAndWait();
    box.move(37, 53);
    ASSERT_TRUE(WaitFor([&] { return box.pos() == QPoint(37, 53); }));
    EXPECT_TRUE(box.close());  // the close box
    EXPECT_FALSE(box.isVisible());
    ShowAndWait();
    EXPECT_EQ(box.pos(), QPoint(37, 53));
}

TEST_F(AboutBoxTest, KeysThatHideAndEscThatDoesNot) {
    struct Key {
        const char* name;
        Qt::Key key;
        bool hides;
    };
    const Key keys[] = {
        {"Space on OK", Qt::Key_Space, true},
        {"Enter", Qt::Key_Return, true},
        {"Esc", Qt::Key_Escape, false},
    };
    // The main window takes the activation back whenever the box hides, as a desktop does.
    QWidget main;
    main.resize(200, 100);
    main.show();
    for (const Key& k : keys) {
        SCOPED_TRACE(k.name);
        main.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&main));
        ShowAndWait();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&box));
        EXPECT_TRUE(WaitFor([&] { return QApplication::focusWidget() == OK(); }))
            << (QApplication::focusWidget()
                    ? QApplication::focusWidget()->objectName().toStdString()
                    : "none");
        QTest::keyClick(QApplication::focusWidget(), k.key);
        if (k.hides) {
            EXPECT_TRUE(WaitFor([&] { return !box.isVisible(); }));
        } else {
            QApplication::processEvents();
            EXPECT_TRUE(box.isVisible());
        }
    }
}

TEST_F(AboutBoxTest, InfoWhileShownNeitherMovesNorActivatesIt) {
    ShowAndWait();
    box.move(60, 70);
    ASSERT_TRUE(WaitFor([&] { return box.pos() == QPoint(60, 70); }));
    QWidget main;
    main.resize(200, 100);
    main.show();
    main.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&main));
    box.Show();
    QApplication::processEvents();
    EXPECT_EQ(box.pos(), QPoint(60, 70));
    EXPECT_EQ(QApplication::activeWindow(), &main);
}

TEST_F(AboutBoxTest, MainWindowStaysUsableWhileTheBoxIsOpen) {
    QWidget main;
    auto* start = new QPushButton("START", &main);
    start->setGeometry(10, 10, 96, 63);
    main.resize(300, 200);
    main.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
    ShowAndWait();
    QSignalSpy clicked(start, &QPushButton::clicked);
    main.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&main));
    QTest::mouseClick(start, Qt::LeftButton);
    EXPECT_EQ(clicked.count(), 1);
    EXPECT_TRUE(box.isVisible());
}

TEST(AboutBoxPicture, UndecodablePictureFailsWithItsMessage) {
    std::exception_ptr failure;
    try {
        TAboutBox box(QByteArray("\xFF\xD8\xFF", 3));
        ADD_FAILURE() << "built";
    } catch (const EJpegError&) {
        failure = std::current_exception();
    }
    ASSERT_TRUE(failure);
    EXPECT_TRUE(FailureMessage(failure).startsWith("Cannot decode the picture: "))
        << FailureMessage(failure).toStdString();
}

}  // namespace
}  // namespace kelmarin
