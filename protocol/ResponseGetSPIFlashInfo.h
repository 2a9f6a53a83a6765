#ifndef RESPONSEGETSPIFLASHINFO_H
#define RESPONSEGETSPIFLASHINFO_H

#include "ResponseMsg.h"

// SPI flash information, one 16-bit number.
class ResponseGetSPIFlashInfo : public ResponseMsg
{
public:
    ResponseGetSPIFlashInfo();
    ~ResponseGetSPIFlashInfo() override;

    quint16 flashInfo() const { return m_flashInfo; }

protected:
    void decodePayload() override;

private:
    quint16 m_flashInfo = 0;
};

#endif // RESPONSEGETSPIFLASHINFO_H
