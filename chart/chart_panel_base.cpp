#include "chart/chart_panel_base.h"

#include <QCoreApplication>
#include <QPaintEvent>
#include <algorithm>

#include "chart/chart_exceptions.h"
#include "platform/handler_guard.h"
#include "platform/mul_div.h"

namespace kelmarin {

TChartPanelBase::TChartPanelBase(QWidget* parent) : QWidget(parent) {
    // Every frame covers the whole widget: nothing may be erased underneath it.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setAutoFillBackground(false);
    resize(400, 250);
}

TChartPanelBase::~TChartPanelBase() = default;

void TChartPanelBase::SetChart3DPercent(int percent) {
    if (percent < 1 || percent > 100)
        throw ChartException("3D effect percent must be between 1 and 100");
    Set(chart_3d_percent_, percent);
}

namespace {

const QEvent::Type kInvalidateEvent = QEvent::Type(QEvent::registerEventType());

}  // namespace

void TChartPanelBase::RequestRepaint() {
    if (!auto_repaint_) return;
    canvas_.MarkDirty();
    if (invalidation_posted_) return;
    invalidation_posted_ = true;
    QCoreApplication::postEvent(this, new QEvent(kInvalidateEvent));
}

bool TChartPanelBase::event(QEvent* event) {
    if (event->type() != kInvalidateEvent) return QWidget::event(event);
    invalidation_posted_ = false;
    if (canvas_.IsDirty()) update();
    return true;
}

void TChartPanelBase::RepaintNow() {
    if (!isVisible()) return;
    repaint();
}

void TChartPanelBase::paintEvent(QPaintEvent* event) {
    RunHandler([this, event] {
        QPainter p(this);
        if (canvas_.RepaintFromBuffer(p, event->region())) return;
        RenderFrame(&p, {0, 0, width(), height()});
    });
}

void TChartPanelBase::resizeEvent(QResizeEvent* event) {
    canvas_.MarkDirty();
    QWidget::resizeEvent(event);
}

void TChartPanelBase::RenderFrame(QPainter* target, const TRect& target_rect) {
    // Drawn in the device pixels of where it goes, so that lines and texts are sharp on any
    // screen.
    canvas_.SetDevicePixelRatio(target && target->device() ? target->device()->devicePixelRatioF()
                                                           : devicePixelRatioF());
    bounds_ = canvas_.BeginFrame(target, target_rect, view_3d_);
    const int w = bounds_.Width(), h = bounds_.Height();
    chart_rect_ = {bounds_.left + border_width_ + MulDiv(margin_left_, w, 100),
                   bounds_.top + border_width_ + MulDiv(margin_top_, h, 100),
                   bounds_.right - border_width_ - MulDiv(margin_right_, w, 100),
                   bounds_.bottom - border_width_ - MulDiv(margin_bottom_, h, 100)};
    NormaliseChartRect();
    // The frame is finished and shown even when a part of it fails to draw.
    struct EndGuard {
        TChartCanvas3D& canvas;
        QPainter* target;
        TRect rect;
        ~EndGuard() { canvas.EndFrame(target, nullptr, rect); }
    } guard{canvas_, target, target_rect};
    InternalPaint(bounds_);
}

void TChartPanelBase::NormaliseChartRect() {
    TRect& r = chart_rect_;
    r.left = std::max(r.left, bounds_.left);
    r.top = std::max(r.top, bounds_.top);
    if (r.right < r.left) r.right = r.left + 1;
    if (r.right == r.left) r.right = r.left + width();
    if (r.bottom < r.top) r.bottom = r.top + 1;
    if (r.bottom == r.top) r.bottom = r.top + height();
    chart_width_ = r.Width();
    chart_height_ = r.Height();
    chart_x_center_ = (r.left + r.right) / 2;
    chart_y_center_ = (r.top + r.bottom) / 2;
}

void TChartPanelBase::ApplyFont(const TCanvasFont& font) { canvas_.Font() = font; }

void TChartPanelBase::InternalPaint(const TRect&) {}

void TChartPanelBase::DrawPanelBorder(const TRect& bounds) {
    TCanvasPen& pen = canvas_.Pen();
    pen.SetStyle(psSolid);
    pen.SetWidth(1);
    pen.SetMode(pmCopy);
    canvas_.Brush().SetStyle(bsClear);
    TRect r = bounds;
    const auto shrink = [&r](int n) {
        r.left += n;
        r.top += n;
        r.right -= n;
        r.bottom -= n;
    };
    const auto bevel = [&](TPanelBevel b) {
        if (b == bvNone) return;
        const bool raised = b == bvRaised;
        canvas_.DrawFrame3D(r, raised ? clBtnHighlight : clBtnShadow,
                            raised ? clBtnShadow : clBtnHighlight, bevel_width_);
        shrink(bevel_width_);
    };
    bevel(bevel_outer_);
    if (border_width_ > 0) {
        canvas_.DrawFrame3D(r, color_, color_, border_width_);
        shrink(border_width_);
    }
    bevel(bevel_inner_);
}

}  // namespace kelmarin
