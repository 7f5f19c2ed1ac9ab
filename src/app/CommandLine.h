#pragma once

#include <QCommandLineParser>
#include <QString>
#include <QStringList>

// The program's command line: which front door to open and with what.
// Parsing needs no application object, so main() can choose between a
// window and none before it makes one.
class CommandLine
{
public:
    enum class Action
    {
        Window,
        Headless,
        Help,
        Version,
        Error, // errorText() says why
    };

    CommandLine();
    // arguments: as the program got them, the program's name first.
    Action parse(const QStringList &arguments);

    QString settingsFile() const { return m_settingsFile; } // absolute; empty: the usual place
    bool startGenerator() const { return m_start; }
    QString presetName() const { return m_preset; } // empty: none
    QString errorText() const { return m_error; }
    // The --help text, the exit codes included. Needs the application object.
    QString helpText() const;
    static QString versionText();

private:
    QCommandLineParser m_parser;
    QCommandLineOption m_help;
    QCommandLineOption m_version;
    QCommandLineOption m_settings;
    QCommandLineOption m_headless;
    QCommandLineOption m_startOption;
    QCommandLineOption m_presetOption;
    QString m_settingsFile;
    bool m_start = false;
    QString m_preset;
    QString m_error;
};
