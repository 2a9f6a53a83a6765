// Byte-exact frames: request encoding, the decoder's checks, every response class's payload and the
// texts made from numbers.
#include "AcoGpioInfo.h"
#include "AcoGpioInfoMetaType.h"
#include "Ipv4Text.h"
#include "MessageCatalog.h"
#include "ProductInfoText.h"
#include "RequestAuthentication.h"
#include "RequestHello.h"
#include "RequestModifyPassword.h"
#include "RequestSetABKeyState.h"
#include "RequestSetNetParam.h"
#include "RequestSetRemoteDevice.h"
#include "RequestSetShortPressKeyState.h"
#include "RequestSetSlaveDevice.h"
#include "ResponseAuthentication.h"
#include "ResponseGetACOGPIOInfo.h"
#include "ResponseGetAGCParam.h"
#include "ResponseGetAUXOutputSelect.h"
#include "ResponseGetAlarmInfo.h"
#include "ResponseGetAudioEffect.h"
#include "ResponseGetAudioLevel.h"
#include "ResponseGetAutoSwitchMethod.h"
#include "ResponseGetAutoSwitchTrigger.h"
#include "ResponseGetDetectionParam.h"
#include "ResponseGetGPIOState.h"
#include "ResponseGetGPIOTriggerMode.h"
#include "ResponseGetHwTune.h"
#include "ResponseGetInputState.h"
#include "ResponseGetMCUFlashInfo.h"
#include "ResponseGetMacAddress.h"
#include "ResponseGetNetParam.h"
#include "ResponseGetNotificationDest.h"
#include "ResponseGetPGMOutputSelect.h"
#include "ResponseGetPhase.h"
#include "ResponseGetPhaseAlignState.h"
#include "ResponseGetProductInfo.h"
#include "ResponseGetRelayControl.h"
#include "ResponseGetRemoteControlEnabled.h"
#include "ResponseGetRemoteDevice.h"
#include "ResponseGetSPIFlashInfo.h"
#include "ResponseGetShortPressKeyState.h"
#include "ResponseGetSlaveDevice.h"
#include "ResponseGetSystemAlarmParam.h"
#include "ResponseGetTrapIp.h"
#include "ResponseGetVersion.h"
#include "ResponseGetWorkMode.h"
#include "SimpleRequest.h"
#include "SimpleResponse.h"
#include "TestFrames.h"

#include <QtTest>

#include <functional>
#include <memory>

namespace {

QByteArray encoded(RequestMsg& request)
{
    const quint8* data = nullptr;
    quint16 size = 0;
    return request.encode(&data, &size) ? QByteArray(reinterpret_cast<const char*>(data), size) : QByteArray();
}

QByteArray hex(const char* text)
{
    return QByteArray::fromHex(QByteArray(text).replace(' ', ""));
}

int decodeWith(ResponseMsg& response, const QByteArray& datagram)
{
    return response.decode(reinterpret_cast<const quint8*>(datagram.constData()), quint16(datagram.size()));
}

QByteArray counting(int size, int first)
{
    QByteArray data;
    for (int i = 0; i < size; ++i)
        data.append(char((first + i) & 0xFF));
    return data;
}

// Every field of a decoded answer in hex; indexed fields from one below to one above their range.
struct Dump
{
    QStringList o;
    Dump& operator<<(qint64 v) { return o << QString::number(v, 16), *this; }
    Dump& operator<<(const QString& s) { return o << s, *this; }
    Dump& bytes(const quint8* data, int size) { return *this << QString(QByteArray(reinterpret_cast<const char*>(data), size).toHex()); }
    Dump& each(int count, const std::function<qint64(int)>& field)
    {
        for (int i = -1; i <= count; ++i)
            *this << field(i);
        return *this;
    }
};

QString dump(const ResponseMsg& r)
{
    Dump d;
    if (auto* x = dynamic_cast<const ResponseAuthentication*>(&r))
        d << x->loginId();
    else if (auto* x = dynamic_cast<const ResponseGetWorkMode*>(&r))
        d << x->workMode() << x->secondValue();
    else if (auto* x = dynamic_cast<const ResponseGetProductInfo*>(&r))
        d.bytes(x->productData(), 16).bytes(x->serial(), 8).bytes(x->further(), 8).o.prepend(QString::number(x->productCode(), 16));
    else if (auto* x = dynamic_cast<const ResponseGetVersion*>(&r))
        d << x->pcbVersion() << x->secondNumber() << x->firmwareVersion() << x->firmwareMajor() << x->firmwareMinor() << x->firmwareBuild();
    else if (auto* x = dynamic_cast<const ResponseGetNetParam*>(&r))
        d << x->address() << x->subnetMask() << x->gateway() << x->isDefault();
    else if (auto* x = dynamic_cast<const ResponseGetShortPressKeyState*>(&r))
        d << x->keyLock() << x->autoMode() << x->panelType();
    else if (auto* x = dynamic_cast<const ResponseGetACOGPIOInfo*>(&r))
        d << x->ps1Led() << x->ps2Led() << x->localLed() << x->remoteLed() << x->panelType() << x->gpioGreenMask()
          << x->gpioRedMask() << x->keyMask() << x->ipReset() << x->upgrade() << x->remoteControl();
    else if (auto* x = dynamic_cast<const ResponseGetRemoteDevice*>(&r))
        d << QString::number(x->address(), 16) + "/" + x->adminPassword();
    else if (auto* x = dynamic_cast<const ResponseGetSlaveDevice*>(&r))
        for (int i = -1; i <= 3; ++i)
            d << QString::number(x->address(i), 16) + "/" + x->adminPassword(i);
    else if (auto* x = dynamic_cast<const ResponseGetPhaseAlignState*>(&r))
        d << x->state();
    else if (auto* x = dynamic_cast<const ResponseGetMacAddress*>(&r))
        d.bytes(x->macAddress(), 6);
    else if (auto* x = dynamic_cast<const ResponseGetHwTune*>(&r))
        d.bytes(x->tuneData(), 64);
    else if (auto* x = dynamic_cast<const ResponseGetSPIFlashInfo*>(&r))
        d << x->flashInfo();
    else if (auto* x = dynamic_cast<const ResponseGetMCUFlashInfo*>(&r))
        d << x->flashInfo();
    else if (auto* x = dynamic_cast<const ResponseGetRemoteControlEnabled*>(&r))
        d << x->enabled();
    else if (auto* x = dynamic_cast<const ResponseGetInputState*>(&r))
        d.each(5, [x](int i) { return x->flag(i) ? 0x100000000LL + x->value(i) : qint64(x->value(i)); });
    else if (auto* x = dynamic_cast<const ResponseGetGPIOState*>(&r))
        d.each(2, [x](int i) { return x->state(i); });
    else if (auto* x = dynamic_cast<const ResponseGetPhase*>(&r))
        for (int i = 0; i < 6; ++i) {
            const auto& e = i < 4 ? x->input(i) : x->output(i - 4);
            d << QString("%1.%2.%3.%4").arg(e.first, 0, 16).arg(e.second, 0, 16).arg(e.state, 0, 16).arg(e.enabled);
        }
    else if (auto* x = dynamic_cast<const ResponseGetGPIOTriggerMode*>(&r))
        d.each(2, [x](int i) { return x->mode(i); });
    else if (auto* x = dynamic_cast<const ResponseGetSystemAlarmParam*>(&r))
        d << x->alarmParam();
    else if (auto* x = dynamic_cast<const ResponseGetAlarmInfo*>(&r)) {
        for (int i = 0; i < 4; ++i)
            d << QString("%1.%2.%3").arg(x->entry(i).value, 0, 16).arg(x->entry(i).first, 0, 16).arg(x->entry(i).second, 0, 16);
        d << x->summary() << x->active();
    } else if (auto* x = dynamic_cast<const ResponseGetAudioEffect*>(&r))
        d.each(2, [x](int i) { return x->enabled(i) ? 0x100000000LL + x->value(i) : qint64(x->value(i)); }) << x->mode();
    else if (auto* x = dynamic_cast<const ResponseGetPGMOutputSelect*>(&r))
        d.each(2, [x](int i) { return x->selection(i); });
    else if (auto* x = dynamic_cast<const ResponseGetAUXOutputSelect*>(&r))
        d << x->selection();
    else if (auto* x = dynamic_cast<const ResponseGetRelayControl*>(&r))
        d.each(2, [x](int i) { return x->first(i) * 10 + x->second(i); });
    else if (auto* x = dynamic_cast<const ResponseGetAutoSwitchMethod*>(&r))
        d.each(2, [x](int i) { return x->method(i); });
    else if (auto* x = dynamic_cast<const ResponseGetAutoSwitchTrigger*>(&r))
        for (int i = 0; i < 4; ++i) {
            const auto& e = x->entry(i);
            d << QString("%1.%2.%3.%4").arg(e.value, 0, 16).arg(e.first, 0, 16).arg(e.second, 0, 16).arg(e.mode, 0, 16);
        }
    else if (auto* x = dynamic_cast<const ResponseGetAGCParam*>(&r)) {
        (d << x->enabled() << x->value()).each(16, [x](int i) { return x->level(i); }) << x->mode();
        d.bytes(x->rawBlock(), 6) << x->firstFlag() << x->secondFlag();
    } else if (auto* x = dynamic_cast<const ResponseGetAudioLevel*>(&r))
        d.each(16, [x](int i) { return x->firstLevel(i); }).each(16, [x](int i) { return x->secondLevel(i); });
    else if (auto* x = dynamic_cast<const ResponseGetNotificationDest*>(&r))
        d.each(2, [x](int i) { return x->address(i); }).each(2, [x](int i) { return x->port(i); });
    else if (auto* x = dynamic_cast<const ResponseGetTrapIp*>(&r))
        d.each(2, [x](int i) { return x->trapIp(i); });
    else
        d << QString::fromLatin1(typeid(r).name());
    return d.o.join(' ');
}

} // namespace

class TestProtocolFrames : public QObject
{
    Q_OBJECT

private slots:
    void requestFrames_data()
    {
        QTest::addColumn<QByteArray>("actual");
        QTest::addColumn<QByteArray>("expected");
        RequestHello hello(0, 1);
        SimpleRequest<63> gpio(1, 0x1234);
        gpio.setLoginId(0x01020304); // a new login id shows in the next encode (the re-login repeat relies on it)
        RequestAuthentication authEmpty(0, 2);
        authEmpty.setUserName("admin");
        RequestAuthentication auth(0, 0xFFFF);
        auth.setUserName("admin");
        auth.setPassword("123456");
        encoded(auth); // encoding twice gives the same frame
        RequestModifyPassword modify(0xA1B2C3D4, 9);
        modify.setUserName("guest");
        modify.setNewPassword("654321");
        RequestSetRemoteDevice remote(7, 3);
        remote.setAddress(0xC0A80114); // the number only: nothing is sent anywhere
        RequestSetSlaveDevice slaves(7, 4);
        for (int i = 0; i < 3; ++i)
            slaves.setAddress(i, 0x7F000002 + quint32(i));
        slaves.setAdminPassword(0, "a");
        slaves.setAdminPassword(1, "bc");
        RequestSetShortPressKeyState shortPress(7, 5), shortPressUnset(7, 5);
        shortPress.setKeyLock(5);
        shortPress.setAutoMode(0);
        shortPress.setPanelType(1);
        RequestSetABKeyState key256(7, 6), key32(7, 6);
        key256.setKey(256);
        key32.setKey(32);
        RequestSetNetParam net(7, 8);
        net.setAddress(0x7F000005);
        net.setSubnetMask(0xFF000000);
        net.setGateway(0x7F000001);
        // clang-format off
        QTest::newRow("Hello, sequence 1")             << encoded(hello)          << hex("000a0100010000000000 01f2");
        QTest::newRow("GetACOGPIOInfo with login id")  << encoded(gpio)           << hex("000a01003f0102030412 3465");
        QTest::newRow("Authentication admin, empty")   << encoded(authEmpty)      << hex("0011010002000000000002 0561646d696e00 db");
        QTest::newRow("Authentication admin/123456")   << encoded(auth)           << hex("001701000200000000ffff 0561646d696e06313233343536 9e");
        QTest::newRow("ModifyPassword guest/654321")   << encoded(modify)         << hex("001701001ba1b2c3d40009 0567756573740636353433323171");
        QTest::newRow("SetRemoteDevice empty password")<< encoded(remote)         << hex("000f0100400000000700 03c0a8011400 28");
        QTest::newRow("SetSlaveDevice a, bc, empty")   << encoded(slaves)         << hex("001c010045000000070004 7f0000020161 7f000003026263 7f00000400 e3");
        QTest::newRow("SetShortPressKeyState 5, 0, 1") << encoded(shortPress)     << hex("000d01003d000000070005 010001 a6");
        QTest::newRow("SetShortPressKeyState unset")   << encoded(shortPressUnset)<< TestFrames::withChecksum(hex("000d01003d000000070005 0000ff"));
        QTest::newRow("SetABKeyState 256 sends 00")    << encoded(key256)         << hex("000b010048000000070006 00 9e");
        QTest::newRow("SetABKeyState 32")              << encoded(key32)          << hex("000b010048000000070006 20 7e");
        QTest::newRow("SetNetParam")                   << encoded(net)            << hex("0016010019000000070008 7f000005ff0000007f000001 bd");
        // clang-format on
    }
    void requestFrames()
    {
        QFETCH(QByteArray, actual);
        QFETCH(QByteArray, expected);
        QCOMPARE(actual.toHex(' '), expected.toHex(' '));
    }

    void textLimits_data()
    {
        QTest::addColumn<int>("which");
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("frameSize"); // 0: refused
        const char* names[] = { "login user", "login password", "modify user", "modify password", "remote password",
                                "slave 1 password", "slave 2 password", "slave 3 password" };
        const int base[] = { 14, 14, 14, 14, 17, 27, 27, 27 }; // frame size with this text empty
        for (int which = 0; which < 8; ++which) {
            QTest::addRow("%s 255 bytes", names[which]) << which << 255 << base[which] + 255;
            QTest::addRow("%s 256 bytes", names[which]) << which << 256 << 0;
        }
    }
    void textLimits()
    {
        QFETCH(int, which);
        QFETCH(int, size);
        QFETCH(int, frameSize);
        const QByteArray text(size, 'x');
        RequestAuthentication auth(0, 1);
        RequestModifyPassword modify(0, 1);
        RequestSetRemoteDevice remote(0, 1);
        RequestSetSlaveDevice slaves(0, 1);
        RequestMsg* request[] = { &auth, &auth, &modify, &modify, &remote, &slaves, &slaves, &slaves };
        (which == 0 ? auth.setUserName(text) : which == 1 ? auth.setPassword(text) : which == 2 ? modify.setUserName(text)
             : which == 3 ? modify.setNewPassword(text) : which == 4 ? remote.setAdminPassword(text)
                          : slaves.setAdminPassword(which - 5, text));
        const quint8* data = reinterpret_cast<const quint8*>(this);
        quint16 encodedSize = 77;
        slaves.setAddress(3, 1), slaves.setAddress(-1, 1), slaves.setAdminPassword(3, text); // out of range: ignored
        QVERIFY(slaves.adminPassword(-1).isEmpty() && slaves.adminPassword(3).isEmpty() && slaves.address(-1) + slaves.address(3) == 0);
        QCOMPARE(request[which]->isFramable(), frameSize > 0);
        QCOMPARE(request[which]->encode(&data, &encodedSize), frameSize > 0);
        QCOMPARE(int(encodedSize), frameSize);
        QCOMPARE(data == nullptr, frameSize == 0);
    }

    void decode_data()
    {
        QTest::addColumn<QByteArray>("datagram");
        QTest::addColumn<int>("result");
        QTest::addColumn<bool>("success"); // isSuccessFrame: at least 12 bytes, zero error bytes; nothing else
        // clang-format off
        QTest::newRow("Hello answer")              << hex("000a0100010000000000 01f2")                         << 0  << true;
        QTest::newRow("GetPhaseAlignState answer") << hex("000b01004700000000000501a6")                        << 0  << true;
        QTest::newRow("Authentication error 12")   << hex("000a0100020000000c0007df")                          << 0  << false;
        QTest::newRow("error in high byte")        << TestFrames::withChecksum(hex("000a01000201000000 0007")) << 0  << false;
        QTest::newRow("error in second byte")      << TestFrames::withChecksum(hex("000a01000200010000 0007")) << 0  << false;
        QTest::newRow("error in third byte")       << TestFrames::withChecksum(hex("000a01000200000100 0007")) << 0  << false;
        QTest::newRow("size 0")                    << QByteArray()                                             << -1 << false;
        QTest::newRow("1040 bytes")                << TestFrames::response(63, 0, 1, QByteArray(1028, '\1'))   << 0  << true;
        QTest::newRow("1041 bytes")                << TestFrames::response(63, 0, 1, QByteArray(1029, '\1'))   << -1 << true;
        QTest::newRow("checksum off by one")       << hex("000b01004700000000000501a7")                        << -1 << true;
        QTest::newRow("length field disagrees")    << TestFrames::withChecksum(hex("000a01004700000000000501")) << -1 << true;
        QTest::newRow("version 2")                 << TestFrames::withChecksum(hex("000b02004700000000000501")) << -1 << true;
        QTest::newRow("11-byte frame")             << TestFrames::withChecksum(hex("0009010003 00000000 00"))   << 0  << false;
        QTest::newRow("single byte summing to FF") << hex("ff")                                                << -1 << false;
        // clang-format on
    }
    void decode()
    {
        QFETCH(QByteArray, datagram);
        QFETCH(int, result);
        QFETCH(bool, success);
        SimpleResponse response;
        QCOMPARE(decodeWith(response, datagram), result);
        ResponseGetACOGPIOInfo typed;
        QCOMPARE(decodeWith(typed, datagram), result);
        QCOMPARE(response.decode(nullptr, 12), -1);
        // A shorter datagram leaves no byte of a longer one behind.
        QCOMPARE(decodeWith(typed, TestFrames::response(63, 0, 1, QByteArray(20, '\7'))), 0);
        QCOMPARE(decodeWith(typed, hex("000b01004700000000000501a6")) + typed.raw()[13] + typed.raw()[1039], 0);
        QCOMPARE(::isSuccessFrame(reinterpret_cast<const quint8*>(datagram.constData()), quint16(datagram.size())), success);

        ResponseGetPhaseAlignState phase;
        QCOMPARE(decodeWith(phase, hex("000b01004700000000000501a6")), 0);
        QCOMPARE(QString("%1 %2 %3 %4 %5 %6 %7").arg(phase.messageType()).arg(phase.errorCode()).arg(phase.sequence())
                     .arg(phase.length()).arg(phase.version()).arg(phase.receivedLength()).arg(phase.state()),
                 QStringLiteral("71 0 5 11 1 13 1"));
    }

    void responses_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QByteArray>("payload");
        QTest::addColumn<QString>("fields");
        QTest::addColumn<QString>("initial"); // after an answer with an error code: its payload is never read
        auto row = [](const char* name, int type, const QByteArray& payload, const QString& fields, const QString& initial) {
            QTest::newRow(name) << type << payload << fields << initial;
        };
        // clang-format off
    row("Authentication", 2, hex("1a2b3c4d"), "1a2b3c4d", "0");
    row("GetWorkMode", 3, hex("00 07"), "0 7", "ff ff");
    row("GetWorkMode, no payload", 3, QByteArray(), "0 0", nullptr);
    row("GetProductInfo", 5, hex("0000c353 5158000004d2002a 0102030405060708"), "c353 5158000004d2002a0102030405060708 5158000004d2002a 0102030405060708", "5f5e0ff 00000000000000000000000000000000 0000000000000000 0000000000000000");
    row("GetVersion 01 02 00 1E", 23, hex("00000003 ffffffff 0102001e"), "3 ffffffff 102001e 1 2 1e", "0 0 0 0 0 0");
    row("GetVersion all ones", 23, hex("ffffffff 00000000 ffffffff"), "ffffffff 0 ffffffff ff ff ffff", nullptr);
    row("GetNetParam default", 26, hex("c0a80164 ffffff00 c0a80101 02"), "c0a80164 ffffff00 c0a80101 1", "0 0 0 0");
    row("GetNetParam not default", 26, hex("c0a80164 ffffff00 c0a80101 00"), "c0a80164 ffffff00 c0a80101 0", nullptr);
    row("GetShortPressKeyState", 62, hex("010100"), "1 1 0", "0 0 ff");
    row("key lock byte 2 is locked", 62, hex("020001"), "1 0 1", nullptr);
    row("auto mode byte ff is on", 62, hex("00ff02"), "0 1 2", nullptr);
    row("key lock byte only", 62, hex("01"), "1 0 0", nullptr);
    row("GetACOGPIOInfo healthy", 63, hex("0101 00 01 00 09 00 09 000000"), "1 1 0 1 0 9 0 9 0 0 0", "0 0 ff ff ff ff ff ff 0 0 0");
    row("GetACOGPIOInfo all set", 63, hex("0000 02 02 01 3f 3f 3f 010101"), "0 0 2 2 1 3f 3f 3f 1 1 1", nullptr);
    row("PS1 byte 2 is dark", 63, hex("0201 00 00 00 00 00 00 000000"), "0 1 0 0 0 0 0 0 0 0 0", nullptr);
    row("flags 2 and ff are dark", 63, hex("ff02 00 00 00 00 00 00 02ff02"), "0 0 0 0 0 0 0 0 0 0 0", nullptr);
    row("GetACOGPIOInfo 5 bytes", 63, hex("0101 02 01 01"), "1 1 2 1 1 0 0 0 0 0 0", nullptr);
    row("GetRemoteDevice", 65, hex("7f000009 06 313233343536"), "7f000009/123456", "0/");
    row("remote password of 7", 65, hex("7f000009 07 31323334353637"), "7f000009/", nullptr);
    row("remote password stops at 0", 65, hex("7f000009 04 61620063"), "7f000009/ab", nullptr);
    row("remote password UTF-8", 65, hex("7f000009 02 c3a9"), QString::fromUtf8("7f000009/\xc3\xa9"), nullptr);
    row("remote password cut short", 65, hex("7f000009 03 41"), "7f000009/A", nullptr);
    row("remote address only", 65, hex("01020304"), "1020304/", nullptr);
    row("GetSlaveDevice", 70, hex("7f000002 01 61  7f000003 02 6263  7f000004 06 313233343536"), "0/ 7f000002/a 7f000003/bc 7f000004/123456 0/", "0/ 0/ 0/ 0/ 0/");
    row("slave password of 9", 70, hex("7f000002 03 616263  7f000003 09 313233343536373839  7f000004 01 7a"), "0/ 7f000002/abc 7f000003/ 0/ 0/", nullptr);
    row("first slave password of 7", 70, hex("7f000002 07 31323334353637  7f000003 00"), "0/ 7f000002/ 0/ 0/ 0/", nullptr);
    row("slave password stops at 0", 70, hex("7f000002 03 610062  7f000003 00  7f000004 00"), "0/ 7f000002/a 7f000003/ 7f000004/ 0/", nullptr);
    row("GetPhaseAlignState", 71, hex("02"), "2", "0");
    row("GetMacAddress", 10, hex("0011223344556677"), "001122334455", "000000000000");
    row("GetHwTune", 12, counting(64, 1), QString(counting(64, 1).toHex()), QString(128, '0'));
    row("GetSPIFlashInfo", 13, hex("1234"), "1234", "0");
    row("GetMCUFlashInfo", 18, hex("abcd"), "abcd", "0");
    row("GetRemoteControlEnabled", 28, hex("02"), "1", "0");
    row("remote control 0 is off", 28, hex("00"), "0", nullptr);
    row("GetInputState", 29, hex("01 00000001  00 00000002  07 00000003  00 00000004  01 ffffffff"), "0 100000001 2 100000003 4 1ffffffff 0", "0 7fffffff 7fffffff 7fffffff 7fffffff 7fffffff 0");
    row("GetGPIOState", 30, hex("0a0b"), "0 a b 0", "0 0 0 0");
    row("GetPhase", 32, hex("0001 0002 03  0004 0005 06  0007 0008 09  000a 000b 0c  000d 000e 0f 01  0010 0011 12 00"), "1.2.3.0 4.5.6.0 7.8.9.0 a.b.c.0 d.e.f.1 10.11.12.0", "0.0.ff.0 0.0.ff.0 0.0.ff.0 0.0.ff.0 0.0.ff.0 0.0.ff.0");
    row("GetGPIOTriggerMode", 34, hex("0305"), "ff 3 5 ff", "ff ff ff ff");
    row("GetSystemAlarmParam", 38, hex("01020304"), "1020304", "0");
    row("GetAlarmInfo", 39, hex("00000001 0002 0003  00000004 0005 0006  00000007 0008 0009  0000000a 000b 000c  0000000d 05"), "1.2.3 4.5.6 7.8.9 a.b.c d 1", "0.0.0 0.0.0 0.0.0 0.0.0 0 0");
    row("GetAudioEffect", 41, hex("00 00000011  03 00000022  09"), "0 11 100000022 0 9", "0 0 0 0 0");
    row("GetPGMOutputSelect", 43, hex("0102"), "ff 1 2 ff", "ff ff ff ff");
    row("GetAUXOutputSelect", 45, hex("07"), "7", "ff");
    row("GetRelayControl", 47, hex("00 05 03 00"), "0 1 a 0", "0 0 0 0");
    row("GetAutoSwitchMethod", 49, hex("0001"), "ff 0 1 ff", "ff ff ff ff");
    row("GetAutoSwitchTrigger", 51, hex("00000001 0002 0003 04  00000005 0006 0007 08  00000009 000a 000b 0c  0000000d 000e 000f 10"), "1.2.3.4 5.6.7.8 9.a.b.c d.e.f.10", "0.0.0.ff 0.0.0.ff 0.0.0.ff 0.0.0.ff");
    row("GetAGCParam", 54, hex("01 01020304 101112131415161718191a1b1c1d1e1f 20 212223242526 01 02"), "1 1020304 0 10 11 12 13 14 15 16 17 18 19 1a 1b 1c 1d 1e 1f 0 20 212223242526 1 0", "0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 000000000000 0 0");
    row("GetAudioLevel", 55, counting(32, 0xF0), "0 f0 f1 f2 f3 f4 f5 f6 f7 f8 f9 fa fb fc fd fe ff 0 0 0 1 2 3 4 5 6 7 8 9 a b c d e f 0", QString("0 ").repeated(35) + "0");
    row("GetNotificationDest", 57, hex("7f000001 00a1  7f000002 00a2"), "0 7f000001 7f000002 0 0 a1 a2 0", "0 0 0 0 0 0 0 0");
    row("GetTrapIp", 59, hex("7f000003 7f000004"), "0 7f000003 7f000004 0", "0 0 0 0");
        // clang-format on
    }
    void responses()
    {
        QFETCH(int, type);
        QFETCH(QByteArray, payload);
        QFETCH(QString, fields);
        QFETCH(QString, initial);
        for (quint32 errorCode : { 0u, 12u }) {
            if (errorCode && initial.isNull())
                continue;
            std::unique_ptr<ResponseMsg> response(createResponse(type));
            QVERIFY(response);
            QCOMPARE(decodeWith(*response, TestFrames::response(type, errorCode, 1, errorCode ? QByteArray(120, 'Z') : payload)), 0);
            QCOMPARE(response->errorCode(), errorCode);
            QCOMPARE(dump(*response), errorCode ? initial : fields);
        }
    }

    void detectionParam()
    {
        // Each field holds its own index in its own width; flags hold 2 and read as 1.
        const QList<int> flags = { 0, 3, 6, 9, 15, 20, 21, 26, 31 };
        const QList<int> words = { 10, 11, 12, 16, 17, 18, 19, 22, 27, 28, 29, 30, 32, 35 };
        QByteArray payload;
        for (int i = 0; i < ResponseGetDetectionParam::kFieldCount; ++i) {
            const int width = flags.contains(i) || i == 23 ? 1 : words.contains(i) ? 2 : 4;
            QCOMPARE(ResponseGetDetectionParam::fieldWidth(i), width);
            payload.append(QByteArray(width - 1, '\0')).append(char(flags.contains(i) ? 2 : i));
        }
        QCOMPARE(ResponseGetDetectionParam::fieldWidth(-1) + ResponseGetDetectionParam::fieldWidth(39), 0);
        std::unique_ptr<ResponseMsg> response(createResponse(36));
        QCOMPARE(decodeWith(*response, TestFrames::response(36, 0, 1, payload)), 0);
        auto* detection = dynamic_cast<ResponseGetDetectionParam*>(response.get());
        QVERIFY(detection);
        for (int i = 0; i < ResponseGetDetectionParam::kFieldCount; ++i)
            QCOMPARE(detection->field(i), flags.contains(i) ? 1u : quint32(i));
        QCOMPARE(detection->field(39), 0u);
    }

    void responseClassesAndNames()
    {
        // Types with a payload class are checked through `responses`; the rest decode as the plain answer
        // (header and error code only), and types the device never sends have no class.
        for (int type : { -1, 1, 4, 7, 9, 11, 14, 15, 16, 17, 19, 20, 21, 22, 24, 25, 27, 31, 33, 35, 37, 40, 42, 44, 46,
                          48, 50, 52, 53, 56, 58, 61, 64, 69, 72 }) {
            std::unique_ptr<ResponseMsg> response(createResponse(type));
            QVERIFY2(dynamic_cast<SimpleResponse*>(response.get()), qPrintable(QString::number(type)));
        }
        for (int type : { -2, 0, 6, 8, 60, 66, 67, 68, 73, 80, 0xFFFF })
            QVERIFY2(!createResponse(type), qPrintable(QString::number(type)));
        QStringList names;
        for (int type : { 1, 2, 3, 4, 5, 23, 0, 63 })
            names << messageTypeName(type);
        QCOMPARE(names.join(','), QStringLiteral("Hello,Authentication,GetWorkMode,SetProductInfo,GetProductInfo,GetVersion,,"));
        QStringList codes;
        for (int code = 0; code <= 14; ++code)
            codes << errorCodeName(code);
        QCOMPARE(codes.join(','), QStringLiteral(",Failed,,,,,,,,MsgFormatWrong,UnsupportedMsgVersion,UnsupportedMsg,"
                                                 "AuthenticationFailed,AuthenticationTimeout,"));
    }

    void productTexts_data()
    {
        QTest::addColumn<QByteArray>("serial");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("result");
        // clang-format off
        QTest::newRow("QX 1234 42")            << hex("5158 000004d2 002a") << "QX00001234-00000042" << 0;
        QTest::newRow("az 99999999 7999")      << hex("617a 05f5e0ff 1f3f") << "az99999999-00007999" << 0;
        QTest::newRow("AZ 1 1")                << hex("415a 00000001 0001") << "AZ00000001-00000001" << 0;
        QTest::newRow("QX 0 7999")             << hex("5158 00000000 1f3f") << "QX"                  << -1;
        QTest::newRow("QX 1 8000")             << hex("5158 00000001 1f40") << "QX00000001-"         << -1;
        QTest::newRow("QX 1 0")                << hex("5158 00000001 0000") << "QX00000001-"         << -1;
        QTest::newRow("QX 100000000 1")        << hex("5158 05f5e100 0001") << "QX"                  << -1;
        QTest::newRow("second letter a digit") << hex("5131 00000001 0001") << "Q"                   << -1;
        QTest::newRow("bracket after Z")       << hex("5b58 00000001 0001") << ""                    << -1;
        QTest::newRow("backquote before a")    << hex("6058 00000001 0001") << ""                    << -1;
        QTest::newRow("brace after z")         << hex("517b 00000001 0001") << "Q"                   << -1;
        QTest::newRow("at sign before A")      << hex("4058 00000001 0001") << ""                    << -1;
        // clang-format on
    }
    void productTexts()
    {
        QFETCH(QByteArray, serial);
        QFETCH(QString, text);
        QFETCH(int, result);
        const auto* data = reinterpret_cast<const quint8*>(serial.constData());
        QCOMPARE(GetProductSNText(data), text);
        char buffer[20];
        QCOMPARE(ConvertProductSN(data, buffer), result);
        QCOMPARE(QString::fromLatin1(buffer), text);
        QCOMPARE(GetModuleTypeName(50003) + GetModuleTypeName(50004) + GetModuleTypeName(0), "ACO GPIOUnknownUnknown");
    }

    // Plain dotted decimal only: a leading zero is still decimal; octal, hex and short forms are no address.
    void ipv4Text_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<quint32>("number");
        QTest::addColumn<QString>("back");
        // clang-format off
        QTest::newRow("loopback")       << "127.0.0.1"      << 0x7F000001u << "127.0.0.1";
        QTest::newRow("private")        << "192.168.1.100"  << 0xC0A80164u << "192.168.1.100";
        QTest::newRow("zero")           << "0.0.0.0"        << 0u          << "0.0.0.0";
        QTest::newRow("leading zeros")  << "127.0.0.010"    << 0x7F00000Au << "127.0.0.10";
        QTest::newRow("08 is eight")    << "127.0.00.08"    << 0x7F000008u << "127.0.0.8";
        QTest::newRow("short form")     << "127.1"          << 0xFFFFFFFFu << "255.255.255.255";
        QTest::newRow("hex group")      << "0x7f.0.0.1"     << 0xFFFFFFFFu << "255.255.255.255";
        QTest::newRow("group above 255")<< "127.0.0.256"    << 0xFFFFFFFFu << "255.255.255.255";
        QTest::newRow("five groups")    << "127.0.0.1.1"    << 0xFFFFFFFFu << "255.255.255.255";
        QTest::newRow("half-typed")     << "127.0.0."       << 0xFFFFFFFFu << "255.255.255.255";
        QTest::newRow("words")          << "not.an.address" << 0xFFFFFFFFu << "255.255.255.255";
        QTest::newRow("empty")          << ""               << 0xFFFFFFFFu << "255.255.255.255";
        // clang-format on
    }
    void ipv4Text()
    {
        QFETCH(QString, text);
        QFETCH(quint32, number);
        QFETCH(QString, back);
        QCOMPARE(ipv4FromText(text), number);
        QCOMPARE(ipv4ToText(number), back);
    }

    void acoGpioInfoMetaType()
    {
        const int id = registerAcoGpioInfoMetaType();
        QVERIFY(id == QMetaType::type("AcoGpioInfo") && id == registerAcoGpioInfoMetaType());
        AcoGpioInfo info, other;
        info.remoteKeyMask = 4;
        QVERIFY(QVariant::fromValue(info).value<AcoGpioInfo>() == info && info != other);
    }
};

QTEST_GUILESS_MAIN(TestProtocolFrames)
#include "tst_ProtocolFrames.moc"
