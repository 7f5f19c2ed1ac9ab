#include "DefaultRecord.h"
#include "runtime/CodePage.h"
#include "runtime/InstallLayout.h"
#include "settings/IniFile.h"
#include "settings/IniText.h"
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
    void eachSaveIsOneReplacement();
    void loadMessage();
    void utf8FileStaysUtf8_data();
    void utf8FileStaysUtf8();
    void unusableFileKeptByAutoSave();

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
    // Values outside the panel's ranges take the key's default, never their
    // low bits.
    QTest::newRow("low 8 bits") << "Генератор. Индекс усиления выходного тракта=257\r\n" << "AnalogOutputsGainIndex" << 0.0;
    QTest::newRow("negative, low 8 bits") << "Генератор. Тип аналогового сигнала=-1\r\n" << "AnalogOutputsType" << 1.0;
    QTest::newRow("low 16 bits") << "Генератор. Кол-во базовых интервалов в интервале приращения=65537\r\n"
                                 << "BaseIntervalsNumber" << 100.0;
    QTest::newRow("16-bit unchecked") << "Генератор. Кол-во приращений=65535\r\n" << "NumberOfIncrements" << 10.0;
    QTest::newRow("gain all ones") << "Генератор. Индекс усиления выходного тракта=0xFFFFFFFF\r\n"
                                   << "AnalogOutputsGainIndex" << 0.0;
    QTest::newRow("last gain") << "Генератор. Индекс усиления выходного тракта=13\r\n" << "AnalogOutputsGainIndex" << 13.0;
    QTest::newRow("gain past the table") << "Генератор. Индекс усиления выходного тракта=14\r\n" << "AnalogOutputsGainIndex" << 0.0;
    QTest::newRow("most increments") << "Генератор. Кол-во приращений=4095\r\n" << "NumberOfIncrements" << 4095.0;
    QTest::newRow("too many increments") << "Генератор. Кол-во приращений=4096\r\n" << "NumberOfIncrements" << 10.0;
    QTest::newRow("fewest base intervals") << "Генератор. Кол-во базовых интервалов в интервале приращения=2\r\n"
                                           << "BaseIntervalsNumber" << 2.0;
    QTest::newRow("too few base intervals") << "Генератор. Кол-во базовых интервалов в интервале приращения=1\r\n"
                                            << "BaseIntervalsNumber" << 100.0;
    // Typed values are kept as the panel keeps them: any finite number.
    QTest::newRow("huge start frequency") << "Генератор. Начальная частота в кГц=1e308\r\n" << "StartFrequency" << 1e308;
    QTest::newRow("start past a double") << "Генератор. Начальная частота в кГц=1e309\r\n" << "StartFrequency" << 10.0;
    QTest::newRow("negative start frequency") << "Генератор. Начальная частота в кГц=-1\r\n" << "StartFrequency" << -1.0;
    QTest::newRow("start past the clock") << "Генератор. Начальная частота в кГц=99999\r\n" << "StartFrequency" << 99999.0;
    QTest::newRow("increment past the clock") << "Генератор. Частота приращений в кГц=-60000\r\n" << "FrequencyIncrement" << -60000.0;
    QTest::newRow("fast clock") << "Генератор. Частота тактирующего сигнала=50000.1\r\n" << "MasterClock" << 50000.0;
    QTest::newRow("downward increment") << "Генератор. Частота приращений в кГц=-50000\r\n" << "FrequencyIncrement" << -50000.0;
    QTest::newRow("slow clock") << "Генератор. Частота тактирующего сигнала=0.5\r\n" << "MasterClock" << 50000.0;
    QTest::newRow("offset past 4 V") << "Генератор. Величина внутреннего смещение на выходе 10 Ом=4.5\r\n"
                                     << "Output10OhmOffset" << 4.5;
    QTest::newRow("third scan type") << "Генератор. Тип циклического автосканирования=2\r\n" << "CyclicAutoScanType" << 2.0;
    QTest::newRow("fourth scan type") << "Генератор. Тип циклического автосканирования=3\r\n" << "CyclicAutoScanType" << 0.0;
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
        {"FrequencyIncrement", double(pars.FrequencyIncrement)},
        {"MasterClock", double(pars.MasterClock)},
        {"CyclicAutoScanType", double(pars.CyclicAutoScanType)},
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
    // What the panel would not take is not taken back either.
    QCOMPARE(readGeneratorSettings(&file, back),
             QStringList({"Генератор. Кол-во приращений", "Генератор. Индекс усиления выходного тракта"}));
    GENERATOR_PARS expected = pars;
    expected.EnaSquareWaveOutput = 1;
    expected.NumberOfIncrements = 10;
    expected.AnalogOutputsGainIndex = 0;
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

void TestSettings::eachSaveIsOneReplacement()
{
    TIniFile file(path());
    int before = TIniFile::replacementCount();
    writeDefaultSettings(file, ProgramPath);
    QCOMPARE(TIniFile::replacementCount(), before + 1);
    QCOMPARE(fromCp1251(contentOf(path())), QString::fromUtf16(DefaultFile));

    before = TIniFile::replacementCount();
    GENERATOR_PARS pars = defaultRecord();
    pars.StartFrequency = 12.5;
    writeCurrentSettings(file, ProgramPath, true, pars);
    QCOMPARE(TIniFile::replacementCount(), before + 1);
    QCOMPARE(file.ReadFloat("Модуль G-740", "Генератор. Начальная частота в кГц", 0), 12.5);
}

void TestSettings::loadMessage()
{
    store(path(), moduleFile("Генератор. Кол-во приращений=5000\r\n"
                             "Генератор. Индекс усиления выходного тракта=257\r\n"
                             "Генератор. Начальная частота в кГц=20\r\n"));
    const TIniFile file(path());
    GENERATOR_PARS pars;
    QCOMPARE(loadGeneratorSettings(&file, pars),
             std::optional<QString>("В файле настроек '" + path()
                                    + "' значения вне допустимых пределов заменены значениями по умолчанию:\n"
                                      "Генератор. Кол-во приращений\n"
                                      "Генератор. Индекс усиления выходного тракта"));
    QCOMPARE(double(pars.StartFrequency), 20.0);

    // A file without faults, and no file, say nothing.
    store(path(), moduleFile("Генератор. Кол-во приращений=5\r\n"));
    QCOMPARE(loadGeneratorSettings(&file, pars), std::nullopt);
    QCOMPARE(loadGeneratorSettings(nullptr, pars), std::nullopt);

    // A file that cannot be read: the defaults, and one message with the file and the reason.
    QVERIFY(QFile::remove(path()));
    QVERIFY(QDir(m_dir->path()).mkdir("G740Config.ini"));
    pars.StartFrequency = 99;
    const std::optional<QString> message = loadGeneratorSettings(&file, pars);
    QVERIFY(message);
    QVERIFY(message->startsWith("Не могу прочитать файл настроек '" + path()
                                + "': по этому пути находится каталог, а не файл.\nИспользуются значения по умолчанию."));
    QVERIFY(sameRecord(pars, defaultRecord()));
}

void TestSettings::utf8FileStaysUtf8_data()
{
    QTest::addColumn<QByteArray>("bom");
    QTest::newRow("UTF-8") << QByteArray();
    QTest::newRow("UTF-8 with byte-order mark") << QByteArray("\xEF\xBB\xBF");
}

void TestSettings::utf8FileStaysUtf8()
{
    QFETCH(QByteArray, bom);
    // What a Linux editor makes of the file.
    const QString edited = QStringLiteral("; заметки оператора\n[Приложение. Общие]\nСохранение настроек=1\n"
                                          "[Модуль G-740]\nГенератор. Начальная частота в кГц=12.5\n");
    store(path(), bom + edited.toUtf8());
    TIniFile file(path());
    QVERIFY(!file.unusableReason());
    GENERATOR_PARS pars;
    QCOMPARE(readGeneratorSettings(&file, pars), QStringList());
    QCOMPARE(double(pars.StartFrequency), 12.5);
    QVERIFY(readAutoSaveSetting(&file));

    pars.StartFrequency = 30;
    writeCurrentSettings(file, ProgramPath, true, pars);
    const QByteArray written = contentOf(path());
    QVERIFY(written.startsWith(bom + edited.toUtf8().left(20)));
    QCOMPARE(IniText::detectEncoding(written), bom.isEmpty() ? IniEncoding::Utf8 : IniEncoding::Utf8WithBom);
    const QString text = QString::fromUtf8(written.sliced(bom.size()));
    // Each section once, in one encoding.
    QCOMPARE(text.count(u"[Модуль G-740]"), 1);
    QCOMPARE(text.count(u"[Приложение. Общие]"), 1);
    QCOMPARE(text.count(u"Генератор. Начальная частота в кГц=30\n"), 1);
    QVERIFY(text.contains(u"[Файлы]\nГоловная программа=/opt/g740/bin/g740demo\n"));
    QCOMPARE(text.count(u"Генератор."), 19);

    // A Windows-1251 file stays Windows-1251.
    store(path(), moduleFile("Генератор. Кол-во приращений=5\r\n"));
    writeCurrentSettings(file, ProgramPath, false, pars);
    QCOMPARE(IniText::detectEncoding(contentOf(path())), IniEncoding::Cp1251);
    QCOMPARE(fromCp1251(contentOf(path())).count(u"[Модуль G-740]"), 1);
}

void TestSettings::unusableFileKeptByAutoSave()
{
    const QByteArray binary = moduleFile("") + QByteArray("\0\x01\x02\x03", 4);
    store(path(), binary);
    TIniFile automatic(path());
    QVERIFY_THROWS_EXCEPTION(IniFileError, writeCurrentSettings(automatic, ProgramPath, true, defaultRecord()));
    QCOMPARE(contentOf(path()), binary);

    // The operator's own save writes the settings.
    TIniFile requested(path());
    requested.setReplacesUnusableFile(true);
    writeCurrentSettings(requested, ProgramPath, true, defaultRecord());
    QVERIFY(!requested.unusableReason());
    QVERIFY(readAutoSaveSetting(&requested));
}

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
