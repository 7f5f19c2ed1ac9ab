#include "front/TerminationSignals.h"

#include <QSocketNotifier>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

int TerminationSignals::s_pipe[2] = {-1, -1};

TerminationSignals::TerminationSignals(QObject *parent)
    : QObject(parent)
{
    if (s_pipe[0] >= 0 || ::pipe2(s_pipe, O_NONBLOCK | O_CLOEXEC) != 0)
        return; // one object per process; without a pipe the defaults stay
    m_notifier = new QSocketNotifier(s_pipe[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &TerminationSignals::readSignal);

    struct sigaction action = {};
    action.sa_handler = &TerminationSignals::handleSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (std::size_t i = 0; i < std::size(HandledSignals); ++i)
        sigaction(HandledSignals[i], &action, &m_previous[i]);
    m_installed = true;
}

TerminationSignals::~TerminationSignals()
{
    restoreHandlers();
    if (s_pipe[0] >= 0) {
        delete m_notifier;
        ::close(s_pipe[0]);
        ::close(s_pipe[1]);
        s_pipe[0] = s_pipe[1] = -1;
    }
}

void TerminationSignals::handleSignal(int signalNumber)
{
    const int savedErrno = errno;
    const unsigned char byte = static_cast<unsigned char>(signalNumber);
    [[maybe_unused]] const ssize_t written = ::write(s_pipe[1], &byte, 1);
    errno = savedErrno;
}

void TerminationSignals::readSignal()
{
    unsigned char byte = 0;
    int received = 0;
    while (::read(s_pipe[0], &byte, 1) == 1)
        received = byte;
    if (received == 0)
        return;
    restoreHandlers();
    emit terminationRequested(received);
}

void TerminationSignals::restoreHandlers()
{
    if (!m_installed)
        return;
    for (std::size_t i = 0; i < std::size(HandledSignals); ++i)
        sigaction(HandledSignals[i], &m_previous[i], nullptr);
    m_installed = false;
}
