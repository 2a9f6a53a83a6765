#include "ResponseMsg.h"

#include <cstring>

ResponseMsg::ResponseMsg()
{
    // Payload decoders read fixed positions; whatever a short answer leaves out must read as 0.
    std::memset(m_raw, 0, sizeof(m_raw));
}

ResponseMsg::~ResponseMsg() = default;

int ResponseMsg::decode(const quint8* data, quint16 size)
{
    if (!data || size == 0 || size > kFrameBufferSize)
        return -1;

    quint8 sum = 0;
    for (int i = 0; i < size; ++i)
        sum = quint8(sum + data[i]);
    if (sum != 0xFF)
        return -1;

    std::memcpy(m_raw, data, size);
    std::memset(m_raw + size, 0, size_t(kFrameBufferSize - size));
    m_receivedLength = size;

    m_length = quint16((m_raw[0] << 8) | m_raw[1]);
    m_version = m_raw[2];
    m_messageType = (m_raw[3] << 8) | m_raw[4];
    m_errorCode = (quint32(m_raw[5]) << 24) | (quint32(m_raw[6]) << 16) | (quint32(m_raw[7]) << 8) | m_raw[8];
    m_sequence = quint16((m_raw[9] << 8) | m_raw[10]);

    if (int(m_length) != int(size) - 2 || m_version != 1)
        return -1;

    if (m_errorCode == 0)
        decodePayload();
    return 0;
}

quint8 ResponseMsg::payloadU8(int offset) const
{
    // A payload shorter than its class expects reads as 0 in the missing places; the checksum that
    // ends the datagram is not payload and reads as 0 as well.
    const int index = kFrameHeaderSize + offset;
    if (offset < 0 || index >= kFrameBufferSize || index >= int(m_receivedLength) - 1)
        return 0;
    return m_raw[index];
}

quint16 ResponseMsg::payloadU16(int offset) const
{
    return quint16((payloadU8(offset) << 8) | payloadU8(offset + 1));
}

quint32 ResponseMsg::payloadU32(int offset) const
{
    return (quint32(payloadU8(offset)) << 24) | (quint32(payloadU8(offset + 1)) << 16)
        | (quint32(payloadU8(offset + 2)) << 8) | quint32(payloadU8(offset + 3));
}
