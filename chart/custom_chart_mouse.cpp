// The chart's mouse: what lies under a press, the click handlers, the zoom drag and the wheel.
#include <QMouseEvent>
#include <QWheelEvent>
#include <cstdlib>
#include <optional>

#include "chart/chart_series.h"
#include "chart/custom_chart.h"
#include "platform/handler_guard.h"

namespace kelmarin {

namespace {

bool Contains(const TRect& r, int x, int y) {
    return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

std::optional<TMouseButton> ButtonOf(Qt::MouseButton b) {
    switch (b) {
        case Qt::LeftButton:
            return mbLeft;
        case Qt::RightButton:
            return mbRight;
        case Qt::MiddleButton:
            return mbMiddle;
        default:
            return std::nullopt;
    }
}

}  // namespace

TChartClickedPart TCustomChart::ClickedPart(int x, int y) {
    TChartClickedPart part;
    const TChartSeriesList& list = SeriesList();
    bool any_active = false;
    for (int i = list.Count() - 1; i >= 0; --i) {
        TChartSeries* s = list.At(i);
        if (!s->Active()) continue;
        any_active = true;
        const int index = s->Clicked(x, y);
        if (index >= 0) return {cpSeries, s, nullptr, index};
    }
    if (TChartAxis* axis = AxisAt(x, y)) return {cpAxis, nullptr, axis, -1};
    if (Contains(title_box_, x, y)) return {cpTitle};
    if (Contains(foot_box_, x, y)) return {cpFoot};
    if (any_active && Contains(ChartRect(), x, y)) return {cpChartRect};
    // No legend is ever drawn, so none can be hit.
    return part;
}

bool TCustomChart::Consumed(const std::function<void()>& handler) {
    mouse_handled_ = true;
    handler();
    return mouse_handled_;
}

bool TCustomChart::StartDrag(TMouseButton button, int x, int y) {
    bool started = false;
    if (AllowZoom() && button == kZoomButton) {
        setCursor(Qt::ArrowCursor);
        zoom_.Activate(x, y);
        DrawZoomRectangle();
        started = true;
    }
    if (AllowPanning() != pmNone && button == kPanningButton) {
        panning_.Activate(x, y);
        started = true;
    }
    return started;
}

// Answers whether the press was consumed by a handler or turned into a drag.
bool TCustomChart::ClickPart(const TChartClickedPart& part, TMouseButton button, int x, int y,
                             bool double_click) {
    switch (part.Part) {
        case cpSeries: {
            TChartSeries& s = *part.ASeries;
            const auto& own = double_click ? s.OnDblClick : s.OnClick;
            if (own && Consumed([&] { own(s, part.PointIndex, button, x, y); })) return true;
            if (OnClickSeries && Consumed([&] { OnClickSeries(s, part.PointIndex, button, x, y); }))
                return true;
            return StartDrag(button, x, y);
        }
        case cpAxis:
            if (OnClickAxis && Consumed([&] { OnClickAxis(*part.AAxis, button, x, y); }))
                return true;
            return StartDrag(button, x, y);
        case cpChartRect:
            if (OnClickBackground && Consumed([&] { OnClickBackground(button, x, y); }))
                return true;
            return StartDrag(button, x, y);
        case cpLegend:
            return OnClickLegend && Consumed([&] { OnClickLegend(button, x, y); });
        default:
            return false;
    }
}

void TCustomChart::MouseDown(TMouseButton button, int x, int y, bool double_click) {
    if (zoom_.Dragging || panning_.Dragging) return;
    if (mouse_handled_) {
        mouse_handled_ = false;
        return;
    }
    const TChartClickedPart part = ClickedPart(x, y);
    if (!ClickPart(part, button, x, y, double_click) && OnClickBackground)
        Consumed([&] { OnClickBackground(button, x, y); });
    mouse_handled_ = false;
}

void TCustomChart::MouseMove(int x, int y) {
    if (!zoom_.Dragging) {
        // Panning drags never start here (not supported); series keep the chart's cursor.
        if (!panning_.Dragging) unsetCursor();
        return;
    }
    if (x == zoom_.CurrentX && y == zoom_.CurrentY) return;
    DrawZoomRectangle();  // not-xor: drawing it again erases the old band
    zoom_.CurrentX = x;
    zoom_.CurrentY = y;
    DrawZoomRectangle();
}

void TCustomChart::MouseUp(TMouseButton button, int x, int y) {
    if (zoom_.Dragging && button == kZoomButton) {
        zoom_.Dragging = false;
        DrawZoomRectangle();
        zoom_.CurrentX = x;
        zoom_.CurrentY = y;
        const int dx = zoom_.CurrentX - zoom_.StartX, dy = zoom_.CurrentY - zoom_.StartY;
        if (std::abs(dx) > kMinZoomDrag && std::abs(dy) > kMinZoomDrag) {
            if (dx > 0 && dy > 0)
                ApplyZoomRectangle();
            else
                ResetZoom();
            RequestRepaint();
        }
    }
    panning_.Dragging = false;
}

void TCustomChart::mousePressEvent(QMouseEvent* event) {
    event->accept();
    const QPoint p = event->position().toPoint();
    if (const auto button = ButtonOf(event->button()))
        RunHandler([&] { MouseDown(*button, p.x(), p.y(), false); });
}

void TCustomChart::mouseDoubleClickEvent(QMouseEvent* event) {
    event->accept();
    const QPoint p = event->position().toPoint();
    if (const auto button = ButtonOf(event->button()))
        RunHandler([&] { MouseDown(*button, p.x(), p.y(), true); });
}

void TCustomChart::mouseMoveEvent(QMouseEvent* event) {
    event->accept();
    const QPoint p = event->position().toPoint();
    RunHandler([&] { MouseMove(p.x(), p.y()); });
}

void TCustomChart::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
    const QPoint p = event->position().toPoint();
    if (const auto button = ButtonOf(event->button()))
        RunHandler([&] { MouseUp(*button, p.x(), p.y()); });
}

void TCustomChart::wheelEvent(QWheelEvent* event) {
    event->accept();
    // Smooth wheels send parts of a notch; they count once they add up to a whole one.
    wheel_remainder_ += event->angleDelta().y();
    const int notches = wheel_remainder_ / QWheelEvent::DefaultDeltasPerStep;
    wheel_remainder_ -= notches * QWheelEvent::DefaultDeltasPerStep;
    if (notches != 0) RunHandler([&] { ScrollVerticalAxes(notches); });
}

void TCustomChart::ScrollVerticalAxes(int notches) {
    const int step = notches < 0 ? 1 : -1;  // towards the user: the values move up
    for (int n = 0; n < std::abs(notches); ++n) {
        for (auto& axis : Axes()) {
            if (axis->Horizontal()) continue;
            const double shift = step * kWheelScroll * (axis->Maximum() - axis->Minimum());
            axis->SetAutomatic(false);
            axis->SetAutomaticMinimum(false);
            axis->SetAutomaticMaximum(false);
            axis->SetMinMax(axis->Minimum() + shift, axis->Maximum() + shift);
        }
        RepaintNow();
    }
}

}  // namespace kelmarin
