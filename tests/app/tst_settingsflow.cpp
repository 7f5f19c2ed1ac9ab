// The main window's use of the settings file: the first detection's
// open-or-create-and-load, the saves from the button, the menu and the
// closing sequence, and the auto-save box.

#include "BoxWatcher.h"
#include "SimLibrary.h"

#include "window/Application.h"
#include "window/MainForm.h"
#include "device/DeviceLibrary.h"
#include "window/InitDevicesThread.h"
#include "window/G740GeneratorFrame.h"
#include "instrument/RecordRules.h"
#include "widgets/KeyFilterEdit.h"
#include "widgets/RadioGroup.h"
#include "ClickItem.h"
#include "FindControl.h"
#include "widgets/EllipseIndicator.h"
#include "settings/IniFile.h"
#include "settings/SettingsFilePath.h"
#include "settings/SettingsKeys.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

#include <memory>

namespace {

const QString AutoSaveKeyName = QStringLiteral("Сохранение настроек");
const QString StartFrequencyKey = QStringLiteral("Генератор. Начальная частота в кГц");
const QString MasterClockKey = QStringLiteral("Генератор. Частота тактирующего сигнала");

void waitForDetection(TMainForm &form)
{
    QTRY_VERIFY_WITH_TIMEOUT(!form.FirstDetection && !form.DetectionRunning, 10000);
}

void detectAgain(TMainForm &form)
{
    QSignalSpy finished(&form, &TMainForm::detectionFinished);
    form.FindModuleLMDButtonClick();
    QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 1, 10000);
    QTRY_VERIFY(!form.DetectionRunning);
}

std::unique_ptr<TMainForm> detectedForm()
{
    auto form = std::make_unique<TMainForm>();
    form->show();
    waitForDetection(*form);
    return form;
}

// Gives the panel a start frequency of its own.
void setPanelStartFrequency(TMainForm &form, double value)
{
    GENERATOR_PARS pars;
    form.G740GeneratorFrame->ReadGeneratorPars(&pars);
    pars.StartFrequency = value;
    form.G740GeneratorFrame->ApplyGeneratorPars(TheModuleInterface, &pars);
}

double panelStartFrequency(TMainForm &form)
{
    GENERATOR_PARS pars;
    form.G740GeneratorFrame->ReadGeneratorPars(&pars);
    return pars.StartFrequency;
}

} // namespace

class TestSettingsFlow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void firstStartCreatesTheFileAndLoadsIt();
    void autoSaveSettingChecksTheBoxOnlyAtTheFirstDetection();
    void unreachableFileIsReportedAndTheLibraryLeftAlone();
    void valuesOfAFailedFirstDetectionWaitForTheNextSuccess();
    void saveWritesThePanelsValues();
    void defaultSettingsKeepOtherKeysAndReachThePanel();
    void defaultSettingsAskFirstAndEscapeSaysNo();
    void defaultSettingsWithoutAModuleReachTheNextDetection();
    void defaultSettingsStopARunningGeneratorFirst();
    void defaultSettingsReachALockedPanel();
    void createDefaultIniFileRefusesAnEmptyPath();
    void failedSaveFromTheButtonIsShownAndTheProgramGoesOn();
    void autoSaveOnExitReadsThePanelBeforeItGoes();
    void failedAutoSaveOnExitIsShownAndTheProgramStillEnds();
    void unreadableFileIsKeptUntilTheOperatorSaves();
    void outOfRangeValuesAreReplacedAndNamed();
    void typedValuesSurviveASaveAndARestart_data();
    void typedValuesSurviveASaveAndARestart();

private:
    QString settingsPath() const { return m_directory.filePath(QStringLiteral("G740Config.ini")); }

    QTemporaryDir m_directory;
    SimLibrary m_sim;
};

void TestSettingsFlow::initTestCase()
{
    QVERIFY(m_directory.isValid());
    QVERIFY(m_sim.isValid());
}

void TestSettingsFlow::init()
{
    setSettingsFilePathOverride(settingsPath());
    QFile::remove(settingsPath());
    m_sim.resetCallLog();
}

void TestSettingsFlow::cleanup()
{
    TIniFile::setWriteFailureAfter(std::nullopt);
    QTRY_COMPARE(TInitDevicesThread::liveCount(), 0);
    QVERIFY(!TheModuleInterface);
    qunsetenv("MODLINK_SIM");
}

void TestSettingsFlow::firstStartCreatesTheFileAndLoadsIt()
{
    BoxWatcher watcher;
    auto form = detectedForm();
    QVERIFY(watcher.boxes().isEmpty());
    QVERIFY(QFile::exists(settingsPath()));
    const TIniFile file(settingsPath());
    QCOMPARE(file.ReadString(FilesSection.toString(), QStringLiteral("Головная программа"), QString()),
             QDir::toNativeSeparators(QCoreApplication::applicationFilePath()));
    QCOMPARE(file.ReadFloat(ModuleSection.toString(), StartFrequencyKey, -1.0), 10.0);

    GENERATOR_PARS pars;
    form->G740GeneratorFrame->ReadGeneratorPars(&pars);
    QCOMPARE(int(pars.IncrementType), 1); // the written default, read back
    QCOMPARE(double(pars.StartFrequency), 10.0);
    QVERIFY(!form->AutoSaveSettingsLMDCheckBox->isChecked());
    QVERIFY(form->SaveSettingsButton->isEnabled());
}

void TestSettingsFlow::autoSaveSettingChecksTheBoxOnlyAtTheFirstDetection()
{
    TIniFile(settingsPath()).WriteInteger(ApplicationSection.toString(), AutoSaveKeyName, 2);
    auto form = detectedForm();
    QVERIFY(form->AutoSaveSettingsLMDCheckBox->isChecked());
    QVERIFY(form->AutoSaveSettingsLMDCheckBox->isEnabled());
    QVERIFY(!form->SaveSettingsButton->isEnabled());

    // A later detection has no settings file: the box is unchecked again.
    detectAgain(*form);
    QVERIFY(!form->AutoSaveSettingsLMDCheckBox->isChecked());
    QVERIFY(form->SaveSettingsButton->isEnabled());
    form->AutoSaveSettingsLMDCheckBox->setChecked(false); // no save on exit
}

void TestSettingsFlow::unreachableFileIsReportedAndTheLibraryLeftAlone()
{
    const QString path = m_directory.filePath(QStringLiteral("missing/G740Config.ini"));
    setSettingsFilePathOverride(path);
    BoxWatcher watcher;
    auto form = detectedForm();

    QCOMPARE(watcher.boxes().size(), 1);
    QCOMPARE(watcher.boxes().first().text, QStringLiteral("Не могу создать файл штатных настроек '") + path
                                               + QStringLiteral("'!"));
    QCOMPARE(watcher.boxes().first().caption, QStringLiteral("Сообщение TInitDevicesThread::Execute()!"));
    QCOMPARE(m_sim.callLog(), QStringList());
    QVERIFY(form->isEnabled());
    QVERIFY(form->FindModuleLMDButton->isEnabled());
    QVERIFY(!QGuiApplication::overrideCursor());

    // The next detection reads no file: it takes the panel's values.
    setPanelStartFrequency(*form, 321.0);
    setSettingsFilePathOverride(settingsPath());
    detectAgain(*form);
    QCOMPARE(watcher.count(QStringLiteral("Сообщение TInitDevicesThread::Execute()!")), 1);
    QVERIFY(!QFile::exists(settingsPath()));
    QCOMPARE(form->ModuleDetectionLMDShapeControl->brushColor(), QColor(0, 255, 0));
    QCOMPARE(panelStartFrequency(*form), 321.0);
}

void TestSettingsFlow::valuesOfAFailedFirstDetectionWaitForTheNextSuccess()
{
    TIniFile(settingsPath()).WriteFloat(ModuleSection.toString(), StartFrequencyKey, 777.0);
    qputenv("MODLINK_SIM", "nomodule");
    BoxWatcher watcher;
    auto form = detectedForm();
    QCOMPARE(form->ModuleDetectionLMDShapeControl->brushColor(), QColor(255, 0, 0));
    QVERIFY(!form->G740GeneratorFrame->hasAppliedPars());

    // Saving before any module was found keeps the loaded settings.
    form->SaveCurrentSettings->trigger();
    QCOMPARE(TIniFile(settingsPath()).ReadFloat(ModuleSection.toString(), StartFrequencyKey, -1.0), 777.0);

    qunsetenv("MODLINK_SIM");
    detectAgain(*form);
    QCOMPARE(form->ModuleDetectionLMDShapeControl->brushColor(), QColor(0, 255, 0));
    QCOMPARE(panelStartFrequency(*form), 777.0);
    QVERIFY(watcher.boxes().isEmpty());
}

void TestSettingsFlow::saveWritesThePanelsValues()
{
    auto form = detectedForm();
    setPanelStartFrequency(*form, 12.5);
    QTest::mouseClick(form->SaveSettingsButton, Qt::LeftButton);
    const TIniFile file(settingsPath());
    QCOMPARE(file.ReadString(ModuleSection.toString(), StartFrequencyKey, QString()), QStringLiteral("12.5"));
    QCOMPARE(file.ReadString(ApplicationSection.toString(), AutoSaveKeyName, QString()), QStringLiteral("0"));
    QCOMPARE(double(form->GeneratorPars.StartFrequency), 12.5);

    // Ctrl+S writes as well, a module found or not.
    setPanelStartFrequency(*form, 13.5);
    form->SaveCurrentSettings->trigger();
    QCOMPARE(file.ReadFloat(ModuleSection.toString(), StartFrequencyKey, -1.0), 13.5);
}

void TestSettingsFlow::defaultSettingsKeepOtherKeysAndReachThePanel()
{
    auto form = detectedForm();
    TIniFile file(settingsPath());
    file.WriteString(QStringLiteral("Свой раздел"), QStringLiteral("Ключ"), QStringLiteral("значение"));
    file.WriteFloat(ModuleSection.toString(), StartFrequencyKey, 99.0);
    setPanelStartFrequency(*form, 55.0);
    form->AutoSaveSettingsLMDCheckBox->setChecked(true);

    BoxWatcher watcher(QMessageBox::Yes);
    form->SaveDefaultSettings->trigger();
    QCOMPARE(watcher.boxes().size(), 1);
    QCOMPARE(file.ReadFloat(ModuleSection.toString(), StartFrequencyKey, -1.0), 10.0);
    QCOMPARE(file.ReadString(QStringLiteral("Свой раздел"), QStringLiteral("Ключ"), QString()),
             QStringLiteral("значение"));
    // The window shows what the file now holds, so a later save or the
    // auto-save on exit cannot bring the old values back.
    QCOMPARE(panelStartFrequency(*form), 10.0);
    QCOMPARE(double(form->GeneratorPars.StartFrequency), 10.0);
    QVERIFY(!form->AutoSaveSettingsLMDCheckBox->isChecked());
    QVERIFY(form->SaveSettingsButton->isEnabled());
    QVERIFY(!form->IniFile); // released again
    form.reset();
    QCOMPARE(file.ReadFloat(ModuleSection.toString(), StartFrequencyKey, -1.0), 10.0);
}

void TestSettingsFlow::defaultSettingsAskFirstAndEscapeSaysNo()
{
    auto form = detectedForm();
    setPanelStartFrequency(*form, 55.0);
    form->SaveCurrentSettings->trigger();

    // A real Escape to the question, as the operator would press it.
    QString text;
    QString caption;
    bool noIsDefault = false;
    QMessageBox::StandardButtons buttons;
    QTimer::singleShot(50, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        QVERIFY(box);
        text = box->text();
        caption = box->windowTitle();
        buttons = box->standardButtons();
        noIsDefault = box->defaultButton() == box->button(QMessageBox::No);
        QTest::keyClick(box, Qt::Key_Escape);
    });
    QTest::keyClick(form.get(), Qt::Key_D, Qt::ControlModifier);
    QCOMPARE(text, QStringLiteral("Записать в файл настроек значения по умолчанию? Сохранённые настройки будут потеряны."));
    QCOMPARE(caption, QStringLiteral("Подтвердите сохранение штатных настроек!"));
    QCOMPARE(buttons, QMessageBox::Yes | QMessageBox::No);
    QVERIFY(noIsDefault);
    QVERIFY(!QApplication::activeModalWidget());
    const TIniFile file(settingsPath());
    QCOMPARE(file.ReadFloat(ModuleSection.toString(), StartFrequencyKey, -1.0), 55.0);
    QCOMPARE(panelStartFrequency(*form), 55.0);
}

void TestSettingsFlow::defaultSettingsWithoutAModuleReachTheNextDetection()
{
    // No module: the panel has no record; the window's own copy takes the
    // defaults, and the next successful detection shows them.
    TIniFile(settingsPath()).WriteFloat(ModuleSection.toString(), StartFrequencyKey, 99.0);
    qputenv("MODLINK_SIM", "nomodule");
    auto form = detectedForm();
    QCOMPARE(double(form->GeneratorPars.StartFrequency), 99.0);
    BoxWatcher watcher(QMessageBox::Yes);
    form->SaveDefaultSettings->trigger();
    QCOMPARE(double(form->GeneratorPars.StartFrequency), 10.0);
    QVERIFY(!form->SaveSettingsButton->isEnabled());

    qputenv("MODLINK_SIM", "");
    detectAgain(*form);
    QCOMPARE(panelStartFrequency(*form), 10.0);
}

void TestSettingsFlow::defaultSettingsStopARunningGeneratorFirst()
{
    auto form = detectedForm();
    setPanelStartFrequency(*form, 55.0);
    form->SaveCurrentSettings->trigger();
    auto *button = form->G740GeneratorFrame->findChild<QPushButton *>(QStringLiteral("ControlGeneratorLMDButton"));
    QTest::mouseClick(button, Qt::LeftButton);
    QVERIFY(form->G740GeneratorFrame->generatorRunning());

    // A stop that fails: reported as such, and nothing is written.
    qputenv("MODLINK_SIM", "fail=STOP_GENERATOR");
    m_sim.resetCallLog();
    BoxWatcher watcher(QMessageBox::Yes);
    form->SaveDefaultSettings->trigger();
    QCOMPARE(watcher.boxes().size(), 2);
    QCOMPARE(watcher.boxes().at(1).text, QStringLiteral("Не могу выполнить функцию STOP_GENERATOR()"));
    QVERIFY(form->G740GeneratorFrame->generatorRunning());
    const TIniFile file(settingsPath());
    QCOMPARE(file.ReadFloat(ModuleSection.toString(), StartFrequencyKey, -1.0), 55.0);

    // A stop that works: stopped first, then the defaults.
    qputenv("MODLINK_SIM", "");
    form->SaveDefaultSettings->trigger();
    QCOMPARE(watcher.boxes().size(), 3);
    // The failed stop was followed by the check whether the module is still there.
    QCOMPARE(m_sim.callLog(), (QStringList{"STOP_GENERATOR", "GetUsbSpeed", "STOP_GENERATOR"}));
    QVERIFY(!form->G740GeneratorFrame->generatorRunning());
    QCOMPARE(button->text(), QStringLiteral("Запуск генератора"));
    QCOMPARE(file.ReadFloat(ModuleSection.toString(), StartFrequencyKey, -1.0), 10.0);
    QCOMPARE(panelStartFrequency(*form), 10.0);
}

void TestSettingsFlow::createDefaultIniFileRefusesAnEmptyPath()
{
    auto form = detectedForm();
    BoxWatcher watcher;
    QVERIFY(!form->CreateDefaultIniFile(QString()));
    QCOMPARE(watcher.boxes().size(), 1);
    QCOMPARE(watcher.boxes().first().text, QStringLiteral("Неправильное название файла штатных настроек!"));
    QCOMPARE(watcher.boxes().first().caption, QStringLiteral("ОШИБКА CreateDefaultIniFile()!"));
    QCOMPARE(watcher.boxes().first().icon, QMessageBox::Information);
}

void TestSettingsFlow::failedSaveFromTheButtonIsShownAndTheProgramGoesOn()
{
    auto form = detectedForm();
    BoxWatcher watcher;
    TIniFile::setWriteFailureAfter(0);
    QTest::mouseClick(form->SaveSettingsButton, Qt::LeftButton);
    QCOMPARE(watcher.boxes().size(), 1);
    QVERIFY(watcher.boxes().first().text.contains(settingsPath()));
    TIniFile::setWriteFailureAfter(std::nullopt);
    QTest::mouseClick(form->SaveSettingsButton, Qt::LeftButton);
    QCOMPARE(watcher.boxes().size(), 1);
}

void TestSettingsFlow::autoSaveOnExitReadsThePanelBeforeItGoes()
{
    auto form = detectedForm();
    form->AutoSaveSettingsLMDCheckBox->setChecked(true);
    setPanelStartFrequency(*form, 42.25); // only the panel knows it
    m_sim.resetCallLog();
    form.reset();

    const TIniFile file(settingsPath());
    QCOMPARE(file.ReadFloat(ModuleSection.toString(), StartFrequencyKey, -1.0), 42.25);
    QCOMPARE(file.ReadInteger(ApplicationSection.toString(), AutoSaveKeyName, -1), 1);
    QCOMPARE(m_sim.callLog(), (QStringList{"STOP_GENERATOR", "ReleaseInterface"}));
}

void TestSettingsFlow::failedAutoSaveOnExitIsShownAndTheProgramStillEnds()
{
    auto form = detectedForm();
    form->AutoSaveSettingsLMDCheckBox->setChecked(true);
    BoxWatcher watcher;
    TIniFile::setWriteFailureAfter(0);
    m_sim.resetCallLog();
    form.reset();
    QCOMPARE(watcher.boxes().size(), 1);
    QVERIFY(watcher.boxes().first().text.contains(settingsPath()));
    QCOMPARE(m_sim.callLog(), (QStringList{"STOP_GENERATOR", "ReleaseInterface"}));
}

void TestSettingsFlow::unreadableFileIsKeptUntilTheOperatorSaves()
{
    const QByteArray binary("[x]\r\n\0\x01\x02 operator's data", 23);
    {
        QFile file(settingsPath());
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(binary), binary.size());
    }
    BoxWatcher watcher;
    auto form = detectedForm();
    QCOMPARE(watcher.boxes().size(), 1);
    QVERIFY(watcher.boxes().first().text.startsWith("Не могу прочитать файл настроек '"
                                                    + QDir::toNativeSeparators(settingsPath())
                                                    + "': это не текстовый файл."));
    QCOMPARE(panelStartFrequency(*form), 10.0);

    // Auto-save on exit is no request of the operator's: the file stays.
    form->AutoSaveSettingsLMDCheckBox->setChecked(true);
    form.reset();
    QFile kept(settingsPath());
    QVERIFY(kept.open(QIODevice::ReadOnly));
    QCOMPARE(kept.readAll(), binary);
    kept.close();

    // The button is.
    form = detectedForm();
    setPanelStartFrequency(*form, 42.25);
    QTest::mouseClick(form->SaveSettingsButton, Qt::LeftButton);
    const TIniFile file(settingsPath());
    QVERIFY(!file.unusableReason());
    QCOMPARE(file.ReadFloat(ModuleSection.toString(), StartFrequencyKey, -1.0), 42.25);
    form.reset();
}

void TestSettingsFlow::outOfRangeValuesAreReplacedAndNamed()
{
    TIniFile(settingsPath()).WriteInteger(ModuleSection.toString(), "Генератор. Индекс усиления выходного тракта", 257);
    TIniFile(settingsPath()).WriteFloat(ModuleSection.toString(), MasterClockKey, 50000.5);
    BoxWatcher watcher;
    auto form = detectedForm();
    QCOMPARE(watcher.boxes().size(), 1);
    QVERIFY(watcher.boxes().first().text.endsWith(
        ":\nГенератор. Частота тактирующего сигнала\nГенератор. Индекс усиления выходного тракта"));
    GENERATOR_PARS pars;
    form->G740GeneratorFrame->ReadGeneratorPars(&pars);
    QCOMPARE(double(pars.MasterClock), 50000.0);
    QCOMPARE(int(pars.AnalogOutputsGainIndex), 0);
}

void TestSettingsFlow::typedValuesSurviveASaveAndARestart_data()
{
    // Each entry: an edit, what is typed into it, what the panel then shows.
    QTest::addColumn<QStringList>("typing");
    const auto entry = [](const char *edit, const char *typed, const char *shown) {
        return QStringLiteral("%1|%2|%3").arg(QLatin1String(edit), QLatin1String(typed), QLatin1String(shown));
    };
    const char *start = "DesiredStartFrequencyValueLMDEdit";
    const char *increment = "DesiredFrequencyIncrementValueLMDEdit";
    const char *count = "NumberOfIncrementsValueLMDEdit";
    const char *intervals = "BaseIntervalsNumberLMDEdit";
    const char *clock = "ExternalMasterClockValueLMDEdit";
    const char *offset = "DesiredOffsetValueOutput10OhmLMDEdit";
    QTest::newRow("lower bounds") << QStringList{entry(start, "0", "0"), entry(increment, "-50000", "-50000"),
                                                 entry(count, "0", "0"), entry(intervals, "2", "2"),
                                                 entry(clock, "1", "1.0"), entry(offset, "-4", "-4")};
    QTest::newRow("below them") << QStringList{entry(increment, "-99999.5", "-99999.5"), entry(intervals, "1", "2"),
                                               entry(clock, "0", "1.0"), entry(offset, "-99", "-99")};
    QTest::newRow("upper bounds") << QStringList{entry(start, "50000", "50000"), entry(increment, "50000", "50000"),
                                                 entry(count, "4095", "4095"), entry(intervals, "2047", "2047"),
                                                 entry(clock, "50000", "50000.0"), entry(offset, "4", "4")};
    QTest::newRow("above them") << QStringList{entry(start, "99999", "99999"), entry(increment, "60000.5", "60000.5"),
                                               entry(count, "5000", "4095"), entry(intervals, "9999", "2047"),
                                               entry(clock, "60000", "50000.0"), entry(offset, "5", "5")};
}

void TestSettingsFlow::typedValuesSurviveASaveAndARestart()
{
    QFETCH(QStringList, typing);
    GENERATOR_PARS saved;
    {
        auto form = detectedForm();
        QWidget *panel = form->G740GeneratorFrame;
        // Every edit open: automatic stepping, the external clock.
        clickItem(findControl<RadioGroup>(panel, "IncrementTypeLMDRadioGroup"), 0);
        clickItem(findControl<RadioGroup>(panel, "MasterClockSourceLMDRadioGroup"), 1);
        for (const QString &entry : typing) {
            const QStringList parts = entry.split(QLatin1Char('|'));
            auto *field = findControl<KeyFilterEdit>(panel, parts[0].toLatin1().constData());
            QVERIFY2(field->isEnabled(), qPrintable(parts[0]));
            field->selectAll();
            QTest::keyClick(field, Qt::Key_Backspace);
            QTest::keyClicks(field, parts[1]);
            QCOMPARE(field->text(), parts[2]);
        }
        form->SaveCurrentSettings->trigger();
        form->G740GeneratorFrame->ReadGeneratorPars(&saved);
    }

    // The next start loads every field back as it was, without a word.
    BoxWatcher watcher;
    auto form = detectedForm();
    GENERATOR_PARS loaded;
    form->G740GeneratorFrame->ReadGeneratorPars(&loaded);
    for (int i = 0; i < RecordRules::FieldCount; ++i) {
        const auto field = RecordRules::Field(i);
        QVERIFY2(RecordRules::fieldValue(loaded, field) == RecordRules::fieldValue(saved, field),
                 RecordRules::fieldInfo(field).name);
    }
    QVERIFY(watcher.boxes().isEmpty());
}

void TestSettingsFlow::defaultSettingsReachALockedPanel()
{
    // A panel that had a record and was locked by a failed detection: the
    // next successful detection starts from what the panel holds.
    auto form = detectedForm();
    setPanelStartFrequency(*form, 55.0);
    qputenv("MODLINK_SIM", "nomodule");
    detectAgain(*form);
    QVERIFY(!form->G740GeneratorFrame->isEnabled());

    BoxWatcher watcher(QMessageBox::Yes);
    form->SaveDefaultSettings->trigger();
    QCOMPARE(watcher.boxes().size(), 1);
    // Still locked, every control of it.
    for (QWidget *control : form->GeneratorParsLMDGroupBox->findChildren<QWidget *>())
        QVERIFY2(control->isWindow() || !control->isEnabled(), qPrintable(control->objectName()));
    QVERIFY(!form->SaveSettingsButton->isEnabled());

    qputenv("MODLINK_SIM", "");
    detectAgain(*form);
    QCOMPARE(panelStartFrequency(*form), 10.0);
}

int main(int argc, char *argv[])
{
    Application app(argc, argv);
    TestSettingsFlow test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_settingsflow.moc"
