#ifndef RESPONSEGETINPUTSTATE_H
#define RESPONSEGETINPUTSTATE_H

#include "ResponseMsg.h"

// Five flag/value pairs: the leading pair, then one per input 1 to 4.
class ResponseGetInputState : public ResponseMsg
{
public:
    ResponseGetInputState();
    ~ResponseGetInputState() override;

    static constexpr int kEntryCount = 5;

    // index 0 is the leading pair, 1 to 4 the inputs.
    bool flag(int index) const;
    quint32 value(int index) const;

protected:
    void decodePayload() override;

private:
    bool m_flags[kEntryCount] = {};
    quint32 m_values[kEntryCount] = { 0x7FFFFFFF, 0x7FFFFFFF, 0x7FFFFFFF, 0x7FFFFFFF, 0x7FFFFFFF };
};

#endif // RESPONSEGETINPUTSTATE_H
