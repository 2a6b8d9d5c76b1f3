#include "chart/profile_plot.h"

#include <numeric>

#include "chart/chart.h"
#include "run/position_stats.h"
#include "run/run_view.h"

namespace kelmarin {

namespace {

constexpr int kBuckets = ProfileTable::kBuckets;
constexpr double kMarkedQ = 0.05;

// The factor that turns a word's counts into the scale's values, or nothing when the scale
// cannot be drawn for it. The ratio divides bucket by bucket instead.
std::optional<double> ScaleFactor(ProfileScale scale, std::uint64_t occurrences,
                                  std::optional<std::uint64_t> processed) {
    switch (scale) {
        case ProfileScale::Counts:
        case ProfileScale::Ratio:
            return 1.0;
        case ProfileScale::PerThousand:
            if (!processed) return std::nullopt;
            return *processed == 0 ? 0.0 : 1000.0 / double(*processed);
        case ProfileScale::Share:
            return occurrences == 0 ? 0.0 : 1.0 / double(occurrences);
    }
    return std::nullopt;
}

void ConfigureOverlay(TLineSeries& s, TChart& chart) {
    s.XValues().SetOrder(loAscending);
    s.YValues().SetOrder(loNone);
    s.Pointer().SetVisible(false);
    s.Pointer().SetInflateMargins(false);
    s.SetHorizAxis(aBottomAxis);
    s.SetVertAxis(aLeftAxis);
    s.SetParentChart(&chart);
}

}  // namespace

QString ScaleCaption(ProfileScale scale) {
    switch (scale) {
        case ProfileScale::Counts:
            break;
        case ProfileScale::PerThousand:
            return QStringLiteral("Occurrences per 1,000 sequences");
        case ProfileScale::Share:
            return QStringLiteral("Share of occurrences");
        case ProfileScale::Ratio:
            return QStringLiteral("Observed / expected");
    }
    return QStringLiteral("Occurrence");
}

GraficoOverlays::GraficoOverlays(TChart& chart) {
    for (std::size_t r = 0; r < expected_.size(); ++r) {
        ConfigureOverlay(expected_[r], chart);
        expected_[r].SetSeriesColor(kWordPointColors[r]);
        expected_[r].LinePen().SetStyle(psDash);
    }
    for (std::size_t r = 0; r < marks_.size(); ++r) {
        TLineSeries& m = marks_[r];
        ConfigureOverlay(m, chart);
        m.SetSeriesColor(kWordPointColors[r]);
        m.LinePen().SetVisible(false);
        TSeriesPointer& p = m.Pointer();
        p.SetVisible(true);
        p.SetHorizSize(3);
        p.SetVertSize(3);
        p.Pen().SetVisible(false);
        m.OnGetPointerStyle = [this, r](TCustomSeries&, int i) {
            return up_[r][std::size_t(i)] ? psTriangle : psDownTriangle;
        };
    }
    ConfigureOverlay(one_, chart);
    one_.SetSeriesColor(clGray);
}

GraficoOverlays::~GraficoOverlays() {
    for (int i = 0; i < SeriesCount(); ++i) Series(i).SetParentChart(nullptr);
}

TLineSeries& GraficoOverlays::Series(int i) {
    if (i < 4) return expected_[std::size_t(i)];
    if (i < 8) return marks_[std::size_t(i - 4)];
    return one_;
}

void GraficoOverlays::Clear() {
    for (int i = 0; i < SeriesCount(); ++i) Series(i).ClearPoints();
}

bool ViewApplies(const ProfileView& view, const ProfileTable& shown,
                 std::optional<std::uint64_t> processed) {
    const bool expected = !shown.expected.empty() || shown.words.empty();
    if ((view.expected || view.marks || view.scale == ProfileScale::Ratio) && !expected)
        return false;
    return view.scale != ProfileScale::PerThousand || processed.has_value();
}

void PlotProfile(TChart& chart, const ProfileTable& shown, const std::vector<int>& series,
                 std::optional<std::uint64_t> processed, const ProfileView& view,
                 const TGraficoSeries& words, GraficoOverlays* overlays) {
    const bool hasExpected = shown.expected.size() == shown.words.size();
    const bool ratio = view.scale == ProfileScale::Ratio && hasExpected;
    for (TLineSeries* s : words) s->ClearPoints();
    if (overlays) overlays->Clear();
    std::vector<WordStats> stats;
    if (overlays && view.marks && hasExpected) stats = TestTable(shown);
    for (std::size_t w = 0; w < shown.words.size() && w < series.size(); ++w) {
        const std::size_t r = std::size_t(series[w] - 1);
        const TColor color = kWordPointColors[r];
        const ProfileTable::Row& row = shown.rows[w];
        const std::uint64_t all = std::accumulate(row.begin(), row.end(), std::uint64_t(0));
        const double factor = ScaleFactor(view.scale, all, processed).value_or(1.0);
        const auto value = [&](int b, double count) -> std::optional<double> {
            if (!ratio) return count * factor;
            const double e = shown.expected[w][std::size_t(b)];
            if (e == 0) return std::nullopt;  // NA: nothing was possible there
            return count / e;
        };
        for (int b = 0; b < kBuckets; ++b) {
            const std::optional<double> y = value(b, double(row[std::size_t(b)]));
            words[r]->AddPoint(b + 1, y.value_or(0), QString(), y ? color : clNone);
            if (overlays && view.expected && hasExpected) {
                const std::optional<double> e = value(b, shown.expected[w][std::size_t(b)]);
                overlays->expected_[r].AddPoint(b + 1, e.value_or(0), QString(),
                                                e ? color : clNone);
            }
            if (!stats.empty() && stats[w].q[std::size_t(b)] < kMarkedQ && y) {
                TLineSeries& marks = overlays->marks_[r];
                overlays->up_[r][std::size_t(marks.PointCount())] =
                    double(row[std::size_t(b)]) > stats[w].expected[std::size_t(b)];
                marks.AddPoint(b + 1, *y, QString(), color);
            }
        }
    }
    if (overlays && ratio) {
        overlays->one_.AddPoint(1, 1, QString(), clGray);
        overlays->one_.AddPoint(kBuckets, 1, QString(), clGray);
    }
    chart.LeftAxis().Title().SetCaption(ScaleCaption(
        ratio || view.scale != ProfileScale::Ratio ? view.scale : ProfileScale::Counts));
}

}  // namespace kelmarin
