#include "instrument/Instrument.h"

#include "device/DeviceLibrary.h"
#include "instrument/InstrumentTexts.h"
#include "settings/SettingsKeys.h"

#include <QFileInfo>

#include <cstring>
#include <utility>

namespace {

// The module answers in one of these virtual candidates.
constexpr std::uint16_t SlotCount = 127;
constexpr std::uint16_t NoSlot = 0xFFFF;

InstrumentOutcome failure(InstrumentFailure::Kind kind, const QString &text)
{
    return InstrumentFailure{kind, text};
}

} // namespace

Instrument::Instrument(QObject *parent)
    : Instrument(DeviceLibrary::instance(), parent)
{
}

Instrument::Instrument(DeviceLibrary &library, QObject *parent)
    : QObject(parent)
    , m_library(library)
    , m_record(RecordRules::normalized(defaultRecord()))
{
}

Instrument::~Instrument()
{
    release();
}

GENERATOR_PARS Instrument::defaultRecord()
{
    return firstStartRecord();
}

InstrumentOutcome Instrument::openDevice()
{
    using Kind = InstrumentFailure::Kind;
    m_moduleReady = false;
    m_detecting = false;
    m_slot = NoSlot;
    m_moduleName.clear();
    m_slotLock.release();
    if (m_interface) {
        m_interface->CloseModule();
    } else {
        if (!m_library.load())
            return failure(Kind::LibraryFault, InstrumentTexts::libraryNotLoaded(m_library.errorString()));
        const std::uint32_t version = m_library.getLibraryVersion()();
        if (version != RequiredLibraryVersion)
            return failure(Kind::LibraryFault,
                           InstrumentTexts::wrongLibraryVersion(QFileInfo(m_library.fileName()).fileName(), version,
                                                                RequiredLibraryVersion));
        ModuleInterface *created = m_library.createModuleInterface()("g740");
        if (!created)
            return failure(Kind::LibraryFault, InstrumentTexts::noModuleInterface());
        m_interface = created;
        m_ownsInterface = true;
        TheModuleInterface = created;
    }
    QList<std::uint16_t> candidates;
    if (m_slotChoice) {
        candidates << *m_slotChoice;
    } else {
        for (std::uint16_t slot = 0; slot < SlotCount; ++slot)
            candidates << slot;
    }
    if (InstrumentOutcome failed = openFirstOf(candidates)) {
        emit moduleChanged();
        return failed;
    }
    m_detecting = true;
    return std::nullopt;
}

InstrumentOutcome Instrument::openFirstOf(const QList<std::uint16_t> &candidates)
{
    QList<std::uint16_t> busy;
    for (const std::uint16_t slot : candidates) {
        const bool ours = m_slotLock.slot() == slot;
        if (m_interface->OpenModule(slot)) {
            // The library may let two programs open one module; the program's
            // own lock keeps a second copy off it.
            if (ours || m_slotLock.take(slot)) {
                m_slot = slot;
                return std::nullopt;
            }
            m_interface->CloseModule();
            busy << slot;
        } else if (!ours && SlotLock::heldElsewhere(slot)) {
            busy << slot;
        }
    }
    if (!busy.isEmpty())
        return failure(InstrumentFailure::Kind::ModuleBusy, InstrumentTexts::moduleBusy(busy));
    return failure(InstrumentFailure::Kind::NoModule, InstrumentTexts::moduleNotFound());
}

InstrumentOutcome Instrument::checkDevice()
{
    m_detecting = false;
    m_moduleReady = false;
    if (!m_interface || m_slot == NoSlot)
        return failure(InstrumentFailure::Kind::NoModule, InstrumentTexts::moduleNotFound());
    const InstrumentOutcome checked = verifyModule();
    if (!checked) {
        m_lost = false;
        m_stoppedByLoss = false;
    }
    emit moduleChanged();
    return checked;
}

InstrumentOutcome Instrument::verifyModule()
{
    const auto fail = [](const QString &text) { return failure(InstrumentFailure::Kind::ModuleFault, text); };
    // The library writes up to 18 bytes; the rest stays zero, so the name
    // always ends.
    char name[32] = {};
    if (!m_interface->GetModuleName(name))
        return fail(InstrumentTexts::getModuleNameFailed());
    name[sizeof name - 1] = '\0';
    if (std::strcmp(name, "G-740") != 0)
        return fail(InstrumentTexts::notAG740());
    std::uint8_t usbSpeed = 2;
    if (!m_interface->GetUsbSpeed(&usbSpeed))
        return fail(InstrumentTexts::getUsbSpeedFailed());
    if (usbSpeed > 1)
        return fail(InstrumentTexts::wrongUsbSpeed());
    if (!m_interface->GET_MODULE_DESCRIPTION(&m_description))
        return fail(InstrumentTexts::getModuleDescriptionFailed());
    m_moduleName = QString::fromLatin1(name);
    m_moduleReady = true;
    return std::nullopt;
}

void Instrument::checkPresence()
{
    if (m_moduleReady && !m_detecting && m_interface && !stillPresent())
        markLost();
}

bool Instrument::stillPresent()
{
    // The USB speed is one byte the library keeps at hand: the cheapest read.
    std::uint8_t speed = 0;
    try {
        return m_interface->GetUsbSpeed(&speed) != 0;
    } catch (...) {
        return false;
    }
}

void Instrument::markLost()
{
    const std::uint16_t slot = m_slot;
    m_lost = true;
    m_moduleReady = false;
    m_slot = NoSlot;
    m_stoppedByLoss = m_stoppedByLoss || m_running;
    setRunning(false);
    emit moduleChanged();
    emit moduleLost(InstrumentTexts::moduleLost(slot, m_stoppedByLoss));
}

InstrumentOutcome Instrument::lostFailure() const
{
    // A detection since the loss may have let go of the slot.
    const std::uint16_t slot = m_slotLock.slot();
    return failure(InstrumentFailure::Kind::NoModule,
                   slot == NoSlot ? InstrumentTexts::noModule() : InstrumentTexts::moduleLost(slot, false));
}

void Instrument::findAgain()
{
    if (!m_lost || m_detecting || !m_interface)
        return;
    // The slot it was in first; the program's lock on it is still held.
    QList<std::uint16_t> candidates;
    if (m_slotChoice) {
        candidates << *m_slotChoice;
    } else {
        if (m_slotLock.slot() != NoSlot)
            candidates << m_slotLock.slot();
        for (std::uint16_t slot = 0; slot < SlotCount; ++slot) {
            if (slot != m_slotLock.slot())
                candidates << slot;
        }
    }
    try {
        m_interface->CloseModule(); // the vanished module's handle
        bool found = !openFirstOf(candidates) && !verifyModule();
        GENERATOR_PARS sent = m_record;
        found = found && m_interface->SET_GENERATOR_PARS(&sent);
        if (!found) {
            m_moduleReady = false;
            m_slot = NoSlot;
            return;
        }
    } catch (...) {
        m_moduleReady = false;
        m_slot = NoSlot;
        return;
    }
    m_lost = false;
    const bool stopped = std::exchange(m_stoppedByLoss, false);
    emit moduleChanged();
    emit moduleFound(InstrumentTexts::moduleFoundAgain(m_slot, stopped));
}

InstrumentOutcome Instrument::detect()
{
    if (InstrumentOutcome opened = openDevice())
        return opened;
    return checkDevice();
}

void Instrument::useModule(ModuleInterface *moduleInterface)
{
    if (moduleInterface != m_interface) {
        if (m_ownsInterface)
            release();
        m_interface = moduleInterface;
        m_ownsInterface = false;
        m_moduleReady = moduleInterface != nullptr;
        emit moduleChanged();
    }
    setRunning(false);
}

void Instrument::release()
{
    if (!m_interface)
        return;
    if (m_ownsInterface) {
        m_interface->ReleaseInterface();
        if (TheModuleInterface == m_interface)
            TheModuleInterface = nullptr;
    }
    m_interface = nullptr;
    m_ownsInterface = false;
    m_moduleReady = false;
    m_slot = NoSlot;
    m_slotLock.release();
    m_lost = false;
    m_stoppedByLoss = false;
    m_detecting = false;
    setRunning(false);
    emit moduleChanged();
}

GeneratorCalculations::ActualValues Instrument::actualValues() const
{
    return GeneratorCalculations::actualValues(m_record);
}

InstrumentOutcome Instrument::setRecord(const GENERATOR_PARS &pars, QObject *origin)
{
    if (m_running)
        return failure(InstrumentFailure::Kind::Refused, InstrumentTexts::refusedWhileRunning());
    const GENERATOR_PARS next = RecordRules::normalized(pars);
    if (std::memcmp(&next, &m_record, sizeof next) != 0) {
        m_record = next;
        emit recordChanged(origin);
    }
    return std::nullopt;
}

InstrumentOutcome Instrument::setField(RecordRules::Field field, double value, QObject *origin)
{
    using Kind = InstrumentFailure::Kind;
    if (m_running)
        return failure(Kind::Refused, InstrumentTexts::refusedWhileRunning());
    if (std::optional<QString> error = RecordRules::rangeError(field, value))
        return failure(Kind::OutOfRange, *error);
    if (std::optional<QString> reason = RecordRules::lockReason(m_record, field))
        return failure(Kind::Conflict, *reason);
    GENERATOR_PARS next = m_record;
    RecordRules::setFieldValue(next, field, value);
    return setRecord(next, origin);
}

InstrumentOutcome Instrument::requireModule() const
{
    if (!m_interface)
        return failure(InstrumentFailure::Kind::NoModule, InstrumentTexts::noModule());
    return std::nullopt;
}

InstrumentOutcome Instrument::start()
{
    using Kind = InstrumentFailure::Kind;
    if (m_running)
        return std::nullopt;
    if (m_lost)
        return lostFailure();
    // A module that failed its checks is not started, whatever interface
    // the library gave.
    if (!m_moduleReady)
        return failure(Kind::NoModule, InstrumentTexts::noModule());
    if (InstrumentOutcome missing = requireModule())
        return missing;
    // The library may write into the record it is given; ours stays as set.
    GENERATOR_PARS sent = m_record;
    if (!m_interface->SET_GENERATOR_PARS(&sent))
        return failedOperation("SET_GENERATOR_PARS");
    if (!m_interface->START_GENERATOR())
        return failedOperation("START_GENERATOR");
    m_stoppedByLoss = false;
    setRunning(true);
    return std::nullopt;
}

InstrumentOutcome Instrument::stop()
{
    if (!m_running)
        return std::nullopt;
    if (!m_interface)
        return stopForClose();
    // After a failed stop the output may still be on: the generator is still
    // shown and reported as running, and the stop can be tried again.
    if (!m_interface->STOP_GENERATOR())
        return failedOperation("STOP_GENERATOR");
    setRunning(false);
    return std::nullopt;
}

InstrumentOutcome Instrument::failedOperation(const char *function)
{
    // A module that no longer answers is lost, not merely failing.
    if (!stillPresent()) {
        markLost();
        return lostFailure();
    }
    return failure(InstrumentFailure::Kind::DeviceFunction, InstrumentTexts::deviceFunctionFailed(function));
}

InstrumentOutcome Instrument::stopForClose()
{
    // A lost module has nothing left to stop.
    if (!m_interface || m_lost) {
        setRunning(false);
        return std::nullopt;
    }
    setRunning(false);
    if (!m_interface->STOP_GENERATOR())
        return failure(InstrumentFailure::Kind::DeviceFunction, InstrumentTexts::deviceFunctionFailed("STOP_GENERATOR"));
    return std::nullopt;
}

void Instrument::setRunning(bool running)
{
    if (running == m_running)
        return;
    m_running = running;
    emit runningChanged(running);
}
