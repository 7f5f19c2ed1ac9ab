#include "instrument/Instrument.h"
#include "instrument/InstrumentSets.h"
#include "remote/G740Remote.h"
#include "settings/IniFile.h"
#include "settings/IniText.h"
#include "settings/SettingsKeys.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

// Remote control on a real settings file, through a socket, as the headless
// program wires it: saves and sets go through the fair turns and their
// kept-back writes.
class TestRemoteSettings : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void burstsOfWritesCoalesce_data();
    void burstsOfWritesCoalesce();
    void answerMeansWritten_data();
    void answerMeansWritten();
    void failedWriteIsReported();
    void stringsKeepEveryCharacter_data();
    void stringsKeepEveryCharacter();

private:
    QByteArray ask(const QByteArray &line);
    QByteArray fileContent() const;

    QTemporaryDir m_dir;
    QString m_path;
    std::unique_ptr<Instrument> m_instrument;
    std::unique_ptr<G740Remote> m_remote;
    std::unique_ptr<QTcpSocket> m_client;
};

void TestRemoteSettings::init()
{
    qunsetenv("MODLINK_SIM");
    m_path = m_dir.filePath(QStringLiteral("G740Config.ini"));
    QFile::remove(m_path);
    m_instrument = std::make_unique<Instrument>();
    QVERIFY(!m_instrument->detect());

    G740Program program;
    const InstrumentSets sets(*m_instrument, m_path);
    program.setNames = [sets] { return sets.names(); };
    program.storeSet = [sets](const QString &name) { return sets.save(name); };
    program.loadSet = [sets](const QString &name) { return sets.load(name); };
    program.saveSettings = [this]() -> std::optional<QString> {
        try {
            TIniFile file(m_path);
            writeCurrentSettings(file, QStringLiteral("/opt/g740demo"), false, m_instrument->record());
        } catch (const std::exception &error) {
            return QString::fromUtf8(error.what());
        }
        return std::nullopt;
    };
    m_remote = std::make_unique<G740Remote>(*m_instrument, program);
    QVERIFY(m_remote->listen(QHostAddress(QHostAddress::LocalHost), 0));
    m_client = std::make_unique<QTcpSocket>();
    m_client->connectToHost(QHostAddress(QHostAddress::LocalHost), m_remote->port());
    QVERIFY(m_client->waitForConnected(5000));
}

void TestRemoteSettings::cleanup()
{
    TIniFile::setWriteFailureAfter(std::nullopt);
    m_client.reset();
    m_remote.reset();
    m_instrument.reset();
}

QByteArray TestRemoteSettings::ask(const QByteArray &line)
{
    m_client->write(line + '\n');
    QElapsedTimer timer;
    timer.start();
    while (!m_client->canReadLine() && timer.elapsed() < 20000)
        QTest::qWait(1);
    return m_client->canReadLine() ? m_client->readLine() : QByteArray("(no answer)");
}

QByteArray TestRemoteSettings::fileContent() const
{
    QFile file(m_path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void TestRemoteSettings::burstsOfWritesCoalesce_data()
{
    QTest::addColumn<QByteArray>("work");
    QTest::addColumn<int>("maxReplacements");
    QTest::addColumn<QByteArray>("expectedInFile");

    QTest::newRow("saves in one line") << ":FREQ:STAR 5 KHZ;:SYST:SETT:SAVE" + QByteArray(";SAVE").repeated(2000) + '\n'
                                       << 1 << QByteArray("=5\r\n");
    QTest::newRow("the same set stored line after line")
        << QByteArray("MEM:STOR \"a\"\n").repeated(1000) << 1 << QByteArray("G-740: a]");
    QTest::newRow("saves beside changes") << QByteArray(":FREQ:STAR 5 KHZ;:SYST:SETT:SAVE;:FREQ:STAR 6 KHZ;:SYST:SETT:SAVE\n")
                                          << 1 << QByteArray("=6\r\n");
}

void TestRemoteSettings::burstsOfWritesCoalesce()
{
    QFETCH(QByteArray, work);
    QFETCH(int, maxReplacements);
    QFETCH(QByteArray, expectedInFile);
    const int before = TIniFile::replacementCount();
    m_client->write(work);
    QCOMPARE(ask("*OPC?"), QByteArray("1\n"));
    QVERIFY2(TIniFile::replacementCount() - before <= maxReplacements,
             qPrintable(QString::number(TIniFile::replacementCount() - before)));
    QVERIFY2(fileContent().contains(expectedInFile), fileContent().constData());
    QCOMPARE(ask("SYST:ERR?"), QByteArray("0,\"No error\"\n"));
}

void TestRemoteSettings::answerMeansWritten_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QByteArray>("expectedInFile");
    QTest::newRow("save, then a query") << QByteArray(":FREQ:STAR 7 KHZ;:SYST:SETT:SAVE;*OPC?") << QByteArray("=7\r\n");
    QTest::newRow("set stored, then a query") << QByteArray("MEM:STOR \"b\";*OPC?") << QByteArray("G-740: b]");
    QTest::newRow("query in the middle") << QByteArray("MEM:STOR \"c\";*OPC?;:FREQ:STAR 9 KHZ") << QByteArray("G-740: c]");
}

void TestRemoteSettings::answerMeansWritten()
{
    // Read the moment the answer is here, before the event loop turns again.
    QFETCH(QByteArray, line);
    QFETCH(QByteArray, expectedInFile);
    m_client->write(line + '\n');
    QTRY_VERIFY(m_client->canReadLine());
    QVERIFY2(fileContent().contains(expectedInFile), fileContent().constData());
}

void TestRemoteSettings::failedWriteIsReported()
{
    QCOMPARE(ask("MEM:STOR \"first\";*OPC?"), QByteArray("1\n"));
    const QByteArray kept = fileContent();
    TIniFile::setWriteFailureAfter(10);
    const QByteArray answer = ask("MEM:STOR \"second\";:SYST:ERR?");
    QVERIFY2(answer.startsWith("-200,\"Execution error;"), answer.constData());
    QCOMPARE(fileContent(), kept);
    TIniFile::setWriteFailureAfter(std::nullopt);
    // The failed write is not made later behind the client's back.
    QCOMPARE(ask("MEM:CAT?"), QByteArray("1,\"first\"\n"));
}

void TestRemoteSettings::stringsKeepEveryCharacter_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QByteArray>("name"); // as sent, between the quotes
    QTest::addColumn<int>("error");
    QTest::addColumn<QByteArray>("catalogue");

    const QByteArray utf8File = QStringLiteral("; настройки\r\n").toUtf8();
    const QByteArray cp1251File = "; plain\r\n";
    for (const auto &[encoding, file] : {std::pair{"UTF-8", utf8File}, std::pair{"Windows-1251", cp1251File}}) {
        QTest::addRow("%s file, byte that is no UTF-8", encoding) << file << QByteArray("a\xFF" "b") << -102 << QByteArray("0");
        QTest::addRow("%s file, sequence cut short", encoding) << file << QByteArray("a\xD0") << -102 << QByteArray("0");
        QTest::addRow("%s file, Cyrillic", encoding)
            << file << QStringLiteral("Фильтр").toUtf8() << 0 << "1,\"" + QStringLiteral("Фильтр").toUtf8() + '"';
    }
    QTest::newRow("UTF-8 file keeps a leading U+FEFF")
        << utf8File << QByteArray("\xEF\xBB\xBFset") << 0 << QByteArray("1,\"\xEF\xBB\xBFset\"");
    QTest::newRow("Windows-1251 file refuses U+FEFF with a reason")
        << cp1251File << QByteArray("\xEF\xBB\xBFset") << -200 << QByteArray("0");
}

void TestRemoteSettings::stringsKeepEveryCharacter()
{
    QFETCH(QByteArray, file);
    QFETCH(QByteArray, name);
    QFETCH(int, error);
    QFETCH(QByteArray, catalogue);
    {
        QFile settings(m_path);
        QVERIFY(settings.open(QIODevice::WriteOnly));
        settings.write(file);
    }
    m_client->write("MEM:STOR \"" + name + "\"\n");
    const QByteArray answer = ask("SYST:ERR?;:MEM:CAT?").chopped(1);
    QCOMPARE(answer.left(answer.indexOf(',')).toInt(), error);
    QCOMPARE(answer.mid(answer.lastIndexOf(';') + 1), catalogue);
    // A refusal says why.
    if (error == -200)
        QVERIFY2(answer.contains("Windows-1251"), answer.constData());
}

QTEST_GUILESS_MAIN(TestRemoteSettings)
#include "tst_remotesettings.moc"
