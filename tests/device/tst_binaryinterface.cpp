// The two binary layouts the device library relies on: the parameter record
// and the order of the module interface's operations.

#include "device/ModuleInterface.h"
#include "generator/GeneratorPars.h"

#include <QTest>

#include <array>
#include <bit>
#include <cstring>

namespace {

// A value whose every byte is 0xA5, so that it can be found in the record.
template <class T>
T marker()
{
    std::array<std::uint8_t, sizeof(T)> bytes;
    bytes.fill(0xA5);
    return std::bit_cast<T>(bytes);
}

struct Field
{
    const char *name;
    std::size_t offset;
    std::size_t size;
    void (*mark)(GENERATOR_PARS &);
};

#define FIELD(field, offset, size)                                                                          \
    Field { #field, offset, size, [](GENERATOR_PARS &pars) { pars.field = marker<decltype(pars.field)>(); } }
#define OWNED(field, offset, size)                                                                          \
    Field { #field, offset, size, [](GENERATOR_PARS &pars) {                                                \
        for (std::size_t i = 0; i < sizeof pars.field; ++i)                                                 \
            pars.field[i] = 0xA5;                                                                           \
    } }

const Field Fields[] = {
    OWNED(LibraryOwned1, 0, 4),
    FIELD(StartFrequency, 4, 8),
    OWNED(LibraryOwned2, 12, 8),
    FIELD(FrequencyIncrement, 20, 8),
    FIELD(NumberOfIncrements, 28, 2),
    FIELD(BaseIntervalType, 30, 1),
    FIELD(BaseIntervalMultiplierIndex, 31, 1),
    OWNED(LibraryOwned3, 32, 8),
    FIELD(BaseIntervalsNumber, 40, 2),
    OWNED(LibraryOwned4, 42, 8),
    FIELD(MasterClock, 50, 8),
    FIELD(MasterClockSource, 58, 1),
    FIELD(CyclicAutoScanType, 59, 1),
    FIELD(IncrementType, 60, 1),
    FIELD(CtrlLineType, 61, 1),
    FIELD(InterrupLineType, 62, 1),
    FIELD(EnaSquareWaveOutput, 63, 4),
    FIELD(EnaSyncout, 67, 4),
    FIELD(SyncoutType, 71, 1),
    FIELD(AnalogOutputsType, 72, 1),
    FIELD(AnalogOutputsGainIndex, 73, 1),
    OWNED(LibraryOwned5, 74, 24),
    FIELD(Output10OhmOffset, 98, 8),
    FIELD(Output10OhmOffsetType, 106, 1),
    OWNED(LibraryOwned6, 107, 16),
};

// Itanium C++ ABI: a pointer to a virtual member function holds 1 plus the
// byte offset of its entry in the virtual table.
template <class Member>
qsizetype position(Member member)
{
    static_assert(sizeof member == 2 * sizeof(void *));
    std::uintptr_t words[2];
    std::memcpy(words, &member, sizeof words);
    if (words[0] % 2 != 1)
        return -1; // not a virtual function
    return qsizetype((words[0] - 1) / sizeof(void *));
}

} // namespace

class TestBinaryInterface : public QObject
{
    Q_OBJECT

private slots:
    void newRecordIsAllZero()
    {
        const GENERATOR_PARS pars;
        std::uint8_t bytes[sizeof pars];
        std::memcpy(bytes, &pars, sizeof pars);
        QCOMPARE(sizeof pars, std::size_t(123));
        for (std::uint8_t byte : bytes)
            QCOMPARE(byte, std::uint8_t(0));
    }

    void fieldsTileTheRecord()
    {
        std::size_t next = 0;
        for (const Field &field : Fields) {
            QVERIFY2(field.offset == next, field.name);
            next += field.size;
        }
        QCOMPARE(next, sizeof(GENERATOR_PARS));
    }

    void fieldAtItsOffset_data()
    {
        QTest::addColumn<int>("index");
        for (int i = 0; i < int(std::size(Fields)); ++i)
            QTest::newRow(Fields[i].name) << i;
    }

    // Writing a field changes exactly its bytes, and no others.
    void fieldAtItsOffset()
    {
        QFETCH(int, index);
        const Field &field = Fields[index];
        GENERATOR_PARS pars;
        field.mark(pars);
        std::uint8_t bytes[sizeof pars];
        std::memcpy(bytes, &pars, sizeof pars);
        for (std::size_t i = 0; i < sizeof bytes; ++i) {
            const bool inside = i >= field.offset && i < field.offset + field.size;
            QVERIFY2(bytes[i] == (inside ? 0xA5 : 0x00), qPrintable(QString("byte %1").arg(i)));
        }
    }

    void operationPositions_data()
    {
        QTest::addColumn<qsizetype>("actual");
        QTest::addColumn<qsizetype>("expected");
        QTest::newRow("OpenModule") << position(&ModuleInterface::OpenModule) << qsizetype(0);
        QTest::newRow("CloseModule") << position(&ModuleInterface::CloseModule) << qsizetype(1);
        QTest::newRow("ReleaseInterface") << position(&ModuleInterface::ReleaseInterface) << qsizetype(2);
        QTest::newRow("GetModuleName") << position(&ModuleInterface::GetModuleName) << qsizetype(4);
        QTest::newRow("GetUsbSpeed") << position(&ModuleInterface::GetUsbSpeed) << qsizetype(5);
        QTest::newRow("SET_GENERATOR_PARS") << position(&ModuleInterface::SET_GENERATOR_PARS) << qsizetype(9);
        QTest::newRow("START_GENERATOR") << position(&ModuleInterface::START_GENERATOR) << qsizetype(10);
        QTest::newRow("STOP_GENERATOR") << position(&ModuleInterface::STOP_GENERATOR) << qsizetype(11);
        QTest::newRow("GET_MODULE_DESCRIPTION") << position(&ModuleInterface::GET_MODULE_DESCRIPTION) << qsizetype(26);
    }

    void operationPositions()
    {
        QFETCH(qsizetype, actual);
        QFETCH(qsizetype, expected);
        QCOMPARE(actual, expected);
    }
};

QTEST_GUILESS_MAIN(TestBinaryInterface)
#include "tst_binaryinterface.moc"
