#ifndef RESPONSEGETGPIOTRIGGERMODE_H
#define RESPONSEGETGPIOTRIGGERMODE_H

#include "ResponseMsg.h"

// GPIO trigger modes, two bytes.
class ResponseGetGPIOTriggerMode : public ResponseMsg
{
public:
    ResponseGetGPIOTriggerMode();
    ~ResponseGetGPIOTriggerMode() override;

    int mode(int index) const { return index >= 0 && index < 2 ? m_modes[index] : 255; }

protected:
    void decodePayload() override;

private:
    int m_modes[2] = { 255, 255 };
};

#endif // RESPONSEGETGPIOTRIGGERMODE_H
