// Any bytes as number texts and pictures: the parsers return or throw
// ConversionError, the formatters return bounded texts, and the general form
// reads back as itself.
#include "runtime/NumberFormat.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

void checkGeneral(double value)
{
    const QString general = formatGeneral(value);
    check(general.size() <= 23);
    if (!std::isfinite(value))
        return;
    // 15 digits survive the trip; writing the value read back changes nothing.
    const double back = parseFloat(general);
    check(formatGeneral(back) == general);
}

void parseAll(const QString &text)
{
    try {
        checkGeneral(parseFloat(text));
    } catch (const ConversionError &) {
    }
    for (const bool allowHex : {false, true}) {
        try {
            const int value = parseInt(text, allowHex);
            if (!allowHex)
                check(parseInt(QString::number(value)) == value);
        } catch (const ConversionError &) {
        }
    }
}

void formatWithPicture(const uint8_t *data, size_t size)
{
    double value = 0;
    std::memcpy(&value, data, sizeof value);
    const QString pattern = QString::fromUtf8(reinterpret_cast<const char *>(data) + sizeof value,
                                              qsizetype(size - sizeof value));
    const QString text = formatFloat(pattern, value);
    // At most every character of the picture, a double's 309 digits grouped,
    // and the sign.
    check(text.size() <= 3 * pattern.size() + 420);
    checkGeneral(value);

    // Plain "0.000" pictures: the text is the value to the last place.
    const int decimals = data[sizeof value] % 12;
    if (!std::isfinite(value) || std::fabs(value) >= 1e12)
        return;
    const QString fixed = formatFloat(QStringLiteral("0.") + QString(decimals, u'0'), value);
    const double read = parseFloat(fixed);
    check(std::fabs(read - value) <= 0.5 * std::pow(10.0, -decimals) * (1 + 1e-9) + std::fabs(value) * 1e-14);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    parseAll(QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size)));
    parseAll(QString::fromLatin1(reinterpret_cast<const char *>(data), qsizetype(size)));
    if (size > sizeof(double))
        formatWithPicture(data, size);
    return 0;
}
