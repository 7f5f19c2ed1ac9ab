#include "DefaultRecord.h"
#include "runtime/CodePage.h"
#include "settings/IniFile.h"
#include "settings/IniText.h"
#include "settings/ParameterSets.h"
#include "settings/SettingsKeys.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <cstring>

namespace {

QByteArray contentOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void store(const QString &path, const QByteArray &content)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(content), content.size());
}

bool sameRecord(const GENERATOR_PARS &a, const GENERATOR_PARS &b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

GENERATOR_PARS filterCheck()
{
    GENERATOR_PARS pars = defaultRecord();
    pars.StartFrequency = 1;
    pars.FrequencyIncrement = 0.5;
    pars.NumberOfIncrements = 18;
    pars.CyclicAutoScanType = 2;
    pars.AnalogOutputsGainIndex = 13;
    pars.EnaSyncout = 1;
    pars.Output10OhmOffset = -1.5;
    return pars;
}

} // namespace

class TestParameterSets : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void savedLoadedDeleted();
    void keptBySavesOfTheModuleSection();
    void namesUniqueWithoutCase();
    void refusedNames_data();
    void refusedNames();
    void namesInUtf8File();
    void outOfRangeValuesInASet();

private:
    QString path() const { return m_dir->filePath("G740Config.ini"); }

    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestParameterSets::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void TestParameterSets::savedLoadedDeleted()
{
    TIniFile file(path());
    writeDefaultSettings(file, "/opt/g740demo");
    const QString name = QStringLiteral("Проверка фильтра 1-10 кГц");
    const int before = TIniFile::replacementCount();
    QCOMPARE(ParameterSets::save(file, name, filterCheck()), std::nullopt);
    QCOMPARE(TIniFile::replacementCount(), before + 1);
    QCOMPARE(ParameterSets::save(file, "Второй", defaultRecord()), std::nullopt);
    QCOMPARE(ParameterSets::names(file), QStringList({name, "Второй"}));
    QVERIFY(fromCp1251(contentOf(path())).contains(u"\r\n\r\n[Набор параметров G-740: Проверка фильтра 1-10 кГц]\r\n"
                                                   u"Генератор. Начальная частота в кГц=1\r\n"));

    GENERATOR_PARS loaded;
    std::memset(static_cast<void *>(&loaded), 0x5A, sizeof loaded);
    QStringList replaced{"stale"};
    QCOMPARE(ParameterSets::load(file, "проверка ФИЛЬТРА 1-10 кгц", loaded, &replaced), std::nullopt);
    QCOMPARE(replaced, QStringList());
    GENERATOR_PARS expected = filterCheck();
    std::memcpy(expected.LibraryOwned1, loaded.LibraryOwned1, sizeof expected.LibraryOwned1); // the library's bytes stay
    std::memcpy(expected.LibraryOwned2, loaded.LibraryOwned2, sizeof expected.LibraryOwned2);
    std::memcpy(expected.LibraryOwned3, loaded.LibraryOwned3, sizeof expected.LibraryOwned3);
    std::memcpy(expected.LibraryOwned4, loaded.LibraryOwned4, sizeof expected.LibraryOwned4);
    std::memcpy(expected.LibraryOwned5, loaded.LibraryOwned5, sizeof expected.LibraryOwned5);
    std::memcpy(expected.LibraryOwned6, loaded.LibraryOwned6, sizeof expected.LibraryOwned6);
    QVERIFY(sameRecord(loaded, expected));

    QCOMPARE(ParameterSets::remove(file, name.toUpper()), std::nullopt);
    QCOMPARE(ParameterSets::names(file), QStringList({"Второй"}));
    QVERIFY(!ParameterSets::contains(file, name));
    QCOMPARE(ParameterSets::load(file, name, loaded),
             std::optional<QString>("Набор параметров \"" + name + "\" не найден в файле настроек."));
    const QByteArray afterRemove = contentOf(path());
    QVERIFY(ParameterSets::remove(file, name).has_value());
    QCOMPARE(contentOf(path()), afterRemove);

    // The program's own sections are untouched by all this.
    GENERATOR_PARS module;
    QCOMPARE(readGeneratorSettings(&file, module), QStringList());
    GENERATOR_PARS defaults;
    readGeneratorSettings(nullptr, defaults);
    defaults.IncrementType = 1; // as a new file writes it
    QVERIFY(sameRecord(module, defaults));
}

void TestParameterSets::keptBySavesOfTheModuleSection()
{
    TIniFile file(path());
    QCOMPARE(ParameterSets::save(file, "Набор", filterCheck()), std::nullopt);
    GENERATOR_PARS current = defaultRecord();
    current.StartFrequency = 777;
    writeCurrentSettings(file, "/opt/g740demo", false, current);
    writeDefaultSettings(file, "/opt/g740demo");
    QCOMPARE(ParameterSets::names(file), QStringList({"Набор"}));
    GENERATOR_PARS loaded = defaultRecord();
    QCOMPARE(ParameterSets::load(file, "Набор", loaded), std::nullopt);
    QVERIFY(sameRecord(loaded, filterCheck()));
    QCOMPARE(file.ReadFloat("Модуль G-740", "Генератор. Начальная частота в кГц", 0), 10.0);
}

void TestParameterSets::namesUniqueWithoutCase()
{
    TIniFile file(path());
    QCOMPARE(ParameterSets::save(file, "  Фильтр  ", filterCheck()), std::nullopt);
    QCOMPARE(ParameterSets::names(file), QStringList({"Фильтр"}));
    // The same name in other letters replaces the set; its new spelling stays.
    QCOMPARE(ParameterSets::save(file, "ФИЛЬТР", defaultRecord()), std::nullopt);
    QCOMPARE(ParameterSets::names(file), QStringList({"ФИЛЬТР"}));
    QCOMPARE(fromCp1251(contentOf(path())).count(u"Генератор. Начальная частота в кГц="), 1);
    GENERATOR_PARS loaded = filterCheck();
    QCOMPARE(ParameterSets::load(file, "фильтр", loaded), std::nullopt);
    QVERIFY(sameRecord(loaded, defaultRecord()));
}

void TestParameterSets::refusedNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("message");
    const QString brackets = "Название набора параметров не может содержать квадратные скобки, переводы строки и "
                             "управляющие символы.";
    QTest::newRow("empty") << "" << "Название набора параметров не может быть пустым.";
    QTest::newRow("blank") << " \t " << "Название набора параметров не может быть пустым.";
    QTest::newRow("65 characters") << QString(65, u'я') << "Название набора параметров длиннее 64 символов.";
    QTest::newRow("closing bracket") << "a]b" << brackets;
    QTest::newRow("opening bracket") << "[a" << brackets;
    QTest::newRow("line break") << "a\nb" << brackets;
    QTest::newRow("carriage return") << "a\rb" << brackets;
    QTest::newRow("tab") << "a\tb" << brackets;
    QTest::newRow("unicode line separator") << QString("a") + QChar::LineSeparator + "b" << brackets;
    QTest::newRow("not in windows-1251")
        << QStringLiteral("Фильтр \u65E5\u672C")
        << "Название набора параметров содержит символы, которых нет в кодировке Windows-1251 файла настроек.";
}

void TestParameterSets::refusedNames()
{
    QFETCH(QString, name);
    QFETCH(QString, message);
    TIniFile file(path());
    writeDefaultSettings(file, "/opt/g740demo");
    const QByteArray before = contentOf(path());
    const int replacements = TIniFile::replacementCount();
    QCOMPARE(ParameterSets::save(file, name, defaultRecord()), std::optional<QString>(message));
    QCOMPARE(TIniFile::replacementCount(), replacements);
    QCOMPARE(contentOf(path()), before);

    // A refusal is told as such even where nothing could be written; a
    // good name there meets the write error.
    QVERIFY(QFile::setPermissions(path(), QFile::ReadOwner));
    QCOMPARE(ParameterSets::save(file, name, defaultRecord()), std::optional<QString>(message));
    QVERIFY(ParameterSets::remove(file, "Нет такого").has_value());
    QVERIFY_THROWS_EXCEPTION(IniFileError, ParameterSets::save(file, "Годное", defaultRecord()));
    QVERIFY(QFile::setPermissions(path(), QFile::ReadOwner | QFile::WriteOwner));

    // The longest name that fits is taken.
    QCOMPARE(ParameterSets::save(file, QString(64, u'я'), defaultRecord()), std::nullopt);
}

void TestParameterSets::namesInUtf8File()
{
    store(path(), QStringLiteral("[Модуль G-740]\nГенератор. Кол-во приращений=5\n").toUtf8());
    TIniFile file(path());
    const QString name = QStringLiteral("Фильтр \u65E5\u672C \U0001F50A");
    QCOMPARE(ParameterSets::save(file, name, filterCheck()), std::nullopt);
    QCOMPARE(ParameterSets::names(file), QStringList({name}));
    QCOMPARE(IniText::detectEncoding(contentOf(path())), IniEncoding::Utf8);
    QVERIFY(QString::fromUtf8(contentOf(path())).contains("[Набор параметров G-740: " + name + "]\n"));
    GENERATOR_PARS loaded = defaultRecord();
    QCOMPARE(ParameterSets::load(file, name, loaded), std::nullopt);
    QVERIFY(sameRecord(loaded, filterCheck()));
}

void TestParameterSets::outOfRangeValuesInASet()
{
    store(path(), toCp1251(QStringLiteral("[Набор параметров G-740: Правленый]\r\n"
                                          "Генератор. Индекс усиления выходного тракта=99\r\n"
                                          "Генератор. Кол-во приращений=20\r\n")));
    TIniFile file(path());
    GENERATOR_PARS loaded;
    QStringList replaced;
    QCOMPARE(ParameterSets::load(file, "правленый", loaded, &replaced), std::nullopt);
    QCOMPARE(replaced, QStringList({"Генератор. Индекс усиления выходного тракта"}));
    QCOMPARE(int(loaded.AnalogOutputsGainIndex), 0);
    QCOMPARE(int(loaded.NumberOfIncrements), 20);
}

QTEST_GUILESS_MAIN(TestParameterSets)
#include "tst_parametersets.moc"
