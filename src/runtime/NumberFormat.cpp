#include "runtime/NumberFormat.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <system_error>

ConversionError::ConversionError(const QString &text)
    : std::runtime_error(QStringLiteral("'%1' is not a valid number").arg(text).toStdString())
    , m_text(text)
{
}

namespace {

// Doubles carry 15 decimal digits that always survive a round trip; every
// text starts from the value's decimal form at this precision.
constexpr int Precision = 15;

// A finite non-negative value as decimal digits: value = 0.d1d2...dn x 10^point.
// Trailing zeros are dropped; zero has no digits.
struct Decimal
{
    std::array<char, Precision + 1> digits {};
    int count = 0;
    int point = 0;

    bool isZero() const { return count == 0; }

    // The digit of weight 10^power, '0' outside the stored digits.
    char digitAt(int power) const
    {
        const int index = point - 1 - power;
        return index >= 0 && index < count ? digits[index] : '0';
    }

    void trim()
    {
        while (count > 0 && digits[count - 1] == '0')
            --count;
        if (count == 0)
            point = 0;
    }

    // Keeps the first `keep` digits, rounding half away from zero on the
    // digits that are dropped (the stored form is already rounded once).
    void roundTo(int keep)
    {
        if (keep >= count)
            return;
        if (keep < 0) {
            count = 0;
            point = 0;
            return;
        }
        const bool up = digits[keep] >= '5';
        count = keep;
        if (up) {
            int i = keep - 1;
            while (i >= 0 && digits[i] == '9') {
                digits[i] = '0';
                --i;
            }
            if (i >= 0) {
                ++digits[i];
            } else {
                // All nines (or nothing kept): the carry adds a digit in front.
                digits[0] = '1';
                count = 1;
                ++point;
                return;
            }
        }
        trim();
    }
};

// The largest 15-digit decimal that is still a double: the values above it
// would round to 1.79769313486232E308, a text that no longer reads back.
constexpr double LargestDecimal = 1.79769313486231e308;

Decimal toDecimal(double magnitude)
{
    Decimal d;
    if (magnitude == 0)
        return d;
    magnitude = std::min(magnitude, LargestDecimal);
    // "d.ddddddddddddddE+xx": to_chars rounds correctly and ignores the locale.
    char text[32];
    const auto result = std::to_chars(text, text + sizeof text, magnitude,
                                      std::chars_format::scientific, Precision - 1);
    const char *p = text;
    d.digits[d.count++] = *p++;
    if (*p == '.')
        ++p;
    while (p < result.ptr && *p != 'e')
        d.digits[d.count++] = *p++;
    int exponent = 0;
    std::from_chars(p + 1 + (p[1] == '+'), result.ptr, exponent);
    d.point = exponent + 1;
    d.trim();
    return d;
}

QString nonFinite(double value)
{
    if (std::isnan(value))
        return QStringLiteral("NAN");
    return value < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
}

bool isQuote(QChar c)
{
    return c == u'\'' || c == u'"';
}

// Splits a pattern at the ";" that stand outside quoted text.
std::array<QStringView, 3> splitSections(QStringView pattern, int &sectionCount)
{
    std::array<QStringView, 3> sections;
    sectionCount = 0;
    qsizetype start = 0;
    QChar quote;
    for (qsizetype i = 0; i <= pattern.size(); ++i) {
        if (i < pattern.size()) {
            const QChar c = pattern[i];
            if (!quote.isNull()) {
                if (c == quote)
                    quote = QChar();
                continue;
            }
            if (isQuote(c)) {
                quote = c;
                continue;
            }
            if (c != u';')
                continue;
        }
        sections[sectionCount++] = pattern.sliced(start, i - start);
        start = i + 1;
        if (sectionCount == 3)
            break;
    }
    return sections;
}

// What one section of a picture asks for.
struct Picture
{
    int integerPlaces = 0;  // "0" and "#" before the point
    int minInteger = 0;     // places from the first "0" before the point on
    int decimalPlaces = 0;  // "0" and "#" after the point
    int minDecimals = 0;    // places up to the last "0" after the point
    bool grouping = false;
    bool scientific = false;
    int exponentDigits = 0;

    bool hasDigits() const { return integerPlaces + decimalPlaces > 0; }
};

// Length of an exponent "E+0..." starting at i, or 0 if there is none.
qsizetype exponentLength(QStringView section, qsizetype i, int &digits)
{
    const QChar e = section[i];
    if ((e != u'E' && e != u'e') || i + 2 >= section.size())
        return 0;
    if (section[i + 1] != u'+' && section[i + 1] != u'-')
        return 0;
    qsizetype end = i + 2;
    while (end < section.size() && section[end] == u'0')
        ++end;
    digits = int(end - (i + 2));
    return digits > 0 ? end - i : 0;
}

Picture analyse(QStringView section)
{
    Picture picture;
    bool afterPoint = false;
    int firstZero = -1;
    QChar quote;
    for (qsizetype i = 0; i < section.size(); ++i) {
        const QChar c = section[i];
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
            continue;
        }
        if (isQuote(c)) {
            quote = c;
        } else if (c == u'0' || c == u'#') {
            if (afterPoint) {
                ++picture.decimalPlaces;
                if (c == u'0')
                    picture.minDecimals = picture.decimalPlaces;
            } else {
                if (c == u'0' && firstZero < 0)
                    firstZero = picture.integerPlaces;
                ++picture.integerPlaces;
            }
        } else if (c == u'.') {
            afterPoint = true;
        } else if (c == u',') {
            picture.grouping = picture.grouping || !afterPoint;
        } else if (!picture.scientific) {
            int digits = 0;
            if (const qsizetype length = exponentLength(section, i, digits)) {
                picture.scientific = true;
                picture.exponentDigits = digits;
                i += length - 1;
            }
        }
    }
    if (firstZero >= 0)
        picture.minInteger = picture.integerPlaces - firstZero;
    return picture;
}

// Rounds the magnitude for a picture. For the scientific form `exponent`
// receives the power of ten and the digits are shifted to the mantissa.
Decimal roundFor(const Picture &picture, double magnitude, int &exponent)
{
    Decimal d = toDecimal(magnitude);
    exponent = 0;
    if (picture.scientific) {
        if (d.isZero())
            return d;
        d.roundTo(picture.integerPlaces + picture.decimalPlaces);
        exponent = d.point - picture.integerPlaces;
        d.point = picture.integerPlaces;
    } else {
        d.roundTo(d.point + picture.decimalPlaces);
    }
    return d;
}

void appendDigits(QString &out, const Decimal &d, int fromPower, int toPower, bool grouping)
{
    for (int power = fromPower; power >= toPower; --power) {
        out.append(QChar(d.digitAt(power)));
        if (grouping && power > 0 && power % 3 == 0)
            out.append(u',');
    }
}

QString render(QStringView section, const Picture &picture, const Decimal &d, int exponent,
               bool minus)
{
    // Integer digits that the value has, or the pattern asks for at least.
    const int integerDigits = std::max(std::max(d.point, 0), picture.minInteger);
    int shownDecimals = picture.minDecimals;
    for (int i = picture.decimalPlaces; i > shownDecimals; --i) {
        if (d.digitAt(-i) != '0') {
            shownDecimals = i;
            break;
        }
    }

    QString out;
    out.reserve(section.size() + integerDigits + integerDigits / 3 + 8);
    if (minus)
        out.append(u'-');

    int integerIndex = 0;
    int decimalIndex = 0;
    bool afterPoint = false;
    bool exponentDone = false;
    QChar quote;
    for (qsizetype i = 0; i < section.size(); ++i) {
        const QChar c = section[i];
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
            else
                out.append(c);
            continue;
        }
        if (isQuote(c)) {
            quote = c;
        } else if (c == u'0' || c == u'#') {
            if (afterPoint) {
                ++decimalIndex;
                if (decimalIndex <= shownDecimals)
                    out.append(QChar(d.digitAt(-decimalIndex)));
            } else {
                const int power = picture.integerPlaces - 1 - integerIndex;
                // The first place also takes the digits the pattern has no room for.
                const int from = integerIndex == 0 ? std::max(integerDigits - 1, power) : power;
                if (power < integerDigits)
                    appendDigits(out, d, std::min(from, integerDigits - 1), power, picture.grouping);
                ++integerIndex;
            }
        } else if (c == u'.') {
            if (afterPoint)
                continue;
            afterPoint = true;
            if (picture.integerPlaces == 0)
                appendDigits(out, d, integerDigits - 1, 0, picture.grouping);
            if (shownDecimals > 0)
                out.append(u'.');
        } else if (c == u',') {
            // Grouping is a property of the whole number, not a literal.
        } else {
            int digits = 0;
            const qsizetype length =
                picture.scientific && !exponentDone ? exponentLength(section, i, digits) : 0;
            if (length == 0) {
                out.append(c);
                continue;
            }
            exponentDone = true;
            out.append(c);
            if (exponent < 0)
                out.append(u'-');
            else if (section[i + 1] == u'+')
                out.append(u'+');
            char text[16];
            const auto result = std::to_chars(text, text + sizeof text, std::abs(exponent));
            for (qsizetype pad = digits - (result.ptr - text); pad > 0; --pad)
                out.append(u'0');
            for (const char *p = text; p < result.ptr; ++p)
                out.append(QChar(*p));
            i += length - 1;
        }
    }
    return out;
}

} // namespace

QString formatFloat(QStringView pattern, double value)
{
    if (!std::isfinite(value))
        return nonFinite(value);
    if (pattern.isEmpty())
        return formatGeneral(value);

    int sectionCount = 0;
    const auto sections = splitSections(pattern, sectionCount);
    const bool negative = value < 0;
    const double magnitude = std::fabs(value);

    // A negative value takes the second section, without its sign; an empty
    // section stands for the first one.
    const bool ownNegative = negative && sectionCount > 1 && !sections[1].isEmpty();
    QStringView section = ownNegative ? sections[1] : sections[0];
    Picture picture = analyse(section);
    int exponent = 0;
    Decimal d = roundFor(picture, magnitude, exponent);
    // A picture without digits is a fixed text: it has no sign to show.
    bool minus = negative && !ownNegative && picture.hasDigits();

    if (d.isZero() || !picture.hasDigits()) {
        const bool zero = d.isZero();
        if (zero && (sectionCount > 2 && !sections[2].isEmpty())) {
            section = sections[2];
            picture = analyse(section);
            minus = false;
        } else if (zero && ownNegative) {
            // Zero has no sign: it is written in the first section.
            section = sections[0];
            picture = analyse(section);
        }
        if (zero) {
            d = Decimal();
            exponent = 0;
            minus = false;
        }
    }
    return render(section, picture, d, exponent, minus);
}

QString formatGeneral(double value)
{
    if (!std::isfinite(value))
        return nonFinite(value);
    const Decimal d = toDecimal(std::fabs(value));
    if (d.isZero())
        return QStringLiteral("0");

    QString out;
    out.reserve(Precision + 8);
    if (value < 0)
        out.append(u'-');
    const int exponent = d.point - 1;
    if (exponent >= -5 && exponent < Precision) {
        if (d.point <= 0) {
            out.append(u"0.");
            for (int i = d.point; i < 0; ++i)
                out.append(u'0');
        }
        for (int i = 0; i < std::max(d.count, d.point); ++i) {
            if (i == d.point && i > 0)
                out.append(u'.');
            out.append(QChar(i < d.count ? d.digits[i] : '0'));
        }
        return out;
    }
    out.append(QChar(d.digits[0]));
    if (d.count > 1) {
        out.append(u'.');
        for (int i = 1; i < d.count; ++i)
            out.append(QChar(d.digits[i]));
    }
    out.append(u'E');
    char text[16];
    const auto result = std::to_chars(text, text + sizeof text, exponent);
    for (const char *p = text; p < result.ptr; ++p)
        out.append(QChar(*p));
    return out;
}

namespace {

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}

QStringView trimmedBlanks(QStringView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlank(text[begin]))
        ++begin;
    while (end > begin && isBlank(text[end - 1]))
        --end;
    return text.sliced(begin, end - begin);
}

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

int hexDigit(QChar c)
{
    if (isDigit(c))
        return c.unicode() - u'0';
    if (c >= u'a' && c <= u'f')
        return c.unicode() - u'a' + 10;
    if (c >= u'A' && c <= u'F')
        return c.unicode() - u'A' + 10;
    return -1;
}

} // namespace

double parseFloat(QStringView text)
{
    const QStringView s = trimmedBlanks(text);
    const auto fail = [&] { return ConversionError(text.toString()); };

    // Validate the whole grammar first, so that the library conversion only
    // ever sees plain ASCII it cannot misread.
    qsizetype i = 0;
    const bool negative = i < s.size() && s[i] == u'-';
    if (i < s.size() && (s[i] == u'-' || s[i] == u'+'))
        ++i;
    const qsizetype mantissaBegin = i;
    int digits = 0;
    int integerPower = -1;   // power of ten of the first significant digit before the point
    int leadingZeros = 0;    // zeros after the point before the first significant digit
    bool seenPoint = false;
    bool seenSignificant = false;
    for (; i < s.size(); ++i) {
        const QChar c = s[i];
        if (isDigit(c)) {
            ++digits;
            if (c != u'0')
                seenSignificant = true;
            if (!seenPoint && seenSignificant)
                ++integerPower;
            else if (seenPoint && !seenSignificant)
                ++leadingZeros;
        } else if (c == u'.' && !seenPoint) {
            seenPoint = true;
        } else {
            break;
        }
    }
    if (digits == 0)
        throw fail();
    qint64 exponent = 0;
    if (i < s.size() && (s[i] == u'e' || s[i] == u'E')) {
        ++i;
        bool negativeExponent = false;
        if (i < s.size() && (s[i] == u'-' || s[i] == u'+'))
            negativeExponent = s[i++] == u'-';
        const qsizetype exponentBegin = i;
        for (; i < s.size() && isDigit(s[i]); ++i)
            exponent = std::min<qint64>(exponent * 10 + (s[i].unicode() - u'0'), 1'000'000'000);
        if (i == exponentBegin)
            throw fail();
        if (negativeExponent)
            exponent = -exponent;
    }
    if (i != s.size())
        throw fail();

    std::string ascii;
    ascii.reserve(size_t(s.size() - mantissaBegin));
    for (qsizetype k = mantissaBegin; k < s.size(); ++k)
        ascii.push_back(char(s[k].unicode()));

    double value = 0;
    const auto result = std::from_chars(ascii.data(), ascii.data() + ascii.size(), value);
    if (result.ec == std::errc::result_out_of_range) {
        // Too small for a double rounds to zero; too large is not a number we have.
        const qint64 magnitude = integerPower >= 0 ? exponent + integerPower
                                                    : exponent - leadingZeros - 1;
        if (!seenSignificant || magnitude < 0)
            return negative ? -0.0 : 0.0;
        throw fail();
    }
    if (result.ec != std::errc() || result.ptr != ascii.data() + ascii.size() || !std::isfinite(value))
        throw fail();
    return negative ? -value : value;
}

int parseInt(QStringView text, bool allowHex)
{
    const QStringView s = trimmedBlanks(text);
    const auto fail = [&] { return ConversionError(text.toString()); };

    if (allowHex && s.size() > 2 && s[0] == u'0' && (s[1] == u'x' || s[1] == u'X')) {
        // Hexadecimal is a 32-bit pattern: 0xFFFFFFFF is -1.
        quint64 value = 0;
        for (qsizetype i = 2; i < s.size(); ++i) {
            const int digit = hexDigit(s[i]);
            if (digit < 0)
                throw fail();
            value = value * 16 + quint64(digit);
            if (value > 0xFFFFFFFFu)
                throw fail();
        }
        return int(std::uint32_t(value));
    }

    qsizetype i = 0;
    const bool negative = i < s.size() && s[i] == u'-';
    if (i < s.size() && (s[i] == u'-' || s[i] == u'+'))
        ++i;
    if (i == s.size())
        throw fail();
    const qint64 limit = negative ? qint64(std::numeric_limits<int>::max()) + 1
                                  : std::numeric_limits<int>::max();
    qint64 value = 0;
    for (; i < s.size(); ++i) {
        if (!isDigit(s[i]))
            throw fail();
        value = value * 10 + (s[i].unicode() - u'0');
        if (value > limit)
            throw fail();
    }
    return int(negative ? -value : value);
}
