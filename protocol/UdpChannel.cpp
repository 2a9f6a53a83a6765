#include "UdpChannel.h"

#include "Ipv4Text.h"
#include "MessageCatalog.h"
#include "RequestMsg.h"
#include "ResponseMsg.h"

#include <QDebug>
#include <QString>

#include <arpa/inet.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <thread>

namespace {

int newDatagramSocket()
{
    return ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, IPPROTO_UDP);
}

int timevalToMs(const timeval& tv)
{
    return int(tv.tv_sec * 1000 + tv.tv_usec / 1000);
}

} // namespace

UdpChannel::UdpChannel()
    : m_socket(-1)
{
    std::memset(&m_destination, 0, sizeof(m_destination));
    m_destination.sin_family = AF_INET;
}

UdpChannel::~UdpChannel()
{
    close();
}

int UdpChannel::open(const char* address, int port)
{
    // Re-opening replaces the old socket rather than leaking it.
    close();
    const int socket = newDatagramSocket();
    if (socket < 0)
        return -1;
    std::memset(&m_destination, 0, sizeof(m_destination));
    m_destination.sin_family = AF_INET;
    m_destination.sin_port = htons(quint16(port));
    m_destination.sin_addr.s_addr = htonl(ipv4FromText(QString::fromLatin1(address ? address : "")));
    replaceSocket(socket);
    return 0;
}

void UdpChannel::close()
{
    if (m_socket < 0)
        return;
    replaceSocket(-1);
}

void UdpChannel::replaceSocket(int socket)
{
    std::lock_guard<std::mutex> lock(m_descriptorMutex);
    if (m_socket >= 0)
        ::close(m_socket);
    m_socket = socket;
    m_interrupted = false;
}

bool UdpChannel::renewSocket()
{
    const int fresh = newDatagramSocket();
    std::lock_guard<std::mutex> lock(m_descriptorMutex);
    // A channel woken meanwhile stays shut: a fresh socket would let the exchange wait on.
    if (m_interrupted) {
        if (fresh >= 0)
            ::close(fresh);
        return false;
    }
    if (m_socket >= 0)
        ::close(m_socket);
    m_socket = fresh;
    return fresh >= 0;
}

void UdpChannel::interrupt()
{
    std::lock_guard<std::mutex> lock(m_descriptorMutex);
    if (m_socket >= 0) {
        m_interrupted = true;
        // A shut-down datagram socket makes a waiting recv return 0 at once, and every later
        // send fail, until the socket is closed or replaced.
        ::shutdown(m_socket, SHUT_RDWR);
    }
}

bool UdpChannel::sendFrame(const quint8* frame, quint16 size)
{
    if (m_socket < 0)
        return false;
    // An address that did not parse is all ones; never let that become a broadcast.
    if (m_destination.sin_addr.s_addr == INADDR_NONE)
        return false;
    return sendToDestination(m_socket, frame, size) == ssize_t(size);
}

ssize_t UdpChannel::sendToDestination(int socket, const quint8* frame, quint16 size)
{
    return ::sendto(socket, frame, size, MSG_NOSIGNAL, reinterpret_cast<const sockaddr*>(&m_destination),
                    sizeof(m_destination));
}

ssize_t UdpChannel::receiveFrom(int socket, quint8* buffer, int capacity, int flags)
{
    return ::recv(socket, buffer, size_t(capacity), flags);
}

void UdpChannel::pauseBeforeResend()
{
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
}

int UdpChannel::receiveDatagram(quint8* buffer)
{
    // MSG_TRUNC reports the datagram's real size: one that did not fit is a failed receive,
    // not a truncated answer.
    const ssize_t received = receiveFrom(m_socket, buffer, kFrameBufferSize, MSG_TRUNC);
    if (received < 0 || received > kFrameBufferSize)
        return -1;
    return int(received);
}

void UdpChannel::discardQueued(quint8* buffer)
{
    // Whatever waits on the socket before a request goes out cannot be its answer: a doubled or
    // late answer to an earlier one. Bounded, so that a flood cannot hold the exchange.
    for (int i = 0; i < kMaxDiscarded && m_socket >= 0; ++i) {
        if (receiveFrom(m_socket, buffer, kFrameBufferSize, MSG_TRUNC | MSG_DONTWAIT) < 0)
            break;
    }
}

bool UdpChannel::applyReceiveTimeout(int wantedMs)
{
    timeval current {};
    socklen_t optionSize = sizeof(current);
    if (::getsockopt(m_socket, SOL_SOCKET, SO_RCVTIMEO, &current, &optionSize) != 0)
        return false;
    if (timevalToMs(current) == wantedMs)
        return true;
    timeval tv {};
    tv.tv_sec = wantedMs / 1000;
    tv.tv_usec = (wantedMs % 1000) * 1000;
    return ::setsockopt(m_socket, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof(tv)) == 0;
}

int UdpChannel::exchange(RequestMsg& request, ResponseMsg** response, int retries)
{
    const quint8* frame = nullptr;
    quint16 frameSize = 0;
    if (!request.encode(&frame, &frameSize))
        return -1;
    quint8 buffer[kFrameBufferSize];
    discardQueued(buffer);
    if (!sendFrame(frame, frameSize))
        return -1;
    const int wanted = request.receiveTimeout();
    if (!applyReceiveTimeout(wanted))
        return -1;

    // One wait per send; a failed receive or an answer to another request uses up a resend.
    bool sent = true;
    for (;;) {
        if (sent) {
            const int received = receiveDatagram(buffer);
            if (received == 0)
                return -1;
            if (received > 0) {
                const quint16 size = quint16(received);
                const int type = isSuccessFrame(buffer, size) ? request.messageType() : kSimpleResponseType;
                ResponseMsg* answer = createResponse(type);
                if (!answer)
                    return -1;
                *response = answer;
                if (answer->decode(buffer, size) != 0)
                    return -1;
                if (answer->sequence() == request.sequence())
                    return 0;

                // The answer belongs to another request (doubled or late): never hand it out. Move to
                // a new socket (and so a new local port) so that whatever else is still on its way to
                // the old one is never read, and ask again from there if a resend is left.
                qDebug().noquote()
                    << QStringLiteral("Id not eauque %1,%2").arg(request.messageType()).arg(answer->messageType());
                delete answer;
                *response = nullptr;
                if (!renewSocket() || !applyReceiveTimeout(wanted))
                    return -1;
            }
        }
        if (retries < 1)
            return -1;
        --retries;
        pauseBeforeResend();
        sent = sendFrame(frame, frameSize);
    }
}

int UdpChannel::receiveTimeoutMs() const
{
    if (m_socket < 0)
        return -1;
    timeval current {};
    socklen_t optionSize = sizeof(current);
    if (::getsockopt(m_socket, SOL_SOCKET, SO_RCVTIMEO, &current, &optionSize) != 0)
        return -1;
    return timevalToMs(current);
}

int UdpChannel::localPort() const
{
    if (m_socket < 0)
        return 0;
    sockaddr_in local {};
    socklen_t size = sizeof(local);
    if (::getsockname(m_socket, reinterpret_cast<sockaddr*>(&local), &size) != 0)
        return 0;
    return ntohs(local.sin_port);
}
