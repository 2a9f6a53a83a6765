#include "RequestModifyPassword.h"

#include "WireFormat.h"

RequestModifyPassword::RequestModifyPassword(quint32 loginId, quint16 sequence)
    : RequestMsg(loginId, sequence)
{
    m_messageType = 27;
}

RequestModifyPassword::~RequestModifyPassword() = default;

int RequestModifyPassword::payloadSize() const
{
    return m_userName.size() + m_newPassword.size() + 2;
}

void RequestModifyPassword::writePayload(quint8* dest) const
{
    dest = WireFormat::putText(dest, m_userName);
    WireFormat::putText(dest, m_newPassword);
}

bool RequestModifyPassword::isFramable() const
{
    return WireFormat::textFits(m_userName) && WireFormat::textFits(m_newPassword);
}
