#ifndef RESPONSEGETPHASEALIGNSTATE_H
#define RESPONSEGETPHASEALIGNSTATE_H

#include "ResponseMsg.h"

// Phase alignment: 0 and 1 steady, 2 flashing.
class ResponseGetPhaseAlignState : public ResponseMsg
{
public:
    ResponseGetPhaseAlignState();
    ~ResponseGetPhaseAlignState() override;

    quint8 state() const { return m_state; }

protected:
    void decodePayload() override;

private:
    quint8 m_state = 0;
};

#endif // RESPONSEGETPHASEALIGNSTATE_H
