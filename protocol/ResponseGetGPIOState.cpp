#include "ResponseGetGPIOState.h"

ResponseGetGPIOState::ResponseGetGPIOState() = default;

ResponseGetGPIOState::~ResponseGetGPIOState() = default;

void ResponseGetGPIOState::decodePayload()
{
    m_state[0] = payloadU8(0);
    m_state[1] = payloadU8(1);
}
