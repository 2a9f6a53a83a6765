#ifndef RESPONSEGETNOTIFICATIONDEST_H
#define RESPONSEGETNOTIFICATIONDEST_H

#include "ResponseMsg.h"

// Two notification destinations, each an IPv4 address number and a port.
class ResponseGetNotificationDest : public ResponseMsg
{
public:
    ResponseGetNotificationDest();
    ~ResponseGetNotificationDest() override;

    quint32 address(int index) const { return index >= 0 && index < 2 ? m_addresses[index] : 0; }
    quint16 port(int index) const { return index >= 0 && index < 2 ? m_ports[index] : 0; }

protected:
    void decodePayload() override;

private:
    quint32 m_addresses[2] = { 0, 0 };
    quint16 m_ports[2] = { 0, 0 };
};

#endif // RESPONSEGETNOTIFICATIONDEST_H
