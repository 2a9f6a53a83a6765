#include "SimPayloadReader.h"

#include "SimFrame.h"

SimPayloadReader::SimPayloadReader(const QByteArray& payload)
    : m_payload(payload)
{
}

bool SimPayloadReader::take(int count)
{
    if (!m_ok || m_payload.size() - m_pos < count) {
        m_ok = false;
        return false;
    }
    m_pos += count;
    return true;
}

quint8 SimPayloadReader::u8()
{
    if (!take(1))
        return 0;
    return quint8(m_payload.at(m_pos - 1));
}

quint32 SimPayloadReader::u32()
{
    if (!take(4))
        return 0;
    return SimFrame::readU32(m_payload, m_pos - 4);
}

QByteArray SimPayloadReader::text()
{
    const int length = u8();
    if (!take(length))
        return {};
    return m_payload.mid(m_pos - length, length);
}
