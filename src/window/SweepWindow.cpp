#include "window/SweepWindow.h"

#include "front/SweepExport.h"
#include "generator/GeneratorCalculations.h"
#include "window/WidgetLook.h"
#include "components/xyplot/XYPlot.h"
#include "widgets/MessageBox.h"
#include "runtime/NumberFormat.h"
#include "settings/IniFile.h"

#include <QClipboard>
#include <QDir>
#include <QFileDialog>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <QCoreApplication>

namespace {

const QColor ProducedColor(0, 0, 255);
const QColor DesiredColor(230, 120, 0);
const QColor PulseColor(220, 0, 0);
const QColor FlaggedRowColor(255, 222, 222);

// The produced frequency is one plot per stretch that produces anything,
// numbered from ProducedPlot on.
enum PlotNumber
{
    DesiredPlot = 1,
    PulsePlot = 2,
    ProducedPlot = 10,
};

// Axis limits on round numbers: steps of 1, 2, 2.5 or 5 times a power of ten,
// MinIntervals to MaxIntervals of them holding low .. high with the least
// room to spare, and the decimals their labels need.
struct AxisLimits
{
    double min;
    double max;
    int intervals;
    QString format;
};

constexpr int MinIntervals = 4;
constexpr int MaxIntervals = 10;

AxisLimits niceLimits(double low, double high, bool fromZero)
{
    if (fromZero)
        low = 0.0;
    if (!std::isfinite(low) || !std::isfinite(high)) {
        low = 0.0;
        high = 1.0;
    }
    if (!(high > low)) {
        const double half = std::max(std::fabs(high) * 0.05, 0.5);
        high += half;
        low = fromZero ? 0.0 : low - half;
    }
    AxisLimits best{low, high, MaxIntervals, {}};
    double bestStep = (high - low) / MaxIntervals;
    bool found = false;
    const int top = static_cast<int>(std::floor(std::log10((high - low) / MinIntervals)));
    for (int exponent = top - 1; exponent <= top + 1; ++exponent) {
        for (double mantissa : {1.0, 2.0, 2.5, 5.0}) {
            const double step = mantissa * std::pow(10.0, exponent);
            const double min = std::floor(low / step) * step;
            const double count = std::ceil((high - min) / step - 1e-9);
            if (count < MinIntervals || count > MaxIntervals)
                continue;
            const double max = min + count * step;
            if (!found || max - min < best.max - best.min) {
                best = {min, max, static_cast<int>(count), {}};
                bestStep = step;
                found = true;
            }
        }
    }
    // Decimals enough for the step and the first label.
    int decimals = 0;
    while (decimals < 6) {
        const double scaled = bestStep * std::pow(10.0, decimals);
        const double first = std::fabs(best.min) * std::pow(10.0, decimals);
        if (std::fabs(scaled - std::round(scaled)) < 1e-6 * scaled
            && std::fabs(first - std::round(first)) < 1e-6 * std::max(first, 1.0))
            break;
        ++decimals;
    }
    best.format = decimals == 0 ? QStringLiteral("0") : QStringLiteral("0.") + QString(decimals, QLatin1Char('0'));
    return best;
}

QString summaryNumber(double value)
{
    return QString::number(value, 'g', 10);
}

QString frequencyNumber(double value)
{
    return GeneratorCalculations::frequencyText(value);
}

// A cell as the table shows it: numbers as the generator panel writes them,
// nothing where there is no value.
QString tableCellText(const SweepStep &step, SweepColumn column)
{
    const auto shown = [](const std::optional<double> &value, QString (*text)(std::optional<double>)) {
        return value ? text(value) : QString();
    };
    switch (column) {
    case SweepColumn::Desired:
        return frequencyNumber(step.desired);
    case SweepColumn::Produced:
        return shown(step.produced, GeneratorCalculations::frequencyText);
    case SweepColumn::ErrorPpm:
        return step.errorPpm ? formatFloat(u"0.00", *step.errorPpm) : QString();
    case SweepColumn::Dwell:
        return shown(step.dwell, GeneratorCalculations::durationText);
    case SweepColumn::Time:
        return shown(step.time, GeneratorCalculations::durationText);
    default:
        return sweepCellText(step, column);
    }
}

// The keys of the window's place in the settings file.
const QString LeftKey = QStringLiteral("Левый край");
const QString TopKey = QStringLiteral("Верхний край");
const QString WidthKey = QStringLiteral("Ширина");
const QString HeightKey = QStringLiteral("Высота");

constexpr int MinimumWidth = 480;
constexpr int MinimumHeight = 400;

} // namespace

// ---------------------------------------------------------------------------
// Table model

SweepTableModel::SweepTableModel(QObject *parent)
    : QAbstractTableModel(parent)
{
}

void SweepTableModel::refresh(const SweepPlan &plan)
{
    const int rows = static_cast<int>(plan.steps().size());
    if (rows > m_rows) {
        beginInsertRows({}, m_rows, rows - 1);
        m_plan = &plan;
        m_rows = rows;
        endInsertRows();
    } else if (rows < m_rows) {
        beginRemoveRows({}, rows, m_rows - 1);
        m_plan = &plan;
        m_rows = rows;
        endRemoveRows();
    }
    m_plan = &plan;
    if (m_rows > 0)
        emit dataChanged(index(0, 0), index(m_rows - 1, SweepColumnCount - 1));
}

int SweepTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_rows;
}

int SweepTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : SweepColumnCount;
}

QVariant SweepTableModel::data(const QModelIndex &index, int role) const
{
    if (!m_plan || !index.isValid() || index.row() >= static_cast<int>(m_plan->steps().size()))
        return {};
    const SweepStep &step = m_plan->steps()[static_cast<std::size_t>(index.row())];
    const auto column = static_cast<SweepColumn>(index.column());
    switch (role) {
    case Qt::DisplayRole:
        return tableCellText(step, column);
    case ExactTextRole:
        return sweepCellText(step, column);
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(column == SweepColumn::Flags ? Qt::AlignLeft | Qt::AlignVCenter
                                                                : Qt::AlignRight | Qt::AlignVCenter);
    case Qt::BackgroundRole:
        return step.flagged() ? QVariant(FlaggedRowColor) : QVariant();
    default:
        return {};
    }
}

QVariant SweepTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= SweepColumnCount)
        return QAbstractTableModel::headerData(section, orientation, role);
    if (role == Qt::DisplayRole)
        return sweepColumnTitle(static_cast<SweepColumn>(section));
    return {};
}

// ---------------------------------------------------------------------------
// Table view

SweepTableView::SweepTableView(QWidget *parent)
    : QTableView(parent)
{
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setAlternatingRowColors(true);
    setWordWrap(false);
    verticalHeader()->hide();
    // Rows of one height: the view never measures 4096 rows.
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    horizontalHeader()->setResizeContentsPrecision(200);
    horizontalHeader()->setStretchLastSection(true);
}

QString SweepTableView::selectedRowsText() const
{
    if (!model() || !selectionModel())
        return {};
    QModelIndexList rows = selectionModel()->selectedRows();
    std::sort(rows.begin(), rows.end(), [](const QModelIndex &a, const QModelIndex &b) { return a.row() < b.row(); });
    QString text;
    for (const QModelIndex &row : std::as_const(rows)) {
        for (int c = 0; c < model()->columnCount(); ++c) {
            if (c > 0)
                text += QLatin1Char('\t');
            text += model()->index(row.row(), c).data(SweepTableModel::ExactTextRole).toString();
        }
        text += QLatin1Char('\n');
    }
    return text;
}

void SweepTableView::keyPressEvent(QKeyEvent *event)
{
    // Whole rows, every column: what a spreadsheet wants, not the one cell
    // the view would copy.
    if (event->matches(QKeySequence::Copy)) {
        QGuiApplication::clipboard()->setText(selectedRowsText());
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

// ---------------------------------------------------------------------------
// Window

TSweepWindow::TSweepWindow(const QString &settingsPath, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_settingsPath(settingsPath)
{
    setObjectName(QStringLiteral("SweepWindow"));
    setWindowTitle(QCoreApplication::translate("SweepWindow", "Развёртка"));
    setFont(pixelFont(QStringLiteral("Arial"), 15));
    setMinimumSize(MinimumWidth, MinimumHeight);
    createControls();
    setUpChart();
    m_updateTimer.setSingleShot(true);
    m_updateTimer.setInterval(0);
    connect(&m_updateTimer, &QTimer::timeout, this, &TSweepWindow::updateNow);
    restoreGeometryFromSettings();
}

TSweepWindow::~TSweepWindow()
{
    if (isVisible())
        saveGeometryToSettings();
}

QString TSweepWindow::geometrySection()
{
    return QCoreApplication::translate("SweepWindow", "Окно развёртки");
}

void TSweepWindow::createControls()
{
    m_chart = new TXYPlot(this);
    m_chart->setObjectName(QStringLiteral("SweepChart"));
    m_chart->setMinimumHeight(260);

    m_legend = new QLabel(this);
    m_legend->setObjectName(QStringLiteral("SweepLegend"));
    m_legend->setTextFormat(Qt::RichText);

    m_readout = new QLabel(this);
    m_readout->setObjectName(QStringLiteral("SweepReadout"));
    m_readout->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_chart->installEventFilter(this);

    m_model = new SweepTableModel(this);
    m_table = new SweepTableView(this);
    m_table->setObjectName(QStringLiteral("SweepTable"));
    m_table->setModel(m_model);

    m_summary = new QLabel(this);
    m_summary->setObjectName(QStringLiteral("SweepSummary"));
    m_summary->setWordWrap(true);
    m_summary->setTextInteractionFlags(Qt::TextSelectableByMouse);

    m_saveButton = new QPushButton(QCoreApplication::translate("SweepWindow", "Сохранить CSV ..."), this);
    m_saveButton->setObjectName(QStringLiteral("SaveCsvButton"));
    connect(m_saveButton, &QPushButton::clicked, this, &TSweepWindow::SaveCsvButtonClick);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->addWidget(m_chart, 3);
    auto *underChart = new QHBoxLayout;
    underChart->addWidget(m_legend, 1);
    underChart->addWidget(m_readout);
    layout->addLayout(underChart);
    layout->addWidget(m_table, 2);
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(m_summary, 1);
    bottom->addWidget(m_saveButton, 0, Qt::AlignBottom);
    layout->addLayout(bottom);
}

void TSweepWindow::setUpChart()
{
    TXYPlot *c = m_chart;
    // Drawn when shown; an update sets data and limits first, then paints once.
    c->SetAutoRedraw(false);
    c->SetColor(palette().color(QPalette::Window));
    c->SetBkGraphicColor(Qt::white);
    c->SetAxisColor(Qt::black);
    c->SetAxisStyle(TAxisStyle::Box);
    c->SetGridColor(QColor(205, 205, 205));
    c->SetNumHorzGrid(4);
    c->SetNumVertGrid(5);
    c->SetShowHorzGrid(true);
    c->SetShowVertGrid(true);
    c->SetShowHorzTicks(true);
    c->SetShowVertTicks(true);
    c->SetPlotTitleFont(pixelFont(QStringLiteral("Arial"), 16, true));
    c->SetAxisTitleFont(pixelFont(QStringLiteral("Arial"), 15));
    c->SetAxisLabelFont(pixelFont(QStringLiteral("Arial"), 13));
    c->SetInfoBoxFont(pixelFont(QStringLiteral("Arial"), 13));
    c->SetShowXLabel(true);
    c->SetShowYLabel(true);
    c->SetShowXTitle(true);
    c->SetShowYTitle(true);
    c->SetShowPlotTitle(true);
    c->SetTopFrameOffset(6);
    c->SetLeftFrameOffset(4);
    c->SetBottomFrameOffset(4);
    c->SetYLabelOffset(6);
    c->SetYTitle(QCoreApplication::translate("SweepWindow", "Частота, кГц"));
    // The chart's own box would read the pointer's height as a frequency;
    // the read-out beside the legend names the step under the pointer.
    c->SetShowInfoBox(false);
    c->MouseControl = true;
}

void TSweepWindow::setGeneratorPars(const GENERATOR_PARS &pars)
{
    const GENERATOR_PARS &latest = m_hasPending ? m_pending : m_shown;
    if ((m_hasPending || m_hasShown) && std::memcmp(&latest, &pars, sizeof pars) == 0)
        return;
    std::memcpy(static_cast<void *>(&m_pending), &pars, sizeof pars);
    m_hasPending = true;
    if (isVisible())
        m_updateTimer.start();
}

void TSweepWindow::updateNow()
{
    m_updateTimer.stop();
    if (!m_hasPending)
        return;
    std::memcpy(static_cast<void *>(&m_shown), &m_pending, sizeof m_pending);
    m_hasPending = false;
    m_hasShown = true;
    m_plan.build(m_shown);
    showPlan();
}

void TSweepWindow::showPlan()
{
    m_model->refresh(m_plan);
    if (!m_columnsSized && m_model->rowCount() > 0) {
        // Once: the widths then stay where the operator puts them. The
        // flags take what is left.
        for (int c = 0; c < int(SweepColumn::Flags); ++c)
            m_table->resizeColumnToContents(c);
        m_columnsSized = true;
    }
    m_summary->setText(fullSummary());
    showChart();
}

void TSweepWindow::showChart()
{
    const bool cyclic = m_plan.cycle() != SweepCycle::Single;
    m_plan.trace(cyclic ? 2 : 1, m_trace);
    TXYPlot *c = m_chart;

    // Time in ms, as in the table, the summary and the CSV file.
    const std::vector<double> &x = m_trace.x;
    m_order = m_plan.cycleOrder();

    // The plots are replaced in place; only when their number changes are
    // they all made again, so that the produced frequency stays on top: the
    // plot added last is drawn first.
    const int runs = static_cast<int>(m_trace.producedRuns.size());
    const bool pulses = !m_trace.pulseX.empty();
    if (runs != m_producedPlots || pulses != m_pulsePlot) {
        for (int i = 0; i < m_producedPlots; ++i)
            c->RemovePlot(ProducedPlot + i);
        c->RemovePlot(DesiredPlot);
        c->RemovePlot(PulsePlot);
        m_producedPlots = runs;
        m_pulsePlot = pulses;
    }
    for (int i = 0; i < runs; ++i) {
        const auto [first, last] = m_trace.producedRuns[static_cast<std::size_t>(i)];
        c->XYPlot(x.data() + first, m_trace.produced.data() + first, static_cast<int>(last - first),
                  ProducedPlot + i, ProducedColor, TPlotStyle::Line);
    }
    c->XYPlot(x.data(), m_trace.desired.data(), static_cast<int>(x.size()), DesiredPlot, DesiredColor,
              TPlotStyle::Line);
    if (pulses)
        c->XYPlot(m_trace.pulseX.data(), m_trace.pulseY.data(), static_cast<int>(m_trace.pulseX.size()), PulsePlot,
                  PulseColor, TPlotStyle::Line);

    QString xTitle;
    if (m_trace.byTime)
        xTitle = QCoreApplication::translate("SweepWindow", "Время от начала, мс");
    else if (m_plan.ctrlStepping())
        xTitle = QCoreApplication::translate("SweepWindow", "Номер шага (шаги переключаются линией 'CTRL')");
    else
        xTitle = QCoreApplication::translate("SweepWindow", "Шаг по порядку (время развёртки не определено)");
    if (c->XTitle() != xTitle)
        c->SetXTitle(xTitle);
    QString title;
    switch (m_plan.cycle()) {
    case SweepCycle::Single:
        title = QCoreApplication::translate("SweepWindow", "Однократное сканирование");
        break;
    case SweepCycle::Saw:
        title = QCoreApplication::translate("SweepWindow", "Циклическое сканирование 'Пила': два цикла");
        break;
    case SweepCycle::Triangle:
        title = QCoreApplication::translate("SweepWindow", "Циклическое сканирование 'Треугольник': два цикла");
        break;
    }
    if (c->PlotTitle() != title)
        c->SetPlotTitle(title);

    // Limits on round numbers, labels with the decimals they need; the
    // layout then follows the widest label.
    double low = std::numeric_limits<double>::infinity();
    double high = -low;
    double lowestFrequency = low;
    for (const std::vector<double> *v : {&m_trace.produced, &m_trace.desired, &m_trace.pulseY})
        for (double y : *v)
            if (std::isfinite(y)) {
                low = std::min(low, y);
                high = std::max(high, y);
                if (v != &m_trace.pulseY)
                    lowestFrequency = std::min(lowestFrequency, y);
            }
    const AxisLimits xLimits = niceLimits(0.0, x.empty() ? 1.0 : x.back(), true);
    AxisLimits yLimits = niceLimits(low, high, false);
    // The SYNCOUT band lies below the lowest frequency; under a sweep from
    // 0 kHz its labels would read as negative frequencies: they stay blank.
    if (lowestFrequency >= 0.0 && yLimits.min < 0.0)
        yLimits.format += QStringLiteral(";' '");
    c->SetXAutoScale(false);
    c->SetYAutoScale(false);
    // A grid line at every label.
    if (c->NumVertGrid() != xLimits.intervals - 1)
        c->SetNumVertGrid(xLimits.intervals - 1);
    if (c->NumHorzGrid() != yLimits.intervals - 1)
        c->SetNumHorzGrid(yLimits.intervals - 1);
    if (c->XLabelFormatString() != xLimits.format)
        c->SetXLabelFormat(xLimits.format);
    if (c->YLabelFormatString() != yLimits.format)
        c->SetYLabelFormat(yLimits.format);
    c->SetXYMinMax(xLimits.min, xLimits.max, yLimits.min, yLimits.max, false);
    c->update();
    showReadout();

    QString legend = QCoreApplication::translate("SweepWindow", "<span style='color:%1'>&#9473;&#9473;</span> реальная частота&nbsp;&nbsp;&nbsp;"
                                    "<span style='color:%2'>&#9473;&#9473;</span> заданная частота&nbsp;&nbsp;&nbsp;")
                         .arg(ProducedColor.name(), DesiredColor.name());
    switch (m_plan.syncout()) {
    case SyncoutPulses::None:
        legend += QCoreApplication::translate("SweepWindow", "синхровыход выключен");
        break;
    case SyncoutPulses::EachIncrement:
        legend += QCoreApplication::translate("SweepWindow", "<span style='color:%1'>&#9475;</span> импульсы SYNCOUT при каждом приращении")
                      .arg(PulseColor.name());
        break;
    case SyncoutPulses::EndOfScan:
        legend += QCoreApplication::translate("SweepWindow", "<span style='color:%1'>&#9475;</span> импульсы SYNCOUT в конце сканирования")
                      .arg(PulseColor.name());
        break;
    }
    if (m_legend->text() != legend)
        m_legend->setText(legend);
}

QString TSweepWindow::summaryText() const
{
    return m_summary->text();
}

QString TSweepWindow::readoutText() const
{
    return m_readout->text();
}

bool TSweepWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_chart) {
        if (event->type() == QEvent::MouseMove) {
            m_pointer = static_cast<QMouseEvent *>(event)->position().toPoint();
            showReadout();
        } else if (event->type() == QEvent::Leave) {
            m_pointer.reset();
            showReadout();
        }
    }
    return QWidget::eventFilter(watched, event);
}

std::optional<int> TSweepWindow::stepUnderPointer() const
{
    const std::vector<double> &x = m_trace.x;
    if (!m_pointer || x.empty() || m_order.empty())
        return std::nullopt;
    const TXYPlot *c = m_chart;
    const double px = c->PlotX(m_pointer->x());
    const double py = c->PlotY(m_pointer->y());
    // Outside the plot area (over the labels or titles) there is no step.
    if (px < c->XMin() || px > c->XMax() || py < c->YMin() || py > c->YMax() || px < x.front() || px > x.back())
        return std::nullopt;
    // Each step is two points, its start and its end; steps follow in the
    // running order, cycle after cycle.
    const auto point = static_cast<std::size_t>(std::upper_bound(x.begin(), x.end(), px) - x.begin() - 1);
    return m_order[(point / 2) % m_order.size()];
}

void TSweepWindow::showReadout()
{
    QString text;
    if (const std::optional<int> index = stepUnderPointer()) {
        const SweepStep &step = m_plan.steps()[static_cast<std::size_t>(*index)];
        text = step.produced
                   ? QCoreApplication::translate("SweepWindow", "Шаг %1: реальная частота %2 кГц")
                         .arg(step.index)
                         .arg(frequencyNumber(*step.produced))
                   : QCoreApplication::translate("SweepWindow", "Шаг %1: реальной частоты нет").arg(step.index);
    }
    if (m_readout->text() != text)
        m_readout->setText(text);
}

QString TSweepWindow::fullSummary() const
{
    const QString summary = sweepSummaryText(m_plan);
    return m_savedFile.isEmpty() ? summary : summary + QLatin1Char('\n') + m_savedFile;
}

bool TSweepWindow::saveCsv(const QString &path)
{
    updateNow();
    QString reason;
    if (writeSweepCsv(m_plan, path, &reason) != SweepExportResult::Written) {
        showMessageBox(this, reason, QCoreApplication::translate("SweepWindow", "Ошибка сохранения CSV!"));
        return false;
    }
    m_savedFile = QCoreApplication::translate("SweepWindow", "Записан файл CSV %1, строк таблицы: %2")
                      .arg(QDir::toNativeSeparators(path))
                      .arg(m_plan.steps().size());
    m_summary->setText(fullSummary());
    return true;
}

void TSweepWindow::SaveCsvButtonClick()
{
    const QString path = QFileDialog::getSaveFileName(this, QCoreApplication::translate("SweepWindow", "Сохранить CSV"),
                                                      QDir::home().filePath(QStringLiteral("G740Sweep.csv")),
                                                      QCoreApplication::translate("SweepWindow", "Файлы CSV (*.csv)"));
    if (!path.isEmpty())
        saveCsv(path);
}

void TSweepWindow::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void TSweepWindow::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (m_hasPending)
        m_updateTimer.start();
}

void TSweepWindow::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    saveGeometryToSettings();
}

void TSweepWindow::restoreGeometryFromSettings()
{
    const TIniFile settings(m_settingsPath);
    const QString section = geometrySection();
    const QRect stored(settings.ReadInteger(section, LeftKey, 0), settings.ReadInteger(section, TopKey, 0),
                       settings.ReadInteger(section, WidthKey, -1), settings.ReadInteger(section, HeightKey, -1));
    // A place on a screen that is no longer there would leave the window
    // out of sight.
    bool onScreen = false;
    for (const QScreen *screen : QGuiApplication::screens())
        onScreen = onScreen || screen->availableGeometry().intersects(stored);
    if (stored.width() >= MinimumWidth && stored.height() >= MinimumHeight && onScreen) {
        setGeometry(stored);
        m_savedGeometry = stored;
        return;
    }
    resize(1180, 800);
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void TSweepWindow::saveGeometryToSettings()
{
    const QRect place = geometry();
    if (place == m_savedGeometry)
        return;
    try {
        TIniFile settings(m_settingsPath);
        const QString section = geometrySection();
        settings.WriteInteger(section, LeftKey, place.x());
        settings.WriteInteger(section, TopKey, place.y());
        settings.WriteInteger(section, WidthKey, place.width());
        settings.WriteInteger(section, HeightKey, place.height());
        m_savedGeometry = place;
    } catch (const IniFileError &) {
        // The window's place is a convenience: a settings file that cannot
        // be written costs the place, not the operator's work.
    }
}

// ---------------------------------------------------------------------------
// Summary

QString sweepSummaryText(const SweepPlan &plan)
{
    const SweepSummary &s = plan.summary();
    QStringList parts;
    if (plan.ctrlStepping()) {
        parts << QCoreApplication::translate("SweepWindow", "Время развёртки: нет, шаги переключаются линией 'CTRL'");
    } else if (s.scanTime) {
        QString time = QCoreApplication::translate("SweepWindow", "Время развёртки: ") + summaryNumber(*s.scanTime) + QCoreApplication::translate("SweepWindow", " мс");
        if (plan.cycle() == SweepCycle::Triangle && s.cycleTime)
            time += QCoreApplication::translate("SweepWindow", " (цикл вверх и вниз: ") + summaryNumber(*s.cycleTime) + QCoreApplication::translate("SweepWindow", " мс)");
        parts << time;
    } else {
        QString time = QCoreApplication::translate("SweepWindow", "Время развёртки не определено");
        const auto endless = std::find_if(plan.steps().begin(), plan.steps().end(),
                                          [](const SweepStep &step) { return !step.dwell; });
        if (endless != plan.steps().end()) {
            if (endless->zeroFrequency)
                time += QCoreApplication::translate("SweepWindow", ": шаг %1 на 0 Гц").arg(endless->index);
            else if (endless->outOfRange)
                time += QCoreApplication::translate("SweepWindow", ": код шага %1 вне 24 бит").arg(endless->index);
        }
        parts << time;
    }
    if (s.lowestProduced && s.highestProduced)
        parts << QCoreApplication::translate("SweepWindow", "Реальная частота: от ") + frequencyNumber(*s.lowestProduced) + QCoreApplication::translate("SweepWindow", " до ")
                     + frequencyNumber(*s.highestProduced) + QCoreApplication::translate("SweepWindow", " кГц");
    else
        parts << QCoreApplication::translate("SweepWindow", "Реальной частоты нет");
    parts << QCoreApplication::translate("SweepWindow", "Наибольшая ошибка: ")
                 + (s.largestErrorPpm ? formatFloat(u"0.00", *s.largestErrorPpm) + QStringLiteral(" ppm")
                                      : QCoreApplication::translate("SweepWindow", "нет"));
    QString flagged = QCoreApplication::translate("SweepWindow", "Отмечено шагов: ") + QString::number(s.flaggedSteps);
    if (s.flaggedSteps > 0) {
        QStringList kinds;
        if (s.zeroFrequencySteps > 0)
            kinds << QCoreApplication::translate("SweepWindow", "0 Гц: ") + QString::number(s.zeroFrequencySteps);
        if (s.outOfRangeSteps > 0)
            kinds << QCoreApplication::translate("SweepWindow", "код вне 24 бит: ") + QString::number(s.outOfRangeSteps);
        flagged += QStringLiteral(" (") + kinds.join(QStringLiteral(", ")) + QLatin1Char(')');
    }
    parts << flagged;
    return parts.join(QStringLiteral(";  "));
}
