#ifndef SIMDEVICESTATE_H
#define SIMDEVICESTATE_H

#include <QByteArray>
#include <QString>
#include <QtGlobal>

// Everything the simulated device knows. Defaults describe a healthy 2x1 unit.
struct SimDeviceState
{
    quint32 productCode = 50003;
    QByteArray serial = QByteArray::fromHex("5158000004D2002A"); // QX00001234-00000042
    QByteArray productExtra = QByteArray(8, '\0');
    quint32 pcbVersion = 3;
    quint32 firmwareVersion = (1u << 24) | (1u << 16) | 46u; // 1.1.46
    quint8 workMode = 1;

    quint32 address = 0x7F000001; // 127.0.0.1
    quint32 subnetMask = 0xFF000000;
    quint32 gateway = 0x7F0000FE;
    bool isDefault = false;

    bool keyLock = false;
    bool autoMode = true;
    quint8 panelType = 0; // 0 D2X1, 1 4X1, 2 Others

    bool ps1Led = true;
    bool ps2Led = true;
    quint8 localLed = 0;
    quint8 remoteLed = 1;
    quint8 gpioGreenMask = 0x09;
    quint8 gpioRedMask = 0x00;
    quint8 keyMask = 0x09;
    bool ipReset = false;
    bool upgrade = false;
    bool remCtrl = false;
    quint8 phaseAlign = 1;

    QString remoteAddress = QStringLiteral("0.0.0.0");
    QString remotePassword;
    QString slaveAddress[3] = {QStringLiteral("0.0.0.0"), QStringLiteral("0.0.0.0"), QStringLiteral("0.0.0.0")};
    QString slavePassword[3];

    QString adminPassword = QStringLiteral("123456");
    QString guestPassword = QStringLiteral("111111");
};

#endif // SIMDEVICESTATE_H
