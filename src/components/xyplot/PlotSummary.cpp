#include "components/xyplot/PlotSummary.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

namespace {

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
        std::vector<Entry> &level = m_levels[l];
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
            const std::vector<Entry> &below = m_levels[l];
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
    const auto search = [&](std::size_t lo, std::size_t hi) {
        while (lo < hi) {
            const std::size_t mid = lo + (hi - lo) / 2;
            if (Map.pixel(X[mid]) < Column)
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
        if (!usable || Map.pixel(m_levels[l][u].XLast) >= Column) {
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

std::size_t PlotSummary::bytes() const
{
    std::size_t n = 0;
    for (const std::vector<Entry> &level : m_levels)
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
        const std::vector<Entry> &a = m_levels[l];
        const std::vector<Entry> &b = Other.m_levels[l];
        if (a.size() != b.size()
            || (!a.empty() && std::memcmp(a.data(), b.data(), a.size() * sizeof(Entry)) != 0))
            return false;
    }
    return true;
}
