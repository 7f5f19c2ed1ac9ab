// A headless g740demo whose simulated module is unplugged and plugged in
// again, at the default check period:
// - loss noticed: from the unplugging to the line that says so;
// - found again: from the plugging in to the line that says so;
// - idle check: the process's CPU time while it sits with its module, beside
//   the same process with the check a minute apart.
//
//   bench_presence [cycles] [idle seconds]     (default 5 and 20)

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

const QByteArray ModuleLine = QStringLiteral("Модуль G-740, виртуальный слот 0").toUtf8();
const QByteArray LostLine = QStringLiteral("Связь с модулем G-740 потеряна").toUtf8();
const QByteArray BackLine = QStringLiteral("Модуль G-740 снова на связи").toUtf8();

class Headless
{
public:
    Headless(const QTemporaryDir &dir, const QString &checkPeriod)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("MODLINK_SIM"), QStringLiteral("slots=0"));
        env.insert(QStringLiteral("MODLINK_SIM_FILE"), dir.filePath(QStringLiteral("cable")));
        if (!checkPeriod.isEmpty())
            env.insert(QStringLiteral("G740_MODULE_CHECK_MS"), checkPeriod);
        m_process.setProcessEnvironment(env);
        m_process.start(QCoreApplication::applicationDirPath() + QStringLiteral("/g740demo"),
                        {QStringLiteral("--headless"), QStringLiteral("--settings"),
                         dir.filePath(QStringLiteral("G740Config.ini"))});
    }
    ~Headless()
    {
        m_process.terminate();
        if (!m_process.waitForFinished(5000))
            m_process.kill();
        m_process.waitForFinished();
    }

    // ms until the count-th line that holds text; -1 after 10 s.
    double waitFor(const QByteArray &text, int count, const QElapsedTimer &since)
    {
        while (m_stderr.count(text) < count && since.elapsed() < 10000
               && m_process.state() != QProcess::NotRunning) {
            m_process.waitForReadyRead(1);
            m_stderr += m_process.readAllStandardError();
        }
        return m_stderr.count(text) >= count ? double(since.nsecsElapsed()) / 1e6 : -1;
    }

    // User and system time in clock ticks, from /proc.
    long cpuTicks() const
    {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(m_process.processId()));
        if (!stat.open(QIODevice::ReadOnly))
            return -1;
        const QByteArray text = stat.readAll();
        const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
        return fields.value(11).toLong() + fields.value(12).toLong(); // utime, stime
    }

private:
    QProcess m_process;
    QByteArray m_stderr;
};

bool plug(const QTemporaryDir &dir, const QByteArray &entries)
{
    QFile file(dir.filePath(QStringLiteral("cable")));
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(entries) == entries.size();
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? -1 : values[values.size() / 2];
}

double maximum(const std::vector<double> &values)
{
    return values.empty() ? -1 : *std::max_element(values.begin(), values.end());
}

// The share of one core that a process used over seconds, in per cent.
double idleShare(const QTemporaryDir &dir, const QString &checkPeriod, int seconds)
{
    Headless headless(dir, checkPeriod);
    QElapsedTimer timer;
    timer.start();
    if (headless.waitFor(ModuleLine, 1, timer) < 0)
        return -1;
    QThread::msleep(500);
    const long before = headless.cpuTicks();
    QElapsedTimer wall;
    wall.start();
    QThread::sleep(seconds);
    const long ticks = headless.cpuTicks() - before;
    return 100.0 * double(ticks) / double(sysconf(_SC_CLK_TCK)) / (double(wall.nsecsElapsed()) / 1e9);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int cycles = argc > 1 ? std::max(1, atoi(argv[1])) : 5;
    const int idleSeconds = argc > 2 ? std::max(1, atoi(argv[2])) : 20;
    QTemporaryDir dir;
    if (!plug(dir, QByteArray()))
        return 1;

    std::vector<double> noticed, found;
    {
        Headless headless(dir, QString());
        QElapsedTimer timer;
        timer.start();
        if (headless.waitFor(ModuleLine, 1, timer) < 0) {
            std::fprintf(stderr, "no module detected\n");
            return 1;
        }
        for (int cycle = 1; cycle <= cycles; ++cycle) {
            // Unplugged at a random point of the check period.
            QThread::msleep(137 * cycle % 1000);
            timer.restart();
            plug(dir, "unplugged=0");
            noticed.push_back(headless.waitFor(LostLine, cycle, timer));
            QThread::msleep(291 * cycle % 1000);
            timer.restart();
            plug(dir, QByteArray());
            found.push_back(headless.waitFor(BackLine, cycle, timer));
        }
    }
    std::printf("loss noticed: median %.0f ms, max %.0f ms over %d cycles (goal 1100 ms)\n", median(noticed),
                maximum(noticed), cycles);
    std::printf("found again: median %.0f ms, max %.0f ms over %d cycles (goal 1500 ms)\n", median(found),
                maximum(found), cycles);

    const double checked = idleShare(dir, QString(), idleSeconds);
    const double unchecked = idleShare(dir, QStringLiteral("60000"), idleSeconds);
    std::printf("idle process with its module, %d s each: %.3f %% of a core checked every second, %.3f %% "
                "checked every minute; the check's cost %.3f %% (goal < 0.1 %%; one clock tick is %.3f %%)\n",
                idleSeconds, checked, unchecked, checked - unchecked, 100.0 / double(sysconf(_SC_CLK_TCK)) / idleSeconds);
    return 0;
}
