#ifndef RESPONSEGETPHASE_H
#define RESPONSEGETPHASE_H

#include "ResponseMsg.h"

// Phase measurements: four inputs (two numbers and a state byte), then two outputs that add an enable flag.
class ResponseGetPhase : public ResponseMsg
{
public:
    ResponseGetPhase();
    ~ResponseGetPhase() override;

    static constexpr int kInputCount = 4;
    static constexpr int kOutputCount = 2;

    struct Entry
    {
        quint16 first = 0;
        quint16 second = 0;
        quint8 state = 255;
        bool enabled = false; // outputs only
    };

    const Entry& input(int index) const { return m_inputs[qBound(0, index, kInputCount - 1)]; }
    const Entry& output(int index) const { return m_outputs[qBound(0, index, kOutputCount - 1)]; }

protected:
    void decodePayload() override;

private:
    Entry m_inputs[kInputCount];
    Entry m_outputs[kOutputCount];
};

#endif // RESPONSEGETPHASE_H
