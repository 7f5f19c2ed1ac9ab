#pragma once

#include "device/ModuleInterface.h"

#include <QLibrary>
#include <QString>
#include <QStringList>

// Loads the device library "Modlink" at run time and resolves its two exported
// functions. The library is looked for first beside the program's executable
// (a build tree or a portable copy), then by the system's usual search (the
// maker's library, when installed), and last in the program's private library
// folder, where the package puts the stand-in with the simulated module. The
// stand-in never goes where the system search would find it, so it cannot
// shadow the maker's library. The library is never unloaded: the module
// interface that it hands out lives in it.
class DeviceLibrary
{
public:
    // candidates: the file names tried in order (QLibrary adds "lib" and ".so").
    explicit DeviceLibrary(const QStringList &candidates = defaultCandidates());
    DeviceLibrary(const DeviceLibrary &) = delete;
    DeviceLibrary &operator=(const DeviceLibrary &) = delete;

    static QStringList defaultCandidates();
    // The program's private library folder of an installed copy, found from
    // the executable's own directory so that a relocated install works too.
    static QString privateDirectory();

    // Loads the library and resolves both functions. Returns true on success;
    // otherwise errorString() names the file or the function that was wrong.
    // Calling it again after a success does nothing and returns true.
    bool load();
    bool isLoaded() const;
    QString errorString() const;
    QString fileName() const; // the path of the file that was loaded, empty before

    GetLibraryVersionFunction getLibraryVersion() const;
    CreateModuleInterfaceFunction createModuleInterface() const;

    // The program's one library object.
    static DeviceLibrary &instance();

private:
    QStringList m_candidates;
    QLibrary m_library;
    QString m_error;
    GetLibraryVersionFunction m_getLibraryVersion = nullptr;
    CreateModuleInterfaceFunction m_createModuleInterface = nullptr;
};

// The program's one module interface: created by the first detection that gets
// one from the factory, released by the main window when it closes. The
// generator panel keeps an unowned copy.
extern ModuleInterface *TheModuleInterface;
