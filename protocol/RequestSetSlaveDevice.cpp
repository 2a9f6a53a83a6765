#include "RequestSetSlaveDevice.h"

#include "WireFormat.h"

RequestSetSlaveDevice::RequestSetSlaveDevice(quint32 loginId, quint16 sequence)
    : RequestMsg(loginId, sequence)
{
    m_messageType = 69;
}

RequestSetSlaveDevice::~RequestSetSlaveDevice() = default;

void RequestSetSlaveDevice::setAddress(int index, quint32 address)
{
    if (index >= 0 && index < kSlaveCount)
        m_addresses[index] = address;
}

void RequestSetSlaveDevice::setAdminPassword(int index, const QByteArray& adminPassword)
{
    if (index >= 0 && index < kSlaveCount)
        m_adminPasswords[index] = adminPassword;
}

quint32 RequestSetSlaveDevice::address(int index) const
{
    return index >= 0 && index < kSlaveCount ? m_addresses[index] : 0;
}

QByteArray RequestSetSlaveDevice::adminPassword(int index) const
{
    return index >= 0 && index < kSlaveCount ? m_adminPasswords[index] : QByteArray();
}

int RequestSetSlaveDevice::payloadSize() const
{
    int size = 0;
    for (const QByteArray& password : m_adminPasswords)
        size += 5 + password.size();
    return size;
}

void RequestSetSlaveDevice::writePayload(quint8* dest) const
{
    for (int i = 0; i < kSlaveCount; ++i) {
        dest = WireFormat::putU32(dest, m_addresses[i]);
        dest = WireFormat::putText(dest, m_adminPasswords[i]);
    }
}

bool RequestSetSlaveDevice::isFramable() const
{
    for (const QByteArray& password : m_adminPasswords) {
        if (!WireFormat::textFits(password))
            return false;
    }
    return true;
}
