#include "chart/grafico_config.h"

#include "chart/chart.h"
#include "chart/line_series.h"

namespace kelmarin {

namespace {

void ConfigureChart(TChart& chart) {
    chart.SetAllowPanning(pmNone);
    chart.BackWall().Brush().SetColor(clWhite);
    chart.BackWall().Brush().SetStyle(bsClear);
    TChartGradient& g = chart.Gradient();
    g.SetDirection(gdBottomTop);
    g.SetStartColor(clYellow);
    g.SetEndColor(0xFF80FF);
    g.SetVisible(true);
    chart.SetMarginLeft(0);
    chart.SetMarginTop(0);
    chart.SetMarginRight(0);
    chart.SetMarginBottom(0);
    chart.Title().SetText({QString()});
    chart.SetLegendVisible(false);
    chart.SetView3D(false);
}

void ConfigureAxes(TChart& chart) {
    chart.BottomAxis().Title().SetCaption(QStringLiteral("Normalized length"));
    TChartAxis& left = chart.LeftAxis();
    left.Title().SetCaption(QStringLiteral("Occurrence"));
    left.AxisPen().SetWidth(1);
    left.AxisPen().SetVisible(false);
    left.Grid().SetStyle(psSolid);
    left.Grid().SetVisible(false);
    left.SetTickLength(0);
    left.Ticks().SetStyle(psDash);
    left.Ticks().SetVisible(false);
    left.TicksInner().SetVisible(false);
    left.MinorTicks().SetVisible(false);
}

void ConfigureSeries(TLineSeries& s, TColor color) {
    s.SetSeriesColor(color);
    s.XValues().SetOrder(loAscending);
    s.YValues().SetOrder(loNone);
    TSeriesPointer& p = s.Pointer();
    p.SetInflateMargins(true);
    p.SetStyle(psCircle);
    p.SetHorizSize(2);
    p.SetVertSize(2);
    p.SetVisible(true);
}

}  // namespace

void ConfigureGrafico(TChart& chart, const TGraficoSeries& series) {
    ConfigureChart(chart);
    ConfigureAxes(chart);
    static constexpr TColor kColors[4] = {clRed, 0xA00000, clBlack, clFuchsia};
    for (std::size_t i = 0; i < series.size(); ++i) {
        ConfigureSeries(*series[i], kColors[i]);
        series[i]->SetHorizAxis(aBottomAxis);
        series[i]->SetVertAxis(aLeftAxis);
        series[i]->SetParentChart(&chart);
    }
    series[0]->SetDark3D(false);
    series[0]->Pointer().Pen().SetColor(clRed);
    series[3]->LinePen().SetColor(clFuchsia);
}

}  // namespace kelmarin
