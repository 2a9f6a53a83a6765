#ifndef RESPONSEGETMACADDRESS_H
#define RESPONSEGETMACADDRESS_H

#include "ResponseMsg.h"

// The device's MAC address, six raw bytes.
class ResponseGetMacAddress : public ResponseMsg
{
public:
    ResponseGetMacAddress();
    ~ResponseGetMacAddress() override;

    static constexpr int kSize = 6;
    const quint8* macAddress() const { return m_macAddress; }

protected:
    void decodePayload() override;

private:
    quint8 m_macAddress[kSize] = {};
};

#endif // RESPONSEGETMACADDRESS_H
