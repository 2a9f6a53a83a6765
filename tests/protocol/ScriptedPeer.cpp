#include "ScriptedPeer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>

namespace {

int boundSocket(const char* address, quint16* port, quint16 wanted = 0)
{
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, IPPROTO_UDP);
    if (fd < 0)
        return -1;
    sockaddr_in local {};
    local.sin_family = AF_INET;
    local.sin_addr.s_addr = inet_addr(address);
    local.sin_port = htons(wanted);
    if ((ntohl(local.sin_addr.s_addr) >> 24) != 127
        || ::bind(fd, reinterpret_cast<sockaddr*>(&local), sizeof(local)) != 0) {
        ::close(fd);
        return -1;
    }
    socklen_t size = sizeof(local);
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&local), &size);
    if (port)
        *port = ntohs(local.sin_port);
    return fd;
}

} // namespace

ScriptedPeer::ScriptedPeer() = default;

ScriptedPeer::~ScriptedPeer()
{
    stop();
}

bool ScriptedPeer::start(const char* address, const char* otherAddress, quint16 port)
{
    m_socket = boundSocket(address, &m_port, port);
    if (m_socket < 0)
        return false;
    if (otherAddress) {
        m_otherSocket = boundSocket(otherAddress, nullptr);
        if (m_otherSocket < 0)
            return false;
    }
    m_running = true;
    m_thread = std::thread([this] { run(); });
    return true;
}

void ScriptedPeer::stop()
{
    m_running = false;
    if (m_thread.joinable())
        m_thread.join();
    if (m_socket >= 0)
        ::close(m_socket);
    if (m_otherSocket >= 0)
        ::close(m_otherSocket);
    m_socket = -1;
    m_otherSocket = -1;
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

int ScriptedPeer::receivedCount() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_received.size();
}

ScriptedPeer::Answer ScriptedPeer::reply(const QByteArray& datagram)
{
    Answer answer;
    answer.kind = Answer::Reply;
    answer.datagram = datagram;
    return answer;
}

void ScriptedPeer::run()
{
    const auto started = std::chrono::steady_clock::now();
    const auto deadline = started + std::chrono::seconds(60);
    char buffer[2048];
    while (m_running && std::chrono::steady_clock::now() < deadline) {
        pollfd pfd { m_socket, POLLIN, 0 };
        if (::poll(&pfd, 1, 20) <= 0)
            continue;
        sockaddr_in from {};
        socklen_t fromSize = sizeof(from);
        const ssize_t size
            = ::recvfrom(m_socket, buffer, sizeof(buffer), 0, reinterpret_cast<sockaddr*>(&from), &fromSize);
        if (size < 0)
            continue;
        // Answers go back only to loopback senders.
        if ((ntohl(from.sin_addr.s_addr) >> 24) != 127)
            continue;

        Datagram datagram;
        datagram.data = QByteArray(buffer, int(size));
        datagram.sourcePort = ntohs(from.sin_port);
        datagram.atMs
            = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - started).count();
        Script script;
        int index;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            index = m_received.size();
            m_received.append(datagram);
            script = m_script;
        }
        const Answer answer = script ? script(index, datagram.data) : Answer();
        const auto* to = reinterpret_cast<const sockaddr*>(&from);
        switch (answer.kind) {
        case Answer::Silent:
            break;
        case Answer::Reply:
            ::sendto(m_socket, answer.datagram.constData(), size_t(answer.datagram.size()), 0, to, fromSize);
            break;
        case Answer::ReplyFromOtherHost:
            ::sendto(m_otherSocket, answer.datagram.constData(), size_t(answer.datagram.size()), 0, to, fromSize);
            break;
        case Answer::ReplyFromBoth:
            ::sendto(m_otherSocket, answer.otherDatagram.constData(), size_t(answer.otherDatagram.size()), 0, to,
                     fromSize);
            ::sendto(m_socket, answer.datagram.constData(), size_t(answer.datagram.size()), 0, to, fromSize);
            break;
        }
    }
}
