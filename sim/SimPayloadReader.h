#ifndef SIMPAYLOADREADER_H
#define SIMPAYLOADREADER_H

#include <QByteArray>
#include <QtGlobal>

// Reads a request payload front to back. Any read past the end marks the payload as malformed;
// complete() also demands that nothing is left over, since the client's frames have exact sizes.
class SimPayloadReader
{
public:
    explicit SimPayloadReader(const QByteArray& payload);

    quint8 u8();
    quint32 u32();
    QByteArray text(); // 1-byte length, then that many bytes

    bool ok() const { return m_ok; }
    bool complete() const { return m_ok && m_pos == m_payload.size(); }

private:
    bool take(int count);

    QByteArray m_payload;
    int m_pos = 0;
    bool m_ok = true;
};

#endif // SIMPAYLOADREADER_H
