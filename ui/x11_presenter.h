#pragma once
// Puts pictures of a window's widgets straight onto an X display through shared memory,
// without Qt's repaint: before each repaint, Qt's X backing store waits for the display to
// answer, which on a refresh costs about as much as drawing the chart. It serves only where
// the put shows what a repaint would: the xcb platform with the MIT-SHM extension, a 24-bit
// true-colour window at device pixel ratio 1, and no other widget over the one presented.
// Elsewhere it declines, and the widget is repainted as usual.
//
// The window's backing store is not written. When the display asks the window for its
// picture again (an expose), the widgets presented since are repainted first, and held ones
// are released; so are held ones that a repaint of what lies under them passes over.

#include <QImage>
#include <QLineEdit>
#include <QObject>
#include <QPointer>
#include <QWindow>
#include <array>
#include <cstddef>
#include <vector>

#include "chart/screen_presenter.h"

namespace kelmarin {

class X11Presenter : public QObject, public ScreenPresenter {
  public:
    X11Presenter();
    ~X11Presenter() override;
    X11Presenter(const X11Presenter&) = delete;
    X11Presenter& operator=(const X11Presenter&) = delete;

    // Whether pictures of widget can be put on the screen now.
    bool CanPresent(const QWidget& widget);
    bool Present(QWidget& widget, const QImage& picture, const QRegion& area) override;
    // Puts a held line edit as a repaint would draw it, with what lies under it. While its look
    // (state, palette, style, size and place) stays the same, only its text area is drawn again.
    bool PresentLineEdit(QLineEdit& edit);

    // Holds widget's repaints (false when it cannot be presented here): it is shown by
    // PresentLineEdit alone until Release, an expose of its window, or a repaint of what lies
    // under it.
    bool Hold(QWidget& widget);
    bool Holds(const QWidget& widget) const;
    // Lets widget repaint again, and repaints it.
    void Release(QWidget& widget);

    long Presented() const { return presented_count_; }  // pictures put so far

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // A shared picture the display reads from. Two take turns, so that one is written while
    // the display may still be reading the other.
    struct Segment {
        unsigned int id = 0;  // the display's name for it; 0 before it exists
        unsigned char* bits = nullptr;
        std::size_t size = 0;
        unsigned int fence = 0;  // a request sent after its last put
        bool fenced = false;     // and not yet answered
    };
    // An X window, and whether puts of 32-bit RGB pixels show right in it.
    struct Target {
        unsigned int window = 0;
        unsigned int gc = 0;
        bool usable = false;
    };

    bool Available();
    Target TargetFor(unsigned int window);
    bool Reserve(Segment& segment, std::size_t size);
    // Present once CanPresent said yes, with an RGB32 picture of the widget's size.
    bool Put(QWidget& widget, const QImage& picture, const QRegion& area);
    void WaitForDisplay(Segment& segment);
    void Free(Segment& segment);
    void Watch(QWidget& widget);

    enum class State { Unknown, Yes, No } available_ = State::Unknown;
    std::array<Segment, 2> segments_;
    std::size_t turn_ = 0;
    std::vector<Target> targets_;
    std::vector<QPointer<QWindow>> windows_;    // watched for exposes
    std::vector<QPointer<QWidget>> presented_;  // since the last expose
    std::vector<QPointer<QWidget>> held_;
    // The last line edit presented, and what its picture outside the text area depends on.
    struct LineEditLook {
        const QWidget* edit = nullptr;
        QRect place;  // in its window
        int state = 0, direction = 0, line_width = 0;
        qint64 palette = 0, window_palette = 0;
        const void* style = nullptr;
        bool operator==(const LineEditLook&) const = default;
    };
    LineEditLook shown_look_;
    QImage shown_;
    bool rendering_ = false;  // paints of our own, not the window's
    long presented_count_ = 0;
};

}  // namespace kelmarin
