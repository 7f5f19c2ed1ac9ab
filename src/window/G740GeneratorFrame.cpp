#include "window/G740GeneratorFrame.h"
#include "window/GeneratorFrameParts.h"

#include "device/ModuleInterface.h"
#include "generator/GeneratorCalculations.h"
#include "instrument/Instrument.h"
#include "widgets/KeyFilterEdit.h"
#include "widgets/MessageBox.h"
#include "runtime/NumberFormat.h"
#include "widgets/RadioGroup.h"
#include "widgets/StaticText.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLocale>
#include <QPushButton>

#include <cstring>
#include <QCoreApplication>

using namespace GeneratorCalculations;

using namespace GeneratorFrameParts;

TG740GeneratorFrame::TG740GeneratorFrame(QWidget *parent, Instrument *instrument)
    : QWidget(parent)
    , m_instrument(instrument ? instrument : new Instrument(this))
{
    // BusyFlag stays set until the panel is in its initial state.
    setFixedSize(963, 581);
    QFont panelFont(QStringLiteral("Arial"));
    panelFont.setPixelSize(17);
    setFont(panelFont);
    QLocale::setDefault(QLocale::c());
    // Group captions sit on the frame line, as on the module's other forms,
    // which keeps the nested groups compact.
    // Fonts are given here too: a style sheet would otherwise keep the
    // children from inheriting the panel's font.
    setStyleSheet(QStringLiteral(
        "* { font-family: Arial; font-size: 17px; }"
        "QPushButton#ControlGeneratorLMDButton { font-family: \"Courier New\"; font-size: 20px; font-weight: bold; }"
        "QGroupBox { border: 1px solid palette(mid); border-radius: 3px; margin-top: 10px; padding-top: 8px; }"
        "QGroupBox::title { subcontrol-origin: margin; subcontrol-position: top left; left: 8px; padding: 0 3px; }"
        "QGroupBox[untitled=\"true\"] { margin-top: 0; padding-top: 0; }"
        "QGroupBox[flat=\"true\"] { border: none; margin-top: 0; padding-top: 0; }"));

    buildControls();

    for (int i = 0; i < static_cast<int>(GainTable.size()); ++i)
        AnalogOutputsGaindBLMDComboBox->addItem(gainText(i));
    AnalogOutputsGaindBLMDComboBox->setMaxVisibleItems(GainTable.size());
    AnalogOutputsGaindBLMDComboBox->setCurrentIndex(-1);

    OffsetTypeOutput10OhmLMDRadioGroup->setItemIndex(1);
    EnaSyncoutLMDCheckBox->setEnabled(false);
    EnaSquareWaveOutputLMDCheckBox->setEnabled(false);
    showGeneratorState();

    connectHandlers();
    connect(m_instrument, &Instrument::recordChanged, this, &TG740GeneratorFrame::instrumentRecordChanged);
    connect(m_instrument, &Instrument::runningChanged, this, &TG740GeneratorFrame::instrumentRunningChanged);
    BusyFlag = false;
}

TG740GeneratorFrame::~TG740GeneratorFrame()
{
    // The generator is stopped whenever the panel was given a module,
    // running or not.
    disconnect(m_instrument, nullptr, this, nullptr);
    if (m_parsApplied) {
        if (const InstrumentOutcome failed = m_instrument->stopForClose())
            showMessageBox(nullptr, failed->text, QCoreApplication::translate("G740GeneratorFrame", "Ошибка ~TG740GeneratorFrame()!!!"));
    }
    SavedControls.clear();
}

// ---------------------------------------------------------------------------
// Operations

void TG740GeneratorFrame::ApplyGeneratorPars(ModuleInterface *Interface, const GENERATOR_PARS *Pars)
{
    // The module was looked for again; it is not asked to stop, and the
    // instrument's running-state signal unlocks the panel.
    m_instrument->useModule(Interface);
    m_parsApplied = true;
    showRecord(Pars ? *Pars : GeneratorPars);
    publishRecord();
}

void TG740GeneratorFrame::showRecord(const GENERATOR_PARS &pars)
{
    const bool wasShowing = m_showingRecord;
    m_showingRecord = true;
    if (&pars != &GeneratorPars)
        std::memcpy(static_cast<void *>(&GeneratorPars), &pars, sizeof GeneratorPars);

    if (GeneratorRunning) {
        GeneratorRunning = false;
        restoreSavedControls();
        showGeneratorState();
    }

    const int source = GeneratorPars.MasterClockSource;
    MasterClockSourceLMDRadioGroup->setItemIndex(source);
    InternalMasterClockValueLMDStaticText->setText(internalMasterClockText(InternalMasterClock));
    // With the internal source the hardware runs on the internal clock, whatever
    // the record's clock says; the external field keeps that value for a switch.
    const double recordClock = acceptMasterClock(GeneratorPars.MasterClock);
    GeneratorPars.MasterClock = effectiveMasterClock(GeneratorPars);
    ExternalMasterClockValueLMDEdit->setText(appliedMasterClockText(recordClock));
    showMasterClockSource(source);

    CyclicAutoScanLMDRadioGroup->setItemIndex(GeneratorPars.CyclicAutoScanType);
    DesiredStartFrequencyValueLMDEdit->setText(frequencyText(double(GeneratorPars.StartFrequency)));
    DesiredFrequencyIncrementValueLMDEdit->setText(frequencyText(double(GeneratorPars.FrequencyIncrement)));
    NumberOfIncrementsValueLMDEdit->setText(countText(GeneratorPars.NumberOfIncrements));

    InterrupLineTypeLMDRadioGroup->setItemIndex(GeneratorPars.InterrupLineType);
    EnaSquareWaveOutputLMDCheckBox->setChecked(GeneratorPars.EnaSquareWaveOutput != 0);
    BaseIntervalTypeLMDRadioGroup->setItemIndex(GeneratorPars.BaseIntervalType);
    BaseIntervalMultiplierLMDRadioGroup->setItemIndex(GeneratorPars.BaseIntervalMultiplierIndex);
    BaseIntervalsNumberLMDEdit->setText(countText(GeneratorPars.BaseIntervalsNumber));

    CyclicAutoScanLMDRadioGroupChange();
    IncrementTypeLMDRadioGroupChange();

    AnalogOutputsTypeLMDRadioGroup->setItemIndex(GeneratorPars.AnalogOutputsType);
    const int gain = GeneratorPars.AnalogOutputsGainIndex;
    AnalogOutputsGaindBLMDComboBox->setCurrentIndex(gain < AnalogOutputsGaindBLMDComboBox->count() ? gain : -1);
    CalculateAmplitudes();

    OffsetTypeOutput10OhmLMDRadioGroup->setItemIndex(GeneratorPars.Output10OhmOffsetType);
    OffsetTypeOutput10OhmLMDRadioGroupChange();
    DesiredOffsetValueOutput10OhmLMDEdit->setText(desiredOffsetText(GeneratorPars.Output10OhmOffset));
    m_showingRecord = wasShowing;
}

void TG740GeneratorFrame::publishRecord()
{
    // Nothing to give before a record was applied (the controls are empty),
    // nor while a record is being shown.
    if (!m_parsApplied || m_showingRecord)
        return;
    // A field being typed that is no number yet (empty, "-", "1.2.") keeps
    // the instrument's value; every other field is read all the same.
    GENERATOR_PARS pars = GeneratorPars;
    const GENERATOR_PARS &current = m_instrument->record();
    pars.MasterClock = current.MasterClock;
    pars.StartFrequency = current.StartFrequency;
    pars.FrequencyIncrement = current.FrequencyIncrement;
    pars.NumberOfIncrements = current.NumberOfIncrements;
    pars.BaseIntervalsNumber = current.BaseIntervalsNumber;
    pars.Output10OhmOffset = current.Output10OhmOffset;
    readControls(pars, [](const QString &text, double kept) {
        try {
            return parseFloat(text);
        } catch (const ConversionError &) {
            return kept;
        }
    });
    // Refused only while the generator runs, when the controls are locked.
    (void)m_instrument->setRecord(pars, this);
}

void TG740GeneratorFrame::instrumentRecordChanged(QObject *origin)
{
    if (origin == this || !m_parsApplied)
        return;
    showRecord(m_instrument->record());
}

void TG740GeneratorFrame::instrumentRunningChanged(bool running)
{
    if (running == GeneratorRunning)
        return;
    if (running) {
        lockForRun();
    } else {
        GeneratorRunning = false;
        restoreSavedControls();
        showGeneratorState();
    }
}

void TG740GeneratorFrame::ReadGeneratorPars(GENERATOR_PARS *Pars)
{
    GetGeneratorPars();
    if (Pars)
        std::memcpy(static_cast<void *>(Pars), &GeneratorPars, sizeof GeneratorPars);
}

void TG740GeneratorFrame::GetGeneratorPars()
{
    try {
        readControls(GeneratorPars, [](const QString &text, double) { return parseFloat(text); });
    } catch (...) {
        showMessageBox(this, QCoreApplication::translate("G740GeneratorFrame", "Обнаружено исключение."), QCoreApplication::translate("G740GeneratorFrame", "Ошибка GetGeneratorPars()!!!"));
    }
}

// ---------------------------------------------------------------------------
// Rules that link controls

void TG740GeneratorFrame::setChildrenEnabled(QWidget *group, bool enabled)
{
    if (group == IncrementIntervalParsLMDGroupBox)
        m_intervalControlsEnabled = enabled;
    else if (group == OffsetValueLMDGroupBox)
        m_offsetControlsEnabled = enabled;
    for (QWidget *control : std::as_const(m_controls)) {
        if (control != group && group->isAncestorOf(control))
            control->setEnabled(enabled);
    }
}

void TG740GeneratorFrame::showMasterClockSource(int source)
{
    const bool external = source == 1;
    InternalMasterClockValueLMDStaticText->setVisible(!external);
    ExternalMasterClockValueLMDEdit->setVisible(external);
}

void TG740GeneratorFrame::showGeneratorState()
{
    // Enabled states only: a disabled button keeps the style's greyed text,
    // like every other disabled control.
    const QColor color = GeneratorRunning ? RunningButtonColor : StoppedButtonColor;
    QPalette p = ControlGeneratorLMDButton->palette();
    p.setColor(QPalette::Active, QPalette::ButtonText, color);
    p.setColor(QPalette::Inactive, QPalette::ButtonText, color);
    ControlGeneratorLMDButton->setPalette(p);
    ControlGeneratorLMDButton->setText(GeneratorRunning ? QCoreApplication::translate("G740GeneratorFrame", "Останов генератора")
                                                        : QCoreApplication::translate("G740GeneratorFrame", "Запуск генератора"));
}

void TG740GeneratorFrame::restoreSavedControls()
{
    for (const SavedControl &saved : std::as_const(SavedControls)) {
        if (saved.control != ControlGeneratorLMDButton && saved.enabled)
            saved.control->setEnabled(true);
    }
}

// ---------------------------------------------------------------------------
// Start and stop

void TG740GeneratorFrame::ControlGeneratorLMDButtonClick()
{
    if (!m_parsApplied || !m_instrument->moduleInterface())
        return;

    if (GeneratorRunning) {
        stopGenerator();
        return;
    }

    // What is shown is what goes out, even when a field could not be read.
    GetGeneratorPars();
    (void)m_instrument->setRecord(GeneratorPars, this);
    if (const InstrumentOutcome failed = m_instrument->start()) {
        showMessageBox(this, failed->text, ButtonErrorCaption());
        return;
    }
    // The instrument's signal has locked the panel already.
    if (!GeneratorRunning)
        lockForRun();
}

void TG740GeneratorFrame::lockForRun()
{
    SavedControls.clear();
    SavedControls.reserve(m_controls.size());
    for (QWidget *control : std::as_const(m_controls)) {
        // The control's own state, not the one it inherits from its group.
        SavedControls.append({control, !control->testAttribute(Qt::WA_ForceDisabled)});
    }
    for (const SavedControl &saved : std::as_const(SavedControls)) {
        if (saved.control != ControlGeneratorLMDButton)
            saved.control->setEnabled(false);
    }
    GeneratorRunning = true;
    showGeneratorState();
}

bool TG740GeneratorFrame::stopGenerator()
{
    if (!GeneratorRunning)
        return true;
    // The panel shows the stopped state only once the module has stopped:
    // after a failed stop the output may still be on, so the panel stays
    // locked and the button still offers the stop.
    if (const InstrumentOutcome failed = m_instrument->stop()) {
        showMessageBox(this, failed->text, ButtonErrorCaption());
        return false;
    }
    // The instrument's running-state signal has unlocked the panel.
    return true;
}
