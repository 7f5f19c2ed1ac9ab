#include "components/xyplot/XYPlot.h"

#include "runtime/NumberFormat.h"

#include <QGuiApplication>
#include <QScreen>
#include <QPalette>

#include <algorithm>
#include <cmath>
#include <climits>

namespace {

QColor buttonFaceColor()
{
    return QGuiApplication::palette().color(QPalette::Button);
}

// The finite extremes of one coordinate over all plots. Non-finite values
// cannot be drawn and must not become limits.
template <typename Select>
bool findLimits(const TPlotList &List, Select select, double &Min, double &Max)
{
    bool seeded = false;
    for (const TPlotListMember *m = List.First(); m; m = m->Next.get()) {
        double low = 0.0;
        double high = 0.0;
        if (!select(*m, low, high))
            continue;
        if (!seeded) {
            Min = low;
            Max = high;
            seeded = true;
        }
        if (!(Max >= high))
            Max = high;
        if (Min > low)
            Min = low;
    }
    return seeded;
}

} // namespace

TXYPlot::TXYPlot(QWidget *parent)
    : QWidget(parent)
{
    Initialize();
    SetProperties();
}

TXYPlot::TXYPlot(const TXYPlot &Source)
    : QWidget(Source.parentWidget())
    , FColor(buttonFaceColor())
{
    Initialize();
    AssignPlot(&Source);
}

TXYPlot::~TXYPlot() = default;

void TXYPlot::Initialize()
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);

    PlotList.clear();
    for (TPaintPage *page : {&PlotPage, &TopFramePage, &LeftFramePage, &BottomFramePage,
                             &XLabelPage, &YLabelPage, &XTitlePage, &YTitlePage,
                             &YTitleTextPage, &PlotTitlePage, &InfoBoxPage})
        *page = TPaintPage();
    InfoBoxRect = QRect();
    FPlotTitleFont = QFont();
    FAxisTitleFont = QFont();
    FAxisLabelFont = QFont();
    FInfoBoxFont = QFont();
    FInfoBoxFontColor = Qt::black;

    PaintTimer.setObjectName(QStringLiteral("PaintTimer"));
    PaintTimer.stop();
    PaintTimer.setInterval(FPaintRedrawDelay != 0 ? FPaintRedrawDelay : 1000);
    PaintTimer.disconnect(this);
    connect(&PaintTimer, &QTimer::timeout, this, &TXYPlot::DoTimerPaint);

    LiveFrameTimer.stop();
    LiveFrameTimer.setSingleShot(true);
    LiveFrameTimer.setTimerType(Qt::PreciseTimer);
    LiveFrameTimer.disconnect(this);
    connect(&LiveFrameTimer, &QTimer::timeout, this, &TXYPlot::DoLiveFrame);
}

void TXYPlot::SetProperties()
{
    FPaintRedrawDelay = 0;
    FAutoRedraw = true;
    FColor = QColor(0xC0, 0xC0, 0xC0);
    FBkGraphicColor = buttonFaceColor();
    FAxisColor = Qt::black;
    FGridColor = Qt::black;
    FInfoBoxBkColor = QColor(0x80, 0x80, 0x80);
    FInfoBoxColor = Qt::white;
    FAxisStyle = TAxisStyle::CenteredBox;
    FXAxisFormat = TAxisFormat::Linear;
    FYAxisFormat = TAxisFormat::Linear;
    FShowXLabel = true;
    FShowYLabel = true;
    FShowInfoBox = true;
    InfoBoxFits = true;
    FXAutoScale = true;
    FYAutoScale = true;
    FXMax = 10.0;
    FXMin = 0.0;
    FYMax = 10.0;
    FYMin = 0.0;
    FXLabelFormatString = QStringLiteral("0.00");
    FYLabelFormatString = QStringLiteral("0.0000");
    FInfoBoxXFormatString = QStringLiteral("0.00");
    FInfoBoxYFormatString = QStringLiteral("0.000");
    FTopFrameOffset = 0;
    FLeftFrameOffset = 0;
    FBottomFrameOffset = 0;
    FPlotTitleOffset = 0;
    FXTitleOffset = 0;
    FYTitleOffset = 0;
    FXLabelOffset = 0;
    FYLabelOffset = 2;
    FPointSize = 2;
    FShowHorzGrid = true;
    FShowVertGrid = true;
    FShowHorzTicks = true;
    FShowVertTicks = true;
    FVertTickLength = 6;
    FHorzTickLength = 6;
    FNumHorzGrid = 3;
    FNumVertGrid = 3;
    MouseControl = true;
    FShowXTitle = true;
    FShowYTitle = true;
    FShowPlotTitle = true;
    FXTitle = QStringLiteral("X Axis");
    FYTitle = QStringLiteral("Y Axis");
    FPlotTitle = QStringLiteral("XY Plot");
    FInfoBoxX1 = QStringLiteral("Время = ");
    FInfoBoxX2 = QStringLiteral(" млс");
    FInfoBoxY1 = QStringLiteral("Ампл. = ");
    FInfoBoxY2 = QStringLiteral(" кГц");
    FInfoBoxStringsDistance = 0;
    FInfoBoxFontColor = FInfoBoxColor;
    Panning = false;
    Stretching = false;
    RubberBanding = false;
    resize(300, 250);
    LastWidth = 0;
    LastHeight = 0;
    FMouseX = 0.0;
    FMouseY = 0.0;
    FInfoBoxXFactor = 1.0;
    FInfoBoxXOffset = 0.0;
    FInfoBoxYFactor = 1.0;
    FInfoBoxYOffset = 0.0;
}

// ---------------------------------------------------------------------------
// Copying between controls

void TXYPlot::AssignPlot(const TXYPlot *Source)
{
    if (!Source || Source == this)
        return;
    Initialize();
    PlotList = TPlotList(Source->PlotList);
    AssignPlotProperties(Source);
    rescale();
    ResizePaintPage();
    if (FAutoRedraw)
        Redraw();
}

void TXYPlot::AssignPlotData(const TXYPlot *Source)
{
    if (!Source || Source == this)
        return;
    PlotList = TPlotList(Source->PlotList);
    rescale();
    ResizePaintPage();
    if (FAutoRedraw)
        Redraw();
}

void TXYPlot::AppendPlotData(const TXYPlot *Source)
{
    if (!Source || Source == this)
        return;
    PlotList.AppendPlotList(&Source->PlotList);
    rescale();
    ResizePaintPage();
    if (FAutoRedraw)
        Redraw();
}

void TXYPlot::AssignPlotProperties(const TXYPlot *Source)
{
    if (!Source || Source == this)
        return;
    FAutoRedraw = Source->FAutoRedraw;
    FAxisColor = Source->FAxisColor;
    FAxisStyle = Source->FAxisStyle;
    FXAxisFormat = Source->FXAxisFormat;
    FYAxisFormat = Source->FYAxisFormat;
    FShowXLabel = Source->FShowXLabel;
    FShowYLabel = Source->FShowYLabel;
    FShowInfoBox = Source->FShowInfoBox;
    FYAutoScale = Source->FYAutoScale;
    FXAutoScale = Source->FXAutoScale;
    FYMax = Source->FYMax;
    FYMin = Source->FYMin;
    FXMax = Source->FXMax;
    FXMin = Source->FXMin;
    FYLabelFormatString = Source->FYLabelFormatString;
    FXLabelFormatString = Source->FXLabelFormatString;
    FPointSize = Source->FPointSize;
    FShowHorzGrid = Source->FShowHorzGrid;
    FShowVertGrid = Source->FShowVertGrid;
    FShowHorzTicks = Source->FShowHorzTicks;
    FShowVertTicks = Source->FShowVertTicks;
    FVertTickLength = Source->FVertTickLength;
    FHorzTickLength = Source->FHorzTickLength;
    FNumHorzGrid = Source->FNumHorzGrid;
    FNumVertGrid = Source->FNumVertGrid;
    FGridColor = Source->FGridColor;
    MouseControl = Source->MouseControl;
    FShowYTitle = Source->FShowYTitle;
    FShowXTitle = Source->FShowXTitle;
    FShowPlotTitle = Source->FShowPlotTitle;
    FXTitle = Source->FXTitle;
    FYTitle = Source->FYTitle;
    FPlotTitle = Source->FPlotTitle;
    FPlotTitleFont = Source->FPlotTitleFont;
    FAxisTitleFont = Source->FAxisTitleFont;
    FAxisLabelFont = Source->FAxisLabelFont;
    FInfoBoxFont = Source->FInfoBoxFont;
    FInfoBoxFontColor = Source->FInfoBoxFontColor;
    // Titles, fonts and shown parts may differ now: the next change of the
    // limits lays out and draws everything.
    m_layoutTexts = LayoutTexts();
    m_decorationsDrawn = false;
    m_xLabelsShown.reset();
    m_yLabelsShown.reset();
    CalculateLogMaxMin();
    if (FAutoRedraw)
        Redraw();
}

// ---------------------------------------------------------------------------
// Plot operations

bool TXYPlot::XYPlot(const double *X, const double *Y, int NumPoints, int PlotNumber,
                     QColor Color, TPlotStyle Style)
{
    const bool replaced = PlotList.AddPlot(X, Y, NumPoints, PlotNumber, Color, Style);
    rescale();
    if (FAutoRedraw)
        DrawPlotsAndLabels();
    return replaced;
}

bool TXYPlot::XYPlot(const double *Y, int NumPoints, int PlotNumber, QColor Color, TPlotStyle Style)
{
    std::vector<double> x(static_cast<std::size_t>(std::max(NumPoints, 0)));
    for (std::size_t i = 0; i < x.size(); ++i)
        x[i] = static_cast<double>(i);
    return XYPlot(x.data(), Y, NumPoints, PlotNumber, Color, Style);
}

bool TXYPlot::XYPlot(const double *Y, int NumPoints, double XStart, double XEnd, int PlotNumber,
                     QColor Color, TPlotStyle Style)
{
    std::vector<double> x(static_cast<std::size_t>(std::max(NumPoints, 0)));
    // A single point has no step: it stands at XStart.
    const double step = NumPoints > 1 ? (XEnd - XStart) / (NumPoints - 1) : 0.0;
    for (std::size_t i = 0; i < x.size(); ++i)
        x[i] = static_cast<double>(i) * step + XStart;
    return XYPlot(x.data(), Y, NumPoints, PlotNumber, Color, Style);
}

bool TXYPlot::AppendPlotPoints(const double *X, const double *Y, int NumPoints, int PlotNumber,
                               QColor Color, TPlotStyle Style)
{
    const bool appended = PlotList.AppendPoints(X, Y, NumPoints, PlotNumber, Color, Style);
    rescale();
    scheduleLiveFrame();
    return appended;
}

bool TXYPlot::SetPlotMaxPoints(int MaxPoints, int PlotNumber)
{
    TPlotListMember *member = nullptr;
    if (!PlotList.FindPlot(member, PlotNumber))
        return false;
    const int before = member->NumPoints();
    member->setMaxPoints(MaxPoints);
    if (member->NumPoints() != before) {
        rescale();
        scheduleLiveFrame();
    }
    return true;
}

bool TXYPlot::GetPlotMaxPoints(int &MaxPoints, int PlotNumber) const
{
    TPlotListMember *member = nullptr;
    if (!PlotList.FindPlot(member, PlotNumber))
        return false;
    MaxPoints = member->maxPoints();
    return true;
}

// At most one redraw per screen frame. The first append after a quiet time
// starts the wait; while points keep coming the frames keep the screen's
// beat (a frame period is no whole number of milliseconds: the waits are
// measured from the beat, not from the last frame).
double TXYPlot::framePeriod() const
{
    const QScreen *s = screen();
    const double rate = s && s->refreshRate() > 1 ? s->refreshRate() : 60.0;
    return 1000.0 / rate;
}

void TXYPlot::scheduleLiveFrame()
{
    m_liveChanged = true;
    if (LiveFrameTimer.isActive())
        return;
    if (!m_liveClock.isValid())
        m_liveClock.start();
    m_nextLiveFrame = m_liveClock.nsecsElapsed() / 1.0e6 + framePeriod();
    LiveFrameTimer.start(std::max(1, static_cast<int>(std::lround(framePeriod()))));
}

void TXYPlot::DoLiveFrame()
{
    if (!m_liveChanged)
        return;
    m_liveChanged = false;
    // A control that cannot be seen draws nothing: showing it runs Paint,
    // which draws everything.
    if (FAutoRedraw && isVisible())
        DrawPlotsAndLabels();
    const double now = m_liveClock.nsecsElapsed() / 1.0e6;
    m_nextLiveFrame = std::max(m_nextLiveFrame + framePeriod(), now + 1);
    LiveFrameTimer.start(std::max(1, static_cast<int>(std::lround(m_nextLiveFrame - now))));
}

bool TXYPlot::RemovePlot(int PlotNumber)
{
    if (!PlotList.RemovePlot(PlotNumber))
        return false;
    rescale();
    if (FAutoRedraw)
        DrawPlotsAndLabels();
    return true;
}

bool TXYPlot::SetPlotColor(QColor Color, int PlotNumber)
{
    TPlotListMember *member = nullptr;
    if (!PlotList.FindPlot(member, PlotNumber))
        return false;
    member->Color = Color;
    DrawOnePlot(member);
    RedrawScreen();
    return true;
}

bool TXYPlot::SetPlotStyle(TPlotStyle Style, int PlotNumber)
{
    TPlotListMember *member = nullptr;
    if (!PlotList.FindPlot(member, PlotNumber))
        return false;
    member->Style = Style;
    if (FAutoRedraw)
        DrawAllPlots();
    return true;
}

bool TXYPlot::GetPlotStyle(TPlotStyle &Style, int PlotNumber) const
{
    TPlotListMember *member = nullptr;
    if (!PlotList.FindPlot(member, PlotNumber))
        return false;
    Style = member->Style;
    return true;
}

bool TXYPlot::GetPlotColor(QColor &Color, int PlotNumber) const
{
    TPlotListMember *member = nullptr;
    if (!PlotList.FindPlot(member, PlotNumber))
        return false;
    Color = member->Color;
    return true;
}

bool TXYPlot::GetPlotNumPoints(int &NumPoints, int PlotNumber) const
{
    TPlotListMember *member = nullptr;
    if (!PlotList.FindPlot(member, PlotNumber))
        return false;
    NumPoints = member->NumPoints();
    return true;
}

bool TXYPlot::GetPlotX(double *X, int PlotNumber) const
{
    TPlotListMember *member = nullptr;
    if (!PlotList.FindPlot(member, PlotNumber))
        return false;
    std::copy(member->X().begin(), member->X().end(), X);
    return true;
}

bool TXYPlot::GetPlotY(double *Y, int PlotNumber) const
{
    TPlotListMember *member = nullptr;
    if (!PlotList.FindPlot(member, PlotNumber))
        return false;
    std::copy(member->Y().begin(), member->Y().end(), Y);
    return true;
}

void TXYPlot::Change()
{
    emit changed();
}

// ---------------------------------------------------------------------------
// Scaling

AxisMap TXYPlot::xAxisMap() const
{
    AxisMap map;
    map.Span = PlotPage.width() - 1;
    map.Log = FXAxisFormat == TAxisFormat::Log;
    map.Min = map.Log ? LogXMin : FXMin;
    map.Range = map.Log ? LogXMax - LogXMin : FXMax - FXMin;
    if (map.Log)
        map.BelowMin = std::log10(0.1 * FXMin);
    return map;
}

AxisMap TXYPlot::yAxisMap() const
{
    AxisMap map;
    map.Downwards = true;
    map.Span = PlotPage.height() - 1;
    map.Log = FYAxisFormat == TAxisFormat::Log;
    map.Min = map.Log ? LogYMin : FYMin;
    map.Range = map.Log ? LogYMax - LogYMin : FYMax - FYMin;
    if (map.Log)
        map.BelowMin = std::log10(0.1 * FYMin);
    return map;
}

double TXYPlot::ScreenX(double X) const
{
    return xAxisMap().map(X);
}

double TXYPlot::ScreenY(double Y) const
{
    return yAxisMap().map(Y);
}

// A page one pixel wide or high has no span; its single column or row then
// stands for the minimum.
double TXYPlot::xDenominator() const
{
    return std::max(PlotPage.width() - 1, 1);
}

double TXYPlot::yDenominator() const
{
    return std::max(PlotPage.height() - 1, 1);
}

double TXYPlot::PlotX(double X) const
{
    const double offset = X - PlotPage.ScreenRect.left();
    if (FXAxisFormat == TAxisFormat::Log)
        return std::pow(10.0, LogXMin + offset * (LogXMax - LogXMin) / xDenominator());
    return FXMin + offset * (FXMax - FXMin) / xDenominator();
}

double TXYPlot::PlotY(double Y) const
{
    const double offset = PlotPage.height() - 1 - (Y - PlotPage.ScreenRect.top());
    if (FYAxisFormat == TAxisFormat::Log)
        return std::pow(10.0, LogYMin + offset * (LogYMax - LogYMin) / yDenominator());
    return FYMin + offset * (FYMax - FYMin) / yDenominator();
}

double TXYPlot::Round(double Value)
{
    constexpr double Epsilon = 2.220446049250313e-13;
    if (Value + Epsilon >= 0)
        return std::floor(Value + 0.5 + Epsilon);
    return std::ceil(Value - 0.5 - Epsilon);
}

void TXYPlot::rescale()
{
    FindXMaxMin();
    FindYMaxMin();
}

void TXYPlot::FindXMaxMin()
{
    if (!FXAutoScale)
        return;
    if (!findLimits(
            PlotList, [](const TPlotListMember &m, double &Min, double &Max) { return m.finiteRangeX(Min, Max); },
            FXMin, FXMax)) {
        FXMax = 1.0;
        FXMin = -1.0;
    }
    CompareMaxMin();
    CalculateLogMaxMin();
}

void TXYPlot::FindYMaxMin()
{
    if (!FYAutoScale)
        return;
    if (!findLimits(
            PlotList, [](const TPlotListMember &m, double &Min, double &Max) { return m.finiteRangeY(Min, Max); },
            FYMin, FYMax)) {
        FYMax = 1.0;
        FYMin = -1.0;
    }
    CompareMaxMin();
    CalculateLogMaxMin();
}

// Equal limits would make the mappings divide by zero. Beyond 2^53 adding one
// changes nothing, so such limits are parted by a relative amount instead.
void TXYPlot::separateLimits(double &Min, double &Max, TAxisFormat Format) const
{
    if (Max != Min)
        return;
    if (Format == TAxisFormat::Log) {
        Max = Min * 10;
    } else {
        Max = Max + 1;
        if (Max == Min)
            Max = Min + std::abs(Min) * 1e-9;
    }
    if (!std::isfinite(Max)) {
        Max = Min;
        Min = Format == TAxisFormat::Log ? Max / 10 : Max - std::abs(Max) * 1e-9;
    }
}

void TXYPlot::CompareMaxMin()
{
    separateLimits(FYMin, FYMax, FYAxisFormat);
    separateLimits(FXMin, FXMax, FXAxisFormat);
}

// The repair of a non-positive maximum to 10 can meet a minimum of 10; equal
// logarithmic limits are parted by a decade like any other equal limits.
void TXYPlot::repairLogLimits(double &Min, double &Max, double &LogMin, double &LogMax) const
{
    separateLimits(Min, Max, TAxisFormat::Log);
    LogMax = std::log10(Max);
    LogMin = std::log10(Min);
}

void TXYPlot::CalculateLogMaxMin()
{
    if (FXAxisFormat == TAxisFormat::Log) {
        if (!(FXMax > 0))
            FXMax = 10;
        if (!(FXMin > 0))
            FXMin = 0.01 * FXMax;
        repairLogLimits(FXMin, FXMax, LogXMin, LogXMax);
    }
    if (FYAxisFormat == TAxisFormat::Log) {
        if (!(FYMax > 0))
            FYMax = 10;
        if (!(FYMin > 0))
            FYMin = 0.01 * FYMax;
        repairLogLimits(FYMin, FYMax, LogYMin, LogYMax);
    }
}

void TXYPlot::SetXYMinMax(double NewXMin, double NewXMax, double NewYMin, double NewYMax, bool Zoom)
{
    // A limit that is not a number (a zoom far beyond the doubles) keeps its
    // old value.
    const auto take = [](double &Field, double Value) {
        if (std::isfinite(Value))
            Field = Value;
    };
    take(FXMin, NewXMin);
    take(FXMax, NewXMax);
    take(FYMin, NewYMin);
    take(FYMax, NewYMax);
    if (!Zoom) {
        HomeXMin = FXMin;
        HomeXMax = FXMax;
        HomeYMin = FYMin;
        HomeYMax = FYMax;
    }
    CompareMaxMin();
    CalculateLogMaxMin();
    showNewLimits();
}

// A pan or zoom that leaves every text of the layout its size keeps the
// layout, and the titles and frames drawn for it.
void TXYPlot::showNewLimits()
{
    const bool keepLayout = layoutTexts() == m_layoutTexts;
    if (!keepLayout)
        ResizePaintPage();
    if (!FAutoRedraw)
        return;
    if (keepLayout && m_decorationsDrawn) {
        DrawAllPlots();
        drawChangedLabels();
    } else {
        Redraw();
    }
}

// ---------------------------------------------------------------------------
// Layout

QString TXYPlot::infoBoxYLine(double Value) const
{
    return FInfoBoxY1 + formatFloat(FInfoBoxYFormatString, FInfoBoxYFactor * Value + FInfoBoxYOffset)
        + FInfoBoxY2;
}

QString TXYPlot::infoBoxXLine(double Value) const
{
    return FInfoBoxX1 + formatFloat(FInfoBoxXFormatString, FInfoBoxXFactor * Value + FInfoBoxXOffset)
        + FInfoBoxX2;
}

void TXYPlot::ResizePaintPage()
{
    layOut();
}

void TXYPlot::layOut()
{
    for (;;) {
        const int W = width();
        const int H = height();
        int L = FLeftFrameOffset;
        int YT = FLeftFrameOffset;
        int B = H - FBottomFrameOffset;
        int XT = B;
        int T = FTopFrameOffset;

        const LayoutTexts texts = layoutTexts();
        if (FShowXLabel)
            B -= texts.XLabelHeight + FXLabelOffset - 2;
        if (FShowXTitle) {
            XTitlePage.AssignFont(FAxisTitleFont);
            const int band = XTitlePage.TextHeight(FXTitle) + FXTitleOffset - 2;
            B -= band;
            XT -= band;
        }
        if (FShowYLabel)
            L += texts.YLabelWidth + FYLabelOffset;
        int titleWidth = 0;
        int titleHeight = 0;
        if (FShowYTitle) {
            YTitleTextPage.AssignFont(FAxisTitleFont);
            YTitlePage.AssignFont(FAxisTitleFont);
            titleWidth = YTitleTextPage.TextWidth(FYTitle);
            titleHeight = YTitleTextPage.TextHeight(FYTitle);
            L += titleHeight + FYTitleOffset - 2;
            YT += titleHeight + FYTitleOffset - 2;
        }
        if (FShowPlotTitle) {
            PlotTitlePage.AssignFont(FPlotTitleFont);
            T += PlotTitlePage.TextHeight(FPlotTitle) + FPlotTitleOffset - 2;
        }
        if (FShowInfoBox) {
            const int BW = texts.InfoBoxWidth;
            const int BH = texts.InfoBoxHeight;
            if (W - BW - 6 > L && T + BH < B) {
                InfoBoxPage.SetPage(W - BW - 6, T + 4, W - 2, T + BH);
                InfoBoxRect = rectFromEdges(W - BW - 6 - L, 4, W - 2 - L, BH);
                InfoBoxFits = true;
            } else {
                InfoBoxFits = false;
            }
        }

        if (T < B && L < W) {
            PlotPage.SetPage(L, T, W, B);
            if (FTopFrameOffset != 0)
                TopFramePage.SetPage(0, 0, W, FTopFrameOffset);
            if (FLeftFrameOffset != 0)
                LeftFramePage.SetPage(0, FTopFrameOffset, FLeftFrameOffset, H - FBottomFrameOffset);
            if (FBottomFrameOffset != 0)
                BottomFramePage.SetPage(0, H - FBottomFrameOffset, W, H);
            if (FShowXLabel)
                XLabelPage.SetPage(L, B, W, XT);
            if (FShowXTitle)
                XTitlePage.SetPage(L, XT, W, H - FBottomFrameOffset);
            if (FShowYLabel)
                YLabelPage.SetPage(YT, T, L, H - FBottomFrameOffset);
            if (FShowYTitle) {
                YTitlePage.SetPage(FLeftFrameOffset, T, YT, H - FBottomFrameOffset);
                YTitleTextPage.SetPage(0, 0, titleWidth, titleHeight);
            }
            if (FShowPlotTitle)
                PlotTitlePage.SetPage(FLeftFrameOffset, FTopFrameOffset, W, T);
        }

        if (T > B) {
            // Too short: the bands above and below the plot give way for good.
            FShowPlotTitle = false;
            FShowXLabel = false;
            FShowXTitle = false;
            FTopFrameOffset = 0;
            FBottomFrameOffset = 0;
            continue;
        }
        if (L > W) {
            FShowYLabel = false;
            FShowYTitle = false;
            FLeftFrameOffset = 0;
            continue;
        }
        m_layoutTexts = texts;
        m_decorationsDrawn = false;
        m_xLabelsShown.reset();
        m_yLabelsShown.reset();
        break;
    }
}

TXYPlot::LayoutTexts TXYPlot::layoutTexts()
{
    LayoutTexts texts;
    texts.Width = width();
    texts.Height = height();
    if (FShowXLabel) {
        XLabelPage.AssignFont(FAxisLabelFont);
        texts.XLabelHeight = XLabelPage.TextHeight(formatFloat(FXLabelFormatString, FXMin));
    }
    if (FShowYLabel) {
        YLabelPage.AssignFont(FAxisLabelFont);
        texts.YLabelWidth = std::max(YLabelPage.TextWidth(formatFloat(FYLabelFormatString, FYMax)),
                                     YLabelPage.TextWidth(formatFloat(FYLabelFormatString, FYMin)));
    }
    if (FShowInfoBox) {
        InfoBoxPage.AssignFont(FInfoBoxFont, FInfoBoxFontColor);
        int BW = 0;
        for (const double v : {FYMax, FYMin, FMouseY})
            BW = std::max(BW, InfoBoxPage.TextWidth(infoBoxYLine(v)));
        for (const double v : {FXMax, FXMin, FMouseX})
            BW = std::max(BW, InfoBoxPage.TextWidth(infoBoxXLine(v)));
        texts.InfoBoxWidth = BW;
        texts.InfoBoxHeight = 2 * InfoBoxPage.TextHeight(infoBoxXLine(FMouseX)) + FInfoBoxStringsDistance + 4;
    }
    return texts;
}

// ---------------------------------------------------------------------------
// Property setters

void TXYPlot::SetColor(QColor Value)
{
    FColor = Value;
    m_decorationsDrawn = false;
    m_xLabelsShown.reset();
    m_yLabelsShown.reset();
    update();
}

void TXYPlot::ResetColor()
{
    SetColor(QColor(0xC0, 0xC0, 0xC0));
}

void TXYPlot::ResetBkGraphicColor()
{
    SetBkGraphicColor(buttonFaceColor());
}

void TXYPlot::ResetInfoBoxBkColor()
{
    SetInfoBoxBkColor(QColor(0x80, 0x80, 0x80));
}

void TXYPlot::SetBkGraphicColor(QColor Value)
{
    FBkGraphicColor = Value;
    if (FAutoRedraw)
        DrawPlotsAndLabels();
}

void TXYPlot::SetAxisColor(QColor Value)
{
    FAxisColor = Value;
    if (FAutoRedraw)
        DrawPlotsAndLabels();
}

void TXYPlot::SetGridColor(QColor Value)
{
    FGridColor = Value;
    if (FAutoRedraw)
        DrawAllPlots();
}

void TXYPlot::SetInfoBoxColor(QColor Value)
{
    FInfoBoxColor = Value;
    FInfoBoxFontColor = Value;
    if (FAutoRedraw)
        DrawAllPlots();
}

void TXYPlot::SetInfoBoxBkColor(QColor Value)
{
    FInfoBoxBkColor = Value;
    if (FAutoRedraw)
        DrawAllPlots();
}

void TXYPlot::SetAxisStyle(TAxisStyle Value)
{
    FAxisStyle = Value;
    if (FAutoRedraw)
        DrawPlotsAndLabels();
}

void TXYPlot::SetYAxisFormat(TAxisFormat Value)
{
    FYAxisFormat = Value;
    FindYMaxMin();
    if (Value == TAxisFormat::Log) {
        // A switch to Log repairs a non-positive minimum to one decade below
        // the maximum.
        if (FYMax > 0 && !(FYMin > 0))
            FYMin = 0.1 * FYMax;
        if (!(FYMax > 0)) {
            FYMax = 10;
            FYMin = 1;
        }
        repairLogLimits(FYMin, FYMax, LogYMin, LogYMax);
    }
    if (FAutoRedraw)
        DrawPlotsAndLabels();
}

void TXYPlot::SetXAxisFormat(TAxisFormat Value)
{
    FXAxisFormat = Value;
    FindXMaxMin();
    if (Value == TAxisFormat::Log) {
        if (FXMax > 0 && !(FXMin > 0))
            FXMin = 0.1 * FXMax;
        if (!(FXMax > 0)) {
            FXMax = 10;
            FXMin = 1;
        }
        repairLogLimits(FXMin, FXMax, LogXMin, LogXMax);
    }
    if (FAutoRedraw)
        DrawPlotsAndLabels();
}

void TXYPlot::SetYLabelFormat(const QString &Value)
{
    FYLabelFormatString = Value;
    SetShowYLabel(FShowYLabel);
}

void TXYPlot::SetXLabelFormat(const QString &Value)
{
    FXLabelFormatString = Value;
    SetShowXLabel(FShowXLabel);
}

void TXYPlot::SetInfoBoxXFormatString(const QString &Value)
{
    FInfoBoxXFormatString = Value;
    ResizePaintPage();
    if (FAutoRedraw)
        Redraw();
}

void TXYPlot::SetInfoBoxYFormatString(const QString &Value)
{
    FInfoBoxYFormatString = Value;
    ResizePaintPage();
    if (FAutoRedraw)
        DrawAllPlots();
}

void TXYPlot::SetInfoBoxXFactor(double Value)
{
    FInfoBoxXFactor = Value;
    ResizePaintPage();
    if (FAutoRedraw)
        DrawAllPlots();
}

void TXYPlot::SetInfoBoxXOffset(double Value)
{
    FInfoBoxXOffset = Value;
    ResizePaintPage();
    if (FAutoRedraw)
        DrawAllPlots();
}

void TXYPlot::SetInfoBoxYFactor(double Value)
{
    FInfoBoxYFactor = Value;
    ResizePaintPage();
    if (FAutoRedraw)
        DrawAllPlots();
}

void TXYPlot::SetInfoBoxYOffset(double Value)
{
    FInfoBoxYOffset = Value;
    ResizePaintPage();
    if (FAutoRedraw)
        DrawAllPlots();
}

void TXYPlot::SetTopFrameOffset(int Value)
{
    FTopFrameOffset = Value;
    SetFrames();
}

void TXYPlot::SetPlotTitleOffset(int Value)
{
    FPlotTitleOffset = Value;
    SetFrames();
}

void TXYPlot::SetLeftFrameOffset(int Value)
{
    FLeftFrameOffset = Value;
    SetFrames();
}

void TXYPlot::SetBottomFrameOffset(int Value)
{
    FBottomFrameOffset = Value;
    SetShowXLabel(FShowXLabel);
}

void TXYPlot::SetYTitleOffset(int Value)
{
    FYTitleOffset = Value;
    SetShowYTitle(FShowYTitle);
}

void TXYPlot::SetXTitleOffset(int Value)
{
    FXTitleOffset = Value;
    SetShowXTitle(FShowXTitle);
}

void TXYPlot::SetYLabelOffset(int Value)
{
    FYLabelOffset = Value;
    SetShowYLabel(FShowYLabel);
}

void TXYPlot::SetXLabelOffset(int Value)
{
    FXLabelOffset = Value;
    SetShowXLabel(FShowXLabel);
}

void TXYPlot::SetFInfoBoxStringsDistance(int Value)
{
    FInfoBoxStringsDistance = Value;
    ResizePaintPage();
    if (FAutoRedraw)
        DrawAllPlots();
}

void TXYPlot::SetShowXLabel(bool Value)
{
    FShowXLabel = Value;
    ResizePaintPage();
    if (FAutoRedraw)
        Redraw();
}

void TXYPlot::SetShowYLabel(bool Value)
{
    FShowYLabel = Value;
    ResizePaintPage();
    if (FAutoRedraw)
        Redraw();
}

void TXYPlot::SetShowInfoBox(bool Value)
{
    FShowInfoBox = Value;
    ResizePaintPage();
    if (FAutoRedraw && shown())
        DrawAllPlots();
}

void TXYPlot::SetYAutoScale(bool Value)
{
    FYAutoScale = Value;
    FindYMaxMin();
    ResizePaintPage();
    if (FAutoRedraw)
        Redraw();
}

void TXYPlot::SetXAutoScale(bool Value)
{
    FXAutoScale = Value;
    FindXMaxMin();
    ResizePaintPage();
    if (FAutoRedraw)
        Redraw();
}

namespace {
// A limit must be a number; anything else leaves the old value.
void storeLimit(double &Field, double Value)
{
    if (std::isfinite(Value))
        Field = Value;
}
} // namespace

void TXYPlot::SetYMax(double Value)
{
    storeLimit(FYMax, Value);
    CompareMaxMin();
    CalculateLogMaxMin();
    showNewLimits();
}

void TXYPlot::SetYMin(double Value)
{
    storeLimit(FYMin, Value);
    CompareMaxMin();
    CalculateLogMaxMin();
    showNewLimits();
}

void TXYPlot::SetXMax(double Value)
{
    storeLimit(FXMax, Value);
    CompareMaxMin();
    CalculateLogMaxMin();
    showNewLimits();
}

void TXYPlot::SetXMin(double Value)
{
    storeLimit(FXMin, Value);
    CompareMaxMin();
    CalculateLogMaxMin();
    showNewLimits();
}

void TXYPlot::SetPointSize(int Value)
{
    FPointSize = std::clamp(Value, 1, 10);
    if (FAutoRedraw)
        DrawAllPlots();
}

void TXYPlot::SetShowHorzGrid(bool Value)
{
    FShowHorzGrid = Value;
    if (FAutoRedraw)
        Redraw();
}

void TXYPlot::SetShowVertGrid(bool Value)
{
    FShowVertGrid = Value;
    if (FAutoRedraw)
        DrawAllPlots();
}

void TXYPlot::SetShowHorzTicks(bool Value)
{
    FShowHorzTicks = Value;
    if (FAutoRedraw)
        DrawAllPlots();
}

void TXYPlot::SetShowVertTicks(bool Value)
{
    FShowVertTicks = Value;
    if (FAutoRedraw)
        DrawAllPlots();
}

void TXYPlot::SetHorzTickLength(int Value)
{
    FHorzTickLength = std::clamp(Value, 0, std::max(width(), 0));
    if (FAutoRedraw)
        DrawAllPlots();
}

void TXYPlot::SetVertTickLength(int Value)
{
    FVertTickLength = std::clamp(Value, 0, std::max(height(), 0));
    if (FAutoRedraw)
        DrawAllPlots();
}

void TXYPlot::SetNumHorzGrid(int Value)
{
    FNumHorzGrid = std::clamp(Value, 0, MaxGridLines);
    if (FAutoRedraw)
        DrawPlotsAndLabels();
}

void TXYPlot::SetNumVertGrid(int Value)
{
    FNumVertGrid = std::clamp(Value, 0, MaxGridLines);
    if (FAutoRedraw)
        DrawPlotsAndLabels();
}

void TXYPlot::SetPaintRedrawDelay(int Value)
{
    PaintTimer.stop();
    FPaintRedrawDelay = Value == INT_MIN ? INT_MAX : std::abs(Value);
    PaintTimer.setInterval(FPaintRedrawDelay);
}

void TXYPlot::SetAutoRedraw(bool Value)
{
    FAutoRedraw = Value;
    if (Value)
        Redraw();
}

void TXYPlot::SetFrames()
{
    ResizePaintPage();
    if (FAutoRedraw)
        Redraw();
}

void TXYPlot::SetShowXTitle(bool Value)
{
    FShowXTitle = Value;
    ResizePaintPage();
    if (FAutoRedraw)
        Redraw();
}

void TXYPlot::SetShowYTitle(bool Value)
{
    FShowYTitle = Value;
    ResizePaintPage();
    if (FAutoRedraw)
        Redraw();
}

void TXYPlot::SetShowPlotTitle(bool Value)
{
    FShowPlotTitle = Value;
    ResizePaintPage();
    if (FAutoRedraw)
        Redraw();
}

void TXYPlot::SetXTitle(const QString &Value)
{
    FXTitle = Value;
    if (FAutoRedraw)
        DrawTitles();
    else
        m_decorationsDrawn = false;
}

void TXYPlot::SetYTitle(const QString &Value)
{
    FYTitle = Value;
    ResizePaintPage();
    if (FAutoRedraw)
        DrawTitles();
}

void TXYPlot::SetPlotTitle(const QString &Value)
{
    FPlotTitle = Value;
    if (FAutoRedraw)
        DrawTitles();
    else
        m_decorationsDrawn = false;
}

void TXYPlot::SetInfoBoxX1(const QString &Value)
{
    FInfoBoxX1 = Value;
    ResizePaintPage();
    if (FAutoRedraw)
        Redraw();
}

void TXYPlot::SetInfoBoxX2(const QString &Value)
{
    FInfoBoxX2 = Value;
    ResizePaintPage();
    if (FAutoRedraw)
        Redraw();
}

void TXYPlot::SetInfoBoxY1(const QString &Value)
{
    FInfoBoxY1 = Value;
    ResizePaintPage();
    if (FAutoRedraw)
        Redraw();
}

void TXYPlot::SetInfoBoxY2(const QString &Value)
{
    FInfoBoxY2 = Value;
    ResizePaintPage();
    if (FAutoRedraw)
        Redraw();
}

void TXYPlot::SetPlotTitleFont(const QFont &Value)
{
    FPlotTitleFont = Value;
    PlotTitlePage.AssignFont(FPlotTitleFont);
    ResizePaintPage();
    if (FAutoRedraw)
        Redraw();
}

void TXYPlot::SetAxisTitleFont(const QFont &Value)
{
    FAxisTitleFont = Value;
    XTitlePage.AssignFont(FAxisTitleFont);
    YTitlePage.AssignFont(FAxisTitleFont);
    ResizePaintPage();
    if (FAutoRedraw)
        Redraw();
}

void TXYPlot::SetAxisLabelFont(const QFont &Value)
{
    FAxisLabelFont = Value;
    XLabelPage.AssignFont(FAxisLabelFont);
    YLabelPage.AssignFont(FAxisLabelFont);
    ResizePaintPage();
    if (FAutoRedraw)
        Redraw();
}

void TXYPlot::SetInfoBoxFont(const QFont &Value)
{
    FInfoBoxFont = Value;
    InfoBoxPage.AssignFont(FInfoBoxFont, FInfoBoxFontColor);
    ResizePaintPage();
    if (FAutoRedraw)
        DrawAllPlots();
}
