// Frame times of the XY plot control beside QCustomPlot (when it was found at
// build time) and beside a floor: plain QPainter into a QImage with min/max
// decimation per pixel column. One noisy sine drawn as a line, antialiasing
// off, frames of the three interleaved. Run by hand, from a Release build:
//     xyplot_bench [frames]
// The widgets are drawn off screen unless QT_QPA_PLATFORM says otherwise.

#include "components/xyplot/XYPlot.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>

#ifdef G740_HAVE_QCUSTOMPLOT
#include <qcustomplot.h>
#endif

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <map>
#include <random>
#include <string>
#include <vector>

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

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int frames = argc > 1 ? std::max(15, std::atoi(argv[1])) : 21;
    const QList<QSize> sizes{{300, 250}, {1000, 600}};
    const int counts[] = {1000, 10000, 100000, 1000000};
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

            // The same frame drawing every point, for comparison.
            {
                std::vector<double> t;
                plot.ExhaustiveDrawing = true;
                for (int f = 0; f < std::min(frames, n >= 1000000 ? 5 : frames); ++f) {
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
            for (const auto &[what, s] : r)
                print(what, s);
        }
    }

    std::printf("\nGoals (ratios of medians in this run)\n");
    const auto ratio = [&](int w, int n, const char *a, int w2, int n2, const char *b) {
        const auto &ra = results[w][n];
        const auto &rb = results[w2][n2];
        if (!ra.count(a) || !rb.count(b))
            return -1.0;
        return ra.at(a).median / rb.at(b).median;
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
        goal("zoomed 1 % at 1e6 / full view 1e4", ratio(w, 1000000, "TXYPlot zoomed to 1 % of x", w, 10000, "TXYPlot full redraw"), 1.2);
        double worstMove = 0;
        for (const int n : counts)
            worstMove = std::max(worstMove, results[w][n]["mouse move (no drag)"].median);
        goal("slowest mouse move (no drag), median, ms", worstMove, 1.0);
    }
    return 0;
}
