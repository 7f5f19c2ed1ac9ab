// Frame times of the XY plot control beside QCustomPlot (when it was found at
// build time) and beside a floor: plain QPainter into a QImage with min/max
// decimation per pixel column. One noisy sine drawn as a line, antialiasing
// off, frames of the three interleaved. The control's frames at every N are
// then taken once more side by side, each after the same neighbour, for the
// ratios between two N. Then live data: points appended in
// blocks at a fixed rate into a rolling window, drawn at 60 Hz, and the
// processor time that takes, beside QCustomPlot doing the same.
// Run by hand, from a Release build (scripts/bench builds and runs it):
//     xyplot_bench [frames] [--sizes=300x250,1000x600] [--counts=1000,...]
//                  [--live-seconds=S] [--live-rounds=R]
// The widgets are drawn off screen unless QT_QPA_PLATFORM says otherwise.

#include "components/xyplot/XYPlot.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>
#include <QTimer>

#ifdef G740_HAVE_QCUSTOMPLOT
#include <qcustomplot.h>
#endif

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include <sys/resource.h>

namespace {

struct Series
{
    std::vector<double> x;
    std::vector<double> y;
};

Series noisySine(int n)
{
    std::mt19937 random(2024);
    std::normal_distribution<double> noise(0.0, 0.1);
    Series s;
    s.x.resize(n);
    s.y.resize(n);
    for (int i = 0; i < n; ++i) {
        s.x[i] = 10.0 * i / (n - 1);
        s.y[i] = std::sin(2 * M_PI * 0.5 * s.x[i]) + noise(random);
    }
    return s;
}

struct Stats
{
    double median = 0;
    double min = 0;
    double max = 0;
};

Stats stats(std::vector<double> t)
{
    std::sort(t.begin(), t.end());
    return {t[t.size() / 2], t.front(), t.back()};
}

// The control with its mouse handlers and its drawing switch in reach.
class BenchPlot : public TXYPlot
{
public:
    // Copies of the plot area to the screen: one per frame drawn.
    int plotFrames = 0;
    void UpdatePaintPage(const TPaintPage &Page) override
    {
        plotFrames += &Page == &PlotPage;
        TXYPlot::UpdatePaintPage(Page);
    }
    using TXYPlot::DblClick;
    using TXYPlot::ExhaustiveDrawing;
    using TXYPlot::MouseDown;
    using TXYPlot::MouseMove;
    using TXYPlot::MouseUp;
    QRect plotArea() const { return PlotPage.ScreenRect; }
};

// The floor: what drawing the same picture costs at least with QPainter.
class FloorPlot
{
public:
    FloorPlot(QSize Size, const Series &Data)
        : m_image(Size, QImage::Format_RGB32)
        , m_data(Data)
    {
    }
    void frame()
    {
        m_image.fill(Qt::white);
        const int W = m_image.width();
        const int H = m_image.height();
        const double xMin = m_data.x.front();
        const double xScale = (W - 1) / (m_data.x.back() - xMin);
        const double yScale = (H - 1) / 2.4;
        m_points.clear();
        const std::size_t n = m_data.x.size();
        std::size_t i = 0;
        while (i < n) {
            const int column = static_cast<int>((m_data.x[i] - xMin) * xScale);
            double first = m_data.y[i];
            double low = first;
            double high = first;
            double last = first;
            for (; i < n && static_cast<int>((m_data.x[i] - xMin) * xScale) == column; ++i) {
                last = m_data.y[i];
                low = std::min(low, last);
                high = std::max(high, last);
            }
            const auto row = [&](double v) { return static_cast<int>((1.2 - v) * yScale); };
            m_points.emplace_back(column, row(first));
            m_points.emplace_back(column, row(low));
            m_points.emplace_back(column, row(high));
            m_points.emplace_back(column, row(last));
        }
        QPainter p(&m_image);
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setPen(QPen(Qt::red, 0));
        p.drawPolyline(m_points.data(), static_cast<int>(m_points.size()));
    }

private:
    QImage m_image;
    const Series &m_data;
    std::vector<QPoint> m_points;
};

double timeMs(const std::function<void()> &f)
{
    QElapsedTimer timer;
    timer.start();
    f();
    return timer.nsecsElapsed() / 1.0e6;
}

void settle()
{
    QApplication::processEvents();
}

struct Row
{
    std::string what;
    Stats s;
};

void print(const std::string &what, const Stats &s)
{
    std::printf("  %-34s %9.3f ms  (min %8.3f, max %8.3f)\n", what.c_str(), s.median, s.min, s.max);
}

// Processor time of this process so far, user and system, in seconds.
double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval &t) { return t.tv_sec + t.tv_usec / 1.0e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

struct LiveResult
{
    double cpuShare = 0;  // of one core
    double framesPerSecond = 0;
    double pointsPerSecond = 0;
};

constexpr const char *SameNeighbour = "TXYPlot full redraw, after the same neighbour";

constexpr int LiveBlock = 1000;
constexpr double LiveRate = 1.0e6;
constexpr int LiveWindow = 1000000;

// Live data: LiveRate points per second handed to Append in blocks of
// LiveBlock (a 1 ms timer catches up by whole blocks), after a first
// LiveWindow points. Tick, when given, runs 60 times a second. Measures the
// processor time of the whole process over Seconds of wall time.
LiveResult runLive(const std::function<void(const double *, const double *, int)> &Append,
                   const std::function<int()> &Frames, double Seconds,
                   const std::function<void()> &Tick = {})
{
    static std::vector<double> table = [] {
        std::vector<double> t(1 << 20);
        std::mt19937 random(77);
        std::normal_distribution<double> noise(0.0, 0.1);
        for (std::size_t i = 0; i < t.size(); ++i)
            t[i] = std::sin(2 * M_PI * i / 200000.0) + noise(random);
        return t;
    }();
    std::vector<double> xb(LiveBlock);
    std::vector<double> yb(LiveBlock);
    long long next = 0;
    const auto feed = [&](long long upTo) {
        while (next + LiveBlock <= upTo) {
            for (int k = 0; k < LiveBlock; ++k) {
                xb[k] = (next + k) * 1.0e-6;
                yb[k] = table[(next + k) & (table.size() - 1)];
            }
            Append(xb.data(), yb.data(), LiveBlock);
            next += LiveBlock;
        }
    };
    feed(LiveWindow);
    settle();

    QElapsedTimer clock;
    const long long base = next;
    QTimer pump;
    pump.setTimerType(Qt::PreciseTimer);
    pump.setInterval(1);
    QObject::connect(&pump, &QTimer::timeout, [&] {
        feed(base + static_cast<long long>(clock.nsecsElapsed() * 1.0e-9 * LiveRate));
    });
    QTimer sixty;
    sixty.setTimerType(Qt::PreciseTimer);
    sixty.setInterval(1000 / 60);
    if (Tick)
        QObject::connect(&sixty, &QTimer::timeout, Tick);

    const int frames0 = Frames();
    const double cpu0 = cpuSeconds();
    clock.start();
    pump.start();
    if (Tick)
        sixty.start();
    QEventLoop loop;
    QTimer::singleShot(static_cast<int>(Seconds * 1000), &loop, &QEventLoop::quit);
    loop.exec();
    const double wall = clock.nsecsElapsed() * 1.0e-9;
    const double cpu = cpuSeconds() - cpu0;
    pump.stop();
    sixty.stop();
    return {cpu / wall, (Frames() - frames0) / wall, (next - base) / wall};
}

LiveResult livePlot(QSize Size, double Seconds)
{
    BenchPlot plot;
    plot.resize(Size);
    plot.show();
    settle();
    // Both limits follow the data: the view shows the window.
    plot.SetXAutoScale(true);
    plot.SetYAutoScale(true);
    bool limited = false;
    return runLive(
        [&](const double *x, const double *y, int n) {
            plot.AppendPlotPoints(x, y, n, 1, Qt::red, TPlotStyle::Line);
            if (!limited)
                limited = plot.SetPlotMaxPoints(LiveWindow, 1);
        },
        [&] { return plot.plotFrames; }, Seconds);
}

#ifdef G740_HAVE_QCUSTOMPLOT
LiveResult liveCustom(QSize Size, double Seconds)
{
    QCustomPlot custom;
    custom.resize(Size);
    custom.setNotAntialiasedElements(QCP::aeAll);
    custom.addGraph();
    custom.graph(0)->setPen(QPen(Qt::red));
    custom.yAxis->setRange(-1.5, 1.5);
    custom.show();
    settle();
    int frames = 0;
    QObject::connect(&custom, &QCustomPlot::afterReplot, [&] { ++frames; });
    QVector<QCPGraphData> block(LiveBlock);
    double newest = 0;
    return runLive(
        [&](const double *x, const double *y, int n) {
            for (int k = 0; k < n; ++k)
                block[k] = QCPGraphData(x[k], y[k]);
            custom.graph(0)->data()->add(block, true);
            newest = x[n - 1];
            custom.graph(0)->data()->removeBefore(newest - (LiveWindow - 1) * 1.0e-6);
        },
        [&] { return frames; }, Seconds,
        [&] {
            // The x range follows the window; y stays fixed (less work than
            // the control's own scaling of both).
            custom.xAxis->setRange(newest - LiveWindow * 1.0e-6, newest);
            custom.replot(QCustomPlot::rpQueuedReplot);
        });
}
#endif

// The control against itself at every N: all plots side by side, frames taken
// in turn, each after the same neighbour (the floor's frame of the largest N,
// the heaviest work any frame above follows). In the interleaved loop a frame
// follows the neighbours of its own N, which stream 320 MB at 10^7 points and
// touch 320 KB at 10^4: there the ratio of two N measures what the neighbours
// left in the caches as much as the control.
std::map<int, Stats> sameNeighbourFrames(QSize Size, const std::vector<int> &Counts, int Frames)
{
    std::vector<Series> data;
    std::vector<std::unique_ptr<BenchPlot>> plots;
    for (const int n : Counts) {
        data.push_back(noisySine(n));
        auto plot = std::make_unique<BenchPlot>();
        plot->resize(Size);
        plot->show();
        settle();
        plot->XYPlot(data.back().x.data(), data.back().y.data(), n, 1, Qt::red, TPlotStyle::Line);
        plot->SetXAutoScale(false);
        plot->SetYAutoScale(false);
        plot->SetXYMinMax(0, 10, -1.2, 1.2, false);
        settle();
        plots.push_back(std::move(plot));
    }
    const std::size_t largest = std::max_element(Counts.begin(), Counts.end()) - Counts.begin();
    FloorPlot neighbour(Size, data[largest]);
    std::vector<std::vector<double>> times(Counts.size());
    for (int f = 0; f < Frames; ++f) {
        for (std::size_t k = 0; k < Counts.size(); ++k) {
            const std::size_t i = (k + f) % Counts.size();
            neighbour.frame();
            settle();
            times[i].push_back(timeMs([&] { plots[i]->Redraw(); }));
            settle();
        }
    }
    std::map<int, Stats> result;
    for (std::size_t i = 0; i < Counts.size(); ++i)
        result[Counts[i]] = stats(times[i]);
    return result;
}

std::vector<QSize> parseSizes(const std::string &Text)
{
    std::vector<QSize> sizes;
    std::size_t at = 0;
    while (at < Text.size()) {
        int w = 0;
        int h = 0;
        if (std::sscanf(Text.c_str() + at, "%dx%d", &w, &h) == 2)
            sizes.emplace_back(w, h);
        const std::size_t comma = Text.find(',', at);
        at = comma == std::string::npos ? Text.size() : comma + 1;
    }
    return sizes;
}

std::vector<int> parseCounts(const std::string &Text)
{
    std::vector<int> counts;
    std::size_t at = 0;
    while (at < Text.size()) {
        counts.push_back(static_cast<int>(std::strtod(Text.c_str() + at, nullptr)));
        const std::size_t comma = Text.find(',', at);
        at = comma == std::string::npos ? Text.size() : comma + 1;
    }
    return counts;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    int frames = 21;
    std::vector<QSize> sizes{{300, 250}, {1000, 600}};
    std::vector<int> counts{1000, 10000, 100000, 1000000, 10000000};
    double liveSeconds = 5;
    int liveRounds = 3;
    for (int a = 1; a < argc; ++a) {
        const std::string arg = argv[a];
        const auto value = [&](const char *name) -> const char * {
            const std::string prefix = std::string(name) + "=";
            return arg.rfind(prefix, 0) == 0 ? argv[a] + prefix.size() : nullptr;
        };
        if (const char *v = value("--sizes"))
            sizes = parseSizes(v);
        else if (const char *v = value("--counts"))
            counts = parseCounts(v);
        else if (const char *v = value("--live-seconds"))
            liveSeconds = std::atof(v);
        else if (const char *v = value("--live-rounds"))
            liveRounds = std::max(0, std::atoi(v));
        else
            frames = std::max(15, std::atoi(argv[a]));
    }
    // results[size][n][what]
    std::map<int, std::map<int, std::map<std::string, Stats>>> results;

    for (const QSize size : sizes) {
        std::printf("\n%d x %d, median of %d frames\n", size.width(), size.height(), frames);
        for (const int n : counts) {
            const Series data = noisySine(n);
            auto &r = results[size.width()][n];

            BenchPlot plot;
            plot.resize(size);
            plot.show();
            settle();
            plot.XYPlot(data.x.data(), data.y.data(), n, 1, Qt::red, TPlotStyle::Line);
            plot.SetXAutoScale(false);
            plot.SetYAutoScale(false);
            plot.SetXYMinMax(0, 10, -1.2, 1.2, false);
            settle();

#ifdef G740_HAVE_QCUSTOMPLOT
            QCustomPlot custom;
            custom.resize(size);
            custom.setNotAntialiasedElements(QCP::aeAll);
            custom.addGraph();
            custom.graph(0)->setPen(QPen(Qt::red));
            custom.graph(0)->setData(QVector<double>(data.x.begin(), data.x.end()),
                                     QVector<double>(data.y.begin(), data.y.end()), true);
            custom.xAxis->setRange(0, 10);
            custom.yAxis->setRange(-1.2, 1.2);
            custom.show();
            settle();
            custom.replot();
            settle();
#endif
            FloorPlot floor(size, data);

            std::vector<double> tPlot, tCustom, tFloor;
            for (int f = 0; f < frames; ++f) {
                // Interleaved, starting with another one each round.
                for (int k = 0; k < 3; ++k) {
                    switch ((f + k) % 3) {
                    case 0:
                        tPlot.push_back(timeMs([&] { plot.Redraw(); }));
                        break;
                    case 1:
#ifdef G740_HAVE_QCUSTOMPLOT
                        tCustom.push_back(timeMs([&] { custom.replot(QCustomPlot::rpQueuedRefresh); }));
#endif
                        break;
                    case 2:
                        tFloor.push_back(timeMs([&] { floor.frame(); }));
                        break;
                    }
                    settle();
                }
            }
            r["TXYPlot full redraw"] = stats(tPlot);
            if (!tCustom.empty())
                r["QCustomPlot replot"] = stats(tCustom);
            r["floor (QPainter, min/max)"] = stats(tFloor);

            // The control alone: frames one after the other (its memory
            // stays in the caches), and frames that each follow a pass over
            // 64 MB (none of it does), the same for every N.
            {
                std::vector<double> warm, cold;
                static std::vector<char> evict(64 << 20, 1);
                long sink = 0;
                for (int f = 0; f < frames; ++f) {
                    warm.push_back(timeMs([&] { plot.Redraw(); }));
                    for (std::size_t b = 0; b < evict.size(); b += 64)
                        sink += evict[b]++;
                    cold.push_back(timeMs([&] { plot.Redraw(); }));
                }
                r["TXYPlot full redraw, warm"] = stats(warm);
                r["TXYPlot full redraw, cold cache"] = stats(cold);
                if (sink == 42)
                    std::printf(" ");
            }

            // The same frame drawing every point, for comparison.
            {
                std::vector<double> t;
                plot.ExhaustiveDrawing = true;
                for (int f = 0; f < std::min(frames, n >= 10000000 ? 3 : n >= 1000000 ? 5 : frames); ++f) {
                    t.push_back(timeMs([&] { plot.Redraw(); }));
                    settle();
                }
                plot.ExhaustiveDrawing = false;
                r["TXYPlot, every point drawn"] = stats(t);
            }

            // A pan drag, one pixel to and fro per step.
            {
                const QRect area = plot.plotArea();
                const QPoint c = area.center();
                std::vector<double> t;
                plot.MouseDown(Qt::LeftButton, Qt::LeftButton, {}, c.x(), c.y());
                for (int f = 0; f < frames; ++f) {
                    const int x = c.x() + (f % 2 ? 0 : 1);
                    t.push_back(timeMs([&] { plot.MouseMove(Qt::LeftButton, {}, x, c.y()); }));
                    settle();
                }
                plot.MouseUp(Qt::LeftButton, {}, {}, c.x(), c.y());
                r["pan step"] = stats(t);
            }

            // A mouse move without a button: the read-out only.
            {
                const QRect area = plot.plotArea();
                std::vector<double> t;
                for (int f = 0; f < frames; ++f) {
                    const int x = area.left() + 10 + f % 7;
                    t.push_back(timeMs([&] { plot.MouseMove({}, {}, x, area.bottom() - 10); }));
                    settle();
                }
                r["mouse move (no drag)"] = stats(t);
            }

            // Zoomed into 1 % of the x range, in the middle.
            {
                plot.SetXYMinMax(4.95, 5.05, -1.2, 1.2, true);
                std::vector<double> t;
                for (int f = 0; f < frames; ++f) {
                    t.push_back(timeMs([&] { plot.Redraw(); }));
                    settle();
                }
                r["TXYPlot zoomed to 1 % of x"] = stats(t);
            }

            std::printf(" N = %d\n", n);
            if (const TPlotListMember *m = plot.plotList().First())
                std::printf("  summary: %.1f %% of the data's %zu bytes\n",
                            100.0 * m->summary().bytes() / (16.0 * m->NumPoints()),
                            static_cast<std::size_t>(16) * m->NumPoints());
            for (const auto &[what, s] : r)
                print(what, s);
        }
        std::printf(" Each frame after the same neighbour (a floor frame of the largest N)\n");
        for (const auto &[n, st] : sameNeighbourFrames(size, counts, frames)) {
            results[size.width()][n][SameNeighbour] = st;
            print("N = " + std::to_string(n), st);
        }
    }

    // Live data, the two interleaved round by round.
    std::vector<double> livePlotCpu, liveCustomCpu, livePlotFps, liveCustomFps, livePlotRate, liveCustomRate;
    const QSize liveSize(1000, 600);
    for (int round = 0; round < liveRounds; ++round) {
        for (int k = 0; k < 2; ++k) {
            if ((round + k) % 2 == 0) {
                const LiveResult r = livePlot(liveSize, liveSeconds);
                livePlotCpu.push_back(r.cpuShare);
                livePlotFps.push_back(r.framesPerSecond);
                livePlotRate.push_back(r.pointsPerSecond);
            } else {
#ifdef G740_HAVE_QCUSTOMPLOT
                const LiveResult r = liveCustom(liveSize, liveSeconds);
                liveCustomCpu.push_back(r.cpuShare);
                liveCustomFps.push_back(r.framesPerSecond);
                liveCustomRate.push_back(r.pointsPerSecond);
#endif
            }
            settle();
        }
    }
    if (!livePlotCpu.empty()) {
        std::printf("\nLive data at %d x %d: %.0f points/s in blocks of %d, window %d, %d rounds of %.1f s\n",
                    liveSize.width(), liveSize.height(), LiveRate, LiveBlock, LiveWindow, liveRounds,
                    liveSeconds);
        const auto line = [](const char *who, const std::vector<double> &cpu, const std::vector<double> &fps,
                             const std::vector<double> &rate) {
            if (cpu.empty())
                return;
            const Stats c = stats(cpu);
            std::printf("  %-12s CPU %5.1f %% of a core (min %5.1f, max %5.1f), %5.1f frames/s, %.3g points/s\n",
                        who, 100 * c.median, 100 * c.min, 100 * c.max, stats(fps).median, stats(rate).median);
        };
        line("TXYPlot", livePlotCpu, livePlotFps, livePlotRate);
        line("QCustomPlot", liveCustomCpu, liveCustomFps, liveCustomRate);
    }

    std::printf("\nGoals (ratios of medians in this run)\n");
    const auto ratio = [&](int w, int n, const char *a, int w2, int n2, const char *b) {
        const auto &ra = results[w][n];
        const auto &rb = results[w2][n2];
        if (!ra.count(a) || !rb.count(b))
            return -1.0;
        return ra.at(a).median / rb.at(b).median;
    };
    const auto info = [](const char *what, double value) {
        if (value >= 0)
            std::printf("  %-58s %6.2f  (for comparison)\n", what, value);
    };
    const auto goal = [](const char *what, double value, double limit) {
        if (value < 0)
            std::printf("  %-58s   n/a\n", what);
        else
            std::printf("  %-58s %6.2f  (goal <= %.2f)  %s\n", what, value, limit,
                        value <= limit ? "met" : "NOT MET");
    };
    for (const QSize size : sizes) {
        const int w = size.width();
        std::printf(" %d x %d\n", w, size.height());
        goal("full redraw 1e6 / QCustomPlot 1e6", ratio(w, 1000000, "TXYPlot full redraw", w, 1000000, "QCustomPlot replot"), 1.5);
        goal("full redraw 1e6 / floor 1e6", ratio(w, 1000000, "TXYPlot full redraw", w, 1000000, "floor (QPainter, min/max)"), 2.0);
        goal("full redraw 1e3 / QCustomPlot 1e3", ratio(w, 1000, "TXYPlot full redraw", w, 1000, "QCustomPlot replot"), 1.5);
        goal("frame 1e6 / frame 1e4", ratio(w, 1000000, "TXYPlot full redraw", w, 10000, "TXYPlot full redraw"), 5.0);
        goal("pan step 1e6 / full redraw 1e6", ratio(w, 1000000, "pan step", w, 1000000, "TXYPlot full redraw"), 1.2);
        goal("full redraw 1e7 / QCustomPlot 1e7", ratio(w, 10000000, "TXYPlot full redraw", w, 10000000, "QCustomPlot replot"), 0.1);
        goal("frame 1e7 / frame 1e4, each after the same neighbour", ratio(w, 10000000, SameNeighbour, w, 10000, SameNeighbour), 1.5);
        // Not a goal: the two frames follow different neighbours (see
        // sameNeighbourFrames).
        info("frame 1e7 / frame 1e4, interleaved with their own neighbours",
             ratio(w, 10000000, "TXYPlot full redraw", w, 10000, "TXYPlot full redraw"));
        goal("frame 1e7 / frame 1e4, both after a 64 MB pass",
             ratio(w, 10000000, "TXYPlot full redraw, cold cache", w, 10000, "TXYPlot full redraw, cold cache"), 1.5);
        goal("frame 1e7 / frame 1e4, both warm",
             ratio(w, 10000000, "TXYPlot full redraw, warm", w, 10000, "TXYPlot full redraw, warm"), 1.5);
        double worstPan = -1;
        for (const int n : counts)
            worstPan = std::max(worstPan, ratio(w, n, "pan step", w, n, "TXYPlot full redraw"));
        goal("pan step / full redraw, worst N", worstPan, 0.8);
        goal("zoomed 1 % at 1e6 / full view 1e4", ratio(w, 1000000, "TXYPlot zoomed to 1 % of x", w, 10000, "TXYPlot full redraw"), 1.2);
        double worstMove = 0;
        for (const int n : counts)
            worstMove = std::max(worstMove, results[w][n]["mouse move (no drag)"].median);
        goal("slowest mouse move (no drag), median, ms", worstMove, 1.0);
    }
    if (!livePlotCpu.empty())
        goal("live data: TXYPlot CPU share of one core", stats(livePlotCpu).median, 0.25);
    return 0;
}
