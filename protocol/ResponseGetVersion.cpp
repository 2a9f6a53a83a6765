#include "ResponseGetVersion.h"

ResponseGetVersion::ResponseGetVersion() = default;

ResponseGetVersion::~ResponseGetVersion() = default;

void ResponseGetVersion::decodePayload()
{
    m_pcbVersion = payloadU32(0);
    m_secondNumber = payloadU32(4);
    m_firmwareVersion = payloadU32(8);
}
