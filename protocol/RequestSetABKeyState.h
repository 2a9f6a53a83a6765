#ifndef REQUESTSETABKEYSTATE_H
#define REQUESTSETABKEYSTATE_H

#include "RequestMsg.h"

// Presses one A/B key of the device: the key's bit (1 << index), low 8 bits on the wire.
class RequestSetABKeyState : public RequestMsg
{
public:
    RequestSetABKeyState(quint32 loginId, quint16 sequence);
    ~RequestSetABKeyState() override;

    void setKey(quint32 key) { m_key = key; }
    quint32 key() const { return m_key; }

    int payloadSize() const override;
    void writePayload(quint8* dest) const override;

private:
    quint32 m_key = 0;
};

#endif // REQUESTSETABKEYSTATE_H
