#ifndef RESPONSEGETAUDIOLEVEL_H
#define RESPONSEGETAUDIOLEVEL_H

#include "ResponseMsg.h"

// Audio levels: two rows of 16 one-byte levels, each held as a 16-bit number.
class ResponseGetAudioLevel : public ResponseMsg
{
public:
    ResponseGetAudioLevel();
    ~ResponseGetAudioLevel() override;

    static constexpr int kLevelCount = 16;

    qint16 firstLevel(int index) const { return index >= 0 && index < kLevelCount ? m_first[index] : 0; }
    qint16 secondLevel(int index) const { return index >= 0 && index < kLevelCount ? m_second[index] : 0; }

protected:
    void decodePayload() override;

private:
    qint16 m_first[kLevelCount] = {};
    qint16 m_second[kLevelCount] = {};
};

#endif // RESPONSEGETAUDIOLEVEL_H
