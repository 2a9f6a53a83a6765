#include "ResponseGetAudioEffect.h"

ResponseGetAudioEffect::ResponseGetAudioEffect() = default;

ResponseGetAudioEffect::~ResponseGetAudioEffect() = default;

void ResponseGetAudioEffect::decodePayload()
{
    for (int i = 0; i < 2; ++i) {
        m_enabled[i] = payloadU8(5 * i) != 0;
        m_values[i] = payloadU32(5 * i + 1);
    }
    m_mode = payloadU8(10);
}
