#ifndef RESPONSEGETGPIOSTATE_H
#define RESPONSEGETGPIOSTATE_H

#include "ResponseMsg.h"

// GPIO state, two bytes.
class ResponseGetGPIOState : public ResponseMsg
{
public:
    ResponseGetGPIOState();
    ~ResponseGetGPIOState() override;

    quint8 state(int index) const { return index >= 0 && index < 2 ? m_state[index] : 0; }

protected:
    void decodePayload() override;

private:
    quint8 m_state[2] = { 0, 0 };
};

#endif // RESPONSEGETGPIOSTATE_H
