// divevod-sim: a stand-in ACO GPIO device on a loopback UDP port, for demos and tests of DiveVod.
#include "DeviceSimulator.h"
#include "SimConsole.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace {

int signalPipe[2] = { -1, -1 };

void onSignal(int)
{
    const char c = 1;
    [[maybe_unused]] ssize_t n = ::write(signalPipe[1], &c, 1);
}

void say(FILE* stream, const QString& text)
{
    if (text.isEmpty())
        return;
    std::fputs(text.toLocal8Bit().constData(), stream);
    std::fputc('\n', stream);
    std::fflush(stream);
}

} // namespace

int main(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);

    SimConsole::Options options;
    QString error;
    if (!SimConsole::parseArguments(arguments, &options, &error)) {
        say(stderr, QStringLiteral("divevod-sim: %1\nTry 'divevod-sim --help'.").arg(error));
        return 2;
    }
    if (options.help) {
        say(stdout, SimConsole::usage());
        return 0;
    }

    // SIGINT and SIGTERM only wake the loop below, so that sockets close in order.
    if (::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        say(stderr, QStringLiteral("divevod-sim: cannot create the signal pipe"));
        return 1;
    }
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    std::signal(SIGPIPE, SIG_IGN);

    DeviceSimulator simulator(options.state);
    if (!simulator.start(options.bindAddress, options.port)) {
        say(stderr,
            QStringLiteral("divevod-sim: cannot answer on %1:%2 (port in use or address not available)")
                .arg(options.bindAddress)
                .arg(options.port));
        return 1;
    }
    for (const SimConsole::PartnerOption& partner : options.partners) {
        if (!simulator.addPartner(partner.address, SimConsole::PartnerPort)) {
            say(stderr,
                QStringLiteral("divevod-sim: cannot answer as partner on %1:%2 (port in use or address not "
                               "available)")
                    .arg(partner.address)
                    .arg(SimConsole::PartnerPort));
            return 1;
        }
        simulator.setPartnerAnswering(partner.address, partner.answering);
    }
    if (options.lively)
        simulator.setLively(true);

    // Printed once everything answers, so that whoever waits for these lines may start at once.
    say(stdout,
        QStringLiteral("divevod-sim: device listening on %1:%2 (admin password \"%3\", guest password \"%4\")")
            .arg(simulator.address())
            .arg(simulator.port())
            .arg(options.state.adminPassword, options.state.guestPassword));
    for (int i = 0; i < options.partners.size(); ++i) {
        const SimConsole::PartnerOption& partner = options.partners[i];
        say(stdout,
            QStringLiteral("divevod-sim: partner %1:%2 %3 (%4)")
                .arg(partner.address)
                .arg(SimConsole::PartnerPort)
                .arg(partner.answering ? QStringLiteral("answering") : QStringLiteral("silent"),
                     i == 0 ? QStringLiteral("main remote device") : QStringLiteral("slave %1").arg(i)));
    }
    if (options.lively)
        say(stdout, QStringLiteral("divevod-sim: lively"));
    if (!options.noStdin && ::isatty(STDIN_FILENO))
        say(stdout, QStringLiteral("Type help for commands."));

    SimConsole console(simulator);
    QByteArray pending;
    bool running = true;
    while (running) {
        pollfd fds[2] = { { signalPipe[0], POLLIN, 0 }, { STDIN_FILENO, POLLIN, 0 } };
        const nfds_t count = options.noStdin ? 1 : 2;
        if (::poll(fds, count, -1) < 0) {
            if (errno == EINTR)
                continue;
            break;
        }
        if (fds[0].revents & POLLIN) {
            say(stdout, QStringLiteral("divevod-sim: signal received, exiting"));
            break;
        }
        if (count < 2 || !(fds[1].revents & (POLLIN | POLLHUP | POLLERR | POLLNVAL)))
            continue;

        char buffer[4096];
        const ssize_t n = (fds[1].revents & POLLNVAL) ? 0 : ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (n < 0 && (errno == EINTR || errno == EAGAIN))
            continue;
        const bool atEnd = n <= 0;
        if (n > 0)
            pending.append(buffer, int(n));
        if (atEnd && !pending.isEmpty() && !pending.endsWith('\n'))
            pending.append('\n'); // a last line without newline still counts

        int newline = -1;
        while (running && (newline = pending.indexOf('\n')) >= 0) {
            const QString line = QString::fromLocal8Bit(pending.left(newline));
            pending.remove(0, newline + 1);
            bool quit = false;
            say(stdout, console.execute(line, &quit));
            running = !quit;
        }
        if (atEnd)
            break;
    }

    simulator.stop();
    ::close(signalPipe[0]);
    ::close(signalPipe[1]);
    return 0;
}
