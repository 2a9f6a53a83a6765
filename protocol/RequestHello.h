#ifndef REQUESTHELLO_H
#define REQUESTHELLO_H

#include "SimpleRequest.h"

// The "are you there" probe; answered quickly or not at all, hence the shorter wait.
class RequestHello : public SimpleRequest<1>
{
public:
    RequestHello(quint32 loginId, quint16 sequence);
    ~RequestHello() override;

    int receiveTimeout() const override;
};

#endif // REQUESTHELLO_H
