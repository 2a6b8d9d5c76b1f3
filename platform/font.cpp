#include "platform/font.h"

namespace kelmarin {

QString SubstituteFace(const QString& face) {
    // fonts-liberation supplies metric-compatible faces for the classic desktop fonts, so text
    // measures the same in tests, CI and on screen.
    if (face.compare(QLatin1String("Courier New"), Qt::CaseInsensitive) == 0 ||
        face.compare(QLatin1String("Courier"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("Liberation Mono");
    if (face.compare(QLatin1String("Times New Roman"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("Liberation Serif");
    // The classic dialog face is a narrow bitmap sans: the narrow cut keeps captions inside
    // the controls they were measured for.
    if (face.compare(QLatin1String("MS Sans Serif"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("Liberation Sans Narrow");
    // "Arial" and anything unknown: the sans face of the same metrics.
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
