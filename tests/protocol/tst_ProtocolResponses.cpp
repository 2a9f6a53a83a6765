// Payload decoding of every response class, including the short-payload and boolean rules.
#include "Ipv4Text.h"
#include "MessageCatalog.h"
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
#include "TestFrames.h"

#include <QtTest>

#include <memory>

namespace {

QByteArray hex(const char* text)
{
    return QByteArray::fromHex(QByteArray(text).replace(' ', ""));
}

// Decodes an error-free answer of `type` with `payload` through the class createResponse picks.
template <typename T> std::unique_ptr<T> decoded(int type, const QByteArray& payload)
{
    const QByteArray frame = TestFrames::response(type, 0, 1, payload);
    std::unique_ptr<ResponseMsg> response(createResponse(type));
    if (!response)
        return nullptr;
    if (response->decode(reinterpret_cast<const quint8*>(frame.constData()), quint16(frame.size())) != 0)
        return nullptr;
    std::unique_ptr<T> typed(dynamic_cast<T*>(response.get()));
    if (typed)
        response.release();
    return typed;
}

// A payload of `size` bytes counting up from `first`.
QByteArray counting(int size, int first = 1)
{
    QByteArray bytes;
    for (int i = 0; i < size; ++i)
        bytes.append(char((first + i) & 0xFF));
    return bytes;
}

} // namespace

class TestProtocolResponses : public QObject
{
    Q_OBJECT

private slots:
    void authentication();
    void workMode();
    void productInfo();
    void version_data();
    void version();
    void netParam();
    void shortPressKeyState_data();
    void shortPressKeyState();
    void acoGpioInfo_data();
    void acoGpioInfo();
    void acoGpioInfoInitialValues();
    void remoteDevice_data();
    void remoteDevice();
    void slaveDevice_data();
    void slaveDevice();
    void phaseAlignState();

    void unusedSmallClasses();
    void inputState();
    void phase();
    void detectionParam();
    void alarmInfo();
    void audioEffect();
    void autoSwitchTrigger();
    void agcParam();
    void audioLevel();
    void notificationDestAndTrapIp();
    void initialValuesWhenNotDecoded();

    void ipv4Text_data();
    void ipv4Text();
};

void TestProtocolResponses::authentication()
{
    auto auth = decoded<ResponseAuthentication>(2, hex("1a2b3c4d"));
    QVERIFY(auth);
    QCOMPARE(auth->loginId(), 0x1A2B3C4Du);
    QCOMPARE(ResponseAuthentication().loginId(), 0u);
}

void TestProtocolResponses::workMode()
{
    auto mode = decoded<ResponseGetWorkMode>(3, hex("00 07"));
    QVERIFY(mode);
    QCOMPARE(mode->workMode(), 0);
    QCOMPARE(mode->secondValue(), 7);
    auto empty = decoded<ResponseGetWorkMode>(3, QByteArray());
    QVERIFY(empty);
    QCOMPARE(empty->workMode(), 0);
    ResponseGetWorkMode fresh;
    QCOMPARE(fresh.workMode(), 255);
    QCOMPARE(fresh.secondValue(), 255);
}

void TestProtocolResponses::productInfo()
{
    auto product = decoded<ResponseGetProductInfo>(5, hex("0000c353 5158000004d2002a 0102030405060708"));
    QVERIFY(product);
    QCOMPARE(product->productCode(), 50003u);
    QCOMPARE(QByteArray(reinterpret_cast<const char*>(product->serial()), 8), hex("5158000004d2002a"));
    QCOMPARE(QByteArray(reinterpret_cast<const char*>(product->further()), 8), hex("0102030405060708"));
    QCOMPARE(QByteArray(reinterpret_cast<const char*>(product->productData()), 16),
             hex("5158000004d2002a0102030405060708"));
    ResponseGetProductInfo fresh;
    QCOMPARE(fresh.productCode(), 99999999u);
    QCOMPARE(QByteArray(reinterpret_cast<const char*>(fresh.productData()), 16), QByteArray(16, '\0'));
}

void TestProtocolResponses::version_data()
{
    QTest::addColumn<QByteArray>("payload");
    QTest::addColumn<quint32>("pcb");
    QTest::addColumn<quint32>("major");
    QTest::addColumn<quint32>("minor");
    QTest::addColumn<quint32>("build");
    // clang-format off
    QTest::newRow("firmware 01 02 00 1E")    << hex("00000003 ffffffff 0102001e") << 3u   << 1u   << 2u   << 30u;
    QTest::newRow("firmware 1.1.46")         << hex("00000001 00000000 0101002e") << 1u   << 1u   << 1u   << 46u;
    QTest::newRow("all ones")                << hex("ffffffff 00000000 ffffffff") << 0xFFFFFFFFu << 255u << 255u << 65535u;
    // clang-format on
}

void TestProtocolResponses::version()
{
    QFETCH(QByteArray, payload);
    QFETCH(quint32, pcb);
    QFETCH(quint32, major);
    QFETCH(quint32, minor);
    QFETCH(quint32, build);
    auto version = decoded<ResponseGetVersion>(23, payload);
    QVERIFY(version);
    QCOMPARE(version->pcbVersion(), pcb);
    QCOMPARE(version->firmwareMajor(), major);
    QCOMPARE(version->firmwareMinor(), minor);
    QCOMPARE(version->firmwareBuild(), build);
    QCOMPARE(version->secondNumber(), TestFrames::loginId(QByteArray(5, '\0') + payload.mid(4, 4)));
}

void TestProtocolResponses::netParam()
{
    // Decoded from bytes only: nothing is ever sent to these addresses.
    auto net = decoded<ResponseGetNetParam>(26, hex("c0a80164 ffffff00 c0a80101 02"));
    QVERIFY(net);
    QCOMPARE(net->address(), 0xC0A80164u);
    QCOMPARE(ipv4ToText(net->address()), QStringLiteral("192.168.1.100"));
    QCOMPARE(ipv4ToText(net->subnetMask()), QStringLiteral("255.255.255.0"));
    QCOMPARE(ipv4ToText(net->gateway()), QStringLiteral("192.168.1.1"));
    QCOMPARE(net->isDefault(), true); // nonzero rule
    auto notDefault = decoded<ResponseGetNetParam>(26, hex("c0a80164 ffffff00 c0a80101 00"));
    QVERIFY(notDefault);
    QCOMPARE(notDefault->isDefault(), false);
}

void TestProtocolResponses::shortPressKeyState_data()
{
    QTest::addColumn<QByteArray>("payload");
    QTest::addColumn<bool>("keyLock");
    QTest::addColumn<bool>("autoMode");
    QTest::addColumn<int>("panelType");
    // clang-format off
    QTest::newRow("01 01 00")              << hex("010100") << true  << true  << 0;
    QTest::newRow("byte 0 is 2: locked")   << hex("020001") << true  << false << 1;
    QTest::newRow("00 ff 02")              << hex("00ff02") << false << true  << 2;
    QTest::newRow("one byte only")         << hex("01")     << true  << false << 0;
    // clang-format on
}

void TestProtocolResponses::shortPressKeyState()
{
    QFETCH(QByteArray, payload);
    QFETCH(bool, keyLock);
    QFETCH(bool, autoMode);
    QFETCH(int, panelType);
    auto state = decoded<ResponseGetShortPressKeyState>(62, payload);
    QVERIFY(state);
    QCOMPARE(state->keyLock(), keyLock);
    QCOMPARE(state->autoMode(), autoMode);
    QCOMPARE(state->panelType(), panelType);
}

void TestProtocolResponses::acoGpioInfo_data()
{
    QTest::addColumn<QByteArray>("payload");
    QTest::addColumn<QByteArray>("expected"); // ps1 ps2 local remote panel green red key ipReset upgrade remCtrl
    // clang-format off
    QTest::newRow("healthy unit")             << hex("0101 00 01 00 09 00 09 000000") << hex("0101 00 01 00 09 00 09 000000");
    QTest::newRow("all indicators 1")         << hex("0000 02 02 01 3f 3f 3f 010101") << hex("0000 02 02 01 3f 3f 3f 010101");
    QTest::newRow("byte 0 is 2: PS1 dark")    << hex("0201 00 00 00 00 00 00 000000") << hex("0001 00 00 00 00 00 00 000000");
    QTest::newRow("flags 2 and ff are dark")  << hex("ff02 00 00 00 00 00 00 02ff02") << hex("0000 00 00 00 00 00 00 000000");
    QTest::newRow("5 payload bytes")          << hex("0101 02 01 01")                 << hex("0101 02 01 01 00 00 00 000000");
    QTest::newRow("no payload")               << QByteArray()                        << hex("0000 00 00 00 00 00 00 000000");
    // clang-format on
}

void TestProtocolResponses::acoGpioInfo()
{
    QFETCH(QByteArray, payload);
    QFETCH(QByteArray, expected);
    auto gpio = decoded<ResponseGetACOGPIOInfo>(63, payload);
    QVERIFY(gpio);
    QByteArray actual;
    actual.append(char(gpio->ps1Led()));
    actual.append(char(gpio->ps2Led()));
    actual.append(char(gpio->localLed()));
    actual.append(char(gpio->remoteLed()));
    actual.append(char(gpio->panelType()));
    actual.append(char(gpio->gpioGreenMask()));
    actual.append(char(gpio->gpioRedMask()));
    actual.append(char(gpio->keyMask()));
    actual.append(char(gpio->ipReset()));
    actual.append(char(gpio->upgrade()));
    actual.append(char(gpio->remoteControl()));
    QCOMPARE(actual.toHex(' '), expected.toHex(' '));
}

void TestProtocolResponses::acoGpioInfoInitialValues()
{
    ResponseGetACOGPIOInfo fresh;
    QCOMPARE(fresh.ps1Led(), false);
    QCOMPARE(fresh.ps2Led(), false);
    QCOMPARE(fresh.localLed(), 255);
    QCOMPARE(fresh.remoteLed(), 255);
    QCOMPARE(fresh.panelType(), 255);
    QCOMPARE(fresh.gpioGreenMask(), 255);
    QCOMPARE(fresh.gpioRedMask(), 255);
    QCOMPARE(fresh.keyMask(), 255);
    QCOMPARE(fresh.ipReset(), false);
    QCOMPARE(fresh.upgrade(), false);
    QCOMPARE(fresh.remoteControl(), false);
}

void TestProtocolResponses::remoteDevice_data()
{
    QTest::addColumn<QByteArray>("payload");
    QTest::addColumn<quint32>("address");
    QTest::addColumn<QString>("password");
    // clang-format off
    QTest::newRow("length 6")                  << hex("7f000009 06 313233343536")     << 0x7F000009u << "123456";
    QTest::newRow("length 7: no password")     << hex("7f000009 07 31323334353637")   << 0x7F000009u << "";
    QTest::newRow("61 62 00 63 reads ab")      << hex("7f000009 04 61620063")         << 0x7F000009u << "ab";
    QTest::newRow("length 0")                  << hex("c0a80114 00")                  << 0xC0A80114u << "";
    QTest::newRow("UTF-8 text")                << hex("7f000009 02 c3a9")             << 0x7F000009u << QString::fromUtf8("\xc3\xa9");
    QTest::newRow("length beyond datagram")    << hex("7f000009 03 41")               << 0x7F000009u << "A";
    QTest::newRow("address only")              << hex("01020304")                     << 0x01020304u << "";
    // clang-format on
}

void TestProtocolResponses::remoteDevice()
{
    QFETCH(QByteArray, payload);
    QFETCH(quint32, address);
    QFETCH(QString, password);
    auto remote = decoded<ResponseGetRemoteDevice>(65, payload);
    QVERIFY(remote);
    QCOMPARE(remote->address(), address);
    QCOMPARE(remote->adminPassword(), password);
}

void TestProtocolResponses::slaveDevice_data()
{
    QTest::addColumn<QByteArray>("payload");
    QTest::addColumn<QStringList>("addresses");
    QTest::addColumn<QStringList>("passwords");
    // clang-format off
    QTest::newRow("three entries")
        << hex("7f000002 01 61  7f000003 02 6263  7f000004 06 313233343536")
        << QStringList{"127.0.0.2", "127.0.0.3", "127.0.0.4"} << QStringList{"a", "bc", "123456"};
    QTest::newRow("all passwords empty")
        << hex("7f000002 00  7f000003 00  7f000004 00")
        << QStringList{"127.0.0.2", "127.0.0.3", "127.0.0.4"} << QStringList{"", "", ""};
    QTest::newRow("second entry length 9")
        << hex("7f000002 03 616263  7f000003 09 313233343536373839  7f000004 01 7a")
        << QStringList{"127.0.0.2", "127.0.0.3", "0.0.0.0"} << QStringList{"abc", "", ""};
    QTest::newRow("first entry length 7")
        << hex("7f000002 07 31323334353637  7f000003 00")
        << QStringList{"127.0.0.2", "0.0.0.0", "0.0.0.0"} << QStringList{"", "", ""};
    QTest::newRow("zero inside a password")
        << hex("7f000002 03 610062  7f000003 00  7f000004 00")
        << QStringList{"127.0.0.2", "127.0.0.3", "127.0.0.4"} << QStringList{"a", "", ""};
    // clang-format on
}

void TestProtocolResponses::slaveDevice()
{
    QFETCH(QByteArray, payload);
    QFETCH(QStringList, addresses);
    QFETCH(QStringList, passwords);
    auto slaves = decoded<ResponseGetSlaveDevice>(70, payload);
    QVERIFY(slaves);
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(ipv4ToText(slaves->address(i)), addresses.at(i));
        QCOMPARE(slaves->adminPassword(i), passwords.at(i));
    }
}

void TestProtocolResponses::phaseAlignState()
{
    auto phase = decoded<ResponseGetPhaseAlignState>(71, hex("02"));
    QVERIFY(phase);
    QCOMPARE(int(phase->state()), 2);
    QCOMPARE(int(ResponseGetPhaseAlignState().state()), 0);
}

void TestProtocolResponses::unusedSmallClasses()
{
    auto mac = decoded<ResponseGetMacAddress>(10, hex("0011223344556677"));
    QVERIFY(mac);
    QCOMPARE(QByteArray(reinterpret_cast<const char*>(mac->macAddress()), 6), hex("001122334455"));

    auto tune = decoded<ResponseGetHwTune>(12, counting(64));
    QVERIFY(tune);
    QCOMPARE(QByteArray(reinterpret_cast<const char*>(tune->tuneData()), 64), counting(64));

    auto spi = decoded<ResponseGetSPIFlashInfo>(13, hex("1234"));
    QVERIFY(spi);
    QCOMPARE(spi->flashInfo(), quint16(0x1234));
    auto mcu = decoded<ResponseGetMCUFlashInfo>(18, hex("abcd"));
    QVERIFY(mcu);
    QCOMPARE(mcu->flashInfo(), quint16(0xABCD));

    auto remote = decoded<ResponseGetRemoteControlEnabled>(28, hex("02"));
    QVERIFY(remote);
    QCOMPARE(remote->enabled(), true);

    auto gpio = decoded<ResponseGetGPIOState>(30, hex("0a0b"));
    QVERIFY(gpio);
    QCOMPARE(int(gpio->state(0)), 10);
    QCOMPARE(int(gpio->state(1)), 11);

    auto trigger = decoded<ResponseGetGPIOTriggerMode>(34, hex("0305"));
    QVERIFY(trigger);
    QCOMPARE(trigger->mode(0), 3);
    QCOMPARE(trigger->mode(1), 5);

    auto alarm = decoded<ResponseGetSystemAlarmParam>(38, hex("01020304"));
    QVERIFY(alarm);
    QCOMPARE(alarm->alarmParam(), 0x01020304u);

    auto pgm = decoded<ResponseGetPGMOutputSelect>(43, hex("0102"));
    QVERIFY(pgm);
    QCOMPARE(int(pgm->selection(0)), 1);
    QCOMPARE(int(pgm->selection(1)), 2);

    auto aux = decoded<ResponseGetAUXOutputSelect>(45, hex("07"));
    QVERIFY(aux);
    QCOMPARE(int(aux->selection()), 7);

    auto relay = decoded<ResponseGetRelayControl>(47, hex("00 05 03 00"));
    QVERIFY(relay);
    QCOMPARE(relay->first(0), false);
    QCOMPARE(relay->second(0), true);
    QCOMPARE(relay->first(1), true);
    QCOMPARE(relay->second(1), false);

    auto method = decoded<ResponseGetAutoSwitchMethod>(49, hex("0001"));
    QVERIFY(method);
    QCOMPARE(method->method(0), 0);
    QCOMPARE(method->method(1), 1);
}

void TestProtocolResponses::inputState()
{
    auto input
        = decoded<ResponseGetInputState>(29, hex("01 00000001  00 00000002  07 00000003  00 00000004  01 ffffffff"));
    QVERIFY(input);
    QCOMPARE(input->flag(0), true);
    QCOMPARE(input->value(0), 1u);
    QCOMPARE(input->flag(1), false);
    QCOMPARE(input->value(1), 2u);
    QCOMPARE(input->flag(2), true);
    QCOMPARE(input->value(3), 4u);
    QCOMPARE(input->value(4), 0xFFFFFFFFu);
}

void TestProtocolResponses::phase()
{
    auto phase = decoded<ResponseGetPhase>(
        32, hex("0001 0002 03  0004 0005 06  0007 0008 09  000a 000b 0c  000d 000e 0f 01  0010 0011 12 00"));
    QVERIFY(phase);
    QCOMPARE(phase->input(0).first, quint16(1));
    QCOMPARE(phase->input(0).second, quint16(2));
    QCOMPARE(int(phase->input(0).state), 3);
    QCOMPARE(int(phase->input(3).state), 12);
    QCOMPARE(phase->output(0).first, quint16(13));
    QCOMPARE(int(phase->output(0).state), 15);
    QCOMPARE(phase->output(0).enabled, true);
    QCOMPARE(phase->output(1).second, quint16(17));
    QCOMPARE(int(phase->output(1).state), 18);
    QCOMPARE(phase->output(1).enabled, false);
}

void TestProtocolResponses::detectionParam()
{
    int total = 0;
    for (int i = 0; i < ResponseGetDetectionParam::kFieldCount; ++i)
        total += ResponseGetDetectionParam::fieldWidth(i);
    QCOMPARE(total, 98);

    // Each field holds its own index, in its own width; flags hold 2 and read as 1.
    QByteArray payload;
    for (int i = 0; i < ResponseGetDetectionParam::kFieldCount; ++i) {
        const int width = ResponseGetDetectionParam::fieldWidth(i);
        payload.append(QByteArray(width - 1, '\0'));
        payload.append(char(i));
    }
    QCOMPARE(payload.size(), 98);
    auto detection = decoded<ResponseGetDetectionParam>(36, payload);
    QVERIFY(detection);
    const QList<int> flags = { 0, 3, 6, 9, 15, 20, 21, 26, 31 };
    const QList<int> bytes = { 23 };
    for (int i = 0; i < ResponseGetDetectionParam::kFieldCount; ++i) {
        const int width = ResponseGetDetectionParam::fieldWidth(i);
        if (flags.contains(i)) {
            QCOMPARE(width, 1);
            QCOMPARE(detection->field(i), i == 0 ? 0u : 1u);
        } else {
            QVERIFY2(width == (bytes.contains(i) ? 1 : width), "width");
            QCOMPARE(detection->field(i), quint32(i));
        }
    }
    QCOMPARE(ResponseGetDetectionParam::fieldWidth(1), 4);
    QCOMPARE(ResponseGetDetectionParam::fieldWidth(10), 2);
    QCOMPARE(ResponseGetDetectionParam::fieldWidth(23), 1);
    QCOMPARE(ResponseGetDetectionParam::fieldWidth(38), 4);
}

void TestProtocolResponses::alarmInfo()
{
    auto alarm = decoded<ResponseGetAlarmInfo>(
        39, hex("00000001 0002 0003  00000004 0005 0006  00000007 0008 0009  0000000a 000b 000c  0000000d 05"));
    QVERIFY(alarm);
    QCOMPARE(alarm->entry(0).value, 1u);
    QCOMPARE(alarm->entry(0).first, quint16(2));
    QCOMPARE(alarm->entry(0).second, quint16(3));
    QCOMPARE(alarm->entry(3).value, 10u);
    QCOMPARE(alarm->entry(3).second, quint16(12));
    QCOMPARE(alarm->summary(), 13u);
    QCOMPARE(alarm->active(), true);
}

void TestProtocolResponses::audioEffect()
{
    auto effect = decoded<ResponseGetAudioEffect>(41, hex("00 00000011  03 00000022  09"));
    QVERIFY(effect);
    QCOMPARE(effect->enabled(0), false);
    QCOMPARE(effect->value(0), 0x11u);
    QCOMPARE(effect->enabled(1), true);
    QCOMPARE(effect->value(1), 0x22u);
    QCOMPARE(int(effect->mode()), 9);
}

void TestProtocolResponses::autoSwitchTrigger()
{
    auto trigger = decoded<ResponseGetAutoSwitchTrigger>(
        51, hex("00000001 0002 0003 04  00000005 0006 0007 08  00000009 000a 000b 0c  0000000d 000e 000f 10"));
    QVERIFY(trigger);
    QCOMPARE(trigger->entry(0).value, 1u);
    QCOMPARE(int(trigger->entry(0).mode), 4);
    QCOMPARE(trigger->entry(2).first, quint16(10));
    QCOMPARE(trigger->entry(3).second, quint16(15));
    QCOMPARE(int(trigger->entry(3).mode), 16);
}

void TestProtocolResponses::agcParam()
{
    auto agc
        = decoded<ResponseGetAGCParam>(54, hex("01 01020304 101112131415161718191a1b1c1d1e1f 20 212223242526 01 02"));
    QVERIFY(agc);
    QCOMPARE(agc->enabled(), true);
    QCOMPARE(agc->value(), 0x01020304u);
    QCOMPARE(agc->level(0), 0x10);
    QCOMPARE(agc->level(15), 0x1F);
    QCOMPARE(int(agc->mode()), 0x20);
    QCOMPARE(QByteArray(reinterpret_cast<const char*>(agc->rawBlock()), 6), hex("212223242526"));
    QCOMPARE(agc->firstFlag(), true);
    QCOMPARE(agc->secondFlag(), false); // equals-1 rule: 2 is not set
}

void TestProtocolResponses::audioLevel()
{
    auto level = decoded<ResponseGetAudioLevel>(55, counting(32, 0xF0));
    QVERIFY(level);
    QCOMPARE(int(level->firstLevel(0)), 0xF0);
    QCOMPARE(int(level->firstLevel(15)), 0xFF);
    QCOMPARE(int(level->secondLevel(0)), 0x00);
    QCOMPARE(int(level->secondLevel(15)), 0x0F);
}

void TestProtocolResponses::notificationDestAndTrapIp()
{
    auto dest = decoded<ResponseGetNotificationDest>(57, hex("7f000001 00a1  7f000002 00a2"));
    QVERIFY(dest);
    QCOMPARE(dest->address(0), 0x7F000001u);
    QCOMPARE(dest->port(0), quint16(0xA1));
    QCOMPARE(dest->address(1), 0x7F000002u);
    QCOMPARE(dest->port(1), quint16(0xA2));

    auto trap = decoded<ResponseGetTrapIp>(59, hex("7f000003 7f000004"));
    QVERIFY(trap);
    QCOMPARE(trap->trapIp(0), 0x7F000003u);
    QCOMPARE(trap->trapIp(1), 0x7F000004u);
}

void TestProtocolResponses::initialValuesWhenNotDecoded()
{
    QCOMPARE(ResponseGetInputState().value(0), 0x7FFFFFFFu);
    QCOMPARE(ResponseGetInputState().value(4), 0x7FFFFFFFu);
    QCOMPARE(ResponseGetInputState().flag(0), false);
    QCOMPARE(int(ResponseGetPhase().input(0).state), 255);
    QCOMPARE(int(ResponseGetPhase().output(1).state), 255);
    QCOMPARE(ResponseGetGPIOTriggerMode().mode(1), 255);
    QCOMPARE(int(ResponseGetPGMOutputSelect().selection(0)), 0xFF);
    QCOMPARE(int(ResponseGetPGMOutputSelect().selection(1)), 0xFF);
    QCOMPARE(int(ResponseGetAUXOutputSelect().selection()), 255);
    QCOMPARE(ResponseGetAutoSwitchMethod().method(0), 255);
    QCOMPARE(int(ResponseGetAutoSwitchTrigger().entry(2).mode), 255);
    QCOMPARE(ResponseGetShortPressKeyState().panelType(), 255);
    QCOMPARE(ResponseGetNetParam().isDefault(), false);
    QCOMPARE(ResponseGetRemoteDevice().address(), 0u);
    QCOMPARE(ResponseGetSlaveDevice().adminPassword(2), QString());

    // An answer with an error code keeps them: its payload is never read.
    const QByteArray frame = TestFrames::response(29, 1, 1, QByteArray(25, '\0'));
    ResponseGetInputState input;
    QCOMPARE(input.decode(reinterpret_cast<const quint8*>(frame.constData()), quint16(frame.size())), 0);
    QCOMPARE(input.errorCode(), 1u);
    QCOMPARE(input.value(2), 0x7FFFFFFFu);
}

void TestProtocolResponses::ipv4Text_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<quint32>("number");
    QTest::addColumn<QString>("back");
    QTest::newRow("loopback") << "127.0.0.1" << 0x7F000001u << "127.0.0.1";
    QTest::newRow("private") << "192.168.1.100" << 0xC0A80164u << "192.168.1.100";
    QTest::newRow("zero") << "0.0.0.0" << 0u << "0.0.0.0";
    QTest::newRow("not an address") << "not.an.address" << 0xFFFFFFFFu << "255.255.255.255";
    QTest::newRow("empty") << "" << 0xFFFFFFFFu << "255.255.255.255";
}

void TestProtocolResponses::ipv4Text()
{
    QFETCH(QString, text);
    QFETCH(quint32, number);
    QFETCH(QString, back);
    QCOMPARE(ipv4FromText(text), number);
    QCOMPARE(ipv4ToText(number), back);
}

QTEST_GUILESS_MAIN(TestProtocolResponses)
#include "tst_ProtocolResponses.moc"
