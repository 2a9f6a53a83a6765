#ifndef NODATAREQUEST_H
#define NODATAREQUEST_H

#include "RequestMsg.h"

// A request whose frame is the header and the checksum only (12 bytes).
class NoDataRequest : public RequestMsg
{
public:
    NoDataRequest(quint32 loginId, quint16 sequence);
    ~NoDataRequest() override;

    int payloadSize() const override;
    void writePayload(quint8* dest) const override;
};

#endif // NODATAREQUEST_H
