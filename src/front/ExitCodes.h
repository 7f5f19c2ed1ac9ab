#pragma once

// The program's exit codes, the same for every front door; --help and the
// README list them.
namespace ExitCode {
inline constexpr int Normal = 0;
inline constexpr int BadCommandLine = 1;
inline constexpr int NoDisplay = 2;
inline constexpr int NoModule = 3;      // no module found, or none usable
inline constexpr int LibraryFault = 4;  // the device library: not loaded, wrong version, no interface
inline constexpr int SettingsFault = 5; // the settings file cannot be created or saved
inline constexpr int StartFailed = 6;   // the generator could not be started
inline constexpr int RemotePortFault = 7;
inline constexpr int OutputFileFault = 8; // a file the program was asked to write (--export-sweep)
} // namespace ExitCode
