// Plays a hostile device against UdpChannel::exchange and every DiveVodNetClient operation.
// The channel's system calls are replaced (no network, no waiting): each receive takes its answer
// from the input, so a whole session of requests, resends and logins runs in microseconds.
//
// Input: one byte for the login (bit 0: guest), then steps. A step is one byte: the low five bits
// pick the operation, the upper three are its argument. Every receive the operation makes takes
// one answer from the rest of the input:
//   0xFF                 the receive times out (so does running out of input)
//   0xFE                 the receive returns 0, as after CloseChannel woke it
//   other byte C, u16 N  an N-byte datagram (N up to 2047, so also over 1040) from the next N bytes,
//                        then patched by C: bit 0 the request's sequence, bit 1 its type, bit 2 the
//                        length field, bit 3 version 1, bit 4 error code 0, bit 5 the checksum (last).
#include "FuzzInput.h"
#include "DiveVodNetClient.h"
#include "RequestHello.h"
#include "RequestMsg.h"
#include "ResponseMsg.h"
#include "SimpleRequest.h"
#include "UdpChannel.h"

#include <QtGlobal>

#include <sys/socket.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

namespace {

quint8 byteSum(const quint8* bytes, size_t size)
{
    quint8 sum = 0;
    for (size_t i = 0; i < size; ++i)
        sum = quint8(sum + bytes[i]);
    return sum;
}

class FuzzChannel : public UdpChannel
{
public:
    explicit FuzzChannel(FuzzInput* input)
        : m_input(input)
    {
    }

    int receives = 0;

protected:
    ssize_t sendToDestination(int, const quint8* frame, quint16 size) override
    {
        // Whatever the tool sends must be a whole, well-formed frame.
        require(size >= 12 && size <= kFrameBufferSize);
        require(((frame[0] << 8) | frame[1]) == size - 2);
        require(frame[2] == 1);
        require(byteSum(frame, size) == 0xFF);
        m_request.assign(frame, frame + size);
        return size;
    }

    ssize_t receiveFrom(int, quint8* buffer, int capacity, int flags) override
    {
        // Nothing is ever queued before a send here: every answer comes from the input, in a wait.
        if (flags & MSG_DONTWAIT)
            return -1;
        ++receives;
        if (m_input->atEnd())
            return -1;
        const quint8 control = m_input->byte();
        if (control == 0xFF)
            return -1;
        if (control == 0xFE)
            return 0;
        const size_t size = m_input->u16() & 0x7FF;
        std::vector<quint8> datagram(size, 0);
        m_input->take(datagram.data(), size);
        patch(control, &datagram);
        const size_t copied = std::min(size, size_t(capacity));
        if (copied > 0)
            std::memcpy(buffer, datagram.data(), copied);
        return ssize_t((flags & MSG_TRUNC) ? size : copied);
    }

    void pauseBeforeResend() override { }

private:
    void patch(quint8 control, std::vector<quint8>* datagram) const
    {
        std::vector<quint8>& d = *datagram;
        const size_t size = d.size();
        if ((control & 0x01) && size >= 11) {
            d[9] = m_request[9];
            d[10] = m_request[10];
        }
        if ((control & 0x02) && size >= 5) {
            d[3] = m_request[3];
            d[4] = m_request[4];
        }
        if ((control & 0x04) && size >= 2) {
            d[0] = quint8((size - 2) >> 8);
            d[1] = quint8(size - 2);
        }
        if ((control & 0x08) && size >= 3)
            d[2] = 1;
        if ((control & 0x10) && size >= 9)
            std::memset(&d[5], 0, 4);
        if ((control & 0x20) && size >= 1) {
            d[size - 1] = 0;
            d[size - 1] = quint8(~byteSum(d.data(), size));
        }
    }

    FuzzInput* m_input;
    std::vector<quint8> m_request = std::vector<quint8>(12, 0);
};

QString text(quint8 argument)
{
    // Lengths around the 255-byte limit of a text.
    static const int lengths[8] = { 0, 1, 6, 16, 254, 255, 256, 300 };
    return QString(lengths[argument & 7], QLatin1Char('7'));
}

// One direct exchange on a channel of its own; `argument` picks the request and the retries.
void directExchange(FuzzInput* input, quint8 argument)
{
    FuzzChannel channel(input);
    require(channel.open("127.0.0.1", 33904) == 0);
    std::unique_ptr<RequestMsg> request;
    if (argument & 1)
        request.reset(new RequestHello(0, quint16(argument)));
    else
        request.reset(new SimpleRequest<63>(0x01020304, quint16(argument)));
    const int retries = (argument >> 1) & 3;
    ResponseMsg* response = nullptr;
    const int result = channel.exchange(*request, &response, retries);
    std::unique_ptr<ResponseMsg> owner(response);
    require(result == 0 || result == -1);
    require(result != 0 || response != nullptr);
    require(channel.receives <= retries + 1);
}

int runStep(DiveVodNetClient& client, FuzzInput* input, quint8 step)
{
    const quint8 argument = step >> 5;
    QString strings[3];
    QString passwords[3];
    quint32 number = 0;
    quint8 small = 0, other = 0;
    bool flag = false;
    AcoGpioInfo info;
    quint8 serial[8];
    quint8 further[8];
    switch ((step & 0x1F) % 18) {
    case 0:
        return client.Authenticate();
    case 1:
        return client.GetWorkMode(number);
    case 2:
        return client.GetAcoGpioInfo(info);
    case 3:
        return client.GetShortPressKeyState(small, other, number);
    case 4:
        return client.SetShortPressKeyState(argument & 1, (argument >> 1) & 1, argument >> 2);
    case 5:
        return client.GetPhaseAlignState(small);
    case 6:
        return client.SetABKeyState(1u << argument);
    case 7:
        return client.GetVersion(strings[0], strings[1]);
    case 8:
        return client.GetProductInfo(number, serial, further);
    case 9:
        return client.GetNetParam(strings[0], strings[1], strings[2], flag);
    case 10:
        return client.SetNetParam(QStringLiteral("127.0.0.9"), QStringLiteral("255.0.0.0"),
                                  argument & 1 ? QStringLiteral("not an address") : QStringLiteral("127.0.0.1"));
    case 11:
        return client.GetRemoteDevice(strings[0], strings[1]);
    case 12:
        return client.SetRemoteDevice(QStringLiteral("127.0.0.2"), text(argument));
    case 13:
        return client.GetSlaveDevice(strings, passwords);
    case 14:
        for (int i = 0; i < 3; ++i) {
            strings[i] = QStringLiteral("127.0.0.%1").arg(3 + i);
            passwords[i] = text(quint8(argument + i));
        }
        return client.SetSlaveDevice(strings, passwords);
    case 15:
        return client.ModifyPassword(argument & 1 ? QStringLiteral("guest") : QStringLiteral("admin"), text(argument));
    case 16:
        directExchange(input, argument);
        return 0;
    default:
        client.CloseChannel();
        return client.OpenChannel(QStringLiteral("127.0.0.1"), 33904);
    }
}

void silence(QtMsgType, const QMessageLogContext&, const QString&) { }

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    qInstallMessageHandler(silence); // the client's debug lines would drown the fuzzer's output
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzInput input(data, size);
    auto* channel = new FuzzChannel(&input);
    DiveVodNetClient client(channel);
    require(client.OpenChannel(QStringLiteral("127.0.0.1"), 33904) == 0);
    client.SetLoginInfo(input.byte() & 1, QStringLiteral("123456"));
    // Bounded: every step takes at least one byte.
    while (!input.atEnd()) {
        channel->receives = 0;
        const int result = runStep(client, &input, input.byte());
        require(result >= -1);
        // An exchange with one resend, a new login with one resend and the repeat: at most five.
        require(channel->receives <= 5);
    }
    return 0;
}
