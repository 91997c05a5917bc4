#include "cao/text/NumberText.h"

#include "cao/Error.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

namespace cao {

namespace {

// Beyond any real's range either way; keeps the exponent arithmetic far from int64 limits.
constexpr int64_t kExponentLimit = 100000;

bool isAsciiDigit(QChar c) {
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

int hexDigitValue(QChar c) {
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9') return u - u'0';
    if (u >= u'a' && u <= u'f') return u - u'a' + 10;
    if (u >= u'A' && u <= u'F') return u - u'A' + 10;
    return -1;
}

class Reader {
public:
    explicit Reader(QStringView text) : m_text(text) {}
    bool atEnd() const { return m_pos >= m_text.size(); }
    QChar peek() const { return atEnd() ? QChar() : m_text[m_pos]; }
    void skip(qsizetype n = 1) { m_pos += n; }
    bool take(QStringView word) {
        if (word.isEmpty() || !m_text.mid(m_pos).startsWith(word)) return false;
        m_pos += word.size();
        return true;
    }
    bool takeDigit(std::string& into) {
        if (!isAsciiDigit(peek())) return false;
        into += char(peek().unicode());
        ++m_pos;
        return true;
    }

private:
    QStringView m_text;
    qsizetype m_pos = 0;
};

NumberText readPattern(Reader& in) {
    const QChar kind = in.peek().toUpper();
    in.skip();
    const int base = kind == QLatin1Char('H') ? 16 : 8;
    NumberText number;
    number.isPattern = true;
    bool any = false;
    for (; !in.atEnd(); in.skip()) {
        const int digit = hexDigitValue(in.peek());
        if (digit < 0 || digit >= base) throw Error::typeMismatch();
        if (number.pattern > (std::numeric_limits<uint64_t>::max() >> (base == 16 ? 4 : 3))) {
            throw Error::overflow();
        }
        number.pattern = number.pattern * uint64_t(base) + uint64_t(digit);
        any = true;
    }
    if (!any) throw Error::typeMismatch();
    return number;
}

int64_t readExponent(Reader& in) {
    bool negative = false;
    if (in.peek() == QLatin1Char('+') || in.peek() == QLatin1Char('-')) {
        negative = in.peek() == QLatin1Char('-');
        in.skip();
    }
    std::string digits;
    while (in.takeDigit(digits)) {
    }
    if (digits.empty()) throw Error::typeMismatch();
    int64_t value = 0;
    for (char c : digits) value = std::min(kExponentLimit, value * 10 + (c - '0'));
    return negative ? -value : value;
}

}  // namespace

NumberText parseNumberText(const QString& text, const QLocale& locale) {
    const QString trimmed = text.trimmed();
    Reader in(trimmed);
    if (in.peek() == QLatin1Char('&')) {
        in.skip();
        const QChar kind = in.peek().toUpper();
        if (kind != QLatin1Char('H') && kind != QLatin1Char('O')) throw Error::typeMismatch();
        return readPattern(in);
    }

    NumberText number;
    if (in.take(u"-") || in.take(locale.negativeSign())) {
        number.negative = true;
    } else if (!in.take(u"+")) {
        in.take(locale.positiveSign());
    }

    const QString group = locale.groupSeparator();
    std::string integer;
    while (in.takeDigit(integer) || (!integer.empty() && in.take(group))) {
    }
    std::string fraction;
    if (in.take(locale.decimalPoint())) {
        while (in.takeDigit(fraction)) {
        }
    }
    if (integer.empty() && fraction.empty()) throw Error::typeMismatch();
    int64_t exponent = 0;
    if (in.peek() == QLatin1Char('e') || in.peek() == QLatin1Char('E')) {
        in.skip();
        exponent = readExponent(in);
    }
    if (!in.atEnd()) throw Error::typeMismatch();

    std::string& digits = number.digits;
    digits = integer + fraction;
    number.pointPos = int64_t(integer.size()) + exponent;
    const std::size_t first = digits.find_first_not_of('0');
    if (first == std::string::npos) {
        digits.clear();
        number.pointPos = 0;
        return number;
    }
    digits.erase(0, first);
    number.pointPos -= int64_t(first);
    digits.erase(digits.find_last_not_of('0') + 1);
    return number;
}

bool numberIsZero(const NumberText& number) noexcept {
    return number.isPattern ? number.pattern == 0 : number.digits.empty();
}

int64_t numberToInteger(const NumberText& number, int64_t min, int64_t max, unsigned bits) {
    if (number.isPattern) {
        const uint64_t span = uint64_t(1) << bits;
        if (number.pattern >= span) throw Error::overflow();
        const bool signBit = min < 0 && number.pattern >= span / 2;
        return signBit ? int64_t(number.pattern) - int64_t(span) : int64_t(number.pattern);
    }
    const std::string& digits = number.digits;
    if (digits.empty()) return 0;
    if (number.pointPos > 19) throw Error::overflow();  // 10^19 exceeds every integer type

    uint64_t magnitude = 0;
    for (int64_t i = 0; i < number.pointPos; ++i) {
        const std::size_t at = std::size_t(i);
        magnitude = magnitude * 10 + uint64_t(at < digits.size() ? digits[at] - '0' : 0);
    }
    // Round half to even on the digits after the point.
    if (number.pointPos >= 0 && std::size_t(number.pointPos) < digits.size()) {
        const char next = digits[std::size_t(number.pointPos)];
        const bool more = digits.size() > std::size_t(number.pointPos) + 1;
        if (next > '5' || (next == '5' && (more || magnitude % 2 == 1))) ++magnitude;
    }
    if (number.negative) {
        if (magnitude > uint64_t(0) - uint64_t(min)) throw Error::overflow();
        return int64_t(uint64_t(0) - magnitude);
    }
    if (magnitude > uint64_t(max)) throw Error::overflow();
    return int64_t(magnitude);
}

namespace {

template <typename Real>
Real numberToReal(const NumberText& number, int64_t rangeDigits) {
    if (number.isPattern) {
        return Real(numberToInteger(number, std::numeric_limits<int32_t>::min(),
                                    std::numeric_limits<int32_t>::max(), 32));
    }
    const Real zero = number.negative ? -Real(0) : Real(0);
    if (number.digits.empty() || number.pointPos < -rangeDigits) return zero;
    if (number.pointPos > rangeDigits) throw Error::overflow();
    std::string text =
        (number.negative ? "-0." : "0.") + number.digits + "e" + std::to_string(number.pointPos);
    Real value = 0;
    const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
    if (result.ec == std::errc::result_out_of_range) {
        if (number.pointPos > 0) throw Error::overflow();
        return zero;
    }
    if (result.ec != std::errc() || std::isinf(value)) throw Error::overflow();
    return value;
}

}  // namespace

double numberToDouble(const NumberText& number) {
    return numberToReal<double>(number, 400);
}

float numberToFloat(const NumberText& number) {
    return numberToReal<float>(number, 60);
}

}  // namespace cao
