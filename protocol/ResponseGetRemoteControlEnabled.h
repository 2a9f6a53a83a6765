#ifndef RESPONSEGETREMOTECONTROLENABLED_H
#define RESPONSEGETREMOTECONTROLENABLED_H

#include "ResponseMsg.h"

// Whether remote control is enabled (any nonzero byte).
class ResponseGetRemoteControlEnabled : public ResponseMsg
{
public:
    ResponseGetRemoteControlEnabled();
    ~ResponseGetRemoteControlEnabled() override;

    bool enabled() const { return m_enabled; }

protected:
    void decodePayload() override;

private:
    bool m_enabled = false;
};

#endif // RESPONSEGETREMOTECONTROLENABLED_H
