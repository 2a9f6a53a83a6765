#include "ResponseGetPGMOutputSelect.h"

ResponseGetPGMOutputSelect::ResponseGetPGMOutputSelect() = default;

ResponseGetPGMOutputSelect::~ResponseGetPGMOutputSelect() = default;

void ResponseGetPGMOutputSelect::decodePayload()
{
    m_selection[0] = payloadU8(0);
    m_selection[1] = payloadU8(1);
}
