#ifndef RESPONSEGETRELAYCONTROL_H
#define RESPONSEGETRELAYCONTROL_H

#include "ResponseMsg.h"

// Two relays, each with two flags (bytes 2i and 2i + 1, any nonzero byte is set).
class ResponseGetRelayControl : public ResponseMsg
{
public:
    ResponseGetRelayControl();
    ~ResponseGetRelayControl() override;

    static constexpr int kRelayCount = 2;

    bool first(int relay) const { return relay >= 0 && relay < kRelayCount && m_first[relay]; }
    bool second(int relay) const { return relay >= 0 && relay < kRelayCount && m_second[relay]; }

protected:
    void decodePayload() override;

private:
    bool m_first[kRelayCount] = { false, false };
    bool m_second[kRelayCount] = { false, false };
};

#endif // RESPONSEGETRELAYCONTROL_H
