#include "gauge/gauge.h"

#include <QPaintEvent>
#include <QPainter>
#include <cstdint>
#include <string>

#include "gauge/gauge_exceptions.h"
#include "gauge/gauge_geometry.h"
#include "gauge/gauge_picture.h"
#include "platform/assign_if_changed.h"
#include "platform/handler_guard.h"

namespace kelmarin {

namespace {

// The bound arithmetic is done in 64 bits: at the ends of the 32-bit range the message's
// numbers would otherwise wrap around.
EInvalidOperation OutOfRange(std::int64_t low, std::int64_t high) {
    return EInvalidOperation("Value must be between " + std::to_string(low) + " and " +
                             std::to_string(high));
}

}  // namespace

TGauge::TGauge(QWidget* parent) : QWidget(parent) {
    resize(100, 100);
    // The picture covers every pixel of the gauge, so nothing is erased beneath it.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAutoFillBackground(false);
}

void TGauge::SetMinValue(int value) {
    if (value == minValue_) return;
    if (value > maxValue_ && !readingForm_)
        throw OutOfRange(-2147483647, std::int64_t{maxValue_} - 1);
    minValue_ = value;
    if (progress_ < value) progress_ = value;
    RepaintNow();
}

void TGauge::SetMaxValue(int value) {
    if (value == maxValue_) return;
    if (value < minValue_ && !readingForm_)
        throw OutOfRange(std::int64_t{minValue_} + 1, 2147483647);
    maxValue_ = value;
    if (progress_ > value) progress_ = value;
    RepaintNow();
}

void TGauge::SetProgress(int value) {
    const int shownBefore = PercentDone();
    if (value < minValue_)
        value = minValue_;
    else if (value > maxValue_)
        value = maxValue_;
    if (value == progress_) return;
    progress_ = value;
    // A run sets the value for every refresh; painting only on a new percentage keeps that
    // to at most 101 repaints with the default bounds.
    if (PercentDone() != shownBefore) RepaintNow();
}

template <typename T>
void TGauge::SetAndRepaint(T& field, T value) {
    AssignIfChanged(field, value, [this] { RepaintNow(); });
}

void TGauge::SetKind(TGaugeKind kind) { SetAndRepaint(kind_, kind); }
void TGauge::SetShowText(bool show) { SetAndRepaint(showText_, show); }
void TGauge::SetBorderStyle(TBorderStyle style) { SetAndRepaint(borderStyle_, style); }
void TGauge::SetForeColor(TColor color) { SetAndRepaint(foreColor_, color); }
void TGauge::SetBackColor(TColor color) { SetAndRepaint(backColor_, color); }

int TGauge::PercentDone() const { return DisplayedPercent(progress_, minValue_, maxValue_); }

void TGauge::Update() { RepaintNow(); }

void TGauge::RepaintNow() {
    // A hidden gauge, or one whose window is not shown yet, only keeps its state; its next
    // paint shows it. repaint() paints synchronously, inside our bounds only.
    if (isVisible()) repaint();
}

void TGauge::paintEvent(QPaintEvent*) {
    RunHandler([this] { Paint(); });
}

void TGauge::Paint() {
    TGaugeLook look;
    look.width = width();
    look.height = height();
    look.kind = kind_;
    look.border = borderStyle_;
    look.showText = showText_;
    look.foreColor = foreColor_;
    look.backColor = backColor_;
    look.font = font();
    look.percent = PercentDone();
    const QImage picture = ComposeGauge(look);
    if (picture.isNull()) return;
    QPainter painter(this);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(0, 0, picture);
}

}  // namespace kelmarin
