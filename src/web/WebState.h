#pragma once

#include "web/WebProgram.h"

#include <QByteArray>
#include <QJsonArray>
#include <QJsonObject>
#include <QString>
#include <QStringList>

class Instrument;
class SweepPlan;

// The instrument as the page shows it, in JSON: what it is, its state, the
// record with the panel's rules and limits beside the produced values in the
// panel's formats, the sets, the sweep plan. Only reads.
namespace WebState {

// host: the address the client reached the server on, as it goes into a
// resource string; httpPort: the page's own port.
QStringList resourceStrings(const QString &host, quint16 httpPort, std::optional<quint16> remotePort);

QJsonObject identity(const Instrument &instrument, const WebProgram &program);
QJsonArray fields(const GENERATOR_PARS &record);
QJsonArray producedValues(const GENERATOR_PARS &record);
// The whole state of the page but the sweep.
QJsonObject state(const Instrument &instrument, const WebProgram &program, const QStringList &setNames);
// The sweep summary and its chart, from the same plan the sweep window uses.
QJsonObject sweep(const SweepPlan &plan);

} // namespace WebState
