#include "web/WebActions.h"

#include "instrument/InstrumentSets.h"
#include "instrument/RecordRules.h"
#include "runtime/NumberFormat.h"
#include "web/WebTexts.h"

#include <QJsonValue>

#include <optional>

namespace {

std::optional<RecordRules::Field> fieldNamed(const QString &name)
{
    for (int i = 0; i < RecordRules::FieldCount; ++i) {
        const auto field = RecordRules::Field(i);
        if (name == QLatin1String(RecordRules::fieldInfo(field).name))
            return field;
    }
    return std::nullopt;
}

std::optional<double> numberOf(const QJsonValue &value)
{
    if (value.isDouble())
        return value.toDouble();
    if (value.isBool())
        return value.toBool() ? 1.0 : 0.0;
    if (value.isString()) {
        try {
            return parseFloat(value.toString());
        } catch (const ConversionError &) {
        }
    }
    return std::nullopt;
}

} // namespace

WebActions::WebActions(Instrument &instrument, const WebProgram &program, QObject *origin)
    : m_instrument(instrument), m_program(program), m_origin(origin)
{
}

int WebActions::statusOf(const InstrumentFailure &failure)
{
    switch (failure.kind) {
    case InstrumentFailure::Kind::OutOfRange:
    case InstrumentFailure::Kind::SettingsFile:
        return 400;
    case InstrumentFailure::Kind::Refused:
    case InstrumentFailure::Kind::Conflict:
        return 409;
    default:
        return 503; // no module, or the module failed
    }
}

InstrumentOutcome WebActions::busy() const
{
    if (m_program.busy) {
        if (const std::optional<QString> reason = m_program.busy())
            return InstrumentFailure{InstrumentFailure::Kind::Refused, *reason};
    }
    return std::nullopt;
}

InstrumentOutcome WebActions::setFields(const QJsonObject &values) const
{
    if (InstrumentOutcome refused = busy())
        return refused;
    // All names and numbers are checked before the first change.
    for (auto it = values.begin(); it != values.end(); ++it) {
        if (!fieldNamed(it.key()))
            return InstrumentFailure{InstrumentFailure::Kind::OutOfRange, WebTexts::unknownField(it.key())};
    }
    std::vector<std::pair<RecordRules::Field, double>> changes;
    for (int i = 0; i < RecordRules::FieldCount; ++i) {
        const auto field = RecordRules::Field(i);
        const QString name = QLatin1String(RecordRules::fieldInfo(field).name);
        if (!values.contains(name))
            continue;
        const std::optional<double> number = numberOf(values.value(name));
        if (!number) {
            return InstrumentFailure{InstrumentFailure::Kind::OutOfRange,
                                     RecordRules::rangeError(field, qQNaN()).value_or(WebTexts::badRequest())};
        }
        changes.emplace_back(field, *number);
    }
    for (const auto &[field, number] : changes) {
        if (InstrumentOutcome failed = m_instrument.setField(field, number, m_origin))
            return failed;
    }
    return std::nullopt;
}

InstrumentOutcome WebActions::start() const
{
    if (InstrumentOutcome refused = busy())
        return refused;
    return m_instrument.start();
}

InstrumentOutcome WebActions::stop() const
{
    // Stopping is never refused: the generator must always be stoppable.
    return m_instrument.stop();
}

InstrumentOutcome WebActions::saveSet(const QString &name) const
{
    if (InstrumentOutcome refused = busy())
        return refused;
    return InstrumentSets(m_instrument, m_program.settingsPath).save(name);
}

InstrumentOutcome WebActions::loadSet(const QString &name) const
{
    if (InstrumentOutcome refused = busy())
        return refused;
    return InstrumentSets(m_instrument, m_program.settingsPath).load(name, m_origin);
}
