#pragma once
// Writes a number as a format like "#,##0.###" asks: grouped integer digits (when the format has
// a ','), at least as many integer digits as '0's before the point, and up to as many decimals
// as '0' and '#' after it, trailing optional zeros and then a bare separator dropped. Decimals
// are rounded with halves away from zero. The separators are the given locale's.

#include <QLocale>
#include <QString>

namespace kelmarin {

QString FormatNumber(double value, const QString& format, const QLocale& locale = QLocale());

}  // namespace kelmarin
