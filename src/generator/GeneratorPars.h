#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>

// The generator parameter record, exactly as the device library reads it:
// byte-packed, little-endian, 123 bytes. Desired values and enumerations only.
// Every field starts zeroed, so a record the program creates is all zero bytes.
//
// The record is packed: copy fields by value; never bind a pointer or a
// reference to a single field (it may be misaligned).
#pragma pack(push, 1)
struct GENERATOR_PARS
{
    std::uint8_t LibraryOwned1[4] = {};        // carried untouched
    double StartFrequency = 0.0;               // kHz, as typed
    std::uint8_t LibraryOwned2[8] = {};
    double FrequencyIncrement = 0.0;           // kHz, as typed; may be negative
    std::uint16_t NumberOfIncrements = 0;      // 0..4095
    std::uint8_t BaseIntervalType = 0;         // 0 output period, 1 master clock period
    std::uint8_t BaseIntervalMultiplierIndex = 0; // 0..3: x1, x5, x100, x500
    std::uint8_t LibraryOwned3[8] = {};
    std::uint16_t BaseIntervalsNumber = 0;     // 2..2047
    std::uint8_t LibraryOwned4[8] = {};
    double MasterClock = 0.0;                  // kHz
    std::uint8_t MasterClockSource = 0;        // 0 internal, 1 external
    std::uint8_t CyclicAutoScanType = 0;       // 0 none, 1 saw, 2 triangle
    std::uint8_t IncrementType = 0;            // 0 automatic, 1 by the CTRL line
    std::uint8_t CtrlLineType = 0;             // 0 internal, 1 external
    std::uint8_t InterrupLineType = 0;         // 0 internal, 1 external
    std::uint32_t EnaSquareWaveOutput = 0;     // bool32
    std::uint32_t EnaSyncout = 0;              // bool32
    std::uint8_t SyncoutType = 0;              // 0 at each increment, 1 at the end of the scan
    std::uint8_t AnalogOutputsType = 0;        // 0 triangle, 1 sine
    std::uint8_t AnalogOutputsGainIndex = 0;   // 0..13
    std::uint8_t LibraryOwned5[24] = {};
    double Output10OhmOffset = 0.0;            // V, as typed
    std::uint8_t Output10OhmOffsetType = 0;    // 0 internal, 1 external
    std::uint8_t LibraryOwned6[16] = {};
};
#pragma pack(pop)

static_assert(std::endian::native == std::endian::little, "the record is little-endian");
static_assert(sizeof(double) == 8 && sizeof(GENERATOR_PARS) == 123);
static_assert(offsetof(GENERATOR_PARS, LibraryOwned1) == 0);
static_assert(offsetof(GENERATOR_PARS, StartFrequency) == 4);
static_assert(offsetof(GENERATOR_PARS, LibraryOwned2) == 12);
static_assert(offsetof(GENERATOR_PARS, FrequencyIncrement) == 20);
static_assert(offsetof(GENERATOR_PARS, NumberOfIncrements) == 28);
static_assert(offsetof(GENERATOR_PARS, BaseIntervalType) == 30);
static_assert(offsetof(GENERATOR_PARS, BaseIntervalMultiplierIndex) == 31);
static_assert(offsetof(GENERATOR_PARS, LibraryOwned3) == 32);
static_assert(offsetof(GENERATOR_PARS, BaseIntervalsNumber) == 40);
static_assert(offsetof(GENERATOR_PARS, LibraryOwned4) == 42);
static_assert(offsetof(GENERATOR_PARS, MasterClock) == 50);
static_assert(offsetof(GENERATOR_PARS, MasterClockSource) == 58);
static_assert(offsetof(GENERATOR_PARS, CyclicAutoScanType) == 59);
static_assert(offsetof(GENERATOR_PARS, IncrementType) == 60);
static_assert(offsetof(GENERATOR_PARS, CtrlLineType) == 61);
static_assert(offsetof(GENERATOR_PARS, InterrupLineType) == 62);
static_assert(offsetof(GENERATOR_PARS, EnaSquareWaveOutput) == 63);
static_assert(offsetof(GENERATOR_PARS, EnaSyncout) == 67);
static_assert(offsetof(GENERATOR_PARS, SyncoutType) == 71);
static_assert(offsetof(GENERATOR_PARS, AnalogOutputsType) == 72);
static_assert(offsetof(GENERATOR_PARS, AnalogOutputsGainIndex) == 73);
static_assert(offsetof(GENERATOR_PARS, LibraryOwned5) == 74);
static_assert(offsetof(GENERATOR_PARS, Output10OhmOffset) == 98);
static_assert(offsetof(GENERATOR_PARS, Output10OhmOffsetType) == 106);
static_assert(offsetof(GENERATOR_PARS, LibraryOwned6) == 107);
