#ifndef RESPONSEGETNETPARAM_H
#define RESPONSEGETNETPARAM_H

#include "ResponseMsg.h"

// The device's network parameters; is-default means it still runs on its factory settings.
class ResponseGetNetParam : public ResponseMsg
{
public:
    ResponseGetNetParam();
    ~ResponseGetNetParam() override;

    quint32 address() const { return m_address; }
    quint32 subnetMask() const { return m_subnetMask; }
    quint32 gateway() const { return m_gateway; }
    bool isDefault() const { return m_isDefault; }

protected:
    void decodePayload() override;

private:
    quint32 m_address = 0;
    quint32 m_subnetMask = 0;
    quint32 m_gateway = 0;
    bool m_isDefault = false;
};

#endif // RESPONSEGETNETPARAM_H
