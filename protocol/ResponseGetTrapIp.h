#ifndef RESPONSEGETTRAPIP_H
#define RESPONSEGETTRAPIP_H

#include "ResponseMsg.h"

// Trap destinations, two 32-bit numbers.
class ResponseGetTrapIp : public ResponseMsg
{
public:
    ResponseGetTrapIp();
    ~ResponseGetTrapIp() override;

    quint32 trapIp(int index) const { return index >= 0 && index < 2 ? m_trapIps[index] : 0; }

protected:
    void decodePayload() override;

private:
    quint32 m_trapIps[2] = { 0, 0 };
};

#endif // RESPONSEGETTRAPIP_H
