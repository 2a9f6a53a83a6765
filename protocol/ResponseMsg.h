#ifndef RESPONSEMSG_H
#define RESPONSEMSG_H

#include "RequestMsg.h"

#include <QtGlobal>

// Base of every response: the received datagram and its parsed header.
class ResponseMsg
{
public:
    ResponseMsg();
    virtual ~ResponseMsg();

    // Validates and parses one datagram; 0 accepted, -1 rejected (size, checksum, length, version).
    int decode(const quint8* data, quint16 size);

    quint16 receivedLength() const { return m_receivedLength; }
    quint16 length() const { return m_length; }
    quint8 version() const { return m_version; }
    int messageType() const { return m_messageType; }
    quint32 errorCode() const { return m_errorCode; }
    quint16 sequence() const { return m_sequence; }
    const quint8* raw() const { return m_raw; }

protected:
    // Reads the payload from raw offset 11; runs only for error code 0.
    virtual void decodePayload() = 0;

    // Big-endian readers over raw; offsets count from the first payload byte.
    quint8 payloadU8(int offset) const;
    quint16 payloadU16(int offset) const;
    quint32 payloadU32(int offset) const;

    quint8 m_raw[kFrameBufferSize];
    quint16 m_receivedLength = 0;
    quint16 m_length = 0;
    quint8 m_version = 0;
    int m_messageType = 0;
    quint32 m_errorCode = 0;
    quint16 m_sequence = 0;
};

#endif // RESPONSEMSG_H
