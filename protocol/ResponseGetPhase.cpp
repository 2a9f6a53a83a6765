#include "ResponseGetPhase.h"

ResponseGetPhase::ResponseGetPhase() = default;

ResponseGetPhase::~ResponseGetPhase() = default;

void ResponseGetPhase::decodePayload()
{
    int offset = 0;
    for (Entry& entry : m_inputs) {
        entry.first = payloadU16(offset);
        entry.second = payloadU16(offset + 2);
        entry.state = payloadU8(offset + 4);
        offset += 5;
    }
    for (Entry& entry : m_outputs) {
        entry.first = payloadU16(offset);
        entry.second = payloadU16(offset + 2);
        entry.state = payloadU8(offset + 4);
        entry.enabled = payloadU8(offset + 5) != 0;
        offset += 6;
    }
}
