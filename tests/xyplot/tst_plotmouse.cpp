#include "PlotProbe.h"

#include <QtTest>

#include <vector>

namespace {
// A shown control whose 101 x 101 plot area fills it, limits 0 to 100.
void setUp(PlotProbe &plot)
{
    makeBare(plot, 101, 101, 0, 100);
    plot.show();
    QVERIFY(QTest::qWaitForWindowExposed(&plot));
    QCOMPARE(plot.PlotPage.ScreenRect, QRect(0, 0, 101, 101));
}

void drag(QWidget &w, QPoint from, QPoint to, Qt::KeyboardModifiers keys = {})
{
    QTest::mousePress(&w, Qt::LeftButton, keys, from);
    QTest::mouseMove(&w, to);
    QTest::mouseRelease(&w, Qt::LeftButton, keys, to);
}

// Pixels where two images differ.
QList<QPoint> changed(const QImage &a, const QImage &b)
{
    QList<QPoint> points;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y))
                points << QPoint(x, y);
    return points;
}

// A move without a button. QTest may still count a button of an earlier
// double click as held, and send the move to that window: a click here first
// makes this window the mouse's.
void hover(QWidget &w, QPoint p)
{
    QTest::mouseClick(&w, Qt::LeftButton, {}, p);
    QTest::mouseMove(&w, p + QPoint(1, 1));
    QTest::mouseMove(&w, p);
}

bool onOutline(QPoint p, QRect r) // r with exclusive right and bottom edges
{
    const bool inside = p.x() >= r.left() && p.x() < rectRight(r) && p.y() >= r.top()
        && p.y() < rectBottom(r);
    return inside
        && (p.x() == r.left() || p.x() == rectRight(r) - 1 || p.y() == r.top()
            || p.y() == rectBottom(r) - 1);
}
} // namespace

class PlotMouseTest : public QObject
{
    Q_OBJECT

private slots:
    void dragsChangeTheLimits_data();
    void dragsChangeTheLimits();
    void logPanMovesByDecades();
    void zoomRectangle_data();
    void zoomRectangle();
    void zoomRectangleIsErasedByDrawingItAgain();
    void doubleClickRestores();
    void withoutMouseControlOnlyTheReadOutWorks();
    void hoverRepaintsOnlyTheInfoBox();
    void dragDoesNotRefreshTheInfoBox();
    void pagesCopiedByAMove_data();
    void pagesCopiedByAMove();
    void movesOutsideThePlotAreaAreIgnored();
};

void PlotMouseTest::dragsChangeTheLimits_data()
{
    QTest::addColumn<Qt::KeyboardModifiers>("keys");
    QTest::addColumn<int>("dx");
    QTest::addColumn<int>("dy");
    QTest::addColumn<QList<double>>("limits"); // XMin, XMax, YMin, YMax
    QTest::newRow("pan right") << Qt::KeyboardModifiers() << 10 << 0 << QList<double>{-10, 90, 0, 100};
    QTest::newRow("pan down") << Qt::KeyboardModifiers() << 0 << 10 << QList<double>{0, 100, 10, 110};
    QTest::newRow("stretch right narrows")
        << Qt::KeyboardModifiers(Qt::AltModifier) << 10 << 0 << QList<double>{10, 90, 0, 100};
    QTest::newRow("stretch left widens")
        << Qt::KeyboardModifiers(Qt::AltModifier) << -10 << 0 << QList<double>{-10, 110, 0, 100};
    QTest::newRow("stretch down widens")
        << Qt::KeyboardModifiers(Qt::AltModifier) << 0 << 10 << QList<double>{0, 100, -10, 110};
    // Shift is no drag of its own: a plain pan.
    QTest::newRow("shift pans") << Qt::KeyboardModifiers(Qt::ShiftModifier) << 10 << 0
                                << QList<double>{-10, 90, 0, 100};
}

void PlotMouseTest::dragsChangeTheLimits()
{
    QFETCH(Qt::KeyboardModifiers, keys);
    QFETCH(int, dx);
    QFETCH(int, dy);
    QFETCH(QList<double>, limits);
    PlotProbe plot;
    setUp(plot);
    drag(plot, QPoint(50, 50), QPoint(50 + dx, 50 + dy), keys);
    QCOMPARE((QList<double>{plot.XMin(), plot.XMax(), plot.YMin(), plot.YMax()}), limits);
    // Drags zoom: the remembered limits stay.
    QCOMPARE(plot.HomeXMin, 0.0);
    QCOMPARE(plot.HomeXMax, 100.0);
}

void PlotMouseTest::logPanMovesByDecades()
{
    PlotProbe plot;
    setUp(plot);
    plot.SetYAxisFormat(TAxisFormat::Log);
    plot.SetXYMinMax(0, 100, 1, 100, false);
    drag(plot, QPoint(50, 20), QPoint(50, 70));
    QVERIFY(qFuzzyCompare(plot.YMin(), 10.0));
    QVERIFY(qFuzzyCompare(plot.YMax(), 1000.0));

    // Several stretch moves scale by the range each one finds.
    PlotProbe stretched;
    setUp(stretched);
    QTest::mousePress(&stretched, Qt::LeftButton, Qt::AltModifier, QPoint(50, 50));
    QTest::mouseMove(&stretched, QPoint(55, 50));
    QTest::mouseMove(&stretched, QPoint(60, 50));
    QTest::mouseRelease(&stretched, Qt::LeftButton, Qt::AltModifier, QPoint(60, 50));
    QCOMPARE(stretched.XMin(), 9.5); // 5 of 100, then 4.5 of 90
    QCOMPARE(stretched.XMax(), 90.5);
}

void PlotMouseTest::zoomRectangle_data()
{
    QTest::addColumn<QPoint>("from");
    QTest::addColumn<QPoint>("to");
    QTest::newRow("top left to bottom right") << QPoint(20, 30) << QPoint(70, 80);
    QTest::newRow("bottom right to top left") << QPoint(70, 80) << QPoint(20, 30);
    QTest::newRow("bottom left to top right") << QPoint(20, 80) << QPoint(70, 30);
}

void PlotMouseTest::zoomRectangle()
{
    QFETCH(QPoint, from);
    QFETCH(QPoint, to);
    PlotProbe plot;
    setUp(plot);
    drag(plot, from, to, Qt::ControlModifier);
    QCOMPARE(plot.XMin(), 20.0);
    QCOMPARE(plot.XMax(), 70.0);
    QCOMPARE(plot.YMin(), 20.0); // the bottom edge, row 80
    QCOMPARE(plot.YMax(), 70.0); // the top edge, row 30
    QCOMPARE(plot.HomeXMax, 100.0);

    // A click without movement zooms into the two pixels beside it.
    QTest::mouseClick(&plot, Qt::LeftButton, Qt::ControlModifier, QPoint(50, 50));
    QVERIFY(plot.XMax() > plot.XMin());
    QVERIFY(qFuzzyCompare(plot.XMax() - plot.XMin(), 2 * 50.0 / 100));
}

void PlotMouseTest::zoomRectangleIsErasedByDrawingItAgain()
{
    PlotProbe plot;
    setUp(plot);
    QTRY_COMPARE(plot.canvas().copy(plot.PlotPage.ScreenRect), plot.PlotPage.Bitmap);
    const QImage before = plot.canvas().copy();

    QTest::mousePress(&plot, Qt::LeftButton, Qt::ControlModifier, QPoint(20, 30));
    QTest::mouseMove(&plot, QPoint(70, 80));
    const QRect first = rectFromEdges(20, 30, 70, 80);
    QList<QPoint> diff = changed(before, plot.canvas());
    QVERIFY(!diff.isEmpty());
    for (const QPoint &p : diff)
        QVERIFY2(onOutline(p, first), qPrintable(QStringLiteral("%1,%2").arg(p.x()).arg(p.y())));
    // Inverted, not painted: white becomes black.
    QCOMPARE(plot.canvas().pixelColor(diff.front()), QColor(Qt::black));

    QTest::mouseMove(&plot, QPoint(40, 50));
    const QRect second = rectFromEdges(20, 30, 40, 50);
    diff = changed(before, plot.canvas());
    QVERIFY(!diff.isEmpty());
    for (const QPoint &p : diff)
        QVERIFY(onOutline(p, second));
    // Nothing but the rectangle was drawn: the limits are untouched so far.
    QCOMPARE(plot.XMax(), 100.0);

    QTest::mouseRelease(&plot, Qt::LeftButton, Qt::ControlModifier, QPoint(40, 50));
    QCOMPARE(plot.XMax(), 40.0);
    QCOMPARE(plot.canvas().copy(plot.PlotPage.ScreenRect), plot.PlotPage.Bitmap);

    // A second button during the drag starts a new rectangle and takes the
    // old one off the screen.
    const QImage again = plot.canvas().copy();
    QTest::mousePress(&plot, Qt::LeftButton, Qt::ControlModifier, QPoint(20, 30));
    QTest::mouseMove(&plot, QPoint(70, 80));
    QTest::mousePress(&plot, Qt::RightButton, Qt::ControlModifier, QPoint(60, 10));
    const QRect restarted = rectFromEdges(60, 10, 62, 12);
    diff = changed(again, plot.canvas());
    QVERIFY(!diff.isEmpty());
    for (const QPoint &p : diff)
        QVERIFY2(onOutline(p, restarted), qPrintable(QStringLiteral("%1,%2").arg(p.x()).arg(p.y())));
    QTest::mouseRelease(&plot, Qt::RightButton, Qt::ControlModifier, QPoint(60, 10));
    QCOMPARE(plot.canvas().copy(plot.PlotPage.ScreenRect), plot.PlotPage.Bitmap);
}

void PlotMouseTest::doubleClickRestores()
{
    PlotProbe plot;
    setUp(plot);
    plot.XYPlot(std::vector<double>{2, 8}.data(), std::vector<double>{3, 6}.data(), 2, 1, Qt::red,
                TPlotStyle::Line);
    drag(plot, QPoint(50, 50), QPoint(60, 60));
    QCOMPARE(plot.XMin(), -10.0);
    QTest::mouseDClick(&plot, Qt::LeftButton, {}, QPoint(50, 50));
    // No auto-scaling: back to the limits last set without zoom.
    QCOMPARE(plot.XMin(), 0.0);
    QCOMPARE(plot.XMax(), 100.0);
    QCOMPARE(plot.YMax(), 100.0);

    plot.SetXAutoScale(true);
    drag(plot, QPoint(50, 50), QPoint(60, 50));
    QTest::mouseDClick(&plot, Qt::LeftButton, {}, QPoint(50, 50));
    QCOMPARE(plot.XMin(), 2.0);
    QCOMPARE(plot.XMax(), 8.0);
    QCOMPARE(plot.YMin(), 0.0);

    // Never set without zoom: the remembered limits 0 and 0 are separated.
    PlotProbe fresh;
    fresh.SetXAutoScale(false);
    fresh.SetXMin(3);
    fresh.show();
    QVERIFY(QTest::qWaitForWindowExposed(&fresh));
    const QPoint inside = fresh.PlotPage.ScreenRect.center();
    QTest::mouseDClick(&fresh, Qt::LeftButton, {}, inside);
    QCOMPARE(fresh.XMin(), 0.0);
    QCOMPARE(fresh.XMax(), 1.0);
}

void PlotMouseTest::withoutMouseControlOnlyTheReadOutWorks()
{
    PlotProbe plot;
    setUp(plot);
    plot.MouseControl = false;
    drag(plot, QPoint(50, 50), QPoint(60, 70));
    drag(plot, QPoint(20, 30), QPoint(70, 80), Qt::ControlModifier);
    QTest::mouseDClick(&plot, Qt::LeftButton, {}, QPoint(30, 40));
    QCOMPARE((QList<double>{plot.XMin(), plot.XMax(), plot.YMin(), plot.YMax()}),
             (QList<double>{0, 100, 0, 100}));
    QTest::mouseMove(&plot, QPoint(25, 75));
    QCOMPARE(plot.MouseX(), 25.0);
    QCOMPARE(plot.MouseY(), 25.0);
}

void PlotMouseTest::hoverRepaintsOnlyTheInfoBox()
{
    PlotProbe plot;
    plot.resize(320, 240);
    plot.show();
    QVERIFY(QTest::qWaitForWindowExposed(&plot));
    QVERIFY(plot.InfoBoxFits);
    const QImage before = plot.canvas().copy();
    const QRect area = plot.PlotPage.ScreenRect;
    const QPoint at(area.left() + 10, rectBottom(area) - 10);
    hover(plot, at);
    QCOMPARE(plot.MouseX(), plot.PlotX(at.x()));
    QCOMPARE(plot.MouseY(), plot.PlotY(at.y()));
    const QList<QPoint> diff = changed(before, plot.canvas());
    QVERIFY(!diff.isEmpty());
    for (const QPoint &p : diff)
        QVERIFY(plot.InfoBoxPage.ScreenRect.contains(p));
    QCOMPARE(plot.canvas().copy(plot.InfoBoxPage.ScreenRect), plot.InfoBoxPage.Bitmap);
}

void PlotMouseTest::dragDoesNotRefreshTheInfoBox()
{
    PlotProbe plot;
    plot.resize(320, 240);
    plot.show();
    QVERIFY(QTest::qWaitForWindowExposed(&plot));
    const QRect area = plot.PlotPage.ScreenRect;
    const QPoint start(area.left() + 20, rectBottom(area) - 20);
    hover(plot, start);
    const QImage box = plot.InfoBoxPage.Bitmap.copy();
    QTest::mousePress(&plot, Qt::LeftButton, {}, start);
    // Downwards: the limits' texts and so the box keep their width.
    QTest::mouseMove(&plot, start + QPoint(0, 15));
    QVERIFY(plot.YMin() > 0);
    QCOMPARE(plot.InfoBoxPage.Bitmap, box);
    QVERIFY(plot.MouseY() != plot.PlotY(start.y())); // the read-out itself moved on
    QTest::mouseRelease(&plot, Qt::LeftButton, {}, start + QPoint(0, 15));
}

void PlotMouseTest::pagesCopiedByAMove_data()
{
    QTest::addColumn<bool>("autoRedraw");
    QTest::addColumn<bool>("dragging");
    QTest::newRow("hover") << true << false;
    QTest::newRow("hover without auto redraw") << false << false;
    QTest::newRow("drag") << true << true;
    QTest::newRow("drag without auto redraw") << false << true;
}

// A move without a button draws the info box and nothing else; a drag draws
// the plot and both label pages again.
void PlotMouseTest::pagesCopiedByAMove()
{
    QFETCH(bool, autoRedraw);
    QFETCH(bool, dragging);
    PlotProbe plot;
    plot.resize(320, 240);
    plot.show();
    QVERIFY(QTest::qWaitForWindowExposed(&plot));
    plot.SetAutoRedraw(autoRedraw);
    const std::vector<double> y{1, 3, 2, 5, 4};
    plot.XYPlot(y.data(), 5, 1, Qt::red, TPlotStyle::Line);
    plot.Redraw();
    const QPoint at = plot.PlotPage.ScreenRect.center();
    const QImage plotPage = plot.PlotPage.Bitmap.copy();
    // The mouse may still stand where an earlier row left it.
    QTest::mouseMove(&plot, at);
    if (dragging)
        QTest::mousePress(&plot, Qt::LeftButton, {}, at);
    plot.copiedPages.clear();
    QTest::mouseMove(&plot, at + QPoint(7, 3));
    if (dragging) {
        QVERIFY(plot.copiedPages.contains(&plot.PlotPage));
        QVERIFY(plot.copiedPages.contains(&plot.XLabelPage));
        QVERIFY(plot.copiedPages.contains(&plot.YLabelPage));
        QVERIFY(!plot.copiedPages.contains(&plot.InfoBoxPage));
        QTest::mouseRelease(&plot, Qt::LeftButton, {}, at + QPoint(7, 3));
    } else {
        QCOMPARE(plot.copiedPages, (QList<const TPaintPage *>{&plot.InfoBoxPage}));
        QCOMPARE(plot.PlotPage.Bitmap, plotPage);
    }
}

void PlotMouseTest::movesOutsideThePlotAreaAreIgnored()
{
    PlotProbe plot;
    plot.resize(320, 240);
    plot.SetXAutoScale(false);
    plot.SetYAutoScale(false);
    plot.show();
    QVERIFY(QTest::qWaitForWindowExposed(&plot));
    const QRect area = plot.PlotPage.ScreenRect;
    const QPoint start(area.left() + 20, area.top() + 20);
    QTest::mousePress(&plot, Qt::LeftButton, {}, start);
    // Over the Y labels: nothing happens, the distance is applied later.
    QTest::mouseMove(&plot, QPoint(area.left() - 5, start.y()));
    QCOMPARE(plot.XMin(), 0.0);
    QTest::mouseMove(&plot, start + QPoint(10, 0));
    QVERIFY(qFuzzyCompare(plot.XMin(), -10.0 * 10 / (area.width() - 1)));
    QTest::mouseRelease(&plot, Qt::LeftButton, {}, start + QPoint(10, 0));
}

QTEST_MAIN(PlotMouseTest)
#include "tst_plotmouse.moc"
