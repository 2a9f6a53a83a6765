#include "ResponseGetRelayControl.h"

ResponseGetRelayControl::ResponseGetRelayControl() = default;

ResponseGetRelayControl::~ResponseGetRelayControl() = default;

void ResponseGetRelayControl::decodePayload()
{
    for (int i = 0; i < kRelayCount; ++i) {
        m_first[i] = payloadU8(2 * i) != 0;
        m_second[i] = payloadU8(2 * i + 1) != 0;
    }
}
