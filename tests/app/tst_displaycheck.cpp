#include <QProcess>
#include <QProcessEnvironment>
#include <QtTest>

// Runs the real program without a usable display: it must end at once with
// exit code 2 and one line that says how to run it without a display, not
// with Qt's abort.
class TestDisplayCheck : public QObject
{
    Q_OBJECT

private slots:
    void withoutDisplayOneLineAndCodeTwo_data();
    void withoutDisplayOneLineAndCodeTwo();
};

void TestDisplayCheck::withoutDisplayOneLineAndCodeTwo_data()
{
    QTest::addColumn<QString>("display");
    QTest::addColumn<QString>("platform");
    QTest::addColumn<QString>("reason");
    QTest::newRow("nothing set") << QString() << QString() << QStringLiteral("DISPLAY и WAYLAND_DISPLAY не заданы");
    // Nothing listens on this display number, so the connection is refused.
    QTest::newRow("display does not answer") << QStringLiteral(":4711") << QString()
                                             << QStringLiteral("нет связи с графическим дисплеем :4711");
    QTest::newRow("x11 platform chosen, no display") << QString() << QStringLiteral("xcb")
                                                     << QStringLiteral("нет связи с графическим дисплеем");
}

void TestDisplayCheck::withoutDisplayOneLineAndCodeTwo()
{
    QFETCH(QString, display);
    QFETCH(QString, platform);
    QFETCH(QString, reason);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(QLatin1String(name));
    if (!display.isEmpty())
        environment.insert(QStringLiteral("DISPLAY"), display);
    if (!platform.isEmpty())
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), platform);
    // Settings and library lookups stay away from the build tree.
    QTemporaryDir home;
    environment.insert(QStringLiteral("HOME"), home.path());

    QProcess program;
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(G740DEMO_PATH), {});
    QVERIFY2(program.waitForFinished(30000), "the program did not end by itself");
    const QString errors = QString::fromUtf8(program.readAllStandardError());
    QCOMPARE(program.exitStatus(), QProcess::NormalExit); // no abort
    QCOMPARE(program.exitCode(), 2);
    QCOMPARE(errors.count(QLatin1Char('\n')), 1);
    QVERIFY2(errors.contains(reason), qPrintable(errors));
    QVERIFY2(errors.contains(QStringLiteral("QT_QPA_PLATFORM=offscreen " G740DEMO_PATH)), qPrintable(errors));
    QVERIFY2(errors.contains(QStringLiteral("xvfb-run " G740DEMO_PATH)), qPrintable(errors));
    // What a user on plain ssh wants: the run without a window.
    QVERIFY2(errors.contains(QStringLiteral(G740DEMO_PATH " --headless")), qPrintable(errors));
    QVERIFY(program.readAllStandardOutput().isEmpty());
}

QTEST_GUILESS_MAIN(TestDisplayCheck)
#include "tst_displaycheck.moc"
