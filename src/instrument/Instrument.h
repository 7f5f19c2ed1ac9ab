#pragma once

#include "device/ModuleInterface.h"
#include "device/SlotLock.h"
#include "generator/GeneratorCalculations.h"
#include "generator/GeneratorPars.h"
#include "instrument/RecordRules.h"

#include <QList>
#include <QObject>
#include <QString>

#include <cstdint>
#include <optional>

class DeviceLibrary;

// Why an operation of the instrument failed, with the text every front door
// shows (a box, a line on standard error, an entry of the error queue).
struct InstrumentFailure
{
    enum class Kind
    {
        NoModule,       // no module answers in any slot, or none detected yet, or it was lost
        ModuleBusy,     // the only modules there are held by other copies of the program
        LibraryFault,   // the device library: not loaded, wrong version, no interface
        ModuleFault,    // the module found is not a usable G-740
        DeviceFunction, // a module function failed (set, start, stop)
        Refused,        // a change while the generator runs
        OutOfRange,     // a value outside its field's range
        Conflict,       // a field forced or unused in the current record
        SettingsFile,   // a parameter set: missing, a name the file cannot hold, a failed write
    };
    Kind kind;
    QString text;
};
// Empty on success.
using InstrumentOutcome = std::optional<InstrumentFailure>;

// The G-740 as every front door sees it: the device library and the module
// interface, the module's slot, the current generator record with the rules
// that tie its fields, and the running state. Widget-free; lives on the main
// thread. Each change is signalled, so every front door shows what another
// one did.
class Instrument : public QObject
{
    Q_OBJECT

public:
    explicit Instrument(QObject *parent = nullptr);
    // library: the loader to use (tests); the program's one by default.
    explicit Instrument(DeviceLibrary &library, QObject *parent = nullptr);
    ~Instrument() override;

    // Detection, in two halves so that a caller can pause between them.
    // openDevice: loads the library, checks its version, gets the module
    // interface (once; later calls close the module instead) and opens the
    // first free slot that answers (the chosen one only, when a slot was
    // chosen). checkDevice: the module's name, its USB speed and its
    // description. detect() runs both.
    [[nodiscard]] InstrumentOutcome openDevice();
    [[nodiscard]] InstrumentOutcome checkDevice();
    [[nodiscard]] InstrumentOutcome detect();

    // The only slot a detection probes; none: every slot in ascending order.
    void setSlotChoice(std::optional<std::uint16_t> slot) { m_slotChoice = slot; }
    std::optional<std::uint16_t> slotChoice() const { return m_slotChoice; }

    // The module's presence while it is in use. checkPresence: the library's
    // cheapest read on a ready module; a failure (or an exception) makes the
    // module lost. findAgain: one look for a lost module, its slot first;
    // found, it gets the current record again, its generator stays stopped.
    // Both do nothing while a detection runs or in the wrong state.
    bool isLost() const { return m_lost; }
    void checkPresence();
    void findAgain();

    bool isModuleReady() const { return m_moduleReady; }
    std::uint16_t slot() const { return m_slot; } // 0xFFFF: none
    QString moduleName() const { return m_moduleName; }
    const ModuleDescription &moduleDescription() const { return m_description; }
    ModuleInterface *moduleInterface() const { return m_interface; }

    // Takes a module interface that was got elsewhere (not owned), e.g. by
    // an earlier detection. The generator counts as stopped afterwards,
    // without a stop being sent: the module was looked for again.
    void useModule(ModuleInterface *moduleInterface);
    // Releases the interface the library handed out; the module is gone.
    void release();

    // The record of a first start: the defaults a new settings file gets.
    static GENERATOR_PARS defaultRecord();

    // The current record, normalized by the record rules.
    const GENERATOR_PARS &record() const { return m_record; }
    GeneratorCalculations::ActualValues actualValues() const;
    // Replaces the record (the rules applied). Refused while the generator
    // runs. origin: who made the change, passed on with the signal.
    [[nodiscard]] InstrumentOutcome setRecord(const GENERATOR_PARS &pars, QObject *origin = nullptr);
    // One field, checked against its range and against the record's rules.
    [[nodiscard]] InstrumentOutcome setField(RecordRules::Field field, double value, QObject *origin = nullptr);
    double field(RecordRules::Field field) const { return RecordRules::fieldValue(m_record, field); }

    // Start sends the record and starts the generator; stop marks it stopped
    // first, so a failing stop still leaves it stopped as far as the program
    // knows. Starting while running and stopping while stopped do nothing.
    bool isRunning() const { return m_running; }
    [[nodiscard]] InstrumentOutcome start();
    [[nodiscard]] InstrumentOutcome stop();
    // The closing sequence's stop: sent whenever a module is in use, running
    // or not.
    [[nodiscard]] InstrumentOutcome stopForClose();

signals:
    void recordChanged(QObject *origin);
    void runningChanged(bool running);
    // A detection ended or the interface went away.
    void moduleChanged();
    // text: the line that says so (InstrumentTexts::moduleLost, moduleFoundAgain).
    void moduleLost(const QString &text);
    void moduleFound(const QString &text);

private:
    void setRunning(bool running);
    InstrumentOutcome requireModule() const;
    // Opens the first of candidates that is free and answers.
    InstrumentOutcome openFirstOf(const QList<std::uint16_t> &candidates);
    InstrumentOutcome verifyModule();
    // After a failed operation: whether the module still answers.
    bool stillPresent();
    void markLost();
    InstrumentOutcome lostFailure() const;
    // A start or stop the library refused: lost, or a plain failure.
    InstrumentOutcome failedOperation(const char *function);

    DeviceLibrary &m_library;
    ModuleInterface *m_interface = nullptr;
    bool m_ownsInterface = false;
    bool m_moduleReady = false;
    std::uint16_t m_slot = 0xFFFF;
    std::optional<std::uint16_t> m_slotChoice;
    SlotLock m_slotLock;
    bool m_lost = false;
    bool m_stoppedByLoss = false; // the generator ran when the module was lost
    bool m_detecting = false;     // between a successful openDevice and its checkDevice
    QString m_moduleName;
    ModuleDescription m_description;
    GENERATOR_PARS m_record;
    bool m_running = false;
};
