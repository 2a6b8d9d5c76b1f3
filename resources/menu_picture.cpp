#include "resources/menu_picture.h"

#include "resources/resource_paths.h"

namespace kelmarin {

QImage MenuPictureFrom(const QImage& picture) {
    if (picture.isNull()) return {};
    QImage image = picture.convertToFormat(QImage::Format_ARGB32);
    const QRgb transparent = image.pixel(0, image.height() - 1);
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (line[x] == transparent) line[x] = 0;
        }
    }
    return image.scaled(kMenuPictureArea, Qt::IgnoreAspectRatio, Qt::FastTransformation);
}

QImage MenuPicture(const char* resourcePath) {
    InitResources();
    return MenuPictureFrom(QImage(QString::fromLatin1(resourcePath)));
}

}  // namespace kelmarin
