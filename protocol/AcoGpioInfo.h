#ifndef ACOGPIOINFO_H
#define ACOGPIOINFO_H

#include <QMetaType>
#include <QtGlobal>

// The device's live state as one value. The poller assembles it from three answers;
// every field starts at zero so that a fresh record compares as "nothing known yet".
struct AcoGpioInfo
{
    bool ps1Led = false;
    bool ps2Led = false;
    quint32 localLed = 0;      // 0 green, 1 off, 2 green flashing
    quint32 remoteLed = 0;     // same coding as localLed
    quint32 panelType = 0;     // 0 D2X1, 1 4X1, 2 Others
    quint32 gpioGreenMask = 0; // bit i: GPIO LED i green
    quint32 gpioRedMask = 0;   // bit i: GPIO LED i red (both: flashing)
    quint32 keyMask = 0;       // bit i: A/B key i on
    bool ipReset = false;
    bool upgrade = false;
    bool remCtrl = false;
    bool keyLock = false;
    bool autoMode = false;
    quint8 phaseAlign = 0;      // 0 off, 1 on, 2 flashing
    quint32 remoteKeyMask = 0;  // key bit pressed in this tool since the last record

    bool operator==(const AcoGpioInfo& o) const
    {
        return ps1Led == o.ps1Led && ps2Led == o.ps2Led && localLed == o.localLed && remoteLed == o.remoteLed
            && panelType == o.panelType && gpioGreenMask == o.gpioGreenMask && gpioRedMask == o.gpioRedMask
            && keyMask == o.keyMask && ipReset == o.ipReset && upgrade == o.upgrade && remCtrl == o.remCtrl
            && keyLock == o.keyLock && autoMode == o.autoMode && phaseAlign == o.phaseAlign
            && remoteKeyMask == o.remoteKeyMask;
    }
    bool operator!=(const AcoGpioInfo& o) const { return !(*this == o); }
};

Q_DECLARE_METATYPE(AcoGpioInfo)

#endif // ACOGPIOINFO_H
