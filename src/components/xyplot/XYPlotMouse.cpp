#include "components/xyplot/XYPlot.h"

#include <QMouseEvent>

#include <cmath>
#include <cstdlib>

namespace {

Qt::KeyboardModifiers shiftKeys(Qt::KeyboardModifiers Modifiers)
{
    return Modifiers & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
}

QPoint eventPos(const QMouseEvent *event)
{
    return event->position().toPoint();
}

} // namespace

void TXYPlot::mousePressEvent(QMouseEvent *event)
{
    QWidget::mousePressEvent(event);
    event->accept();
    const QPoint p = eventPos(event);
    MouseDown(event->button(), event->buttons(), event->modifiers(), p.x(), p.y());
}

void TXYPlot::mouseMoveEvent(QMouseEvent *event)
{
    QWidget::mouseMoveEvent(event);
    event->accept();
    const QPoint p = eventPos(event);
    MouseMove(event->buttons(), event->modifiers(), p.x(), p.y());
}

void TXYPlot::mouseReleaseEvent(QMouseEvent *event)
{
    QWidget::mouseReleaseEvent(event);
    event->accept();
    const QPoint p = eventPos(event);
    MouseUp(event->button(), event->buttons(), event->modifiers(), p.x(), p.y());
}

// The base class would turn the double click into a second press; the
// control answers it with DblClick alone.
void TXYPlot::mouseDoubleClickEvent(QMouseEvent *event)
{
    event->accept();
    DblClick();
}

// The zoom rectangle is drawn straight onto the canvas in inverting mode, so
// drawing it a second time erases it without redrawing anything beneath.
void TXYPlot::drawZoomRect()
{
    if (!ZoomRect)
        return;
    ensureCanvas();
    if (m_canvas.isNull())
        return;
    const QRect &z = *ZoomRect;
    {
        QPainter p(&m_canvas);
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setCompositionMode(QPainter::RasterOp_NotDestination);
        QPen pen(Qt::black, 0, Qt::DotLine, Qt::FlatCap);
        pen.setCosmetic(true);
        p.setPen(pen);
        p.setBrush(Qt::NoBrush);
        if (z.width() > 1 && z.height() > 1)
            p.drawRect(z.adjusted(0, 0, -1, -1));
    }
    const QRect shown = z.adjusted(-1, -1, 1, 1) & rect();
    if (!shown.isEmpty() && isVisible()) {
        m_ownUpdates += shown;
        update(shown);
    }
}

void TXYPlot::MouseDown(Qt::MouseButton Button, Qt::MouseButtons Buttons,
                        Qt::KeyboardModifiers Modifiers, int X, int Y)
{
    if (Button == Qt::LeftButton) {
        const Qt::KeyboardModifiers keys = shiftKeys(Modifiers);
        const QRect &area = PlotPage.ScreenRect;
        if (keys == Qt::AltModifier && (Buttons == Qt::LeftButton || Buttons == Qt::RightButton)) {
            Stretching = true;
        } else if (keys == Qt::ControlModifier && Buttons == Qt::LeftButton) {
            RubberBanding = true;
        } else if (area.left() <= X && X <= rectRight(area) && area.top() <= Y
                   && Y <= rectBottom(area)) {
            Panning = true;
        }
    }
    if (RubberBanding && MouseControl) {
        // Another button pressed during the drag starts the rectangle anew:
        // the one on the screen goes first, or it would stay there.
        drawZoomRect();
        ZoomRect = rectFromEdges(X, Y, X + 2, Y + 2);
        ZoomStartX = X;
        ZoomStartY = Y;
        drawZoomRect();
    }
    LastMouseX = X;
    LastMouseY = Y;
}

void TXYPlot::MouseMove(Qt::MouseButtons, Qt::KeyboardModifiers, int X, int Y)
{
    const QRect &area = PlotPage.ScreenRect;
    if (X < area.left() || X > rectRight(area) - 1 || Y < area.top() || Y > rectBottom(area) - 1)
        return;
    FMouseX = PlotX(X);
    FMouseY = PlotY(Y);
    if (!Stretching && !Panning) {
        // The info box may lie under the zoom rectangle: take the rectangle
        // away while the box is refreshed, or its erasure would leave a trace.
        const bool zooming = RubberBanding && MouseControl && ZoomRect;
        if (zooming)
            drawZoomRect();
        DrawInfoBox();
        if (zooming)
            drawZoomRect();
    }
    const int dx = X - LastMouseX;
    const int dy = Y - LastMouseY;
    LastMouseX = X;
    LastMouseY = Y;
    const double sx = FXAxisFormat == TAxisFormat::Log
        ? (LogXMax - LogXMin) * dx / xDenominator()
        : dx * (FXMax - FXMin) / xDenominator();
    const double sy = FYAxisFormat == TAxisFormat::Log
        ? (LogYMax - LogYMin) * dy / yDenominator()
        : dy * (FYMax - FYMin) / yDenominator();
    if (!MouseControl)
        return;

    const bool logX = FXAxisFormat == TAxisFormat::Log;
    const bool logY = FYAxisFormat == TAxisFormat::Log;
    if (Panning) {
        // The picture follows the mouse.
        const double fx = std::pow(10.0, sx);
        const double fy = std::pow(10.0, sy);
        SetXYMinMax(logX ? FXMin / fx : FXMin - sx, logX ? FXMax / fx : FXMax - sx,
                    logY ? FYMin * fy : FYMin + sy, logY ? FYMax * fy : FYMax + sy, true);
        if (!FAutoRedraw) {
            DrawAllPlots();
            DrawXAxisLabels();
            DrawYAxisLabels();
        }
    }
    if (Stretching) {
        // Down and left widen the ranges, up and right narrow them.
        const double fx = std::pow(10.0, sx);
        const double fy = std::pow(10.0, sy);
        SetXYMinMax(logX ? FXMin * fx : FXMin + sx, logX ? FXMax / fx : FXMax - sx,
                    logY ? FYMin / fy : FYMin - sy, logY ? FYMax * fy : FYMax + sy, true);
        if (!FAutoRedraw)
            DrawPlotsAndLabels();
    }
    if (RubberBanding && ZoomRect) {
        drawZoomRect();
        const int left = std::min(X, ZoomStartX);
        const int top = std::min(Y, ZoomStartY);
        ZoomRect = rectFromEdges(left, top, left + std::abs(X - ZoomStartX),
                                 top + std::abs(Y - ZoomStartY));
        drawZoomRect();
    }
}

void TXYPlot::MouseUp(Qt::MouseButton, Qt::MouseButtons, Qt::KeyboardModifiers, int, int)
{
    Panning = false;
    Stretching = false;
    if (RubberBanding && MouseControl && ZoomRect) {
        drawZoomRect();
        const QRect z = *ZoomRect;
        ZoomRect.reset();
        SetXYMinMax(PlotX(z.left()), PlotX(rectRight(z)), PlotY(rectBottom(z)), PlotY(z.top()), true);
        DrawPlotsAndLabels();
    }
    RubberBanding = false;
}

void TXYPlot::DblClick()
{
    if (!MouseControl)
        return;
    if (FYAutoScale) {
        FindYMaxMin();
    } else {
        FYMax = HomeYMax;
        FYMin = HomeYMin;
    }
    if (FXAutoScale) {
        FindXMaxMin();
    } else {
        FXMax = HomeXMax;
        FXMin = HomeXMin;
    }
    CompareMaxMin();
    CalculateLogMaxMin();
    ResizePaintPage();
    DrawPlotsAndLabels();
}
