#pragma once

#include "generator/GeneratorPars.h"
#include "instrument/Instrument.h"

#include <QString>
#include <QStringList>

#include <optional>

// The named parameter sets of one settings file, as every front door uses
// them: the current record stored under a name, a set made the current
// record, a set removed. The sets themselves are the settings file's
// (ParameterSets); this adds the instrument's rules: a set is not loaded
// while the generator runs, and every refusal is an InstrumentFailure with
// the operator's text.
class InstrumentSets
{
public:
    // settingsPath: the settings file the front door uses. Nothing is read
    // until an operation asks.
    InstrumentSets(Instrument &instrument, QString settingsPath);

    QString settingsPath() const { return m_settingsPath; }

    // The names in file order; none when the file cannot be read.
    QStringList names() const;
    bool contains(const QString &name) const;
    // Why name cannot be stored in the settings file, or nothing.
    std::optional<QString> nameProblem(const QString &name) const;

    // Stores the instrument's current record under name, replacing a set of
    // the same name (in any letter case).
    [[nodiscard]] InstrumentOutcome save(const QString &name) const;
    // Stores pars: a front door whose record at hand is not yet the
    // instrument's (the window before its first detection).
    [[nodiscard]] InstrumentOutcome save(const QString &name, const GENERATOR_PARS &pars) const;
    // Makes the set the instrument's record (refused while the generator
    // runs). loaded: the set as read, before the record rules.
    [[nodiscard]] InstrumentOutcome load(const QString &name, QObject *origin = nullptr,
                                         GENERATOR_PARS *loaded = nullptr) const;
    // Reads the set without touching the instrument.
    [[nodiscard]] InstrumentOutcome read(const QString &name, GENERATOR_PARS &pars) const;
    [[nodiscard]] InstrumentOutcome remove(const QString &name) const;

private:
    Instrument &m_instrument;
    QString m_settingsPath;
};

// The failure's text, or nothing: what a caller wants that only reports.
inline std::optional<QString> failureText(const InstrumentOutcome &outcome)
{
    return outcome ? std::optional<QString>(outcome->text) : std::nullopt;
}
