#include "ResponseGetGPIOTriggerMode.h"

ResponseGetGPIOTriggerMode::ResponseGetGPIOTriggerMode() = default;

ResponseGetGPIOTriggerMode::~ResponseGetGPIOTriggerMode() = default;

void ResponseGetGPIOTriggerMode::decodePayload()
{
    m_modes[0] = payloadU8(0);
    m_modes[1] = payloadU8(1);
}
