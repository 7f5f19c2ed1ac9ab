#pragma once

#include <QColor>
#include <QWidget>

// A filled ellipse with a thin black outline that covers the whole widget:
// a status lamp whose fill colour the program sets.
class EllipseIndicator : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(QColor brushColor READ brushColor WRITE setBrushColor NOTIFY brushColorChanged)

public:
    explicit EllipseIndicator(QWidget *parent = nullptr);

    QColor brushColor() const { return m_brushColor; }
    void setBrushColor(const QColor &color);

    QSize sizeHint() const override { return {40, 40}; }

signals:
    void brushColorChanged(const QColor &color);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QColor m_brushColor = Qt::white;
};
