#include "ResponseGetNetParam.h"

ResponseGetNetParam::ResponseGetNetParam() = default;

ResponseGetNetParam::~ResponseGetNetParam() = default;

void ResponseGetNetParam::decodePayload()
{
    m_address = payloadU32(0);
    m_subnetMask = payloadU32(4);
    m_gateway = payloadU32(8);
    m_isDefault = payloadU8(12) != 0;
}
