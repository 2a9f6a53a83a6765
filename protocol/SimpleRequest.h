#ifndef SIMPLEREQUEST_H
#define SIMPLEREQUEST_H

#include "NoDataRequest.h"

// A payload-less request of one message type (the "Get..." requests and Hello).
template <int type> class SimpleRequest : public NoDataRequest
{
public:
    SimpleRequest(quint32 loginId, quint16 sequence)
        : NoDataRequest(loginId, sequence)
    {
        m_messageType = type;
    }
};

#endif // SIMPLEREQUEST_H
