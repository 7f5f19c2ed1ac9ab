#include "components/xyplot/XYPlot.h"

#include "runtime/NumberFormat.h"

#include <QPaintEvent>

#include <cmath>

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
    // must not run Paint: Paint would restart the redraw timer for ever.
    const bool ownCopiesOnly =
        !m_ownUpdates.isEmpty() && (event->region() - m_ownUpdates).isEmpty();
    m_ownUpdates = QRegion();
    if (!ownCopiesOnly)
        Paint();
    QPainter painter(this);
    for (const QRect &r : event->region())
        painter.drawImage(r.topLeft(), m_canvas, r);
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
    {
        QPainter p(&m_canvas);
        p.drawImage(Page.ScreenRect.topLeft(), Page.Bitmap, Page.PageRect);
    }
    const QRect shown = Page.ScreenRect & rect();
    if (shown.isEmpty())
        return;
    m_ownUpdates += shown;
    update(shown);
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

// Every point of a plot is drawn here. Runs of connected points go to the
// painter as one polyline; a point far outside the page breaks the run.
void TXYPlot::DrawOnePlot(const TPlotListMember *Member)
{
    if (!shown() || !Member || Member->X.empty())
        return;
    const TPlotStyle style = Member->Style;
    const bool lines = style == TPlotStyle::Line || style == TPlotStyle::LinePoints
        || style == TPlotStyle::LineOpenPoints;
    const bool markers = style == TPlotStyle::Points || style == TPlotStyle::OpenPoints
        || style == TPlotStyle::LinePoints || style == TPlotStyle::LineOpenPoints;
    if (!lines && !markers)
        return;

    PageCanvas canvas(PlotPage);
    if (!canvas.isActive())
        return;
    canvas.setPenColor(Member->Color);
    const bool filled = style == TPlotStyle::Points || style == TPlotStyle::LinePoints;
    canvas.setBrushColor(filled ? Member->Color : FColor);

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

    QPoint pen(truncPixel(ScreenX(Member->X[0])), truncPixel(ScreenY(Member->Y[0])));
    const std::size_t count = Member->X.size();
    for (std::size_t i = 0; i < count; ++i) {
        const QPoint c(truncPixel(Round(ScreenX(Member->X[i]))),
                       truncPixel(Round(ScreenY(Member->Y[i]))));
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
    XLabelPage.ClearPaintPage(FColor);
    XLabelPage.AssignFont(FAxisLabelFont);
    {
        PageCanvas canvas(XLabelPage);
        for (const AxisLabel &label : XAxisLabels())
            canvas.TextOut(label.Pos.x(), label.Pos.y(), label.Text);
    }
    UpdatePaintPage(XLabelPage);
}

void TXYPlot::DrawYAxisLabels()
{
    if (!FShowYLabel)
        return;
    YLabelPage.ClearPaintPage(FColor);
    YLabelPage.AssignFont(FAxisLabelFont);
    {
        PageCanvas canvas(YLabelPage);
        for (const AxisLabel &label : YAxisLabels())
            canvas.TextOut(label.Pos.x(), label.Pos.y(), label.Text);
    }
    UpdatePaintPage(YLabelPage);
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
            for (int j = 0; j < flat.height(); ++j) {
                const int tx = j - 1;
                const int ty = m - i;
                if (turned.valid(tx, ty))
                    turned.setPixel(tx, ty, flat.pixel(i, j));
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
