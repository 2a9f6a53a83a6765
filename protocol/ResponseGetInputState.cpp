#include "ResponseGetInputState.h"

ResponseGetInputState::ResponseGetInputState() = default;

ResponseGetInputState::~ResponseGetInputState() = default;

bool ResponseGetInputState::flag(int index) const
{
    return index >= 0 && index < kEntryCount && m_flags[index];
}

quint32 ResponseGetInputState::value(int index) const
{
    return index >= 0 && index < kEntryCount ? m_values[index] : 0;
}

void ResponseGetInputState::decodePayload()
{
    for (int i = 0; i < kEntryCount; ++i) {
        m_flags[i] = payloadU8(5 * i) != 0;
        m_values[i] = payloadU32(5 * i + 1);
    }
}
