#pragma once

#include <QString>

#include <optional>
#include <stdexcept>

// Whether a write may change the file or directory at path: the permission
// bits decide as well as access(), so that a file marked read-only stays
// unwritten even for a superuser, as on Windows.
bool isWritablePath(const QString &path);

// A key that could not be stored in the settings file.
class IniFileError : public std::runtime_error
{
public:
    explicit IniFileError(const QString &fileName);
    QString fileName() const { return m_fileName; }

private:
    QString m_fileName;
};

// The settings-file object: one INI file, read and written one key at a time
// like the Windows private-profile functions (the rules of the text are those
// of IniText).
//
// Creating the object touches no file. Every read reads the file afresh; a
// missing file, section or key, or a value that is not of the type asked for,
// gives the caller's default. Every write is in the file when it returns and
// replaces the file atomically (a temporary file in the same directory takes
// its place, with its permissions), so an interrupted write leaves the old or
// the new file whole. A write that cannot be stored throws IniFileError and
// leaves the file as it was; a read-only file or directory is never written,
// even by a user whom the permission bits would not stop.
class TIniFile
{
public:
    explicit TIniFile(const QString &fileName);

    QString fileName() const { return m_fileName; }

    QString ReadString(const QString &section, const QString &key, const QString &defaultValue) const;
    // Decimal, or hexadecimal after "0x" or "0X".
    int ReadInteger(const QString &section, const QString &key, int defaultValue) const;
    // Read as an integer: any non-zero value is true.
    bool ReadBool(const QString &section, const QString &key, bool defaultValue) const;
    // A number with "." only; "10,5" gives the default.
    double ReadFloat(const QString &section, const QString &key, double defaultValue) const;

    void WriteString(const QString &section, const QString &key, const QString &value);
    void WriteInteger(const QString &section, const QString &key, int value);
    void WriteBool(const QString &section, const QString &key, bool value);
    // The shortest general form: 10.0 as "10", 12.5 as "12.5".
    void WriteFloat(const QString &section, const QString &key, double value);

    // Test support: while set, each write stops after this many bytes of the
    // new file and fails; a count of at least the file's size fails it just
    // before the new file would replace the old one. Nothing resets it.
    static void setWriteFailureAfter(std::optional<qint64> bytes);

private:
    std::optional<QString> value(const QString &section, const QString &key) const;

    QString m_fileName;
};
