#pragma once

#include "generator/GeneratorPars.h"

#include <QString>
#include <QStringView>

#include <array>
#include <cstdint>
#include <limits>
#include <optional>

// What the G-740 hardware makes of the desired values: the 24-bit frequency
// word against the master clock, whole numbers of base intervals, the 8-bit
// offset code, and the texts the panel shows for them. No widgets here.
//
// Each calculation runs its steps in long double and stores a double; every
// conversion to an integer truncates toward zero and is guarded, so an
// infinite, NaN or far out-of-range value gives the clamped result.
namespace GeneratorCalculations {

inline constexpr std::uint32_t FrequencyScale = 16777216; // 2^24
inline constexpr double MinExternalMasterClock = 1.0;     // kHz
inline constexpr double MaxExternalMasterClock = 50000.0; // kHz
inline constexpr double InternalMasterClock = 50000.0;    // kHz
// The panel keeps a desired frequency, increment or offset as typed (or
// pasted) and shows what the hardware makes of it, so every finite number is
// a value it accepts and saves.
inline constexpr double MaxTypedValue = std::numeric_limits<double>::max();
// Stands in for an actual value that cannot be worked out.
inline constexpr double NotAvailableMarker = -10.0;

inline constexpr std::array<double, 4> BaseIntervalMultipliers = {1.0, 5.0, 100.0, 500.0};
inline constexpr std::array<double, 14> GainTable = {10, 6, 4, 3, 0, -2, -3, -6, -9, -12, -14, -18, -21, -24};

inline constexpr int MaxNumberOfIncrements = 4095;
inline constexpr int MinBaseIntervalsNumber = 2;
inline constexpr int MaxBaseIntervalsNumber = 2047;
inline constexpr int MaxOffsetCode = 255;

struct AmplitudeTables
{
    double AmplitudeAt0dB; // V
    std::array<double, GainTable.size()> Output10OhmAmplitudedB;
    std::array<double, GainTable.size()> Output50OhmAmplitudedB;
    std::array<double, GainTable.size()> Output10OhmAmplitudeV;
    std::array<double, GainTable.size()> Output50OhmAmplitudeV;
};
// Worked out once, on first use.
const AmplitudeTables &amplitudeTables();

// Truncates toward zero; NaN gives 0, values beyond the range give its ends.
std::int64_t truncateToInt64(long double value);
// A typed count as the record keeps it: truncated, then its low 16 bits.
std::uint16_t low16OfTruncated(double value);

// A frequency code and the frequency the hardware produces with it.
struct FrequencyCode
{
    std::int64_t code;
    double frequency; // kHz
};

// The code of a frequency before any bound: rounded half up, a negative
// frequency as its magnitude with its sign. The sweep plan needs it to see a
// step leave the hardware's range.
std::int64_t unboundedFrequencyCode(double desired, double masterClock);
// The frequency a code stands for: code x clock / 2^24, the product first.
double codeFrequency(std::int64_t code, double masterClock);

// Start and final frequencies: the code is rounded half up and bounded to
// 0 .. FrequencyScale; a desired frequency below 0 is brought up to code 0.
FrequencyCode frequencyCode(double desired, double masterClock);
// The increment may be negative (a downward sweep): its code is the code of
// its magnitude with its sign, so -50 gives -(code of 50).
FrequencyCode incrementCode(double desired, double masterClock);

// The accepted external master clock: below 1.0 (or unordered) gives 1.0,
// above 50000.0 gives 50000.0.
double acceptMasterClock(double value);
// The clock a record runs on: the internal one unless the external source
// (1) is chosen, then the record's clock as accepted.
double recordMasterClock(std::uint8_t source, double recordClock);

// An increment or offset field holding only "-" is still being typed.
bool isEmptySignedText(QStringView text);

// Parses a number of increments or base intervals as typed. A whole number
// too long for 32 bits counts as large; text that is no whole number at all
// gives no value.
std::optional<std::int64_t> parseCount(QStringView text);
// Empty or no whole number gives 1; the magnitude is bounded to 4095.
std::uint16_t numberOfIncrements(QStringView text);
// Empty or no whole number gives 2; the value is bounded to 2 .. 2047 with a
// negative one counting as large.
std::uint16_t baseIntervalsNumber(QStringView text);

// Step k of a sweep, the one rule of the panel's final frequency and the
// sweep plan: the start's code plus k increment codes, brought down to the
// top code 2^24 as frequencyCode does. None below 0 kHz, where the hardware
// has no frequency to give.
std::optional<FrequencyCode> sweepStepCode(std::int64_t startCode, std::int64_t incrementCode, int step,
                                           double masterClock);

// The last frequency of the sweep, from the actual start and increment, by
// sweepStepCode. Not available when either is not, or when the sweep runs
// below 0 kHz.
std::optional<double> finalFrequency(std::optional<double> actualStart, std::optional<double> actualIncrement,
                                     std::uint16_t numberOfIncrements, double masterClock);

// Total duration of one increment in ms. Only a multiple of the master clock
// period (type 1) has a fixed duration; a multiplier index outside the table
// gives none either.
std::optional<double> incrementDuration(std::uint8_t baseIntervalType, std::uint8_t multiplierIndex,
                                        std::uint16_t baseIntervalsNumber, double masterClock);

struct OffsetCode
{
    int code;      // 0 .. 255
    double offset; // V
};
OffsetCode offsetCode(double desired);

// The clock the hardware runs on: the internal 50000 kHz with the internal
// source, whatever the record's clock field says; the accepted external clock
// otherwise.
double effectiveMasterClock(const GENERATOR_PARS &pars);

// What the hardware makes of a record. Not available: a final frequency of a
// sweep that runs below 0 kHz, a duration that is not fixed (an output-period
// base interval) and the amplitudes of a gain index outside the table.
struct ActualValues
{
    double masterClock;                     // kHz
    double startFrequency;                  // kHz
    double frequencyIncrement;              // kHz, signed
    std::optional<double> finalFrequency;   // kHz
    std::optional<double> incrementDuration; // ms, of one increment when the module steps by itself
    std::optional<double> output10OhmV;     // amplitude
    std::optional<double> output10OhmdB;
    std::optional<double> output50OhmV;
    std::optional<double> output50OhmdB;
    double offset;                          // V, the internal offset's actual value
};
ActualValues actualValues(const GENERATOR_PARS &pars);

// Display texts.
QString notAvailableText();                            // "-----"
QString frequencyText(std::optional<double> value);    // "0.0000"
QString internalMasterClockText(double value);         // "0.00"
QString appliedMasterClockText(double value);          // "0.00"
QString acceptedMasterClockText(double value);         // "0.0"
QString countText(int value);                          // "0"
QString durationText(std::optional<double> value);     // "0.00000"
QString offsetText(double value);                      // "0.000"
QString desiredOffsetText(double value);               // shortest general form
QString gainText(int gainIndex);                       // shortest general form

struct AmplitudeTexts
{
    QString output10OhmV;
    QString output10OhmdB;
    QString output50OhmV;
    QString output50OhmdB;
};
// A gain index outside the table shows "-----" everywhere.
AmplitudeTexts amplitudeTexts(int gainIndex);

} // namespace GeneratorCalculations
