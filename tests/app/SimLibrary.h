#pragma once

#include "modlink/ModlinkSim.h"

#include <QCoreApplication>
#include <QLibrary>
#include <QStringList>

// The inspection functions of the stand-in device library, from the same
// libModlink.so beside the test that the program loads.
class SimLibrary
{
public:
    SimLibrary()
        : m_library(QCoreApplication::applicationDirPath() + QStringLiteral("/libModlink.so"))
    {
        m_callLog = reinterpret_cast<ModlinkSimCallLogFunction>(m_library.resolve("ModlinkSimCallLog"));
        m_resetCallLog = reinterpret_cast<ModlinkSimResetCallLogFunction>(m_library.resolve("ModlinkSimResetCallLog"));
        m_generatorRunning =
            reinterpret_cast<ModlinkSimGeneratorRunningFunction>(m_library.resolve("ModlinkSimGeneratorRunning"));
    }

    bool isValid() const { return m_callLog && m_resetCallLog && m_generatorRunning; }
    QStringList callLog() const
    {
        const QString log = QString::fromLatin1(m_callLog());
        return log.isEmpty() ? QStringList() : log.split(QLatin1Char(','));
    }
    void resetCallLog() const { m_resetCallLog(); }
    // Whether the simulated module's output is on.
    bool generatorRunning() const { return m_generatorRunning() != 0; }

private:
    QLibrary m_library;
    ModlinkSimCallLogFunction m_callLog = nullptr;
    ModlinkSimResetCallLogFunction m_resetCallLog = nullptr;
    ModlinkSimGeneratorRunningFunction m_generatorRunning = nullptr;
};
