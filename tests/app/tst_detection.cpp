// Module detection against the stand-in device library, configured per case
// through MODLINK_SIM. Every case builds its own main window and destroys it,
// which releases the program-wide module interface, so each case starts with
// no interface, as a fresh program does.

#include "BoxWatcher.h"
#include "SimLibrary.h"

#include "window/Application.h"
#include "window/MainForm.h"
#include "device/DeviceLibrary.h"
#include "window/InitDevicesThread.h"
#include "window/G740GeneratorFrame.h"
#include "widgets/EllipseIndicator.h"
#include "settings/SettingsFilePath.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

#include <memory>

namespace {

const QString UnknownModule = QStringLiteral("Модуль ??????");
const QString ReportCaption = QStringLiteral("Сообщение TInitDevicesThread::Execute()!");
const QString ExceptionText = QStringLiteral("Опаньки!!! Поймали неустранимое исключение!!!\nСрочно сообщите разработчику!");

QColor systemColor(QPalette::ColorRole role)
{
    return QGuiApplication::palette().color(QPalette::Active, role);
}

QList<QWidget *> controlsInside(QWidget *group)
{
    QList<QWidget *> controls;
    for (QWidget *child : group->findChildren<QWidget *>())
        if (!child->isWindow())
            controls.append(child);
    return controls;
}

bool allDisabled(QWidget *group)
{
    const auto controls = controlsInside(group);
    return !controls.isEmpty()
           && std::none_of(controls.begin(), controls.end(), [](QWidget *w) { return w->isEnabled(); });
}

int countOf(const QStringList &log, const QString &call)
{
    return static_cast<int>(log.count(call));
}

} // namespace

class TestDetection : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void failedDetectionShowsItsOneReport_data();
    void failedDetectionShowsItsOneReport();
    void noModuleTriesEverySlotSilently();
    void moduleAtSlot3IsShown();
    void windowIsLockedWhileSearching();
    void secondDetectionClosesTheModuleAndKeepsThePanelValues();
    void failedSecondDetectionReportsTheException();
    void versionIsQueriedAgainAfterAMismatch();
    void requestsDuringADetectionPostNothing();
    void closingStopsTheGeneratorThenReleasesTheInterface();
    void detectionStopsARunningGeneratorFirst_data();
    void detectionStopsARunningGeneratorFirst();
    void failedStopKeepsTheGeneratorShownRunning();

private:
    // A window whose first detection has run to its end.
    std::unique_ptr<TMainForm> detectedForm();
    static void waitForDetection(TMainForm &form);
    static QPushButton *startButton(TMainForm &form);

    SimLibrary m_sim;
    QTemporaryDir m_settingsDirectory;
};

void TestDetection::initTestCase()
{
    QVERIFY(m_sim.isValid());
    QVERIFY(m_settingsDirectory.isValid());
    setSettingsFilePathOverride(m_settingsDirectory.filePath(QStringLiteral("G740Config.ini")));
}

void TestDetection::init()
{
    // Every case is a first start without a settings file.
    QFile::remove(SettingsFilePath());
}

void TestDetection::cleanup()
{
    // The threads free themselves; see that they have, and that no window
    // left an interface behind.
    QTRY_COMPARE(TInitDevicesThread::liveCount(), 0);
    QVERIFY(!TheModuleInterface);
    QVERIFY(!QGuiApplication::overrideCursor());
    qunsetenv("MODLINK_SIM");
}

void TestDetection::waitForDetection(TMainForm &form)
{
    QTRY_VERIFY_WITH_TIMEOUT(!form.FirstDetection && !form.DetectionRunning, 10000);
}

std::unique_ptr<TMainForm> TestDetection::detectedForm()
{
    auto form = std::make_unique<TMainForm>();
    form->show();
    waitForDetection(*form);
    return form;
}

void TestDetection::failedDetectionShowsItsOneReport_data()
{
    QTest::addColumn<QByteArray>("config");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("resultShown"); // false: an exception came before the result step

    QTest::newRow("library 3.2") << QByteArray("version=3.2")
                                 << QStringLiteral("Неправильная версия библиотеки libModlink.so!\nТекущая: 3.2 Требуется: 3.4")
                                 << true;
    QTest::newRow("library 3.5") << QByteArray("version=3.5")
                                 << QStringLiteral("Неправильная версия библиотеки libModlink.so!\nТекущая: 3.5 Требуется: 3.4")
                                 << true;
    QTest::newRow("factory gives null") << QByteArray("factory=null")
                                        << QStringLiteral("Не могу получить интерфейс на модуль G-740!") << true;
    QTest::newRow("GetModuleName fails") << QByteArray("fail=GetModuleName")
                                         << QStringLiteral("Не могу выполнить функцию GetModuleName()!") << true;
    QTest::newRow("another module") << QByteArray("name=G-7400")
                                    << QStringLiteral("Обнаруженное устройство не является модулем 'G-740'!") << true;
    QTest::newRow("GetUsbSpeed fails") << QByteArray("fail=GetUsbSpeed")
                                       << QStringLiteral("Не могу выполнить функцию GetUsbSpeed()!") << true;
    QTest::newRow("speed code 2") << QByteArray("speed=2")
                                  << QStringLiteral("Считалась неправильная скорость работы шины USB!") << true;
    QTest::newRow("description fails") << QByteArray("fail=GET_MODULE_DESCRIPTION")
                                       << QStringLiteral("Не могу выполнить функцию GET_MODULE_DESCRIPTION()!") << true;
    QTest::newRow("OpenModule throws") << QByteArray("throw=OpenModule") << ExceptionText << false;
    QTest::newRow("GetUsbSpeed throws") << QByteArray("throw=GetUsbSpeed") << ExceptionText << false;
    // The failure is reported; the exception of a later step is not.
    QTest::newRow("two failures") << QByteArray("fail=GetModuleName;throw=GET_MODULE_DESCRIPTION")
                                  << QStringLiteral("Не могу выполнить функцию GetModuleName()!") << true;
}

void TestDetection::failedDetectionShowsItsOneReport()
{
    QFETCH(QByteArray, config);
    QFETCH(QString, text);
    QFETCH(bool, resultShown);
    qputenv("MODLINK_SIM", config);
    BoxWatcher watcher;
    auto form = detectedForm();

    QCOMPARE(watcher.boxes().size(), 1);
    QCOMPARE(watcher.boxes().first().text, text);
    QCOMPARE(watcher.boxes().first().caption, ReportCaption);
    QCOMPARE(watcher.boxes().first().icon, QMessageBox::Information);
    QCOMPARE(watcher.boxes().first().buttons, QMessageBox::StandardButtons(QMessageBox::Ok));

    QVERIFY(form->isEnabled());
    QVERIFY(form->FindModuleLMDButton->isEnabled());
    QVERIFY(form->popupMenuAutoPopup());
    QCOMPARE(form->LoadingTestsLMDGroupBox->title(), UnknownModule);
    QCOMPARE(form->VirtualSlotLMDStaticText->text(), QString());
    const QColor expected = resultShown ? QColor(255, 0, 0) : systemColor(QPalette::Dark);
    QCOMPARE(form->ModuleDetectionLMDShapeControl->brushColor(), expected);
    QVERIFY(allDisabled(form->SaveIniSettingLMDGroupBox));
    QVERIFY(allDisabled(form->GeneratorParsLMDGroupBox));
}

void TestDetection::noModuleTriesEverySlotSilently()
{
    qputenv("MODLINK_SIM", "nomodule");
    m_sim.resetCallLog();
    BoxWatcher watcher;
    auto form = detectedForm();

    QVERIFY(watcher.boxes().isEmpty());
    const QStringList log = m_sim.callLog();
    QStringList expected{QStringLiteral("GetLibraryVersion"), QStringLiteral("CreateModuleInterface")};
    for (int slot = 0; slot < 127; ++slot)
        expected << QStringLiteral("OpenModule(%1)").arg(slot);
    QCOMPARE(log, expected);

    QCOMPARE(form->LoadingTestsLMDGroupBox->title(), UnknownModule);
    QCOMPARE(form->ModuleDetectionLMDShapeControl->brushColor(), QColor(255, 0, 0));
    QCOMPARE(form->VirtualSlotLMDStaticText->text(), QString());
    QVERIFY(form->FindModuleLMDButton->isEnabled());
    QVERIFY(form->VirtualSlotLabelLMDStaticText->isEnabled());
    QVERIFY(allDisabled(form->GeneratorParsLMDGroupBox));
    QVERIFY(allDisabled(form->SaveIniSettingLMDGroupBox));
}

void TestDetection::moduleAtSlot3IsShown()
{
    qputenv("MODLINK_SIM", "slot=3");
    m_sim.resetCallLog();
    BoxWatcher watcher;
    auto form = detectedForm();

    QVERIFY(watcher.boxes().isEmpty());
    QCOMPARE(m_sim.callLog(), (QStringList{"GetLibraryVersion", "CreateModuleInterface", "OpenModule(0)",
                                          "OpenModule(1)", "OpenModule(2)", "OpenModule(3)", "GetModuleName",
                                          "GetUsbSpeed", "GET_MODULE_DESCRIPTION"}));
    QCOMPARE(form->LoadingTestsLMDGroupBox->title(), QStringLiteral("Модуль G-740"));
    QCOMPARE(form->ModuleDetectionLMDShapeControl->brushColor(), QColor(0, 255, 0));
    QCOMPARE(form->VirtualSlotLMDStaticText->text(), QStringLiteral("3"));
    QCOMPARE(form->VirtualSlot, 3);
    QVERIFY(form->isEnabled());
    QVERIFY(form->FindModuleLMDButton->isEnabled());
    QVERIFY(form->AutoSaveSettingsLMDCheckBox->isEnabled());
    QVERIFY(!form->AutoSaveSettingsLMDCheckBox->isChecked());
    QVERIFY(form->SaveSettingsButton->isEnabled());
    QVERIFY(form->G740GeneratorFrame->isEnabled());

    // The first detection gives the panel the values of a new settings file.
    GENERATOR_PARS pars;
    form->G740GeneratorFrame->ReadGeneratorPars(&pars);
    QCOMPARE(double(pars.StartFrequency), 10.0);
    QCOMPARE(double(pars.FrequencyIncrement), 50.0);
    QCOMPARE(int(pars.NumberOfIncrements), 10);
    QCOMPARE(int(pars.BaseIntervalsNumber), 100);
    QCOMPARE(double(pars.MasterClock), 50000.0);
    QCOMPARE(int(pars.SyncoutType), 1);
    QCOMPARE(int(pars.IncrementType), 1);
    QCOMPARE(int(pars.AnalogOutputsType), 1);
}

void TestDetection::windowIsLockedWhileSearching()
{
    auto form = std::make_unique<TMainForm>();
    QCOMPARE(form->ModuleDetectionLMDShapeControl->brushColor(), systemColor(QPalette::Button));
    QCOMPARE(form->VirtualSlotLMDStaticText->text(), QStringLiteral("8"));
    form->show();
    QTRY_VERIFY(form->DetectionRunning && !form->isEnabled());

    QVERIFY(!form->popupMenuAutoPopup());
    QVERIFY(QGuiApplication::overrideCursor());
    QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
    QCOMPARE(form->ModuleDetectionLMDShapeControl->brushColor(), systemColor(QPalette::Dark));
    QCOMPARE(form->VirtualSlotLMDStaticText->text(), QString());
    QCOMPARE(form->LoadingTestsLMDGroupBox->title(), UnknownModule);
    QVERIFY(allDisabled(form->LoadingTestsLMDGroupBox));
    QVERIFY(allDisabled(form->SaveIniSettingLMDGroupBox));
    QVERIFY(allDisabled(form->GeneratorParsLMDGroupBox));
    // A right click opens nothing.
    QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(100, 50), form->mapToGlobal(QPoint(100, 50)));
    QCoreApplication::sendEvent(form.get(), &click);
    QVERIFY(!form->PopupMenu->isVisible());

    waitForDetection(*form);
    QVERIFY(!QGuiApplication::overrideCursor());
}

void TestDetection::secondDetectionClosesTheModuleAndKeepsThePanelValues()
{
    auto form = detectedForm();
    GENERATOR_PARS changed;
    form->G740GeneratorFrame->ReadGeneratorPars(&changed);
    changed.StartFrequency = 1234.5;
    changed.NumberOfIncrements = 77;
    form->G740GeneratorFrame->ApplyGeneratorPars(TheModuleInterface, &changed);
    form->AutoSaveSettingsLMDCheckBox->setChecked(true);
    ModuleInterface *const firstInterface = TheModuleInterface;

    qputenv("MODLINK_SIM", "slot=5");
    m_sim.resetCallLog();
    BoxWatcher watcher;
    QSignalSpy finished(form.get(), &TMainForm::detectionFinished);
    QTest::mouseClick(form->FindModuleLMDButton, Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 1, 10000);
    QTRY_VERIFY(!form->DetectionRunning);

    QVERIFY(watcher.boxes().isEmpty());
    QCOMPARE(m_sim.callLog(), (QStringList{"CloseModule", "OpenModule(0)", "OpenModule(1)", "OpenModule(2)",
                                          "OpenModule(3)", "OpenModule(4)", "OpenModule(5)", "GetModuleName",
                                          "GetUsbSpeed", "GET_MODULE_DESCRIPTION"}));
    QCOMPARE(TheModuleInterface, firstInterface);
    QCOMPARE(form->VirtualSlotLMDStaticText->text(), QStringLiteral("5"));
    GENERATOR_PARS after;
    form->G740GeneratorFrame->ReadGeneratorPars(&after);
    QCOMPARE(double(after.StartFrequency), 1234.5);
    QCOMPARE(int(after.NumberOfIncrements), 77);
    // A later detection brings no settings file, so auto-save is unchecked.
    QVERIFY(!form->AutoSaveSettingsLMDCheckBox->isChecked());
    QVERIFY(form->SaveSettingsButton->isEnabled());
}

void TestDetection::failedSecondDetectionReportsTheException()
{
    auto form = detectedForm();
    qputenv("MODLINK_SIM", "throw=CloseModule");
    BoxWatcher watcher;
    QSignalSpy finished(form.get(), &TMainForm::detectionFinished);
    form->RebootModuleMenuItem->trigger();
    QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 1, 10000);
    QTRY_VERIFY(!form->DetectionRunning);

    QCOMPARE(watcher.boxes().size(), 1);
    QCOMPARE(watcher.boxes().first().text, ExceptionText);
    QVERIFY(form->isEnabled());
    QVERIFY(form->FindModuleLMDButton->isEnabled());
    QVERIFY(allDisabled(form->GeneratorParsLMDGroupBox));
    QVERIFY(allDisabled(form->SaveIniSettingLMDGroupBox));
}

void TestDetection::versionIsQueriedAgainAfterAMismatch()
{
    qputenv("MODLINK_SIM", "version=3.2");
    BoxWatcher watcher;
    auto form = detectedForm();
    QCOMPARE(watcher.boxes().size(), 1);
    QVERIFY(!TheModuleInterface);

    qputenv("MODLINK_SIM", "");
    m_sim.resetCallLog();
    QSignalSpy finished(form.get(), &TMainForm::detectionFinished);
    form->FindModuleLMDButtonClick();
    QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 1, 10000);
    QTRY_VERIFY(!form->DetectionRunning);
    const QStringList log = m_sim.callLog();
    QCOMPARE(log.mid(0, 3), (QStringList{"GetLibraryVersion", "CreateModuleInterface", "OpenModule(0)"}));
    QCOMPARE(watcher.count(ReportCaption), 1);
    QCOMPARE(form->ModuleDetectionLMDShapeControl->brushColor(), QColor(0, 255, 0));
}

void TestDetection::requestsDuringADetectionPostNothing()
{
    // Counts the private requests that reach the window.
    struct RequestCounter : QObject
    {
        int requests = 0;
        bool eventFilter(QObject *, QEvent *event) override
        {
            if (event->type() == TMainForm::StartInitDevicesThreadEvent)
                ++requests;
            return false;
        }
    } counter;

    m_sim.resetCallLog();
    auto form = std::make_unique<TMainForm>();
    form->installEventFilter(&counter);
    QSignalSpy finished(form.get(), &TMainForm::detectionFinished);
    QVERIFY(form->DetectionRequestAllowed && form->FirstDetection && !form->DetectionRunning && !form->Busy);

    // Requested: the first size notification has posted the request.
    form->show();
    QVERIFY(!form->DetectionRequestAllowed && !form->DetectionRunning);
    QResizeEvent resize(form->size(), form->size());
    QCoreApplication::sendEvent(form.get(), &resize);
    form->FindModuleLMDButtonClick();

    // Running.
    QTRY_VERIFY(form->DetectionRunning);
    QVERIFY(form->DetectionRequestAllowed);
    QCoreApplication::sendEvent(form.get(), &resize);
    form->FindModuleLMDButtonClick();

    waitForDetection(*form);
    QCOMPARE(counter.requests, 1);
    QCOMPARE(finished.size(), 1);
    QVERIFY(form->DetectionRequestAllowed);
    // After the first detection a size notification asks for nothing.
    QCoreApplication::sendEvent(form.get(), &resize);
    QVERIFY(form->DetectionRequestAllowed);
    QTest::qWait(50);
    QCOMPARE(counter.requests, 1);
    QCOMPARE(countOf(m_sim.callLog(), QStringLiteral("GetLibraryVersion")), 1);

    // Two clicks in a row make one detection.
    form->FindModuleLMDButtonClick();
    form->FindModuleLMDButtonClick();
    QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 2, 10000);
    QTRY_VERIFY(!form->DetectionRunning);
    QCOMPARE(counter.requests, 2);
}

void TestDetection::closingStopsTheGeneratorThenReleasesTheInterface()
{
    auto form = detectedForm();
    m_sim.resetCallLog();
    form.reset();
    QCOMPARE(m_sim.callLog(), (QStringList{"STOP_GENERATOR", "ReleaseInterface"}));
    QVERIFY(!TheModuleInterface);

    // Without a module found the closing sequence has no interface to stop.
    qputenv("MODLINK_SIM", "factory=null");
    BoxWatcher watcher;
    form = detectedForm();
    m_sim.resetCallLog();
    form.reset();
    QCOMPARE(m_sim.callLog(), QStringList());
}

QPushButton *TestDetection::startButton(TMainForm &form)
{
    return form.G740GeneratorFrame->findChild<QPushButton *>(QStringLiteral("ControlGeneratorLMDButton"));
}

void TestDetection::detectionStopsARunningGeneratorFirst_data()
{
    QTest::addColumn<QString>("request");
    QTest::newRow("Ctrl+M") << "Ctrl+M";
    QTest::newRow("button") << "button";
    QTest::newRow("menu") << "menu";
}

void TestDetection::detectionStopsARunningGeneratorFirst()
{
    QFETCH(QString, request);
    auto form = detectedForm();
    QVERIFY(QTest::qWaitForWindowActive(form.get()));
    QPushButton *button = startButton(*form);
    QTest::mouseClick(button, Qt::LeftButton);
    QVERIFY(m_sim.generatorRunning());

    m_sim.resetCallLog();
    BoxWatcher watcher;
    QSignalSpy finished(form.get(), &TMainForm::detectionFinished);
    if (request == QLatin1String("Ctrl+M"))
        QTest::keyClick(form.get(), Qt::Key_M, Qt::ControlModifier);
    else if (request == QLatin1String("button"))
        QTest::mouseClick(form->FindModuleLMDButton, Qt::LeftButton);
    else
        form->RebootModuleMenuItem->trigger();
    // Stopped at once, before the detection starts.
    QVERIFY(!m_sim.generatorRunning());
    QCOMPARE(button->text(), QStringLiteral("Запуск генератора"));
    QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 1, 10000);
    QTRY_VERIFY(!form->DetectionRunning);

    QVERIFY(watcher.boxes().isEmpty());
    const QStringList log = m_sim.callLog();
    QCOMPARE(log.mid(0, 2), (QStringList{"STOP_GENERATOR", "CloseModule"}));
    QVERIFY(!m_sim.generatorRunning());
    QCOMPARE(button->text(), QStringLiteral("Запуск генератора"));
    QVERIFY(button->isEnabled());
    QVERIFY(form->G740GeneratorFrame->findChild<QWidget *>(QStringLiteral("DesiredStartFrequencyValueLMDEdit"))
                ->isEnabled());
}

void TestDetection::failedStopKeepsTheGeneratorShownRunning()
{
    auto form = detectedForm();
    QPushButton *button = startButton(*form);
    QTest::mouseClick(button, Qt::LeftButton);
    QVERIFY(m_sim.generatorRunning());

    qputenv("MODLINK_SIM", "fail=STOP_GENERATOR");
    m_sim.resetCallLog();
    BoxWatcher watcher;
    QSignalSpy finished(form.get(), &TMainForm::detectionFinished);
    form->FindModuleLMDButtonClick();
    QCOMPARE(watcher.boxes().size(), 1);
    QCOMPARE(watcher.boxes().first().text, QStringLiteral("Не могу выполнить функцию STOP_GENERATOR()"));
    QCOMPARE(watcher.boxes().first().caption, QStringLiteral("Ошибка ControlGeneratorLMDButtonClick()!!!"));
    // No detection: the module still runs, and the window says so.
    QTest::qWait(700);
    QCOMPARE(finished.size(), 0);
    QVERIFY(!form->DetectionRunning);
    QVERIFY(form->DetectionRequestAllowed);
    // The failed stop is followed by the check whether the module is still there.
    QCOMPARE(m_sim.callLog(), (QStringList{"STOP_GENERATOR", "GetUsbSpeed"}));
    QVERIFY(m_sim.generatorRunning());
    QCOMPARE(button->text(), QStringLiteral("Останов генератора"));
    QVERIFY(!form->G740GeneratorFrame->findChild<QWidget *>(QStringLiteral("DesiredStartFrequencyValueLMDEdit"))
                 ->isEnabled());

    // Once the module stops, the detection goes ahead.
    qputenv("MODLINK_SIM", "");
    form->FindModuleLMDButtonClick();
    QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 1, 10000);
    QTRY_VERIFY(!form->DetectionRunning);
    QVERIFY(!m_sim.generatorRunning());
    QCOMPARE(watcher.boxes().size(), 1);
}

int main(int argc, char *argv[])
{
    Application app(argc, argv);
    TestDetection test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_detection.moc"
