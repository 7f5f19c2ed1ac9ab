#include "components/xyplot/PlotList.h"

TPlotListMember::TPlotListMember(const TPlotListMember &Source)
    : X(Source.X)
    , Y(Source.Y)
    , Color(Source.Color)
    , Style(Source.Style)
    , PlotNumber(Source.PlotNumber)
{
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

bool TPlotList::AddPlot(const double *X, const double *Y, int NumPoints, int PlotNumber,
                        QColor Color, TPlotStyle Style)
{
    const std::size_t count = NumPoints > 0 && X && Y ? static_cast<std::size_t>(NumPoints) : 0;
    TPlotListMember *member = nullptr;
    const bool found = FindPlot(member, PlotNumber);
    if (!found) {
        auto created = std::make_unique<TPlotListMember>();
        created->PlotNumber = PlotNumber;
        created->Color = Color;
        created->Style = Style;
        member = created.get();
        pushFront(std::move(created));
    }
    member->X.assign(X, X + count);
    member->Y.assign(Y, Y + count);
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
        AddPlot(m->X.data(), m->Y.data(), m->NumPoints(), m->PlotNumber, m->Color, m->Style);
}
