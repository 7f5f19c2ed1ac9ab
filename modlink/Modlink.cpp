// The stand-in for the maker's closed device library: a simulated G-740
// behind the same two exported functions and module interface, configured
// through MODLINK_SIM (see SimConfig.h). A module opened by one interface is
// busy for every other interface, in this process or another, until that one
// closes it or its process ends, as a USB device held by another program: an
// flock on a file per slot, in MODLINK_SIM_LOCKS (default
// /tmp/modlink-sim-UID), which the kernel drops with the process.

#include "ModlinkSim.h"
#include "SimConfig.h"

#include "device/ModuleInterface.h"
#include "generator/GeneratorPars.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <stdexcept>
#include <string>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

using modlink::Operation;
using modlink::SimConfig;

namespace {

// The simulated hardware outlives the interface objects, as a real module
// does; a new interface starts it afresh.
struct Hardware
{
    bool hasPars = false;
    GENERATOR_PARS pars;
    bool running = false;
};

std::mutex stateMutex;
Hardware hardware;
std::string callLog;
std::string callLogSnapshot;

void logCall(const std::string &call)
{
    const std::lock_guard lock(stateMutex);
    if (!callLog.empty())
        callLog += ',';
    callLog += call;
}

// The description record's layout, the simulator's own:
//   0  "G740" magic            4  uint16 layout version (1)
//   6  char[18] module name   24  char[16] serial number
//  40  uint16 firmware major  42  uint16 firmware minor
//  44  double clock, kHz      52  uint16 slot   54  uint8 USB speed code
//  64  char[] free text, zero-terminated; the rest is zero.
void fillDescription(ModuleDescription &description, const SimConfig &config, std::uint16_t slot)
{
    auto put = [&description](std::size_t offset, const void *data, std::size_t size) {
        std::memcpy(description.Bytes + offset, data, size);
    };
    description = ModuleDescription();
    put(0, "G740", 4);
    const std::uint16_t layout = 1, firmwareMajor = 2, firmwareMinor = 7;
    put(4, &layout, 2);
    put(6, config.name.c_str(), config.name.size());
    const std::string serial = "740-" + std::to_string(10000 + slot);
    put(24, serial.c_str(), std::min<std::size_t>(serial.size(), 15));
    put(40, &firmwareMajor, 2);
    put(42, &firmwareMinor, 2);
    const double clock = 50000.0;
    put(44, &clock, 8);
    put(52, &slot, 2);
    put(54, &config.speed, 1);
    const std::string text = "Simulated G-740 frequency sweep generator, serial " + serial + ", firmware 2.7";
    put(64, text.c_str(), text.size());
}

std::string lockDirectory()
{
    if (const char *directory = std::getenv("MODLINK_SIM_LOCKS"); directory && *directory)
        return directory;
    return "/tmp/modlink-sim-" + std::to_string(::getuid());
}

// The claim of one interface on one slot; -1 when it holds none.
class SlotClaim
{
public:
    SlotClaim() = default;
    SlotClaim(const SlotClaim &) = delete;
    SlotClaim &operator=(const SlotClaim &) = delete;
    ~SlotClaim() { release(); }

    // False when another interface holds the slot (or no lock file can be
    // made, which a real driver would report as a failed open as well).
    bool take(std::uint16_t slot)
    {
        release();
        const std::string directory = lockDirectory();
        // Each folder of the path, as mkdir -p does; existing ones stay.
        for (std::size_t end = directory.find('/', 1); ; end = directory.find('/', end + 1)) {
            ::mkdir(directory.substr(0, end).c_str(), 0700);
            if (end == std::string::npos)
                break;
        }
        const std::string path = directory + "/slot-" + std::to_string(slot);
        const int fd = ::open(path.c_str(), O_RDONLY | O_CREAT | O_CLOEXEC, 0600);
        if (fd < 0)
            return false;
        if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
            ::close(fd);
            return false;
        }
        m_fd = fd;
        return true;
    }

    void release()
    {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = -1;
    }

private:
    int m_fd = -1;
};

bool inRange(double value, double low, double high)
{
    return std::isfinite(value) && value >= low && value <= high;
}

// The checks a real module makes before it takes a record: every enumeration
// in its range, and numbers that can be turned into register values.
bool acceptable(const GENERATOR_PARS &pars)
{
    return pars.NumberOfIncrements <= 4095 && pars.BaseIntervalType <= 1 && pars.BaseIntervalMultiplierIndex <= 3
        && pars.BaseIntervalsNumber >= 2 && pars.BaseIntervalsNumber <= 2047
        && inRange(pars.MasterClock, 1.0, 50000.0) && pars.MasterClockSource <= 1 && pars.CyclicAutoScanType <= 2
        && pars.IncrementType <= 1 && pars.CtrlLineType <= 1 && pars.InterrupLineType <= 1 && pars.SyncoutType <= 1
        && pars.AnalogOutputsType <= 1 && pars.AnalogOutputsGainIndex <= 13 && pars.Output10OhmOffsetType <= 1
        && std::isfinite(pars.StartFrequency) && std::isfinite(pars.FrequencyIncrement)
        && std::isfinite(pars.Output10OhmOffset);
}

class SimModule final : public ModuleInterface
{
public:
    ModuleResult OpenModule(std::uint16_t VirtualSlot) override
    {
        logCall("OpenModule(" + std::to_string(VirtualSlot) + ")");
        const SimConfig config = modlink::currentSimConfig();
        if (!admitted(config, Operation::OpenModule))
            return 0;
        close();
        if (!config.present(VirtualSlot) || !m_claim.take(VirtualSlot))
            return 0;
        m_open = true;
        m_slot = VirtualSlot;
        return 1;
    }

    ModuleResult CloseModule() override
    {
        logCall("CloseModule");
        const SimConfig config = modlink::currentSimConfig();
        if (!admitted(config, Operation::CloseModule))
            return 0;
        // A vanished module's handle is gone all the same.
        const bool answered = attached(config);
        close();
        return answered;
    }

    ModuleResult ReleaseInterface() override
    {
        logCall("ReleaseInterface");
        const bool valid = modlink::currentSimConfig().valid;
        // Freed even by a broken library: the caller never uses it again.
        delete this;
        return valid;
    }

    ModuleResult GetModuleName(char *ModuleName) override
    {
        logCall("GetModuleName");
        const SimConfig config = modlink::currentSimConfig();
        if (!admitted(config, Operation::GetModuleName) || !attached(config) || !ModuleName)
            return 0;
        std::memcpy(ModuleName, config.name.c_str(), config.name.size() + 1);
        return 1;
    }

    ModuleResult GetUsbSpeed(std::uint8_t *UsbSpeed) override
    {
        logCall("GetUsbSpeed");
        const SimConfig config = modlink::currentSimConfig();
        if (!admitted(config, Operation::GetUsbSpeed) || !attached(config) || !UsbSpeed)
            return 0;
        *UsbSpeed = config.speed;
        return 1;
    }

    ModuleResult SET_GENERATOR_PARS(GENERATOR_PARS *GeneratorPars) override
    {
        logCall("SET_GENERATOR_PARS");
        const SimConfig config = modlink::currentSimConfig();
        if (!admitted(config, Operation::SetGeneratorPars) || !attached(config) || !GeneratorPars)
            return 0;
        GENERATOR_PARS pars;
        std::memcpy(&pars, GeneratorPars, sizeof pars);
        if (!acceptable(pars))
            return 0;
        const std::lock_guard lock(stateMutex);
        hardware.pars = pars;
        hardware.hasPars = true;
        return 1;
    }

    ModuleResult START_GENERATOR() override
    {
        logCall("START_GENERATOR");
        const SimConfig config = modlink::currentSimConfig();
        if (!admitted(config, Operation::StartGenerator) || !attached(config))
            return 0;
        const std::lock_guard lock(stateMutex);
        if (!hardware.hasPars)
            return 0;
        hardware.running = true;
        return 1;
    }

    // Stopping a generator that does not run succeeds: it is stopped.
    ModuleResult STOP_GENERATOR() override
    {
        logCall("STOP_GENERATOR");
        const SimConfig config = modlink::currentSimConfig();
        if (!admitted(config, Operation::StopGenerator) || !attached(config))
            return 0;
        const std::lock_guard lock(stateMutex);
        hardware.running = false;
        return 1;
    }

    ModuleResult GET_MODULE_DESCRIPTION(ModuleDescription *Description) override
    {
        logCall("GET_MODULE_DESCRIPTION");
        const SimConfig config = modlink::currentSimConfig();
        if (!admitted(config, Operation::GetModuleDescription) || !attached(config) || !Description)
            return 0;
        fillDescription(*Description, config, m_slot);
        return 1;
    }

private:
    // Whether the operation may go on; throws when the configuration says so.
    static bool admitted(const SimConfig &config, Operation operation)
    {
        if (!config.valid)
            return false;
        if (config.throws(operation))
            throw std::runtime_error(std::string("Modlink: simulated exception in ") + modlink::operationName(operation));
        return !config.fails(operation);
    }

    // Whether the open module is still plugged in. A module that is gone
    // loses its generator's state, as a real one loses its power.
    bool attached(const SimConfig &config)
    {
        if (!m_open)
            return false;
        if (config.present(m_slot))
            return true;
        const std::lock_guard lock(stateMutex);
        hardware = Hardware();
        return false;
    }

    void close()
    {
        m_open = false;
        m_claim.release();
    }

    bool m_open = false;
    std::uint16_t m_slot = 0;
    SlotClaim m_claim;
};

} // namespace

extern "C" {

MODLINK_EXPORT std::uint32_t GetLibraryVersion()
{
    logCall("GetLibraryVersion");
    const SimConfig config = modlink::currentSimConfig();
    return config.valid ? config.version : 0;
}

MODLINK_EXPORT ModuleInterface *CreateModuleInterface(const char *ModuleName)
{
    logCall("CreateModuleInterface");
    const SimConfig config = modlink::currentSimConfig();
    if (!config.valid || config.factoryNull || !ModuleName || std::strcmp(ModuleName, "g740") != 0)
        return nullptr;
    {
        const std::lock_guard lock(stateMutex);
        hardware = Hardware();
    }
    return new SimModule;
}

const char *ModlinkSimCallLog()
{
    const std::lock_guard lock(stateMutex);
    callLogSnapshot = callLog;
    return callLogSnapshot.c_str();
}

void ModlinkSimResetCallLog()
{
    const std::lock_guard lock(stateMutex);
    callLog.clear();
}

int ModlinkSimLastGeneratorPars(void *out123)
{
    const std::lock_guard lock(stateMutex);
    if (!hardware.hasPars || !out123)
        return 0;
    std::memcpy(out123, &hardware.pars, sizeof hardware.pars);
    return 1;
}

int ModlinkSimGeneratorRunning()
{
    const std::lock_guard lock(stateMutex);
    return hardware.running;
}

} // extern "C"
