#include "ResponseGetSystemAlarmParam.h"

ResponseGetSystemAlarmParam::ResponseGetSystemAlarmParam() = default;

ResponseGetSystemAlarmParam::~ResponseGetSystemAlarmParam() = default;

void ResponseGetSystemAlarmParam::decodePayload()
{
    m_alarmParam = payloadU32(0);
}
