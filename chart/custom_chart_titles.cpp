// The title blocks: the title above the plot area and the foot below it.
#include <algorithm>

#include "chart/custom_chart.h"

namespace kelmarin {

void TCustomChart::DrawTitleBlocks() {
    title_box_ = foot_box_ = TRect{};
    if (title_.Visible()) DrawTitle(title_, true);
    if (foot_.Visible()) DrawTitle(foot_, false);
}

void TCustomChart::PrepareTitleBrush(TChartTitle& title) {
    TChartCanvas3D& c = Surface();
    const TChartBrush& tb = title.Brush();
    if (title.Color() == clDefault) {
        if (tb.Style() != bsSolid) {
            c.Brush().Assign(tb);
            c.SetBackgroundMode(TRANSPARENT);
        } else if (tb.Color() == clDefault) {
            c.Brush().SetStyle(bsClear);
        } else {
            title.SetColor(tb.Color());
            c.Brush().SetColor(tb.Color());
            c.Brush().SetStyle(bsSolid);
        }
        return;
    }
    if (tb.Style() != bsSolid) {
        c.Brush().Assign(tb);
        c.SetBackgroundMode(OPAQUE);
        c.SetBackgroundColor(title.Color());
    } else {
        c.Brush().SetColor(title.Color());
        c.Brush().SetStyle(bsSolid);
    }
}

TRect TCustomChart::TitleFrameRect(const TChartTitle& title, TRect r) {
    if (!title.AdjustFrame()) return r;
    const TChartCanvas3D& c = Surface();
    int widest = 0;
    for (const QString& line : title.Text()) widest = std::max(widest, c.TextWidthOf(line));
    const int w = widest + c.TextWidthOf(QStringLiteral("W"));
    switch (title.Alignment()) {
        case taLeftJustify:
            r.right = r.left + w;
            break;
        case taRightJustify:
            r.left = r.right - w;
            break;
        case taCenter: {
            const int centre = (r.left + r.right) / 2;
            r.left = centre - w / 2;
            r.right = r.left + w;
            break;
        }
    }
    return r;
}

void TCustomChart::DrawTitle(TChartTitle& title, bool on_top) {
    const QStringList& lines = title.Text();
    if (lines.isEmpty()) return;
    TChartCanvas3D& c = Surface();
    ApplyFont(title.Font());
    const int h = c.TextLineHeight();
    PrepareTitleBrush(title);
    const bool framed = title.Frame().Visible() && title.Frame().Color() != clDefault;
    const int fw = framed ? title.Frame().Width() : 0;
    const TRect cr = ChartRect();
    const int n = int(lines.size());
    const int lines_top = on_top ? cr.top + fw : cr.bottom - fw - n * h;
    // The lines' rectangle (inset by the frame width) grown by the frame width again.
    TRect box{cr.left, lines_top - fw, cr.right, lines_top + n * h + fw};
    if (framed || c.Brush().Style() != bsClear) {
        box = TitleFrameRect(title, box);
        if (framed)
            c.ApplyChartPen(title.Frame());
        else
            c.Pen().SetStyle(psClear);
        c.DrawRect(box.left, box.top, box.right, box.bottom);
    }
    (on_top ? title_box_ : foot_box_) = box;
    c.SetBackgroundMode(TRANSPARENT);
    const int w_half = c.TextWidthOf(QStringLiteral("W")) / 2;
    for (int i = 0; i < n; ++i) {
        const QString& line = lines[i];
        const int tw = c.TextWidthOf(line);
        int x = (box.left + box.right) / 2 - tw / 2;
        if (title.Alignment() == taLeftJustify) x = box.left + w_half;
        if (title.Alignment() == taRightJustify) x = box.right - tw - w_half;
        // Top titles are written downwards, the foot upwards from its last line.
        const int y = on_top ? lines_top + i * h : lines_top + (n - 1 - i) * h;
        c.DrawTextAt(x, y, on_top ? line : lines[n - 1 - i]);
    }
    TRect r = cr;
    if (on_top)
        r.top = lines_top + n * h + fw + kTitleMargin;
    else
        r.bottom = lines_top - fw - kTitleMargin;
    SetChartRect(r);
    NormaliseChartRect();
}

}  // namespace kelmarin
