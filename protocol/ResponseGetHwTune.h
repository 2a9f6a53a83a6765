#ifndef RESPONSEGETHWTUNE_H
#define RESPONSEGETHWTUNE_H

#include "ResponseMsg.h"

// Hardware tuning block, 64 raw bytes.
class ResponseGetHwTune : public ResponseMsg
{
public:
    ResponseGetHwTune();
    ~ResponseGetHwTune() override;

    static constexpr int kSize = 64;
    const quint8* tuneData() const { return m_tuneData; }

protected:
    void decodePayload() override;

private:
    quint8 m_tuneData[kSize] = {};
};

#endif // RESPONSEGETHWTUNE_H
