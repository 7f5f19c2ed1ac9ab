#include "widgets/StaticText.h"

#include <QPalette>

StaticText::StaticText(const QString &text, QWidget *parent, Kind kind)
    : QLabel(text, parent)
{
    if (kind == Kind::Display) {
        setFrameStyle(QFrame::Panel | QFrame::Sunken);
        setAlignment(Qt::AlignCenter);
        setAutoFillBackground(true);
        QPalette p = palette();
        p.setColor(QPalette::Window, p.color(QPalette::Base));
        setPalette(p);
    } else {
        setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    }
}

void StaticText::setTextColor(const QColor &color)
{
    QPalette p = palette();
    p.setColor(QPalette::Active, QPalette::WindowText, color);
    p.setColor(QPalette::Inactive, QPalette::WindowText, color);
    setPalette(p);
}
