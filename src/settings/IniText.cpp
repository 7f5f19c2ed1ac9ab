#include "settings/IniText.h"

#include "runtime/CodePage.h"

#include <QCoreApplication>
#include <QSet>
#include <QStringDecoder>

namespace {

constexpr QByteArrayView Utf8Bom("\xEF\xBB\xBF");

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

// [begin, end) without leading and trailing blanks.
void trim(const QByteArray &text, qsizetype &begin, qsizetype &end)
{
    while (begin < end && isBlank(text[begin]))
        ++begin;
    while (end > begin && isBlank(text[end - 1]))
        --end;
}


// A name as a message may show it: control characters as "?".
QString printable(QStringView name)
{
    QString shown = name.toString();
    for (QChar &c : shown) {
        if (c.unicode() < 0x20)
            c = u'?';
    }
    return shown;
}

bool hasNonAscii(QByteArrayView bytes)
{
    for (const char byte : bytes) {
        if (static_cast<unsigned char>(byte) >= 0x80)
            return true;
    }
    return false;
}

} // namespace

IniText::IniText(QByteArray content)
    : m_content(std::move(content))
    , m_encoding(detectEncoding(m_content))
{
    if (m_encoding == IniEncoding::Utf8WithBom)
        m_content.remove(0, Utf8Bom.size());
}

IniEncoding IniText::detectEncoding(QByteArrayView content)
{
    if (content.startsWith(Utf8Bom))
        return IniEncoding::Utf8WithBom;
    if (hasNonAscii(content) && content.isValidUtf8())
        return IniEncoding::Utf8;
    return IniEncoding::Cp1251;
}

QByteArray IniText::content() const
{
    if (m_encoding == IniEncoding::Utf8WithBom)
        return Utf8Bom.toByteArray() + m_content;
    return m_content;
}

QString IniText::decode(QByteArrayView bytes) const
{
    if (m_encoding == IniEncoding::Cp1251)
        return fromCp1251(bytes);
    // A name or value may begin with U+FEFF: it is a character there, not
    // the file's byte-order mark (which the constructor has taken off).
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless | QStringDecoder::Flag::ConvertInitialBom);
    return decoder(bytes);
}

QByteArray IniText::encode(QStringView text) const
{
    if (m_encoding == IniEncoding::Cp1251)
        return toCp1251(text);
    // Lone surrogates cannot be UTF-8: "?" as in Windows-1251.
    QString clean = text.toString();
    for (qsizetype i = 0; i < clean.size(); ++i) {
        if (clean[i].isHighSurrogate() && i + 1 < clean.size() && clean[i + 1].isLowSurrogate())
            ++i;
        else if (clean[i].isSurrogate())
            clean[i] = u'?';
    }
    return clean.toUtf8();
}

bool IniText::canStore(QStringView text) const
{
    return decode(encode(text)) == text;
}

bool IniText::sameName(qsizetype begin, qsizetype end, QStringView name) const
{
    qsizetype b = begin;
    qsizetype e = end;
    trim(m_content, b, e);
    // Each Windows-1251 byte decodes to one character, so the lengths must agree.
    if (m_encoding == IniEncoding::Cp1251 && e - b != name.size())
        return false;
    return QString::compare(decode(QByteArrayView(m_content).sliced(b, e - b)), name, Qt::CaseInsensitive) == 0;
}

IniText::Line IniText::lineAt(qsizetype start) const
{
    const qsizetype size = m_content.size();
    Line line{};
    line.start = start;
    qsizetype next = m_content.indexOf('\n', start);
    line.next = next < 0 ? size : next + 1;
    qsizetype end = line.next;
    if (end > start && m_content[end - 1] == '\n')
        --end;
    if (end > start && m_content[end - 1] == '\r')
        --end;
    line.contentEnd = end;
    line.begin = start;
    line.end = end;
    trim(m_content, line.begin, line.end);
    return line;
}

std::optional<QString> IniText::sectionOf(const Line &line) const
{
    const QByteArrayView text = QByteArrayView(m_content).sliced(line.begin, line.end - line.begin);
    if (!text.startsWith('['))
        return std::nullopt;
    const qsizetype close = text.lastIndexOf(']');
    if (close <= 0)
        return std::nullopt;
    qsizetype b = line.begin + 1;
    qsizetype e = line.begin + close;
    trim(m_content, b, e);
    return decode(QByteArrayView(m_content).sliced(b, e - b));
}

IniText::Location IniText::locate(QStringView section, QStringView key) const
{
    Location found;
    const qsizetype size = m_content.size();
    bool inSection = false;     // in a section of the wanted name
    bool inFirstSection = false; // in the first of them, where new keys go
    bool sectionSeen = false;
    qsizetype lineBegin = 0;
    while (lineBegin < size) {
        const Line current = lineAt(lineBegin);
        const QByteArrayView line = QByteArrayView(m_content).sliced(current.begin, current.end - current.begin);

        if (line.startsWith('[')) {
            const qsizetype close = line.lastIndexOf(']');
            if (close > 0) {
                inSection = sameName(current.begin + 1, current.begin + close, section);
                inFirstSection = inSection && !sectionSeen;
                if (inFirstSection) {
                    sectionSeen = true;
                    found.insertAt = current.next;
                }
                lineBegin = current.next;
                continue;
            }
        }
        if (inSection && !line.startsWith(';')) {
            const qsizetype equals = line.indexOf('=');
            if (equals >= 0) {
                if (sameName(current.begin, current.begin + equals, key)) {
                    found.valueBegin = current.begin + equals + 1;
                    found.valueEnd = current.contentEnd;
                    return found;
                }
                if (inFirstSection)
                    found.insertAt = current.next;
            }
        }
        lineBegin = current.next;
    }
    return found;
}

std::optional<QString> IniText::value(QStringView section, QStringView key) const
{
    const Location location = locate(section, key);
    if (location.valueBegin < 0)
        return std::nullopt;
    qsizetype begin = location.valueBegin;
    qsizetype end = location.valueEnd;
    trim(m_content, begin, end);
    if (end - begin >= 2 && (m_content[begin] == '"' || m_content[begin] == '\'') && m_content[end - 1] == m_content[begin]) {
        ++begin;
        --end;
    }
    if (m_encoding == IniEncoding::Cp1251)
        return fromCp1251(QByteArrayView(m_content).sliced(begin, std::min(end - begin, MaxValueLength)));
    return decode(QByteArrayView(m_content).sliced(begin, end - begin)).left(MaxValueLength);
}

QByteArray IniText::lineEnding() const
{
    const qsizetype newline = m_content.indexOf('\n');
    if (newline > 0 && m_content[newline - 1] == '\r')
        return QByteArrayLiteral("\r\n");
    if (newline >= 0)
        return QByteArrayLiteral("\n");
    return QByteArrayLiteral("\r\n");
}

std::optional<QString> IniText::nameProblem(QStringView name, bool isKey) const
{
    for (const QChar c : name) {
        if (c.unicode() < 0x20 && c != u'\t')
            return QCoreApplication::translate("IniText", "в имени \"%1\" есть перевод строки или управляющий символ")
                .arg(printable(name));
    }
    if (!name.isEmpty() && (name.front() == u' ' || name.front() == u'\t' || name.back() == u' ' || name.back() == u'\t'))
        return QCoreApplication::translate("IniText", "имя \"%1\" начинается или кончается пробелом").arg(printable(name));
    if (isKey && (name.contains(u'=') || name.startsWith(u'[') || name.startsWith(u';')))
        return QCoreApplication::translate("IniText", "имя ключа \"%1\" содержит \"=\" или начинается с \"[\" или \";\"")
            .arg(printable(name));
    if (!canStore(name))
        return QCoreApplication::translate("IniText", "в имени \"%1\" есть символы, которых нет в кодировке файла")
            .arg(printable(name));
    return std::nullopt;
}

std::optional<QString> IniText::setValue(QStringView section, QStringView key, QStringView value)
{
    if (std::optional<QString> problem = nameProblem(section, false))
        return problem;
    if (std::optional<QString> problem = nameProblem(key, true))
        return problem;
    QByteArray bytes = encode(value);
    bytes.replace('\r', '?').replace('\n', '?');

    const Location location = locate(section, key);
    if (location.valueBegin >= 0) {
        // The same bytes again leave a text shared with its copies as it is.
        const qsizetype length = location.valueEnd - location.valueBegin;
        if (QByteArrayView(m_content).sliced(location.valueBegin, length) != bytes)
            m_content.replace(location.valueBegin, length, bytes);
        return std::nullopt;
    }
    m_sectionNames.reset();

    const QByteArray eol = lineEnding();
    QByteArray lines;
    qsizetype insertAt = location.insertAt;
    if (insertAt < 0) {
        insertAt = m_content.size();
        // A blank line before the new section, unless the text ends in one
        // already (as after a removed last section).
        if (!m_content.isEmpty() && !m_content.endsWith("\n\n") && !m_content.endsWith("\n\r\n"))
            lines += eol;
        lines += '[' + encode(section) + ']' + eol;
    }
    lines += encode(key) + '=' + bytes + eol;
    // The last line of the text may lack its line ending.
    if (insertAt == m_content.size() && !m_content.isEmpty() && !m_content.endsWith('\n'))
        lines.prepend(eol);
    m_content.insert(insertAt, lines);
    return std::nullopt;
}

std::optional<QString> IniText::setValues(QStringView section, const QList<std::pair<QString, QString>> &keysAndValues)
{
    if (keysAndValues.isEmpty())
        return std::nullopt;
    if (std::optional<QString> problem = nameProblem(section, false))
        return problem;
    for (const auto &[key, value] : keysAndValues) {
        if (std::optional<QString> problem = nameProblem(key, true))
            return problem;
    }
    const Location first = locate(section, keysAndValues.front().first);
    if (first.insertAt >= 0 || first.valueBegin >= 0) {
        for (const auto &[key, value] : keysAndValues)
            setValue(section, key, value);
        return std::nullopt;
    }
    // A new section: its first key makes it, the rest follow its last line.
    setValue(section, keysAndValues.front().first, keysAndValues.front().second);
    const QByteArray eol = lineEnding();
    QByteArray lines;
    for (qsizetype i = 1; i < keysAndValues.size(); ++i) {
        QByteArray bytes = encode(keysAndValues[i].second);
        bytes.replace('\r', '?').replace('\n', '?');
        lines += encode(keysAndValues[i].first) + '=' + bytes + eol;
    }
    m_content += lines;
    return std::nullopt;
}

bool IniText::removeSection(QStringView section)
{
    QByteArray kept;
    kept.reserve(m_content.size());
    bool removing = false;
    bool removed = false;
    qsizetype lineBegin = 0;
    while (lineBegin < m_content.size()) {
        const Line line = lineAt(lineBegin);
        if (const std::optional<QString> name = sectionOf(line)) {
            removing = QString::compare(*name, section, Qt::CaseInsensitive) == 0;
            removed = removed || removing;
        }
        if (!removing)
            kept.append(QByteArrayView(m_content).sliced(line.start, line.next - line.start));
        lineBegin = line.next;
    }
    if (removed) {
        m_content = std::move(kept);
        m_sectionNames.reset();
    }
    return removed;
}

QStringList IniText::sectionNames() const
{
    if (m_sectionNames)
        return *m_sectionNames;
    QStringList names;
    // The names seen, folded: a set stays linear with thousands of sections.
    QSet<QString> seen;
    qsizetype lineBegin = 0;
    while (lineBegin < m_content.size()) {
        const Line line = lineAt(lineBegin);
        if (std::optional<QString> name = sectionOf(line)) {
            const QString folded = name->toCaseFolded();
            if (!seen.contains(folded)) {
                seen.insert(folded);
                names.append(std::move(*name));
            }
        }
        lineBegin = line.next;
    }
    m_sectionNames = std::make_shared<const QStringList>(names);
    return names;
}
