#ifndef REQUESTSETSLAVEDEVICE_H
#define REQUESTSETSLAVEDEVICE_H

#include "RequestMsg.h"

#include <QByteArray>

// Slave devices 1 to 3: per device an address and its admin password, packed one after the other.
class RequestSetSlaveDevice : public RequestMsg
{
public:
    static constexpr int kSlaveCount = 3;

    RequestSetSlaveDevice(quint32 loginId, quint16 sequence);
    ~RequestSetSlaveDevice() override;

    // index 0 to 2 (slave device 1 to 3); other indexes are ignored.
    void setAddress(int index, quint32 address);
    void setAdminPassword(int index, const QByteArray& adminPassword);
    quint32 address(int index) const;
    QByteArray adminPassword(int index) const;

    int payloadSize() const override;
    void writePayload(quint8* dest) const override;
    bool isFramable() const override;

private:
    quint32 m_addresses[kSlaveCount] = { 0, 0, 0 };
    QByteArray m_adminPasswords[kSlaveCount];
};

#endif // REQUESTSETSLAVEDEVICE_H
