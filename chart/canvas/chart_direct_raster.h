#pragma once
// Writes one-pixel lines and small ellipses straight into a 32-bit picture, with exactly the
// pixels the painter gives them: a frame of a run is hundreds of such tiny shapes, and the
// painter's cost per call is many times the cost of their pixels. It serves only the frame's own
// bitmap at one device pixel per pixel; everything else is drawn by the painter.

#include <QImage>
#include <QPoint>
#include <QRect>
#include <optional>
#include <span>
#include <vector>

namespace kelmarin {

class TDirectRaster {
  public:
    // An ellipse's outline and fill; either may be absent.
    struct EllipseLook {
        bool has_pen, has_brush;
        QRgb pen, brush;
        int pen_width;
        bool operator==(const EllipseLook&) const = default;
    };
    // Ellipses larger than this are rare and cheap enough through the painter.
    static constexpr int kMaxStampSize = 32;
    // Pixels of one colour in a row, relative to a box's corner.
    struct PixelRun {
        int dy, dx, length;
        QRgb rgb;
    };

    // Writes go into image (32 bits per pixel, its pixels not shared) until the next Attach;
    // nullptr writes nowhere.
    void Attach(QImage* image);
    bool Attached() const { return bits_ != nullptr; }
    // Only pixels within clip, in the picture's coordinates, are written; none: all of it.
    void SetClip(const std::optional<QRect>& clip);

    // The pixels from a to b, b left out, in one value.
    void SolidLine(QPoint a, QPoint b, QRgb on);
    // Lines through corners (back to the first when closed) in a pen's on/off runs, entered
    // phase pixels into them; the gaps are written in off when it is given.
    void StyledLines(std::span<const QPoint> corners, bool closed, std::span<const int> pattern,
                     int phase, QRgb on, std::optional<QRgb> off);
    // The ellipse filling box (right and bottom included) as the painter draws it; false, with
    // nothing written, when it is too large to be stamped.
    bool Ellipse(const QRect& box, const EllipseLook& look);
    // A line series with its markers: for each point i > 0 the line into it (value line[i],
    // none where the point did not move) then the marker of point i - 1 (look[i - 1]), and the
    // last point's marker at the end; each marker fills the box of half sizes h, v around its
    // point as Ellipse(QRect(x - h, y - v, 2h - 1, 2v - 1)). False, with nothing written, when
    // the markers are too large to be stamped.
    bool MarkedLine(std::span<const QPoint> points, std::span<const QRgb> line,
                    std::span<const EllipseLook> look, int h, int v);
    // The pixels the painter sets for the ellipse filling a w × h box (right and bottom
    // included) at one device pixel per pixel, row by row: what a marker looks like anywhere.
    const std::vector<PixelRun>& EllipseRuns(int w, int h, const EllipseLook& look) {
        return FindStamp(w, h, look).runs;
    }

  private:
    // One small ellipse as the painter draws it: the pixels it sets, relative to its box.
    struct Stamp {
        int width, height;
        EllipseLook look;
        std::vector<PixelRun> runs;  // row by row
        // The same pixels as offsets from the box's corner in rows `stride` pixels apart.
        qsizetype stride = 0;
        std::vector<std::pair<qsizetype, QRgb>> pixels;
    };
    Stamp& FindStamp(int w, int h, const EllipseLook& look);
    void Put(Stamp& stamp, const QRect& box);
    QRgb& Pixel(int x, int y) { return reinterpret_cast<QRgb*>(bits_ + y * bpl_)[x]; }
    bool Inside(int x, int y) const { return clip_.contains(x, y); }

    uchar* bits_ = nullptr;
    qsizetype bpl_ = 0;
    QSize size_;
    QRect clip_;
    std::vector<Stamp> stamps_;  // the last used at the back
};

}  // namespace kelmarin
