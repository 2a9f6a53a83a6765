#ifndef RESPONSEGETMCUFLASHINFO_H
#define RESPONSEGETMCUFLASHINFO_H

#include "ResponseMsg.h"

// MCU flash information, one 16-bit number.
class ResponseGetMCUFlashInfo : public ResponseMsg
{
public:
    ResponseGetMCUFlashInfo();
    ~ResponseGetMCUFlashInfo() override;

    quint16 flashInfo() const { return m_flashInfo; }

protected:
    void decodePayload() override;

private:
    quint16 m_flashInfo = 0;
};

#endif // RESPONSEGETMCUFLASHINFO_H
