// The sweep plan and the sweep window at 4096 steps:
//  - building the plan of a record (one scan, 4096 steps);
//  - a keystroke in the generator panel until the sweep window shows the new
//    plan: its table, summary and chart redrawn.
//
//   sweep_bench [runs] [--shots DIR]   (default 200 runs; QT_QPA_PLATFORM=offscreen)
//
// With --shots the window is also grabbed to DIR for a saw, a triangle and an
// output-period sweep.

#include "window/SweepWindow.h"
#include "components/xyplot/XYPlot.h"
#include "window/G740GeneratorFrame.h"
#include "instrument/Instrument.h"
#include "generator/SweepPlan.h"
#include "widgets/KeyFilterEdit.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

namespace {

GENERATOR_PARS record()
{
    GENERATOR_PARS pars;
    pars.StartFrequency = 10.0;
    pars.FrequencyIncrement = 12.5;
    pars.NumberOfIncrements = 4095;
    pars.BaseIntervalType = 1;
    pars.BaseIntervalMultiplierIndex = 1;
    pars.BaseIntervalsNumber = 100;
    pars.MasterClock = 50000.0;
    pars.SyncoutType = 1;
    pars.AnalogOutputsType = 1;
    return pars;
}

struct Figures
{
    double min, median, p95, max;
};

// The machine is shared: the maximum says more about the neighbours than
// about the code, so the 95th percentile is given too.
Figures figures(std::vector<double> times)
{
    std::sort(times.begin(), times.end());
    return {times.front(), times[times.size() / 2], times[times.size() * 95 / 100], times.back()};
}

void typeKey(QWidget *target, Qt::Key key, const QString &text)
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QApplication::sendEvent(target, &press);
    QApplication::sendEvent(target, &release);
}

void shoot(TG740GeneratorFrame &panel, TSweepWindow &window, GENERATOR_PARS pars, const QString &path)
{
    panel.ApplyGeneratorPars(nullptr, &pars);
    QCoreApplication::processEvents();
    window.updateNow();
    QCoreApplication::processEvents();
    window.grab().save(path);
    std::printf("%s\n", qPrintable(path));
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    int runs = 200;
    QString shots;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--shots") == 0 && i + 1 < argc)
            shots = QString::fromLocal8Bit(argv[++i]);
        else
            runs = std::max(1, std::atoi(argv[i]));
    }

    // The plan alone.
    {
        const GENERATOR_PARS clockBase = record();
        GENERATOR_PARS periodBase = record();
        periodBase.BaseIntervalType = 0;
        for (const auto &[name, pars] : {std::pair{"master-clock base", clockBase}, {"output-period base", periodBase}}) {
            SweepPlan plan;
            std::vector<double> times;
            for (int i = 0; i < runs; ++i) {
                GENERATOR_PARS p = pars;
                p.StartFrequency += i * 0.001; // a new record every time
                QElapsedTimer timer;
                timer.start();
                plan.build(p);
                times.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
            }
            const Figures f = figures(times);
            std::printf("plan of %zu steps, %s, %d runs: min %.3f  median %.3f  p95 %.3f  max %.3f ms\n",
                        plan.steps().size(), name, runs, f.min, f.median, f.p95, f.max);
        }
    }

    QTemporaryDir settings;
    TG740GeneratorFrame panel;
    TSweepWindow window(settings.filePath(QStringLiteral("G740Config.ini")));
    QObject::connect(panel.instrument(), &Instrument::recordChanged, &window,
                     [&] { window.setGeneratorPars(panel.instrument()->record()); });
    GENERATOR_PARS pars = record();
    pars.CyclicAutoScanType = 2; // the longest chart: two triangle cycles
    panel.ApplyGeneratorPars(nullptr, &pars);
    panel.show();
    window.show();
    QCoreApplication::processEvents();
    window.updateNow();
    window.repaint();

    // One keystroke: a digit typed at the end of the start frequency, then
    // taken away again, each to a window repainted in full.
    auto *edit = panel.findChild<KeyFilterEdit *>(QStringLiteral("DesiredStartFrequencyValueLMDEdit"));
    edit->setFocus();
    edit->end(false);
    std::vector<double> times;
    std::vector<double> updates;
    for (int i = 0; i < runs; ++i) {
        const bool add = i % 2 == 0;
        QElapsedTimer timer;
        timer.start();
        if (add)
            typeKey(edit, Qt::Key_7, QStringLiteral("7"));
        else
            typeKey(edit, Qt::Key_Backspace, QString(QChar(8)));
        QCoreApplication::processEvents(); // the window's update runs here
        updates.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
        window.repaint();                  // chart and table drawn now
        times.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
    }
    const Figures u = figures(updates);
    std::printf("keystroke to updated plan, table model and chart data (no painting): median %.2f  p95 %.2f ms\n",
                u.median, u.p95);
    const Figures f = figures(times);
    std::printf("keystroke to repainted window, %zu steps (%zu chart points), %d runs: min %.2f  median %.2f  p95 "
                "%.2f  max %.2f ms\n",
                window.plan().steps().size(), window.chartTrace().x.size(), runs, f.min, f.median, f.p95, f.max);

    if (!shots.isEmpty()) {
        QDir().mkpath(shots);
        GENERATOR_PARS saw = record();
        saw.CyclicAutoScanType = 1;
        saw.NumberOfIncrements = 40;
        saw.FrequencyIncrement = 25.0;
        shoot(panel, window, saw, QDir(shots).filePath(QStringLiteral("sweep_saw.png")));
        GENERATOR_PARS triangle = saw;
        triangle.CyclicAutoScanType = 2;
        triangle.NumberOfIncrements = 12;
        triangle.FrequencyIncrement = 100.0;
        shoot(panel, window, triangle, QDir(shots).filePath(QStringLiteral("sweep_triangle.png")));
        GENERATOR_PARS period = record();
        period.BaseIntervalType = 0;
        period.BaseIntervalMultiplierIndex = 0;
        period.BaseIntervalsNumber = 50;
        period.StartFrequency = 1.0;
        period.FrequencyIncrement = 1.0;
        period.NumberOfIncrements = 20;
        period.EnaSyncout = 1;
        period.SyncoutType = 0;
        shoot(panel, window, period, QDir(shots).filePath(QStringLiteral("sweep_output_period.png")));
    }
    return 0;
}
