// Live data (appending, rolling limits, one redraw per frame), pans that keep
// the layout, and a caller's paint beside the control's own copies.

#include "PlotProbe.h"

#include <QtTest>

#include <cmath>
#include <limits>
#include <numeric>
#include <vector>

namespace {

// Counts Paint and the copies of the plot area.
class LivePlot : public PlotProbe
{
public:
    int paints = 0;
    int plotCopies() const { return static_cast<int>(copiedPages.count(&PlotPage)); }

protected:
    void Paint() override
    {
        ++paints;
        PlotProbe::Paint();
    }
};

std::vector<double> ramp(int from, int count, double scale = 1.0)
{
    std::vector<double> v(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        v[i] = (from + i) * scale;
    return v;
}

std::vector<double> pointsOf(const TXYPlot &plot, int number, bool x)
{
    int n = 0;
    plot.GetPlotNumPoints(n, number);
    std::vector<double> v(static_cast<std::size_t>(n));
    if (x)
        plot.GetPlotX(v.data(), number);
    else
        plot.GetPlotY(v.data(), number);
    return v;
}

// The summary a plot holds is the one made of its stored points at once.
bool summaryAsBuiltAtOnce(const TPlotListMember &m)
{
    PlotSummary fresh;
    fresh.extend(m.storedX(), m.storedY(), m.storedCount());
    return m.summary().sameAs(fresh);
}

void appendInPieces(TXYPlot &plot, const std::vector<double> &x, const std::vector<double> &y,
                    int number, QColor colour = Qt::red, TPlotStyle style = TPlotStyle::Line)
{
    const int pieces[] = {1, 7, 16, 100, 333, 1000};
    std::size_t at = 0;
    for (int k = 0; at < x.size(); ++k) {
        const int n = static_cast<int>(std::min<std::size_t>(pieces[k % 6], x.size() - at));
        plot.AppendPlotPoints(x.data() + at, y.data() + at, n, number, colour, style);
        at += n;
    }
}

} // namespace

class PlotLiveTest : public QObject
{
    Q_OBJECT

private slots:
    void appendingKeepsIndicesColourAndStyle();
    void rollingLimitKeepsTheNewestPoints();
    void orderFollowsTheKeptPoints();
    void summaryBuiltPieceByPieceIsTheSame();
    void limitsFollowAppendedPoints();
    void manyAppendsDrawOneFrame();
    void nothingIsDrawnWhileHidden();
    void panThatKeepsTextSizesKeepsTheLayout();
    void callersPaintAfterOwnCopiesRunsPaint_data();
    void callersPaintAfterOwnCopiesRunsPaint();
};

void PlotLiveTest::appendingKeepsIndicesColourAndStyle()
{
    PlotProbe plot;
    const std::vector<double> x = ramp(0, 5);
    const std::vector<double> y = ramp(10, 5);
    plot.XYPlot(x.data(), y.data(), 5, 1, Qt::red, TPlotStyle::LinePoints);
    const std::vector<double> x2 = ramp(5, 3);
    const std::vector<double> y2 = ramp(20, 3);
    // An existing plot: true, and its own colour and style stay.
    QVERIFY(plot.AppendPlotPoints(x2.data(), y2.data(), 3, 1, Qt::blue, TPlotStyle::Points));
    QColor colour;
    TPlotStyle style = TPlotStyle::Line;
    QVERIFY(plot.GetPlotColor(colour, 1));
    QVERIFY(plot.GetPlotStyle(style, 1));
    QCOMPARE(colour, QColor(Qt::red));
    QCOMPARE(style, TPlotStyle::LinePoints);
    QCOMPARE(pointsOf(plot, 1, true), (std::vector<double>{0, 1, 2, 3, 4, 5, 6, 7}));
    QCOMPARE(pointsOf(plot, 1, false), (std::vector<double>{10, 11, 12, 13, 14, 20, 21, 22}));
    // A new number makes a plot of the points, in front of the others.
    QVERIFY(!plot.AppendPlotPoints(x2.data(), y2.data(), 3, 2, Qt::blue, TPlotStyle::Points));
    QCOMPARE(plot.order(), (QList<int>{2, 1}));
    QVERIFY(plot.GetPlotColor(colour, 2));
    QCOMPARE(colour, QColor(Qt::blue));
    // Nothing, or nothing valid, to append changes nothing.
    QVERIFY(plot.AppendPlotPoints(x2.data(), y2.data(), 0, 1, Qt::red, TPlotStyle::Line));
    QVERIFY(plot.AppendPlotPoints(nullptr, y2.data(), 3, 1, Qt::red, TPlotStyle::Line));
    QVERIFY(plot.AppendPlotPoints(x2.data(), y2.data(), -4, 1, Qt::red, TPlotStyle::Line));
    int n = 0;
    QVERIFY(plot.GetPlotNumPoints(n, 1));
    QCOMPARE(n, 8);
    QVERIFY(!plot.SetPlotMaxPoints(10, 9));
    QVERIFY(!plot.GetPlotMaxPoints(n, 9));
}

void PlotLiveTest::rollingLimitKeepsTheNewestPoints()
{
    PlotProbe plot;
    const std::vector<double> first = ramp(0, 10);
    plot.XYPlot(first.data(), first.data(), 10, 1, Qt::red, TPlotStyle::Line);
    QVERIFY(plot.SetPlotMaxPoints(1000, 1));
    int limit = 0;
    QVERIFY(plot.GetPlotMaxPoints(limit, 1));
    QCOMPARE(limit, 1000);
    // 20000 points in pieces: the storage is moved down several times.
    const std::vector<double> x = ramp(10, 20000);
    const std::vector<double> y = ramp(10, 20000, -0.5);
    appendInPieces(plot, x, y, 1);
    QCOMPARE(pointsOf(plot, 1, true), ramp(19010, 1000));
    QCOMPARE(pointsOf(plot, 1, false), ramp(19010, 1000, -0.5));
    const TPlotListMember *m = plot.plotList().First();
    QVERIFY(m->storedCount() - m->firstIndex() == 1000);
    QVERIFY(m->firstIndex() < 4096 + 1000);
    QVERIFY(summaryAsBuiltAtOnce(*m));
    QVERIFY(m->XSorted());

    // A lower limit drops at once; new data for the plot keeps the limit.
    QVERIFY(plot.SetPlotMaxPoints(3, 1));
    QCOMPARE(pointsOf(plot, 1, true), (std::vector<double>{20007, 20008, 20009}));
    const std::vector<double> replaced = ramp(100, 50);
    QVERIFY(plot.XYPlot(replaced.data(), replaced.data(), 50, 1, Qt::green, TPlotStyle::Points));
    QCOMPARE(pointsOf(plot, 1, true), (std::vector<double>{147, 148, 149}));
    QVERIFY(plot.GetPlotMaxPoints(limit, 1));
    QCOMPARE(limit, 3);
    // No limit: everything appended stays.
    QVERIFY(plot.SetPlotMaxPoints(0, 1));
    plot.AppendPlotPoints(replaced.data(), replaced.data(), 50, 1, Qt::red, TPlotStyle::Line);
    int n = 0;
    plot.GetPlotNumPoints(n, 1);
    QCOMPARE(n, 53);
    // Copies take the limit along.
    QVERIFY(plot.SetPlotMaxPoints(20, 1));
    PlotProbe copy;
    copy.AssignPlotData(&plot);
    QVERIFY(copy.GetPlotMaxPoints(limit, 1));
    QCOMPARE(limit, 20);
    copy.AppendPlotPoints(first.data(), first.data(), 10, 1, Qt::red, TPlotStyle::Line);
    copy.GetPlotNumPoints(n, 1);
    QCOMPARE(n, 20);
}

void PlotLiveTest::orderFollowsTheKeptPoints()
{
    PlotProbe plot;
    const std::vector<double> up = ramp(0, 100);
    plot.AppendPlotPoints(up.data(), up.data(), 100, 1, Qt::red, TPlotStyle::Line);
    const TPlotListMember *m = plot.plotList().First();
    QVERIFY(m->XSorted());
    // Equal x values keep the order; a step down loses it.
    const double same[] = {99, 99};
    plot.AppendPlotPoints(same, same, 2, 1, Qt::red, TPlotStyle::Line);
    QVERIFY(m->XSorted());
    const double back[] = {50};
    plot.AppendPlotPoints(back, back, 1, 1, Qt::red, TPlotStyle::Line);
    QVERIFY(!m->XSorted());
    // Once the step has left the window, the points are in order again.
    QVERIFY(plot.SetPlotMaxPoints(50, 1));
    QVERIFY(!m->XSorted());
    const std::vector<double> later = ramp(60, 48);
    plot.AppendPlotPoints(later.data(), later.data(), 48, 1, Qt::red, TPlotStyle::Line);
    QVERIFY(!m->XSorted());
    QCOMPARE(pointsOf(plot, 1, true).front(), 99.0);
    const double next[] = {200};
    plot.AppendPlotPoints(next, next, 1, 1, Qt::red, TPlotStyle::Line);
    QCOMPARE(pointsOf(plot, 1, true).front(), 50.0);
    QVERIFY(m->XSorted());
    // A NaN x value is never in order, also as the newest point.
    const double nan[] = {std::numeric_limits<double>::quiet_NaN()};
    plot.AppendPlotPoints(nan, next, 1, 1, Qt::red, TPlotStyle::Line);
    QVERIFY(!m->XSorted());
    plot.AppendPlotPoints(next, next, 1, 1, Qt::red, TPlotStyle::Line);
    QVERIFY(!m->XSorted());
}

// Appending in pieces of every size, with and without a limit, NaN and
// infinities among the values: the summary is always the one built at once,
// and its answers are those of the points.
void PlotLiveTest::summaryBuiltPieceByPieceIsTheSame()
{
    const int count = 30000;
    std::vector<double> x(count);
    std::vector<double> y(count);
    for (int i = 0; i < count; ++i) {
        x[i] = i * 0.01;
        y[i] = std::sin(i * 0.001) * 100;
        if (i % 977 == 0)
            y[i] = std::numeric_limits<double>::quiet_NaN();
        if (i % 1501 == 0)
            y[i] = i % 2 ? std::numeric_limits<double>::infinity() : -std::numeric_limits<double>::infinity();
    }
    for (const int limit : {0, 5000, 777}) {
        PlotProbe plot;
        plot.AppendPlotPoints(x.data(), y.data(), 1, 1, Qt::red, TPlotStyle::Line);
        plot.SetPlotMaxPoints(limit, 1);
        std::vector<double> restX(x.begin() + 1, x.end());
        std::vector<double> restY(y.begin() + 1, y.end());
        appendInPieces(plot, restX, restY, 1);
        const TPlotListMember &m = *plot.plotList().First();
        QVERIFY(summaryAsBuiltAtOnce(m));
        // The finite extremes of the kept points.
        const std::vector<double> kept = pointsOf(plot, 1, false);
        double low = 1e300;
        double high = -1e300;
        for (const double v : kept)
            if (std::isfinite(v)) {
                low = std::min(low, v);
                high = std::max(high, v);
            }
        double min = 0;
        double max = 0;
        QVERIFY(m.finiteRangeY(min, max));
        QCOMPARE(min, low);
        QCOMPARE(max, high);
        QVERIFY(plot.YAutoScale());
        QCOMPARE(plot.YMin(), low);
        QCOMPARE(plot.YMax(), high);
    }
}

void PlotLiveTest::limitsFollowAppendedPoints()
{
    PlotProbe plot;
    const std::vector<double> x = ramp(0, 100);
    const std::vector<double> y = ramp(0, 100, 2);
    plot.XYPlot(x.data(), y.data(), 100, 1, Qt::red, TPlotStyle::Line);
    QCOMPARE(plot.XMax(), 99.0);
    QCOMPARE(plot.YMax(), 198.0);
    const std::vector<double> x2 = ramp(100, 100);
    const std::vector<double> y2 = ramp(-100, 100);
    plot.AppendPlotPoints(x2.data(), y2.data(), 100, 1, Qt::red, TPlotStyle::Line);
    QCOMPARE(plot.XMax(), 199.0);
    QCOMPARE(plot.YMin(), -100.0);
    // Dropping the oldest points moves the lower x limit along.
    plot.SetPlotMaxPoints(50, 1);
    QCOMPARE(plot.XMin(), 150.0);
    QCOMPARE(plot.XMax(), 199.0);
    QCOMPARE(plot.YMin(), -50.0);
    QCOMPARE(plot.YMax(), -1.0);
}

void PlotLiveTest::manyAppendsDrawOneFrame()
{
    LivePlot plot;
    makeBare(plot, 200, 100);
    plot.SetXAutoScale(true);
    plot.SetYAutoScale(true);
    plot.show();
    QVERIFY(QTest::qWaitForWindowExposed(&plot));
    QTRY_VERIFY(plot.paints > 0);
    plot.copiedPages.clear();
    const int paints = plot.paints;
    for (int k = 0; k < 50; ++k) {
        const std::vector<double> x = ramp(k * 10, 10);
        const std::vector<double> y = ramp(k * 10, 10, k % 2 ? 1 : -1);
        plot.AppendPlotPoints(x.data(), y.data(), 10, 1, Qt::red, TPlotStyle::Line);
    }
    QCOMPARE(plot.plotCopies(), 0); // not at once
    QTRY_COMPARE(plot.plotCopies(), 1);
    QTest::qWait(100);
    QCOMPARE(plot.plotCopies(), 1);
    // The control's own copies run no Paint.
    QCOMPARE(plot.paints, paints);
    // The frame shows every point appended: the same picture as a full redraw.
    const QImage live = plot.canvas().copy();
    plot.Redraw();
    QCOMPARE(plot.canvas(), live);
    QVERIFY(countColour(plot.PlotPage.Bitmap, Qt::red) > 100);

    // With AutoRedraw off appends draw nothing.
    plot.SetAutoRedraw(false);
    plot.copiedPages.clear();
    const double more[] = {600, 601};
    plot.AppendPlotPoints(more, more, 2, 1, Qt::red, TPlotStyle::Line);
    QTest::qWait(100);
    QCOMPARE(plot.plotCopies(), 0);
}

void PlotLiveTest::nothingIsDrawnWhileHidden()
{
    LivePlot plot;
    makeBare(plot, 200, 100);
    plot.SetXAutoScale(true);
    plot.SetYAutoScale(true);
    plot.show();
    // Hidden at once, before the control's first copies were shown.
    QVERIFY(QTest::qWaitForWindowExposed(&plot));
    plot.hide();
    plot.copiedPages.clear();
    const std::vector<double> x = ramp(0, 500);
    const std::vector<double> y = ramp(0, 500, 0.5);
    plot.AppendPlotPoints(x.data(), y.data(), 500, 1, Qt::red, TPlotStyle::Line);
    QTest::qWait(100);
    QCOMPARE(plot.copiedPages.size(), 0);
    // Shown again, the points are there.
    plot.show();
    QVERIFY(QTest::qWaitForWindowExposed(&plot));
    QTRY_VERIFY(plot.plotCopies() > 0);
    QVERIFY(countColour(plot.canvas(), Qt::red) > 100);
}

// A pan that leaves the axis texts their sizes redraws the plot and the
// labels only, and shows what a full redraw of the new limits shows; one
// that changes a text's size lays out again.
void PlotLiveTest::panThatKeepsTextSizesKeepsTheLayout()
{
    PlotProbe plot;
    plot.resize(300, 250);
    const std::vector<double> x = ramp(0, 200, 0.05);
    const std::vector<double> y = ramp(0, 200, 0.04);
    plot.XYPlot(x.data(), y.data(), 200, 1, Qt::red, TPlotStyle::Line);
    plot.SetXAutoScale(false);
    plot.SetYAutoScale(false);
    plot.SetXYMinMax(0, 8, 1, 7, false);
    plot.show();
    QVERIFY(QTest::qWaitForWindowExposed(&plot));
    QTRY_VERIFY(!plot.canvas().isNull());
    const QRect area = plot.PlotPage.ScreenRect;

    plot.copiedPages.clear();
    plot.SetXYMinMax(1, 9, 2, 8, true);
    QCOMPARE(plot.PlotPage.ScreenRect, area);
    QVERIFY(plot.copiedPages.contains(&plot.PlotPage));
    QVERIFY(plot.copiedPages.contains(&plot.XLabelPage));
    QVERIFY(!plot.copiedPages.contains(&plot.PlotTitlePage));
    QVERIFY(!plot.copiedPages.contains(&plot.YTitlePage));
    const QImage panned = plot.canvas().copy();
    plot.Redraw();
    QCOMPARE(plot.canvas(), panned);
    // Along x only: the Y labels stay as they are.
    plot.copiedPages.clear();
    plot.SetXYMinMax(1.5, 9.5, 2, 8, true);
    QVERIFY(plot.copiedPages.contains(&plot.XLabelPage));
    QVERIFY(!plot.copiedPages.contains(&plot.YLabelPage));
    const QImage alongX = plot.canvas().copy();
    plot.Redraw();
    QCOMPARE(plot.canvas(), alongX);
    plot.SetXYMinMax(1, 9, 2, 8, true);

    // Wider Y labels: the plot area moves, titles are drawn for it.
    plot.copiedPages.clear();
    plot.SetXYMinMax(1, 9, -20000, 80000, true);
    QVERIFY(plot.PlotPage.ScreenRect.left() > area.left());
    QVERIFY(plot.copiedPages.contains(&plot.PlotTitlePage));
    const QImage relaid = plot.canvas().copy();
    plot.Redraw();
    QCOMPARE(plot.canvas(), relaid);

    // Properties copied from another control lay out and draw everything
    // at the next pan, even when the text sizes stay.
    PlotProbe other;
    other.SetPlotTitle(QStringLiteral("Another title"));
    plot.AssignPlotProperties(&other);
    plot.SetXYMinMax(1, 9, 2, 8, true);
    plot.copiedPages.clear();
    plot.SetXYMinMax(1.5, 9.5, 2, 8, true);
    plot.SetXYMinMax(1, 9, 2, 8, true);
    QVERIFY(!plot.copiedPages.contains(&plot.PlotTitlePage));
    const QImage copied = plot.canvas().copy();
    plot.Redraw();
    QCOMPARE(plot.canvas(), copied);
}

void PlotLiveTest::callersPaintAfterOwnCopiesRunsPaint_data()
{
    QTest::addColumn<bool>("updateFirst");
    QTest::newRow("change, SetPlotColor, update()") << false;
    QTest::newRow("change, update(), SetPlotColor") << true;
}

// With AutoRedraw off, a change waits for the next Paint. SetPlotColor copies
// every page in the same turn as the caller's update(): Qt merges the two
// into one paint, which must still run Paint.
void PlotLiveTest::callersPaintAfterOwnCopiesRunsPaint()
{
    QFETCH(bool, updateFirst);
    LivePlot plot;
    plot.resize(300, 250);
    const std::vector<double> x = ramp(0, 20);
    plot.XYPlot(x.data(), x.data(), 20, 1, Qt::red, TPlotStyle::Line);
    plot.show();
    QVERIFY(QTest::qWaitForWindowExposed(&plot));
    QTRY_VERIFY(plot.paints > 0);
    QTest::qWait(50);
    plot.SetAutoRedraw(false);
    const int paints = plot.paints;

    plot.SetBkGraphicColor(Qt::yellow); // not drawn yet
    QCOMPARE(countColour(plot.canvas(), Qt::yellow), 0);
    if (updateFirst)
        plot.update();
    QVERIFY(plot.SetPlotColor(Qt::blue, 1));
    if (!updateFirst)
        plot.update();
    QTRY_COMPARE(plot.paints, paints + 1);
    QVERIFY(countColour(plot.canvas(), Qt::yellow) > 1000);
    // The control's own copies alone still run no Paint.
    QTest::qWait(50);
    QVERIFY(plot.SetPlotColor(Qt::green, 1));
    QTest::qWait(50);
    QCOMPARE(plot.paints, paints + 1);
}

QTEST_MAIN(PlotLiveTest)
#include "tst_plotlive.moc"
