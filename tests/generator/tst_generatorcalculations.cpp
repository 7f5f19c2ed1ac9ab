#include "generator/GeneratorCalculations.h"

#include <QTest>

#include <limits>
#include <optional>

using namespace GeneratorCalculations;

Q_DECLARE_METATYPE(std::optional<double>)

namespace {
constexpr double Internal = InternalMasterClock;
constexpr double Inf = std::numeric_limits<double>::infinity();
constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
} // namespace

class TestGeneratorCalculations : public QObject
{
    Q_OBJECT

private slots:
    void frequencyCodes_data();
    void frequencyCodes();
    void incrementCodes_data();
    void incrementCodes();
    void finalFrequencies_data();
    void finalFrequencies();
    void masterClock_data();
    void masterClock();
    void counts_data();
    void counts();
    void durations_data();
    void durations();
    void offsets_data();
    void offsets();
    void amplitudeRows_data();
    void amplitudeRows();
    void recordCounts_data();
    void recordCounts();
};

void TestGeneratorCalculations::frequencyCodes_data()
{
    QTest::addColumn<double>("desired");
    QTest::addColumn<double>("masterClock");
    QTest::addColumn<qint64>("code");
    QTest::addColumn<QString>("text");

    QTest::newRow("10 kHz") << 10.0 << Internal << qint64(3355) << "9.9987";
    QTest::newRow("50 kHz") << 50.0 << Internal << qint64(16777) << "49.9994";
    QTest::newRow("half the clock is exact") << 25000.0 << Internal << qint64(8388608) << "25000.0000";
    QTest::newRow("above the clock is bounded") << 60000.0 << Internal << qint64(16777216) << "50000.0000";
    QTest::newRow("the clock itself is 2^24") << 50000.0 << Internal << qint64(16777216) << "50000.0000";
    QTest::newRow("below one step") << 0.001 << Internal << qint64(0) << "0.0000";
    QTest::newRow("zero") << 0.0 << Internal << qint64(0) << "0.0000";
    QTest::newRow("infinite") << Inf << Internal << qint64(16777216) << "50000.0000";
    QTest::newRow("NaN") << NaN << Internal << qint64(0) << "0.0000";
    QTest::newRow("beyond 64 bits") << 1e300 << Internal << qint64(16777216) << "50000.0000";
    QTest::newRow("negative start comes up to 0") << -5.0 << Internal << qint64(0) << "0.0000";
    QTest::newRow("negative infinite") << -Inf << Internal << qint64(0) << "0.0000";
    QTest::newRow("external 1 kHz clock") << 0.5 << 1.0 << qint64(8388608) << "0.5000";
    QTest::newRow("zero clock") << 10.0 << 0.0 << qint64(16777216) << "0.0000";
}

void TestGeneratorCalculations::frequencyCodes()
{
    QFETCH(double, desired);
    QFETCH(double, masterClock);
    QFETCH(qint64, code);
    QFETCH(QString, text);
    const FrequencyCode result = frequencyCode(desired, masterClock);
    QCOMPARE(result.code, code);
    QCOMPARE(frequencyText(result.frequency), text);
}

void TestGeneratorCalculations::incrementCodes_data()
{
    QTest::addColumn<double>("desired");
    QTest::addColumn<qint64>("code");
    QTest::addColumn<QString>("text");

    QTest::newRow("upward") << 50.0 << qint64(16777) << "49.9994";
    QTest::newRow("downward mirrors upward") << -50.0 << qint64(-16777) << "-49.9994";
    QTest::newRow("small downward rounds to zero") << -0.001 << qint64(0) << "0.0000";
    QTest::newRow("downward beyond the clock") << -1e9 << qint64(-16777216) << "-50000.0000";
    QTest::newRow("negative infinite") << -Inf << qint64(-16777216) << "-50000.0000";
}

void TestGeneratorCalculations::incrementCodes()
{
    QFETCH(double, desired);
    QFETCH(qint64, code);
    QFETCH(QString, text);
    const FrequencyCode result = incrementCode(desired, Internal);
    QCOMPARE(result.code, code);
    QCOMPARE(frequencyText(result.frequency), text);
}

void TestGeneratorCalculations::finalFrequencies_data()
{
    QTest::addColumn<double>("start");
    QTest::addColumn<double>("increment");
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("text");

    QTest::newRow("typical run") << 10.0 << 50.0 << 10 << "509.9922";
    QTest::newRow("no increments ends at the start") << 10.0 << 50.0 << 0 << "9.9987";
    QTest::newRow("above the clock is bounded") << 40000.0 << 50.0 << 4095 << "50000.0000";
    QTest::newRow("downward sweep") << 600.0 << -50.0 << 10 << "100.0077";
    QTest::newRow("downward to just above 0") << 500.0 << -50.0 << 10 << "0.0060";
    QTest::newRow("downward below 0 is not available") << 10.0 << -50.0 << 10 << "-----";
}

void TestGeneratorCalculations::finalFrequencies()
{
    QFETCH(double, start);
    QFETCH(double, increment);
    QFETCH(int, count);
    QFETCH(QString, text);
    const double actualStart = frequencyCode(start, Internal).frequency;
    const double actualIncrement = incrementCode(increment, Internal).frequency;
    QCOMPARE(frequencyText(finalFrequency(actualStart, actualIncrement, count, Internal)), text);
}

void TestGeneratorCalculations::masterClock_data()
{
    QTest::addColumn<double>("typed");
    QTest::addColumn<QString>("accepted");

    QTest::newRow("7") << 7.0 << "7.0";
    QTest::newRow("below the range") << 0.5 << "1.0";
    QTest::newRow("above the range") << 70000.0 << "50000.0";
    QTest::newRow("NaN is unordered") << NaN << "1.0";
    QTest::newRow("infinite") << Inf << "50000.0";
    QTest::newRow("lower bound stays") << 1.0 << "1.0";
}

void TestGeneratorCalculations::masterClock()
{
    QFETCH(double, typed);
    QFETCH(QString, accepted);
    QCOMPARE(acceptedMasterClockText(acceptMasterClock(typed)), accepted);
}

void TestGeneratorCalculations::counts_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("increments");
    QTest::addColumn<int>("baseIntervals");

    QTest::newRow("plain") << "100" << 100 << 100;
    QTest::newRow("zero") << "0" << 0 << 2;
    QTest::newRow("one") << "1" << 1 << 2;
    QTest::newRow("above both ranges") << "5000" << 4095 << 2047;
    QTest::newRow("3000") << "3000" << 3000 << 2047;
    QTest::newRow("upper bounds") << "4095" << 4095 << 2047;
    QTest::newRow("just below the interval bound") << "2046" << 2046 << 2046;
    QTest::newRow("negative") << "-20" << 20 << 2047;
    QTest::newRow("empty") << "" << 1 << 2;
    QTest::newRow("letters") << "abc" << 1 << 2;
    QTest::newRow("decimal point") << "10.5" << 1 << 2;
    QTest::newRow("beyond 32 bits") << "99999999999999999999" << 4095 << 2047;
    QTest::newRow("negative beyond 32 bits") << "-99999999999999999999" << 4095 << 2047;
    QTest::newRow("smallest 32-bit") << "-2147483648" << 4095 << 2047;
    QTest::newRow("blanks around") << " \t12\t " << 12 << 12;
    QTest::newRow("blanks around beyond 32 bits") << " 99999999999 " << 4095 << 2047;
    // White space other than blanks makes no whole number, however short.
    QTest::newRow("pasted line break") << "5\n" << 1 << 2;
    QTest::newRow("no-break space") << QStringLiteral("\u00A05") << 1 << 2;
    QTest::newRow("no-break space beyond 32 bits") << QStringLiteral("\u00A099999999999") << 1 << 2;
}

void TestGeneratorCalculations::counts()
{
    QFETCH(QString, text);
    QFETCH(int, increments);
    QFETCH(int, baseIntervals);
    QCOMPARE(int(numberOfIncrements(text)), increments);
    QCOMPARE(int(baseIntervalsNumber(text)), baseIntervals);
}

void TestGeneratorCalculations::durations_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("multiplier");
    QTest::addColumn<int>("count");
    QTest::addColumn<double>("masterClock");
    QTest::addColumn<QString>("text");

    QTest::newRow("x1") << 1 << 0 << 100 << Internal << "0.00200";
    QTest::newRow("x5") << 1 << 1 << 100 << Internal << "0.01000";
    QTest::newRow("x100") << 1 << 2 << 100 << Internal << "0.20000";
    QTest::newRow("x500") << 1 << 3 << 100 << Internal << "1.00000";
    QTest::newRow("slow external clock") << 1 << 3 << 2047 << 1.0 << "1023500.00000";
    QTest::newRow("output period") << 0 << 0 << 100 << Internal << "-----";
    QTest::newRow("no type selected") << 255 << 0 << 100 << Internal << "-----";
    QTest::newRow("no multiplier selected") << 1 << 255 << 100 << Internal << "-----";
    QTest::newRow("zero clock") << 1 << 0 << 100 << 0.0 << "-----";
}

void TestGeneratorCalculations::durations()
{
    QFETCH(int, type);
    QFETCH(int, multiplier);
    QFETCH(int, count);
    QFETCH(double, masterClock);
    QFETCH(QString, text);
    QCOMPARE(durationText(incrementDuration(type, multiplier, count, masterClock)), text);
}

void TestGeneratorCalculations::offsets_data()
{
    QTest::addColumn<double>("desired");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("text");

    QTest::newRow("0 V") << 0.0 << 128 << "0.016";
    QTest::newRow("1 V") << 1.0 << 159 << "0.988";
    QTest::newRow("above the range") << 4.1 << 255 << "4.000";
    QTest::newRow("below the range") << -4.1 << 0 << "-4.000";
    QTest::newRow("far above") << 1e30 << 255 << "4.000";
    QTest::newRow("infinite below") << -Inf << 0 << "-4.000";
    QTest::newRow("NaN") << NaN << 0 << "-4.000";
    QTest::newRow("-1 V") << -1.0 << 96 << "-0.988";
}

void TestGeneratorCalculations::offsets()
{
    QFETCH(double, desired);
    QFETCH(int, code);
    QFETCH(QString, text);
    const OffsetCode result = offsetCode(desired);
    QCOMPARE(result.code, code);
    QCOMPARE(offsetText(result.offset), text);
}

void TestGeneratorCalculations::amplitudeRows_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("gain");
    QTest::addColumn<QString>("v10");
    QTest::addColumn<QString>("db10");
    QTest::addColumn<QString>("v50");
    QTest::addColumn<QString>("db50");

    const char *rows[][6] = {
        {"10", "3.464", "10.0", "1.736", "4.0"},     {"6", "2.186", "6.0", "1.095", "0.0"},
        {"4", "1.736", "4.0", "0.870", "-2.0"},      {"3", "1.547", "3.0", "0.776", "-3.0"},
        {"0", "1.095", "0.0", "0.549", "-6.0"},      {"-2", "0.870", "-2.0", "0.436", "-8.0"},
        {"-3", "0.776", "-3.0", "0.389", "-9.0"},    {"-6", "0.549", "-6.0", "0.275", "-12.0"},
        {"-9", "0.389", "-9.0", "0.195", "-15.0"},   {"-12", "0.275", "-12.0", "0.138", "-18.0"},
        {"-14", "0.219", "-14.0", "0.110", "-20.0"}, {"-18", "0.138", "-18.0", "0.069", "-24.0"},
        {"-21", "0.098", "-21.0", "0.049", "-27.0"}, {"-24", "0.069", "-24.0", "0.035", "-30.0"},
    };
    for (int i = 0; i < 14; ++i) {
        QTest::addRow("gain index %d", i) << i << rows[i][0] << rows[i][1] << rows[i][2] << rows[i][3]
                                          << rows[i][4];
    }
    QTest::newRow("no selection") << 255 << "-----" << "-----" << "-----" << "-----" << "-----";
    QTest::newRow("negative index") << -1 << "-----" << "-----" << "-----" << "-----" << "-----";
}

void TestGeneratorCalculations::amplitudeRows()
{
    QFETCH(int, index);
    QFETCH(QString, gain);
    const AmplitudeTexts texts = amplitudeTexts(index);
    QCOMPARE(gainText(index), gain);
    QTEST(texts.output10OhmV, "v10");
    QTEST(texts.output10OhmdB, "db10");
    QTEST(texts.output50OhmV, "v50");
    QTEST(texts.output50OhmdB, "db50");
}

void TestGeneratorCalculations::recordCounts_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("stored");

    QTest::newRow("whole") << 100.0 << 100;
    QTest::newRow("truncated") << 10.9 << 10;
    QTest::newRow("negative truncated") << -1.5 << 0xFFFF;
    QTest::newRow("low 16 bits") << 65537.0 << 1;
    QTest::newRow("NaN") << NaN << 0;
    QTest::newRow("infinite") << Inf << 0xFFFF;
}

void TestGeneratorCalculations::recordCounts()
{
    QFETCH(double, value);
    QFETCH(int, stored);
    QCOMPARE(int(low16OfTruncated(value)), stored);
}

QTEST_GUILESS_MAIN(TestGeneratorCalculations)
#include "tst_generatorcalculations.moc"
