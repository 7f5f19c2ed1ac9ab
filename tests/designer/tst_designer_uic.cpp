#include "FormChecks.h"
#include "ui_vektraform.h"

#include <QTest>

// The form compiled by uic: the setters that uic calls exist and give the
// values that the form holds.
class TestDesignerUic : public QObject
{
    Q_OBJECT

private slots:
    void compiledFormHasItsValues();
};

void TestDesignerUic::compiledFormHasItsValues()
{
    QWidget form;
    Ui::VektraForm ui;
    ui.setupUi(&form);
    FormChecks::checkButtons(&form);
    if (QTest::currentTestFailed())
        return;
    FormChecks::checkButtonsAfterPaint(&form);
    QCOMPARE(ui.startButton->RequestedColorBoxWidth(), 40);
}

QTEST_MAIN(TestDesignerUic)
#include "tst_designer_uic.moc"
