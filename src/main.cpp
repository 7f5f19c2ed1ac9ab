#include "front/CommandLine.h"
#include "front/ExitCodes.h"
#include "front/HeadlessRun.h"
#include "front/Language.h"
#include "front/SweepExport.h"
#include "window/WindowMain.h"
#include "instrument/Instrument.h"
#include "instrument/InstrumentTexts.h"
#include "runtime/InstallLayout.h"
#include "settings/IniFile.h"
#include "settings/SettingsFilePath.h"
#include "settings/SettingsKeys.h"
#include "web/WebAccess.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLibrary>
#include <QTextStream>

#include <cstdio>
#include <exception>
#include <memory>

namespace {

void print(std::FILE *stream, const QString &text)
{
    std::fputs(text.toUtf8().constData(), stream);
}

// The window lives in libg740window.so, so that a headless run never loads
// the widget libraries: beside the program in a build tree or a portable
// copy, in the program's private library folder when installed.
int runWindow(int argc, char *argv[], const CommandLine &commandLine)
{
    const QString directory = QFileInfo(QStringLiteral("/proc/self/exe")).canonicalPath();
    const QString fileName = QStringLiteral("/libg740window.so");
    QString path = directory + fileName;
    if (!QFileInfo::exists(path) && InstallLayout::isInstalledCopy(directory))
        path = InstallLayout::privateLibraryDirectory(directory) + fileName;
    QLibrary window(path);
    const auto run = reinterpret_cast<WindowMainFunction>(window.resolve(WindowMainSymbol));
    if (!run) {
        print(stderr, QCoreApplication::translate("main", "g740demo: окно недоступно: %1\n").arg(window.errorString()));
        return ExitCode::NoDisplay;
    }
    const QByteArray settings = commandLine.settingsFile().toUtf8();
    return run(argc, argv, settings.isEmpty() ? nullptr : settings.constData());
}

// The language of a run without a window: --lang, else the choice kept in
// the settings file. Needs the application object.
void useLanguage()
{
    QString code = Language::fromArguments(QCoreApplication::arguments());
    if (code.isEmpty())
        code = Language::saved(SettingsFilePath());
    Language::install(code);
}

// The command line made and parsed again once the language is installed: its
// texts (help, errors) are made when it is constructed.
std::unique_ptr<CommandLine> inChosenLanguage(const QStringList &arguments)
{
    useLanguage();
    auto translated = std::make_unique<CommandLine>();
    translated->parse(arguments);
    return translated;
}

int runHeadless(int argc, char *argv[], const CommandLine &commandLine)
{
    QCoreApplication app(argc, argv);
    useLanguage();
    try {
        Instrument instrument;
        HeadlessRun::Options options;
        options.startGenerator = commandLine.startGenerator();
        options.remotePort = commandLine.remotePort();
        options.remoteAddress = commandLine.remoteAddress();
        options.httpPort = commandLine.httpPort();
        options.vxi11 = commandLine.vxi11();
        options.presetName = commandLine.presetName();
        options.slot = commandLine.slot();
        HeadlessRun run(instrument, options);
        return run.exec();
    } catch (const std::exception &error) {
        print(stderr, QString::fromUtf8(error.what()) + QLatin1Char('\n'));
    } catch (...) {
        print(stderr, InstrumentTexts::unexpectedException() + QLatin1Char('\n'));
    }
    return ExitCode::SettingsFault;
}

int exportSweep(int argc, char *argv[], const CommandLine &commandLine)
{
    QCoreApplication app(argc, argv); // the settings file's usual place is beside the program
    useLanguage();
    QString reason;
    switch (exportSweepCsv(SettingsFilePath(), commandLine.exportFile(), &reason)) {
    case SweepExportResult::Written:
        return ExitCode::Normal;
    case SweepExportResult::NoSettingsFile:
        print(stderr, reason + QLatin1Char('\n'));
        return ExitCode::SettingsFault;
    case SweepExportResult::WriteFailed:
        print(stderr, reason + QLatin1Char('\n'));
        return ExitCode::OutputFileFault;
    }
    return ExitCode::Normal;
}

// The password is read as a line, so that it stays out of the process list
// and the shell's history; only its salted hash is kept.
int setWebPassword(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    useLanguage();
    QTextStream input(stdin);
    const QString password = input.readLine();
    try {
        TIniFile settings(SettingsFilePath());
        settings.WriteString(WebPageSettings::Section.toString(), WebPageSettings::PasswordHash.toString(),
                             password.isEmpty() ? QString() : WebAccess::hashPassword(password));
    } catch (const std::exception &error) {
        print(stderr, QString::fromUtf8(error.what()) + QLatin1Char('\n'));
        return ExitCode::SettingsFault;
    }
    return ExitCode::Normal;
}

} // namespace

int main(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    CommandLine commandLine;
    const CommandLine::Action action = commandLine.parse(arguments);
    if (!commandLine.settingsFile().isEmpty())
        setSettingsFilePathOverride(commandLine.settingsFile());

    switch (action) {
    case CommandLine::Action::Window:
        return runWindow(argc, argv, commandLine);
    case CommandLine::Action::Headless:
        return runHeadless(argc, argv, commandLine);
    case CommandLine::Action::SetWebPassword:
        return setWebPassword(argc, argv);
    case CommandLine::Action::ExportSweep:
        return exportSweep(argc, argv, commandLine);
    case CommandLine::Action::Version: {
        QCoreApplication app(argc, argv); // the library search starts beside the program
        useLanguage();
        print(stdout, CommandLine::versionText() + QLatin1Char('\n'));
        return ExitCode::Normal;
    }
    case CommandLine::Action::Help: {
        QCoreApplication app(argc, argv);
        print(stdout, inChosenLanguage(arguments)->helpText());
        return ExitCode::Normal;
    }
    case CommandLine::Action::Error: {
        QCoreApplication app(argc, argv);
        const QString error = inChosenLanguage(arguments)->errorText(); // installs the language first
        print(stderr, QCoreApplication::translate("main", "g740demo: %1\nПодробнее: g740demo --help\n").arg(error));
        return ExitCode::BadCommandLine;
    }
    }
    return ExitCode::Normal;
}
