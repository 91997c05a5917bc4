#include "cao/text/RealText.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string>
#include <system_error>
#include <type_traits>

namespace cao {

namespace {

// Decimal digits d1 d2 ... dn (no trailing zeros) of a value d1.d2...dn × 10^exponent.
struct Digits {
    bool negative = false;
    std::string digits;
    int exponent = 0;
};

// Significant digits of the longest exact decimal expansion of a finite value of each type.
template <typename Real>
constexpr int kExactDigits = std::is_same_v<Real, float> ? 112 : 767;

// Rounds the exact binary value half away from zero, as the platform's conversion does: a
// value exactly halfway at the last shown digit goes up in magnitude. to_chars alone would
// round such ties to even, so it only supplies the exact digits here.
template <typename Real>
Digits roundedDigits(Real value, int significant) {
    char buffer[kExactDigits<Real> + 16];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value,
                                      std::chars_format::scientific, kExactDigits<Real> - 1);
    const std::string text(buffer, result.ptr);
    Digits out;
    std::size_t i = 0;
    if (text[i] == '-') {
        out.negative = true;
        ++i;
    }
    for (; i < text.size() && text[i] != 'e'; ++i) {
        if (text[i] != '.') out.digits += text[i];
    }
    out.exponent = std::atoi(text.c_str() + i + 1);

    const auto shown = static_cast<std::size_t>(significant);
    if (out.digits.size() > shown) {
        const bool up = out.digits[shown] >= '5';
        out.digits.resize(shown);
        if (up) {
            auto last = out.digits.rbegin();
            for (; last != out.digits.rend() && *last == '9'; ++last) *last = '0';
            if (last == out.digits.rend()) {
                out.digits.insert(out.digits.begin(), '1');
                out.digits.pop_back();
                ++out.exponent;
            } else {
                ++*last;
            }
        }
    }
    while (out.digits.size() > 1 && out.digits.back() == '0') out.digits.pop_back();
    return out;
}

QString fixedText(const Digits& d, const QString& point) {
    const int n = static_cast<int>(d.digits.size());
    std::string integer;
    std::string fraction;
    if (d.exponent >= 0) {
        const int intDigits = d.exponent + 1;
        integer = d.digits.substr(0, std::min(n, intDigits));
        integer.append(std::size_t(std::max(0, intDigits - n)), '0');
        if (n > intDigits) fraction = d.digits.substr(std::size_t(intDigits));
    } else {
        integer = "0";
        fraction = std::string(std::size_t(-d.exponent - 1), '0') + d.digits;
    }
    QString text = QString::fromLatin1(integer);
    if (!fraction.empty()) text += point + QString::fromLatin1(fraction);
    return text;
}

QString scientificText(const Digits& d, const QString& point) {
    QString text(QLatin1Char(d.digits[0]));
    if (d.digits.size() > 1) text += point + QString::fromLatin1(d.digits.substr(1));
    text += d.exponent < 0 ? QStringLiteral("E-") : QStringLiteral("E+");
    return text + QStringLiteral("%1").arg(std::abs(d.exponent), 2, 10, QLatin1Char('0'));
}

template <typename Real>
QString formatReal(Real value, int significant, const QLocale& locale) {
    if (std::isnan(value)) return QStringLiteral("NaN");
    if (std::isinf(value)) return value < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
    if (value == 0) return QStringLiteral("0");  // also negative zero

    const Digits d = roundedDigits(value, significant);
    const int n = static_cast<int>(d.digits.size());
    // Digits fixed notation would show: integer digits, or the zeros after the point and
    // the significant digits.
    const int fixedDigits = d.exponent >= 0 ? std::max(d.exponent + 1, n) : -d.exponent - 1 + n;
    const QString point = locale.decimalPoint();
    const QString body = fixedDigits > significant ? scientificText(d, point) : fixedText(d, point);
    return d.negative ? QLatin1Char('-') + body : body;
}

}  // namespace

QString formatDouble(double value, const QLocale& locale) {
    return formatReal(value, 15, locale);
}

QString formatFloat(float value, const QLocale& locale) {
    return formatReal(value, 7, locale);
}

QString formatCurrency(int64_t tenThousandths, const QLocale& locale) {
    const bool negative = tenThousandths < 0;
    // Unsigned, so the most negative amount has a magnitude too.
    const uint64_t magnitude =
        negative ? uint64_t(0) - static_cast<uint64_t>(tenThousandths) : uint64_t(tenThousandths);
    QString text = QString::number(magnitude / 10000);
    QString fraction = QStringLiteral("%1").arg(magnitude % 10000, 4, 10, QLatin1Char('0'));
    while (fraction.endsWith(QLatin1Char('0'))) fraction.chop(1);
    if (!fraction.isEmpty()) text += locale.decimalPoint() + fraction;
    return negative ? QLatin1Char('-') + text : text;
}

}  // namespace cao
