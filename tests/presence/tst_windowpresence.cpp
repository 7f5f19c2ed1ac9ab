// The window when its module goes and comes back: the not-found look of a
// failed detection without a box, then the found look again. Screenshots of
// each step go to screenshots/ beside the test.
#include "BoxWatcher.h"

#include "window/Application.h"
#include "window/G740GeneratorFrame.h"
#include "window/MainForm.h"
#include "widgets/EllipseIndicator.h"
#include "settings/SettingsFilePath.h"

#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

class TestWindowPresence : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void lossAndReturn_data();
    void lossAndReturn();

private:
    void setCable(const QByteArray &entries);
    void shoot(TMainForm &form, const char *step);

    QTemporaryDir m_dir;
};

void TestWindowPresence::initTestCase()
{
    QVERIFY(m_dir.isValid());
    setSettingsFilePathOverride(m_dir.filePath(QStringLiteral("G740Config.ini")));
    qputenv("MODLINK_SIM_FILE", QFile::encodeName(m_dir.filePath(QStringLiteral("cable"))));
    qputenv("G740_MODULE_CHECK_MS", "50"); // read when the window is made
    QDir(QCoreApplication::applicationDirPath()).mkpath(QStringLiteral("screenshots"));
}

void TestWindowPresence::setCable(const QByteArray &entries)
{
    QFile file(m_dir.filePath(QStringLiteral("cable")));
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(entries);
}

void TestWindowPresence::shoot(TMainForm &form, const char *step)
{
    const QString name = QStringLiteral("%1/screenshots/presence-%2-%3.png")
                             .arg(QCoreApplication::applicationDirPath(),
                                  QString::fromLatin1(QTest::currentDataTag()).replace(QLatin1Char(' '), QLatin1Char('-')),
                                  QLatin1String(step));
    QVERIFY(form.grab().save(name));
}

void TestWindowPresence::lossAndReturn_data()
{
    QTest::addColumn<QByteArray>("sim");
    QTest::addColumn<int>("choice"); // -1: no --slot
    QTest::addColumn<int>("slot");
    QTest::addColumn<bool>("running");
    QTest::addColumn<QString>("title");
    QTest::addColumn<bool>("detectWhileGone"); // the operator asks for a detection while it is gone

    const QString plainTitle = QStringLiteral("Модуль G-740. Генератор.");
    QTest::newRow("stopped") << QByteArray("slots=0") << -1 << 0 << false << plainTitle << false;
    QTest::newRow("running") << QByteArray("slots=0") << -1 << 0 << true << plainTitle << false;
    QTest::newRow("slot 3") << QByteArray("slots=0,3") << 3 << 3 << true
                            << QStringLiteral("Модуль G-740. Генератор. Виртуальный слот 3.") << false;
    QTest::newRow("failed detection meanwhile") << QByteArray("slots=0") << -1 << 0 << true << plainTitle << true;
}

void TestWindowPresence::lossAndReturn()
{
    QFETCH(QByteArray, sim);
    QFETCH(int, choice);
    QFETCH(int, slot);
    QFETCH(bool, running);
    QFETCH(QString, title);
    QFETCH(bool, detectWhileGone);
    qputenv("MODLINK_SIM", sim);
    setCable(QByteArray());
    QFile::remove(SettingsFilePath());
    auto form = std::make_unique<TMainForm>();
    if (choice >= 0)
        form->setSlotChoice(quint16(choice));
    form->show();
    QTRY_VERIFY_WITH_TIMEOUT(!form->FirstDetection && !form->DetectionRunning, 10000);
    QCOMPARE(form->windowTitle(), title);
    QCOMPARE(form->VirtualSlotLMDStaticText->text(), QString::number(slot));
    const QColor green(0, 255, 0), red(255, 0, 0);
    QCOMPARE(form->ModuleDetectionLMDShapeControl->brushColor(), green);
    auto *control = form->G740GeneratorFrame->findChild<QPushButton *>(QStringLiteral("ControlGeneratorLMDButton"));
    QVERIFY(control);
    if (running) {
        QTest::mouseClick(control, Qt::LeftButton);
        QVERIFY(form->G740GeneratorFrame->generatorRunning());
    }
    shoot(*form, "1-found");

    BoxWatcher watcher;
    setCable("unplugged=all");
    QTRY_COMPARE(form->ModuleDetectionLMDShapeControl->brushColor(), red);
    QCOMPARE(form->LoadingTestsLMDGroupBox->title(), QStringLiteral("Модуль ??????"));
    QCOMPARE(form->VirtualSlotLMDStaticText->text(), QString());
    QCOMPARE(form->ModuleDetectionLMDStaticText->text(), QStringLiteral("Связь потеряна"));
    QVERIFY(form->ModuleDetectionLMDStaticText->toolTip().startsWith(
        QStringLiteral("Связь с модулем G-740 потеряна (виртуальный слот %1)").arg(slot)));
    QVERIFY(!form->GeneratorParsLMDGroupBox->isEnabled());
    QVERIFY(!form->G740GeneratorFrame->generatorRunning());
    // Looked for again and again while gone, with no box at all.
    QTest::qWait(300);
    QCOMPARE(watcher.boxes().size(), 0);
    shoot(*form, "2-lost");
    if (detectWhileGone) {
        form->FindModuleLMDButtonClick();
        QTRY_VERIFY_WITH_TIMEOUT(!form->DetectionRunning, 10000);
        QCOMPARE(form->ModuleDetectionLMDShapeControl->brushColor(), red);
        QVERIFY(!control->isEnabled());
    }

    setCable(QByteArray());
    QTRY_VERIFY_WITH_TIMEOUT(form->ModuleDetectionLMDShapeControl->brushColor() == green && !form->DetectionRunning,
                             10000);
    QCOMPARE(form->LoadingTestsLMDGroupBox->title(), QStringLiteral("Модуль G-740"));
    QCOMPARE(form->VirtualSlotLMDStaticText->text(), QString::number(slot));
    QCOMPARE(form->ModuleDetectionLMDStaticText->text(), QStringLiteral("Обнаружение модуля"));
    QVERIFY(form->GeneratorParsLMDGroupBox->isEnabled());
    // Not restarted by itself; the operator's start works.
    QVERIFY(!form->G740GeneratorFrame->generatorRunning());
    // After a detection of the operator's the window shows that detection's outcome.
    QCOMPARE(form->ModuleDetectionLMDStaticText->toolTip().contains(QStringLiteral("сам не запускается")),
             running && !detectWhileGone);
    QVERIFY(control->isEnabled());
    shoot(*form, "3-back");
    QTest::mouseClick(control, Qt::LeftButton);
    QVERIFY(form->G740GeneratorFrame->generatorRunning());
    QCOMPARE(watcher.boxes().size(), 0);
}

int main(int argc, char *argv[])
{
    Application app(argc, argv);
    TestWindowPresence test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_windowpresence.moc"
