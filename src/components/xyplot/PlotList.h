#pragma once

#include "components/xyplot/PlotSummary.h"
#include "components/xyplot/XYPlotTypes.h"

#include <QColor>

#include <memory>
#include <span>
#include <vector>

// One data series of the plot control. It owns copies of its values.
//
// Points can be appended, and a plot may keep only its newest MaxPoints points
// (a rolling window). The oldest points are then dropped by moving where the
// kept ones start; the storage is moved down only when the dropped part has
// grown as long as the kept one, so each point is moved at most once on
// average. Index 0 of X() and Y() is always the oldest kept point.
class TPlotListMember
{
public:
    TPlotListMember() = default;
    // Copies the data, colour, style, number and limit; the list links the copy.
    TPlotListMember(const TPlotListMember &Source);
    TPlotListMember &operator=(const TPlotListMember &) = delete;

    int NumPoints() const { return static_cast<int>(m_x.size() - m_first); }
    std::span<const double> X() const { return {m_x.data() + m_first, m_x.size() - m_first}; }
    std::span<const double> Y() const { return {m_y.data() + m_first, m_y.size() - m_first}; }

    // Replaces the points (the newest MaxPoints of them when limited).
    void setPoints(const double *X, const double *Y, std::size_t Count);
    // Adds points after the newest one, dropping the oldest beyond MaxPoints.
    void appendPoints(const double *X, const double *Y, std::size_t Count);
    // 0: no limit. A lower limit drops the oldest points at once.
    void setMaxPoints(int MaxPoints);
    int maxPoints() const { return m_maxPoints; }

    // The x values never go down and hold no NaN: the drawing may then
    // search them for what lies on the page. Follows every change of the
    // points, so a plot whose descent has left the window is sorted again.
    bool XSorted() const { return m_sortedFrom <= m_first; }
    // The lowest and highest finite x or y value; false when there is none.
    bool finiteRangeX(double &Min, double &Max) const;
    bool finiteRangeY(double &Min, double &Max) const;

    // The storage the summary describes: the kept points are the indices
    // [firstIndex(), storedCount()) of storedX() and storedY().
    const double *storedX() const { return m_x.data(); }
    const double *storedY() const { return m_y.data(); }
    std::size_t firstIndex() const { return m_first; }
    std::size_t storedCount() const { return m_x.size(); }
    const PlotSummary &summary() const { return m_summary; }

    QColor Color{Qt::black};
    TPlotStyle Style = TPlotStyle::Line;
    int PlotNumber = 0;
    std::unique_ptr<TPlotListMember> Next;

private:
    void dropOldest();
    void storageMoved();

    std::vector<double, PointAllocator<double>> m_x;
    std::vector<double, PointAllocator<double>> m_y;
    std::size_t m_first = 0;
    // Where the last ascending run without NaN of the storage begins.
    std::size_t m_sortedFrom = 0;
    int m_maxPoints = 0;
    PlotSummary m_summary;
};

// Whether values never go down, none of them being NaN.
bool isAscending(std::span<const double> Values);

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
    // Adds points after the newest of an existing plot and returns true, or
    // adds a new plot with them at the front and returns false.
    bool AppendPoints(const double *X, const double *Y, int NumPoints, int PlotNumber,
                      QColor Color, TPlotStyle Style);
    bool RemovePlot(int PlotNumber);
    void AppendPlotList(const TPlotList *Source);
    void clear();

private:
    void pushFront(std::unique_ptr<TPlotListMember> Member);
    TPlotListMember *findOrCreate(int PlotNumber, QColor Color, TPlotStyle Style, bool &Found);

    std::unique_ptr<TPlotListMember> m_first;
};
