#pragma once

#include <QObject>
#include <QTimer>

class Instrument;

// Keeps an eye on the instrument's module while a front door runs: a ready
// module is checked once a period, a lost one looked for once a period. The
// timer runs on the instrument's thread between other work, so it never
// interrupts an operation; the instrument itself skips a running detection.
class ModuleWatch : public QObject
{
    Q_OBJECT

public:
    static constexpr int DefaultPeriod = 1000; // ms

    explicit ModuleWatch(Instrument &instrument, QObject *parent = nullptr);

    int period() const { return m_timer.interval(); }
    // G740_MODULE_CHECK_MS when it holds a whole number from 10 to 60000,
    // otherwise DefaultPeriod.
    static int configuredPeriod();

private:
    void tick();

    Instrument &m_instrument;
    QTimer m_timer;
};
