#include "RequestSetShortPressKeyState.h"

#include "WireFormat.h"

RequestSetShortPressKeyState::RequestSetShortPressKeyState(quint32 loginId, quint16 sequence)
    : RequestMsg(loginId, sequence)
{
    m_messageType = 61;
}

RequestSetShortPressKeyState::~RequestSetShortPressKeyState() = default;

int RequestSetShortPressKeyState::payloadSize() const
{
    return 3;
}

void RequestSetShortPressKeyState::writePayload(quint8* dest) const
{
    dest = WireFormat::putU8(dest, m_keyLock ? 1 : 0);
    dest = WireFormat::putU8(dest, m_autoMode ? 1 : 0);
    WireFormat::putU8(dest, quint32(m_panelType));
}
