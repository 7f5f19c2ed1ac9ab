#include "components/xyplot/XYPlot.h"

#include "runtime/NumberFormat.h"

#include <QPaintEvent>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <iterator>

// ---------------------------------------------------------------------------
// Painting: the control's canvas and the deferred redraw

void TXYPlot::ensureCanvas()
{
    if (m_canvas.size() == size())
        return;
    QImage resized;
    if (width() > 0 && height() > 0) {
        resized = QImage(size(), QImage::Format_RGB32);
        resized.fill(FColor);
        if (!m_canvas.isNull()) {
            QPainter p(&resized);
            p.drawImage(0, 0, m_canvas);
        }
    }
    m_canvas = resized;
}

void TXYPlot::paintEvent(QPaintEvent *event)
{
    ensureCanvas();
    // A repaint that only shows what the control itself copied to the canvas
    // must not run Paint: Paint would restart the redraw timer for ever. A
    // size change that arrives with such copies still needs the new layout.
    // A paint the caller asked for is never one of those, even when Qt has
    // merged it with them.
    const bool ownCopiesOnly = !m_callerPaint && !m_ownUpdates.isEmpty()
        && (event->region() - m_ownUpdates).isEmpty();
    m_ownUpdates = QRegion();
    m_callerPaint = false;
    if (!ownCopiesOnly || width() != LastWidth || height() != LastHeight)
        Paint();
    QPainter painter(this);
    for (const QRect &r : event->region())
        painter.drawImage(r.topLeft(), m_canvas, r);
}

// Own copies still waiting for their paint are dropped with the hiding: the
// paint that comes with the showing must not take its region for theirs.
void TXYPlot::hideEvent(QHideEvent *event)
{
    m_ownUpdates = QRegion();
    QWidget::hideEvent(event);
}

void TXYPlot::Paint()
{
    PaintTimer.stop();
    if (width() != LastWidth || height() != LastHeight) {
        LastWidth = width();
        LastHeight = height();
        ResizePaintPage();
        Redraw();
    } else if (FPaintRedrawDelay != 0) {
        PaintTimer.start(FPaintRedrawDelay);
    } else {
        Redraw();
    }
}

void TXYPlot::DoTimerPaint()
{
    PaintTimer.stop();
    Redraw();
}

void TXYPlot::UpdatePaintPage(const TPaintPage &Page)
{
    ensureCanvas();
    if (Page.Bitmap.isNull() || m_canvas.isNull())
        return;
    // Both are 32-bit images of one format: the rows are copied as they are.
    const QRect source = Page.PageRect & Page.Bitmap.rect();
    const QPoint shift = Page.ScreenRect.topLeft() - source.topLeft();
    const QRect target = source.translated(shift) & m_canvas.rect();
    if (!target.isEmpty()) {
        const std::size_t bytes = static_cast<std::size_t>(target.width()) * sizeof(QRgb);
        for (int y = target.top(); y <= target.bottom(); ++y) {
            const auto *from = reinterpret_cast<const QRgb *>(Page.Bitmap.constScanLine(y - shift.y()));
            auto *to = reinterpret_cast<QRgb *>(m_canvas.scanLine(y));
            std::memcpy(to + target.left(), from + (target.left() - shift.x()), bytes);
        }
    }
    // A hidden control gets no repaint for its copies, so they must not
    // count as its own when it is shown again: the showing runs Paint.
    const QRect shown = Page.ScreenRect & rect();
    if (shown.isEmpty() || !isVisible())
        return;
    m_ownUpdates += shown;
    QWidget::update(shown);
}

void TXYPlot::update()
{
    m_callerPaint = true;
    QWidget::update();
}

void TXYPlot::update(const QRect &Rect)
{
    m_callerPaint = true;
    QWidget::update(Rect);
}

void TXYPlot::update(const QRegion &Region)
{
    m_callerPaint = true;
    QWidget::update(Region);
}

void TXYPlot::repaint()
{
    m_callerPaint = true;
    QWidget::repaint();
}

void TXYPlot::repaint(const QRect &Rect)
{
    m_callerPaint = true;
    QWidget::repaint(Rect);
}

void TXYPlot::repaint(const QRegion &Region)
{
    m_callerPaint = true;
    QWidget::repaint(Region);
}

void TXYPlot::RedrawScreen()
{
    if (FShowXLabel)
        UpdatePaintPage(XLabelPage);
    if (FShowXTitle)
        UpdatePaintPage(XTitlePage);
    if (FShowYLabel)
        UpdatePaintPage(YLabelPage);
    if (FShowYTitle)
        UpdatePaintPage(YTitlePage);
    if (FShowPlotTitle)
        UpdatePaintPage(PlotTitlePage);
    UpdatePaintPage(PlotPage);
}

void TXYPlot::ClearPlot()
{
    m_decorationsDrawn = false;
    m_xLabelsShown.reset();
    m_yLabelsShown.reset();
    if (FShowXLabel)
        XLabelPage.ClearPaintPage(FColor);
    if (FShowXTitle)
        XTitlePage.ClearPaintPage(FColor);
    if (FShowYLabel)
        YLabelPage.ClearPaintPage(FColor);
    if (FShowYTitle) {
        YTitlePage.ClearPaintPage(FColor);
        YTitleTextPage.ClearPaintPage(FColor);
    }
    if (FShowPlotTitle)
        PlotTitlePage.ClearPaintPage(FColor);
    PlotPage.ClearPaintPage(FColor);
}

// ---------------------------------------------------------------------------
// Drawing the pages

void TXYPlot::Redraw()
{
    DrawPlotsAndLabels();
    DrawTitles();
    DrawFrames();
    m_decorationsDrawn = true;
}

void TXYPlot::DrawPlotsAndLabels()
{
    DrawAllPlots();
    DrawXAxisLabels();
    DrawYAxisLabels();
}

void TXYPlot::DrawAllPlots()
{
    if (!shown())
        return;
    PlotPage.ClearPaintPage(FBkGraphicColor);
    DrawGrid();
    DrawTicks();
    DrawAxis();
    for (const TPlotListMember *m = PlotList.First(); m; m = m->Next.get())
        DrawOnePlot(m);
    if (FShowInfoBox && InfoBoxFits) {
        PlotPage.AssignFont(FInfoBoxFont, FInfoBoxFontColor);
        PlotPage.BrushColor = FInfoBoxBkColor;
        PageCanvas canvas(PlotPage);
        canvas.FillRect(InfoBoxRect);
        const QString xLine = infoBoxXLine(FMouseX);
        const int h = PlotPage.TextHeight(xLine);
        canvas.TextOut(InfoBoxRect.left() + 2, InfoBoxRect.top(), infoBoxYLine(FMouseY));
        canvas.TextOut(InfoBoxRect.left() + 2, InfoBoxRect.top() + h + FInfoBoxStringsDistance - 1,
                       xLine);
    }
    UpdatePaintPage(PlotPage);
}

std::vector<int> TXYPlot::gridPixels(bool Vertical) const
{
    std::vector<int> pixels;
    const int count = Vertical ? FNumVertGrid : FNumHorzGrid;
    const TAxisFormat format = Vertical ? FXAxisFormat : FYAxisFormat;
    const auto screen = [this, Vertical](double v) { return Vertical ? ScreenX(v) : ScreenY(v); };
    if (format == TAxisFormat::Linear) {
        const double min = Vertical ? FXMin : FYMin;
        const double max = Vertical ? FXMax : FYMax;
        const double step = (max - min) / (count + 1);
        for (int i = 1; i <= count; ++i)
            pixels.push_back(truncPixel(Round(screen(i * step + min))));
    } else {
        const double logMin = Vertical ? LogXMin : LogYMin;
        const double logMax = Vertical ? LogXMax : LogYMax;
        for (double k = std::floor(logMin); k < logMax; ++k) {
            const double decade = std::pow(10.0, k);
            pixels.push_back(truncPixel(screen(decade)));
            const double s = (std::pow(10.0, k + 1) - decade) / (count + 1);
            for (int j = 1; j <= count; ++j)
                pixels.push_back(truncPixel(screen(decade + j * s)));
        }
    }
    return pixels;
}

void TXYPlot::DrawGrid()
{
    PageCanvas canvas(PlotPage);
    canvas.setPenColor(FGridColor);
    const int W = PlotPage.width();
    const int H = PlotPage.height();
    if (FShowHorzGrid) {
        for (const int y : gridPixels(false)) {
            canvas.MoveTo(0, y);
            canvas.LineTo(W, y);
        }
    }
    if (FShowVertGrid) {
        for (const int x : gridPixels(true)) {
            canvas.MoveTo(x, 0);
            canvas.LineTo(x, H);
        }
    }
}

void TXYPlot::DrawTicks()
{
    PageCanvas canvas(PlotPage);
    canvas.setPenColor(FAxisColor);
    const int H = PlotPage.height();
    if (FShowHorzTicks) {
        for (const int y : gridPixels(false)) {
            canvas.MoveTo(0, y);
            canvas.LineTo(FHorzTickLength, y);
        }
    }
    if (FShowVertTicks) {
        for (const int x : gridPixels(true)) {
            canvas.MoveTo(x, H);
            canvas.LineTo(x, H - FVertTickLength);
        }
    }
}

void TXYPlot::DrawAxis()
{
    if (!shown())
        return;
    PageCanvas canvas(PlotPage);
    canvas.setPenColor(FAxisColor);
    canvas.setBrushColor(FAxisColor);
    const int W = PlotPage.width();
    const int H = PlotPage.height();
    const auto box = [&] { canvas.FrameRect(PlotPage.PageRect); };
    const auto zeroLines = [&] {
        if (FYMax != FYMin) {
            const int y0 = truncPixel(ScreenY(0));
            canvas.MoveTo(0, y0);
            canvas.LineTo(W, y0);
        }
        if (FXMax != FXMin) {
            const int x0 = truncPixel(ScreenX(0));
            canvas.MoveTo(x0, 0);
            canvas.LineTo(x0, H);
        }
    };
    switch (FAxisStyle) {
    case TAxisStyle::Box:
        box();
        break;
    case TAxisStyle::Centered:
        zeroLines();
        break;
    case TAxisStyle::CenteredBox:
        box();
        zeroLines();
        break;
    case TAxisStyle::LB:
        canvas.MoveTo(0, 0);
        canvas.LineTo(0, H - 1);
        canvas.LineTo(W, H - 1);
        break;
    case TAxisStyle::None:
        break;
    }
}

namespace {

// What a plot style draws: lines between the points, markers at them, and
// whether the markers are filled with the plot's colour.
struct StyleParts
{
    bool lines;
    bool markers;
    bool filled;
};

StyleParts partsOf(TPlotStyle Style)
{
    switch (Style) {
    case TPlotStyle::Line:
        return {true, false, false};
    case TPlotStyle::Points:
        return {false, true, true};
    case TPlotStyle::OpenPoints:
        return {false, true, false};
    case TPlotStyle::LinePoints:
        return {true, true, true};
    case TPlotStyle::LineOpenPoints:
        return {true, true, false};
    }
    return {false, false, false}; // any other value draws nothing
}

// Pen in the plot's colour; markers filled with it, or with the control's
// colour for open markers. False when the page cannot be painted.
bool preparePlotCanvas(PageCanvas &Canvas, const TPlotListMember &Member, StyleParts Parts, QColor Background)
{
    if (!Canvas.isActive())
        return false;
    Canvas.setPenColor(Member.Color);
    Canvas.setBrushColor(Parts.filled ? Member.Color : Background);
    return true;
}

// A point so far outside the page that no line leads to it.
bool farAway(QPoint C, int W, int H)
{
    return C.x() < -2 * W || C.x() >= 3 * W || C.y() < -2 * H || C.y() >= 3 * H;
}

} // namespace

// Draws the same pixels as DrawOnePlotExhaustive with less work:
// - on x-sorted data only the points whose lines or markers can touch the page
//   are looked at, found by binary search;
// - consecutive points in one pixel column are thinned (PolylineThinner), and
//   on sorted data a whole column is judged from its extremes;
// - a segment whose ends both lie beyond one edge of the page ends the run;
// - of markers at one position only the last one is drawn, since it paints
//   over the earlier ones entirely.
void TXYPlot::DrawOnePlot(const TPlotListMember *Member)
{
    if (ExhaustiveDrawing) {
        DrawOnePlotExhaustive(Member);
        return;
    }
    if (!shown() || !Member || Member->X().empty())
        return;
    const TPlotStyle style = Member->Style;
    const StyleParts parts = partsOf(style);
    const bool lines = parts.lines;
    const bool markers = parts.markers;
    if (!lines && !markers)
        return;

    PageCanvas canvas(PlotPage);
    if (!preparePlotCanvas(canvas, *Member, parts, FColor))
        return;

    const int W = PlotPage.width();
    const int H = PlotPage.height();
    const int P = FPointSize;
    const int size = std::abs(P);
    // How far outside the page a point can still leave a trace: its marker,
    // and a pixel for the ends of a line.
    const int reach = size + 2;
    const AxisMap mx = xAxisMap();
    const AxisMap my = yAxisMap();
    // Indices of the plot's storage, which its summary describes; the kept
    // points start at first.
    const double *X = Member->storedX();
    const double *Y = Member->storedY();
    const std::size_t first = Member->firstIndex();
    const std::size_t count = Member->storedCount();
    const PlotSummary &summary = Member->summary();

    QPoint pen(truncPixel(mx.map(X[first])), truncPixel(my.map(Y[first])));
    std::size_t begin = first;
    std::size_t end = count;
    const bool searchable = Member->XSorted() && mx.ascendsFrom(X[first]);
    if (searchable) {
        // Everything before begin lies left of the page, out of reach; the
        // line from the last of those points into the page is still drawn.
        begin = summary.firstAtColumn(mx, X, first, count, -reach);
        if (begin > first)
            pen = QPoint(mx.pixel(X[begin - 1]), my.pixel(Y[begin - 1]));
        end = std::min(summary.firstAtColumn(mx, X, begin, count, W + reach) + 1, count);
    }

    const auto unseen = [&](QPoint A, QPoint B) {
        return (A.x() < -reach && B.x() < -reach) || (A.x() >= W + reach && B.x() >= W + reach)
            || (A.y() < -reach && B.y() < -reach) || (A.y() >= H + reach && B.y() >= H + reach);
    };
    const auto markerShows = [&](QPoint C) {
        return size > 0 && C.x() + size > 0 && C.x() - size < W && C.y() + size > 0 && C.y() - size < H;
    };
    const auto drawMarker = [&](QPoint C) { canvas.Rectangle(C.x() - P, C.y() - P, C.x() + P, C.y() + P); };

    m_run.clear();
    m_marks.clear();

    if (style == TPlotStyle::LineOpenPoints) {
        // An open marker covers the line that leads into it, and the line
        // that leaves it is drawn over it: segments and markers alternate.
        // Positions first, so that only the last marker at a place is drawn.
        for (std::size_t i = begin; i < end; ++i)
            m_marks.emplace_back(mx.pixel(X[i]), my.pixel(Y[i]));
        std::vector<bool> keep(m_marks.size(), false);
        const bool sieve = m_markerSieve.reset(-size, -size, W + 2 * size, H + 2 * size);
        for (std::size_t k = m_marks.size(); k-- > 0;) {
            const QPoint c = m_marks[k];
            if (farAway(c, W, H) || !markerShows(c))
                continue;
            keep[k] = !sieve || m_markerSieve.takeFirst(c);
        }
        for (std::size_t k = 0; k < m_marks.size(); ++k) {
            const QPoint c = m_marks[k];
            if (farAway(c, W, H)) {
                pen = c;
                continue;
            }
            // A line to where the pen already is changes nothing.
            if (c != pen && !unseen(pen, c)) {
                canvas.MoveTo(pen.x(), pen.y());
                canvas.LineTo(c.x(), c.y());
            }
            if (keep[k])
                drawMarker(c);
            pen = c;
        }
        return;
    }

    PolylineThinner thinner(m_run);
    const auto endRun = [&] {
        thinner.finish();
        canvas.Polyline(m_run);
        m_run.clear();
    };
    const auto visit = [&](QPoint c) {
        if (farAway(c, W, H)) {
            if (lines && thinner.active())
                endRun();
            pen = c;
            return;
        }
        if (lines) {
            if (unseen(pen, c)) {
                if (thinner.active())
                    endRun();
            } else if (!thinner.active()) {
                thinner.add(pen);
            }
            thinner.add(c);
        }
        if (markers && markerShows(c))
            m_marks.push_back(c);
        pen = c;
    };

    // A line alone over many points per column: each column is judged from
    // its extremes, read from the summary's blocks, without a pixel for
    // every point. Where the extremes cannot decide (a NaN, a value far
    // away), the column's points are visited one by one.
    const std::size_t columns = static_cast<std::size_t>(W) + 2 * static_cast<std::size_t>(reach);
    const bool byColumn = searchable && !markers && end - begin > 4 * columns;
    // Where each column of the page and its reach starts is found for all
    // columns at once, and the memory the columns' extremes need is asked for
    // a few columns ahead.
    const int firstColumn = -reach;
    const int lastColumn = W + reach;
    constexpr int Ahead = 24;
    if (byColumn) {
        m_columnStarts.resize(static_cast<std::size_t>(lastColumn - firstColumn + 1));
        summary.columnStarts(mx, X, begin, count, firstColumn, m_columnStarts);
    }
    for (std::size_t i = begin; i < end;) {
        if (!byColumn) {
            visit(QPoint(mx.pixel(X[i]), my.pixel(Y[i])));
            ++i;
            continue;
        }
        const int cx = mx.pixel(X[i]);
        std::size_t next;
        if (cx + 1 >= firstColumn && cx + 1 <= lastColumn) {
            next = std::clamp(m_columnStarts[cx + 1 - firstColumn], i + 1, end);
            const int ahead = std::min(cx + 1 + Ahead, lastColumn);
            summary.prefetch(Y, std::min(m_columnStarts[ahead - firstColumn], count - 1));
        } else {
            next = summary.firstAtColumn(mx, X, i + 1, end, cx + 1);
        }
        bool judged = false;
        if (next - i >= 6) {
            // The extremes of all points but the last two, which are
            // visited apart: the run may end with them.
            const ValueRange range = summary.range(Y, i, next - 2);
            // The rows follow the values, so when neither extreme is far
            // away, no point of the column is.
            // The last two must not be far away either: a run that ended
            // among the points of the column would end elsewhere.
            const QPoint low(cx, my.pixel(range.Low));
            const QPoint high(cx, my.pixel(range.High));
            const QPoint beforeLast(cx, my.pixel(Y[next - 2]));
            const QPoint last(cx, my.pixel(Y[next - 1]));
            if (!range.HasNaN && (!my.Log || range.Low > 0) && !farAway(low, W, H)
                && !farAway(high, W, H) && !farAway(beforeLast, W, H) && !farAway(last, W, H)) {
                visit(QPoint(cx, my.pixel(Y[i])));
                visit(low);
                visit(high);
                visit(beforeLast);
                visit(last);
                judged = true;
            }
        }
        if (!judged)
            for (std::size_t k = i; k < next; ++k)
                visit(QPoint(cx, my.pixel(Y[k])));
        i = next;
    }
    if (lines)
        endRun();

    // Markers after the lines, as in the exhaustive drawing; of several at
    // one place the last one.
    if (m_marks.empty())
        return;
    if (!m_markerSieve.reset(-size, -size, W + 2 * size, H + 2 * size)) {
        for (const QPoint &c : m_marks)
            drawMarker(c);
        return;
    }
    std::size_t kept = m_marks.size();
    for (std::size_t k = m_marks.size(); k-- > 0;)
        if (m_markerSieve.takeFirst(m_marks[k]))
            m_marks[--kept] = m_marks[k];
    for (std::size_t k = kept; k < m_marks.size(); ++k)
        drawMarker(m_marks[k]);
}

// Every point of a plot is drawn here, one by one. Runs of connected points
// go to the painter as one polyline; a point far outside the page breaks the
// run.
void TXYPlot::DrawOnePlotExhaustive(const TPlotListMember *Member)
{
    if (!shown() || !Member || Member->X().empty())
        return;
    const TPlotStyle style = Member->Style;
    const StyleParts parts = partsOf(style);
    const bool lines = parts.lines;
    const bool markers = parts.markers;
    if (!lines && !markers)
        return;

    PageCanvas canvas(PlotPage);
    if (!preparePlotCanvas(canvas, *Member, parts, FColor))
        return;

    const int W = PlotPage.width();
    const int H = PlotPage.height();
    const int P = FPointSize;
    // An open marker covers the line that leads into it, and the line that
    // leaves it is drawn over it: the segments and markers must alternate.
    const bool interleave = lines && style == TPlotStyle::LineOpenPoints;
    std::vector<QPoint> run;
    const auto flush = [&] {
        canvas.Polyline(run);
        run.clear();
    };
    std::vector<QPoint> marks;

    const std::span<const double> X = Member->X();
    const std::span<const double> Y = Member->Y();
    QPoint pen(truncPixel(ScreenX(X[0])), truncPixel(ScreenY(Y[0])));
    const std::size_t count = X.size();
    for (std::size_t i = 0; i < count; ++i) {
        const QPoint c(truncPixel(Round(ScreenX(X[i]))), truncPixel(Round(ScreenY(Y[i]))));
        if (c.x() < -2 * W || c.x() >= 3 * W || c.y() < -2 * H || c.y() >= 3 * H) {
            flush();
            pen = c;
            continue;
        }
        if (interleave) {
            canvas.MoveTo(pen.x(), pen.y());
            canvas.LineTo(c.x(), c.y());
            canvas.Rectangle(c.x() - P, c.y() - P, c.x() + P, c.y() + P);
        } else {
            if (lines) {
                if (run.empty())
                    run.push_back(pen);
                run.push_back(c);
            }
            if (markers)
                marks.push_back(c);
        }
        pen = c;
    }
    flush();
    // Filled markers share the pen's colour, so drawing them after the lines
    // sets the same pixels as drawing each after its own line.
    for (const QPoint &c : marks)
        canvas.Rectangle(c.x() - P, c.y() - P, c.x() + P, c.y() + P);
}

std::vector<TXYPlot::AxisLabel> TXYPlot::XAxisLabels() const
{
    std::vector<AxisLabel> labels;
    const QString minText = formatFloat(FXLabelFormatString, FXMin);
    const int row = XLabelPage.height() - XLabelPage.TextHeight(minText) + 1;
    const auto centred = [&](double v) {
        const QString text = formatFloat(FXLabelFormatString, v);
        labels.push_back({text, QPoint(truncPixel(ScreenX(v) - 0.5 * XLabelPage.TextWidth(text)), row)});
    };
    if (FXAxisFormat == TAxisFormat::Linear) {
        labels.push_back({minText, QPoint(1, row)});
        const QString maxText = formatFloat(FXLabelFormatString, FXMax);
        labels.push_back({maxText, QPoint(XLabelPage.width() - XLabelPage.TextWidth(maxText), row)});
        const double step = (FXMax - FXMin) / (FNumVertGrid + 1);
        for (int i = 1; i <= FNumVertGrid; ++i)
            centred(i * step + FXMin);
    } else {
        // Decades strictly inside the limits only.
        for (double k = std::floor(LogXMin) + 1; k < LogXMax; ++k)
            centred(std::pow(10.0, k));
    }
    return labels;
}

std::vector<TXYPlot::AxisLabel> TXYPlot::YAxisLabels() const
{
    std::vector<AxisLabel> labels;
    const int W = YLabelPage.width();
    const auto label = [&](double v) { return formatFloat(FYLabelFormatString, v); };
    if (FYAxisFormat == TAxisFormat::Linear) {
        const auto rightAligned = [&](const QString &text, int y) {
            labels.push_back({text, QPoint(W - YLabelPage.TextWidth(text) - FYLabelOffset, y)});
        };
        rightAligned(label(FYMax), 0);
        const QString minText = label(FYMin);
        rightAligned(minText, truncPixel(ScreenY(FYMin) - YLabelPage.TextHeight(minText)));
        const double step = (FYMax - FYMin) / (FNumHorzGrid + 1);
        for (int i = 1; i <= FNumHorzGrid; ++i) {
            const double v = i * step + FYMin;
            // Non-negative labels line up with negative ones.
            const QString text = (FYMin < 0 && v >= 0 ? QStringLiteral(" ") : QString()) + label(v);
            rightAligned(text, truncPixel(ScreenY(v) - YLabelPage.TextHeight(text) / 2));
        }
    } else {
        for (double k = std::floor(LogYMin) + 1; k < LogYMax; ++k) {
            const double v = std::pow(10.0, k);
            const QString text = label(v);
            labels.push_back({text, QPoint(W - YLabelPage.TextWidth(text) - 2,
                                           truncPixel(ScreenY(v) - YLabelPage.TextHeight(text) / 2))});
        }
    }
    return labels;
}

void TXYPlot::DrawXAxisLabels()
{
    if (!FShowXLabel)
        return;
    drawLabels(XLabelPage, XAxisLabels());
    m_xLabelsShown = labelsKey(true);
}

void TXYPlot::DrawYAxisLabels()
{
    if (!FShowYLabel)
        return;
    drawLabels(YLabelPage, YAxisLabels());
    m_yLabelsShown = labelsKey(false);
}

void TXYPlot::drawLabels(TPaintPage &Page, const std::vector<AxisLabel> &Labels)
{
    Page.ClearPaintPage(FColor);
    Page.AssignFont(FAxisLabelFont);
    {
        PageCanvas canvas(Page);
        for (const AxisLabel &label : Labels)
            canvas.TextOut(label.Pos.x(), label.Pos.y(), label.Text);
    }
    UpdatePaintPage(Page);
}

// Everything an axis's labels are made of besides the layout (page, font).
TXYPlot::LabelsKey TXYPlot::labelsKey(bool X) const
{
    if (X)
        return {FXMin, FXMax, LogXMin, LogXMax, FNumVertGrid, FXAxisFormat, 0, FXLabelFormatString};
    return {FYMin, FYMax, LogYMin, LogYMax, FNumHorzGrid, FYAxisFormat, FYLabelOffset, FYLabelFormatString};
}

// A pan along one axis leaves the other axis's labels as they are: their
// page is drawn only when what its labels are made of has changed.
void TXYPlot::drawChangedLabels()
{
    if (!m_xLabelsShown || *m_xLabelsShown != labelsKey(true))
        DrawXAxisLabels();
    if (!m_yLabelsShown || *m_yLabelsShown != labelsKey(false))
        DrawYAxisLabels();
}

void TXYPlot::DrawTitles()
{
    if (FShowPlotTitle) {
        PlotTitlePage.ClearPaintPage(FColor);
        PlotTitlePage.AssignFont(FPlotTitleFont);
        {
            PageCanvas canvas(PlotTitlePage);
            const int x = (PlotPage.width() - PlotTitlePage.TextWidth(FPlotTitle)) / 2
                + PlotPage.ScreenRect.left();
            canvas.TextOut(x, -1, FPlotTitle);
        }
        UpdatePaintPage(PlotTitlePage);
    }
    if (FShowXTitle) {
        XTitlePage.ClearPaintPage(FColor);
        XTitlePage.AssignFont(FAxisTitleFont);
        {
            PageCanvas canvas(XTitlePage);
            canvas.TextOut((XTitlePage.width() - XTitlePage.TextWidth(FXTitle)) / 2,
                           XTitlePage.height() - XTitlePage.TextHeight(FXTitle) + 1, FXTitle);
        }
        UpdatePaintPage(XTitlePage);
    }
    if (FShowYTitle) {
        YTitlePage.ClearPaintPage(FColor);
        YTitleTextPage.ClearPaintPage(FColor);
        YTitlePage.AssignFont(FAxisTitleFont);
        YTitleTextPage.AssignFont(FAxisTitleFont);
        const int m = (YTitleTextPage.TextWidth(FYTitle) + PlotPage.height()) / 2;
        {
            PageCanvas canvas(YTitleTextPage);
            canvas.TextOut(0, 0, FYTitle);
        }
        // A quarter turn, reading from bottom to top, centred on the plot area.
        const QImage &flat = YTitleTextPage.Bitmap;
        QImage &turned = YTitlePage.Bitmap;
        for (int i = 0; i < flat.width(); ++i) {
            const int ty = m - i;
            if (ty < 0 || ty >= turned.height())
                continue;
            auto *row = reinterpret_cast<QRgb *>(turned.scanLine(ty));
            for (int j = 0; j < flat.height(); ++j) {
                const int tx = j - 1;
                if (tx >= 0 && tx < turned.width())
                    row[tx] = reinterpret_cast<const QRgb *>(flat.constScanLine(j))[i];
            }
        }
        UpdatePaintPage(YTitlePage);
    }
}

void TXYPlot::DrawFrames()
{
    const std::pair<int, TPaintPage *> frames[] = {
        {FTopFrameOffset, &TopFramePage},
        {FLeftFrameOffset, &LeftFramePage},
        {FBottomFrameOffset, &BottomFramePage},
    };
    for (const auto &[offset, page] : frames) {
        if (offset == 0)
            continue;
        page->ClearPaintPage(FColor);
        UpdatePaintPage(*page);
    }
}

void TXYPlot::DrawInfoBox()
{
    if (!FShowInfoBox || !InfoBoxFits || !shown())
        return;
    InfoBoxPage.ClearPaintPage(FInfoBoxBkColor);
    InfoBoxPage.AssignFont(FInfoBoxFont, FInfoBoxFontColor);
    {
        PageCanvas canvas(InfoBoxPage);
        const QString xLine = infoBoxXLine(FMouseX);
        canvas.TextOut(2, 0, infoBoxYLine(FMouseY));
        canvas.TextOut(2, InfoBoxPage.TextHeight(xLine) + FInfoBoxStringsDistance - 1, xLine);
    }
    UpdatePaintPage(InfoBoxPage);
}
