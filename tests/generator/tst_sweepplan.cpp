#include "generator/SweepPlan.h"
#include "generator/GeneratorCalculations.h"

#include <QTest>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

namespace {

// Frequencies of the test records are whole millihertz, so the expected codes
// come from integer arithmetic alone, apart from the plan's floating point.
constexpr std::int64_t Scale = 16777216;
constexpr std::int64_t InternalClockMilliHz = 50'000'000'000; // 50000 kHz

double kHz(std::int64_t milliHz)
{
    return static_cast<double>(milliHz) / 1e6;
}

// Rounded half up in magnitude, with the sign: (|f| x 2^24 + clock / 2) / clock.
std::int64_t expectedCode(std::int64_t milliHz, std::int64_t clockMilliHz)
{
    const std::int64_t magnitude = milliHz < 0 ? -milliHz : milliHz;
    const std::int64_t code = (magnitude * Scale * 2 + clockMilliHz) / (2 * clockMilliHz);
    return milliHz < 0 ? -code : code;
}

bool near(double actual, double expected, double relative = 1e-13)
{
    return std::fabs(actual - expected) <= relative * std::max(std::fabs(expected), 1e-300);
}

struct Record
{
    std::int64_t start = 10'000'000;     // mHz
    std::int64_t increment = 50'000'000; // mHz
    int increments = 10;
    int baseType = 1;
    int multiplierIndex = 0;
    int intervals = 100;
    int source = 0;
    std::int64_t clock = InternalClockMilliHz; // mHz, used with source 1
    int scan = 0;
    int incrementType = 0;

    GENERATOR_PARS pars() const
    {
        GENERATOR_PARS p;
        p.StartFrequency = kHz(start);
        p.FrequencyIncrement = kHz(increment);
        p.NumberOfIncrements = static_cast<std::uint16_t>(increments);
        p.BaseIntervalType = static_cast<std::uint8_t>(baseType);
        p.BaseIntervalMultiplierIndex = static_cast<std::uint8_t>(multiplierIndex);
        p.BaseIntervalsNumber = static_cast<std::uint16_t>(intervals);
        p.MasterClockSource = static_cast<std::uint8_t>(source);
        p.MasterClock = source == 1 ? kHz(clock) : 123.0; // the internal clock ignores the field
        p.CyclicAutoScanType = static_cast<std::uint8_t>(scan);
        p.IncrementType = static_cast<std::uint8_t>(incrementType);
        p.SyncoutType = 1;
        return p;
    }
};

const double Multipliers[] = {1.0, 5.0, 100.0, 500.0};

} // namespace

Q_DECLARE_METATYPE(Record)

class TestSweepPlan : public QObject
{
    Q_OBJECT

private slots:
    void stepsAgainstIntegerArithmetic_data();
    void stepsAgainstIntegerArithmetic();
    void countsOutsideTheirRange();
    void firstAndLastStepsAreThePanels_data();
    void firstAndLastStepsAreThePanels();
    void cyclicScansForceTheirLines();
    void triangleRunsUpAndBackDown();
    void traceOfTwoSawCycles();
    void syncoutAtEachIncrement();
    void traceWithoutTimeAxis();
    void producedLineBreaksAtStepsThatProduceNothing();
    void rebuildReusesThePlan();
    void numberTexts();
    void decimalValuesStayDecimal_data();
    void decimalValuesStayDecimal();
    void csvOfOneRecord();
};

void TestSweepPlan::stepsAgainstIntegerArithmetic_data()
{
    QTest::addColumn<Record>("record");
    // Start and increment in mHz, increments, base type, multiplier index,
    // base intervals; then what differs from a single internal-clock scan.
    const auto rec = [](std::int64_t start, std::int64_t increment, int n, int base = 1, int multiplier = 0,
                        int intervals = 100) {
        Record r;
        r.start = start;
        r.increment = increment;
        r.increments = n;
        r.baseType = base;
        r.multiplierIndex = multiplier;
        r.intervals = intervals;
        return r;
    };
    const auto external = [](Record r) {
        r.source = 1;
        r.clock = 12'345'678'901;
        return r;
    };
    const auto scan = [](Record r, int type) {
        r.scan = type;
        return r;
    };
    const auto ctrl = [](Record r) {
        r.incrementType = 1;
        return r;
    };

    QTest::newRow("first start: 10 kHz + 10 x 50 kHz, clock base") << rec(10'000'000, 50'000'000, 10);
    QTest::newRow("output-period base: dwell shrinks") << rec(1'000'000, 1'000'000, 20, 0, 1, 20);
    QTest::newRow("negative increment runs below 0 kHz") << rec(1'000'000'000, -50'000'000, 25, 1, 2);
    QTest::newRow("the same, output-period base") << rec(1'000'000'000, -50'000'000, 25, 0, 2);
    QTest::newRow("runs past the top: held at 2^24") << rec(45'000'000'000, 1'000'000'000, 10);
    QTest::newRow("start past the clock: 2^24 as the panel shows") << rec(60'000'000'000, 1'000'000, 3);
    QTest::newRow("increment past the clock") << rec(0, 70'000'000'000, 2);
    QTest::newRow("start above the clock comes into range") << rec(60'000'000'000, -5'000'000'000, 4);
    QTest::newRow("0 Hz step, clock base: it still lasts") << rec(0, 10'000'000, 5);
    QTest::newRow("0 Hz step, output-period base: no time after") << rec(0, 10'000'000, 5, 0);
    QTest::newRow("passes 0 Hz in the middle, output period") << rec(20'000'000, -5'000'000, 8, 0);
    QTest::newRow("below one code step gives 0 Hz") << rec(1'000, 1'000, 3);
    QTest::newRow("external clock") << external(rec(100'123'456, 7'654'321, 50, 1, 3, 2047));
    QTest::newRow("external clock, output period") << external(rec(100'123'456, 7'654'321, 50, 0, 3, 2047));
    QTest::newRow("saw") << scan(rec(10'000'000, 50'000'000, 7), 1);
    QTest::newRow("triangle") << scan(rec(10'000'000, 50'000'000, 9, 0), 2);
    QTest::newRow("CTRL stepping") << ctrl(rec(10'000'000, 50'000'000, 12));
    QTest::newRow("N = 0") << rec(10'000'000, 50'000'000, 0);
    QTest::newRow("N = 0, output-period base") << rec(10'000'000, 50'000'000, 0, 0, 3);
    QTest::newRow("N = 4095") << rec(1'000'000, 12'207'031, 4095, 0, 0, 2047);
    QTest::newRow("N = 4095 downwards") << rec(49'990'000'000, -12'207'031, 4095, 1, 3, 2047);
}

void TestSweepPlan::stepsAgainstIntegerArithmetic()
{
    QFETCH(Record, record);
    const SweepPlan plan(record.pars());

    const std::int64_t clockMilliHz = record.source == 1 ? record.clock : InternalClockMilliHz;
    const double clock = kHz(clockMilliHz);
    // The panel's codes: the start within 0 .. 2^24, the increment's
    // magnitude within 2^24.
    const std::int64_t startCode = std::clamp<std::int64_t>(expectedCode(record.start, clockMilliHz), 0, Scale);
    const std::int64_t incrementCode = std::clamp<std::int64_t>(expectedCode(record.increment, clockMilliHz), -Scale, Scale);
    QCOMPARE(plan.masterClock(), clock);
    QCOMPARE(plan.startCode(), startCode);
    QCOMPARE(plan.incrementCode(), incrementCode);
    const bool ctrl = record.incrementType == 1 && record.scan == 0;
    QCOMPARE(plan.ctrlStepping(), ctrl);
    QCOMPARE(plan.steps().size(), std::size_t(record.increments) + 1);

    const double multiplier = Multipliers[record.multiplierIndex];
    double time = 0.0;
    bool timeKnown = !ctrl;
    int zero = 0;
    int outside = 0;
    double lowest = std::numeric_limits<double>::infinity();
    double highest = -lowest;
    double largestError = 0.0;
    for (int k = 0; k <= record.increments; ++k) {
        const SweepStep &s = plan.steps()[std::size_t(k)];
        QCOMPARE(s.index, k);
        // Above the top code a step is brought down to it, as the panel's
        // final frequency is; below 0 it keeps its code and is flagged.
        const std::int64_t code = std::min<std::int64_t>(startCode + k * incrementCode, Scale);
        QCOMPARE(s.code, code);
        // The record's doubles are a little off the whole millihertz, and the
        // increment's part grows with k.
        QVERIFY(std::fabs(s.desired - kHz(record.start + k * record.increment))
                <= 4e-16 * (std::fabs(kHz(record.start)) + k * std::fabs(kHz(record.increment))));

        const bool inRange = code >= 0 && code <= Scale;
        QCOMPARE(s.outOfRange, !inRange);
        QCOMPARE(s.zeroFrequency, code == 0);
        zero += code == 0;
        outside += !inRange;
        QCOMPARE(s.produced.has_value(), inRange);
        double produced = 0.0;
        if (inRange) {
            produced = static_cast<double>(code) * clock / static_cast<double>(Scale);
            QVERIFY2(near(*s.produced, produced, 1e-15), qPrintable(QString::number(k)));
            lowest = std::min(lowest, produced);
            highest = std::max(highest, produced);
        }

        const bool hasError = inRange && s.desired != 0.0;
        QCOMPARE(s.errorPpm.has_value(), hasError);
        if (hasError) {
            const double error = (produced - s.desired) / s.desired * 1e6;
            QVERIFY(near(*s.errorPpm, error, 1e-9) || std::fabs(*s.errorPpm - error) < 1e-9);
            if (std::fabs(error) > std::fabs(largestError))
                largestError = error;
        }

        std::optional<double> dwell;
        if (!ctrl) {
            if (record.baseType == 1)
                dwell = record.intervals * multiplier / clock;
            else if (inRange && code > 0)
                dwell = record.intervals * multiplier / produced;
        }
        QCOMPARE(s.dwell.has_value(), dwell.has_value());
        if (dwell)
            QVERIFY(near(*s.dwell, *dwell));
        QCOMPARE(s.time.has_value(), timeKnown);
        if (timeKnown) {
            QVERIFY(near(*s.time, time, 1e-12) || std::fabs(*s.time - time) < 1e-15);
            if (dwell)
                time += *dwell;
            else
                timeKnown = false;
        }
    }

    const SweepSummary &m = plan.summary();
    QCOMPARE(m.zeroFrequencySteps, zero);
    QCOMPARE(m.outOfRangeSteps, outside);
    QCOMPARE(m.flaggedSteps, zero + outside);
    QCOMPARE(m.scanTime.has_value(), timeKnown);
    if (timeKnown)
        QVERIFY(near(*m.scanTime, time, 1e-12));
    QCOMPARE(m.lowestProduced.has_value(), std::isfinite(lowest));
    if (m.lowestProduced) {
        QVERIFY(near(*m.lowestProduced, lowest, 1e-15));
        QVERIFY(near(*m.highestProduced, highest, 1e-15));
    }
    if (m.largestErrorPpm)
        QVERIFY(near(*m.largestErrorPpm, largestError, 1e-9));
}

void TestSweepPlan::countsOutsideTheirRange()
{
    // A record read from a file is not checked: the plan bounds the counts
    // as the panel does, and an unknown multiplier gives no dwell at all.
    Record r;
    GENERATOR_PARS pars = r.pars();
    pars.NumberOfIncrements = 5000;
    pars.BaseIntervalsNumber = 1;
    SweepPlan plan(pars);
    QCOMPARE(plan.steps().size(), std::size_t(4096));
    QCOMPARE(*plan.steps()[0].dwell, 2 * 1.0 / 50000.0);

    pars.BaseIntervalsNumber = 60000;
    plan.build(pars);
    QCOMPARE(*plan.steps()[0].dwell, 2047 * 1.0 / 50000.0);

    pars.BaseIntervalMultiplierIndex = 255;
    plan.build(pars);
    QVERIFY(!plan.steps()[0].dwell);
    QVERIFY(!plan.summary().scanTime);
    QCOMPARE(plan.steps()[0].time, std::optional<double>(0.0));
    QVERIFY(!plan.steps()[1].time);

    // An external clock outside 1 .. 50000 kHz is taken as the panel takes it.
    pars = r.pars();
    pars.MasterClockSource = 1;
    pars.MasterClock = 0.5;
    QCOMPARE(SweepPlan(pars).masterClock(), 1.0);
    pars.MasterClock = 70000.0;
    QCOMPARE(SweepPlan(pars).masterClock(), 50000.0);
    pars.MasterClock = std::numeric_limits<double>::quiet_NaN();
    QCOMPARE(SweepPlan(pars).masterClock(), 1.0);

    // Absurd desired values take the panel's codes, the top one at most, so
    // nothing overflows; below 0 the steps are flagged.
    pars = r.pars();
    pars.StartFrequency = 1e300;
    pars.FrequencyIncrement = -3e300;
    pars.NumberOfIncrements = 4095;
    plan.build(pars);
    QCOMPARE(plan.steps()[0].code, Scale);
    QCOMPARE(plan.steps()[1].code, 0);
    QVERIFY(plan.steps()[1].zeroFrequency);
    QCOMPARE(plan.steps()[4095].code, -4094 * Scale);
    QCOMPARE(plan.summary().outOfRangeSteps, 4094);
    pars.StartFrequency = std::numeric_limits<double>::infinity();
    pars.FrequencyIncrement = 0.0;
    plan.build(pars);
    QCOMPARE(plan.steps()[4095].code, Scale);
    QCOMPARE(plan.summary().outOfRangeSteps, 0);
}

void TestSweepPlan::firstAndLastStepsAreThePanels_data()
{
    QTest::addColumn<double>("start");     // kHz
    QTest::addColumn<double>("increment"); // kHz
    QTest::addColumn<int>("increments");
    QTest::newRow("start past the clock") << 60000.0 << 1.0 << 5;
    QTest::newRow("start at the clock") << 50000.0 << 0.0 << 1;
    QTest::newRow("runs past the top") << 49000.0 << 700.0 << 10;
    QTest::newRow("increment past the clock") << 10.0 << 99999.0 << 3;
    QTest::newRow("down past the clock") << 99999.0 << -99999.0 << 1;
    QTest::newRow("runs below 0") << 100.0 << -30.0 << 4;
    QTest::newRow("huge values") << 1e300 << -1e300 << 2;
}

void TestSweepPlan::firstAndLastStepsAreThePanels()
{
    QFETCH(double, start);
    QFETCH(double, increment);
    QFETCH(int, increments);
    Record r;
    GENERATOR_PARS pars = r.pars();
    pars.StartFrequency = start;
    pars.FrequencyIncrement = increment;
    pars.NumberOfIncrements = std::uint16_t(increments);
    const SweepPlan plan(pars);
    const GeneratorCalculations::ActualValues actual = GeneratorCalculations::actualValues(pars);
    QCOMPARE(plan.steps().front().produced, std::optional<double>(actual.startFrequency));
    QVERIFY(!plan.steps().front().outOfRange);
    QCOMPARE(plan.steps().back().produced, actual.finalFrequency);
    QCOMPARE(plan.steps().back().outOfRange, !actual.finalFrequency);
}

void TestSweepPlan::cyclicScansForceTheirLines()
{
    Record r;
    r.incrementType = 1;
    GENERATOR_PARS pars = r.pars();
    pars.EnaSyncout = 0;
    pars.SyncoutType = 0;

    // Alone, CTRL stepping and no SYNCOUT.
    SweepPlan plan(pars);
    QVERIFY(plan.ctrlStepping());
    QCOMPARE(plan.syncout(), SyncoutPulses::None);
    QVERIFY(!plan.summary().scanTime);
    QVERIFY(!plan.steps()[0].time);

    // A saw steps automatically and pulses at the end of each scan, as the
    // panel forces it, whatever the fields say.
    pars.CyclicAutoScanType = 1;
    plan.build(pars);
    QCOMPARE(plan.cycle(), SweepCycle::Saw);
    QVERIFY(!plan.ctrlStepping());
    QCOMPARE(plan.syncout(), SyncoutPulses::EndOfScan);
    QCOMPARE(plan.summary().cycleTime, plan.summary().scanTime);

    pars.CyclicAutoScanType = 0;
    pars.IncrementType = 0;
    pars.EnaSyncout = 1;
    pars.SyncoutType = 0;
    QCOMPARE(SweepPlan(pars).syncout(), SyncoutPulses::EachIncrement);
    pars.SyncoutType = 1;
    QCOMPARE(SweepPlan(pars).syncout(), SyncoutPulses::EndOfScan);
    pars.SyncoutType = 255;
    QCOMPARE(SweepPlan(pars).syncout(), SyncoutPulses::None);
}

void TestSweepPlan::triangleRunsUpAndBackDown()
{
    Record r;
    r.scan = 2;
    r.increments = 4;
    r.baseType = 0;
    SweepPlan plan(r.pars());
    QCOMPARE(plan.cycleOrder(), (std::vector<int>{0, 1, 2, 3, 4, 3, 2, 1}));
    double down = 0.0;
    for (int k = 1; k <= 3; ++k)
        down += *plan.steps()[std::size_t(k)].dwell;
    QVERIFY(near(*plan.summary().cycleTime, *plan.summary().scanTime + down, 1e-12));

    r.increments = 0;
    plan.build(r.pars());
    QCOMPARE(plan.cycleOrder(), std::vector<int>{0});
    r.increments = 1;
    plan.build(r.pars());
    QCOMPARE(plan.cycleOrder(), (std::vector<int>{0, 1}));

    // Two cycles of a triangle: a pulse at the top and at the bottom of each.
    r.increments = 3;
    r.baseType = 1;
    plan.build(r.pars());
    SweepTrace trace;
    plan.trace(2, trace);
    QVERIFY(trace.byTime);
    const double dwell = *plan.steps()[0].dwell;
    QCOMPARE(trace.x.size(), std::size_t(2 * 6 * 2));
    std::vector<double> strokes;
    for (std::size_t i = 1; i + 1 < trace.pulseX.size(); i += 3)
        strokes.push_back(trace.pulseX[i]);
    QCOMPARE(strokes.size(), std::size_t(4));
    const double expected[] = {4 * dwell, 6 * dwell, 10 * dwell, 12 * dwell};
    for (std::size_t i = 0; i < 4; ++i)
        QVERIFY(near(strokes[i], expected[i], 1e-12));
    // The staircase: 0 1 2 3 2 1 | 0 1 2 3 2 1.
    const int steps[] = {0, 1, 2, 3, 2, 1, 0, 1, 2, 3, 2, 1};
    for (std::size_t p = 0; p < 12; ++p) {
        QCOMPARE(trace.produced[2 * p], *plan.steps()[std::size_t(steps[p])].produced);
        QCOMPARE(trace.produced[2 * p + 1], trace.produced[2 * p]);
    }
}

void TestSweepPlan::traceOfTwoSawCycles()
{
    Record r;
    r.scan = 1;
    r.increments = 2;
    SweepPlan plan(r.pars());
    SweepTrace trace;
    plan.trace(2, trace);
    const double d = *plan.steps()[0].dwell;
    const std::vector<double> x{0, d, d, 2 * d, 2 * d, 3 * d, 3 * d, 4 * d, 4 * d, 5 * d, 5 * d, 6 * d};
    QCOMPARE(trace.x.size(), x.size());
    for (std::size_t i = 0; i < x.size(); ++i)
        QVERIFY(near(trace.x[i], x[i], 1e-12));
    QCOMPARE(trace.desired[4], 110.0);
    QCOMPARE(trace.desired[6], 10.0);
    QCOMPARE(trace.producedRuns.size(), std::size_t(1));
    QCOMPARE(trace.producedRuns[0], (std::pair<std::size_t, std::size_t>(0, 12)));

    // SYNCOUT: a base line below every frequency with a stroke at the end of
    // each scan, from start to end of the chart.
    QCOMPARE(trace.pulseX.size(), std::size_t(2 + 3 * 2));
    QCOMPARE(trace.pulseX.front(), 0.0);
    QVERIFY(near(trace.pulseX.back(), 6 * d, 1e-12));
    QVERIFY(near(trace.pulseX[2], 3 * d, 1e-12));
    QVERIFY(near(trace.pulseX[5], 6 * d, 1e-12));
    const double base = trace.pulseY.front();
    QVERIFY(trace.pulseY[2] > base);
    QVERIFY(trace.pulseY[2] < *plan.summary().lowestProduced);
    QCOMPARE(trace.pulseY[3], base);

    // A single scan is drawn once whatever is asked.
    r.scan = 0;
    plan.build(r.pars());
    plan.trace(2, trace);
    QCOMPARE(trace.x.size(), std::size_t(6));
    QVERIFY(trace.pulseX.empty());
}

void TestSweepPlan::syncoutAtEachIncrement()
{
    Record r;
    r.increments = 3;
    GENERATOR_PARS pars = r.pars();
    pars.EnaSyncout = 1;
    pars.SyncoutType = 0;
    SweepPlan plan(pars);
    SweepTrace trace;
    plan.trace(2, trace);
    const double d = *plan.steps()[0].dwell;
    QCOMPARE(trace.pulseX.size(), std::size_t(2 + 3 * 3));
    for (int i = 0; i < 3; ++i)
        QVERIFY(near(trace.pulseX[std::size_t(1 + 3 * i)], (i + 1) * d, 1e-12));
}

void TestSweepPlan::traceWithoutTimeAxis()
{
    // CTRL stepping: the step number on x.
    Record r;
    r.incrementType = 1;
    r.increments = 2;
    SweepPlan plan(r.pars());
    SweepTrace trace;
    plan.trace(2, trace);
    QVERIFY(!trace.byTime);
    QCOMPARE(trace.x, (std::vector<double>{0, 1, 1, 2, 2, 3}));

    // A 0 Hz step with the output period as base never ends: the chart
    // falls back on the steps' order.
    r.incrementType = 0;
    r.baseType = 0;
    r.start = 0;
    plan.build(r.pars());
    plan.trace(1, trace);
    QVERIFY(!trace.byTime);
    QCOMPARE(trace.x, (std::vector<double>{0, 1, 1, 2, 2, 3}));
}

void TestSweepPlan::producedLineBreaksAtStepsThatProduceNothing()
{
    Record r;
    r.start = 100'000'000;
    r.increment = -40'000'000;
    r.increments = 4; // codes: +, +, +, -, -
    r.scan = 2;
    SweepPlan plan(r.pars());
    QCOMPARE(plan.summary().outOfRangeSteps, 2);
    SweepTrace trace;
    plan.trace(2, trace);
    // Order 0 1 2 3 4 3 2 1 | 0 1 2 3 4 3 2 1: steps 0-2 produce.
    using Run = std::pair<std::size_t, std::size_t>;
    QCOMPARE(trace.producedRuns, (std::vector<Run>{{0, 6}, {12, 22}, {28, 32}}));
    QVERIFY(std::isnan(trace.produced[6]));
    QVERIFY(!std::isnan(trace.desired[6]));
}

void TestSweepPlan::rebuildReusesThePlan()
{
    Record r;
    r.increments = 4095;
    SweepPlan plan(r.pars());
    const SweepStep *storage = plan.steps().data();
    r.increments = 100;
    r.start = 0;
    r.baseType = 0;
    plan.build(r.pars());
    QCOMPARE(plan.steps().data(), storage);
    QCOMPARE(plan.steps().size(), std::size_t(101));
    // Nothing is left over from the longer plan before it.
    QVERIFY(!plan.steps()[0].dwell);
    QVERIFY(!plan.steps()[0].errorPpm);
    QVERIFY(!plan.steps()[1].time);
    QCOMPARE(plan.summary().zeroFrequencySteps, 1);
}

void TestSweepPlan::numberTexts()
{
    QCOMPARE(shortestNumberText(0.1), QStringLiteral("0.1"));
    QCOMPARE(shortestNumberText(-0.0), QStringLiteral("0"));
    QCOMPARE(shortestNumberText(10.0), QStringLiteral("10"));
    QCOMPARE(shortestNumberText(9.998679161071777), QStringLiteral("9.998679161071777"));
    QCOMPARE(shortestNumberText(1e-7), QStringLiteral("1e-07"));
    // Every text reads back to its double.
    for (double v : {1.0 / 3.0, 2.0 / 3.0 * 1e-5, 12345.678901234567, 0.060000000000000005, -132.08389282226562})
        QCOMPARE(shortestNumberText(v).toDouble(), v);
}

void TestSweepPlan::csvOfOneRecord()
{
    // A downward sweep on the output period base that runs below 0 kHz. The
    // numbers were checked against exact rational arithmetic; the desired
    // frequency of step 2 is 1 + 2 x (-0.6) as typed, not as binary sums
    // give it (-0.19999999999999996).
    Record r;
    r.start = 1'000'000;
    r.increment = -600'000;
    r.increments = 2;
    r.baseType = 0;
    r.multiplierIndex = 1;
    r.intervals = 2;
    QCOMPARE(sweepCsv(SweepPlan(r.pars())),
             QStringLiteral("Шаг,Заданная частота (кГц),Код частоты,Реальная частота (кГц),Ошибка (ppm),"
                            "Длительность шага (мс),Время от начала (мс),Отметки\n"
                            "0,1,336,1.0013580322265625,1358.0322265625,9.986438095238094,0,\n"
                            "1,0.4,135,0.4023313522338867,5828.380584716741,24.855134814814814,9.986438095238094,\n"
                            "2,-0.2,-66,,,,34.84157291005291,код вне 24 бит\n"));
}

void TestSweepPlan::decimalValuesStayDecimal_data()
{
    QTest::addColumn<double>("start");
    QTest::addColumn<double>("increment");
    QTest::addColumn<int>("multiplierIndex");
    QTest::addColumn<int>("intervals");
    QTest::addColumn<int>("step");
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("text");

    const int desired = int(SweepColumn::Desired);
    const int dwell = int(SweepColumn::Dwell);
    const int time = int(SweepColumn::Time);
    QTest::newRow("0.3 + 11 x 0.1") << 0.3 << 0.1 << 0 << 100 << 11 << desired << "1.4";
    QTest::newRow("1 + 2 x -0.6") << 1.0 << -0.6 << 0 << 100 << 2 << desired << "-0.2";
    QTest::newRow("10.00005 + 4095 x 0.00001") << 10.00005 << 0.00001 << 0 << 100 << 4095 << desired << "10.041";
    QTest::newRow("50000 + 3 x -0.0001") << 50000.0 << -0.0001 << 0 << 100 << 3 << desired << "49999.9997";
    QTest::newRow("0.1 + 4095 x 0.7") << 0.1 << 0.7 << 0 << 100 << 4095 << desired << "2866.6";
    QTest::newRow("9 x 100 clock periods") << 10.0 << 50.0 << 0 << 100 << 9 << time << "0.018";
    QTest::newRow("4095 x 2047 x 500 clock periods") << 10.0 << 0.0 << 3 << 2047 << 4095 << time << "83824.65";
    QTest::newRow("7 x 5 clock periods") << 10.0 << 1.0 << 1 << 7 << 3 << dwell << "0.0007";
    QTest::newRow("17 digits + 3 x 1e-12") << 12345.678901234567 << 1e-12 << 0 << 100 << 3 << desired
                                           << "12345.67890123457";
    QTest::newRow("17 digits - 3 x 1e-12") << -12345.678901234567 << -1e-12 << 0 << 100 << 3 << desired
                                           << "-12345.67890123457";
    QTest::newRow("fixed below 0.001") << 0.00001 << 0.00001 << 0 << 100 << 0 << desired << "0.00001";
    QTest::newRow("3 x 7 x 5 clock periods") << 10.0 << 1.0 << 1 << 7 << 3 << time << "0.0021";
}

void TestSweepPlan::decimalValuesStayDecimal()
{
    QFETCH(double, start);
    QFETCH(double, increment);
    QFETCH(int, multiplierIndex);
    QFETCH(int, intervals);
    QFETCH(int, step);
    QFETCH(int, column);
    QFETCH(QString, text);
    GENERATOR_PARS pars = Record().pars();
    pars.StartFrequency = start;
    pars.FrequencyIncrement = increment;
    pars.NumberOfIncrements = 4095;
    pars.BaseIntervalMultiplierIndex = static_cast<std::uint8_t>(multiplierIndex);
    pars.BaseIntervalsNumber = static_cast<std::uint16_t>(intervals);
    const SweepPlan plan(pars);
    QCOMPARE(sweepCellText(plan.steps()[std::size_t(step)], SweepColumn(column)), text);
}

QTEST_APPLESS_MAIN(TestSweepPlan)
#include "tst_sweepplan.moc"
