// A run of the real window with a clock the test moves: which refreshes reach the screen.

#include "ui/run_display.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QWheelEvent>
#include <array>
#include <vector>

#include "chart/chart.h"
#include "gauge/gauge.h"
#include "tests/input/temp_file.h"
#include "ui/form1.h"
#include "ui_form1.h"

namespace kelmarin {
namespace {

using Clock = RefreshPacer::Clock;

// Counts the paints of the chart, the counter and the gauge.
class PaintCounter : public QObject {
  public:
    int paints = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++paints;
        return false;
    }
};

TEST(RunDisplayTest, RefreshesReachTheScreenAtMostOncePerFrameButFirstAndLastAtOnce) {
    TForm1 form;
    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    test::TempDir dir;
    const QString file = QString::fromStdString(dir.Write("in.txt", test::Lines(200, "ACGT")));
    form.Aprifilelettura1().SetExecutor([file](TOpenDialog& d) {
        d.SetFileName(file);
        return true;
    });
    form.Controls().text->trigger();
    form.Edit(2).setText(QStringLiteral("a"));

    PaintCounter counter;
    for (QWidget* w :
         std::initializer_list<QWidget*>{&form.grafico(), &form.Edit(1), &form.barra()})
        w->installEventFilter(&counter);
    QStringList framesShowing;  // the counter as each chart frame is drawn
    form.grafico().OnAfterDraw = [&] { framesShowing << form.Edit(1).text(); };
    const QString before = form.Edit(1).text();

    // The clock is read once per showing: when the run starts, then at the refreshes after 20,
    // 40, ... sequences. Its times are in frames of the screen.
    ASSERT_GT(form.screen()->refreshRate(), 0);
    const std::chrono::duration<double> frame(1.0 / form.screen()->refreshRate());
    const std::array<double, 8> times = {0, 0.1, 0.5, 0.9, 1.2, 1.3, 1.4, 1.5};
    std::vector<int> paints;  // at each read, after the events of that refresh
    const auto later = [&form](auto action) {
        QMetaObject::invokeMethod(&form, action, Qt::QueuedConnection);
    };
    form.Display().SetClock([&] {
        const std::size_t read = paints.size();
        paints.push_back(counter.paints);
        if (read == 5) {  // a wheel notch during a refresh that is not shown
            later([&form] {
                QWheelEvent wheel(QPointF(300, 200), QPointF(300, 200), QPoint(), QPoint(0, 120),
                                  Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
                QCoreApplication::sendEvent(&form.grafico(), &wheel);
            });
        }
        if (read == 6) later([&form] { form.Controls().Button2->click(); });
        return Clock::time_point() +
               std::chrono::duration_cast<Clock::duration>(frame * times.at(read));
    });
    form.Controls().Button1->click();

    // Drawn: the cleared chart, the first refresh (20), the first a frame after it (80), the
    // wheel at once (the counter still shows 80), and the refresh that saw STOP (140).
    EXPECT_EQ(framesShowing.join(QStringLiteral(" | ")).toStdString(),
              (before + QStringLiteral(" | 20 | 80 | 80 | 140")).toStdString());
    ASSERT_EQ(paints.size(), times.size());
    EXPECT_EQ(paints[2], paints[4]) << "the refreshes after 40 and 60 sequences painted nothing";
    EXPECT_GT(paints[5], paints[4]) << "the refresh after 80 sequences was painted";
    EXPECT_EQ(form.Display().FramesShown(), 4);
    EXPECT_EQ(form.Edit(1).text(), QStringLiteral("140"));
    EXPECT_EQ(form.barra().Progress(), 70);
    EXPECT_FALSE(form.Controller().Running());
    form.grafico().OnAfterDraw = nullptr;
}

}  // namespace
}  // namespace kelmarin
