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
    }

    bool isValid() const { return m_callLog && m_resetCallLog; }
    QStringList callLog() const
    {
        const QString log = QString::fromLatin1(m_callLog());
        return log.isEmpty() ? QStringList() : log.split(QLatin1Char(','));
    }
    void resetCallLog() const { m_resetCallLog(); }

private:
    QLibrary m_library;
    ModlinkSimCallLogFunction m_callLog = nullptr;
    ModlinkSimResetCallLogFunction m_resetCallLog = nullptr;
};
