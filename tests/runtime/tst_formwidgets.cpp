#include "widgets/KeyFilterEdit.h"
#include "widgets/RadioGroup.h"
#include "widgets/StaticText.h"

#include <QApplication>
#include <QClipboard>
#include <QRadioButton>
#include <QShortcut>
#include <QVBoxLayout>
#include <QSignalSpy>
#include <QTest>

class TestFormWidgets : public QObject
{
    Q_OBJECT

private slots:
    void radioGroupProgramSelectionIsSilent();
    void radioGroupUserClick();
    void radioGroupColumns();
    void radioGroupProperty();
    void keyFilterAdmitsOnlyItsCharacters();
    void keyFilterKeepsEditing();
    void keyFilterTakesLettersWithAlt();
    void programTextRunsHandlerOnlyWhenDifferent();
    void staticTextColourGreysWhenDisabled();
};

namespace {

QRadioButton *button(RadioGroup &group, int index)
{
    for (QRadioButton *b : group.findChildren<QRadioButton *>()) {
        if (b->text() == group.items().value(index))
            return b;
    }
    return nullptr;
}

void click(QRadioButton *b)
{
    QVERIFY(b);
    QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(8, b->height() / 2));
}

} // namespace

void TestFormWidgets::radioGroupProgramSelectionIsSilent()
{
    RadioGroup group(QStringLiteral("Линия"), {QStringLiteral("внутренняя"), QStringLiteral("внешняя")});
    QSignalSpy spy(&group, &RadioGroup::itemIndexChanged);
    QCOMPARE(group.itemIndex(), -1);
    group.setItemIndex(1);
    QCOMPARE(group.itemIndex(), 1);
    QVERIFY(button(group, 1)->isChecked());
    group.setItemIndex(-1);
    QCOMPARE(group.itemIndex(), -1);
    QVERIFY(!button(group, 0)->isChecked());
    QVERIFY(!button(group, 1)->isChecked());
    group.setItemIndex(0);
    group.setItemIndex(7);
    QCOMPARE(group.itemIndex(), -1);
    QCOMPARE(spy.count(), 0);
}

void TestFormWidgets::radioGroupUserClick()
{
    RadioGroup group(QString(), {"a", "b", "c"});
    group.show();
    QVERIFY(QTest::qWaitForWindowExposed(&group));
    QSignalSpy spy(&group, &RadioGroup::itemIndexChanged);
    click(button(group, 2));
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.takeFirst().at(0).toInt(), 2);
    QCOMPARE(group.itemIndex(), 2);
    // Clicking the selected item changes nothing.
    click(button(group, 2));
    QCOMPARE(spy.count(), 0);
    // After an empty selection from the program, any click is a change.
    group.setItemIndex(-1);
    click(button(group, 0));
    QCOMPARE(spy.count(), 1);
    QCOMPARE(group.itemIndex(), 0);
    QVERIFY(!button(group, 2)->isChecked());
}

void TestFormWidgets::radioGroupColumns()
{
    RadioGroup group(QString(), {"x 1", "x 5", "x 100", "x 500"});
    group.setColumns(2);
    group.setItemIndex(3);
    group.show();
    QVERIFY(QTest::qWaitForWindowExposed(&group));
    // Items run down the first column, then the second.
    QCOMPARE(button(group, 0)->x(), button(group, 1)->x());
    QVERIFY(button(group, 1)->y() > button(group, 0)->y());
    QVERIFY(button(group, 2)->x() > button(group, 0)->x());
    QCOMPARE(button(group, 2)->y(), button(group, 0)->y());
    QCOMPARE(group.findChildren<QRadioButton *>().size(), 4);
    // Rebuilding keeps the selection.
    QCOMPARE(group.itemIndex(), 3);
    QVERIFY(button(group, 3)->isChecked());
}

void TestFormWidgets::radioGroupProperty()
{
    RadioGroup group(QString(), {"a", "b"});
    QVERIFY(group.setProperty("itemIndex", 1));
    QCOMPARE(group.property("itemIndex").toInt(), 1);
}

void TestFormWidgets::keyFilterAdmitsOnlyItsCharacters()
{
    KeyFilterEdit edit;
    edit.setAdmittedCharacters(QStringLiteral("0123456789.-"));
    QTest::keyClicks(&edit, "a1 b-2,.3Z");
    QCOMPARE(edit.text(), "1-2.3");

    // A filter function decides per character.
    bool open = false;
    edit.setKeyFilter([&open](QChar) { return open; });
    QTest::keyClicks(&edit, "4");
    QCOMPARE(edit.text(), "1-2.3");
    open = true;
    QTest::keyClicks(&edit, "x");
    QCOMPARE(edit.text(), "1-2.3x");
}

void TestFormWidgets::keyFilterKeepsEditing()
{
    KeyFilterEdit edit;
    edit.setAdmittedCharacters(QStringLiteral("0123456789"));
    QTest::keyClicks(&edit, "123");
    QTest::keyClick(&edit, Qt::Key_Left);
    QTest::keyClick(&edit, Qt::Key_Backspace);
    QCOMPARE(edit.text(), "13");
    QTest::keyClick(&edit, Qt::Key_Home);
    QTest::keyClick(&edit, Qt::Key_Delete);
    QCOMPARE(edit.text(), "3");
    QTest::keyClick(&edit, Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(edit.selectedText(), "3");
    QTest::keyClick(&edit, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QGuiApplication::clipboard()->text(), "3");
    // Pasting is not typing: the text arrives as it is.
    QGuiApplication::clipboard()->setText("abc");
    QTest::keyClick(&edit, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(edit.text(), "abc");
}

void TestFormWidgets::keyFilterTakesLettersWithAlt()
{
    QWidget window;
    auto *edit = new KeyFilterEdit(&window);
    (new QVBoxLayout(&window))->addWidget(edit);
    edit->setAdmittedCharacters(QStringLiteral("0123456789."));
    int shortcutHits = 0;
    auto *shortcut = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_S), &window);
    connect(shortcut, &QShortcut::activated, [&shortcutHits] { ++shortcutHits; });
    window.show();
    QApplication::setActiveWindow(&window);
    edit->setFocus();
    QVERIFY(QTest::qWaitForWindowActive(&window));

    QTest::keyClicks(edit, "123.456");
    QTest::keyClick(edit, Qt::Key_X, Qt::AltModifier);
    QTest::keyClick(edit, Qt::Key_X, Qt::AltModifier | Qt::ShiftModifier);
    QCOMPARE(edit->text(), "123.456");
    QTest::keyClick(edit, Qt::Key_0, Qt::AltModifier | Qt::ControlModifier); // AltGr on some systems: typing
    QCOMPARE(edit->text(), "123.4560");
    QTest::keyClick(edit, Qt::Key_Z, Qt::AltModifier | Qt::ControlModifier);
    QCOMPARE(edit->text(), "123.4560");

    // A real shortcut with Alt still works while the edit has the focus.
    QTest::keyClick(edit, Qt::Key_S, Qt::AltModifier);
    QCOMPARE(shortcutHits, 1);
    QCOMPARE(edit->text(), "123.4560");
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(edit->selectedText(), "123.4560");
}

void TestFormWidgets::programTextRunsHandlerOnlyWhenDifferent()
{
    KeyFilterEdit edit;
    QSignalSpy spy(&edit, &QLineEdit::textChanged);
    edit.setText("10");
    edit.setText("10");
    QCOMPARE(spy.count(), 1);
    edit.setText("10.0");
    QCOMPARE(spy.count(), 2);
}

void TestFormWidgets::staticTextColourGreysWhenDisabled()
{
    StaticText display(QString(), nullptr, StaticText::Kind::Display);
    display.setTextColor(QColor(0, 128, 0));
    QCOMPARE(display.palette().color(QPalette::Active, QPalette::WindowText), QColor(0, 128, 0));
    QVERIFY(display.palette().color(QPalette::Disabled, QPalette::WindowText) != QColor(0, 128, 0));
}

QTEST_MAIN(TestFormWidgets)
#include "tst_formwidgets.moc"
