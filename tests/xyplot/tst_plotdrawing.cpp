#include "PlotProbe.h"

#include <QtTest>

#include <vector>

namespace {
const QColor Red(Qt::red);
const QColor Black(Qt::black);
const QColor White(Qt::white);
const QColor Silver(0xC0, 0xC0, 0xC0);

void show(PlotProbe &plot)
{
    plot.show();
    QVERIFY(QTest::qWaitForWindowExposed(&plot));
    plot.Redraw();
}

QStringList texts(const std::vector<TXYPlot::AxisLabel> &labels)
{
    QStringList list;
    for (const auto &label : labels)
        list << label.Text;
    return list;
}

// Bounding box of the pixels that differ from a background colour.
QRect inkBox(const QImage &image, QColor background, int *count = nullptr)
{
    QRect box;
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixelColor(x, y) != background) {
                box |= QRect(x, y, 1, 1);
                ++n;
            }
    if (count)
        *count = n;
    return box;
}
} // namespace

class PlotDrawingTest : public QObject
{
    Q_OBJECT

private slots:
    void linearGridAndTicks();
    void logGridHasDecadesAndSubdivisions();
    void yLabels_data();
    void yLabels();
    void logLabelsOnlyInsideTheLimits();
    void pagesReachTheCanvas();
    void farAwayPointGetsNoLineToIt();
    void markers_data();
    void markers();
    void axisStyles_data();
    void axisStyles();
    void clearPlotDoesNotReachTheScreen();
    void setPlotColorDrawsOverRegardlessOfAutoRedraw();
    void yTitleIsTurnedAndCentred();
    void infoBoxCopyInPlotPage();
};

void PlotDrawingTest::linearGridAndTicks()
{
    PlotProbe plot;
    makeBare(plot, 101, 101);
    plot.SetGridColor(Qt::green);
    plot.SetShowHorzGrid(true);
    plot.SetShowVertGrid(true);
    plot.SetShowHorzTicks(true);
    plot.SetShowVertTicks(true);
    show(plot);
    const QImage &page = plot.PlotPage.Bitmap;
    QCOMPARE(page.size(), QSize(101, 101));
    // The values 2.5, 5 and 7.5; the limits themselves carry no line.
    const QList<int> lines{25, 50, 75};
    QCOMPARE(pixelsInColumn(page, 40, Qt::green), lines);
    QCOMPARE(pixelsInRow(page, 40, Qt::green), lines);
    // A grid line runs across the whole page.
    QCOMPARE(pixelsInRow(page, 25, Qt::green).size() + pixelsInRow(page, 25, Black).size(), 101);
    // Ticks of length 6 leave out their last pixel; the vertical ones start
    // below the page.
    QCOMPARE(pixelsInRow(page, 50, Black), (QList<int>{0, 1, 2, 3, 4, 5}));
    QCOMPARE(pixelsInColumn(page, 75, Black), (QList<int>{96, 97, 98, 99, 100}));
}

void PlotDrawingTest::logGridHasDecadesAndSubdivisions()
{
    PlotProbe plot;
    makeBare(plot, 301, 101);
    plot.SetXAxisFormat(TAxisFormat::Log);
    plot.SetXYMinMax(1, 1000, 0, 10, false);
    plot.SetShowVertGrid(true);
    plot.SetGridColor(Qt::green);
    show(plot);
    const QList<int> columns = pixelsInRow(plot.PlotPage.Bitmap, 50, Qt::green);
    // Three decades of one line and three subdivisions each.
    QCOMPARE(columns.size(), 12);
    QVERIFY(columns.contains(0));
    QVERIFY(columns.contains(100));
    QVERIFY(columns.contains(200));
    QVERIFY(!columns.contains(300)); // the limit 1000 has no line
}

void PlotDrawingTest::yLabels_data()
{
    QTest::addColumn<double>("min");
    QTest::addColumn<double>("max");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("positive") << 0.0 << 10.0
                              << QStringList{"10.0000", "0.0000", "2.5000", "5.0000", "7.5000"};
    QTest::newRow("around zero") << -10.0 << 10.0
                                 << QStringList{"10.0000", "-10.0000", "-5.0000", " 0.0000", " 5.0000"};
}

void PlotDrawingTest::yLabels()
{
    QFETCH(double, min);
    QFETCH(double, max);
    QFETCH(QStringList, expected);
    PlotProbe plot;
    makeBare(plot, 300, 201);
    plot.SetShowYLabel(true);
    plot.SetYMin(min);
    plot.SetYMax(max);
    show(plot);
    const auto labels = plot.YAxisLabels();
    QCOMPARE(texts(labels), expected);
    const int W = plot.YLabelPage.width();
    for (const auto &label : labels)
        QCOMPARE(label.Pos.x() + plot.YLabelPage.TextWidth(label.Text) + plot.YLabelOffset(), W);
    // The maximum at the top, the minimum just above the bottom of the plot
    // area, the others centred on their grid lines.
    const int h = plot.YLabelPage.TextHeight(expected[0]);
    QCOMPARE(labels[0].Pos.y(), 0);
    QCOMPARE(labels[1].Pos.y(), plot.GetPlotPixelHeight() - 1 - h);
    QVERIFY(qAbs(labels[3].Pos.y() + h / 2 - plot.GetPlotPixelHeight() / 2) <= 1);
    // The labels are written on the page.
    QVERIFY(!inkBox(plot.YLabelPage.Bitmap, Silver).isEmpty());
}

void PlotDrawingTest::logLabelsOnlyInsideTheLimits()
{
    PlotProbe plot;
    makeBare(plot, 301, 201);
    plot.SetShowXLabel(true);
    plot.SetShowYLabel(true);
    show(plot);
    const int linearRow = plot.XAxisLabels().front().Pos.y();
    plot.SetXAxisFormat(TAxisFormat::Log);
    plot.SetYAxisFormat(TAxisFormat::Log);
    plot.SetXYMinMax(1, 1000, 1, 1000, false);
    const auto x = plot.XAxisLabels();
    QCOMPARE(texts(x), (QStringList{"10.00", "100.00"}));
    QCOMPARE(x[0].Pos.y(), linearRow);
    QCOMPARE(x[1].Pos.y(), linearRow);
    const double column = plot.ScreenX(10);
    QVERIFY(qAbs(x[0].Pos.x() + plot.XLabelPage.TextWidth("10.00") / 2.0 - column) <= 1);
    const auto y = plot.YAxisLabels();
    QCOMPARE(texts(y), (QStringList{"10.0000", "100.0000"}));
    QCOMPARE(y[1].Pos.x() + plot.YLabelPage.TextWidth("100.0000") + 2, plot.YLabelPage.width());

    plot.SetNumVertGrid(-1);
    QCOMPARE(plot.NumVertGrid(), 0);
    plot.SetXAxisFormat(TAxisFormat::Linear);
    QCOMPARE(plot.XAxisLabels().size(), std::size_t(2));
}

void PlotDrawingTest::pagesReachTheCanvas()
{
    PlotProbe plot;
    plot.resize(320, 240);
    show(plot);
    for (const TPaintPage *page : {&plot.PlotPage, &plot.XLabelPage, &plot.YLabelPage,
                                   &plot.XTitlePage, &plot.YTitlePage, &plot.PlotTitlePage}) {
        QVERIFY(!page->Bitmap.isNull());
        QCOMPARE(plot.canvas().copy(page->ScreenRect), page->Bitmap);
    }
    // Titles and labels carry text.
    QVERIFY(!inkBox(plot.PlotTitlePage.Bitmap, Silver).isEmpty());
    QVERIFY(!inkBox(plot.XTitlePage.Bitmap, Silver).isEmpty());
    QVERIFY(!inkBox(plot.XLabelPage.Bitmap, Silver).isEmpty());
}

void PlotDrawingTest::farAwayPointGetsNoLineToIt()
{
    PlotProbe plot;
    makeBare(plot, 101, 101);
    show(plot);
    plot.XYPlot(std::vector<double>{1, 100, 9}.data(), std::vector<double>{5, 5, 2}.data(), 3, 1, Red,
                TPlotStyle::Line);
    const QImage &page = plot.PlotPage.Bitmap;
    // No line from (10, 50) towards the point at column 990.
    QCOMPARE(pixelsInRow(page, 50, Red), QList<int>{});
    // The line from it to (90, 80) is drawn up to the edge, without its last pixel.
    QVERIFY(!pixelsInColumn(page, 100, Red).isEmpty());
    QVERIFY(!pixelsInColumn(page, 91, Red).isEmpty());
    QCOMPARE(page.pixelColor(90, 80), White);
}

void PlotDrawingTest::markers_data()
{
    QTest::addColumn<TPlotStyle>("style");
    QTest::addColumn<QColor>("inside");
    QTest::addColumn<int>("red");
    QTest::newRow("points") << TPlotStyle::Points << Red << 16;
    QTest::newRow("open points") << TPlotStyle::OpenPoints << Silver << 12;
    QTest::newRow("line points") << TPlotStyle::LinePoints << Red << 16;
    QTest::newRow("line open points") << TPlotStyle::LineOpenPoints << Silver << 12;
    QTest::newRow("line") << TPlotStyle::Line << White << 0;
    QTest::newRow("unknown style") << TPlotStyle(9) << White << 0;
}

void PlotDrawingTest::markers()
{
    QFETCH(TPlotStyle, style);
    QFETCH(QColor, inside);
    QFETCH(int, red);
    PlotProbe plot;
    makeBare(plot, 101, 101);
    show(plot);
    plot.XYPlot(std::vector<double>{5}.data(), std::vector<double>{5}.data(), 1, 1, Red, style);
    const QImage &page = plot.PlotPage.Bitmap;
    // Size 2 covers columns and rows 48 to 51: the right and bottom edges are
    // left out.
    QCOMPARE(countColour(page, Red), red);
    QCOMPARE(page.pixelColor(49, 49), inside);
    QCOMPARE(page.pixelColor(50, 50), inside);
    QCOMPARE(page.pixelColor(52, 50), White);
    QCOMPARE(page.pixelColor(50, 52), White);
    if (red) {
        QCOMPARE(page.pixelColor(48, 48), Red);
        QCOMPARE(page.pixelColor(51, 51), Red);
    }
}

void PlotDrawingTest::axisStyles_data()
{
    QTest::addColumn<TAxisStyle>("style");
    QTest::addColumn<double>("min");
    QTest::addColumn<QList<int>>("column60");
    QTest::addColumn<QList<int>>("row60");
    QTest::newRow("box") << TAxisStyle::Box << 1.0 << QList<int>{0, 100} << QList<int>{0, 100};
    QTest::newRow("left and bottom") << TAxisStyle::LB << 1.0 << QList<int>{100} << QList<int>{0};
    QTest::newRow("none") << TAxisStyle::None << -1.0 << QList<int>{} << QList<int>{};
    // Zero outside the limits leaves no trace.
    QTest::newRow("centred, zero outside") << TAxisStyle::Centered << 1.0 << QList<int>{} << QList<int>{};
    QTest::newRow("centred box, zero outside")
        << TAxisStyle::CenteredBox << 1.0 << QList<int>{0, 100} << QList<int>{0, 100};
    QTest::newRow("centred, zero inside") << TAxisStyle::Centered << -1.0 << QList<int>{50} << QList<int>{50};
    QTest::newRow("centred box, zero inside")
        << TAxisStyle::CenteredBox << -1.0 << QList<int>{0, 50, 100} << QList<int>{0, 50, 100};
}

void PlotDrawingTest::axisStyles()
{
    QFETCH(TAxisStyle, style);
    QFETCH(double, min);
    QFETCH(QList<int>, column60);
    QFETCH(QList<int>, row60);
    PlotProbe plot;
    makeBare(plot, 101, 101, min, min + 2);
    plot.SetAxisStyle(style);
    show(plot);
    QCOMPARE(pixelsInColumn(plot.PlotPage.Bitmap, 60, Black), column60);
    QCOMPARE(pixelsInRow(plot.PlotPage.Bitmap, 60, Black), row60);
}

void PlotDrawingTest::clearPlotDoesNotReachTheScreen()
{
    PlotProbe plot;
    show(plot);
    const QImage before = plot.canvas().copy();
    plot.ClearPlot();
    QCOMPARE(plot.canvas(), before);
    QCOMPARE(countColour(plot.PlotPage.Bitmap, Silver),
             plot.PlotPage.width() * plot.PlotPage.height());
    plot.RedrawScreen();
    QCOMPARE(plot.canvas().copy(plot.PlotPage.ScreenRect), plot.PlotPage.Bitmap);
}

void PlotDrawingTest::setPlotColorDrawsOverRegardlessOfAutoRedraw()
{
    PlotProbe plot;
    makeBare(plot, 101, 101);
    show(plot);
    plot.XYPlot(std::vector<double>{1, 9}.data(), std::vector<double>{5, 5}.data(), 2, 1, Red,
                TPlotStyle::Line);
    plot.SetAutoRedraw(false);
    QVERIFY(plot.SetPlotColor(Qt::blue, 1));
    const QRect area = plot.PlotPage.ScreenRect;
    QCOMPARE(plot.canvas().pixelColor(area.left() + 50, area.top() + 50), QColor(Qt::blue));
}

void PlotDrawingTest::yTitleIsTurnedAndCentred()
{
    PlotProbe plot;
    plot.SetYTitle(QStringLiteral("Amplitude"));
    show(plot);
    int flatCount = 0;
    int turnedCount = 0;
    // The band is two pixels narrower than the text is high: the top row turns
    // into the column left of the page, the bottom row into the one right of it.
    QImage flatText = plot.YTitleTextPage.Bitmap.copy();
    QCOMPARE(plot.YTitlePage.width(), flatText.height() - 2);
    for (int x = 0; x < flatText.width(); ++x) {
        flatText.setPixelColor(x, 0, Silver);
        flatText.setPixelColor(x, flatText.height() - 1, Silver);
    }
    const QRect flat = inkBox(flatText, Silver, &flatCount);
    const QRect turned = inkBox(plot.YTitlePage.Bitmap, Silver, &turnedCount);
    QVERIFY(flatCount > 0);
    QCOMPARE(turnedCount, flatCount);
    QCOMPARE(turned.size(), flat.size().transposed());
    QCOMPARE(turned.left(), flat.top() - 1);
    const int centre = turned.center().y();
    QVERIFY(qAbs(centre - plot.GetPlotPixelHeight() / 2) <= plot.YTitleTextPage.height());
    // Reads from bottom to top: the text's first column is the turned copy's
    // bottom row.
    QCOMPARE(turned.bottom(), (plot.YTitleTextPage.TextWidth("Amplitude") + plot.GetPlotPixelHeight()) / 2
                 - flat.left());
}

void PlotDrawingTest::infoBoxCopyInPlotPage()
{
    PlotProbe plot;
    show(plot);
    QVERIFY(plot.InfoBoxFits);
    const QRect box = plot.InfoBoxRect;
    const QColor grey(0x80, 0x80, 0x80);
    QCOMPARE(plot.PlotPage.Bitmap.pixelColor(rectRight(box) - 1, rectBottom(box) - 1), grey);
    QCOMPARE(plot.PlotPage.Bitmap.pixelColor(rectRight(box), rectBottom(box)), plot.BkGraphicColor());
    // White text on the grey box.
    QVERIFY(countColour(plot.PlotPage.Bitmap.copy(box), Qt::white) > 0);
}

QTEST_MAIN(PlotDrawingTest)
#include "tst_plotdrawing.moc"
