#pragma once

// What the generator panel's rooms share: its colours, keys, box captions and
// the guard that keeps one handler from running inside another.

#include <QColor>
#include <QCoreApplication>
#include <QString>

#include <cstdint>

namespace GeneratorFrameParts {

inline const QColor ActualValueColor(0, 128, 0);
inline const QColor InternalClockColor(128, 128, 128);
inline const QColor StoppedButtonColor(0, 128, 0);
inline const QColor RunningButtonColor(128, 0, 0);

inline const QString DigitKeys = QStringLiteral("0123456789.");
inline const QString SignedDigitKeys = QStringLiteral("0123456789.-");

inline QString ConversionErrorText()
{
    return QCoreApplication::translate("G740GeneratorFrame", "Обнаружена ошибка преобразования строки в число.");
}
inline QString MasterClockErrorCaption()
{
    return QCoreApplication::translate("G740GeneratorFrame", "Ошибка ExternalMasterClockValueLMDEditChange()!!!");
}
inline QString StartFrequencyErrorCaption()
{
    return QCoreApplication::translate("G740GeneratorFrame", "Ошибка DesiredStartFrequencyValueLMDEditChange()!!!");
}
inline QString IncrementErrorCaption()
{
    return QCoreApplication::translate("G740GeneratorFrame", "Ошибка DesiredFrequencyIncrementValueLMDEditChange()!!!");
}
inline QString OffsetErrorCaption()
{
    return QCoreApplication::translate("G740GeneratorFrame", "Ошибка DesiredOffsetValueOutput10OhmLMDEditChange()!!!");
}
inline QString ButtonErrorCaption()
{
    return QCoreApplication::translate("G740GeneratorFrame", "Ошибка ControlGeneratorLMDButtonClick()!!!");
}

// Marks a handler as running for its lifetime, unless another one already
// runs; release() hands the panel over to a handler it calls next.
class BusyScope
{
public:
    explicit BusyScope(bool &flag)
        : m_flag(flag)
        , m_owned(!flag)
    {
        m_flag = true;
    }
    ~BusyScope() { release(); }
    BusyScope(const BusyScope &) = delete;
    BusyScope &operator=(const BusyScope &) = delete;

    bool acquired() const { return m_owned; }
    void release()
    {
        if (m_owned)
            m_flag = false;
        m_owned = false;
    }

private:
    bool &m_flag;
    bool m_owned;
};

// An enumeration byte as the record keeps it: no selection (-1) is 255.
inline std::uint8_t indexByte(int index)
{
    return static_cast<std::uint8_t>(index);
}

} // namespace GeneratorFrameParts
