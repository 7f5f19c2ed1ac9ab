#include "generator/GeneratorCalculations.h"

#include "runtime/NumberFormat.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace GeneratorCalculations {

namespace {

constexpr long double Scale = FrequencyScale;

// The reciprocal of 255 is a constant of the offset arithmetic.
constexpr long double InverseOf255 = 1.0L / 255.0L;

// The square root of 0.6, cut after 14 decimals as the hardware's reference.
constexpr long double SqrtOf0_6 = 0.77459666924148L;

// Whole-number text as parseInt reads it: blanks (space, tab) around an
// optional sign and decimal digits only. Any other white space makes the text
// no whole number, as it does for parseInt.
QStringView trimmedBlanks(QStringView text)
{
    const auto blank = [](QChar c) { return c == u' ' || c == u'\t'; };
    while (!text.isEmpty() && blank(text.front()))
        text = text.mid(1);
    while (!text.isEmpty() && blank(text.back()))
        text.chop(1);
    return text;
}

bool isWholeNumberText(QStringView text)
{
    text = trimmedBlanks(text);
    if (text.startsWith(u'+') || text.startsWith(u'-'))
        text = text.mid(1);
    if (text.isEmpty())
        return false;
    for (QChar c : text) {
        if (c < u'0' || c > u'9')
            return false;
    }
    return true;
}

AmplitudeTables makeAmplitudeTables()
{
    AmplitudeTables t{};
    t.AmplitudeAt0dB = static_cast<double>(std::sqrt(2.0L) * SqrtOf0_6);
    for (std::size_t i = 0; i < GainTable.size(); ++i) {
        t.Output10OhmAmplitudedB[i] = GainTable[i];
        t.Output50OhmAmplitudedB[i] = GainTable[i] - 6.0;
        t.Output10OhmAmplitudeV[i] = static_cast<double>(
            std::pow(10.0L, 0.05L * t.Output10OhmAmplitudedB[i]) * t.AmplitudeAt0dB);
        t.Output50OhmAmplitudeV[i] = static_cast<double>(
            std::pow(10.0L, 0.05L * t.Output50OhmAmplitudedB[i]) * t.AmplitudeAt0dB);
    }
    return t;
}

} // namespace

const AmplitudeTables &amplitudeTables()
{
    static const AmplitudeTables tables = makeAmplitudeTables();
    return tables;
}

std::int64_t truncateToInt64(long double value)
{
    constexpr long double limit = 9223372036854775808.0L; // 2^63
    if (std::isnan(value))
        return 0;
    if (value >= limit)
        return std::numeric_limits<std::int64_t>::max();
    if (value <= -limit)
        return std::numeric_limits<std::int64_t>::min();
    return static_cast<std::int64_t>(value);
}

std::uint16_t low16OfTruncated(double value)
{
    return static_cast<std::uint16_t>(static_cast<std::uint64_t>(truncateToInt64(value)) & 0xFFFFu);
}

std::int64_t unboundedFrequencyCode(double desired, double masterClock)
{
    if (std::signbit(desired))
        return -unboundedFrequencyCode(-desired, masterClock);
    return truncateToInt64(static_cast<long double>(desired) / masterClock * Scale + 0.5L);
}

double codeFrequency(std::int64_t code, double masterClock)
{
    return static_cast<double>(static_cast<long double>(code) * masterClock / Scale);
}

FrequencyCode frequencyCode(double desired, double masterClock)
{
    // Below 0 the unbounded code is negative too, so the bound gives 0.
    std::int64_t code = unboundedFrequencyCode(desired, masterClock);
    if (code < 0)
        code = 0;
    else if (code > static_cast<std::int64_t>(FrequencyScale))
        code = FrequencyScale;
    return {code, codeFrequency(code, masterClock)};
}

FrequencyCode incrementCode(double desired, double masterClock)
{
    if (!std::signbit(desired))
        return frequencyCode(desired, masterClock);
    const std::int64_t code = -frequencyCode(-desired, masterClock).code;
    return {code, codeFrequency(code, masterClock)};
}

double acceptMasterClock(double value)
{
    if (!(value >= MinExternalMasterClock))
        return MinExternalMasterClock;
    if (value > MaxExternalMasterClock)
        return MaxExternalMasterClock;
    return value;
}

double recordMasterClock(std::uint8_t source, double recordClock)
{
    return source == 1 ? acceptMasterClock(recordClock) : InternalMasterClock;
}

bool isEmptySignedText(QStringView text)
{
    return text.isEmpty() || text == u"-";
}

std::optional<std::int64_t> parseCount(QStringView text)
{
    try {
        return parseInt(text);
    } catch (const ConversionError &) {
        if (!isWholeNumberText(text))
            return std::nullopt;
        // Digits beyond 32 bits: as large as a count can be, with its sign.
        return trimmedBlanks(text).startsWith(u'-') ? std::numeric_limits<std::int64_t>::min()
                                               : std::numeric_limits<std::int64_t>::max();
    }
}

std::uint16_t numberOfIncrements(QStringView text)
{
    const std::optional<std::int64_t> parsed = parseCount(text);
    if (!parsed)
        return 1;
    const std::int64_t value = *parsed;
    // The magnitude, without negating the smallest value.
    const bool large = value > MaxNumberOfIncrements || value < -MaxNumberOfIncrements;
    return static_cast<std::uint16_t>(large ? MaxNumberOfIncrements : (value < 0 ? -value : value));
}

std::uint16_t baseIntervalsNumber(QStringView text)
{
    const std::optional<std::int64_t> parsed = parseCount(text);
    if (!parsed)
        return MinBaseIntervalsNumber;
    const std::int64_t value = *parsed;
    // Compared as unsigned numbers, a negative count is a large one.
    if (value < 0 || value >= MaxBaseIntervalsNumber)
        return MaxBaseIntervalsNumber;
    if (value < MinBaseIntervalsNumber)
        return MinBaseIntervalsNumber;
    return static_cast<std::uint16_t>(value);
}

std::optional<FrequencyCode> sweepStepCode(std::int64_t startCode, std::int64_t incrementCode, int step,
                                           double masterClock)
{
    // Codes bounded to 2^24 and at most 4095 steps: no overflow on the way.
    const std::int64_t code = startCode + std::int64_t(step) * incrementCode;
    if (code < 0)
        return std::nullopt;
    const std::int64_t bounded = std::min<std::int64_t>(code, FrequencyScale);
    return FrequencyCode{bounded, codeFrequency(bounded, masterClock)};
}

std::optional<double> finalFrequency(std::optional<double> actualStart, std::optional<double> actualIncrement,
                                     std::uint16_t numberOfIncrements, double masterClock)
{
    if (!actualStart || !actualIncrement || *actualStart < 0)
        return std::nullopt;
    const std::optional<FrequencyCode> last =
        sweepStepCode(frequencyCode(*actualStart, masterClock).code, incrementCode(*actualIncrement, masterClock).code,
                      numberOfIncrements, masterClock);
    if (!last)
        return std::nullopt;
    return last->frequency;
}

std::optional<double> incrementDuration(std::uint8_t baseIntervalType, std::uint8_t multiplierIndex,
                                        std::uint16_t baseIntervalsNumber, double masterClock)
{
    if (baseIntervalType != 1 || multiplierIndex >= BaseIntervalMultipliers.size())
        return std::nullopt;
    const long double period = static_cast<long double>(BaseIntervalMultipliers[multiplierIndex]) / masterClock;
    const double duration = static_cast<double>(baseIntervalsNumber * period);
    if (!std::isfinite(duration))
        return std::nullopt;
    return duration;
}

OffsetCode offsetCode(double desired)
{
    const long double x = (static_cast<long double>(desired) + 4.0L) * 255.0L * 0.125L + 0.5L;
    std::int64_t code = truncateToInt64(x);
    if (code < 0)
        code = 0;
    else if (code > MaxOffsetCode)
        code = MaxOffsetCode;
    const long double offset = static_cast<long double>(code) * 8.0L * InverseOf255 - 4.0L;
    return {static_cast<int>(code), static_cast<double>(offset)};
}

double effectiveMasterClock(const GENERATOR_PARS &pars)
{
    return pars.MasterClockSource == 1 ? acceptMasterClock(pars.MasterClock) : InternalMasterClock;
}

ActualValues actualValues(const GENERATOR_PARS &pars)
{
    ActualValues v{};
    v.masterClock = effectiveMasterClock(pars);
    v.startFrequency = frequencyCode(pars.StartFrequency, v.masterClock).frequency;
    v.frequencyIncrement = incrementCode(pars.FrequencyIncrement, v.masterClock).frequency;
    v.finalFrequency = finalFrequency(v.startFrequency, v.frequencyIncrement, pars.NumberOfIncrements, v.masterClock);
    v.incrementDuration = incrementDuration(pars.BaseIntervalType, pars.BaseIntervalMultiplierIndex,
                                            pars.BaseIntervalsNumber, v.masterClock);
    if (pars.AnalogOutputsGainIndex < GainTable.size()) {
        const AmplitudeTables &t = amplitudeTables();
        v.output10OhmV = t.Output10OhmAmplitudeV[pars.AnalogOutputsGainIndex];
        v.output10OhmdB = t.Output10OhmAmplitudedB[pars.AnalogOutputsGainIndex];
        v.output50OhmV = t.Output50OhmAmplitudeV[pars.AnalogOutputsGainIndex];
        v.output50OhmdB = t.Output50OhmAmplitudedB[pars.AnalogOutputsGainIndex];
    }
    v.offset = offsetCode(pars.Output10OhmOffset).offset;
    return v;
}

QString notAvailableText()
{
    return QStringLiteral("-----");
}

QString frequencyText(std::optional<double> value)
{
    return value ? formatFloat(u"0.0000", *value) : notAvailableText();
}

QString internalMasterClockText(double value)
{
    return formatFloat(u"0.00", value);
}

QString appliedMasterClockText(double value)
{
    return formatFloat(u"0.00", value);
}

QString acceptedMasterClockText(double value)
{
    return formatFloat(u"0.0", value);
}

QString countText(int value)
{
    return formatFloat(u"0", value);
}

QString durationText(std::optional<double> value)
{
    return value ? formatFloat(u"0.00000", *value) : notAvailableText();
}

QString offsetText(double value)
{
    return formatFloat(u"0.000", value);
}

QString desiredOffsetText(double value)
{
    return formatGeneral(value);
}

QString gainText(int gainIndex)
{
    if (gainIndex < 0 || gainIndex >= static_cast<int>(GainTable.size()))
        return notAvailableText();
    return formatGeneral(GainTable[gainIndex]);
}

AmplitudeTexts amplitudeTexts(int gainIndex)
{
    if (gainIndex < 0 || gainIndex >= static_cast<int>(GainTable.size()))
        return {notAvailableText(), notAvailableText(), notAvailableText(), notAvailableText()};
    const AmplitudeTables &t = amplitudeTables();
    return {formatFloat(u"0.000", t.Output10OhmAmplitudeV[gainIndex]),
            formatFloat(u"0.0", t.Output10OhmAmplitudedB[gainIndex]),
            formatFloat(u"0.000", t.Output50OhmAmplitudeV[gainIndex]),
            formatFloat(u"0.0", t.Output50OhmAmplitudedB[gainIndex])};
}

} // namespace GeneratorCalculations
