#include "DeviceRelay.h"

#include "TestFrames.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

DeviceRelay::DeviceRelay() = default;

DeviceRelay::~DeviceRelay()
{
    peer.stop();
    if (upstream >= 0)
        ::close(upstream);
}

bool DeviceRelay::start(const char* listenAddress, const QString& simAddress, quint16 simPort)
{
    upstream = ::socket(AF_INET, SOCK_DGRAM, 0);
    if (upstream < 0)
        return false;
    timeval timeout { 1, 500000 };
    ::setsockopt(upstream, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof(timeout));
    sockaddr_in target {};
    target.sin_family = AF_INET;
    target.sin_port = htons(simPort);
    if (::inet_pton(AF_INET, simAddress.toLatin1().constData(), &target.sin_addr) != 1
        || ::connect(upstream, reinterpret_cast<sockaddr*>(&target), sizeof(target)) != 0)
        return false;
    refuse({});
    return peer.start(listenAddress);
}

void DeviceRelay::refuse(const QList<int>& types)
{
    const int socket = upstream;
    peer.setScript([socket, types](int, const QByteArray& request) {
        if (types.contains(TestFrames::type(request)))
            return ScriptedPeer::reply(
                TestFrames::response(TestFrames::type(request), 1, TestFrames::sequence(request)));
        if (::send(socket, request.constData(), size_t(request.size()), 0) != request.size())
            return ScriptedPeer::silent();
        char answer[2048];
        const ssize_t got = ::recv(socket, answer, sizeof(answer), 0);
        return got > 0 ? ScriptedPeer::reply(QByteArray(answer, int(got))) : ScriptedPeer::silent();
    });
}
