#include "instrument/RecordRules.h"

#include "generator/GeneratorCalculations.h"
#include "instrument/InstrumentTexts.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <QCoreApplication>

using namespace GeneratorCalculations;

namespace RecordRules {

namespace {

// In the order of Field. The frequencies go up to the internal clock, the
// highest the hardware can produce; the offset covers its 8-bit code.
constexpr std::array<FieldInfo, FieldCount> Fields = {{
    {"StartFrequency", 0.0, InternalMasterClock, false},
    {"FrequencyIncrement", -InternalMasterClock, InternalMasterClock, false},
    {"NumberOfIncrements", 0, MaxNumberOfIncrements, true},
    {"BaseIntervalType", 0, 1, true},
    {"BaseIntervalMultiplierIndex", 0, BaseIntervalMultipliers.size() - 1, true},
    {"BaseIntervalsNumber", MinBaseIntervalsNumber, MaxBaseIntervalsNumber, true},
    {"MasterClockSource", 0, 1, true},
    {"MasterClock", MinExternalMasterClock, MaxExternalMasterClock, false},
    {"CyclicAutoScanType", 0, 2, true},
    {"IncrementType", 0, 1, true},
    {"CtrlLineType", 0, 1, true},
    {"InterrupLineType", 0, 1, true},
    {"EnaSquareWaveOutput", 0, 1, true},
    {"EnaSyncout", 0, 1, true},
    {"SyncoutType", 0, 1, true},
    {"AnalogOutputsType", 0, 1, true},
    {"AnalogOutputsGainIndex", 0, GainTable.size() - 1, true},
    {"Output10OhmOffset", -4.0, 4.0, false},
    {"Output10OhmOffsetType", 0, 1, true},
}};

QString fieldName(Field field)
{
    return QLatin1String(fieldInfo(field).name);
}

} // namespace

const FieldInfo &fieldInfo(Field field)
{
    return Fields[std::size_t(field)];
}

double fieldValue(const GENERATOR_PARS &p, Field field)
{
    switch (field) {
    case Field::StartFrequency: return p.StartFrequency;
    case Field::FrequencyIncrement: return p.FrequencyIncrement;
    case Field::NumberOfIncrements: return p.NumberOfIncrements;
    case Field::BaseIntervalType: return p.BaseIntervalType;
    case Field::BaseIntervalMultiplierIndex: return p.BaseIntervalMultiplierIndex;
    case Field::BaseIntervalsNumber: return p.BaseIntervalsNumber;
    case Field::MasterClockSource: return p.MasterClockSource;
    case Field::MasterClock: return p.MasterClock;
    case Field::CyclicAutoScanType: return p.CyclicAutoScanType;
    case Field::IncrementType: return p.IncrementType;
    case Field::CtrlLineType: return p.CtrlLineType;
    case Field::InterrupLineType: return p.InterrupLineType;
    case Field::EnaSquareWaveOutput: return p.EnaSquareWaveOutput;
    case Field::EnaSyncout: return p.EnaSyncout;
    case Field::SyncoutType: return p.SyncoutType;
    case Field::AnalogOutputsType: return p.AnalogOutputsType;
    case Field::AnalogOutputsGainIndex: return p.AnalogOutputsGainIndex;
    case Field::Output10OhmOffset: return p.Output10OhmOffset;
    case Field::Output10OhmOffsetType: return p.Output10OhmOffsetType;
    }
    return 0.0;
}

void setFieldValue(GENERATOR_PARS &p, Field field, double value)
{
    const auto u8 = [value] { return std::uint8_t(truncateToInt64(value)); };
    const auto u16 = [value] { return std::uint16_t(truncateToInt64(value)); };
    const auto b32 = [value] { return std::uint32_t(value != 0.0 ? 1 : 0); };
    switch (field) {
    case Field::StartFrequency: p.StartFrequency = value; break;
    case Field::FrequencyIncrement: p.FrequencyIncrement = value; break;
    case Field::NumberOfIncrements: p.NumberOfIncrements = u16(); break;
    case Field::BaseIntervalType: p.BaseIntervalType = u8(); break;
    case Field::BaseIntervalMultiplierIndex: p.BaseIntervalMultiplierIndex = u8(); break;
    case Field::BaseIntervalsNumber: p.BaseIntervalsNumber = u16(); break;
    case Field::MasterClockSource: p.MasterClockSource = u8(); break;
    case Field::MasterClock: p.MasterClock = value; break;
    case Field::CyclicAutoScanType: p.CyclicAutoScanType = u8(); break;
    case Field::IncrementType: p.IncrementType = u8(); break;
    case Field::CtrlLineType: p.CtrlLineType = u8(); break;
    case Field::InterrupLineType: p.InterrupLineType = u8(); break;
    case Field::EnaSquareWaveOutput: p.EnaSquareWaveOutput = b32(); break;
    case Field::EnaSyncout: p.EnaSyncout = b32(); break;
    case Field::SyncoutType: p.SyncoutType = u8(); break;
    case Field::AnalogOutputsType: p.AnalogOutputsType = u8(); break;
    case Field::AnalogOutputsGainIndex: p.AnalogOutputsGainIndex = u8(); break;
    case Field::Output10OhmOffset: p.Output10OhmOffset = value; break;
    case Field::Output10OhmOffsetType: p.Output10OhmOffsetType = u8(); break;
    }
}

std::optional<QString> rangeError(Field field, double value)
{
    const FieldInfo &info = fieldInfo(field);
    // NaN fails both comparisons.
    if (!(value >= info.min && value <= info.max) || (info.whole && std::trunc(value) != value))
        return InstrumentTexts::outOfRange(fieldName(field), value, info.min, info.max);
    return std::nullopt;
}

bool isCyclicScan(const GENERATOR_PARS &pars)
{
    return pars.CyclicAutoScanType == 1 || pars.CyclicAutoScanType == 2;
}

bool stepsByCtrlLine(const GENERATOR_PARS &pars)
{
    return !isCyclicScan(pars) && pars.IncrementType == 1;
}

std::optional<QString> lockReason(const GENERATOR_PARS &pars, Field field)
{
    switch (field) {
    case Field::IncrementType:
    case Field::CtrlLineType:
    case Field::EnaSyncout:
    case Field::SyncoutType:
        if (isCyclicScan(pars))
            return InstrumentTexts::conflict(fieldName(field),
                                             QCoreApplication::translate("RecordRules", "задаётся циклическим автосканированием"));
        break;
    case Field::BaseIntervalType:
    case Field::BaseIntervalMultiplierIndex:
    case Field::BaseIntervalsNumber:
        if (stepsByCtrlLine(pars))
            return InstrumentTexts::conflict(fieldName(field),
                                             QCoreApplication::translate("RecordRules", "не используется при управлении приращениями линией 'CTRL'"));
        break;
    case Field::MasterClock:
        if (pars.MasterClockSource != 1)
            return InstrumentTexts::conflict(fieldName(field),
                                             QCoreApplication::translate("RecordRules", "не используется с внутренним тактирующим сигналом"));
        break;
    case Field::Output10OhmOffset:
        if (pars.Output10OhmOffsetType == 1)
            return InstrumentTexts::conflict(fieldName(field), QCoreApplication::translate("RecordRules", "не используется при внешнем смещении"));
        break;
    default:
        break;
    }
    return std::nullopt;
}

GENERATOR_PARS withCyclicScanForcing(const GENERATOR_PARS &pars)
{
    GENERATOR_PARS forced = pars;
    if (isCyclicScan(pars)) {
        forced.IncrementType = 0;
        forced.CtrlLineType = 0;
        forced.EnaSyncout = 1;
        forced.SyncoutType = 1;
    }
    return forced;
}

GENERATOR_PARS normalized(const GENERATOR_PARS &pars)
{
    GENERATOR_PARS n = withCyclicScanForcing(pars);
    n.MasterClock = effectiveMasterClock(n);
    // The packed fields are copied out first: std::min and std::clamp take
    // references, which must not bind to a misaligned field.
    n.NumberOfIncrements = std::min<std::uint16_t>(std::uint16_t(n.NumberOfIncrements), MaxNumberOfIncrements);
    if (n.IncrementType == 0)
        n.BaseIntervalsNumber = std::clamp<std::uint16_t>(std::uint16_t(n.BaseIntervalsNumber), MinBaseIntervalsNumber,
                                                          MaxBaseIntervalsNumber);
    return n;
}

} // namespace RecordRules
