#include "app/G740GeneratorFrame.h"

#include "device/ModuleInterface.h"
#include "generator/GeneratorCalculations.h"
#include "instrument/Instrument.h"
#include "instrument/RecordRules.h"
#include "runtime/KeyFilterEdit.h"
#include "runtime/MessageBox.h"
#include "runtime/NumberFormat.h"
#include "runtime/RadioGroup.h"
#include "runtime/StaticText.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLocale>
#include <QPushButton>
#include <QVBoxLayout>

#include <cstring>
#include <QCoreApplication>

using namespace GeneratorCalculations;

namespace {

const QColor ActualValueColor(0, 128, 0);
const QColor InternalClockColor(128, 128, 128);
const QColor StoppedButtonColor(0, 128, 0);
const QColor RunningButtonColor(128, 0, 0);

const QString DigitKeys = QStringLiteral("0123456789.");
const QString SignedDigitKeys = QStringLiteral("0123456789.-");

QString ConversionErrorText()
{
    return QCoreApplication::translate("G740GeneratorFrame", "Обнаружена ошибка преобразования строки в число.");
}
QString MasterClockErrorCaption()
{
    return QCoreApplication::translate("G740GeneratorFrame", "Ошибка ExternalMasterClockValueLMDEditChange()!!!");
}
QString StartFrequencyErrorCaption()
{
    return QCoreApplication::translate("G740GeneratorFrame", "Ошибка DesiredStartFrequencyValueLMDEditChange()!!!");
}
QString IncrementErrorCaption()
{
    return QCoreApplication::translate("G740GeneratorFrame", "Ошибка DesiredFrequencyIncrementValueLMDEditChange()!!!");
}
QString OffsetErrorCaption()
{
    return QCoreApplication::translate("G740GeneratorFrame", "Ошибка DesiredOffsetValueOutput10OhmLMDEditChange()!!!");
}
QString ButtonErrorCaption()
{
    return QCoreApplication::translate("G740GeneratorFrame", "Ошибка ControlGeneratorLMDButtonClick()!!!");
}

// Marks a handler as running for its lifetime, unless another one already
// runs; release() hands the panel over to a handler it calls next.
class BusyScope
{
public:
    explicit BusyScope(bool &flag)
        : m_flag(flag)
        , m_owned(!flag)
    {
        m_flag = true;
    }
    ~BusyScope() { release(); }
    BusyScope(const BusyScope &) = delete;
    BusyScope &operator=(const BusyScope &) = delete;

    bool acquired() const { return m_owned; }
    void release()
    {
        if (m_owned)
            m_flag = false;
        m_owned = false;
    }

private:
    bool &m_flag;
    bool m_owned;
};

// An enumeration byte as the record keeps it: no selection (-1) is 255.
std::uint8_t indexByte(int index)
{
    return static_cast<std::uint8_t>(index);
}

} // namespace

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
