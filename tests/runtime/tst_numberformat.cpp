#include "runtime/NumberFormat.h"

#include <QCoreApplication>
#include <QLocale>
#include <QRandomGenerator>
#include <QTest>

#include <charconv>
#include <clocale>
#include <cmath>
#include <limits>

class TestNumberFormat : public QObject
{
    Q_OBJECT

private slots:
    void formatFloatPicture_data();
    void formatFloatPicture();
    void formatFloatHugeAndTiny();
    void formatGeneral_data();
    void formatGeneral();
    void parseFloatAccepted_data();
    void parseFloatAccepted();
    void parseFloatRefused_data();
    void parseFloatRefused();
    void parseFloatLongTexts();
    void parseIntAccepted_data();
    void parseIntAccepted();
    void parseIntRefused_data();
    void parseIntRefused();
    void generalFormRoundTrips();
};

namespace {

constexpr double Inf = std::numeric_limits<double>::infinity();
constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

QString repeated(char c, int count)
{
    return QString(count, QLatin1Char(c));
}

} // namespace

void TestNumberFormat::formatFloatPicture_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("expected");

    // Rounding happens on the 15-digit decimal form, half away from zero.
    QTest::newRow("2.675 up") << "0.00" << 2.675 << "2.68";
    QTest::newRow("1.005 up") << "0.00" << 1.005 << "1.01";
    QTest::newRow("1.0005 up") << "0.000" << 1.0005 << "1.001";
    QTest::newRow("offset code 128") << "0.000" << 0.0156862745 << "0.016";
    QTest::newRow("half up") << "0" << 2.5 << "3";
    QTest::newRow("half negative") << "0" << -2.5 << "-3";
    QTest::newRow("half below one") << "0" << 0.5 << "1";
    QTest::newRow("just below half") << "0" << 0.4999 << "0";
    QTest::newRow("15 digits decide") << "0" << 0.49999999999999994 << "1";
    QTest::newRow("carry into new digit") << "0.00" << 9.999 << "10.00";
    QTest::newRow("carry from zero") << "0.00" << 0.005 << "0.01";
    QTest::newRow("below last place") << "0.00" << 0.004999 << "0.00";

    // The generator's display texts.
    QTest::newRow("start 10 kHz") << "0.0000" << 3355.0 * 50000.0 / 16777216.0 << "9.9987";
    QTest::newRow("increment 50 kHz") << "0.0000" << 16777.0 * 50000.0 / 16777216.0 << "49.9994";
    QTest::newRow("final frequency") << "0.0000" << 171125.0 * 50000.0 / 16777216.0 << "509.9922";
    QTest::newRow("half scale") << "0.0000" << 25000.0 << "25000.0000";
    QTest::newRow("amplitude 3.464") << "0.000" << 2.0 * std::sqrt(3.0) << "3.464";
    QTest::newRow("amplitude 0.870") << "0.000" << 0.87 << "0.870";
    QTest::newRow("amplitude -24.0") << "0.0" << -24.0 << "-24.0";
    QTest::newRow("offset 0.988") << "0.000" << 159 * 8.0 * (1 / 255.0) - 4.0 << "0.988";
    QTest::newRow("offset -4.000") << "0.000" << -4.0 << "-4.000";
    QTest::newRow("duration") << "0.00000" << 0.002 << "0.00200";
    QTest::newRow("count") << "0" << 4095.0 << "4095";
    QTest::newRow("clock") << "0.0" << 50000.0 << "50000.0";

    // Zero has no sign, whatever it rounded from.
    QTest::newRow("negative zero") << "0.00" << -0.0 << "0.00";
    QTest::newRow("rounds to zero") << "0.00" << -0.0001 << "0.00";
    QTest::newRow("rounds to zero, no digits") << "0" << -0.4 << "0";

    // Places.
    QTest::newRow("more integer digits") << "0.0" << 12345.6 << "12345.6";
    QTest::newRow("leading zeros") << "000" << 7.0 << "007";
    QTest::newRow("optional decimals") << "#0.0#" << 3.14159 << "3.14";
    QTest::newRow("optional decimals unused") << "#0.0#" << 3.0 << "3.0";
    QTest::newRow("point dropped") << "0.###" << 2.0 << "2";
    QTest::newRow("some optional") << "0.###" << 2.5 << "2.5";
    QTest::newRow("all optional, zero") << "#.##" << 0.0 << "";
    QTest::newRow("no integer place") << ".00" << 12.5 << "12.50";
    QTest::newRow("no integer place, fraction") << ".00" << 0.5 << ".50";

    // Grouping.
    QTest::newRow("grouping") << "#,##0.00" << 1234567.891 << "1,234,567.89";
    QTest::newRow("grouping carry") << "#,##0" << 999.5 << "1,000";
    QTest::newRow("grouping negative") << "#,##0" << -1234.0 << "-1,234";
    QTest::newRow("grouping short") << "#,##0" << 12.0 << "12";
    QTest::newRow("grouping beyond pattern") << "0,0" << 1234567.0 << "1,234,567";

    // Exponents.
    QTest::newRow("exp plus") << "0.00E+00" << 12345.0 << "1.23E+04";
    QTest::newRow("exp negative") << "0.00E+00" << 0.00012345 << "1.23E-04";
    QTest::newRow("exp minus only") << "0.00E-00" << 12345.0 << "1.23E04";
    QTest::newRow("exp minus shown") << "0.00E-00" << 0.012345 << "1.23E-02";
    QTest::newRow("exp small letter") << "0.0e+0" << 9.96 << "1.0e+1";
    QTest::newRow("exp zero") << "0.00E+00" << 0.0 << "0.00E+00";
    QTest::newRow("exp two integer places") << "00.0E+0" << 12345.0 << "12.3E+3";
    QTest::newRow("exp negative value") << "0.0E+00" << -0.000456 << "-4.6E-04";
    QTest::newRow("exp three digits") << "0.0E+0" << 1e-300 << "1.0E-300";
    QTest::newRow("E without sign is text") << "0E" << 5.0 << "5E";

    // Sections.
    QTest::newRow("negative section") << "0.00;(0.00)" << -5.0 << "(5.00)";
    QTest::newRow("negative section, positive") << "0.00;(0.00)" << 5.0 << "5.00";
    QTest::newRow("negative section, rounds to zero") << "0.00;(0.00)" << -0.001 << "0.00";
    QTest::newRow("zero section") << "0.00;(0.00);'zero'" << 0.001 << "zero";
    QTest::newRow("zero section from negative") << "0.00;(0.00);'zero'" << -0.001 << "zero";
    QTest::newRow("empty negative section") << "0.00;;'nil'" << -3.0 << "-3.00";
    QTest::newRow("zero after empty section") << "0.0;;'nil'" << 0.0 << "nil";
    QTest::newRow("unquoted zero text") << "0;-0;zero" << 0.0 << "zero";

    // Literal text.
    QTest::newRow("quoted prefix") << "'$'0.00" << 5.0 << "$5.00";
    QTest::newRow("sign before text") << "'$'0.00" << -5.0 << "-$5.00";
    QTest::newRow("double quotes") << "\"V=\"0.0\" V\"" << 1.25 << "V=1.3 V";
    QTest::newRow("unit") << "0.0 'kHz'" << -2.0 << "-2.0 kHz";
    QTest::newRow("quoted specials") << "'a;0.,E+0'0" << 7.0 << "a;0.,E+07";
    QTest::newRow("unterminated quote") << "0.0'x;y" << 1.0 << "1.0x;y";
    QTest::newRow("text only") << "'abc'" << 5.0 << "abc";
    QTest::newRow("text only, negative") << "'abc'" << -5.0 << "abc";
    QTest::newRow("text sections") << "'up';'down';'level'" << -5.0 << "down";

    // No pattern, or no number.
    QTest::newRow("empty pattern") << "" << 0.25 << "0.25";
    QTest::newRow("NaN") << "0.00" << NaN << "NAN";
    QTest::newRow("INF") << "0.00" << Inf << "INF";
    QTest::newRow("-INF") << "0.00;(0.00)" << -Inf << "-INF";
}

void TestNumberFormat::formatFloatPicture()
{
    QFETCH(QString, pattern);
    QFETCH(double, value);
    QFETCH(QString, expected);
    QCOMPARE(formatFloat(pattern, value), expected);
}

void TestNumberFormat::formatFloatHugeAndTiny()
{
    // Huge values are written in full: at most 309 integer digits, and the
    // largest stay below the double range so that they read back.
    QCOMPARE(formatFloat(u"0.00", 1e300), "1" + repeated('0', 300) + ".00");
    QCOMPARE(formatFloat(u"0", -std::numeric_limits<double>::max()),
             "-179769313486231" + repeated('0', 294));
    const QString grouped = formatFloat(u"#,##0", std::numeric_limits<double>::max());
    QCOMPARE(grouped.size(), 309 + 102);
    QVERIFY(grouped.startsWith(u"179,769,313,486,231,000,"));

    const double denormal = std::numeric_limits<double>::denorm_min();
    QCOMPARE(formatFloat(u"0.00", denormal), u"0.00");
    QCOMPARE(formatFloat(u"0.00E+00", denormal), u"4.94E-324");

    // Long pictures give long texts, never more than they ask for.
    const QString manyDecimals = "0." + repeated('0', 5000);
    QCOMPARE(formatFloat(manyDecimals, 0.125), "0.125" + repeated('0', 4997));
    QCOMPARE(formatFloat("0." + repeated('0', 20), 0.1), "0.1" + repeated('0', 19));
}

void TestNumberFormat::formatGeneral_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("expected");

    QTest::newRow("10") << 10.0 << "10";
    QTest::newRow("0.25") << 0.25 << "0.25";
    QTest::newRow("50000") << 50000.0 << "50000";
    QTest::newRow("12.5") << 12.5 << "12.5";
    QTest::newRow("-24") << -24.0 << "-24";
    QTest::newRow("zero") << 0.0 << "0";
    QTest::newRow("negative zero") << -0.0 << "0";
    QTest::newRow("15 integer digits") << 123456789012345.0 << "123456789012345";
    QTest::newRow("16 integer digits") << 1e15 << "1E15";
    QTest::newRow("rounds up to 16 digits") << 999999999999999.9 << "1E15";
    QTest::newRow("2^53") << 9007199254740992.0 << "9.00719925474099E15";
    QTest::newRow("large") << 1.5e20 << "1.5E20";
    QTest::newRow("smallest fixed") << 0.00001 << "0.00001";
    QTest::newRow("small fixed") << 0.000012345 << "0.000012345";
    QTest::newRow("rounds up to fixed") << 0.0000099999999999999999 << "0.00001";
    QTest::newRow("below fixed") << 0.000001 << "1E-6";
    QTest::newRow("below fixed, 14 digits") << 9.9999999999999e-6 << "9.9999999999999E-6";
    QTest::newRow("negative small") << -2.5e-7 << "-2.5E-7";
    QTest::newRow("0.1 + 0.2") << 0.1 + 0.2 << "0.3";
    QTest::newRow("third") << 1.0 / 3 << "0.333333333333333";
    QTest::newRow("offset step") << 8.0 / 255 << "0.0313725490196078";
    QTest::newRow("max") << std::numeric_limits<double>::max() << "1.79769313486231E308";
    QTest::newRow("denormal") << std::numeric_limits<double>::denorm_min() << "4.94065645841247E-324";
    QTest::newRow("NaN") << NaN << "NAN";
    QTest::newRow("-INF") << -Inf << "-INF";
}

void TestNumberFormat::formatGeneral()
{
    QFETCH(double, value);
    QFETCH(QString, expected);
    QCOMPARE(::formatGeneral(value), expected);
    QCOMPARE(formatFloat(u"", value), expected);
    // The text reads back as a value that is written the same way.
    if (std::isfinite(value))
        QCOMPARE(::formatGeneral(parseFloat(expected)), expected);
}

void TestNumberFormat::parseFloatAccepted_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("expected");

    QTest::newRow("integer") << "10" << 10.0;
    QTest::newRow("blanks") << " \t10.5 \t" << 10.5;
    QTest::newRow("minus") << "-2.5" << -2.5;
    QTest::newRow("plus") << "+3" << 3.0;
    QTest::newRow("trailing point") << "5." << 5.0;
    QTest::newRow("leading point") << ".5" << 0.5;
    QTest::newRow("minus leading point") << "-.5" << -0.5;
    QTest::newRow("exponent") << "1e3" << 1000.0;
    QTest::newRow("exponent plus") << "1E+3" << 1000.0;
    QTest::newRow("exponent minus") << "2.5e-3" << 0.0025;
    QTest::newRow("point and exponent") << "5.e1" << 50.0;
    QTest::newRow("correctly rounded") << "0.1" << 0.1;
    QTest::newRow("halfway rounds to even") << "9007199254740993" << 9007199254740992.0;
    QTest::newRow("largest") << "1.7976931348623157e308" << std::numeric_limits<double>::max();
    QTest::newRow("denormal") << "4e-320" << 4e-320;
    QTest::newRow("underflow is zero") << "1e-400" << 0.0;
    QTest::newRow("leading zeros") << "00000.000001" << 1e-6;
    QTest::newRow("zero with huge exponent") << "0e999999999999" << 0.0;
}

void TestNumberFormat::parseFloatAccepted()
{
    QFETCH(QString, text);
    QFETCH(double, expected);
    QCOMPARE(parseFloat(text), expected);
}

void TestNumberFormat::parseFloatRefused_data()
{
    QTest::addColumn<QString>("text");

    for (const char *text : {"", " \t ", "-", "+", ".", "-.", "1.2.3", "10,5", "1e", "1e+", "e5",
                             "abc", "INF", "inf", "-INF", "nan", "NaN", "1e400", "-1e400",
                             "1e99999999999999999999", "0x10", "1 2", "1d", "1e5.5", "--1", "+-1",
                             "1_000", "1.5 V"})
        QTest::newRow(text) << QString::fromLatin1(text);
    QTest::newRow("arabic digit") << QStringLiteral("\u0661");
    QTest::newRow("fullwidth digit") << QStringLiteral("\uFF15");
    QTest::newRow("superscript two") << QStringLiteral("\u00B2");
    QTest::newRow("non-breaking space") << QStringLiteral("\u00A05");
    QTest::newRow("nul inside") << QString::fromLatin1("1\0" "2", 3);
}

void TestNumberFormat::parseFloatRefused()
{
    QFETCH(QString, text);
    try {
        const double value = parseFloat(text);
        QFAIL(qPrintable(QStringLiteral("accepted as %1").arg(value)));
    } catch (const ConversionError &error) {
        QCOMPARE(error.text(), text);
    }
}

void TestNumberFormat::parseFloatLongTexts()
{
    // 10 000 digits either way of the point.
    QCOMPARE(parseFloat("1" + repeated('0', 10000) + "e-10000"), 1.0);
    QCOMPARE(parseFloat("0." + repeated('0', 9999) + "1e10000"), 1.0);
    QCOMPARE(parseFloat(repeated('3', 10000) + "e-9999"), 10.0 / 3);
    QCOMPARE(parseFloat("1" + repeated('0', 308)), 1e308);
    QVERIFY_THROWS_EXCEPTION(ConversionError, parseFloat(repeated('9', 10000)));
    QVERIFY_THROWS_EXCEPTION(ConversionError, parseFloat(repeated('1', 10000) + "x"));
    QCOMPARE(parseFloat("0." + repeated('0', 10000) + "1"), 0.0);
}

void TestNumberFormat::parseIntAccepted_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("allowHex");
    QTest::addColumn<int>("expected");

    QTest::newRow("zero") << "0" << false << 0;
    QTest::newRow("blanks") << " \t-17 \t" << false << -17;
    QTest::newRow("plus") << "+5" << false << 5;
    QTest::newRow("leading zeros") << "007" << false << 7;
    QTest::newRow("many leading zeros") << repeated('0', 10000) + "1" << false << 1;
    QTest::newRow("max") << "2147483647" << false << 2147483647;
    QTest::newRow("min") << "-2147483648" << false << std::numeric_limits<int>::min();
    QTest::newRow("decimal with hex allowed") << "257" << true << 257;
    QTest::newRow("hex") << "0x10" << true << 16;
    QTest::newRow("hex upper") << "0XfF" << true << 255;
    QTest::newRow("hex blanks") << " 0x1a " << true << 26;
    QTest::newRow("hex max") << "0x7FFFFFFF" << true << 2147483647;
    QTest::newRow("hex wraps") << "0x80000000" << true << std::numeric_limits<int>::min();
    QTest::newRow("hex all ones") << "0xFFFFFFFF" << true << -1;
    QTest::newRow("hex leading zeros") << "0x0000000010" << true << 16;
}

void TestNumberFormat::parseIntAccepted()
{
    QFETCH(QString, text);
    QFETCH(bool, allowHex);
    QFETCH(int, expected);
    QCOMPARE(parseInt(text, allowHex), expected);
}

void TestNumberFormat::parseIntRefused_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("allowHex");

    for (const char *text : {"", " ", "-", "+", "2147483648", "-2147483649", "99999999999999999999",
                             "1.0", "1e3", "1 2", "abc", "--1", "0x10"})
        QTest::newRow(text) << QString::fromLatin1(text) << false;
    for (const char *text : {"0x", "0x100000000", "-0x1", "+0x1", "0xG", "0x 1", "x10", "0x1.0"})
        QTest::newRow(text) << QString::fromLatin1(text) << true;
    QTest::newRow("arabic digit") << QStringLiteral("\u0661") << true;
}

void TestNumberFormat::parseIntRefused()
{
    QFETCH(QString, text);
    QFETCH(bool, allowHex);
    QVERIFY_THROWS_EXCEPTION(ConversionError, parseInt(text, allowHex));
}

void TestNumberFormat::generalFormRoundTrips()
{
    // Any double nearest to a decimal of at most 15 significant digits comes
    // back unchanged from its general form.
    QRandomGenerator random(740);
    for (int i = 0; i < 20000; ++i) {
        const quint64 mantissa = random.bounded(quint64(1), quint64(1'000'000'000'000'000));
        const int exponent = random.bounded(-330, 300);
        const QByteArray text = QByteArray::number(mantissa) + 'e' + QByteArray::number(exponent);
        double value = 0;
        if (std::from_chars(text.constData(), text.constData() + text.size(), value).ec != std::errc()
            || value == 0)
            continue;
        if (i % 2)
            value = -value;
        const QString general = ::formatGeneral(value);
        QCOMPARE(parseFloat(general), value);
        QVERIFY2(general.size() <= 23, qPrintable(general));
    }
}

// Every test runs twice: the second time under a locale that writes decimal
// commas, which must change nothing.
int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    TestNumberFormat test;
    int failures = QTest::qExec(&test, argc, argv);

    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    for (const char *name : {"de_DE.UTF-8", "de_DE.utf8", "de_DE", "German"}) {
        if (std::setlocale(LC_ALL, name))
            break;
    }
    if (QLocale().decimalPoint() != u",")
        return failures + 1;
    failures += QTest::qExec(&test, argc, argv);
    return failures;
}

#include "tst_numberformat.moc"
