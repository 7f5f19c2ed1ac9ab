// The parameter-set dialog as the operator uses it: opened from the window
// with Ctrl+P, driven by clicks and keys, its boxes answered; and --preset
// as the window applies it.

#include "BoxWatcher.h"

#include "window/G740GeneratorFrame.h"
#include "window/InitDevicesThread.h"
#include "window/MainForm.h"
#include "window/ParameterSetsDialog.h"
#include "instrument/Instrument.h"
#include "instrument/InstrumentSets.h"
#include "instrument/InstrumentTexts.h"
#include "widgets/MessageBox.h"
#include "settings/IniFile.h"
#include "settings/IniText.h"
#include "settings/ParameterSets.h"
#include "settings/SettingsFilePath.h"
#include "settings/SettingsKeys.h"

#include <QInputDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QtTest>

#include <functional>
#include <memory>

namespace {

void waitForDetection(TMainForm &form)
{
    QTRY_VERIFY_WITH_TIMEOUT(!form.FirstDetection && !form.DetectionRunning, 10000);
}

// Runs action from the event loop once the modal window of this object name
// is up: the code that opened it is blocked in its exec().
// The timer is the caller's to delete when the window never came.
QTimer *whenModal(const QString &name, std::function<void(QWidget *)> action)
{
    auto *timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, [timer, name, action] {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal || modal->objectName() != name || !modal->isVisible())
            return;
        timer->stop();
        action(modal);
    });
    timer->start(5);
    return timer;
}

// Types name into the set-name question and confirms it with Enter.
void answerName(const QString &name)
{
    QTimer *timer = whenModal(QStringLiteral("SetNameInputDialog"), [name](QWidget *ask) {
        auto *edit = ask->findChild<QLineEdit *>();
        // QTest types ASCII only; the name is put in as a paste would.
        edit->selectAll();
        edit->insert(name);
        QTest::keyClick(edit, Qt::Key_Return);
    });
    // The question comes at once or not at all.
    QTimer::singleShot(3000, timer, &QObject::deleteLater);
}

// Opens the dialog with Ctrl+P from the panel's start-frequency field, runs
// script in it, closes it with Escape and returns once it is closed;
// false when no dialog opened.
bool withDialog(TMainForm &form, const std::function<void(TParameterSetsDialog &)> &script)
{
    bool opened = false;
    std::unique_ptr<QTimer> timer(whenModal(QStringLiteral("ParameterSetsDialog"), [&](QWidget *modal) {
        opened = true;
        auto *dialog = qobject_cast<TParameterSetsDialog *>(modal);
        script(*dialog);
        QTest::keyClick(dialog->SetsLMDListBox, Qt::Key_Escape);
    }));
    form.activateWindow();
    if (!QTest::qWaitForWindowActive(&form))
        return false;
    QLineEdit *edit = form.G740GeneratorFrame->findChild<QLineEdit *>(QStringLiteral("DesiredStartFrequencyValueLMDEdit"));
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_P, Qt::ControlModifier);
    return opened;
}

void typeStartFrequency(TMainForm &form, const QString &text)
{
    auto *edit = form.G740GeneratorFrame->findChild<QLineEdit *>(QStringLiteral("DesiredStartFrequencyValueLMDEdit"));
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, text);
}

QStringList listed(const TParameterSetsDialog &dialog)
{
    QStringList names;
    for (int row = 0; row < dialog.SetsLMDListBox->count(); ++row)
        names << dialog.SetsLMDListBox->item(row)->text();
    return names;
}

void selectSet(TParameterSetsDialog &dialog, const QString &name)
{
    const QList<QListWidgetItem *> items = dialog.SetsLMDListBox->findItems(name, Qt::MatchExactly);
    if (items.isEmpty())
        return;
    const QRect cell = dialog.SetsLMDListBox->visualItemRect(items.first());
    QTest::mouseClick(dialog.SetsLMDListBox->viewport(), Qt::LeftButton, {}, cell.center());
}

double storedStartFrequency(const QString &name)
{
    GENERATOR_PARS pars;
    pars.StartFrequency = -1;
    (void)ParameterSets::load(TIniFile(SettingsFilePath()), name, pars);
    return pars.StartFrequency;
}

} // namespace

class TestParameterSetsDialog : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void saveAsksBeforeReplacing();
    void loadShowsTheSetAtOnceAndIsRefusedWhileRunning();
    void deleteAsksWithNoFirst();
    void presetReplacesTheFileRecord();
    void missingPresetIsShownAndTheFileRecordStays();
    void tenThousandSetsStayUsable();

private:
    QTemporaryDir m_directory;
};

void TestParameterSetsDialog::initTestCase()
{
    QVERIFY(m_directory.isValid());
    setSettingsFilePathOverride(m_directory.filePath(QStringLiteral("G740Config.ini")));
}

void TestParameterSetsDialog::init()
{
    QFile::remove(SettingsFilePath());
}

void TestParameterSetsDialog::cleanup()
{
    setMessageBoxesUnattended(false);
    QTRY_COMPARE(TInitDevicesThread::liveCount(), 0);
}

// A set saved is the record the panel shows; a name that exists, in any
// letter case, is replaced only after a Yes. Escape closes the dialog
// without the exit question.
void TestParameterSetsDialog::saveAsksBeforeReplacing()
{
    TMainForm form;
    form.show();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    waitForDetection(form);
    typeStartFrequency(form, QStringLiteral("2500"));
    BoxWatcher watcher(QMessageBox::No);

    QStringList before, after;
    bool loadEnabled = true;
    QVERIFY(withDialog(form, [&](TParameterSetsDialog &dialog) {
        before = listed(dialog);
        loadEnabled = dialog.LoadSetLMDButton->isEnabled();
        answerName(QStringLiteral("  Проверка фильтра 1–10 кГц "));
        QTest::mouseClick(dialog.SaveSetLMDButton, Qt::LeftButton);
        after = listed(dialog);
    }));
    QCOMPARE(before, QStringList());
    QVERIFY(!loadEnabled);
    QCOMPARE(after, QStringList({QStringLiteral("Проверка фильтра 1–10 кГц")}));
    QCOMPARE(storedStartFrequency(QStringLiteral("Проверка фильтра 1–10 кГц")), 2500.0);
    QVERIFY(watcher.boxes().isEmpty()); // no exit question after Escape
    QVERIFY(form.isVisible());

    typeStartFrequency(form, QStringLiteral("300"));
    QVERIFY(withDialog(form, [&](TParameterSetsDialog &dialog) {
        answerName(QStringLiteral("ПРОВЕРКА ФИЛЬТРА 1–10 кГц"));
        QTest::mouseClick(dialog.SaveSetLMDButton, Qt::LeftButton); // answered No
        watcher.setAnswer(QMessageBox::Yes);
        answerName(QStringLiteral("[плохое]"));
        QTest::mouseClick(dialog.SaveSetLMDButton, Qt::LeftButton); // refused
        answerName(QStringLiteral("проверка фильтра 1–10 кГц"));
        QTest::mouseClick(dialog.SaveSetLMDButton, Qt::LeftButton); // answered Yes
        after = listed(dialog);
    }));
    QCOMPARE(watcher.boxes().size(), 3);
    QCOMPARE(watcher.boxes().at(0).caption, QStringLiteral("Подтвердите замену набора!"));
    QVERIFY(watcher.boxes().at(1).text.contains(QStringLiteral("квадратные скобки")));
    QCOMPARE(watcher.boxes().at(2).caption, QStringLiteral("Подтвердите замену набора!"));
    QCOMPARE(after, QStringList({QStringLiteral("проверка фильтра 1–10 кГц")}));
    QCOMPARE(storedStartFrequency(QStringLiteral("Проверка фильтра 1–10 кГц")), 300.0);
}

void TestParameterSetsDialog::loadShowsTheSetAtOnceAndIsRefusedWhileRunning()
{
    TMainForm form;
    form.show();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    waitForDetection(form);
    GENERATOR_PARS set = form.instrument().record();
    set.StartFrequency = 4321.0;
    set.NumberOfIncrements = 7;
    QVERIFY(!InstrumentSets(form.instrument(), SettingsFilePath()).save(QStringLiteral("Набор"), set));
    auto *start = form.G740GeneratorFrame->findChild<QLineEdit *>(QStringLiteral("DesiredStartFrequencyValueLMDEdit"));
    auto *count = form.G740GeneratorFrame->findChild<QLineEdit *>(QStringLiteral("NumberOfIncrementsValueLMDEdit"));
    BoxWatcher watcher;

    QString shownInDialog;
    QVERIFY(withDialog(form, [&](TParameterSetsDialog &dialog) {
        selectSet(dialog, QStringLiteral("Набор"));
        QTest::mouseClick(dialog.LoadSetLMDButton, Qt::LeftButton);
        shownInDialog = start->text(); // the panel, while the dialog is still open
    }));
    QCOMPARE(shownInDialog.toDouble(), 4321.0);
    QCOMPARE(count->text(), QStringLiteral("7"));
    QCOMPARE(double(form.instrument().record().StartFrequency), 4321.0);
    QVERIFY(watcher.boxes().isEmpty());

    // Running: the reason is shown and the record stays.
    typeStartFrequency(form, QStringLiteral("100"));
    QTest::mouseClick(form.G740GeneratorFrame->findChild<QPushButton *>(QStringLiteral("ControlGeneratorLMDButton")), Qt::LeftButton);
    QTRY_VERIFY(form.instrument().isRunning());
    QVERIFY(withDialog(form, [&](TParameterSetsDialog &dialog) {
        selectSet(dialog, QStringLiteral("Набор"));
        QTest::keyClick(dialog.SetsLMDListBox, Qt::Key_Return); // Enter loads as the button does
    }));
    QCOMPARE(watcher.boxes().size(), 1);
    QCOMPARE(watcher.boxes().at(0).text, InstrumentTexts::setRefusedWhileRunning());
    QCOMPARE(watcher.boxes().at(0).icon, QMessageBox::Warning);
    QCOMPARE(double(form.instrument().record().StartFrequency), 100.0);
    QCOMPARE(start->text().toDouble(), 100.0);
    QTest::mouseClick(form.G740GeneratorFrame->findChild<QPushButton *>(QStringLiteral("ControlGeneratorLMDButton")), Qt::LeftButton);
    QTRY_VERIFY(!form.instrument().isRunning());
}

void TestParameterSetsDialog::deleteAsksWithNoFirst()
{
    TMainForm form;
    form.show();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    waitForDetection(form);
    InstrumentSets sets(form.instrument(), SettingsFilePath());
    QVERIFY(!sets.save(QStringLiteral("Первый")));
    QVERIFY(!sets.save(QStringLiteral("Второй")));
    BoxWatcher watcher(QMessageBox::No);
    QStringList afterNo, afterYes;
    QVERIFY(withDialog(form, [&](TParameterSetsDialog &dialog) {
        selectSet(dialog, QStringLiteral("Второй"));
        QTest::mouseClick(dialog.DeleteSetLMDButton, Qt::LeftButton);
        afterNo = listed(dialog);
        watcher.setAnswer(QMessageBox::Yes);
        QTest::mouseClick(dialog.DeleteSetLMDButton, Qt::LeftButton);
        afterYes = listed(dialog);
    }));
    QCOMPARE(watcher.boxes().size(), 2);
    QCOMPARE(watcher.boxes().at(0).text, QStringLiteral("Удалить набор параметров \"Второй\"?"));
    QCOMPARE(afterNo, QStringList({QStringLiteral("Первый"), QStringLiteral("Второй")}));
    QCOMPARE(afterYes, QStringList({QStringLiteral("Первый")}));
    QCOMPARE(sets.names(), afterYes);
    // The safe answer of the question is No.
    QCOMPARE(safeAnswer(watcher.boxes().at(0).buttons), QMessageBox::No);
}

namespace {

void writeSettingsWithSet()
{
    TIniFile file(SettingsFilePath());
    file.setReplacesUnusableFile(true);
    writeDefaultSettings(file, QStringLiteral("/opt/g740demo"));
    GENERATOR_PARS pars;
    readGeneratorSettings(&file, pars);
    pars.StartFrequency = 777.0;
    QVERIFY(!ParameterSets::save(file, QStringLiteral("Лаборатория"), pars));
}

} // namespace

void TestParameterSetsDialog::presetReplacesTheFileRecord()
{
    writeSettingsWithSet();
    TMainForm form;
    form.setPresetName(QStringLiteral("лаборатория"));
    BoxWatcher watcher;
    form.show();
    waitForDetection(form);
    QVERIFY(watcher.boxes().isEmpty());
    QCOMPARE(double(form.instrument().record().StartFrequency), 777.0);
    auto *start = form.G740GeneratorFrame->findChild<QLineEdit *>(QStringLiteral("DesiredStartFrequencyValueLMDEdit"));
    QCOMPARE(start->text().toDouble(), 777.0);

    // Used once: the next detection keeps what the panel shows.
    typeStartFrequency(form, QStringLiteral("12"));
    QSignalSpy finished(&form, &TMainForm::detectionFinished);
    QTest::keyClick(&form, Qt::Key_M, Qt::ControlModifier);
    QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 1, 10000);
    QCOMPARE(double(form.instrument().record().StartFrequency), 12.0);
}

void TestParameterSetsDialog::missingPresetIsShownAndTheFileRecordStays()
{
    writeSettingsWithSet();
    TMainForm form;
    form.setPresetName(QStringLiteral("Нет такого"));
    BoxWatcher watcher;
    form.show();
    waitForDetection(form);
    QCOMPARE(watcher.boxes().size(), 1);
    QVERIFY2(watcher.boxes().at(0).text.contains(QStringLiteral("\"Нет такого\" не найден")),
             qPrintable(watcher.boxes().at(0).text));
    QCOMPARE(double(form.instrument().record().StartFrequency), 10.0);
    QVERIFY(form.G740GeneratorFrame->isEnabled());
}

// A file with 10,000 sets: all listed, the last one found, selected and
// loaded, a new one stored beside them.
void TestParameterSetsDialog::tenThousandSetsStayUsable()
{
    constexpr int Sets = 10000;
    {
        TIniFile file(SettingsFilePath());
        writeDefaultSettings(file, QStringLiteral("/opt/g740demo"));
        GENERATOR_PARS pars;
        readGeneratorSettings(&file, pars);
        QByteArray content = file.text().content();
        for (int i = 0; i < Sets; ++i) {
            pars.StartFrequency = 100 + i;
            IniText set{QByteArray()};
            setRecordKeys(set, ParameterSets::sectionName(QStringLiteral("Набор %1").arg(i, 5, 10, QLatin1Char('0'))), pars);
            content += set.content();
        }
        QFile raw(SettingsFilePath());
        QVERIFY(raw.open(QIODevice::WriteOnly));
        raw.write(content);
    }
    TMainForm form;
    form.show();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    waitForDetection(form);
    BoxWatcher watcher;
    QStringList shown;
    QVERIFY(withDialog(form, [&](TParameterSetsDialog &dialog) {
        shown = listed(dialog);
        dialog.SetsLMDListBox->scrollToBottom();
        selectSet(dialog, QStringLiteral("Набор 09999"));
        QTest::mouseClick(dialog.LoadSetLMDButton, Qt::LeftButton);
        answerName(QStringLiteral("Ещё один"));
        QTest::mouseClick(dialog.SaveSetLMDButton, Qt::LeftButton);
    }));
    QCOMPARE(shown.size(), Sets);
    QCOMPARE(shown.last(), QStringLiteral("Набор 09999"));
    QCOMPARE(double(form.instrument().record().StartFrequency), 100.0 + Sets - 1);
    QCOMPARE(ParameterSets::names(TIniFile(SettingsFilePath())).size(), Sets + 1);
    QVERIFY(watcher.boxes().isEmpty());
}

QTEST_MAIN(TestParameterSetsDialog)
#include "tst_parametersetsdialog.moc"
