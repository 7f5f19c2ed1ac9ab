#include "TestTree.h"

#include "ScriptCheck.h"
#include "scpi/ScpiSession.h"

#include <QTest>

#include <memory>


// Each row is a short script: its lines run in turn on one fresh session of
// the test instrument; the answers (without the last LF) and the error
// numbers left in the queue are compared.
class TestScpiParser : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void headers_data();
    void headers() { run(); }
    void numbers_data();
    void numbers() { run(); }
    void otherParameters_data();
    void otherParameters() { run(); }
    void messages_data();
    void messages() { run(); }
    void status_data();
    void status() { run(); }

    void errorQueueOverflows();
    void errorTextIsBoundedAndQuoted();
    void spellingsDeclaredTwiceAreReported();

private:
    static void columns();
    void run();

    TestDevice m_device;
    std::unique_ptr<ScpiCommandTree> m_tree;
    std::unique_ptr<ScpiSession> m_session;
};

void TestScpiParser::init()
{
    m_device = TestDevice();
    m_tree = std::make_unique<ScpiCommandTree>(testTree(m_device));
    QVERIFY(m_tree->conflicts().isEmpty());
    m_session = std::make_unique<ScpiSession>(*m_tree);
}

void TestScpiParser::columns()
{
    addScriptColumns();
}

void TestScpiParser::run()
{
    checkScript(*m_session);
}

void TestScpiParser::headers_data()
{
    columns();
    QTest::newRow("short form") << QByteArray("FREQ:STAR 10;:FREQ:STAR?") << QByteArray("10") << Errors{};
    QTest::newRow("long form, lower case") << QByteArray("source:frequency:start 10;start?") << QByteArray("10") << Errors{};
    QTest::newRow("mixed case") << QByteArray("SoUr:FrEq:StOp 20;:freq:stop?") << QByteArray("20") << Errors{};
    QTest::newRow("optional nodes left out and given") << QByteArray("FREQ 5;:SOUR:FREQ:CW?;:FREQUENCY?") << QByteArray("5;5") << Errors{};
    QTest::newRow("optional leaf after a branch") << QByteArray("OUTP:STAT ON;:OUTPUT?") << QByteArray("1") << Errors{};
    QTest::newRow("neither short nor long form") << QByteArray("FREQU:STAR 1") << QByteArray() << Errors{-113};
    QTest::newRow("shorter than the short form") << QByteArray("FRE 1") << QByteArray() << Errors{-113};
    QTest::newRow("common command any case") << QByteArray("*idn?") << QByteArray("Test,Box,0,1") << Errors{};
    QTest::newRow("query only, sent as a command") << QByteArray("*IDN") << QByteArray() << Errors{-113};
    QTest::newRow("command only, sent as a query") << QByteArray("*RST?") << QByteArray() << Errors{-113};

    // After ';' a header continues from the previous header's branch.
    QTest::newRow("path: sibling after ';'") << QByteArray("FREQ:STAR 1;STOP 2;:FREQ:STOP?") << QByteArray("2") << Errors{};
    QTest::newRow("path: full header again is undefined") << QByteArray("FREQ:STAR 1;FREQ:STAR?") << QByteArray() << Errors{-113};
    QTest::newRow("path: leading colon goes to the root") << QByteArray("FREQ:STAR 4;:SWE:POIN 7;POIN?") << QByteArray("7") << Errors{};
    QTest::newRow("path: common command keeps it") << QByteArray("FREQ:STAR 3;*CLS;STAR?") << QByteArray("3") << Errors{};
    QTest::newRow("path: a root leaf leaves the root") << QByteArray("OUTP ON;FREQ?") << QByteArray("1000") << Errors{};
    QTest::newRow("path: new line starts at the root") << QByteArray("FREQ:STAR 3\nFREQ:STAR?") << QByteArray("3") << Errors{};
}

void TestScpiParser::numbers_data()
{
    columns();
    QTest::newRow("plain") << QByteArray("FREQ 1500;FREQ?") << QByteArray("1500") << Errors{};
    QTest::newRow("kHz") << QByteArray("FREQ 10 KHZ;FREQ?") << QByteArray("10000") << Errors{};
    QTest::newRow("kHz lower case, no blank") << QByteArray("FREQ 10khz;FREQ?") << QByteArray("10000") << Errors{};
    QTest::newRow("MHZ is megahertz") << QByteArray("FREQ 0.25MHZ;FREQ?") << QByteArray("250000") << Errors{};
    QTest::newRow("mHz is megahertz too") << QByteArray("FREQ 2 mHz") << QByteArray() << Errors{-222};
    QTest::newRow("MA is mega") << QByteArray("FREQ 1 MAHZ;FREQ?") << QByteArray("1000000") << Errors{};
    QTest::newRow("HZ") << QByteArray("FREQ 5 HZ;FREQ?") << QByteArray("5") << Errors{};
    QTest::newRow("exponent") << QByteArray("FREQ 1.5E3;FREQ?") << QByteArray("1500") << Errors{};
    QTest::newRow("exponent with blanks") << QByteArray("FREQ 1 E 3;FREQ?") << QByteArray("1000") << Errors{};
    QTest::newRow("sign and bare fraction") << QByteArray("FREQ +.5e+3;FREQ?") << QByteArray("500") << Errors{};
    QTest::newRow("exponent then suffix") << QByteArray("FREQ 1e1 khz;FREQ?") << QByteArray("10000") << Errors{};
    QTest::newRow("ms") << QByteArray("SWE:TIME 5 MS;TIME?") << QByteArray("0.005") << Errors{};
    QTest::newRow("us") << QByteArray("SWE:TIME 250 US;TIME?") << QByteArray("0.00025") << Errors{};
    QTest::newRow("s") << QByteArray("SWE:TIME 2 S;TIME?") << QByteArray("2") << Errors{};
    QTest::newRow("mV") << QByteArray("VOLT:OFFS -250 MV;OFFS?") << QByteArray("-0.25") << Errors{};
    QTest::newRow("V") << QByteArray("VOLT:OFFS 1.5V;OFFS?") << QByteArray("1.5") << Errors{};
    QTest::newRow("dB") << QByteArray("VOLT:GAIN -3 DB;GAIN?") << QByteArray("-3") << Errors{};
    QTest::newRow("dB takes no multiplier") << QByteArray("VOLT:GAIN 3 KDB") << QByteArray() << Errors{-131};
    QTest::newRow("unit of another kind") << QByteArray("FREQ 5 V") << QByteArray() << Errors{-131};
    QTest::newRow("multiplier alone") << QByteArray("FREQ 5 K") << QByteArray() << Errors{-131};
    QTest::newRow("suffix on a plain number") << QByteArray("SWE:POIN 5 HZ") << QByteArray() << Errors{-138};
    QTest::newRow("below the range") << QByteArray("FREQ -1;FREQ?") << QByteArray("1000") << Errors{-222};
    QTest::newRow("above the range after scaling") << QByteArray("FREQ 2 MHZ") << QByteArray() << Errors{-222};
    QTest::newRow("too large for a double") << QByteArray("FREQ 1E400") << QByteArray() << Errors{-222};
    QTest::newRow("long digits too large") << QByteArray("FREQ " + QByteArray(400, '9')) << QByteArray() << Errors{-222};
    QTest::newRow("too small for a double is 0") << QByteArray("FREQ 1E-400;FREQ?") << QByteArray("0") << Errors{};
    QTest::newRow("whole number rounded") << QByteArray("SWE:POIN 4095.4;POIN?") << QByteArray("4095") << Errors{};
    QTest::newRow("rounded half away from zero") << QByteArray("SWE:POIN 2.5;POIN?") << QByteArray("3") << Errors{};
    QTest::newRow("rounded beyond the range") << QByteArray("SWE:POIN 4095.5") << QByteArray() << Errors{-222};
    QTest::newRow("hexadecimal") << QByteArray("SWE:POIN #H1f;POIN?") << QByteArray("31") << Errors{};
    QTest::newRow("octal and binary") << QByteArray("SWE:POIN #Q17;POIN?;POIN #B101;POIN?") << QByteArray("15;5") << Errors{};
    QTest::newRow("bad hexadecimal digit") << QByteArray("SWE:POIN #HZZ") << QByteArray() << Errors{-102};
    QTest::newRow("two points") << QByteArray("FREQ 1.2.3") << QByteArray() << Errors{-102};
    QTest::newRow("sign alone") << QByteArray("FREQ - 5") << QByteArray() << Errors{-102};
    QTest::newRow("MIN MAX DEF") << QByteArray("FREQ MAX;FREQ?;FREQ min;FREQ?;FREQ DEFault;FREQ?")
                                 << QByteArray("1000000;0;1000") << Errors{};
    QTest::newRow("not a keyword") << QByteArray("FREQ MAXI") << QByteArray() << Errors{-224};
    QTest::newRow("string for a number") << QByteArray("FREQ '5'") << QByteArray() << Errors{-104};
    QTest::newRow("query of the bounds") << QByteArray("FREQ? MAX;FREQ? MINIMUM;SWE:POIN? DEF") << QByteArray("1000000;0;10") << Errors{};
    QTest::newRow("query with a number") << QByteArray("FREQ? 5") << QByteArray() << Errors{-108};
    QTest::newRow("bounds of what has none") << QByteArray("OUTP? MAX") << QByteArray() << Errors{-108};
}

void TestScpiParser::otherParameters_data()
{
    columns();
    QTest::newRow("boolean ON OFF") << QByteArray("OUTP ON;OUTP?;OUTP off;OUTP?") << QByteArray("1;0") << Errors{};
    QTest::newRow("boolean 1 0") << QByteArray("OUTP 1;OUTP?;OUTP 0;OUTP?") << QByteArray("1;0") << Errors{};
    QTest::newRow("boolean numbers rounded") << QByteArray("OUTP 0.4;OUTP?;OUTP 2;OUTP?") << QByteArray("0;1") << Errors{};
    QTest::newRow("boolean of another word") << QByteArray("OUTP TRUE") << QByteArray() << Errors{-224};
    QTest::newRow("boolean quoted") << QByteArray("OUTP \"ON\"") << QByteArray() << Errors{-104};
    QTest::newRow("boolean with a unit") << QByteArray("OUTP 1 V") << QByteArray() << Errors{-138};
    QTest::newRow("choice short form") << QByteArray("FUNC SQU;FUNC?") << QByteArray("SQU") << Errors{};
    QTest::newRow("choice long form, lower case") << QByteArray("func triangle;func:shap?") << QByteArray("TRI") << Errors{};
    QTest::newRow("choice neither form") << QByteArray("FUNC TRIANG;FUNC?") << QByteArray("SIN") << Errors{-224};
    QTest::newRow("choice by number") << QByteArray("FUNC 1") << QByteArray() << Errors{-104};
    QTest::newRow("string") << QByteArray("MEM:STOR \"Filter 1-10 kHz\";NAME?") << QByteArray("\"Filter 1-10 kHz\"") << Errors{};
    QTest::newRow("string in single quotes") << QByteArray("MEM:STOR 'it''s';NAME?") << QByteArray("\"it's\"") << Errors{};
    QTest::newRow("doubled quote inside") << QByteArray("MEM:STOR \"a\"\"b\";NAME?") << QByteArray("\"a\"\"b\"") << Errors{};
    QTest::newRow("separators inside a string") << QByteArray("MEM:STOR \"a;b,c\";NAME?") << QByteArray("\"a;b,c\"") << Errors{};
    QTest::newRow("UTF-8 string") << QByteArray("MEM:STOR \"Проверка\";NAME?") << QByteArray("\"Проверка\"") << Errors{};
    QTest::newRow("unterminated string") << QByteArray("MEM:STOR \"abc") << QByteArray() << Errors{-102};
    QTest::newRow("number for a string") << QByteArray("MEM:STOR 5") << QByteArray() << Errors{-104};
    QTest::newRow("missing parameter") << QByteArray("FREQ;FREQ?") << QByteArray() << Errors{-109};
    QTest::newRow("two parameters") << QByteArray("FREQ 1,2") << QByteArray() << Errors{-108};
    QTest::newRow("parameter to a plain command") << QByteArray("*CLS 1") << QByteArray() << Errors{-108};
    QTest::newRow("parameters without a comma") << QByteArray("FREQ 1 2") << QByteArray() << Errors{-102};
    QTest::newRow("comma right after the header") << QByteArray("FREQ,1") << QByteArray() << Errors{-102};
}

void TestScpiParser::messages_data()
{
    columns();
    QTest::newRow("empty line") << QByteArray("") << QByteArray() << Errors{};
    QTest::newRow("blanks, CR and NUL are white space")
        << QByteArray("  *IDN?\t\r") << QByteArray("Test,Box,0,1") << Errors{};
    QTest::newRow("NUL inside") << QByteArray("FREQ\0 7;FREQ?", 13) << QByteArray("7") << Errors{};
    QTest::newRow("several answers on one line") << QByteArray("*IDN?;*OPC?;FREQ?") << QByteArray("Test,Box,0,1;1;1000") << Errors{};
    QTest::newRow("one line per message") << QByteArray("*OPC?\nFREQ?") << QByteArray("1\n1000") << Errors{};
    QTest::newRow("empty units passed over") << QByteArray(";FREQ 10;;FREQ?;") << QByteArray("10") << Errors{};
    QTest::newRow("command error ends the line")
        << QByteArray("FREQ 5;FREQ?;FOO;FREQ 6;FREQ?") << QByteArray("5") << Errors{-113};
    QTest::newRow("syntax error ends the line")
        << QByteArray("FREQ 5;FREQ?;FREQ 1..2;FREQ 6;FREQ?") << QByteArray("5") << Errors{-102};
    QTest::newRow("the next line runs again") << QByteArray("FOO\nFREQ?") << QByteArray("1000") << Errors{-113};
    QTest::newRow("execution error lets the line go on")
        << QByteArray("TEST:FAIL;:FREQ 7;:TEST:FAIL?;:FREQ?") << QByteArray("7") << Errors{-200, -200};
    QTest::newRow("out of range lets the line go on") << QByteArray("FREQ 2E6;FREQ 7;FREQ?") << QByteArray("7") << Errors{-222};
    QTest::newRow("bytes that are no text") << QByteArray("\xff\xfe\x80") << QByteArray() << Errors{-102};
    QTest::newRow("bytes that are no text after a header") << QByteArray("FREQ \x80") << QByteArray() << Errors{-102};
    QTest::newRow("header with a bad character") << QByteArray("FREQ:ST@RT 1") << QByteArray() << Errors{-102};
    QTest::newRow("colon without a mnemonic") << QByteArray("FREQ::STAR 1") << QByteArray() << Errors{-102};
    QTest::newRow("query mark inside a header") << QByteArray("FREQ?:STAR") << QByteArray() << Errors{-102};
    QTest::newRow("*RST") << QByteArray("FREQ 7;*RST;FREQ?") << QByteArray("1000") << Errors{};
    QTest::newRow("SYSTem:VERSion?") << QByteArray("SYST:VERS?") << QByteArray("1999.0") << Errors{};
}

void TestScpiParser::status_data()
{
    columns();
    QTest::newRow("no error") << QByteArray("SYST:ERR?") << QByteArray("0,\"No error\"") << Errors{};
    QTest::newRow("oldest error first, then none")
        << QByteArray("FOO\nFREQ 2E6\nSYST:ERR?;:SYST:ERR:NEXT?;:system:error?")
        << QByteArray("-113,\"Undefined header;FOO\";-222,\"Data out of range;2000000\";0,\"No error\"") << Errors{};
    // After ';' a header continues from the branch: the text names the
    // header looked up, not the one typed.
    QTest::newRow("undefined after the branch")
        << QByteArray("FREQ:STAR 10;FREQ:STOP 20\nSYST:ERR?") << QByteArray("-113,\"Undefined header;FREQ:FREQ:STOP\"")
        << Errors{};
    QTest::newRow("undefined query after the branch")
        << QByteArray("SWE:POIN 5;VOLT?\nSYST:ERR?") << QByteArray("-113,\"Undefined header;SWE:VOLT?\"") << Errors{};
    QTest::newRow("a colon goes back to the root")
        << QByteArray("FREQ:STAR 10;:NOPE:X\nSYST:ERR?") << QByteArray("-113,\"Undefined header;NOPE:X\"") << Errors{};
    QTest::newRow("error count") << QByteArray("FOO\nBAR\nSYST:ERR:COUN?") << QByteArray("2") << Errors{-113, -113};
    QTest::newRow("device text in the entry")
        << QByteArray("TEST:FAIL\nSYST:ERR?") << QByteArray("-200,\"Execution error;the device says no\"") << Errors{};
    QTest::newRow("ESR: command error, read clears") << QByteArray("FOO\n*ESR?;*ESR?") << QByteArray("32;0") << Errors{-113};
    QTest::newRow("ESR: execution error") << QByteArray("FREQ 2E6\n*ESR?") << QByteArray("16") << Errors{-222};
    QTest::newRow("ESR: *OPC") << QByteArray("*OPC\n*ESR?") << QByteArray("1") << Errors{};
    QTest::newRow("*OPC? and *WAI") << QByteArray("*WAI;*OPC?") << QByteArray("1") << Errors{};
    QTest::newRow("ESE") << QByteArray("*ESE 36\n*ESE?") << QByteArray("36") << Errors{};
    QTest::newRow("ESE out of range") << QByteArray("*ESE 256;*ESE -1;*ESE?") << QByteArray("0") << Errors{-222, -222};
    QTest::newRow("STB: nothing") << QByteArray("*STB?") << QByteArray("0") << Errors{};
    QTest::newRow("STB: error queue") << QByteArray("FOO\n*STB?") << QByteArray("4") << Errors{-113};
    QTest::newRow("STB: event summary") << QByteArray("*ESE 32\nFOO\n*STB?") << QByteArray("36") << Errors{-113};
    QTest::newRow("STB: master summary") << QByteArray("*SRE 32;*ESE 32\nFOO\n*STB?;*SRE?") << QByteArray("100;32") << Errors{-113};
    QTest::newRow("STB: answer waiting") << QByteArray("*IDN?;*STB?") << QByteArray("Test,Box,0,1;16") << Errors{};
    QTest::newRow("STB does not clear; the first answer waits") << QByteArray("FOO\n*STB?;*STB?") << QByteArray("4;20") << Errors{-113};
    QTest::newRow("*CLS") << QByteArray("*ESE 32\nFOO\n*CLS\n*STB?;*ESR?;SYST:ERR?;*ESE?") << QByteArray("0;0;0,\"No error\";32") << Errors{};
}

void TestScpiParser::errorQueueOverflows()
{
    for (int i = 0; i < ScpiSession::MaxErrors + 5; ++i)
        m_session->execute("FREQ 2E6");
    QCOMPARE(m_session->execute("SYST:ERR:COUN?"), QByteArray("16\n"));
    for (int i = 0; i < ScpiSession::MaxErrors - 1; ++i)
        QCOMPARE(m_session->takeError().code, -222);
    QCOMPARE(m_session->execute("SYST:ERR?"), QByteArray("-350,\"Queue overflow\"\n"));
    QCOMPARE(m_session->execute("SYST:ERR?"), QByteArray("0,\"No error\"\n"));
    // The queue takes errors again once read.
    m_session->execute("FOO");
    QCOMPARE(m_session->takeError().code, -113);
}

void TestScpiParser::errorTextIsBoundedAndQuoted()
{
    const QByteArray quoted = ScpiError{-200, QStringLiteral("say \"no\"")}.response();
    QCOMPARE(quoted, QByteArray("-200,\"Execution error;say \"\"no\"\"\""));

    const QByteArray longest = ScpiError{-200, QString(1000, u'x')}.response();
    QCOMPARE(longest.size(), qsizetype(QByteArray("-200,").size() + 255 + 2));
}

void TestScpiParser::spellingsDeclaredTwiceAreReported()
{
    ScpiCommandTree tree;
    tree.add({QStringLiteral("FREQuency[:CW]"), {}, {}, [](ScpiSession &) { return ScpiReply::text("1"); }});
    tree.add({QStringLiteral("FREQ"), {}, {}, [](ScpiSession &) { return ScpiReply::text("2"); }});
    QCOMPARE(tree.conflicts(), QStringList{QStringLiteral("FREQ")});
    ScpiSession session(tree);
    QCOMPARE(session.execute("FREQ?"), QByteArray("1\n"));
}

QTEST_GUILESS_MAIN(TestScpiParser)
#include "tst_scpiparser.moc"
