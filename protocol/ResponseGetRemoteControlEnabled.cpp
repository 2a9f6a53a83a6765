#include "ResponseGetRemoteControlEnabled.h"

ResponseGetRemoteControlEnabled::ResponseGetRemoteControlEnabled() = default;

ResponseGetRemoteControlEnabled::~ResponseGetRemoteControlEnabled() = default;

void ResponseGetRemoteControlEnabled::decodePayload()
{
    m_enabled = payloadU8(0) != 0;
}
