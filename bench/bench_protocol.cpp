// Protocol benchmarks, each printed beside a baseline measured in the same run:
//  - encoding a GetACOGPIOInfo request and decoding its answer, against copying the same bytes
//    and summing them (the least any framing could cost);
//  - DiveVodNetClient::GetAcoGpioInfo round trips to the device simulator on loopback, against a
//    bare UDP echo of the same sizes on loopback.
#include "DeviceSimulator.h"
#include "DiveVodNetClient.h"
#include "MessageCatalog.h"
#include "ResponseGetACOGPIOInfo.h"
#include "SimpleRequest.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <memory>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

volatile quint32 g_sink = 0;

// Runs `step` repeatedly for about `seconds` (and at most maxSteps times); returns steps per second.
template <typename Step> double perSecond(double seconds, long maxSteps, Step step)
{
    const auto start = Clock::now();
    const auto until = start + std::chrono::duration<double>(seconds);
    long done = 0;
    while (done < maxSteps) {
        for (int i = 0; i < 64 && done < maxSteps; ++i, ++done) {
            if (!step())
                return -1;
        }
        if (Clock::now() >= until)
            break;
    }
    const double elapsed = std::chrono::duration<double>(Clock::now() - start).count();
    return done / elapsed;
}

void report(const char* what, double value, const char* baselineName, double baseline)
{
    std::printf("%-44s %14.0f /s   baseline %-28s %14.0f /s   ratio %.3f\n", what, value, baselineName, baseline,
                baseline > 0 ? value / baseline : 0.0);
}

QByteArray gpioAnswer(quint16 sequence)
{
    // length 21, version 1, type 63, error 0, then the sequence, 11 payload bytes and the checksum.
    QByteArray frame = QByteArray::fromHex("001501003f00000000");
    frame.append(char(sequence >> 8));
    frame.append(char(sequence & 0xFF));
    frame.append(QByteArray::fromHex("0101000100090009000000"));
    quint8 sum = 0;
    for (char c : frame)
        sum = quint8(sum + quint8(c));
    frame.append(char(quint8(~sum)));
    return frame;
}

void benchFraming()
{
    const QByteArray answer = gpioAnswer(1);
    const auto* answerBytes = reinterpret_cast<const quint8*>(answer.constData());
    const quint16 answerSize = quint16(answer.size());

    const double framed = perSecond(1.5, 50000000, [&] {
        SimpleRequest<63> request(0x11223344, 1);
        const quint8* data = nullptr;
        quint16 size = 0;
        if (!request.encode(&data, &size))
            return false;
        const int type = isSuccessFrame(answerBytes, answerSize) ? request.messageType() : kSimpleResponseType;
        std::unique_ptr<ResponseMsg> response(createResponse(type));
        if (!response || response->decode(answerBytes, answerSize) != 0)
            return false;
        const auto* gpio = static_cast<const ResponseGetACOGPIOInfo*>(response.get());
        g_sink = g_sink + data[size - 1] + quint32(gpio->keyMask());
        return true;
    });

    quint8 requestCopy[1040];
    quint8 answerCopy[1040];
    quint8 requestBytes[12] = { 0x00, 0x0A, 0x01, 0x00, 0x3F, 0x11, 0x22, 0x33, 0x44, 0x00, 0x01, 0x00 };
    const double copied = perSecond(1.5, 50000000, [&] {
        std::memcpy(requestCopy, requestBytes, sizeof(requestBytes));
        std::memcpy(answerCopy, answerBytes, answerSize);
        quint8 sum = 0;
        for (size_t i = 0; i < sizeof(requestBytes); ++i)
            sum = quint8(sum + requestCopy[i]);
        for (int i = 0; i < answerSize; ++i)
            sum = quint8(sum + answerCopy[i]);
        g_sink = g_sink + sum;
        return true;
    });
    report("encode + decode GetACOGPIOInfo exchange", framed, "memcpy + checksum", copied);
}

// A bare loopback echo: answers every datagram with a fixed 23-byte reply, like the device would.
class EchoPeer
{
public:
    bool start()
    {
        m_fd = ::socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
        sockaddr_in local {};
        local.sin_family = AF_INET;
        local.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (m_fd < 0 || ::bind(m_fd, reinterpret_cast<sockaddr*>(&local), sizeof(local)) != 0)
            return false;
        socklen_t size = sizeof(local);
        ::getsockname(m_fd, reinterpret_cast<sockaddr*>(&local), &size);
        m_port = ntohs(local.sin_port);
        m_running = true;
        m_thread = std::thread([this] { run(); });
        return true;
    }
    void stop()
    {
        m_running = false;
        if (m_thread.joinable())
            m_thread.join();
        if (m_fd >= 0)
            ::close(m_fd);
    }
    quint16 port() const { return m_port; }

private:
    void run()
    {
        const QByteArray reply = gpioAnswer(1);
        char buffer[2048];
        while (m_running) {
            pollfd pfd { m_fd, POLLIN, 0 };
            if (::poll(&pfd, 1, 50) <= 0)
                continue;
            sockaddr_in from {};
            socklen_t fromSize = sizeof(from);
            if (::recvfrom(m_fd, buffer, sizeof(buffer), 0, reinterpret_cast<sockaddr*>(&from), &fromSize) < 0)
                continue;
            ::sendto(m_fd, reply.constData(), size_t(reply.size()), 0, reinterpret_cast<sockaddr*>(&from), fromSize);
        }
    }

    int m_fd = -1;
    quint16 m_port = 0;
    std::atomic<bool> m_running { false };
    std::thread m_thread;
};

void benchRoundTrips()
{
    DeviceSimulator sim;
    if (!sim.start(QStringLiteral("127.0.0.1"), 0)) {
        std::printf("round trips: simulator did not start\n");
        return;
    }
    DiveVodNetClient client;
    client.OpenChannel(QStringLiteral("127.0.0.1"), sim.port());
    client.SetLoginInfo(0, QStringLiteral("123456"));
    if (client.Authenticate() != 0) {
        std::printf("round trips: login to the simulator failed\n");
        return;
    }
    AcoGpioInfo info;
    const double viaClient = perSecond(2.0, 200000, [&] { return client.GetAcoGpioInfo(info) == 0; });
    client.CloseChannel();
    sim.stop();

    EchoPeer echo;
    if (!echo.start()) {
        std::printf("round trips: echo peer did not start\n");
        return;
    }
    const int fd = ::socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
    timeval tv { 2, 0 };
    ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof(tv));
    sockaddr_in to {};
    to.sin_family = AF_INET;
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    to.sin_port = htons(echo.port());
    const quint8 request[12] = { 0x00, 0x0A, 0x01, 0x00, 0x3F, 0x11, 0x22, 0x33, 0x44, 0x00, 0x01, 0x00 };
    char buffer[1040];
    const double raw = perSecond(2.0, 200000, [&] {
        if (::sendto(fd, request, sizeof(request), 0, reinterpret_cast<sockaddr*>(&to), sizeof(to)) < 0)
            return false;
        return ::recv(fd, buffer, sizeof(buffer), 0) > 0;
    });
    ::close(fd);
    echo.stop();
    report("client GetAcoGpioInfo round trip (simulator)", viaClient, "raw UDP echo round trip", raw);
}

} // namespace

int main()
{
    std::printf("bench_protocol (each figure beside a baseline from the same run)\n");
    benchFraming();
    benchRoundTrips();
    return 0;
}
