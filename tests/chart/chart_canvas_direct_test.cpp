#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include "chart/canvas/chart_canvas_3d.h"

namespace kelmarin {
namespace {

// A scene of small ellipses and styled lines, some crossing the clip and the image edges: what
// the direct rasteriser writes into a frame's bitmap must be the painter's pixels exactly.
void DrawScene(TChartCanvas3D& c) {
    c.Brush().SetColor(clWhite);
    c.FillRectangle({0, 0, 64, 48});
    const TColor colors[] = {clRed, clBlue, clBlack, clFuchsia};
    int k = 0;
    for (int size = 1; size <= 6; ++size)
        for (int x = -3; x < 64; x += 9) {
            const int y = (x * 7 + size * 5) % 48;
            c.Pen().SetColor(size % 2 ? clBlack : colors[k % 4]);
            c.Pen().SetStyle(size == 3 ? psClear : psSolid);
            c.Brush().SetColor(colors[k++ % 4]);
            if (size == 5) c.Brush().SetStyle(bsClear);
            c.DrawEllipse(x - size, y - size, x + size, y + size);
        }
    c.ClipToRect({5, 5, 50, 40});
    c.Pen().SetStyle(psDot);
    c.Pen().SetColor(clGray);
    c.Brush().SetStyle(bsClear);
    c.DrawLine(0, 20, 63, 20);
    // Gaps in the background colour when the brush is solid.
    c.Brush().SetColor(clYellow);
    c.Pen().SetStyle(psDash);
    c.DrawLine(0, 30, 63, 33);
    c.Brush().SetStyle(bsClear);
    c.Pen().SetStyle(psSolid);
    c.Pen().SetColor(clRed);
    c.DrawLine(2, 45, 60, 3);
    c.DrawEllipse(47, 36, 53, 42);
    c.RemoveClip();
}

TEST(SurfaceDirectPixels, BitmapFramesMatchThePainterPixelForPixel) {
    TChartCanvas3D buffered;
    QImage shown(64, 48, QImage::Format_RGB32);
    {
        QPainter p(&shown);
        buffered.BeginFrame(&p, {0, 0, 64, 48});
        DrawScene(buffered);
        buffered.EndFrame(&p, nullptr, {0, 0, 64, 48});
    }
    TChartCanvas3D direct_off;
    direct_off.SetBuffered(false);
    QImage painted(64, 48, QImage::Format_RGB32);
    {
        QPainter p(&painted);
        direct_off.BeginFrame(&p, {0, 0, 64, 48});
        DrawScene(direct_off);
        direct_off.EndFrame(&p, nullptr, {0, 0, 64, 48});
    }
    int differ = 0;
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x) differ += shown.pixel(x, y) != painted.pixel(x, y);
    EXPECT_EQ(differ, 0);
    // The scene is not trivially blank.
    EXPECT_NE(shown.pixel(20, 20), shown.pixel(0, 0));
}

}  // namespace
}  // namespace kelmarin
