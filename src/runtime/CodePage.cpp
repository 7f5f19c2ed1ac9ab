#include "runtime/CodePage.h"

#include <iconv.h>

#include <array>
#include <cerrno>

namespace {

// Windows-1251 is a single-byte code page, so the conversion is two tables,
// filled once from the C library's converter.
struct Cp1251Tables
{
    std::array<char16_t, 256> toUnicode{};
    std::array<char, 0x10000> fromUnicode{}; // 0 marks "no counterpart" (except for U+0000)

    Cp1251Tables()
    {
        for (int byte = 0; byte < 0x80; ++byte)
            toUnicode[byte] = char16_t(byte); // ASCII, also when the converter is missing
        const iconv_t converter = iconv_open("UTF-16LE", "CP1251");
        if (converter != iconv_t(-1)) {
            for (int byte = 0x80; byte < 0x100; ++byte)
                toUnicode[byte] = decodeByte(converter, char(byte));
            iconv_close(converter);
        } else {
            for (int byte = 0x80; byte < 0x100; ++byte)
                toUnicode[byte] = u'?';
        }
        for (int byte = 0; byte < 0x100; ++byte) {
            if (byte == '?' || toUnicode[byte] != u'?')
                fromUnicode[toUnicode[byte]] = char(byte);
        }
    }

    static char16_t decodeByte(iconv_t converter, char byte)
    {
        char input[1] = {byte};
        char output[4] = {};
        char *in = input;
        char *out = output;
        size_t inLeft = sizeof input;
        size_t outLeft = sizeof output;
        iconv(converter, nullptr, nullptr, nullptr, nullptr);
        if (iconv(converter, &in, &inLeft, &out, &outLeft) == size_t(-1) || outLeft != 2)
            return u'?'; // undefined in the code page (0x98) or outside the BMP
        return char16_t(static_cast<unsigned char>(output[0]) | static_cast<unsigned char>(output[1]) << 8);
    }
};

const Cp1251Tables &tables()
{
    static const Cp1251Tables instance;
    return instance;
}

} // namespace

QString fromCp1251(QByteArrayView bytes)
{
    const Cp1251Tables &t = tables();
    QString text(bytes.size(), Qt::Uninitialized);
    QChar *out = text.data();
    for (const char byte : bytes)
        *out++ = QChar(t.toUnicode[static_cast<unsigned char>(byte)]);
    return text;
}

QByteArray toCp1251(QStringView text)
{
    const Cp1251Tables &t = tables();
    QByteArray bytes;
    bytes.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i].unicode();
        if (QChar::isHighSurrogate(unit) && i + 1 < text.size() && QChar::isLowSurrogate(text[i + 1].unicode()))
            ++i; // one character outside the BMP: one "?"
        else if (unit == 0 || t.fromUnicode[unit] != 0) {
            bytes.append(t.fromUnicode[unit]);
            continue;
        }
        bytes.append('?');
    }
    return bytes;
}
