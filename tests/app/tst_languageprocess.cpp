// The language of the real program without a window: --help and the
// headless mode's standard error, chosen by --lang or the settings file.

#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QtTest>

namespace {

struct Run
{
    int exitCode;
    QString out;
    QString err;
};

Run run(const QStringList &arguments, const QString &simulation = QString())
{
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    if (!simulation.isEmpty())
        environment.insert(QStringLiteral("MODLINK_SIM"), simulation);
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(G740DEMO_PATH), arguments);
    if (!program.waitForFinished(20000))
        program.kill();
    return {program.exitCode(), QString::fromUtf8(program.readAllStandardOutput()),
            QString::fromUtf8(program.readAllStandardError())};
}

} // namespace

class TestLanguageProcess : public QObject
{
    Q_OBJECT

private slots:
    void helpInEitherLanguage();
    void unknownLanguageIsABadCommandLine();
    void headlessReportFollowsTheChoice();
    void qtsOwnTextsFollowTheChoice_data();
    void qtsOwnTextsFollowTheChoice();
};

void TestLanguageProcess::helpInEitherLanguage()
{
    const Run english = run({QStringLiteral("--lang"), QStringLiteral("en"), QStringLiteral("--help")});
    QCOMPARE(english.exitCode, 0);
    QVERIFY2(english.out.contains(QStringLiteral("Exit codes:")), qPrintable(english.out));
    QVERIFY(english.out.contains(QStringLiteral("Show this help and exit.")));
    QVERIFY(!english.out.contains(QStringLiteral("Коды завершения")));

    const Run russian = run({QStringLiteral("--help")});
    QCOMPARE(russian.exitCode, 0);
    QVERIFY2(russian.out.contains(QStringLiteral("Коды завершения:")), qPrintable(russian.out));
    QVERIFY(russian.out.contains(QStringLiteral("--lang <LANG>")));
}

void TestLanguageProcess::unknownLanguageIsABadCommandLine()
{
    const Run result = run({QStringLiteral("--lang"), QStringLiteral("de"), QStringLiteral("--headless")});
    QCOMPARE(result.exitCode, 1);
    QVERIFY2(result.err.contains(QStringLiteral("--lang: ru или en, а не \"de\"")), qPrintable(result.err));
}

void TestLanguageProcess::headlessReportFollowsTheChoice()
{
    QTemporaryDir directory;
    QVERIFY(directory.isValid());
    const QString settings = directory.filePath(QStringLiteral("G740Config.ini"));
    QFile file(settings);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("[Interface]\r\nLanguage=en\r\n");
    file.close();
    const QString wrongVersion = QStringLiteral("version=3.2");

    // The choice kept in the settings file.
    const Run saved = run({QStringLiteral("--settings"), settings, QStringLiteral("--headless")}, wrongVersion);
    QCOMPARE(saved.exitCode, 4);
    QVERIFY2(saved.err.contains(QStringLiteral("Wrong version of library")), qPrintable(saved.err));

    // --lang is stronger than the settings file.
    const Run russian = run({QStringLiteral("--settings"), settings, QStringLiteral("--lang"), QStringLiteral("ru"),
                             QStringLiteral("--headless")},
                            wrongVersion);
    QCOMPARE(russian.exitCode, 4);
    QVERIFY2(russian.err.contains(QStringLiteral("Неправильная версия библиотеки")), qPrintable(russian.err));
}

// The command line's help and errors that Qt itself writes: one language per
// run, as the program's own texts.
void TestLanguageProcess::qtsOwnTextsFollowTheChoice_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("present");
    QTest::addColumn<QString>("absent");
    QTest::newRow("help, Russian") << QStringList{"--help"} << 0 << "Параметры:" << "Options:";
    QTest::newRow("help, Russian usage") << QStringList{"--help"} << 0 << "Использование:" << "Usage:";
    QTest::newRow("unknown option, Russian") << QStringList{"--bogus"} << 1 << "Неизвестный параметр «bogus»."
                                             << "Unknown option";
    QTest::newRow("help, English") << QStringList{"--lang", "en", "--help"} << 0 << "Options:" << "Параметры:";
    QTest::newRow("unknown option, English") << QStringList{"--lang", "en", "--bogus"} << 1
                                             << "Unknown option 'bogus'." << "Неизвестный";
}

void TestLanguageProcess::qtsOwnTextsFollowTheChoice()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, present);
    QFETCH(QString, absent);
    QTemporaryDir directory; // no saved language
    QVERIFY(directory.isValid());
    const Run result = run(QStringList{"--settings", directory.filePath("G740Config.ini")} + arguments);
    QCOMPARE(result.exitCode, exitCode);
    const QString text = result.out + result.err;
    QVERIFY2(text.contains(present), qPrintable(text));
    QVERIFY2(!text.contains(absent), qPrintable(text));
}

QTEST_GUILESS_MAIN(TestLanguageProcess)
#include "tst_languageprocess.moc"
