#ifndef RESPONSEGETAGCPARAM_H
#define RESPONSEGETAGCPARAM_H

#include "ResponseMsg.h"

// Automatic gain control: flags count only when their byte is exactly 1.
class ResponseGetAGCParam : public ResponseMsg
{
public:
    ResponseGetAGCParam();
    ~ResponseGetAGCParam() override;

    static constexpr int kLevelCount = 16;
    static constexpr int kRawSize = 6;

    bool enabled() const { return m_enabled; }
    quint32 value() const { return m_value; }
    int level(int index) const { return index >= 0 && index < kLevelCount ? m_levels[index] : 0; }
    quint8 mode() const { return m_mode; }
    const quint8* rawBlock() const { return m_rawBlock; }
    bool firstFlag() const { return m_firstFlag; }
    bool secondFlag() const { return m_secondFlag; }

protected:
    void decodePayload() override;

private:
    bool m_enabled = false;
    quint32 m_value = 0;
    int m_levels[kLevelCount] = {};
    quint8 m_mode = 0;
    quint8 m_rawBlock[kRawSize] = {};
    bool m_firstFlag = false;
    bool m_secondFlag = false;
};

#endif // RESPONSEGETAGCPARAM_H
