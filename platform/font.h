#pragma once
// The one place that turns the program's font descriptions (face, height) into QFonts:
// faces are substituted by installed metric-compatible fonts, a negative height is a pixel
// size and a positive one a point size.

#include <QFont>
#include <QString>

namespace kelmarin {

// The installed face used for a face name the program asks for ("Arial" → "Liberation Sans").
QString SubstituteFace(const QString& face);

// height < 0: character height in pixels; height > 0: points.
QFont MakeFont(const QString& face, int height, bool bold = false, bool italic = false);

}  // namespace kelmarin
