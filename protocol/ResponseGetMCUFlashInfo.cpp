#include "ResponseGetMCUFlashInfo.h"

ResponseGetMCUFlashInfo::ResponseGetMCUFlashInfo() = default;

ResponseGetMCUFlashInfo::~ResponseGetMCUFlashInfo() = default;

void ResponseGetMCUFlashInfo::decodePayload()
{
    m_flashInfo = payloadU16(0);
}
