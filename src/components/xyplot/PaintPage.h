#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QRect>
#include <QString>

#include <vector>

// Rectangles of the plot control keep the right and bottom edges exclusive:
// QRect(Left, Top, Right - Left, Bottom - Top).
inline int rectRight(const QRect &r) { return r.x() + r.width(); }
inline int rectBottom(const QRect &r) { return r.y() + r.height(); }
inline QRect rectFromEdges(int Left, int Top, int Right, int Bottom)
{
    return QRect(Left, Top, Right - Left, Bottom - Top);
}

// A pixel position held as a double, truncated toward zero. Values that do not
// fit (infinities, NaN from degenerate limits) land far outside any page.
int truncPixel(double Value);

// One off-screen page of the plot control: its pixels, where it is shown on the
// control, and the font and text colour that its texts are written with.
class TPaintPage
{
public:
    TPaintPage() = default;

    void SetPage(int Left, int Top, int Right, int Bottom);
    void SetPageWidth(int Left, int Right);
    void SetPageHeight(int Top, int Bottom);
    void ClearPaintPage(QColor Color);
    void AssignFont(const QFont &Font, QColor FontColor = Qt::black);

    int width() const { return Bitmap.width(); }
    int height() const { return Bitmap.height(); }
    // Text sizes with the page's font, as its texts will be written.
    int TextWidth(const QString &Text) const;
    int TextHeight(const QString &Text) const;

    QImage Bitmap;
    QRect ScreenRect;
    QRect PageRect;
    QFont Font;
    QColor FontColor{Qt::black};
    // The brush that the last clearing left on the page; texts stand on it.
    QColor BrushColor{Qt::white};

private:
    void resizeBitmap(int Width, int Height);
};

// Drawing on one page with the rules of the control: no antialiasing, a line
// leaves out its last pixel, a rectangle leaves out its right and bottom edges,
// a text is written on a filled cell of the brush colour. Holds the pen
// position between MoveTo and LineTo. Does nothing on an empty page.
class PageCanvas
{
public:
    explicit PageCanvas(TPaintPage &Page);

    bool isActive() const { return m_painter.isActive(); }
    QPainter &painter() { return m_painter; }
    // Finishes the drawing, so that the page can be shown.
    void end()
    {
        if (m_painter.isActive())
            m_painter.end();
    }

    void setPenColor(QColor Color);
    void setBrushColor(QColor Color);
    QColor brushColor() const { return m_brush; }
    void MoveTo(int X, int Y) { m_penPos = QPoint(X, Y); }
    void LineTo(int X, int Y);
    // Successive LineTo calls through the points, from the first one on.
    void Polyline(const std::vector<QPoint> &Points);
    QPoint penPos() const { return m_penPos; }
    // The outline in the pen colour, the inside in the brush colour.
    void Rectangle(int Left, int Top, int Right, int Bottom);
    void FillRect(const QRect &Rect);
    // A one-pixel outline in the brush colour.
    void FrameRect(const QRect &Rect);
    void TextOut(int X, int Y, const QString &Text);

private:
    TPaintPage &m_page;
    QPainter m_painter;
    QColor m_pen{Qt::black};
    QColor m_brush{Qt::white};
    QPoint m_penPos;
};
