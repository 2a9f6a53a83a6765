#include "RawUdpClient.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

sockaddr_in makeAddress(const QString& address, quint16 port)
{
    sockaddr_in a = sockaddr_in();
    a.sin_family = AF_INET;
    a.sin_port = htons(port);
    ::inet_pton(AF_INET, address.toLatin1().constData(), &a.sin_addr);
    return a;
}

} // namespace

RawUdpClient::RawUdpClient(const QString& localAddress)
{
    m_fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, IPPROTO_UDP);
    if (m_fd < 0)
        return;
    const sockaddr_in local = makeAddress(localAddress, 0);
    if (::bind(m_fd, reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0) {
        ::close(m_fd);
        m_fd = -1;
    }
}

RawUdpClient::~RawUdpClient()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

bool RawUdpClient::send(const QByteArray& datagram, const QString& address, quint16 port)
{
    const sockaddr_in to = makeAddress(address, port);
    return ::sendto(m_fd, datagram.constData(), size_t(datagram.size()), 0, reinterpret_cast<const sockaddr*>(&to),
                    sizeof to)
        == datagram.size();
}

bool RawUdpClient::receive(QByteArray* datagram, int timeoutMs, QString* fromAddress, quint16* fromPort)
{
    pollfd p = { m_fd, POLLIN, 0 };
    if (::poll(&p, 1, timeoutMs) <= 0)
        return false;
    char buffer[4096];
    sockaddr_in from = sockaddr_in();
    socklen_t size = sizeof from;
    const ssize_t n = ::recvfrom(m_fd, buffer, sizeof buffer, MSG_DONTWAIT, reinterpret_cast<sockaddr*>(&from), &size);
    if (n < 0)
        return false;
    *datagram = QByteArray(buffer, int(n));
    if (fromAddress) {
        char text[INET_ADDRSTRLEN] = {};
        ::inet_ntop(AF_INET, &from.sin_addr, text, sizeof text);
        *fromAddress = QString::fromLatin1(text);
    }
    if (fromPort)
        *fromPort = ntohs(from.sin_port);
    return true;
}

QByteArray RawUdpClient::ask(const QByteArray& datagram, const QString& address, quint16 port, bool* answered,
                             int timeoutMs)
{
    QByteArray answer;
    const bool ok = send(datagram, address, port) && receive(&answer, timeoutMs);
    if (answered)
        *answered = ok;
    return ok ? answer : QByteArray();
}

void RawUdpClient::drain()
{
    QByteArray ignored;
    for (int i = 0; i < 100 && receive(&ignored, 0); ++i) { }
}

void RawUdpClient::setTarget(const QString& address, quint16 port)
{
    m_targetAddress = address;
    m_targetPort = port;
}

QByteArray RawUdpClient::call(quint16 type, quint32 loginId, const QByteArray& payload, bool* answered, int timeoutMs)
{
    drain();
    return ask(request(type, loginId, ++m_sequence, payload), m_targetAddress, m_targetPort, answered, timeoutMs);
}

quint32 RawUdpClient::login(const QByteArray& user, const QByteArray& password)
{
    const QByteArray answer = call(2, 0, authPayload(user, password));
    return answer.size() == 16 && errorOf(answer) == 0 ? u32At(answer, 11) : 0;
}

quint8 RawUdpClient::byteSum(const QByteArray& bytes)
{
    unsigned sum = 0;
    for (char c : bytes)
        sum += quint8(c);
    return quint8(sum & 0xFF);
}

QByteArray RawUdpClient::request(quint16 type, quint32 loginId, quint16 sequence, const QByteArray& payload)
{
    const int length = payload.size() + 10;
    QByteArray frame;
    frame.append(char(length >> 8)).append(char(length & 0xFF));
    frame.append(char(1));
    frame.append(char(type >> 8)).append(char(type & 0xFF));
    for (int shift = 24; shift >= 0; shift -= 8)
        frame.append(char((loginId >> shift) & 0xFF));
    frame.append(char(sequence >> 8)).append(char(sequence & 0xFF));
    frame.append(payload);
    frame.append(char(~byteSum(frame)));
    return frame;
}

QByteArray RawUdpClient::authPayload(const QByteArray& user, const QByteArray& password)
{
    return char(user.size()) + user + char(password.size()) + password;
}

quint32 RawUdpClient::u32At(const QByteArray& bytes, int offset)
{
    return (quint32(quint8(bytes.at(offset))) << 24) | (quint32(quint8(bytes.at(offset + 1))) << 16)
        | (quint32(quint8(bytes.at(offset + 2))) << 8) | quint32(quint8(bytes.at(offset + 3)));
}

quint32 RawUdpClient::errorOf(const QByteArray& answer)
{
    return answer.size() >= 9 ? u32At(answer, 5) : 0xFFFFFFFFu;
}

QByteArray RawUdpClient::payloadOf(const QByteArray& answer)
{
    return answer.size() > 12 ? answer.mid(11, answer.size() - 12) : QByteArray();
}
