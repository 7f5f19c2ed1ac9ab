#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <memory>
#include <optional>
#include <utility>

// The character encodings a settings text may have. Windows-1251 is the
// program's own; a file that an editor wrote in UTF-8 keeps UTF-8, and a
// byte-order mark it had.
enum class IniEncoding
{
    Cp1251,
    Utf8,
    Utf8WithBom,
};

// The bytes of an INI file, read and changed the way the Windows profile
// functions do it, without touching any file.
//
// Lines end in LF or CRLF. A line whose first non-blank character is "[" and
// that holds a "]" names a section (the text up to the last "]"); a line with
// "=" holds a key and its value; lines starting with ";", lines without "=" and
// keys before the first section are kept but never match. Names and values are
// trimmed of blanks; names match without regard to case, after decoding. With
// repeated sections or keys the first key in file order counts.
//
// The encoding is taken from the bytes: a UTF-8 byte-order mark, or valid
// UTF-8 holding at least one non-ASCII character, means UTF-8; anything else
// (an empty or plain ASCII text included) is Windows-1251. Text written in is
// encoded the same way, so a file never ends up in two encodings.
class IniText
{
public:
    // The longest value a read returns, in characters.
    static constexpr qsizetype MaxValueLength = 2047;

    explicit IniText(QByteArray content);

    static IniEncoding detectEncoding(QByteArrayView content);

    // The whole text, byte-order mark included.
    QByteArray content() const;
    IniEncoding encoding() const { return m_encoding; }

    // Whether text survives a round trip through the text's encoding.
    bool canStore(QStringView text) const;

    // The value of the key, trimmed, one pair of enclosing quotes removed, cut
    // to MaxValueLength; nothing when the section or the key is missing.
    std::optional<QString> value(QStringView section, QStringView key) const;

    // Why a section or key of this name could not be written so that it reads
    // back (in Russian), or nothing: a line break or another control
    // character but the tab (the file would no longer be text), blanks at
    // either end, a character the encoding lacks; for a key also "=" or a
    // leading "[" or ";".
    std::optional<QString> nameProblem(QStringView name, bool isKey) const;

    // Sets the value: an existing key keeps its line up to "=", a new key goes
    // after the last key of the section, a new section at the end of the text.
    // Every other byte stays. New lines take the text's line ending (CRLF for
    // a text that has none). Line breaks in the value are stored as "?", as
    // they cannot be part of a value; so is a character the encoding lacks.
    // A name that nameProblem() refuses changes nothing; its reason is returned.
    std::optional<QString> setValue(QStringView section, QStringView key, QStringView value);

    // setValue() for each key in turn; a section that does not exist yet is
    // written at the end in one go, however long the text.
    std::optional<QString> setValues(QStringView section, const QList<std::pair<QString, QString>> &keysAndValues);

    // Removes every section of this name: its header and every line up to the
    // next section. Returns whether there was one.
    bool removeSection(QStringView section);

    // The names of the sections in file order, each name once (in the
    // spelling of its first header).
    QStringList sectionNames() const;

private:
    struct Location
    {
        qsizetype valueBegin = -1; // the bytes after "=" of the key's line
        qsizetype valueEnd = -1;
        qsizetype insertAt = -1; // where a new key of a found section goes
    };

    // One line of m_content: [begin, end) is the line without its line ending
    // and blanks; next is where the following line starts.
    struct Line
    {
        qsizetype start;
        qsizetype begin;
        qsizetype end;
        qsizetype contentEnd; // end of the line before the line ending, blanks kept
        qsizetype next;
    };
    Line lineAt(qsizetype start) const;
    // The section named by the line, or nothing when it names none.
    std::optional<QString> sectionOf(const Line &line) const;

    Location locate(QStringView section, QStringView key) const;
    bool sameName(qsizetype begin, qsizetype end, QStringView name) const;
    QString decode(QByteArrayView bytes) const;
    QByteArray encode(QStringView text) const;
    QByteArray lineEnding() const;

    QByteArray m_content; // without the byte-order mark
    IniEncoding m_encoding;
    // sectionNames() of this content, shared by copies until one changes.
    mutable std::shared_ptr<const QStringList> m_sectionNames;
};
