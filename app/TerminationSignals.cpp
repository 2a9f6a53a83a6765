#include "TerminationSignals.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace {
int pipeEnds[2] = {-1, -1};

void onTerminationSignal(int)
{
    const char byte = 1;
    // Async-signal-safe; a full pipe already holds a pending request.
    [[maybe_unused]] ssize_t written = ::write(pipeEnds[0], &byte, 1);
}
} // namespace
#endif

TerminationSignals::TerminationSignals(QWidget* window, QObject* parent)
    : QObject(parent)
    , window(window)
{
#ifdef Q_OS_UNIX
    if (pipeEnds[0] != -1 || ::socketpair(AF_UNIX, SOCK_STREAM, 0, pipeEnds) != 0) {
        qDebug("TerminationSignals: no signal pipe; SIGTERM ends the program without a backup");
        return;
    }
    notifier = new QSocketNotifier(pipeEnds[1], QSocketNotifier::Read, this);
    connect(notifier, SIGNAL(activated(int)), this, SLOT(OnSignal()));

    struct sigaction action = {};
    action.sa_handler = onTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
#endif
}

TerminationSignals::~TerminationSignals()
{
#ifdef Q_OS_UNIX
    if (!notifier)
        return;
    signal(SIGTERM, SIG_DFL);
    signal(SIGINT, SIG_DFL);
    delete notifier;
    ::close(pipeEnds[0]);
    ::close(pipeEnds[1]);
    pipeEnds[0] = pipeEnds[1] = -1;
#endif
}

void TerminationSignals::OnSignal()
{
#ifdef Q_OS_UNIX
    char byte = 0;
    [[maybe_unused]] ssize_t got = ::read(pipeEnds[1], &byte, 1);
#endif
    // Closing the window writes the backup; quitting also ends any modal dialog's loop, and a
    // dialog opened afterwards returns at once, so nothing can hold the program open.
    if (window)
        window->close();
    QCoreApplication::quit();
}
