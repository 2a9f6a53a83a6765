#ifndef RESPONSEGETSHORTPRESSKEYSTATE_H
#define RESPONSEGETSHORTPRESSKEYSTATE_H

#include "ResponseMsg.h"

// Key lock, auto mode and front-panel type (0 D2X1, 1 4X1, other Others).
class ResponseGetShortPressKeyState : public ResponseMsg
{
public:
    ResponseGetShortPressKeyState();
    ~ResponseGetShortPressKeyState() override;

    bool keyLock() const { return m_keyLock; }
    bool autoMode() const { return m_autoMode; }
    int panelType() const { return m_panelType; }

protected:
    void decodePayload() override;

private:
    bool m_keyLock = false;
    bool m_autoMode = false;
    int m_panelType = 255;
};

#endif // RESPONSEGETSHORTPRESSKEYSTATE_H
