#pragma once

#include "generator/GeneratorPars.h"

#include <QString>

#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

// One scan of the sweep as the hardware will run it, worked out from a record
// before the generator starts: every step's desired frequency, its frequency
// code, the frequency that code produces, the error against the desired one,
// how long the step lasts and when it begins. No widgets here.
//
// The codes are whole numbers: step k has start code + k x increment code, so
// the plan shows the hardware's own rounding. The plan follows the panel: the
// start and increment codes are those of its actual values, a step's code is
// brought down to the top code 2^24 as the panel's final frequency is, and a
// step below 0 kHz is reported with its code as it is.

enum class SweepCycle : std::uint8_t
{
    Single,   // one scan
    Saw,      // the scan again and again
    Triangle, // up, back down, again
};

enum class SyncoutPulses : std::uint8_t
{
    None,
    EachIncrement, // at every step after the first
    EndOfScan,     // when a scan (or a leg of the triangle) is over
};

struct SweepStep
{
    int index = 0;
    double desired = 0.0;           // kHz: start + k x increment, as typed
    std::int64_t code = 0;          // start code + k x increment code
    std::optional<double> produced; // kHz; none when the code is out of range
    std::optional<double> errorPpm; // none where the desired frequency is 0 or nothing is produced
    std::optional<double> dwell;    // ms; none without a time axis or where it cannot end
    std::optional<double> time;     // ms from the start of the scan to this step
    bool zeroFrequency = false;     // the step produces 0 Hz
    bool outOfRange = false;        // the code falls below 0

    bool flagged() const { return zeroFrequency || outOfRange; }
};

struct SweepSummary
{
    std::optional<double> scanTime;  // ms, steps 0 .. N once
    std::optional<double> cycleTime; // ms, one period of a saw or triangle
    std::optional<double> lowestProduced;  // kHz
    std::optional<double> highestProduced; // kHz
    std::optional<double> largestErrorPpm; // the error of largest magnitude, with its sign
    int zeroFrequencySteps = 0;
    int outOfRangeSteps = 0;
    int flaggedSteps = 0;
};

// What the chart draws: staircases of produced and desired frequency over one
// shared x axis (time in ms, or the step's position where there is no time),
// and the SYNCOUT line as a base line with a stroke for every pulse, in a
// band below the frequencies. Each step is two points, its start and its end.
struct SweepTrace
{
    bool byTime = false;
    std::vector<double> x;
    std::vector<double> produced; // NaN where a step produces nothing
    std::vector<double> desired;
    // The stretches of points [first, last) that produce a frequency: the
    // chart draws each as a line of its own, with gaps between them.
    std::vector<std::pair<std::size_t, std::size_t>> producedRuns;
    std::vector<double> pulseX; // empty without SYNCOUT pulses
    std::vector<double> pulseY;
};

class SweepPlan
{
public:
    SweepPlan() = default;
    explicit SweepPlan(const GENERATOR_PARS &pars) { build(pars); }

    // Works the plan out for pars; the step storage is reused.
    void build(const GENERATOR_PARS &pars);

    const std::vector<SweepStep> &steps() const { return m_steps; }
    const SweepSummary &summary() const { return m_summary; }
    double masterClock() const { return m_masterClock; } // kHz
    std::int64_t startCode() const { return m_startCode; }
    std::int64_t incrementCode() const { return m_incrementCode; }
    SweepCycle cycle() const { return m_cycle; }
    // The steps advance on the CTRL line: there is no time axis at all.
    bool ctrlStepping() const { return m_ctrlStepping; }
    // The base interval is a multiple of the output period (else the clock's).
    bool outputPeriodBase() const { return m_outputPeriodBase; }
    SyncoutPulses syncout() const { return m_syncout; }

    // The steps of one cycle in running order: 0 .. N, and for the triangle
    // then N-1 .. 1, so that cycles follow one another without a repeat.
    std::vector<int> cycleOrder() const;
    // The chart of `cycles` cycles (one for a single scan), into out; its
    // storage is reused.
    void trace(int cycles, SweepTrace &out) const;

private:
    std::vector<SweepStep> m_steps;
    SweepSummary m_summary;
    double m_masterClock = 0.0;
    std::int64_t m_startCode = 0;
    std::int64_t m_incrementCode = 0;
    SweepCycle m_cycle = SweepCycle::Single;
    bool m_ctrlStepping = false;
    bool m_outputPeriodBase = false;
    SyncoutPulses m_syncout = SyncoutPulses::None;
};

// The columns of the step table, shared by the window's table, the CSV file
// and copied rows, so all three say the same (the table rounded as the
// panel shows numbers, the other two in full).
enum class SweepColumn
{
    Step,
    Desired,
    Code,
    Produced,
    ErrorPpm,
    Dwell,
    Time,
    Flags,
};
inline constexpr int SweepColumnCount = 8;

// The column's title with its unit.
QString sweepColumnTitle(SweepColumn column);
// A cell as text: numbers in the shortest form that reads back to the same
// double, with "." always; an empty text where there is no value.
QString sweepCellText(const SweepStep &step, SweepColumn column);
// A double in the shortest text that reads back to the same value, "." as
// the decimal point whatever the locale; fixed notation from 0.00001 up to
// 10^15 in magnitude.
QString shortestNumberText(double value);

// The whole table as CSV: a header row, then one row per step; comma
// separated, one "\n" after every row. The same record gives the same text
// on every machine.
QString sweepCsv(const SweepPlan &plan);
