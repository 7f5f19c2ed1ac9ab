#pragma once

#include "device/DeviceLibrary.h"

#include <QString>
#include <QStringList>

#include <optional>

// Reads the version strings that the about dialog shows, without loading or
// calling into the files they describe. Each reader returns:
// - std::nullopt when the file has no version information (not found, or not
//   the kind of file that carries one): the dialog keeps its placeholder;
// - an empty string when the file has version information but no version
//   string;
// - the version string otherwise.
namespace FileVersions {

// The program's own version, fixed at build time from the project version.
std::optional<QString> programVersion();

// The file that QLibrary would load for the first of the candidates that
// names a shared object (QLibrary's naming: "lib" and ".so" are added), as
// the path it finds; std::nullopt when no candidate names one. A library's
// version lives in its file name: the symlink "libModlink.so" resolves to
// "libModlink.so.3.4.0".
std::optional<QString> sharedLibraryFile(const QStringList &candidates);

// The device library file the program uses, with symlinks resolved: the one
// its loader has loaded, or before the first detection the one the loader
// will pick from the candidates; empty when there is none. Other candidates
// than the loader's own are only followed, never compared with the loaded file.
QString deviceLibraryFile(const QStringList &candidates = DeviceLibrary::defaultCandidates());

// The version that the kernel publishes for a loaded module in
// <sysfsRoot>/module/<name>/version.
std::optional<QString> kernelModuleVersion(const QString &moduleName,
                                           const QString &sysfsRoot = QStringLiteral("/sys"));

// The version part of a resolved library file name ("libX.so.3.4.0" gives
// "3.4.0"); empty when the name carries none ("libX.so").
QString versionFromLibraryFileName(const QString &fileName);

// Where the dynamic linker looks for a library given without a folder:
// LD_LIBRARY_PATH, the folders of its configuration (as ldconfig reads them),
// then the system's own library folders.
QStringList librarySearchDirs(const QString &ldSoConf = QStringLiteral("/etc/ld.so.conf"));

// True when the file is an ELF shared object (e_type ET_DYN).
bool isElfSharedObject(const QString &path);

} // namespace FileVersions
