#include "ResponseGetAudioLevel.h"

ResponseGetAudioLevel::ResponseGetAudioLevel() = default;

ResponseGetAudioLevel::~ResponseGetAudioLevel() = default;

void ResponseGetAudioLevel::decodePayload()
{
    for (int i = 0; i < kLevelCount; ++i) {
        m_first[i] = qint16(payloadU8(i));
        m_second[i] = qint16(payloadU8(kLevelCount + i));
    }
}
