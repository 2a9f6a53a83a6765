#include "ResponseGetPhaseAlignState.h"

ResponseGetPhaseAlignState::ResponseGetPhaseAlignState() = default;

ResponseGetPhaseAlignState::~ResponseGetPhaseAlignState() = default;

void ResponseGetPhaseAlignState::decodePayload()
{
    m_state = payloadU8(0);
}
