#pragma once

#include <QString>

// Who the program is, in one place: every face that names the instrument
// (--version, the about dialog, *IDN?, the LAN faces, the package) reads it here.
namespace ProgramIdentity {

// The maker as the instrument names itself (*IDN?'s first field, LXI's
// Manufacturer); also the Designer widget box group of the component set.
QString maker();
// The instrument model.
QString model();
// The program's name as a command and a package.
QString programName();
// The program's version, set once by the build.
QString version();
// The device library's base name, as the loader looks it up.
QString deviceLibraryName();
// The project's home page.
QString homePage();

} // namespace ProgramIdentity
