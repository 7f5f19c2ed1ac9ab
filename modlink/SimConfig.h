#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace modlink {

// The module operations that the configuration can make fail or throw.
enum class Operation : unsigned {
    OpenModule,
    CloseModule,
    GetModuleName,
    GetUsbSpeed,
    SetGeneratorPars,
    StartGenerator,
    StopGenerator,
    GetModuleDescription,
};

const char *operationName(Operation operation);

// How the simulated modules behave, read from the environment variable
// MODLINK_SIM and, at every call, from the file MODLINK_SIM_FILE names (its
// entries come after the variable's): entries separated by semicolons or line
// ends, blanks around an entry ignored. A missing file counts as empty.
//   slot=N            one module, at virtual slot N (0..65535), default 0
//   slots=N[,N...]    a module at each of these slots
//   unplugged=N[,N...] or unplugged=all
//                     these modules are gone: every call on them fails, and
//                     their generators lose their state
//   name=TEXT         the name GetModuleName reports (up to 17 bytes), "G-740"
//   speed=N           the USB speed code reported (0..255), default 1
//   version=MAJ.MIN   the library version reported, default 3.4
//   factory=null      CreateModuleInterface gives null
//   nomodule          no slot opens
//   fail=OP[,OP...]   these operations return 0
//   throw=OP[,OP...]  these operations throw std::runtime_error
// OP is one of OpenModule, CloseModule, GetModuleName, GetUsbSpeed,
// SET_GENERATOR_PARS, START_GENERATOR, STOP_GENERATOR, GET_MODULE_DESCRIPTION.
struct SimConfig
{
    bool valid = true;
    std::string error; // the bad entry and what is wrong with it, when !valid

    std::vector<std::uint16_t> slots{0};
    std::vector<std::uint16_t> unplugged;
    bool allUnplugged = false;
    bool moduleAttached = true;
    std::string name = "G-740";
    std::uint8_t speed = 1;
    std::uint32_t version = 0x00030004;
    bool factoryNull = false;
    std::uint32_t failing = 0;  // one bit per Operation
    std::uint32_t throwing = 0; // one bit per Operation

    bool fails(Operation operation) const;
    bool throws(Operation operation) const;
    // Whether a module sits at slot and is plugged in.
    bool present(std::uint16_t slot) const;
};

SimConfig parseSimConfig(std::string_view text);

// The configuration in force now. A malformed one is reported on stderr, once
// for each distinct text, and comes back with valid == false.
SimConfig currentSimConfig();

} // namespace modlink
