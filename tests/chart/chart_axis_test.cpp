#include "chart/chart_axis.h"

#include <gtest/gtest.h>

#include <QLocale>
#include <cmath>
#include <cstdio>
#include <functional>

#include "chart/chart_exceptions.h"
#include "chart/chart_series.h"
#include "chart/label_format.h"
#include "tests/chart/fake_chart_owner.h"

namespace kelmarin {
namespace {

using test::FakeChartOwner;

class Axis : public ::testing::Test {
  protected:
    void SetUp() override { QLocale::setDefault(QLocale::c()); }
    void TearDown() override { QLocale::setDefault(QLocale::system()); }

    // One series on the bottom and left axes with the given points.
    void Fill(TChartSeries& s, const std::vector<std::pair<double, double>>& points) {
        s.SetParentChart(&chart_);
        for (const auto& [x, y] : points) s.AddPoint(x, y, "", clRed);
    }
    static std::vector<std::pair<double, double>> Profile(std::function<double(int)> y) {
        std::vector<std::pair<double, double>> points;
        for (int x = 1; x <= 100; ++x) points.push_back({double(x), y(x)});
        return points;
    }
    std::vector<double> Values(const std::vector<TAxisLabel>& labels) {
        std::vector<double> out;
        for (const TAxisLabel& l : labels) out.push_back(l.value);
        return out;
    }

    FakeChartOwner chart_;
};

TEST_F(Axis, EmptyChartShowsOneZeroLabelAtTheCentre) {
    TChartSeries empty;
    empty.SetParentChart(&chart_);
    for (TChartAxis* axis : {&chart_.Bottom(), &chart_.Left()}) {
        axis->ComputeRange();
        axis->ComputePositions({0, 0, 500, 400});
        EXPECT_EQ(axis->WorkingMinimum(), 0);
        EXPECT_EQ(axis->WorkingMaximum(), 0);
        const double step = axis->ComputeIncrement();
        EXPECT_EQ(step, 1e-12);
        const auto labels = axis->GenerateLabels(step);
        ASSERT_EQ(labels.size(), 1u);
        EXPECT_EQ(labels[0].text, "0");
        EXPECT_EQ(labels[0].pixel, axis->CentrePixel());
    }
    EXPECT_EQ(chart_.Bottom().CentrePixel(), 250);
    EXPECT_EQ(chart_.Left().CentrePixel(), 200);
}

TEST_F(Axis, AllZeroCountsGiveOneLabelInTheMiddleOfTheLeftAxis) {
    TChartSeries s;
    Fill(s, Profile([](int) { return 0.0; }));
    TChartAxis& left = chart_.Left();
    left.ComputeRange();
    left.ComputePositions({0, 10, 500, 410});
    const auto labels = left.GenerateLabels(left.ComputeIncrement());
    ASSERT_EQ(labels.size(), 1u);
    EXPECT_EQ(labels[0].pixel, 210);
    TChartAxis& bottom = chart_.Bottom();
    bottom.ComputeRange();
    EXPECT_EQ(bottom.WorkingMinimum(), 1);
    EXPECT_EQ(bottom.WorkingMaximum(), 100);
}

TEST_F(Axis, FiveHundredPixelsOfXLabelsStepByFive) {
    TChartSeries s;
    Fill(s, Profile([](int x) { return x; }));
    TChartAxis& bottom = chart_.Bottom();
    bottom.ComputeRange();
    bottom.ComputePositions({0, 0, 500, 300});
    // Labels about 20 pixels wide: d = 22, at most 23 labels.
    EXPECT_EQ(bottom.IncrementForLabelCount(23), 5);
    const auto labels = bottom.GenerateLabels(5);
    ASSERT_EQ(labels.size(), 20u);
    EXPECT_EQ(labels.front().value, 100);
    EXPECT_EQ(labels.front().pixel, 500);
    EXPECT_EQ(labels.back().value, 5);
    EXPECT_EQ(labels.back().text, "5");
}

TEST_F(Axis, IncrementFollowsTheMeasuredLabelWidth) {
    TChartSeries s;
    Fill(s, Profile([](int x) { return x; }));
    TChartAxis& bottom = chart_.Bottom();
    bottom.ComputeRange();
    bottom.ComputePositions({0, 0, 500, 300});
    TChartCanvas3D& canvas = chart_.Canvas();
    canvas.Font() = bottom.LabelsFont();
    const int size = std::max(canvas.TextWidthOf("1"), canvas.TextWidthOf("100"));
    const int d = size + int(std::lround(0.1 * size));
    const int widest =
        std::max(canvas.TextWidthOf("100"), canvas.TextWidthOf("0")) + canvas.TextWidthOf(" ");
    // Measuring is done in the labels font whatever the surface's font, and leaves it alone.
    const TCanvasFont other("Arial", 20, clBlue);
    canvas.Font() = other;
    EXPECT_EQ(bottom.ComputeIncrement(),
              bottom.IncrementForLabelCount(int(std::lround(500.0 / d))));
    EXPECT_EQ(bottom.WidestLabelWidth(), widest);
    EXPECT_TRUE(canvas.Font() == other);
}

TEST_F(Axis, FourHundredPixelsOfCountsUpTo57StepByFive) {
    TChartSeries s;
    Fill(s, Profile([](int x) { return x % 58; }));
    TChartAxis& left = chart_.Left();
    left.ComputeRange();
    left.ComputePositions({0, 0, 600, 400});
    EXPECT_EQ(left.WorkingMaximum(), 57);
    // Line height 16: d = 16 + round(1.6) = 18, at most 22 labels.
    EXPECT_EQ(left.IncrementForLabelCount(22), 5);
    const auto labels = left.GenerateLabels(5);
    std::vector<double> expected;
    for (int v = 55; v >= 0; v -= 5) expected.push_back(v);
    EXPECT_EQ(Values(labels), expected);
    EXPECT_EQ(labels.back().pixel, 400);  // 0 at the bottom end
}

TEST_F(Axis, NextNiceStepWalksOneTwoFive) {
    const std::pair<double, double> cases[] = {
        {1, 2},    {2, 5},     {5, 10},  {3, 5},     {7, 10},     {10, 20}, {20, 50},
        {50, 100}, {0.3, 0.5}, {0.5, 1}, {0.2, 0.5}, {0.05, 0.1}, {1.5, 2}, {1e6, 2e6},
    };
    for (const auto& [x, next] : cases) EXPECT_DOUBLE_EQ(TChartAxis::NextNiceStep(x), next) << x;
}

TEST_F(Axis, NextNiceStepOfNonPositiveStepsReturnsInsteadOfRecursing) {
    EXPECT_EQ(TChartAxis::NextNiceStep(0), 0);
    EXPECT_EQ(TChartAxis::NextNiceStep(-3), -3);
    EXPECT_TRUE(std::isinf(TChartAxis::NextNiceStep(INFINITY)));
}

TEST_F(Axis, IncrementIsALowerBoundEnlargedUntilLabelsFit) {
    TChartAxis& bottom = chart_.Bottom();
    bottom.SetManualRange(0, 30);
    bottom.ComputeRange();
    bottom.SetIncrement(3);
    EXPECT_EQ(bottom.IncrementForLabelCount(20), 3);
    EXPECT_EQ(bottom.IncrementForLabelCount(8), 5);
    EXPECT_EQ(bottom.IncrementForLabelCount(4), 10);
    EXPECT_EQ(bottom.IncrementForLabelCount(0), 1e-12);
    bottom.SetLabelsSeparation(0);  // the fitting loop is off
    EXPECT_EQ(bottom.IncrementForLabelCount(1), 3);
}

TEST_F(Axis, LabelAtTheMinimumSurvivesRepeatedSubtraction) {
    TChartAxis& left = chart_.Left();
    left.SetManualRange(1.1, 1.6);
    left.ComputeRange();
    left.ComputePositions({0, 0, 100, 900});
    const auto labels = left.GenerateLabels(0.1);
    ASSERT_EQ(labels.size(), 6u);
    EXPECT_EQ(labels.front().text, "1.6");
    // A hair below the minimum, yet drawn.
    EXPECT_LT(labels.back().value, (long double)left.WorkingMinimum());
    EXPECT_EQ(labels.back().text, "1.1");
}

TEST_F(Axis, FirstLabelIsTheTruncatedMultipleOfTheStep) {
    TChartAxis& left = chart_.Left();
    left.SetManualRange(0.1, 1);
    left.ComputeRange();
    left.ComputePositions({0, 0, 100, 900});
    const auto labels = left.GenerateLabels(0.1);
    // 1 / 0.1 is a hair below 10 in extended precision, so the first label is 0.9.
    ASSERT_EQ(labels.size(), 9u);
    EXPECT_DOUBLE_EQ(labels.front().value, 0.9);
    left.SetRoundFirstLabel(false);
    EXPECT_EQ(left.GenerateLabels(0.1).front().value, 1);
}

TEST_F(Axis, LabelsOnAxisDecidesAboutTheEnds) {
    TChartAxis& bottom = chart_.Bottom();
    bottom.SetManualRange(0, 10);
    bottom.ComputeRange();
    bottom.ComputePositions({0, 0, 100, 100});
    EXPECT_EQ(Values(bottom.GenerateLabels(5)), (std::vector<double>{10, 5, 0}));
    bottom.SetLabelsOnAxis(false);
    EXPECT_EQ(Values(bottom.GenerateLabels(5)), (std::vector<double>{5}));
    EXPECT_EQ(bottom.TickPositions(), (std::vector<int>{50}));
}

TEST_F(Axis, TickPositionsAreCappedButLabelsAreNot) {
    TChartAxis& bottom = chart_.Bottom();
    bottom.SetManualRange(0, 5000);
    bottom.ComputeRange();
    bottom.ComputePositions({0, 0, 5000, 10});
    const auto labels = bottom.GenerateLabels(1);
    EXPECT_EQ(labels.size(), 5001u);
    EXPECT_EQ(bottom.TickPositions().size(), 2000u);
    EXPECT_EQ(bottom.TickPositions().front(), 5000);
    EXPECT_TRUE(bottom.GenerateLabels(0.5).empty());  // 10000 labels: none at all
    EXPECT_TRUE(bottom.GenerateLabels(0).empty());
}

TEST_F(Axis, HiddenLabelsRecordTicksOnlyWhenAskedTo) {
    TChartAxis& bottom = chart_.Bottom();
    bottom.SetManualRange(0, 10);
    bottom.ComputeRange();
    bottom.ComputePositions({0, 0, 100, 100});
    bottom.SetLabels(false);
    EXPECT_TRUE(bottom.GenerateLabels(5).empty());
    EXPECT_TRUE(bottom.TickPositions().empty());
    bottom.SetTickOnLabelsOnly(false);
    bottom.GenerateLabels(5);
    EXPECT_EQ(bottom.TickPositions(), (std::vector<int>{100, 50, 0}));
}

TEST_F(Axis, SetManualRangeOrdersAndWidensTinySpans) {
    TChartAxis& bottom = chart_.Bottom();
    bottom.SetManualRange(10, 5);
    EXPECT_EQ(bottom.Minimum(), 5);
    EXPECT_EQ(bottom.Maximum(), 10);
    EXPECT_FALSE(bottom.Automatic());
    EXPECT_FALSE(bottom.AutomaticMinimum());
    EXPECT_FALSE(bottom.AutomaticMaximum());
    bottom.SetManualRange(3, 3);
    EXPECT_EQ(bottom.Minimum(), 3);
    EXPECT_DOUBLE_EQ(bottom.Maximum(), 3 + 1e-10);
    // A manual range survives the automatic range computation.
    TChartSeries s;
    Fill(s, Profile([](int x) { return x; }));
    bottom.ComputeRange();
    EXPECT_EQ(bottom.WorkingMinimum(), 3);
}

TEST_F(Axis, ValueAndPixelMapBothWays) {
    TChartAxis& bottom = chart_.Bottom();
    TChartAxis& left = chart_.Left();
    for (TChartAxis* a : {&bottom, &left}) {
        a->SetManualRange(0, 100);
        a->ComputeRange();
        a->ComputePositions({10, 20, 210, 220});
    }
    EXPECT_EQ(bottom.ValueToPixel(0), 10);
    EXPECT_EQ(bottom.ValueToPixel(25), 60);
    EXPECT_EQ(bottom.ValueToPixel(0.25), 10);  // 0.5 pixel: to the even neighbour
    EXPECT_EQ(bottom.ValueToPixel(0.75), 12);  // 1.5 pixels: to the even neighbour
    EXPECT_EQ(left.ValueToPixel(100), 20);     // larger values are higher
    EXPECT_EQ(left.ValueToPixel(0), 220);
    EXPECT_EQ(bottom.PixelToValue(60), 25);
    EXPECT_EQ(left.PixelToValue(70), 75);
    EXPECT_EQ(bottom.ValueToPixel(1e12), bottom.CentrePixel());  // too far away
    bottom.SetInverted(true);
    left.SetInverted(true);
    EXPECT_EQ(bottom.ValueToPixel(25), 160);
    EXPECT_EQ(left.ValueToPixel(25), 70);
    EXPECT_EQ(bottom.PixelToValue(160), 25);
    EXPECT_EQ(left.PixelToValue(70), 25);
    bottom.ComputePositions({10, 20, 10, 220});
    EXPECT_EQ(bottom.PixelToValue(10), 0);  // a zero-length axis
}

TEST_F(Axis, PositionsRoundHalvesToEven) {
    TChartAxis& bottom = chart_.Bottom();
    bottom.SetEndPosition(50);
    bottom.ComputePositions({0, 0, 25, 10});
    EXPECT_EQ(bottom.EndPixel(), 12);
    bottom.ComputePositions({0, 0, 30, 10});
    EXPECT_EQ(bottom.EndPixel(), 15);
    bottom.SetEndPosition(100);
    bottom.SetStartPosition(10);
    bottom.ComputePositions({5, 0, 505, 10});
    EXPECT_EQ(bottom.StartPixel(), 55);
    EXPECT_EQ(bottom.AxisLength(), 450);
    EXPECT_EQ(bottom.CentrePixel(), 280);
}

TEST_F(Axis, MarginsKeepTheEndValuesInsideTheAxis) {
    TChartSeries s;
    Fill(s, Profile([](int x) { return x; }));
    TChartAxis& bottom = chart_.Bottom();
    bottom.ComputeRange();
    bottom.ComputePositions({0, 0, 500, 300});
    bottom.WidenRangeForMargins(3, 3);
    EXPECT_EQ(bottom.StartPixel(), 0);
    EXPECT_EQ(bottom.EndPixel(), 500);
    EXPECT_EQ(bottom.ValueToPixel(1), 3);
    EXPECT_EQ(bottom.ValueToPixel(100), 497);
    EXPECT_NEAR(bottom.WorkingMinimum(), 1 - 3 * 99.0 / 494, 1e-12);
    EXPECT_NEAR(bottom.WorkingMaximum(), 100 + 3 * 99.0 / 494, 1e-12);
    EXPECT_EQ(bottom.Minimum(), 1);  // the settings are untouched

    TChartAxis& left = chart_.Left();
    left.ComputeRange();
    left.ComputePositions({0, 0, 500, 400});
    left.WidenRangeForMargins(4, 0);  // the top margin widens the maximum
    EXPECT_NEAR(left.WorkingMaximum(), 100 + 4 * 99.0 / 396, 1e-12);
    EXPECT_EQ(left.WorkingMinimum(), 1);
    EXPECT_EQ(left.ValueToPixel(100), 4);
}

TEST_F(Axis, ZeroRangeStaysZeroWhenWidened) {
    TChartAxis& bottom = chart_.Bottom();
    bottom.ComputeRange();
    bottom.ComputePositions({0, 0, 500, 300});
    bottom.WidenRangeForMargins(3, 3);
    EXPECT_EQ(bottom.Range(), 0);
}

TEST_F(Axis, InactiveSeriesCountOnlyWhenNoActiveSeriesUsesTheAxis) {
    TChartSeries active, inactive;
    Fill(active, {{1, 10}, {2, 20}});
    Fill(inactive, {{-5, 100}});
    inactive.SetActive(false);
    TChartAxis& left = chart_.Left();
    left.ComputeRange();
    EXPECT_EQ(left.WorkingMaximum(), 20);
    active.SetActive(false);
    left.ComputeRange();
    EXPECT_EQ(left.WorkingMaximum(), 100);
    EXPECT_EQ(left.WorkingMinimum(), 10);
    TChartAxis& right = *chart_.Axis(TAxisPlacement::Right);
    right.ComputeRange();
    EXPECT_EQ(right.WorkingMaximum(), 0);  // nobody uses it
}

TEST_F(Axis, AutomaticFlagRules) {
    TChartAxis& a = chart_.Left();
    a.SetAutomatic(false);
    EXPECT_FALSE(a.AutomaticMinimum());
    EXPECT_FALSE(a.AutomaticMaximum());
    a.SetAutomaticMinimum(true);  // the maximum is still manual
    EXPECT_FALSE(a.Automatic());
    a.SetAutomaticMaximum(true);
    EXPECT_TRUE(a.Automatic());
    a.SetAutomaticMinimum(false);
    EXPECT_FALSE(a.Automatic());
    EXPECT_TRUE(a.AutomaticMaximum());
    a.SetLoading(true);
    a.SetAutomatic(true);
    EXPECT_FALSE(a.AutomaticMinimum());  // not passed on while the form is read
}

TEST_F(Axis, RefusalsKeepTheOldValue) {
    TChartAxis& a = chart_.Left();
    a.SetManualRange(0, 10);
    struct Case {
        std::function<void()> set;
        bool axis_exception;
        const char* message;
    } const cases[] = {
        {[&] { a.SetIncrement(-1); }, true, "Axis increment must be >= 0"},
        {[&] { a.SetMinimum(11); }, true, "Axis Minimum Value must be <= Maximum"},
        {[&] { a.SetMaximum(-1); }, true, "Axis Maximum Value must be >= Minimum"},
        {[&] { a.SetLabelsSeparation(-1); }, true, "Labels Separation % must be greater than 0"},
        {[&] { a.SetLabelsAngle(360); }, false,
         "Axis Labels Angle must be between 0 and 359 degrees"},
        {[&] { a.SetLabelsAngle(-1); }, false,
         "Axis Labels Angle must be between 0 and 359 degrees"},
        {[&] { a.SetLogarithmicBase(1); }, true, "Axis Logarithmic Base should be >= 2"},
        {[&] { a.Title().SetAngle(400); }, false,
         "Axis Title Angle must be between 0 and 359 degrees"},
    };
    for (const Case& c : cases) {
        try {
            c.set();
            ADD_FAILURE() << "accepted: " << c.message;
        } catch (const AxisException& e) {
            EXPECT_TRUE(c.axis_exception);
            EXPECT_STREQ(e.what(), c.message);
        } catch (const ChartException& e) {
            EXPECT_FALSE(c.axis_exception);
            EXPECT_STREQ(e.what(), c.message);
        }
    }
    EXPECT_EQ(a.Increment(), 0);
    EXPECT_EQ(a.Minimum(), 0);
    EXPECT_EQ(a.Maximum(), 10);
    EXPECT_EQ(a.LabelsSeparation(), 10);
    EXPECT_EQ(a.LabelsAngle(), 0);
    EXPECT_EQ(a.LogarithmicBase(), 10);
    EXPECT_EQ(a.Title().Angle(), 90);
    EXPECT_NO_THROW(a.SetLabelsSeparation(0));
    a.SetLoading(true);
    EXPECT_NO_THROW(a.SetMinimum(50));  // the form may set them in any order
}

TEST_F(Axis, LogarithmicRefusals) {
    TChartAxis& a = chart_.Left();
    a.SetManualRange(-5, 10);
    a.ComputeRange();
    EXPECT_THROW(a.SetLogarithmic(true), AxisException);
    TChartSeries s;
    Fill(s, {{1, 1}});
    s.YValues().SetDateTime(true);
    a.SetManualRange(1, 10);
    a.ComputeRange();
    try {
        a.SetLogarithmic(true);
        ADD_FAILURE();
    } catch (const std::exception& e) {
        EXPECT_STREQ(e.what(), "DateTime Axis cannot be Logarithmic");
    }
    EXPECT_FALSE(a.Logarithmic());
}

TEST_F(Axis, SettingsRepaintOnlyWhenTheyChange) {
    TChartAxis& a = chart_.Bottom();
    chart_.invalidations = 0;
    a.SetIncrement(0);
    a.SetInverted(false);
    EXPECT_EQ(chart_.invalidations, 0);
    a.SetIncrement(2);
    a.Grid().SetColor(clRed);
    a.LabelsFont().SetSize(12);
    a.Title().SetCaption("Normalized length");
    EXPECT_EQ(chart_.invalidations, 4);
}

TEST_F(Axis, LabelStyleFollowsTheSeries) {
    TChartAxis& bottom = chart_.Bottom();
    EXPECT_EQ(bottom.EffectiveLabelStyle(), talNone);
    EXPECT_EQ(bottom.WidestLabelWidth(), 0);
    TChartSeries s;
    Fill(s, {{1, 1}});
    EXPECT_EQ(bottom.EffectiveLabelStyle(), talValue);
    EXPECT_EQ(chart_.Axis(TAxisPlacement::Top)->EffectiveLabelStyle(), talNone);
    TChartSeries named;
    named.SetParentChart(&chart_);
    named.AddPoint(1, 1, "first", clRed);
    EXPECT_EQ(bottom.EffectiveLabelStyle(), talText);
    EXPECT_EQ(chart_.Left().EffectiveLabelStyle(), talValue);
    bottom.SetLabelStyle(talValue);
    EXPECT_EQ(bottom.EffectiveLabelStyle(), talValue);
}

TEST(LabelFormat, HashCommaZeroDotHashes) {
    const QLocale c = QLocale::c();
    const std::pair<double, const char*> cases[] = {
        {0, "0"},       {5, "5"},          {2.5, "2.5"},          {0.125, "0.125"},
        {0.0004, "0"},  {1234, "1,234"},   {-1234.5, "-1,234.5"}, {1234567.891, "1,234,567.891"},
        {-0.0004, "0"}, {0.0005, "0.001"}, {99.9996, "100"},      {100, "100"},
        {-2, "-2"},     {1e-12, "0"},      {0.1, "0.1"},
    };
    for (const auto& [v, text] : cases) EXPECT_EQ(FormatNumber(v, "#,##0.###", c), text) << v;
}

// A value far beyond any count still gets all of its digits, not a cut-off prefix.
TEST(LabelFormat, VeryLargeValuesKeepEveryDigit) {
    for (const double v : {1e150, -3.5e200, 1.7e308}) {
        char want[400];
        std::snprintf(want, sizeof want, "%.0f", std::fabs(v));
        QString got = FormatNumber(v, "#,##0.###", QLocale::c());
        EXPECT_EQ(got.startsWith(QLatin1Char('-')), v < 0) << v;
        got.remove(QLatin1Char('-')).remove(QLatin1Char(','));
        EXPECT_EQ(got, QString::fromLatin1(want)) << v;
    }
}

TEST(LabelFormat, UsesTheLocaleSeparators) {
    const QLocale german(QLocale::German, QLocale::Germany);
    EXPECT_EQ(FormatNumber(1234.5, "#,##0.###", german), "1.234,5");
}

}  // namespace
}  // namespace kelmarin
