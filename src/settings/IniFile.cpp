#include "settings/IniFile.h"

#include "runtime/NumberFormat.h"
#include "settings/IniText.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>

#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <QCoreApplication>

namespace {

std::optional<qint64> failWriteAfter;
int replacements = 0;

// Files read or changed while write-back is open, in the order of their first
// use: the text as it stands, parsed once, and the bytes on disk. Each thread
// keeps its own.
struct KeptBack
{
    QString fileName;
    IniText text;
    QByteArray onDisk;
    bool writable = false; // a change met the checks of a write
};
thread_local bool keepingBack = false;
thread_local QList<KeptBack> keptBack;

KeptBack *keptBackFor(const QString &name)
{
    if (keptBack.isEmpty())
        return nullptr;
    const QString fileName = QFileInfo(name).absoluteFilePath();
    for (KeptBack &entry : keptBack) {
        if (entry.fileName == fileName)
            return &entry;
    }
    return nullptr;
}

QString IsDirectoryReason()
{
    return QCoreApplication::translate("IniFile", "по этому пути находится каталог, а не файл");
}

bool onReadOnlyFileSystem(const QString &path)
{
    struct statvfs info;
    return ::statvfs(QFile::encodeName(path).constData(), &info) == 0 && (info.f_flag & ST_RDONLY);
}

bool isReadablePath(const QFileInfo &info)
{
    constexpr auto ReadBits = QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther;
    return info.isReadable() && (info.permissions() & ReadBits);
}

// Why path (a file, or the directory a new file goes into) takes no write.
QString notWritableReason(const QString &path, bool directory)
{
    if (onReadOnlyFileSystem(path))
        return systemErrorReason(EROFS);
    return directory ? QCoreApplication::translate("IniFile", "нет прав на запись в каталог '%1'").arg(QDir::toNativeSeparators(path))
                     : QCoreApplication::translate("IniFile", "нет прав на запись (файл защищён от записи)");
}

// A file that holds bytes no text has: NUL, or control characters other than
// the line and page breaks, tab and the DOS end-of-file mark.
std::optional<QString> textProblem(const QByteArray &bytes)
{
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF"))
        return QCoreApplication::translate("IniFile", "файл записан в кодировке UTF-16, программа читает Windows-1251 и UTF-8");
    for (const char byte : bytes) {
        const auto c = static_cast<unsigned char>(byte);
        if (c < 0x20 && c != '\t' && c != '\n' && c != '\r' && c != '\f' && c != '\v' && c != 0x1A)
            return QCoreApplication::translate("IniFile", "это не текстовый файл");
    }
    return std::nullopt;
}

struct FileContent
{
    QByteArray bytes;
    std::optional<QString> problem;
};

// The file as last read, while it is the same file unchanged: reads in a burst
// (a catalogue asked for again and again) cost a stat each, and the text is
// parsed once.
struct CachedFile
{
    QString fileName;
    struct stat status;
    FileContent content;
    std::optional<IniText> text;
};
thread_local std::optional<CachedFile> fileCache;

bool sameFile(const struct stat &a, const struct stat &b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino && a.st_size == b.st_size
           && a.st_mtim.tv_sec == b.st_mtim.tv_sec && a.st_mtim.tv_nsec == b.st_mtim.tv_nsec
           && a.st_ctim.tv_sec == b.st_ctim.tv_sec && a.st_ctim.tv_nsec == b.st_ctim.tv_nsec;
}

FileContent readContent(const QString &fileName)
{
    const QFileInfo info(fileName);
    if (!info.exists())
        return {};
    if (info.isDir())
        return {{}, IsDirectoryReason()};
    if (!info.isFile()) // a device or a pipe: reading it could block or never end
        return {{}, QCoreApplication::translate("IniFile", "это не обычный файл")};
    if (!isReadablePath(info))
        return {{}, systemErrorReason(EACCES, false)};
    std::optional<CachedFile> &cache = fileCache;
    struct stat status = {};
    const bool known = ::stat(QFile::encodeName(fileName).constData(), &status) == 0;
    if (known && cache && cache->fileName == fileName && sameFile(cache->status, status))
        return cache->content;
    QFile file(fileName);
    errno = 0;
    if (!file.open(QIODevice::ReadOnly))
        return {{}, systemErrorReason(errno ? errno : EIO, false)};
    FileContent content{file.readAll(), std::nullopt};
    if (file.error() != QFileDevice::NoError)
        return {{}, systemErrorReason(errno ? errno : EIO, false)};
    content.problem = textProblem(content.bytes);
    if (known)
        cache = CachedFile{fileName, status, content, std::nullopt};
    return content;
}

// The reason of a failed QSaveFile step: errno when the step left one, else
// what Qt recorded.
QString saveFailureReason(const QSaveFile &file, int errorNumber)
{
    if (errorNumber != 0)
        return systemErrorReason(errorNumber);
    switch (file.error()) {
    case QFileDevice::ResourceError:
        return systemErrorReason(ENOSPC);
    case QFileDevice::PermissionsError:
        return systemErrorReason(EACCES);
    default:
        return QCoreApplication::translate("IniFile", "ошибка записи (%1)").arg(file.errorString());
    }
}

} // namespace

bool isWritablePath(const QString &path)
{
    const QFileInfo info(path);
    constexpr auto WriteBits = QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther;
    return info.exists() && info.isWritable() && (info.permissions() & WriteBits);
}

QString systemErrorReason(int errorNumber, bool writing)
{
    switch (errorNumber) {
    case EACCES:
    case EPERM:
        return writing ? QCoreApplication::translate("IniFile", "нет прав на запись") : QCoreApplication::translate("IniFile", "нет прав на чтение");
    case ENOSPC:
    case EDQUOT:
        return QCoreApplication::translate("IniFile", "нет места на диске");
    case EROFS:
        return QCoreApplication::translate("IniFile", "файловая система только для чтения");
    case EISDIR:
        return IsDirectoryReason();
    case ENOENT:
        return QCoreApplication::translate("IniFile", "нет такого файла или каталога");
    case ENOTDIR:
        return QCoreApplication::translate("IniFile", "часть пути не является каталогом");
    case EIO:
        return QCoreApplication::translate("IniFile", "ошибка ввода-вывода");
    case EFBIG:
        return QCoreApplication::translate("IniFile", "файл слишком велик");
    case ENAMETOOLONG:
        return QCoreApplication::translate("IniFile", "слишком длинное имя файла");
    case EMFILE:
    case ENFILE:
        return QCoreApplication::translate("IniFile", "открыто слишком много файлов");
    case EBUSY:
    case ETXTBSY:
        return QCoreApplication::translate("IniFile", "файл занят");
    default:
        return QCoreApplication::translate("IniFile", "системная ошибка %1 (%2)").arg(errorNumber).arg(QString::fromLocal8Bit(std::strerror(errorNumber)));
    }
}

IniFileError::IniFileError(const QString &fileName, const QString &reason)
    : std::runtime_error(
          QCoreApplication::translate("IniFile", "Не могу сохранить файл настроек '%1': %2.").arg(QDir::toNativeSeparators(fileName), reason).toStdString())
    , m_fileName(fileName)
    , m_reason(reason)
{
}

// Replaces the file at m_fileName by content, atomically.
static void replaceFile(const QString &m_fileName, const QByteArray &content)
{
    QSaveFile file(m_fileName);
    errno = 0;
    if (!file.open(QIODevice::WriteOnly))
        throw IniFileError(m_fileName, saveFailureReason(file, errno));
    if (failWriteAfter) {
        file.write(content.first(std::clamp<qint64>(*failWriteAfter, 0, content.size())));
        file.cancelWriting();
    } else {
        errno = 0;
        // QSaveFile buffers, and commit() does not see a failure of the last
        // flush (a file-size limit, a full disk): it would put a short file in
        // the old one's place. So the bytes must reach the file first.
        if (file.write(content) != content.size() || !file.flush())
            throw IniFileError(m_fileName, saveFailureReason(file, errno));
    }
    errno = 0;
    if (!file.commit())
        throw IniFileError(m_fileName, saveFailureReason(file, errno));
    ++replacements;
}

TIniFile::TIniFile(const QString &fileName)
    : m_fileName(fileName)
{
}

void TIniFile::setWriteFailureAfter(std::optional<qint64> bytes)
{
    failWriteAfter = bytes;
}

int TIniFile::replacementCount()
{
    return replacements;
}

std::optional<QString> TIniFile::unusableReason() const
{
    if (keptBackFor(m_fileName))
        return std::nullopt;
    return readContent(m_fileName).problem;
}

IniText TIniFile::text() const
{
    if (const KeptBack *kept = keptBackFor(m_fileName))
        return kept->text;
    FileContent content = readContent(m_fileName);
    if (content.problem)
        return IniText(QByteArray());
    const bool cached = fileCache && fileCache->fileName == m_fileName
                        && fileCache->content.bytes.constData() == content.bytes.constData();
    if (cached && !fileCache->text)
        fileCache->text = IniText(content.bytes);
    IniText text = cached ? *fileCache->text : IniText(content.bytes);
    // A burst of reads parses the file once.
    if (keepingBack && QFileInfo::exists(m_fileName))
        keptBack.append({QFileInfo(m_fileName).absoluteFilePath(), text, std::move(content.bytes), false});
    return text;
}

std::optional<QString> TIniFile::value(const QString &section, const QString &key) const
{
    return text().value(section, key);
}

QString TIniFile::ReadString(const QString &section, const QString &key, const QString &defaultValue) const
{
    return value(section, key).value_or(defaultValue);
}

int TIniFile::ReadInteger(const QString &section, const QString &key, int defaultValue) const
{
    const std::optional<QString> text = value(section, key);
    if (!text)
        return defaultValue;
    try {
        return parseInt(*text, true);
    } catch (const ConversionError &) {
        return defaultValue;
    }
}

bool TIniFile::ReadBool(const QString &section, const QString &key, bool defaultValue) const
{
    return ReadInteger(section, key, defaultValue ? 1 : 0) != 0;
}

double TIniFile::ReadFloat(const QString &section, const QString &key, double defaultValue) const
{
    const std::optional<QString> text = value(section, key);
    if (!text)
        return defaultValue;
    try {
        return parseFloat(*text);
    } catch (const ConversionError &) {
        return defaultValue;
    }
}

void TIniFile::Update(const std::function<bool(IniText &)> &edit)
{
    // A file changed before in this write-back has met its checks; one only
    // read before meets them now, as it would on disk.
    KeptBack *kept = keptBackFor(m_fileName);
    if (kept && kept->writable) {
        IniText text = kept->text;
        if (edit(text))
            kept->text = std::move(text);
        return;
    }
    const QFileInfo info(m_fileName);
    // The old content must be read whole: a file that cannot be read would
    // otherwise be replaced by our keys alone.
    QByteArray old;
    if (info.exists()) {
        if (info.isDir())
            throw IniFileError(m_fileName, IsDirectoryReason());
        if (kept) {
            old = kept->onDisk;
        } else {
            FileContent content = readContent(m_fileName);
            if (content.problem && !m_replacesUnusable)
                throw IniFileError(m_fileName, *content.problem);
            if (!content.problem)
                old = std::move(content.bytes);
        }
        if (!isWritablePath(m_fileName))
            throw IniFileError(m_fileName, notWritableReason(m_fileName, false));
    }
    const QString directory = info.absolutePath();
    if (!QFileInfo(directory).isDir())
        throw IniFileError(m_fileName, systemErrorReason(ENOENT));
    if (!isWritablePath(directory))
        throw IniFileError(m_fileName, notWritableReason(directory, true));

    IniText text = kept ? kept->text : IniText(old);
    if (!edit(text))
        return;
    if (kept) {
        kept->text = std::move(text);
        kept->writable = true;
        return;
    }
    if (keepingBack) {
        keptBack.append({QFileInfo(m_fileName).absoluteFilePath(), std::move(text), old, true});
        return;
    }
    replaceFile(m_fileName, text.content());
}

void TIniFile::WriteString(const QString &section, const QString &key, const QString &value)
{
    std::optional<QString> problem;
    Update([&](IniText &text) {
        problem = text.setValue(section, key, value);
        return !problem;
    });
    if (problem)
        throw IniFileError(m_fileName, *problem);
}

void TIniFile::WriteInteger(const QString &section, const QString &key, int value)
{
    WriteString(section, key, iniIntegerText(value));
}

void TIniFile::WriteBool(const QString &section, const QString &key, bool value)
{
    WriteString(section, key, iniBoolText(value));
}

void TIniFile::WriteFloat(const QString &section, const QString &key, double value)
{
    WriteString(section, key, iniFloatText(value));
}

QString iniIntegerText(int value)
{
    return QString::number(value);
}

QString iniBoolText(bool value)
{
    return value ? QStringLiteral("1") : QStringLiteral("0");
}

QString iniFloatText(double value)
{
    return formatGeneral(value);
}

int removeStaleTemporaries(const QString &path)
{
    const QFileInfo settings(path);
    const QDir directory = settings.absoluteDir();
    const QRegularExpression temporary(
        QLatin1Char('^') + QRegularExpression::escape(settings.fileName()) + QStringLiteral("\\.[A-Za-z0-9]{6}$"));
    int removed = 0;
    const QFileInfoList candidates =
        directory.entryInfoList({settings.fileName() + QStringLiteral(".*")}, QDir::Files | QDir::Hidden | QDir::System);
    for (const QFileInfo &candidate : candidates) {
        if (!temporary.match(candidate.fileName()).hasMatch() || candidate.isSymLink() || !candidate.isFile()
            || candidate.ownerId() != ::getuid())
            continue;
        if (QFile::remove(candidate.filePath()))
            ++removed;
    }
    return removed;
}

void IniWriteBack::open()
{
    keepingBack = true;
}

QStringList IniWriteBack::commit()
{
    keepingBack = false;
    QStringList failures;
    for (const KeptBack &entry : std::exchange(keptBack, {})) {
        const QByteArray content = entry.text.content();
        if (!entry.writable || (content == entry.onDisk && QFileInfo::exists(entry.fileName)))
            continue; // read only, or changed back
        try {
            replaceFile(entry.fileName, content);
        } catch (const IniFileError &error) {
            failures.append(QString::fromUtf8(error.what()));
        }
    }
    return failures;
}

bool IniWriteBack::isOpen()
{
    return keepingBack;
}
