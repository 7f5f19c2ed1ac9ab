// Several modules on one computer and a module that comes and goes, on the
// instrument itself: the stand-in's modules, unplugged through its file.
#include "front/HeadlessRun.h"
#include "device/DeviceLibrary.h"
#include "instrument/Instrument.h"
#include "modlink/ModlinkSim.h"
#include "remote/G740Commands.h"
#include "scpi/ScpiError.h"
#include "settings/SettingsFilePath.h"

#include <QCoreApplication>
#include <QFile>
#include <QLibrary>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>


namespace {

constexpr int NoSlot = -1;

// An instrument with a library object of its own, as a program has.
struct Copy
{
    DeviceLibrary library{{QCoreApplication::applicationDirPath() + QStringLiteral("/Modlink")}};
    Instrument instrument{library};
};

} // namespace

class TestPresence : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void lossAndReturn_data();
    void lossAndReturn();
    void terminationDuringTheDetectionWaitsForItsEnd();

private:
    void setFile(const QByteArray &entries);

    QTemporaryDir m_dir;
    ModlinkSimGeneratorRunningFunction m_simRunning = nullptr;
};

void TestPresence::init()
{
    QVERIFY(m_dir.isValid());
    qputenv("MODLINK_SIM_FILE", QFile::encodeName(m_dir.filePath(QStringLiteral("modules"))));
    setFile(QByteArray());
    static QLibrary sim(QCoreApplication::applicationDirPath() + QStringLiteral("/libModlink.so"));
    m_simRunning = reinterpret_cast<ModlinkSimGeneratorRunningFunction>(sim.resolve("ModlinkSimGeneratorRunning"));
    QVERIFY(m_simRunning);
}

void TestPresence::cleanup()
{
    qunsetenv("MODLINK_SIM");
    qunsetenv("MODLINK_SIM_FILE");
}

void TestPresence::setFile(const QByteArray &entries)
{
    QFile file(m_dir.filePath(QStringLiteral("modules")));
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(entries);
}

void TestPresence::lossAndReturn_data()
{
    QTest::addColumn<QByteArray>("sim");
    QTest::addColumn<int>("choice");
    QTest::addColumn<bool>("running");      // the generator ran when the module went
    QTest::addColumn<bool>("byOperation");  // noticed by a failing stop, not by the idle check
    QTest::addColumn<QByteArray>("cable");  // the file's entry while it is gone
    QTest::addColumn<int>("foundWhileGone"); // the slot taken while it is gone; NoSlot: none

    QTest::newRow("idle, stopped") << QByteArray("slots=0") << NoSlot << false << false << QByteArray("unplugged=0") << NoSlot;
    QTest::newRow("idle, running") << QByteArray("slots=0") << NoSlot << true << false << QByteArray("unplugged=all") << NoSlot;
    QTest::newRow("failed stop") << QByteArray("slots=0") << NoSlot << true << true << QByteArray("unplugged=0") << NoSlot;
    QTest::newRow("another module takes over") << QByteArray("slots=0,3") << NoSlot << true << false
                                               << QByteArray("unplugged=0") << 3;
    QTest::newRow("--slot waits for its own") << QByteArray("slots=0,3") << 0 << true << false
                                              << QByteArray("unplugged=0") << NoSlot;
}

void TestPresence::lossAndReturn()
{
    QFETCH(QByteArray, sim);
    QFETCH(int, choice);
    QFETCH(bool, running);
    QFETCH(bool, byOperation);
    QFETCH(QByteArray, cable);
    QFETCH(int, foundWhileGone);
    qputenv("MODLINK_SIM", sim);
    Copy copy;
    Instrument &instrument = copy.instrument;
    if (choice != NoSlot)
        instrument.setSlotChoice(std::uint16_t(choice));
    QVERIFY(!instrument.detect());
    QCOMPARE(instrument.slot(), 0);
    if (running)
        QVERIFY(!instrument.start());
    QSignalSpy lost(&instrument, &Instrument::moduleLost);
    QSignalSpy found(&instrument, &Instrument::moduleFound);

    // Present: the check and a search change nothing.
    instrument.checkPresence();
    instrument.findAgain();
    QVERIFY(!instrument.isLost());
    QCOMPARE(lost.count() + found.count(), 0);

    setFile(cable);
    if (byOperation) {
        const InstrumentOutcome stopped = instrument.stop();
        QVERIFY(stopped);
        QCOMPARE(scpiErrorOf(*stopped).code, ScpiErrorCode::HardwareMissing);
    } else {
        instrument.checkPresence();
    }
    QVERIFY(instrument.isLost());
    QVERIFY(!instrument.isRunning());
    QVERIFY(!instrument.isModuleReady());
    QCOMPARE(lost.count(), 1);
    QCOMPARE(lost.first().first().toString().endsWith(QStringLiteral("генератор остановлен")), running);
    // Nothing that needs the module is done; nothing is said twice.
    const InstrumentOutcome refused = instrument.start();
    QVERIFY(refused);
    QCOMPARE(scpiErrorOf(*refused).code, ScpiErrorCode::HardwareMissing);
    instrument.checkPresence();
    QVERIFY(!instrument.stopForClose());
    QCOMPARE(lost.count(), 1);

    instrument.findAgain();
    QCOMPARE(instrument.isLost(), foundWhileGone == NoSlot);
    if (foundWhileGone != NoSlot) {
        QCOMPARE(int(instrument.slot()), foundWhileGone);
        QCOMPARE(found.count(), 1);
        return;
    }
    QCOMPARE(found.count(), 0);

    setFile(QByteArray());
    instrument.findAgain();
    QVERIFY(!instrument.isLost());
    QVERIFY(instrument.isModuleReady());
    QCOMPARE(instrument.slot(), 0);
    QCOMPARE(found.count(), 1);
    QCOMPARE(found.first().first().toString().contains(QStringLiteral("сам не запускается")), running);
    // Back, but not restarted by itself: the operator decides.
    QVERIFY(!instrument.isRunning());
    QCOMPARE(m_simRunning(), 0);
    QVERIFY(!instrument.start());
    QCOMPARE(m_simRunning(), 1);
}

// The headless detection runs its steps back to back; a termination asked
// for before its first step still lets it finish, apply and start, and then
// closes as usual.
void TestPresence::terminationDuringTheDetectionWaitsForItsEnd()
{
    qputenv("MODLINK_SIM", "slots=3");
    setSettingsFilePathOverride(m_dir.filePath(QStringLiteral("G740Config.ini")));
    Copy copy;
    HeadlessRun::Options options;
    options.startGenerator = true;
    options.slot = 3;
    HeadlessRun run(copy.instrument, options);
    QStringList lines;
    run.setReport([&lines](const QString &line) { lines << line; });
    QTimer::singleShot(0, &run, &HeadlessRun::requestTermination); // before the run's first step
    QCOMPARE(run.exec(), 0);
    QCOMPARE(lines, (QStringList{QStringLiteral("Модуль G-740, виртуальный слот 3"), QStringLiteral("Генератор запущен"),
                                 QStringLiteral("Генератор остановлен")}));
    QCOMPARE(m_simRunning(), 0);
}

QTEST_GUILESS_MAIN(TestPresence)
#include "tst_presence.moc"
