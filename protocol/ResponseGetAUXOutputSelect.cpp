#include "ResponseGetAUXOutputSelect.h"

ResponseGetAUXOutputSelect::ResponseGetAUXOutputSelect() = default;

ResponseGetAUXOutputSelect::~ResponseGetAUXOutputSelect() = default;

void ResponseGetAUXOutputSelect::decodePayload()
{
    m_selection = payloadU8(0);
}
