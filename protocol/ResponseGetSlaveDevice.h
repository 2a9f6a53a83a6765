#ifndef RESPONSEGETSLAVEDEVICE_H
#define RESPONSEGETSLAVEDEVICE_H

#include "ResponseMsg.h"

#include <QString>

// Slave devices 1 to 3, each an address and an admin password; decoding stops at a password over 6 bytes.
class ResponseGetSlaveDevice : public ResponseMsg
{
public:
    ResponseGetSlaveDevice();
    ~ResponseGetSlaveDevice() override;

    static constexpr int kSlaveCount = 3;

    // index 0 to 2 (slave device 1 to 3).
    quint32 address(int index) const;
    QString adminPassword(int index) const;

protected:
    void decodePayload() override;

private:
    quint32 m_addresses[kSlaveCount] = { 0, 0, 0 };
    QString m_adminPasswords[kSlaveCount];
};

#endif // RESPONSEGETSLAVEDEVICE_H
