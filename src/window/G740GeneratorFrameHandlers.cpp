#include "window/G740GeneratorFrame.h"
#include "window/GeneratorFrameParts.h"

#include "generator/GeneratorCalculations.h"
#include "instrument/RecordRules.h"
#include "widgets/KeyFilterEdit.h"
#include "runtime/NumberFormat.h"
#include "widgets/RadioGroup.h"
#include "widgets/StaticText.h"

#include <QCheckBox>
#include <QComboBox>

#include <QCoreApplication>

using namespace GeneratorCalculations;

using namespace GeneratorFrameParts;

// ---------------------------------------------------------------------------
// Change handlers

void TG740GeneratorFrame::MasterClockSourceLMDRadioGroupChange()
{
    BusyScope busy(BusyFlag);
    if (!busy.acquired())
        return;
    const int source = MasterClockSourceLMDRadioGroup->itemIndex();
    GeneratorPars.MasterClockSource = indexByte(source);
    try {
        GeneratorPars.MasterClock = parseFloat(source == 1 ? ExternalMasterClockValueLMDEdit->text()
                                                           : InternalMasterClockValueLMDStaticText->text());
    } catch (const ConversionError &) {
        ShowConversionError(MasterClockErrorCaption());
        return;
    }
    showMasterClockSource(source);
    CalculateActualStartFrequency();
    CalculateActualFrequencyIncrement();
    if (GeneratorPars.IncrementType == 0) {
        setChildrenEnabled(IncrementIntervalParsLMDGroupBox, true);
        CalculateDuration();
    } else {
        setChildrenEnabled(IncrementIntervalParsLMDGroupBox, false);
    }
}

void TG740GeneratorFrame::ExternalMasterClockValueLMDEditChange()
{
    BusyScope busy(BusyFlag);
    if (!busy.acquired())
        return;
    const QString text = ExternalMasterClockValueLMDEdit->text();
    if (text.isEmpty())
        return;
    try {
        const double accepted = acceptMasterClock(parseFloat(text));
        // The field may be written while the internal clock is in use; the
        // clock then stays the internal one.
        if (GeneratorPars.MasterClockSource == 1)
            GeneratorPars.MasterClock = accepted;
        // The rewrite adds decimals after the digits typed so far; the caret
        // stays where the operator is typing, so "7" then "5" gives 75.0
        // rather than 7.05.
        const int caret = ExternalMasterClockValueLMDEdit->cursorPosition();
        ExternalMasterClockValueLMDEdit->setText(acceptedMasterClockText(accepted));
        ExternalMasterClockValueLMDEdit->setCursorPosition(caret);
    } catch (const ConversionError &) {
        // The clock keeps its previous value.
        ShowConversionError(MasterClockErrorCaption());
    }
    CalculateActualStartFrequency();
    CalculateActualFrequencyIncrement();
    CalculateDuration();
}

void TG740GeneratorFrame::CyclicAutoScanLMDRadioGroupChange()
{
    BusyScope busy(BusyFlag);
    if (!busy.acquired())
        return;
    const int scan = CyclicAutoScanLMDRadioGroup->itemIndex();
    GeneratorPars.CyclicAutoScanType = indexByte(scan);
    const bool cyclic = RecordRules::isCyclicScan(GeneratorPars);
    // A cyclic scan forces these controls without touching their fields, so
    // the operator's choices come back when the scan is switched off.
    const GENERATOR_PARS shown = RecordRules::withCyclicScanForcing(GeneratorPars);
    IncrementTypeLMDRadioGroup->setEnabled(!cyclic);
    IncrementTypeLMDRadioGroup->setItemIndex(shown.IncrementType);
    CtrlLineTypeLMDRadioGroup->setEnabled(!cyclic);
    CtrlLineTypeLMDRadioGroup->setItemIndex(shown.CtrlLineType);
    setChildrenEnabled(SyncoutLineParsDGroupBox, !cyclic);
    EnaSyncoutLMDCheckBox->setChecked(shown.EnaSyncout != 0);
    SyncoutTypeLMDRadioGroup->setItemIndex(shown.SyncoutType);
    busy.release();
    IncrementTypeLMDRadioGroupChange();
}

void TG740GeneratorFrame::IncrementTypeLMDRadioGroupChange()
{
    BusyScope busy(BusyFlag);
    if (!busy.acquired())
        return;
    const int type = IncrementTypeLMDRadioGroup->itemIndex();
    if (GeneratorPars.CyclicAutoScanType == 0)
        GeneratorPars.IncrementType = indexByte(type);
    if (type == 0) {
        setChildrenEnabled(IncrementIntervalParsLMDGroupBox, true);
        busy.release();
        BaseIntervalTypeLMDRadioGroupChange();
    } else if (type == 1) {
        setChildrenEnabled(IncrementIntervalParsLMDGroupBox, false);
    }
}

void TG740GeneratorFrame::CtrlLineTypeLMDRadioGroupChange()
{
    BusyScope busy(BusyFlag);
    if (busy.acquired())
        GeneratorPars.CtrlLineType = indexByte(CtrlLineTypeLMDRadioGroup->itemIndex());
}

void TG740GeneratorFrame::InterrupLineTypeLMDRadioGroupChange()
{
    BusyScope busy(BusyFlag);
    if (busy.acquired())
        GeneratorPars.InterrupLineType = indexByte(InterrupLineTypeLMDRadioGroup->itemIndex());
}

void TG740GeneratorFrame::EnaSyncoutLMDCheckBoxChange()
{
    BusyScope busy(BusyFlag);
    if (busy.acquired())
        GeneratorPars.EnaSyncout = EnaSyncoutLMDCheckBox->isChecked() ? 1 : 0;
}

void TG740GeneratorFrame::SyncoutTypeLMDRadioGroupChange()
{
    BusyScope busy(BusyFlag);
    if (busy.acquired())
        GeneratorPars.SyncoutType = indexByte(SyncoutTypeLMDRadioGroup->itemIndex());
}

void TG740GeneratorFrame::EnaSquareWaveOutputLMDCheckBoxChange()
{
    BusyScope busy(BusyFlag);
    if (busy.acquired())
        GeneratorPars.EnaSquareWaveOutput = EnaSquareWaveOutputLMDCheckBox->isChecked() ? 1 : 0;
}

void TG740GeneratorFrame::DesiredStartFrequencyValueLMDEditChange()
{
    BusyScope busy(BusyFlag);
    if (busy.acquired())
        CalculateActualStartFrequency();
}

void TG740GeneratorFrame::DesiredFrequencyIncrementValueLMDEditChange()
{
    BusyScope busy(BusyFlag);
    if (busy.acquired())
        CalculateActualFrequencyIncrement();
}

void TG740GeneratorFrame::NumberOfIncrementsValueLMDEditChange()
{
    BusyScope busy(BusyFlag);
    if (busy.acquired())
        CalculateNumberOfIncrements();
}

void TG740GeneratorFrame::BaseIntervalTypeLMDRadioGroupChange()
{
    BusyScope busy(BusyFlag);
    if (!busy.acquired())
        return;
    GeneratorPars.BaseIntervalType = indexByte(BaseIntervalTypeLMDRadioGroup->itemIndex());
    CalculateDuration();
}

void TG740GeneratorFrame::BaseIntervalMultiplierLMDRadioGroupChange()
{
    BusyScope busy(BusyFlag);
    if (!busy.acquired())
        return;
    GeneratorPars.BaseIntervalMultiplierIndex = indexByte(BaseIntervalMultiplierLMDRadioGroup->itemIndex());
    CalculateDuration();
}

void TG740GeneratorFrame::BaseIntervalsNumberLMDEditChange()
{
    BusyScope busy(BusyFlag);
    if (busy.acquired())
        CalculateBaseIntervalsNumber();
}

void TG740GeneratorFrame::AnalogOutputsTypeLMDRadioGroupChange()
{
    BusyScope busy(BusyFlag);
    if (busy.acquired())
        GeneratorPars.AnalogOutputsType = indexByte(AnalogOutputsTypeLMDRadioGroup->itemIndex());
}

void TG740GeneratorFrame::AnalogOutputsGaindBLMDComboBoxChange()
{
    BusyScope busy(BusyFlag);
    if (!busy.acquired())
        return;
    GeneratorPars.AnalogOutputsGainIndex = indexByte(AnalogOutputsGaindBLMDComboBox->currentIndex());
    CalculateAmplitudes();
}

void TG740GeneratorFrame::OffsetTypeOutput10OhmLMDRadioGroupChange()
{
    BusyScope busy(BusyFlag);
    if (!busy.acquired())
        return;
    const int type = OffsetTypeOutput10OhmLMDRadioGroup->itemIndex();
    GeneratorPars.Output10OhmOffsetType = indexByte(type);
    if (type == 0)
        setChildrenEnabled(OffsetValueLMDGroupBox, true);
    else if (type == 1)
        setChildrenEnabled(OffsetValueLMDGroupBox, false);
}

void TG740GeneratorFrame::DesiredOffsetValueOutput10OhmLMDEditChange()
{
    BusyScope busy(BusyFlag);
    if (busy.acquired())
        CalculateOffset();
}
