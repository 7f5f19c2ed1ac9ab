#pragma once

#include "instrument/Instrument.h"
#include "scpi/ScpiCommandTree.h"

#include <QStringList>

#include <functional>
#include <optional>

// What the program around the instrument offers the remote interface: the
// named parameter sets and the settings file (*SAV, *RCL, MEMory:... and
// SYSTem:SETTings:SAVE are offered only where these are handed in), and
// whether the program is busy with the instrument itself, as during a module
// detection, when the window is locked and every remote change is refused.
struct G740Program
{
    std::function<QStringList()> setNames;
    std::function<InstrumentOutcome(const QString &name)> storeSet; // the current record under name
    std::function<InstrumentOutcome(const QString &name)> loadSet;  // into the instrument
    std::function<std::optional<QString>()> saveSettings;           // as Ctrl+S does; why it failed
    std::function<std::optional<QString>()> busy;                   // why nothing may change now
};

// The G-740's command tree: every field of the record with its set form and
// its query, the actual values, start and stop, the common commands. The
// only place where SCPI meets the instrument. origin is passed with every
// change the tree makes, so the window can tell remote changes.
ScpiCommandTree g740CommandTree(Instrument &instrument, const G740Program &program = {}, QObject *origin = nullptr);

// The standard error an instrument failure becomes.
ScpiError scpiErrorOf(const InstrumentFailure &failure);
