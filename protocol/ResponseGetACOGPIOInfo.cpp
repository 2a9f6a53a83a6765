#include "ResponseGetACOGPIOInfo.h"

ResponseGetACOGPIOInfo::ResponseGetACOGPIOInfo() = default;

ResponseGetACOGPIOInfo::~ResponseGetACOGPIOInfo() = default;

void ResponseGetACOGPIOInfo::decodePayload()
{
    m_ps1Led = payloadU8(0) == 1;
    m_ps2Led = payloadU8(1) == 1;
    m_localLed = payloadU8(2);
    m_remoteLed = payloadU8(3);
    m_panelType = payloadU8(4);
    m_gpioGreenMask = payloadU8(5);
    m_gpioRedMask = payloadU8(6);
    m_keyMask = payloadU8(7);
    m_ipReset = payloadU8(8) == 1;
    m_upgrade = payloadU8(9) == 1;
    m_remoteControl = payloadU8(10) == 1;
}
