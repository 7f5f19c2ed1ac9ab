#include "front/FileVersions.h"

#include "device/DeviceLibrary.h"
#include "runtime/ProgramIdentity.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace FileVersions {

namespace {

// The file names that QLibrary tries for one candidate, in its order: an
// absolute name is tried as given first, a relative one last.
QStringList libraryFileNames(const QString &candidate)
{
    const QFileInfo info(candidate);
    const QString dir = info.path() == QLatin1String(".") && !candidate.startsWith(QLatin1String("./"))
        ? QString()
        : info.path() + QLatin1Char('/');
    const QString base = info.fileName();
    QStringList prefixes{QStringLiteral("lib")};
    QStringList suffixes{QStringLiteral(".so")};
    if (info.isAbsolute()) {
        prefixes.prepend(QString());
        suffixes.prepend(QString());
    } else {
        prefixes.append(QString());
        suffixes.append(QString());
    }
    QStringList names;
    for (const QString &prefix : prefixes) {
        for (const QString &suffix : suffixes) {
            if (!prefix.isEmpty() && base.startsWith(prefix))
                continue;
            if (!suffix.isEmpty() && base.endsWith(suffix))
                continue;
            names.append(dir + prefix + base + suffix);
        }
    }
    return names;
}

// The folders of a dynamic linker configuration file, in order, following its
// "include" lines (globs, relative to the including file's folder).
void readLdSoConf(const QString &path, QStringList &dirs, int depth = 0)
{
    QFile file(path);
    if (depth > 8 || !file.open(QIODevice::ReadOnly | QIODevice::Text))
        return;
    const QString base = QFileInfo(path).path();
    while (!file.atEnd()) {
        QString line = QString::fromLocal8Bit(file.readLine());
        line = line.left(line.indexOf(QLatin1Char('#'))).trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1String("hwcap ")))
            continue;
        if (line.startsWith(QLatin1String("include "))) {
            const QFileInfo pattern(QDir(base), line.mid(8).trimmed());
            const QDir dir(pattern.path());
            for (const QString &name : dir.entryList({pattern.fileName()}, QDir::Files, QDir::Name))
                readLdSoConf(dir.filePath(name), dirs, depth + 1);
            continue;
        }
        static const QRegularExpression separators(QStringLiteral("[\\s:,]+"));
        dirs << line.split(separators, Qt::SkipEmptyParts);
    }
}

} // namespace

QStringList librarySearchDirs(const QString &ldSoConf)
{
    QStringList dirs = qEnvironmentVariable("LD_LIBRARY_PATH").split(QLatin1Char(':'), Qt::SkipEmptyParts);
    readLdSoConf(ldSoConf, dirs);
    for (const QString &root : {QStringLiteral("/lib"), QStringLiteral("/usr/lib")}) {
        const QStringList multiarch = QDir(root).entryList({QStringLiteral("*-linux-gnu*")}, QDir::Dirs);
        for (const QString &sub : multiarch)
            dirs << root + QLatin1Char('/') + sub;
        dirs << root;
    }
    dirs.removeDuplicates();
    return dirs;
}

namespace {

// The existing files that a library file name stands for.
QStringList resolveLibraryFile(const QString &name)
{
    if (name.contains(QLatin1Char('/')))
        return {name};
    QStringList found;
    for (const QString &dir : librarySearchDirs())
        found << dir + QLatin1Char('/') + name;
    return found;
}

} // namespace

std::optional<QString> programVersion()
{
    return ProgramIdentity::version();
}

QString versionFromLibraryFileName(const QString &fileName)
{
    static const QRegularExpression versioned(QStringLiteral("\\.so\\.(\\d+(?:\\.\\d+)*)$"));
    const QRegularExpressionMatch match = versioned.match(fileName);
    return match.hasMatch() ? match.captured(1) : QString();
}

bool isElfSharedObject(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    // e_ident (16 bytes) then e_type, in the byte order that e_ident[5] names.
    const QByteArray header = file.read(18);
    if (header.size() < 18 || !header.startsWith("\x7f" "ELF"))
        return false;
    const auto lo = static_cast<quint8>(header[16]);
    const auto hi = static_cast<quint8>(header[17]);
    const bool bigEndian = header[5] == 2;
    const unsigned type = bigEndian ? (lo << 8 | hi) : (hi << 8 | lo);
    constexpr unsigned ElfTypeShared = 3; // ET_DYN
    return type == ElfTypeShared;
}

std::optional<QString> sharedLibraryFile(const QStringList &candidates)
{
    for (const QString &candidate : candidates) {
        for (const QString &name : libraryFileNames(candidate)) {
            for (const QString &path : resolveLibraryFile(name)) {
                // A file that is not a shared object fails to load, and the
                // loader goes on to the next name, so this reader does too.
                if (isElfSharedObject(path))
                    return path;
            }
        }
    }
    return std::nullopt;
}

QString deviceLibraryFile(const QStringList &candidates)
{
    const DeviceLibrary &library = DeviceLibrary::instance();
    const QString path = library.isLoaded() && candidates == DeviceLibrary::defaultCandidates()
        ? library.fileName()
        : sharedLibraryFile(candidates).value_or(QString());
    return path.isEmpty() ? QString() : QFileInfo(path).canonicalFilePath();
}

std::optional<QString> kernelModuleVersion(const QString &moduleName, const QString &sysfsRoot)
{
    QFile file(sysfsRoot + QStringLiteral("/module/") + moduleName + QStringLiteral("/version"));
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return QString::fromUtf8(file.readAll()).trimmed();
}

} // namespace FileVersions
