#include "settings/SettingsFilePath.h"

#include "settings/IniFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

QString &pathOverride()
{
    static QString path;
    return path;
}

} // namespace

QString SettingsFilePath()
{
    if (!pathOverride().isEmpty())
        return pathOverride();
    return settingsFilePathFor(QCoreApplication::applicationDirPath());
}

QString settingsFilePathFor(const QString &programDirectory)
{
    const QString besideProgram = QDir(programDirectory).filePath(QLatin1String(SettingsFileName));
    if (QFileInfo::exists(besideProgram) || isWritablePath(programDirectory))
        return besideProgram;
    const QString configDirectory = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    QDir().mkpath(configDirectory);
    return QDir(configDirectory).filePath(QLatin1String(SettingsFileName));
}

void setSettingsFilePathOverride(const QString &path)
{
    pathOverride() = path;
}

QString SettingsProgramPath()
{
    return QDir::toNativeSeparators(QCoreApplication::applicationFilePath());
}
