#pragma once

#include <QString>
#include <QStringView>

#include <stdexcept>

// The number texts of the whole program. They never depend on the user's
// locale: the decimal separator is always ".".

// A text that is not a number of the kind asked for.
class ConversionError : public std::runtime_error
{
public:
    explicit ConversionError(const QString &text);
    QString text() const { return m_text; }

private:
    QString m_text;
};

// Picture formatting: "0" digit always written, "#" digit if significant,
// "." decimal point, "," thousands grouping, "E+00"/"E-00" exponent, and up to
// three ";"-separated sections (positive; negative; zero). The last decimal is
// rounded half away from zero on the value's 15-significant-digit decimal form.
// A value that rounds to zero is written without a minus sign.
QString formatFloat(QStringView pattern, double value);

// The shortest general form: at most 15 significant digits, fixed notation from
// 0.00001 in magnitude up to 15 integer digits, otherwise scientific with "E"
// (10 -> "10", 0.25 -> "0.25", 0.000001 -> "1E-6").
QString formatGeneral(double value);

// A decimal number with "." only: leading and trailing blanks, optional sign,
// optional exponent. Anything else, "10,5" included, throws ConversionError.
double parseFloat(QStringView text);

// A 32-bit whole number: optional sign and decimal digits; with allowHex also
// "0x"/"0X" followed by hexadecimal digits. Anything else, or a value outside
// 32 bits, throws ConversionError.
int parseInt(QStringView text, bool allowHex = false);
