#include "instrument/InstrumentSets.h"

#include "instrument/InstrumentTexts.h"
#include "settings/IniFile.h"
#include "settings/IniText.h"
#include "settings/ParameterSets.h"

#include <exception>

namespace {

InstrumentOutcome settingsFailure(const QString &text)
{
    return InstrumentFailure{InstrumentFailure::Kind::SettingsFile, text};
}

InstrumentOutcome settingsFailure(const std::optional<QString> &text)
{
    return text ? settingsFailure(*text) : std::nullopt;
}

// A write that failed throws with the operator's message naming the file.
template <typename Operation>
InstrumentOutcome guardedWrite(Operation operation)
{
    try {
        return settingsFailure(operation());
    } catch (const std::exception &error) {
        return settingsFailure(QString::fromUtf8(error.what()));
    }
}

} // namespace

InstrumentSets::InstrumentSets(Instrument &instrument, QString settingsPath)
    : m_instrument(instrument)
    , m_settingsPath(std::move(settingsPath))
{
}

QStringList InstrumentSets::names() const
{
    return ParameterSets::names(TIniFile(m_settingsPath));
}

bool InstrumentSets::contains(const QString &name) const
{
    return ParameterSets::contains(TIniFile(m_settingsPath), name);
}

std::optional<QString> InstrumentSets::nameProblem(const QString &name) const
{
    return ParameterSets::nameProblem(TIniFile(m_settingsPath).text(), name);
}

InstrumentOutcome InstrumentSets::save(const QString &name) const
{
    return save(name, m_instrument.record());
}

InstrumentOutcome InstrumentSets::save(const QString &name, const GENERATOR_PARS &pars) const
{
    return guardedWrite([&] {
        TIniFile file(m_settingsPath);
        return ParameterSets::save(file, name, pars);
    });
}

InstrumentOutcome InstrumentSets::read(const QString &name, GENERATOR_PARS &pars) const
{
    // The set's keys fill a copy of the current record, so that the bytes of
    // the record no key holds stay as they are.
    GENERATOR_PARS set = pars;
    if (InstrumentOutcome failed = settingsFailure(ParameterSets::load(TIniFile(m_settingsPath), name, set)))
        return failed;
    pars = set;
    return std::nullopt;
}

InstrumentOutcome InstrumentSets::load(const QString &name, QObject *origin, GENERATOR_PARS *loaded) const
{
    // Told before the file is read: a missing set is no reason to stop.
    if (m_instrument.isRunning())
        return InstrumentFailure{InstrumentFailure::Kind::Refused, InstrumentTexts::setRefusedWhileRunning()};
    GENERATOR_PARS pars = m_instrument.record();
    if (InstrumentOutcome failed = read(name, pars))
        return failed;
    if (InstrumentOutcome failed = m_instrument.setRecord(pars, origin))
        return failed;
    if (loaded)
        *loaded = pars;
    return std::nullopt;
}

InstrumentOutcome InstrumentSets::remove(const QString &name) const
{
    return guardedWrite([&] {
        TIniFile file(m_settingsPath);
        return ParameterSets::remove(file, name);
    });
}
