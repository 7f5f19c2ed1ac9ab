// Kills a process while it saves the settings file, again and again, and
// sorts what each kill left: the file before the interrupted save (old), the
// file after it (new), or a file with keys of both (mixed, a lost save).
//
//   settings_kill_loop [tries] [--per-key] [--pad MB]
//   settings_kill_loop --time [--pad MB]     (one save timed, both ways)
//
// The child saves records numbered 1, 2, 3, ... (every key differs between
// two neighbours) and prints each number before its save. --per-key saves the
// 21 keys one write at a time, as the program once did; --pad adds a section
// of that many megabytes to the file so that a save takes longer. After each
// kill the temporaries the save left are counted and removed as the program
// does at start.

#include "settings/IniFile.h"
#include "settings/IniText.h"
#include "settings/SettingsKeys.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QThread>

#include <signal.h>

#include <cstdio>
#include <cstring>

namespace {

const QString ProgramPath = QStringLiteral("/opt/g740/bin/g740demo");

// Record number n: floats carry n, the enumerations and booleans its parity.
GENERATOR_PARS recordNumber(int n)
{
    GENERATOR_PARS pars;
    std::memset(static_cast<void *>(&pars), 0, sizeof pars);
    const auto bit = std::uint8_t(n & 1);
    pars.StartFrequency = n;
    pars.FrequencyIncrement = n + 0.5;
    pars.NumberOfIncrements = std::uint16_t(n % 4096);
    pars.BaseIntervalType = bit;
    pars.BaseIntervalMultiplierIndex = bit;
    pars.BaseIntervalsNumber = std::uint16_t(2 + n % 2000);
    pars.MasterClock = 1000 + n % 40000;
    pars.MasterClockSource = bit;
    pars.CyclicAutoScanType = bit;
    pars.IncrementType = bit;
    pars.CtrlLineType = bit;
    pars.InterrupLineType = bit;
    pars.EnaSquareWaveOutput = bit;
    pars.EnaSyncout = bit;
    pars.SyncoutType = bit;
    pars.AnalogOutputsType = bit;
    pars.AnalogOutputsGainIndex = bit;
    pars.Output10OhmOffset = (n % 8) * 0.5 - 2;
    pars.Output10OhmOffsetType = bit;
    return pars;
}

// The file's keys as record number n writes them.
QStringList keysOf(int n)
{
    IniText text{QByteArray()};
    text.setValue(SettingKeys[AutoSaveKey].section, SettingKeys[AutoSaveKey].key, iniBoolText(n & 1));
    setRecordKeys(text, ModuleSection, recordNumber(n));
    QStringList values;
    for (std::size_t row = AutoSaveKey; row < SettingKeys.size(); ++row)
        values.append(text.value(SettingKeys[row].section, SettingKeys[row].key).value_or(QString()));
    return values;
}

QStringList keysIn(const QString &path)
{
    const IniText text = TIniFile(path).text();
    QStringList values;
    for (std::size_t row = AutoSaveKey; row < SettingKeys.size(); ++row)
        values.append(text.value(SettingKeys[row].section, SettingKeys[row].key).value_or(QString()));
    return values;
}

void savePerKey(TIniFile &file, bool autoSave, const GENERATOR_PARS &pars)
{
    IniText keys{QByteArray()};
    setRecordKeys(keys, ModuleSection, pars);
    file.WriteString(SettingKeys[ProgramPathKey].section.toString(), SettingKeys[ProgramPathKey].key.toString(),
                     ProgramPath);
    file.WriteBool(SettingKeys[AutoSaveKey].section.toString(), SettingKeys[AutoSaveKey].key.toString(), autoSave);
    for (const SettingKey &row : SettingKeys) {
        if (row.field != NoField)
            file.WriteString(row.section.toString(), row.key.toString(),
                             *keys.value(row.section, row.key));
    }
}

int runChild(const QString &path, int first, bool perKey)
{
    TIniFile file(path);
    for (int n = first;; ++n) {
        std::printf("%d\n", n);
        std::fflush(stdout);
        if (perKey)
            savePerKey(file, n & 1, recordNumber(n));
        else
            writeCurrentSettings(file, ProgramPath, n & 1, recordNumber(n));
    }
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    if (args.value(0) == QLatin1String("--child"))
        return runChild(args.value(1), args.value(2).toInt(), args.contains(QLatin1String("--per-key")));

    const bool perKey = args.removeAll(QStringLiteral("--per-key")) > 0;
    const bool timeOnly = args.removeAll(QStringLiteral("--time")) > 0;
    int padMegabytes = 0;
    if (const qsizetype pad = args.indexOf(QStringLiteral("--pad")); pad >= 0) {
        padMegabytes = args.value(pad + 1).toInt();
        args.remove(pad, 2);
    }
    const int tries = args.isEmpty() ? 200 : args.value(0).toInt();

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("G740Config.ini"));
    {
        QByteArray start = "[Padding]\r\n";
        while (start.size() < qsizetype(padMegabytes) * 1024 * 1024)
            start += "key" + QByteArray::number(start.size()) + '=' + QByteArray(200, 'v') + "\r\n";
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(start) != start.size())
            return 1;
    }
    TIniFile initial(path);
    writeCurrentSettings(initial, ProgramPath, false, recordNumber(0));
    if (timeOnly) {
        QElapsedTimer timer;
        timer.start();
        writeCurrentSettings(initial, ProgramPath, true, recordNumber(1));
        const double once = double(timer.nsecsElapsed()) / 1e6;
        timer.restart();
        savePerKey(initial, false, recordNumber(2));
        const double perKeyMs = double(timer.nsecsElapsed()) / 1e6;
        std::printf("file %d MB: one replacement per save %.1f ms, one write per key %.1f ms\n", padMegabytes, once,
                    perKeyMs);
        return 0;
    }

    int old = 0, fresh = 0, mixed = 0, temporaries = 0, number = 0;
    QRandomGenerator random(740);
    for (int attempt = 0; attempt < tries; ++attempt) {
        QProcess child;
        child.setProcessChannelMode(QProcess::SeparateChannels);
        QStringList childArgs{QStringLiteral("--child"), path, QString::number(number + 1)};
        if (perKey)
            childArgs.append(QStringLiteral("--per-key"));
        child.start(QCoreApplication::applicationFilePath(), childArgs);
        if (!child.waitForReadyRead(5000))
            return 1;
        QThread::usleep(random.bounded(200, 20000));
        ::kill(pid_t(child.processId()), SIGKILL);
        child.waitForFinished(5000);
        const QList<QByteArray> started = child.readAllStandardOutput().trimmed().split('\n');
        const int inProgress = started.last().toInt();

        const QStringList keys = keysIn(path);
        if (keys == keysOf(inProgress)) {
            ++fresh;
            number = inProgress;
        } else if (keys == keysOf(inProgress - 1)) {
            ++old;
            number = inProgress - 1;
        } else {
            ++mixed;
            // Start the next try from a whole file again.
            TIniFile repair(path);
            writeCurrentSettings(repair, ProgramPath, false, recordNumber(inProgress));
            number = inProgress;
        }
        temporaries += removeStaleTemporaries(path);
    }
    std::printf("%s, file %d MB: tries %d, old %d, new %d, mixed %d, temporaries left %d\n",
                perKey ? "one write per key" : "one replacement per save", padMegabytes, tries, old, fresh, mixed,
                temporaries);
    return mixed == 0 ? 0 : 2;
}
