#include "front/TerminationSignals.h"

#include <QSignalSpy>
#include <QtTest>

#include <csignal>

class TestTerminationSignals : public QObject
{
    Q_OBJECT

private slots:
    void signalArrivesInTheEventLoop_data();
    void signalArrivesInTheEventLoop();
    void handlersAreRestoredWhenDestroyed();
};

void TestTerminationSignals::signalArrivesInTheEventLoop_data()
{
    QTest::addColumn<int>("signalNumber");
    QTest::newRow("SIGTERM") << SIGTERM;
    QTest::newRow("SIGINT") << SIGINT;
    QTest::newRow("SIGHUP") << SIGHUP;
}

void TestTerminationSignals::signalArrivesInTheEventLoop()
{
    QFETCH(int, signalNumber);
    struct sigaction before = {};
    sigaction(signalNumber, nullptr, &before);
    TerminationSignals termination;
    QSignalSpy requested(&termination, &TerminationSignals::terminationRequested);
    std::raise(signalNumber); // would end the test without the handler
    QVERIFY(requested.isEmpty()); // nothing happens inside the C handler
    QTRY_COMPARE(requested.size(), 1);
    QCOMPARE(requested.first().first().toInt(), signalNumber);
    // After the first signal the former handling is back, so a second
    // signal ends a program that does not end by itself.
    struct sigaction current = {};
    sigaction(signalNumber, nullptr, &current);
    QVERIFY(current.sa_handler == before.sa_handler);
}

void TestTerminationSignals::handlersAreRestoredWhenDestroyed()
{
    struct sigaction before = {};
    struct sigaction current = {};
    sigaction(SIGTERM, nullptr, &before);
    {
        TerminationSignals termination;
        sigaction(SIGTERM, nullptr, &current);
        QVERIFY(current.sa_handler != before.sa_handler);
    }
    sigaction(SIGTERM, nullptr, &current);
    QVERIFY(current.sa_handler == before.sa_handler);
}

QTEST_GUILESS_MAIN(TestTerminationSignals)

#include "tst_terminationsignals.moc"
