#pragma once
// The main window's chart with its four series, drawn into an image, for pixel tests.

#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <array>

#include "chart/chart.h"
#include "chart/grafico_config.h"
#include "chart/line_series.h"
#include "platform/font.h"

namespace kelmarin::test {

// Line height of the default chart font (Arial 8 points at 96 dots per inch is 11 pixels),
// measured independently of the chart.
inline int ArialLineHeight() {
    const QFontMetrics fm(MakeFont(QStringLiteral("Arial"), -11));
    return fm.ascent() + fm.descent();
}
inline int ArialWidth(const QString& s) {
    return QFontMetrics(MakeFont(QStringLiteral("Arial"), -11)).horizontalAdvance(s);
}

class Grafico : public ::testing::Test {
  protected:
    static constexpr QRgb kRed = 0xFF0000, kBlue = 0x0000FF, kBlack = 0x000000, kGray = 0x808080,
                          kFuchsia = 0xFF00FF;

    Grafico() {
        ConfigureGrafico(chart, {&s[0], &s[1], &s[2], &s[3]});
        chart.resize(682, 524);
    }
    QImage Render() {
        QImage image(chart.width(), chart.height(), QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter p(&image);
        chart.RenderFrame(&p, {0, 0, chart.width(), chart.height()});
        p.end();
        return image;
    }
    static QRgb At(const QImage& im, int x, int y) { return im.pixel(x, y) & 0xFFFFFF; }
    void Fill(int series, double x0, int count, double y, TColor color) {
        for (int i = 0; i < count; ++i) s[series].AddPoint(x0 + i, y, QString(), color);
    }

    TChart chart;
    std::array<TLineSeries, 4> s;
};

}  // namespace kelmarin::test
