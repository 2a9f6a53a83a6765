#include "ResponseGetSPIFlashInfo.h"

ResponseGetSPIFlashInfo::ResponseGetSPIFlashInfo() = default;

ResponseGetSPIFlashInfo::~ResponseGetSPIFlashInfo() = default;

void ResponseGetSPIFlashInfo::decodePayload()
{
    m_flashInfo = payloadU16(0);
}
