#pragma once

#include "scpi/ScpiError.h"
#include "scpi/ScpiParameter.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

// One program message unit: a header and its parameters.
struct ScpiProgramUnit
{
    QByteArray header; // upper-case, as typed: with a leading ':' or '*', without the '?'
    bool query = false;
    QList<ScpiToken> parameters;
};

// Reads the program message units of one line (without its LF) in turn, as
// IEEE 488.2 writes them: units separated by ';', a header, white space, then
// parameters separated by ','. White space is every byte up to the blank
// except LF, so a CR before the LF and stray control bytes are blanks.
class ScpiMessageReader
{
public:
    explicit ScpiMessageReader(QByteArrayView line) : m_line(line) {}

    enum class Result
    {
        Unit,  // unit holds the next unit
        End,   // the message is read
        Error, // error says what is wrong; the rest of the message is not read
    };
    Result next(ScpiProgramUnit &unit, ScpiError &error);

private:
    bool atEnd() const { return m_pos >= m_line.size(); }
    char peek() const { return atEnd() ? '\0' : m_line[m_pos]; }
    void skipBlanks();
    bool readHeader(ScpiProgramUnit &unit, ScpiError &error);
    bool readParameter(ScpiToken &token, ScpiError &error);
    bool readNumber(ScpiToken &token, ScpiError &error);
    bool readNonDecimal(ScpiToken &token, ScpiError &error);
    bool readString(ScpiToken &token, ScpiError &error);
    QByteArray readMnemonic();
    bool fail(ScpiError &error, int code, const QString &detail);

    QByteArrayView m_line;
    qsizetype m_pos = 0;
    bool m_ended = false;
};

namespace Scpi {
// How many units a message has at most: its ';' outside strings, plus one.
qsizetype unitCount(QByteArrayView message);

// IEEE 488.2 white space: every byte from 0 to 32 but LF.
inline bool isBlank(char c)
{
    const auto u = static_cast<unsigned char>(c);
    return u <= 32 && u != '\n';
}
} // namespace Scpi
