#include "device/DeviceLibrary.h"

#include "runtime/InstallLayout.h"
#include "runtime/ProgramIdentity.h"

#include <QCoreApplication>

#include <dlfcn.h>

ModuleInterface *TheModuleInterface = nullptr;

DeviceLibrary::DeviceLibrary(const QStringList &candidates)
    : m_candidates(candidates)
{
}

QStringList DeviceLibrary::defaultCandidates()
{
    const QString name = ProgramIdentity::deviceLibraryName();
    return {QCoreApplication::applicationDirPath() + QLatin1Char('/') + name, name,
            privateDirectory() + QLatin1Char('/') + name};
}

QString DeviceLibrary::privateDirectory()
{
    return InstallLayout::privateLibraryDirectory(QCoreApplication::applicationDirPath());
}

bool DeviceLibrary::load()
{
    if (isLoaded())
        return true;

    // Each candidate that fails adds its reason; the first that loads and
    // offers both functions is kept.
    QStringList reasons;
    for (const QString &candidate : m_candidates) {
        m_library.setFileName(candidate);
        if (!m_library.load()) {
            reasons << QCoreApplication::translate("DeviceLibrary", "файл %1 не загружается: %2").arg(candidate, m_library.errorString());
            continue;
        }
        QStringList missing;
        const auto resolve = [this, &missing](const char *name) {
            // QLibrary gives no useful reason for a missing symbol.
            QFunctionPointer function = m_library.resolve(name);
            if (!function)
                missing << QLatin1String(name);
            return function;
        };
        const auto getLibraryVersion = reinterpret_cast<GetLibraryVersionFunction>(resolve("GetLibraryVersion"));
        const auto createModuleInterface =
            reinterpret_cast<CreateModuleInterfaceFunction>(resolve("CreateModuleInterface"));
        if (missing.isEmpty()) {
            m_getLibraryVersion = getLibraryVersion;
            m_createModuleInterface = createModuleInterface;
            m_error.clear();
            return true;
        }
        reasons << QCoreApplication::translate("DeviceLibrary", "в файле %1 нет функции %2").arg(m_library.fileName(), missing.join(QStringLiteral(", ")));
        m_library.unload();
    }
    if (reasons.isEmpty())
        reasons << QCoreApplication::translate("DeviceLibrary", "не указано ни одного файла");
    // One line for each file tried; the detection puts its own heading above.
    m_error = reasons.join(QLatin1Char('\n'));
    return false;
}

bool DeviceLibrary::isLoaded() const
{
    return m_getLibraryVersion && m_createModuleInterface;
}

QString DeviceLibrary::errorString() const
{
    return m_error;
}

QString DeviceLibrary::fileName() const
{
    if (!isLoaded())
        return QString();
    // QLibrary knows only the name it passed on; a library found by the
    // system's search is named by the path the dynamic linker opened.
    Dl_info info{};
    if (dladdr(reinterpret_cast<const void *>(m_getLibraryVersion), &info) && info.dli_fname)
        return QString::fromLocal8Bit(info.dli_fname);
    return m_library.fileName();
}

GetLibraryVersionFunction DeviceLibrary::getLibraryVersion() const
{
    return m_getLibraryVersion;
}

CreateModuleInterfaceFunction DeviceLibrary::createModuleInterface() const
{
    return m_createModuleInterface;
}

DeviceLibrary &DeviceLibrary::instance()
{
    static DeviceLibrary library;
    return library;
}
