#include "runtime/InstallLayout.h"

#include <QDir>
#include <QFileInfo>

#ifndef G740_PRIVATE_LIBDIR_FROM_BINDIR
#error "G740_PRIVATE_LIBDIR_FROM_BINDIR is not defined"
#endif

namespace InstallLayout {

QString privateLibraryDirectory(const QString &programDirectory)
{
    return QDir::cleanPath(programDirectory + QLatin1Char('/') + QStringLiteral(G740_PRIVATE_LIBDIR_FROM_BINDIR));
}

bool isInstalledCopy(const QString &programDirectory)
{
    return QFileInfo(privateLibraryDirectory(programDirectory)).isDir();
}

} // namespace InstallLayout
