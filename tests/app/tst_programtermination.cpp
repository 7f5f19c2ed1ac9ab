// The whole program ended from outside: real signals to a real g740demo
// process, copied with the stand-in device library into a directory of its
// own, so that its settings file is the test's.

#include "runtime/CodePage.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>

namespace {

const QString SettingsFileName = QStringLiteral("G740Config.ini");
const QString VersionReport = QStringLiteral("Неправильная версия библиотеки libModlink.so!");
const QString NameReport = QStringLiteral("Обнаруженное устройство не является модулем 'G-740'!");
const QString SpeedReport = QStringLiteral("Считалась неправильная скорость работы шины USB!");

// Everything a termination must take: answering the boxes, the rest of the
// detection, the closing sequence.
constexpr int EndWithinMs = 2000;

class Program
{
public:
    Program()
    {
        const QString binaries = QStringLiteral(G740_BINARY_DIR);
        QVERIFY(m_directory.isValid());
        for (const QString &file :
             {QStringLiteral("g740demo"), QStringLiteral("libg740window.so"), QStringLiteral("libModlink.so")})
            QVERIFY(QFile::copy(binaries + QLatin1Char('/') + file, m_directory.filePath(file)));
        QFile::setPermissions(m_directory.filePath(QStringLiteral("g740demo")),
                              QFile::permissions(binaries + QStringLiteral("/g740demo")));
    }
    ~Program()
    {
        // A read-only directory must still be removable.
        QFile::setPermissions(m_directory.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished();
        }
    }

    QString settingsPath() const { return m_directory.filePath(SettingsFileName); }
    QString directory() const { return m_directory.path(); }
    QProcess &process() { return m_process; }

    void start(const QByteArray &simConfig)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        environment.insert(QStringLiteral("MODLINK_SIM"), QString::fromLatin1(simConfig));
        m_process.setProcessEnvironment(environment);
        m_process.setWorkingDirectory(m_directory.path());
        m_process.start(m_directory.filePath(QStringLiteral("g740demo")), {});
        QVERIFY(m_process.waitForStarted());
    }

    // Sends the signal and waits for the end; returns the milliseconds it
    // took, or -1 when the program did not end in time.
    qint64 endWith(int signalNumber, int waitMs = 5000)
    {
        QElapsedTimer clock;
        clock.start();
        ::kill(static_cast<pid_t>(m_process.processId()), signalNumber);
        if (!m_process.waitForFinished(waitMs))
            return -1;
        return clock.elapsed();
    }

    QString standardError() { return QString::fromLocal8Bit(m_process.readAllStandardError()); }

private:
    QTemporaryDir m_directory;
    QProcess m_process;
};

} // namespace

class TestProgramTermination : public QObject
{
    Q_OBJECT

private slots:
    void signalAnswersTheDetectionReport_data();
    void signalAnswersTheDetectionReport();
    void signalDuringADetectionLetsItEnd();
    void failedAutoSaveGoesToStandardError();
};

void TestProgramTermination::signalAnswersTheDetectionReport_data()
{
    QTest::addColumn<QByteArray>("config");
    QTest::addColumn<int>("signalNumber");
    QTest::addColumn<QString>("report");

    QTest::newRow("library 3.2, SIGTERM") << QByteArray("version=3.2") << SIGTERM << VersionReport;
    QTest::newRow("another module, SIGINT") << QByteArray("name=G-741") << SIGINT << NameReport;
    QTest::newRow("speed code 2, SIGHUP") << QByteArray("speed=2") << SIGHUP << SpeedReport;
    // The stand-in library reports its broken configuration as version 0.
    QTest::newRow("malformed entry, SIGTERM") << QByteArray("slot=abc") << SIGTERM << VersionReport;
}

void TestProgramTermination::signalAnswersTheDetectionReport()
{
    QFETCH(QByteArray, config);
    QFETCH(int, signalNumber);
    QFETCH(QString, report);
    Program program;
    program.start(config);
    // The first detection creates the settings file at its first step and
    // reports about half a second later; the box then waits for an answer.
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(program.settingsPath()), 10000);
    QTest::qWait(2000);
    QCOMPARE(program.process().state(), QProcess::Running);

    const qint64 took = program.endWith(signalNumber);
    QVERIFY2(took >= 0 && took < EndWithinMs, qPrintable(QString::number(took)));
    QCOMPARE(program.process().exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.process().exitCode(), 0);
    // The box took the answer: the report was shown, not written out.
    QVERIFY(!program.standardError().contains(report));
}

void TestProgramTermination::signalDuringADetectionLetsItEnd()
{
    Program program;
    program.start("version=3.2");
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(program.settingsPath()), 10000);
    const qint64 took = program.endWith(SIGTERM);
    QVERIFY2(took >= 0 && took < EndWithinMs, qPrintable(QString::number(took)));
    QCOMPARE(program.process().exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.process().exitCode(), 0);
}

void TestProgramTermination::failedAutoSaveGoesToStandardError()
{
    Program program;
    QFile settings(program.settingsPath());
    QVERIFY(settings.open(QIODevice::WriteOnly));
    // Auto-save on, in the file's own code page.
    const QByteArray cp1251 = toCp1251(u"[Приложение. Общие]\r\nСохранение настроек=1\r\n");
    settings.write(cp1251);
    settings.close();

    program.start("");
    QTest::qWait(2500); // the detection finds the module and checks the auto-save box
    QCOMPARE(program.process().state(), QProcess::Running);
    // The folder turns read-only: the save on exit must fail.
    QVERIFY(QFile::setPermissions(program.directory(), QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup
                                                           | QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther));

    const qint64 took = program.endWith(SIGTERM);
    QVERIFY2(took >= 0 && took < EndWithinMs, qPrintable(QString::number(took)));
    QCOMPARE(program.process().exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.process().exitCode(), 0);
    QVERIFY2(program.standardError().contains(program.settingsPath()), qPrintable(program.standardError()));
    QVERIFY(settings.open(QIODevice::ReadOnly));
    QCOMPARE(settings.readAll(), cp1251);
}

QTEST_GUILESS_MAIN(TestProgramTermination)

#include "tst_programtermination.moc"
