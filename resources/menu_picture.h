#pragma once
// A menu picture as a menu item shows it: stretched to the 16 x 16 picture area whatever its
// own proportions, and with every pixel of its bottom-left colour made transparent so that the
// menu background shows through. It does not draw menus.

#include <QImage>
#include <QSize>

namespace kelmarin {

inline constexpr QSize kMenuPictureArea{16, 16};

// The picture made ready for its menu item; a null image when the picture cannot be read.
QImage MenuPicture(const char* resourcePath);

// The same for a picture already loaded: transparency from its bottom-left colour, then the
// stretch to the area (keeping whole pixels, so the transparent colour stays exact).
QImage MenuPictureFrom(const QImage& picture);

}  // namespace kelmarin
