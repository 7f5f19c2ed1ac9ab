#pragma once

#include "scpi/ScpiError.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>
#include <variant>

// The base units of numeric parameters; a suffix scales to them.
enum class ScpiUnit
{
    None,
    Hertz,
    Second,
    Volt,
    Decibel,
};

// A number, in the base unit, bounded to min..max; MIN, MAX and DEF stand for
// the bounds and the default, and a query may ask for them (FREQ? MAX).
struct ScpiNumeric
{
    ScpiUnit unit = ScpiUnit::None;
    double min = 0;
    double max = 0;
    double def = 0;
    bool integer = false; // rounded to the nearest whole number before the bounds are checked
};

// ON|OFF|1|0 (any number: non-zero after rounding is ON).
struct ScpiBoolean
{
};

// One of a list of mnemonics, each with its short form in capitals
// ("NONE", "SAW", "TRIangle"); the argument is its index.
struct ScpiChoice
{
    QStringList mnemonics;
};

// A quoted string.
struct ScpiText
{
};

using ScpiParameter = std::variant<std::monostate, ScpiNumeric, ScpiBoolean, ScpiChoice, ScpiText>;

// One parameter as the message reader found it.
struct ScpiToken
{
    enum class Kind
    {
        Number,    // decimal (with an optional suffix) or #H/#Q/#B
        Character, // a mnemonic such as MAX or ON; upper-case
        String,    // quoted text
    };
    Kind kind = Kind::Number;
    double number = 0;
    QByteArray suffix;   // upper-case; empty when none
    QByteArray mnemonic; // character data, upper-case
    QString text;        // string data, decoded from UTF-8
};

// A set command's parameter, converted as its declaration says.
struct ScpiArgument
{
    double number = 0; // base unit; whole for an integer parameter
    bool boolean = false;
    int choice = -1;
    QString text;
};

namespace Scpi {

// "TRIangle" -> "TRI"; "*IDN" -> "*IDN".
QByteArray shortForm(const QString &mnemonic);
// Whether a typed mnemonic (upper-case) is the short or the long form.
bool matches(const QString &mnemonic, QByteArrayView typed);

// The factor that brings a suffix to the base unit: "KHZ" gives 1000 for
// Hertz, "MS" 0.001 for Second; 0 for a suffix the unit does not take.
// SCPI's multipliers: EX PE T G MA K M U N P F A, with "MHZ" meaning megahertz.
double suffixFactor(QByteArrayView suffix, ScpiUnit unit);

// Whether typed character data is MIN/MINimum, MAX/MAXimum, DEF/DEFault;
// gives the value it stands for.
std::optional<double> numericKeyword(const ScpiNumeric &declared, QByteArrayView mnemonic);

// Converts one token as the parameter's declaration says.
ScpiStatus convert(const ScpiParameter &parameter, const ScpiToken &token, ScpiArgument &argument);

// The response form of a choice: its short form in capitals.
QByteArray choiceText(const ScpiChoice &choice, int index);

} // namespace Scpi
