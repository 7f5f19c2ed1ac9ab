#include "front/Language.h"
#include "instrument/Instrument.h"
#include "instrument/InstrumentTexts.h"
#include "remote/G740Commands.h"
#include "ScriptCheck.h"
#include "scpi/ScpiSession.h"

#include <QMap>
#include <QSignalSpy>
#include <QTest>

#include <cstring>
#include <memory>


// The G-740 command tree on the instrument and the stand-in module: each row
// runs a script on a fresh instrument and compares the answers and the error
// numbers, as the parser's own tables do.
class TestG740Commands : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void common_data();
    void common() { run(); }
    void sweep_data();
    void sweep() { run(); }
    void clockAndOutputs_data();
    void clockAndOutputs() { run(); }
    void rules_data();
    void rules() { run(); }
    void startAndStop_data();
    void startAndStop() { run(); }
    void parameterSets_data();
    void parameterSets() { run(); }

    void everyFieldSetAndQueried();
    void deviceFailureCarriesItsText();
    void oneInstrumentSeveralHands();
    void setsAndSettingsNeedTheProgram();
    void busyProgramRefusesChanges();
    void errorTextsAreEnglishInARussianRun_data();
    void errorTextsAreEnglishInARussianRun();

private:
    static void columns();
    void run();

    QObject m_origin;
    std::unique_ptr<Instrument> m_instrument;
    QMap<QString, GENERATOR_PARS> m_sets;
    int m_settingsSaved = 0;
    std::unique_ptr<ScpiCommandTree> m_tree;
    std::unique_ptr<ScpiSession> m_session;
};

void TestG740Commands::initTestCase()
{
    // As the program starts a Russian run.
    QVERIFY(Language::install(Language::Russian));
}

void TestG740Commands::init()
{
    qunsetenv("MODLINK_SIM");
    m_instrument = std::make_unique<Instrument>();
    QVERIFY(!m_instrument->detect());
    m_sets.clear();
    m_settingsSaved = 0;

    // Sets kept here as the program keeps them in its settings file.
    G740Program program;
    program.setNames = [this] { return m_sets.keys(); };
    program.storeSet = [this](const QString &name) -> InstrumentOutcome {
        m_sets.insert(name, m_instrument->record());
        return std::nullopt;
    };
    program.loadSet = [this](const QString &name) -> InstrumentOutcome {
        if (!m_sets.contains(name))
            return InstrumentFailure{InstrumentFailure::Kind::OutOfRange, QStringLiteral("no set ") + name};
        return m_instrument->setRecord(m_sets.value(name), &m_origin);
    };
    program.saveSettings = [this]() -> std::optional<QString> {
        if (++m_settingsSaved > 1)
            return QStringLiteral("disk full");
        return std::nullopt;
    };
    m_tree = std::make_unique<ScpiCommandTree>(g740CommandTree(*m_instrument, program, &m_origin));
    QVERIFY2(m_tree->conflicts().isEmpty(), qPrintable(m_tree->conflicts().join(u' ')));
    m_session = std::make_unique<ScpiSession>(*m_tree);
}

void TestG740Commands::cleanup()
{
    m_session.reset();
    m_tree.reset();
    if (m_instrument)
        (void)m_instrument->stopForClose();
    m_instrument.reset();
    qunsetenv("MODLINK_SIM");
}

void TestG740Commands::columns()
{
    addScriptColumns();
}

void TestG740Commands::run()
{
    checkScript(*m_session);
}

void TestG740Commands::common_data()
{
    columns();
    QTest::newRow("*IDN?") << QByteArray("*IDN?") << QByteArray("Vektra,G-740,0," G740_VERSION) << Errors{};
    QTest::newRow("*TST? with the module") << QByteArray("*TST?") << QByteArray("0") << Errors{};
    QTest::newRow("defaults after *RST")
        << QByteArray("SWE:ADV AUTO;:FREQ:STAR 5;STEP 7;:SWE:STEP 3;DWEL:BASE OUTP;MULT 5;:SWE:CYCL TRI;:FUNC TRI;:VOLT:GAIN -24;OFFS 1\n"
                      "*RST\n"
                      "FREQ:STAR:DES?;:FREQ:STEP:DES?;:SWE:STEP?;DWEL:BASE?;MULT?;COUN?;:SWE:CYCL?;ADV?\n"
                      "ROSC:SOUR?;:LINE:CTRL?;INT?;:OUTP:SQU?;SYNC?;SYNC:MODE?;:FUNC?;:VOLT:GAIN?;OFFS:DES?;SOUR?;:OUTP?")
        << QByteArray("10000;50000;10;CLOC;1;100;NONE;CTRL\nINT;INT;INT;0;0;END;SIN;10;0;INT;0") << Errors{};
}

void TestG740Commands::sweep_data()
{
    columns();
    QTest::newRow("start: desired as set, actual from the hardware")
        << QByteArray("FREQ:STAR 10.001 KHZ;STAR:DES?;:FREQ:STAR?") << QByteArray("10001;10001.6593933105") << Errors{};
    QTest::newRow("defaults: actual start, increment, last frequency")
        << QByteArray("FREQ:STAR?;STEP?;STOP?") << QByteArray("9998.67916107178;49999.3562698364;509992.241859436") << Errors{};
    QTest::newRow("a downward increment") << QByteArray("FREQ:STEP -1 KHZ;STEP:DES?") << QByteArray("-1000") << Errors{};
    QTest::newRow("a sweep below 0 Hz has no last frequency")
        << QByteArray("FREQ:STEP -1 KHZ;STOP?") << QByteArray("9.91E+37") << Errors{};
    QTest::newRow("start above the clock") << QByteArray("FREQ:STAR 60 MHZ;STAR:DES?") << QByteArray("10000") << Errors{-222};
    QTest::newRow("bounds of the start") << QByteArray("FREQ:STAR? MIN;STAR? MAX") << QByteArray("0;50000000") << Errors{};
    QTest::newRow("steps") << QByteArray("SWE:STEP 4095;STEP?") << QByteArray("4095") << Errors{};
    QTest::newRow("steps beyond the range") << QByteArray("SWE:STEP 4096") << QByteArray() << Errors{-222};
    QTest::newRow("base intervals") << QByteArray("SWE:ADV AUTO;DWEL:COUN 2047;COUN?") << QByteArray("2047") << Errors{};
    QTest::newRow("too few base intervals") << QByteArray("SWE:DWEL:COUN 1") << QByteArray() << Errors{-222};
    QTest::newRow("multiplier") << QByteArray("SWE:ADV AUTO;DWEL:MULT 100;MULT?") << QByteArray("100") << Errors{};
    QTest::newRow("multiplier not in the table") << QByteArray("SWE:DWEL:MULT 7;MULT?") << QByteArray("1") << Errors{-222};
    QTest::newRow("increment duration in seconds") << QByteArray("SWE:ADV AUTO;DWEL?;DWEL:MULT 500;:SWE:DWEL?")
                                                   << QByteArray("2E-06;0.001") << Errors{};
    QTest::newRow("no fixed duration on the output period")
        << QByteArray("SWE:ADV AUTO;DWEL:BASE OUTP;:SWE:DWEL?") << QByteArray("9.91E+37") << Errors{};
    QTest::newRow("cyclic scan") << QByteArray("SWE:CYCL SAW;CYCL?;CYCL triangle;CYCL?") << QByteArray("SAW;TRI") << Errors{};
}

void TestG740Commands::clockAndOutputs_data()
{
    columns();
    QTest::newRow("internal clock") << QByteArray("ROSC:SOUR?;FREQ?") << QByteArray("INT;50000000") << Errors{};
    QTest::newRow("external clock")
        << QByteArray("ROSC:SOUR EXT;EXT:FREQ 10 MHZ;:ROSC:FREQ?;EXT:FREQ?") << QByteArray("10000000;10000000") << Errors{};
    QTest::newRow("external clock below 1 kHz") << QByteArray("ROSC:SOUR EXT;EXT:FREQ 999") << QByteArray() << Errors{-222};
    QTest::newRow("lines") << QByteArray("LINE:CTRL EXT;INT EXT;CTRL?;INT?") << QByteArray("EXT;EXT") << Errors{};
    QTest::newRow("square wave and SYNCOUT")
        << QByteArray("OUTP:SQU ON;SYNC ON;SYNC:MODE STEP;:OUTP:SQU?;SYNC:STAT?;MODE?") << QByteArray("1;1;STEP") << Errors{};
    QTest::newRow("waveform") << QByteArray("FUNC TRI;FUNC?;:FUNC:SHAP SIN;SHAP?") << QByteArray("TRI;SIN") << Errors{};
    QTest::newRow("gain and amplitudes")
        << QByteArray("VOLT:GAIN -3 DB;GAIN?;AMPL:OHM10:DB?;:VOLT:AMPL:OHM50:DB?") << QByteArray("-3;-3;-9") << Errors{};
    QTest::newRow("amplitude in volts at 0 dB") << QByteArray("VOLT:GAIN 0;AMPL:OHM10?") << QByteArray("1.09544511501033") << Errors{};
    QTest::newRow("gain not in the table") << QByteArray("VOLT:GAIN 5;GAIN?") << QByteArray("10") << Errors{-222};
    QTest::newRow("gain beyond the table") << QByteArray("VOLT:GAIN 11") << QByteArray() << Errors{-222};
    QTest::newRow("offset: desired and actual")
        << QByteArray("VOLT:OFFS 250 MV;OFFS:DES?;:VOLT:OFFS?") << QByteArray("0.25;0.235294117647059") << Errors{};
    QTest::newRow("offset beyond 4 V") << QByteArray("VOLT:OFFS 4.5") << QByteArray() << Errors{-222};
    QTest::newRow("offset source") << QByteArray("VOLT:OFFS:SOUR EXT;SOUR?") << QByteArray("EXT") << Errors{};
}

void TestG740Commands::rules_data()
{
    columns();
    QTest::newRow("a cyclic scan forces stepping and SYNCOUT")
        << QByteArray("SWE:ADV CTRL;CYCL SAW;ADV?;:OUTP:SYNC?;SYNC:MODE?") << QByteArray("AUTO;1;END") << Errors{};
    QTest::newRow("stepping during a cyclic scan") << QByteArray("SWE:CYCL SAW;ADV CTRL;ADV?") << QByteArray("AUTO") << Errors{-221};
    QTest::newRow("base intervals unused with the CTRL line")
        << QByteArray("SWE:ADV CTRL;DWEL:COUN 5;COUN?") << QByteArray("100") << Errors{-221};
    QTest::newRow("external clock value with the internal clock")
        << QByteArray("ROSC:EXT:FREQ 10 MHZ;:ROSC:FREQ?") << QByteArray("50000000") << Errors{-221};
    QTest::newRow("offset with an external offset") << QByteArray("VOLT:OFFS:SOUR EXT;:VOLT:OFFS 1") << QByteArray() << Errors{-221};
}

void TestG740Commands::startAndStop_data()
{
    columns();
    QTest::newRow("start and stop") << QByteArray("OUTP ON;OUTP?;OUTP OFF;OUTP:STAT?") << QByteArray("1;0") << Errors{};
    QTest::newRow("no change while running")
        << QByteArray("OUTP ON\nFREQ:STAR 5;STAR:DES?;:SWE:CYCL SAW\nOUTP OFF;:FREQ:STAR 5;STAR:DES?")
        << QByteArray("10000\n5") << Errors{-221, -221};
    QTest::newRow("*RST stops") << QByteArray("FREQ:STAR 5\nOUTP ON\n*RST;:OUTP?;:FREQ:STAR:DES?") << QByteArray("0;10000") << Errors{};
    QTest::newRow("starting twice") << QByteArray("OUTP ON;OUTP ON;OUTP?") << QByteArray("1") << Errors{};
}

void TestG740Commands::parameterSets_data()
{
    columns();
    QTest::newRow("store and load by name")
        << QByteArray("MEM:STOR \"Проверка фильтра\"\nFREQ:STAR 5\nMEM:LOAD \"Проверка фильтра\";:FREQ:STAR:DES?")
        << QByteArray("10000") << Errors{};
    QTest::newRow("*SAV and *RCL") << QByteArray("*SAV 3;:FREQ:STAR 5;*RCL 3;STAR:DES?") << QByteArray("10000") << Errors{};
    QTest::newRow("register out of range") << QByteArray("*SAV 100") << QByteArray() << Errors{-222};
    QTest::newRow("catalog") << QByteArray("MEM:CAT?;STOR \"b\";*SAV 1;CAT?") << QByteArray("0;2,\"1\",\"b\"") << Errors{};
    QTest::newRow("loading while running") << QByteArray("*SAV 1;OUTP ON;*RCL 1") << QByteArray() << Errors{-221};
    QTest::newRow("a set that is not there") << QByteArray("MEM:LOAD \"x\"") << QByteArray() << Errors{-222};
}

void TestG740Commands::everyFieldSetAndQueried()
{
    // Every field away from its default in one line, read back in the next.
    // A first start steps by the CTRL line: the base interval is set first.
    const QByteArray set = "SWE:ADV AUTO;:ROSC:SOUR EXT;EXT:FREQ 20 MHZ;:FREQ:STAR 1.5 KHZ;STEP -20 HZ;:SWE:STEP 4000;"
                           "DWEL:BASE OUTP;MULT 500;COUN 2000;:SWE:ADV CTRL;:LINE:CTRL EXT;INT EXT;"
                           ":OUTP:SQU ON;SYNC ON;SYNC:MODE STEP;:FUNC TRI;:VOLT:GAIN -24;OFFS -3.5;OFFS:SOUR EXT";
    QCOMPARE(m_session->execute(set), QByteArray());
    QCOMPARE(m_session->takeError().code, 0);
    // Field by field, by value: the record is packed.
    const auto field = [this](RecordRules::Field f) { return m_instrument->field(f); };
    QCOMPARE(field(RecordRules::Field::MasterClockSource), 1.0);
    QCOMPARE(field(RecordRules::Field::MasterClock), 20000.0);
    QCOMPARE(field(RecordRules::Field::StartFrequency), 1.5);
    QCOMPARE(field(RecordRules::Field::FrequencyIncrement), -0.02);
    QCOMPARE(field(RecordRules::Field::NumberOfIncrements), 4000.0);
    QCOMPARE(field(RecordRules::Field::BaseIntervalType), 0.0);
    QCOMPARE(field(RecordRules::Field::BaseIntervalMultiplierIndex), 3.0);
    QCOMPARE(field(RecordRules::Field::BaseIntervalsNumber), 2000.0);
    QCOMPARE(field(RecordRules::Field::IncrementType), 1.0);
    QCOMPARE(field(RecordRules::Field::CtrlLineType), 1.0);
    QCOMPARE(field(RecordRules::Field::InterrupLineType), 1.0);
    QCOMPARE(field(RecordRules::Field::EnaSquareWaveOutput), 1.0);
    QCOMPARE(field(RecordRules::Field::EnaSyncout), 1.0);
    QCOMPARE(field(RecordRules::Field::SyncoutType), 0.0);
    QCOMPARE(field(RecordRules::Field::AnalogOutputsType), 0.0);
    QCOMPARE(field(RecordRules::Field::AnalogOutputsGainIndex), 13.0);
    QCOMPARE(field(RecordRules::Field::Output10OhmOffset), -3.5);
    QCOMPARE(field(RecordRules::Field::Output10OhmOffsetType), 1.0);

    QCOMPARE(m_session->execute("ROSC:SOUR?;EXT:FREQ?;:FREQ:STAR:DES?;:FREQ:STEP:DES?;:SWE:STEP?;DWEL:BASE?;MULT?;COUN?;"
                                ":SWE:ADV?;:LINE:CTRL?;INT?;:OUTP:SQU?;SYNC?;SYNC:MODE?;:FUNC?;:VOLT:GAIN?;OFFS:DES?;:VOLT:OFFS:SOUR?"),
             QByteArray("EXT;20000000;1500;-20;4000;OUTP;500;2000;CTRL;EXT;EXT;1;1;STEP;TRI;-24;-3.5;EXT\n"));
}

void TestG740Commands::deviceFailureCarriesItsText()
{
    qputenv("MODLINK_SIM", "fail=START_GENERATOR");
    QCOMPARE(m_session->execute("OUTP ON;OUTP?"), QByteArray("0\n"));
    QCOMPARE(m_session->execute("SYST:ERR?"),
             QByteArray("-200,\"Execution error;Cannot execute function START_GENERATOR()\"\n"));

    qputenv("MODLINK_SIM", "fail=SET_GENERATOR_PARS");
    m_session->execute("OUTP ON");
    QCOMPARE(m_session->takeError().detail, QStringLiteral("Cannot execute function SET_GENERATOR_PARS()"));

    // After a failing stop the output may still be on: the generator is
    // still reported running, and a stop that works ends it.
    qunsetenv("MODLINK_SIM");
    m_session->execute("OUTP ON");
    qputenv("MODLINK_SIM", "fail=STOP_GENERATOR");
    QCOMPARE(m_session->execute("OUTP OFF;OUTP?"), QByteArray("1\n"));
    QCOMPARE(m_session->takeError().code, -200);
    qunsetenv("MODLINK_SIM");
    QCOMPARE(m_session->execute("OUTP OFF;OUTP?"), QByteArray("0\n"));
}

void TestG740Commands::oneInstrumentSeveralHands()
{
    // A remote change reaches every watcher of the instrument, marked as
    // the remote interface's; a change made elsewhere is what the next
    // query answers.
    QSignalSpy changes(m_instrument.get(), &Instrument::recordChanged);
    QSignalSpy running(m_instrument.get(), &Instrument::runningChanged);
    m_session->execute("FREQ:STAR 2 KHZ;:OUTP ON");
    QCOMPARE(changes.size(), 1);
    QCOMPARE(changes.first().first().value<QObject *>(), &m_origin);
    QCOMPARE(running.size(), 1);
    QVERIFY(!m_instrument->stop());

    QVERIFY(!m_instrument->setField(RecordRules::Field::StartFrequency, 3.25));
    QCOMPARE(m_session->execute("FREQ:STAR:DES?"), QByteArray("3250\n"));

    // A second client's session sees the same instrument, its own errors.
    ScpiSession other(*m_tree);
    QCOMPARE(other.execute("FREQ:STAR:DES?;:FOO"), QByteArray("3250\n"));
    QCOMPARE(m_session->errorCount(), 0);
    QCOMPARE(other.errorCount(), 1);
}

void TestG740Commands::setsAndSettingsNeedTheProgram()
{
    ScpiCommandTree bare = g740CommandTree(*m_instrument);
    ScpiSession session(bare);
    session.execute("*SAV 1");
    QCOMPARE(session.takeError().code, -113);
    session.execute("SYST:SETT:SAVE");
    QCOMPARE(session.takeError().code, -113);

    QCOMPARE(m_session->execute("SYST:SETT:SAVE;*OPC?"), QByteArray("1\n"));
    QCOMPARE(m_settingsSaved, 1);
    QCOMPARE(m_session->errorCount(), 0);
    m_session->execute("SYST:SETT:SAVE");
    QCOMPARE(m_session->execute("SYST:ERR?"), QByteArray("-200,\"Execution error;disk full\"\n"));
}

void TestG740Commands::busyProgramRefusesChanges()
{
    bool busy = true;
    G740Program program;
    program.busy = [&busy]() -> std::optional<QString> {
        if (busy)
            return QStringLiteral("detecting");
        return std::nullopt;
    };
    ScpiCommandTree tree = g740CommandTree(*m_instrument, program);
    ScpiSession session(tree);
    // Changes wait; queries and the session's own status do not.
    QCOMPARE(session.execute("FREQ:STAR 5;:OUTP ON;*RST;:FREQ:STAR:DES?;:OUTP?;*ESE 4;*ESE?"), QByteArray("10000;0;4\n"));
    QCOMPARE(session.execute("SYST:ERR?"), QByteArray("-221,\"Settings conflict;detecting\"\n"));
    QCOMPARE(session.errorCount(), 2);
    busy = false;
    session.execute("*CLS;:FREQ:STAR 5");
    QCOMPARE(session.execute("FREQ:STAR:DES?;:SYST:ERR:COUN?"), QByteArray("5;0\n"));
}

void TestG740Commands::errorTextsAreEnglishInARussianRun_data()
{
    QTest::addColumn<QByteArray>("script");
    QTest::addColumn<QByteArray>("error"); // the first SYST:ERR? answer
    QTest::newRow("change while running")
        << QByteArray("OUTP ON;:FREQ:STAR 5")
        << QByteArray("-221,\"Settings conflict;The generator parameters cannot be changed while the generator is running.\"");
    QTest::newRow("forced by the cyclic scan")
        << QByteArray("SWE:CYCL SAW;ADV CTRL") << QByteArray("-221,\"Settings conflict;IncrementType: set by the cyclic auto sweep\"");
    QTest::newRow("unused clock")
        << QByteArray("ROSC:EXT:FREQ 1 MHZ")
        << QByteArray("-221,\"Settings conflict;MasterClock: not used with the internal master clock\"");
    QTest::newRow("set loaded while running")
        << QByteArray("*SAV 1;OUTP ON;*RCL 1") << QByteArray();
    QTest::newRow("busy program") << QByteArray("BUSY") << QByteArray("-221,\"Settings conflict;module detection in progress\"");
}

void TestG740Commands::errorTextsAreEnglishInARussianRun()
{
    QFETCH(QByteArray, script);
    QFETCH(QByteArray, error);
    ScpiSession *session = m_session.get();
    G740Program program;
    program.busy = [] { return std::optional<QString>(QCoreApplication::translate("WindowRemoteControl", "идёт обнаружение модуля")); };
    ScpiCommandTree busyTree = g740CommandTree(*m_instrument, program);
    ScpiSession busySession(busyTree);
    if (script == "BUSY") {
        session = &busySession;
        script = "FREQ:STAR 5";
    }
    session->execute(script);
    const QByteArray answer = session->execute("SYST:ERR?").chopped(1);
    if (!error.isEmpty())
        QCOMPARE(answer, error);
    QVERIFY2(!answer.startsWith("0,"), answer.constData());
    for (const char c : answer)
        QVERIFY2(uchar(c) < 0x80, answer.constData());
    // The window's own texts stay Russian.
    QVERIFY(InstrumentTexts::refusedWhileRunning().startsWith(QStringLiteral("Параметры")));
}

QTEST_GUILESS_MAIN(TestG740Commands)
#include "tst_g740commands.moc"
