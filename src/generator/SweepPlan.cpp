#include "generator/SweepPlan.h"

#include "generator/GeneratorCalculations.h"

#include <QStringList>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <QCoreApplication>

using namespace GeneratorCalculations;

namespace {

void push2(std::vector<double> &v, double a, double b)
{
    v.push_back(a);
    v.push_back(b);
}

__extension__ typedef __int128 Wide;

// A finite double as the decimal of its shortest round-trip text: at most 17
// digits times a power of ten.
struct Decimal
{
    std::int64_t digits;
    int exponent;
};

Decimal shortestDecimal(double value)
{
    char text[32];
    const char *end = std::to_chars(text, text + sizeof text, value, std::chars_format::scientific).ptr;
    const char *p = text;
    const bool negative = *p == '-';
    p += negative;
    std::int64_t digits = 0;
    int fraction = 0;
    bool afterPoint = false;
    for (; p < end && *p != 'e'; ++p) {
        if (*p == '.') {
            afterPoint = true;
            continue;
        }
        digits = digits * 10 + (*p - '0');
        fraction += afterPoint;
    }
    int exponent = 0;
    if (p + 1 < end)
        std::from_chars(p + 1 + (p[1] == '+'), end, exponent);
    return {negative ? -digits : digits, exponent - fraction};
}

Wide powerOfTen(int n)
{
    Wide p = 1;
    while (n-- > 0)
        p *= 10;
    return p;
}

// start + k x increment on the decimals the two were typed as, rounded once:
// the operator's 0.3 + 11 x 0.1 is 1.4, where binary sums give
// 1.4000000000000001. The two are aligned once per plan; k is at most
// MaxNumberOfIncrements, so with them at most 16 places apart every sum fits
// in 128 bits. Values further apart keep the binary sum.
class DecimalSteps
{
public:
    DecimalSteps(double start, double increment)
        : m_start(start)
        , m_increment(increment)
    {
        constexpr int MaxShift = 16;
        if (!std::isfinite(start) || !std::isfinite(increment))
            return;
        const Decimal a = shortestDecimal(start);
        const Decimal b = shortestDecimal(increment);
        m_exponent = std::min(a.exponent, b.exponent);
        if (a.exponent - m_exponent > MaxShift || b.exponent - m_exponent > MaxShift)
            return;
        m_first = Wide(a.digits) * powerOfTen(a.exponent - m_exponent);
        m_step = Wide(b.digits) * powerOfTen(b.exponent - m_exponent);
        m_exact = true;
    }

    double at(int k) const
    {
        if (!m_exact)
            return static_cast<double>(static_cast<long double>(k) * m_increment + m_start);
        const Wide sum = m_first + Wide(k) * m_step;
        // Digits and power of ten both exact in a double: one division or
        // multiplication rounds correctly, the usual case by far.
        constexpr Wide Exact = Wide(1) << 53;
        if (sum > -Exact && sum < Exact && m_exponent >= -22 && m_exponent <= 22) {
            const auto scale = static_cast<double>(powerOfTen(m_exponent < 0 ? -m_exponent : m_exponent));
            const auto digits = static_cast<double>(sum);
            return m_exponent < 0 ? digits / scale : digits * scale;
        }
        // Otherwise written out and read back: from_chars rounds correctly.
        char text[64];
        char *p = text + 48;
        Wide magnitude = sum < 0 ? -sum : sum;
        do {
            *--p = char('0' + int(magnitude % 10));
            magnitude /= 10;
        } while (magnitude != 0);
        if (sum < 0)
            *--p = '-';
        char *end = text + 48;
        *end++ = 'e';
        end = std::to_chars(end, text + sizeof text, m_exponent).ptr;
        double value = 0.0;
        std::from_chars(p, end, value);
        return value;
    }

private:
    double m_start;
    double m_increment;
    bool m_exact = false;
    Wide m_first = 0; // start and increment in units of 10^m_exponent
    Wide m_step = 0;
    int m_exponent = 0;
};

} // namespace

void SweepPlan::build(const GENERATOR_PARS &pars)
{
    m_masterClock = recordMasterClock(pars.MasterClockSource, pars.MasterClock);
    m_cycle = pars.CyclicAutoScanType == 1   ? SweepCycle::Saw
              : pars.CyclicAutoScanType == 2 ? SweepCycle::Triangle
                                             : SweepCycle::Single;
    // A cyclic scan forces automatic stepping and a SYNCOUT pulse at the end
    // of each scan, whatever the record's own fields say.
    const bool cyclic = m_cycle != SweepCycle::Single;
    m_ctrlStepping = !cyclic && pars.IncrementType == 1;
    const bool syncoutOn = cyclic || pars.EnaSyncout != 0;
    const std::uint8_t syncoutType = cyclic ? 1 : pars.SyncoutType;
    m_syncout = !syncoutOn            ? SyncoutPulses::None
                : syncoutType == 0    ? SyncoutPulses::EachIncrement
                : syncoutType == 1    ? SyncoutPulses::EndOfScan
                                      : SyncoutPulses::None;
    m_outputPeriodBase = pars.BaseIntervalType == 0;

    // The panel keeps these counts in range; a record from a file may not.
    // (Copied out first: the record is packed, so no reference to a field.)
    const int recordIncrements = pars.NumberOfIncrements;
    const int recordIntervals = pars.BaseIntervalsNumber;
    const int increments = std::min(recordIncrements, MaxNumberOfIncrements);
    const auto intervals =
        static_cast<std::uint16_t>(std::clamp(recordIntervals, MinBaseIntervalsNumber, MaxBaseIntervalsNumber));
    const double start = pars.StartFrequency;
    const double increment = pars.FrequencyIncrement;
    const DecimalSteps desired(start, increment);
    // The codes the panel shows the actual values of.
    m_startCode = frequencyCode(start, m_masterClock).code;
    m_incrementCode = GeneratorCalculations::incrementCode(increment, m_masterClock).code;

    // With the clock's period as base every step lasts the same; with the
    // output period the step lasts that many periods of its own frequency.
    const std::optional<double> clockDwell =
        incrementDuration(1, pars.BaseIntervalMultiplierIndex, intervals, m_masterClock);
    const bool multiplierKnown = pars.BaseIntervalMultiplierIndex < BaseIntervalMultipliers.size();
    const long double periods = multiplierKnown
                                    ? static_cast<long double>(BaseIntervalMultipliers[pars.BaseIntervalMultiplierIndex])
                                    : 0.0L;

    m_steps.resize(static_cast<std::size_t>(increments) + 1);
    m_summary = {};
    // Summed in long double: 4096 dwells add up without a visible error.
    long double time = 0.0L;
    bool timeKnown = !m_ctrlStepping;
    for (int k = 0; k <= increments; ++k) {
        SweepStep &s = m_steps[static_cast<std::size_t>(k)];
        s.index = k;
        s.desired = desired.at(k);
        const std::optional<FrequencyCode> step = sweepStepCode(m_startCode, m_incrementCode, k, m_masterClock);
        s.code = step ? step->code : m_startCode + k * m_incrementCode;
        s.outOfRange = !step;
        s.zeroFrequency = s.code == 0;
        s.produced.reset();
        s.errorPpm.reset();
        s.dwell.reset();
        s.time.reset();
        if (step) {
            s.produced = step->frequency;
            if (s.desired != 0.0)
                s.errorPpm = static_cast<double>((static_cast<long double>(*s.produced) - s.desired) / s.desired
                                                 * 1.0e6L);
        }
        if (!m_ctrlStepping) {
            if (pars.BaseIntervalType == 1) {
                s.dwell = clockDwell;
            } else if (m_outputPeriodBase && multiplierKnown && s.produced && *s.produced > 0.0) {
                // A step at 0 Hz never ends: it has no period to count.
                s.dwell = static_cast<double>(intervals * (periods / *s.produced));
            }
            if (timeKnown && pars.BaseIntervalType == 1 && clockDwell) {
                // k x intervals x multiplier clock periods, a whole number,
                // in one division: a time that is a short decimal comes out
                // as one (0.018 ms, not the running sum's
                // 0.018000000000000002).
                s.time = static_cast<double>(static_cast<long double>(k) * intervals * periods) / m_masterClock;
            } else if (timeKnown) {
                s.time = static_cast<double>(time);
            }
            if (timeKnown && s.dwell)
                time += *s.dwell;
            else
                timeKnown = false;
        }

        SweepSummary &m = m_summary;
        if (s.produced) {
            if (!m.lowestProduced || *s.produced < *m.lowestProduced)
                m.lowestProduced = s.produced;
            if (!m.highestProduced || *s.produced > *m.highestProduced)
                m.highestProduced = s.produced;
        }
        if (s.errorPpm && (!m.largestErrorPpm || std::fabs(*s.errorPpm) > std::fabs(*m.largestErrorPpm)))
            m.largestErrorPpm = s.errorPpm;
        m.zeroFrequencySteps += s.zeroFrequency;
        m.outOfRangeSteps += s.outOfRange;
        m.flaggedSteps += s.flagged();
    }

    if (timeKnown) {
        m_summary.scanTime = static_cast<double>(time);
        if (m_cycle == SweepCycle::Triangle) {
            // Back down: N-1 .. 1.
            long double back = 0.0L;
            for (int k = increments - 1; k >= 1; --k)
                back += *m_steps[static_cast<std::size_t>(k)].dwell;
            m_summary.cycleTime = static_cast<double>(time + back);
        } else if (m_cycle == SweepCycle::Saw) {
            m_summary.cycleTime = m_summary.scanTime;
        }
    }
}

std::vector<int> SweepPlan::cycleOrder() const
{
    const int last = static_cast<int>(m_steps.size()) - 1;
    std::vector<int> order;
    order.reserve(m_cycle == SweepCycle::Triangle ? 2 * m_steps.size() : m_steps.size());
    for (int k = 0; k <= last; ++k)
        order.push_back(k);
    if (m_cycle == SweepCycle::Triangle)
        for (int k = last - 1; k >= 1; --k)
            order.push_back(k);
    return order;
}

void SweepPlan::trace(int cycles, SweepTrace &out) const
{
    out.x.clear();
    out.produced.clear();
    out.desired.clear();
    out.producedRuns.clear();
    out.pulseX.clear();
    out.pulseY.clear();
    if (m_steps.empty())
        return;
    if (m_cycle == SweepCycle::Single || cycles < 1)
        cycles = 1;
    out.byTime = !m_ctrlStepping && m_summary.scanTime.has_value();

    const std::vector<int> order = cycleOrder();
    const int last = static_cast<int>(m_steps.size()) - 1;
    const std::size_t positions = order.size() * static_cast<std::size_t>(cycles);
    out.x.reserve(2 * positions);
    out.produced.reserve(2 * positions);
    out.desired.reserve(2 * positions);

    constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
    std::vector<double> pulses;
    double x = 0.0;
    int position = 0;
    for (int c = 0; c < cycles; ++c) {
        for (std::size_t p = 0; p < order.size(); ++p, ++position) {
            const SweepStep &s = m_steps[static_cast<std::size_t>(order[p])];
            const double end = out.byTime ? x + *s.dwell : x + 1.0;
            if (s.produced) {
                if (out.producedRuns.empty() || out.producedRuns.back().second != out.x.size())
                    out.producedRuns.emplace_back(out.x.size(), out.x.size());
                out.producedRuns.back().second += 2;
            }
            const double f = s.produced ? *s.produced : NaN;
            push2(out.x, x, end);
            push2(out.produced, f, f);
            push2(out.desired, s.desired, s.desired);
            if (m_syncout == SyncoutPulses::EachIncrement && position > 0)
                pulses.push_back(x);
            // The ends of the scan: step N going up, and the last step of
            // the way back down.
            const bool endOfLeg = p + 1 == order.size() || (m_cycle == SweepCycle::Triangle && order[p] == last);
            if (m_syncout == SyncoutPulses::EndOfScan && endOfLeg)
                pulses.push_back(end);
            x = end;
        }
    }
    if (m_syncout == SyncoutPulses::None)
        return;

    // The band lies below the lowest frequency drawn.
    double low = std::numeric_limits<double>::infinity();
    double high = -low;
    for (const std::vector<double> *v : {&out.produced, &out.desired})
        for (double y : *v)
            if (std::isfinite(y)) {
                low = std::min(low, y);
                high = std::max(high, y);
            }
    if (!std::isfinite(low)) {
        low = 0.0;
        high = 1.0;
    }
    double span = high - low;
    if (!(span > 0.0))
        span = std::max(std::fabs(high) * 0.1, 1.0);
    const double base = low - 0.12 * span;
    const double top = low - 0.04 * span;
    out.pulseX.reserve(3 * pulses.size() + 2);
    out.pulseY.reserve(3 * pulses.size() + 2);
    const auto point = [&out](double px, double py) {
        out.pulseX.push_back(px);
        out.pulseY.push_back(py);
    };
    point(0.0, base);
    for (double px : pulses) {
        point(px, base);
        point(px, top);
        point(px, base);
    }
    point(x, base);
}

// ---------------------------------------------------------------------------
// Texts

QString shortestNumberText(double value)
{
    if (value == 0.0)
        return QStringLiteral("0"); // never "-0"
    // Fixed notation where a spreadsheet's reader expects it (0.0007, not
    // 7e-04); beyond that range the exponent keeps the text short.
    const double magnitude = std::fabs(value);
    const auto format = magnitude >= 1e-5 && magnitude < 1e15 ? std::chars_format::fixed : std::chars_format::general;
    char buffer[48];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, format);
    return QString::fromLatin1(buffer, result.ptr - buffer);
}

QString sweepColumnTitle(SweepColumn column)
{
    switch (column) {
    case SweepColumn::Step:
        return QCoreApplication::translate("SweepPlan", "Шаг");
    case SweepColumn::Desired:
        return QCoreApplication::translate("SweepPlan", "Заданная частота (кГц)");
    case SweepColumn::Code:
        return QCoreApplication::translate("SweepPlan", "Код частоты");
    case SweepColumn::Produced:
        return QCoreApplication::translate("SweepPlan", "Реальная частота (кГц)");
    case SweepColumn::ErrorPpm:
        return QCoreApplication::translate("SweepPlan", "Ошибка (ppm)");
    case SweepColumn::Dwell:
        return QCoreApplication::translate("SweepPlan", "Длительность шага (мс)");
    case SweepColumn::Time:
        return QCoreApplication::translate("SweepPlan", "Время от начала (мс)");
    case SweepColumn::Flags:
        return QCoreApplication::translate("SweepPlan", "Отметки");
    }
    return {};
}

QString sweepCellText(const SweepStep &step, SweepColumn column)
{
    const auto optional = [](const std::optional<double> &v) { return v ? shortestNumberText(*v) : QString(); };
    switch (column) {
    case SweepColumn::Step:
        return QString::number(step.index);
    case SweepColumn::Desired:
        return shortestNumberText(step.desired);
    case SweepColumn::Code:
        return QString::number(step.code);
    case SweepColumn::Produced:
        return optional(step.produced);
    case SweepColumn::ErrorPpm:
        return optional(step.errorPpm);
    case SweepColumn::Dwell:
        return optional(step.dwell);
    case SweepColumn::Time:
        return optional(step.time);
    case SweepColumn::Flags: {
        // No comma here: the text goes into CSV as it is.
        QStringList flags;
        if (step.zeroFrequency)
            flags << QCoreApplication::translate("SweepPlan", "0 Гц");
        if (step.outOfRange)
            flags << QCoreApplication::translate("SweepPlan", "код вне 24 бит");
        return flags.join(QStringLiteral("; "));
    }
    }
    return {};
}

QString sweepCsv(const SweepPlan &plan)
{
    QString csv;
    csv.reserve(static_cast<qsizetype>(plan.steps().size()) * 96 + 160);
    for (int c = 0; c < SweepColumnCount; ++c) {
        if (c > 0)
            csv += QLatin1Char(',');
        csv += sweepColumnTitle(static_cast<SweepColumn>(c));
    }
    csv += QLatin1Char('\n');
    for (const SweepStep &step : plan.steps()) {
        for (int c = 0; c < SweepColumnCount; ++c) {
            if (c > 0)
                csv += QLatin1Char(',');
            csv += sweepCellText(step, static_cast<SweepColumn>(c));
        }
        csv += QLatin1Char('\n');
    }
    return csv;
}
