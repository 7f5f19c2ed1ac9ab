#include "PlotProbe.h"

#include <QtTest>

#include <cmath>
#include <limits>
#include <vector>

Q_DECLARE_METATYPE(TAxisFormat)

namespace {
constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
constexpr double Inf = std::numeric_limits<double>::infinity();

void addPlot(TXYPlot &plot, int number, std::vector<double> x, std::vector<double> y,
             QColor color = Qt::red, TPlotStyle style = TPlotStyle::Line)
{
    plot.XYPlot(x.data(), y.data(), static_cast<int>(x.size()), number, color, style);
}

std::vector<double> plotX(const TXYPlot &plot, int number)
{
    int n = -1;
    if (!plot.GetPlotNumPoints(n, number))
        return {};
    std::vector<double> x(static_cast<std::size_t>(n));
    plot.GetPlotX(x.data(), number);
    return x;
}
} // namespace

class PlotDataTest : public QObject
{
    Q_OBJECT

private slots:
    void replaceKeepsColourStyleAndTakesNewLength();
    void removeMissingLeavesLimits();
    void copiesReverseTheOrder();
    void xBuilders_data();
    void xBuilders();
    void getPlotOfMissingNumberLeavesArray();
    void copyConstructorCopiesOnlyTheAssignedProperties();
    void autoScale_data();
    void autoScale();
    void nonFiniteDataDoesNotBecomeALimit();
    void logRepairs_data();
    void logRepairs();
    void switchingToLogRepairsOneDecade();
    void screenAndPlotCoordinatesAtTheEdges_data();
    void screenAndPlotCoordinatesAtTheEdges();
    void onePixelPageHasFiniteCoordinates();
    void round_data();
    void round();
    void setXYMinMaxRemembersOnlyWithoutZoom();
    void nonFiniteLimitsAreRefused();
    void layoutSharesEdges();
    void tooShortControlDropsBandsForGood();
    void tooNarrowControlDropsYBands();
};

void PlotDataTest::replaceKeepsColourStyleAndTakesNewLength()
{
    PlotProbe plot;
    addPlot(plot, 7, {1, 2, 3}, {4, 5, 6}, Qt::red, TPlotStyle::Points);
    std::vector<double> x{10, 20}, y{30, 40};
    QVERIFY(plot.XYPlot(x.data(), y.data(), 2, 7, Qt::blue, TPlotStyle::Line));
    QVERIFY(!plot.XYPlot(x.data(), y.data(), 2, 8, Qt::blue, TPlotStyle::Line));

    QColor color;
    TPlotStyle style{};
    int n = 0;
    QVERIFY(plot.GetPlotColor(color, 7));
    QVERIFY(plot.GetPlotStyle(style, 7));
    QVERIFY(plot.GetPlotNumPoints(n, 7));
    QCOMPARE(color, QColor(Qt::red));
    QCOMPARE(style, TPlotStyle::Points);
    QCOMPARE(n, 2);
    QCOMPARE(plotX(plot, 7), (std::vector<double>{10, 20}));
    std::vector<double> gotY(2);
    QVERIFY(plot.GetPlotY(gotY.data(), 7));
    QCOMPARE(gotY, (std::vector<double>{30, 40}));

    // The list keeps its own copy of the caller's arrays.
    x[0] = 99;
    QCOMPARE(plotX(plot, 7)[0], 10.0);
}

void PlotDataTest::removeMissingLeavesLimits()
{
    PlotProbe plot;
    addPlot(plot, 1, {0, 5}, {0, 5});
    plot.SetXMin(-3); // auto-scaling would undo this
    QVERIFY(!plot.RemovePlot(2));
    QCOMPARE(plot.XMin(), -3.0);
    QCOMPARE(plot.order(), QList<int>{1});
    QVERIFY(plot.RemovePlot(1));
    QVERIFY(plot.plotList().isEmpty());
    QCOMPARE(plot.XMin(), -1.0);
    QCOMPARE(plot.XMax(), 1.0);
}

void PlotDataTest::copiesReverseTheOrder()
{
    PlotProbe source;
    for (int number : {1, 2, 3})
        addPlot(source, number, {double(number)}, {1});
    QCOMPARE(source.order(), (QList<int>{3, 2, 1}));

    PlotProbe copy;
    addPlot(copy, 9, {0}, {0});
    copy.AssignPlotData(&source);
    QCOMPARE(copy.order(), (QList<int>{1, 2, 3}));

    PlotProbe appended;
    addPlot(appended, 2, {50}, {50});
    appended.AppendPlotData(&source);
    // 2 is replaced in place; 3 and 1 are new and go to the front in source order.
    QCOMPARE(appended.order(), (QList<int>{1, 3, 2}));
    QCOMPARE(plotX(appended, 2), std::vector<double>{2});
}

void PlotDataTest::xBuilders_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<bool>("startAndEnd");
    QTest::addColumn<std::vector<double>>("expected");
    QTest::newRow("indices") << 4 << false << std::vector<double>{0, 1, 2, 3};
    QTest::newRow("start and end") << 5 << true << std::vector<double>{10, 12.5, 15, 17.5, 20};
    QTest::newRow("one point at the start") << 1 << true << std::vector<double>{10};
    QTest::newRow("no points") << 0 << true << std::vector<double>{};
    QTest::newRow("negative count") << -3 << false << std::vector<double>{};
}

void PlotDataTest::xBuilders()
{
    QFETCH(int, count);
    QFETCH(bool, startAndEnd);
    QFETCH(std::vector<double>, expected);
    PlotProbe plot;
    const std::vector<double> y(static_cast<std::size_t>(std::max(count, 0)), 1.0);
    if (startAndEnd)
        plot.XYPlot(y.data(), count, 10.0, 20.0, 1, Qt::red, TPlotStyle::Line);
    else
        plot.XYPlot(y.data(), count, 1, Qt::red, TPlotStyle::Line);
    int n = -1;
    QVERIFY(plot.GetPlotNumPoints(n, 1));
    QCOMPARE(plotX(plot, 1), expected);
    // A plot without points leaves the limits to the other plots or the defaults.
    QVERIFY(std::isfinite(plot.XMin()) && plot.XMin() < plot.XMax());
}

void PlotDataTest::getPlotOfMissingNumberLeavesArray()
{
    PlotProbe plot;
    addPlot(plot, 1, {1, 2}, {3, 4});
    double x[2] = {-7, -7};
    QColor color(Qt::green);
    QVERIFY(!plot.GetPlotX(x, 5));
    QVERIFY(!plot.GetPlotY(x, 5));
    QVERIFY(!plot.GetPlotColor(color, 5));
    QVERIFY(!plot.SetPlotColor(Qt::blue, 5));
    QVERIFY(!plot.SetPlotStyle(TPlotStyle::Points, 5));
    QCOMPARE(x[0], -7.0);
    QCOMPARE(x[1], -7.0);
    QCOMPARE(color, QColor(Qt::green));
}

void PlotDataTest::copyConstructorCopiesOnlyTheAssignedProperties()
{
    PlotProbe source;
    addPlot(source, 1, {1, 2}, {3, 4});
    addPlot(source, 2, {5}, {6});
    source.SetPointSize(5);
    source.SetXTitle(QStringLiteral("t"));
    source.SetGridColor(Qt::cyan);
    source.SetTopFrameOffset(4);
    source.SetInfoBoxColor(Qt::yellow);
    QFont font(QStringLiteral("Serif"), 17);
    source.SetAxisLabelFont(font);

    PlotProbe copy(source);
    QCOMPARE(copy.order(), (QList<int>{1, 2}));
    QCOMPARE(copy.PointSize(), 5);
    QCOMPARE(copy.XTitle(), QStringLiteral("t"));
    QCOMPARE(copy.GridColor(), QColor(Qt::cyan));
    QCOMPARE(copy.AxisLabelFont().pointSize(), 17);
    QCOMPARE(copy.XMax(), source.XMax());
    QCOMPARE(copy.AutoRedraw(), source.AutoRedraw());
    // Not copied: zero or empty.
    QCOMPARE(copy.BkGraphicColor(), QColor(Qt::black));
    QCOMPARE(copy.InfoBoxColor(), QColor(Qt::black));
    QCOMPARE(copy.TopFrameOffset(), 0);
    QCOMPARE(copy.YLabelOffset(), 0);
    QCOMPARE(copy.InfoBoxXFactor(), 0.0);
    QCOMPARE(copy.InfoBoxYOffset(), 0.0);
    QCOMPARE(copy.PaintRedrawDelay(), 0);
    QCOMPARE(copy.InfoBoxX1(), QString());
    QCOMPARE(copy.InfoBoxXFormatString(), QString());
}

void PlotDataTest::autoScale_data()
{
    QTest::addColumn<TAxisFormat>("format");
    QTest::addColumn<std::vector<double>>("y");
    QTest::addColumn<double>("min");
    QTest::addColumn<double>("max");
    QTest::newRow("no plots, linear") << TAxisFormat::Linear << std::vector<double>{} << -1.0 << 1.0;
    QTest::newRow("constant, linear") << TAxisFormat::Linear << std::vector<double>{3, 3, 3} << 3.0 << 4.0;
    QTest::newRow("constant, log") << TAxisFormat::Log << std::vector<double>{3, 3, 3} << 3.0 << 30.0;
    QTest::newRow("spread, linear") << TAxisFormat::Linear << std::vector<double>{2, -4, 8} << -4.0 << 8.0;
    QTest::newRow("huge constant, linear") << TAxisFormat::Linear << std::vector<double>{1e300, 1e300}
                                           << 1e300 << 1e300 * (1 + 1e-9);
}

void PlotDataTest::autoScale()
{
    QFETCH(TAxisFormat, format);
    QFETCH(std::vector<double>, y);
    QFETCH(double, min);
    QFETCH(double, max);
    PlotProbe plot;
    plot.SetYAxisFormat(format);
    if (!y.empty())
        plot.XYPlot(y.data(), static_cast<int>(y.size()), 1, Qt::red, TPlotStyle::Line);
    QCOMPARE(plot.YMin(), min);
    QCOMPARE(plot.YMax(), max);
    QVERIFY(plot.YMin() != plot.YMax());
    if (format == TAxisFormat::Log) {
        QCOMPARE(plot.LogYMin, std::log10(min));
        QCOMPARE(plot.LogYMax, std::log10(max));
    }
}

void PlotDataTest::nonFiniteDataDoesNotBecomeALimit()
{
    PlotProbe plot;
    addPlot(plot, 1, {NaN, 2, Inf, -1}, {NaN, 5, -Inf, 7});
    QCOMPARE(plot.XMin(), -1.0);
    QCOMPARE(plot.XMax(), 2.0);
    QCOMPARE(plot.YMin(), 5.0);
    QCOMPARE(plot.YMax(), 7.0);

    // Only non-finite values: as if there were no data.
    PlotProbe empty;
    addPlot(empty, 1, {NaN, Inf}, {NaN, NaN});
    QCOMPARE(empty.XMin(), -1.0);
    QCOMPARE(empty.YMax(), 1.0);
    empty.show();
    QVERIFY(QTest::qWaitForWindowExposed(&empty));
    QVERIFY(empty.PlotPage.width() > 0);
    empty.Redraw(); // must neither crash nor trip the sanitizers
}

void PlotDataTest::logRepairs_data()
{
    QTest::addColumn<double>("min");
    QTest::addColumn<double>("max");
    QTest::addColumn<double>("repairedMin");
    QTest::addColumn<double>("repairedMax");
    QTest::newRow("negative minimum") << -5.0 << 100.0 << 1.0 << 100.0;
    QTest::newRow("both negative") << -5.0 << -5.0 << 0.1 << 10.0;
    QTest::newRow("zero minimum") << 0.0 << 1.0 << 0.01 << 1.0;
    // The repaired maximum would equal the minimum: parted by a decade.
    QTest::newRow("maximum repaired onto minimum") << 10.0 << -5.0 << 10.0 << 100.0;
}

void PlotDataTest::logRepairs()
{
    QFETCH(double, min);
    QFETCH(double, max);
    QFETCH(double, repairedMin);
    QFETCH(double, repairedMax);
    PlotProbe plot;
    plot.SetXAutoScale(false);
    plot.SetXAxisFormat(TAxisFormat::Log);
    plot.SetXYMinMax(min, max, 0, 1, false);
    QCOMPARE(plot.XMin(), repairedMin);
    QCOMPARE(plot.XMax(), repairedMax);
    QCOMPARE(plot.LogXMin, std::log10(repairedMin));
    QCOMPARE(plot.LogXMax, std::log10(repairedMax));
    QVERIFY(plot.LogXMin != plot.LogXMax);
}

void PlotDataTest::switchingToLogRepairsOneDecade()
{
    PlotProbe plot;
    plot.SetYAutoScale(false);
    plot.SetYMin(-3);
    plot.SetYMax(50);
    plot.SetYAxisFormat(TAxisFormat::Log);
    QCOMPARE(plot.YMin(), 5.0);
    QCOMPARE(plot.YMax(), 50.0);

    PlotProbe negative;
    negative.SetXAutoScale(false);
    negative.SetXMin(-3);
    negative.SetXMax(-1);
    negative.SetXAxisFormat(TAxisFormat::Log);
    QCOMPARE(negative.XMin(), 1.0);
    QCOMPARE(negative.XMax(), 10.0);
    QCOMPARE(negative.LogXMax, 1.0);
}

void PlotDataTest::screenAndPlotCoordinatesAtTheEdges_data()
{
    QTest::addColumn<TAxisFormat>("format");
    QTest::addColumn<double>("min");
    QTest::addColumn<double>("max");
    QTest::newRow("linear") << TAxisFormat::Linear << -2.0 << 6.0;
    QTest::newRow("log") << TAxisFormat::Log << 0.1 << 1000.0;
}

void PlotDataTest::screenAndPlotCoordinatesAtTheEdges()
{
    QFETCH(TAxisFormat, format);
    QFETCH(double, min);
    QFETCH(double, max);
    PlotProbe plot;
    plot.SetXAutoScale(false);
    plot.SetYAutoScale(false);
    plot.SetXAxisFormat(format);
    plot.SetYAxisFormat(format);
    plot.SetXYMinMax(min, max, min, max, false);
    plot.ResizePaintPage();
    const int W = plot.GetPlotPixelWidth();
    const int H = plot.GetPlotPixelHeight();
    QVERIFY(W > 10 && H > 10);
    QCOMPARE(plot.ScreenX(min), 0.0);
    QCOMPARE(plot.ScreenX(max), double(W - 1));
    QCOMPARE(plot.ScreenY(max), 0.0);
    QCOMPARE(plot.ScreenY(min), double(H - 1));

    const QRect area = plot.PlotPage.ScreenRect;
    QCOMPARE(plot.PlotX(area.left()), min);
    QCOMPARE(plot.PlotY(area.top()), max);
    QVERIFY(qFuzzyCompare(plot.PlotX(area.left() + W - 1), max));
    QVERIFY(qFuzzyCompare(plot.PlotY(area.top() + H - 1), min));
    // A middle pixel goes there and back.
    const double mid = plot.PlotX(area.left() + W / 2);
    QVERIFY(qAbs(plot.ScreenX(mid) - W / 2) < 1e-9);
}

void PlotDataTest::onePixelPageHasFiniteCoordinates()
{
    PlotProbe plot;
    plot.SetShowYLabel(false);
    plot.SetShowYTitle(false);
    plot.SetShowInfoBox(false);
    plot.resize(1, 250);
    plot.ResizePaintPage();
    QCOMPARE(plot.GetPlotPixelWidth(), 1);
    const double x = plot.PlotX(plot.PlotPage.ScreenRect.left());
    QCOMPARE(x, plot.XMin());
    QVERIFY(std::isfinite(plot.PlotX(plot.PlotPage.ScreenRect.left() + 5)));
}

void PlotDataTest::round_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<double>("rounded");
    QTest::newRow("half up") << 2.5 << 3.0;
    QTest::newRow("negative half away") << -2.5 << -3.0;
    QTest::newRow("small negative") << -0.4 << 0.0;
    QTest::newRow("within epsilon of a half") << 1.4999999999999 << 2.0;
    QTest::newRow("beyond epsilon of a half") << 1.49999999999 << 1.0;
    QTest::newRow("integral") << 7.0 << 7.0;
}

void PlotDataTest::round()
{
    QFETCH(double, value);
    QFETCH(double, rounded);
    QCOMPARE(TXYPlot::Round(value), rounded);
}

void PlotDataTest::setXYMinMaxRemembersOnlyWithoutZoom()
{
    PlotProbe plot;
    plot.SetXYMinMax(1, 2, 3, 4, true);
    QCOMPARE(plot.XMin(), 1.0);
    QCOMPARE(plot.YMax(), 4.0);
    QCOMPARE(plot.HomeXMin, 0.0);
    QCOMPARE(plot.HomeYMax, 0.0);

    plot.SetXAxisFormat(TAxisFormat::Log);
    plot.SetXYMinMax(5, 5, 3, 4, false);
    QCOMPARE(plot.XMax(), 50.0);
    QCOMPARE(plot.LogXMax, std::log10(50.0));
    // Remembered before the correction.
    QCOMPARE(plot.HomeXMin, 5.0);
    QCOMPARE(plot.HomeXMax, 5.0);
    QCOMPARE(plot.HomeYMin, 3.0);
}

void PlotDataTest::nonFiniteLimitsAreRefused()
{
    PlotProbe plot;
    plot.SetXAutoScale(false);
    plot.SetXMin(2);
    plot.SetXMin(NaN);
    plot.SetXMax(Inf);
    QCOMPARE(plot.XMin(), 2.0);
    QCOMPARE(plot.XMax(), 10.0);
    plot.SetXYMinMax(NaN, 4, -Inf, 9, true);
    QCOMPARE(plot.XMin(), 2.0);
    QCOMPARE(plot.XMax(), 4.0);
}

void PlotDataTest::layoutSharesEdges()
{
    PlotProbe plot;
    plot.SetTopFrameOffset(3);
    plot.SetLeftFrameOffset(4);
    plot.SetBottomFrameOffset(5);
    plot.ResizePaintPage();
    const QRect area = plot.PlotPage.ScreenRect;
    QCOMPARE(rectRight(area), plot.width());
    QCOMPARE(plot.XLabelPage.ScreenRect.left(), area.left());
    QCOMPARE(rectRight(plot.XLabelPage.ScreenRect), rectRight(area));
    QCOMPARE(plot.XLabelPage.ScreenRect.top(), rectBottom(area));
    QCOMPARE(plot.YLabelPage.ScreenRect.top(), area.top());
    QCOMPARE(rectRight(plot.YLabelPage.ScreenRect), area.left());
    QCOMPARE(rectBottom(plot.XTitlePage.ScreenRect), plot.height() - 5);
    QCOMPARE(plot.YTitlePage.ScreenRect.left(), 4);
    QCOMPARE(plot.PlotTitlePage.ScreenRect.top(), 3);
    QCOMPARE(rectBottom(plot.PlotTitlePage.ScreenRect), area.top());
    QCOMPARE(plot.TopFramePage.ScreenRect, QRect(0, 0, plot.width(), 3));
    QCOMPARE(plot.BottomFramePage.ScreenRect, QRect(0, plot.height() - 5, plot.width(), 5));
    QCOMPARE(plot.PlotPage.PageRect, QRect(QPoint(0, 0), area.size()));
    QCOMPARE(plot.PlotPage.Bitmap.size(), area.size());
    // The info box stands at the top right inside the plot area, in both
    // coordinate systems.
    QVERIFY(plot.InfoBoxFits);
    QCOMPARE(rectRight(plot.InfoBoxPage.ScreenRect), plot.width() - 2);
    QCOMPARE(plot.InfoBoxRect.translated(area.topLeft()).left(), plot.InfoBoxPage.ScreenRect.left());
    QVERIFY(area.contains(plot.InfoBoxPage.ScreenRect));

    // Y labels are as wide as the wider of the two limits' texts.
    const int narrow = plot.YLabelPage.width();
    plot.SetYAutoScale(false);
    plot.SetYMin(-123456);
    QVERIFY(plot.YLabelPage.width() > narrow);
}

void PlotDataTest::tooShortControlDropsBandsForGood()
{
    PlotProbe plot;
    plot.SetTopFrameOffset(10);
    plot.SetBottomFrameOffset(10);
    plot.resize(300, 30);
    plot.ResizePaintPage();
    QVERIFY(!plot.ShowPlotTitle());
    QVERIFY(!plot.ShowXLabel());
    QVERIFY(!plot.ShowXTitle());
    QCOMPARE(plot.TopFrameOffset(), 0);
    QCOMPARE(plot.BottomFrameOffset(), 0);
    QVERIFY(plot.ShowYLabel());
    QCOMPARE(plot.PlotPage.ScreenRect.top(), 0);
    QCOMPARE(rectBottom(plot.PlotPage.ScreenRect), 30);

    plot.resize(300, 250);
    plot.ResizePaintPage();
    QVERIFY(!plot.ShowPlotTitle());
    QVERIFY(!plot.ShowXLabel());
}

void PlotDataTest::tooNarrowControlDropsYBands()
{
    PlotProbe plot;
    plot.SetLeftFrameOffset(20);
    plot.resize(15, 250);
    plot.ResizePaintPage();
    QVERIFY(!plot.ShowYLabel());
    QVERIFY(!plot.ShowYTitle());
    QCOMPARE(plot.LeftFrameOffset(), 0);
    QVERIFY(plot.ShowPlotTitle());
    QCOMPARE(plot.PlotPage.ScreenRect.left(), 0);
    QVERIFY(!plot.InfoBoxFits);
}

QTEST_MAIN(PlotDataTest)
#include "tst_plotdata.moc"
