#include "components/designer/XYPlotPlugin.h"

#include "components/designer/VektraGroup.h"
#include "components/xyplot/XYPlot.h"

#include <QIcon>
#include <QPainter>
#include <QPixmap>

XYPlotPlugin::XYPlotPlugin(QObject *parent) : QObject(parent) {}

QString XYPlotPlugin::name() const
{
    return QStringLiteral("TXYPlot");
}

QString XYPlotPlugin::group() const
{
    return vektraGroup();
}

QString XYPlotPlugin::toolTip() const
{
    return QStringLiteral("XY plot: data series over axes, grid, titles and an info box");
}

QString XYPlotPlugin::whatsThis() const
{
    return QStringLiteral(
        "Draws any number of data series as lines and/or point markers over axes, grid lines, "
        "ticks, axis labels and titles, with an info box that reads out the data position under "
        "the mouse. The user pans by dragging, stretches with Alt, zooms into a rectangle with "
        "Ctrl and returns with a double click.");
}

QString XYPlotPlugin::includeFile() const
{
    return QStringLiteral("components/xyplot/XYPlot.h");
}

// Two axes with a curve.
QIcon XYPlotPlugin::icon() const
{
    QPixmap pixmap(22, 22);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.fillRect(QRect(1, 1, 20, 20), Qt::white);
    painter.setPen(Qt::black);
    painter.drawLine(3, 2, 3, 19);
    painter.drawLine(3, 19, 20, 19);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::blue, 1.5));
    painter.drawPolyline(QPolygonF{{4, 16}, {8, 8}, {12, 13}, {16, 5}, {20, 9}});
    return QIcon(pixmap);
}

bool XYPlotPlugin::isContainer() const
{
    return false;
}

QWidget *XYPlotPlugin::createWidget(QWidget *parent)
{
    return new TXYPlot(parent);
}

bool XYPlotPlugin::isInitialized() const
{
    return m_initialized;
}

void XYPlotPlugin::initialize(QDesignerFormEditorInterface *)
{
    m_initialized = true;
}

// The control's own initial size.
QString XYPlotPlugin::domXml() const
{
    return QStringLiteral(R"(<ui language="c++">
 <widget class="TXYPlot" name="xyPlot">
  <property name="geometry">
   <rect><x>0</x><y>0</y><width>300</width><height>250</height></rect>
  </property>
 </widget>
</ui>
)");
}
