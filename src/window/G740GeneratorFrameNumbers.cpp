#include "window/G740GeneratorFrame.h"
#include "window/GeneratorFrameParts.h"

#include "generator/GeneratorCalculations.h"
#include "widgets/KeyFilterEdit.h"
#include "widgets/MessageBox.h"
#include "runtime/NumberFormat.h"
#include "widgets/RadioGroup.h"
#include "widgets/StaticText.h"

#include <QCheckBox>
#include <QComboBox>

#include <QCoreApplication>

using namespace GeneratorCalculations;

using namespace GeneratorFrameParts;

void TG740GeneratorFrame::readControls(GENERATOR_PARS &GeneratorPars, const NumberReader &number) const
{
    // Each field is stored as soon as it is read: after a failure the fields
    // before it hold the controls' values and those after it their old ones.
    {
        GeneratorPars.MasterClockSource = indexByte(MasterClockSourceLMDRadioGroup->itemIndex());
        GeneratorPars.MasterClock = GeneratorPars.MasterClockSource == 1
                                        ? number(ExternalMasterClockValueLMDEdit->text(), GeneratorPars.MasterClock)
                                        : InternalMasterClock;
        GeneratorPars.CyclicAutoScanType = indexByte(CyclicAutoScanLMDRadioGroup->itemIndex());
        GeneratorPars.StartFrequency = number(DesiredStartFrequencyValueLMDEdit->text(), GeneratorPars.StartFrequency);
        GeneratorPars.FrequencyIncrement =
            number(DesiredFrequencyIncrementValueLMDEdit->text(), GeneratorPars.FrequencyIncrement);
        GeneratorPars.NumberOfIncrements =
            low16OfTruncated(number(NumberOfIncrementsValueLMDEdit->text(), GeneratorPars.NumberOfIncrements));
        GeneratorPars.BaseIntervalType = indexByte(BaseIntervalTypeLMDRadioGroup->itemIndex());
        GeneratorPars.BaseIntervalMultiplierIndex = indexByte(BaseIntervalMultiplierLMDRadioGroup->itemIndex());
        GeneratorPars.BaseIntervalsNumber =
            low16OfTruncated(number(BaseIntervalsNumberLMDEdit->text(), GeneratorPars.BaseIntervalsNumber));
        GeneratorPars.AnalogOutputsType = indexByte(AnalogOutputsTypeLMDRadioGroup->itemIndex());
        GeneratorPars.AnalogOutputsGainIndex = indexByte(AnalogOutputsGaindBLMDComboBox->currentIndex());
        GeneratorPars.Output10OhmOffsetType = indexByte(OffsetTypeOutput10OhmLMDRadioGroup->itemIndex());
        GeneratorPars.Output10OhmOffset =
            number(DesiredOffsetValueOutput10OhmLMDEdit->text(), GeneratorPars.Output10OhmOffset);
        GeneratorPars.IncrementType = indexByte(IncrementTypeLMDRadioGroup->itemIndex());
        GeneratorPars.CtrlLineType = indexByte(CtrlLineTypeLMDRadioGroup->itemIndex());
        GeneratorPars.InterrupLineType = indexByte(InterrupLineTypeLMDRadioGroup->itemIndex());
        GeneratorPars.EnaSyncout = EnaSyncoutLMDCheckBox->isChecked() ? 1 : 0;
        GeneratorPars.SyncoutType = indexByte(SyncoutTypeLMDRadioGroup->itemIndex());
        GeneratorPars.EnaSquareWaveOutput = EnaSquareWaveOutputLMDCheckBox->isChecked() ? 1 : 0;
    }
}


// ---------------------------------------------------------------------------
// Calculations as shown

void TG740GeneratorFrame::ShowConversionError(const QString &caption)
{
    showMessageBox(this, ConversionErrorText(), caption);
}

void TG740GeneratorFrame::CalculateActualStartFrequency()
{
    const QString text = DesiredStartFrequencyValueLMDEdit->text();
    ActualStartFrequency.reset();
    if (!text.isEmpty()) {
        ActualStartFrequencyValueLMDStaticText->clear();
        try {
            GENERATOR_PARS typed = GeneratorPars;
            typed.StartFrequency = parseFloat(text);
            ActualStartFrequency = actualValues(typed).startFrequency;
        } catch (const ConversionError &) {
            ShowConversionError(StartFrequencyErrorCaption());
        }
    }
    ActualStartFrequencyValueLMDStaticText->setEnabled(ActualStartFrequency.has_value());
    ActualStartFrequencyLMDStaticText->setEnabled(ActualStartFrequency.has_value());
    ActualStartFrequencyValueLMDStaticText->setText(frequencyText(ActualStartFrequency));
    CalculateFinalFrequency();
}

void TG740GeneratorFrame::CalculateActualFrequencyIncrement()
{
    const QString text = DesiredFrequencyIncrementValueLMDEdit->text();
    ActualFrequencyIncrement.reset();
    if (!isEmptySignedText(text)) {
        ActualFrequencyIncrementLMDStaticText->clear();
        try {
            GENERATOR_PARS typed = GeneratorPars;
            typed.FrequencyIncrement = parseFloat(text);
            ActualFrequencyIncrement = actualValues(typed).frequencyIncrement;
        } catch (const ConversionError &) {
            ShowConversionError(IncrementErrorCaption());
        }
    }
    ActualFrequencyIncrementLMDStaticText->setEnabled(ActualFrequencyIncrement.has_value());
    ActualFrequencyIncrementLabeLMDStaticText->setEnabled(ActualFrequencyIncrement.has_value());
    ActualFrequencyIncrementLMDStaticText->setText(frequencyText(ActualFrequencyIncrement));
    CalculateFinalFrequency();
}

void TG740GeneratorFrame::CalculateNumberOfIncrements()
{
    const bool emptied = NumberOfIncrementsValueLMDEdit->text().isEmpty();
    GeneratorPars.NumberOfIncrements = numberOfIncrements(NumberOfIncrementsValueLMDEdit->text());
    NumberOfIncrementsValueLMDEdit->setText(countText(GeneratorPars.NumberOfIncrements));
    if (emptied)
        selectWrittenCount(NumberOfIncrementsValueLMDEdit);
    CalculateFinalFrequency();
}

void TG740GeneratorFrame::selectWrittenCount(KeyFilterEdit *edit)
{
    // A count field is never left empty; the digit written in its place is
    // selected, so that the next digit typed replaces it instead of joining it.
    edit->selectAll();
}

void TG740GeneratorFrame::CalculateFinalFrequency()
{
    FinalFrequency = finalFrequency(ActualStartFrequency, ActualFrequencyIncrement, GeneratorPars.NumberOfIncrements,
                                    GeneratorPars.MasterClock);
    const bool available = FinalFrequency.has_value();
    FinalFrequencyValueLMDStaticText->setEnabled(available);
    FinalFrequencyLabelLMDStaticText->setEnabled(available);
    FinalFrequencyUnitLMDStaticText->setEnabled(available);
    FinalFrequencyValueLMDStaticText->setText(frequencyText(FinalFrequency));
}

void TG740GeneratorFrame::CalculateBaseIntervalsNumber()
{
    if (GeneratorPars.IncrementType != 0)
        return;
    const bool emptied = BaseIntervalsNumberLMDEdit->text().isEmpty();
    if (emptied)
        BaseIntervalsNumberLMDEdit->setText(countText(MinBaseIntervalsNumber));
    GeneratorPars.BaseIntervalsNumber = baseIntervalsNumber(BaseIntervalsNumberLMDEdit->text());
    BaseIntervalsNumberLMDEdit->setText(countText(GeneratorPars.BaseIntervalsNumber));
    if (emptied)
        selectWrittenCount(BaseIntervalsNumberLMDEdit);
    CalculateDuration();
}

void TG740GeneratorFrame::CalculateDuration()
{
    const std::optional<double> duration = actualValues(GeneratorPars).incrementDuration;
    const bool shown = GeneratorPars.BaseIntervalType == 1 && m_intervalControlsEnabled;
    DurationLMDStaticText->setEnabled(shown);
    DurationLabelLMDLabel->setEnabled(shown);
    DurationUnitLMDStaticText->setEnabled(shown);
    DurationLMDStaticText->setText(durationText(duration));
}

void TG740GeneratorFrame::CalculateAmplitudes()
{
    const AmplitudeTexts texts = amplitudeTexts(GeneratorPars.AnalogOutputsGainIndex);
    ApmlitudeOutput10OhmInVLMDStaticText->setText(texts.output10OhmV);
    ApmlitudeOutput10OhmIndBLMDStaticText->setText(texts.output10OhmdB);
    ApmlitudeOutput50OhmInVLMDStaticText->setText(texts.output50OhmV);
    ApmlitudeOutput50OhmIndBLMDStaticText->setText(texts.output50OhmdB);
}

void TG740GeneratorFrame::CalculateOffset()
{
    const QString text = DesiredOffsetValueOutput10OhmLMDEdit->text();
    std::optional<double> offset;
    if (!isEmptySignedText(text)) {
        ActualOffsetValueOutput10OhmLMDStaticText->clear();
        try {
            GENERATOR_PARS typed = GeneratorPars;
            typed.Output10OhmOffset = parseFloat(text);
            offset = actualValues(typed).offset;
        } catch (const ConversionError &) {
            ShowConversionError(OffsetErrorCaption());
        }
    }
    if (offset)
        ActualOffset = *offset;
    const bool shown = offset.has_value() && m_offsetControlsEnabled;
    ActualOffsetValueOutput10OhmLMDStaticText->setEnabled(shown);
    ActualOffsetValueOutput10OhmLabelLMDStaticText->setEnabled(shown);
    ActualOffsetValueOutput10OhmLMDStaticText->setText(offset ? offsetText(*offset) : notAvailableText());
}
