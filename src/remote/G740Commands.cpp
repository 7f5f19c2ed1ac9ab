#include "remote/G740Commands.h"

#include "generator/GeneratorCalculations.h"
#include "remote/RemoteEnglish.h"
#include "runtime/ProgramIdentity.h"

#include <cmath>
#include <optional>

using RecordRules::Field;
namespace Calc = GeneratorCalculations;

namespace {

// The record keeps kHz and ms; SCPI speaks Hz and s.
constexpr double HzPerKHz = 1000.0;
constexpr double SecondsPerMs = 0.001;

ScpiStatus statusOf(const InstrumentOutcome &outcome)
{
    if (!outcome)
        return std::nullopt;
    return scpiErrorOf(*outcome);
}

double orNaN(std::optional<double> value)
{
    return value.value_or(std::nan(""));
}

// The index of value in a table, compared to a part in 10^9.
std::optional<int> indexIn(const auto &table, double value)
{
    for (std::size_t i = 0; i < table.size(); ++i) {
        if (std::fabs(table[i] - value) <= 1e-9 * std::max(1.0, std::fabs(table[i])))
            return int(i);
    }
    return std::nullopt;
}

class Builder
{
public:
    Builder(std::function<void(ScpiCommand)> add, Instrument &instrument, QObject *origin)
        : m_add(std::move(add)), m_instrument(instrument), m_origin(origin)
    {
    }

    // A field in its record unit times scale; the query answers the field
    // as set, or actual() where the hardware makes something else of it.
    void number(const QString &header, Field field, ScpiUnit unit, double scale,
                std::function<double()> actual = {})
    {
        const RecordRules::FieldInfo &info = RecordRules::fieldInfo(field);
        const double def = RecordRules::fieldValue(Instrument::defaultRecord(), field);
        const ScpiNumeric declared{unit, info.min * scale, info.max * scale, def * scale, info.whole};
        Instrument &instrument = m_instrument;
        const auto desired = [&instrument, field, scale](ScpiSession &) {
            return ScpiReply::number(instrument.field(field) * scale);
        };
        m_add({header, declared, setter(field, [scale](const ScpiArgument &argument) { return argument.number / scale; }),
               actual ? ScpiQueryHandler([actual](ScpiSession &) { return ScpiReply::number(actual()); })
                      : ScpiQueryHandler(desired)});
        if (actual)
            m_add({header + QStringLiteral(":DESired"), {}, {}, desired});
    }

    // A field that holds the index of one of its values.
    void choice(const QString &header, Field field, const QStringList &mnemonics)
    {
        const ScpiChoice declared{mnemonics};
        Instrument &instrument = m_instrument;
        m_add({header, declared, setter(field, [](const ScpiArgument &argument) { return double(argument.choice); }),
               [&instrument, field, declared](ScpiSession &) {
                   return ScpiReply::text(Scpi::choiceText(declared, int(instrument.field(field))));
               }});
    }

    void boolean(const QString &header, Field field)
    {
        Instrument &instrument = m_instrument;
        m_add({header, ScpiBoolean{}, setter(field, [](const ScpiArgument &argument) { return argument.boolean ? 1.0 : 0.0; }),
               [&instrument, field](ScpiSession &) { return ScpiReply::boolean(instrument.field(field) != 0); }});
    }

    // A value from a table, stored as its index; any other value is out of range.
    void tableValue(const QString &header, Field field, ScpiUnit unit, const auto &table, double def)
    {
        double min = table[0];
        double max = table[0];
        for (const double value : table) {
            min = std::min(min, value);
            max = std::max(max, value);
        }
        Instrument &instrument = m_instrument;
        QObject *origin = m_origin;
        m_add({header, ScpiNumeric{unit, min, max, def},
               [&instrument, origin, field, &table](const ScpiArgument &argument, ScpiSession &) -> ScpiStatus {
                   const std::optional<int> index = indexIn(table, argument.number);
                   if (!index)
                       return ScpiError{ScpiErrorCode::DataOutOfRange,
                                        QString::fromLatin1(Scpi::numberText(argument.number))
                                            + QStringLiteral(" is not one of the table's values")};
                   return statusOf(instrument.setField(field, *index, origin));
               },
               [&instrument, field, &table](ScpiSession &) {
                   const int index = int(instrument.field(field));
                   return ScpiReply::number(index >= 0 && std::size_t(index) < table.size() ? table[index]
                                                                                         : std::nan(""));
               }});
    }

    void query(const QString &header, std::function<double()> value)
    {
        m_add({header, {}, {}, [value](ScpiSession &) { return ScpiReply::number(value()); }});
    }

private:
    ScpiSetHandler setter(Field field, std::function<double(const ScpiArgument &)> toRecord)
    {
        Instrument &instrument = m_instrument;
        QObject *origin = m_origin;
        return [&instrument, origin, field, toRecord](const ScpiArgument &argument, ScpiSession &) {
            return statusOf(instrument.setField(field, toRecord(argument), origin));
        };
    }

    std::function<void(ScpiCommand)> m_add;
    Instrument &m_instrument;
    QObject *m_origin;
};

} // namespace

ScpiError scpiErrorOf(const InstrumentFailure &failure)
{
    using Kind = InstrumentFailure::Kind;
    switch (failure.kind) {
    case Kind::Refused:
    case Kind::Conflict:
        return {ScpiErrorCode::SettingsConflict, failure.text};
    case Kind::OutOfRange:
        return {ScpiErrorCode::DataOutOfRange, failure.text};
    case Kind::NoModule:
    case Kind::ModuleBusy:
        return {ScpiErrorCode::HardwareMissing, failure.text};
    case Kind::LibraryFault:
    case Kind::ModuleFault:
    case Kind::DeviceFunction:
    case Kind::SettingsFile: // a set that is not there, a name the file cannot hold, a failed write
        break;
    }
    return {ScpiErrorCode::ExecutionError, failure.text};
}

ScpiCommandTree g740CommandTree(Instrument &instrument, const G740Program &program, QObject *origin)
{
    ScpiCommandTree tree;
    tree.addStatusCommands();
    // Every command that changes something waits for the program to be free;
    // every text a command makes is English.
    const auto addCommand = [&tree, program](ScpiCommand command) {
        if (command.set && program.busy) {
            command.set = [busy = program.busy, set = std::move(command.set)](const ScpiArgument &argument,
                                                                              ScpiSession &session) -> ScpiStatus {
                if (const std::optional<QString> reason = busy())
                    return ScpiError{ScpiErrorCode::SettingsConflict, *reason};
                return set(argument, session);
            };
        }
        if (command.set) {
            command.set = [set = std::move(command.set)](const ScpiArgument &argument, ScpiSession &session) {
                const RemoteEnglish::Scope english;
                return set(argument, session);
            };
        }
        if (command.query) {
            command.query = [query = std::move(command.query)](ScpiSession &session) {
                const RemoteEnglish::Scope english;
                return query(session);
            };
        }
        tree.add(std::move(command));
    };
    Builder add(addCommand, instrument, origin);
    const auto actual = [&instrument] { return instrument.actualValues(); };
    const QStringList internalExternal{QStringLiteral("INTernal"), QStringLiteral("EXTernal")};

    // The sweep: start, increment and their actual values, the last frequency.
    add.number(QStringLiteral("[SOURce:]FREQuency:STARt"), Field::StartFrequency, ScpiUnit::Hertz, HzPerKHz,
               [actual] { return actual().startFrequency * HzPerKHz; });
    add.number(QStringLiteral("[SOURce:]FREQuency:STEP"), Field::FrequencyIncrement, ScpiUnit::Hertz, HzPerKHz,
               [actual] { return actual().frequencyIncrement * HzPerKHz; });
    add.query(QStringLiteral("[SOURce:]FREQuency:STOP"), [actual] { return orNaN(actual().finalFrequency) * HzPerKHz; });
    add.number(QStringLiteral("[SOURce:]SWEep:STEPs"), Field::NumberOfIncrements, ScpiUnit::None, 1);

    // The increment interval: a number of base intervals, each a multiple of
    // the output period or of the clock period.
    add.choice(QStringLiteral("[SOURce:]SWEep:DWELl:BASE"), Field::BaseIntervalType,
               {QStringLiteral("OUTPut"), QStringLiteral("CLOCk")});
    add.tableValue(QStringLiteral("[SOURce:]SWEep:DWELl:MULTiplier"), Field::BaseIntervalMultiplierIndex,
                   ScpiUnit::None, Calc::BaseIntervalMultipliers,
                   Calc::BaseIntervalMultipliers[Instrument::defaultRecord().BaseIntervalMultiplierIndex]);
    add.number(QStringLiteral("[SOURce:]SWEep:DWELl:COUNt"), Field::BaseIntervalsNumber, ScpiUnit::None, 1);
    add.query(QStringLiteral("[SOURce:]SWEep:DWELl"), [actual] { return orNaN(actual().incrementDuration) * SecondsPerMs; });

    add.choice(QStringLiteral("[SOURce:]SWEep:CYCLic"), Field::CyclicAutoScanType,
               {QStringLiteral("NONE"), QStringLiteral("SAW"), QStringLiteral("TRIangle")});
    add.choice(QStringLiteral("[SOURce:]SWEep:ADVance"), Field::IncrementType,
               {QStringLiteral("AUTOmatic"), QStringLiteral("CTRL")});

    // The master clock.
    add.choice(QStringLiteral("[SOURce:]ROSCillator:SOURce"), Field::MasterClockSource, internalExternal);
    add.number(QStringLiteral("[SOURce:]ROSCillator:EXTernal:FREQuency"), Field::MasterClock, ScpiUnit::Hertz, HzPerKHz);
    add.query(QStringLiteral("[SOURce:]ROSCillator:FREQuency"), [actual] { return actual().masterClock * HzPerKHz; });

    add.choice(QStringLiteral("LINE:CTRL"), Field::CtrlLineType, internalExternal);
    add.choice(QStringLiteral("LINE:INTerrupt"), Field::InterrupLineType, internalExternal);

    // The outputs.
    add.boolean(QStringLiteral("OUTPut:SQUare[:STATe]"), Field::EnaSquareWaveOutput);
    add.boolean(QStringLiteral("OUTPut:SYNC[:STATe]"), Field::EnaSyncout);
    add.choice(QStringLiteral("OUTPut:SYNC:MODE"), Field::SyncoutType, {QStringLiteral("STEP"), QStringLiteral("END")});
    add.choice(QStringLiteral("[SOURce:]FUNCtion[:SHAPe]"), Field::AnalogOutputsType,
               {QStringLiteral("TRIangle"), QStringLiteral("SINusoid")});
    add.tableValue(QStringLiteral("[SOURce:]VOLTage:GAIN"), Field::AnalogOutputsGainIndex, ScpiUnit::Decibel,
                   Calc::GainTable, Calc::GainTable[Instrument::defaultRecord().AnalogOutputsGainIndex]);
    add.query(QStringLiteral("[SOURce:]VOLTage:AMPLitude:OHM10"), [actual] { return orNaN(actual().output10OhmV); });
    add.query(QStringLiteral("[SOURce:]VOLTage:AMPLitude:OHM10:DB"), [actual] { return orNaN(actual().output10OhmdB); });
    add.query(QStringLiteral("[SOURce:]VOLTage:AMPLitude:OHM50"), [actual] { return orNaN(actual().output50OhmV); });
    add.query(QStringLiteral("[SOURce:]VOLTage:AMPLitude:OHM50:DB"), [actual] { return orNaN(actual().output50OhmdB); });
    add.number(QStringLiteral("[SOURce:]VOLTage:OFFSet"), Field::Output10OhmOffset, ScpiUnit::Volt, 1,
               [actual] { return actual().offset; });
    add.choice(QStringLiteral("[SOURce:]VOLTage:OFFSet:SOURce"), Field::Output10OhmOffsetType, internalExternal);

    // Start and stop.
    addCommand({QStringLiteral("OUTPut[:STATe]"), ScpiBoolean{},
              [&instrument](const ScpiArgument &argument, ScpiSession &) {
                  return statusOf(argument.boolean ? instrument.start() : instrument.stop());
              },
              [&instrument](ScpiSession &) { return ScpiReply::boolean(instrument.isRunning()); }});

    // The common commands of the device.
    addCommand({QStringLiteral("*IDN"), {}, {}, [&instrument](ScpiSession &) {
                  const QByteArray serial = instrument.slot() == 0xFFFF ? QByteArray("NONE")
                                                                         : QByteArray::number(instrument.slot());
                  return ScpiReply::text(ProgramIdentity::maker().toLatin1() + ',' + ProgramIdentity::model().toLatin1() + ','
                                         + serial + ',' + ProgramIdentity::version().toLatin1());
              }});
    addCommand({QStringLiteral("*RST"), {},
              [&instrument, origin](const ScpiArgument &, ScpiSession &) -> ScpiStatus {
                  if (const ScpiStatus stopped = statusOf(instrument.stop()))
                      return stopped;
                  return statusOf(instrument.setRecord(Instrument::defaultRecord(), origin));
              },
              {}});
    // The module's own checks passed at its detection: 0; otherwise 1.
    addCommand({QStringLiteral("*TST"), {}, {},
              [&instrument](ScpiSession &) { return ScpiReply::number(instrument.isModuleReady() ? 0 : 1); }});

    // Parameter sets and the settings file, where the program keeps them.
    if (program.setNames && program.storeSet && program.loadSet) {
        // *SAV n and *RCL n keep the set named by the number.
        const ScpiNumeric registers{ScpiUnit::None, 0, 99, 0, true};
        const auto registerName = [](double number) { return QString::number(qint64(number)); };
        addCommand({QStringLiteral("*SAV"), registers,
                  [program, registerName](const ScpiArgument &argument, ScpiSession &) {
                      return statusOf(program.storeSet(registerName(argument.number)));
                  },
                  {}});
        addCommand({QStringLiteral("*RCL"), registers,
                  [program, registerName](const ScpiArgument &argument, ScpiSession &) {
                      return statusOf(program.loadSet(registerName(argument.number)));
                  },
                  {}});
        addCommand({QStringLiteral("MEMory:STORe"), ScpiText{},
                  [program](const ScpiArgument &argument, ScpiSession &) {
                      return statusOf(program.storeSet(argument.text));
                  },
                  {}});
        addCommand({QStringLiteral("MEMory:LOAD"), ScpiText{},
                  [program](const ScpiArgument &argument, ScpiSession &) {
                      return statusOf(program.loadSet(argument.text));
                  },
                  {}});
        // The number of sets, then each name.
        addCommand({QStringLiteral("MEMory:CATalog"), {}, {}, [program](ScpiSession &) {
                      const QStringList names = program.setNames();
                      QByteArray answer = QByteArray::number(names.size());
                      for (const QString &name : names)
                          answer += ',' + Scpi::quoted(name);
                      return ScpiReply::text(answer);
                  }});
    }
    if (program.saveSettings) {
        addCommand({QStringLiteral("SYSTem:SETTings:SAVE"), {},
                  [program](const ScpiArgument &, ScpiSession &) -> ScpiStatus {
                      if (const std::optional<QString> failed = program.saveSettings())
                          return ScpiError{ScpiErrorCode::ExecutionError, *failed};
                      return std::nullopt;
                  },
                  {}});
    }
    return tree;
}
