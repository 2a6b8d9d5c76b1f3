#pragma once
// A way to a widget's place on the screen that skips the window system's repaint: the chart
// hands it each refreshed frame. It does not keep the window's own copy of the widget up to
// date; whoever provides it repaints the widget when the window needs that copy again.

#include <QImage>
#include <QRegion>
#include <QWidget>

namespace kelmarin {

class ScreenPresenter {
  public:
    virtual ~ScreenPresenter() = default;
    // Puts area of picture (the widget's size, in its coordinates) where the widget shows on
    // the screen, now; false when it cannot here, and nothing was sent.
    virtual bool Present(QWidget& widget, const QImage& picture, const QRegion& area) = 0;
};

}  // namespace kelmarin
