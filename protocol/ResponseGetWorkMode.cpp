#include "ResponseGetWorkMode.h"

ResponseGetWorkMode::ResponseGetWorkMode() = default;

ResponseGetWorkMode::~ResponseGetWorkMode() = default;

void ResponseGetWorkMode::decodePayload()
{
    m_workMode = payloadU8(0);
    m_secondValue = payloadU8(1);
}
