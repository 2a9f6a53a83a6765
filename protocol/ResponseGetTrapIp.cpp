#include "ResponseGetTrapIp.h"

ResponseGetTrapIp::ResponseGetTrapIp() = default;

ResponseGetTrapIp::~ResponseGetTrapIp() = default;

void ResponseGetTrapIp::decodePayload()
{
    m_trapIps[0] = payloadU32(0);
    m_trapIps[1] = payloadU32(4);
}
