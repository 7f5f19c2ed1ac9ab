#pragma once

#include "instrument/Instrument.h"

#include <QString>

#include <functional>
#include <optional>

// What the program around the instrument tells the web page: where the
// named sets live, the raw SCPI port while remote control is on, the device
// library's version, and whether the program is busy with the instrument
// itself (a module detection in the window), when every change is refused.
struct WebProgram
{
    QString settingsPath;
    std::function<std::optional<quint16>()> remotePort;
    std::function<QString()> libraryVersion;
    std::function<std::optional<QString>()> busy;
    // The password's hash record from the settings file; empty: none set.
    QString passwordRecord;
};
