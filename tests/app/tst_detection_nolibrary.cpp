// Module detection where the device library cannot be found: this test is
// built into a directory of its own, without libModlink.so beside it, so the
// loader's search finds nothing, as on a machine where the library was never
// installed.

#include "BoxWatcher.h"

#include "window/Application.h"
#include "window/MainForm.h"
#include "device/DeviceLibrary.h"
#include "window/InitDevicesThread.h"
#include "widgets/EllipseIndicator.h"
#include "settings/SettingsFilePath.h"

#include <QGroupBox>
#include <QPushButton>
#include <QtTest>

class TestDetectionWithoutLibrary : public QObject
{
    Q_OBJECT

private slots:
    void missingLibraryIsReportedAndDetectionCanBeRetried();

private:
    QTemporaryDir m_settingsDirectory;
};

void TestDetectionWithoutLibrary::missingLibraryIsReportedAndDetectionCanBeRetried()
{
    QVERIFY(m_settingsDirectory.isValid());
    setSettingsFilePathOverride(m_settingsDirectory.filePath(QStringLiteral("G740Config.ini")));
    qunsetenv("LD_LIBRARY_PATH");

    BoxWatcher watcher;
    TMainForm form;
    form.show();
    QTRY_VERIFY_WITH_TIMEOUT(!form.FirstDetection && !form.DetectionRunning, 10000);

    QCOMPARE(watcher.boxes().size(), 1);
    const BoxWatcher::Box report = watcher.boxes().first();
    QCOMPARE(report.caption, QStringLiteral("Сообщение TInitDevicesThread::Execute()!"));
    QVERIFY2(report.text.startsWith(QStringLiteral("Не могу загрузить библиотеку Modlink!\n")), qPrintable(report.text));
    // The reason names the file that was looked for.
    QVERIFY2(report.text.contains(QStringLiteral("Modlink")), qPrintable(report.text));
    QVERIFY(!TheModuleInterface);
    QVERIFY(!DeviceLibrary::instance().isLoaded());

    QVERIFY(form.isEnabled());
    QVERIFY(form.FindModuleLMDButton->isEnabled());
    QCOMPARE(form.ModuleDetectionLMDShapeControl->brushColor(), QColor(255, 0, 0));
    QCOMPARE(form.LoadingTestsLMDGroupBox->title(), QStringLiteral("Модуль ??????"));
    // The settings file was still created at the first detection.
    QVERIFY(QFile::exists(SettingsFilePath()));

    // A second try reports the same, once.
    watcher.clear();
    form.FindModuleLMDButtonClick();
    QTRY_VERIFY_WITH_TIMEOUT(watcher.boxes().size() == 1 && !form.DetectionRunning, 10000);
    QVERIFY(watcher.boxes().first().text.startsWith(QStringLiteral("Не могу загрузить библиотеку Modlink!\n")));
    QTRY_COMPARE(TInitDevicesThread::liveCount(), 0);
}

int main(int argc, char *argv[])
{
    Application app(argc, argv);
    TestDetectionWithoutLibrary test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_detection_nolibrary.moc"
