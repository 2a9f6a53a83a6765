#ifndef REQUESTSETNETPARAM_H
#define REQUESTSETNETPARAM_H

#include "RequestMsg.h"

// New network parameters; addresses as numbers whose high byte is the first dotted number.
class RequestSetNetParam : public RequestMsg
{
public:
    RequestSetNetParam(quint32 loginId, quint16 sequence);
    ~RequestSetNetParam() override;

    void setAddress(quint32 address) { m_address = address; }
    void setSubnetMask(quint32 subnetMask) { m_subnetMask = subnetMask; }
    void setGateway(quint32 gateway) { m_gateway = gateway; }
    quint32 address() const { return m_address; }
    quint32 subnetMask() const { return m_subnetMask; }
    quint32 gateway() const { return m_gateway; }

    int payloadSize() const override;
    void writePayload(quint8* dest) const override;

private:
    quint32 m_address = 0;
    quint32 m_subnetMask = 0;
    quint32 m_gateway = 0;
};

#endif // REQUESTSETNETPARAM_H
