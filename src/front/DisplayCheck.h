#pragma once

// Makes sure the window can be shown before the application object is made.
// Without a graphical display Qt ends the program with an abort and a hint to
// reinstall it; the lab user gets one line instead, saying what is missing and
// how to run without a display, and exit code 2.
//
// Call it just before the QApplication is constructed. It returns when a
// display is set (or another platform is chosen) and leaves behind a message
// handler that turns Qt's fatal "cannot open the display" at construction into
// the same line and code. All other messages pass on unchanged.
void requireGraphicalDisplay(int argc, char **argv);
