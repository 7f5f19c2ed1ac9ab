#include "components/xyplot/PaintPage.h"

#include <QFontMetrics>

#include <algorithm>
#include <cmath>

namespace {

// Far enough outside any page to be skipped or clipped, small enough that
// adding page sizes to it cannot overflow.
constexpr double PixelLimit = 1.0e9;

// Text sizes are taken on an image, like the pages' own, so that measuring and
// writing agree whatever the screen's resolution.
const QPaintDevice *measuringDevice()
{
    static const QImage device(1, 1, QImage::Format_RGB32);
    return &device;
}

} // namespace

int truncPixel(double Value)
{
    if (std::isnan(Value))
        return -static_cast<int>(PixelLimit);
    return static_cast<int>(std::clamp(Value, -PixelLimit, PixelLimit));
}

void TPaintPage::resizeBitmap(int Width, int Height)
{
    Width = std::max(Width, 0);
    Height = std::max(Height, 0);
    if (Bitmap.width() == Width && Bitmap.height() == Height)
        return;
    if (Width == 0 || Height == 0)
        Bitmap = QImage();
    else
        Bitmap = QImage(Width, Height, QImage::Format_RGB32);
    if (!Bitmap.isNull())
        Bitmap.fill(BrushColor);
}

void TPaintPage::SetPage(int Left, int Top, int Right, int Bottom)
{
    resizeBitmap(Right - Left, Bottom - Top);
    PageRect = QRect(0, 0, Right - Left, Bottom - Top);
    ScreenRect = rectFromEdges(Left, Top, Right, Bottom);
}

void TPaintPage::SetPageWidth(int Left, int Right)
{
    resizeBitmap(Right - Left, Bitmap.height());
    PageRect.setWidth(Right - Left);
    ScreenRect.setLeft(Left);
    ScreenRect.setWidth(Right - Left);
}

void TPaintPage::SetPageHeight(int Top, int Bottom)
{
    resizeBitmap(Bitmap.width(), Bottom - Top);
    PageRect.setHeight(Bottom - Top);
    ScreenRect.setTop(Top);
    ScreenRect.setHeight(Bottom - Top);
}

void TPaintPage::ClearPaintPage(QColor Color)
{
    BrushColor = Color;
    if (!Bitmap.isNull())
        Bitmap.fill(Color);
}

void TPaintPage::AssignFont(const QFont &NewFont, QColor NewFontColor)
{
    Font = NewFont;
    FontColor = NewFontColor;
}

int TPaintPage::TextWidth(const QString &Text) const
{
    return QFontMetrics(Font, measuringDevice()).horizontalAdvance(Text);
}

int TPaintPage::TextHeight(const QString &) const
{
    return QFontMetrics(Font, measuringDevice()).height();
}

PageCanvas::PageCanvas(TPaintPage &Page)
    : m_page(Page)
    , m_brush(Page.BrushColor)
{
    if (Page.Bitmap.isNull())
        return;
    m_painter.begin(&Page.Bitmap);
    m_painter.setRenderHint(QPainter::Antialiasing, false);
    m_painter.setFont(Page.Font);
    setPenColor(m_pen);
}

void PageCanvas::setPenColor(QColor Color)
{
    m_pen = Color;
    if (!isActive())
        return;
    // A cosmetic one-pixel pen: with square caps a line covers both of its
    // end points, and LineTo takes the last one back.
    QPen pen(Color, 0, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin);
    pen.setCosmetic(true);
    m_painter.setPen(pen);
}

void PageCanvas::setBrushColor(QColor Color)
{
    m_brush = Color;
}

void PageCanvas::LineTo(int X, int Y)
{
    Polyline({m_penPos, QPoint(X, Y)});
}

void PageCanvas::Polyline(const std::vector<QPoint> &Points)
{
    if (Points.empty())
        return;
    m_penPos = Points.back();
    if (!isActive() || Points.size() < 2)
        return;
    // The painter draws both ends of a line whatever its direction; the
    // rules want the last pixel left as it was. All but the last segment
    // go first, so that the pixel kept is the one they left there.
    const std::size_t last = Points.size() - 1;
    if (last > 1)
        m_painter.drawPolyline(Points.data(), static_cast<int>(last));
    const QPoint end = Points[last];
    const bool inside = m_page.Bitmap.valid(end);
    const QRgb kept = inside ? m_page.Bitmap.pixel(end) : 0;
    m_painter.drawLine(Points[last - 1], end);
    if (inside) {
        m_painter.save();
        m_painter.setCompositionMode(QPainter::CompositionMode_Source);
        m_painter.fillRect(QRect(end, QSize(1, 1)), QColor::fromRgb(kept));
        m_painter.restore();
    }
}

void PageCanvas::Rectangle(int Left, int Top, int Right, int Bottom)
{
    if (!isActive())
        return;
    if (Right < Left)
        std::swap(Left, Right);
    if (Bottom < Top)
        std::swap(Top, Bottom);
    if (Right - Left < 2 || Bottom - Top < 2) {
        // Too small for an inside: the outline fills it.
        m_painter.fillRect(rectFromEdges(Left, Top, Right, Bottom), m_pen);
        return;
    }
    m_painter.fillRect(rectFromEdges(Left + 1, Top + 1, Right - 1, Bottom - 1), m_brush);
    m_painter.setBrush(Qt::NoBrush);
    m_painter.drawRect(QRect(Left, Top, Right - Left - 1, Bottom - Top - 1));
}

void PageCanvas::FillRect(const QRect &Rect)
{
    if (isActive())
        m_painter.fillRect(Rect, m_brush);
}

void PageCanvas::FrameRect(const QRect &Rect)
{
    if (!isActive() || Rect.isEmpty())
        return;
    const QPen saved = m_painter.pen();
    QPen pen(m_brush, 0);
    pen.setCosmetic(true);
    m_painter.setPen(pen);
    m_painter.setBrush(Qt::NoBrush);
    m_painter.drawRect(Rect.adjusted(0, 0, -1, -1));
    m_painter.setPen(saved);
}

void PageCanvas::TextOut(int X, int Y, const QString &Text)
{
    if (!isActive() || Text.isEmpty())
        return;
    const QFontMetrics metrics(m_page.Font, measuringDevice());
    m_painter.fillRect(QRect(X, Y, metrics.horizontalAdvance(Text), metrics.height()), m_brush);
    const QPen saved = m_painter.pen();
    m_painter.setPen(m_page.FontColor);
    m_painter.drawText(X, Y + metrics.ascent(), Text);
    m_painter.setPen(saved);
}
