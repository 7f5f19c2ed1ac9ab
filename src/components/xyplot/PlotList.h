#pragma once

#include "components/xyplot/XYPlotTypes.h"

#include <QColor>

#include <memory>
#include <vector>

// One data series of the plot control. It owns copies of its values.
class TPlotListMember
{
public:
    TPlotListMember() = default;
    // Copies the data, colour, style and number; the list links the copy.
    TPlotListMember(const TPlotListMember &Source);
    TPlotListMember &operator=(const TPlotListMember &) = delete;

    int NumPoints() const { return static_cast<int>(X.size()); }

    std::vector<double> X;
    std::vector<double> Y;
    QColor Color{Qt::black};
    TPlotStyle Style = TPlotStyle::Line;
    int PlotNumber = 0;
    std::unique_ptr<TPlotListMember> Next;
};

// The plots of one control, newest first. The list owns its members.
class TPlotList
{
public:
    TPlotList() = default;
    // The copy holds the source's members in reverse order.
    TPlotList(const TPlotList &Source);
    TPlotList(TPlotList &&Source) noexcept = default;
    TPlotList &operator=(TPlotList &&Source) noexcept;
    TPlotList &operator=(const TPlotList &) = delete;
    ~TPlotList();

    TPlotListMember *First() const { return m_first.get(); }
    bool isEmpty() const { return !m_first; }

    bool FindPlot(TPlotListMember *&Member, int PlotNumber) const;
    // Replaces the data of an existing plot (keeping its colour and style) and
    // returns true, or adds a new plot at the front and returns false.
    // A negative count is taken as no points.
    bool AddPlot(const double *X, const double *Y, int NumPoints, int PlotNumber,
                 QColor Color, TPlotStyle Style);
    bool RemovePlot(int PlotNumber);
    void AppendPlotList(const TPlotList *Source);
    void clear();

private:
    void pushFront(std::unique_ptr<TPlotListMember> Member);

    std::unique_ptr<TPlotListMember> m_first;
};
