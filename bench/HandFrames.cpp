#include "HandFrames.h"

#include <cstring>

namespace HandFrames {
namespace {

    quint8 complementSum(const quint8* data, int size)
    {
        quint8 sum = 0;
        for (int i = 0; i < size; ++i)
            sum = quint8(sum + data[i]);
        return quint8(~sum);
    }

} // namespace

int encodeGpioRequest(quint8* out, quint32 loginId, quint16 sequence)
{
    const quint8 frame[kGpioRequestSize - 1] = { 0x00,
                                                 0x0A,
                                                 0x01,
                                                 0x00,
                                                 0x3F,
                                                 quint8(loginId >> 24),
                                                 quint8(loginId >> 16),
                                                 quint8(loginId >> 8),
                                                 quint8(loginId),
                                                 quint8(sequence >> 8),
                                                 quint8(sequence) };
    std::memcpy(out, frame, sizeof(frame));
    out[kGpioRequestSize - 1] = complementSum(out, kGpioRequestSize - 1);
    return kGpioRequestSize;
}

int encodeGpioAnswer(quint8* out, quint16 sequence, const quint8 payload[11])
{
    const quint8 header[11] = { 0x00, 0x15, 0x01, 0x00, 0x3F, 0, 0, 0, 0, quint8(sequence >> 8), quint8(sequence) };
    std::memcpy(out, header, sizeof(header));
    std::memcpy(out + 11, payload, 11);
    out[kGpioAnswerSize - 1] = complementSum(out, kGpioAnswerSize - 1);
    return kGpioAnswerSize;
}

bool parseGpioAnswer(const quint8* data, int size, AcoGpioInfo& info)
{
    if (size < 12 || size > 1040 || complementSum(data, size - 1) != data[size - 1])
        return false;
    if (((data[0] << 8) | data[1]) != size - 2 || data[2] != 1 || (data[5] | data[6] | data[7] | data[8]) != 0)
        return false;
    // Bytes a short answer leaves out read as 0, as in the device client.
    quint8 p[11] = {};
    std::memcpy(p, data + 11, size_t(qMin(11, size - 12)));
    info.ps1Led = p[0] == 1;
    info.ps2Led = p[1] == 1;
    info.localLed = p[2];
    info.remoteLed = p[3];
    info.panelType = p[4];
    info.gpioGreenMask = p[5];
    info.gpioRedMask = p[6];
    info.keyMask = p[7];
    info.ipReset = p[8] == 1;
    info.upgrade = p[9] == 1;
    info.remCtrl = p[10] == 1;
    return true;
}

int encodeRequest(quint8* out, int type, quint32 loginId, quint16 sequence, const quint8* payload, int payloadSize)
{
    const int length = payloadSize + 10;
    const quint8 header[11] = { quint8(length >> 8),   quint8(length),       0x01,
                                quint8(type >> 8),     quint8(type),         quint8(loginId >> 24),
                                quint8(loginId >> 16), quint8(loginId >> 8), quint8(loginId),
                                quint8(sequence >> 8), quint8(sequence) };
    std::memcpy(out, header, sizeof(header));
    if (payloadSize > 0)
        std::memcpy(out + 11, payload, size_t(payloadSize));
    out[11 + payloadSize] = complementSum(out, 11 + payloadSize);
    return payloadSize + 12;
}

bool isSuccessAnswer(const quint8* data, int size)
{
    return size >= 12 && size <= 1040 && complementSum(data, size - 1) == data[size - 1]
        && ((data[0] << 8) | data[1]) == size - 2 && data[2] == 1 && (data[5] | data[6] | data[7] | data[8]) == 0;
}

} // namespace HandFrames
