#include "PlotProbe.h"

#include <QtTest>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

namespace {
constexpr double Inf = std::numeric_limits<double>::infinity();
constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

struct Series
{
    std::vector<double> x;
    std::vector<double> y;
};

// The data sets the drawings are compared on, by name.
Series makeSeries(const QString &kind, int n)
{
    std::mt19937 random(12345);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    Series s;
    for (int i = 0; i < n; ++i) {
        const double t = 10.0 * i / std::max(n - 1, 1);
        double x = t;
        double y = 5 + 4 * std::sin(3 * t) + unit(random) - 0.5;
        if (kind == "unsorted") {
            x = 10 * unit(random);
        } else if (kind == "spikes") {
            if (i % 97 == 0)
                y = i % 2 ? 400 : -300;
        } else if (kind == "far outside") {
            if (i % 13 == 0)
                x = i % 2 ? 1e6 : -1e6;
            if (i % 17 == 0)
                y = i % 2 ? -1e7 : 1e7;
        } else if (kind == "not finite") {
            if (i % 11 == 0)
                y = NaN;
            if (i % 29 == 0)
                y = i % 2 ? Inf : -Inf;
            if (i % 31 == 0)
                x = NaN;
        } else if (kind == "sorted with NaN and inf") {
            // Sorted x with non-finite y: the columns must not be judged
            // from their extremes alone.
            if (i % 7 == 0)
                y = NaN;
            if (i % 19 == 0)
                y = i % 2 ? Inf : -Inf;
            if (i == n - 1)
                x = Inf;
        } else if (kind == "one place") {
            x = 5;
            y = 5;
        } else if (kind == "steps") {
            // Few distinct values: many points share a pixel.
            x = std::floor(t * 4) / 4;
            y = std::floor(y);
        } else if (kind == "log range") {
            x = std::pow(10.0, 4 * t / 10 - 1) - (i < n / 20 ? 1 : 0); // a few at or below zero
            y = i % 5 == 0 ? -y : std::pow(10.0, y / 3);
        }
        s.x.push_back(x);
        s.y.push_back(y);
    }
    return s;
}

struct View
{
    double xMin, xMax, yMin, yMax;
    bool logX = false;
    bool logY = false;
};
} // namespace
Q_DECLARE_METATYPE(View)
namespace {

// Appends the points in pieces of many sizes.
void appendInPieces(TXYPlot &plot, const std::vector<double> &x, const std::vector<double> &y,
                    int number, QColor colour, TPlotStyle style)
{
    const int pieces[] = {1, 5, 16, 97, 1000, 2};
    std::size_t at = 0;
    for (int k = 0; at < x.size(); ++k) {
        const int n = static_cast<int>(std::min<std::size_t>(pieces[k % 6], x.size() - at));
        plot.AppendPlotPoints(x.data() + at, y.data() + at, n, number, colour, style);
        at += n;
    }
}

// Draws the page both ways and returns the number of pixels that differ.
int differingPixels(PlotProbe &plot, QImage *exhaustive = nullptr)
{
    plot.ExhaustiveDrawing = true;
    plot.DrawAllPlots();
    const QImage reference = plot.PlotPage.Bitmap.copy();
    plot.ExhaustiveDrawing = false;
    plot.DrawAllPlots();
    const QImage &thinned = plot.PlotPage.Bitmap;
    if (exhaustive)
        *exhaustive = reference;
    int n = 0;
    for (int y = 0; y < reference.height(); ++y) {
        for (int x = 0; x < reference.width(); ++x) {
            if (reference.pixel(x, y) == thinned.pixel(x, y))
                continue;
            if (++n <= 3)
                qWarning("pixel (%d, %d): %08x drawn as %08x", x, y, reference.pixel(x, y),
                         thinned.pixel(x, y));
        }
    }
    return n;
}
} // namespace

class PlotThinningTest : public QObject
{
    Q_OBJECT

private slots:
    void roundedPixelMatchesRound_data();
    void roundedPixelMatchesRound();
    void ascendingData_data();
    void ascendingData();
    void sameImageAsDrawingEveryPoint_data();
    void sameImageAsDrawingEveryPoint();
    void zoomedIntoSortedDataKeepsTheLinesIntoThePage();
    void tenMillionPoints();
    void summaryAnswersAsThePoints_data();
    void summaryAnswersAsThePoints();
    void copiedPlotKeepsItsOrderFlag();
    void linePixelsAreClippedNotMoved_data();
    void linePixelsAreClippedNotMoved();
    void linesWithFarEnds_data();
    void linesWithFarEnds();
    void polylineSetsThePixelsOfItsSegments_data();
    void polylineSetsThePixelsOfItsSegments();
    void frameIsThePaintersOutline_data();
    void frameIsThePaintersOutline();
    void cachedTextLooksAsWrittenDirectly_data();
    void cachedTextLooksAsWrittenDirectly();
};

void PlotThinningTest::roundedPixelMatchesRound_data()
{
    QTest::addColumn<double>("value");
    const double values[] = {0.0,   -0.0,   0.5,    -0.5,   2.5,     -2.5,     1.4999999999999,
                             1.49999999999, -1.4999999999999, 0.49999999999999989, 1e-300,
                             -0.4,  3.0e8,  -3.0e8, 1.5e9,  -1.5e9,  1e300,    -1e300,
                             Inf,   -Inf,   NaN,    999999999.5, -999999999.5, 12345.678};
    for (const double v : values)
        QTest::newRow(qPrintable(QString::number(v, 'g', 17))) << v;
    std::mt19937 random(7);
    std::uniform_real_distribution<double> wide(-5000.0, 5000.0);
    for (int i = 0; i < 200; ++i) {
        // Values at and near halves, where the rounding turns.
        const double v = std::floor(wide(random)) + 0.5 + (i % 3 - 1) * 1e-13;
        QTest::newRow(qPrintable(QStringLiteral("near half %1").arg(i))) << v;
    }
}

void PlotThinningTest::roundedPixelMatchesRound()
{
    QFETCH(double, value);
    QCOMPARE(roundedPixel(value), truncPixel(TXYPlot::Round(value)));
}

void PlotThinningTest::ascendingData_data()
{
    QTest::addColumn<QList<double>>("values");
    QTest::addColumn<bool>("ascending");
    QTest::newRow("empty") << QList<double>{} << true;
    QTest::newRow("one") << QList<double>{3} << true;
    QTest::newRow("equal runs") << QList<double>{1, 1, 2, 2, 2, 5} << true;
    QTest::newRow("infinite ends") << QList<double>{-Inf, 0, Inf} << true;
    QTest::newRow("one step down") << QList<double>{1, 2, 3, 2.5, 4} << false;
    QTest::newRow("NaN first") << QList<double>{NaN, 1, 2} << false;
    QTest::newRow("NaN alone") << QList<double>{NaN} << false;
    QTest::newRow("NaN inside") << QList<double>{1, NaN, 2} << false;
    QTest::newRow("NaN last") << QList<double>{1, 2, NaN} << false;
}

void PlotThinningTest::ascendingData()
{
    QFETCH(QList<double>, values);
    QFETCH(bool, ascending);
    PlotProbe plot;
    plot.XYPlot(values.data(), values.data(), static_cast<int>(values.size()), 1, Qt::red,
                TPlotStyle::Line);
    QCOMPARE(plot.plotList().First()->XSorted(), ascending);
}

void PlotThinningTest::sameImageAsDrawingEveryPoint_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("points");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<View>("view");
    QTest::addColumn<int>("style");
    QTest::addColumn<int>("pointSize");
    QTest::addColumn<int>("pieces");

    const QList<QSize> sizes{{2, 2}, {3, 7}, {101, 61}, {300, 250}};
    const View full{-0.5, 10.5, -1, 11};
    const View zoomed{4.2, 4.9, 2, 8};            // sorted data searched for its range
    const View inverted{10.5, -0.5, 11, -1};      // limits the other way round
    const View logBoth{0.05, 2000, 0.1, 500, true, true};
    const struct
    {
        const char *kind;
        int points;
        View view;
    } sets[] = {
        {"sorted", 5000, full},      {"sorted", 5000, zoomed},  {"sorted", 300, full},
        {"sorted", 5000, inverted},  {"unsorted", 2000, full},   {"unsorted", 2000, zoomed},
        {"spikes", 5000, full},      {"far outside", 2000, full}, {"far outside", 2000, zoomed},
        {"not finite", 2000, full},   {"sorted with NaN and inf", 5000, full},
        {"one place", 500, full},     {"steps", 5000, full},     {"log range", 5000, logBoth},
        {"log range", 2000, View{1, 100, 0.5, 50, true, false}},
        // Other densities: far points then fall elsewhere in the columns.
        {"spikes", 1500, full},       {"sorted with NaN and inf", 1500, zoomed},
    };
    for (const auto &set : sets) {
        for (const QSize size : sizes) {
            for (int style = 0; style <= 4; ++style) {
                // Marker sizes only matter where there are markers.
                const QList<int> pointSizes = style == 0 ? QList<int>{2} : QList<int>{0, 1, 3};
                for (const int pointSize : pointSizes) {
                    const View &v = set.view;
                    const QString name = QStringLiteral("%1 %2 [%3..%4]%5 %6x%7 style %8 size %9")
                                             .arg(set.kind)
                                             .arg(set.points)
                                             .arg(v.xMin)
                                             .arg(v.xMax)
                                             .arg(v.logX ? " log" : "")
                                             .arg(size.width())
                                             .arg(size.height())
                                             .arg(style)
                                             .arg(pointSize);
                    QTest::newRow(qPrintable(name))
                        << QString(set.kind) << set.points << size << v << style << pointSize << 0;
                }
                // The same data appended in pieces, and through a rolling
                // limit that has dropped points before them: on the smaller
                // pages (there the columns are dense and read from the
                // summary), with a line among the two plots' styles.
                for (const int pieces : {1, 2}) {
                    if (size.width() > 200 || (style != 0 && style != 2))
                        continue;
                    const View &v = set.view;
                    const QString name = QStringLiteral("%1 %2 [%3..%4]%5 %6x%7 style %8 %9")
                                             .arg(set.kind)
                                             .arg(set.points)
                                             .arg(v.xMin)
                                             .arg(v.xMax)
                                             .arg(v.logX ? " log" : "")
                                             .arg(size.width())
                                             .arg(size.height())
                                             .arg(style)
                                             .arg(pieces == 1 ? "appended" : "rolling");
                    QTest::newRow(qPrintable(name))
                        << QString(set.kind) << set.points << size << v << style << 1 << pieces;
                }
            }
        }
    }
}

// Thinning the points must not change a single pixel: the exhaustive drawing
// is the reference. Two plots overlap, so the order of drawing shows too.
void PlotThinningTest::sameImageAsDrawingEveryPoint()
{
    QFETCH(QString, kind);
    QFETCH(int, points);
    QFETCH(QSize, size);
    QFETCH(View, view);
    QFETCH(int, style);
    QFETCH(int, pointSize);
    QFETCH(int, pieces);

    PlotProbe plot;
    makeBare(plot, size.width(), size.height());
    plot.SetColor(Qt::gray);
    plot.SetPointSize(pointSize);
    plot.SetXAxisFormat(view.logX ? TAxisFormat::Log : TAxisFormat::Linear);
    plot.SetYAxisFormat(view.logY ? TAxisFormat::Log : TAxisFormat::Linear);
    plot.SetXYMinMax(view.xMin, view.xMax, view.yMin, view.yMax, false);
    plot.show();
    QVERIFY(QTest::qWaitForWindowExposed(&plot));
    QCOMPARE(plot.PlotPage.Bitmap.size(), size);

    const Series s = makeSeries(kind, points);
    // A second plot over the first, shifted and of another style.
    std::vector<double> shifted(s.y);
    for (double &v : shifted)
        v = v * 0.9 + 0.3;
    const auto give = [&](const std::vector<double> &y, int number, QColor colour, TPlotStyle st) {
        if (pieces == 0) {
            plot.XYPlot(s.x.data(), y.data(), points, number, colour, st);
            return;
        }
        if (pieces == 2) {
            // Points out of order and far away, all dropped by the limit.
            const Series before = makeSeries("far outside", points / 3 + 5);
            plot.AppendPlotPoints(before.x.data(), before.y.data(), points / 3 + 5, number, colour, st);
            plot.SetPlotMaxPoints(points, number);
        }
        appendInPieces(plot, s.x, y, number, colour, st);
    };
    give(s.y, 1, Qt::red, TPlotStyle(style));
    give(shifted, 2, Qt::blue, TPlotStyle((style + 3) % 5));
    if (pieces != 0) {
        std::vector<double> kept(static_cast<std::size_t>(points));
        QVERIFY(plot.GetPlotY(kept.data(), 1));
        QVERIFY(std::memcmp(kept.data(), s.y.data(), kept.size() * sizeof(double)) == 0);
    }

    QImage reference;
    QCOMPARE(differingPixels(plot, &reference), 0);
    // The comparison means something only where the plots left a trace.
    if (size.width() > 50 && kind != "one place")
        QVERIFY(countColour(reference, Qt::white) < size.width() * size.height());
}

// A view of 1 % of sorted data: the lines from the points just outside the
// page into it are drawn, as when every point is drawn.
void PlotThinningTest::zoomedIntoSortedDataKeepsTheLinesIntoThePage()
{
    PlotProbe plot;
    makeBare(plot, 101, 101, 0, 10);
    plot.show();
    QVERIFY(QTest::qWaitForWindowExposed(&plot));
    // Points 1 apart on x: a view from 4.2 to 4.9 holds none of them.
    const std::vector<double> x{0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
    const std::vector<double> y{0, 10, 0, 10, 0, 10, 0, 10, 0, 10};
    plot.XYPlot(x.data(), y.data(), 10, 1, Qt::red, TPlotStyle::Line);
    plot.SetXYMinMax(4.2, 4.9, 0, 10, true);
    QImage reference;
    QCOMPARE(differingPixels(plot, &reference), 0);
    // The steep line from (4, 0) to (5, 10) crosses the page.
    QVERIFY(countColour(reference, Qt::red) > 50);
}

// The summary at the size it is made for: 10^7 sorted points with spikes far
// outside and NaN among them, drawn over a page of 1000 columns.
void PlotThinningTest::tenMillionPoints()
{
    const int n = 10000000;
    std::vector<double> x(n);
    std::vector<double> y(n);
    std::uint64_t state = 88172645463325252ull;
    for (int i = 0; i < n; ++i) {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        x[i] = 10.0 * i / (n - 1);
        y[i] = 5 + 4 * std::sin(3 * x[i]) + (state >> 11) * 0x1.0p-53 - 0.5;
        if (i % 1000003 == 0)
            y[i] = i % 2 ? 1e9 : -1e9;
        if (i % 3000017 == 0)
            y[i] = NaN;
    }
    PlotProbe plot;
    makeBare(plot, 1000, 600);
    plot.SetXYMinMax(-0.5, 10.5, -1, 11, false);
    plot.show();
    QVERIFY(QTest::qWaitForWindowExposed(&plot));
    plot.XYPlot(x.data(), y.data(), n, 1, Qt::red, TPlotStyle::Line);
    const TPlotListMember &m = *plot.plotList().First();
    // At most an eighth of the data's memory.
    QVERIFY(m.summary().bytes() * 8 <= static_cast<std::size_t>(n) * 2 * sizeof(double));
    QImage reference;
    QCOMPARE(differingPixels(plot, &reference), 0);
    QVERIFY(countColour(reference, Qt::red) > 20000);
}

void PlotThinningTest::summaryAnswersAsThePoints_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("from"); // the first point asked about
    QTest::addColumn<bool>("log");
    for (const int count : {1, 15, 16, 17, 129, 1000, 70001})
        QTest::newRow(qPrintable(QStringLiteral("%1").arg(count))) << count << 0 << false;
    QTest::newRow("70001 from 333, log") << 70001 << 333 << true;
    QTest::newRow("20000 from 5000") << 20000 << 5000 << false;
}

// Extremes and column searches on points with steps, NaN and infinities,
// built at once and piece by piece, against reading every point. Points
// before From are out of order, as a rolling limit leaves them.
void PlotThinningTest::summaryAnswersAsThePoints()
{
    QFETCH(int, count);
    QFETCH(int, from);
    QFETCH(bool, log);
    std::mt19937 random(count);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    std::vector<double> x(count);
    std::vector<double> y(count);
    double at = 1;
    for (int i = 0; i < count; ++i) {
        at += unit(random) < 0.3 ? 0 : unit(random) * 1000.0 / count;
        x[i] = i < from ? 1000 * unit(random) : at;
        const double r = unit(random);
        y[i] = r < 0.001 ? NaN : r < 0.002 ? Inf : r < 0.003 ? -Inf : 100 * std::sin(i * 0.01) + r;
    }
    if (count > 100 && from == 0) {
        x.back() = Inf;
        std::fill(y.begin() + 20, y.begin() + 60, NaN); // blocks with nothing finite
    }
    PlotSummary whole;
    whole.extend(x.data(), y.data(), x.size());
    PlotSummary pieces;
    for (std::size_t n = 0; n < x.size(); n += 1 + n % 37)
        pieces.extend(x.data(), y.data(), n);
    pieces.extend(x.data(), y.data(), x.size());
    QVERIFY(pieces.sameAs(whole));
    QCOMPARE(whole.points(), x.size() / PlotSummary::BlockPoints * PlotSummary::BlockPoints);

    std::uniform_int_distribution<int> index(from, count - 1);
    for (int q = 0; q < 300; ++q) {
        int a = index(random);
        int b = index(random) + 1;
        if (a >= b)
            std::swap(a, b);
        if (a == b)
            continue;
        const ValueRange expected = valueRange(y.data() + a, b - a);
        const ValueRange got = whole.range(y.data(), a, b);
        QCOMPARE(got.HasNaN, expected.HasNaN);
        if (!expected.HasNaN) {
            QCOMPARE(got.Low, expected.Low);
            QCOMPARE(got.High, expected.High);
        }
        double low = 0, high = 0, min = 0, max = 0;
        bool seeded = false;
        for (int i = a; i < b; ++i) {
            if (!std::isfinite(y[i]))
                continue;
            low = seeded ? std::min(low, y[i]) : y[i];
            high = seeded ? std::max(high, y[i]) : y[i];
            seeded = true;
        }
        QCOMPARE(whole.finiteRange(y.data(), a, b, min, max), seeded);
        if (seeded) {
            QCOMPARE(min, low);
            QCOMPARE(max, high);
        }
    }

    // A page of 100 columns over part of the points.
    if (count < 4)
        return;
    AxisMap map;
    map.Log = log;
    map.Span = 99;
    map.Min = log ? std::log10(x[from] * 1.5) : x[from] + 10;
    map.Range = log ? std::log10(x[count / 2]) - map.Min : (x[count - 2] - x[from]) / 1.5;
    const auto first = [&](int column, int lo, int hi) {
        for (int i = lo; i < hi; ++i)
            if (map.pixel(x[i]) >= column)
                return static_cast<std::size_t>(i);
        return static_cast<std::size_t>(hi);
    };
    std::vector<std::size_t> starts(140);
    whole.columnStarts(map, x.data(), from, x.size(), -20, starts);
    for (int c = -20; c < 120; ++c) {
        QCOMPARE(starts[c + 20], first(c, from, count));
        const int lo = index(random);
        const int hi = std::max(lo, index(random));
        QCOMPARE(whole.firstAtColumn(map, x.data(), lo, hi, c), first(c, lo, hi));
    }
}

void PlotThinningTest::copiedPlotKeepsItsOrderFlag()
{
    PlotProbe source;
    const std::vector<double> sorted{1, 2, 3};
    const std::vector<double> unsorted{3, 1, 2};
    source.XYPlot(sorted.data(), sorted.data(), 3, 1, Qt::red, TPlotStyle::Line);
    source.XYPlot(unsorted.data(), sorted.data(), 3, 2, Qt::red, TPlotStyle::Line);
    PlotProbe copy;
    copy.AssignPlotData(&source);
    QCOMPARE(copy.order(), (QList<int>{1, 2}));
    QVERIFY(copy.plotList().First()->XSorted());
    QVERIFY(!copy.plotList().First()->Next->XSorted());
    // Replacing the data checks the order again.
    copy.XYPlot(unsorted.data(), sorted.data(), 3, 1, Qt::red, TPlotStyle::Line);
    QVERIFY(!copy.plotList().First()->XSorted());
}

namespace {
QImage linePicture(QSize size, QPoint a, QPoint b)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    drawLinePixels(image.bits(), image.bytesPerLine(), size, a, b, qRgb(255, 0, 0));
    return image;
}
} // namespace

void PlotThinningTest::linePixelsAreClippedNotMoved_data()
{
    QTest::addColumn<QPoint>("a");
    QTest::addColumn<QPoint>("b");
    QTest::newRow("inside") << QPoint(3, 4) << QPoint(30, 20);
    QTest::newRow("steep, reversed") << QPoint(25, 28) << QPoint(21, 1);
    QTest::newRow("across from the left") << QPoint(-57, 3) << QPoint(33, 21);
    QTest::newRow("across from above") << QPoint(12, -90) << QPoint(18, 70);
    QTest::newRow("corner to corner beyond") << QPoint(-45, -37) << QPoint(95, 71);
    QTest::newRow("right to left, shallow") << QPoint(140, 2) << QPoint(-120, 27);
    QTest::newRow("passing outside") << QPoint(-30, 10) << QPoint(10, -30);
    QTest::newRow("one point") << QPoint(7, 7) << QPoint(7, 7);
    QTest::newRow("diagonal") << QPoint(-5, -5) << QPoint(50, 50);
    QTest::newRow("column, upwards, through both edges") << QPoint(17, 80) << QPoint(17, -60);
    QTest::newRow("column at the last x") << QPoint(39, 2) << QPoint(39, 29);
    QTest::newRow("column left of the image") << QPoint(-1, 0) << QPoint(-1, 29);
    QTest::newRow("column below the image") << QPoint(5, 30) << QPoint(5, 90);
    QTest::newRow("row, leftwards, through both edges") << QPoint(70, 12) << QPoint(-9, 12);
    QTest::newRow("row at the last y") << QPoint(0, 29) << QPoint(39, 29);
    QTest::newRow("row above the image") << QPoint(0, -1) << QPoint(39, -1);
    QTest::newRow("row right of the image") << QPoint(40, 3) << QPoint(90, 3);
}

// A line drawn on a small image is the same line drawn on a large one, cut
// out: clipping leaves out pixels, it never shifts them.
void PlotThinningTest::linePixelsAreClippedNotMoved()
{
    QFETCH(QPoint, a);
    QFETCH(QPoint, b);
    const QSize small(40, 30);
    const QPoint shift(300, 300);
    const QImage clipped = linePicture(small, a, b);
    const QImage whole = linePicture(QSize(640, 640), a + shift, b + shift);
    QCOMPARE(clipped, whole.copy(QRect(shift, small)));
    // One pixel per step along the longer axis, both ends included.
    const int steps = std::max(std::abs(b.x() - a.x()), std::abs(b.y() - a.y()));
    QCOMPARE(countColour(whole, Qt::red), steps + 1);
    QCOMPARE(whole.pixelColor(a + shift), QColor(Qt::red));
    QCOMPARE(whole.pixelColor(b + shift), QColor(Qt::red));
}

void PlotThinningTest::linesWithFarEnds_data()
{
    QTest::addColumn<QPoint>("a");
    QTest::addColumn<QPoint>("b");
    QTest::addColumn<QList<QPoint>>("pixels"); // on a 6 x 4 image
    const int far = 1000000000;
    QTest::newRow("row across") << QPoint(-far, 2) << QPoint(far, 2)
                                << QList<QPoint>{{0, 2}, {1, 2}, {2, 2}, {3, 2}, {4, 2}, {5, 2}};
    QTest::newRow("diagonal through") << QPoint(-far, -far) << QPoint(far, far)
                                      << QList<QPoint>{{0, 0}, {1, 1}, {2, 2}, {3, 3}};
    QTest::newRow("column up") << QPoint(4, far) << QPoint(4, -far)
                               << QList<QPoint>{{4, 0}, {4, 1}, {4, 2}, {4, 3}};
    // Rises by one row over 10^9 columns: the first half stays on row 0.
    QTest::newRow("almost flat") << QPoint(0, 0) << QPoint(far, 1)
                                 << QList<QPoint>{{0, 0}, {1, 0}, {2, 0}, {3, 0}, {4, 0}, {5, 0}};
    QTest::newRow("far away") << QPoint(-far, -far) << QPoint(-far + 5, far) << QList<QPoint>{};
}

void PlotThinningTest::linesWithFarEnds()
{
    QFETCH(QPoint, a);
    QFETCH(QPoint, b);
    QFETCH(QList<QPoint>, pixels);
    const QImage image = linePicture(QSize(6, 4), a, b);
    QList<QPoint> set;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixelColor(x, y) == Qt::red)
                set << QPoint(x, y);
    std::sort(set.begin(), set.end(), [](QPoint p, QPoint q) { return p.x() != q.x() ? p.x() < q.x() : p.y() < q.y(); });
    QCOMPARE(set, pixels);
}

void PlotThinningTest::polylineSetsThePixelsOfItsSegments_data()
{
    QTest::addColumn<int>("xStep");   // x moves by up to this each point
    QTest::addColumn<int>("yReach");  // y lies up to this far outside the page
    QTest::addColumn<bool>("far");    // now and then a point 10^9 away
    QTest::newRow("dense columns") << 1 << 5 << false;
    QTest::newRow("dense, steep, leaving the page") << 1 << 60 << false;
    QTest::newRow("dense with far points") << 1 << 10 << true;
    QTest::newRow("wider steps") << 3 << 20 << false;
    QTest::newRow("wide steps with far points") << 9 << 40 << true;
}

// A polyline is its segments drawn one after the other, each with both ends,
// leaving out only the very last pixel: gathering a column's pixels before
// setting them must not change a single one.
void PlotThinningTest::polylineSetsThePixelsOfItsSegments()
{
    QFETCH(int, xStep);
    QFETCH(int, yReach);
    QFETCH(bool, far);
    std::mt19937 random(4711 + xStep * 31 + yReach);
    const int width = 48;
    const int height = 36;
    for (int round = 0; round < 200; ++round) {
        std::uniform_int_distribution<int> step(-xStep, xStep);
        std::uniform_int_distribution<int> row(-yReach, height - 1 + yReach);
        std::uniform_int_distribution<int> chance(0, 39);
        std::vector<QPoint> points;
        int x = -3;
        const int count = 2 + static_cast<int>(random() % 120);
        for (int k = 0; k < count; ++k) {
            // Mostly forward, several points to a column, as dense data.
            x += std::abs(step(random)) * (chance(random) < 4 ? -1 : 1);
            QPoint p(x, row(random));
            if (far && chance(random) == 0)
                p = QPoint(x, chance(random) < 20 ? -1000000000 : 1000000000);
            points.push_back(p);
        }
        const auto pageWith = [&](const auto &Draw) {
            TPaintPage page;
            page.SetPage(0, 0, width, height);
            page.ClearPaintPage(Qt::white);
            // Some ink already there: the pixel left out must keep it.
            for (int y = 0; y < height; y += 3)
                reinterpret_cast<QRgb *>(page.Bitmap.scanLine(y))[(y * 7) % width] = qRgb(0, 0, 255);
            PageCanvas canvas(page);
            canvas.setPenColor(Qt::red);
            Draw(canvas);
            canvas.end();
            return page.Bitmap;
        };
        const QImage whole = pageWith([&](PageCanvas &c) { c.Polyline(points); });
        const QImage bySegment = pageWith([&](PageCanvas &c) {
            c.MoveTo(points[0].x(), points[0].y());
            for (std::size_t k = 1; k < points.size(); ++k)
                c.LineTo(points[k].x(), points[k].y());
        });
        if (whole != bySegment)
            QFAIL(qPrintable(QStringLiteral("round %1 of %2 points differs").arg(round).arg(points.size())));
    }
}

void PlotThinningTest::frameIsThePaintersOutline_data()
{
    QTest::addColumn<QRect>("rect");
    QTest::newRow("the whole page") << QRect(0, 0, 40, 30);
    QTest::newRow("inside") << QRect(5, 4, 20, 11);
    QTest::newRow("two by two") << QRect(7, 7, 2, 2);
    QTest::newRow("two wide") << QRect(3, 2, 2, 17);
    QTest::newRow("two high") << QRect(3, 2, 17, 2);
    QTest::newRow("one wide") << QRect(9, 1, 1, 12);
    QTest::newRow("over the top left") << QRect(-6, -3, 20, 10);
    QTest::newRow("over the bottom right") << QRect(30, 25, 20, 10);
    QTest::newRow("around the page") << QRect(-1, -1, 42, 32);
}

// The page's frame is set pixel by pixel; it must be the outline the painter
// draws with a one-pixel pen.
void PlotThinningTest::frameIsThePaintersOutline()
{
    QFETCH(QRect, rect);
    TPaintPage page;
    page.SetPage(0, 0, 40, 30);
    page.ClearPaintPage(Qt::white);
    {
        PageCanvas canvas(page);
        canvas.setBrushColor(QColor(10, 120, 200));
        canvas.FrameRect(rect);
    }
    QImage expected(40, 30, QImage::Format_RGB32);
    expected.fill(Qt::white);
    {
        QPainter p(&expected);
        QPen pen(QColor(10, 120, 200), 0);
        pen.setCosmetic(true);
        p.setPen(pen);
        p.drawRect(rect.adjusted(0, 0, -1, -1));
    }
    QCOMPARE(page.Bitmap, expected);
}

void PlotThinningTest::cachedTextLooksAsWrittenDirectly_data()
{
    QTest::addColumn<QFont>("font");
    QTest::addColumn<QString>("text");
    QFont italic(QStringLiteral("Sans"), 14);
    italic.setItalic(true);
    QTest::newRow("label") << QFont(QStringLiteral("Sans"), 8) << QStringLiteral("-12.5000");
    QTest::newRow("read-out") << QFont(QStringLiteral("Sans"), 9) << QStringLiteral("Ампл. = 0.125 кГц");
    QTest::newRow("italic, beyond its cell") << italic << QStringLiteral("fj/Wf");
}

// Texts are kept as pixels after their first writing; every writing must look
// as when the painter writes the text itself.
void PlotThinningTest::cachedTextLooksAsWrittenDirectly()
{
    QFETCH(QFont, font);
    QFETCH(QString, text);
    TPaintPage page;
    page.SetPage(0, 0, 160, 40);
    page.ClearPaintPage(Qt::yellow);
    page.AssignFont(font, Qt::blue);

    QImage direct(160, 40, QImage::Format_RGB32);
    direct.fill(Qt::yellow);
    {
        QPainter p(&direct);
        const QFontMetrics metrics = page.metrics();
        p.setFont(font);
        p.fillRect(QRect(7, 5, metrics.horizontalAdvance(text), metrics.height()), Qt::yellow);
        p.setPen(Qt::blue);
        p.drawText(7, 5 + metrics.ascent(), text);
    }
    for (int round = 0; round < 2; ++round) {
        page.ClearPaintPage(Qt::yellow);
        {
            PageCanvas canvas(page);
            canvas.TextOut(7, 5, text);
        }
        QCOMPARE(page.Bitmap, direct);
    }
}

QTEST_MAIN(PlotThinningTest)
#include "tst_plotthinning.moc"
