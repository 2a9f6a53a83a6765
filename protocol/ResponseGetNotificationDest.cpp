#include "ResponseGetNotificationDest.h"

ResponseGetNotificationDest::ResponseGetNotificationDest() = default;

ResponseGetNotificationDest::~ResponseGetNotificationDest() = default;

void ResponseGetNotificationDest::decodePayload()
{
    for (int i = 0; i < 2; ++i) {
        m_addresses[i] = payloadU32(6 * i);
        m_ports[i] = payloadU16(6 * i + 4);
    }
}
