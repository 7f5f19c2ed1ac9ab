// Several headless copies of the program on one computer's simulated modules,
// and one copy whose module is unplugged and plugged in again under load.
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <memory>
#include <vector>

namespace {

// One headless g740demo with its own settings folder.
class Copy
{
public:
    Copy(const QString &folder, const QStringList &arguments, const QMap<QString, QString> &environment)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (auto it = environment.begin(); it != environment.end(); ++it)
            env.insert(it.key(), it.value());
        m_process.setProcessEnvironment(env);
        m_process.setWorkingDirectory(folder);
        m_process.start(QCoreApplication::applicationDirPath() + QStringLiteral("/g740demo"),
                        QStringList{QStringLiteral("--headless"), QStringLiteral("--settings"),
                                    folder + QStringLiteral("/G740Config.ini")}
                            + arguments);
    }
    ~Copy()
    {
        m_process.terminate();
        if (!m_process.waitForFinished(5000))
            m_process.kill();
        m_process.waitForFinished();
    }

    // Waits until standard error holds count lines that contain part.
    bool waitFor(const QString &part, int count = 1, int timeout = 5000)
    {
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < timeout) {
            m_stderr += QString::fromUtf8(m_process.readAllStandardError());
            if (m_stderr.count(part) >= count)
                return true;
            if (m_process.state() == QProcess::NotRunning)
                return false;
            m_process.waitForReadyRead(5);
        }
        return false;
    }
    // Ends it as a service manager would; its exit code.
    int end()
    {
        m_process.terminate();
        return exitCode();
    }
    int exitCode()
    {
        if (!m_process.waitForFinished(5000))
            return -1;
        m_stderr += QString::fromUtf8(m_process.readAllStandardError());
        return m_process.exitCode();
    }
    QString errors() const { return m_stderr; }
    qint64 pid() const { return m_process.processId(); }

private:
    QProcess m_process;
    QString m_stderr;
};

int residentKiB(qint64 pid)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    const QRegularExpression rss(QStringLiteral("VmRSS:\\s+(\\d+) kB"));
    return rss.match(QString::fromLatin1(status.readAll())).captured(1).toInt();
}

const QString ModuleLine = QStringLiteral("Модуль G-740, виртуальный слот %1");

} // namespace

class TestModules : public QObject
{
    Q_OBJECT

private slots:
    void copiesShareTheModules_data();
    void copiesShareTheModules();
    void aKilledCopyFreesItsModule();
    void unplugAndReplugUnderLoad();

private:
    QTemporaryDir m_dir;
};

void TestModules::copiesShareTheModules_data()
{
    QTest::addColumn<QByteArray>("sim");
    QTest::addColumn<bool>("ownLocks");      // each copy's slot locks in a folder of its own
    QTest::addColumn<QList<int>>("choices"); // -1: no --slot
    QTest::addColumn<QList<int>>("taken");   // -1: the copy ends without a module
    QTest::addColumn<QString>("refusal");    // the line of the copy that ends

    const QByteArray three("slots=7,0,3");
    const QString notFound = QStringLiteral("Модуль G-740 не обнаружен!");
    QTest::newRow("two copies") << three << false << QList<int>{-1, -1} << QList<int>{0, 3} << QString();
    QTest::newRow("three copies") << three << false << QList<int>{-1, -1, -1} << QList<int>{0, 3, 7} << QString();
    QTest::newRow("a fourth finds none free")
        << three << false << QList<int>{-1, -1, -1, -1} << QList<int>{0, 3, 7, -1}
        << QStringLiteral("Модули G-740 в виртуальных слотах 0, 3, 7 заняты другой программой");
    QTest::newRow("--slot to a busy module") << three << false << QList<int>{-1, 0} << QList<int>{0, -1}
                                             << QStringLiteral("Модуль G-740 в виртуальном слоте 0 занят другой программой");
    QTest::newRow("--slot first, then the first free") << three << false << QList<int>{3, -1} << QList<int>{3, 0}
                                                       << QString();
    QTest::newRow("--slot where no module is") << three << false << QList<int>{5} << QList<int>{-1} << notFound;
    QTest::newRow("an unplugged module is not busy")
        << QByteArray("slots=0,3;unplugged=0") << false << QList<int>{-1, -1} << QList<int>{3, -1}
        << QStringLiteral("Модуль G-740 в виртуальном слоте 3 занят другой программой");
    // The library alone keeps the copies apart; only the program's own locks
    // tell busy from absent.
    QTest::newRow("library locks only") << three << true << QList<int>{-1, -1, -1, -1} << QList<int>{0, 3, 7, -1}
                                        << notFound;
}

void TestModules::copiesShareTheModules()
{
    QFETCH(QByteArray, sim);
    QFETCH(bool, ownLocks);
    QFETCH(QList<int>, choices);
    QFETCH(QList<int>, taken);
    QFETCH(QString, refusal);
    QVERIFY(m_dir.isValid());
    std::vector<std::unique_ptr<Copy>> copies;
    for (int i = 0; i < choices.size(); ++i) {
        const QString folder = m_dir.filePath(QString::number(i));
        QVERIFY(QDir().mkpath(folder));
        QStringList arguments;
        if (choices[i] >= 0)
            arguments << QStringLiteral("--slot") << QString::number(choices[i]);
        QMap<QString, QString> environment{{QStringLiteral("MODLINK_SIM"), QString::fromLatin1(sim)}};
        if (ownLocks)
            environment.insert(QStringLiteral("G740_LOCK_DIR"), folder + QStringLiteral("/locks"));
        copies.push_back(std::make_unique<Copy>(folder, arguments, environment));
        Copy &copy = *copies.back();
        if (taken[i] >= 0) {
            QVERIFY2(copy.waitFor(ModuleLine.arg(taken[i])), qPrintable(copy.errors()));
        } else {
            QCOMPARE(copy.exitCode(), 3);
            QVERIFY2(copy.errors().contains(refusal), qPrintable(copy.errors()));
        }
    }
}

void TestModules::aKilledCopyFreesItsModule()
{
    const QString folder = m_dir.filePath(QStringLiteral("killed"));
    QVERIFY(QDir().mkpath(folder));
    const QMap<QString, QString> environment{{QStringLiteral("MODLINK_SIM"), QStringLiteral("slots=0")}};
    auto killed = std::make_unique<Copy>(folder, QStringList{}, environment);
    QVERIFY(killed->waitFor(ModuleLine.arg(0)));
    QVERIFY(::kill(pid_t(killed->pid()), SIGKILL) == 0);
    killed->exitCode(); // waits for its end
    killed.reset();
    Copy next(folder, {}, environment);
    QVERIFY2(next.waitFor(ModuleLine.arg(0)), qPrintable(next.errors()));
}

void TestModules::unplugAndReplugUnderLoad()
{
    QVERIFY(m_dir.isValid());
    const QString cable = m_dir.filePath(QStringLiteral("cable"));
    const auto plug = [&cable](const QByteArray &entries) {
        QFile file(cable);
        return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(entries) == entries.size();
    };
    QVERIFY(plug(QByteArray()));
    const QString folder = m_dir.filePath(QStringLiteral("loop"));
    QVERIFY(QDir().mkpath(folder));
    Copy copy(folder, {QStringLiteral("--remote"), QStringLiteral("0")},
              {{QStringLiteral("MODLINK_SIM"), QStringLiteral("slots=0")},
               {QStringLiteral("MODLINK_SIM_FILE"), cable},
               {QStringLiteral("G740_MODULE_CHECK_MS"), QStringLiteral("20")}});
    QVERIFY2(copy.waitFor(QStringLiteral("remote control on port ")), qPrintable(copy.errors()));
    const QRegularExpression portLine(QStringLiteral("remote control on port (\\d+)"));
    const quint16 port = quint16(portLine.match(copy.errors()).captured(1).toUInt());

    QTcpSocket socket;
    socket.connectToHost(QStringLiteral("127.0.0.1"), port);
    QVERIFY(socket.waitForConnected(5000));
    const auto ask = [&socket](const QByteArray &query) {
        socket.write(query + '\n');
        QByteArray line;
        for (int i = 0; i < 200 && !line.endsWith('\n'); ++i) {
            if (!socket.canReadLine())
                socket.waitForReadyRead(25);
            if (socket.canReadLine())
                line = socket.readLine();
        }
        return line.trimmed();
    };

    constexpr int Cycles = 100;
    int rssAtStart = 0;
    const QString lost = QStringLiteral("Связь с модулем G-740 потеряна (виртуальный слот 0); генератор остановлен");
    const QString back = QStringLiteral("Модуль G-740 снова на связи (виртуальный слот 0); генератор остановлен");
    for (int cycle = 1; cycle <= Cycles; ++cycle) {
        // Running, with queries and changes coming in.
        QCOMPARE(ask("OUTP ON;OUTP?;*IDN?").left(1), QByteArray("1"));
        QCOMPARE(ask("FREQ:STAR?").isEmpty(), false);

        QVERIFY(plug("unplugged=0"));
        QVERIFY2(copy.waitFor(lost, cycle), qPrintable(QStringLiteral("cycle %1").arg(cycle)));
        QCOMPARE(ask("OUTP?"), QByteArray("0"));
        QVERIFY(ask("SYST:ERR?").startsWith("-241,\"Hardware missing;" + lost.toUtf8()));
        QCOMPARE(ask("OUTP ON;SYST:ERR?").left(5), QByteArray("-241,"));
        QCOMPARE(ask("*RST;*OPC?"), QByteArray("1")); // the record is the program's own

        QVERIFY(plug(QByteArray()));
        QVERIFY2(copy.waitFor(back, cycle), qPrintable(QStringLiteral("cycle %1").arg(cycle)));
        // Back, not restarted: the script decides.
        QCOMPARE(ask("OUTP?;SYST:ERR?"), QByteArray("0;0,\"No error\""));
        if (cycle == 10)
            rssAtStart = residentKiB(copy.pid());
    }
    const int rssAtEnd = residentKiB(copy.pid());
    qInfo("resident memory after 10 cycles %d KiB, after %d cycles %d KiB", rssAtStart, Cycles, rssAtEnd);
    QVERIFY(rssAtStart > 0);
#ifndef __SANITIZE_ADDRESS__
    // Under the address sanitizer freed memory waits in quarantine; its leak
    // check at the program's end (a failing exit code) stands in for this.
    QVERIFY2(rssAtEnd - rssAtStart < 512, "resident memory grows with the cycles");
#endif
    QCOMPARE(copy.end(), 0);
}

QTEST_GUILESS_MAIN(TestModules)
#include "tst_modules.moc"
