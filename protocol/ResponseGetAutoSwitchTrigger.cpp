#include "ResponseGetAutoSwitchTrigger.h"

ResponseGetAutoSwitchTrigger::ResponseGetAutoSwitchTrigger() = default;

ResponseGetAutoSwitchTrigger::~ResponseGetAutoSwitchTrigger() = default;

void ResponseGetAutoSwitchTrigger::decodePayload()
{
    int offset = 0;
    for (Entry& entry : m_entries) {
        entry.value = payloadU32(offset);
        entry.first = payloadU16(offset + 4);
        entry.second = payloadU16(offset + 6);
        entry.mode = payloadU8(offset + 8);
        offset += 9;
    }
}
