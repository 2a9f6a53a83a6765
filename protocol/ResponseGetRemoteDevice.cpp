#include "ResponseGetRemoteDevice.h"

ResponseGetRemoteDevice::ResponseGetRemoteDevice() = default;

ResponseGetRemoteDevice::~ResponseGetRemoteDevice() = default;

void ResponseGetRemoteDevice::decodePayload()
{
    m_address = payloadU32(0);
    const int length = payloadU8(4);
    if (length > 6)
        return;
    char text[7] = {};
    for (int i = 0; i < length; ++i)
        text[i] = char(payloadU8(5 + i));
    // The text ends at the first zero byte, as the device's own tools read it.
    m_adminPassword = QString::fromUtf8(text);
}
