#ifndef REQUESTSETREMOTEDEVICE_H
#define REQUESTSETREMOTEDEVICE_H

#include "RequestMsg.h"

#include <QByteArray>

// The main remote ACO device the unit works with: its address and its admin password.
class RequestSetRemoteDevice : public RequestMsg
{
public:
    RequestSetRemoteDevice(quint32 loginId, quint16 sequence);
    ~RequestSetRemoteDevice() override;

    void setAddress(quint32 address) { m_address = address; }
    void setAdminPassword(const QByteArray& adminPassword) { m_adminPassword = adminPassword; }
    quint32 address() const { return m_address; }
    const QByteArray& adminPassword() const { return m_adminPassword; }

    int payloadSize() const override;
    void writePayload(quint8* dest) const override;
    bool isFramable() const override;

private:
    quint32 m_address = 0;
    QByteArray m_adminPassword;
};

#endif // REQUESTSETREMOTEDEVICE_H
