#include "components/designer/LButtonPlugin.h"

#include "components/designer/VektraGroup.h"
#include "components/lbutton/LButton.h"

#include <QIcon>
#include <QPainter>
#include <QPixmap>

LButtonPlugin::LButtonPlugin(QObject *parent) : QObject(parent) {}

QString LButtonPlugin::name() const
{
    return QStringLiteral("TLButton");
}

QString LButtonPlugin::group() const
{
    return vektraGroup();
}

QString LButtonPlugin::toolTip() const
{
    return QStringLiteral("Labelled button: a button above a colour box and a text box");
}

QString LButtonPlugin::whatsThis() const
{
    return QStringLiteral(
        "A speed button whose caption is Label, above a strip holding a colour box (ColorBoxBk) "
        "and a text box (TextBoxBk) with Text centred in it. Either box can be hidden; the button "
        "and each box raise their own click signals. GroupIndex and AllowAllUp make buttons with "
        "the same parent work as a group.");
}

QString LButtonPlugin::includeFile() const
{
    return QStringLiteral("components/lbutton/LButton.h");
}

// A button above a red colour box and a white text box.
QIcon LButtonPlugin::icon() const
{
    QPixmap pixmap(22, 22);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setPen(Qt::darkGray);
    painter.setBrush(QColor(0xe0, 0xe0, 0xe0));
    painter.drawRect(1, 2, 19, 10);
    painter.setPen(Qt::black);
    painter.fillRect(QRect(1, 12, 6, 8), Qt::red);
    painter.fillRect(QRect(7, 12, 14, 8), Qt::white);
    painter.drawPolyline(QPolygon{{1, 12}, {1, 19}, {20, 19}, {20, 12}});
    painter.drawLine(6, 12, 6, 19);
    painter.drawLine(4, 7, 17, 7);
    return QIcon(pixmap);
}

bool LButtonPlugin::isContainer() const
{
    return false;
}

QWidget *LButtonPlugin::createWidget(QWidget *parent)
{
    return new TLButton(parent);
}

bool LButtonPlugin::isInitialized() const
{
    return m_initialized;
}

void LButtonPlugin::initialize(QDesignerFormEditorInterface *)
{
    m_initialized = true;
}

// Height and Width are given here so that Designer always writes them: they
// must reach the control before the box sizes when the form is loaded.
QString LButtonPlugin::domXml() const
{
    return QStringLiteral(R"(<ui language="c++">
 <widget class="TLButton" name="lButton">
  <property name="geometry">
   <rect><x>0</x><y>0</y><width>75</width><height>45</height></rect>
  </property>
  <property name="Height"><number>45</number></property>
  <property name="Width"><number>75</number></property>
 </widget>
</ui>
)");
}
