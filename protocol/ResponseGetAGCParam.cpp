#include "ResponseGetAGCParam.h"

ResponseGetAGCParam::ResponseGetAGCParam() = default;

ResponseGetAGCParam::~ResponseGetAGCParam() = default;

void ResponseGetAGCParam::decodePayload()
{
    m_enabled = payloadU8(0) == 1;
    m_value = payloadU32(1);
    for (int i = 0; i < kLevelCount; ++i)
        m_levels[i] = payloadU8(5 + i);
    m_mode = payloadU8(21);
    for (int i = 0; i < kRawSize; ++i)
        m_rawBlock[i] = payloadU8(22 + i);
    m_firstFlag = payloadU8(28) == 1;
    m_secondFlag = payloadU8(29) == 1;
}
