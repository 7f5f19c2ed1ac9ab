#pragma once

#include "instrument/Instrument.h"
#include "remote/ScpiCommandTree.h"

#include <QStringList>

#include <functional>
#include <optional>

// The named parameter sets and the settings file as the program keeps them.
// The remote interface offers *SAV, *RCL, MEMory:... and
// SYSTem:SETTings:SAVE only where the program hands these in.
struct G740Storage
{
    std::function<QStringList()> setNames;
    std::function<InstrumentOutcome(const QString &name)> storeSet; // the current record under name
    std::function<InstrumentOutcome(const QString &name)> loadSet;  // into the instrument
    std::function<std::optional<QString>()> saveSettings;           // as Ctrl+S does; why it failed
};

// The G-740's command tree: every field of the record with its set form and
// its query, the actual values, start and stop, the common commands. The
// only place where SCPI meets the instrument. origin is passed with every
// change the tree makes, so the window can tell remote changes.
ScpiCommandTree g740CommandTree(Instrument &instrument, const G740Storage &storage = {}, QObject *origin = nullptr);

// The standard error an instrument failure becomes.
ScpiError scpiErrorOf(const InstrumentFailure &failure);
