#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <stdexcept>

class IniText;

// Whether a write may change the file or directory at path: the permission
// bits decide as well as access(), so that a file marked read-only stays
// unwritten even for a superuser, as on Windows.
bool isWritablePath(const QString &path);

// The system's reason for a failed file operation, in Russian ("нет прав на
// запись", "нет места на диске", ...), from an errno value; writing tells
// which right a permission error lacked.
QString systemErrorReason(int errorNumber, bool writing = true);

// A settings file that could not be stored; what() is the operator's message
// (in Russian, in UTF-8), naming the file and the reason.
class IniFileError : public std::runtime_error
{
public:
    IniFileError(const QString &fileName, const QString &reason);
    QString fileName() const { return m_fileName; }
    QString reason() const { return m_reason; }

private:
    QString m_fileName;
    QString m_reason;
};

// The settings-file object: one INI file, read and written like the Windows
// private-profile functions (the rules of the text are those of IniText).
//
// Creating the object touches no file. Every read reads the file afresh; a
// missing file, section or key, a file that cannot be used (see
// unusableReason), or a value that is not of the type asked for, gives the
// caller's default. Every change is in the file when it returns and replaces
// the file atomically (a temporary file in the same directory, flushed to
// disk, takes its place with the old file's permissions), so an interrupted
// save leaves the old or the new file whole. A change that cannot be stored
// throws IniFileError and leaves the file as it was; a read-only file or
// directory is never written, even by a user whom the permission bits would
// not stop.
class TIniFile
{
public:
    explicit TIniFile(const QString &fileName);

    QString fileName() const { return m_fileName; }

    // Why the existing file cannot serve as a settings text ("нет прав на
    // чтение", "это каталог", "файл не текстовый", ...), or nothing for a
    // usable or a missing file.
    std::optional<QString> unusableReason() const;

    // A file that cannot be used is never replaced, so that what the operator
    // keeps there survives a save nobody asked for (auto-save on exit). A save
    // the operator asks for allows it: the file then gets our keys alone.
    void setReplacesUnusableFile(bool replaces) { m_replacesUnusable = replaces; }

    QString ReadString(const QString &section, const QString &key, const QString &defaultValue) const;
    // Decimal, or hexadecimal after "0x" or "0X".
    int ReadInteger(const QString &section, const QString &key, int defaultValue) const;
    // Read as an integer: any non-zero value is true.
    bool ReadBool(const QString &section, const QString &key, bool defaultValue) const;
    // A number with "." only; "10,5" gives the default.
    double ReadFloat(const QString &section, const QString &key, double defaultValue) const;

    // Each write is a change of its own.
    void WriteString(const QString &section, const QString &key, const QString &value);
    void WriteInteger(const QString &section, const QString &key, int value);
    void WriteBool(const QString &section, const QString &key, bool value);
    // The shortest general form: 10.0 as "10", 12.5 as "12.5".
    void WriteFloat(const QString &section, const QString &key, double value);

    // Many edits as one change: the file is read once, edit changes its text
    // (keys of any section, whole sections), and the file is replaced once.
    // When edit returns false nothing is written.
    void Update(const std::function<bool(IniText &)> &edit);

    // The file's text as it stands (empty for a missing or unusable file).
    IniText text() const;

    // Test support: while set, each write stops after this many bytes of the
    // new file and fails; a count of at least the file's size fails it just
    // before the new file would replace the old one. Nothing resets it.
    static void setWriteFailureAfter(std::optional<qint64> bytes);
    // Test support: how many times a settings file was replaced in this run.
    static int replacementCount();

private:
    std::optional<QString> value(const QString &section, const QString &key) const;

    QString m_fileName;
    bool m_replacesUnusable = false;
};

// Write-back for a burst of changes (a remote client's share of a turn): while
// open, the changes of this thread go to a copy in memory that the settings
// objects read, and commit() makes each changed file one atomic replacement
// with its final content. Only the first change of a file meets its checks
// at once; a failure to write shows at commit().
namespace IniWriteBack {
void open();
// Writes what was kept back and ends the write-back; the operator's message
// of each write that failed (that file stays as it was).
QStringList commit();
bool isOpen();
} // namespace IniWriteBack

// The forms in which a value is stored, shared by every writer.
QString iniIntegerText(int value);
QString iniBoolText(bool value);
QString iniFloatText(double value);

// Removes what killed saves left beside the settings file at path: our own
// temporaries (the file's name, a dot and six letters or digits), regular
// files of this user only. Returns how many were removed.
int removeStaleTemporaries(const QString &path);
