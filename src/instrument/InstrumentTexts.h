#pragma once

#include <QList>
#include <QString>

#include <cstdint>

// Every text the instrument reports, in one place: the window shows them in
// its boxes, the headless mode writes them to standard error and the remote
// interface puts them in its error queue.
namespace InstrumentTexts {

// The caption of the detection's report box.
QString detectionReportCaption();

// An exception escaped the device library.
QString unexpectedException();
// The settings file at path does not exist and cannot be made.
QString cannotCreateSettingsFile(const QString &path);

// The six checks of a detection, in their order.
QString libraryNotLoaded(const QString &reasons);
// fileName: the library file that was loaded (libModlink.so).
QString wrongLibraryVersion(const QString &fileName, std::uint32_t found, std::uint32_t required);
QString noModuleInterface();
QString moduleNotFound(); // no box in the window: its indicator turns red
QString getModuleNameFailed();
QString notAG740();
QString getUsbSpeedFailed();
QString wrongUsbSpeed();
QString getModuleDescriptionFailed();

// Start and stop; "function" is the device function that failed.
QString deviceFunctionFailed(const char *function);
QString noModule();                 // an operation that needs a detected module
QString refusedWhileRunning();      // a change while the generator runs
QString setRefusedWhileRunning();   // a parameter set loaded while the generator runs
QString outOfRange(const QString &field, double value, double min, double max);
QString conflict(const QString &field, const QString &reason);

// The module's presence. busySlots: the busy ones, in ascending order.
QString moduleBusy(const QList<std::uint16_t> &busySlots);
QString moduleLost(std::uint16_t slot, bool generatorStopped);
QString moduleFoundAgain(std::uint16_t slot, bool generatorStopped);

} // namespace InstrumentTexts
