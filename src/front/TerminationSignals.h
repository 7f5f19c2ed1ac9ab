#pragma once

#include <QObject>

#include <csignal>

class QSocketNotifier;

// Turns SIGTERM, SIGINT and SIGHUP into a Qt signal on the main thread, so
// that the program ends through its own closing sequence instead of being cut
// off. The C handler only writes the signal's number into a pipe; the pipe's
// notifier does the rest in the event loop. After the first signal the
// default handling is back, so a second signal ends a program that hangs.
class TerminationSignals : public QObject
{
    Q_OBJECT

public:
    explicit TerminationSignals(QObject *parent = nullptr);
    ~TerminationSignals() override;

signals:
    void terminationRequested(int signalNumber);

private:
    static void handleSignal(int signalNumber);
    void readSignal();
    void restoreHandlers();

    static constexpr int HandledSignals[] = {SIGTERM, SIGINT, SIGHUP};
    static int s_pipe[2];
    QSocketNotifier *m_notifier = nullptr;
    struct sigaction m_previous[std::size(HandledSignals)] = {};
    bool m_installed = false;
};
