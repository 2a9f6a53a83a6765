#include "RequestMsg.h"

#include <cstring>

RequestMsg::RequestMsg(quint32 loginId, quint16 sequence)
    : m_loginId(loginId)
    , m_sequence(sequence)
{
    std::memset(m_frame, 0, sizeof(m_frame));
}

RequestMsg::~RequestMsg() = default;

int RequestMsg::receiveTimeout() const
{
    return 2000;
}

bool RequestMsg::encode(const quint8** data, quint16* size)
{
    if (data)
        *data = nullptr;
    if (size)
        *size = 0;

    // A text over 255 bytes would lose its length's high bits on the wire and the device would
    // read a different value than the one asked for: refuse instead of cutting.
    if (!isFramable())
        return false;
    const int payload = payloadSize();
    if (payload < 0 || payload > kMaxPayloadSize)
        return false;

    m_length = quint16(payload + 10);
    m_frame[0] = quint8(m_length >> 8);
    m_frame[1] = quint8(m_length & 0xFF);
    m_frame[2] = m_version;
    m_frame[3] = quint8((m_messageType >> 8) & 0xFF);
    m_frame[4] = quint8(m_messageType & 0xFF);
    m_frame[5] = quint8(m_loginId >> 24);
    m_frame[6] = quint8((m_loginId >> 16) & 0xFF);
    m_frame[7] = quint8((m_loginId >> 8) & 0xFF);
    m_frame[8] = quint8(m_loginId & 0xFF);
    m_frame[9] = quint8(m_sequence >> 8);
    m_frame[10] = quint8(m_sequence & 0xFF);
    writePayload(m_frame + kFrameHeaderSize);

    quint8 sum = 0;
    for (int i = 0; i <= payload + 10; ++i)
        sum = quint8(sum + m_frame[i]);
    m_frame[payload + 11] = quint8(~sum);

    if (data)
        *data = m_frame;
    if (size)
        *size = quint16(m_length + 2);
    return true;
}
