#include "runtime/CodePage.h"
#include "settings/IniText.h"

#include <QRandomGenerator>
#include <QTest>

#include <optional>

Q_DECLARE_METATYPE(std::optional<QString>)

namespace {

QByteArray cp(const QString &text)
{
    return toCp1251(text);
}

} // namespace

class TestIniText : public QObject
{
    Q_OBJECT

private slots:
    void read_data();
    void read();
    void write_data();
    void write();
    void longValueIsCut();
    void randomBytesKeepTheirBytes();
    void encoding_data();
    void encoding();
    void removeSection();
    void namesThatCannotReadBack_data();
    void namesThatCannotReadBack();
    void sectionNamesOnceEach();
};

void TestIniText::read_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<std::optional<QString>>("expected");

    const std::optional<QString> none;
    QTest::newRow("plain") << QByteArray("[s]\r\nk=v\r\n") << "s" << "k" << std::optional<QString>("v");
    QTest::newRow("lf") << QByteArray("[s]\nk=v\n") << "s" << "k" << std::optional<QString>("v");
    QTest::newRow("no final line end") << QByteArray("[s]\nk=v") << "s" << "k" << std::optional<QString>("v");
    QTest::newRow("latin case") << QByteArray("[Sect]\nKey=v\n") << "sECT" << "kEY" << std::optional<QString>("v");
    QTest::newRow("cyrillic case") << cp("[модуль g-740]\r\nгенератор. кол-во приращений=5\r\n") << "Модуль G-740"
                                   << "Генератор. Кол-во приращений" << std::optional<QString>("5");
    QTest::newRow("blanks trimmed") << QByteArray("  [ s ]  \n \t k \t= \t v w \t\n") << "s" << "k" << std::optional<QString>("v w");
    QTest::newRow("quotes removed") << QByteArray("[s]\nk=\" v \"\n") << "s" << "k" << std::optional<QString>(" v ");
    QTest::newRow("single quotes removed") << QByteArray("[s]\nk='x'\n") << "s" << "k" << std::optional<QString>("x");
    QTest::newRow("unpaired quote kept") << QByteArray("[s]\nk=\"x\n") << "s" << "k" << std::optional<QString>("\"x");
    QTest::newRow("empty value") << QByteArray("[s]\nk=\n") << "s" << "k" << std::optional<QString>("");
    QTest::newRow("value with =") << QByteArray("[s]\nk=a=b\n") << "s" << "k" << std::optional<QString>("a=b");
    QTest::newRow("value value with cyrillic") << cp("[s]\nk=кГц\n") << "s" << "k" << std::optional<QString>("кГц");
    QTest::newRow("missing key") << QByteArray("[s]\nk=v\n") << "s" << "x" << none;
    QTest::newRow("missing section") << QByteArray("[s]\nk=v\n") << "t" << "k" << none;
    QTest::newRow("key of another section") << QByteArray("[t]\nk=v\n[s]\nj=1\n") << "s" << "k" << none;
    QTest::newRow("key before any section") << QByteArray("k=v\n[s]\n") << "s" << "k" << none;
    QTest::newRow("comment") << QByteArray("[s]\n;k=v\n") << "s" << "k" << none;
    QTest::newRow("key without =") << QByteArray("[s]\nk\nj=2\n") << "s" << "j" << std::optional<QString>("2");
    QTest::newRow("key without = is no key") << QByteArray("[s]\nk\n") << "s" << "k" << none;
    QTest::newRow("header without ] is no header") << QByteArray("[s]\n[t\nk=v\n") << "s" << "k" << std::optional<QString>("v");
    QTest::newRow("header without ] opens nothing") << QByteArray("[s]\n[t\nk=v\n") << "t" << "k" << none;
    QTest::newRow("header up to the last ]") << QByteArray("[a]b] rest\nk=v\n") << "a]b" << "k" << std::optional<QString>("v");
    QTest::newRow("duplicate key: first") << QByteArray("[s]\nk=1\nk=2\n") << "s" << "k" << std::optional<QString>("1");
    QTest::newRow("duplicate section: first key") << QByteArray("[s]\na=1\n[s]\nk=2\n[S]\nk=3\n") << "s" << "k"
                                                  << std::optional<QString>("2");
    QTest::newRow("nul byte elsewhere") << QByteArray("[s]\nx=\0\nk=v\n", 12) << "s" << "k" << std::optional<QString>("v");
    QTest::newRow("cr inside a line") << QByteArray("[s]\nk=a\rb\r\n") << "s" << "k" << std::optional<QString>("a\rb");
    QTest::newRow("empty text") << QByteArray() << "s" << "k" << none;
}

void TestIniText::read()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(std::optional<QString>, expected);
    QCOMPARE(IniText(content).value(section, key), expected);
}

void TestIniText::write_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("new text gets crlf") << QByteArray() << "s" << "k" << "v" << QByteArray("[s]\r\nk=v\r\n");
    QTest::newRow("replace in place") << QByteArray("[s]\r\na=1\r\nk=old\r\nz=2\r\n") << "s" << "k" << "new"
                                      << QByteArray("[s]\r\na=1\r\nk=new\r\nz=2\r\n");
    QTest::newRow("replace keeps the key's spelling") << QByteArray("[S]\n  K = old  \n") << "s" << "k" << "1"
                                                      << QByteArray("[S]\n  K =1\n");
    QTest::newRow("replace without final line end") << QByteArray("[s]\nk=old") << "s" << "k" << "v" << QByteArray("[s]\nk=v");
    QTest::newRow("new key after the last key") << QByteArray("[s]\na=1\n; note\n\n[t]\nb=2\n") << "s" << "k" << "v"
                                                << QByteArray("[s]\na=1\nk=v\n; note\n\n[t]\nb=2\n");
    QTest::newRow("new key in an empty section") << QByteArray("[s]\n[t]\n") << "s" << "k" << "v" << QByteArray("[s]\nk=v\n[t]\n");
    QTest::newRow("new key, last line without end") << QByteArray("[s]\r\na=1") << "s" << "k" << "v"
                                                    << QByteArray("[s]\r\na=1\r\nk=v\r\n");
    QTest::newRow("new section at the end, lf kept") << QByteArray("; c\n[t]\nb=2\n") << "s" << "k" << "v"
                                                     << QByteArray("; c\n[t]\nb=2\n\n[s]\nk=v\n");
    QTest::newRow("new section, last line without end") << QByteArray("[t]\r\nb=2") << "s" << "k" << "v"
                                                        << QByteArray("[t]\r\nb=2\r\n\r\n[s]\r\nk=v\r\n");
    QTest::newRow("duplicate section: first gets the key") << QByteArray("[s]\na=1\n[s]\nb=2\n") << "s" << "k" << "v"
                                                           << QByteArray("[s]\na=1\nk=v\n[s]\nb=2\n");
    QTest::newRow("duplicate key: first replaced") << QByteArray("[s]\nk=1\nk=2\n") << "s" << "k" << "3"
                                                   << QByteArray("[s]\nk=3\nk=2\n");
    QTest::newRow("key without = untouched") << QByteArray("[s]\nk\n") << "s" << "k" << "v" << QByteArray("[s]\nk=v\nk\n");
    QTest::newRow("broken header untouched") << QByteArray("[s\nk=1\n") << "s" << "k" << "v"
                                             << QByteArray("[s\nk=1\n\n[s]\nk=v\n");
    QTest::newRow("line breaks in a value") << QByteArray() << "s" << "k" << "a\r\nb" << QByteArray("[s]\r\nk=a??b\r\n");
    QTest::newRow("cyrillic names as windows-1251")
        << QByteArray() << QStringLiteral("Модуль G-740") << QStringLiteral("Кол-во") << QStringLiteral("Ом")
        << QByteArray("[\xCC\xEE\xE4\xF3\xEB\xFC G-740]\r\n\xCA\xEE\xEB-\xE2\xEE=\xCE\xEC\r\n");
}

void TestIniText::write()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, value);
    QFETCH(QByteArray, expected);
    IniText text(content);
    text.setValue(section, key, value);
    QCOMPARE(text.content(), expected);
    if (!value.contains(QLatin1Char('\n')))
        QCOMPARE(text.value(section, key), std::optional<QString>(value));
}

void TestIniText::longValueIsCut()
{
    const QByteArray line = "k=" + QByteArray(100000, 'x');
    const IniText text("[s]\n" + line + "\nj=1\n");
    QCOMPARE(text.value(u"s", u"k")->size(), IniText::MaxValueLength);
    QCOMPARE(text.value(u"s", u"j"), std::optional<QString>("1"));

    IniText written(text);
    written.setValue(u"s", u"j", u"2");
    QCOMPARE(written.content(), "[s]\n" + line + "\nj=2\n");
}

void TestIniText::randomBytesKeepTheirBytes()
{
    QRandomGenerator random(740);
    for (int round = 0; round < 200; ++round) {
        QByteArray content(int(random.bounded(1, 400)), Qt::Uninitialized);
        for (char &byte : content)
            byte = char(random.bounded(256));
        IniText text(content);
        text.setValue(QStringLiteral("Модуль G-740"), QStringLiteral("Генератор. Кол-во приращений"), u"10");
        QVERIFY(text.content().startsWith(content)); // no section: everything is appended
        QCOMPARE(text.value(QStringLiteral("модуль g-740"), QStringLiteral("генератор. кол-во приращений")),
                 std::optional<QString>("10"));
    }
}

void TestIniText::encoding_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("encoding");
    QTest::addColumn<QByteArray>("expected"); // after the key "Ключ" of section "Раздел" is set to "Ом"

    const QByteArray utf8Section = QStringLiteral("[Раздел]\nключ=1\n").toUtf8();
    QTest::newRow("UTF-8") << utf8Section << int(IniEncoding::Utf8) << QStringLiteral("[Раздел]\nключ=Ом\n").toUtf8();
    QTest::newRow("UTF-8 with byte-order mark")
        << "\xEF\xBB\xBF" + utf8Section << int(IniEncoding::Utf8WithBom)
        << "\xEF\xBB\xBF" + QStringLiteral("[Раздел]\nключ=Ом\n").toUtf8();
    QTest::newRow("mark on an ASCII text") << QByteArray("\xEF\xBB\xBF[a]\n") << int(IniEncoding::Utf8WithBom)
                                           << "\xEF\xBB\xBF[a]\n\n" + QStringLiteral("[Раздел]\nКлюч=Ом\n").toUtf8();
    QTest::newRow("windows-1251") << cp("[Раздел]\nключ=1\n") << int(IniEncoding::Cp1251) << cp("[Раздел]\nключ=Ом\n");
    QTest::newRow("ASCII is windows-1251") << QByteArray("[a]\n") << int(IniEncoding::Cp1251)
                                           << cp("[a]\n\n[Раздел]\nКлюч=Ом\n");
    QTest::newRow("new text is windows-1251") << QByteArray() << int(IniEncoding::Cp1251) << cp("[Раздел]\r\nКлюч=Ом\r\n");
    // One byte that is no UTF-8 makes the whole text windows-1251.
    QTest::newRow("mixed") << utf8Section + cp("; ом\n") << int(IniEncoding::Cp1251)
                           << utf8Section + cp("; ом\n\n[Раздел]\nКлюч=Ом\n");
}

void TestIniText::encoding()
{
    QFETCH(QByteArray, content);
    QFETCH(int, encoding);
    QFETCH(QByteArray, expected);
    IniText text(content);
    QCOMPARE(int(text.encoding()), encoding);
    text.setValue(u"Раздел", u"Ключ", u"Ом");
    QCOMPARE(text.content(), expected);
    QCOMPARE(text.value(u"раздел", u"КЛЮЧ"), std::optional<QString>("Ом"));

    // What each encoding can hold.
    QVERIFY(text.canStore(u"Проверка фильтра 1\u201310 кГц"));
    QCOMPARE(text.canStore(u"\u65E5\u672C"), encoding != int(IniEncoding::Cp1251));
}

void TestIniText::removeSection()
{
    const QByteArray content = "; head\r\n[a]\r\nx=1\r\n\r\n[Set]\r\n; note\r\ny=2\r\n\r\n[b]\r\nz=3\r\n[set]\r\nw=4\r\n";
    IniText text(content);
    QCOMPARE(text.sectionNames(), QStringList({"a", "Set", "b"}));
    QVERIFY(text.removeSection(u"SET"));
    QCOMPARE(text.content(), QByteArray("; head\r\n[a]\r\nx=1\r\n\r\n[b]\r\nz=3\r\n"));
    QVERIFY(!text.removeSection(u"set"));
    QVERIFY(!text.removeSection(u"zz"));

    // Removed and added again at the end, a section costs no extra blank lines.
    text.setValue(u"c", u"k", u"1");
    const QByteArray once = text.content();
    for (int round = 0; round < 3; ++round) {
        QVERIFY(text.removeSection(u"c"));
        text.setValue(u"c", u"k", u"1");
    }
    QCOMPARE(text.content(), once);
    QCOMPARE(once, QByteArray("; head\r\n[a]\r\nx=1\r\n\r\n[b]\r\nz=3\r\n\r\n[c]\r\nk=1\r\n"));
}

void TestIniText::namesThatCannotReadBack_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<bool>("refused");

    const QByteArray utf8 = QStringLiteral("; настройки\n").toUtf8();
    QTest::newRow("section of one NUL") << QByteArray() << QString(QChar(0)) << "k" << true;
    QTest::newRow("section with 0x01") << QByteArray() << QString("a\x01") << "k" << true;
    QTest::newRow("section with 0x1F") << QByteArray() << QString("\x1F") << "k" << true;
    QTest::newRow("NUL inside a key") << QByteArray() << "s" << QString("a") + QChar(0) + "b" << true;
    QTest::newRow("line break in a section") << QByteArray() << "a\nb" << "k" << true;
    QTest::newRow("key with =") << QByteArray() << "s" << "a=b" << true;
    QTest::newRow("key starting with [") << QByteArray() << "s" << "[k]" << true;
    QTest::newRow("key starting with ;") << QByteArray() << "s" << ";k" << true;
    QTest::newRow("section ending in a blank") << QByteArray() << "s " << "k" << true;
    QTest::newRow("key starting with a tab") << QByteArray() << "s" << "\tk" << true;
    QTest::newRow("character Windows-1251 lacks") << QByteArray() << QStringLiteral("\u65E5") << "k" << true;
    QTest::newRow("lone surrogate in UTF-8") << utf8 << QString(QChar(0xD800)) << "k" << true;
    // What does read back stays allowed.
    QTest::newRow("tab inside") << QByteArray() << "a\tb" << "k\tl" << false;
    QTest::newRow("bracket inside a section") << QByteArray() << "a]b" << "k" << false;
    QTest::newRow("empty names") << QByteArray() << "" << "" << false;
    QTest::newRow("leading U+FEFF in UTF-8") << utf8 << QStringLiteral("\uFEFFs") << QStringLiteral("\uFEFFk") << false;
    QTest::newRow("CJK in UTF-8") << utf8 << QStringLiteral("\u65E5") << "k" << false;
}

void TestIniText::namesThatCannotReadBack()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(bool, refused);
    IniText text(content);
    const std::optional<QString> problem = text.setValue(section, key, u"v");
    QCOMPARE(problem.has_value(), refused);
    if (refused) {
        QCOMPARE(text.content(), content);
        QVERIFY(!problem->isEmpty());
    } else {
        QCOMPARE(IniText(text.content()).value(section, key), std::optional<QString>(QStringLiteral("v")));
    }
}

void TestIniText::sectionNamesOnceEach()
{
    // Thousands of sections, each twice in another letter case, Cyrillic too.
    QByteArray content;
    QStringList expected;
    for (int i = 0; i < 3000; ++i) {
        const QString name = QStringLiteral("Набор %1").arg(i);
        expected.append(name);
        content += cp('[' + name + "]\r\nk=1\r\n");
    }
    for (int i = 0; i < 3000; ++i)
        content += cp('[' + QStringLiteral("набор %1").arg(i).toUpper() + "]\r\n");
    QCOMPARE(IniText(content).sectionNames(), expected);
}

QTEST_GUILESS_MAIN(TestIniText)
#include "tst_initext.moc"
