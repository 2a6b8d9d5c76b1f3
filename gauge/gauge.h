#pragma once
// The percentage bar along the bottom of the main window. A windowless control: a plain
// (alien) widget without a native window, painting inside its own bounds on its parent's
// surface. Each picture is composed off screen and copied in one block, so it never flickers.
// A change of the shown percentage repaints at once, without waiting for the event loop, so
// the bar stays current while a long run holds the user-interface thread. Only the
// horizontal bar is drawn; the other kinds show the empty part and the text.

#include <QWidget>

#include "gauge/gauge_types.h"
#include "platform/color.h"

namespace kelmarin {

class TGauge : public QWidget {
    Q_OBJECT
    // Exposed to the meta-object system so a form description can set them by name.
    Q_PROPERTY(int MinValue READ MinValue WRITE SetMinValue)
    Q_PROPERTY(int MaxValue READ MaxValue WRITE SetMaxValue)
    Q_PROPERTY(int Progress READ Progress WRITE SetProgress)
    Q_PROPERTY(bool ShowText READ ShowText WRITE SetShowText)
    Q_PROPERTY(uint ForeColor READ ForeColor WRITE SetForeColor)
    Q_PROPERTY(uint BackColor READ BackColor WRITE SetBackColor)

  public:
    explicit TGauge(QWidget* parent = nullptr);

    int MinValue() const { return minValue_; }
    int MaxValue() const { return maxValue_; }
    int Progress() const { return progress_; }
    TGaugeKind Kind() const { return kind_; }
    bool ShowText() const { return showText_; }
    TBorderStyle BorderStyle() const { return borderStyle_; }
    TColor ForeColor() const { return foreColor_; }
    TColor BackColor() const { return backColor_; }

    // Refused with EInvalidOperation above MaxValue (unless a form is being read); Progress
    // is pulled up into the new range and the gauge repaints.
    void SetMinValue(int value);
    // Refused with EInvalidOperation below MinValue (unless a form is being read); Progress
    // is pulled down into the new range and the gauge repaints.
    void SetMaxValue(int value);
    // Clamped into MinValue..MaxValue, never refused; repaints only if the shown percentage
    // changes.
    void SetProgress(int value);
    void SetKind(TGaugeKind kind);
    void SetShowText(bool show);
    void SetBorderStyle(TBorderStyle style);
    void SetForeColor(TColor color);
    void SetBackColor(TColor color);

    // The percentage shown, 0..100; derived, never stored.
    int PercentDone() const;

    // While a form description is read, properties arrive one at a time and the bounds are
    // not checked against each other.
    void SetReadingForm(bool reading) { readingForm_ = reading; }
    bool ReadingForm() const { return readingForm_; }

    // Carries out pending painting now rather than when the event loop gets to it.
    void Update();

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    void Paint();
    void RepaintNow();
    template <typename T>
    void SetAndRepaint(T& field, T value);

    int minValue_ = 0;
    int maxValue_ = 100;
    int progress_ = 0;
    TGaugeKind kind_ = TGaugeKind::gkHorizontalBar;
    bool showText_ = true;
    TBorderStyle borderStyle_ = TBorderStyle::bsSingle;
    TColor foreColor_ = clBlack;
    TColor backColor_ = clWhite;
    bool readingForm_ = false;
};

}  // namespace kelmarin
