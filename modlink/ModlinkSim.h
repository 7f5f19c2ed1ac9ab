#pragma once

// Test-only functions of the stand-in device library. They let a test look
// into the simulated module without going through the module interface.
// Tests resolve them at run time with QLibrary from the same libModlink.so
// that the program loads, so they see the same simulated module:
//
//     auto callLog = reinterpret_cast<ModlinkSimCallLogFunction>(
//         library.resolve("ModlinkSimCallLog"));
//
// Every function is called on the thread that makes the library calls.

#define MODLINK_EXPORT __attribute__((visibility("default")))

extern "C" {

// The calls made since the last reset, comma-separated, in order, e.g.
// "GetLibraryVersion,CreateModuleInterface,OpenModule(0),GetModuleName,
// GetUsbSpeed,GET_MODULE_DESCRIPTION". Failed and throwing calls are logged
// too. Names: GetLibraryVersion, CreateModuleInterface, OpenModule(N),
// CloseModule, ReleaseInterface, GetModuleName, GetUsbSpeed,
// SET_GENERATOR_PARS, START_GENERATOR, STOP_GENERATOR, GET_MODULE_DESCRIPTION.
// The text stays valid until the next call of ModlinkSimCallLog or
// ModlinkSimResetCallLog.
MODLINK_EXPORT const char *ModlinkSimCallLog();

// Empties the call log.
MODLINK_EXPORT void ModlinkSimResetCallLog();

// Copies the last record that SET_GENERATOR_PARS accepted (123 bytes) into
// out123 and returns 1; returns 0 and leaves out123 alone when no record was
// accepted since the module interface was created. The simulated module keeps
// its state (record, running) after ReleaseInterface, until the next
// successful CreateModuleInterface.
MODLINK_EXPORT int ModlinkSimLastGeneratorPars(void *out123);

// 1 while the simulated generator runs (a successful START_GENERATOR not yet
// followed by a successful STOP_GENERATOR), otherwise 0.
MODLINK_EXPORT int ModlinkSimGeneratorRunning();

using ModlinkSimCallLogFunction = const char *(*)();
using ModlinkSimResetCallLogFunction = void (*)();
using ModlinkSimLastGeneratorParsFunction = int (*)(void *);
using ModlinkSimGeneratorRunningFunction = int (*)();
}
