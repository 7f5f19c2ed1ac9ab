// The generator panel as the window on the instrument: a change made
// elsewhere appears on it at once, a change typed in it is the instrument's.
#include "ClickItem.h"
#include "DefaultRecord.h"
#include "FindControl.h"
#include "window/G740GeneratorFrame.h"
#include "device/ModuleInterface.h"
#include "instrument/Instrument.h"
#include "widgets/KeyFilterEdit.h"
#include "widgets/RadioGroup.h"
#include "widgets/StaticText.h"

#include <QApplication>
#include <QComboBox>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include <memory>

using RecordRules::Field;

namespace {

class QuietModule final : public ModuleInterface
{
public:
    ModuleResult OpenModule(std::uint16_t) override { return 1; }
    ModuleResult CloseModule() override { return 1; }
    ModuleResult ReleaseInterface() override { return 1; }
    ModuleResult GetModuleName(char *) override { return 1; }
    ModuleResult GetUsbSpeed(std::uint8_t *) override { return 1; }
    ModuleResult SET_GENERATOR_PARS(GENERATOR_PARS *) override { return 1; }
    ModuleResult START_GENERATOR() override { return 1; }
    ModuleResult STOP_GENERATOR() override { return stopResult; }
    ModuleResult GET_MODULE_DESCRIPTION(ModuleDescription *) override { return 1; }
    ModuleResult stopResult = 1;
};

} // namespace

class TestPanelInstrument : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void changesElsewhereAppearAtOnce();
    void typedChangesReachTheInstrument();
    void cyclicScanChoicesSurviveARoundTrip();
    void startAndStopElsewhereLockAndUnlock();
    void nothingIsPublishedBeforeARecord();

private:
    template <typename T>
    T *control(const char *name) const
    {
        return findControl<T>(m_frame.get(), name);
    }
    QString text(const char *name) const
    {
        QWidget *w = control<QWidget>(name);
        if (auto *label = qobject_cast<QLabel *>(w))
            return label->text();
        return qobject_cast<QLineEdit *>(w)->text();
    }
    void clickItem(const char *group, int index) { ::clickItem(control<RadioGroup>(group), index); }
    void apply()
    {
        for (QWidget *w : m_frame->findChildren<QWidget *>())
            w->setEnabled(true);
        const GENERATOR_PARS pars = defaultRecord();
        m_frame->ApplyGeneratorPars(&m_module, &pars);
    }

    QuietModule m_module;
    std::unique_ptr<Instrument> m_instrument;
    std::unique_ptr<TG740GeneratorFrame> m_frame;
};

void TestPanelInstrument::init()
{
    m_module = QuietModule();
    m_instrument = std::make_unique<Instrument>();
    m_frame = std::make_unique<TG740GeneratorFrame>(nullptr, m_instrument.get());
    m_frame->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_frame.get()));
}

void TestPanelInstrument::cleanup()
{
    m_frame.reset();
    m_instrument.reset();
}

void TestPanelInstrument::changesElsewhereAppearAtOnce()
{
    apply();
    QVERIFY(!m_instrument->setField(Field::StartFrequency, 20.0));
    QCOMPARE(text("DesiredStartFrequencyValueLMDEdit"), "20.0000");
    QCOMPARE(text("ActualStartFrequencyValueLMDStaticText"), "20.0003");
    QCOMPARE(text("FinalFrequencyValueLMDStaticText"), "519.9939");

    QVERIFY(!m_instrument->setField(Field::AnalogOutputsGainIndex, 4));
    QCOMPARE(control<QComboBox>("AnalogOutputsGaindBLMDComboBox")->currentIndex(), 4);
    QCOMPARE(text("ApmlitudeOutput10OhmIndBLMDStaticText"), "0.0");

    // The panel's rules follow: stepping by the CTRL line locks the interval.
    QVERIFY(!m_instrument->setField(Field::IncrementType, 1));
    QCOMPARE(control<RadioGroup>("IncrementTypeLMDRadioGroup")->itemIndex(), 1);
    QVERIFY(!control<QWidget>("BaseIntervalsNumberLMDEdit")->isEnabled());

    // Shown, not rewritten: the instrument keeps the value it was given,
    // even where the panel shows fewer decimals.
    QVERIFY(!m_instrument->setField(Field::FrequencyIncrement, 12.345678));
    QCOMPARE(text("DesiredFrequencyIncrementValueLMDEdit"), "12.3457");
    QCOMPARE(double(m_instrument->record().FrequencyIncrement), 12.345678);
}

void TestPanelInstrument::typedChangesReachTheInstrument()
{
    apply();
    auto *start = control<KeyFilterEdit>("DesiredStartFrequencyValueLMDEdit");
    QTest::keyClick(start, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(start, "250.5");
    QCOMPARE(double(m_instrument->record().StartFrequency), 250.5);
    auto *count = control<KeyFilterEdit>("NumberOfIncrementsValueLMDEdit");
    QTest::keyClick(count, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(count, "9999");
    // The panel's own bound is the instrument's.
    QCOMPARE(count->text(), "4095");
    QCOMPARE(int(m_instrument->record().NumberOfIncrements), 4095);
    // A half-typed value leaves the instrument's last good one.
    QTest::keyClick(start, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(start, Qt::Key_Backspace);
    QCOMPARE(double(m_instrument->record().StartFrequency), 250.5);
}

void TestPanelInstrument::cyclicScanChoicesSurviveARoundTrip()
{
    apply();
    auto *incrementType = control<RadioGroup>("IncrementTypeLMDRadioGroup");
    clickItem("IncrementTypeLMDRadioGroup", 1);
    QCOMPARE(int(m_instrument->record().IncrementType), 1);
    clickItem("CyclicAutoScanLMDRadioGroup", 1);
    // The instrument has the forced value; the panel shows it locked.
    QCOMPARE(int(m_instrument->record().IncrementType), 0);
    QCOMPARE(int(m_instrument->record().EnaSyncout), 1);
    QVERIFY(!incrementType->isEnabled());
    // Switched off in the panel: the operator's choice is back everywhere.
    clickItem("CyclicAutoScanLMDRadioGroup", 0);
    QCOMPARE(incrementType->itemIndex(), 1);
    QCOMPARE(int(m_instrument->record().IncrementType), 1);
}

void TestPanelInstrument::startAndStopElsewhereLockAndUnlock()
{
    apply();
    auto *button = control<QPushButton>("ControlGeneratorLMDButton");
    QVERIFY(!m_instrument->start());
    QCOMPARE(button->text(), "Останов генератора");
    QVERIFY(!control<QWidget>("DesiredStartFrequencyValueLMDEdit")->isEnabled());
    QVERIFY(button->isEnabled());
    QVERIFY(!m_instrument->stop());
    QCOMPARE(button->text(), "Запуск генератора");
    QVERIFY(control<QWidget>("DesiredStartFrequencyValueLMDEdit")->isEnabled());
    // The interval controls keep the state the panel's rules gave them.
    QVERIFY(control<QWidget>("BaseIntervalsNumberLMDEdit")->isEnabled());

    // Started in the panel, a failing stop elsewhere: the output may still be
    // on, so the panel goes on showing the running generator, with no box
    // (the one who stopped got the failure); a stop that works unlocks it.
    QTest::mouseClick(button, Qt::LeftButton);
    QVERIFY(m_instrument->isRunning());
    m_module.stopResult = 0;
    QVERIFY(m_instrument->stop());
    QCOMPARE(button->text(), "Останов генератора");
    QVERIFY(!control<QWidget>("DesiredStartFrequencyValueLMDEdit")->isEnabled());
    QVERIFY(!QApplication::activeModalWidget());
    m_module.stopResult = 1;
    QVERIFY(!m_instrument->stop());
    QCOMPARE(button->text(), "Запуск генератора");
}

void TestPanelInstrument::nothingIsPublishedBeforeARecord()
{
    const GENERATOR_PARS before = m_instrument->record();
    // An empty panel (no module yet) gives the instrument nothing, even with
    // its controls usable.
    for (QWidget *w : m_frame->findChildren<QWidget *>())
        w->setEnabled(true);
    clickItem("CyclicAutoScanLMDRadioGroup", 2);
    QCOMPARE(QByteArray(reinterpret_cast<const char *>(&m_instrument->record()), sizeof before),
             QByteArray(reinterpret_cast<const char *>(&before), sizeof before));
    // Nor does it show the instrument's changes.
    QVERIFY(!m_instrument->setField(Field::StartFrequency, 30.0));
    QCOMPARE(text("DesiredStartFrequencyValueLMDEdit"), QString());
}

QTEST_MAIN(TestPanelInstrument)
#include "tst_panelinstrument.moc"
