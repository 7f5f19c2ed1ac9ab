#pragma once

#include <cstdint>
#include <string>
#include <string_view>

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

// How the simulated module behaves, read from the environment variable
// MODLINK_SIM: semicolon-separated entries, blanks around an entry ignored.
//   slot=N            the module sits at virtual slot N (0..65535), default 0
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

    std::uint16_t slot = 0;
    bool moduleAttached = true;
    std::string name = "G-740";
    std::uint8_t speed = 1;
    std::uint32_t version = 0x00030004;
    bool factoryNull = false;
    std::uint32_t failing = 0;  // one bit per Operation
    std::uint32_t throwing = 0; // one bit per Operation

    bool fails(Operation operation) const;
    bool throws(Operation operation) const;
};

SimConfig parseSimConfig(std::string_view text);

// The configuration in force now. A malformed one is reported on stderr, once
// for each distinct text, and comes back with valid == false.
SimConfig currentSimConfig();

} // namespace modlink
