// The main window on an X display (the suite runs this under Xvfb): what a refresh puts
// straight onto the display is what a repaint would show, and it is what the display gets
// back when it asks the window again.

#include "ui/x11_presenter.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QScreen>
#include <QTest>

#include "chart/chart.h"
#include "tests/wait_for.h"
#include "ui/form1.h"

namespace kelmarin {
namespace {

// What the display shows of widget now.
QImage OnDisplay(const QWidget& widget) {
    const QPoint at = widget.mapTo(widget.window(), QPoint());
    return widget.screen()
        ->grabWindow(widget.window()->winId(), at.x(), at.y(), widget.width(), widget.height())
        .toImage()
        .convertToFormat(QImage::Format_RGB32);
}

class X11PresenterTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(QApplication::platformName(), QStringLiteral("xcb"));
        form_.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&form_));
    }
    // A refresh as a run makes it: new points, then the chart painted at once.
    void Refresh(double level) {
        for (int s = 1; s <= 4; ++s) {
            form_.ClearPoints(s);
            for (int b = 1; b <= 100; ++b) form_.AddPoint(s, b, level * s + b % 7, clBlue);
        }
        form_.RepaintChartNow();
    }
    long Presented() { return form_.Presenter().Presented(); }

    TForm1 form_;
};

TEST_F(X11PresenterTest, RefreshesReachTheDisplayAndComeBackAfterAnExpose) {
    Refresh(10);
    const long before = Presented();
    Refresh(20);
    Refresh(30);
    EXPECT_EQ(Presented(), before + 2);
    const QImage frame = *form_.grafico().Surface().Bitmap();
    EXPECT_EQ(OnDisplay(form_.grafico()), frame);

    // A window over the chart, then gone: the display asks for that part again, which must be
    // the last frame, not the one the window last repainted itself.
    QWidget cover(nullptr, Qt::FramelessWindowHint);
    cover.setGeometry(QRect(form_.grafico().mapToGlobal(QPoint(50, 50)), QSize(300, 200)));
    cover.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&cover));
    cover.hide();
    EXPECT_TRUE(test::WaitFor([&] { return OnDisplay(form_.grafico()) == frame; }));
}

TEST_F(X11PresenterTest, TheCounterPutIsWhatItsRepaintDraws) {
    QLineEdit& counter = form_.Edit(1);
    // Drawn whole, then in its text area only, then whole again for a new look: focused, with
    // a cursor that does not blink.
    QApplication::setCursorFlashTime(0);
    const std::array<const char*, 3> counts = {"20", "12340", "12360"};
    for (const char* count : counts) {
        if (count == counts[2]) {
            form_.activateWindow();
            ASSERT_TRUE(QTest::qWaitForWindowActive(&form_));
            counter.setFocus();
        }
        form_.SetProcessedText(count);
        ASSERT_TRUE(form_.Presenter().Holds(counter));
        const QImage put = OnDisplay(counter);
        form_.Presenter().Release(counter);
        counter.repaint();
        EXPECT_EQ(OnDisplay(counter), put) << count;
    }
    // A repaint of the window under it lets it go in time to be drawn with the rest, not
    // left as a hole.
    form_.SetProcessedText("12380");
    ASSERT_TRUE(form_.Presenter().Holds(counter));
    form_.centralWidget()->repaint();
    EXPECT_FALSE(form_.Presenter().Holds(counter));
    const QImage after = OnDisplay(counter);
    counter.repaint();
    EXPECT_EQ(after, OnDisplay(counter));
}

TEST_F(X11PresenterTest, AChartUnderAnotherWidgetIsRepaintedNotPut) {
    QWidget cover(form_.centralWidget());
    cover.setGeometry(form_.grafico().geometry().adjusted(100, 100, -300, -200));
    cover.setAutoFillBackground(true);
    cover.setPalette(QPalette(Qt::green));
    cover.show();
    const QRgb green = QColor(Qt::green).rgb();
    ASSERT_TRUE(test::WaitFor([&] { return OnDisplay(cover).pixel(5, 5) == green; }));
    Refresh(10);
    const long before = Presented();
    Refresh(20);
    EXPECT_EQ(Presented(), before);
    EXPECT_EQ(OnDisplay(cover).pixel(5, 5), green);
}

}  // namespace
}  // namespace kelmarin
