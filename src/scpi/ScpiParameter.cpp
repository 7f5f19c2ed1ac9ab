#include "scpi/ScpiParameter.h"

#include <array>
#include <cmath>
#include <utility>

namespace {

struct Multiplier
{
    const char *name;
    double factor;
};

// SCPI's suffix multipliers; "M" is milli, mega is "MA".
constexpr std::array<Multiplier, 12> Multipliers = {{
    {"EX", 1e18}, {"PE", 1e15}, {"T", 1e12}, {"G", 1e9}, {"MA", 1e6}, {"K", 1e3},
    {"M", 1e-3}, {"U", 1e-6}, {"N", 1e-9}, {"P", 1e-12}, {"F", 1e-15}, {"A", 1e-18},
}};

QByteArrayView unitName(ScpiUnit unit)
{
    switch (unit) {
    case ScpiUnit::None: break;
    case ScpiUnit::Hertz: return "HZ";
    case ScpiUnit::Second: return "S";
    case ScpiUnit::Volt: return "V";
    case ScpiUnit::Decibel: return "DB";
    }
    return {};
}

ScpiError error(int code, const QString &detail)
{
    return ScpiError{code, detail};
}

QString shown(const ScpiToken &token)
{
    switch (token.kind) {
    case ScpiToken::Kind::Number: return QString::fromLatin1(Scpi::numberText(token.number) + token.suffix);
    case ScpiToken::Kind::Character: return QString::fromLatin1(token.mnemonic);
    case ScpiToken::Kind::String: return u'"' + token.text.left(40) + u'"';
    }
    return {};
}

// SCPI rounds a number given for a whole-number or boolean parameter.
double roundHalfAway(double value)
{
    return std::round(value);
}

ScpiStatus convertNumeric(const ScpiNumeric &declared, const ScpiToken &token, ScpiArgument &argument)
{
    double value = 0;
    switch (token.kind) {
    case ScpiToken::Kind::String:
        return error(ScpiErrorCode::DataTypeError, QStringLiteral("a number is expected"));
    case ScpiToken::Kind::Character:
        if (const auto keyword = Scpi::numericKeyword(declared, token.mnemonic)) {
            argument.number = *keyword;
            return std::nullopt;
        }
        return error(ScpiErrorCode::IllegalParameterValue, shown(token));
    case ScpiToken::Kind::Number:
        value = token.number;
        if (!token.suffix.isEmpty()) {
            if (declared.unit == ScpiUnit::None)
                return error(ScpiErrorCode::SuffixNotAllowed, shown(token));
            const double factor = Scpi::suffixFactor(token.suffix, declared.unit);
            if (factor == 0)
                return error(ScpiErrorCode::InvalidSuffix, shown(token));
            value *= factor;
        }
        break;
    }
    if (declared.integer)
        value = roundHalfAway(value);
    // NaN cannot come from the reader, but an overflowing product can be infinite.
    if (!(value >= declared.min && value <= declared.max))
        return error(ScpiErrorCode::DataOutOfRange, shown(token));
    argument.number = value;
    return std::nullopt;
}

ScpiStatus convertBoolean(const ScpiToken &token, ScpiArgument &argument)
{
    switch (token.kind) {
    case ScpiToken::Kind::String:
        return error(ScpiErrorCode::DataTypeError, QStringLiteral("ON or OFF is expected"));
    case ScpiToken::Kind::Character:
        if (token.mnemonic == "ON" || token.mnemonic == "OFF") {
            argument.boolean = token.mnemonic == "ON";
            return std::nullopt;
        }
        return error(ScpiErrorCode::IllegalParameterValue, shown(token));
    case ScpiToken::Kind::Number:
        if (!token.suffix.isEmpty())
            return error(ScpiErrorCode::SuffixNotAllowed, shown(token));
        argument.boolean = roundHalfAway(token.number) != 0;
        return std::nullopt;
    }
    return std::nullopt;
}

ScpiStatus convertChoice(const ScpiChoice &choice, const ScpiToken &token, ScpiArgument &argument)
{
    if (token.kind != ScpiToken::Kind::Character)
        return error(ScpiErrorCode::DataTypeError,
                     QStringLiteral("one of %1 is expected").arg(choice.mnemonics.join(u'|')));
    for (qsizetype i = 0; i < choice.mnemonics.size(); ++i) {
        if (Scpi::matches(choice.mnemonics[i], token.mnemonic)) {
            argument.choice = int(i);
            return std::nullopt;
        }
    }
    return error(ScpiErrorCode::IllegalParameterValue, shown(token));
}

} // namespace

QByteArray Scpi::shortForm(const QString &mnemonic)
{
    QByteArray result;
    for (const QChar c : mnemonic) {
        if (c.isLower())
            break;
        result += char(c.unicode());
    }
    return result;
}

bool Scpi::matches(const QString &mnemonic, QByteArrayView typed)
{
    if (typed == shortForm(mnemonic))
        return true;
    return typed == mnemonic.toLatin1().toUpper();
}

double Scpi::suffixFactor(QByteArrayView suffix, ScpiUnit unit)
{
    const QByteArrayView name = unitName(unit);
    if (name.isEmpty() || !suffix.endsWith(name))
        return 0;
    const QByteArrayView prefix = suffix.first(suffix.size() - name.size());
    if (prefix.isEmpty())
        return 1;
    // Decibels take no multiplier.
    if (unit == ScpiUnit::Decibel)
        return 0;
    // The one exception SCPI makes to "M is milli".
    if (unit == ScpiUnit::Hertz && prefix == "M")
        return 1e6;
    for (const Multiplier &m : Multipliers) {
        if (prefix == m.name)
            return m.factor;
    }
    return 0;
}

std::optional<double> Scpi::numericKeyword(const ScpiNumeric &declared, QByteArrayView mnemonic)
{
    if (mnemonic == "MIN" || mnemonic == "MINIMUM")
        return declared.min;
    if (mnemonic == "MAX" || mnemonic == "MAXIMUM")
        return declared.max;
    if (mnemonic == "DEF" || mnemonic == "DEFAULT")
        return declared.def;
    return std::nullopt;
}

ScpiStatus Scpi::convert(const ScpiParameter &parameter, const ScpiToken &token, ScpiArgument &argument)
{
    if (const auto *numeric = std::get_if<ScpiNumeric>(&parameter))
        return convertNumeric(*numeric, token, argument);
    if (std::holds_alternative<ScpiBoolean>(parameter))
        return convertBoolean(token, argument);
    if (const auto *choice = std::get_if<ScpiChoice>(&parameter))
        return convertChoice(*choice, token, argument);
    if (std::holds_alternative<ScpiText>(parameter)) {
        if (token.kind != ScpiToken::Kind::String)
            return error(ScpiErrorCode::DataTypeError, QStringLiteral("a quoted string is expected"));
        argument.text = token.text;
        return std::nullopt;
    }
    return error(ScpiErrorCode::ParameterNotAllowed, shown(token));
}

QByteArray Scpi::choiceText(const ScpiChoice &choice, int index)
{
    if (index < 0 || index >= choice.mnemonics.size())
        return QByteArrayLiteral("9.91E+37");
    return shortForm(choice.mnemonics[index]);
}
