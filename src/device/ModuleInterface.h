#pragma once

#include <cstdint>

struct GENERATOR_PARS;

// The library's description of the attached module. The program passes it on
// and reads none of its fields.
struct ModuleDescription
{
    std::uint8_t Bytes[6517] = {};
};
static_assert(sizeof(ModuleDescription) == 6517);

// 32-bit result of a module operation: non-zero means success.
using ModuleResult = std::uint32_t;

// The module interface that the device library hands out. The order of the
// virtual operations is the library's binary interface: positions 0 to 26 of
// the table must stay where they are, so the positions the program never calls
// are kept as reserved entries. Released through ReleaseInterface(), never by
// delete.
class ModuleInterface
{
public:
    virtual ModuleResult OpenModule(std::uint16_t VirtualSlot) = 0;          // 0
    virtual ModuleResult CloseModule() = 0;                                  // 1
    virtual ModuleResult ReleaseInterface() = 0;                             // 2
    virtual ModuleResult Reserved3() { return 0; }                          // 3
    virtual ModuleResult GetModuleName(char *ModuleName) = 0;                // 4, buffer of at least 18 bytes
    virtual ModuleResult GetUsbSpeed(std::uint8_t *UsbSpeed) = 0;            // 5
    virtual ModuleResult Reserved6() { return 0; }                          // 6
    virtual ModuleResult Reserved7() { return 0; }                          // 7
    virtual ModuleResult Reserved8() { return 0; }                          // 8
    virtual ModuleResult SET_GENERATOR_PARS(GENERATOR_PARS *GeneratorPars) = 0; // 9
    virtual ModuleResult START_GENERATOR() = 0;                              // 10
    virtual ModuleResult STOP_GENERATOR() = 0;                               // 11
    virtual ModuleResult Reserved12() { return 0; }
    virtual ModuleResult Reserved13() { return 0; }
    virtual ModuleResult Reserved14() { return 0; }
    virtual ModuleResult Reserved15() { return 0; }
    virtual ModuleResult Reserved16() { return 0; }
    virtual ModuleResult Reserved17() { return 0; }
    virtual ModuleResult Reserved18() { return 0; }
    virtual ModuleResult Reserved19() { return 0; }
    virtual ModuleResult Reserved20() { return 0; }
    virtual ModuleResult Reserved21() { return 0; }
    virtual ModuleResult Reserved22() { return 0; }
    virtual ModuleResult Reserved23() { return 0; }
    virtual ModuleResult Reserved24() { return 0; }
    virtual ModuleResult Reserved25() { return 0; }
    virtual ModuleResult GET_MODULE_DESCRIPTION(ModuleDescription *Description) = 0; // 26

protected:
    ModuleInterface() = default;
    ~ModuleInterface() = default;
    ModuleInterface(const ModuleInterface &) = default;
    ModuleInterface &operator=(const ModuleInterface &) = default;
};

// The two functions that the device library exports.
extern "C" {
using GetLibraryVersionFunction = std::uint32_t (*)();
using CreateModuleInterfaceFunction = ModuleInterface *(*)(const char *ModuleName);
}

// The version the program accepts: major 3 in the high half, minor 4 in the low.
inline constexpr std::uint32_t RequiredLibraryVersion = 0x00030004;
