// The main window: its make-up, the popup menu, the exit question and the
// ways to end the program.

#include "BoxWatcher.h"

#include "window/Application.h"
#include "window/MainForm.h"
#include "window/SweepWindow.h"
#include "device/DeviceLibrary.h"
#include "window/InitDevicesThread.h"
#include "window/G740GeneratorFrame.h"
#include "widgets/EllipseIndicator.h"
#include "widgets/MessageBox.h"
#include "settings/SettingsFilePath.h"

#include <QAction>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QtTest>

#include <clocale>
#include <cstdio>
#include <memory>

namespace {

// Counts the Escape presses that reach a widget.
class EscapeCounter : public QObject
{
public:
    int presses = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape)
            ++presses;
        return false;
    }
};

// Runs the application's event loop until something quits it; a loop that
// nobody quits is ended after a while with code 1.
int runUntilQuit(const std::function<void()> &action)
{
    QTimer::singleShot(0, action);
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [] { QCoreApplication::exit(1); });
    guard.start(5000);
    return QCoreApplication::exec();
}

void waitForDetection(TMainForm &form)
{
    QTRY_VERIFY_WITH_TIMEOUT(!form.FirstDetection && !form.DetectionRunning, 10000);
}

} // namespace

class TestMainForm : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();

    void windowIsSizedAroundThePanel();
    void controlsCarryTheirNamesAndTexts_data();
    void controlsCarryTheirNamesAndTexts();
    void popupMenuItemsAndShortcuts();
    void shortcutsWorkFromAnEdit_data();
    void shortcutsWorkFromAnEdit();
    void popupMenuOpensCentredOnTheMouse();
    void sweepWindowFollowsThePanel();
    void autoSaveBoxControlsTheSaveButton();
    void decimalPointIsForced();

    void escapeNoPassesTheKeyOn();
    void escapeWhileBusyIsConsumed();
    void escapeInAnotherBoxClosesThatBox();
    void escapeClosesTheOpenPopupMenu();
    void escapeYesEndsTheProgram();
    void escapeOnTheExitQuestionAnswersNo();
    void ctrlQEndsWithoutAQuestion();
    void closeBoxEndsWithoutAQuestion();
    void endingDuringADetectionWaitsForIt();
    void requestFromOutsideAnswersTheOpenBoxes_data();
    void requestFromOutsideAnswersTheOpenBoxes();

private:
    QTemporaryDir m_settingsDirectory;
};

void TestMainForm::initTestCase()
{
    // The window's settings file lives in a directory of the test's own.
    QVERIFY(m_settingsDirectory.isValid());
    setSettingsFilePathOverride(m_settingsDirectory.filePath(QStringLiteral("G740Config.ini")));
}

void TestMainForm::cleanup()
{
    setMessageBoxesUnattended(false);
    QTRY_COMPARE(TInitDevicesThread::liveCount(), 0);
    QVERIFY(!TheModuleInterface);
}

void TestMainForm::windowIsSizedAroundThePanel()
{
    TMainForm form;
    QCOMPARE(form.G740GeneratorFrame->parentWidget(), form.GeneratorParsLMDGroupBox);
    QCOMPARE(form.G740GeneratorFrame->geometry(), QRect(2, 25, 963, 581));
    QCOMPARE(form.GeneratorParsLMDGroupBox->geometry(), QRect(1, 100, 967, 608));
    // The group box with a one-pixel margin either side and none below.
    QCOMPARE(form.size(), QSize(969, 708));
    QCOMPARE(form.minimumSize(), form.maximumSize());
    const Qt::WindowFlags flags = form.windowFlags();
    QVERIFY(flags & Qt::WindowMinimizeButtonHint);
    QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
    QVERIFY(flags & Qt::WindowSystemMenuHint);
    QCOMPARE(form.windowTitle(), QStringLiteral("Модуль G-740. Генератор."));
    QCOMPARE(form.font().pixelSize(), 23);
}

void TestMainForm::controlsCarryTheirNamesAndTexts_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<bool>("enabled");

    QTest::newRow("module area") << "LoadingTestsLMDGroupBox" << "Модуль ??????" << QRect(2, 0, 428, 100) << true;
    QTest::newRow("indicator") << "ModuleDetectionLMDShapeControl" << "" << QRect(8, 24, 40, 40) << true;
    QTest::newRow("indicator label") << "ModuleDetectionLMDStaticText" << "Обнаружение модуля" << QRect(51, 32, 168, 22)
                                     << true;
    QTest::newRow("slot") << "VirtualSlotLMDStaticText" << "8" << QRect(6, 67, 47, 27) << true;
    QTest::newRow("slot label") << "VirtualSlotLabelLMDStaticText" << "Виртуальный слот" << QRect(59, 68, 146, 22)
                                << true;
    QTest::newRow("find button") << "FindModuleLMDButton" << "Обнаружить G-740" << QRect(228, 28, 192, 55) << false;
    QTest::newRow("settings area") << "SaveIniSettingLMDGroupBox" << "Настройки" << QRect(430, 0, 207, 100) << true;
    QTest::newRow("auto-save") << "AutoSaveSettingsLMDCheckBox" << "Авто Сохранение" << QRect(24, 27, 157, 24) << true;
    QTest::newRow("save button") << "SaveSettingsButton" << "Сохранить" << QRect(24, 56, 160, 33) << false;
}

void TestMainForm::controlsCarryTheirNamesAndTexts()
{
    QFETCH(QString, name);
    QFETCH(QString, text);
    QFETCH(QRect, geometry);
    QFETCH(bool, enabled);
    TMainForm form;
    auto *control = form.findChild<QWidget *>(name);
    QVERIFY(control);
    QCOMPARE(control->geometry(), geometry);
    QCOMPARE(control->isEnabled(), enabled);
    QString shown;
    if (auto *group = qobject_cast<QGroupBox *>(control))
        shown = group->title();
    else if (auto *label = qobject_cast<QLabel *>(control))
        shown = label->text();
    else if (auto *button = qobject_cast<QAbstractButton *>(control))
        shown = button->text();
    QCOMPARE(shown, text);
}

void TestMainForm::popupMenuItemsAndShortcuts()
{
    TMainForm form;
    QStringList items;
    for (QAction *action : form.PopupMenu->actions())
        items << action->objectName() + QLatin1Char('|') + action->text() + QLatin1Char('|')
                     + action->shortcut().toString(QKeySequence::PortableText);
    QCOMPARE(items, (QStringList{"RebootModuleMenuItem|Перезагрузка Модуля|Ctrl+M", "N1||",
                                 "SaveDefaultSettings|Сохранение штатных настроек|Ctrl+D",
                                 "SaveCurrentSettings|Сохранение текущих настроек|Ctrl+S", "N3||",
                                 "SweepMenuItem|Развёртка ...|Ctrl+G",
                                 "ParameterSetsMenuItem|Наборы параметров ...|Ctrl+P", "AboutProgram|О программе ...|Ctrl+A",
                                 "LanguageMenuItem|Язык / Language|", "BreakLine||", "ApplicationExit|Выход|Ctrl+Q"}));
    QCOMPARE(form.PopupMenu->defaultAction(), form.RebootModuleMenuItem);
    QVERIFY(form.RebootModuleMenuItem->font().bold());
    // The shortcuts are the window's, not only the menu's.
    for (QAction *action : form.PopupMenu->actions())
        if (!action->isSeparator())
            QVERIFY(form.actions().contains(action));

    // Ctrl+M asks for a detection.
    form.show();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    waitForDetection(form);
    BoxWatcher watcher;
    QSignalSpy finished(&form, &TMainForm::detectionFinished);
    QTest::keyClick(&form, Qt::Key_M, Qt::ControlModifier);
    QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 1, 10000);
    QTRY_VERIFY(!form.DetectionRunning);
}

void TestMainForm::shortcutsWorkFromAnEdit_data()
{
    QTest::addColumn<QString>("item");
    QTest::addColumn<int>("key");

    QTest::newRow("Ctrl+D") << "SaveDefaultSettings" << int(Qt::Key_D);
    QTest::newRow("Ctrl+S") << "SaveCurrentSettings" << int(Qt::Key_S);
    QTest::newRow("Ctrl+A") << "AboutProgram" << int(Qt::Key_A); // an edit's "select all" otherwise
    QTest::newRow("Ctrl+G") << "SweepMenuItem" << int(Qt::Key_G);
}

void TestMainForm::shortcutsWorkFromAnEdit()
{
    QFETCH(QString, item);
    QFETCH(int, key);
    TMainForm form;
    form.show();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    waitForDetection(form);
    auto *edit = form.G740GeneratorFrame->findChild<QLineEdit *>(QStringLiteral("DesiredStartFrequencyValueLMDEdit"));
    QVERIFY(edit);
    edit->setFocus();
    QTRY_VERIFY(edit->hasFocus());
    edit->deselect();
    auto *action = form.findChild<QAction *>(item);
    QVERIFY(action);
    BoxWatcher watcher(QMessageBox::No); // Ctrl+D asks first
    QSignalSpy triggered(action, &QAction::triggered);
    QTest::keyClick(edit, Qt::Key(key), Qt::ControlModifier);
    QCOMPARE(triggered.size(), 1);
    QVERIFY(!edit->hasSelectedText());
}

void TestMainForm::sweepWindowFollowsThePanel()
{
    TMainForm form;
    form.show();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    waitForDetection(form);
    QVERIFY(!form.SweepWindow);
    QTest::keyClick(&form, Qt::Key_G, Qt::ControlModifier);
    QVERIFY(form.SweepWindow);
    QTRY_VERIFY(form.SweepWindow->isVisible());
    // The record found by the detection: 10 increments.
    QTRY_COMPARE(form.SweepWindow->plan().steps().size(), std::size_t(form.GeneratorPars.NumberOfIncrements) + 1);

    // Typed into the panel, seen in the window without anything else.
    auto *count = form.G740GeneratorFrame->findChild<QLineEdit *>(QStringLiteral("NumberOfIncrementsValueLMDEdit"));
    count->setFocus();
    count->selectAll();
    QTest::keyClicks(count, QStringLiteral("37"));
    QTRY_COMPARE(form.SweepWindow->plan().steps().size(), std::size_t(38));
    auto *start = form.G740GeneratorFrame->findChild<QLineEdit *>(QStringLiteral("DesiredStartFrequencyValueLMDEdit"));
    start->setFocus();
    start->selectAll();
    QTest::keyClicks(start, QStringLiteral("25000"));
    QTRY_COMPARE(form.SweepWindow->plan().startCode(), std::int64_t(8388608));

    // Closed and opened again: the same window, up to date.
    TSweepWindow *window = form.SweepWindow;
    window->close();
    QTest::keyClick(count, Qt::Key_End);
    QTest::keyClick(count, Qt::Key_Backspace);
    QCoreApplication::processEvents();
    QCOMPARE(window->plan().steps().size(), std::size_t(38)); // a hidden window waits
    form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    QTest::keyClick(&form, Qt::Key_G, Qt::ControlModifier);
    QCOMPARE(form.SweepWindow, window);
    QTRY_COMPARE(window->plan().steps().size(), std::size_t(4));

    // Escape there closes the sweep window and leaves the program alone.
    BoxWatcher watcher;
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window));
    QTest::keyClick(window->table(), Qt::Key_Escape);
    QTRY_VERIFY(!window->isVisible());
    QCoreApplication::processEvents();
    QVERIFY(watcher.boxes().isEmpty());
}

void TestMainForm::popupMenuOpensCentredOnTheMouse()
{
    TMainForm form;
    form.show();
    waitForDetection(form);
    BoxWatcher watcher;
    const QPoint mouse = form.mapToGlobal(QPoint(500, 300));
    QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(500, 300), mouse);
    QCoreApplication::sendEvent(&form, &click);
    QTRY_VERIFY(form.PopupMenu->isVisible());
    const QRect menu = form.PopupMenu->geometry();
    QVERIFY(qAbs(menu.center().x() - mouse.x()) <= 1);
    QCOMPARE(menu.top(), mouse.y());
    form.PopupMenu->close();
}

void TestMainForm::autoSaveBoxControlsTheSaveButton()
{
    TMainForm form;
    form.AutoSaveSettingsLMDCheckBox->setChecked(true);
    QVERIFY(!form.SaveSettingsButton->isEnabled());
    form.AutoSaveSettingsLMDCheckBox->setChecked(false);
    QVERIFY(form.SaveSettingsButton->isEnabled());
}

void TestMainForm::decimalPointIsForced()
{
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    std::setlocale(LC_NUMERIC, "de_DE.UTF-8"); // may be missing; the check below still holds
    auto form = std::make_unique<TMainForm>();
    QCOMPARE(QLocale().decimalPoint(), QStringLiteral("."));
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", 2.5);
    QCOMPARE(QByteArray(text), QByteArray("2.5"));

    // And again whenever the window becomes active.
    form->show();
    waitForDetection(*form);
    auto *other = new QWidget;
    other->show();
    other->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(other));
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(form.get()));
    QCOMPARE(QLocale().decimalPoint(), QStringLiteral("."));
    delete other;
}

void TestMainForm::escapeNoPassesTheKeyOn()
{
    TMainForm form;
    EscapeCounter counter;
    form.AutoSaveSettingsLMDCheckBox->installEventFilter(&counter);
    BoxWatcher watcher(QMessageBox::No);
    QTest::keyClick(form.AutoSaveSettingsLMDCheckBox, Qt::Key_Escape);
    QCOMPARE(watcher.boxes().size(), 1);
    const BoxWatcher::Box box = watcher.boxes().first();
    QCOMPARE(box.text, QStringLiteral("Действительно хотите завершить работу?"));
    QCOMPARE(box.caption, QStringLiteral("Подтвердите завершение!"));
    QCOMPARE(box.icon, QMessageBox::Question);
    QCOMPARE(box.buttons, QMessageBox::Yes | QMessageBox::No);
    QCOMPARE(counter.presses, 1);
    QVERIFY(!form.Busy);
    // With a modifier held it is the same question.
    QTest::keyClick(form.AutoSaveSettingsLMDCheckBox, Qt::Key_Escape, Qt::ShiftModifier);
    QCOMPARE(watcher.boxes().size(), 2);
    QCOMPARE(counter.presses, 2);
}

void TestMainForm::escapeWhileBusyIsConsumed()
{
    TMainForm form;
    EscapeCounter counter;
    form.AutoSaveSettingsLMDCheckBox->installEventFilter(&counter);
    BoxWatcher watcher(QMessageBox::No);
    form.Busy = true;
    QTest::keyClick(form.AutoSaveSettingsLMDCheckBox, Qt::Key_Escape);
    QTest::qWait(30);
    QVERIFY(watcher.boxes().isEmpty());
    QCOMPARE(counter.presses, 0);
    // Nor is there a question while a detection has the window locked.
    form.Busy = false;
    form.setEnabled(false);
    QTest::keyClick(form.AutoSaveSettingsLMDCheckBox, Qt::Key_Escape);
    QTest::qWait(30);
    QVERIFY(watcher.boxes().isEmpty());
    form.setEnabled(true);
    form.Busy = true;
    // Other keys pass whatever the flag.
    QTest::keyClick(form.AutoSaveSettingsLMDCheckBox, Qt::Key_Space);
    QVERIFY(form.AutoSaveSettingsLMDCheckBox->isChecked());
    form.AutoSaveSettingsLMDCheckBox->setChecked(false); // no save on exit
    form.Busy = false;
}

void TestMainForm::escapeInAnotherBoxClosesThatBox()
{
    TMainForm form;
    QMessageBox other(QMessageBox::Information, QStringLiteral("caption"), QStringLiteral("text"),
                      QMessageBox::Ok, &form);
    QTimer::singleShot(0, [&] {
        QTest::keyClick(other.focusWidget() ? other.focusWidget() : &other, Qt::Key_Escape);
    });
    QString seen;
    QTimer closer; // a box still open here did not get the Escape
    closer.setSingleShot(true);
    connect(&closer, &QTimer::timeout, [&] {
        while (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            if (seen.isEmpty())
                seen = box->text();
            box->done(QMessageBox::Cancel);
        }
    });
    closer.start(500);
    other.exec();
    QCOMPARE(seen, QString());
    QVERIFY(!form.Busy);
}

void TestMainForm::escapeClosesTheOpenPopupMenu()
{
    TMainForm form;
    form.show();
    waitForDetection(form);
    BoxWatcher watcher(QMessageBox::No);
    form.PopupMenu->popup(form.mapToGlobal(QPoint(500, 300)));
    QTRY_VERIFY(form.PopupMenu->isVisible());
    QTest::keyClick(form.PopupMenu, Qt::Key_Escape);
    QTest::qWait(30);
    QVERIFY(watcher.boxes().isEmpty());
    QTRY_VERIFY(!form.PopupMenu->isVisible());
    QVERIFY(!form.Busy);
}

void TestMainForm::escapeYesEndsTheProgram()
{
    TMainForm form;
    EscapeCounter counter;
    form.AutoSaveSettingsLMDCheckBox->installEventFilter(&counter);
    BoxWatcher watcher(QMessageBox::Yes);
    const int code = runUntilQuit([&] { QTest::keyClick(form.AutoSaveSettingsLMDCheckBox, Qt::Key_Escape); });
    QCOMPARE(code, 0);
    QCOMPARE(watcher.boxes().size(), 1);
    QCOMPARE(counter.presses, 0);
    QVERIFY(!form.Busy);
}

void TestMainForm::escapeOnTheExitQuestionAnswersNo()
{
    TMainForm form;
    EscapeCounter counter;
    form.AutoSaveSettingsLMDCheckBox->installEventFilter(&counter);
    QString asked;
    // A second Escape, on the open question, is that box's own.
    QTimer::singleShot(50, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        QVERIFY(box);
        asked = box->text();
        QTest::keyClick(box, Qt::Key_Escape);
    });
    QTimer closer; // a question still open here did not get the Escape
    closer.setSingleShot(true);
    connect(&closer, &QTimer::timeout, [&] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget()))
            box->done(QMessageBox::Yes);
    });
    closer.start(1000);
    const int code = runUntilQuit([&] {
        QTest::keyClick(form.AutoSaveSettingsLMDCheckBox, Qt::Key_Escape);
        QTimer::singleShot(100, [] { QCoreApplication::exit(2); }); // still running: the answer was No
    });
    QCOMPARE(asked, QStringLiteral("Действительно хотите завершить работу?"));
    QCOMPARE(code, 2);
    QCOMPARE(counter.presses, 1); // No lets the first Escape go on
    QVERIFY(!form.Busy);
}

void TestMainForm::ctrlQEndsWithoutAQuestion()
{
    TMainForm form;
    form.show();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    waitForDetection(form);
    BoxWatcher watcher;
    const int code = runUntilQuit([&] { QTest::keyClick(&form, Qt::Key_Q, Qt::ControlModifier); });
    QCOMPARE(code, 0);
    QVERIFY(watcher.boxes().isEmpty());
}

void TestMainForm::closeBoxEndsWithoutAQuestion()
{
    TMainForm form;
    form.show();
    waitForDetection(form);
    BoxWatcher watcher;
    const int code = runUntilQuit([&] { form.close(); });
    QCOMPARE(code, 0);
    QVERIFY(watcher.boxes().isEmpty());
    QVERIFY(!form.isVisible());
}

void TestMainForm::endingDuringADetectionWaitsForIt()
{
    auto form = std::make_unique<TMainForm>();
    QSignalSpy finished(form.get(), &TMainForm::detectionFinished);
    form->show();
    QTRY_VERIFY(form->DetectionRunning);
    const int code = runUntilQuit([&] { form->terminateApplication(); });
    QCOMPARE(code, 0);
    QCOMPARE(finished.size(), 1);
    QVERIFY(!form->DetectionRunning);
    QVERIFY(form->isEnabled());

    // Destroying the window while a detection runs lets the detection end
    // first, then releases the interface.
    form->FindModuleLMDButtonClick();
    QTRY_VERIFY(form->DetectionRunning);
    form.reset();
    QCOMPARE(finished.size(), 2);
}

void TestMainForm::requestFromOutsideAnswersTheOpenBoxes_data()
{
    QTest::addColumn<QString>("question");
    QTest::newRow("exit question") << "Действительно хотите завершить работу?";
    QTest::newRow("default settings") << "Записать в файл настроек значения по умолчанию? Сохранённые настройки будут потеряны.";
}

void TestMainForm::requestFromOutsideAnswersTheOpenBoxes()
{
    QFETCH(QString, question);
    QFile::remove(SettingsFilePath());
    TMainForm form;
    form.show();
    waitForDetection(form);
    QVERIFY(QTest::qWaitForWindowActive(&form));
    const QByteArray settings = [] {
        QFile file(SettingsFilePath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }();
    QVERIFY(!settings.isEmpty());

    // A box inside the question, as a failure report would open one.
    QStringList answers;
    QTimer::singleShot(50, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        QVERIFY(box);
        QCOMPARE(box->text(), question);
        connect(box, &QMessageBox::buttonClicked, [&answers, box](QAbstractButton *b) {
            answers << QStringLiteral("question:%1").arg(box->standardButton(b));
        });
        QTimer::singleShot(0, [&] {
            QMessageBox inner(QMessageBox::Information, QStringLiteral("caption"), QStringLiteral("report"),
                              QMessageBox::Ok, &form);
            QTimer::singleShot(50, &form, &TMainForm::terminateOnRequest); // what a signal does
            answers << QStringLiteral("report:%1").arg(inner.exec());
        });
    });
    const int code = runUntilQuit([&] {
        if (question.startsWith(QStringLiteral("Действительно")))
            QTest::keyClick(form.AutoSaveSettingsLMDCheckBox, Qt::Key_Escape);
        else
            QTest::keyClick(&form, Qt::Key_D, Qt::ControlModifier);
    });
    QCOMPARE(code, 0);
    answers.sort();
    QCOMPARE(answers, (QStringList{QStringLiteral("question:%1").arg(QMessageBox::No),
                                   QStringLiteral("report:%1").arg(QMessageBox::Ok)}));
    QVERIFY(!QApplication::activeModalWidget());
    QVERIFY(!form.Busy);
    QFile file(SettingsFilePath());
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), settings);

    // From now on nothing waits for an answer.
    QCOMPARE(showMessageBox(&form, QStringLiteral("text"), QStringLiteral("caption"), QMessageBox::Question,
                            QMessageBox::Yes | QMessageBox::No),
             QMessageBox::No);
}

int main(int argc, char *argv[])
{
    Application app(argc, argv);
    TestMainForm test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_mainform.moc"
