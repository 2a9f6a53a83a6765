#include "RequestSetRemoteDevice.h"

#include "WireFormat.h"

RequestSetRemoteDevice::RequestSetRemoteDevice(quint32 loginId, quint16 sequence)
    : RequestMsg(loginId, sequence)
{
    m_messageType = 64;
}

RequestSetRemoteDevice::~RequestSetRemoteDevice() = default;

int RequestSetRemoteDevice::payloadSize() const
{
    return m_adminPassword.size() + 5;
}

void RequestSetRemoteDevice::writePayload(quint8* dest) const
{
    dest = WireFormat::putU32(dest, m_address);
    WireFormat::putText(dest, m_adminPassword);
}

bool RequestSetRemoteDevice::isFramable() const
{
    return WireFormat::textFits(m_adminPassword);
}
