#pragma once

// The window's front door, exported by libg740window.so: runs the program
// with its window and returns the exit code. settingsFile: the --settings
// file in UTF-8, or null for the usual place. The program looks it up by name.
extern "C" int g740RunWindow(int argc, char *argv[], const char *settingsFile);
inline constexpr char WindowMainSymbol[] = "g740RunWindow";
using WindowMainFunction = int (*)(int argc, char *argv[], const char *settingsFile);
