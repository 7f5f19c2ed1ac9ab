#include "components/xyplot/PlotSummary.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

namespace {

// How many columns ahead their memory is asked for.
constexpr std::size_t Ahead = 24;
constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

PlotSummary::Entry combine(const PlotSummary::Entry *Children, std::size_t Count)
{
    PlotSummary::Entry e = Children[0];
    for (std::size_t i = 1; i < Count; ++i) {
        const PlotSummary::Entry &c = Children[i];
        e.Low = c.Low < e.Low ? c.Low : e.Low;
        e.High = c.High > e.High ? c.High : e.High;
        e.XLast = c.XLast;
    }
    for (std::size_t i = 0; i < Count; ++i) {
        if (std::isnan(Children[i].Low)) {
            e.Low = e.High = NaN;
            break;
        }
    }
    return e;
}

void scanFinite(const double *Y, std::size_t From, std::size_t To, bool &Seeded, double &Min, double &Max)
{
    for (std::size_t i = From; i < To; ++i) {
        const double v = Y[i];
        if (!std::isfinite(v))
            continue;
        if (!Seeded) {
            Min = Max = v;
            Seeded = true;
        }
        Max = v > Max ? v : Max;
        Min = v < Min ? v : Min;
    }
}

} // namespace

std::size_t PlotSummary::span(std::size_t Level)
{
    std::size_t s = BlockPoints;
    for (std::size_t l = 0; l < Level; ++l)
        s *= Fanout;
    return s;
}

void PlotSummary::extend(const double *X, const double *Y, std::size_t Count)
{
    if (m_levels.empty())
        m_levels.emplace_back();
    // Room for what Count needs, growing by an eighth at least: appending
    // stays cheap and the entries stay near their size.
    std::size_t needed = Count / BlockPoints;
    for (std::size_t l = 0; needed > 0; ++l, needed /= Fanout) {
        if (l == m_levels.size())
            m_levels.emplace_back();
        Level &level = m_levels[l];
        if (needed > level.capacity())
            level.reserve(std::max(needed, level.capacity() + level.capacity() / 8));
    }
    for (std::size_t start = m_levels[0].size() * BlockPoints; start + BlockPoints <= Count;
         start += BlockPoints) {
        const ValueRange r = valueRange(Y + start, BlockPoints);
        m_levels[0].push_back({r.HasNaN ? NaN : r.Low, r.HasNaN ? NaN : r.High,
                               X[start + BlockPoints - 1]});
        // A level that has just completed a group of entries gives the level
        // above one more.
        for (std::size_t l = 0; m_levels[l].size() % Fanout == 0; ++l) {
            if (l + 1 == m_levels.size())
                m_levels.emplace_back();
            const Level &below = m_levels[l];
            m_levels[l + 1].push_back(combine(below.data() + below.size() - Fanout, Fanout));
        }
    }
}

template <typename Raw, typename Take>
void PlotSummary::cover(std::size_t From, std::size_t To, Raw raw, Take take) const
{
    const std::size_t complete = m_levels.empty() ? 0 : m_levels[0].size();
    std::size_t lo = (From + BlockPoints - 1) / BlockPoints;
    std::size_t hi = std::min(To / BlockPoints, complete);
    if (lo >= hi) {
        raw(From, To);
        return;
    }
    if (From < lo * BlockPoints)
        raw(From, lo * BlockPoints);
    if (hi * BlockPoints < To)
        raw(hi * BlockPoints, To);
    for (std::size_t l = 0;; ++l) {
        std::size_t upLo = 0;
        std::size_t upHi = 0;
        if (l + 1 < m_levels.size()) {
            upLo = (lo + Fanout - 1) / Fanout;
            upHi = std::min(hi / Fanout, m_levels[l + 1].size());
        }
        if (upLo >= upHi) {
            for (std::size_t i = lo; i < hi; ++i)
                take(l, i);
            return;
        }
        for (std::size_t i = lo; i < upLo * Fanout; ++i)
            take(l, i);
        for (std::size_t i = upHi * Fanout; i < hi; ++i)
            take(l, i);
        lo = upLo;
        hi = upHi;
    }
}

ValueRange PlotSummary::range(const double *Y, std::size_t From, std::size_t To) const
{
    bool seeded = false;
    ValueRange result{0.0, 0.0, false};
    const auto add = [&](double Low, double High, bool HasNaN) {
        result.HasNaN |= HasNaN;
        if (!seeded) {
            result.Low = Low;
            result.High = High;
            seeded = true;
            return;
        }
        result.Low = Low < result.Low ? Low : result.Low;
        result.High = High > result.High ? High : result.High;
    };
    cover(
        From, To,
        [&](std::size_t a, std::size_t b) {
            const ValueRange r = valueRange(Y + a, b - a);
            add(r.Low, r.High, r.HasNaN);
        },
        [&](std::size_t l, std::size_t i) {
            const Entry &e = m_levels[l][i];
            add(e.Low, e.High, std::isnan(e.Low));
        });
    return result;
}

bool PlotSummary::finiteRange(const double *Y, std::size_t From, std::size_t To, double &Min,
                              double &Max) const
{
    bool seeded = false;
    // An entry with a value that is not finite cannot give the finite
    // extremes: its parts are asked instead, down to the points.
    const auto descend = [&](auto &self, std::size_t l, std::size_t i) -> void {
        const Entry &e = m_levels[l][i];
        if (std::isfinite(e.Low) && std::isfinite(e.High)) {
            if (!seeded) {
                Min = e.Low;
                Max = e.High;
                seeded = true;
            }
            Min = e.Low < Min ? e.Low : Min;
            Max = e.High > Max ? e.High : Max;
            return;
        }
        if (l == 0) {
            scanFinite(Y, i * BlockPoints, (i + 1) * BlockPoints, seeded, Min, Max);
            return;
        }
        for (std::size_t c = i * Fanout; c < (i + 1) * Fanout; ++c)
            self(self, l - 1, c);
    };
    if (From < To)
        cover(
            From, To, [&](std::size_t a, std::size_t b) { scanFinite(Y, a, b, seeded, Min, Max); },
            [&](std::size_t l, std::size_t i) { descend(descend, l, i); });
    return seeded;
}

std::size_t PlotSummary::firstAtColumn(const AxisMap &Map, const double *X, std::size_t From,
                                       std::size_t To, int Column) const
{
    const ColumnEdge edge(Map, Column);
    const auto search = [&](std::size_t lo, std::size_t hi) {
        while (lo < hi) {
            const std::size_t mid = lo + (hi - lo) / 2;
            if (!edge.reached(X[mid]))
                lo = mid + 1;
            else
                hi = mid;
        }
        return lo;
    };
    if (From >= To)
        return To;
    std::size_t pos = From;
    if (pos % BlockPoints != 0) {
        const std::size_t end = std::min(To, (pos / BlockPoints + 1) * BlockPoints);
        const std::size_t found = search(pos, end);
        if (found < end || end == To)
            return found;
        pos = end;
    }
    // Every point before pos lies left of the column, and pos starts a unit
    // of the current level. Whole units are skipped by their last x value;
    // a unit that holds the column, or that the entries do not cover, is
    // searched one level down.
    std::size_t l = 0;
    for (;;) {
        const std::size_t size = span(l);
        const std::size_t u = pos / size;
        const bool usable = l < m_levels.size() && u < m_levels[l].size() && (u + 1) * size <= To;
        if (!usable || edge.reached(m_levels[l][u].XLast)) {
            if (l == 0)
                return search(pos, std::min(To, pos + BlockPoints));
            --l;
            continue;
        }
        pos += size;
        if (pos >= To)
            return To;
        if (pos % (size * Fanout) == 0)
            ++l;
    }
}

void PlotSummary::columnStarts(const AxisMap &Map, const double *X, std::size_t From,
                               std::size_t Count, int FirstColumn, std::vector<std::size_t> &Starts) const
{
    const std::size_t columns = Starts.size();
    std::vector<ColumnEdge> edges;
    edges.reserve(columns);
    const bool approximable = ColumnEdge::approximable(Map);
    for (std::size_t c = 0; c < columns; ++c)
        edges.emplace_back(Map, FirstColumn + static_cast<int>(c), approximable);
    // Starts holds, per column, the unit of the current level where the
    // search goes on: every point before it lies left of the column. A unit
    // is skipped when its last x value is left of the column too; at most
    // Fanout of them, as the unit above was not skipped.
    std::fill(Starts.begin(), Starts.end(), 0);
    for (std::size_t l = m_levels.size(); l-- > 0;) {
        const Level &level = m_levels[l];
        const std::size_t size = span(l);
        const std::size_t least = From / size;
        const bool below = l + 1 < m_levels.size();
        for (std::size_t c = 0; c < columns; ++c) {
            // The units a later column will read are fetched meanwhile.
            if (below && c + Ahead < columns) {
                const std::size_t u = Starts[c + Ahead] * Fanout;
                if (u < level.size()) {
                    const char *at = reinterpret_cast<const char *>(level.data() + u);
                    for (std::size_t b = 0; b < Fanout * sizeof(Entry); b += 64)
                        __builtin_prefetch(at + b);
                }
            }
            std::size_t u = std::max(below ? Starts[c] * Fanout : 0, least);
            const std::size_t last = std::min(level.size(), u + Fanout);
            // The units surely left of the column are counted without a
            // branch (they come first); the rest is asked one by one.
            if (last == u + Fanout) {
                std::size_t skipped = 0;
                for (std::size_t k = 0; k < Fanout; ++k)
                    skipped += edges[c].surelyBefore(level[u + k].XLast);
                u += skipped;
            }
            while (u < last && !edges[c].reached(level[u].XLast))
                ++u;
            Starts[c] = u;
        }
    }
    // Into the points of the block found, or of the points after the last
    // complete block.
    for (std::size_t c = 0; c < columns; ++c) {
        if (c + Ahead < columns && Starts[c + Ahead] * BlockPoints < Count) {
            const double *at = X + Starts[c + Ahead] * BlockPoints;
            __builtin_prefetch(at);
            __builtin_prefetch(at + BlockPoints - 1);
        }
        std::size_t lo = std::max(Starts[c] * BlockPoints, From);
        std::size_t hi = std::min(Count, Starts[c] * BlockPoints + BlockPoints);
        if (m_levels.empty())
            hi = Count;
        while (lo < hi) {
            const std::size_t mid = lo + (hi - lo) / 2;
            if (!edges[c].reached(X[mid]))
                lo = mid + 1;
            else
                hi = mid;
        }
        Starts[c] = lo;
    }
}

void PlotSummary::prefetch(const double *Y, std::size_t Index) const
{
    const std::size_t block = Index / BlockPoints;
    __builtin_prefetch(Y + block * BlockPoints);
    __builtin_prefetch(Y + block * BlockPoints + BlockPoints - 1);
    std::size_t unit = block;
    for (std::size_t l = 0; l < m_levels.size() && l < 2; ++l, unit /= Fanout) {
        const std::size_t group = unit / Fanout * Fanout;
        if (group >= m_levels[l].size())
            break;
        const char *from = reinterpret_cast<const char *>(m_levels[l].data() + group);
        for (std::size_t b = 0; b < Fanout * sizeof(Entry); b += 64)
            __builtin_prefetch(from + b);
    }
}

std::size_t PlotSummary::bytes() const
{
    std::size_t n = 0;
    for (const Level &level : m_levels)
        n += level.capacity() * sizeof(Entry);
    return n;
}

bool PlotSummary::sameAs(const PlotSummary &Other) const
{
    const auto count = [](const PlotSummary &s) {
        std::size_t n = 0;
        for (const auto &level : s.m_levels)
            n += !level.empty();
        return n;
    };
    if (count(*this) != count(Other))
        return false;
    for (std::size_t l = 0; l < count(*this); ++l) {
        const Level &a = m_levels[l];
        const Level &b = Other.m_levels[l];
        if (a.size() != b.size()
            || (!a.empty() && std::memcmp(a.data(), b.data(), a.size() * sizeof(Entry)) != 0))
            return false;
    }
    return true;
}
