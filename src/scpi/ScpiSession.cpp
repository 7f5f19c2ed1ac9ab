#include "scpi/ScpiSession.h"

#include "scpi/ScpiCommandTree.h"
#include "scpi/ScpiMessage.h"

#include <utility>

namespace {

bool isCommandError(int code)
{
    return code <= -100 && code > -200;
}

std::uint8_t eventBitOf(int code)
{
    if (code <= -100 && code > -200)
        return ScpiSession::CommandErrorBit;
    if (code <= -200 && code > -300)
        return ScpiSession::ExecutionErrorBit;
    if (code <= -300 && code > -400)
        return ScpiSession::DeviceDependentError;
    if (code <= -400 && code > -500)
        return ScpiSession::QueryError;
    return code > 0 ? ScpiSession::DeviceDependentError : 0;
}

// The header as the client typed it, for the error text.
QString typed(const ScpiProgramUnit &unit)
{
    return QString::fromLatin1(unit.query ? unit.header + '?' : unit.header);
}

// The header path after ';': the previous header without its last mnemonic.
QByteArray pathOf(const QByteArray &header)
{
    const qsizetype colon = header.lastIndexOf(':');
    return colon < 0 ? QByteArray() : header.first(colon + 1);
}

} // namespace

ScpiSession::ScpiSession(const ScpiCommandTree &tree) : m_tree(tree) {}

QByteArray ScpiSession::execute(QByteArrayView line)
{
    begin(line.toByteArray());
    while (!step()) {
    }
    return takeResponse();
}

void ScpiSession::begin(QByteArray message)
{
    m_response.clear();
    const qsizetype units = Scpi::unitCount(message);
    m_message.emplace(Message{std::move(message), ScpiMessageReader({}), {}, {}, false, 0, units});
    // The reader looks into the bytes where they stay, inside m_message.
    m_message->reader = ScpiMessageReader(m_message->bytes);
}

bool ScpiSession::step()
{
    if (!m_message)
        return true;
    Message &message = *m_message;
    ScpiProgramUnit unit;
    ScpiError error;
    const ScpiMessageReader::Result result = message.ended ? ScpiMessageReader::Result::End
                                                           : message.reader.next(unit, error);
    if (result == ScpiMessageReader::Result::Unit) {
        ++message.units;
        runUnit(message, unit);
        if (!message.ended)
            return false;
    } else if (result == ScpiMessageReader::Result::Error) {
        pushError(error);
    }
    m_response = std::move(message.answers);
    if (!m_response.isEmpty())
        m_response += '\n';
    m_message.reset();
    return true;
}

QByteArray ScpiSession::takeResponse()
{
    return std::exchange(m_response, {});
}

void ScpiSession::abandon()
{
    m_message.reset();
    m_response.clear();
}

void ScpiSession::runUnit(Message &message, ScpiProgramUnit &unit)
{
    QByteArray &answers = message.answers;
    const auto report = [&](ScpiError failure) {
        message.ended = isCommandError(failure.code);
        pushError(failure);
    };

    // Common commands leave the path alone; a leading colon goes back
    // to the root.
    QByteArray key;
    if (unit.header.startsWith('*')) {
        key = unit.header;
    } else {
        key = unit.header.startsWith(':') ? unit.header.mid(1) : message.path + unit.header;
        message.path = pathOf(key);
    }
    const ScpiCommand *command = m_tree.find(key);
    if (!command) {
        // The header looked up, with the path a ';' carried over, so the
        // client sees why a header of its own was not found.
        report({ScpiErrorCode::UndefinedHeader, QString::fromLatin1(unit.query ? key + '?' : key)});
        return;
    }

    if (unit.query) {
        if (!command->query) {
            report({ScpiErrorCode::UndefinedHeader, typed(unit) + QStringLiteral(" has no query form")});
            return;
        }
        if (answers.size() >= MaxResponseLength) {
            report({ScpiErrorCode::OutOfMemory, QStringLiteral("response longer than 16 MiB")});
            message.ended = true;
            return;
        }
        if (m_beforeQuery)
            m_beforeQuery();
        ScpiReply reply = ScpiReply::text({});
        const auto *numeric = std::get_if<ScpiNumeric>(&command->parameter);
        if (unit.parameters.isEmpty()) {
            reply = command->query(*this);
        } else if (numeric && unit.parameters.size() == 1 && unit.parameters[0].kind == ScpiToken::Kind::Character
                   && Scpi::numericKeyword(*numeric, unit.parameters[0].mnemonic)) {
            // FREQ? MAX: the bound itself.
            reply = ScpiReply::number(*Scpi::numericKeyword(*numeric, unit.parameters[0].mnemonic));
        } else {
            report({ScpiErrorCode::ParameterNotAllowed, typed(unit)});
            return;
        }
        if (reply.failed()) {
            report(reply.error());
            return;
        }
        if (!answers.isEmpty())
            answers += ';';
        answers += reply.text();
        return;
    }

    if (!command->set) {
        report({ScpiErrorCode::UndefinedHeader, typed(unit) + QStringLiteral(" is a query only")});
        return;
    }
    ScpiArgument argument;
    const bool takesParameter = !std::holds_alternative<std::monostate>(command->parameter);
    if (!takesParameter && !unit.parameters.isEmpty()) {
        report({ScpiErrorCode::ParameterNotAllowed, typed(unit)});
        return;
    }
    if (takesParameter) {
        if (unit.parameters.isEmpty()) {
            report({ScpiErrorCode::MissingParameter, typed(unit)});
            return;
        }
        if (unit.parameters.size() > 1) {
            report({ScpiErrorCode::ParameterNotAllowed, typed(unit)});
            return;
        }
        if (const ScpiStatus status = Scpi::convert(command->parameter, unit.parameters[0], argument)) {
            report(*status);
            return;
        }
    }
    if (const ScpiStatus status = command->set(argument, *this))
        report(*status);
}

void ScpiSession::pushError(const ScpiError &error)
{
    m_eventStatus |= eventBitOf(error.code);
    if (m_errors.size() < MaxErrors) {
        m_errors.append(error);
        return;
    }
    // The queue is full: its last entry says that errors were lost.
    m_errors.last() = ScpiError{ScpiErrorCode::QueueOverflow, {}};
}

ScpiError ScpiSession::takeError()
{
    if (m_errors.isEmpty())
        return ScpiError{};
    return m_errors.takeFirst();
}

std::uint8_t ScpiSession::takeEventStatus()
{
    const std::uint8_t status = m_eventStatus;
    m_eventStatus = 0;
    return status;
}

std::uint8_t ScpiSession::statusByte() const
{
    std::uint8_t status = 0;
    if (!m_errors.isEmpty())
        status |= ErrorQueueNotEmpty;
    if ((m_message && !m_message->answers.isEmpty()) || !m_response.isEmpty() || (m_outputPending && m_outputPending()))
        status |= MessageAvailable;
    if (m_eventStatus & m_eventStatusEnable)
        status |= EventStatusSummary;
    if (status & m_serviceRequestEnable)
        status |= MasterSummary;
    return status;
}

void ScpiSession::clearStatus()
{
    m_errors.clear();
    m_eventStatus = 0;
}
