#include "NoDataRequest.h"

NoDataRequest::NoDataRequest(quint32 loginId, quint16 sequence)
    : RequestMsg(loginId, sequence)
{
}

NoDataRequest::~NoDataRequest() = default;

int NoDataRequest::payloadSize() const
{
    return 0;
}

void NoDataRequest::writePayload(quint8* /*dest*/) const { }
