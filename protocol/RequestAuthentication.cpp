#include "RequestAuthentication.h"

#include "WireFormat.h"

RequestAuthentication::RequestAuthentication(quint32 loginId, quint16 sequence)
    : RequestMsg(loginId, sequence)
{
    m_messageType = 2;
}

RequestAuthentication::~RequestAuthentication() = default;

int RequestAuthentication::payloadSize() const
{
    return m_userName.size() + m_password.size() + 2;
}

void RequestAuthentication::writePayload(quint8* dest) const
{
    dest = WireFormat::putText(dest, m_userName);
    WireFormat::putText(dest, m_password);
}

bool RequestAuthentication::isFramable() const
{
    return WireFormat::textFits(m_userName) && WireFormat::textFits(m_password);
}
