#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

#include <optional>

// The bytes of an INI file, read and changed the way the Windows profile
// functions do it, without touching any file.
//
// Lines end in LF or CRLF. A line whose first non-blank character is "[" and
// that holds a "]" names a section (the text up to the last "]"); a line with
// "=" holds a key and its value; lines starting with ";", lines without "=" and
// keys before the first section are kept but never match. Names and values are
// Windows-1251 and trimmed of blanks; names match without regard to case, after
// decoding. With repeated sections or keys the first key in file order counts.
class IniText
{
public:
    // The longest value a read returns, in characters.
    static constexpr qsizetype MaxValueLength = 2047;

    explicit IniText(QByteArray content);

    const QByteArray &content() const { return m_content; }

    // The value of the key, trimmed, one pair of enclosing quotes removed, cut
    // to MaxValueLength; nothing when the section or the key is missing.
    std::optional<QString> value(QStringView section, QStringView key) const;

    // Sets the value: an existing key keeps its line up to "=", a new key goes
    // after the last key of the section, a new section at the end of the text.
    // Every other byte stays. New lines take the text's line ending (CRLF for
    // a text that has none). Line breaks in the value are stored as "?", as
    // they cannot be part of a value.
    void setValue(QStringView section, QStringView key, QStringView value);

private:
    struct Location
    {
        qsizetype valueBegin = -1; // the bytes after "=" of the key's line
        qsizetype valueEnd = -1;
        qsizetype insertAt = -1; // where a new key of a found section goes
    };

    Location locate(QStringView section, QStringView key) const;
    QByteArray lineEnding() const;

    QByteArray m_content;
};
