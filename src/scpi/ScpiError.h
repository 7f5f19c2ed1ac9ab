#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// The standard error numbers this interface reports, and a failure as a value:
// a handler returns one instead of throwing, and the session turns it into an
// entry of the connection's error queue.
namespace ScpiErrorCode {
inline constexpr int NoError = 0;
inline constexpr int CommandError = -100;
inline constexpr int SyntaxError = -102;
inline constexpr int DataTypeError = -104;
inline constexpr int ParameterNotAllowed = -108;
inline constexpr int MissingParameter = -109;
inline constexpr int UndefinedHeader = -113;
inline constexpr int InvalidSuffix = -131;
inline constexpr int SuffixNotAllowed = -138;
inline constexpr int ExecutionError = -200;
inline constexpr int ParameterError = -220;
inline constexpr int SettingsConflict = -221;
inline constexpr int DataOutOfRange = -222;
inline constexpr int TooMuchData = -223;
inline constexpr int IllegalParameterValue = -224;
inline constexpr int OutOfMemory = -225;
inline constexpr int HardwareMissing = -241;
inline constexpr int QueueOverflow = -350;
inline constexpr int QueryInterrupted = -410;
} // namespace ScpiErrorCode

struct ScpiError
{
    int code = ScpiErrorCode::NoError;
    QString detail; // what went wrong in this case, added to the standard text

    // The standard text of a number ("Undefined header").
    static QString standardText(int code);
    // The SYSTem:ERRor? answer: -113,"Undefined header;FOO" (at most 255
    // characters between the quotes, inner quotes doubled).
    QByteArray response() const;
};

// What a set handler returns: nothing when it did its work.
using ScpiStatus = std::optional<ScpiError>;

// What a query handler returns: the response text or a failure.
class ScpiReply
{
public:
    ScpiReply(ScpiError error) : m_error(std::move(error)) {}
    static ScpiReply text(QByteArray text) { return ScpiReply(std::move(text)); }
    // Numbers as SCPI reads them back: up to 15 significant digits, NaN as
    // 9.91E+37.
    static ScpiReply number(double value);
    static ScpiReply boolean(bool value) { return text(value ? "1" : "0"); }
    // A quoted string, UTF-8, with inner quotes doubled.
    static ScpiReply string(const QString &value);

    bool failed() const { return m_error.has_value(); }
    const ScpiError &error() const { return *m_error; }
    const QByteArray &text() const { return m_text; }

private:
    explicit ScpiReply(QByteArray text) : m_text(std::move(text)) {}

    QByteArray m_text;
    std::optional<ScpiError> m_error;
};

namespace Scpi {
QByteArray numberText(double value);
QByteArray quoted(const QString &value);
} // namespace Scpi
