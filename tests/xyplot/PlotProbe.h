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
