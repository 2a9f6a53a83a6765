#include "ResponseGetMacAddress.h"

ResponseGetMacAddress::ResponseGetMacAddress() = default;

ResponseGetMacAddress::~ResponseGetMacAddress() = default;

void ResponseGetMacAddress::decodePayload()
{
    for (int i = 0; i < kSize; ++i)
        m_macAddress[i] = payloadU8(i);
}
