#pragma once

#include <QCommandLineParser>
#include <QHostAddress>
#include <QString>
#include <QStringList>

#include <optional>

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
        ExportSweep, // exportFile(): the sweep table of the settings' record, no window
        SetWebPassword, // the web page's password from standard input into the settings file
        Error,       // errorText() says why
    };

    CommandLine();
    // arguments: as the program got them, the program's name first.
    Action parse(const QStringList &arguments);

    QString settingsFile() const { return m_settingsFile; } // absolute; empty: the usual place
    bool startGenerator() const { return m_start; }
    QString exportFile() const { return m_exportFile; }
    // --remote PORT (0: any free port); none without the option.
    std::optional<quint16> remotePort() const { return m_remotePort; }
    // --remote-listen ADDRESS; the loopback address without it.
    QHostAddress remoteAddress() const { return m_remoteAddress; }
    // --http PORT (0: any free port); none without the option. The page
    // listens on remoteAddress() too.
    std::optional<quint16> httpPort() const { return m_httpPort; }
    // --vxi11 off: remote control without VXI-11 and discovery.
    bool vxi11() const { return m_vxi11; }
    QString presetName() const { return m_preset; } // empty: none
    // --slot N: the only virtual slot probed; none: the first free module.
    std::optional<quint16> slot() const { return m_slotChoice; }
    QString language() const { return m_languageCode; } // "ru", "en"; empty: not given
    QString errorText() const { return m_error; }
    // The --help text, the exit codes included. Needs the application object.
    QString helpText() const;
    static QString versionText();

private:
    QCommandLineParser m_parser;
    QCommandLineOption m_help;
    QCommandLineOption m_language;
    QCommandLineOption m_version;
    QCommandLineOption m_settings;
    QCommandLineOption m_headless;
    QCommandLineOption m_startOption;
    QCommandLineOption m_remote;
    QCommandLineOption m_remoteListen;
    QCommandLineOption m_http;
    QCommandLineOption m_webPassword;
    QCommandLineOption m_vxi11Option;
    bool m_vxi11 = true;
    QCommandLineOption m_exportSweep;
    QString m_settingsFile;
    bool m_start = false;
    QString m_exportFile;
    std::optional<quint16> m_remotePort;
    std::optional<quint16> m_httpPort;
    QHostAddress m_remoteAddress{QHostAddress::LocalHost};
    QCommandLineOption m_presetOption;
    QCommandLineOption m_slot;
    std::optional<quint16> m_slotChoice;
    QString m_preset;
    QString m_languageCode;
    QString m_error;
};
