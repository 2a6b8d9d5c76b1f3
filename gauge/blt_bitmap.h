#pragma once
// An off-screen true-colour bitmap for composing a picture before it is copied out in one
// block. It carries only what the gauge needs: sizing after a template, black fill, and the
// XOR combination of another bitmap. It does no drawing of its own; callers paint on Image().

#include <QImage>

namespace kelmarin {

class TBltBitmap {
  public:
    TBltBitmap() = default;
    TBltBitmap(int width, int height);

    // Takes the template's width and height; the contents are undefined until filled.
    void MakeLike(const TBltBitmap& model);

    // Every pixel black (the BLACKNESS transfer).
    void FillBlack();

    // Combines source into this bitmap at (0, 0) by XOR of the pixel values (SRCINVERT).
    void XorFrom(const TBltBitmap& source);

    int Width() const { return image_.width(); }
    int Height() const { return image_.height(); }
    bool IsEmpty() const { return image_.isNull(); }

    QImage& Image() { return image_; }
    const QImage& Image() const { return image_; }

  private:
    QImage image_;
};

}  // namespace kelmarin
