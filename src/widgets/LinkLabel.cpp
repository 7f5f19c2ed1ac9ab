#include "widgets/LinkLabel.h"

#include <QDesktopServices>
#include <QEnterEvent>
#include <QMouseEvent>

LinkLabel::LinkLabel(const QString &text, const QUrl &url, QWidget *parent)
    : QLabel(text, parent)
    , m_url(url)
{
    setCursor(Qt::PointingHandCursor);
    setToolTip(url.toString());
    setHovered(false);
}

void LinkLabel::setUrl(const QUrl &url)
{
    m_url = url;
    setToolTip(url.toString());
}

void LinkLabel::setHovered(bool hovered)
{
    m_hovered = hovered;
    QPalette pal = palette();
    pal.setColor(QPalette::WindowText, hovered ? QColor(Qt::blue) : QColor(0x00, 0x00, 0x80));
    setPalette(pal);
}

void LinkLabel::enterEvent(QEnterEvent *event)
{
    setHovered(true);
    QLabel::enterEvent(event);
}

void LinkLabel::leaveEvent(QEvent *event)
{
    setHovered(false);
    m_pressed = false;
    QLabel::leaveEvent(event);
}

void LinkLabel::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton) {
        m_pressed = true;
        event->accept();
        return;
    }
    QLabel::mousePressEvent(event);
}

// Opens on release inside the label, like a button: pressing and dragging
// away cancels.
void LinkLabel::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && m_pressed) {
        m_pressed = false;
        event->accept();
        if (rect().contains(event->position().toPoint()) && m_url.isValid())
            emit linkOpened(m_url, QDesktopServices::openUrl(m_url));
        return;
    }
    QLabel::mouseReleaseEvent(event);
}
