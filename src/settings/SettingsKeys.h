#pragma once

#include "generator/GeneratorPars.h"

#include <QStringView>

#include <array>
#include <cstddef>

class TIniFile;

// The 21 keys of G740Config.ini, in the order in which every writer writes
// them and every reader reads them.

enum class SettingType
{
    Text,    // the program's path
    Boolean, // the auto-save choice, not part of the record
    Float,   // a double field
    UInt8,   // an 8-bit field, read as 32 bits and cut to the low 8
    UInt16,  // a 16-bit field, read as 32 bits and cut to the low 16
    Bool32,  // a 32-bit boolean field, stored as 1 or 0
};

struct SettingKey
{
    QStringView section;
    QStringView key;
    SettingType type;
    double writtenDefault; // what a new file gets; unused for the text key
    double readDefault;    // what a missing or unreadable value gives
    std::ptrdiff_t field;  // the field's offset in GENERATOR_PARS, or NoField
};

inline constexpr std::ptrdiff_t NoField = -1;

inline constexpr QStringView FilesSection = u"Файлы";
inline constexpr QStringView ApplicationSection = u"Приложение. Общие";
inline constexpr QStringView ModuleSection = u"Модуль G-740";

#define G740_FIELD(name) std::ptrdiff_t(offsetof(GENERATOR_PARS, name))

inline constexpr std::array<SettingKey, 21> SettingKeys = {{
    {FilesSection, u"Головная программа", SettingType::Text, 0, 0, NoField},
    {ApplicationSection, u"Сохранение настроек", SettingType::Boolean, 0, 0, NoField},
    {ModuleSection, u"Генератор. Начальная частота в кГц", SettingType::Float, 10.0, 10.0, G740_FIELD(StartFrequency)},
    {ModuleSection, u"Генератор. Частота приращений в кГц", SettingType::Float, 50.0, 50.0, G740_FIELD(FrequencyIncrement)},
    {ModuleSection, u"Генератор. Кол-во приращений", SettingType::UInt16, 10, 10, G740_FIELD(NumberOfIncrements)},
    {ModuleSection, u"Генератор. Тип базового интервала приращения", SettingType::UInt8, 1, 1, G740_FIELD(BaseIntervalType)},
    {ModuleSection, u"Генератор. Индекс умножителя для базового интервала приращения", SettingType::UInt8, 0, 0,
     G740_FIELD(BaseIntervalMultiplierIndex)},
    {ModuleSection, u"Генератор. Кол-во базовых интервалов в интервале приращения", SettingType::UInt16, 100, 100,
     G740_FIELD(BaseIntervalsNumber)},
    {ModuleSection, u"Генератор. Частота тактирующего сигнала", SettingType::Float, 50000.0, 50000.0, G740_FIELD(MasterClock)},
    {ModuleSection, u"Генератор. Источник тактирующего сигнала", SettingType::UInt8, 0, 0, G740_FIELD(MasterClockSource)},
    {ModuleSection, u"Генератор. Тип циклического автосканирования", SettingType::UInt8, 0, 0, G740_FIELD(CyclicAutoScanType)},
    // A new file asks for the CTRL line; a file without the key means automatic.
    {ModuleSection, u"Генератор. Тип инкрементации частоты", SettingType::UInt8, 1, 0, G740_FIELD(IncrementType)},
    {ModuleSection, u"Генератор. Тип линии 'CTRL'", SettingType::UInt8, 0, 0, G740_FIELD(CtrlLineType)},
    {ModuleSection, u"Генератор. Тип линии 'INTERRUPT'", SettingType::UInt8, 0, 0, G740_FIELD(InterrupLineType)},
    {ModuleSection, u"Генератор. Разрешение цифрового выхода генератора", SettingType::Bool32, 0, 0, G740_FIELD(EnaSquareWaveOutput)},
    {ModuleSection, u"Генератор. Разрешение синхросигнала", SettingType::Bool32, 0, 0, G740_FIELD(EnaSyncout)},
    {ModuleSection, u"Генератор. Тип формирования синхросигнала", SettingType::UInt8, 1, 1, G740_FIELD(SyncoutType)},
    {ModuleSection, u"Генератор. Тип аналогового сигнала", SettingType::UInt8, 1, 1, G740_FIELD(AnalogOutputsType)},
    {ModuleSection, u"Генератор. Индекс усиления выходного тракта", SettingType::UInt8, 0, 0, G740_FIELD(AnalogOutputsGainIndex)},
    {ModuleSection, u"Генератор. Величина внутреннего смещение на выходе 10 Ом", SettingType::Float, 0.0, 0.0,
     G740_FIELD(Output10OhmOffset)},
    {ModuleSection, u"Генератор. Тип смещения на выходе 10 Ом", SettingType::UInt8, 0, 0, G740_FIELD(Output10OhmOffsetType)},
}};

#undef G740_FIELD

// The rows that are not fields of the record.
inline constexpr std::size_t ProgramPathKey = 0;
inline constexpr std::size_t AutoSaveKey = 1;

// The 21 keys with their default values; key 1 gets programPath. Throws
// IniFileError at the first key that cannot be written.
void writeDefaultSettings(TIniFile &file, const QString &programPath);

// The 21 keys from the current state: 8- and 16-bit fields as unsigned
// integers, the 32-bit booleans as 1 or 0. Throws IniFileError like
// writeDefaultSettings.
void writeCurrentSettings(TIniFile &file, const QString &programPath, bool autoSave, const GENERATOR_PARS &pars);

// Keys 3 to 21 into their fields; without a file every field takes its read
// default. No range checks: the generator panel limits what it receives. The
// library's own bytes of the record are left alone.
void readGeneratorSettings(const TIniFile *file, GENERATOR_PARS &pars);

// Key 2 read as an integer, default 0: whether auto-save is on. False without
// a file.
bool readAutoSaveSetting(const TIniFile *file);
