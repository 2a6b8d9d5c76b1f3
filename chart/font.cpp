#include "chart/font.h"

namespace kelmarin {

QString SubstituteFace(const QString& face) {
    // fonts-liberation supplies metric-compatible faces for the classic desktop fonts, so text
    // measures the same in tests, CI and on screen.
    if (face.compare(QLatin1String("Courier New"), Qt::CaseInsensitive) == 0 ||
        face.compare(QLatin1String("Courier"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("Liberation Mono");
    if (face.compare(QLatin1String("Times New Roman"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("Liberation Serif");
    // "Arial", "MS Sans Serif", "Tahoma" and anything unknown: the sans face.
    return QStringLiteral("Liberation Sans");
}

QFont MakeFont(const QString& face, int height, bool bold, bool italic) {
    QFont f(SubstituteFace(face));
    f.setStyleHint(QFont::AnyStyle, QFont::PreferMatch);
    if (height < 0)
        f.setPixelSize(-height);
    else if (height > 0)
        f.setPointSize(height);
    f.setBold(bold);
    f.setItalic(italic);
    f.setKerning(false);
    return f;
}

}  // namespace kelmarin
