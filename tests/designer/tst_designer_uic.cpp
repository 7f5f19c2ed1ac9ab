#include "FormChecks.h"
#include "ui_plotform.h"
#include "ui_vektraform.h"

#include <QTest>

// The form compiled by uic: the setters that uic calls exist and give the
// values that the form holds.
class TestDesignerUic : public QObject
{
    Q_OBJECT

private slots:
    void compiledFormHasItsValues();
    void compiledPlotFormHasItsValues();
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

void TestDesignerUic::compiledPlotFormHasItsValues()
{
    QWidget form;
    Ui::PlotForm ui;
    ui.setupUi(&form);
    FormChecks::checkPlotForm(&form);
}

QTEST_MAIN(TestDesignerUic)
#include "tst_designer_uic.moc"
