#include "scpi/ScpiError.h"

#include <charconv>
#include <cmath>

QString ScpiError::standardText(int code)
{
    using namespace ScpiErrorCode;
    switch (code) {
    case NoError: return QStringLiteral("No error");
    case CommandError: return QStringLiteral("Command error");
    case SyntaxError: return QStringLiteral("Syntax error");
    case DataTypeError: return QStringLiteral("Data type error");
    case ParameterNotAllowed: return QStringLiteral("Parameter not allowed");
    case MissingParameter: return QStringLiteral("Missing parameter");
    case UndefinedHeader: return QStringLiteral("Undefined header");
    case InvalidSuffix: return QStringLiteral("Invalid suffix");
    case SuffixNotAllowed: return QStringLiteral("Suffix not allowed");
    case ExecutionError: return QStringLiteral("Execution error");
    case ParameterError: return QStringLiteral("Parameter error");
    case SettingsConflict: return QStringLiteral("Settings conflict");
    case DataOutOfRange: return QStringLiteral("Data out of range");
    case HardwareMissing: return QStringLiteral("Hardware missing");
    case TooMuchData: return QStringLiteral("Too much data");
    case OutOfMemory: return QStringLiteral("Out of memory");
    case IllegalParameterValue: return QStringLiteral("Illegal parameter value");
    case QueueOverflow: return QStringLiteral("Queue overflow");
    case QueryInterrupted: return QStringLiteral("Query INTERRUPTED");
    }
    return QStringLiteral("Error");
}

QByteArray ScpiError::response() const
{
    // SCPI keeps the error string within 255 characters.
    constexpr qsizetype MaxText = 255;
    QString message = standardText(code);
    if (!detail.isEmpty())
        message += u';' + detail;
    if (message.size() > MaxText)
        message.truncate(MaxText);
    return QByteArray::number(code) + ',' + Scpi::quoted(message);
}

ScpiReply ScpiReply::number(double value)
{
    return text(Scpi::numberText(value));
}

ScpiReply ScpiReply::string(const QString &value)
{
    return text(Scpi::quoted(value));
}

QByteArray Scpi::numberText(double value)
{
    // SCPI's stand-ins for values that are no number.
    if (std::isnan(value))
        return QByteArrayLiteral("9.91E+37");
    if (std::isinf(value))
        return value > 0 ? QByteArrayLiteral("9.9E+37") : QByteArrayLiteral("-9.9E+37");
    if (value == 0)
        value = 0; // no "-0"
    // 15 significant digits: a value typed with up to 15 reads back as typed,
    // without the noise of a unit conversion. Plain decimals where they stay
    // short.
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
    return QByteArray(buffer, result.ptr - buffer).toUpper();
}

QByteArray Scpi::quoted(const QString &value)
{
    QByteArray text = value.toUtf8();
    text.replace('"', "\"\"");
    return '"' + text + '"';
}
