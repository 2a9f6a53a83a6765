#ifndef RESPONSEGETAUTOSWITCHMETHOD_H
#define RESPONSEGETAUTOSWITCHMETHOD_H

#include "ResponseMsg.h"

// Automatic switch method, two bytes.
class ResponseGetAutoSwitchMethod : public ResponseMsg
{
public:
    ResponseGetAutoSwitchMethod();
    ~ResponseGetAutoSwitchMethod() override;

    int method(int index) const { return index >= 0 && index < 2 ? m_methods[index] : 255; }

protected:
    void decodePayload() override;

private:
    int m_methods[2] = { 255, 255 };
};

#endif // RESPONSEGETAUTOSWITCHMETHOD_H
