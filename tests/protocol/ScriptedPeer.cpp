#include "ScriptedPeer.h"

#include <arpa/inet.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>

namespace {

int boundSocket(const char* address, quint16* port, quint16 wanted = 0)
{
    sockaddr_in local {};
    local.sin_family = AF_INET;
    local.sin_addr.s_addr = inet_addr(address);
    local.sin_port = htons(wanted);
    socklen_t size = sizeof(local);
    const int fd = (ntohl(local.sin_addr.s_addr) >> 24) == 127 ? ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, IPPROTO_UDP) : -1;
    if (fd >= 0 && (::bind(fd, reinterpret_cast<sockaddr*>(&local), size) != 0
                    || ::getsockname(fd, reinterpret_cast<sockaddr*>(&local), &size) != 0)) {
        ::close(fd);
        return -1;
    }
    if (port)
        *port = ntohs(local.sin_port);
    return fd;
}

} // namespace

bool ScriptedPeer::start(const char* address, const char* otherAddress, quint16 port)
{
    m_socket = boundSocket(address, &m_port, port);
    m_otherSocket = otherAddress ? boundSocket(otherAddress, nullptr) : -1;
    if (m_socket < 0 || (otherAddress && m_otherSocket < 0))
        return false;
    m_running = true;
    m_thread = std::thread([this] { run(); });
    return true;
}

void ScriptedPeer::stop()
{
    m_running = false;
    if (m_thread.joinable())
        m_thread.join();
    for (int* fd : { &m_socket, &m_otherSocket })
        if (*fd >= 0)
            ::close(*fd), *fd = -1;
}

void ScriptedPeer::setScript(const Script& script)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_script = script;
}

QList<ScriptedPeer::Datagram> ScriptedPeer::received() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_received;
}

void ScriptedPeer::run()
{
    using namespace std::chrono;
    const auto started = steady_clock::now();
    char buffer[2048];
    while (m_running && steady_clock::now() < started + seconds(60)) {
        pollfd pfd { m_socket, POLLIN, 0 };
        sockaddr_in from {};
        socklen_t fromSize = sizeof(from);
        const ssize_t size = ::poll(&pfd, 1, 20) > 0
            ? ::recvfrom(m_socket, buffer, sizeof(buffer), 0, reinterpret_cast<sockaddr*>(&from), &fromSize) : -1;
        if (size < 0 || (ntohl(from.sin_addr.s_addr) >> 24) != 127) // answers go back only to loopback senders
            continue;
        const Datagram datagram { QByteArray(buffer, int(size)), ntohs(from.sin_port),
                                  duration_cast<milliseconds>(steady_clock::now() - started).count() };
        Script script;
        int index;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            index = m_received.size();
            m_received.append(datagram);
            script = m_script;
        }
        const Answer answer = script ? script(index, datagram.data) : Answer();
        const auto send = [&](int fd, const QByteArray& data) {
            ::sendto(fd, data.constData(), size_t(data.size()), 0, reinterpret_cast<const sockaddr*>(&from), fromSize);
        };
        if (answer.kind == Answer::ReplyFromBoth)
            send(m_otherSocket, answer.otherDatagram);
        if (answer.kind != Answer::Silent)
            send(answer.kind == Answer::ReplyFromOtherHost ? m_otherSocket : m_socket, answer.datagram);
    }
}
