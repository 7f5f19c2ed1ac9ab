#include "web/WebState.h"

#include "generator/GeneratorCalculations.h"
#include "generator/SweepPlan.h"
#include "instrument/Instrument.h"
#include "instrument/RecordRules.h"
#include "runtime/NumberFormat.h"
#include "runtime/ProgramIdentity.h"
#include "web/WebTexts.h"

#include <QJsonArray>

#include <cmath>

using namespace GeneratorCalculations;

namespace {

QJsonValue numberOrNull(std::optional<double> value)
{
    return value && std::isfinite(*value) ? QJsonValue(*value) : QJsonValue();
}

QJsonArray numbers(const std::vector<double> &values)
{
    QJsonArray array;
    for (const double value : values)
        array.append(numberOrNull(value));
    return array;
}

// The desired value as the panel's field shows it.
QString desiredText(const GENERATOR_PARS &record, RecordRules::Field field)
{
    using F = RecordRules::Field;
    const double value = RecordRules::fieldValue(record, field);
    switch (field) {
    case F::StartFrequency:
    case F::FrequencyIncrement:
        return frequencyText(value);
    case F::MasterClock:
        return appliedMasterClockText(value);
    case F::Output10OhmOffset:
        return desiredOffsetText(value);
    case F::AnalogOutputsGainIndex:
        return gainText(int(value));
    default:
        return countText(int(value));
    }
}

QJsonObject produced(const QString &id, const QString &label, const QString &text, const QString &unit)
{
    return {{QStringLiteral("id"), id}, {QStringLiteral("label"), label}, {QStringLiteral("text"), text},
            {QStringLiteral("unit"), unit}};
}

QString optionalText(std::optional<double> value, QString (*format)(double))
{
    return value ? format(*value) : notAvailableText();
}

} // namespace

namespace WebState {

QStringList resourceStrings(const QString &host, quint16 httpPort, std::optional<quint16> remotePort)
{
    // An IPv6 address is bracketed in a URL, not in a VISA resource.
    const QString urlHost = host.contains(QLatin1Char(':')) ? QLatin1Char('[') + host + QLatin1Char(']') : host;
    QStringList strings{QStringLiteral("TCPIP::%1::INSTR").arg(host)};
    if (remotePort)
        strings << QStringLiteral("TCPIP::%1::%2::SOCKET").arg(host).arg(*remotePort);
    strings << QStringLiteral("http://%1:%2/").arg(urlHost).arg(httpPort);
    return strings;
}

QJsonObject identity(const Instrument &instrument, const WebProgram &program)
{
    return {
        {QStringLiteral("maker"), ProgramIdentity::maker()},
        {QStringLiteral("model"), ProgramIdentity::model()},
        {QStringLiteral("slot"), instrument.slot() == 0xFFFF ? QJsonValue() : QJsonValue(int(instrument.slot()))},
        {QStringLiteral("programVersion"), ProgramIdentity::version()},
        {QStringLiteral("libraryVersion"), program.libraryVersion ? program.libraryVersion() : QString()},
        {QStringLiteral("moduleReady"), instrument.isModuleReady()},
    };
}

QJsonArray fields(const GENERATOR_PARS &record)
{
    QJsonArray array;
    for (int i = 0; i < RecordRules::FieldCount; ++i) {
        const auto field = RecordRules::Field(i);
        const RecordRules::FieldInfo &info = RecordRules::fieldInfo(field);
        const std::optional<QString> lock = RecordRules::lockReason(record, field);
        QJsonObject object{
            {QStringLiteral("name"), QLatin1String(info.name)},
            {QStringLiteral("label"), WebTexts::fieldLabel(field)},
            {QStringLiteral("unit"), WebTexts::fieldUnit(field)},
            {QStringLiteral("min"), info.min},
            {QStringLiteral("max"), info.max},
            {QStringLiteral("whole"), info.whole},
            {QStringLiteral("value"), RecordRules::fieldValue(record, field)},
            {QStringLiteral("text"), desiredText(record, field)},
            {QStringLiteral("locked"), lock ? QJsonValue(*lock) : QJsonValue()},
        };
        QStringList choices = WebTexts::fieldChoices(field);
        if (field == RecordRules::Field::AnalogOutputsGainIndex) {
            for (int index = 0; index < int(GainTable.size()); ++index)
                choices << gainText(index) + QLatin1Char(' ') + WebTexts::fieldUnit(field);
        }
        if (!choices.isEmpty())
            object.insert(QStringLiteral("choices"), QJsonArray::fromStringList(choices));
        array.append(object);
    }
    return array;
}

QJsonArray producedValues(const GENERATOR_PARS &record)
{
    const QJsonObject texts = WebTexts::pageTexts();
    const auto text = [&texts](const char *key) { return texts.value(QLatin1String(key)).toString(); };
    const ActualValues actual = GeneratorCalculations::actualValues(record);
    const AmplitudeTexts amplitude = amplitudeTexts(record.AnalogOutputsGainIndex);
    const QString kHz = text("kHz");
    return {
        produced(QStringLiteral("MasterClock"), text("masterClock"), appliedMasterClockText(actual.masterClock), kHz),
        produced(QStringLiteral("StartFrequency"), text("startFrequency"), frequencyText(actual.startFrequency), kHz),
        produced(QStringLiteral("FrequencyIncrement"), text("frequencyIncrement"), frequencyText(actual.frequencyIncrement), kHz),
        produced(QStringLiteral("FinalFrequency"), text("finalFrequency"), frequencyText(actual.finalFrequency), kHz),
        produced(QStringLiteral("IncrementDuration"), text("incrementDuration"), durationText(actual.incrementDuration), text("ms")),
        produced(QStringLiteral("Output10OhmV"), text("amplitude10"), amplitude.output10OhmV, text("V")),
        produced(QStringLiteral("Output10OhmdB"), text("amplitude10"), amplitude.output10OhmdB, text("dB")),
        produced(QStringLiteral("Output50OhmV"), text("amplitude50"), amplitude.output50OhmV, text("V")),
        produced(QStringLiteral("Output50OhmdB"), text("amplitude50"), amplitude.output50OhmdB, text("dB")),
        produced(QStringLiteral("Offset"), text("offset"),
                 record.Output10OhmOffsetType == 1 ? notAvailableText() : offsetText(actual.offset), text("V")),
    };
}

QJsonObject state(const Instrument &instrument, const WebProgram &program, const QStringList &setNames)
{
    const GENERATOR_PARS &record = instrument.record();
    return {
        {QStringLiteral("identity"), identity(instrument, program)},
        {QStringLiteral("running"), instrument.isRunning()},
        {QStringLiteral("fields"), fields(record)},
        {QStringLiteral("produced"), producedValues(record)},
        {QStringLiteral("sets"), QJsonArray::fromStringList(setNames)},
    };
}

QJsonObject sweep(const SweepPlan &plan)
{
    const SweepSummary &summary = plan.summary();
    const QJsonObject texts = WebTexts::pageTexts();
    const auto text = [&texts](const char *key) { return texts.value(QLatin1String(key)).toString(); };
    const auto item = [](const QString &label, const QString &value, const QString &unit) {
        return QJsonObject{{QStringLiteral("label"), label}, {QStringLiteral("text"), value}, {QStringLiteral("unit"), unit}};
    };
    const QJsonArray summaryItems{
        item(text("steps"), countText(int(plan.steps().size())), QString()),
        item(text("scanTime"), optionalText(summary.scanTime, shortestNumberText), text("ms")),
        item(text("cycleTime"), optionalText(summary.cycleTime, shortestNumberText), text("ms")),
        item(text("lowest"), frequencyText(summary.lowestProduced), text("kHz")),
        item(text("highest"), frequencyText(summary.highestProduced), text("kHz")),
        item(text("largestError"), optionalText(summary.largestErrorPpm, [](double ppm) { return formatFloat(u"0.00", ppm); }),
             QString()),
        item(text("flagged"), countText(summary.flaggedSteps), QString()),
    };
    SweepTrace trace;
    // Two cycles show how a saw or triangle repeats, as the sweep window does.
    plan.trace(plan.cycle() == SweepCycle::Single ? 1 : 2, trace);
    QJsonArray runs;
    for (const auto &run : trace.producedRuns)
        runs.append(QJsonArray{qint64(run.first), qint64(run.second)});
    return {
        {QStringLiteral("summary"), summaryItems},
        {QStringLiteral("byTime"), trace.byTime},
        {QStringLiteral("x"), numbers(trace.x)},
        {QStringLiteral("produced"), numbers(trace.produced)},
        {QStringLiteral("desired"), numbers(trace.desired)},
        {QStringLiteral("runs"), runs},
        {QStringLiteral("pulseX"), numbers(trace.pulseX)},
    };
}

} // namespace WebState
