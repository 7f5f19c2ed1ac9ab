#include "instrument/ModuleWatch.h"

#include "instrument/Instrument.h"

ModuleWatch::ModuleWatch(Instrument &instrument, QObject *parent)
    : QObject(parent)
    , m_instrument(instrument)
{
    m_timer.setInterval(configuredPeriod());
    // A late tick only delays the check; nothing is counted on it.
    m_timer.setTimerType(Qt::CoarseTimer);
    connect(&m_timer, &QTimer::timeout, this, &ModuleWatch::tick);
    m_timer.start();
}

int ModuleWatch::configuredPeriod()
{
    bool ok = false;
    const int period = qEnvironmentVariableIntValue("G740_MODULE_CHECK_MS", &ok);
    return ok && period >= 10 && period <= 60000 ? period : DefaultPeriod;
}

void ModuleWatch::tick()
{
    if (m_instrument.isLost())
        m_instrument.findAgain();
    else
        m_instrument.checkPresence();
}
