// The simulated G-740 of the stand-in library, reached as the program reaches
// it: through the loader and the module interface.

#include "DefaultRecord.h"
#include "ModlinkSim.h"

#include "device/DeviceLibrary.h"
#include "generator/GeneratorPars.h"

#include <QCoreApplication>
#include <QFile>
#include <QLibrary>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QTest>

#include <cmath>
#include <cstring>
#include <functional>
#include <memory>
#include <stdexcept>

#include <unistd.h>

namespace {

struct Releaser
{
    void operator()(ModuleInterface *module) const { module->ReleaseInterface(); }
};
using Module = std::unique_ptr<ModuleInterface, Releaser>;

using Operation = std::function<ModuleResult(ModuleInterface &)>;
using Change = std::function<void(GENERATOR_PARS &)>;

QByteArray bytesOf(const GENERATOR_PARS &pars)
{
    return QByteArray(reinterpret_cast<const char *>(&pars), sizeof pars);
}

// Catches what is written to stderr (file descriptor 2) while it lives.
class StderrCapture
{
public:
    StderrCapture()
    {
        m_file.open();
        std::fflush(stderr);
        m_saved = dup(2);
        dup2(m_file.handle(), 2);
    }
    ~StderrCapture() { restore(); }
    QByteArray text()
    {
        restore();
        QFile file(m_file.fileName());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

private:
    void restore()
    {
        if (m_saved < 0)
            return;
        std::fflush(stderr);
        dup2(m_saved, 2);
        close(m_saved);
        m_saved = -1;
    }
    QTemporaryFile m_file;
    int m_saved = -1;
};

// Every operation that needs an open module, each called in a way that
// succeeds on an open module with accepted parameters.
QList<std::pair<const char *, Operation>> moduleOperations()
{
    return {
        {"OpenModule", [](ModuleInterface &m) { return m.OpenModule(0); }},
        {"CloseModule", [](ModuleInterface &m) { return m.CloseModule(); }},
        {"GetModuleName", [](ModuleInterface &m) { char name[18]; return m.GetModuleName(name); }},
        {"GetUsbSpeed", [](ModuleInterface &m) { std::uint8_t speed; return m.GetUsbSpeed(&speed); }},
        {"SET_GENERATOR_PARS", [](ModuleInterface &m) { auto pars = defaultRecord(); return m.SET_GENERATOR_PARS(&pars); }},
        {"START_GENERATOR", [](ModuleInterface &m) { return m.START_GENERATOR(); }},
        {"STOP_GENERATOR", [](ModuleInterface &m) { return m.STOP_GENERATOR(); }},
        {"GET_MODULE_DESCRIPTION", [](ModuleInterface &m) { ModuleDescription d; return m.GET_MODULE_DESCRIPTION(&d); }},
    };
}

} // namespace

Q_DECLARE_METATYPE(Operation)
Q_DECLARE_METATYPE(Change)

class TestModlinkSim : public QObject
{
    Q_OBJECT

private:
    DeviceLibrary m_library{{QCoreApplication::applicationDirPath() + "/Modlink"}};
    QLibrary m_sim{QCoreApplication::applicationDirPath() + "/Modlink"};
    ModlinkSimCallLogFunction m_callLog = nullptr;
    ModlinkSimResetCallLogFunction m_resetCallLog = nullptr;
    ModlinkSimLastGeneratorParsFunction m_lastPars = nullptr;
    ModlinkSimGeneratorRunningFunction m_running = nullptr;

    Module create(const char *name = "g740") { return Module(m_library.createModuleInterface()(name)); }

    // A module opened at slot 0 that has accepted the default parameters.
    Module readyModule()
    {
        Module module = create();
        auto pars = defaultRecord();
        if (!module || !module->OpenModule(0) || !module->SET_GENERATOR_PARS(&pars))
            return nullptr;
        return module;
    }

    QByteArray lastPars()
    {
        GENERATOR_PARS pars;
        return m_lastPars(&pars) ? bytesOf(pars) : QByteArray();
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(m_library.load(), qPrintable(m_library.errorString()));
        QVERIFY2(m_sim.load(), qPrintable(m_sim.errorString()));
        m_callLog = reinterpret_cast<ModlinkSimCallLogFunction>(m_sim.resolve("ModlinkSimCallLog"));
        m_resetCallLog = reinterpret_cast<ModlinkSimResetCallLogFunction>(m_sim.resolve("ModlinkSimResetCallLog"));
        m_lastPars = reinterpret_cast<ModlinkSimLastGeneratorParsFunction>(m_sim.resolve("ModlinkSimLastGeneratorPars"));
        m_running = reinterpret_cast<ModlinkSimGeneratorRunningFunction>(m_sim.resolve("ModlinkSimGeneratorRunning"));
        QVERIFY(m_callLog && m_resetCallLog && m_lastPars && m_running);
    }

    void init()
    {
        qunsetenv("MODLINK_SIM");
        m_resetCallLog();
    }

    void cleanup()
    {
        qunsetenv("MODLINK_SIM");
        qunsetenv("MODLINK_SIM_FILE");
    }

    void factory_data()
    {
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<bool>("isNull");
        QTest::addColumn<bool>("created");
        QTest::newRow("g740") << QByteArray("g740") << false << true;
        QTest::newRow("upper case") << QByteArray("G740") << false << false;
        QTest::newRow("longer") << QByteArray("g7400") << false << false;
        QTest::newRow("empty") << QByteArray("") << false << false;
        QTest::newRow("null") << QByteArray() << true << false;
    }

    void factory()
    {
        QFETCH(QByteArray, name);
        QFETCH(bool, isNull);
        QFETCH(bool, created);
        QCOMPARE(bool(create(isNull ? nullptr : name.constData())), created);
    }

    void detectsTheModule()
    {
        QCOMPARE(m_library.getLibraryVersion()(), RequiredLibraryVersion);
        Module module = create();
        QVERIFY(module);
        QVERIFY(module->OpenModule(0));
        char name[18];
        std::memset(name, 'x', sizeof name);
        QVERIFY(module->GetModuleName(name));
        QCOMPARE(QByteArray(name), QByteArray("G-740"));
        std::uint8_t speed = 7;
        QVERIFY(module->GetUsbSpeed(&speed));
        QCOMPARE(speed, std::uint8_t(1));

        // The description fills its record and not a byte beyond it.
        struct
        {
            ModuleDescription description;
            char guard[16];
        } target;
        std::fill(std::begin(target.description.Bytes), std::end(target.description.Bytes), 0x5A);
        std::fill(std::begin(target.guard), std::end(target.guard), 0x5A);
        QVERIFY(module->GET_MODULE_DESCRIPTION(&target.description));
        const QByteArray bytes(reinterpret_cast<const char *>(&target.description), sizeof target.description);
        QVERIFY(bytes.contains("G-740"));
        QVERIFY(bytes.count('\0') > 6000); // written over, not left as it was
        QCOMPARE(QByteArray(target.guard, sizeof target.guard), QByteArray(sizeof target.guard, 0x5A));

        QCOMPARE(QByteArray(m_callLog()),
                 QByteArray("GetLibraryVersion,CreateModuleInterface,OpenModule(0),GetModuleName,GetUsbSpeed,"
                            "GET_MODULE_DESCRIPTION"));
        m_resetCallLog();
        QCOMPARE(QByteArray(m_callLog()), QByteArray());
    }

    void operationsNeedAnOpenModule_data()
    {
        QTest::addColumn<Operation>("operation");
        for (const auto &[name, operation] : moduleOperations()) {
            if (QByteArray(name) != "OpenModule" && QByteArray(name) != "CloseModule")
                QTest::newRow(name) << operation;
        }
    }

    void operationsNeedAnOpenModule()
    {
        QFETCH(Operation, operation);
        Module module = create();
        QCOMPARE(operation(*module), ModuleResult(0));
        QVERIFY(module->OpenModule(1) == 0);
        QCOMPARE(operation(*module), ModuleResult(0));

        module = readyModule();
        QVERIFY(module);
        QVERIFY(operation(*module) != 0);
        QVERIFY(module->CloseModule());
        QCOMPARE(operation(*module), ModuleResult(0));
    }

    void generatorPars_data()
    {
        QTest::addColumn<Change>("change");
        QTest::addColumn<bool>("accepted");
        auto row = [](const char *name, Change change, bool accepted) { QTest::newRow(name) << change << accepted; };
        row("defaults", [](GENERATOR_PARS &) {}, true);
        row("library-owned bytes", [](GENERATOR_PARS &p) { p.LibraryOwned1[0] = 1; p.LibraryOwned3[7] = 0xFF; p.LibraryOwned6[15] = 0x80; }, true);
        row("typed values", [](GENERATOR_PARS &p) { p.StartFrequency = 25000.123; p.FrequencyIncrement = -1.5; p.Output10OhmOffset = -4.0; }, true);
        row("bool32 any value", [](GENERATOR_PARS &p) { p.EnaSquareWaveOutput = 0xFFFFFFFF; p.EnaSyncout = 2; }, true);
        row("increments 4095", [](GENERATOR_PARS &p) { p.NumberOfIncrements = 4095; }, true);
        row("increments 4096", [](GENERATOR_PARS &p) { p.NumberOfIncrements = 4096; }, false);
        row("intervals 2", [](GENERATOR_PARS &p) { p.BaseIntervalsNumber = 2; }, true);
        row("intervals 1", [](GENERATOR_PARS &p) { p.BaseIntervalsNumber = 1; }, false);
        row("intervals 2047", [](GENERATOR_PARS &p) { p.BaseIntervalsNumber = 2047; }, true);
        row("intervals 2048", [](GENERATOR_PARS &p) { p.BaseIntervalsNumber = 2048; }, false);
        row("clock 1", [](GENERATOR_PARS &p) { p.MasterClock = 1.0; }, true);
        row("clock 0.5", [](GENERATOR_PARS &p) { p.MasterClock = 0.5; }, false);
        row("clock 50000.5", [](GENERATOR_PARS &p) { p.MasterClock = 50000.5; }, false);
        row("clock NaN", [](GENERATOR_PARS &p) { p.MasterClock = std::nan(""); }, false);
        row("start frequency infinite", [](GENERATOR_PARS &p) { p.StartFrequency = INFINITY; }, false);
        row("multiplier 3", [](GENERATOR_PARS &p) { p.BaseIntervalMultiplierIndex = 3; }, true);
        row("multiplier 4", [](GENERATOR_PARS &p) { p.BaseIntervalMultiplierIndex = 4; }, false);
        row("gain 13", [](GENERATOR_PARS &p) { p.AnalogOutputsGainIndex = 13; }, true);
        row("gain 14", [](GENERATOR_PARS &p) { p.AnalogOutputsGainIndex = 14; }, false);
        row("auto-scan 2", [](GENERATOR_PARS &p) { p.CyclicAutoScanType = 2; }, true);
        row("auto-scan 3", [](GENERATOR_PARS &p) { p.CyclicAutoScanType = 3; }, false);
        row("interval type 2", [](GENERATOR_PARS &p) { p.BaseIntervalType = 2; }, false);
        row("clock source 2", [](GENERATOR_PARS &p) { p.MasterClockSource = 2; }, false);
        row("increment type 2", [](GENERATOR_PARS &p) { p.IncrementType = 2; }, false);
        row("ctrl line 2", [](GENERATOR_PARS &p) { p.CtrlLineType = 2; }, false);
        row("interrupt line 2", [](GENERATOR_PARS &p) { p.InterrupLineType = 2; }, false);
        row("syncout type 2", [](GENERATOR_PARS &p) { p.SyncoutType = 2; }, false);
        row("waveform 2", [](GENERATOR_PARS &p) { p.AnalogOutputsType = 2; }, false);
        row("offset type 2", [](GENERATOR_PARS &p) { p.Output10OhmOffsetType = 2; }, false);
        row("empty selection", [](GENERATOR_PARS &p) { p.SyncoutType = 255; }, false);
    }

    // An accepted record is kept byte for byte; a refused one leaves the
    // previous record in force.
    void generatorPars()
    {
        QFETCH(Change, change);
        QFETCH(bool, accepted);
        Module module = create();
        QVERIFY(module->OpenModule(0));
        QVERIFY(lastPars().isEmpty());

        GENERATOR_PARS previous = defaultRecord();
        previous.LibraryOwned5[0] = 0x42;
        QVERIFY(module->SET_GENERATOR_PARS(&previous));
        GENERATOR_PARS pars = defaultRecord();
        change(pars);
        const QByteArray sent = bytesOf(pars);
        QCOMPARE(module->SET_GENERATOR_PARS(&pars) != 0, accepted);
        QCOMPARE(bytesOf(pars), sent); // the caller's record is left alone
        QCOMPARE(lastPars(), accepted ? sent : bytesOf(previous));
    }

    void startAndStop()
    {
        Module module = create();
        QVERIFY(module->OpenModule(0));
        QVERIFY(!module->START_GENERATOR()); // no parameters yet
        QVERIFY(!m_running());
        auto pars = defaultRecord();
        QVERIFY(module->SET_GENERATOR_PARS(&pars));
        QVERIFY(module->START_GENERATOR());
        QVERIFY(m_running());
        QVERIFY(module->STOP_GENERATOR());
        QVERIFY(!m_running());
        QVERIFY(module->STOP_GENERATOR()); // a stopped generator stops again
        QVERIFY(module->START_GENERATOR());
        module.reset();
        QVERIFY(m_running()); // the module runs on after the interface is released
        QVERIFY(create());    // a new interface finds it afresh
        QVERIFY(!m_running());
        QVERIFY(lastPars().isEmpty());
        QCOMPARE(QByteArray(m_callLog()),
                 QByteArray("CreateModuleInterface,OpenModule(0),START_GENERATOR,SET_GENERATOR_PARS,START_GENERATOR,"
                            "STOP_GENERATOR,STOP_GENERATOR,START_GENERATOR,ReleaseInterface,"
                            "CreateModuleInterface,ReleaseInterface"));
    }

    void configuration_data()
    {
        QTest::addColumn<QByteArray>("config");
        QTest::addColumn<quint32>("version");
        QTest::addColumn<bool>("factory");
        QTest::addColumn<int>("slot"); // -1: no slot of 0..126 opens
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<int>("speed");
        QTest::newRow("empty") << QByteArray("") << 0x30004u << true << 0 << QByteArray("G-740") << 1;
        QTest::newRow("slot 3") << QByteArray("slot=3") << 0x30004u << true << 3 << QByteArray("G-740") << 1;
        QTest::newRow("slot 200") << QByteArray("slot=200") << 0x30004u << true << -1 << QByteArray("G-740") << 1;
        QTest::newRow("no module") << QByteArray("nomodule") << 0x30004u << true << -1 << QByteArray("G-740") << 1;
        QTest::newRow("name") << QByteArray("name=G-741") << 0x30004u << true << 0 << QByteArray("G-741") << 1;
        QTest::newRow("17-byte name") << QByteArray("name=ABCDEFGHIJKLMNOPQ") << 0x30004u << true << 0
                                      << QByteArray("ABCDEFGHIJKLMNOPQ") << 1;
        QTest::newRow("speed") << QByteArray("speed=2") << 0x30004u << true << 0 << QByteArray("G-740") << 2;
        QTest::newRow("version") << QByteArray("version=3.2") << 0x30002u << true << 0 << QByteArray("G-740") << 1;
        QTest::newRow("newer version") << QByteArray("version=65535.0") << 0xFFFF0000u << true << 0
                                       << QByteArray("G-740") << 1;
        QTest::newRow("no factory") << QByteArray("factory=null") << 0x30004u << false << 0 << QByteArray() << 0;
        QTest::newRow("blanks and empty entries")
            << QByteArray("  slot=5 ;; speed=0 ; name=X ;") << 0x30004u << true << 5 << QByteArray("X") << 0;
    }

    void configuration()
    {
        QFETCH(QByteArray, config);
        QFETCH(quint32, version);
        QFETCH(bool, factory);
        QFETCH(int, slot);
        QFETCH(QByteArray, name);
        QFETCH(int, speed);
        qputenv("MODLINK_SIM", config);
        QCOMPARE(m_library.getLibraryVersion()(), version);
        Module module = create();
        QCOMPARE(bool(module), factory);
        if (!module)
            return;
        int opened = -1;
        for (int probe = 126; probe >= 0; --probe) {
            if (module->OpenModule(std::uint16_t(probe)))
                opened = opened < 0 ? probe : -2; // more than one slot opens
        }
        QCOMPARE(opened, slot);
        if (slot < 0)
            return;
        QVERIFY(module->OpenModule(std::uint16_t(slot)));
        char text[18] = {};
        QVERIFY(module->GetModuleName(text));
        QCOMPARE(QByteArray(text), name);
        std::uint8_t code = 0xEE;
        QVERIFY(module->GetUsbSpeed(&code));
        QCOMPARE(int(code), speed);
    }

    void faults_data()
    {
        QTest::addColumn<QByteArray>("kind");
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<Operation>("operation");
        for (const QByteArray kind : {"fail", "throw"}) {
            for (const auto &[name, operation] : moduleOperations())
                QTest::addRow("%s %s", kind.constData(), name) << kind << QByteArray(name) << operation;
        }
    }

    // A configured fault hits its operation only, from the next call on,
    // and goes with the configuration.
    void faults()
    {
        QFETCH(QByteArray, kind);
        QFETCH(QByteArray, name);
        QFETCH(Operation, operation);
        Module module = readyModule();
        QVERIFY(module);
        qputenv("MODLINK_SIM", kind + '=' + name);
        if (kind == "throw")
            QVERIFY_THROWS_EXCEPTION(std::runtime_error, operation(*module));
        else
            QCOMPARE(operation(*module), ModuleResult(0));
        std::uint8_t speed = 0;
        char text[18];
        QVERIFY(name == "GetUsbSpeed" ? module->GetModuleName(text) : module->GetUsbSpeed(&speed));
        qunsetenv("MODLINK_SIM");
        QVERIFY(module->OpenModule(0));
        QVERIFY(operation(*module) != 0);
    }

    void malformedConfiguration_data()
    {
        QTest::addColumn<QByteArray>("config");
        QTest::addColumn<QByteArray>("entry");
        QTest::newRow("unknown entry") << QByteArray("slot=3;spede=2") << QByteArray("spede=2");
        QTest::newRow("slot too large") << QByteArray("slot=65536") << QByteArray("slot=65536");
        QTest::newRow("slot not a number") << QByteArray("slot=3x") << QByteArray("slot=3x");
        QTest::newRow("slot empty") << QByteArray("slot=") << QByteArray("slot=");
        QTest::newRow("negative speed") << QByteArray("speed=-1") << QByteArray("speed=-1");
        QTest::newRow("speed too large") << QByteArray("speed=256") << QByteArray("speed=256");
        QTest::newRow("version without minor") << QByteArray("version=3") << QByteArray("version=3");
        QTest::newRow("version with text") << QByteArray("version=3.x") << QByteArray("version=3.x");
        QTest::newRow("name too long") << QByteArray("name=ABCDEFGHIJKLMNOPQR") << QByteArray("name=ABCDEFGHIJKLMNOPQR");
        QTest::newRow("factory value") << QByteArray("factory=none") << QByteArray("factory=none");
        QTest::newRow("nomodule with value") << QByteArray("nomodule=1") << QByteArray("nomodule=1");
        QTest::newRow("unknown operation") << QByteArray("fail=START_GENERATOR,Start") << QByteArray("Start");
        QTest::newRow("empty operation") << QByteArray("throw=") << QByteArray("throw=");
        QTest::newRow("key in other case") << QByteArray("Slot=3") << QByteArray("Slot=3");
        QTest::newRow("empty slot in a list") << QByteArray("slots=0,,3") << QByteArray("slots=0,,3");
        QTest::newRow("slot list too large") << QByteArray("slots=1,70000") << QByteArray("slots=1,70000");
        QTest::newRow("unplugged word") << QByteArray("unplugged=some") << QByteArray("unplugged=some");
    }

    // A bad configuration never passes as a working module: the library says
    // what is wrong, once, and behaves as broken until it is mended.
    void malformedConfiguration()
    {
        QFETCH(QByteArray, config);
        QFETCH(QByteArray, entry);
        Module module = readyModule();
        QVERIFY(module);
        qputenv("MODLINK_SIM", config);
        QByteArray said;
        {
            StderrCapture capture;
            QCOMPARE(m_library.getLibraryVersion()(), 0u);
            QVERIFY(!create());
            for (const auto &[name, operation] : moduleOperations())
                QVERIFY2(operation(*module) == 0, name);
            said = capture.text();
        }
        QCOMPARE(said.count('\n'), 1);
        QVERIFY2(said.contains(entry), said.constData());
        qunsetenv("MODLINK_SIM");
        QVERIFY(module->OpenModule(0));
        QVERIFY(module->START_GENERATOR());
    }

    void severalModules_data()
    {
        QTest::addColumn<QByteArray>("config");
        QTest::addColumn<QByteArray>("file"); // null: MODLINK_SIM_FILE names a missing file
        QTest::addColumn<QList<int>>("opening");
        QTest::newRow("three slots") << QByteArray("slots=7,0,3") << QByteArray("") << QList<int>{0, 3, 7};
        QTest::newRow("a later slot= wins") << QByteArray("slots=0,3;slot=5") << QByteArray("") << QList<int>{5};
        QTest::newRow("the file unplugs one") << QByteArray("slots=0,3") << QByteArray("unplugged=3")
                                              << QList<int>{0};
        QTest::newRow("the file alone, by lines") << QByteArray() << QByteArray("slots=2,4\r\nunplugged=4\n")
                                                  << QList<int>{2};
        QTest::newRow("all unplugged") << QByteArray("slots=0,3") << QByteArray("unplugged=all") << QList<int>{};
        QTest::newRow("a missing file adds nothing") << QByteArray("slots=1") << QByteArray() << QList<int>{1};
        QTest::newRow("nomodule from the file") << QByteArray("slots=1") << QByteArray("nomodule") << QList<int>{};
    }

    // Which slots open, each with an interface of its own.
    void severalModules()
    {
        QFETCH(QByteArray, config);
        QFETCH(QByteArray, file);
        QFETCH(QList<int>, opening);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("modules"));
        if (!file.isNull()) {
            QFile out(path);
            QVERIFY(out.open(QIODevice::WriteOnly));
            out.write(file);
        }
        qputenv("MODLINK_SIM", config);
        qputenv("MODLINK_SIM_FILE", QFile::encodeName(path));
        QList<int> opened;
        for (int slot = 0; slot < 127; ++slot) {
            Module module = create();
            QVERIFY(module);
            if (module->OpenModule(std::uint16_t(slot)))
                opened << slot;
        }
        qunsetenv("MODLINK_SIM_FILE");
        QCOMPARE(opened, opening);
    }

    // A module held by one interface is busy for the others until it is
    // closed; one that is unplugged fails every call, loses its generator's
    // state, and is free for anyone once it is back.
    void busyAndUnplugged()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("modules"));
        const auto setFile = [&path](const QByteArray &entries) {
            QFile out(path);
            return out.open(QIODevice::WriteOnly | QIODevice::Truncate) && out.write(entries) == entries.size();
        };
        QVERIFY(setFile(""));
        qputenv("MODLINK_SIM", "slots=0,3");
        qputenv("MODLINK_SIM_FILE", QFile::encodeName(path));
        Module first = create();
        Module second = create();
        QVERIFY(first->OpenModule(3));
        QVERIFY(!second->OpenModule(3));
        QVERIFY(second->OpenModule(0));
        // Opening another slot lets go of the one before.
        QVERIFY(first->OpenModule(3));
        QVERIFY(!second->OpenModule(3));
        QVERIFY(first->CloseModule());
        QVERIFY(second->OpenModule(3));
        QVERIFY(second->CloseModule());

        auto pars = defaultRecord();
        QVERIFY(first->OpenModule(3) && first->SET_GENERATOR_PARS(&pars) && first->START_GENERATOR());
        QCOMPARE(m_running(), 1);
        QVERIFY(setFile("unplugged=3"));
        std::uint8_t speed = 0;
        QVERIFY(!first->GetUsbSpeed(&speed));
        QCOMPARE(m_running(), 0);
        QVERIFY(!first->STOP_GENERATOR());
        QVERIFY(!first->CloseModule());
        QVERIFY(!second->OpenModule(3));
        QVERIFY(setFile(""));
        QVERIFY(!first->GetUsbSpeed(&speed)); // closed: its handle went with the module
        QVERIFY(second->OpenModule(3));
        QVERIFY(second->GetUsbSpeed(&speed));
        QVERIFY(!second->START_GENERATOR()); // the record went with the power
        qunsetenv("MODLINK_SIM_FILE");
    }
};

QTEST_GUILESS_MAIN(TestModlinkSim)
#include "tst_modlinksim.moc"
