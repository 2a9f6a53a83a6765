#include "ResponseGetHwTune.h"

ResponseGetHwTune::ResponseGetHwTune() = default;

ResponseGetHwTune::~ResponseGetHwTune() = default;

void ResponseGetHwTune::decodePayload()
{
    for (int i = 0; i < kSize; ++i)
        m_tuneData[i] = payloadU8(i);
}
