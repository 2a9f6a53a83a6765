#include "ResponseGetAutoSwitchMethod.h"

ResponseGetAutoSwitchMethod::ResponseGetAutoSwitchMethod() = default;

ResponseGetAutoSwitchMethod::~ResponseGetAutoSwitchMethod() = default;

void ResponseGetAutoSwitchMethod::decodePayload()
{
    m_methods[0] = payloadU8(0);
    m_methods[1] = payloadU8(1);
}
