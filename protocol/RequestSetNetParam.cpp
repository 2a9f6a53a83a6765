#include "RequestSetNetParam.h"

#include "WireFormat.h"

RequestSetNetParam::RequestSetNetParam(quint32 loginId, quint16 sequence)
    : RequestMsg(loginId, sequence)
{
    m_messageType = 25;
}

RequestSetNetParam::~RequestSetNetParam() = default;

int RequestSetNetParam::payloadSize() const
{
    return 12;
}

void RequestSetNetParam::writePayload(quint8* dest) const
{
    dest = WireFormat::putU32(dest, m_address);
    dest = WireFormat::putU32(dest, m_subnetMask);
    WireFormat::putU32(dest, m_gateway);
}
