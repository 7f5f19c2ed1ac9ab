#pragma once

#include <QPoint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <cmath>
#include <algorithm>
#include <bit>
#include <cstdint>
#include <limits>
#include <utility>
#include <vector>

// Pieces that let the plot control draw fewer points with the same pixels.

// The pixel of a screen position: the same integer as truncating the
// control's Round of it, without the library calls. Rounding half away from
// zero and then truncating is truncating the value moved half a pixel away
// from zero, for the value moved with the very same operations.
inline int roundedPixel(double Value)
{
    constexpr double Epsilon = 2.220446049250313e-13;
    constexpr double Limit = 1.0e9;
    if (Value != Value)
        return -static_cast<int>(Limit);
    double moved = Value + Epsilon >= 0 ? Value + 0.5 + Epsilon : Value - 0.5 - Epsilon;
    moved = moved < -Limit ? -Limit : (moved > Limit ? Limit : moved);
    return static_cast<int>(moved);
}

// The lowest and the highest of some values, and whether one is NaN (then
// the two say nothing).
struct ValueRange
{
    double Low;
    double High;
    bool HasNaN;
};

// Count must be at least 1. This scan is most of the work on a million
// points, so it goes two by two where the processor allows.
inline ValueRange valueRange(const double *V, std::size_t Count)
{
    double low = V[0];
    double high = V[0];
    bool nan = false;
    std::size_t i = 0;
#if defined(__SSE2__)
    __m128d low0 = _mm_set1_pd(low);
    __m128d low1 = low0;
    __m128d high0 = low0;
    __m128d high1 = low0;
    __m128d nans = _mm_setzero_pd();
    for (; i + 4 <= Count; i += 4) {
        const __m128d a = _mm_loadu_pd(V + i);
        const __m128d b = _mm_loadu_pd(V + i + 2);
        nans = _mm_or_pd(nans, _mm_or_pd(_mm_cmpunord_pd(a, a), _mm_cmpunord_pd(b, b)));
        low0 = _mm_min_pd(low0, a);
        low1 = _mm_min_pd(low1, b);
        high0 = _mm_max_pd(high0, a);
        high1 = _mm_max_pd(high1, b);
    }
    double lanes[2];
    _mm_storeu_pd(lanes, _mm_min_pd(low0, low1));
    low = lanes[0] < lanes[1] ? lanes[0] : lanes[1];
    _mm_storeu_pd(lanes, _mm_max_pd(high0, high1));
    high = lanes[0] > lanes[1] ? lanes[0] : lanes[1];
    nan = _mm_movemask_pd(nans) != 0;
#endif
    for (; i < Count; ++i) {
        const double v = V[i];
        nan |= v != v;
        low = v < low ? v : low;
        high = v > high ? v : high;
    }
    return {low, high, nan || low != low || high != high};
}

// One axis of the plot page: data value to screen position, with exactly the
// arithmetic of the control's ScreenX and ScreenY.
struct AxisMap
{
    bool Log = false;
    bool Downwards = false; // the Y axis: the maximum at the top
    double Span = 0.0;      // page size - 1
    double Min = 0.0;       // XMin, or LogXMin on a logarithmic axis
    double Range = 0.0;     // XMax - XMin, or LogXMax - LogXMin
    double BelowMin = 0.0;  // where values at or below zero go on a log axis

    double map(double V) const
    {
        const double v = Log ? (V > 0 ? std::log10(V) : BelowMin) : V;
        const double numerator = Span * (v - Min);
        const double r = Range != 0.0 ? numerator / Range : 0.0;
        return Downwards ? Span - r : r;
    }
    int pixel(double V) const { return roundedPixel(map(V)); }
    // Whether the pixels of ascending values, starting at First, never go
    // down: then a sorted series can be searched by pixel.
    bool ascendsFrom(double First) const
    {
        return !Downwards && Span > 0 && Range > 0 && (!Log || First > 0);
    }
};

// Tells whether a value's pixel reaches a column, pixel(V) >= Column, on an
// axis whose pixels ascend with the values: by one comparison with the first
// value that reaches it. Where that value is not found near the computed
// edge, values a quarter pixel clear of it are told by comparison and only
// those nearer are mapped; where the values are too coarse for the page
// (their rounding errors reach a hundredth of a pixel) every value is mapped.
class ColumnEdge
{
public:
    ColumnEdge(const AxisMap &Map, int Column)
        : ColumnEdge(Map, Column, approximable(Map))
    {
    }
    // Approximable: what approximable(Map) says, asked once for many columns.
    ColumnEdge(const AxisMap &Map, int Column, bool Approximable)
        : m_map(&Map)
        , m_column(Column)
    {
        if (!Approximable)
            return;
        if (precise(Map)) {
            // The pixels turn at Column - 0.5 (rounding half away from zero,
            // on either side of zero); values a millionth of a pixel clear of
            // it cannot be mapped across it by rounding errors.
            m_below = value(Column - 0.5 - 1e-6);
            m_above = value(Column - 0.5 + 1e-6);
            if (m_below <= m_above)
                return;
        }
        // The first value whose pixel reaches the column lies a few steps of
        // the doubles from the value at the column's edge: found by stepping,
        // every value is then told by one comparison with it.
        double edge = value(Column - 0.5);
        const bool reachedAtEdge = Map.pixel(edge) >= Column;
        for (int step = 0; step < 64; ++step) {
            const double next = neighbour(edge, !reachedAtEdge);
            const bool reachedNext = Map.pixel(next) >= Column;
            if (reachedAtEdge && !reachedNext) {
                m_below = m_above = edge;
                return;
            }
            if (!reachedAtEdge && reachedNext) {
                m_below = m_above = next;
                return;
            }
            edge = next;
        }
        // Too far: values within a quarter pixel of the edge are mapped.
        m_below = value(Column - 0.75);
        m_above = value(Column - 0.25);
        if (!(m_below <= m_above)) {
            m_below = -std::numeric_limits<double>::infinity();
            m_above = std::numeric_limits<double>::infinity();
        }
    }
    static bool approximable(const AxisMap &Map)
    {
        return Map.Span > 0 && Map.Range > 0 && !Map.Downwards && error(Map) < 0.01;
    }

private:
    // A bound, in pixels, of the rounding errors of mapping a value and of
    // computing the value at a position.
    static double error(const AxisMap &Map)
    {
        const double low = Map.Min;
        const double high = Map.Min + Map.Range;
        const double magnitude = std::max(std::abs(low), std::abs(high));
        return 1024 * std::numeric_limits<double>::epsilon() * magnitude * Map.Span / Map.Range;
    }
    static bool precise(const AxisMap &Map) { return error(Map) < 1e-7; }

public:
    bool reached(double V) const
    {
        if (V < m_below)
            return false;
        if (V >= m_above)
            return true;
        return m_map->pixel(V) >= m_column;
    }
    // Surely left of the column: not reached, without mapping.
    bool surelyBefore(double V) const { return V < m_below; }

private:
    // The next double up or down (as std::nextafter, without its call).
    static double neighbour(double V, bool Up)
    {
        if (V == 0)
            return Up ? std::numeric_limits<double>::denorm_min() : -std::numeric_limits<double>::denorm_min();
        if (!std::isfinite(V))
            return V;
        const auto bits = std::bit_cast<std::int64_t>(V);
        return std::bit_cast<double>(bits + ((V > 0) == Up ? 1 : -1));
    }
    // The value at a screen position.
    double value(double Position) const
    {
        const double v = m_map->Min + Position * m_map->Range / m_map->Span;
        return m_map->Log ? std::pow(10.0, v) : v;
    }

    const AxisMap *m_map;
    int m_column;
    double m_below = -std::numeric_limits<double>::infinity();
    double m_above = std::numeric_limits<double>::infinity();
};

// Thins one run of a polyline. Consecutive points in one pixel column are
// kept as the first, the lowest, the highest, the last but one and the last
// of them: the vertical segments between those cover the same pixels as all
// of them. The run's very last point is kept apart, so that the run still
// ends with its own last segment and leaves out the same last pixel.
class PolylineThinner
{
public:
    explicit PolylineThinner(std::vector<QPoint> &Out)
        : m_out(Out)
    {
    }

    bool active() const { return m_hasPending; }
    void add(QPoint P)
    {
        if (m_hasPending)
            take(m_pending);
        m_pending = P;
        m_hasPending = true;
    }
    // Completes the run in the output; the caller draws and clears it.
    void finish()
    {
        emitColumn();
        if (m_hasPending)
            m_out.push_back(m_pending);
        m_hasPending = false;
    }

private:
    void take(QPoint P)
    {
        if (m_count > 0 && P.x() != m_first.x())
            emitColumn();
        if (m_count == 0) {
            m_first = P;
            m_low = m_high = P;
            m_lowAt = m_highAt = 0;
        } else {
            if (P.y() < m_low.y()) {
                m_low = P;
                m_lowAt = m_count;
            }
            if (P.y() > m_high.y()) {
                m_high = P;
                m_highAt = m_count;
            }
            m_beforeLast = m_last;
        }
        m_last = P;
        ++m_count;
    }
    void emitColumn()
    {
        if (m_count == 0)
            return;
        const int lastAt = m_count - 1;
        m_out.push_back(m_first);
        // The extremes in their own order, each once.
        int a = m_lowAt;
        int b = m_highAt;
        QPoint pa = m_low;
        QPoint pb = m_high;
        if (b < a) {
            std::swap(a, b);
            std::swap(pa, pb);
        }
        if (a > 0 && a < lastAt - 1)
            m_out.push_back(pa);
        if (b > a && b > 0 && b < lastAt - 1)
            m_out.push_back(pb);
        if (lastAt >= 2)
            m_out.push_back(m_beforeLast);
        if (lastAt >= 1)
            m_out.push_back(m_last);
        m_count = 0;
    }

    std::vector<QPoint> &m_out;
    QPoint m_pending;
    bool m_hasPending = false;
    int m_count = 0;
    QPoint m_first, m_last, m_beforeLast, m_low, m_high;
    int m_lowAt = 0;
    int m_highAt = 0;
};

// Which marker positions of one plot have been taken, over the area where a
// marker can show. Markers are looked at from the last one back: a marker
// drawn again later at the same place paints over the earlier one entirely.
class MarkerSieve
{
public:
    // False when the area is too large to keep a bit per position.
    bool reset(int Left, int Top, int Width, int Height)
    {
        if (Width <= 0 || Height <= 0
            || static_cast<std::int64_t>(Width) * Height > (std::int64_t(1) << 26))
            return false;
        m_left = Left;
        m_top = Top;
        m_width = Width;
        m_height = Height;
        m_bits.assign((static_cast<std::size_t>(Width) * Height + 63) / 64, 0);
        return true;
    }
    bool inside(QPoint P) const
    {
        return P.x() >= m_left && P.x() < m_left + m_width && P.y() >= m_top
            && P.y() < m_top + m_height;
    }
    // True the first time a position inside the area is offered.
    bool takeFirst(QPoint P)
    {
        const std::size_t i = static_cast<std::size_t>(P.y() - m_top) * m_width
            + static_cast<std::size_t>(P.x() - m_left);
        std::uint64_t &word = m_bits[i / 64];
        const std::uint64_t bit = std::uint64_t(1) << (i % 64);
        if (word & bit)
            return false;
        word |= bit;
        return true;
    }

private:
    int m_left = 0;
    int m_top = 0;
    int m_width = 0;
    int m_height = 0;
    std::vector<std::uint64_t> m_bits;
};
