#pragma once

#include "generator/GeneratorPars.h"

#include <QString>

#include <optional>

// The rules that tie the fields of the generator record together, the same
// for the panel and for every other caller:
// - a cyclic scan (saw or triangle) steps automatically, with the CTRL line
//   internal and SYNCOUT on at the end of each scan;
// - stepping by the CTRL line leaves the base interval unused;
// - the internal clock source runs on 50000 kHz whatever the clock field says;
// - an external offset leaves the offset value unused;
// - every field has the range a remote client may set: what the hardware can
//   produce (the panel and the settings file keep typed values beyond it,
//   and show what the hardware makes of them).
namespace RecordRules {

// The record's fields an operator sets, in the panel's terms.
enum class Field
{
    StartFrequency,
    FrequencyIncrement,
    NumberOfIncrements,
    BaseIntervalType,
    BaseIntervalMultiplierIndex,
    BaseIntervalsNumber,
    MasterClockSource,
    MasterClock,
    CyclicAutoScanType,
    IncrementType,
    CtrlLineType,
    InterrupLineType,
    EnaSquareWaveOutput,
    EnaSyncout,
    SyncoutType,
    AnalogOutputsType,
    AnalogOutputsGainIndex,
    Output10OhmOffset,
    Output10OhmOffsetType,
};
inline constexpr int FieldCount = int(Field::Output10OhmOffsetType) + 1;

struct FieldInfo
{
    const char *name; // the record's field name
    double min;
    double max;
    bool whole; // an index, a count or a switch
};
const FieldInfo &fieldInfo(Field field);

double fieldValue(const GENERATOR_PARS &pars, Field field);
// Stores value as the field's type keeps it; no checks.
void setFieldValue(GENERATOR_PARS &pars, Field field, double value);

// Why value cannot be stored in the field at all (outside its range, not a
// whole number where one is needed, not a number); none when it can.
std::optional<QString> rangeError(Field field, double value);
// Why the field cannot be changed in this record (it is forced or unused, as
// the panel shows by locking its control); none when it can.
std::optional<QString> lockReason(const GENERATOR_PARS &pars, Field field);

bool isCyclicScan(const GENERATOR_PARS &pars);
// The increment type the module really uses (automatic during a cyclic scan).
bool stepsByCtrlLine(const GENERATOR_PARS &pars);

// The values a cyclic scan forces: increment type automatic, CTRL line
// internal, SYNCOUT on, at the end of the scan. The record is returned as it
// is without a cyclic scan.
GENERATOR_PARS withCyclicScanForcing(const GENERATOR_PARS &pars);

// The record as the module is given it: the forcing above, the clock of its
// source, and the counts in their ranges (the number of base intervals only
// where it is used). The library's own bytes are left alone.
GENERATOR_PARS normalized(const GENERATOR_PARS &pars);

} // namespace RecordRules
