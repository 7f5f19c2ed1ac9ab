#include "PlotProbe.h"

#include <QtTest>

class PlotPropertiesTest : public QObject
{
    Q_OBJECT

private slots:
    void initialValues();
    void resetRestoresTheInitialValue();
    void clamps_data();
    void clamps();
    void enumsBySetByName();
    void autoRedrawOffThenOn();
    void xTitleDoesNotLayOutAgain();
    void fontsTakeRoom();
    void paintRequestsCollapseIntoOneRedraw();
    void sizeChangeIsDrawnAtOnce();
    void paintAfterOwnCopies();
    void changeSignal();
};

void PlotPropertiesTest::initialValues()
{
    PlotProbe plot;
    QCOMPARE(plot.size(), QSize(300, 250));
    QCOMPARE(plot.PlotTitle(), QStringLiteral("XY Plot"));
    QCOMPARE(plot.XTitle(), QStringLiteral("X Axis"));
    QCOMPARE(plot.YTitle(), QStringLiteral("Y Axis"));
    QCOMPARE(plot.InfoBoxY1(), QStringLiteral("Ампл. = "));
    QCOMPARE(plot.InfoBoxX2(), QStringLiteral(" млс"));
    QCOMPARE(plot.XMin(), 0.0);
    QCOMPARE(plot.YMax(), 10.0);
    QCOMPARE(plot.AxisStyle(), TAxisStyle::CenteredBox);
    QCOMPARE(plot.Color(), QColor(0xC0, 0xC0, 0xC0));
    QCOMPARE(plot.BkGraphicColor(), QGuiApplication::palette().color(QPalette::Button));
    QCOMPARE(plot.InfoBoxBkColor(), QColor(0x80, 0x80, 0x80));
    QCOMPARE(plot.YLabelOffset(), 2);
    QCOMPARE(plot.YLabelFormatString(), QStringLiteral("0.0000"));
    QVERIFY(plot.MouseControl);
    QVERIFY(plot.AutoRedraw());
    QCOMPARE(plot.PaintTimer.interval(), 1000);
    QVERIFY(!plot.PaintTimer.isActive());
    QCOMPARE(plot.PaintTimer.objectName(), QStringLiteral("PaintTimer"));
    // Once shown: limits from the data as soon as there are plots.
    const double y[] = {4, 6};
    plot.XYPlot(y, 2, 1, Qt::red, TPlotStyle::Line);
    QCOMPARE(plot.YMin(), 4.0);
    QCOMPARE(plot.XMax(), 1.0);
}

void PlotPropertiesTest::resetRestoresTheInitialValue()
{
    PlotProbe fresh;
    PlotProbe plot;
    const QMetaObject *meta = plot.metaObject();
    int resettable = 0;
    for (int i = meta->propertyOffset(); i < meta->propertyCount(); ++i) {
        const QMetaProperty property = meta->property(i);
        if (!property.isResettable())
            continue;
        ++resettable;
        QVERIFY(property.isWritable());
        QVariant other;
        if (property.isEnumType())
            other = QString::fromLatin1(property.enumerator().key(1));
        else if (property.userType() == QMetaType::Int)
            other = 7;
        else if (property.userType() == QMetaType::Bool)
            other = !property.read(&plot).toBool();
        else
            other = QColor(1, 2, 3);
        QVERIFY(property.write(&plot, other));
        QVERIFY(property.reset(&plot));
        QVERIFY2(property.read(&plot) == property.read(&fresh), property.name());
    }
    QVERIFY(resettable >= 20);
}

void PlotPropertiesTest::clamps_data()
{
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<int>("written");
    QTest::addColumn<int>("stored");
    QTest::newRow("delay negative") << QByteArray("PaintRedrawDelay") << -300 << 300;
    QTest::newRow("point size 0") << QByteArray("PointSize") << 0 << 1;
    QTest::newRow("point size 25") << QByteArray("PointSize") << 25 << 10;
    QTest::newRow("horizontal tick beyond width") << QByteArray("HorzTickLength") << 500 << 300;
    QTest::newRow("vertical tick beyond height") << QByteArray("VertTickLength") << 500 << 250;
    QTest::newRow("negative tick") << QByteArray("VertTickLength") << -4 << 0;
    QTest::newRow("negative grid count") << QByteArray("NumVertGrid") << -1 << 0;
    QTest::newRow("grid count") << QByteArray("NumHorzGrid") << 5 << 5;
    QTest::newRow("huge horizontal grid count") << QByteArray("NumHorzGrid") << INT_MAX << TXYPlot::MaxGridLines;
    QTest::newRow("huge vertical grid count") << QByteArray("NumVertGrid") << INT_MAX << TXYPlot::MaxGridLines;
}

void PlotPropertiesTest::clamps()
{
    QFETCH(QByteArray, name);
    QFETCH(int, written);
    QFETCH(int, stored);
    PlotProbe plot;
    QVERIFY(plot.setProperty(name.constData(), written));
    QCOMPARE(plot.property(name.constData()).toInt(), stored);
    if (name == "PaintRedrawDelay") {
        QCOMPARE(plot.PaintTimer.interval(), stored);
        QVERIFY(!plot.PaintTimer.isActive());
    }
}

void PlotPropertiesTest::enumsBySetByName()
{
    PlotProbe plot;
    QVERIFY(plot.setProperty("AxisStyle", QStringLiteral("LB")));
    QCOMPARE(plot.AxisStyle(), TAxisStyle::LB);
    QVERIFY(plot.setProperty("XAxisFormat", QStringLiteral("Log")));
    QCOMPARE(plot.XAxisFormat(), TAxisFormat::Log);
    const QMetaProperty property = plot.metaObject()->property(plot.metaObject()->indexOfProperty("AxisStyle"));
    QVERIFY(property.isEnumType());
    QCOMPARE(QByteArray(property.enumerator().valueToKey(int(TAxisStyle::None))), QByteArray("None"));
}

void PlotPropertiesTest::autoRedrawOffThenOn()
{
    PlotProbe plot;
    plot.show();
    QVERIFY(QTest::qWaitForWindowExposed(&plot));
    const QPoint inPlot = plot.PlotPage.ScreenRect.center() + QPoint(0, 30);
    QTRY_COMPARE(plot.canvas().pixelColor(inPlot), plot.BkGraphicColor());
    plot.SetAutoRedraw(false);
    plot.SetBkGraphicColor(Qt::blue);
    plot.SetShowPlotTitle(false);
    plot.SetPlotTitle(QStringLiteral("Other"));
    QVERIFY(plot.canvas().pixelColor(inPlot) != QColor(Qt::blue));
    plot.SetAutoRedraw(true);
    QCOMPARE(plot.canvas().pixelColor(inPlot), QColor(Qt::blue));
}

void PlotPropertiesTest::xTitleDoesNotLayOutAgain()
{
    PlotProbe plot;
    plot.show();
    QVERIFY(QTest::qWaitForWindowExposed(&plot));
    const int width = plot.GetPlotPixelWidth();
    plot.resize(400, 250); // laid out again only by the next paint or a setter that does
    plot.SetXTitle(QStringLiteral("Time"));
    plot.SetPlotTitle(QStringLiteral("Signal"));
    QCOMPARE(plot.GetPlotPixelWidth(), width);
    plot.SetYTitle(QStringLiteral("Level"));
    QCOMPARE(plot.GetPlotPixelWidth(), width + 100);
}

void PlotPropertiesTest::fontsTakeRoom()
{
    PlotProbe plot;
    plot.ResizePaintPage();
    const int height = plot.GetPlotPixelHeight();
    QFont big = plot.AxisLabelFont();
    big.setPixelSize(40);
    plot.SetAxisLabelFont(big);
    QVERIFY(plot.GetPlotPixelHeight() < height - 20);
    QCOMPARE(plot.XLabelPage.Font.pixelSize(), 40);
    QCOMPARE(plot.YLabelPage.Font.pixelSize(), 40);
}

void PlotPropertiesTest::paintRequestsCollapseIntoOneRedraw()
{
    PlotProbe plot;
    plot.show();
    QVERIFY(QTest::qWaitForWindowExposed(&plot));
    plot.SetPaintRedrawDelay(30);
    QSignalSpy fired(&plot.PaintTimer, &QTimer::timeout);
    plot.SetAutoRedraw(false);
    plot.SetBkGraphicColor(Qt::blue);
    const QPoint inPlot = plot.PlotPage.ScreenRect.center() + QPoint(0, 30);
    for (int i = 0; i < 10; ++i)
        plot.repaint();
    // Each paint restarted the delay; nothing is drawn before it ends.
    QVERIFY(plot.PaintTimer.isActive());
    QVERIFY(plot.canvas().pixelColor(inPlot) != QColor(Qt::blue));
    QTRY_COMPARE(fired.count(), 1);
    QCOMPARE(plot.canvas().pixelColor(inPlot), QColor(Qt::blue));
    // Showing its own copies does not start the timer again.
    QTest::qWait(150);
    QCOMPARE(fired.count(), 1);
    QVERIFY(!plot.PaintTimer.isActive());
}

void PlotPropertiesTest::sizeChangeIsDrawnAtOnce()
{
    PlotProbe plot;
    plot.show();
    QVERIFY(QTest::qWaitForWindowExposed(&plot));
    plot.SetPaintRedrawDelay(10000);
    plot.resize(360, 260);
    plot.repaint();
    QVERIFY(!plot.PaintTimer.isActive());
    QCOMPARE(rectRight(plot.PlotPage.ScreenRect), 360);
    QCOMPARE(plot.canvas().copy(plot.PlotPage.ScreenRect), plot.PlotPage.Bitmap);
}

// The control's own copies to the canvas must not hide a paint that needs
// the whole Paint: a shrink in the same turn as a redraw, or a show after
// pages were copied while hidden.
void PlotPropertiesTest::paintAfterOwnCopies()
{
    {
        PlotProbe plot;
        plot.show();
        QVERIFY(QTest::qWaitForWindowExposed(&plot));
        plot.Redraw();
        plot.resize(200, 150);
        QTRY_COMPARE(rectRight(plot.PlotPage.ScreenRect), 200);
        QCOMPARE(rectBottom(plot.PlotPage.ScreenRect) < 150, true);
    }
    {
        PlotProbe plot;
        const double x[] = {0.0, 10.0};
        const double y[] = {5.0, 5.0};
        plot.XYPlot(x, y, 2, 1, Qt::red, TPlotStyle::Line);
        plot.SetXYMinMax(0.0, 10.0, 0.0, 10.0, false);
        plot.SetPlotColor(Qt::red, 1);
        plot.show();
        QVERIFY(QTest::qWaitForWindowExposed(&plot));
        const int row = plot.PlotPage.ScreenRect.top() + truncPixel(TXYPlot::Round(plot.ScreenY(5.0)));
        QTRY_COMPARE(plot.canvas().pixelColor(plot.PlotPage.ScreenRect.center().x(), row),
                     QColor(Qt::red));
    }
}

void PlotPropertiesTest::changeSignal()
{
    PlotProbe plot;
    QSignalSpy spy(&plot, &TXYPlot::changed);
    plot.SetXTitle(QStringLiteral("x"));
    QCOMPARE(spy.count(), 0); // the control never calls it itself
    plot.Change();
    QCOMPARE(spy.count(), 1);
}

QTEST_MAIN(PlotPropertiesTest)
#include "tst_plotproperties.moc"
