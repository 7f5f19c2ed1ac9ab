#pragma once

#include "components/xyplot/PaintPage.h"
#include "components/xyplot/PlotList.h"
#include "components/xyplot/PlotThinning.h"
#include "components/xyplot/XYPlotTypes.h"

#include <QColor>
#include <QElapsedTimer>
#include <QFont>
#include <QImage>
#include <QRegion>
#include <QString>
#include <QTimer>
#include <QWidget>

#include <optional>
#include <vector>

// An XY plotting control: any number of data series drawn as lines and/or
// square markers over axes, grid, ticks, labels, titles and an info box that
// reads out the data position under the mouse. The user pans by dragging,
// stretches with Alt, zooms into a rectangle with Ctrl and returns with a
// double click.
//
// Every region is composed off screen in its own page and then copied into the
// control's canvas, which paintEvent shows.
class TXYPlot : public QWidget
{
    Q_OBJECT

    Q_PROPERTY(int PaintRedrawDelay READ PaintRedrawDelay WRITE SetPaintRedrawDelay RESET ResetPaintRedrawDelay)
    Q_PROPERTY(bool AutoRedraw READ AutoRedraw WRITE SetAutoRedraw RESET ResetAutoRedraw)
    Q_PROPERTY(QColor Color READ Color WRITE SetColor RESET ResetColor)
    Q_PROPERTY(QColor BkGraphicColor READ BkGraphicColor WRITE SetBkGraphicColor RESET ResetBkGraphicColor)
    Q_PROPERTY(QColor AxisColor READ AxisColor WRITE SetAxisColor RESET ResetAxisColor)
    Q_PROPERTY(XYPlotTypes::TAxisStyle AxisStyle READ AxisStyle WRITE SetAxisStyle RESET ResetAxisStyle)
    Q_PROPERTY(QColor GridColor READ GridColor WRITE SetGridColor RESET ResetGridColor)
    Q_PROPERTY(QColor InfoBoxBkColor READ InfoBoxBkColor WRITE SetInfoBoxBkColor RESET ResetInfoBoxBkColor)
    Q_PROPERTY(QColor InfoBoxColor READ InfoBoxColor WRITE SetInfoBoxColor RESET ResetInfoBoxColor)
    Q_PROPERTY(XYPlotTypes::TAxisFormat XAxisFormat READ XAxisFormat WRITE SetXAxisFormat RESET ResetXAxisFormat)
    Q_PROPERTY(XYPlotTypes::TAxisFormat YAxisFormat READ YAxisFormat WRITE SetYAxisFormat RESET ResetYAxisFormat)
    Q_PROPERTY(bool ShowXLabel READ ShowXLabel WRITE SetShowXLabel)
    Q_PROPERTY(bool ShowYLabel READ ShowYLabel WRITE SetShowYLabel)
    Q_PROPERTY(bool ShowXTitle READ ShowXTitle WRITE SetShowXTitle)
    Q_PROPERTY(bool ShowYTitle READ ShowYTitle WRITE SetShowYTitle)
    Q_PROPERTY(bool ShowPlotTitle READ ShowPlotTitle WRITE SetShowPlotTitle)
    Q_PROPERTY(QString XLabelFormatString READ XLabelFormatString WRITE SetXLabelFormat)
    Q_PROPERTY(QString YLabelFormatString READ YLabelFormatString WRITE SetYLabelFormat)
    Q_PROPERTY(QString InfoBoxXFormatString READ InfoBoxXFormatString WRITE SetInfoBoxXFormatString)
    Q_PROPERTY(QString InfoBoxYFormatString READ InfoBoxYFormatString WRITE SetInfoBoxYFormatString)
    Q_PROPERTY(double InfoBoxXFactor READ InfoBoxXFactor WRITE SetInfoBoxXFactor)
    Q_PROPERTY(double InfoBoxYFactor READ InfoBoxYFactor WRITE SetInfoBoxYFactor)
    Q_PROPERTY(double InfoBoxXOffset READ InfoBoxXOffset WRITE SetInfoBoxXOffset)
    Q_PROPERTY(double InfoBoxYOffset READ InfoBoxYOffset WRITE SetInfoBoxYOffset)
    Q_PROPERTY(QString InfoBoxX1 READ InfoBoxX1 WRITE SetInfoBoxX1)
    Q_PROPERTY(QString InfoBoxX2 READ InfoBoxX2 WRITE SetInfoBoxX2)
    Q_PROPERTY(QString InfoBoxY1 READ InfoBoxY1 WRITE SetInfoBoxY1)
    Q_PROPERTY(QString InfoBoxY2 READ InfoBoxY2 WRITE SetInfoBoxY2)
    Q_PROPERTY(int InfoBoxStringsDistance READ InfoBoxStringsDistance WRITE SetFInfoBoxStringsDistance RESET ResetInfoBoxStringsDistance)
    Q_PROPERTY(bool ShowInfoBox READ ShowInfoBox WRITE SetShowInfoBox)
    Q_PROPERTY(bool XAutoScale READ XAutoScale WRITE SetXAutoScale)
    Q_PROPERTY(bool YAutoScale READ YAutoScale WRITE SetYAutoScale)
    Q_PROPERTY(double XMax READ XMax WRITE SetXMax)
    Q_PROPERTY(double YMax READ YMax WRITE SetYMax)
    Q_PROPERTY(double XMin READ XMin WRITE SetXMin)
    Q_PROPERTY(double YMin READ YMin WRITE SetYMin)
    Q_PROPERTY(int TopFrameOffset READ TopFrameOffset WRITE SetTopFrameOffset RESET ResetTopFrameOffset)
    Q_PROPERTY(int LeftFrameOffset READ LeftFrameOffset WRITE SetLeftFrameOffset RESET ResetLeftFrameOffset)
    Q_PROPERTY(int BottomFrameOffset READ BottomFrameOffset WRITE SetBottomFrameOffset RESET ResetBottomFrameOffset)
    Q_PROPERTY(int PlotTitleOffset READ PlotTitleOffset WRITE SetPlotTitleOffset RESET ResetPlotTitleOffset)
    Q_PROPERTY(int XTitleOffset READ XTitleOffset WRITE SetXTitleOffset RESET ResetXTitleOffset)
    Q_PROPERTY(int YTitleOffset READ YTitleOffset WRITE SetYTitleOffset RESET ResetYTitleOffset)
    Q_PROPERTY(int XLabelOffset READ XLabelOffset WRITE SetXLabelOffset RESET ResetXLabelOffset)
    Q_PROPERTY(int YLabelOffset READ YLabelOffset WRITE SetYLabelOffset RESET ResetYLabelOffset)
    Q_PROPERTY(int PointSize READ PointSize WRITE SetPointSize RESET ResetPointSize)
    Q_PROPERTY(bool MouseControl MEMBER MouseControl)
    Q_PROPERTY(bool ShowHorzGrid READ ShowHorzGrid WRITE SetShowHorzGrid)
    Q_PROPERTY(bool ShowVertGrid READ ShowVertGrid WRITE SetShowVertGrid)
    Q_PROPERTY(bool ShowHorzTicks READ ShowHorzTicks WRITE SetShowHorzTicks)
    Q_PROPERTY(bool ShowVertTicks READ ShowVertTicks WRITE SetShowVertTicks)
    Q_PROPERTY(int VertTickLength READ VertTickLength WRITE SetVertTickLength RESET ResetVertTickLength)
    Q_PROPERTY(int HorzTickLength READ HorzTickLength WRITE SetHorzTickLength RESET ResetHorzTickLength)
    Q_PROPERTY(int NumHorzGrid READ NumHorzGrid WRITE SetNumHorzGrid RESET ResetNumHorzGrid)
    Q_PROPERTY(int NumVertGrid READ NumVertGrid WRITE SetNumVertGrid RESET ResetNumVertGrid)
    Q_PROPERTY(double MouseX READ MouseX STORED false)
    Q_PROPERTY(double MouseY READ MouseY STORED false)
    Q_PROPERTY(QString XTitle READ XTitle WRITE SetXTitle)
    Q_PROPERTY(QString YTitle READ YTitle WRITE SetYTitle)
    Q_PROPERTY(QString PlotTitle READ PlotTitle WRITE SetPlotTitle)
    Q_PROPERTY(QFont PlotTitleFont READ PlotTitleFont WRITE SetPlotTitleFont)
    Q_PROPERTY(QFont AxisTitleFont READ AxisTitleFont WRITE SetAxisTitleFont)
    Q_PROPERTY(QFont AxisLabelFont READ AxisLabelFont WRITE SetAxisLabelFont)
    Q_PROPERTY(QFont InfoBoxFont READ InfoBoxFont WRITE SetInfoBoxFont)

public:
    // More grid lines than this would only paint the plot area solid; the
    // ceiling also keeps a huge count from hanging every redraw.
    static constexpr int MaxGridLines = 1000;
    explicit TXYPlot(QWidget *parent = nullptr);
    // A control with the source's plots and the properties that
    // AssignPlotProperties copies; every other value of its own stays zero.
    explicit TXYPlot(const TXYPlot &Source);
    ~TXYPlot() override;

    // Copying plots and properties between controls.
    void AssignPlot(const TXYPlot *Source);
    void AssignPlotData(const TXYPlot *Source);
    void AppendPlotData(const TXYPlot *Source);
    void AssignPlotProperties(const TXYPlot *Source);

    // Plot operations. Each result says whether a plot of that number existed;
    // XYPlot replaces the data of an existing plot, keeping colour and style.
    bool XYPlot(const double *X, const double *Y, int NumPoints, int PlotNumber,
                QColor Color, TPlotStyle Style);
    bool XYPlot(const double *Y, int NumPoints, int PlotNumber, QColor Color, TPlotStyle Style);
    bool XYPlot(const double *Y, int NumPoints, double XStart, double XEnd, int PlotNumber,
                QColor Color, TPlotStyle Style);
    bool RemovePlot(int PlotNumber);
    bool SetPlotColor(QColor Color, int PlotNumber);
    bool SetPlotStyle(TPlotStyle Style, int PlotNumber);
    bool GetPlotStyle(TPlotStyle &Style, int PlotNumber) const;
    bool GetPlotColor(QColor &Color, int PlotNumber) const;
    bool GetPlotNumPoints(int &NumPoints, int PlotNumber) const;
    bool GetPlotX(double *X, int PlotNumber) const;
    bool GetPlotY(double *Y, int PlotNumber) const;
    const TPlotList &plotList() const { return PlotList; }

    // Live data. AppendPlotPoints adds points after the newest ones of a plot,
    // or makes a new plot of them with that colour and style (then the result
    // is false). The limits follow the data at once; the picture is drawn
    // again once per screen frame however many appends came in between, when
    // AutoRedraw is on and the control can be seen. Points whose x values go
    // down are drawn as unsorted data.
    bool AppendPlotPoints(const double *X, const double *Y, int NumPoints, int PlotNumber,
                          QColor Color, TPlotStyle Style);
    // A plot with a limit keeps only its newest MaxPoints points: appending
    // beyond it drops the oldest, so point 0 is always the oldest one kept.
    // 0 takes the limit away. A lower limit drops points at once.
    bool SetPlotMaxPoints(int MaxPoints, int PlotNumber);
    bool GetPlotMaxPoints(int &MaxPoints, int PlotNumber) const;

    // A paint asked for by the caller runs Paint, even when it comes in the
    // same turn as the control's own copies of its pages, which Qt merges
    // into one paint event. These hide QWidget's update and repaint so that
    // the control can tell them apart.
    void update();
    void update(const QRect &Rect);
    void update(const QRegion &Region);
    void update(int X, int Y, int Width, int Height) { update(QRect(X, Y, Width, Height)); }
    void repaint();
    void repaint(const QRect &Rect);
    void repaint(const QRegion &Region);
    void repaint(int X, int Y, int Width, int Height) { repaint(QRect(X, Y, Width, Height)); }

    // Scaling and coordinates: data values to plot-page pixels and control
    // pixels back to data values.
    double ScreenX(double X) const;
    double ScreenY(double Y) const;
    double PlotX(double X) const;
    double PlotY(double Y) const;
    static double Round(double Value);
    void FindXMaxMin();
    void FindYMaxMin();
    void CompareMaxMin();
    void CalculateLogMaxMin();
    void SetXYMinMax(double XMin, double XMax, double YMin, double YMax, bool Zoom);
    int GetPlotPixelWidth() const { return PlotPage.width(); }
    int GetPlotPixelHeight() const { return PlotPage.height(); }
    void ResizePaintPage();

    // Drawing.
    void Redraw();
    void DrawPlotsAndLabels();
    void DrawAllPlots();
    // Draws what can be seen of the plot: the same pixels as drawing every
    // point, with fewer points (see DrawOnePlotExhaustive).
    void DrawOnePlot(const TPlotListMember *Member);
    // Draws every point of the plot, one by one: the reference for
    // DrawOnePlot, used for all plots while ExhaustiveDrawing is set.
    void DrawOnePlotExhaustive(const TPlotListMember *Member);
    void DrawGrid();
    void DrawTicks();
    void DrawAxis();
    void DrawXAxisLabels();
    void DrawYAxisLabels();
    // The texts of the axis labels and where they are written on their pages.
    struct AxisLabel {
        QString Text;
        QPoint Pos;
    };
    std::vector<AxisLabel> XAxisLabels() const;
    std::vector<AxisLabel> YAxisLabels() const;
    void DrawTitles();
    void DrawFrames();
    void DrawInfoBox();
    virtual void UpdatePaintPage(const TPaintPage &Page);
    void RedrawScreen();
    void ClearPlot();
    // What the control shows: the pages copied so far.
    const QImage &canvas() const { return m_canvas; }

    // Notifies the callers through changed(); the control itself never calls it.
    virtual void Change();

    // Property getters.
    int PaintRedrawDelay() const { return FPaintRedrawDelay; }
    bool AutoRedraw() const { return FAutoRedraw; }
    QColor Color() const { return FColor; }
    QColor BkGraphicColor() const { return FBkGraphicColor; }
    QColor AxisColor() const { return FAxisColor; }
    TAxisStyle AxisStyle() const { return FAxisStyle; }
    QColor GridColor() const { return FGridColor; }
    QColor InfoBoxBkColor() const { return FInfoBoxBkColor; }
    QColor InfoBoxColor() const { return FInfoBoxColor; }
    TAxisFormat XAxisFormat() const { return FXAxisFormat; }
    TAxisFormat YAxisFormat() const { return FYAxisFormat; }
    bool ShowXLabel() const { return FShowXLabel; }
    bool ShowYLabel() const { return FShowYLabel; }
    bool ShowXTitle() const { return FShowXTitle; }
    bool ShowYTitle() const { return FShowYTitle; }
    bool ShowPlotTitle() const { return FShowPlotTitle; }
    QString XLabelFormatString() const { return FXLabelFormatString; }
    QString YLabelFormatString() const { return FYLabelFormatString; }
    QString InfoBoxXFormatString() const { return FInfoBoxXFormatString; }
    QString InfoBoxYFormatString() const { return FInfoBoxYFormatString; }
    double InfoBoxXFactor() const { return FInfoBoxXFactor; }
    double InfoBoxYFactor() const { return FInfoBoxYFactor; }
    double InfoBoxXOffset() const { return FInfoBoxXOffset; }
    double InfoBoxYOffset() const { return FInfoBoxYOffset; }
    QString InfoBoxX1() const { return FInfoBoxX1; }
    QString InfoBoxX2() const { return FInfoBoxX2; }
    QString InfoBoxY1() const { return FInfoBoxY1; }
    QString InfoBoxY2() const { return FInfoBoxY2; }
    int InfoBoxStringsDistance() const { return FInfoBoxStringsDistance; }
    bool ShowInfoBox() const { return FShowInfoBox; }
    bool XAutoScale() const { return FXAutoScale; }
    bool YAutoScale() const { return FYAutoScale; }
    double XMax() const { return FXMax; }
    double YMax() const { return FYMax; }
    double XMin() const { return FXMin; }
    double YMin() const { return FYMin; }
    int TopFrameOffset() const { return FTopFrameOffset; }
    int LeftFrameOffset() const { return FLeftFrameOffset; }
    int BottomFrameOffset() const { return FBottomFrameOffset; }
    int PlotTitleOffset() const { return FPlotTitleOffset; }
    int XTitleOffset() const { return FXTitleOffset; }
    int YTitleOffset() const { return FYTitleOffset; }
    int XLabelOffset() const { return FXLabelOffset; }
    int YLabelOffset() const { return FYLabelOffset; }
    int PointSize() const { return FPointSize; }
    bool ShowHorzGrid() const { return FShowHorzGrid; }
    bool ShowVertGrid() const { return FShowVertGrid; }
    bool ShowHorzTicks() const { return FShowHorzTicks; }
    bool ShowVertTicks() const { return FShowVertTicks; }
    int VertTickLength() const { return FVertTickLength; }
    int HorzTickLength() const { return FHorzTickLength; }
    int NumHorzGrid() const { return FNumHorzGrid; }
    int NumVertGrid() const { return FNumVertGrid; }
    double MouseX() const { return FMouseX; }
    double MouseY() const { return FMouseY; }
    QString XTitle() const { return FXTitle; }
    QString YTitle() const { return FYTitle; }
    QString PlotTitle() const { return FPlotTitle; }
    QFont PlotTitleFont() const { return FPlotTitleFont; }
    QFont AxisTitleFont() const { return FAxisTitleFont; }
    QFont AxisLabelFont() const { return FAxisLabelFont; }
    QFont InfoBoxFont() const { return FInfoBoxFont; }

    // Whether drags and double clicks change the limits; the read-out works
    // without it.
    bool MouseControl = false;

    // The setter names that code generated from a form (uic) calls.
    void setPaintRedrawDelay(int Value) { SetPaintRedrawDelay(Value); }
    void setAutoRedraw(bool Value) { SetAutoRedraw(Value); }
    void setColor(QColor Value) { SetColor(Value); }
    void setBkGraphicColor(QColor Value) { SetBkGraphicColor(Value); }
    void setAxisColor(QColor Value) { SetAxisColor(Value); }
    void setAxisStyle(XYPlotTypes::TAxisStyle Value) { SetAxisStyle(Value); }
    void setGridColor(QColor Value) { SetGridColor(Value); }
    void setInfoBoxBkColor(QColor Value) { SetInfoBoxBkColor(Value); }
    void setInfoBoxColor(QColor Value) { SetInfoBoxColor(Value); }
    void setXAxisFormat(XYPlotTypes::TAxisFormat Value) { SetXAxisFormat(Value); }
    void setYAxisFormat(XYPlotTypes::TAxisFormat Value) { SetYAxisFormat(Value); }
    void setShowXLabel(bool Value) { SetShowXLabel(Value); }
    void setShowYLabel(bool Value) { SetShowYLabel(Value); }
    void setShowXTitle(bool Value) { SetShowXTitle(Value); }
    void setShowYTitle(bool Value) { SetShowYTitle(Value); }
    void setShowPlotTitle(bool Value) { SetShowPlotTitle(Value); }
    void setXLabelFormatString(const QString &Value) { SetXLabelFormat(Value); }
    void setYLabelFormatString(const QString &Value) { SetYLabelFormat(Value); }
    void setInfoBoxXFormatString(const QString &Value) { SetInfoBoxXFormatString(Value); }
    void setInfoBoxYFormatString(const QString &Value) { SetInfoBoxYFormatString(Value); }
    void setInfoBoxXFactor(double Value) { SetInfoBoxXFactor(Value); }
    void setInfoBoxYFactor(double Value) { SetInfoBoxYFactor(Value); }
    void setInfoBoxXOffset(double Value) { SetInfoBoxXOffset(Value); }
    void setInfoBoxYOffset(double Value) { SetInfoBoxYOffset(Value); }
    void setInfoBoxX1(const QString &Value) { SetInfoBoxX1(Value); }
    void setInfoBoxX2(const QString &Value) { SetInfoBoxX2(Value); }
    void setInfoBoxY1(const QString &Value) { SetInfoBoxY1(Value); }
    void setInfoBoxY2(const QString &Value) { SetInfoBoxY2(Value); }
    void setInfoBoxStringsDistance(int Value) { SetFInfoBoxStringsDistance(Value); }
    void setShowInfoBox(bool Value) { SetShowInfoBox(Value); }
    void setXAutoScale(bool Value) { SetXAutoScale(Value); }
    void setYAutoScale(bool Value) { SetYAutoScale(Value); }
    void setXMax(double Value) { SetXMax(Value); }
    void setYMax(double Value) { SetYMax(Value); }
    void setXMin(double Value) { SetXMin(Value); }
    void setYMin(double Value) { SetYMin(Value); }
    void setTopFrameOffset(int Value) { SetTopFrameOffset(Value); }
    void setLeftFrameOffset(int Value) { SetLeftFrameOffset(Value); }
    void setBottomFrameOffset(int Value) { SetBottomFrameOffset(Value); }
    void setPlotTitleOffset(int Value) { SetPlotTitleOffset(Value); }
    void setXTitleOffset(int Value) { SetXTitleOffset(Value); }
    void setYTitleOffset(int Value) { SetYTitleOffset(Value); }
    void setXLabelOffset(int Value) { SetXLabelOffset(Value); }
    void setYLabelOffset(int Value) { SetYLabelOffset(Value); }
    void setPointSize(int Value) { SetPointSize(Value); }
    void setMouseControl(bool Value) { MouseControl = Value; }
    void setShowHorzGrid(bool Value) { SetShowHorzGrid(Value); }
    void setShowVertGrid(bool Value) { SetShowVertGrid(Value); }
    void setShowHorzTicks(bool Value) { SetShowHorzTicks(Value); }
    void setShowVertTicks(bool Value) { SetShowVertTicks(Value); }
    void setVertTickLength(int Value) { SetVertTickLength(Value); }
    void setHorzTickLength(int Value) { SetHorzTickLength(Value); }
    void setNumHorzGrid(int Value) { SetNumHorzGrid(Value); }
    void setNumVertGrid(int Value) { SetNumVertGrid(Value); }
    void setXTitle(const QString &Value) { SetXTitle(Value); }
    void setYTitle(const QString &Value) { SetYTitle(Value); }
    void setPlotTitle(const QString &Value) { SetPlotTitle(Value); }
    void setPlotTitleFont(const QFont &Value) { SetPlotTitleFont(Value); }
    void setAxisTitleFont(const QFont &Value) { SetAxisTitleFont(Value); }
    void setAxisLabelFont(const QFont &Value) { SetAxisLabelFont(Value); }
    void setInfoBoxFont(const QFont &Value) { SetInfoBoxFont(Value); }

public Q_SLOTS:
    // Property setters: each stores its value and updates the picture.
    virtual void SetBkGraphicColor(QColor Value);
    virtual void SetAxisColor(QColor Value);
    virtual void SetGridColor(QColor Value);
    virtual void SetInfoBoxColor(QColor Value);
    virtual void SetInfoBoxBkColor(QColor Value);
    virtual void SetAxisStyle(XYPlotTypes::TAxisStyle Value);
    virtual void SetYAxisFormat(XYPlotTypes::TAxisFormat Value);
    virtual void SetXAxisFormat(XYPlotTypes::TAxisFormat Value);
    virtual void SetYLabelFormat(const QString &Value);
    virtual void SetXLabelFormat(const QString &Value);
    virtual void SetInfoBoxXFormatString(const QString &Value);
    virtual void SetInfoBoxYFormatString(const QString &Value);
    virtual void SetInfoBoxXFactor(double Value);
    virtual void SetInfoBoxXOffset(double Value);
    virtual void SetInfoBoxYFactor(double Value);
    virtual void SetInfoBoxYOffset(double Value);
    virtual void SetTopFrameOffset(int Value);
    virtual void SetPlotTitleOffset(int Value);
    virtual void SetLeftFrameOffset(int Value);
    virtual void SetBottomFrameOffset(int Value);
    virtual void SetYTitleOffset(int Value);
    virtual void SetXTitleOffset(int Value);
    virtual void SetYLabelOffset(int Value);
    virtual void SetXLabelOffset(int Value);
    virtual void SetFInfoBoxStringsDistance(int Value);
    virtual void SetShowXLabel(bool Value);
    virtual void SetShowYLabel(bool Value);
    virtual void SetShowInfoBox(bool Value);
    virtual void SetYAutoScale(bool Value);
    virtual void SetXAutoScale(bool Value);
    virtual void SetYMax(double Value);
    virtual void SetYMin(double Value);
    virtual void SetXMax(double Value);
    virtual void SetXMin(double Value);
    virtual void SetPointSize(int Value);
    virtual void SetShowHorzGrid(bool Value);
    virtual void SetShowVertGrid(bool Value);
    virtual void SetShowHorzTicks(bool Value);
    virtual void SetShowVertTicks(bool Value);
    virtual void SetHorzTickLength(int Value);
    virtual void SetVertTickLength(int Value);
    virtual void SetNumHorzGrid(int Value);
    virtual void SetNumVertGrid(int Value);
    virtual void SetPaintRedrawDelay(int Value);
    virtual void SetAutoRedraw(bool Value);
    virtual void SetFrames();
    virtual void SetShowXTitle(bool Value);
    virtual void SetShowYTitle(bool Value);
    virtual void SetShowPlotTitle(bool Value);
    virtual void SetXTitle(const QString &Value);
    virtual void SetYTitle(const QString &Value);
    virtual void SetPlotTitle(const QString &Value);
    virtual void SetInfoBoxX1(const QString &Value);
    virtual void SetInfoBoxX2(const QString &Value);
    virtual void SetInfoBoxY1(const QString &Value);
    virtual void SetInfoBoxY2(const QString &Value);
    virtual void SetPlotTitleFont(const QFont &Value);
    virtual void SetAxisTitleFont(const QFont &Value);
    virtual void SetAxisLabelFont(const QFont &Value);
    virtual void SetInfoBoxFont(const QFont &Value);
    // The background of every page but the plot area and the info box.
    void SetColor(QColor Value);

Q_SIGNALS:
    void changed();

protected:
    // The control's paint: lays out again after a size change, otherwise
    // redraws at once or after PaintRedrawDelay.
    virtual void Paint();
    virtual void MouseDown(Qt::MouseButton Button, Qt::MouseButtons Buttons,
                           Qt::KeyboardModifiers Modifiers, int X, int Y);
    virtual void MouseMove(Qt::MouseButtons Buttons, Qt::KeyboardModifiers Modifiers, int X, int Y);
    virtual void MouseUp(Qt::MouseButton Button, Qt::MouseButtons Buttons,
                         Qt::KeyboardModifiers Modifiers, int X, int Y);
    virtual void DblClick();
    void DoTimerPaint();
    // The redraw for the points appended since the last frame.
    void DoLiveFrame();

    void paintEvent(QPaintEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

    // Resets to the initial values, for Designer.
    void ResetPaintRedrawDelay() { SetPaintRedrawDelay(0); }
    void ResetAutoRedraw() { SetAutoRedraw(true); }
    void ResetColor();
    void ResetBkGraphicColor();
    void ResetAxisColor() { SetAxisColor(Qt::black); }
    void ResetAxisStyle() { SetAxisStyle(TAxisStyle::CenteredBox); }
    void ResetGridColor() { SetGridColor(Qt::black); }
    void ResetInfoBoxBkColor();
    void ResetInfoBoxColor() { SetInfoBoxColor(Qt::white); }
    void ResetXAxisFormat() { SetXAxisFormat(TAxisFormat::Linear); }
    void ResetYAxisFormat() { SetYAxisFormat(TAxisFormat::Linear); }
    void ResetInfoBoxStringsDistance() { SetFInfoBoxStringsDistance(0); }
    void ResetTopFrameOffset() { SetTopFrameOffset(0); }
    void ResetLeftFrameOffset() { SetLeftFrameOffset(0); }
    void ResetBottomFrameOffset() { SetBottomFrameOffset(0); }
    void ResetPlotTitleOffset() { SetPlotTitleOffset(0); }
    void ResetXTitleOffset() { SetXTitleOffset(0); }
    void ResetYTitleOffset() { SetYTitleOffset(0); }
    void ResetXLabelOffset() { SetXLabelOffset(0); }
    void ResetYLabelOffset() { SetYLabelOffset(2); }
    void ResetPointSize() { SetPointSize(2); }
    void ResetVertTickLength() { SetVertTickLength(6); }
    void ResetHorzTickLength() { SetHorzTickLength(6); }
    void ResetNumHorzGrid() { SetNumHorzGrid(3); }
    void ResetNumVertGrid() { SetNumVertGrid(3); }

    // The control's state beside its properties.
    TPlotList PlotList;
    int LastWidth = 0;
    int LastHeight = 0;
    double HomeXMin = 0.0;
    double HomeXMax = 0.0;
    double HomeYMin = 0.0;
    double HomeYMax = 0.0;
    double LogXMin = 0.0;
    double LogXMax = 0.0;
    double LogYMin = 0.0;
    double LogYMax = 0.0;
    int LastMouseX = 0;
    int LastMouseY = 0;
    int ZoomStartX = 0;
    int ZoomStartY = 0;
    std::optional<QRect> ZoomRect;
    bool Panning = false;
    bool Stretching = false;
    bool RubberBanding = false;
    bool InfoBoxFits = false;
    QRect InfoBoxRect;
    QTimer PaintTimer;
    // One redraw per screen frame for appended points.
    QTimer LiveFrameTimer;
    // Draw plots point by point, as DrawOnePlotExhaustive does.
    bool ExhaustiveDrawing = false;

    TPaintPage PlotPage;
    TPaintPage TopFramePage;
    TPaintPage LeftFramePage;
    TPaintPage BottomFramePage;
    TPaintPage XLabelPage;
    TPaintPage YLabelPage;
    TPaintPage XTitlePage;
    TPaintPage YTitlePage;
    TPaintPage YTitleTextPage; // the flat Y title, source of the turned copy
    TPaintPage PlotTitlePage;
    TPaintPage InfoBoxPage;

private:
    void Initialize();
    void SetProperties();
    void rescale();
    bool shown() const { return !isHidden(); }
    void layOut();
    // What the layout reads that a change of the limits can change: the
    // sizes of the axis and info-box texts (and the control's size).
    struct LayoutTexts
    {
        int Width = -1;
        int Height = -1;
        int XLabelHeight = 0;
        int YLabelWidth = 0;
        int InfoBoxWidth = 0;
        int InfoBoxHeight = 0;
        bool operator==(const LayoutTexts &) const = default;
    };
    LayoutTexts layoutTexts();
    void scheduleLiveFrame();
    struct LabelsKey
    {
        double Min, Max, LogMin, LogMax;
        int Grid;
        TAxisFormat Format;
        int Offset;
        QString FormatString;
        bool operator==(const LabelsKey &) const = default;
    };
    LabelsKey labelsKey(bool X) const;
    void drawLabels(TPaintPage &Page, const std::vector<AxisLabel> &Labels);
    void drawChangedLabels();
    // Shows changed axis limits: a new layout where a text changed its size.
    void showNewLimits();
    double framePeriod() const;
    AxisMap xAxisMap() const;
    AxisMap yAxisMap() const;
    void separateLimits(double &Min, double &Max, TAxisFormat Format) const;
    void repairLogLimits(double &Min, double &Max, double &LogMin, double &LogMax) const;
    double xDenominator() const;
    double yDenominator() const;
    QString infoBoxYLine(double Value) const;
    QString infoBoxXLine(double Value) const;
    void ensureCanvas();
    void drawZoomRect();
    // Rows (horizontal) or columns (vertical) of the grid lines and ticks.
    std::vector<int> gridPixels(bool Vertical) const;

    int FPaintRedrawDelay = 0;
    bool FAutoRedraw = false;
    QColor FColor;
    QColor FBkGraphicColor{Qt::black};
    QColor FAxisColor{Qt::black};
    TAxisStyle FAxisStyle = TAxisStyle::Box;
    QColor FGridColor{Qt::black};
    QColor FInfoBoxBkColor{Qt::black};
    QColor FInfoBoxColor{Qt::black};
    TAxisFormat FXAxisFormat = TAxisFormat::Linear;
    TAxisFormat FYAxisFormat = TAxisFormat::Linear;
    bool FShowXLabel = false;
    bool FShowYLabel = false;
    bool FShowXTitle = false;
    bool FShowYTitle = false;
    bool FShowPlotTitle = false;
    QString FXLabelFormatString;
    QString FYLabelFormatString;
    QString FInfoBoxXFormatString;
    QString FInfoBoxYFormatString;
    double FInfoBoxXFactor = 0.0;
    double FInfoBoxYFactor = 0.0;
    double FInfoBoxXOffset = 0.0;
    double FInfoBoxYOffset = 0.0;
    QString FInfoBoxX1;
    QString FInfoBoxX2;
    QString FInfoBoxY1;
    QString FInfoBoxY2;
    int FInfoBoxStringsDistance = 0;
    bool FShowInfoBox = false;
    bool FXAutoScale = false;
    bool FYAutoScale = false;
    double FXMax = 0.0;
    double FYMax = 0.0;
    double FXMin = 0.0;
    double FYMin = 0.0;
    int FTopFrameOffset = 0;
    int FLeftFrameOffset = 0;
    int FBottomFrameOffset = 0;
    int FPlotTitleOffset = 0;
    int FXTitleOffset = 0;
    int FYTitleOffset = 0;
    int FXLabelOffset = 0;
    int FYLabelOffset = 0;
    int FPointSize = 0;
    bool FShowHorzGrid = false;
    bool FShowVertGrid = false;
    bool FShowHorzTicks = false;
    bool FShowVertTicks = false;
    int FVertTickLength = 0;
    int FHorzTickLength = 0;
    int FNumHorzGrid = 0;
    int FNumVertGrid = 0;
    double FMouseX = 0.0;
    double FMouseY = 0.0;
    QString FXTitle;
    QString FYTitle;
    QString FPlotTitle;
    QFont FPlotTitleFont;
    QFont FAxisTitleFont;
    QFont FAxisLabelFont;
    QFont FInfoBoxFont;
    // The info-box font's colour: InfoBoxColor sets it, AssignPlotProperties
    // copies it with the font.
    QColor FInfoBoxFontColor{Qt::black};

    // Reused from frame to frame: the thinned runs and the marker positions.
    std::vector<QPoint> m_run;
    std::vector<QPoint> m_marks;
    MarkerSieve m_markerSieve;
    std::vector<std::size_t> m_columnStarts;

    QImage m_canvas;
    // Parts of the control that only need the canvas shown again, because
    // the control itself copied pages there.
    QRegion m_ownUpdates;
    // Points were appended or dropped since the last live frame.
    bool m_liveChanged = false;
    QElapsedTimer m_liveClock;
    double m_nextLiveFrame = 0.0; // on m_liveClock, in milliseconds
    // The caller asked for a paint since the last paint event.
    bool m_callerPaint = false;
    // The text sizes the current layout was made with.
    LayoutTexts m_layoutTexts;
    // The titles and frames on the canvas belong to the current layout.
    bool m_decorationsDrawn = false;
    // What the labels the label pages show are made of, while the pages
    // belong to the layout.
    std::optional<LabelsKey> m_xLabelsShown;
    std::optional<LabelsKey> m_yLabelsShown;
};
