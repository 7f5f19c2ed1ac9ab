#include "DefaultRecord.h"
#include "runtime/CodePage.h"
#include "runtime/InstallLayout.h"
#include "settings/IniFile.h"
#include "settings/SettingsFilePath.h"
#include "settings/SettingsKeys.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <cstring>

namespace {

const QString ProgramPath = QStringLiteral("/opt/g740/bin/g740demo");

// The file that a first start writes, as text.
const char16_t DefaultFile[] =
    u"[Файлы]\r\n"
    u"Головная программа=/opt/g740/bin/g740demo\r\n"
    u"\r\n"
    u"[Приложение. Общие]\r\n"
    u"Сохранение настроек=0\r\n"
    u"\r\n"
    u"[Модуль G-740]\r\n"
    u"Генератор. Начальная частота в кГц=10\r\n"
    u"Генератор. Частота приращений в кГц=50\r\n"
    u"Генератор. Кол-во приращений=10\r\n"
    u"Генератор. Тип базового интервала приращения=1\r\n"
    u"Генератор. Индекс умножителя для базового интервала приращения=0\r\n"
    u"Генератор. Кол-во базовых интервалов в интервале приращения=100\r\n"
    u"Генератор. Частота тактирующего сигнала=50000\r\n"
    u"Генератор. Источник тактирующего сигнала=0\r\n"
    u"Генератор. Тип циклического автосканирования=0\r\n"
    u"Генератор. Тип инкрементации частоты=1\r\n"
    u"Генератор. Тип линии 'CTRL'=0\r\n"
    u"Генератор. Тип линии 'INTERRUPT'=0\r\n"
    u"Генератор. Разрешение цифрового выхода генератора=0\r\n"
    u"Генератор. Разрешение синхросигнала=0\r\n"
    u"Генератор. Тип формирования синхросигнала=1\r\n"
    u"Генератор. Тип аналогового сигнала=1\r\n"
    u"Генератор. Индекс усиления выходного тракта=0\r\n"
    u"Генератор. Величина внутреннего смещение на выходе 10 Ом=0\r\n"
    u"Генератор. Тип смещения на выходе 10 Ом=0\r\n";

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

QByteArray moduleFile(const QString &lines)
{
    return toCp1251(QStringLiteral("[Модуль G-740]\r\n") + lines);
}

bool sameRecord(const GENERATOR_PARS &a, const GENERATOR_PARS &b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

} // namespace

class TestSettings : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void firstStart();
    void defaultsKeepEverythingElse();
    void readValues_data();
    void readValues();
    void noFileGivesReadDefaults();
    void currentSettings();
    void autoSave_data();
    void autoSave();
    void failedWriteStopsAtTheFirstKey();
    void filePath();
    void installedCopyWritesNothingBesideItself();

private:
    QString path() const { return m_dir->filePath("G740Config.ini"); }

    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestSettings::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void TestSettings::firstStart()
{
    TIniFile file(path());
    writeDefaultSettings(file, ProgramPath);
    const QByteArray bytes = contentOf(path());
    QCOMPARE(bytes, toCp1251(QStringView(DefaultFile)));
    // The section names as Windows-1251 bytes, independent of the converter.
    QVERIFY(bytes.startsWith("[\xD4\xE0\xE9\xEB\xFB]\r\n"));
    QVERIFY(bytes.contains("\r\n[\xCF\xF0\xE8\xEB\xEE\xE6\xE5\xED\xE8\xE5. \xCE\xE1\xF9\xE8\xE5]\r\n"));
    QVERIFY(bytes.contains("\r\n[\xCC\xEE\xE4\xF3\xEB\xFC G-740]\r\n"));

    GENERATOR_PARS pars;
    readGeneratorSettings(&file, pars);
    GENERATOR_PARS expected = defaultRecord();
    expected.IncrementType = 1; // written as 1, although a missing key reads as 0
    QVERIFY(sameRecord(pars, expected));
    QVERIFY(!readAutoSaveSetting(&file));
}

void TestSettings::defaultsKeepEverythingElse()
{
    const QByteArray foreign = toCp1251(
        u"; written by hand\n"
        u"[Модуль G-740]\n"
        u"Генератор. Кол-во приращений=4000\n"
        u"Заметка=оставить\n"
        u"\n"
        u"[Чужой раздел]\n"
        u"ключ = значение\n"
        u"[Модуль G-740]\n"
        u"Генератор. Тип линии 'CTRL'=1\n");
    store(path(), foreign);
    TIniFile file(path());
    writeDefaultSettings(file, ProgramPath);
    const QString result = fromCp1251(contentOf(path()));
    // Existing keys change in place, even in a repeated section; the new ones
    // follow the last key of the first module section, the new sections come
    // last; every foreign line stays, with the file's line ends.
    QVERIFY(result.startsWith(u"; written by hand\n[Модуль G-740]\nГенератор. Кол-во приращений=10\nЗаметка=оставить\n"
                              u"Генератор. Начальная частота в кГц=10\n"));
    QVERIFY(result.contains(u"Генератор. Тип смещения на выходе 10 Ом=0\n\n[Чужой раздел]\nключ = значение\n"
                            u"[Модуль G-740]\nГенератор. Тип линии 'CTRL'=0\n\n[Файлы]\n"));
    QCOMPARE(result.count(u"Генератор. Тип линии 'CTRL'"), 1);
    QVERIFY(result.endsWith(u"\n[Приложение. Общие]\nСохранение настроек=0\n"));
    QVERIFY(!result.contains(u'\r'));
    QCOMPARE(file.ReadString(u"Чужой раздел"_qs, u"КЛЮЧ"_qs, {}), u"значение"_qs);

    // Writing the defaults again changes nothing more.
    const QByteArray once = contentOf(path());
    writeDefaultSettings(file, ProgramPath);
    QCOMPARE(contentOf(path()), once);
}

void TestSettings::readValues_data()
{
    QTest::addColumn<QString>("lines");
    QTest::addColumn<QString>("field");
    QTest::addColumn<double>("expected");
    QTest::newRow("no IncrementType key") << "Генератор. Кол-во приращений=5\r\n" << "IncrementType" << 0.0;
    QTest::newRow("IncrementType written") << "Генератор. Тип инкрементации частоты=1\r\n" << "IncrementType" << 1.0;
    QTest::newRow("hex") << "Генератор. Кол-во приращений=0x10\r\n" << "NumberOfIncrements" << 16.0;
    QTest::newRow("low 8 bits") << "Генератор. Индекс усиления выходного тракта=257\r\n" << "AnalogOutputsGainIndex" << 1.0;
    QTest::newRow("negative, low 8 bits") << "Генератор. Тип аналогового сигнала=-1\r\n" << "AnalogOutputsType" << 255.0;
    QTest::newRow("low 16 bits") << "Генератор. Кол-во базовых интервалов в интервале приращения=65537\r\n"
                                 << "BaseIntervalsNumber" << 1.0;
    QTest::newRow("16-bit unchecked") << "Генератор. Кол-во приращений=65535\r\n" << "NumberOfIncrements" << 65535.0;
    QTest::newRow("float text") << "Генератор. Начальная частота в кГц=abc\r\n" << "StartFrequency" << 10.0;
    QTest::newRow("float with comma") << "Генератор. Начальная частота в кГц=10,5\r\n" << "StartFrequency" << 10.0;
    QTest::newRow("float") << "генератор. начальная частота в кгц = 12.5\r\n" << "StartFrequency" << 12.5;
    QTest::newRow("negative offset") << "Генератор. Величина внутреннего смещение на выходе 10 Ом=-2.5\r\n"
                                     << "Output10OhmOffset" << -2.5;
    QTest::newRow("bool32 from 2") << "Генератор. Разрешение синхросигнала=2\r\n" << "EnaSyncout" << 1.0;
    QTest::newRow("bool32 from text") << "Генератор. Разрешение цифрового выхода генератора=да\r\n" << "EnaSquareWaveOutput" << 0.0;
}

void TestSettings::readValues()
{
    QFETCH(QString, lines);
    QFETCH(QString, field);
    QFETCH(double, expected);
    store(path(), moduleFile(lines));
    const TIniFile file(path());
    GENERATOR_PARS pars;
    readGeneratorSettings(&file, pars);
    // Copies of the packed fields, never references to them.
    const std::map<QString, double> fields = {
        {"IncrementType", double(pars.IncrementType)},
        {"NumberOfIncrements", double(pars.NumberOfIncrements)},
        {"AnalogOutputsGainIndex", double(pars.AnalogOutputsGainIndex)},
        {"AnalogOutputsType", double(pars.AnalogOutputsType)},
        {"BaseIntervalsNumber", double(pars.BaseIntervalsNumber)},
        {"StartFrequency", double(pars.StartFrequency)},
        {"Output10OhmOffset", double(pars.Output10OhmOffset)},
        {"EnaSyncout", double(pars.EnaSyncout)},
        {"EnaSquareWaveOutput", double(pars.EnaSquareWaveOutput)},
    };
    QCOMPARE(fields.at(field), expected);
}

void TestSettings::noFileGivesReadDefaults()
{
    GENERATOR_PARS pars;
    std::memset(static_cast<void *>(&pars), 0xA5, sizeof pars);
    readGeneratorSettings(nullptr, pars);
    GENERATOR_PARS expected = defaultRecord();
    // The library's own bytes are not the settings' business.
    std::memset(expected.LibraryOwned1, 0xA5, sizeof expected.LibraryOwned1);
    std::memset(expected.LibraryOwned2, 0xA5, sizeof expected.LibraryOwned2);
    std::memset(expected.LibraryOwned3, 0xA5, sizeof expected.LibraryOwned3);
    std::memset(expected.LibraryOwned4, 0xA5, sizeof expected.LibraryOwned4);
    std::memset(expected.LibraryOwned5, 0xA5, sizeof expected.LibraryOwned5);
    std::memset(expected.LibraryOwned6, 0xA5, sizeof expected.LibraryOwned6);
    QVERIFY(sameRecord(pars, expected));

    // A missing file reads like no file.
    const TIniFile missing(path());
    GENERATOR_PARS fromMissing;
    readGeneratorSettings(&missing, fromMissing);
    QVERIFY(sameRecord(fromMissing, defaultRecord()));
    QVERIFY(!QFile::exists(path()));
}

void TestSettings::currentSettings()
{
    GENERATOR_PARS pars = defaultRecord();
    pars.StartFrequency = 12.5;
    pars.FrequencyIncrement = -0.25;
    pars.NumberOfIncrements = 65535;
    pars.AnalogOutputsGainIndex = 255;
    pars.EnaSquareWaveOutput = 7;
    pars.EnaSyncout = 0;
    pars.Output10OhmOffset = 1e-6;
    TIniFile file(path());
    writeCurrentSettings(file, ProgramPath, true, pars);

    const QString text = fromCp1251(contentOf(path()));
    QVERIFY(text.contains(u"\r\nСохранение настроек=1\r\n"));
    QVERIFY(text.contains(u"\r\nГенератор. Начальная частота в кГц=12.5\r\n"));
    QVERIFY(text.contains(u"\r\nГенератор. Частота приращений в кГц=-0.25\r\n"));
    QVERIFY(text.contains(u"\r\nГенератор. Кол-во приращений=65535\r\n"));
    QVERIFY(text.contains(u"\r\nГенератор. Индекс усиления выходного тракта=255\r\n"));
    QVERIFY(text.contains(u"\r\nГенератор. Разрешение цифрового выхода генератора=1\r\n"));
    QVERIFY(text.contains(u"\r\nГенератор. Величина внутреннего смещение на выходе 10 Ом=1E-6\r\n"));
    QCOMPARE(text.count(u"\r\n"), 21 + 3 + 2);

    GENERATOR_PARS back;
    readGeneratorSettings(&file, back);
    GENERATOR_PARS expected = pars;
    expected.EnaSquareWaveOutput = 1;
    QVERIFY(sameRecord(back, expected));
    QVERIFY(readAutoSaveSetting(&file));
}

void TestSettings::autoSave_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("expected");
    QTest::newRow("0") << "0" << false;
    QTest::newRow("1") << "1" << true;
    QTest::newRow("2 checks the box") << "2" << true;
    QTest::newRow("text") << "да" << false;
}

void TestSettings::autoSave()
{
    QFETCH(QString, value);
    QFETCH(bool, expected);
    store(path(), toCp1251(QStringLiteral("[Приложение. Общие]\nСохранение настроек=") + value + QLatin1Char('\n')));
    const TIniFile file(path());
    QCOMPARE(readAutoSaveSetting(&file), expected);
    QVERIFY(!readAutoSaveSetting(nullptr));
}

void TestSettings::failedWriteStopsAtTheFirstKey()
{
    const QByteArray old = moduleFile(QStringLiteral("Генератор. Кол-во приращений=7\r\n"));
    store(path(), old);
    QVERIFY(QFile::setPermissions(path(), QFile::ReadOwner));
    TIniFile file(path());
    QVERIFY_THROWS_EXCEPTION(IniFileError, writeDefaultSettings(file, ProgramPath));
    QVERIFY_THROWS_EXCEPTION(IniFileError, writeCurrentSettings(file, ProgramPath, false, defaultRecord()));
    QCOMPARE(contentOf(path()), old);
}

void TestSettings::filePath()
{
    QStandardPaths::setTestModeEnabled(true);
    const QString programDir = m_dir->filePath("bin");
    QVERIFY(QDir().mkpath(programDir));
    const QString beside = programDir + "/G740Config.ini";
    QCOMPARE(settingsFilePathFor(programDir), beside);

    // A system-wide install: a read-only directory without the file.
    QVERIFY(QFile::setPermissions(programDir, QFile::ReadOwner | QFile::ExeOwner));
    const QString configDir = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    QCOMPARE(settingsFilePathFor(programDir), configDir + "/G740Config.ini");
    QVERIFY(QFileInfo(configDir).isDir());

    // A portable copy keeps its file even in a read-only directory.
    QVERIFY(QFile::setPermissions(programDir, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    store(beside, "");
    QVERIFY(QFile::setPermissions(programDir, QFile::ReadOwner | QFile::ExeOwner));
    QCOMPARE(settingsFilePathFor(programDir), beside);
    QVERIFY(QFile::setPermissions(programDir, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));

    setSettingsFilePathOverride(path());
    QCOMPARE(SettingsFilePath(), path());
    setSettingsFilePathOverride({});
    QCOMPARE(SettingsFilePath(), QCoreApplication::applicationDirPath() + "/G740Config.ini");
}

// A packaged program run by root could write into /usr/bin; its private
// library folder marks it as installed.
void TestSettings::installedCopyWritesNothingBesideItself()
{
    QStandardPaths::setTestModeEnabled(true);
    const QString programDir = m_dir->filePath("usr/bin");
    QVERIFY(QDir().mkpath(programDir));
    QVERIFY(!InstallLayout::isInstalledCopy(programDir));
    const QString privateDir = InstallLayout::privateLibraryDirectory(programDir);
    QVERIFY2(privateDir.startsWith(m_dir->filePath("usr/lib")), qPrintable(privateDir));
    QVERIFY(QDir().mkpath(privateDir));
    QVERIFY(InstallLayout::isInstalledCopy(programDir));

    const QString configDir = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    QCOMPARE(settingsFilePathFor(programDir), configDir + "/G740Config.ini");
    // A file someone put there is still the one in use.
    const QString beside = programDir + "/G740Config.ini";
    store(beside, "");
    QCOMPARE(settingsFilePathFor(programDir), beside);
}

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
