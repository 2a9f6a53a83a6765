#include "RequestHello.h"

RequestHello::RequestHello(quint32 loginId, quint16 sequence)
    : SimpleRequest<1>(loginId, sequence)
{
}

RequestHello::~RequestHello() = default;

int RequestHello::receiveTimeout() const
{
    return 1000;
}
