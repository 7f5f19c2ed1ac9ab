#pragma once

#include "generator/GeneratorPars.h"

#include <QList>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <optional>

class Instrument;
class ModuleInterface;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QPushButton;
class KeyFilterEdit;
class RadioGroup;
class StaticText;

// The generator panel: every parameter of the G-740 generator, the values the
// hardware will really produce, and the button that starts and stops it.
// It is the window's view of the instrument: each change typed in it goes to
// the instrument's record, a record changed elsewhere is shown at once, and
// start and stop are the instrument's. Its GENERATOR_PARS copy is the record
// as it is being edited (a cyclic scan hides, but keeps, the choices it forces).
//
// Its rooms: G740GeneratorFrameControls.cpp builds the controls,
// G740GeneratorFrameNumbers.cpp reads the fields and shows the calculated
// values, G740GeneratorFrameHandlers.cpp holds the change handlers, and
// G740GeneratorFrame.cpp ties the panel to the instrument (record, rules,
// start and stop).
class TG740GeneratorFrame : public QWidget
{
    Q_OBJECT

public:
    // instrument: the one the panel shows and edits (not owned); without one
    // the panel has an instrument of its own.
    explicit TG740GeneratorFrame(QWidget *parent = nullptr, Instrument *instrument = nullptr);
    ~TG740GeneratorFrame() override;

    Instrument *instrument() const { return m_instrument; }

    // Has the instrument use the device interface (not owned), takes a copy
    // of the record, and shows it with every value worked out from it.
    void ApplyGeneratorPars(ModuleInterface *Interface, const GENERATOR_PARS *Pars);
    // Reads the controls into the record and copies all of it out.
    void ReadGeneratorPars(GENERATOR_PARS *Pars);
    // Reads every control into the panel's record.
    void GetGeneratorPars();
    // True once a record has been applied: before that the panel's controls
    // are empty and hold no settings worth reading back.
    bool hasAppliedPars() const { return m_parsApplied; }
    bool generatorRunning() const { return GeneratorRunning; }
    // The stop of the start button: true once the generator is stopped (or
    // was not running). A failed stop is reported, and the panel stays in
    // the running state.
    bool stopGenerator();


private:
    struct SavedControl
    {
        QWidget *control;
        bool enabled;
    };

    void buildControls();
    void buildFrequencyControls();
    void buildAnalogOutputControls();
    void buildDigitalLineControls();
    // Each control is named and listed in m_controls in creation order.
    template <typename T>
    T *addControl(T *control, const char *name);
    QGroupBox *makeGroup(const char *name, const QString &title, QWidget *parent);
    StaticText *makeCaption(const char *name, const QString &text, QWidget *parent);
    StaticText *makeDisplay(const char *name, QWidget *parent, const QColor &color);
    KeyFilterEdit *makeEdit(const char *name, const QString &admitted, QWidget *parent);
    RadioGroup *makeRadioGroup(const char *name, const QString &title, const QStringList &items, QWidget *parent);
    void connectHandlers();

    // The record in the controls into pars. number(text, kept) reads a
    // number field: it may throw, which ends the read, or give kept back.
    using NumberReader = std::function<double(const QString &text, double kept)>;
    void readControls(GENERATOR_PARS &pars, const NumberReader &number) const;
    // Shows pars as applied, without passing the shown values back.
    void showRecord(const GENERATOR_PARS &pars);
    // Hands what the controls hold to the instrument.
    void publishRecord();
    void instrumentRecordChanged(QObject *origin);
    void instrumentRunningChanged(bool running);
    void lockForRun();

    // Sets every control inside the group, at every depth; the group itself
    // keeps its state.
    void setChildrenEnabled(QWidget *group, bool enabled);
    void showMasterClockSource(int source);
    void showGeneratorState();
    void restoreSavedControls();

    // The calculations as the panel shows them.
    void CalculateActualStartFrequency();
    void CalculateActualFrequencyIncrement();
    void CalculateNumberOfIncrements();
    void selectWrittenCount(KeyFilterEdit *edit);
    void CalculateFinalFrequency();
    void CalculateBaseIntervalsNumber();
    void CalculateDuration();
    void CalculateAmplitudes();
    void CalculateOffset();
    void ShowConversionError(const QString &caption);

    // Change handlers, one per control.
    void MasterClockSourceLMDRadioGroupChange();
    void ExternalMasterClockValueLMDEditChange();
    void CyclicAutoScanLMDRadioGroupChange();
    void IncrementTypeLMDRadioGroupChange();
    void CtrlLineTypeLMDRadioGroupChange();
    void InterrupLineTypeLMDRadioGroupChange();
    void EnaSyncoutLMDCheckBoxChange();
    void SyncoutTypeLMDRadioGroupChange();
    void EnaSquareWaveOutputLMDCheckBoxChange();
    void DesiredStartFrequencyValueLMDEditChange();
    void DesiredFrequencyIncrementValueLMDEditChange();
    void NumberOfIncrementsValueLMDEditChange();
    void BaseIntervalTypeLMDRadioGroupChange();
    void BaseIntervalMultiplierLMDRadioGroupChange();
    void BaseIntervalsNumberLMDEditChange();
    void AnalogOutputsTypeLMDRadioGroupChange();
    void AnalogOutputsGaindBLMDComboBoxChange();
    void OffsetTypeOutput10OhmLMDRadioGroupChange();
    void DesiredOffsetValueOutput10OhmLMDEditChange();
    void ControlGeneratorLMDButtonClick();

    // State.
    GENERATOR_PARS GeneratorPars;
    Instrument *m_instrument = nullptr;
    bool m_parsApplied = false; // the module's interface and a record were given
    bool m_showingRecord = false;
    bool BusyFlag = true;
    bool GeneratorRunning = false;
    // Not set while the desired field is empty or unreadable. A negative
    // increment is a real value (a downward sweep), so availability is kept
    // apart from the number itself.
    std::optional<double> ActualStartFrequency;
    std::optional<double> ActualFrequencyIncrement;
    std::optional<double> FinalFrequency = 0.0;
    double ActualOffset = 0.0;
    QList<SavedControl> SavedControls;
    // Every control of the panel in the order the panel creates them.
    QList<QWidget *> m_controls;
    // Whether the interval and offset groups' children are usable; a display
    // inside a locked group stays disabled whatever its value.
    bool m_intervalControlsEnabled = true;
    bool m_offsetControlsEnabled = true;

    // Controls.
    QGroupBox *MasterClockLMDGroupBox = nullptr;
    RadioGroup *MasterClockSourceLMDRadioGroup = nullptr;
    StaticText *InternalMasterClockValueLMDStaticText = nullptr;
    KeyFilterEdit *ExternalMasterClockValueLMDEdit = nullptr;
    StaticText *MasterClockUnitLMDStaticText = nullptr;
    RadioGroup *CyclicAutoScanLMDRadioGroup = nullptr;
    QPushButton *ControlGeneratorLMDButton = nullptr;

    QGroupBox *FrequencyParsLMDGroupBox = nullptr;
    QGroupBox *StartFrequencyLMDGroupBox = nullptr;
    StaticText *DesiredStartFrequencyLabelLMDStaticText = nullptr;
    KeyFilterEdit *DesiredStartFrequencyValueLMDEdit = nullptr;
    StaticText *ActualStartFrequencyLMDStaticText = nullptr;
    StaticText *ActualStartFrequencyValueLMDStaticText = nullptr;
    StaticText *StartFrequencyUnitLMDStaticText = nullptr;
    QGroupBox *FrequencyIncrementLMDGroupBox = nullptr;
    StaticText *DesiredFrequencyIncrementLabelLMDStaticText = nullptr;
    KeyFilterEdit *DesiredFrequencyIncrementValueLMDEdit = nullptr;
    StaticText *ActualFrequencyIncrementLabeLMDStaticText = nullptr;
    StaticText *ActualFrequencyIncrementLMDStaticText = nullptr;
    StaticText *FrequencyIncrementUnitLMDStaticText = nullptr;
    StaticText *NumberOfIncrementsLabelLMDStaticText = nullptr;
    KeyFilterEdit *NumberOfIncrementsValueLMDEdit = nullptr;
    StaticText *FinalFrequencyLabelLMDStaticText = nullptr;
    StaticText *FinalFrequencyValueLMDStaticText = nullptr;
    StaticText *FinalFrequencyUnitLMDStaticText = nullptr;
    QGroupBox *IncrementIntervalParsLMDGroupBox = nullptr;
    QGroupBox *BaseIntervalParsLMDGroupBox = nullptr;
    RadioGroup *BaseIntervalTypeLMDRadioGroup = nullptr;
    RadioGroup *BaseIntervalMultiplierLMDRadioGroup = nullptr;
    StaticText *BaseIntervalsNumberLabelLMDStaticText = nullptr;
    KeyFilterEdit *BaseIntervalsNumberLMDEdit = nullptr;
    StaticText *DurationLabelLMDLabel = nullptr;
    StaticText *DurationLMDStaticText = nullptr;
    StaticText *DurationUnitLMDStaticText = nullptr;

    QGroupBox *AnalogOutputsParsLMDGroupBox = nullptr;
    RadioGroup *AnalogOutputsTypeLMDRadioGroup = nullptr;
    QGroupBox *AnalogOutputsGaindBLMDGroupBox = nullptr;
    StaticText *AnalogOutputsGaindBLabelLMDStaticText = nullptr;
    QComboBox *AnalogOutputsGaindBLMDComboBox = nullptr;
    StaticText *AnalogOutputsGaindBUnitLMDStaticText = nullptr;
    QGroupBox *Output50OhmParsLMDGroupBox = nullptr;
    StaticText *ApmlitudeOutput50OhmLabelLMDStaticText = nullptr;
    StaticText *ApmlitudeOutput50OhmInVLMDStaticText = nullptr;
    StaticText *ApmlitudeOutput50OhmInVUnitLMDStaticText = nullptr;
    StaticText *ApmlitudeOutput50OhmIndBLMDStaticText = nullptr;
    StaticText *ApmlitudeOutput50OhmIndBUnitLMDStaticText = nullptr;
    QGroupBox *Output10OhmParsLMDGroupBox = nullptr;
    StaticText *ApmlitudeOutput10OhmLabelLMDStaticText = nullptr;
    StaticText *ApmlitudeOutput10OhmInVLMDStaticText = nullptr;
    StaticText *ApmlitudeOutput10OhmInVUnitLMDStaticText = nullptr;
    StaticText *ApmlitudeOutput10OhmIndBLMDStaticText = nullptr;
    StaticText *ApmlitudeOutput10OhmIndBUnitLMDStaticText = nullptr;
    QGroupBox *OffsetOutput10OhmLMDGroupBox = nullptr;
    RadioGroup *OffsetTypeOutput10OhmLMDRadioGroup = nullptr;
    QGroupBox *OffsetValueLMDGroupBox = nullptr;
    StaticText *DesiredOffsetLabelOutput10OhmLMDStaticText = nullptr;
    KeyFilterEdit *DesiredOffsetValueOutput10OhmLMDEdit = nullptr;
    StaticText *ActualOffsetValueOutput10OhmLabelLMDStaticText = nullptr;
    StaticText *ActualOffsetValueOutput10OhmLMDStaticText = nullptr;
    StaticText *OffsetUnitOutput10OhmLMDStaticText = nullptr;

    QGroupBox *DigitalLinesParsLMDGroupBox = nullptr;
    RadioGroup *IncrementTypeLMDRadioGroup = nullptr;
    RadioGroup *CtrlLineTypeLMDRadioGroup = nullptr;
    RadioGroup *InterrupLineTypeLMDRadioGroup = nullptr;
    QGroupBox *SyncoutLineParsDGroupBox = nullptr;
    QCheckBox *EnaSyncoutLMDCheckBox = nullptr;
    RadioGroup *SyncoutTypeLMDRadioGroup = nullptr;
    QGroupBox *MiscellaneousLMDGroupBox = nullptr;
    QCheckBox *EnaSquareWaveOutputLMDCheckBox = nullptr;
};
