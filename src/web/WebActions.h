#pragma once

#include "instrument/Instrument.h"
#include "web/WebProgram.h"

#include <QJsonObject>
#include <QString>

// Every change the web page makes, in one place: fields of the record,
// start and stop, a set loaded or stored. Each goes through the instrument's
// own rules (refused while the generator runs, ranges, locked fields), so
// the page can do nothing the window and SCPI could not.
class WebActions
{
public:
    WebActions(Instrument &instrument, const WebProgram &program, QObject *origin);

    // values: field name -> number (or a number's text, "." as the point).
    // Applied in the record's field order (a source before the value it
    // unlocks); the first failure stops, earlier fields stay set, as with a
    // SCPI message of several commands.
    [[nodiscard]] InstrumentOutcome setFields(const QJsonObject &values) const;
    [[nodiscard]] InstrumentOutcome start() const;
    [[nodiscard]] InstrumentOutcome stop() const;
    [[nodiscard]] InstrumentOutcome saveSet(const QString &name) const;
    [[nodiscard]] InstrumentOutcome loadSet(const QString &name) const;

    // The HTTP status a failure is answered with.
    static int statusOf(const InstrumentFailure &failure);

private:
    InstrumentOutcome busy() const;

    Instrument &m_instrument;
    const WebProgram &m_program;
    QObject *m_origin;
};
