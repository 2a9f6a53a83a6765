#ifndef RESPONSEGETACOGPIOINFO_H
#define RESPONSEGETACOGPIOINFO_H

#include "ResponseMsg.h"

// The device's live state. The LED and indicator flags count as lit only when their byte is exactly 1.
class ResponseGetACOGPIOInfo : public ResponseMsg
{
public:
    ResponseGetACOGPIOInfo();
    ~ResponseGetACOGPIOInfo() override;

    bool ps1Led() const { return m_ps1Led; }
    bool ps2Led() const { return m_ps2Led; }
    int localLed() const { return m_localLed; }
    int remoteLed() const { return m_remoteLed; }
    int panelType() const { return m_panelType; }
    int gpioGreenMask() const { return m_gpioGreenMask; }
    int gpioRedMask() const { return m_gpioRedMask; }
    int keyMask() const { return m_keyMask; }
    bool ipReset() const { return m_ipReset; }
    bool upgrade() const { return m_upgrade; }
    bool remoteControl() const { return m_remoteControl; }

protected:
    void decodePayload() override;

private:
    bool m_ps1Led = false;
    bool m_ps2Led = false;
    int m_localLed = 255;
    int m_remoteLed = 255;
    int m_panelType = 255;
    int m_gpioGreenMask = 255;
    int m_gpioRedMask = 255;
    int m_keyMask = 255;
    bool m_ipReset = false;
    bool m_upgrade = false;
    bool m_remoteControl = false;
};

#endif // RESPONSEGETACOGPIOINFO_H
