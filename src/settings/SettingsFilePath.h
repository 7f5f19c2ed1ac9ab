#pragma once

#include <QString>

inline constexpr char SettingsFileName[] = "G740Config.ini";

// The settings file of this run: G740Config.ini beside the executable, taken
// from the executable's own path, not from the current directory. A program
// installed where that directory is not writable and that has no file there
// keeps its file in the user's configuration directory instead (created when
// needed). Needs the application object.
QString SettingsFilePath();

// The choice of SettingsFilePath for an executable in programDirectory.
QString settingsFilePathFor(const QString &programDirectory);

// Makes every later SettingsFilePath() return path; an empty path restores the
// normal choice. For --settings, and for tests, which must never write beside
// the executable.
void setSettingsFilePathOverride(const QString &path);

// The program's full path, as the settings file records it.
QString SettingsProgramPath();
