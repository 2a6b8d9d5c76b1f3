#include "chart/label_format.h"

#include <cmath>
#include <cstdio>
#include <string>

namespace kelmarin {

namespace {

struct NumberPattern {
    bool grouped = false;
    int min_int_digits = 0;
    int min_decimals = 0;
    int max_decimals = 0;
};

NumberPattern Parse(const QString& format) {
    NumberPattern p;
    const int point = format.indexOf(QLatin1Char('.'));
    const QString int_part = point < 0 ? format : format.left(point);
    p.grouped = int_part.contains(QLatin1Char(','));
    p.min_int_digits = int(int_part.count(QLatin1Char('0')));
    if (point >= 0) {
        const QString dec = format.mid(point + 1);
        p.min_decimals = int(dec.count(QLatin1Char('0')));
        p.max_decimals = p.min_decimals + int(dec.count(QLatin1Char('#')));
    }
    return p;
}

QString Group(const QString& digits, const QString& separator) {
    QString out;
    const int n = int(digits.size());
    for (int i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0) out += separator;
        out += digits[i];
    }
    return out;
}

}  // namespace

QString FormatNumber(double value, const QString& format, const QLocale& locale) {
    const NumberPattern p = Parse(format);
    // Digits of |value| rounded to max_decimals places, without a separator; a double times a
    // power of ten up to 10^3 is exact in the 64-bit significand, so halves are found exactly.
    const long double scaled = std::fabs(static_cast<long double>(value)) *
                               std::pow(10.0L, static_cast<long double>(p.max_decimals));
    // Sized by a first, measuring call: the largest doubles have over 300 digits.
    const long double rounded = std::roundl(scaled);
    std::string buf(std::size_t(std::snprintf(nullptr, 0, "%.0Lf", rounded)) + 1, '\0');
    std::snprintf(buf.data(), buf.size(), "%.0Lf", rounded);
    QString digits = QString::fromLatin1(buf.c_str());
    while (digits.size() < p.max_decimals + 1) digits.prepend(QLatin1Char('0'));
    QString int_digits = digits.left(digits.size() - p.max_decimals);
    QString decimals = digits.right(p.max_decimals);
    while (decimals.size() > p.min_decimals && decimals.endsWith(QLatin1Char('0')))
        decimals.chop(1);
    while (int_digits.size() > 1 && int_digits.startsWith(QLatin1Char('0')))
        int_digits.remove(0, 1);
    if (int_digits == QLatin1String("0") && p.min_int_digits == 0 && !decimals.isEmpty())
        int_digits.clear();
    while (int_digits.size() < p.min_int_digits) int_digits.prepend(QLatin1Char('0'));
    QString out = p.grouped ? Group(int_digits, locale.groupSeparator()) : int_digits;
    if (!decimals.isEmpty()) out += locale.decimalPoint() + decimals;
    // A value that rounds to zero is written without a sign.
    const bool zero = digits.count(QLatin1Char('0')) == digits.size();
    if (value < 0 && !zero) out.prepend(QLatin1Char('-'));
    if (out.isEmpty()) out = QStringLiteral("0");
    return out;
}

}  // namespace kelmarin
