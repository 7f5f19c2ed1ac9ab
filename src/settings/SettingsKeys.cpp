#include "settings/SettingsKeys.h"

#include "settings/IniFile.h"

#include <cstdint>
#include <cstring>

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

} // namespace

void writeDefaultSettings(TIniFile &file, const QString &programPath)
{
    for (const SettingKey &row : SettingKeys) {
        const QString section = text(row.section);
        const QString key = text(row.key);
        switch (row.type) {
        case SettingType::Text:
            file.WriteString(section, key, programPath);
            break;
        case SettingType::Boolean:
        case SettingType::Bool32:
            file.WriteBool(section, key, row.writtenDefault != 0);
            break;
        case SettingType::Float:
            file.WriteFloat(section, key, row.writtenDefault);
            break;
        case SettingType::UInt8:
        case SettingType::UInt16:
            file.WriteInteger(section, key, int(row.writtenDefault));
            break;
        }
    }
}

void writeCurrentSettings(TIniFile &file, const QString &programPath, bool autoSave, const GENERATOR_PARS &pars)
{
    for (const SettingKey &row : SettingKeys) {
        const QString section = text(row.section);
        const QString key = text(row.key);
        switch (row.type) {
        case SettingType::Text:
            file.WriteString(section, key, programPath);
            break;
        case SettingType::Boolean:
            file.WriteBool(section, key, autoSave);
            break;
        case SettingType::Float:
            file.WriteFloat(section, key, fieldOf<double>(pars, row.field));
            break;
        case SettingType::UInt8:
            file.WriteInteger(section, key, fieldOf<std::uint8_t>(pars, row.field));
            break;
        case SettingType::UInt16:
            file.WriteInteger(section, key, fieldOf<std::uint16_t>(pars, row.field));
            break;
        case SettingType::Bool32:
            file.WriteBool(section, key, fieldOf<std::uint32_t>(pars, row.field) != 0);
            break;
        }
    }
}

void readGeneratorSettings(const TIniFile *file, GENERATOR_PARS &pars)
{
    for (const SettingKey &row : SettingKeys) {
        if (row.field == NoField)
            continue;
        const QString section = text(row.section);
        const QString key = text(row.key);
        switch (row.type) {
        case SettingType::Text:
        case SettingType::Boolean:
            break;
        case SettingType::Float:
            setField(pars, row.field, file ? file->ReadFloat(section, key, row.readDefault) : row.readDefault);
            break;
        case SettingType::UInt8:
        case SettingType::UInt16: {
            // Only the low bits of the 32-bit value are kept.
            const auto value = std::uint32_t(file ? file->ReadInteger(section, key, int(row.readDefault)) : int(row.readDefault));
            if (row.type == SettingType::UInt8)
                setField(pars, row.field, std::uint8_t(value));
            else
                setField(pars, row.field, std::uint16_t(value));
            break;
        }
        case SettingType::Bool32: {
            const bool value = file ? file->ReadBool(section, key, row.readDefault != 0) : row.readDefault != 0;
            setField(pars, row.field, std::uint32_t(value ? 1 : 0));
            break;
        }
        }
    }
}

bool readAutoSaveSetting(const TIniFile *file)
{
    const SettingKey &row = SettingKeys[AutoSaveKey];
    return file && file->ReadInteger(text(row.section), text(row.key), 0) != 0;
}
