#include "DefaultRecord.h"
#include "device/DeviceLibrary.h"
#include "instrument/Instrument.h"
#include "instrument/RecordRules.h"
#include "modlink/ModlinkSim.h"

#include <QCoreApplication>
#include <QLibrary>
#include <QSignalSpy>
#include <QTest>

#include <cmath>
#include <cstring>
#include <limits>

using Kind = InstrumentFailure::Kind;
using RecordRules::Field;

Q_DECLARE_METATYPE(InstrumentFailure::Kind)
Q_DECLARE_METATYPE(RecordRules::Field)

namespace {

// The stand-in library's view of the simulated module.
struct SimModule
{
    SimModule()
        : library(QCoreApplication::applicationDirPath() + QStringLiteral("/libModlink.so"))
    {
        lastPars = reinterpret_cast<ModlinkSimLastGeneratorParsFunction>(library.resolve("ModlinkSimLastGeneratorPars"));
        running = reinterpret_cast<ModlinkSimGeneratorRunningFunction>(library.resolve("ModlinkSimGeneratorRunning"));
        callLog = reinterpret_cast<ModlinkSimCallLogFunction>(library.resolve("ModlinkSimCallLog"));
        resetCallLog = reinterpret_cast<ModlinkSimResetCallLogFunction>(library.resolve("ModlinkSimResetCallLog"));
    }
    QByteArray sentRecord() const
    {
        QByteArray bytes(sizeof(GENERATOR_PARS), '\0');
        return lastPars(bytes.data()) ? bytes : QByteArray();
    }
    QString log() const { return QString::fromLatin1(callLog()); }

    QLibrary library;
    ModlinkSimLastGeneratorParsFunction lastPars = nullptr;
    ModlinkSimGeneratorRunningFunction running = nullptr;
    ModlinkSimCallLogFunction callLog = nullptr;
    ModlinkSimResetCallLogFunction resetCallLog = nullptr;
};

QByteArray bytesOf(const GENERATOR_PARS &pars)
{
    return QByteArray(reinterpret_cast<const char *>(&pars), sizeof pars);
}

} // namespace

class TestInstrument : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void detectionReports_data();
    void detectionReports();
    void libraryThatDoesNotLoad();
    void secondDetectionClosesAndReopens();

    void startSendsTheRecordAndStopStops();
    void deviceFailures_data();
    void deviceFailures();
    void startWithoutModule();
    void changesRefusedWhileRunning();
    void closingStopsAndReleases();

    void fieldRanges_data();
    void fieldRanges();
    void cyclicScanForcesAndKeepsNothingLocked();
    void lockedFields();
    void recordIsNormalized();
    void recordSignalCarriesItsOrigin();

    void actualValues();
    void actualValuesNotAvailable();

private:
    SimModule m_sim;
};

void TestInstrument::initTestCase()
{
    QVERIFY(m_sim.lastPars && m_sim.running && m_sim.callLog);
}

void TestInstrument::init()
{
    qputenv("MODLINK_SIM", "");
}

// Every report of the six checks, with the kind that picks the exit code.
void TestInstrument::detectionReports_data()
{
    QTest::addColumn<QByteArray>("sim");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<QString>("text");

    QTest::newRow("module") << QByteArray() << true << Kind::NoModule << QString();
    QTest::newRow("no module") << QByteArray("nomodule") << false << Kind::NoModule
                               << QStringLiteral("Модуль G-740 не обнаружен!");
    QTest::newRow("version 3.2") << QByteArray("version=3.2") << false << Kind::LibraryFault
                                 << QStringLiteral("Неправильная версия библиотеки libModlink.so!\n"
                                                   "Текущая: 3.2 Требуется: 3.4");
    QTest::newRow("no interface") << QByteArray("factory=null") << false << Kind::LibraryFault
                                  << QStringLiteral("Не могу получить интерфейс на модуль G-740!");
    QTest::newRow("name fails") << QByteArray("fail=GetModuleName") << false << Kind::ModuleFault
                                << QStringLiteral("Не могу выполнить функцию GetModuleName()!");
    QTest::newRow("not a G-740") << QByteArray("name=G-741") << false << Kind::ModuleFault
                                 << QStringLiteral("Обнаруженное устройство не является модулем 'G-740'!");
    QTest::newRow("speed fails") << QByteArray("fail=GetUsbSpeed") << false << Kind::ModuleFault
                                 << QStringLiteral("Не могу выполнить функцию GetUsbSpeed()!");
    QTest::newRow("speed 2") << QByteArray("speed=2") << false << Kind::ModuleFault
                             << QStringLiteral("Считалась неправильная скорость работы шины USB!");
    QTest::newRow("description fails") << QByteArray("fail=GET_MODULE_DESCRIPTION") << false << Kind::ModuleFault
                                       << QStringLiteral("Не могу выполнить функцию GET_MODULE_DESCRIPTION()!");
}

void TestInstrument::detectionReports()
{
    QFETCH(QByteArray, sim);
    QFETCH(bool, ok);
    QFETCH(Kind, kind);
    QFETCH(QString, text);
    qputenv("MODLINK_SIM", sim);
    Instrument instrument;
    QSignalSpy moduleChanged(&instrument, &Instrument::moduleChanged);
    const InstrumentOutcome outcome = instrument.detect();
    QCOMPARE(!outcome.has_value(), ok);
    QCOMPARE(instrument.isModuleReady(), ok);
    QVERIFY(moduleChanged.count() >= 1 || kind == Kind::LibraryFault);
    if (ok) {
        QCOMPARE(instrument.slot(), 0);
        QCOMPARE(instrument.moduleName(), QStringLiteral("G-740"));
        QVERIFY(TheModuleInterface);
    } else {
        QCOMPARE(outcome->kind, kind);
        QCOMPARE(outcome->text, text);
    }
}

void TestInstrument::libraryThatDoesNotLoad()
{
    DeviceLibrary missing({QStringLiteral("/nonexistent/Modlink")});
    Instrument instrument(missing);
    const InstrumentOutcome outcome = instrument.detect();
    QVERIFY(outcome);
    QCOMPARE(outcome->kind, Kind::LibraryFault);
    QVERIFY2(outcome->text.startsWith(QStringLiteral("Не могу загрузить библиотеку Modlink!\nфайл /nonexistent/Modlink")),
             qPrintable(outcome->text));
    QVERIFY(!instrument.moduleInterface());
}

void TestInstrument::secondDetectionClosesAndReopens()
{
    qputenv("MODLINK_SIM", "slot=5");
    Instrument instrument;
    QVERIFY(!instrument.detect());
    ModuleInterface *const first = instrument.moduleInterface();
    m_sim.resetCallLog();
    // The module moved: the same interface closes it and finds it again.
    qputenv("MODLINK_SIM", "slot=2");
    QVERIFY(!instrument.detect());
    QCOMPARE(instrument.moduleInterface(), first);
    QCOMPARE(instrument.slot(), 2);
    QVERIFY2(m_sim.log().startsWith(QStringLiteral("CloseModule,OpenModule(0)")), qPrintable(m_sim.log()));
    QVERIFY(!m_sim.log().contains(QStringLiteral("CreateModuleInterface")));

    // A module that has gone away leaves no slot behind.
    qputenv("MODLINK_SIM", "nomodule");
    const InstrumentOutcome gone = instrument.detect();
    QVERIFY(gone && gone->kind == Kind::NoModule);
    QCOMPARE(instrument.slot(), 0xFFFF);
    QVERIFY(!instrument.isModuleReady());
}

void TestInstrument::startSendsTheRecordAndStopStops()
{
    Instrument instrument;
    QVERIFY(!instrument.detect());
    GENERATOR_PARS pars = defaultRecord();
    pars.StartFrequency = 123.5;
    pars.LibraryOwned3[1] = 0x7E;
    QVERIFY(!instrument.setRecord(pars));
    QSignalSpy running(&instrument, &Instrument::runningChanged);

    QVERIFY(!instrument.start());
    QVERIFY(instrument.isRunning());
    QCOMPARE(m_sim.running(), 1);
    QCOMPARE(m_sim.sentRecord(), bytesOf(instrument.record()));
    QCOMPARE(double(instrument.record().StartFrequency), 123.5);
    QCOMPARE(int(instrument.record().LibraryOwned3[1]), 0x7E);
    // A second start sends nothing.
    m_sim.resetCallLog();
    QVERIFY(!instrument.start());
    QCOMPARE(m_sim.log(), QString());

    QVERIFY(!instrument.stop());
    QVERIFY(!instrument.isRunning());
    QCOMPARE(m_sim.running(), 0);
    QCOMPARE(running.count(), 2);
    QCOMPARE(running.at(0).at(0).toBool(), true);
    QCOMPARE(running.at(1).at(0).toBool(), false);
}

void TestInstrument::deviceFailures_data()
{
    QTest::addColumn<QByteArray>("sim");
    QTest::addColumn<bool>("failsOnStart");
    QTest::addColumn<QString>("text");

    QTest::newRow("set") << QByteArray("fail=SET_GENERATOR_PARS") << true
                         << QStringLiteral("Не могу выполнить функцию SET_GENERATOR_PARS()");
    QTest::newRow("start") << QByteArray("fail=START_GENERATOR") << true
                           << QStringLiteral("Не могу выполнить функцию START_GENERATOR()");
    QTest::newRow("stop") << QByteArray("fail=STOP_GENERATOR") << false
                          << QStringLiteral("Не могу выполнить функцию STOP_GENERATOR()");
}

void TestInstrument::deviceFailures()
{
    QFETCH(QByteArray, sim);
    QFETCH(bool, failsOnStart);
    QFETCH(QString, text);
    Instrument instrument;
    QVERIFY(!instrument.detect());
    qputenv("MODLINK_SIM", sim);
    const InstrumentOutcome started = instrument.start();
    QCOMPARE(started.has_value(), failsOnStart);
    if (failsOnStart) {
        QCOMPARE(started->kind, Kind::DeviceFunction);
        QCOMPARE(started->text, text);
        // Never marked running, so the record can still be changed.
        QVERIFY(!instrument.isRunning());
        QVERIFY(!instrument.setField(Field::NumberOfIncrements, 20));
        return;
    }
    const InstrumentOutcome stopped = instrument.stop();
    QVERIFY(stopped);
    QCOMPARE(stopped->kind, Kind::DeviceFunction);
    QCOMPARE(stopped->text, text);
    // After a failed stop the output may still be on: still running, and
    // the record stays locked.
    QVERIFY(instrument.isRunning());
    QVERIFY(instrument.setField(Field::NumberOfIncrements, 20));
}

void TestInstrument::startWithoutModule()
{
    Instrument instrument;
    const InstrumentOutcome started = instrument.start();
    QVERIFY(started);
    QCOMPARE(started->kind, Kind::NoModule);
    QVERIFY(!instrument.isRunning());
    QVERIFY(!instrument.stop());
    QVERIFY(!instrument.stopForClose());

    // An interface whose module failed its checks starts nothing either.
    qputenv("MODLINK_SIM", "name=G-741");
    QVERIFY(instrument.detect());
    QVERIFY(instrument.moduleInterface());
    m_sim.resetCallLog();
    const InstrumentOutcome refused = instrument.start();
    QVERIFY(refused && refused->kind == Kind::NoModule);
    QCOMPARE(m_sim.log(), QString());
}

void TestInstrument::changesRefusedWhileRunning()
{
    Instrument instrument;
    QVERIFY(!instrument.detect());
    QVERIFY(!instrument.start());
    const GENERATOR_PARS before = instrument.record();
    QSignalSpy changed(&instrument, &Instrument::recordChanged);

    const InstrumentOutcome field = instrument.setField(Field::StartFrequency, 20.0);
    QVERIFY(field);
    QCOMPARE(field->kind, Kind::Refused);
    QCOMPARE(field->text, QStringLiteral("Параметры генератора нельзя менять, пока генератор работает."));
    GENERATOR_PARS other = before;
    other.NumberOfIncrements = 7;
    const InstrumentOutcome record = instrument.setRecord(other);
    QVERIFY(record && record->kind == Kind::Refused);
    QCOMPARE(bytesOf(instrument.record()), bytesOf(before));
    QCOMPARE(changed.count(), 0);

    QVERIFY(!instrument.stop());
    QVERIFY(!instrument.setField(Field::StartFrequency, 20.0));
    QCOMPARE(changed.count(), 1);
}

void TestInstrument::closingStopsAndReleases()
{
    auto instrument = std::make_unique<Instrument>();
    QVERIFY(!instrument->detect());
    QVERIFY(TheModuleInterface);
    m_sim.resetCallLog();
    // The closing stop goes out whether or not the generator runs.
    QVERIFY(!instrument->stopForClose());
    instrument.reset();
    QCOMPARE(m_sim.log(), QStringLiteral("STOP_GENERATOR,ReleaseInterface"));
    QVERIFY(!TheModuleInterface);

    // A module used, not got from the library, is never released.
    Instrument first;
    QVERIFY(!first.detect());
    {
        Instrument borrower;
        borrower.useModule(first.moduleInterface());
        QVERIFY(borrower.isModuleReady());
        m_sim.resetCallLog();
    }
    QCOMPARE(m_sim.log(), QString());
    QVERIFY(TheModuleInterface);
}

void TestInstrument::fieldRanges_data()
{
    QTest::addColumn<Field>("field");
    QTest::addColumn<double>("value");
    QTest::addColumn<bool>("accepted");

    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    QTest::newRow("start 0") << Field::StartFrequency << 0.0 << true;
    QTest::newRow("start 50000") << Field::StartFrequency << 50000.0 << true;
    QTest::newRow("start -1") << Field::StartFrequency << -1.0 << false;
    QTest::newRow("start 1e308") << Field::StartFrequency << 1e308 << false;
    QTest::newRow("start NaN") << Field::StartFrequency << nan << false;
    QTest::newRow("increment -50000") << Field::FrequencyIncrement << -50000.0 << true;
    QTest::newRow("increment inf") << Field::FrequencyIncrement << inf << false;
    QTest::newRow("increments 4095") << Field::NumberOfIncrements << 4095.0 << true;
    QTest::newRow("increments 4096") << Field::NumberOfIncrements << 4096.0 << false;
    QTest::newRow("increments 2.5") << Field::NumberOfIncrements << 2.5 << false;
    QTest::newRow("intervals 1") << Field::BaseIntervalsNumber << 1.0 << false;
    QTest::newRow("intervals 2047") << Field::BaseIntervalsNumber << 2047.0 << true;
    QTest::newRow("multiplier 4") << Field::BaseIntervalMultiplierIndex << 4.0 << false;
    QTest::newRow("scan 2") << Field::CyclicAutoScanType << 2.0 << true;
    QTest::newRow("scan 3") << Field::CyclicAutoScanType << 3.0 << false;
    QTest::newRow("gain 13") << Field::AnalogOutputsGainIndex << 13.0 << true;
    QTest::newRow("gain 14") << Field::AnalogOutputsGainIndex << 14.0 << false;
    QTest::newRow("gain 257") << Field::AnalogOutputsGainIndex << 257.0 << false;
    QTest::newRow("offset -4") << Field::Output10OhmOffset << -4.0 << true;
    QTest::newRow("offset 4.01") << Field::Output10OhmOffset << 4.01 << false;
    QTest::newRow("square wave 2") << Field::EnaSquareWaveOutput << 2.0 << false;
}

void TestInstrument::fieldRanges()
{
    QFETCH(Field, field);
    QFETCH(double, value);
    QFETCH(bool, accepted);
    Instrument instrument;
    // A first start steps by the CTRL line, which locks the base interval.
    QVERIFY(!instrument.setField(Field::IncrementType, 0));
    const GENERATOR_PARS before = instrument.record();
    const InstrumentOutcome outcome = instrument.setField(field, value);
    QCOMPARE(!outcome.has_value(), accepted);
    if (accepted) {
        QCOMPARE(instrument.field(field), value);
    } else {
        QCOMPARE(outcome->kind, Kind::OutOfRange);
        QVERIFY2(outcome->text.startsWith(QLatin1String(RecordRules::fieldInfo(field).name)), qPrintable(outcome->text));
        QCOMPARE(bytesOf(instrument.record()), bytesOf(before));
    }
}

void TestInstrument::cyclicScanForcesAndKeepsNothingLocked()
{
    Instrument instrument;
    QVERIFY(!instrument.setField(Field::IncrementType, 1));
    QVERIFY(!instrument.setField(Field::CtrlLineType, 1));
    QVERIFY(!instrument.setField(Field::SyncoutType, 0));
    QVERIFY(!instrument.setField(Field::CyclicAutoScanType, 2));
    const GENERATOR_PARS &r = instrument.record();
    QCOMPARE(int(r.IncrementType), 0);
    QCOMPARE(int(r.CtrlLineType), 0);
    QCOMPARE(int(r.EnaSyncout), 1);
    QCOMPARE(int(r.SyncoutType), 1);
    // The forced fields are the scan's while it lasts.
    for (Field forced : {Field::IncrementType, Field::CtrlLineType, Field::EnaSyncout, Field::SyncoutType}) {
        const InstrumentOutcome outcome = instrument.setField(forced, 0);
        QVERIFY(outcome);
        QCOMPARE(outcome->kind, Kind::Conflict);
    }
    // Automatic stepping again: the base interval is usable.
    QVERIFY(!instrument.setField(Field::BaseIntervalsNumber, 300));
    QVERIFY(!instrument.setField(Field::CyclicAutoScanType, 0));
    QVERIFY(!instrument.setField(Field::IncrementType, 1));
    QCOMPARE(int(instrument.record().IncrementType), 1);
}

void TestInstrument::lockedFields()
{
    Instrument instrument;
    // Stepping by the CTRL line leaves the base interval unused.
    QVERIFY(!instrument.setField(Field::IncrementType, 1));
    for (Field unused : {Field::BaseIntervalType, Field::BaseIntervalMultiplierIndex, Field::BaseIntervalsNumber}) {
        const InstrumentOutcome outcome = instrument.setField(unused, 2 - int(unused == Field::BaseIntervalType));
        QVERIFY(outcome && outcome->kind == Kind::Conflict);
    }
    // The internal clock is 50000 kHz; the clock field is the external one's.
    const InstrumentOutcome clock = instrument.setField(Field::MasterClock, 1000);
    QVERIFY(clock && clock->kind == Kind::Conflict);
    QVERIFY(!instrument.setField(Field::MasterClockSource, 1));
    QVERIFY(!instrument.setField(Field::MasterClock, 1000));
    QCOMPARE(instrument.actualValues().masterClock, 1000.0);
    QVERIFY(!instrument.setField(Field::MasterClockSource, 0));
    QCOMPARE(double(instrument.record().MasterClock), 50000.0);
    // An external offset leaves the offset value unused.
    QVERIFY(!instrument.setField(Field::Output10OhmOffsetType, 1));
    const InstrumentOutcome offset = instrument.setField(Field::Output10OhmOffset, 1.0);
    QVERIFY(offset && offset->kind == Kind::Conflict);
}

void TestInstrument::recordIsNormalized()
{
    Instrument instrument;
    GENERATOR_PARS pars = defaultRecord();
    pars.MasterClockSource = 0;
    pars.MasterClock = 1000.0;
    pars.NumberOfIncrements = 5000;
    pars.BaseIntervalsNumber = 1;
    QVERIFY(!instrument.setRecord(pars));
    QCOMPARE(double(instrument.record().MasterClock), 50000.0);
    QCOMPARE(int(instrument.record().NumberOfIncrements), 4095);
    QCOMPARE(int(instrument.record().BaseIntervalsNumber), 2);

    // An external clock is brought into 1 .. 50000 kHz; a count the CTRL
    // line leaves unused is kept as it is, as the panel keeps it.
    pars.MasterClockSource = 1;
    pars.MasterClock = 0.25;
    pars.IncrementType = 1;
    pars.BaseIntervalsNumber = 3000;
    QVERIFY(!instrument.setRecord(pars));
    QCOMPARE(double(instrument.record().MasterClock), 1.0);
    QCOMPARE(int(instrument.record().BaseIntervalsNumber), 3000);
}

void TestInstrument::recordSignalCarriesItsOrigin()
{
    Instrument instrument;
    QObject someone;
    QSignalSpy changed(&instrument, &Instrument::recordChanged);
    QVERIFY(!instrument.setField(Field::AnalogOutputsGainIndex, 4, &someone));
    QCOMPARE(changed.count(), 1);
    QCOMPARE(changed.at(0).at(0).value<QObject *>(), &someone);
    // The same value again is no change.
    QVERIFY(!instrument.setField(Field::AnalogOutputsGainIndex, 4));
    QVERIFY(!instrument.setRecord(instrument.record()));
    QCOMPARE(changed.count(), 1);
}

void TestInstrument::actualValues()
{
    Instrument instrument;
    const GeneratorCalculations::ActualValues v = instrument.actualValues();
    QCOMPARE(v.masterClock, 50000.0);
    QCOMPARE(QString::number(v.startFrequency, 'f', 4), QStringLiteral("9.9987"));
    QCOMPARE(QString::number(v.frequencyIncrement, 'f', 4), QStringLiteral("49.9994"));
    QVERIFY(v.finalFrequency);
    QCOMPARE(QString::number(*v.finalFrequency, 'f', 4), QStringLiteral("509.9922"));
    QVERIFY(v.incrementDuration);
    QCOMPARE(QString::number(*v.incrementDuration, 'f', 5), QStringLiteral("0.00200"));
    QVERIFY(v.output10OhmdB && v.output50OhmdB);
    QCOMPARE(*v.output10OhmdB, 10.0);
    QCOMPARE(*v.output50OhmdB, 4.0);
    QCOMPARE(QString::number(v.offset, 'f', 3), QStringLiteral("0.016"));
}

void TestInstrument::actualValuesNotAvailable()
{
    GENERATOR_PARS pars = defaultRecord();
    // A sweep that runs below 0 kHz has no final frequency.
    pars.FrequencyIncrement = -50.0;
    pars.BaseIntervalType = 0; // a multiple of the output period: no fixed duration
    pars.AnalogOutputsGainIndex = 14;
    const GeneratorCalculations::ActualValues v = GeneratorCalculations::actualValues(pars);
    QVERIFY(!v.finalFrequency);
    QVERIFY(!v.incrementDuration);
    QVERIFY(!v.output10OhmV && !v.output10OhmdB && !v.output50OhmV && !v.output50OhmdB);
}

QTEST_GUILESS_MAIN(TestInstrument)
#include "tst_instrument.moc"
