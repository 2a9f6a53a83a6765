#ifndef RESPONSEGETREMOTEDEVICE_H
#define RESPONSEGETREMOTEDEVICE_H

#include "ResponseMsg.h"

#include <QString>

// The main remote ACO device: address and admin password (at most 6 bytes; a longer one is not taken).
class ResponseGetRemoteDevice : public ResponseMsg
{
public:
    ResponseGetRemoteDevice();
    ~ResponseGetRemoteDevice() override;

    quint32 address() const { return m_address; }
    const QString& adminPassword() const { return m_adminPassword; }

protected:
    void decodePayload() override;

private:
    quint32 m_address = 0;
    QString m_adminPassword;
};

#endif // RESPONSEGETREMOTEDEVICE_H
