#include "ClickItem.h"
#include "DefaultRecord.h"
#include "FindControl.h"
#include "device/ModuleInterface.h"
#include "window/G740GeneratorFrame.h"
#include "widgets/KeyFilterEdit.h"
#include "widgets/RadioGroup.h"
#include "widgets/StaticText.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include <cstring>
#include <memory>

namespace {

// A module that records what the panel asks of it.
class FakeModule final : public ModuleInterface
{
public:
    ModuleResult OpenModule(std::uint16_t) override { return 1; }
    ModuleResult CloseModule() override { return 1; }
    ModuleResult ReleaseInterface() override { return 1; }
    ModuleResult GetModuleName(char *) override { return 1; }
    ModuleResult GetUsbSpeed(std::uint8_t *) override { return 1; }
    ModuleResult SET_GENERATOR_PARS(GENERATOR_PARS *pars) override
    {
        ++setCalls;
        std::memcpy(sent, pars, sizeof sent);
        return setResult;
    }
    ModuleResult START_GENERATOR() override
    {
        ++startCalls;
        return startResult;
    }
    ModuleResult STOP_GENERATOR() override
    {
        ++stopCalls;
        return stopResult;
    }
    ModuleResult GET_MODULE_DESCRIPTION(ModuleDescription *) override { return 1; }

    GENERATOR_PARS sentRecord() const
    {
        GENERATOR_PARS pars;
        std::memcpy(static_cast<void *>(&pars), sent, sizeof sent);
        return pars;
    }

    ModuleResult setResult = 1;
    ModuleResult startResult = 1;
    ModuleResult stopResult = 1;
    int setCalls = 0;
    int startCalls = 0;
    int stopCalls = 0;
    unsigned char sent[sizeof(GENERATOR_PARS)] = {};
};

struct Box
{
    QString text;
    QString caption;
};

// Closes every modal message box that opens while it lives, and keeps what
// they said.
class BoxCatcher
{
public:
    BoxCatcher()
    {
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                boxes.append({box->text(), box->windowTitle()});
                box->accept();
            }
        });
        m_timer.start(10);
    }
    QList<Box> boxes;

private:
    QTimer m_timer;
};

} // namespace

class TestGeneratorFrame : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void initialState();
    void typicalRun();
    void calculationsThroughPanel_data();
    void calculationsThroughPanel();
    void emptyFieldsShowNotAvailable();
    void lettersNeverAppear_data();
    void lettersNeverAppear();
    void pastedTextStillArrives();
    void gainList();
    void cyclicScanForcesAndRestores();
    void ctrlLineStepping();
    void externalOffset();
    void clockSourceSwitching();
    void conversionErrors_data();
    void conversionErrors();
    void appliedRecordReadsBack();
    void startSendsWhatIsShownAndLocks();
    void emptyStartFrequencyOnStart();
    void failedModuleCalls_data();
    void failedModuleCalls();
    void applyWhileRunning();
    void destruction();
    void clearedCountIsReplacedByTheNextDigit_data();
    void clearedCountIsReplacedByTheNextDigit();
    void disabledStartButtonIsGreyed();

private:
    template <typename T>
    T *control(const char *name) const
    {
        return findControl<T>(m_frame.get(), name);
    }
    QString text(const char *name) const;
    void apply(const GENERATOR_PARS &pars);
    void retype(const char *edit, const QString &typed);
    void clickItem(const char *group, int index);

    std::unique_ptr<TG740GeneratorFrame> m_frame;
    FakeModule m_module;
};

void TestGeneratorFrame::init()
{
    m_module = FakeModule();
    m_frame = std::make_unique<TG740GeneratorFrame>();
    m_frame->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_frame.get()));
}

void TestGeneratorFrame::cleanup()
{
    m_module.stopResult = 1;
    m_frame.reset();
}

QString TestGeneratorFrame::text(const char *name) const
{
    QWidget *w = control<QWidget>(name);
    if (auto *label = qobject_cast<QLabel *>(w))
        return label->text();
    if (auto *edit = qobject_cast<QLineEdit *>(w))
        return edit->text();
    qFatal("%s shows no text", name);
}

void TestGeneratorFrame::apply(const GENERATOR_PARS &pars)
{
    // The detection enables every control before it hands the record over.
    for (QWidget *w : m_frame->findChildren<QWidget *>())
        w->setEnabled(true);
    m_frame->ApplyGeneratorPars(&m_module, &pars);
}

// Selects the whole field with the keyboard and types over it.
void TestGeneratorFrame::retype(const char *edit, const QString &typed)
{
    auto *field = control<KeyFilterEdit>(edit);
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    if (typed.isEmpty())
        QTest::keyClick(field, Qt::Key_Backspace);
    else
        QTest::keyClicks(field, typed);
}

void TestGeneratorFrame::clickItem(const char *group, int index)
{
    ::clickItem(control<RadioGroup>(group), index);
}

void TestGeneratorFrame::initialState()
{
    QCOMPARE(m_frame->size(), QSize(963, 581));
    const char *radioGroups[] = {"MasterClockSourceLMDRadioGroup", "CyclicAutoScanLMDRadioGroup",
                                 "IncrementTypeLMDRadioGroup",     "CtrlLineTypeLMDRadioGroup",
                                 "InterrupLineTypeLMDRadioGroup",  "SyncoutTypeLMDRadioGroup",
                                 "AnalogOutputsTypeLMDRadioGroup", "BaseIntervalTypeLMDRadioGroup",
                                 "BaseIntervalMultiplierLMDRadioGroup"};
    for (const char *name : radioGroups)
        QCOMPARE(control<RadioGroup>(name)->itemIndex(), -1);
    QCOMPARE(control<RadioGroup>("OffsetTypeOutput10OhmLMDRadioGroup")->itemIndex(), 1);
    QCOMPARE(control<RadioGroup>("BaseIntervalMultiplierLMDRadioGroup")->items(),
             QStringList({"x 1", "x 5", "x 100", "x 500"}));

    auto *gain = control<QComboBox>("AnalogOutputsGaindBLMDComboBox");
    QCOMPARE(gain->currentIndex(), -1);
    QCOMPARE(gain->count(), 14);
    QCOMPARE(gain->maxVisibleItems(), 14);
    QCOMPARE(gain->itemText(0), "10");
    QCOMPARE(gain->itemText(13), "-24");

    for (KeyFilterEdit *edit : m_frame->findChildren<KeyFilterEdit *>())
        QVERIFY2(edit->text().isEmpty(), qPrintable(edit->objectName()));
    QVERIFY(text("ActualStartFrequencyValueLMDStaticText").isEmpty());
    QVERIFY(text("DurationLMDStaticText").isEmpty());
    QVERIFY(!control<QCheckBox>("EnaSyncoutLMDCheckBox")->isEnabled());
    QVERIFY(!control<QCheckBox>("EnaSquareWaveOutputLMDCheckBox")->isEnabled());
    QCOMPARE(control<QCheckBox>("EnaSquareWaveOutputLMDCheckBox")->text(), "Цифровой выход \"Меандр\"");

    auto *button = control<QPushButton>("ControlGeneratorLMDButton");
    QCOMPARE(button->text(), "Запуск генератора");
    QCOMPARE(button->palette().color(QPalette::ButtonText), QColor(0, 128, 0));

    // Without an interface a click reaches no module and changes nothing.
    BoxCatcher boxes;
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(button->text(), "Запуск генератора");
    QVERIFY(boxes.boxes.isEmpty());
}

void TestGeneratorFrame::typicalRun()
{
    apply(defaultRecord());
    QCOMPARE(text("InternalMasterClockValueLMDStaticText"), "50000.00");
    QCOMPARE(text("ExternalMasterClockValueLMDEdit"), "50000.0");
    QVERIFY(control<QWidget>("InternalMasterClockValueLMDStaticText")->isVisible());
    QVERIFY(!control<QWidget>("ExternalMasterClockValueLMDEdit")->isVisible());
    QCOMPARE(text("DesiredStartFrequencyValueLMDEdit"), "10.0000");
    QCOMPARE(text("ActualStartFrequencyValueLMDStaticText"), "9.9987");
    QCOMPARE(text("DesiredFrequencyIncrementValueLMDEdit"), "50.0000");
    QCOMPARE(text("ActualFrequencyIncrementLMDStaticText"), "49.9994");
    QCOMPARE(text("NumberOfIncrementsValueLMDEdit"), "10");
    QCOMPARE(text("FinalFrequencyValueLMDStaticText"), "509.9922");
    QCOMPARE(text("BaseIntervalsNumberLMDEdit"), "100");
    QCOMPARE(text("DurationLMDStaticText"), "0.00200");
    QCOMPARE(text("ApmlitudeOutput10OhmInVLMDStaticText"), "3.464");
    QCOMPARE(text("ApmlitudeOutput50OhmIndBLMDStaticText"), "4.0");
    QCOMPARE(text("DesiredOffsetValueOutput10OhmLMDEdit"), "0");
    QCOMPARE(text("ActualOffsetValueOutput10OhmLMDStaticText"), "0.016");
    QCOMPARE(control<RadioGroup>("SyncoutTypeLMDRadioGroup")->itemIndex(), 1);
    QCOMPARE(control<RadioGroup>("AnalogOutputsTypeLMDRadioGroup")->itemIndex(), 1);
    QVERIFY(control<QCheckBox>("EnaSyncoutLMDCheckBox")->isEnabled());

    retype("DesiredStartFrequencyValueLMDEdit", "25000");
    QCOMPARE(text("ActualStartFrequencyValueLMDStaticText"), "25000.0000");
    QCOMPARE(text("FinalFrequencyValueLMDStaticText"), "25499.9936");
}

void TestGeneratorFrame::calculationsThroughPanel_data()
{
    QTest::addColumn<QByteArray>("edit");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QByteArray>("shown");
    QTest::addColumn<QString>("expected");

    QTest::newRow("start above the clock") << QByteArray("DesiredStartFrequencyValueLMDEdit") << "60000"
                                           << QByteArray("ActualStartFrequencyValueLMDStaticText") << "50000.0000";
    QTest::newRow("start below one step") << QByteArray("DesiredStartFrequencyValueLMDEdit") << "0.001"
                                          << QByteArray("ActualStartFrequencyValueLMDStaticText") << "0.0000";
    QTest::newRow("downward increment") << QByteArray("DesiredFrequencyIncrementValueLMDEdit") << "-50"
                                        << QByteArray("ActualFrequencyIncrementLMDStaticText") << "-49.9994";
    QTest::newRow("sweep below 0 kHz") << QByteArray("DesiredFrequencyIncrementValueLMDEdit") << "-50"
                                       << QByteArray("FinalFrequencyValueLMDStaticText") << "-----";
    QTest::newRow("downward sweep above 0 kHz") << QByteArray("DesiredFrequencyIncrementValueLMDEdit") << "-0.5"
                                                << QByteArray("FinalFrequencyValueLMDStaticText") << "4.9919";
    QTest::newRow("increments bounded") << QByteArray("NumberOfIncrementsValueLMDEdit") << "5000"
                                        << QByteArray("NumberOfIncrementsValueLMDEdit") << "4095";
    QTest::newRow("no increments") << QByteArray("NumberOfIncrementsValueLMDEdit") << "0"
                                   << QByteArray("FinalFrequencyValueLMDStaticText") << "9.9987";
    QTest::newRow("increments decimal point") << QByteArray("NumberOfIncrementsValueLMDEdit") << "12."
                                              << QByteArray("NumberOfIncrementsValueLMDEdit") << "1";
    QTest::newRow("base intervals below") << QByteArray("BaseIntervalsNumberLMDEdit") << "1"
                                          << QByteArray("BaseIntervalsNumberLMDEdit") << "2";
    QTest::newRow("base intervals above") << QByteArray("BaseIntervalsNumberLMDEdit") << "3000"
                                          << QByteArray("BaseIntervalsNumberLMDEdit") << "2047";
    QTest::newRow("base intervals emptied") << QByteArray("BaseIntervalsNumberLMDEdit") << ""
                                            << QByteArray("BaseIntervalsNumberLMDEdit") << "2";
    QTest::newRow("duration follows") << QByteArray("BaseIntervalsNumberLMDEdit") << "500"
                                      << QByteArray("DurationLMDStaticText") << "0.01000";
    QTest::newRow("offset 1 V") << QByteArray("DesiredOffsetValueOutput10OhmLMDEdit") << "1"
                                << QByteArray("ActualOffsetValueOutput10OhmLMDStaticText") << "0.988";
    QTest::newRow("offset above") << QByteArray("DesiredOffsetValueOutput10OhmLMDEdit") << "4.1"
                                  << QByteArray("ActualOffsetValueOutput10OhmLMDStaticText") << "4.000";
    QTest::newRow("offset below") << QByteArray("DesiredOffsetValueOutput10OhmLMDEdit") << "-4.1"
                                  << QByteArray("ActualOffsetValueOutput10OhmLMDStaticText") << "-4.000";
    QTest::newRow("offset minus alone") << QByteArray("DesiredOffsetValueOutput10OhmLMDEdit") << "-"
                                        << QByteArray("ActualOffsetValueOutput10OhmLMDStaticText") << "-----";
}

void TestGeneratorFrame::calculationsThroughPanel()
{
    QFETCH(QByteArray, edit);
    QFETCH(QString, typed);
    QFETCH(QByteArray, shown);
    QFETCH(QString, expected);
    apply(defaultRecord());
    retype(edit.constData(), typed);
    QCOMPARE(text(shown.constData()), expected);
}

void TestGeneratorFrame::emptyFieldsShowNotAvailable()
{
    apply(defaultRecord());
    auto *final = control<StaticText>("FinalFrequencyValueLMDStaticText");

    retype("DesiredStartFrequencyValueLMDEdit", "");
    QCOMPARE(text("ActualStartFrequencyValueLMDStaticText"), "-----");
    QVERIFY(!control<QWidget>("ActualStartFrequencyLMDStaticText")->isEnabled());
    QCOMPARE(final->text(), "-----");
    QVERIFY(!final->isEnabled());
    QVERIFY(!control<QWidget>("FinalFrequencyUnitLMDStaticText")->isEnabled());
    QTest::keyClicks(control<KeyFilterEdit>("DesiredStartFrequencyValueLMDEdit"), "10");
    QCOMPARE(text("ActualStartFrequencyValueLMDStaticText"), "9.9987");
    QCOMPARE(final->text(), "509.9922");
    QVERIFY(final->isEnabled());

    // A minus sign alone is a negative number being typed.
    retype("DesiredFrequencyIncrementValueLMDEdit", "-");
    QCOMPARE(text("ActualFrequencyIncrementLMDStaticText"), "-----");
    QCOMPARE(final->text(), "-----");
    QTest::keyClicks(control<KeyFilterEdit>("DesiredFrequencyIncrementValueLMDEdit"), "0.5");
    QCOMPARE(text("ActualFrequencyIncrementLMDStaticText"), "-0.5007");

    clickItem("BaseIntervalMultiplierLMDRadioGroup", 3);
    QCOMPARE(text("DurationLMDStaticText"), "1.00000");
    clickItem("BaseIntervalTypeLMDRadioGroup", 0);
    QCOMPARE(text("DurationLMDStaticText"), "-----");
    QVERIFY(!control<QWidget>("DurationLabelLMDLabel")->isEnabled());
    QVERIFY(!control<QWidget>("DurationUnitLMDStaticText")->isEnabled());
}

void TestGeneratorFrame::lettersNeverAppear_data()
{
    QTest::addColumn<QByteArray>("edit");
    QTest::addColumn<QString>("admitted");
    QTest::addColumn<QString>("expected"); // empty: the field rewrites itself

    QTest::newRow("external clock") << QByteArray("ExternalMasterClockValueLMDEdit") << "0123456789." << "";
    QTest::newRow("start frequency") << QByteArray("DesiredStartFrequencyValueLMDEdit") << "0123456789."
                                     << "7.5";
    QTest::newRow("increment") << QByteArray("DesiredFrequencyIncrementValueLMDEdit") << "0123456789.-"
                               << "-7.5";
    QTest::newRow("number of increments") << QByteArray("NumberOfIncrementsValueLMDEdit") << "0123456789." << "";
    QTest::newRow("base intervals") << QByteArray("BaseIntervalsNumberLMDEdit") << "0123456789." << "";
    QTest::newRow("offset") << QByteArray("DesiredOffsetValueOutput10OhmLMDEdit") << "0123456789.-" << "-7.5";
}

void TestGeneratorFrame::lettersNeverAppear()
{
    QFETCH(QByteArray, edit);
    QFETCH(QString, admitted);
    QFETCH(QString, expected);
    GENERATOR_PARS pars = defaultRecord();
    pars.MasterClockSource = 1;
    apply(pars);
    retype(edit.constData(), "");
    BoxCatcher boxes;
    auto *field = control<KeyFilterEdit>(edit.constData());
    QTest::keyClicks(field, "a-bZ7 ,");
    QKeyEvent cyrillic(QEvent::KeyPress, 0, Qt::NoModifier, QStringLiteral("ж"));
    QApplication::sendEvent(field, &cyrillic);
    QTest::keyClicks(field, ".x5e");
    const QString shown = field->text();
    QVERIFY(shown.contains(u'7') || shown.contains(u'5'));
    for (QChar c : shown)
        QVERIFY2(admitted.contains(c), qPrintable(shown));
    if (!expected.isEmpty())
        QCOMPARE(shown, expected);
}

void TestGeneratorFrame::pastedTextStillArrives()
{
    apply(defaultRecord());
    QGuiApplication::clipboard()->setText("abc");
    auto *count = control<KeyFilterEdit>("NumberOfIncrementsValueLMDEdit");
    QTest::keyClick(count, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(count, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(count->text(), "1");
    QCOMPARE(text("FinalFrequencyValueLMDStaticText"), "59.9980");

    // Editing keys keep working: Home, Delete, End, Backspace.
    QTest::keyClick(count, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(count, "123");
    QTest::keyClick(count, Qt::Key_Home);
    QTest::keyClick(count, Qt::Key_Delete);
    QCOMPARE(count->text(), "23");
    QTest::keyClick(count, Qt::Key_End);
    QTest::keyClick(count, Qt::Key_Backspace);
    QCOMPARE(count->text(), "2");
}

void TestGeneratorFrame::gainList()
{
    apply(defaultRecord());
    auto *gain = control<QComboBox>("AnalogOutputsGaindBLMDComboBox");
    gain->setFocus();
    for (int i = 0; i < 13; ++i)
        QTest::keyClick(gain, Qt::Key_Down);
    QCOMPARE(gain->currentIndex(), 13);
    QCOMPARE(text("ApmlitudeOutput10OhmInVLMDStaticText"), "0.069");
    QCOMPARE(text("ApmlitudeOutput10OhmIndBLMDStaticText"), "-24.0");
    QCOMPARE(text("ApmlitudeOutput50OhmInVLMDStaticText"), "0.035");
    QCOMPARE(text("ApmlitudeOutput50OhmIndBLMDStaticText"), "-30.0");
    QTest::keyClick(gain, Qt::Key_Up);
    QCOMPARE(text("ApmlitudeOutput50OhmInVLMDStaticText"), "0.049");

    m_frame->GetGeneratorPars();
    GENERATOR_PARS pars;
    m_frame->ReadGeneratorPars(&pars);
    QCOMPARE(int(pars.AnalogOutputsGainIndex), 12);
}

void TestGeneratorFrame::cyclicScanForcesAndRestores()
{
    apply(defaultRecord());
    auto *incrementType = control<RadioGroup>("IncrementTypeLMDRadioGroup");
    auto *ctrl = control<RadioGroup>("CtrlLineTypeLMDRadioGroup");
    auto *syncout = control<QCheckBox>("EnaSyncoutLMDCheckBox");
    auto *syncoutType = control<RadioGroup>("SyncoutTypeLMDRadioGroup");

    // The operator's own choices.
    clickItem("IncrementTypeLMDRadioGroup", 1);
    clickItem("CtrlLineTypeLMDRadioGroup", 1);
    clickItem("SyncoutTypeLMDRadioGroup", 0);
    QVERIFY(!syncout->isChecked());
    QVERIFY(!control<QWidget>("BaseIntervalsNumberLMDEdit")->isEnabled());

    for (int scan : {1, 2}) {
        clickItem("CyclicAutoScanLMDRadioGroup", scan);
        QVERIFY(!incrementType->isEnabled());
        QCOMPARE(incrementType->itemIndex(), 0);
        QVERIFY(!ctrl->isEnabled());
        QCOMPARE(ctrl->itemIndex(), 0);
        QVERIFY(!syncout->isEnabled());
        QVERIFY(syncout->isChecked());
        QVERIFY(!syncoutType->isEnabled());
        QCOMPARE(syncoutType->itemIndex(), 1);
        // Increment type 0 is shown, so the interval group is usable.
        QVERIFY(control<QWidget>("BaseIntervalTypeLMDRadioGroup")->isEnabled());
        QVERIFY(control<QGroupBox>("SyncoutLineParsDGroupBox")->isEnabled());
    }

    clickItem("CyclicAutoScanLMDRadioGroup", 0);
    QVERIFY(incrementType->isEnabled());
    QCOMPARE(incrementType->itemIndex(), 1);
    QVERIFY(ctrl->isEnabled());
    QCOMPARE(ctrl->itemIndex(), 1);
    QVERIFY(syncout->isEnabled());
    QVERIFY(!syncout->isChecked());
    QCOMPARE(syncoutType->itemIndex(), 0);
    QVERIFY(!control<QWidget>("BaseIntervalsNumberLMDEdit")->isEnabled());

    // A read-back during a scan stores the forced values.
    clickItem("CyclicAutoScanLMDRadioGroup", 2);
    GENERATOR_PARS pars;
    m_frame->ReadGeneratorPars(&pars);
    QCOMPARE(int(pars.CyclicAutoScanType), 2);
    QCOMPARE(int(pars.IncrementType), 0);
    QCOMPARE(int(pars.CtrlLineType), 0);
    QCOMPARE(std::uint32_t(pars.EnaSyncout), 1u);
    QCOMPARE(int(pars.SyncoutType), 1);
}

void TestGeneratorFrame::ctrlLineStepping()
{
    apply(defaultRecord());
    auto *count = control<KeyFilterEdit>("BaseIntervalsNumberLMDEdit");
    clickItem("IncrementTypeLMDRadioGroup", 1);
    const char *interval[] = {"BaseIntervalParsLMDGroupBox", "BaseIntervalTypeLMDRadioGroup",
                              "BaseIntervalMultiplierLMDRadioGroup", "BaseIntervalsNumberLMDEdit",
                              "DurationLMDStaticText", "DurationLabelLMDLabel"};
    for (const char *name : interval)
        QVERIFY2(!control<QWidget>(name)->isEnabled(), name);
    QVERIFY(control<QGroupBox>("IncrementIntervalParsLMDGroupBox")->isEnabled());

    QTest::keyClicks(count, "7");
    QCOMPARE(count->text(), "100");
    // A write from the program is left alone while the CTRL line steps.
    count->setText("1");
    QCOMPARE(count->text(), "1");

    clickItem("IncrementTypeLMDRadioGroup", 0);
    for (const char *name : interval)
        QVERIFY2(control<QWidget>(name)->isEnabled(), name);
    QCOMPARE(text("DurationLMDStaticText"), "0.00200");
    count->setText("3000");
    QCOMPARE(count->text(), "2047");
    QCOMPARE(text("DurationLMDStaticText"), "0.04094");
}

void TestGeneratorFrame::externalOffset()
{
    apply(defaultRecord());
    auto *desired = control<QWidget>("DesiredOffsetValueOutput10OhmLMDEdit");
    auto *actual = control<QWidget>("ActualOffsetValueOutput10OhmLMDStaticText");
    QVERIFY(desired->isEnabled());
    clickItem("OffsetTypeOutput10OhmLMDRadioGroup", 1);
    QVERIFY(!desired->isEnabled());
    QVERIFY(!actual->isEnabled());
    QVERIFY(control<QGroupBox>("OffsetValueLMDGroupBox")->isEnabled());

    // An external offset in the applied record locks the entry as well.
    GENERATOR_PARS pars = defaultRecord();
    pars.Output10OhmOffsetType = 1;
    pars.Output10OhmOffset = 1.0;
    apply(pars);
    QVERIFY(!desired->isEnabled());
    QVERIFY(!actual->isEnabled());
    QCOMPARE(text("ActualOffsetValueOutput10OhmLMDStaticText"), "0.988");

    clickItem("OffsetTypeOutput10OhmLMDRadioGroup", 0);
    QVERIFY(desired->isEnabled());
    QVERIFY(actual->isEnabled());
}

void TestGeneratorFrame::clockSourceSwitching()
{
    apply(defaultRecord());
    auto *external = control<KeyFilterEdit>("ExternalMasterClockValueLMDEdit");
    auto *internal = control<QWidget>("InternalMasterClockValueLMDStaticText");

    clickItem("MasterClockSourceLMDRadioGroup", 1);
    QVERIFY(external->isVisible());
    QVERIFY(!internal->isVisible());
    retype("ExternalMasterClockValueLMDEdit", "");
    QTest::keyClicks(external, "7");
    QCOMPARE(external->text(), "7.0");
    // 10 kHz is above a 7 kHz clock.
    QCOMPARE(text("ActualStartFrequencyValueLMDStaticText"), "7.0000");
    QCOMPARE(text("DurationLMDStaticText"), "14.28571");
    // Each key is accepted at once, and the next digit still goes after the
    // previous one.
    QTest::keyClicks(external, "50");
    QCOMPARE(external->text(), "750.0");
    // Code 223696 of a 750 kHz clock: 9.99999 kHz.
    QCOMPARE(text("ActualStartFrequencyValueLMDStaticText"), "10.0000");
    QTest::keyClick(external, Qt::Key_Backspace);
    QTest::keyClick(external, Qt::Key_Backspace);
    QCOMPARE(external->text(), "7.0");

    QGuiApplication::clipboard()->setText("0.5");
    QTest::keyClick(external, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(external, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(external->text(), "1.0");
    QGuiApplication::clipboard()->setText("70000");
    QTest::keyClick(external, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(external, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(external->text(), "50000.0");
    QGuiApplication::clipboard()->setText("25000");
    QTest::keyClick(external, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(external, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(external->text(), "25000.0");
    QCOMPARE(text("ActualStartFrequencyValueLMDStaticText"), "10.0002");

    clickItem("MasterClockSourceLMDRadioGroup", 0);
    QVERIFY(!external->isVisible());
    QVERIFY(internal->isVisible());
    QCOMPARE(text("ActualStartFrequencyValueLMDStaticText"), "9.9987");
    QCOMPARE(text("ActualFrequencyIncrementLMDStaticText"), "49.9994");

    clickItem("MasterClockSourceLMDRadioGroup", 1);
    QCOMPARE(text("ActualStartFrequencyValueLMDStaticText"), "10.0002");
    GENERATOR_PARS pars;
    m_frame->ReadGeneratorPars(&pars);
    QCOMPARE(double(pars.MasterClock), 25000.0);
    QCOMPARE(int(pars.MasterClockSource), 1);
}

void TestGeneratorFrame::conversionErrors_data()
{
    QTest::addColumn<QByteArray>("edit");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QByteArray>("display");

    QTest::newRow("start") << QByteArray("DesiredStartFrequencyValueLMDEdit")
                           << "Ошибка DesiredStartFrequencyValueLMDEditChange()!!!"
                           << QByteArray("ActualStartFrequencyValueLMDStaticText");
    QTest::newRow("increment") << QByteArray("DesiredFrequencyIncrementValueLMDEdit")
                               << "Ошибка DesiredFrequencyIncrementValueLMDEditChange()!!!"
                               << QByteArray("ActualFrequencyIncrementLMDStaticText");
    QTest::newRow("offset") << QByteArray("DesiredOffsetValueOutput10OhmLMDEdit")
                            << "Ошибка DesiredOffsetValueOutput10OhmLMDEditChange()!!!"
                            << QByteArray("ActualOffsetValueOutput10OhmLMDStaticText");
    QTest::newRow("external clock") << QByteArray("ExternalMasterClockValueLMDEdit")
                                    << "Ошибка ExternalMasterClockValueLMDEditChange()!!!" << QByteArray();
}

void TestGeneratorFrame::conversionErrors()
{
    QFETCH(QByteArray, edit);
    QFETCH(QString, caption);
    QFETCH(QByteArray, display);
    GENERATOR_PARS pars = defaultRecord();
    pars.MasterClockSource = 1;
    apply(pars);
    retype(edit.constData(), "");

    BoxCatcher boxes;
    // The external clock rewrites its field after each key; a pasted text
    // reaches it whole.
    QGuiApplication::clipboard()->setText("1.2.3");
    QTest::keyClick(control<KeyFilterEdit>(edit.constData()), Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(boxes.boxes.size(), 1);
    QCOMPARE(boxes.boxes.first().text, "Обнаружена ошибка преобразования строки в число.");
    QCOMPARE(boxes.boxes.first().caption, caption);
    if (!display.isEmpty())
        QCOMPARE(text(display.constData()), "-----");
    else
        QCOMPARE(text("ActualStartFrequencyValueLMDStaticText"), "9.9987");
}

void TestGeneratorFrame::appliedRecordReadsBack()
{
    GENERATOR_PARS pars = defaultRecord();
    pars.StartFrequency = 10.123456;
    pars.MasterClockSource = 1;
    pars.MasterClock = 0.5;
    pars.LibraryOwned1[0] = 0xA5;
    pars.LibraryOwned6[15] = 0x5A;
    apply(pars);
    QCOMPARE(text("ExternalMasterClockValueLMDEdit"), "1.0");
    GENERATOR_PARS read;
    m_frame->ReadGeneratorPars(&read);
    QCOMPARE(double(read.StartFrequency), 10.1235);
    QCOMPARE(double(read.MasterClock), 1.0);
    QCOMPARE(int(read.LibraryOwned1[0]), 0xA5);
    QCOMPARE(int(read.LibraryOwned6[15]), 0x5A);

    pars.MasterClock = 60000.0;
    apply(pars);
    m_frame->ReadGeneratorPars(&read);
    QCOMPARE(double(read.MasterClock), 50000.0);

    // With the internal source the values are worked out on the internal clock.
    pars.MasterClockSource = 0;
    pars.MasterClock = 1000.0;
    apply(pars);
    QCOMPARE(text("ActualStartFrequencyValueLMDStaticText"), "10.1238");
    QCOMPARE(text("ExternalMasterClockValueLMDEdit"), "1000.0");
}

void TestGeneratorFrame::startSendsWhatIsShownAndLocks()
{
    GENERATOR_PARS pars = defaultRecord();
    pars.LibraryOwned3[2] = 0x33;
    apply(pars);

    retype("DesiredStartFrequencyValueLMDEdit", "123.5");
    retype("DesiredFrequencyIncrementValueLMDEdit", "-2.25");
    retype("NumberOfIncrementsValueLMDEdit", "40");
    retype("DesiredOffsetValueOutput10OhmLMDEdit", "-1.5");
    clickItem("BaseIntervalMultiplierLMDRadioGroup", 2);
    clickItem("AnalogOutputsTypeLMDRadioGroup", 0);
    clickItem("InterrupLineTypeLMDRadioGroup", 1);
    QTest::mouseClick(control<QCheckBox>("EnaSyncoutLMDCheckBox"), Qt::LeftButton);
    QTest::mouseClick(control<QCheckBox>("EnaSquareWaveOutputLMDCheckBox"), Qt::LeftButton);
    clickItem("OffsetTypeOutput10OhmLMDRadioGroup", 1);
    clickItem("IncrementTypeLMDRadioGroup", 1);

    // Controls locked by the panel's own rules before the start.
    QWidget *lockedBefore = control<QWidget>("BaseIntervalsNumberLMDEdit");
    QWidget *offsetBefore = control<QWidget>("DesiredOffsetValueOutput10OhmLMDEdit");
    QVERIFY(!lockedBefore->isEnabled());

    auto *button = control<QPushButton>("ControlGeneratorLMDButton");
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(m_module.setCalls, 1);
    QCOMPARE(m_module.startCalls, 1);

    GENERATOR_PARS expected = pars;
    expected.StartFrequency = 123.5;
    expected.FrequencyIncrement = -2.25;
    expected.NumberOfIncrements = 40;
    expected.Output10OhmOffset = -1.5;
    expected.BaseIntervalMultiplierIndex = 2;
    expected.AnalogOutputsType = 0;
    expected.InterrupLineType = 1;
    expected.EnaSyncout = 1;
    expected.EnaSquareWaveOutput = 1;
    expected.Output10OhmOffsetType = 1;
    expected.IncrementType = 1;
    QCOMPARE(QByteArray(reinterpret_cast<const char *>(m_module.sent), sizeof m_module.sent),
             QByteArray(reinterpret_cast<const char *>(&expected), sizeof expected));

    QCOMPARE(button->text(), "Останов генератора");
    QCOMPARE(button->palette().color(QPalette::ButtonText), QColor(128, 0, 0));
    QVERIFY(button->isEnabled());
    for (QWidget *w : m_frame->findChildren<QWidget *>()) {
        if (w != button && !w->isWindow())
            QVERIFY2(!w->isEnabled(), qPrintable(w->objectName()));
    }

    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(m_module.stopCalls, 1);
    QCOMPARE(button->text(), "Запуск генератора");
    QCOMPARE(button->palette().color(QPalette::ButtonText), QColor(0, 128, 0));
    QVERIFY(control<QWidget>("DesiredStartFrequencyValueLMDEdit")->isEnabled());
    QVERIFY(control<QWidget>("CyclicAutoScanLMDRadioGroup")->isEnabled());
    QVERIFY(control<QWidget>("BaseIntervalParsLMDGroupBox")->isEnabled() == false);
    QVERIFY(!lockedBefore->isEnabled());
    QVERIFY(!offsetBefore->isEnabled());
    QVERIFY(control<QWidget>("IncrementIntervalParsLMDGroupBox")->isEnabled());
}

void TestGeneratorFrame::emptyStartFrequencyOnStart()
{
    apply(defaultRecord());
    retype("DesiredStartFrequencyValueLMDEdit", "");
    retype("DesiredFrequencyIncrementValueLMDEdit", "20");
    BoxCatcher boxes;
    QTest::mouseClick(control<QPushButton>("ControlGeneratorLMDButton"), Qt::LeftButton);
    QCOMPARE(boxes.boxes.size(), 1);
    QCOMPARE(boxes.boxes.first().text, "Обнаружено исключение.");
    QCOMPARE(boxes.boxes.first().caption, "Ошибка GetGeneratorPars()!!!");
    // The record still goes out: fields before the failure are read, the
    // rest keep their previous values.
    QCOMPARE(m_module.setCalls, 1);
    const GENERATOR_PARS sent = m_module.sentRecord();
    QCOMPARE(double(sent.StartFrequency), 10.0);
    QCOMPARE(double(sent.FrequencyIncrement), 50.0);
    QCOMPARE(double(sent.MasterClock), 50000.0);
    QCOMPARE(control<QPushButton>("ControlGeneratorLMDButton")->text(), "Останов генератора");
}

void TestGeneratorFrame::failedModuleCalls_data()
{
    QTest::addColumn<int>("failing"); // 0 SET, 1 START, 2 STOP
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("startCalls");

    QTest::newRow("set") << 0 << "Не могу выполнить функцию SET_GENERATOR_PARS()" << 0;
    QTest::newRow("start") << 1 << "Не могу выполнить функцию START_GENERATOR()" << 1;
    QTest::newRow("stop") << 2 << "Не могу выполнить функцию STOP_GENERATOR()" << 1;
}

void TestGeneratorFrame::failedModuleCalls()
{
    QFETCH(int, failing);
    QFETCH(QString, message);
    QFETCH(int, startCalls);
    apply(defaultRecord());
    m_module.setResult = failing != 0;
    m_module.startResult = failing != 1;
    m_module.stopResult = failing != 2;
    auto *button = control<QPushButton>("ControlGeneratorLMDButton");
    auto *start = control<QWidget>("DesiredStartFrequencyValueLMDEdit");

    BoxCatcher boxes;
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(m_module.startCalls, startCalls);
    if (failing == 2)
        QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(boxes.boxes.size(), 1);
    QCOMPARE(boxes.boxes.first().text, message);
    QCOMPARE(boxes.boxes.first().caption, "Ошибка ControlGeneratorLMDButtonClick()!!!");
    QCOMPARE(m_module.stopCalls, failing == 2 ? 1 : 0);
    if (failing == 2) {
        // The output may still be on: the panel goes on showing the running
        // state, locked, and the next click tries to stop again.
        QCOMPARE(button->text(), "Останов генератора");
        QCOMPARE(button->palette().color(QPalette::ButtonText), QColor(128, 0, 0));
        QVERIFY(!start->isEnabled());
        m_module.stopResult = 1;
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(m_module.stopCalls, 2);
        QCOMPARE(button->text(), "Запуск генератора");
        QVERIFY(start->isEnabled());
        QCOMPARE(boxes.boxes.size(), 1);
        return;
    }
    // A failed start leaves the panel stopped and usable.
    QCOMPARE(button->text(), "Запуск генератора");
    QVERIFY(start->isEnabled());

    // The next click tries to start again.
    m_module.setResult = m_module.startResult = 1;
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(button->text(), "Останов генератора");
    QCOMPARE(m_module.setCalls, 2);
}

void TestGeneratorFrame::applyWhileRunning()
{
    apply(defaultRecord());
    clickItem("IncrementTypeLMDRadioGroup", 1);
    auto *button = control<QPushButton>("ControlGeneratorLMDButton");
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(button->text(), "Останов генератора");

    FakeModule other;
    const GENERATOR_PARS pars = defaultRecord();
    m_frame->ApplyGeneratorPars(&other, &pars);
    QCOMPARE(button->text(), "Запуск генератора");
    QCOMPARE(m_module.stopCalls, 0);
    QVERIFY(control<QWidget>("DesiredStartFrequencyValueLMDEdit")->isEnabled());
    // The applied record steps automatically again.
    QVERIFY(control<QWidget>("BaseIntervalsNumberLMDEdit")->isEnabled());

    // The new interface is the one used from now on.
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(other.startCalls, 1);
    QCOMPARE(m_module.startCalls, 1);
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(other.stopCalls, 1);
    m_frame.reset();
    QCOMPARE(other.stopCalls, 2);
}

void TestGeneratorFrame::destruction()
{
    BoxCatcher boxes;
    // Never given an interface: nothing is called, nothing is shown.
    m_frame.reset();
    QVERIFY(boxes.boxes.isEmpty());

    m_frame = std::make_unique<TG740GeneratorFrame>();
    apply(defaultRecord());
    m_frame.reset();
    QCOMPARE(m_module.stopCalls, 1);
    QVERIFY(boxes.boxes.isEmpty());

    m_frame = std::make_unique<TG740GeneratorFrame>();
    apply(defaultRecord());
    m_module.stopResult = 0;
    m_frame.reset();
    QCOMPARE(m_module.stopCalls, 2);
    QCOMPARE(boxes.boxes.size(), 1);
    QCOMPARE(boxes.boxes.first().text, "Не могу выполнить функцию STOP_GENERATOR()");
    QCOMPARE(boxes.boxes.first().caption, "Ошибка ~TG740GeneratorFrame()!!!");
}

void TestGeneratorFrame::clearedCountIsReplacedByTheNextDigit_data()
{
    QTest::addColumn<QString>("edit");
    QTest::addColumn<bool>("selectAll"); // false: Backspace from the end, digit by digit
    QTest::addColumn<QString>("written"); // what the program puts in the emptied field

    QTest::newRow("increments, two backspaces") << "NumberOfIncrementsValueLMDEdit" << false << "1";
    QTest::newRow("increments, all selected") << "NumberOfIncrementsValueLMDEdit" << true << "1";
    QTest::newRow("base intervals, three backspaces") << "BaseIntervalsNumberLMDEdit" << false << "2";
    QTest::newRow("base intervals, all selected") << "BaseIntervalsNumberLMDEdit" << true << "2";
}

void TestGeneratorFrame::clearedCountIsReplacedByTheNextDigit()
{
    QFETCH(QString, edit);
    QFETCH(bool, selectAll);
    QFETCH(QString, written);
    GENERATOR_PARS pars = defaultRecord();
    pars.IncrementType = 0; // automatic stepping: the base interval count is in use
    apply(pars);
    auto *field = control<KeyFilterEdit>(qPrintable(edit));
    field->setFocus();
    QTRY_VERIFY(field->hasFocus());

    if (selectAll) {
        QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(field, Qt::Key_Backspace);
    } else {
        QTest::keyClick(field, Qt::Key_End);
        for (qsizetype i = field->text().size(); i > 0; --i)
            QTest::keyClick(field, Qt::Key_Backspace);
    }
    // The field is never empty, but what the program wrote is selected.
    QCOMPARE(field->text(), written);
    QCOMPARE(field->selectedText(), written);
    QTest::keyClicks(field, QStringLiteral("250"));
    QCOMPARE(field->text(), QStringLiteral("250"));
    GENERATOR_PARS read;
    m_frame->ReadGeneratorPars(&read);
    QCOMPARE(int(edit.startsWith(QLatin1String("Number")) ? read.NumberOfIncrements : read.BaseIntervalsNumber), 250);

    // A field that is not emptied keeps the caret where it was.
    QTest::keyClick(field, Qt::Key_Backspace);
    QTest::keyClicks(field, QStringLiteral("7"));
    QCOMPARE(field->text(), QStringLiteral("257"));
}

// How many pixels of the image are clearly of the given pure hue: the text of
// a button in that colour, not its antialiased edges or a grey.
static int pixelsOfHue(const QImage &image, const QColor &color)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            const int channels[] = {pixel.red(), pixel.green(), pixel.blue()};
            const int wanted[] = {color.red(), color.green(), color.blue()};
            bool match = true;
            for (int c = 0; c < 3; ++c)
                match = match && (wanted[c] > 0 ? channels[c] > 80 : channels[c] < 60);
            count += match;
        }
    }
    return count;
}

void TestGeneratorFrame::disabledStartButtonIsGreyed()
{
    const QColor green(0, 128, 0);
    const QColor maroon(128, 0, 0);
    apply(defaultRecord());
    auto *button = control<QPushButton>("ControlGeneratorLMDButton");
    QVERIFY(pixelsOfHue(button->grab().toImage(), green) > 20);
    // As a detection or a missing module leaves it.
    button->setEnabled(false);
    QVERIFY(pixelsOfHue(button->grab().toImage(), green) == 0);
    QCOMPARE(button->palette().color(QPalette::Disabled, QPalette::ButtonText),
             m_frame->palette().color(QPalette::Disabled, QPalette::ButtonText));

    button->setEnabled(true);
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(button->text(), "Останов генератора");
    QVERIFY(pixelsOfHue(button->grab().toImage(), maroon) > 20);
    button->setEnabled(false);
    QVERIFY(pixelsOfHue(button->grab().toImage(), maroon) == 0);
    button->setEnabled(true);
}

QTEST_MAIN(TestGeneratorFrame)
#include "tst_generatorframe.moc"
