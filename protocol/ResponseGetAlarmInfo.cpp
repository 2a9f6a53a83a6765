#include "ResponseGetAlarmInfo.h"

ResponseGetAlarmInfo::ResponseGetAlarmInfo() = default;

ResponseGetAlarmInfo::~ResponseGetAlarmInfo() = default;

void ResponseGetAlarmInfo::decodePayload()
{
    int offset = 0;
    for (Entry& entry : m_entries) {
        entry.value = payloadU32(offset);
        entry.first = payloadU16(offset + 4);
        entry.second = payloadU16(offset + 6);
        offset += 8;
    }
    m_summary = payloadU32(offset);
    m_active = payloadU8(offset + 4) != 0;
}
