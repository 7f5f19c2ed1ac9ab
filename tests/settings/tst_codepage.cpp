#include "runtime/CodePage.h"

#include <QTest>

class TestCodePage : public QObject
{
    Q_OBJECT

private slots:
    void roundTrip_data();
    void roundTrip();
    void unmappableCharactersBecomeQuestionMarks_data();
    void unmappableCharactersBecomeQuestionMarks();
    void everyByteDecodes();
};

void TestCodePage::roundTrip_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("ascii") << QStringLiteral("G-740 [x]=1") << QByteArray("G-740 [x]=1");
    QTest::newRow("cyrillic") << QStringLiteral("Файлы") << QByteArray("\xD4\xE0\xE9\xEB\xFB");
    QTest::newRow("capitals") << QStringLiteral("АЯЁ") << QByteArray("\xC0\xDF\xA8");
    QTest::newRow("small yo, euro, numero") << QStringLiteral("ё€№") << QByteArray("\xB8\x88\xB9");
    QTest::newRow("nul") << QString(QChar(0)) << QByteArray(1, '\0');
    QTest::newRow("empty") << QString() << QByteArray();
}

void TestCodePage::roundTrip()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QCOMPARE(toCp1251(text), bytes);
    QCOMPARE(fromCp1251(bytes), text);
}

void TestCodePage::unmappableCharactersBecomeQuestionMarks_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("cjk") << QStringLiteral("a中b") << QByteArray("a?b");
    QTest::newRow("outside the BMP is one character") << QStringLiteral("a\U0001F600b") << QByteArray("a?b");
    QTest::newRow("lone high surrogate") << (QStringLiteral("a") + QChar(0xD800)) << QByteArray("a?");
    QTest::newRow("lone low surrogate") << (QChar(0xDC00) + QStringLiteral("b")) << QByteArray("?b");
}

void TestCodePage::unmappableCharactersBecomeQuestionMarks()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QCOMPARE(toCp1251(text), bytes);
}

void TestCodePage::everyByteDecodes()
{
    QByteArray all;
    for (int byte = 0; byte < 256; ++byte)
        all.append(char(byte));
    const QString text = fromCp1251(all);
    QCOMPARE(text.size(), 256);
    // 0x98 is the one byte the code page leaves undefined.
    QCOMPARE(text.at(0x98), QLatin1Char('?'));
    QByteArray expected = all;
    expected[0x98] = '?';
    QCOMPARE(toCp1251(text), expected);
}

QTEST_GUILESS_MAIN(TestCodePage)
#include "tst_codepage.moc"
