// Reads a fuzzed settings file, writes one key and reads it back: the key has
// its value and every byte outside the changed line is kept.
//
// Input: one byte each for the lengths of the section and key names, one byte
// choosing the value, the two names, then the file.

#include "runtime/CodePage.h"
#include "settings/IniFile.h"
#include "settings/IniText.h"

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

const std::array<QString, 6> Values = {
    QString(),
    QStringLiteral("1"),
    QStringLiteral("12.5"),
    QStringLiteral("значение"),
    QStringLiteral("/opt/g740/bin/g740demo"),
    QStringLiteral("a=[b]"),
};

[[noreturn]] void fail(const char *what)
{
    std::fprintf(stderr, "fuzz_inifile: %s\n", what);
    std::abort();
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

// Names that a line of the file can hold at all.
bool storableName(const QByteArray &name, bool isKey)
{
    if (name.contains('\n') || name.contains('\r'))
        return false;
    if (!name.isEmpty() && (isBlank(name.front()) || isBlank(name.back())))
        return false;
    if (isKey && (name.contains('=') || name.startsWith('[') || name.startsWith(';')))
        return false;
    return true;
}

const QString &filePath()
{
    static QTemporaryDir dir(QFile::exists("/dev/shm") ? QStringLiteral("/dev/shm/fuzz_inifile-XXXXXX") : QString());
    static const QString path = dir.filePath(QStringLiteral("G740Config.ini"));
    return path;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 3)
        return 0;
    const std::size_t sectionLength = data[0];
    const std::size_t keyLength = data[1];
    const QString &value = Values[data[2] % Values.size()];
    if (size < 3 + sectionLength + keyLength)
        return 0;
    const auto *bytes = reinterpret_cast<const char *>(data);
    const QByteArray sectionBytes(bytes + 3, qsizetype(sectionLength));
    const QByteArray keyBytes(bytes + 3 + sectionLength, qsizetype(keyLength));
    const QByteArray old(bytes + 3 + sectionLength + keyLength, qsizetype(size - 3 - sectionLength - keyLength));
    if (!storableName(sectionBytes, false) || !storableName(keyBytes, true))
        return 0;
    const QString section = fromCp1251(sectionBytes);
    const QString key = fromCp1251(keyBytes);

    {
        QFile file(filePath());
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(old) != old.size())
            fail("cannot prepare the file");
    }
    TIniFile ini(filePath());
    ini.ReadInteger(section, key, 0);
    ini.ReadFloat(section, key, 0.0);
    // Content that is no text is never replaced by a write nobody asked for.
    if (ini.unusableReason()) {
        try {
            ini.WriteString(section, key, value);
            fail("an unusable file was written");
        } catch (const IniFileError &) {
        }
        QFile kept(filePath());
        if (!kept.open(QIODevice::ReadOnly) || kept.readAll() != old)
            fail("an unusable file changed");
        return 0;
    }
    // A name that could not read back is refused, and the file stays.
    const IniText before(old);
    const bool refused = before.nameProblem(section, false) || before.nameProblem(key, true);
    try {
        ini.WriteString(section, key, value);
        if (refused)
            fail("a name that cannot read back was written");
    } catch (const IniFileError &) {
        if (!refused)
            fail("the write failed");
        QFile kept(filePath());
        if (!kept.open(QIODevice::ReadOnly) || kept.readAll() != old)
            fail("a refused write changed the file");
        return 0;
    }
    QFile file(filePath());
    if (!file.open(QIODevice::ReadOnly))
        fail("cannot read the file back");
    const QByteArray updated = file.readAll();
    // Windows-1251 bytes that happen to form UTF-8 make the file UTF-8; the
    // names were chosen as Windows-1251 bytes, so they no longer compare.
    if (IniText::detectEncoding(updated) != IniText::detectEncoding(old))
        return 0;
    if (ini.ReadString(section, key, QStringLiteral("<missing>")) != value)
        fail("the key does not read back");

    // Only one place changed: part of one line replaced, or whole lines
    // inserted (with the line end that the last line may have lacked).
    qsizetype prefix = 0;
    const qsizetype shorter = std::min(old.size(), updated.size());
    while (prefix < shorter && old[prefix] == updated[prefix])
        ++prefix;
    qsizetype suffix = 0;
    while (suffix < shorter - prefix && old[old.size() - 1 - suffix] == updated[updated.size() - 1 - suffix])
        ++suffix;
    const QByteArray removed = old.sliced(prefix, old.size() - prefix - suffix);
    const QByteArray inserted = updated.sliced(prefix, updated.size() - prefix - suffix);
    if (removed.contains('\n'))
        fail("bytes of other lines were lost");
    if (!removed.isEmpty() && inserted.contains('\n'))
        fail("a replaced value spans lines");
    if (inserted.count('\n') > 4)
        fail("more lines than a key and its section were added");
    return 0;
}
