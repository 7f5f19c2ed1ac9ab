#pragma once

#include <QLabel>
#include <QUrl>

// A label that is a link: navy text, blue while the mouse is over it, a hand
// cursor, and a left click opens its URL with the desktop's handler for that
// kind of link (the browser for a web page, the mail program for mailto:).
class LinkLabel : public QLabel
{
    Q_OBJECT
    Q_PROPERTY(QUrl url READ url WRITE setUrl)

public:
    explicit LinkLabel(const QString &text = QString(), const QUrl &url = QUrl(),
                       QWidget *parent = nullptr);

    QUrl url() const { return m_url; }
    void setUrl(const QUrl &url);

    bool isHovered() const { return m_hovered; }

signals:
    void linkOpened(const QUrl &url, bool succeeded);

protected:
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    void setHovered(bool hovered);

    QUrl m_url;
    bool m_hovered = false;
    bool m_pressed = false;
};
