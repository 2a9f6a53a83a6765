#ifndef DEVICERELAY_H
#define DEVICERELAY_H

#include "ScriptedPeer.h"

#include <QList>
#include <QString>

// Stands between a client and the simulator on a loopback address of its own: passes every
// request on and the simulator's answer back, except the message types it is told to refuse,
// which get an answer with error code 1 at once. Lets a test fail one request in the middle
// of a sequence that the client runs without pause.
class DeviceRelay
{
public:
    DeviceRelay();
    ~DeviceRelay();

    bool start(const char* listenAddress, const QString& simAddress, quint16 simPort);
    quint16 port() const { return peer.port(); }
    void refuse(const QList<int>& types);

private:
    ScriptedPeer peer;
    int upstream = -1;
};

#endif // DEVICERELAY_H
