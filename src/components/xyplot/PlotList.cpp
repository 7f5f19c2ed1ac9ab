#include "components/xyplot/PlotList.h"

#include <algorithm>
#include <cmath>

TPlotListMember::TPlotListMember(const TPlotListMember &Source)
    : Color(Source.Color)
    , Style(Source.Style)
    , PlotNumber(Source.PlotNumber)
    , m_maxPoints(Source.m_maxPoints)
{
    setPoints(Source.X().data(), Source.Y().data(), Source.X().size());
}

void TPlotListMember::setPoints(const double *X, const double *Y, std::size_t Count)
{
    // Only the points a limit keeps are stored.
    if (m_maxPoints > 0 && Count > static_cast<std::size_t>(m_maxPoints)) {
        X += Count - m_maxPoints;
        Y += Count - m_maxPoints;
        Count = m_maxPoints;
    }
    m_x.assign(X, X + Count);
    m_y.assign(Y, Y + Count);
    m_first = 0;
    m_sortedFrom = 0;
    for (std::size_t i = 0; i < Count; ++i)
        if (!(i == 0 || m_x[i - 1] <= m_x[i]) || std::isnan(m_x[i]))
            m_sortedFrom = std::isnan(m_x[i]) ? i + 1 : i;
    m_summary.clear();
    m_summary.extend(m_x.data(), m_y.data(), m_x.size());
}

void TPlotListMember::appendPoints(const double *X, const double *Y, std::size_t Count)
{
    if (Count == 0)
        return;
    const std::size_t old = m_x.size();
    m_x.insert(m_x.end(), X, X + Count);
    m_y.insert(m_y.end(), Y, Y + Count);
    for (std::size_t i = old; i < m_x.size(); ++i)
        if (!(i == 0 || m_x[i - 1] <= m_x[i]) || std::isnan(m_x[i]))
            m_sortedFrom = std::isnan(m_x[i]) ? i + 1 : i;
    m_summary.extend(m_x.data(), m_y.data(), m_x.size());
    dropOldest();
}

void TPlotListMember::setMaxPoints(int MaxPoints)
{
    m_maxPoints = std::max(MaxPoints, 0);
    dropOldest();
}

void TPlotListMember::dropOldest()
{
    const std::size_t kept = m_x.size() - m_first;
    if (m_maxPoints > 0 && kept > static_cast<std::size_t>(m_maxPoints))
        m_first += kept - m_maxPoints;
    // The dropped points are given back once they are as many as the kept
    // ones (and not too few to bother).
    if (m_first >= 4096 && m_first >= m_x.size() - m_first)
        storageMoved();
}

void TPlotListMember::storageMoved()
{
    m_x.erase(m_x.begin(), m_x.begin() + static_cast<std::ptrdiff_t>(m_first));
    m_y.erase(m_y.begin(), m_y.begin() + static_cast<std::ptrdiff_t>(m_first));
    m_sortedFrom = m_sortedFrom > m_first ? m_sortedFrom - m_first : 0;
    m_first = 0;
    m_summary.clear();
    m_summary.extend(m_x.data(), m_y.data(), m_x.size());
}

bool TPlotListMember::finiteRangeX(double &Min, double &Max) const
{
    const std::span<const double> x = X();
    if (!XSorted()) {
        bool seeded = false;
        for (const double v : x) {
            if (!std::isfinite(v))
                continue;
            if (!seeded) {
                Min = Max = v;
                seeded = true;
            }
            Max = v > Max ? v : Max;
            Min = v < Min ? v : Min;
        }
        return seeded;
    }
    // Sorted: the infinite values can only stand at the ends.
    std::size_t a = 0;
    std::size_t b = x.size();
    while (a < b && !std::isfinite(x[a]))
        ++a;
    while (b > a && !std::isfinite(x[b - 1]))
        --b;
    if (a == b)
        return false;
    Min = x[a];
    Max = x[b - 1];
    return true;
}

bool TPlotListMember::finiteRangeY(double &Min, double &Max) const
{
    return m_summary.finiteRange(m_y.data(), m_first, m_y.size(), Min, Max);
}

bool isAscending(std::span<const double> Values)
{
    if (Values.empty())
        return true;
    if (std::isnan(Values.front()))
        return false;
    for (std::size_t i = 1; i < Values.size(); ++i)
        if (!(Values[i - 1] <= Values[i]))
            return false;
    return true;
}

TPlotList::TPlotList(const TPlotList &Source)
{
    for (const TPlotListMember *m = Source.First(); m; m = m->Next.get())
        pushFront(std::make_unique<TPlotListMember>(*m));
}

TPlotList &TPlotList::operator=(TPlotList &&Source) noexcept
{
    if (this != &Source) {
        clear();
        m_first = std::move(Source.m_first);
    }
    return *this;
}

TPlotList::~TPlotList()
{
    clear();
}

// Unlinks the members one by one: a long list must not recurse through the
// members' destructors.
void TPlotList::clear()
{
    while (m_first)
        m_first = std::move(m_first->Next);
}

void TPlotList::pushFront(std::unique_ptr<TPlotListMember> Member)
{
    Member->Next = std::move(m_first);
    m_first = std::move(Member);
}

bool TPlotList::FindPlot(TPlotListMember *&Member, int PlotNumber) const
{
    for (TPlotListMember *m = m_first.get(); m; m = m->Next.get()) {
        if (m->PlotNumber == PlotNumber) {
            Member = m;
            return true;
        }
    }
    Member = nullptr;
    return false;
}

TPlotListMember *TPlotList::findOrCreate(int PlotNumber, QColor Color, TPlotStyle Style, bool &Found)
{
    TPlotListMember *member = nullptr;
    Found = FindPlot(member, PlotNumber);
    if (!Found) {
        auto created = std::make_unique<TPlotListMember>();
        created->PlotNumber = PlotNumber;
        created->Color = Color;
        created->Style = Style;
        member = created.get();
        pushFront(std::move(created));
    }
    return member;
}

namespace {

// The points a caller hands over: none without both arrays.
std::size_t pointCount(const double *X, const double *Y, int NumPoints)
{
    return NumPoints > 0 && X && Y ? static_cast<std::size_t>(NumPoints) : 0;
}

} // namespace

bool TPlotList::AddPlot(const double *X, const double *Y, int NumPoints, int PlotNumber,
                        QColor Color, TPlotStyle Style)
{
    bool found = false;
    findOrCreate(PlotNumber, Color, Style, found)->setPoints(X, Y, pointCount(X, Y, NumPoints));
    return found;
}

bool TPlotList::AppendPoints(const double *X, const double *Y, int NumPoints, int PlotNumber,
                             QColor Color, TPlotStyle Style)
{
    bool found = false;
    findOrCreate(PlotNumber, Color, Style, found)->appendPoints(X, Y, pointCount(X, Y, NumPoints));
    return found;
}

bool TPlotList::RemovePlot(int PlotNumber)
{
    for (std::unique_ptr<TPlotListMember> *link = &m_first; *link; link = &(*link)->Next) {
        if ((*link)->PlotNumber == PlotNumber) {
            std::unique_ptr<TPlotListMember> removed = std::move(*link);
            *link = std::move(removed->Next);
            return true;
        }
    }
    return false;
}

void TPlotList::AppendPlotList(const TPlotList *Source)
{
    if (!Source || Source == this)
        return;
    for (const TPlotListMember *m = Source->First(); m; m = m->Next.get())
        AddPlot(m->X().data(), m->Y().data(), m->NumPoints(), m->PlotNumber, m->Color, m->Style);
}
