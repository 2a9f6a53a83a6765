#ifndef REMOTEACOENTRY_H
#define REMOTEACOENTRY_H

#include "UdpChannel.h"

#include <QtGlobal>

// One watched partner device: the result of its last probe and the socket it is probed through.
struct RemoteAcoEntry
{
    quint8 alive = false; // the last probe was answered
    quint8 firstReport = true; // the first probe has not been reported yet
    quint16 sequence = 0; // sequence number of the next probe; wraps
    UdpChannel channel; // closed when the entry is destroyed
};

#endif // REMOTEACOENTRY_H
