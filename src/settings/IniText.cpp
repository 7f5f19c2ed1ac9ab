#include "settings/IniText.h"

#include "runtime/CodePage.h"

namespace {

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

bool sameName(const QByteArray &text, qsizetype begin, qsizetype end, QStringView name)
{
    qsizetype b = begin;
    qsizetype e = end;
    trim(text, b, e);
    // Each Windows-1251 byte decodes to one character, so the lengths must agree.
    if (e - b != name.size())
        return false;
    return QString::compare(fromCp1251(QByteArrayView(text).sliced(b, e - b)), name, Qt::CaseInsensitive) == 0;
}

} // namespace

IniText::IniText(QByteArray content)
    : m_content(std::move(content))
{
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
        qsizetype next = m_content.indexOf('\n', lineBegin);
        next = next < 0 ? size : next + 1;
        qsizetype end = next;
        if (end > lineBegin && m_content[end - 1] == '\n')
            --end;
        if (end > lineBegin && m_content[end - 1] == '\r')
            --end;
        const qsizetype contentEnd = end;
        qsizetype begin = lineBegin;
        trim(m_content, begin, end);
        const QByteArrayView line = QByteArrayView(m_content).sliced(begin, end - begin);

        if (line.startsWith('[')) {
            const qsizetype close = line.lastIndexOf(']');
            if (close > 0) {
                inSection = sameName(m_content, begin + 1, begin + close, section);
                inFirstSection = inSection && !sectionSeen;
                if (inFirstSection) {
                    sectionSeen = true;
                    found.insertAt = next;
                }
                lineBegin = next;
                continue;
            }
        }
        if (inSection && !line.startsWith(';')) {
            const qsizetype equals = line.indexOf('=');
            if (equals >= 0) {
                if (sameName(m_content, begin, begin + equals, key)) {
                    found.valueBegin = begin + equals + 1;
                    found.valueEnd = contentEnd;
                    return found;
                }
                if (inFirstSection)
                    found.insertAt = next;
            }
        }
        lineBegin = next;
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
    return fromCp1251(QByteArrayView(m_content).sliced(begin, std::min(end - begin, MaxValueLength)));
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

void IniText::setValue(QStringView section, QStringView key, QStringView value)
{
    QByteArray bytes = toCp1251(value);
    bytes.replace('\r', '?').replace('\n', '?');

    const Location location = locate(section, key);
    if (location.valueBegin >= 0) {
        m_content.replace(location.valueBegin, location.valueEnd - location.valueBegin, bytes);
        return;
    }

    const QByteArray eol = lineEnding();
    QByteArray lines;
    qsizetype insertAt = location.insertAt;
    if (insertAt < 0) {
        insertAt = m_content.size();
        if (!m_content.isEmpty())
            lines += eol; // a blank line before the new section
        lines += '[' + toCp1251(section) + ']' + eol;
    }
    lines += toCp1251(key) + '=' + bytes + eol;
    // The last line of the text may lack its line ending.
    if (insertAt == m_content.size() && !m_content.isEmpty() && !m_content.endsWith('\n'))
        lines.prepend(eol);
    m_content.insert(insertAt, lines);
}
