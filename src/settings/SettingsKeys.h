#pragma once

#include "generator/GeneratorCalculations.h"
#include "generator/GeneratorPars.h"

#include <QStringList>
#include <QStringView>

#include <array>
#include <cstddef>
#include <limits>
#include <optional>

class IniText;
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
    double readDefault;    // what a missing, unreadable or out-of-range value gives
    std::ptrdiff_t field;  // the field's offset in GENERATOR_PARS, or NoField
    // The values the generator panel accepts for the field; a value read
    // outside them is replaced by readDefault.
    double minimum = -std::numeric_limits<double>::infinity();
    double maximum = std::numeric_limits<double>::infinity();
};

inline constexpr std::ptrdiff_t NoField = -1;

// The ranges of the panel: counts and table indexes as it bounds them, the
// external clock as it accepts it, and typed values as they stand.
namespace SettingRange {
using namespace GeneratorCalculations;
inline constexpr double MaxTyped = MaxTypedValue;
inline constexpr double LastMultiplier = double(BaseIntervalMultipliers.size() - 1);
inline constexpr double LastGain = double(GainTable.size() - 1);
} // namespace SettingRange

inline constexpr QStringView FilesSection = u"Файлы";
inline constexpr QStringView ApplicationSection = u"Приложение. Общие";
inline constexpr QStringView ModuleSection = u"Модуль G-740";

// The web page's own keys, apart from the record: whether the window opens
// it, on which port, and the hash of the password that allows changes from
// the lab network (never the password itself).
namespace WebPageSettings {
inline constexpr QStringView Section = u"Веб-страница";
inline constexpr QStringView Enabled = u"Включено";
inline constexpr QStringView Port = u"Порт";
inline constexpr QStringView PasswordHash = u"Хеш пароля";
} // namespace WebPageSettings

#define G740_FIELD(name) std::ptrdiff_t(offsetof(GENERATOR_PARS, name))

inline constexpr std::array<SettingKey, 21> SettingKeys = {{
    {FilesSection, u"Головная программа", SettingType::Text, 0, 0, NoField},
    {ApplicationSection, u"Сохранение настроек", SettingType::Boolean, 0, 0, NoField},
    {ModuleSection, u"Генератор. Начальная частота в кГц", SettingType::Float, 10.0, 10.0, G740_FIELD(StartFrequency),
     -SettingRange::MaxTyped, SettingRange::MaxTyped},
    {ModuleSection, u"Генератор. Частота приращений в кГц", SettingType::Float, 50.0, 50.0, G740_FIELD(FrequencyIncrement),
     -SettingRange::MaxTyped, SettingRange::MaxTyped},
    {ModuleSection, u"Генератор. Кол-во приращений", SettingType::UInt16, 10, 10, G740_FIELD(NumberOfIncrements),
     0, SettingRange::MaxNumberOfIncrements},
    {ModuleSection, u"Генератор. Тип базового интервала приращения", SettingType::UInt8, 1, 1, G740_FIELD(BaseIntervalType),
     0, 1},
    {ModuleSection, u"Генератор. Индекс умножителя для базового интервала приращения", SettingType::UInt8, 0, 0,
     G740_FIELD(BaseIntervalMultiplierIndex), 0, SettingRange::LastMultiplier},
    {ModuleSection, u"Генератор. Кол-во базовых интервалов в интервале приращения", SettingType::UInt16, 100, 100,
     G740_FIELD(BaseIntervalsNumber), SettingRange::MinBaseIntervalsNumber, SettingRange::MaxBaseIntervalsNumber},
    {ModuleSection, u"Генератор. Частота тактирующего сигнала", SettingType::Float, 50000.0, 50000.0, G740_FIELD(MasterClock),
     SettingRange::MinExternalMasterClock, SettingRange::MaxExternalMasterClock},
    {ModuleSection, u"Генератор. Источник тактирующего сигнала", SettingType::UInt8, 0, 0, G740_FIELD(MasterClockSource),
     0, 1},
    {ModuleSection, u"Генератор. Тип циклического автосканирования", SettingType::UInt8, 0, 0, G740_FIELD(CyclicAutoScanType),
     0, 2},
    // A new file asks for the CTRL line; a file without the key means automatic.
    {ModuleSection, u"Генератор. Тип инкрементации частоты", SettingType::UInt8, 1, 0, G740_FIELD(IncrementType),
     0, 1},
    {ModuleSection, u"Генератор. Тип линии 'CTRL'", SettingType::UInt8, 0, 0, G740_FIELD(CtrlLineType),
     0, 1},
    {ModuleSection, u"Генератор. Тип линии 'INTERRUPT'", SettingType::UInt8, 0, 0, G740_FIELD(InterrupLineType),
     0, 1},
    {ModuleSection, u"Генератор. Разрешение цифрового выхода генератора", SettingType::Bool32, 0, 0, G740_FIELD(EnaSquareWaveOutput)},
    {ModuleSection, u"Генератор. Разрешение синхросигнала", SettingType::Bool32, 0, 0, G740_FIELD(EnaSyncout)},
    {ModuleSection, u"Генератор. Тип формирования синхросигнала", SettingType::UInt8, 1, 1, G740_FIELD(SyncoutType),
     0, 1},
    {ModuleSection, u"Генератор. Тип аналогового сигнала", SettingType::UInt8, 1, 1, G740_FIELD(AnalogOutputsType),
     0, 1},
    {ModuleSection, u"Генератор. Индекс усиления выходного тракта", SettingType::UInt8, 0, 0, G740_FIELD(AnalogOutputsGainIndex),
     0, SettingRange::LastGain},
    {ModuleSection, u"Генератор. Величина внутреннего смещение на выходе 10 Ом", SettingType::Float, 0.0, 0.0,
     G740_FIELD(Output10OhmOffset), -SettingRange::MaxTyped, SettingRange::MaxTyped},
    {ModuleSection, u"Генератор. Тип смещения на выходе 10 Ом", SettingType::UInt8, 0, 0, G740_FIELD(Output10OhmOffsetType),
     0, 1},
}};

#undef G740_FIELD

// The rows that are not fields of the record.
inline constexpr std::size_t ProgramPathKey = 0;
inline constexpr std::size_t AutoSaveKey = 1;

// The 21 keys with their default values; key 1 gets programPath. One
// replacement of the file: a failure (IniFileError) leaves it as it was.
void writeDefaultSettings(TIniFile &file, const QString &programPath);

// The record a first start gets: the defaults writeDefaultSettings writes,
// as the panel loads them back.
GENERATOR_PARS firstStartRecord();

// The 21 keys from the current state: 8- and 16-bit fields as unsigned
// integers, the 32-bit booleans as 1 or 0. One replacement, like
// writeDefaultSettings.
void writeCurrentSettings(TIniFile &file, const QString &programPath, bool autoSave, const GENERATOR_PARS &pars);

// Sets the 19 keys of a record section in text to the fields of pars.
void setRecordKeys(IniText &text, QStringView section, const GENERATOR_PARS &pars);

// Keys 3 to 21 into their fields; without a file every field takes its read
// default. A value outside its key's range takes the read default too; the
// keys so replaced are returned, in table order. The library's own bytes of
// the record are left alone.
QStringList readGeneratorSettings(const TIniFile *file, GENERATOR_PARS &pars);

// The same for the keys of any section that holds a record.
QStringList readRecordSection(const IniText &text, QStringView section, GENERATOR_PARS &pars);

// Key 2 read as an integer, default 0: whether auto-save is on. False without
// a file.
bool readAutoSaveSetting(const TIniFile *file);

// The operator's message for a settings file that cannot be used: names the
// file and the reason, and says that the defaults are used and the file is
// kept. Nothing for a usable or missing file.
std::optional<QString> settingsFileProblem(const TIniFile &file);

// The operator's message after a load that replaced out-of-range values.
QString replacedKeysMessage(const QString &fileName, const QStringList &keys);

// How the first start finds its settings file.
enum class StartupSettingsFile
{
    Existing,     // the file was there
    Created,      // a new, empty file was made: the default settings go in next
    CannotCreate, // no file, and none could be made
};

// The first start's settings step of every front door: removes what killed
// saves left beside path, then opens the file or makes a new empty one.
StartupSettingsFile prepareStartupSettingsFile(const QString &path);

// The load of the first detection: readGeneratorSettings, then the one
// message the operator should see about the file (settingsFileProblem or
// replacedKeysMessage), or nothing.
std::optional<QString> loadGeneratorSettings(const TIniFile *file, GENERATOR_PARS &pars);
