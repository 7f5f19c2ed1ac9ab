#pragma once

#include "scpi/ScpiError.h"
#include "scpi/ScpiParameter.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

class ScpiSession;

using ScpiSetHandler = std::function<ScpiStatus(const ScpiArgument &, ScpiSession &)>;
using ScpiQueryHandler = std::function<ScpiReply(ScpiSession &)>;

// One command of the tree. The header is written once, each mnemonic in its
// long form with the short form in capitals and optional nodes in brackets:
// "[SOURce:]FREQuency:STARt", "SYSTem:ERRor[:NEXT]", "*IDN".
struct ScpiCommand
{
    QString header;
    ScpiParameter parameter; // what the set form takes; nothing for none
    ScpiSetHandler set;      // empty: query only
    ScpiQueryHandler query;  // empty: no query form
};

// The command tree: declared as data, looked up by any spelling that SCPI
// allows (short or long form of each mnemonic, any case, optional nodes
// present or left out). Knows nothing of the device.
class ScpiCommandTree
{
public:
    void add(ScpiCommand command);
    // The IEEE 488.2 status commands and SYSTem:ERRor / SYSTem:VERSion,
    // which work on the session's status model.
    void addStatusCommands();

    // The command a header names: upper-case, without leading colon or "?",
    // e.g. "FREQ:STAR". Null when there is none.
    const ScpiCommand *find(const QByteArray &header) const;

    // Spellings declared twice: a fault in the tree's declaration.
    const QStringList &conflicts() const { return m_conflicts; }
    const QList<ScpiCommand> &commands() const { return m_commands; }

private:
    QList<ScpiCommand> m_commands;
    QHash<QByteArray, qsizetype> m_spellings;
    QStringList m_conflicts;
};
