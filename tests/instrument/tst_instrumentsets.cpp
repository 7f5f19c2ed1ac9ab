#include "DefaultRecord.h"
#include "instrument/Instrument.h"
#include "instrument/InstrumentSets.h"
#include "instrument/InstrumentTexts.h"
#include "settings/IniFile.h"
#include "settings/ParameterSets.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>
#include <cstring>

using Kind = InstrumentFailure::Kind;

namespace {

bool sameRecord(const GENERATOR_PARS &a, const GENERATOR_PARS &b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

// The parameter sets on the instrument, against the stand-in library.
class TestInstrumentSets : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void savedSetComesBackAsTheRecord();
    void loadRefusedWhileRunning();
    void refusalsAndMissingSets();
    void failedWriteLeavesTheFile();

private:
    QString settingsPath() const { return m_dir.filePath(QStringLiteral("G740Config.ini")); }

    QTemporaryDir m_dir;
};

void TestInstrumentSets::init()
{
    qputenv("MODLINK_SIM", "");
    QFile::remove(settingsPath());
    QFile::setPermissions(m_dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

// A set is stored from the record, replaces the record later with the
// origin passed on, and is what the next start sends to the module.
void TestInstrumentSets::savedSetComesBackAsTheRecord()
{
    Instrument instrument;
    QVERIFY(!instrument.detect());
    InstrumentSets sets(instrument, settingsPath());
    QCOMPARE(sets.names(), QStringList());

    GENERATOR_PARS filter = defaultRecord();
    filter.StartFrequency = 1000.0;
    filter.FrequencyIncrement = 900.0;
    filter.NumberOfIncrements = 10;
    filter.AnalogOutputsGainIndex = 3;
    QVERIFY(!instrument.setRecord(filter));
    const GENERATOR_PARS saved = instrument.record();
    QCOMPARE(failureText(sets.save(QStringLiteral("Проверка фильтра 1–10 кГц"))), std::nullopt);

    GENERATOR_PARS other = defaultRecord();
    other.StartFrequency = 77.0;
    QVERIFY(!sets.save(QStringLiteral("Другой"), other)); // not the instrument's record
    QVERIFY(!instrument.setRecord(defaultRecord()));
    QCOMPARE(sets.names(), QStringList({QStringLiteral("Проверка фильтра 1–10 кГц"), QStringLiteral("Другой")}));

    QSignalSpy changed(&instrument, &Instrument::recordChanged);
    GENERATOR_PARS loaded;
    QVERIFY(!sets.load(QStringLiteral("проверка ФИЛЬТРА 1–10 кгц"), this, &loaded));
    QVERIFY(sameRecord(instrument.record(), saved));
    QCOMPARE(changed.count(), 1);
    QCOMPARE(changed.at(0).at(0).value<QObject *>(), this);
    QCOMPARE(double(loaded.StartFrequency), 1000.0);

    QVERIFY(!instrument.start());
    QVERIFY(std::abs(instrument.actualValues().startFrequency - 1000.0) < 1.0);
    QVERIFY(!instrument.stop());

    QVERIFY(!sets.load(QStringLiteral("Другой")));
    QCOMPARE(double(instrument.record().StartFrequency), 77.0);

    // A name saved again in other letters replaces the set, keeping one.
    QVERIFY(!sets.save(QStringLiteral("ДРУГОЙ")));
    QCOMPARE(sets.names().size(), 2);
    QVERIFY(!sets.remove(QStringLiteral("другой")));
    QCOMPARE(sets.names(), QStringList({QStringLiteral("Проверка фильтра 1–10 кГц")}));
    QVERIFY(!sets.contains(QStringLiteral("Другой")));
}

// While the generator runs no set replaces the record, whether the set
// exists or not; saving and removing are not changes of the record.
void TestInstrumentSets::loadRefusedWhileRunning()
{
    Instrument instrument;
    QVERIFY(!instrument.detect());
    InstrumentSets sets(instrument, settingsPath());
    GENERATOR_PARS set = defaultRecord();
    set.StartFrequency = 5000.0;
    QVERIFY(!sets.save(QStringLiteral("Набор"), set));

    QVERIFY(!instrument.start());
    const GENERATOR_PARS before = instrument.record();
    QSignalSpy changed(&instrument, &Instrument::recordChanged);
    for (const QString &name : {QStringLiteral("Набор"), QStringLiteral("Нет такого")}) {
        const InstrumentOutcome refused = sets.load(name);
        QVERIFY(refused);
        QCOMPARE(refused->kind, Kind::Refused);
        QCOMPARE(refused->text, InstrumentTexts::setRefusedWhileRunning());
    }
    QVERIFY(sameRecord(instrument.record(), before));
    QCOMPARE(changed.count(), 0);
    QVERIFY(!sets.save(QStringLiteral("Во время работы")));
    QVERIFY(!sets.remove(QStringLiteral("Набор")));

    QVERIFY(!instrument.stop());
    QVERIFY(!sets.load(QStringLiteral("Во время работы")));
}

// What the settings file cannot give or hold is told with its reason, and
// changes nothing.
void TestInstrumentSets::refusalsAndMissingSets()
{
    Instrument instrument;
    InstrumentSets sets(instrument, settingsPath());
    QVERIFY(!sets.save(QStringLiteral("Есть")));
    const QByteArray stored = fileBytes(settingsPath());
    const GENERATOR_PARS before = instrument.record();

    for (const InstrumentOutcome &missing :
         {sets.load(QStringLiteral("Нет")), sets.remove(QStringLiteral("Нет"))}) {
        QVERIFY(missing);
        QCOMPARE(missing->kind, Kind::SettingsFile);
        QVERIFY2(missing->text.contains(QStringLiteral("\"Нет\"")), qPrintable(missing->text));
    }
    for (const QString &name : {QStringLiteral("  "), QStringLiteral("a[1]"), QString(65, QLatin1Char('x')),
                                QStringLiteral("Γ-740")}) {
        const InstrumentOutcome refused = sets.save(name);
        QVERIFY2(refused, qPrintable(name));
        QCOMPARE(refused->kind, Kind::SettingsFile);
        QCOMPARE(std::optional<QString>(refused->text), sets.nameProblem(name));
    }
    QCOMPARE(sets.nameProblem(QString(64, QChar(0x0416))), std::nullopt);
    QCOMPARE(fileBytes(settingsPath()), stored);
    QVERIFY(sameRecord(instrument.record(), before));
}

void TestInstrumentSets::failedWriteLeavesTheFile()
{
    Instrument instrument;
    InstrumentSets sets(instrument, settingsPath());
    QVERIFY(!sets.save(QStringLiteral("Есть")));
    const QByteArray stored = fileBytes(settingsPath());
    QFile::setPermissions(settingsPath(), QFile::ReadOwner);
    QFile::setPermissions(m_dir.path(), QFile::ReadOwner | QFile::ExeOwner);

    for (const InstrumentOutcome &failed : {sets.save(QStringLiteral("Новый")), sets.remove(QStringLiteral("Есть"))}) {
        QVERIFY(failed);
        QCOMPARE(failed->kind, Kind::SettingsFile);
        QVERIFY2(failed->text.contains(QStringLiteral("G740Config.ini")), qPrintable(failed->text));
    }
    QCOMPARE(fileBytes(settingsPath()), stored);
    QCOMPARE(sets.names(), QStringList({QStringLiteral("Есть")}));
    QFile::setPermissions(settingsPath(), QFile::ReadOwner | QFile::WriteOwner);
}

QTEST_GUILESS_MAIN(TestInstrumentSets)
#include "tst_instrumentsets.moc"
