#pragma once

#include <QString>

class SweepPlan;

// Writing the sweep table to a CSV file, with or without a window.

enum class SweepExportResult
{
    Written,
    NoSettingsFile, // the settings file to read the record from does not exist
    WriteFailed,    // the CSV file could not be written; nothing was replaced
};

// Writes the plan's table to csvPath as UTF-8 (sweepCsv), replacing the file
// in one step. On failure, *reason (if given) says why.
SweepExportResult writeSweepCsv(const SweepPlan &plan, const QString &csvPath, QString *reason = nullptr);

// The sweep of the record stored in the settings file settingsPath, written
// to csvPath: what the sweep window would show for that record once a module
// is found. Needs no window and no module.
SweepExportResult exportSweepCsv(const QString &settingsPath, const QString &csvPath, QString *reason = nullptr);
