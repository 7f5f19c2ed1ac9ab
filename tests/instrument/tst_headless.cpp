// The headless program as a user runs it: a real g740demo process with the
// stand-in library, no display, ended by real signals.
#include "front/HeadlessLog.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <QTcpSocket>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/stat.h>

namespace {

const QString ModuleLine = QStringLiteral("Модуль G-740, виртуальный слот 0");

// A settings file in the program's Windows-1251 with the given module keys.
QByteArray settingsText(bool autoSave, const QByteArray &moduleKeys = QByteArray())
{
    QByteArray text = "[Файлы]\r\nГоловная программа=C:\\old\\G740.exe\r\n\r\n[Приложение. Общие]\r\nСохранение настроек=";
    text += autoSave ? "1" : "0";
    text += "\r\n\r\n[Модуль G-740]\r\n" + moduleKeys;
    return text;
}

QByteArray cp1251(const QByteArray &utf8)
{
    QProcess iconv;
    iconv.start(QStringLiteral("iconv"), {QStringLiteral("-f"), QStringLiteral("UTF-8"), QStringLiteral("-t"),
                                          QStringLiteral("CP1251")});
    iconv.write(utf8);
    iconv.closeWriteChannel();
    iconv.waitForFinished();
    return iconv.readAllStandardOutput();
}

QByteArray utf8(const QByteArray &cp1251Text)
{
    QProcess iconv;
    iconv.start(QStringLiteral("iconv"), {QStringLiteral("-f"), QStringLiteral("CP1251"), QStringLiteral("-t"),
                                          QStringLiteral("UTF-8")});
    iconv.write(cp1251Text);
    iconv.closeWriteChannel();
    iconv.waitForFinished();
    return iconv.readAllStandardOutput();
}

} // namespace

class TestHeadless : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void failuresEndWithTheirCode_data();
    void failuresEndWithTheirCode();
    void commandLine_data();
    void commandLine();
    void signalsEndNormally_data();
    void signalsEndNormally();
    void startedGeneratorStopsAtExit();
    void autoSaveAsConfigured();
    void autoSaveFailureIsASettingsFault();
    void missingSettingsFileIsCreated();
    void signalDuringTheDetectionWaitsForItsEnd();
    void sweepExportedWithoutAWindow();
    void presetReplacesTheLoadedRecord();
    void missingPresetStartsNothing();
    void remoteEventsAreLogged();
    void peerTexts_data();
    void peerTexts();

private:
    // Starts g740demo with arguments and MODLINK_SIM=sim, without a display.
    void start(const QStringList &arguments, const QByteArray &sim = QByteArray());
    // Waits for a line on standard error.
    bool waitForLine(const QString &line, int timeout = 5000);
    int finish(int timeout = 5000);
    QString errors() const { return QString::fromUtf8(m_stderr); }
    QString settingsPath() const { return m_dir.filePath(QStringLiteral("G740Config.ini")); }

    QTemporaryDir m_dir;
    std::unique_ptr<QProcess> m_process;
    QByteArray m_stderr;
};

void TestHeadless::init()
{
    QVERIFY(m_dir.isValid());
    QFile::remove(settingsPath());
    m_process.reset();
    m_stderr.clear();
}

void TestHeadless::start(const QStringList &arguments, const QByteArray &sim)
{
    m_process = std::make_unique<QProcess>();
    m_stderr.clear();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    // Any attempt to reach a display would fail the run.
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    env.insert(QStringLiteral("MODLINK_SIM"), QString::fromLatin1(sim));
    m_process->setProcessEnvironment(env);
    m_process->setWorkingDirectory(m_dir.path());
    m_process->start(QCoreApplication::applicationDirPath() + QStringLiteral("/g740demo"), arguments);
    QVERIFY(m_process->waitForStarted());
}

bool TestHeadless::waitForLine(const QString &line, int timeout)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < timeout) {
        m_stderr += m_process->readAllStandardError();
        if (errors().split(QLatin1Char('\n')).contains(line))
            return true;
        if (m_process->state() == QProcess::NotRunning)
            return false;
        m_process->waitForReadyRead(50);
    }
    return false;
}

int TestHeadless::finish(int timeout)
{
    if (!m_process->waitForFinished(timeout)) {
        m_process->kill();
        m_process->waitForFinished();
        return -1;
    }
    m_stderr += m_process->readAllStandardError();
    return m_process->exitStatus() == QProcess::NormalExit ? m_process->exitCode() : -2;
}

void TestHeadless::failuresEndWithTheirCode_data()
{
    QTest::addColumn<QByteArray>("sim");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("report");

    const QStringList headless = {QStringLiteral("--headless")};
    QTest::newRow("no module") << QByteArray("nomodule") << headless << 3 << QStringLiteral("Модуль G-740 не обнаружен!");
    QTest::newRow("not a G-740") << QByteArray("name=G-741") << headless << 3
                                 << QStringLiteral("Обнаруженное устройство не является модулем 'G-740'!");
    QTest::newRow("USB speed") << QByteArray("speed=2") << headless << 3
                               << QStringLiteral("Считалась неправильная скорость работы шины USB!");
    QTest::newRow("library version") << QByteArray("version=3.2") << headless << 4
                                     << QStringLiteral("Неправильная версия библиотеки libModlink.so!");
    QTest::newRow("no interface") << QByteArray("factory=null") << headless << 4
                                  << QStringLiteral("Не могу получить интерфейс на модуль G-740!");
    QTest::newRow("library throws") << QByteArray("throw=OpenModule") << headless << 4
                                    << QStringLiteral("Опаньки!!! Поймали неустранимое исключение!!!");
    QTest::newRow("set fails") << QByteArray("fail=SET_GENERATOR_PARS") << (headless + QStringList{QStringLiteral("--start")}) << 6
                               << QStringLiteral("Не могу выполнить функцию SET_GENERATOR_PARS()");
    QTest::newRow("start fails") << QByteArray("fail=START_GENERATOR") << (headless + QStringList{QStringLiteral("--start")}) << 6
                                 << QStringLiteral("Не могу выполнить функцию START_GENERATOR()");
    QTest::newRow("settings cannot be created")
        << QByteArray() << (headless + QStringList{QStringLiteral("--settings"), QStringLiteral("/nonexistent/dir/G740Config.ini")})
        << 5 << QStringLiteral("Не могу создать файл штатных настроек '/nonexistent/dir/G740Config.ini'!");
}

void TestHeadless::failuresEndWithTheirCode()
{
    QFETCH(QByteArray, sim);
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, report);
    if (!arguments.contains(QStringLiteral("--settings")))
        arguments << QStringLiteral("--settings") << settingsPath();
    start(arguments, sim);
    // A failure ends the program by itself, no signal needed.
    QCOMPARE(finish(), exitCode);
    QVERIFY2(errors().split(QLatin1Char('\n')).contains(report), qPrintable(errors()));
    QVERIFY2(!errors().contains(ModuleLine) || exitCode == 6, qPrintable(errors()));
}

void TestHeadless::commandLine_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("stdoutPart");
    QTest::addColumn<QString>("stderrPart");

    QTest::newRow("help") << QStringList{QStringLiteral("--help")} << 0 << QStringLiteral("  6  генератор не удалось запустить")
                          << QString();
    QTest::newRow("version") << QStringList{QStringLiteral("--version")} << 0 << QStringLiteral("g740demo 1.")
                             << QString();
    QTest::newRow("unknown option") << QStringList{QStringLiteral("--bogus")} << 1 << QString()
                                    << QStringLiteral("bogus");
    QTest::newRow("start without headless") << QStringList{QStringLiteral("--start")} << 1 << QString()
                                            << QStringLiteral("--start действует только вместе с --headless");
    QTest::newRow("settings without file") << QStringList{QStringLiteral("--headless"), QStringLiteral("--settings")}
                                           << 1 << QString() << QStringLiteral("settings");
    QTest::newRow("preset without name") << QStringList{QStringLiteral("--headless"), QStringLiteral("--preset")}
                                         << 1 << QString() << QStringLiteral("preset");
    QTest::newRow("preset blank") << QStringList{QStringLiteral("--preset"), QStringLiteral("  ")} << 1 << QString()
                                  << QStringLiteral("--preset: не указано название набора");
    QTest::newRow("stray argument") << QStringList{QStringLiteral("--headless"), QStringLiteral("extra")} << 1
                                    << QString() << QStringLiteral("extra");
}

void TestHeadless::commandLine()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, stdoutPart);
    QFETCH(QString, stderrPart);
    start(arguments);
    QCOMPARE(finish(), exitCode);
    const QString out = QString::fromUtf8(m_process->readAllStandardOutput());
    QVERIFY2(out.contains(stdoutPart), qPrintable(out));
    QVERIFY2(errors().contains(stderrPart), qPrintable(errors()));
    // Nothing was detected and no settings file was made.
    QVERIFY(!QFile::exists(settingsPath()));
}

void TestHeadless::signalsEndNormally_data()
{
    QTest::addColumn<int>("signalNumber");
    QTest::newRow("SIGTERM") << int(SIGTERM);
    QTest::newRow("SIGINT") << int(SIGINT);
    QTest::newRow("SIGHUP") << int(SIGHUP);
}

void TestHeadless::signalsEndNormally()
{
    QFETCH(int, signalNumber);
    start({QStringLiteral("--headless"), QStringLiteral("--settings"), settingsPath()});
    QVERIFY2(waitForLine(ModuleLine), qPrintable(errors()));
    // It keeps running until told to end.
    QVERIFY(!m_process->waitForFinished(300));
    ::kill(pid_t(m_process->processId()), signalNumber);
    QCOMPARE(finish(), 0);
}

void TestHeadless::startedGeneratorStopsAtExit()
{
    start({QStringLiteral("--headless"), QStringLiteral("--start"), QStringLiteral("--settings"), settingsPath()});
    QVERIFY2(waitForLine(QStringLiteral("Генератор запущен")), qPrintable(errors()));
    m_process->terminate();
    QCOMPARE(finish(), 0);
    QVERIFY2(errors().endsWith(QStringLiteral("Генератор остановлен\n")), qPrintable(errors()));

    // A stop that fails at exit is reported; the program still ends.
    start({QStringLiteral("--headless"), QStringLiteral("--start"), QStringLiteral("--settings"), settingsPath()},
          "fail=STOP_GENERATOR");
    QVERIFY2(waitForLine(QStringLiteral("Генератор запущен")), qPrintable(errors()));
    m_process->terminate();
    QCOMPARE(finish(), 0);
    QVERIFY2(errors().contains(QStringLiteral("Не могу выполнить функцию STOP_GENERATOR()")), qPrintable(errors()));
}

void TestHeadless::autoSaveAsConfigured()
{
    // With auto-save on, the closing writes the settings as the window does:
    // the program's path, and the record as the module got it (the internal
    // clock is 50000 kHz whatever the file said).
    const QByteArray keys = cp1251("Генератор. Начальная частота в кГц=123.5\r\n"
                                   "Генератор. Частота тактирующего сигнала=1000\r\n");
    {
        QFile file(settingsPath());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(cp1251(settingsText(true)) + keys);
    }
    start({QStringLiteral("--headless"), QStringLiteral("--settings"), settingsPath()});
    QVERIFY2(waitForLine(ModuleLine), qPrintable(errors()));
    m_process->terminate();
    QCOMPARE(finish(), 0);
    QFile saved(settingsPath());
    QVERIFY(saved.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(utf8(saved.readAll()));
    QVERIFY2(text.contains(QStringLiteral("Головная программа=") + QCoreApplication::applicationDirPath()
                           + QStringLiteral("/g740demo")),
             qPrintable(text));
    QVERIFY2(text.contains(QStringLiteral("Генератор. Начальная частота в кГц=123.5\r\n")), qPrintable(text));
    QVERIFY2(text.contains(QStringLiteral("Генератор. Частота тактирующего сигнала=50000\r\n")), qPrintable(text));
    QVERIFY2(text.contains(QStringLiteral("Сохранение настроек=1\r\n")), qPrintable(text));

    // With auto-save off, the file is left exactly as it was.
    const QByteArray unsaved = cp1251(settingsText(false)) + keys;
    {
        QFile file(settingsPath());
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(unsaved);
    }
    start({QStringLiteral("--headless"), QStringLiteral("--settings"), settingsPath()});
    QVERIFY2(waitForLine(ModuleLine), qPrintable(errors()));
    m_process->terminate();
    QCOMPARE(finish(), 0);
    QFile kept(settingsPath());
    QVERIFY(kept.open(QIODevice::ReadOnly));
    QCOMPARE(kept.readAll(), unsaved);
}

void TestHeadless::autoSaveFailureIsASettingsFault()
{
    {
        QFile file(settingsPath());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(cp1251(settingsText(true)));
    }
    QVERIFY(QFile::setPermissions(settingsPath(), QFileDevice::ReadOwner | QFileDevice::ReadGroup));
    start({QStringLiteral("--headless"), QStringLiteral("--settings"), settingsPath()});
    QVERIFY2(waitForLine(ModuleLine), qPrintable(errors()));
    m_process->terminate();
    // Reported on standard error, never in a box, and the program ends.
    QCOMPARE(finish(), 5);
    QVERIFY2(errors().trimmed().split(QLatin1Char('\n')).size() == 2, qPrintable(errors()));
    QVERIFY2(errors().contains(settingsPath()), qPrintable(errors()));
    QFile::setPermissions(settingsPath(), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

void TestHeadless::missingSettingsFileIsCreated()
{
    // As at the window's first start: the defaults, auto-save off.
    start({QStringLiteral("--headless"), QStringLiteral("--settings"), settingsPath()});
    QVERIFY2(waitForLine(ModuleLine), qPrintable(errors()));
    QFile created(settingsPath());
    QVERIFY(created.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(utf8(created.readAll()));
    QVERIFY2(text.contains(QStringLiteral("Сохранение настроек=0\r\n")), qPrintable(text));
    QVERIFY2(text.contains(QStringLiteral("Генератор. Тип инкрементации частоты=1\r\n")), qPrintable(text));
    m_process->terminate();
    QCOMPARE(finish(), 0);
}

void TestHeadless::signalDuringTheDetectionWaitsForItsEnd()
{
    {
        QFile file(settingsPath());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(cp1251(settingsText(true)) + cp1251("Генератор. Кол-во приращений=77\r\n"));
    }
    start({QStringLiteral("--headless"), QStringLiteral("--start"), QStringLiteral("--settings"), settingsPath()});
    // The headless detection has no pauses and is over by now; a signal
    // during it is tested in-process (tests/presence).
    QTest::qWait(300);
    m_process->terminate();
    QCOMPARE(finish(), 0);
    // The detection ended, the record was applied and started, and the
    // closing saved the file's record, not a default one.
    const QStringList lines = errors().trimmed().split(QLatin1Char('\n'));
    QCOMPARE(lines, (QStringList{ModuleLine, QStringLiteral("Генератор запущен"), QStringLiteral("Генератор остановлен")}));
    QFile saved(settingsPath());
    QVERIFY(saved.open(QIODevice::ReadOnly));
    QVERIFY(utf8(saved.readAll()).contains("Генератор. Кол-во приращений=77\r\n"));
}

// --export-sweep writes the step table of the settings' record and ends,
// with no module and no display; a missing settings file and a file that
// cannot be written end with their own codes and leave nothing behind.
void TestHeadless::sweepExportedWithoutAWindow()
{
    QFile settings(settingsPath());
    QVERIFY(settings.open(QIODevice::WriteOnly));
    settings.write(cp1251(settingsText(false, "Генератор. Кол-во приращений=2\r\n"
                                              "Генератор. Тип инкрементации частоты=0\r\n")));
    settings.close();
    const QString csv = m_dir.filePath(QStringLiteral("sweep.csv"));
    start({QStringLiteral("--settings"), settingsPath(), QStringLiteral("--export-sweep"), csv}, "nomodule");
    QCOMPARE(finish(), 0);
    QFile table(csv);
    QVERIFY(table.open(QIODevice::ReadOnly));
    const QStringList rows = QString::fromUtf8(table.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QCOMPARE(rows.size(), 4);
    QVERIFY2(rows[0].startsWith(QStringLiteral("Шаг,Заданная частота (кГц),Код частоты,")), qPrintable(rows[0]));
    QVERIFY2(rows[1].startsWith(QStringLiteral("0,10,3355,9.998679161071777,-132.08389282226562,0.002,0,")),
             qPrintable(rows[1]));
    QVERIFY2(rows[3].startsWith(QStringLiteral("2,110,36909,")), qPrintable(rows[3]));

    start({QStringLiteral("--settings"), m_dir.filePath(QStringLiteral("missing.ini")), QStringLiteral("--export-sweep"),
           m_dir.filePath(QStringLiteral("other.csv"))});
    QCOMPARE(finish(), 5);
    QVERIFY2(errors().contains(QStringLiteral("missing.ini")), qPrintable(errors()));
    QVERIFY(!QFile::exists(m_dir.filePath(QStringLiteral("other.csv"))));

    start({QStringLiteral("--settings"), settingsPath(), QStringLiteral("--export-sweep"),
           QStringLiteral("/nonexistent/dir/sweep.csv")});
    QCOMPARE(finish(), 8);
    QVERIFY2(errors().contains(QStringLiteral("/nonexistent/dir/sweep.csv")), qPrintable(errors()));
}

namespace {

// Auto-save on, the module section at 123.5 kHz, a set at 1000 kHz.
QByteArray settingsWithSet()
{
    return cp1251(settingsText(true) + "Генератор. Начальная частота в кГц=123.5\r\n\r\n"
                  "[Набор параметров G-740: Проверка фильтра]\r\n"
                  "Генератор. Начальная частота в кГц=1000\r\n");
}

} // namespace

void TestHeadless::presetReplacesTheLoadedRecord()
{
    {
        QFile file(settingsPath());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(settingsWithSet());
    }
    start({QStringLiteral("--headless"), QStringLiteral("--start"), QStringLiteral("--settings"), settingsPath(),
           QStringLiteral("--preset"), QStringLiteral("ПРОВЕРКА ФИЛЬТРА")});
    QVERIFY2(waitForLine(QStringLiteral("Генератор запущен")), qPrintable(errors()));
    QVERIFY2(errors().contains(QStringLiteral("Загружен набор параметров \"ПРОВЕРКА ФИЛЬТРА\"")), qPrintable(errors()));
    m_process->terminate();
    QCOMPARE(finish(), 0);
    // The set was the record the generator ran with: auto-save writes it as
    // the current one, and the set itself stays.
    QFile saved(settingsPath());
    QVERIFY(saved.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(utf8(saved.readAll()));
    const qsizetype setSection = text.indexOf(QStringLiteral("[Набор параметров G-740: Проверка фильтра]"));
    QVERIFY2(setSection >= 0, qPrintable(text));
    const QString moduleSection = text.section(QStringLiteral("[Модуль G-740]"), 1).left(
        text.section(QStringLiteral("[Модуль G-740]"), 1).indexOf(QLatin1Char('[')));
    QVERIFY2(moduleSection.contains(QStringLiteral("Генератор. Начальная частота в кГц=1000\r\n")), qPrintable(text));
    QVERIFY2(text.mid(setSection).contains(QStringLiteral("Генератор. Начальная частота в кГц=1000\r\n")),
             qPrintable(text));
}

// Nobody watches a headless run: a missing set ends it with the settings
// fault before the generator starts, and nothing is saved.
void TestHeadless::missingPresetStartsNothing()
{
    const QByteArray original = settingsWithSet();
    {
        QFile file(settingsPath());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(original);
    }
    start({QStringLiteral("--headless"), QStringLiteral("--start"), QStringLiteral("--settings"), settingsPath(),
           QStringLiteral("--preset"), QStringLiteral("Нет такого")});
    QCOMPARE(finish(), 5);
    QVERIFY2(errors().contains(QStringLiteral("Набор параметров \"Нет такого\" не найден")), qPrintable(errors()));
    QVERIFY2(!errors().contains(QStringLiteral("Генератор запущен")), qPrintable(errors()));
    QFile kept(settingsPath());
    QVERIFY(kept.open(QIODevice::ReadOnly));
    QCOMPARE(kept.readAll(), original);
}

// Every event of a remote session is one line on standard error, in order.
void TestHeadless::remoteEventsAreLogged()
{
    start({QStringLiteral("--headless"), QStringLiteral("--settings"), settingsPath(), QStringLiteral("--remote"),
           QStringLiteral("0")});
    const QRegularExpression announced(QStringLiteral("^remote control on port (\\d+)$"),
                                       QRegularExpression::MultilineOption);
    QRegularExpressionMatch match;
    for (int i = 0; i < 200 && !(match = announced.match(errors())).hasMatch(); ++i) {
        m_process->waitForReadyRead(50);
        m_stderr += m_process->readAllStandardError();
    }
    QVERIFY2(match.hasMatch(), qPrintable(errors()));

    QTcpSocket client;
    client.connectToHost(QHostAddress::LocalHost, quint16(match.captured(1).toUInt()));
    QVERIFY(client.waitForConnected(5000));
    const QString peer = HeadlessLog::peerText(QHostAddress::LocalHost, client.localPort());
    const auto ask = [&client](const QByteArray &line) {
        client.write(line + '\n');
        while (!client.canReadLine() && client.waitForReadyRead(5000)) {
        }
        return client.readLine().trimmed();
    };
    QCOMPARE(ask("OUTP ON;*OPC?"), QByteArray("1"));
    QCOMPARE(ask("*RST;*OPC?"), QByteArray("1"));
    QCOMPARE(ask("MEM:STOR \"Фильтр\";LOAD \"Фильтр\";*OPC?"), QByteArray("1"));
    QCOMPARE(ask("FREQ:STAR 5;*OPC?"), QByteArray("1")); // no event
    client.disconnectFromHost();
    const QString left = QStringLiteral("Отключился клиент удалённого управления ") + peer;
    QVERIFY2(waitForLine(left), qPrintable(errors()));
    m_process->terminate();
    QCOMPARE(finish(), 0);

    const QStringList expected = {
        QStringLiteral("Подключился клиент удалённого управления ") + peer,
        QStringLiteral("Генератор запущен (удалённое управление)"),
        QStringLiteral("Генератор остановлен (удалённое управление)"),
        QStringLiteral("Загружен набор параметров \"Фильтр\" (удалённое управление)"),
        left,
    };
    const QStringList lines = errors().split(QLatin1Char('\n'));
    const qsizetype first = lines.indexOf(expected.first());
    QVERIFY2(first >= 0, qPrintable(errors()));
    QCOMPARE(lines.mid(first, expected.size()), expected);
}

void TestHeadless::peerTexts_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("text");
    QTest::newRow("IPv4") << "127.0.0.1" << "127.0.0.1:5025";
    QTest::newRow("IPv6") << "::1" << "[::1]:5025";
    QTest::newRow("IPv4 in IPv6") << "::ffff:192.168.1.7" << "192.168.1.7:5025";
}

void TestHeadless::peerTexts()
{
    QFETCH(QString, address);
    QFETCH(QString, text);
    QCOMPARE(HeadlessLog::peerText(QHostAddress(address), 5025), text);
}

QTEST_GUILESS_MAIN(TestHeadless)
#include "tst_headless.moc"
