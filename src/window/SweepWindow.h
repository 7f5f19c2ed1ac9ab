#pragma once

#include "generator/GeneratorPars.h"
#include "generator/SweepPlan.h"

#include <QAbstractTableModel>
#include <QRect>
#include <QTableView>
#include <QTimer>
#include <QWidget>

#include <optional>
#include <vector>

class QLabel;
class QPushButton;
class TXYPlot;

// The steps of a sweep plan as a table. The model shows the plan it was
// given; refresh() tells the views what changed, row by row, so that a new
// plan of another length neither resets the view nor loses its scroll place.
class SweepTableModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    // A cell in full precision, as the CSV file has it; the display role
    // rounds as the generator panel does.
    static constexpr int ExactTextRole = Qt::UserRole;

    explicit SweepTableModel(QObject *parent = nullptr);

    // The plan has been built again (or is a new one): its rows are shown.
    void refresh(const SweepPlan &plan);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    const SweepPlan *m_plan = nullptr;
    int m_rows = 0;
};

// The step table: Ctrl+C copies the selected rows as tab-separated text, in
// full precision.
class SweepTableView : public QTableView
{
    Q_OBJECT

public:
    explicit SweepTableView(QWidget *parent = nullptr);
    // The selected rows, cells separated by tabs, one line per row.
    QString selectedRowsText() const;

protected:
    void keyPressEvent(QKeyEvent *event) override;
};

// The window "Развёртка": the sweep of the current record before it runs, as
// a chart of produced and desired frequency, a table of every step and a
// summary line, with export to CSV. Not modal; it follows the record it is
// given while the operator types, updating what it shows in place.
class TSweepWindow : public QWidget
{
    Q_OBJECT

public:
    // The window's place is kept in the settings file at settingsPath.
    explicit TSweepWindow(const QString &settingsPath, QWidget *parent = nullptr);
    ~TSweepWindow() override;

    // Shows the sweep of pars. Changes that come in a burst (one keystroke
    // can change several fields) are shown once, from the event loop; a
    // hidden window catches up when it is shown.
    void setGeneratorPars(const GENERATOR_PARS &pars);
    // Shows the last record given at once.
    void updateNow();

    const SweepPlan &plan() const { return m_plan; }
    const SweepTrace &chartTrace() const { return m_trace; }
    TXYPlot *chart() const { return m_chart; }
    SweepTableView *table() const { return m_table; }
    // The summary line, and after a save the line that names the file.
    QString summaryText() const;
    // The step under the mouse pointer and its produced frequency; empty
    // while the pointer is not over the plot.
    QString readoutText() const;
    QPushButton *saveButton() const { return m_saveButton; }

    // Writes the table as CSV; false after a failure has been shown.
    bool saveCsv(const QString &path);
    // "Сохранить CSV ...": asks for the file, then saveCsv.
    void SaveCsvButtonClick();

    // Settings-file section and keys of the window's place.
    static QString geometrySection();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void createControls();
    void setUpChart();
    void showPlan();
    void showChart();
    std::optional<int> stepUnderPointer() const;
    void showReadout();
    QString fullSummary() const;
    void restoreGeometryFromSettings();
    void saveGeometryToSettings();

    QString m_settingsPath;
    GENERATOR_PARS m_pending;
    GENERATOR_PARS m_shown;
    bool m_hasPending = false;
    bool m_hasShown = false;
    QTimer m_updateTimer;
    SweepPlan m_plan;
    SweepTrace m_trace;
    // The step of each position on the chart's x axis, in running order.
    std::vector<int> m_order;
    // Where the pointer is over the chart, in the chart's pixels.
    std::optional<QPoint> m_pointer;
    QString m_savedFile; // the line that names the CSV file last written
    int m_producedPlots = 0;
    bool m_pulsePlot = false;
    bool m_columnsSized = false;
    QRect m_savedGeometry;

    TXYPlot *m_chart = nullptr;
    QLabel *m_legend = nullptr;
    QLabel *m_readout = nullptr;
    SweepTableView *m_table = nullptr;
    SweepTableModel *m_model = nullptr;
    QLabel *m_summary = nullptr;
    QPushButton *m_saveButton = nullptr;
};

// The summary line of a plan: scan time, lowest and highest produced
// frequency, largest error and flagged steps.
QString sweepSummaryText(const SweepPlan &plan);
