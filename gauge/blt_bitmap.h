#pragma once
// An off-screen true-colour bitmap for composing a picture before it is copied out in one
// block. It carries only what the gauge needs: sizing after a template, black fill, and the
// XOR combination of another bitmap. It does no drawing of its own; callers paint on Image(),
// in logical pixels: a bitmap for a screen of device pixel ratio r holds r times as many
// pixels each way, and a painter on it is scaled by r.

#include <QImage>

namespace kelmarin {

class TBltBitmap {
  public:
    TBltBitmap() = default;
    // width x height logical pixels, at ratio device pixels each.
    TBltBitmap(int width, int height, qreal ratio = 1);

    // Takes the template's size and ratio; the contents are undefined until filled.
    void MakeLike(const TBltBitmap& model);

    // Every pixel black (the BLACKNESS transfer).
    void FillBlack();

    // Combines source into this bitmap by XOR of the pixel values (SRCINVERT); a source of
    // another size changes nothing.
    void XorFrom(const TBltBitmap& source);

    // In device pixels.
    int Width() const { return image_.width(); }
    int Height() const { return image_.height(); }
    bool IsEmpty() const { return image_.isNull(); }

    QImage& Image() { return image_; }
    const QImage& Image() const { return image_; }

  private:
    QImage image_;
};

}  // namespace kelmarin
