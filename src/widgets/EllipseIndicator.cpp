#include "widgets/EllipseIndicator.h"

#include <QPainter>

EllipseIndicator::EllipseIndicator(QWidget *parent)
    : QWidget(parent)
{
}

void EllipseIndicator::setBrushColor(const QColor &color)
{
    if (color == m_brushColor)
        return;
    m_brushColor = color;
    update();
    emit brushColorChanged(color);
}

void EllipseIndicator::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::black, 1));
    painter.setBrush(m_brushColor);
    // Half a pixel in, so that the 1-pixel outline lies inside the widget.
    painter.drawEllipse(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5));
}
