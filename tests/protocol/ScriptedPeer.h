#ifndef SCRIPTEDPEER_H
#define SCRIPTEDPEER_H

#include <QByteArray>
#include <QList>

#include <arpa/inet.h>
#include <poll.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <thread>

// A loopback UDP peer for exchange tests: it records every datagram it receives and answers as the script
// says, from its own thread, on 127.0.0.1 (and from 127.0.0.2 for answers from another host). The thread
// ends after a minute at the latest.
class ScriptedPeer
{
public:
    struct Answer { QByteArray datagram, fromOtherHost; }; // a null array is not sent; fromOtherHost goes first
    struct Datagram { QByteArray data; quint16 sourcePort; qint64 atMs; }; // atMs: since start()
    using Script = std::function<Answer(int index, const QByteArray& request)>; // index counts from 0

    ~ScriptedPeer()
    {
        running = false;
        if (thread.joinable())
            thread.join();
        ::close(fd[0]), ::close(fd[1]);
    }
    bool start(const Script& script = Script())
    {
        setScript(script);
        for (int i : { 0, 1 }) {
            sockaddr_in local { AF_INET, 0, { inet_addr(i ? "127.0.0.2" : "127.0.0.1") }, {} };
            socklen_t size = sizeof(local);
            fd[i] = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, IPPROTO_UDP);
            if (::bind(fd[i], reinterpret_cast<sockaddr*>(&local), size) != 0 || ::getsockname(fd[i], reinterpret_cast<sockaddr*>(&local), &size) != 0)
                return false;
            port = i ? port : ntohs(local.sin_port);
        }
        running = true;
        thread = std::thread([this] { run(); });
        return true;
    }
    void setScript(const Script& s)
    {
        std::lock_guard<std::mutex> lock(mutex);
        script = s;
    }
    QList<Datagram> received() const
    {
        std::lock_guard<std::mutex> lock(mutex);
        return log;
    }
    quint16 port = 0;

private:
    void run()
    {
        using namespace std::chrono;
        const auto started = steady_clock::now();
        char buffer[2048];
        while (running && steady_clock::now() < started + seconds(60)) {
            pollfd pfd { fd[0], POLLIN, 0 };
            sockaddr_in from {};
            socklen_t size = sizeof(from);
            const ssize_t n = ::poll(&pfd, 1, 20) > 0 ? ::recvfrom(fd[0], buffer, sizeof(buffer), 0, reinterpret_cast<sockaddr*>(&from), &size) : -1;
            if (n < 0 || (ntohl(from.sin_addr.s_addr) >> 24) != 127) // answers go back only to loopback senders
                continue;
            std::lock_guard<std::mutex> lock(mutex);
            log.append(Datagram { QByteArray(buffer, int(n)), ntohs(from.sin_port), duration_cast<milliseconds>(steady_clock::now() - started).count() });
            const Answer answer = script ? script(log.size() - 1, log.last().data) : Answer();
            const QByteArray* out[2] = { &answer.datagram, &answer.fromOtherHost };
            for (int i : { 1, 0 })
                if (!out[i]->isNull())
                    ::sendto(fd[i], out[i]->constData(), size_t(out[i]->size()), 0, reinterpret_cast<sockaddr*>(&from), size);
        }
    }

    int fd[2] = { -1, -1 };
    std::atomic<bool> running { false };
    std::thread thread;
    mutable std::mutex mutex;
    Script script;
    QList<Datagram> log;
};

#endif // SCRIPTEDPEER_H
