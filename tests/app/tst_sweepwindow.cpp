// The sweep window: it follows the generator panel in place, keeps its place
// in the settings file, copies and saves its table; and the export without a
// window.

#include "BoxWatcher.h"
#include "DefaultRecord.h"

#include "front/SweepExport.h"
#include "window/SweepWindow.h"
#include "components/xyplot/XYPlot.h"
#include "window/G740GeneratorFrame.h"
#include "instrument/Instrument.h"
#include "widgets/KeyFilterEdit.h"
#include "settings/IniFile.h"
#include "settings/SettingsKeys.h"

#include <QClipboard>
#include <QDir>
#include <QMouseEvent>
#include <QFile>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLabel>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The produced frequency's first plot, as the chart holds it.
std::vector<double> firstProducedPlot(const TXYPlot *chart)
{
    int points = 0;
    if (!chart->GetPlotNumPoints(points, 10))
        return {};
    std::vector<double> y(static_cast<std::size_t>(points));
    chart->GetPlotY(y.data(), 10);
    return y;
}

} // namespace

class TestSweepWindow : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void followsTheTypingInPlace();
    void aBurstOfChangesIsShownOnce();
    void hiddenWindowCatchesUpWhenShown();
    void chartHoldsEveryPointAndNamesItsAxes_data();
    void chartHoldsEveryPointAndNamesItsAxes();
    void placeIsKeptInTheSettingsFile();
    void copiedRowsAreTabSeparated();
    void savedCsvIsTheTable();
    void exportWithoutAWindow();
    void summaryLine();
    void tableShowsThePanelsFormats_data();
    void tableShowsThePanelsFormats();
    void readoutNamesTheStepUnderThePointer_data();
    void readoutNamesTheStepUnderThePointer();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString settingsPath() const { return m_dir->filePath(QStringLiteral("G740Config.ini")); }
};

void TestSweepWindow::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void TestSweepWindow::followsTheTypingInPlace()
{
    TG740GeneratorFrame panel;
    TSweepWindow window(settingsPath());
    connect(panel.instrument(), &Instrument::recordChanged, &window,
            [&] { window.setGeneratorPars(panel.instrument()->record()); });
    GENERATOR_PARS pars = defaultRecord();
    pars.NumberOfIncrements = 4095;
    panel.ApplyGeneratorPars(nullptr, &pars);
    panel.show();
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QTRY_COMPARE(window.table()->model()->rowCount(), 4096);

    TXYPlot *chart = window.chart();
    QAbstractItemModel *model = window.table()->model();
    QSignalSpy resets(model, &QAbstractItemModel::modelReset);
    window.table()->scrollTo(model->index(2000, 0), QAbstractItemView::PositionAtTop);
    const int scrolled = window.table()->verticalScrollBar()->value();
    QVERIFY(scrolled > 0);

    // A digit typed at the end of the start frequency (10.0000 -> 10.00005).
    auto *start = panel.findChild<KeyFilterEdit *>(QStringLiteral("DesiredStartFrequencyValueLMDEdit"));
    start->setFocus();
    start->end(false);
    QTest::keyClick(start, Qt::Key_5);
    QTRY_COMPARE(window.plan().steps()[0].desired, 10.00005);
    const QModelIndex desired = model->index(0, int(SweepColumn::Desired));
    QCOMPARE(desired.data(SweepTableModel::ExactTextRole).toString(), QStringLiteral("10.00005"));
    QCOMPARE(desired.data().toString(), QStringLiteral("10.0001"));
    QCOMPARE(firstProducedPlot(chart).front(), *window.plan().steps()[0].produced);

    // A start far enough to move the code: the chart follows too.
    start->selectAll();
    QTest::keyClicks(start, QStringLiteral("100"));
    QTRY_COMPARE(window.plan().startCode(), std::int64_t(33554));
    QCOMPARE(firstProducedPlot(chart).front(), *window.plan().steps()[0].produced);

    // Fewer increments: rows go, the rest stay where they are.
    auto *count = panel.findChild<KeyFilterEdit *>(QStringLiteral("NumberOfIncrementsValueLMDEdit"));
    count->setFocus();
    count->end(false);
    QTest::keyClick(count, Qt::Key_Backspace);
    QTRY_COMPARE(model->rowCount(), 410);
    QCOMPARE(resets.size(), 0);
    QCOMPARE(window.chart(), chart);
    QVERIFY(window.summaryText().contains(QStringLiteral("Время развёртки: ")));
    // Back to more rows, and the scroll place survives all of it.
    QTest::keyClick(count, Qt::Key_5);
    QTRY_COMPARE(model->rowCount(), 4096);
    QTRY_VERIFY(window.table()->verticalScrollBar()->maximum() >= scrolled);
    window.table()->scrollTo(model->index(2000, 0), QAbstractItemView::PositionAtTop);
    QCOMPARE(window.table()->verticalScrollBar()->value(), scrolled);
    QTest::keyClick(start, Qt::Key_1);
    QTRY_COMPARE(window.plan().steps()[0].desired, 1001.0);
    QCOMPARE(window.table()->verticalScrollBar()->value(), scrolled);
    QCOMPARE(resets.size(), 0);
}

void TestSweepWindow::aBurstOfChangesIsShownOnce()
{
    TSweepWindow window(settingsPath());
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QSignalSpy shown(window.table()->model(), &QAbstractItemModel::dataChanged);
    // Typing and a record applied come as many changes in one turn of the
    // event loop; only the last one is worked out and shown.
    GENERATOR_PARS pars = defaultRecord();
    for (int i = 1; i <= 10; ++i) {
        pars.StartFrequency = i;
        window.setGeneratorPars(pars);
    }
    QTRY_COMPARE(window.plan().steps().size(), std::size_t(11));
    QCOMPARE(window.plan().steps()[0].desired, 10.0);
    QCoreApplication::processEvents();
    QCOMPARE(shown.size(), 1);

    // The same record again changes nothing at all.
    window.setGeneratorPars(pars);
    QCoreApplication::processEvents();
    QCOMPARE(shown.size(), 1);
}

void TestSweepWindow::hiddenWindowCatchesUpWhenShown()
{
    TSweepWindow window(settingsPath());
    GENERATOR_PARS pars = defaultRecord();
    window.setGeneratorPars(pars);
    QCoreApplication::processEvents();
    QVERIFY(window.plan().steps().empty());
    window.show();
    QTRY_COMPARE(window.plan().steps().size(), std::size_t(11));

    window.hide();
    pars.NumberOfIncrements = 3;
    window.setGeneratorPars(pars);
    QCoreApplication::processEvents();
    QCOMPARE(window.plan().steps().size(), std::size_t(11));
    window.show();
    QTRY_COMPARE(window.plan().steps().size(), std::size_t(4));
}

void TestSweepWindow::chartHoldsEveryPointAndNamesItsAxes_data()
{
    QTest::addColumn<int>("scan");
    QTest::addColumn<int>("baseType");
    QTest::addColumn<int>("incrementType");
    QTest::addColumn<double>("start");
    QTest::addColumn<int>("multiplierIndex");
    QTest::addColumn<int>("intervals");
    QTest::addColumn<QString>("xTitle");

    // Time is in ms however short or long the scan, as in the table.
    QTest::newRow("single, microseconds long") << 0 << 1 << 0 << 10.0 << 0 << 2 << "Время от начала, мс";
    QTest::newRow("saw, milliseconds long") << 1 << 0 << 0 << 10.0 << 0 << 2 << "Время от начала, мс";
    QTest::newRow("triangle, microseconds long") << 2 << 1 << 0 << 10.0 << 0 << 100 << "Время от начала, мс";
    QTest::newRow("triangle, seconds long") << 2 << 0 << 0 << 0.5 << 3 << 2047 << "Время от начала, мс";
    QTest::newRow("CTRL stepping") << 0 << 1 << 1 << 10.0 << 0 << 100
                                   << "Номер шага (шаги переключаются линией 'CTRL')";
    QTest::newRow("0 Hz on the output period") << 0 << 0 << 0 << 0.0 << 0 << 100
                                               << "Шаг по порядку (время развёртки не определено)";
}

void TestSweepWindow::chartHoldsEveryPointAndNamesItsAxes()
{
    QFETCH(int, scan);
    QFETCH(int, baseType);
    QFETCH(int, incrementType);
    QFETCH(double, start);
    QFETCH(int, multiplierIndex);
    QFETCH(int, intervals);
    QFETCH(QString, xTitle);
    GENERATOR_PARS pars = defaultRecord();
    pars.CyclicAutoScanType = static_cast<std::uint8_t>(scan);
    pars.BaseIntervalType = static_cast<std::uint8_t>(baseType);
    pars.IncrementType = static_cast<std::uint8_t>(incrementType);
    pars.StartFrequency = start;
    pars.FrequencyIncrement = 0.5;
    pars.NumberOfIncrements = 300;
    pars.BaseIntervalMultiplierIndex = static_cast<std::uint8_t>(multiplierIndex);
    pars.BaseIntervalsNumber = static_cast<std::uint16_t>(intervals);
    pars.EnaSyncout = 1;
    TSweepWindow window(settingsPath());
    window.setGeneratorPars(pars);
    window.show();
    window.updateNow();
    const TXYPlot *chart = window.chart();
    QCOMPARE(chart->XTitle(), xTitle);
    QCOMPARE(chart->YTitle(), QStringLiteral("Частота, кГц"));
    // Every plot lies inside the limits, the SYNCOUT line included.
    int plots = 0;
    for (const TPlotListMember *m = chart->plotList().First(); m; m = m->Next.get(), ++plots) {
        for (std::size_t i = 0; i < m->X().size(); ++i) {
            QVERIFY(m->X()[i] >= chart->XMin() && m->X()[i] <= chart->XMax());
            if (std::isfinite(m->Y()[i]))
                QVERIFY(m->Y()[i] >= chart->YMin() && m->Y()[i] <= chart->YMax());
        }
    }
    QCOMPARE(plots, 3);
    // No frequency here is below 0: neither is any label, the SYNCOUT band's
    // included.
    for (const TXYPlot::AxisLabel &label : chart->YAxisLabels())
        QVERIFY2(!label.Text.startsWith(u'-'), qPrintable(label.Text));
    // The labels show the round limits without losing digits.
    QCOMPARE(chart->XMin(), 0.0);
    const QString format = chart->YLabelFormatString().section(u';', 0, 0); // the positive numbers' section
    const int decimals = format.contains(u'.') ? int(format.size() - format.indexOf(u'.') - 1) : 0;
    const double step = (chart->YMax() - chart->YMin()) / (chart->NumHorzGrid() + 1);
    QVERIFY(std::fabs(step * std::pow(10.0, decimals) - std::round(step * std::pow(10.0, decimals))) < 1e-6);
}

void TestSweepWindow::placeIsKeptInTheSettingsFile()
{
    const QRect place(40, 50, 700, 520);
    {
        TSweepWindow window(settingsPath());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.setGeometry(place);
        QTRY_COMPARE(window.geometry(), place);
        window.close();
    }
    const TIniFile settings(settingsPath());
    const QString section = TSweepWindow::geometrySection();
    QCOMPARE(settings.ReadInteger(section, QStringLiteral("Ширина"), 0), place.width());
    QCOMPARE(settings.ReadInteger(section, QStringLiteral("Высота"), 0), place.height());
    {
        TSweepWindow window(settingsPath());
        QCOMPARE(window.geometry(), place);
    }

    // A place on no screen, or too small, is not taken.
    TIniFile file(settingsPath());
    file.WriteInteger(section, QStringLiteral("Левый край"), 50000);
    TSweepWindow away(settingsPath());
    QVERIFY(away.geometry().x() < 50000);
    file.WriteInteger(section, QStringLiteral("Левый край"), 40);
    file.WriteInteger(section, QStringLiteral("Ширина"), 20);
    TSweepWindow tiny(settingsPath());
    QVERIFY(tiny.width() >= tiny.minimumWidth());

    // The operator's other settings stay as they were.
    writeDefaultSettings(file, QStringLiteral("program"));
    {
        TSweepWindow window(settingsPath());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.setGeometry(place.translated(10, 10));
        QTRY_COMPARE(window.geometry(), place.translated(10, 10));
    }
    GENERATOR_PARS read;
    readGeneratorSettings(&file, read);
    const double startFrequency = read.StartFrequency; // packed: no reference to the field
    QCOMPARE(startFrequency, 10.0);
    QCOMPARE(file.ReadInteger(section, QStringLiteral("Левый край"), 0), place.x() + 10);
}

void TestSweepWindow::copiedRowsAreTabSeparated()
{
    GENERATOR_PARS pars = defaultRecord();
    TSweepWindow window(settingsPath());
    window.setGeneratorPars(pars);
    window.show();
    window.updateNow();
    SweepTableView *table = window.table();
    table->setFocus();
    table->selectRow(3);
    table->selectionModel()->select(table->model()->index(1, 0),
                                    QItemSelectionModel::Select | QItemSelectionModel::Rows);
    QGuiApplication::clipboard()->clear();
    QTest::keyClick(table, Qt::Key_C, Qt::ControlModifier);
    const SweepPlan plan(pars);
    QString expected;
    for (int row : {1, 3}) {
        QStringList cells;
        for (int c = 0; c < SweepColumnCount; ++c)
            cells << sweepCellText(plan.steps()[std::size_t(row)], SweepColumn(c));
        expected += cells.join(u'\t') + u'\n';
    }
    QCOMPARE(QGuiApplication::clipboard()->text(), expected);
    QVERIFY(expected.startsWith(QStringLiteral("1\t60\t20132\t")));
}

void TestSweepWindow::savedCsvIsTheTable()
{
    GENERATOR_PARS pars = defaultRecord();
    pars.FrequencyIncrement = -5.0; // runs below 0 kHz
    TSweepWindow window(settingsPath());
    window.setGeneratorPars(pars);
    const QString path = m_dir->filePath(QStringLiteral("sweep.csv"));
    QVERIFY(!window.summaryText().contains(QStringLiteral("sweep.csv")));
    QVERIFY(window.saveCsv(path)); // what is saved is the record given, shown or not
    QCOMPARE(fileBytes(path), sweepCsv(SweepPlan(pars)).toUtf8());
    // The summary tells where it went, and stays so while the record changes.
    const QString saved = QStringLiteral("\nЗаписан файл CSV %1, строк таблицы: 11").arg(QDir::toNativeSeparators(path));
    QVERIFY2(window.summaryText().endsWith(saved), qPrintable(window.summaryText()));
    pars.NumberOfIncrements = 3;
    window.setGeneratorPars(pars);
    window.updateNow();
    QVERIFY(window.summaryText().startsWith(sweepSummaryText(window.plan())));
    QVERIFY(window.summaryText().endsWith(saved));
    QVERIFY(fileBytes(path).contains("код вне 24 бит"));

    BoxWatcher boxes;
    QVERIFY(!window.saveCsv(m_dir->filePath(QStringLiteral("missing/sweep.csv"))));
    QCOMPARE(boxes.count(QStringLiteral("Ошибка сохранения CSV!")), 1);
}

void TestSweepWindow::exportWithoutAWindow()
{
    GENERATOR_PARS pars = defaultRecord();
    pars.FrequencyIncrement = -0.75;
    pars.NumberOfIncrements = 4095;
    pars.CyclicAutoScanType = 2;
    pars.BaseIntervalType = 0;
    {
        TIniFile settings(settingsPath());
        writeCurrentSettings(settings, QStringLiteral("program"), false, pars);
    }
    const QString csv = m_dir->filePath(QStringLiteral("export.csv"));
    QString reason;
    QCOMPARE(exportSweepCsv(settingsPath(), csv, &reason), SweepExportResult::Written);
    QCOMPARE(fileBytes(csv), sweepCsv(SweepPlan(pars)).toUtf8());
    QCOMPARE(fileBytes(csv).count('\n'), 4097);

    // A settings file that is not there is said so; nothing is written.
    const QString other = m_dir->filePath(QStringLiteral("other.csv"));
    QCOMPARE(exportSweepCsv(m_dir->filePath(QStringLiteral("none.ini")), other, &reason),
             SweepExportResult::NoSettingsFile);
    QVERIFY(reason.contains(QStringLiteral("none.ini")));
    QVERIFY(!QFile::exists(other));

    // A file that cannot be written leaves the one before it.
    QCOMPARE(exportSweepCsv(settingsPath(), m_dir->path(), &reason), SweepExportResult::WriteFailed);
    QVERIFY(!reason.isEmpty());
}

void TestSweepWindow::summaryLine()
{
    GENERATOR_PARS pars = defaultRecord();
    QCOMPARE(sweepSummaryText(SweepPlan(pars)),
             QStringLiteral("Время развёртки: 0.022 мс;  Реальная частота: от 9.9987 до 509.9922 кГц;  "
                            "Наибольшая ошибка: -132.08 ppm;  Отмечено шагов: 0"));

    pars.StartFrequency = 50000.0;
    pars.FrequencyIncrement = -25000.0;
    pars.NumberOfIncrements = 3;
    pars.BaseIntervalType = 0;
    QCOMPARE(sweepSummaryText(SweepPlan(pars)),
             QStringLiteral("Время развёртки не определено: шаг 2 на 0 Гц;  Реальная частота: от 0.0000 до 50000.0000 "
                            "кГц;  Наибольшая ошибка: 0.00 ppm;  Отмечено шагов: 2 (0 Гц: 1, код вне 24 бит: 1)"));

    pars.CyclicAutoScanType = 2;
    pars.StartFrequency = 10.0;
    pars.BaseIntervalType = 1;
    pars.NumberOfIncrements = 2;
    pars.FrequencyIncrement = 50.0;
    QVERIFY(sweepSummaryText(SweepPlan(pars)).startsWith(
        QStringLiteral("Время развёртки: 0.006 мс (цикл вверх и вниз: 0.008 мс);")));

    pars.CyclicAutoScanType = 0;
    pars.IncrementType = 1;
    QVERIFY(sweepSummaryText(SweepPlan(pars)).startsWith(
        QStringLiteral("Время развёртки: нет, шаги переключаются линией 'CTRL';")));
}

void TestSweepWindow::tableShowsThePanelsFormats_data()
{
    QTest::addColumn<double>("start");
    QTest::addColumn<double>("increment");
    QTest::addColumn<int>("step");
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("exact");

    QTest::newRow("desired") << 10.0 << 50.0 << 0 << int(SweepColumn::Desired) << "10.0000" << "10";
    QTest::newRow("produced") << 10.0 << 50.0 << 0 << int(SweepColumn::Produced) << "9.9987" << "9.998679161071777";
    QTest::newRow("error") << 10.0 << 50.0 << 0 << int(SweepColumn::ErrorPpm) << "-132.08" << "-132.08389282226562";
    QTest::newRow("dwell") << 10.0 << 50.0 << 0 << int(SweepColumn::Dwell) << "0.00200" << "0.002";
    QTest::newRow("time") << 10.0 << 50.0 << 9 << int(SweepColumn::Time) << "0.01800" << "0.018";
    // A step below 0 kHz has no code.
    QTest::newRow("nothing produced") << 30.0 << -50.0 << 1 << int(SweepColumn::Produced) << "" << "";
    QTest::newRow("flags") << 30.0 << -50.0 << 1 << int(SweepColumn::Flags) << "код вне 24 бит" << "код вне 24 бит";
}

void TestSweepWindow::tableShowsThePanelsFormats()
{
    QFETCH(double, start);
    QFETCH(double, increment);
    QFETCH(int, step);
    QFETCH(int, column);
    QFETCH(QString, shown);
    QFETCH(QString, exact);
    GENERATOR_PARS pars = defaultRecord();
    pars.StartFrequency = start;
    pars.FrequencyIncrement = increment;
    TSweepWindow window(settingsPath());
    window.setGeneratorPars(pars);
    window.updateNow();
    const QModelIndex cell = window.table()->model()->index(step, column);
    QCOMPARE(cell.data().toString(), shown);
    QCOMPARE(cell.data(SweepTableModel::ExactTextRole).toString(), exact);
}

void TestSweepWindow::readoutNamesTheStepUnderThePointer_data()
{
    QTest::addColumn<int>("scan");
    QTest::addColumn<int>("incrementType");
    QTest::addColumn<double>("start");
    QTest::addColumn<double>("increment");
    QTest::addColumn<int>("position"); // on the chart, from 0
    QTest::addColumn<QString>("readout");

    QTest::newRow("single") << 0 << 0 << 10.0 << 50.0 << 6 << "Шаг 6: реальная частота 309.9948 кГц";
    QTest::newRow("saw, second cycle") << 1 << 0 << 10.0 << 50.0 << 13 << "Шаг 2: реальная частота 109.9974 кГц";
    QTest::newRow("triangle, on the way down") << 2 << 0 << 10.0 << 50.0 << 13 << "Шаг 7: реальная частота 359.9942 кГц";
    QTest::newRow("triangle, second cycle") << 2 << 0 << 10.0 << 50.0 << 21 << "Шаг 1: реальная частота 59.9980 кГц";
    QTest::newRow("CTRL stepping") << 0 << 1 << 10.0 << 50.0 << 4 << "Шаг 4: реальная частота 209.9961 кГц";
    QTest::newRow("below 0 kHz") << 0 << 0 << 30.0 << -50.0 << 1 << "Шаг 1: реальной частоты нет";
}

void TestSweepWindow::readoutNamesTheStepUnderThePointer()
{
    QFETCH(int, scan);
    QFETCH(int, incrementType);
    QFETCH(double, start);
    QFETCH(double, increment);
    QFETCH(int, position);
    QFETCH(QString, readout);
    GENERATOR_PARS pars = defaultRecord();
    pars.CyclicAutoScanType = static_cast<std::uint8_t>(scan);
    pars.IncrementType = static_cast<std::uint8_t>(incrementType);
    pars.StartFrequency = start;
    pars.FrequencyIncrement = increment;
    TSweepWindow window(settingsPath());
    window.setGeneratorPars(pars);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.updateNow();
    TXYPlot *chart = window.chart();
    QTRY_VERIFY(chart->GetPlotPixelWidth() > 100);
    QCOMPARE(window.readoutText(), QString());

    const auto moveTo = [chart](QPoint pixel) {
        QMouseEvent move(QEvent::MouseMove, pixel, chart->mapToGlobal(pixel), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QCoreApplication::sendEvent(chart, &move);
    };
    // The middle of the position's span, half-way up the plot: where the
    // pointer's height is no frequency of that step.
    const std::vector<double> &x = window.chartTrace().x;
    const double middle = (x[std::size_t(2 * position)] + x[std::size_t(2 * position + 1)]) / 2;
    int column = 0;
    while (column < chart->width() && chart->PlotX(column) < middle)
        ++column;
    int row = 0;
    while (row < chart->height() && chart->PlotY(row) > (chart->YMin() + chart->YMax()) / 2)
        ++row;
    moveTo(QPoint(column, row));
    QCOMPARE(window.readoutText(), readout);

    // Over the axis labels, and once the pointer has gone: nothing.
    moveTo(QPoint(1, row));
    QCOMPARE(window.readoutText(), QString());
    moveTo(QPoint(column, row));
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(chart, &leave);
    QCOMPARE(window.readoutText(), QString());
}

QTEST_MAIN(TestSweepWindow)
#include "tst_sweepwindow.moc"
