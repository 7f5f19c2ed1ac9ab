#pragma once

#include "components/xyplot/XYPlot.h"

// Opens the control's inner state to the tests.
class PlotProbe : public TXYPlot
{
public:
    using TXYPlot::TXYPlot;

    using TXYPlot::BottomFramePage;
    using TXYPlot::HomeXMax;
    using TXYPlot::HomeXMin;
    using TXYPlot::HomeYMax;
    using TXYPlot::HomeYMin;
    using TXYPlot::InfoBoxFits;
    using TXYPlot::InfoBoxPage;
    using TXYPlot::InfoBoxRect;
    using TXYPlot::LogXMax;
    using TXYPlot::LogXMin;
    using TXYPlot::LogYMax;
    using TXYPlot::LogYMin;
    using TXYPlot::PaintTimer;
    using TXYPlot::PlotPage;
    using TXYPlot::PlotTitlePage;
    using TXYPlot::TopFramePage;
    using TXYPlot::XLabelPage;
    using TXYPlot::XTitlePage;
    using TXYPlot::YLabelPage;
    using TXYPlot::YTitlePage;
    using TXYPlot::YTitleTextPage;

    // Plot numbers from First onwards.
    QList<int> order() const
    {
        QList<int> numbers;
        for (const TPlotListMember *m = plotList().First(); m; m = m->Next.get())
            numbers << m->PlotNumber;
        return numbers;
    }
};

// A shown control whose plot area fills it: no titles, labels, info box, grid,
// ticks or axes, white background, fixed limits.
inline void makeBare(PlotProbe &plot, int width, int height, double min = 0.0, double max = 10.0)
{
    plot.SetShowPlotTitle(false);
    plot.SetShowXTitle(false);
    plot.SetShowYTitle(false);
    plot.SetShowXLabel(false);
    plot.SetShowYLabel(false);
    plot.SetShowInfoBox(false);
    plot.SetShowHorzGrid(false);
    plot.SetShowVertGrid(false);
    plot.SetShowHorzTicks(false);
    plot.SetShowVertTicks(false);
    plot.SetAxisStyle(TAxisStyle::None);
    plot.SetBkGraphicColor(Qt::white);
    plot.SetXAutoScale(false);
    plot.SetYAutoScale(false);
    plot.resize(width, height);
    plot.SetXYMinMax(min, max, min, max, false);
}

// The pixels of one row or column of an image that have a colour.
inline QList<int> pixelsInRow(const QImage &image, int y, QColor color)
{
    QList<int> xs;
    for (int x = 0; x < image.width(); ++x)
        if (image.pixelColor(x, y) == color)
            xs << x;
    return xs;
}

inline QList<int> pixelsInColumn(const QImage &image, int x, QColor color)
{
    QList<int> ys;
    for (int y = 0; y < image.height(); ++y)
        if (image.pixelColor(x, y) == color)
            ys << y;
    return ys;
}

inline int countColour(const QImage &image, QColor color)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += image.pixelColor(x, y) == color;
    return n;
}
