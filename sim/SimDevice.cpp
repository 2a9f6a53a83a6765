#include "SimDevice.h"

#include "SimFrame.h"
#include "SimPayloadReader.h"

#include <QStringList>

#include <chrono>

namespace {

QByteArray fixedBlock(const QByteArray& bytes, int size)
{
    QByteArray block = bytes.left(size);
    block.append(QByteArray(size - block.size(), '\0'));
    return block;
}

} // namespace

SimDevice::SimDevice(const SimDeviceState& initial)
    : m_state(initial)
    , m_loginRandom(std::random_device {}() ^ quint32(std::chrono::steady_clock::now().time_since_epoch().count()))
    , m_livelyRandom(20240611u)
{
}

bool SimDevice::isSupportedType(int type)
{
    switch (type) {
    case Hello:
    case Authentication:
    case GetWorkMode:
    case GetProductInfo:
    case GetVersion:
    case SetNetParam:
    case GetNetParam:
    case ModifyPassword:
    case SetShortPressKeyState:
    case GetShortPressKeyState:
    case GetACOGPIOInfo:
    case SetRemoteDevice:
    case GetRemoteDevice:
    case SetSlaveDevice:
    case GetSlaveDevice:
    case GetPhaseAlignState:
    case SetABKeyState:
        return true;
    default:
        return isPlainSetting(type) || plainReadingSize(type) >= 0;
    }
}

bool SimDevice::needsLogin(int type)
{
    // A device in its update firmware must be recognisable before anyone logs in.
    return type != Hello && type != Authentication && type != GetWorkMode;
}

bool SimDevice::isPlainSetting(int type)
{
    // Settings the device takes but this stand-in has no state for: accepted and acknowledged.
    switch (type) {
    case 4: // SetProductInfo
    case 7:
    case 9:
    case 11:
    case 14:
    case 15:
    case 16:
    case 17:
    case 19:
    case 20:
    case 21:
    case 22:
    case 24:
    case 31:
    case 33:
    case 35:
    case 37:
    case 40:
    case 42:
    case 44:
    case 46:
    case 48:
    case 50:
    case 52:
    case 53:
    case 56:
    case 58:
        return true;
    default:
        return false;
    }
}

int SimDevice::plainReadingSize(int type)
{
    // Readings this stand-in has no state for: answered with a zero-filled payload of the listed size.
    switch (type) {
    case 10: // GetMacAddress
        return 6;
    case 12: // GetHwTune
        return 64;
    case 13: // GetSPIFlashInfo
    case 18: // GetMCUFlashInfo
        return 2;
    case 28: // GetRemoteControlEnabled
        return 1;
    case 29: // GetInputState
        return 25;
    case 30: // GetGPIOState
        return 2;
    case 32: // GetPhase
        return 32;
    case 34: // GetGPIOTriggerMode
        return 2;
    case 36: // GetDetectionParam
        return 98;
    case 38: // GetSystemAlarmParam
        return 4;
    case 39: // GetAlarmInfo
        return 37;
    case 41: // GetAudioEffect
        return 11;
    case 43: // GetPGMOutputSelect
        return 2;
    case 45: // GetAUXOutputSelect
        return 1;
    case 47: // GetRelayControl
        return 4;
    case 49: // GetAutoSwitchMethod
        return 2;
    case 51: // GetAutoSwitchTrigger
        return 36;
    case 54: // GetAGCParam
        return 30;
    case 55: // GetAudioLevel
        return 32;
    case 57: // GetNotificationDest
        return 12;
    case 59: // GetTrapIp
        return 8;
    default:
        return -1;
    }
}

QByteArray SimDevice::answer(const QByteArray& request)
{
    SimFrame::Header header;
    if (request.size() < SimFrame::MinFrame || !SimFrame::readHeader(request, &header))
        return {};

    quint32 code = Success;
    QByteArray payload;
    if (header.length != request.size() - 2)
        code = MsgFormatWrong;
    else if (header.version != 1)
        code = UnsupportedMsgVersion;
    else if (!isSupportedType(header.type))
        code = UnsupportedMsg;
    else if (needsLogin(header.type) && (m_loginId == 0 || header.loginId != m_loginId))
        code = AuthenticationTimeout;
    else
        code = handle(header.type, SimFrame::payload(request), &payload);

    return SimFrame::answer(header.type, code, header.sequence, code == Success ? payload : QByteArray());
}

quint32 SimDevice::handle(quint16 type, const QByteArray& payload, QByteArray* out)
{
    SimPayloadReader in(payload);
    switch (type) {
    case Hello:
        return in.complete() ? Success : MsgFormatWrong;

    case Authentication: {
        const QByteArray user = in.text();
        const QByteArray password = in.text();
        if (!in.complete())
            return MsgFormatWrong;
        const bool admin = user == "admin" && password == m_state.adminPassword.toUtf8();
        const bool guest = user == "guest" && password == m_state.guestPassword.toUtf8();
        if (!admin && !guest)
            return AuthenticationFailed; // the previous login, if any, stays valid
        m_loginId = newLoginId();
        m_loginUser = QString::fromUtf8(user);
        SimFrame::appendU32(out, m_loginId);
        return Success;
    }

    case GetWorkMode:
        if (!in.complete())
            return MsgFormatWrong;
        SimFrame::appendU8(out, m_state.workMode);
        SimFrame::appendU8(out, 0);
        return Success;

    case GetProductInfo:
        if (!in.complete())
            return MsgFormatWrong;
        SimFrame::appendU32(out, m_state.productCode);
        out->append(fixedBlock(m_state.serial, 8));
        out->append(fixedBlock(m_state.productExtra, 8));
        return Success;

    case GetVersion:
        if (!in.complete())
            return MsgFormatWrong;
        SimFrame::appendU32(out, m_state.pcbVersion);
        SimFrame::appendU32(out, 0);
        SimFrame::appendU32(out, m_state.firmwareVersion);
        return Success;

    case SetNetParam: {
        const quint32 address = in.u32();
        const quint32 mask = in.u32();
        const quint32 gateway = in.u32();
        if (!in.complete())
            return MsgFormatWrong;
        // Stored only: the device keeps answering where it is bound until it restarts.
        m_state.address = address;
        m_state.subnetMask = mask;
        m_state.gateway = gateway;
        m_state.isDefault = false;
        return Success;
    }

    case GetNetParam:
        if (!in.complete())
            return MsgFormatWrong;
        SimFrame::appendU32(out, m_state.address);
        SimFrame::appendU32(out, m_state.subnetMask);
        SimFrame::appendU32(out, m_state.gateway);
        SimFrame::appendU8(out, m_state.isDefault ? 1 : 0);
        return Success;

    case ModifyPassword: {
        const QByteArray user = in.text();
        const QByteArray password = in.text();
        if (!in.complete())
            return MsgFormatWrong;
        if (user == "admin")
            m_state.adminPassword = QString::fromUtf8(password);
        else if (user == "guest")
            m_state.guestPassword = QString::fromUtf8(password);
        else
            return Failed; // not an authentication matter: the caller's login is fine
        return Success;
    }

    case SetShortPressKeyState: {
        const quint8 keyLock = in.u8();
        const quint8 autoMode = in.u8();
        const quint8 panelType = in.u8();
        if (!in.complete())
            return MsgFormatWrong;
        m_state.keyLock = keyLock != 0;
        m_state.autoMode = autoMode != 0;
        m_state.panelType = panelType;
        return Success;
    }

    case GetShortPressKeyState:
        if (!in.complete())
            return MsgFormatWrong;
        SimFrame::appendU8(out, m_state.keyLock ? 1 : 0);
        SimFrame::appendU8(out, m_state.autoMode ? 1 : 0);
        SimFrame::appendU8(out, m_state.panelType);
        return Success;

    case GetACOGPIOInfo:
        if (!in.complete())
            return MsgFormatWrong;
        SimFrame::appendU8(out, m_state.ps1Led ? 1 : 0);
        SimFrame::appendU8(out, m_state.ps2Led ? 1 : 0);
        SimFrame::appendU8(out, m_state.localLed);
        SimFrame::appendU8(out, m_state.remoteLed);
        SimFrame::appendU8(out, m_state.panelType);
        SimFrame::appendU8(out, m_state.gpioGreenMask);
        SimFrame::appendU8(out, m_state.gpioRedMask);
        SimFrame::appendU8(out, m_state.keyMask);
        SimFrame::appendU8(out, m_state.ipReset ? 1 : 0);
        SimFrame::appendU8(out, m_state.upgrade ? 1 : 0);
        SimFrame::appendU8(out, m_state.remCtrl ? 1 : 0);
        return Success;

    case SetRemoteDevice: {
        const quint32 address = in.u32();
        const QByteArray password = in.text();
        if (!in.complete())
            return MsgFormatWrong;
        m_state.remoteAddress = addressText(address);
        m_state.remotePassword = QString::fromUtf8(password);
        return Success;
    }

    case GetRemoteDevice:
        if (!in.complete())
            return MsgFormatWrong;
        SimFrame::appendU32(out, addressValue(m_state.remoteAddress));
        SimFrame::appendText(out, m_state.remotePassword.toUtf8());
        return Success;

    case SetSlaveDevice: {
        quint32 addresses[3];
        QByteArray passwords[3];
        for (int i = 0; i < 3; ++i) {
            addresses[i] = in.u32();
            passwords[i] = in.text();
        }
        if (!in.complete())
            return MsgFormatWrong;
        for (int i = 0; i < 3; ++i) {
            m_state.slaveAddress[i] = addressText(addresses[i]);
            m_state.slavePassword[i] = QString::fromUtf8(passwords[i]);
        }
        return Success;
    }

    case GetSlaveDevice:
        if (!in.complete())
            return MsgFormatWrong;
        for (int i = 0; i < 3; ++i) {
            SimFrame::appendU32(out, addressValue(m_state.slaveAddress[i]));
            SimFrame::appendText(out, m_state.slavePassword[i].toUtf8());
        }
        return Success;

    case GetPhaseAlignState:
        if (!in.complete())
            return MsgFormatWrong;
        SimFrame::appendU8(out, m_state.phaseAlign);
        return Success;

    case SetABKeyState: {
        const quint8 key = in.u8();
        if (!in.complete())
            return MsgFormatWrong;
        // Only keys 0 to 5 exist; a value that names none of them is refused.
        if ((key & 0x3F) == 0 || (key & ~0x3F) != 0)
            return Failed;
        m_state.keyMask ^= key;
        return Success;
    }

    default:
        break;
    }

    // Their payload layouts are unknown here, so any payload is taken.
    if (isPlainSetting(type))
        return Success;
    const int size = plainReadingSize(type);
    if (size < 0)
        return UnsupportedMsg;
    if (!in.complete())
        return MsgFormatWrong;
    out->append(QByteArray(size, '\0'));
    return Success;
}

quint32 SimDevice::newLoginId()
{
    quint32 id = 0;
    do {
        id = quint32(m_loginRandom());
    } while (id == 0 || id == m_loginId);
    return id;
}

void SimDevice::forgetLogin()
{
    m_loginId = 0;
    m_loginUser.clear();
}

void SimDevice::setUpdateMode(bool on)
{
    if (on) {
        if (m_state.workMode != 0)
            m_workModeBeforeUpdate = m_state.workMode;
        m_state.workMode = 0;
    } else if (m_state.workMode == 0) {
        m_state.workMode = m_workModeBeforeUpdate;
    }
}

quint8 SimDevice::randomInputBit()
{
    // A 4x1 front panel has IN 1 to IN 4 on bits 0 to 3 and BYPASS on bit 5; bit 4 is its empty column.
    static const quint8 fourByOne[] = { 0x01, 0x02, 0x04, 0x08, 0x20 };
    if (m_state.panelType == 1)
        return fourByOne[m_livelyRandom() % 5u];
    return quint8(1u << (m_livelyRandom() % 6u));
}

void SimDevice::livelyStep()
{
    ++m_livelyStep;

    // Each step moves one GPIO LED on: off, green, red, green and red (flashing), off again.
    const quint8 led = randomInputBit();
    const bool green = m_state.gpioGreenMask & led;
    const bool red = m_state.gpioRedMask & led;
    if (!green && !red) {
        m_state.gpioGreenMask |= led;
    } else if (green && !red) {
        m_state.gpioGreenMask &= quint8(~led);
        m_state.gpioRedMask |= led;
    } else if (!green && red) {
        m_state.gpioGreenMask |= led;
    } else {
        m_state.gpioGreenMask &= quint8(~led);
        m_state.gpioRedMask &= quint8(~led);
    }

    if (m_livelyStep % 2 == 0)
        m_state.keyMask ^= randomInputBit();
    if (m_livelyStep % 3 == 0)
        m_state.localLed = quint8((m_state.localLed + 1) % 3);
    if (m_livelyStep % 4 == 0)
        m_state.remoteLed = quint8((m_state.remoteLed + 1) % 3);
    if (m_livelyStep % 5 == 0)
        m_state.phaseAlign = quint8((m_state.phaseAlign + 1) % 3);
    if (m_livelyStep % 7 == 0)
        m_state.ps2Led = !m_state.ps2Led;
    if (m_livelyStep % 11 == 0)
        m_state.ps1Led = !m_state.ps1Led;
}

QString SimDevice::addressText(quint32 address)
{
    return QStringLiteral("%1.%2.%3.%4")
        .arg(address >> 24)
        .arg((address >> 16) & 0xFF)
        .arg((address >> 8) & 0xFF)
        .arg(address & 0xFF);
}

bool SimDevice::parseAddress(const QString& text, quint32* address)
{
    const QStringList parts = text.trimmed().split(QLatin1Char('.'));
    if (parts.size() != 4)
        return false;
    quint32 value = 0;
    for (const QString& part : parts) {
        if (part.isEmpty() || part.size() > 3)
            return false;
        bool ok = false;
        const uint number = part.toUInt(&ok, 10);
        if (!ok || number > 255)
            return false;
        value = (value << 8) | number;
    }
    *address = value;
    return true;
}

quint32 SimDevice::addressValue(const QString& text)
{
    if (text.trimmed().isEmpty())
        return 0;
    quint32 value = 0;
    return parseAddress(text, &value) ? value : 0xFFFFFFFFu;
}

QString SimDevice::serialText(const QByteArray& serial)
{
    const QByteArray block = fixedBlock(serial, 8);
    const auto letter = [](char c) { return QChar::fromLatin1(c >= 0x21 && c <= 0x7E ? c : '?'); };
    return QStringLiteral("%1%2%3-%4")
        .arg(letter(block.at(0)))
        .arg(letter(block.at(1)))
        .arg(SimFrame::readU32(block, 2), 8, 10, QLatin1Char('0'))
        .arg(SimFrame::readU16(block, 6), 8, 10, QLatin1Char('0'));
}
