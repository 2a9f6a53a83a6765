#include "RequestSetABKeyState.h"

#include "WireFormat.h"

RequestSetABKeyState::RequestSetABKeyState(quint32 loginId, quint16 sequence)
    : RequestMsg(loginId, sequence)
{
    m_messageType = 72;
}

RequestSetABKeyState::~RequestSetABKeyState() = default;

int RequestSetABKeyState::payloadSize() const
{
    return 1;
}

void RequestSetABKeyState::writePayload(quint8* dest) const
{
    WireFormat::putU8(dest, m_key);
}
