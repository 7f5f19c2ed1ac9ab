#pragma once

#include "device/ModuleInterface.h"

#include <QLibrary>
#include <QString>
#include <QStringList>

// Loads the device library "Modlink" at run time and resolves its two exported
// functions. The library is looked for first beside the program's executable,
// then by the system's usual search. It is never unloaded: the module interface
// that it hands out lives in it.
class DeviceLibrary
{
public:
    // candidates: the file names tried in order (QLibrary adds "lib" and ".so").
    explicit DeviceLibrary(const QStringList &candidates = defaultCandidates());
    DeviceLibrary(const DeviceLibrary &) = delete;
    DeviceLibrary &operator=(const DeviceLibrary &) = delete;

    static QStringList defaultCandidates();

    // Loads the library and resolves both functions. Returns true on success;
    // otherwise errorString() names the file or the function that was wrong.
    // Calling it again after a success does nothing and returns true.
    bool load();
    bool isLoaded() const;
    QString errorString() const;
    QString fileName() const; // the file that was loaded, empty before

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
