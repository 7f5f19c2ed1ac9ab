#include "scpi/ScpiCommandTree.h"

#include "scpi/ScpiSession.h"

namespace {

struct HeaderPart
{
    QString mnemonic;
    bool optional;
};

// "[SOURce:]FREQuency:STARt[:DESired]" -> SOURce (optional), FREQuency, STARt, DESired (optional).
QList<HeaderPart> partsOf(const QString &header)
{
    QList<HeaderPart> parts;
    qsizetype i = 0;
    while (i < header.size()) {
        if (header[i] == u':') {
            ++i;
        } else if (header[i] == u'[') {
            const qsizetype close = header.indexOf(u']', i);
            Q_ASSERT(close > i);
            QString inner = header.mid(i + 1, close - i - 1);
            inner.remove(u':');
            parts.append({inner, true});
            i = close + 1;
        } else {
            qsizetype end = i;
            while (end < header.size() && header[end] != u':' && header[end] != u'[')
                ++end;
            parts.append({header.mid(i, end - i), false});
            i = end;
        }
    }
    return parts;
}

// Every spelling SCPI allows for a header, upper-case.
QList<QByteArray> spellingsOf(const QString &header)
{
    QList<QByteArray> spellings{QByteArray()};
    for (const HeaderPart &part : partsOf(header)) {
        QList<QByteArray> forms{Scpi::shortForm(part.mnemonic)};
        const QByteArray longForm = part.mnemonic.toLatin1().toUpper();
        if (longForm != forms.first())
            forms.append(longForm);
        QList<QByteArray> next;
        for (const QByteArray &spelling : std::as_const(spellings)) {
            if (part.optional)
                next.append(spelling);
            for (const QByteArray &form : forms)
                next.append(spelling.isEmpty() ? form : spelling + ':' + form);
        }
        spellings = std::move(next);
    }
    spellings.removeAll(QByteArray());
    return spellings;
}

std::uint8_t registerValue(double value)
{
    return std::uint8_t(value);
}

} // namespace

void ScpiCommandTree::add(ScpiCommand command)
{
    const qsizetype index = m_commands.size();
    for (const QByteArray &spelling : spellingsOf(command.header)) {
        const auto found = m_spellings.constFind(spelling);
        if (found != m_spellings.cend()) {
            m_conflicts.append(QString::fromLatin1(spelling));
            continue;
        }
        m_spellings.insert(spelling, index);
    }
    m_commands.append(std::move(command));
}

const ScpiCommand *ScpiCommandTree::find(const QByteArray &header) const
{
    const auto found = m_spellings.constFind(header);
    return found == m_spellings.cend() ? nullptr : &m_commands[*found];
}

void ScpiCommandTree::addStatusCommands()
{
    const ScpiNumeric mask{ScpiUnit::None, 0, 255, 0, true};

    add({QStringLiteral("*CLS"), {}, [](const ScpiArgument &, ScpiSession &session) -> ScpiStatus {
             session.clearStatus();
             return std::nullopt;
         }, {}});
    add({QStringLiteral("*ESE"), mask,
         [](const ScpiArgument &argument, ScpiSession &session) -> ScpiStatus {
             session.setEventStatusEnable(registerValue(argument.number));
             return std::nullopt;
         },
         [](ScpiSession &session) { return ScpiReply::number(session.eventStatusEnable()); }});
    add({QStringLiteral("*ESR"), {}, {}, [](ScpiSession &session) { return ScpiReply::number(session.takeEventStatus()); }});
    add({QStringLiteral("*SRE"), mask,
         [](const ScpiArgument &argument, ScpiSession &session) -> ScpiStatus {
             session.setServiceRequestEnable(registerValue(argument.number));
             return std::nullopt;
         },
         [](ScpiSession &session) { return ScpiReply::number(session.serviceRequestEnable()); }});
    add({QStringLiteral("*STB"), {}, {}, [](ScpiSession &session) { return ScpiReply::number(session.statusByte()); }});
    // Every command has finished by the time the next one is read.
    add({QStringLiteral("*OPC"), {},
         [](const ScpiArgument &, ScpiSession &session) -> ScpiStatus {
             session.setEventStatus(ScpiSession::OperationComplete);
             return std::nullopt;
         },
         [](ScpiSession &) { return ScpiReply::text("1"); }});
    add({QStringLiteral("*WAI"), {}, [](const ScpiArgument &, ScpiSession &) -> ScpiStatus { return std::nullopt; }, {}});

    add({QStringLiteral("SYSTem:ERRor[:NEXT]"), {}, {},
         [](ScpiSession &session) { return ScpiReply::text(session.takeError().response()); }});
    add({QStringLiteral("SYSTem:ERRor:COUNt"), {}, {},
         [](ScpiSession &session) { return ScpiReply::number(session.errorCount()); }});
    add({QStringLiteral("SYSTem:VERSion"), {}, {}, [](ScpiSession &) { return ScpiReply::text("1999.0"); }});
}
