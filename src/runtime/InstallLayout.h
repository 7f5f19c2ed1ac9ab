#pragma once

#include <QString>

// Where an installed copy of the program keeps its own files, seen from the
// folder of its executable; the install rules set the layout at build time.
namespace InstallLayout {

// The program's private library folder (the stand-in device library lives
// there), for an executable in programDirectory.
QString privateLibraryDirectory(const QString &programDirectory);

// True when the executable in programDirectory is an installed copy (its
// private library folder is there), not a build tree or a portable copy. An
// installed copy writes nothing into its own folders.
bool isInstalledCopy(const QString &programDirectory);

} // namespace InstallLayout
