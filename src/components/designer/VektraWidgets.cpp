#include "components/designer/VektraWidgets.h"

#include "components/designer/LButtonPlugin.h"
#include "components/designer/XYPlotPlugin.h"

VektraWidgets::VektraWidgets(QObject *parent) : QObject(parent)
{
    // The wrappers are children of the collection and go with it.
    m_widgets.append(new XYPlotPlugin(this));
    m_widgets.append(new LButtonPlugin(this));
}

QList<QDesignerCustomWidgetInterface *> VektraWidgets::customWidgets() const
{
    return m_widgets;
}
