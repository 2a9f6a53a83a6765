#include "StopSignals.h"

#include <QSocketNotifier>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace {
int ends[2] = { -1, -1 };

void onSignal(int)
{
    const char byte = 1;
    // Async-signal-safe; a full socket already holds a pending stop.
    [[maybe_unused]] ssize_t written = ::write(ends[0], &byte, 1);
}
} // namespace

StopSignals::StopSignals(QObject* parent)
    : QObject(parent)
{
    if (ends[0] != -1 || ::socketpair(AF_UNIX, SOCK_STREAM, 0, ends) != 0)
        return;
    notifier = new QSocketNotifier(ends[1], QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, &StopSignals::OnReadable);
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
}

StopSignals::~StopSignals()
{
    if (!notifier)
        return;
    signal(SIGTERM, SIG_DFL);
    signal(SIGINT, SIG_DFL);
    delete notifier;
    ::close(ends[0]);
    ::close(ends[1]);
    ends[0] = ends[1] = -1;
}

void StopSignals::OnReadable()
{
    char byte = 0;
    [[maybe_unused]] ssize_t got = ::read(ends[1], &byte, 1);
    emit Received();
}
