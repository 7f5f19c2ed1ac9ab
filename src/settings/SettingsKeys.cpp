#include "settings/SettingsKeys.h"

#include "runtime/NumberFormat.h"
#include "settings/IniFile.h"
#include "settings/IniText.h"

#include <QDir>
#include <QFile>

#include <cstdint>
#include <cstring>
#include <QCoreApplication>

namespace {

// The record is packed: its fields are reached by copying bytes, never
// through a reference.
template<typename T>
T fieldOf(const GENERATOR_PARS &pars, std::ptrdiff_t offset)
{
    T value;
    std::memcpy(&value, reinterpret_cast<const unsigned char *>(&pars) + offset, sizeof value);
    return value;
}

template<typename T>
void setField(GENERATOR_PARS &pars, std::ptrdiff_t offset, T value)
{
    std::memcpy(reinterpret_cast<unsigned char *>(&pars) + offset, &value, sizeof value);
}

QString text(QStringView view)
{
    return view.toString();
}

bool inRange(const SettingKey &row, double value)
{
    return value >= row.minimum && value <= row.maximum; // false for NaN
}

// The text a key of the record section gets for the field of pars.
QString fieldText(const SettingKey &row, const GENERATOR_PARS &pars)
{
    switch (row.type) {
    case SettingType::Float:
        return iniFloatText(fieldOf<double>(pars, row.field));
    case SettingType::UInt8:
        return iniIntegerText(fieldOf<std::uint8_t>(pars, row.field));
    case SettingType::UInt16:
        return iniIntegerText(fieldOf<std::uint16_t>(pars, row.field));
    case SettingType::Bool32:
        return iniBoolText(fieldOf<std::uint32_t>(pars, row.field) != 0);
    case SettingType::Text:
    case SettingType::Boolean:
        break;
    }
    return {};
}

std::optional<double> parsedValue(const std::optional<QString> &value, bool integer)
{
    if (!value)
        return std::nullopt;
    try {
        return integer ? double(parseInt(*value, true)) : parseFloat(*value);
    } catch (const ConversionError &) {
        return std::nullopt;
    }
}

// A record key's value into its field, as the field's type keeps it.
void storeValue(GENERATOR_PARS &pars, const SettingKey &row, double value)
{
    if (row.field == NoField)
        return;
    switch (row.type) {
    case SettingType::Text:
    case SettingType::Boolean:
        break;
    case SettingType::Float:
        setField(pars, row.field, value);
        break;
    case SettingType::UInt8:
        setField(pars, row.field, std::uint8_t(value));
        break;
    case SettingType::UInt16:
        setField(pars, row.field, std::uint16_t(value));
        break;
    case SettingType::Bool32:
        setField(pars, row.field, std::uint32_t(value != 0 ? 1 : 0));
        break;
    }
}

} // namespace

void writeDefaultSettings(TIniFile &file, const QString &programPath)
{
    file.Update([&](IniText &ini) {
        for (const SettingKey &row : SettingKeys) {
            QString value;
            switch (row.type) {
            case SettingType::Text:
                value = programPath;
                break;
            case SettingType::Boolean:
            case SettingType::Bool32:
                value = iniBoolText(row.writtenDefault != 0);
                break;
            case SettingType::Float:
                value = iniFloatText(row.writtenDefault);
                break;
            case SettingType::UInt8:
            case SettingType::UInt16:
                value = iniIntegerText(int(row.writtenDefault));
                break;
            }
            ini.setValue(row.section, row.key, value);
        }
        return true;
    });
}

void setRecordKeys(IniText &ini, QStringView section, const GENERATOR_PARS &pars)
{
    QList<std::pair<QString, QString>> keys;
    for (const SettingKey &row : SettingKeys) {
        if (row.field != NoField)
            keys.append({text(row.key), fieldText(row, pars)});
    }
    ini.setValues(section, keys);
}

void writeCurrentSettings(TIniFile &file, const QString &programPath, bool autoSave, const GENERATOR_PARS &pars)
{
    file.Update([&](IniText &ini) {
        ini.setValue(SettingKeys[ProgramPathKey].section, SettingKeys[ProgramPathKey].key, programPath);
        ini.setValue(SettingKeys[AutoSaveKey].section, SettingKeys[AutoSaveKey].key, iniBoolText(autoSave));
        setRecordKeys(ini, ModuleSection, pars);
        return true;
    });
}

QStringList readRecordSection(const IniText &ini, QStringView section, GENERATOR_PARS &pars)
{
    QStringList replaced;
    for (const SettingKey &row : SettingKeys) {
        if (row.field == NoField)
            continue;
        const bool integer = row.type != SettingType::Float;
        double value = parsedValue(ini.value(section, row.key), integer).value_or(row.readDefault);
        if (!inRange(row, value)) {
            value = row.readDefault;
            replaced.append(text(row.key));
        }
        storeValue(pars, row, value);
    }
    return replaced;
}

GENERATOR_PARS firstStartRecord()
{
    GENERATOR_PARS pars;
    for (const SettingKey &row : SettingKeys)
        storeValue(pars, row, row.writtenDefault);
    return pars;
}

QStringList readGeneratorSettings(const TIniFile *file, GENERATOR_PARS &pars)
{
    return readRecordSection(file ? file->text() : IniText(QByteArray()), ModuleSection, pars);
}

bool readAutoSaveSetting(const TIniFile *file)
{
    const SettingKey &row = SettingKeys[AutoSaveKey];
    return file && file->ReadInteger(text(row.section), text(row.key), 0) != 0;
}

std::optional<QString> settingsFileProblem(const TIniFile &file)
{
    const std::optional<QString> reason = file.unusableReason();
    if (!reason)
        return std::nullopt;
    return QCoreApplication::translate("SettingsKeys", "Не могу прочитать файл настроек '%1': %2.\n"
                          "Используются значения по умолчанию. Файл не будет изменён, пока настройки не сохранены "
                          "явно (кнопкой \"Сохранить\" или из меню).")
        .arg(QDir::toNativeSeparators(file.fileName()), *reason);
}

QString replacedKeysMessage(const QString &fileName, const QStringList &keys)
{
    return QCoreApplication::translate("SettingsKeys", "В файле настроек '%1' значения вне допустимых пределов заменены значениями по умолчанию:\n")
               .arg(QDir::toNativeSeparators(fileName))
           + keys.join(QLatin1Char('\n'));
}

std::optional<QString> loadGeneratorSettings(const TIniFile *file, GENERATOR_PARS &pars)
{
    const QStringList replaced = readGeneratorSettings(file, pars);
    if (!file)
        return std::nullopt;
    if (std::optional<QString> problem = settingsFileProblem(*file))
        return problem;
    if (!replaced.isEmpty())
        return replacedKeysMessage(file->fileName(), replaced);
    return std::nullopt;
}

StartupSettingsFile prepareStartupSettingsFile(const QString &path)
{
    removeStaleTemporaries(path);
    if (QFile::exists(path))
        return StartupSettingsFile::Existing;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return StartupSettingsFile::CannotCreate;
    return StartupSettingsFile::Created;
}
