#ifndef SIMDEVICE_H
#define SIMDEVICE_H

#include "SimDeviceState.h"

#include <QByteArray>
#include <QString>

#include <random>

// The simulated device's brain without any sockets: takes one request datagram, changes the
// state as the device would and builds the answer. Not thread-safe; the owner locks.
class SimDevice
{
public:
    enum MessageType : quint16 {
        Hello = 1,
        Authentication = 2,
        GetWorkMode = 3,
        GetProductInfo = 5,
        GetVersion = 23,
        SetNetParam = 25,
        GetNetParam = 26,
        ModifyPassword = 27,
        SetShortPressKeyState = 61,
        GetShortPressKeyState = 62,
        GetACOGPIOInfo = 63,
        SetRemoteDevice = 64,
        GetRemoteDevice = 65,
        SetSlaveDevice = 69,
        GetSlaveDevice = 70,
        GetPhaseAlignState = 71,
        SetABKeyState = 72
    };

    enum ErrorCode : quint32 {
        Success = 0,
        Failed = 1,
        MsgFormatWrong = 9,
        UnsupportedMsgVersion = 10,
        UnsupportedMsg = 11,
        AuthenticationFailed = 12,
        AuthenticationTimeout = 13
    };

    explicit SimDevice(const SimDeviceState& initial = SimDeviceState());

    const SimDeviceState& state() const { return m_state; }
    void setState(const SimDeviceState& state) { m_state = state; }

    // The answer to one datagram whose checksum holds, or an empty array when it is too short
    // to carry a type and sequence to echo (such datagrams are dropped).
    QByteArray answer(const QByteArray& request);

    quint32 loginId() const { return m_loginId; }
    QString loginUser() const { return m_loginUser; }
    void forgetLogin();

    // Update mode runs with work mode 0; leaving it restores the previous work mode.
    void setUpdateMode(bool on);
    bool updateMode() const { return m_state.workMode == 0; }

    // One step of the demo scenario: a few indicators, keys and LEDs change.
    void livelyStep();

    static bool isSupportedType(int type);
    // Hello, Authentication and GetWorkMode are answered whatever the login id.
    static bool needsLogin(int type);
    // Further types of the message table that the simulator answers without state of its own.
    static bool isPlainSetting(int type);
    static int plainReadingSize(int type); // payload size of the answer, -1 when not such a reading
    // Dotted text of an address number whose most significant byte is the first number.
    static QString addressText(quint32 address);
    // The reverse; an empty text is 0.0.0.0 and text that does not parse is 255.255.255.255.
    static quint32 addressValue(const QString& text);
    static bool parseAddress(const QString& text, quint32* address);
    static QString serialText(const QByteArray& serial);

private:
    quint32 handle(quint16 type, const QByteArray& payload, QByteArray* out);
    quint32 newLoginId();
    quint8 randomInputBit();

    SimDeviceState m_state;
    quint32 m_loginId = 0;
    QString m_loginUser;
    quint8 m_workModeBeforeUpdate = 1;
    std::mt19937 m_loginRandom;
    std::minstd_rand m_livelyRandom;
    unsigned m_livelyStep = 0;
};

#endif // SIMDEVICE_H
