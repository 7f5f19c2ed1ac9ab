#include "window/G740GeneratorFrame.h"
#include "window/GeneratorFrameParts.h"

#include "generator/GeneratorCalculations.h"
#include "widgets/KeyFilterEdit.h"
#include "widgets/RadioGroup.h"
#include "widgets/StaticText.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include <QCoreApplication>

using namespace GeneratorCalculations;

using namespace GeneratorFrameParts;

// ---------------------------------------------------------------------------
// Building the form

template <typename T>
T *TG740GeneratorFrame::addControl(T *control, const char *name)
{
    control->setObjectName(QString::fromLatin1(name));
    m_controls.append(control);
    return control;
}

QGroupBox *TG740GeneratorFrame::makeGroup(const char *name, const QString &title, QWidget *parent)
{
    auto *group = addControl(new QGroupBox(title, parent), name);
    // An untitled group needs no room for a caption.
    group->setProperty("untitled", title.isEmpty());
    return group;
}

StaticText *TG740GeneratorFrame::makeCaption(const char *name, const QString &text, QWidget *parent)
{
    return addControl(new StaticText(text, parent), name);
}

StaticText *TG740GeneratorFrame::makeDisplay(const char *name, QWidget *parent, const QColor &color)
{
    auto *display = addControl(new StaticText(QString(), parent, StaticText::Kind::Display), name);
    display->setTextColor(color);
    display->setMinimumWidth(100);
    display->setFixedHeight(28);
    return display;
}

KeyFilterEdit *TG740GeneratorFrame::makeEdit(const char *name, const QString &admitted, QWidget *parent)
{
    auto *edit = addControl(new KeyFilterEdit(parent), name);
    edit->setAlignment(Qt::AlignCenter);
    edit->setFixedHeight(28);
    // The key handler: a key that is not admitted never reaches the edit,
    // except while the panel itself is busy.
    edit->setKeyFilter([this, admitted](QChar key) { return BusyFlag || admitted.contains(key); });
    return edit;
}

RadioGroup *TG740GeneratorFrame::makeRadioGroup(const char *name, const QString &title, const QStringList &items,
                                                QWidget *parent)
{
    return addControl(new RadioGroup(title, items, parent), name);
}

void TG740GeneratorFrame::buildControls()
{
    // Left column: clock, scan mode, frequencies and the start button; right
    // column: analog outputs and digital lines.
    MasterClockLMDGroupBox = makeGroup("MasterClockLMDGroupBox", QCoreApplication::translate("G740GeneratorFrame", "Тактовая частота"), this);
    MasterClockLMDGroupBox->setGeometry(4, 0, 452, 66);
    MasterClockSourceLMDRadioGroup = makeRadioGroup("MasterClockSourceLMDRadioGroup", QString(),
                                                    {QCoreApplication::translate("G740GeneratorFrame", "внутренняя"), QCoreApplication::translate("G740GeneratorFrame", "внешняя")},
                                                    MasterClockLMDGroupBox);
    MasterClockSourceLMDRadioGroup->setColumns(2);
    MasterClockSourceLMDRadioGroup->setFlat(true);
    InternalMasterClockValueLMDStaticText =
        makeDisplay("InternalMasterClockValueLMDStaticText", MasterClockLMDGroupBox, InternalClockColor);
    ExternalMasterClockValueLMDEdit = makeEdit("ExternalMasterClockValueLMDEdit", DigitKeys, MasterClockLMDGroupBox);
    MasterClockUnitLMDStaticText = makeCaption("MasterClockUnitLMDStaticText", QCoreApplication::translate("G740GeneratorFrame", "кГц"),
                                               MasterClockLMDGroupBox);
    {
        auto *row = new QHBoxLayout(MasterClockLMDGroupBox);
        row->setContentsMargins(4, 0, 8, 4);
        row->addWidget(MasterClockSourceLMDRadioGroup);
        row->addStretch(1);
        // The internal display and the external field share one place.
        row->addWidget(InternalMasterClockValueLMDStaticText);
        row->addWidget(ExternalMasterClockValueLMDEdit);
        row->addWidget(MasterClockUnitLMDStaticText);
        ExternalMasterClockValueLMDEdit->setFixedWidth(120);
        InternalMasterClockValueLMDStaticText->setFixedWidth(120);
        ExternalMasterClockValueLMDEdit->hide();
    }

    CyclicAutoScanLMDRadioGroup = makeRadioGroup(
        "CyclicAutoScanLMDRadioGroup", QCoreApplication::translate("G740GeneratorFrame", "Цикл. автосканирование"),
        {QCoreApplication::translate("G740GeneratorFrame", "Нет"), QCoreApplication::translate("G740GeneratorFrame", "'Пила'"), QCoreApplication::translate("G740GeneratorFrame", "'Треугольник'")}, this);
    CyclicAutoScanLMDRadioGroup->setColumns(3);
    CyclicAutoScanLMDRadioGroup->setGeometry(4, 68, 452, 56);

    buildFrequencyControls();
    buildAnalogOutputControls();
    buildDigitalLineControls();

    ControlGeneratorLMDButton = addControl(new QPushButton(this), "ControlGeneratorLMDButton");
    ControlGeneratorLMDButton->setGeometry(4, 535, 452, 42);
    QFont buttonFont(QStringLiteral("Courier New"));
    buttonFont.setPixelSize(20);
    buttonFont.setBold(true);
    ControlGeneratorLMDButton->setFont(buttonFont);
    ControlGeneratorLMDButton->setCursor(Qt::PointingHandCursor);
}

void TG740GeneratorFrame::buildFrequencyControls()
{
    FrequencyParsLMDGroupBox = makeGroup("FrequencyParsLMDGroupBox", QCoreApplication::translate("G740GeneratorFrame", "Частотные параметры"), this);
    FrequencyParsLMDGroupBox->setGeometry(4, 126, 452, 405);
    auto *column = new QVBoxLayout(FrequencyParsLMDGroupBox);
    column->setContentsMargins(6, 2, 6, 6);
    column->setSpacing(4);

    // Desired value, actual value and unit in one row.
    auto valueRow = [this](QGroupBox *group, StaticText *desiredCaption, KeyFilterEdit *desired,
                           StaticText *actualCaption, StaticText *actual, const char *unitName) {
        auto *row = new QHBoxLayout(group);
        row->setContentsMargins(8, 2, 8, 6);
        row->addWidget(desiredCaption);
        row->addWidget(desired, 1);
        row->addSpacing(10);
        row->addWidget(actualCaption);
        row->addWidget(actual, 1);
        row->addWidget(makeCaption(unitName, QCoreApplication::translate("G740GeneratorFrame", "кГц"), group));
    };

    StartFrequencyLMDGroupBox = makeGroup("StartFrequencyLMDGroupBox", QCoreApplication::translate("G740GeneratorFrame", "Начальная частота"),
                                          FrequencyParsLMDGroupBox);
    DesiredStartFrequencyLabelLMDStaticText =
        makeCaption("DesiredStartFrequencyLabelLMDStaticText", QCoreApplication::translate("G740GeneratorFrame", "Желаемая"), StartFrequencyLMDGroupBox);
    DesiredStartFrequencyValueLMDEdit =
        makeEdit("DesiredStartFrequencyValueLMDEdit", DigitKeys, StartFrequencyLMDGroupBox);
    ActualStartFrequencyLMDStaticText =
        makeCaption("ActualStartFrequencyLMDStaticText", QCoreApplication::translate("G740GeneratorFrame", "Реальная"), StartFrequencyLMDGroupBox);
    ActualStartFrequencyValueLMDStaticText =
        makeDisplay("ActualStartFrequencyValueLMDStaticText", StartFrequencyLMDGroupBox, ActualValueColor);
    valueRow(StartFrequencyLMDGroupBox, DesiredStartFrequencyLabelLMDStaticText, DesiredStartFrequencyValueLMDEdit,
             ActualStartFrequencyLMDStaticText, ActualStartFrequencyValueLMDStaticText,
             "StartFrequencyUnitLMDStaticText");
    column->addWidget(StartFrequencyLMDGroupBox);

    FrequencyIncrementLMDGroupBox = makeGroup("FrequencyIncrementLMDGroupBox", QCoreApplication::translate("G740GeneratorFrame", "Частота приращения"),
                                              FrequencyParsLMDGroupBox);
    DesiredFrequencyIncrementLabelLMDStaticText = makeCaption(
        "DesiredFrequencyIncrementLabelLMDStaticText", QCoreApplication::translate("G740GeneratorFrame", "Желаемая"), FrequencyIncrementLMDGroupBox);
    DesiredFrequencyIncrementValueLMDEdit =
        makeEdit("DesiredFrequencyIncrementValueLMDEdit", SignedDigitKeys, FrequencyIncrementLMDGroupBox);
    ActualFrequencyIncrementLabeLMDStaticText = makeCaption(
        "ActualFrequencyIncrementLabeLMDStaticText", QCoreApplication::translate("G740GeneratorFrame", "Реальная"), FrequencyIncrementLMDGroupBox);
    ActualFrequencyIncrementLMDStaticText =
        makeDisplay("ActualFrequencyIncrementLMDStaticText", FrequencyIncrementLMDGroupBox, ActualValueColor);
    valueRow(FrequencyIncrementLMDGroupBox, DesiredFrequencyIncrementLabelLMDStaticText,
             DesiredFrequencyIncrementValueLMDEdit, ActualFrequencyIncrementLabeLMDStaticText,
             ActualFrequencyIncrementLMDStaticText, "FrequencyIncrementUnitLMDStaticText");
    column->addWidget(FrequencyIncrementLMDGroupBox);

    {
        auto *grid = new QGridLayout;
        grid->setContentsMargins(10, 2, 10, 2);
        NumberOfIncrementsLabelLMDStaticText = makeCaption(
            "NumberOfIncrementsLabelLMDStaticText", QCoreApplication::translate("G740GeneratorFrame", "Кол-во приращений"), FrequencyParsLMDGroupBox);
        NumberOfIncrementsValueLMDEdit =
            makeEdit("NumberOfIncrementsValueLMDEdit", DigitKeys, FrequencyParsLMDGroupBox);
        NumberOfIncrementsValueLMDEdit->setFixedWidth(90);
        FinalFrequencyLabelLMDStaticText = makeCaption(
            "FinalFrequencyLabelLMDStaticText", QCoreApplication::translate("G740GeneratorFrame", "Конечная частота"), FrequencyParsLMDGroupBox);
        FinalFrequencyValueLMDStaticText =
            makeDisplay("FinalFrequencyValueLMDStaticText", FrequencyParsLMDGroupBox, ActualValueColor);
        FinalFrequencyValueLMDStaticText->setFixedWidth(130);
        FinalFrequencyUnitLMDStaticText =
            makeCaption("FinalFrequencyUnitLMDStaticText", QCoreApplication::translate("G740GeneratorFrame", "кГц"), FrequencyParsLMDGroupBox);
        grid->addWidget(NumberOfIncrementsLabelLMDStaticText, 0, 0);
        grid->addWidget(NumberOfIncrementsValueLMDEdit, 0, 1);
        grid->addWidget(FinalFrequencyLabelLMDStaticText, 1, 0);
        grid->addWidget(FinalFrequencyValueLMDStaticText, 1, 1);
        grid->addWidget(FinalFrequencyUnitLMDStaticText, 1, 2);
        grid->setColumnStretch(3, 1);
        column->addLayout(grid);
    }

    IncrementIntervalParsLMDGroupBox = makeGroup(
        "IncrementIntervalParsLMDGroupBox", QCoreApplication::translate("G740GeneratorFrame", "Параметры интервала приращения"), FrequencyParsLMDGroupBox);
    column->addWidget(IncrementIntervalParsLMDGroupBox);
    auto *interval = new QGridLayout(IncrementIntervalParsLMDGroupBox);
    interval->setContentsMargins(6, 2, 6, 6);
    interval->setVerticalSpacing(4);

    BaseIntervalParsLMDGroupBox = makeGroup("BaseIntervalParsLMDGroupBox",
                                            QCoreApplication::translate("G740GeneratorFrame", "Базовый интервал приращения"),
                                            IncrementIntervalParsLMDGroupBox);
    BaseIntervalTypeLMDRadioGroup = makeRadioGroup(
        "BaseIntervalTypeLMDRadioGroup", QCoreApplication::translate("G740GeneratorFrame", "Базовый интервал кратен"),
        {QCoreApplication::translate("G740GeneratorFrame", "периоду выходного сигнала"), QCoreApplication::translate("G740GeneratorFrame", "периоду тактовой частоты")},
        BaseIntervalParsLMDGroupBox);
    BaseIntervalMultiplierLMDRadioGroup = makeRadioGroup(
        "BaseIntervalMultiplierLMDRadioGroup", QCoreApplication::translate("G740GeneratorFrame", "Множитель"),
        {QStringLiteral("x 1"), QStringLiteral("x 5"), QStringLiteral("x 100"), QStringLiteral("x 500")},
        BaseIntervalParsLMDGroupBox);
    BaseIntervalMultiplierLMDRadioGroup->setColumns(2);
    {
        auto *row = new QHBoxLayout(BaseIntervalParsLMDGroupBox);
        row->setContentsMargins(6, 2, 6, 6);
        row->addWidget(BaseIntervalTypeLMDRadioGroup, 3);
        row->addWidget(BaseIntervalMultiplierLMDRadioGroup, 2);
    }
    interval->addWidget(BaseIntervalParsLMDGroupBox, 0, 0, 1, 3);

    BaseIntervalsNumberLabelLMDStaticText =
        makeCaption("BaseIntervalsNumberLabelLMDStaticText", QCoreApplication::translate("G740GeneratorFrame", "Колличествово базовых интервалов"),
                    IncrementIntervalParsLMDGroupBox);
    BaseIntervalsNumberLMDEdit = makeEdit("BaseIntervalsNumberLMDEdit", DigitKeys, IncrementIntervalParsLMDGroupBox);
    BaseIntervalsNumberLMDEdit->setFixedWidth(90);
    DurationLabelLMDLabel = makeCaption("DurationLabelLMDLabel", QCoreApplication::translate("G740GeneratorFrame", "Общая длительность приращения"),
                                        IncrementIntervalParsLMDGroupBox);
    DurationLMDStaticText = makeDisplay("DurationLMDStaticText", IncrementIntervalParsLMDGroupBox, ActualValueColor);
    DurationLMDStaticText->setFixedWidth(90);
    DurationUnitLMDStaticText =
        makeCaption("DurationUnitLMDStaticText", QCoreApplication::translate("G740GeneratorFrame", "мс"), IncrementIntervalParsLMDGroupBox);
    interval->addWidget(BaseIntervalsNumberLabelLMDStaticText, 1, 0);
    interval->addWidget(BaseIntervalsNumberLMDEdit, 1, 1);
    interval->addWidget(DurationLabelLMDLabel, 2, 0);
    interval->addWidget(DurationLMDStaticText, 2, 1);
    interval->addWidget(DurationUnitLMDStaticText, 2, 2);
    interval->setColumnStretch(0, 1);
    BaseIntervalsNumberLabelLMDStaticText->setContentsMargins(6, 0, 0, 0);
    DurationLabelLMDLabel->setContentsMargins(6, 0, 0, 0);
}

void TG740GeneratorFrame::buildAnalogOutputControls()
{
    AnalogOutputsParsLMDGroupBox =
        makeGroup("AnalogOutputsParsLMDGroupBox", QCoreApplication::translate("G740GeneratorFrame", "Параметры аналоговых выходов"), this);
    AnalogOutputsParsLMDGroupBox->setGeometry(460, 0, 499, 350);
    auto *column = new QGridLayout(AnalogOutputsParsLMDGroupBox);
    column->setContentsMargins(6, 2, 6, 6);
    column->setSpacing(4);

    AnalogOutputsTypeLMDRadioGroup = makeRadioGroup(
        "AnalogOutputsTypeLMDRadioGroup", QCoreApplication::translate("G740GeneratorFrame", "Тип сигнала"),
        {QCoreApplication::translate("G740GeneratorFrame", "треугольный"), QCoreApplication::translate("G740GeneratorFrame", "синусоидальный")}, AnalogOutputsParsLMDGroupBox);
    column->addWidget(AnalogOutputsTypeLMDRadioGroup, 0, 0);

    AnalogOutputsGaindBLMDGroupBox = makeGroup("AnalogOutputsGaindBLMDGroupBox", QString(), AnalogOutputsParsLMDGroupBox);
    AnalogOutputsGaindBLabelLMDStaticText =
        makeCaption("AnalogOutputsGaindBLabelLMDStaticText", QCoreApplication::translate("G740GeneratorFrame", "Усиление выходного тракта генератора"),
                    AnalogOutputsGaindBLMDGroupBox);
    AnalogOutputsGaindBLabelLMDStaticText->setWordWrap(true);
    AnalogOutputsGaindBLMDComboBox =
        addControl(new QComboBox(AnalogOutputsGaindBLMDGroupBox), "AnalogOutputsGaindBLMDComboBox");
    AnalogOutputsGaindBLMDComboBox->setFixedWidth(80);
    AnalogOutputsGaindBUnitLMDStaticText =
        makeCaption("AnalogOutputsGaindBUnitLMDStaticText", QCoreApplication::translate("G740GeneratorFrame", "дБ"), AnalogOutputsGaindBLMDGroupBox);
    {
        auto *grid = new QGridLayout(AnalogOutputsGaindBLMDGroupBox);
        grid->setContentsMargins(8, 2, 8, 4);
        grid->setVerticalSpacing(2);
        grid->addWidget(AnalogOutputsGaindBLabelLMDStaticText, 0, 0, 1, 3);
        grid->addWidget(AnalogOutputsGaindBLMDComboBox, 1, 0);
        grid->addWidget(AnalogOutputsGaindBUnitLMDStaticText, 1, 1);
        grid->setColumnStretch(2, 1);
    }
    column->addWidget(AnalogOutputsGaindBLMDGroupBox, 0, 1);
    column->setColumnStretch(1, 1);

    // Amplitude in V and dB of one output.
    auto amplitudeRow = [this](QGroupBox *group, const char *labelName, const char *voltsName,
                               const char *voltsUnitName, const char *dBName, const char *dBUnitName,
                               StaticText *&label, StaticText *&volts, StaticText *&volts_unit, StaticText *&dB,
                               StaticText *&dB_unit) {
        label = makeCaption(labelName, QCoreApplication::translate("G740GeneratorFrame", "Амплитуда сигнала"), group);
        volts = makeDisplay(voltsName, group, ActualValueColor);
        volts->setMinimumWidth(80);
        volts_unit = makeCaption(voltsUnitName, QCoreApplication::translate("G740GeneratorFrame", "В"), group);
        dB = makeDisplay(dBName, group, ActualValueColor);
        dB->setMinimumWidth(80);
        dB_unit = makeCaption(dBUnitName, QCoreApplication::translate("G740GeneratorFrame", "дБ"), group);
        auto *row = new QHBoxLayout;
        row->addWidget(label);
        row->addSpacing(6);
        row->addWidget(volts, 1);
        row->addWidget(volts_unit);
        row->addSpacing(10);
        row->addWidget(dB, 1);
        row->addWidget(dB_unit);
        return row;
    };

    Output50OhmParsLMDGroupBox =
        makeGroup("Output50OhmParsLMDGroupBox", QCoreApplication::translate("G740GeneratorFrame", "Выход 50 Ом"), AnalogOutputsParsLMDGroupBox);
    {
        auto *box = new QVBoxLayout(Output50OhmParsLMDGroupBox);
        box->setContentsMargins(8, 2, 8, 6);
        box->addLayout(amplitudeRow(Output50OhmParsLMDGroupBox, "ApmlitudeOutput50OhmLabelLMDStaticText",
                                    "ApmlitudeOutput50OhmInVLMDStaticText", "ApmlitudeOutput50OhmInVUnitLMDStaticText",
                                    "ApmlitudeOutput50OhmIndBLMDStaticText",
                                    "ApmlitudeOutput50OhmIndBUnitLMDStaticText", ApmlitudeOutput50OhmLabelLMDStaticText,
                                    ApmlitudeOutput50OhmInVLMDStaticText, ApmlitudeOutput50OhmInVUnitLMDStaticText,
                                    ApmlitudeOutput50OhmIndBLMDStaticText, ApmlitudeOutput50OhmIndBUnitLMDStaticText));
    }
    column->addWidget(Output50OhmParsLMDGroupBox, 1, 0, 1, 2);

    Output10OhmParsLMDGroupBox =
        makeGroup("Output10OhmParsLMDGroupBox", QCoreApplication::translate("G740GeneratorFrame", "Выход 10 Ом"), AnalogOutputsParsLMDGroupBox);
    auto *output10 = new QVBoxLayout(Output10OhmParsLMDGroupBox);
    output10->setContentsMargins(8, 2, 8, 6);
    output10->addLayout(amplitudeRow(Output10OhmParsLMDGroupBox, "ApmlitudeOutput10OhmLabelLMDStaticText",
                                     "ApmlitudeOutput10OhmInVLMDStaticText", "ApmlitudeOutput10OhmInVUnitLMDStaticText",
                                     "ApmlitudeOutput10OhmIndBLMDStaticText",
                                     "ApmlitudeOutput10OhmIndBUnitLMDStaticText", ApmlitudeOutput10OhmLabelLMDStaticText,
                                     ApmlitudeOutput10OhmInVLMDStaticText, ApmlitudeOutput10OhmInVUnitLMDStaticText,
                                     ApmlitudeOutput10OhmIndBLMDStaticText, ApmlitudeOutput10OhmIndBUnitLMDStaticText));
    column->addWidget(Output10OhmParsLMDGroupBox, 2, 0, 1, 2);
    column->setRowStretch(2, 1);

    OffsetOutput10OhmLMDGroupBox =
        makeGroup("OffsetOutput10OhmLMDGroupBox", QCoreApplication::translate("G740GeneratorFrame", "Смещение сигнала"), Output10OhmParsLMDGroupBox);
    output10->addWidget(OffsetOutput10OhmLMDGroupBox);
    auto *offsetRow = new QHBoxLayout(OffsetOutput10OhmLMDGroupBox);
    offsetRow->setContentsMargins(6, 2, 6, 6);
    OffsetTypeOutput10OhmLMDRadioGroup = makeRadioGroup(
        "OffsetTypeOutput10OhmLMDRadioGroup", QCoreApplication::translate("G740GeneratorFrame", "Тип смещения"),
        {QCoreApplication::translate("G740GeneratorFrame", "внутреннее"), QCoreApplication::translate("G740GeneratorFrame", "внешнее")}, OffsetOutput10OhmLMDGroupBox);
    offsetRow->addWidget(OffsetTypeOutput10OhmLMDRadioGroup);

    OffsetValueLMDGroupBox =
        makeGroup("OffsetValueLMDGroupBox", QCoreApplication::translate("G740GeneratorFrame", "Величина смещения"), OffsetOutput10OhmLMDGroupBox);
    offsetRow->addWidget(OffsetValueLMDGroupBox, 1);
    DesiredOffsetLabelOutput10OhmLMDStaticText = makeCaption("DesiredOffsetLabelOutput10OhmLMDStaticText",
                                                             QCoreApplication::translate("G740GeneratorFrame", "Желаемое"), OffsetValueLMDGroupBox);
    DesiredOffsetValueOutput10OhmLMDEdit =
        makeEdit("DesiredOffsetValueOutput10OhmLMDEdit", SignedDigitKeys, OffsetValueLMDGroupBox);
    ActualOffsetValueOutput10OhmLabelLMDStaticText = makeCaption(
        "ActualOffsetValueOutput10OhmLabelLMDStaticText", QCoreApplication::translate("G740GeneratorFrame", "Реальное"), OffsetValueLMDGroupBox);
    ActualOffsetValueOutput10OhmLMDStaticText =
        makeDisplay("ActualOffsetValueOutput10OhmLMDStaticText", OffsetValueLMDGroupBox, ActualValueColor);
    OffsetUnitOutput10OhmLMDStaticText =
        makeCaption("OffsetUnitOutput10OhmLMDStaticText", QCoreApplication::translate("G740GeneratorFrame", "В"), OffsetValueLMDGroupBox);
    {
        auto *grid = new QGridLayout(OffsetValueLMDGroupBox);
        grid->setContentsMargins(8, 2, 8, 6);
        grid->setVerticalSpacing(4);
        grid->addWidget(DesiredOffsetLabelOutput10OhmLMDStaticText, 0, 0);
        grid->addWidget(DesiredOffsetValueOutput10OhmLMDEdit, 0, 1);
        grid->addWidget(ActualOffsetValueOutput10OhmLabelLMDStaticText, 1, 0);
        grid->addWidget(ActualOffsetValueOutput10OhmLMDStaticText, 1, 1);
        grid->addWidget(OffsetUnitOutput10OhmLMDStaticText, 1, 2);
        DesiredOffsetValueOutput10OhmLMDEdit->setFixedWidth(110);
    }
}

void TG740GeneratorFrame::buildDigitalLineControls()
{
    DigitalLinesParsLMDGroupBox =
        makeGroup("DigitalLinesParsLMDGroupBox", QCoreApplication::translate("G740GeneratorFrame", "Цифровые линии управления и выходы"), this);
    DigitalLinesParsLMDGroupBox->setGeometry(460, 352, 499, 225);
    auto *grid = new QGridLayout(DigitalLinesParsLMDGroupBox);
    grid->setContentsMargins(4, 0, 4, 4);
    grid->setSpacing(4);

    const QStringList lineItems = {QCoreApplication::translate("G740GeneratorFrame", "внутренняя"), QCoreApplication::translate("G740GeneratorFrame", "внешняя")};
    IncrementTypeLMDRadioGroup =
        makeRadioGroup("IncrementTypeLMDRadioGroup", QCoreApplication::translate("G740GeneratorFrame", "Управление приращениями"),
                       {QCoreApplication::translate("G740GeneratorFrame", "автоматическое"), QCoreApplication::translate("G740GeneratorFrame", "линией 'CTRL'")}, DigitalLinesParsLMDGroupBox);
    CtrlLineTypeLMDRadioGroup =
        makeRadioGroup("CtrlLineTypeLMDRadioGroup", QCoreApplication::translate("G740GeneratorFrame", "Линия 'CTRL'"), lineItems,
                       DigitalLinesParsLMDGroupBox);
    CtrlLineTypeLMDRadioGroup->setColumns(2);
    InterrupLineTypeLMDRadioGroup =
        makeRadioGroup("InterrupLineTypeLMDRadioGroup", QCoreApplication::translate("G740GeneratorFrame", "Линия 'INTERRUP'"), lineItems,
                       DigitalLinesParsLMDGroupBox);
    InterrupLineTypeLMDRadioGroup->setColumns(2);
    grid->addWidget(IncrementTypeLMDRadioGroup, 0, 0);
    grid->addWidget(CtrlLineTypeLMDRadioGroup, 1, 0);
    grid->addWidget(InterrupLineTypeLMDRadioGroup, 2, 0);

    SyncoutLineParsDGroupBox =
        makeGroup("SyncoutLineParsDGroupBox", QCoreApplication::translate("G740GeneratorFrame", "Линия 'SYNCOUT'"), DigitalLinesParsLMDGroupBox);
    EnaSyncoutLMDCheckBox = addControl(new QCheckBox(QCoreApplication::translate("G740GeneratorFrame", "Разрешение синхровыхода"), SyncoutLineParsDGroupBox),
                                       "EnaSyncoutLMDCheckBox");
    SyncoutTypeLMDRadioGroup = makeRadioGroup(
        "SyncoutTypeLMDRadioGroup", QCoreApplication::translate("G740GeneratorFrame", "Тип формирования "),
        {QCoreApplication::translate("G740GeneratorFrame", "при каждом приращении"), QCoreApplication::translate("G740GeneratorFrame", "в конце сканирования")}, SyncoutLineParsDGroupBox);
    {
        auto *box = new QVBoxLayout(SyncoutLineParsDGroupBox);
        box->setContentsMargins(6, 0, 4, 4);
        box->addWidget(EnaSyncoutLMDCheckBox);
        box->addWidget(SyncoutTypeLMDRadioGroup);
    }
    grid->addWidget(SyncoutLineParsDGroupBox, 0, 1, 2, 1);

    MiscellaneousLMDGroupBox = makeGroup("MiscellaneousLMDGroupBox", QString(), DigitalLinesParsLMDGroupBox);
    EnaSquareWaveOutputLMDCheckBox = addControl(
        new QCheckBox(QCoreApplication::translate("G740GeneratorFrame", "Цифровой выход \"Меандр\""), MiscellaneousLMDGroupBox),
        "EnaSquareWaveOutputLMDCheckBox");
    {
        auto *box = new QVBoxLayout(MiscellaneousLMDGroupBox);
        box->setContentsMargins(8, 4, 8, 4);
        box->addWidget(EnaSquareWaveOutputLMDCheckBox);
    }
    grid->addWidget(MiscellaneousLMDGroupBox, 2, 1);
}

void TG740GeneratorFrame::connectHandlers()
{
    using F = TG740GeneratorFrame;
    auto onRadio = [this](RadioGroup *group, void (F::*handler)()) {
        connect(group, &RadioGroup::itemIndexChanged, this, [this, handler] { (this->*handler)(); });
    };
    auto onEdit = [this](KeyFilterEdit *edit, void (F::*handler)()) {
        connect(edit, &QLineEdit::textChanged, this, [this, handler] { (this->*handler)(); });
    };
    onRadio(MasterClockSourceLMDRadioGroup, &F::MasterClockSourceLMDRadioGroupChange);
    onRadio(CyclicAutoScanLMDRadioGroup, &F::CyclicAutoScanLMDRadioGroupChange);
    onRadio(IncrementTypeLMDRadioGroup, &F::IncrementTypeLMDRadioGroupChange);
    onRadio(CtrlLineTypeLMDRadioGroup, &F::CtrlLineTypeLMDRadioGroupChange);
    onRadio(InterrupLineTypeLMDRadioGroup, &F::InterrupLineTypeLMDRadioGroupChange);
    onRadio(SyncoutTypeLMDRadioGroup, &F::SyncoutTypeLMDRadioGroupChange);
    onRadio(BaseIntervalTypeLMDRadioGroup, &F::BaseIntervalTypeLMDRadioGroupChange);
    onRadio(BaseIntervalMultiplierLMDRadioGroup, &F::BaseIntervalMultiplierLMDRadioGroupChange);
    onRadio(AnalogOutputsTypeLMDRadioGroup, &F::AnalogOutputsTypeLMDRadioGroupChange);
    onRadio(OffsetTypeOutput10OhmLMDRadioGroup, &F::OffsetTypeOutput10OhmLMDRadioGroupChange);
    onEdit(ExternalMasterClockValueLMDEdit, &F::ExternalMasterClockValueLMDEditChange);
    onEdit(DesiredStartFrequencyValueLMDEdit, &F::DesiredStartFrequencyValueLMDEditChange);
    onEdit(DesiredFrequencyIncrementValueLMDEdit, &F::DesiredFrequencyIncrementValueLMDEditChange);
    onEdit(NumberOfIncrementsValueLMDEdit, &F::NumberOfIncrementsValueLMDEditChange);
    onEdit(BaseIntervalsNumberLMDEdit, &F::BaseIntervalsNumberLMDEditChange);
    onEdit(DesiredOffsetValueOutput10OhmLMDEdit, &F::DesiredOffsetValueOutput10OhmLMDEditChange);
    connect(EnaSyncoutLMDCheckBox, &QCheckBox::toggled, this, &F::EnaSyncoutLMDCheckBoxChange);
    connect(EnaSquareWaveOutputLMDCheckBox, &QCheckBox::toggled, this, &F::EnaSquareWaveOutputLMDCheckBoxChange);
    // A user's choice only: selecting an entry from the program runs no handler.
    connect(AnalogOutputsGaindBLMDComboBox, &QComboBox::activated, this, &F::AnalogOutputsGaindBLMDComboBoxChange);
    connect(ControlGeneratorLMDButton, &QPushButton::clicked, this, &F::ControlGeneratorLMDButtonClick);

    // After the control's own handler (connected first, so called first),
    // the instrument gets what the controls now hold.
    for (QWidget *control : std::as_const(m_controls)) {
        if (auto *group = qobject_cast<RadioGroup *>(control))
            connect(group, &RadioGroup::itemIndexChanged, this, &F::publishRecord);
        else if (auto *edit = qobject_cast<QLineEdit *>(control))
            connect(edit, &QLineEdit::textChanged, this, &F::publishRecord);
    }
    connect(EnaSyncoutLMDCheckBox, &QCheckBox::toggled, this, &F::publishRecord);
    connect(EnaSquareWaveOutputLMDCheckBox, &QCheckBox::toggled, this, &F::publishRecord);
    connect(AnalogOutputsGaindBLMDComboBox, &QComboBox::activated, this, &F::publishRecord);
}
