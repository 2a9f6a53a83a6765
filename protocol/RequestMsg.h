#ifndef REQUESTMSG_H
#define REQUESTMSG_H

#include <QtGlobal>

// Frame limits shared by requests and responses.
constexpr int kFrameBufferSize = 1040;
constexpr int kFrameHeaderSize = 11;                                   // length, version, type, login id / error, sequence
constexpr int kMaxPayloadSize = kFrameBufferSize - kFrameHeaderSize - 1; // 1028, checksum last
constexpr int kMaxTextLength = 255;                                    // a text travels behind a one-byte length

// Base of every request: header fields plus the frame buffer the request is encoded into.
class RequestMsg
{
public:
    RequestMsg(quint32 loginId, quint16 sequence);
    virtual ~RequestMsg();

    // Receive time-out in ms that the exchange applies while waiting for the answer.
    virtual int receiveTimeout() const;
    virtual int payloadSize() const = 0;
    // Writes exactly payloadSize() bytes at dest (frame offset 11).
    virtual void writePayload(quint8* dest) const = 0;

    // Builds the frame in the request's own buffer. Returns false, and hands back nothing,
    // when the request cannot be framed (a text over 255 bytes, a frame over 1040 bytes):
    // such a request must never be sent cut short.
    bool encode(const quint8** data, quint16* size);

    // Whether every text of the request fits its one-byte length (overridden by text-carrying requests).
    virtual bool isFramable() const { return true; }

    quint16 length() const { return m_length; }
    quint8 version() const { return m_version; }
    int messageType() const { return m_messageType; }
    quint32 loginId() const { return m_loginId; }
    quint16 sequence() const { return m_sequence; }
    void setLoginId(quint32 loginId) { m_loginId = loginId; }
    const quint8* frame() const { return m_frame; }

protected:
    quint16 m_length = 0;
    quint8 m_version = 1;
    int m_messageType = 0xFFFF;
    quint32 m_loginId;
    quint16 m_sequence;
    quint8 m_frame[kFrameBufferSize];
};

#endif // REQUESTMSG_H
