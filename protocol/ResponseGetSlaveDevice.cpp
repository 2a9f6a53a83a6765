#include "ResponseGetSlaveDevice.h"

ResponseGetSlaveDevice::ResponseGetSlaveDevice() = default;

ResponseGetSlaveDevice::~ResponseGetSlaveDevice() = default;

quint32 ResponseGetSlaveDevice::address(int index) const
{
    return index >= 0 && index < kSlaveCount ? m_addresses[index] : 0;
}

QString ResponseGetSlaveDevice::adminPassword(int index) const
{
    return index >= 0 && index < kSlaveCount ? m_adminPasswords[index] : QString();
}

void ResponseGetSlaveDevice::decodePayload()
{
    int offset = 0;
    for (int i = 0; i < kSlaveCount; ++i) {
        m_addresses[i] = payloadU32(offset);
        const int length = payloadU8(offset + 4);
        if (length > 6)
            return;
        char text[7] = {};
        for (int k = 0; k < length; ++k)
            text[k] = char(payloadU8(offset + 5 + k));
        m_adminPasswords[i] = QString::fromUtf8(text);
        offset += 5 + length;
    }
}
