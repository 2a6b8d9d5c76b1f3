#include "gauge/gauge.h"

#include <gtest/gtest.h>

#include <QBackingStore>
#include <QEvent>
#include <QImage>
#include <QTest>
#include <QWidget>
#include <climits>
#include <memory>

#include "gauge/gauge_exceptions.h"
#include "platform/font.h"
#include "tests/wait_for.h"

namespace kelmarin {
namespace {

// Counts the paint events a widget receives.
class PaintCounter : public QObject {
  public:
    int count = 0;

  protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++count;
        return false;
    }
};

// A gauge inside a window, as on the main window: at (10, 10), 181 x 30 (W = 180).
class ShownGauge : public ::testing::Test {
  protected:
    void SetUp() override {
        window_.resize(220, 60);
        gauge_ = new TGauge(&window_);
        gauge_->setGeometry(10, 10, 181, 30);
        gauge_->setFont(MakeFont(QStringLiteral("MS Sans Serif"), -12));
        gauge_->SetForeColor(clNavy);
        gauge_->installEventFilter(&counter_);
        window_.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window_));
        ASSERT_TRUE(test::WaitFor([&] { return counter_.count > 0; }));
        counter_.count = 0;
    }

    // The window's pixels as they stand, without painting anything again.
    QRgb Screen(int x, int y) {
        QPaintDevice* device = window_.backingStore()->paintDevice();
        if (device->devType() != QInternal::Image) {
            ADD_FAILURE() << "backing store is not an image";
            return 0;
        }
        return static_cast<QImage*>(device)->pixel(x, y) & 0xFFFFFF;
    }

    QWidget window_;
    TGauge* gauge_ = nullptr;
    PaintCounter counter_;
};

TEST(Gauge, Defaults) {
    TGauge gauge;
    EXPECT_EQ(gauge.size(), QSize(100, 100));
    EXPECT_EQ(gauge.MinValue(), 0);
    EXPECT_EQ(gauge.MaxValue(), 100);
    EXPECT_EQ(gauge.Progress(), 0);
    EXPECT_EQ(gauge.Kind(), TGaugeKind::gkHorizontalBar);
    EXPECT_TRUE(gauge.ShowText());
    EXPECT_EQ(gauge.BorderStyle(), TBorderStyle::bsSingle);
    EXPECT_EQ(gauge.ForeColor(), clBlack);
    EXPECT_EQ(gauge.BackColor(), clWhite);
    EXPECT_TRUE(gauge.testAttribute(Qt::WA_OpaquePaintEvent));
}

TEST(Gauge, ProgressIsClampedIntoRange) {
    TGauge gauge;
    struct Row {
        int set, stored, percent;
    };
    const Row rows[] = {
        {-5, 0, 0}, {250, 100, 100}, {57, 57, 57}, {INT_MIN, 0, 0}, {INT_MAX, 100, 100}};
    for (const Row& r : rows) {
        gauge.SetProgress(r.set);
        EXPECT_EQ(gauge.Progress(), r.stored) << r.set;
        EXPECT_EQ(gauge.PercentDone(), r.percent) << r.set;
    }
}

TEST(Gauge, BoundsPullProgressIntoRange) {
    TGauge gauge;
    gauge.SetProgress(30);
    gauge.SetMinValue(50);
    EXPECT_EQ(gauge.Progress(), 50);
    gauge.SetProgress(90);
    gauge.SetMaxValue(60);
    EXPECT_EQ(gauge.Progress(), 60);
    gauge.SetMinValue(60);  // equal to MaxValue is allowed
    EXPECT_EQ(gauge.MinValue(), 60);
}

TEST(Gauge, RefusedBoundsKeepTheOldValues) {
    struct Row {
        bool setMin;
        int value;
        const char* message;
    };
    const Row rows[] = {
        {true, 101, "Value must be between -2147483647 and 99"},
        {true, INT_MAX, "Value must be between -2147483647 and 99"},
        {false, -1, "Value must be between 1 and 2147483647"},
        {false, INT_MIN, "Value must be between 1 and 2147483647"},
    };
    for (const Row& r : rows) {
        TGauge gauge;
        gauge.SetProgress(42);
        try {
            if (r.setMin)
                gauge.SetMinValue(r.value);
            else
                gauge.SetMaxValue(r.value);
            ADD_FAILURE() << "accepted " << r.value;
        } catch (const EInvalidOperation& e) {
            EXPECT_STREQ(e.what(), r.message);
        }
        EXPECT_EQ(gauge.MinValue(), 0);
        EXPECT_EQ(gauge.MaxValue(), 100);
        EXPECT_EQ(gauge.Progress(), 42);
    }
}

TEST(Gauge, MessageNumbersDoNotWrapAtTheEndsOfTheRange) {
    TGauge gauge;
    gauge.SetMaxValue(INT_MAX);
    gauge.SetMinValue(INT_MAX);
    EXPECT_THROW(
        {
            try {
                gauge.SetMaxValue(0);
            } catch (const EInvalidOperation& e) {
                EXPECT_STREQ(e.what(), "Value must be between 2147483648 and 2147483647");
                throw;
            }
        },
        EInvalidOperation);
    EXPECT_EQ(gauge.MaxValue(), INT_MAX);
}

TEST(Gauge, ReadingAFormDoesNotCheckTheBounds) {
    TGauge gauge;
    gauge.SetReadingForm(true);
    EXPECT_NO_THROW(gauge.SetMinValue(200));
    EXPECT_EQ(gauge.MinValue(), 200);
    EXPECT_EQ(gauge.Progress(), 200);
    EXPECT_NO_THROW(gauge.SetMaxValue(300));
    gauge.SetReadingForm(false);
    EXPECT_THROW(gauge.SetMaxValue(100), EInvalidOperation);
    EXPECT_EQ(gauge.MaxValue(), 300);
}

TEST_F(ShownGauge, PaintsAtOnceOnlyWhenThePercentageChanges) {
    gauge_->SetProgress(5);
    EXPECT_EQ(counter_.count, 1);
    gauge_->SetProgress(5);
    EXPECT_EQ(counter_.count, 1) << "an unchanged value repainted";
    gauge_->SetProgress(-3);  // clamped to 0: a new percentage
    EXPECT_EQ(counter_.count, 2);
    gauge_->SetProgress(-7);  // clamped to 0 again: nothing changes
    EXPECT_EQ(counter_.count, 2);

    gauge_->SetMaxValue(1000);  // bounds repaint whether or not the percentage changed
    EXPECT_EQ(counter_.count, 3);
    gauge_->SetProgress(500);
    EXPECT_EQ(counter_.count, 4);
    gauge_->SetProgress(509);  // still 50 %: stored without painting
    EXPECT_EQ(counter_.count, 4);
    EXPECT_EQ(gauge_->Progress(), 509);
    gauge_->SetProgress(510);
    EXPECT_EQ(counter_.count, 5);
}

TEST_F(ShownGauge, LookSettersPaintOnlyOnChange) {
    gauge_->SetForeColor(clNavy);
    gauge_->SetBackColor(clWhite);
    gauge_->SetShowText(true);
    gauge_->SetBorderStyle(TBorderStyle::bsSingle);
    gauge_->SetKind(TGaugeKind::gkHorizontalBar);
    EXPECT_EQ(counter_.count, 0);
    gauge_->SetForeColor(clRed);
    gauge_->SetBackColor(clYellow);
    gauge_->SetShowText(false);
    gauge_->SetBorderStyle(TBorderStyle::bsNone);
    gauge_->SetKind(TGaugeKind::gkText);
    EXPECT_EQ(counter_.count, 5);
}

TEST_F(ShownGauge, NewPercentageReachesTheWindowWithoutTheEventLoop) {
    // W = 180: 57 % ends the bar at x = 102, i.e. window x = 112. Row 2 lies above the text.
    gauge_->SetProgress(57);
    EXPECT_EQ(Screen(10 + 1, 10 + 2), QRgb{0x000080});
    EXPECT_EQ(Screen(10 + 101, 10 + 2), QRgb{0x000080});
    EXPECT_EQ(Screen(10 + 102, 10 + 2), QRgb{0xFFFFFF});
    EXPECT_EQ(Screen(10, 10), QRgb{0x000000});             // frame
    EXPECT_EQ(Screen(10 + 180, 10 + 29), QRgb{0x000000});  // frame
    gauge_->SetProgress(100);
    EXPECT_EQ(Screen(10 + 179, 10 + 2), QRgb{0x000080});
}

TEST(Gauge, HiddenGaugeStoresAndShowsTheValueOnItsNextPaint) {
    QWidget window;
    window.resize(220, 60);
    auto* gauge = new TGauge(&window);
    gauge->setGeometry(10, 10, 181, 30);
    gauge->SetForeColor(clNavy);
    PaintCounter counter;
    gauge->installEventFilter(&counter);
    gauge->SetProgress(57);
    gauge->SetMaxValue(200);
    EXPECT_EQ(counter.count, 0);
    EXPECT_EQ(gauge->Progress(), 57);

    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    ASSERT_TRUE(test::WaitFor([&] { return counter.count > 0; }));
    // 57 of 200 is 28 %: W = 180 gives an edge at 50.
    const QImage picture = gauge->grab().toImage();
    EXPECT_EQ(picture.pixel(49, 2) & 0xFFFFFF, QRgb{0x000080});
    EXPECT_EQ(picture.pixel(50, 2) & 0xFFFFFF, QRgb{0xFFFFFF});
}

TEST(Gauge, GaugeWithoutWindowPaintsNothing) {
    TGauge gauge;
    PaintCounter counter;
    gauge.installEventFilter(&counter);
    gauge.SetProgress(50);
    gauge.SetForeColor(clRed);
    gauge.Update();
    EXPECT_EQ(counter.count, 0);
    EXPECT_EQ(gauge.Progress(), 50);
}

}  // namespace
}  // namespace kelmarin
