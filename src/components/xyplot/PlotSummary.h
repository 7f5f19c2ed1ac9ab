#pragma once

#include "components/xyplot/PlotThinning.h"
#include "components/xyplot/PointAllocator.h"

#include <cstddef>
#include <vector>

// The y extremes of a plot's points in blocks, and of blocks of blocks in
// levels above, with the x value that ends each block. A frame of x-sorted
// data then finds its pixel columns and their extremes in a few entries per
// column instead of reading every point.
//
// Only complete blocks have an entry: the points after the last complete
// block are read as they are. So adding points never changes an entry, and
// appending costs one entry per BlockPoints points, whatever came before.
// Indices are those of the plot's storage; a caller asks only about points it
// still keeps, and entries reaching before those are never used for them.
class PlotSummary
{
public:
    static constexpr std::size_t BlockPoints = 16;
    static constexpr std::size_t Fanout = 8;

    struct Entry
    {
        double Low;   // NaN when one of the values is NaN
        double High;  // NaN when one of the values is NaN
        double XLast; // the x value of the last point
    };
    using Level = std::vector<Entry, PointAllocator<Entry>>;

    void clear() { m_levels.clear(); }
    // Adds the entries of the complete blocks among the first Count points
    // that have none yet. The points before must be those seen so far.
    void extend(const double *X, const double *Y, std::size_t Count);
    // The points the entries cover: [0, points()).
    std::size_t points() const { return m_levels.empty() ? 0 : m_levels[0].size() * BlockPoints; }

    // The extremes of Y[From, To), as valueRange gives them. From < To.
    ValueRange range(const double *Y, std::size_t From, std::size_t To) const;
    // The lowest and the highest finite value of Y[From, To); false when
    // there is none.
    bool finiteRange(const double *Y, std::size_t From, std::size_t To, double &Min, double &Max) const;
    // The first index in [From, To) whose pixel column reaches Column, on x
    // values whose columns never go down along the points; To if none.
    std::size_t firstAtColumn(const AxisMap &Map, const double *X, std::size_t From, std::size_t To,
                              int Column) const;

    // The first index from From on whose pixel column reaches each of the
    // columns FirstColumn, FirstColumn + 1, ... (as many as Starts holds);
    // Count (all points stored) where none does. The x values from From on
    // must have columns that never go down. All columns are searched level
    // by level together, so that the memory they need is fetched at once.
    void columnStarts(const AxisMap &Map, const double *X, std::size_t From, std::size_t Count,
                      int FirstColumn, std::vector<std::size_t> &Starts) const;
    // Asks the processor to fetch what range() will read around Index.
    void prefetch(const double *Y, std::size_t Index) const;

    const std::vector<Level> &levels() const { return m_levels; }
    // Memory held by the entries.
    std::size_t bytes() const;
    // Entry by entry, NaN equal to NaN: a summary built piece by piece must
    // be the one built at once.
    bool sameAs(const PlotSummary &Other) const;

private:
    static std::size_t span(std::size_t Level);
    // Calls Raw(from, to) for the points and Take(level, index) for the
    // entries that together make up [From, To), each point once.
    template <typename Raw, typename Take>
    void cover(std::size_t From, std::size_t To, Raw raw, Take take) const;

    std::vector<Level> m_levels;
};
