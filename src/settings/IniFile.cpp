#include "settings/IniFile.h"

#include "runtime/NumberFormat.h"
#include "settings/IniText.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>

namespace {

std::optional<qint64> failWriteAfter;

} // namespace

bool isWritablePath(const QString &path)
{
    const QFileInfo info(path);
    constexpr auto WriteBits = QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther;
    return info.exists() && info.isWritable() && (info.permissions() & WriteBits);
}

IniFileError::IniFileError(const QString &fileName)
    : std::runtime_error(QStringLiteral("Unable to write to %1").arg(fileName).toStdString())
    , m_fileName(fileName)
{
}

TIniFile::TIniFile(const QString &fileName)
    : m_fileName(fileName)
{
}

void TIniFile::setWriteFailureAfter(std::optional<qint64> bytes)
{
    failWriteAfter = bytes;
}

std::optional<QString> TIniFile::value(const QString &section, const QString &key) const
{
    QFile file(m_fileName);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return IniText(file.readAll()).value(section, key);
}

QString TIniFile::ReadString(const QString &section, const QString &key, const QString &defaultValue) const
{
    return value(section, key).value_or(defaultValue);
}

int TIniFile::ReadInteger(const QString &section, const QString &key, int defaultValue) const
{
    const std::optional<QString> text = value(section, key);
    if (!text)
        return defaultValue;
    try {
        return parseInt(*text, true);
    } catch (const ConversionError &) {
        return defaultValue;
    }
}

bool TIniFile::ReadBool(const QString &section, const QString &key, bool defaultValue) const
{
    return ReadInteger(section, key, defaultValue ? 1 : 0) != 0;
}

double TIniFile::ReadFloat(const QString &section, const QString &key, double defaultValue) const
{
    const std::optional<QString> text = value(section, key);
    if (!text)
        return defaultValue;
    try {
        return parseFloat(*text);
    } catch (const ConversionError &) {
        return defaultValue;
    }
}

void TIniFile::WriteString(const QString &section, const QString &key, const QString &value)
{
    const QFileInfo info(m_fileName);
    // The old content must be read whole: a file that cannot be read would
    // otherwise be replaced by our keys alone.
    QByteArray old;
    if (info.exists()) {
        QFile file(m_fileName);
        if (!info.isFile() || !isWritablePath(m_fileName) || !file.open(QIODevice::ReadOnly))
            throw IniFileError(m_fileName);
        old = file.readAll();
        if (file.error() != QFileDevice::NoError)
            throw IniFileError(m_fileName);
    }
    if (!isWritablePath(info.absolutePath()))
        throw IniFileError(m_fileName);

    IniText text(std::move(old));
    text.setValue(section, key, value);
    const QByteArray &content = text.content();

    QSaveFile file(m_fileName);
    if (!file.open(QIODevice::WriteOnly))
        throw IniFileError(m_fileName);
    if (failWriteAfter) {
        file.write(content.first(std::clamp<qint64>(*failWriteAfter, 0, content.size())));
        file.cancelWriting();
    } else {
        file.write(content);
    }
    if (!file.commit())
        throw IniFileError(m_fileName);
}

void TIniFile::WriteInteger(const QString &section, const QString &key, int value)
{
    WriteString(section, key, QString::number(value));
}

void TIniFile::WriteBool(const QString &section, const QString &key, bool value)
{
    WriteString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

void TIniFile::WriteFloat(const QString &section, const QString &key, double value)
{
    WriteString(section, key, formatGeneral(value));
}
