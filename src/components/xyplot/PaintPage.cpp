#include "components/xyplot/PaintPage.h"

#include <QFontMetrics>

#include <algorithm>
#include <cmath>
#include <cstdint>

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

void drawLinePixels(uchar *Bits, qsizetype BytesPerLine, QSize Size, QPoint A, QPoint B, QRgb Color)
{
    const std::int64_t dx = std::int64_t(B.x()) - A.x();
    const std::int64_t dy = std::int64_t(B.y()) - A.y();
    // A column or a row, which dense data draws most, in a loop of its own.
    if (dx == 0 || dy == 0) {
        const bool column = dx == 0;
        if (column ? A.x() < 0 || A.x() >= Size.width() : A.y() < 0 || A.y() >= Size.height())
            return;
        const int along = column ? Size.height() : Size.width();
        const int from = std::max(0, column ? std::min(A.y(), B.y()) : std::min(A.x(), B.x()));
        const int to = std::min(along - 1, column ? std::max(A.y(), B.y()) : std::max(A.x(), B.x()));
        if (column) {
            uchar *at = Bits + from * BytesPerLine + qsizetype(A.x()) * qsizetype(sizeof(QRgb));
            for (int y = from; y <= to; ++y, at += BytesPerLine)
                *reinterpret_cast<QRgb *>(at) = Color;
        } else if (from <= to) {
            QRgb *row = reinterpret_cast<QRgb *>(Bits + A.y() * BytesPerLine);
            std::fill(row + from, row + to + 1, Color);
        }
        return;
    }
    // Walk along the longer axis u; v is the other one.
    const bool alongX = std::abs(dx) >= std::abs(dy);
    const std::int64_t du = alongX ? dx : dy;
    const std::int64_t dv = alongX ? dy : dx;
    const std::int64_t u0 = alongX ? A.x() : A.y();
    const std::int64_t v0 = alongX ? A.y() : A.x();
    const std::int64_t uSize = alongX ? Size.width() : Size.height();
    const std::int64_t vSize = alongX ? Size.height() : Size.width();
    const std::int64_t steps = std::abs(du);
    const std::int64_t su = du >= 0 ? 1 : -1;
    // The steps t whose u = u0 + su * t lies on the image.
    const std::int64_t tFrom = std::max<std::int64_t>(0, su > 0 ? -u0 : u0 - (uSize - 1));
    const std::int64_t tTo = std::min<std::int64_t>(steps, su > 0 ? uSize - 1 - u0 : u0);
    if (tFrom > tTo)
        return;
    const auto set = [&](std::int64_t u, std::int64_t v) {
        if (v < 0 || v >= vSize)
            return;
        const std::int64_t x = alongX ? u : v;
        const std::int64_t y = alongX ? v : u;
        reinterpret_cast<QRgb *>(Bits + y * BytesPerLine)[x] = Color;
    };
    if (steps == 0) {
        set(u0, v0);
        return;
    }
    // v(t) = v0 + floor((2 t dv + steps) / (2 steps)), stepped with its
    // remainder; |dv| <= steps, so v moves by one at most per step.
    const std::int64_t den = 2 * steps;
    const __int128 num = static_cast<__int128>(2) * tFrom * dv + steps;
    __int128 q = num / den;
    if (num % den != 0 && num < 0)
        --q;
    std::int64_t v = v0 + static_cast<std::int64_t>(q);
    std::int64_t r = static_cast<std::int64_t>(num - q * den);
    for (std::int64_t t = tFrom; t <= tTo; ++t) {
        set(u0 + su * t, v);
        r += 2 * dv;
        if (r >= den) {
            r -= den;
            ++v;
        } else if (r < 0) {
            r += den;
            --v;
        }
    }
}

namespace {

// The pixels a polyline sets in one column, gathered while they touch and
// set at once. All are of one colour and none is read back meanwhile, so the
// order in which they are set does not matter; dense data gives a run of a
// few segments per column, which then costs one pass down the column.
class ColumnInk
{
public:
    ColumnInk(uchar *Bits, qsizetype BytesPerLine, QSize Size, QRgb Color)
        : m_bits(Bits)
        , m_stride(BytesPerLine)
        , m_size(Size)
        , m_color(Color)
    {
    }

    void add(int X, int From, int To)
    {
        if (From > To)
            std::swap(From, To);
        if (m_active && X == m_x && std::int64_t(From) <= std::int64_t(m_high) + 1
            && std::int64_t(To) >= std::int64_t(m_low) - 1) {
            m_low = std::min(m_low, From);
            m_high = std::max(m_high, To);
            return;
        }
        flush();
        m_active = true;
        m_x = X;
        m_low = From;
        m_high = To;
    }
    // The segment from A to B in the next or the previous column, exactly as
    // drawLinePixels sets it: each end's column takes the rows up to where
    // the line crosses to the other.
    void addStep(QPoint A, QPoint B)
    {
        const std::int64_t dx = std::int64_t(B.x()) - A.x();
        const std::int64_t dy = std::int64_t(B.y()) - A.y();
        if (std::abs(dy) <= 1) {
            add(A.x(), A.y(), A.y());
            add(B.x(), B.y(), B.y());
            return;
        }
        // Along y with steps = |dy|, the column moves at the first step t
        // where floor((2 t dx + steps) / (2 steps)) is no longer 0; both rows
        // lie between the ends.
        const std::int64_t steps = std::abs(dy);
        const std::int64_t sy = dy > 0 ? 1 : -1;
        const std::int64_t turn = dx > 0 ? (steps + 1) / 2 : steps / 2 + 1;
        add(A.x(), A.y(), static_cast<int>(A.y() + sy * (turn - 1)));
        add(B.x(), static_cast<int>(A.y() + sy * turn), B.y());
    }
    // Sets what was gathered; must come before a pixel is read back.
    void flush()
    {
        if (!m_active)
            return;
        m_active = false;
        drawLinePixels(m_bits, m_stride, m_size, QPoint(m_x, m_low), QPoint(m_x, m_high), m_color);
    }

private:
    uchar *m_bits;
    qsizetype m_stride;
    QSize m_size;
    QRgb m_color;
    bool m_active = false;
    int m_x = 0;
    int m_low = 0;
    int m_high = 0;
};

} // namespace

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
    if (NewFont == Font && NewFont.resolveMask() == Font.resolveMask() && NewFontColor == FontColor)
        return;
    Font = NewFont;
    FontColor = NewFontColor;
    m_metrics.reset();
    m_widths.clear();
    m_cells.clear();
}

const QFontMetrics &TPaintPage::metrics() const
{
    if (!m_metrics)
        m_metrics.emplace(Font, measuringDevice());
    return *m_metrics;
}

int TPaintPage::TextWidth(const QString &Text) const
{
    const auto found = m_widths.constFind(Text);
    if (found != m_widths.cend())
        return *found;
    if (m_widths.size() > 512)
        m_widths.clear();
    const int width = metrics().horizontalAdvance(Text);
    m_widths.insert(Text, width);
    return width;
}

int TPaintPage::TextHeight(const QString &) const
{
    return metrics().height();
}

const QImage &TPaintPage::textCell(const QString &Text, QColor Brush) const
{
    if (Brush != m_cellsBrush) {
        m_cells.clear();
        m_cellsBrush = Brush;
    }
    const auto found = m_cells.constFind(Text);
    if (found != m_cells.cend())
        return *found;
    if (m_cells.size() > 256)
        m_cells.clear();
    const QFontMetrics &fm = metrics();
    const int width = TextWidth(Text);
    const QRect cell(0, 0, width, fm.height());
    // Glyphs that stand out of the cell are drawn over what lies beside it,
    // which a cell cannot know: such texts are written each time.
    const QRect ink = fm.boundingRect(Text).translated(0, fm.ascent());
    QImage image;
    if (width > 0 && cell.contains(ink)) {
        image = QImage(cell.size(), QImage::Format_RGB32);
        image.fill(Brush);
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setFont(Font);
        p.setPen(FontColor);
        p.drawText(0, fm.ascent(), Text);
    }
    return *m_cells.insert(Text, image);
}

PageCanvas::PageCanvas(TPaintPage &Page)
    : m_page(Page)
    , m_brush(Page.BrushColor)
{
    if (Page.Bitmap.isNull())
        return;
    // The painter and the lines write into the same pixels: the image is
    // made its own before either starts.
    m_bits = Page.Bitmap.bits();
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
    // Every segment is drawn with both ends, so that the pixels of a run do
    // not depend on how it is cut into segments. The rules want the last
    // pixel left as it was: all but the last segment go first, so that the
    // pixel kept is the one they left there.
    QImage &image = m_page.Bitmap;
    const qsizetype stride = image.bytesPerLine();
    const QSize size = image.size();
    const QRgb colour = m_pen.rgb();
    const std::size_t last = Points.size() - 1;
    ColumnInk ink(m_bits, stride, size, colour);
    for (std::size_t i = 0; i + 1 < last;) {
        const QPoint &a = Points[i];
        const QPoint &b = Points[i + 1];
        if (b.x() == a.x()) {
            // Successive segments within one column make one span from the
            // lowest to the highest of their ends.
            int low = a.y();
            int high = a.y();
            std::size_t j = i + 1;
            for (; j < last && Points[j].x() == a.x(); ++j) {
                low = std::min(low, Points[j].y());
                high = std::max(high, Points[j].y());
            }
            ink.add(a.x(), low, high);
            i = j - 1;
            continue;
        }
        if (std::abs(std::int64_t(b.x()) - a.x()) == 1)
            ink.addStep(a, b);
        else
            drawLinePixels(m_bits, stride, size, a, b, colour);
        ++i;
    }
    ink.flush();
    const QPoint end = Points[last];
    const bool inside = image.valid(end);
    const QRgb kept = inside ? image.pixel(end) : 0;
    drawLinePixels(m_bits, stride, size, Points[last - 1], end, colour);
    if (inside)
        reinterpret_cast<QRgb *>(m_bits + end.y() * stride)[end.x()] = kept;
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
    if (Rect.width() >= 2 && Rect.height() >= 2 && m_brush.alpha() == 255
        && m_page.Bitmap.rect().contains(Rect)) {
        // The four edges as rows and columns of pixels: the painter's path
        // for an outline costs as much as all the lines of a plot. (Cut by
        // the page's edge, the painter leaves out a corner: that case stays
        // with it.)
        const qsizetype stride = m_page.Bitmap.bytesPerLine();
        const QSize size = m_page.Bitmap.size();
        const QRgb colour = m_brush.rgb();
        drawLinePixels(m_bits, stride, size, Rect.topLeft(), Rect.topRight(), colour);
        drawLinePixels(m_bits, stride, size, Rect.bottomLeft(), Rect.bottomRight(), colour);
        drawLinePixels(m_bits, stride, size, Rect.topLeft(), Rect.bottomLeft(), colour);
        drawLinePixels(m_bits, stride, size, Rect.topRight(), Rect.bottomRight(), colour);
        return;
    }
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
    const QImage &cell = m_page.textCell(Text, m_brush);
    if (!cell.isNull()) {
        m_painter.drawImage(X, Y, cell);
        return;
    }
    const QFontMetrics &metrics = m_page.metrics();
    m_painter.fillRect(QRect(X, Y, m_page.TextWidth(Text), metrics.height()), m_brush);
    const QPen saved = m_painter.pen();
    m_painter.setPen(m_page.FontColor);
    m_painter.drawText(X, Y + metrics.ascent(), Text);
    m_painter.setPen(saved);
}
