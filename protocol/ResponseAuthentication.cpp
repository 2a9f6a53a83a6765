#include "ResponseAuthentication.h"

ResponseAuthentication::ResponseAuthentication() = default;

ResponseAuthentication::~ResponseAuthentication() = default;

void ResponseAuthentication::decodePayload()
{
    m_loginId = payloadU32(0);
}
