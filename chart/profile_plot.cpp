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

// Markers of half size px on every point.
void ShowMarkers(TSeriesPointer& p, int px) {
    p.SetVisible(true);
    p.SetHorizSize(px);
    p.SetVertSize(px);
}

void ConfigureOverlay(TLineSeries& s, TChart& chart, TColor color) {
    s.SetSeriesColor(color);
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
    for (std::size_t r = 0; r < 4; ++r) {
        const TColor color = kWordPointColors[r];
        ConfigureOverlay(expected_[r], chart, color);
        expected_[r].LinePen().SetStyle(psDash);

        TLineSeries& m = marks_[r];
        ConfigureOverlay(m, chart, color);
        m.LinePen().SetVisible(false);
        ShowMarkers(m.Pointer(), 3);
        m.Pointer().Pen().SetVisible(false);
        m.OnGetPointerStyle = [this, r](TCustomSeries&, int i) {
            return up_[r][std::size_t(i)] ? psTriangle : psDownTriangle;
        };

        TLineSeries& c = compare_[r];
        ConfigureOverlay(c, chart, color);
        c.LinePen().SetStyle(psDash);
        ShowMarkers(c.Pointer(), 2);
        c.Pointer().SetStyle(psCircle);
        c.Pointer().Brush().SetStyle(bsClear);  // hollow, against the result's filled points
    }
    ConfigureOverlay(one_, chart, clGray);
}

GraficoOverlays::~GraficoOverlays() {
    for (int i = 0; i < SeriesCount(); ++i) Series(i).SetParentChart(nullptr);
}

TLineSeries& GraficoOverlays::Series(int i) {
    if (i < 4) return expected_[std::size_t(i)];
    if (i < 8) return marks_[std::size_t(i - 4)];
    if (i == 8) return one_;
    return compare_[std::size_t(i - 9)];
}

void GraficoOverlays::Clear() {
    for (int i = 0; i < SeriesCount(); ++i) Series(i).ClearPoints();
}

namespace {

using Values = std::array<std::optional<double>, kBuckets>;

std::array<double, kBuckets> AsDoubles(const ProfileTable::Row& row) {
    std::array<double, kBuckets> d;
    for (int b = 0; b < kBuckets; ++b) d[b] = double(row[b]);
    return d;
}

// Values y of word w of table at the scale: nothing where the scale has no value (a bucket that
// expects nothing, at the ratio), or anywhere when it cannot apply to the table.
Values Scaled(const ProfileTable& table, std::size_t w, ProfileScale scale,
              std::optional<std::uint64_t> processed, const std::array<double, kBuckets>& y) {
    Values v;
    if (scale == ProfileScale::Ratio) {
        if (w >= table.expected.size()) return v;
        for (int b = 0; b < kBuckets; ++b)
            if (const double e = table.expected[w][b]; e != 0) v[b] = y[b] / e;
        return v;
    }
    const ProfileTable::Row& row = table.rows[w];
    const std::uint64_t all = std::accumulate(row.begin(), row.end(), std::uint64_t(0));
    const std::optional<double> factor = ScaleFactor(scale, all, processed);
    if (!factor) return v;
    for (int b = 0; b < kBuckets; ++b) v[b] = y[b] * *factor;
    return v;
}

void AddValues(TLineSeries& series, const Values& values, TColor color) {
    for (int b = 0; b < kBuckets; ++b)
        series.AddPoint(b + 1, values[b].value_or(0), QString(), values[b] ? color : clNone);
}

}  // namespace

void PlotProfile(TChart& chart, const ProfileTable& shown, const std::vector<int>& series,
                 std::optional<std::uint64_t> processed, const ProfileView& view,
                 const TGraficoSeries& words, GraficoOverlays* overlays,
                 const ProfileTable* compare) {
    const bool hasExpected = shown.expected.size() == shown.words.size();
    // Without expected profiles the ratio falls back to the counts.
    const ProfileScale scale =
        view.scale == ProfileScale::Ratio && !hasExpected ? ProfileScale::Counts : view.scale;
    for (TLineSeries* s : words) s->ClearPoints();
    if (overlays) overlays->Clear();
    std::vector<WordStats> stats;
    if (overlays && view.marks && hasExpected) stats = TestTable(shown);
    for (std::size_t w = 0; w < shown.words.size() && w < series.size(); ++w) {
        const std::size_t r = std::size_t(series[w] - 1);
        const TColor color = kWordPointColors[r];
        const ProfileTable::Row& row = shown.rows[w];
        const Values y = Scaled(shown, w, scale, processed, AsDoubles(row));
        AddValues(*words[r], y, color);
        if (!overlays) continue;
        if (view.expected && hasExpected)
            AddValues(overlays->expected_[r], Scaled(shown, w, scale, processed, shown.expected[w]),
                      color);
        if (compare && w < compare->words.size())
            AddValues(overlays->compare_[r],
                      Scaled(*compare, w, scale, std::nullopt, AsDoubles(compare->rows[w])), color);
        for (int b = 0; b < kBuckets && !stats.empty(); ++b) {
            if (!(stats[w].q[b] < kMarkedQ) || !y[b]) continue;
            TLineSeries& marks = overlays->marks_[r];
            overlays->up_[r][std::size_t(marks.PointCount())] =
                double(row[b]) > stats[w].expected[b];
            marks.AddPoint(b + 1, *y[b], QString(), color);
        }
    }
    if (overlays && scale == ProfileScale::Ratio) {
        overlays->one_.AddPoint(1, 1, QString(), clGray);
        overlays->one_.AddPoint(kBuckets, 1, QString(), clGray);
    }
    chart.LeftAxis().Title().SetCaption(ScaleCaption(scale));
}

}  // namespace kelmarin
