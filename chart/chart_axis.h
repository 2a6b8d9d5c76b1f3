#pragma once
// One axis of a chart: its settings, the automatic range found from the series that use it,
// the widening for point markers, the label step, the label values and texts, and the mapping
// between values and pixels. Arithmetic is in 80-bit extended precision with the roundings the
// rules name. It does not draw: the chart lays out and paints the axis from what it computes.
// Date-time labels and a logarithmic scale are not provided (the scale is always linear).

#include <QHash>
#include <QString>
#include <cfloat>
#include <vector>

#include "chart/canvas/canvas_font.h"
#include "chart/canvas/chart_rect.h"
#include "chart/chart_axis_pen.h"
#include "chart/chart_axis_title.h"
#include "chart/chart_hidden_pen.h"
#include "chart/chart_types.h"
#include "chart/dark_gray_pen.h"
#include "chart/dotted_gray_pen.h"
#include "platform/assign_if_changed.h"

static_assert(LDBL_MANT_DIG == 64, "axis arithmetic needs the 80-bit extended format");

namespace kelmarin {

class TChartOwner;
class TChartSeries;

enum TAxisLabelStyle { talAuto, talNone, talValue, talMark, talText };

// One label the axis painting draws: its value (as the walk reached it, in extended
// precision), its pixel along the axis and its text.
struct TAxisLabel {
    long double value;
    int pixel;
    QString text;
};

class TChartAxis {
  public:
    // At most this many tick positions are recorded per paint.
    static constexpr int kMaxTickPositions = 2000;

    TChartAxis(TChartOwner* owner, TAxisPlacement placement);
    TChartAxis(const TChartAxis&) = delete;
    TChartAxis& operator=(const TChartAxis&) = delete;

    // --- the computations, in the order a paint uses them
    void ComputeRange();
    void ComputePositions(const TRect& chart_rect);
    void WidenRangeForMargins(int low, int high);
    int ValueToPixel(double v) const;
    double PixelToValue(int p) const;
    double ComputeIncrement();
    double IncrementForLabelCount(int max_labels) const;
    static double NextNiceStep(double x);
    QString LabelText(double v) const;
    TAxisLabelStyle EffectiveLabelStyle() const;
    int WidestLabelWidth();
    // The labels to draw with the given step, from the top value down; records the ticks.
    std::vector<TAxisLabel> GenerateLabels(double step);
    const std::vector<int>& TickPositions() const { return ticks_; }
    void SetManualRange(double a, double b);

    // --- working state of the last paint
    bool Horizontal() const { return horizontal_; }
    bool OtherSide() const { return other_side_; }
    TAxisPlacement Placement() const { return placement_; }
    double WorkingMinimum() const { return wmin_; }
    double WorkingMaximum() const { return wmax_; }
    double Range() const { return range_; }
    int StartPixel() const { return start_; }
    int EndPixel() const { return end_; }
    int AxisLength() const { return length_; }
    int CentrePixel() const { return centre_; }
    // True when this series' values are read by this axis.
    bool IsAttached(const TChartSeries& s) const;

    // --- settings
    bool Automatic() const { return automatic_; }
    void SetAutomatic(bool on);
    bool AutomaticMaximum() const { return auto_max_; }
    void SetAutomaticMaximum(bool on);
    bool AutomaticMinimum() const { return auto_min_; }
    void SetAutomaticMinimum(bool on);
    double Maximum() const { return maximum_; }
    void SetMaximum(double v);
    double Minimum() const { return minimum_; }
    void SetMinimum(double v);
    // Both ends at once (minimum <= maximum), in the order that never has them crossed; the
    // automatic flags are left alone.
    void SetMinMax(double minimum, double maximum);
    double Increment() const { return increment_; }
    void SetIncrement(double v);
    int LabelsSeparation() const { return labels_separation_; }
    void SetLabelsSeparation(int percent);
    const QString& AxisValuesFormat() const { return values_format_; }
    void SetAxisValuesFormat(const QString& f) { Set(values_format_, f); }
    bool RoundFirstLabel() const { return round_first_label_; }
    void SetRoundFirstLabel(bool on) { Set(round_first_label_, on); }
    bool LabelsOnAxis() const { return labels_on_axis_; }
    void SetLabelsOnAxis(bool on) { Set(labels_on_axis_, on); }
    bool Labels() const { return labels_; }
    void SetLabels(bool on) { Set(labels_, on); }
    TAxisLabelStyle LabelStyle() const { return label_style_; }
    void SetLabelStyle(TAxisLabelStyle s) { Set(label_style_, s); }
    int LabelsAngle() const { return labels_angle_; }
    void SetLabelsAngle(int degrees);
    int LabelsSize() const { return labels_size_; }
    void SetLabelsSize(int px) { Set(labels_size_, px); }
    bool LabelsMultiLine() const { return labels_multi_line_; }
    void SetLabelsMultiLine(bool on) { Set(labels_multi_line_, on); }
    const TCanvasFont& LabelsFont() const { return labels_font_; }
    TCanvasFont& LabelsFont() { return labels_font_; }
    void SetLabelsFont(const TCanvasFont& f) { labels_font_ = f; }
    bool TickOnLabelsOnly() const { return tick_on_labels_only_; }
    void SetTickOnLabelsOnly(bool on) { Set(tick_on_labels_only_, on); }
    double StartPosition() const { return start_position_; }
    void SetStartPosition(double percent) { Set(start_position_, percent); }
    double EndPosition() const { return end_position_; }
    void SetEndPosition(double percent) { Set(end_position_, percent); }
    double PositionPercent() const { return position_percent_; }
    void SetPositionPercent(double percent) { Set(position_percent_, percent); }
    bool Inverted() const { return inverted_; }
    void SetInverted(bool on) { Set(inverted_, on); }
    bool Logarithmic() const { return logarithmic_; }
    void SetLogarithmic(bool on);
    int LogarithmicBase() const { return log_base_; }
    void SetLogarithmicBase(int base);
    bool Visible() const { return visible_; }
    void SetVisible(bool on) { Set(visible_, on); }
    int TitleSize() const { return title_size_; }
    void SetTitleSize(int px) { Set(title_size_, px); }
    int TickLength() const { return tick_length_; }
    void SetTickLength(int px) { Set(tick_length_, px); }
    int TickInnerLength() const { return tick_inner_length_; }
    void SetTickInnerLength(int px) { Set(tick_inner_length_, px); }
    int MinorTickLength() const { return minor_tick_length_; }
    void SetMinorTickLength(int px) { Set(minor_tick_length_, px); }
    int MinorTickCount() const { return minor_tick_count_; }
    void SetMinorTickCount(int n) { Set(minor_tick_count_, n); }
    bool GridCentered() const { return grid_centered_; }
    void SetGridCentered(bool on) { Set(grid_centered_, on); }

    TChartAxisTitle& Title() { return title_; }
    TChartAxisPen& AxisPen() { return axis_pen_; }
    TDottedGrayPen& Grid() { return grid_; }
    TChartHiddenPen& MinorGrid() { return minor_grid_; }
    TDarkGrayPen& Ticks() { return ticks_pen_; }
    TDarkGrayPen& TicksInner() { return ticks_inner_; }
    TDarkGrayPen& MinorTicks() { return minor_ticks_; }

    // While the form is read, range settings are not checked against each other and the
    // Automatic flag does not pass itself on.
    void SetLoading(bool on) { loading_ = on; }

  private:
    template <typename T>
    void Set(T& field, const T& value) {
        AssignIfChanged(field, value, [this] { Repaint(); });
    }
    void Repaint() const;
    bool SeriesTakesPart(const TChartSeries& s, bool any_active) const;
    void ChartExtremes(double& lowest, double& highest) const;
    // ValueToPixel of a value kept in extended precision, as the label walk keeps it.
    int PixelOf(long double v) const;
    // Measured in the labels font without making it the surface's font.
    int LabelWidth(double v) const;
    int LabelHeight(double v) const;
    QStringList LabelLines(double v) const;
    bool IsDateTime() const;

    TChartOwner* owner_;
    TAxisPlacement placement_;
    bool horizontal_;
    bool other_side_;

    bool automatic_ = true, auto_max_ = true, auto_min_ = true;
    double maximum_ = 0, minimum_ = 0, increment_ = 0;
    int labels_separation_ = 10;
    QString values_format_ = QStringLiteral("#,##0.###");
    // Texts already written in values_format_: a frame asks for the same values many times.
    mutable QHash<double, QString> label_texts_;
    mutable QString label_texts_format_;
    bool round_first_label_ = true, labels_on_axis_ = true, labels_ = true;
    TAxisLabelStyle label_style_ = talAuto;
    int labels_angle_ = 0, labels_size_ = 0;
    bool labels_multi_line_ = false;
    TCanvasFont labels_font_;
    bool tick_on_labels_only_ = true;
    double start_position_ = 0, end_position_ = 100, position_percent_ = 0;
    bool inverted_ = false, logarithmic_ = false;
    int log_base_ = 10;
    bool visible_ = true;
    int title_size_ = 0, tick_length_ = 4, tick_inner_length_ = 0, minor_tick_length_ = 2;
    int minor_tick_count_ = 3;
    bool grid_centered_ = false;
    bool loading_ = false;

    TChartAxisTitle title_;
    TChartAxisPen axis_pen_;
    TDottedGrayPen grid_;
    TChartHiddenPen minor_grid_;
    TDarkGrayPen ticks_pen_, ticks_inner_, minor_ticks_;

    double wmin_ = 0, wmax_ = 0, range_ = 0;
    int start_ = 0, end_ = 0, length_ = 0, centre_ = 0;
    TRect chart_rect_;
    std::vector<int> ticks_;
};

}  // namespace kelmarin
