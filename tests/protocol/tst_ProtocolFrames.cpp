// Byte-exact frames: request encoding, the decoder's checks, the response class table and the names.
#include "AcoGpioInfo.h"
#include "AcoGpioInfoMetaType.h"
#include "MessageCatalog.h"
#include "NoDataRequest.h"
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

#include <memory>
#include <typeinfo>

namespace {

QByteArray encoded(RequestMsg& request)
{
    const quint8* data = nullptr;
    quint16 size = 0;
    if (!request.encode(&data, &size))
        return QByteArray();
    return QByteArray(reinterpret_cast<const char*>(data), size);
}

QByteArray hex(const char* text)
{
    return QByteArray::fromHex(QByteArray(text).replace(' ', ""));
}

int decodeWith(ResponseMsg& response, const QByteArray& datagram)
{
    return response.decode(reinterpret_cast<const quint8*>(datagram.constData()), quint16(datagram.size()));
}

} // namespace

// Sends an AcoGpioInfo through a queued connection made by signature text, as the poller and
// the main window do.
class InfoSender : public QObject
{
    Q_OBJECT
signals:
    void SendInfo(AcoGpioInfo info);
};

class InfoReceiver : public QObject
{
    Q_OBJECT
public:
    QList<AcoGpioInfo> records;
public slots:
    void OnRecvStatusInfo(AcoGpioInfo info) { records.append(info); }
};

class TestProtocolFrames : public QObject
{
    Q_OBJECT

private slots:
    void requestFrames_data();
    void requestFrames();
    void requestPayloads_data();
    void requestPayloads();
    void noDataRequestIsTwelveBytes_data();
    void noDataRequestIsTwelveBytes();
    void encodeTwiceGivesSameFrame();
    void requestInitialValues();
    void receiveTimeouts();
    void overlongTextIsRefused_data();
    void overlongTextIsRefused();
    void longestTextsStillFit();

    void decode_data();
    void decode();
    void decodeNullData();
    void decodedHeaderFields();
    void errorAnswerCarriesNoPayload();
    void isSuccessFrame_data();
    void isSuccessFrame();
    void createResponseClass_data();
    void createResponseClass();
    void names_data();
    void names();

    void moduleTypeName_data();
    void moduleTypeName();
    void productSerialText_data();
    void productSerialText();

    void acoGpioInfoQueuedSignal();
};

void TestProtocolFrames::requestFrames_data()
{
    QTest::addColumn<QByteArray>("actual");
    QTest::addColumn<QByteArray>("expected");

    RequestHello hello(0, 1);
    SimpleRequest<63> gpio(0x01020304, 0x1234);
    RequestAuthentication authEmpty(0, 2);
    authEmpty.setUserName("admin");
    RequestAuthentication auth(0, 0xFFFF);
    auth.setUserName("admin");
    auth.setPassword("123456");
    RequestModifyPassword modify(0xA1B2C3D4, 9);
    modify.setUserName("guest");
    modify.setNewPassword("654321");
    RequestSetRemoteDevice remote(7, 3);
    remote.setAddress(0xC0A80114); // the number only: nothing is sent anywhere
    RequestSetSlaveDevice slavesEmpty(7, 4);
    RequestSetSlaveDevice slaves(7, 4);
    for (int i = 0; i < 3; ++i) {
        slavesEmpty.setAddress(i, 0x7F000002 + quint32(i));
        slaves.setAddress(i, 0x7F000002 + quint32(i));
    }
    slaves.setAdminPassword(0, "a");
    slaves.setAdminPassword(1, "bc");
    RequestSetShortPressKeyState shortPress(7, 5);
    shortPress.setKeyLock(5);
    shortPress.setAutoMode(0);
    shortPress.setPanelType(1);
    RequestSetABKeyState key256(7, 6);
    key256.setKey(256);
    RequestSetABKeyState key32(7, 6);
    key32.setKey(32);
    RequestSetNetParam net(7, 8);
    net.setAddress(0x7F000005);
    net.setSubnetMask(0xFF000000);
    net.setGateway(0x7F000001);

    // clang-format off
    QTest::newRow("Hello, sequence 1")             << encoded(hello)       << hex("000a0100010000000000 01f2");
    QTest::newRow("GetACOGPIOInfo with login id")  << encoded(gpio)        << hex("000a01003f0102030412 3465");
    QTest::newRow("Authentication admin, empty")   << encoded(authEmpty)   << hex("0011010002000000000002 0561646d696e00 db");
    QTest::newRow("Authentication admin/123456")   << encoded(auth)        << hex("001701000200000000ffff 0561646d696e06313233343536 9e");
    QTest::newRow("ModifyPassword guest/654321")   << encoded(modify)      << hex("001701001ba1b2c3d40009 0567756573740636353433323171");
    QTest::newRow("SetRemoteDevice empty password")<< encoded(remote)      << hex("000f0100400000000700 03c0a8011400 28");
    QTest::newRow("SetSlaveDevice empty passwords")<< encoded(slavesEmpty) << hex("0019010045000000070004 7f00000200 7f00000300 7f00000400 0f");
    QTest::newRow("SetSlaveDevice a, bc, empty")   << encoded(slaves)      << hex("001c010045000000070004 7f0000020161 7f000003026263 7f00000400 e3");
    QTest::newRow("SetShortPressKeyState 5, 0, 1") << encoded(shortPress)  << hex("000d01003d000000070005 010001 a6");
    QTest::newRow("SetABKeyState 256 sends 00")    << encoded(key256)      << hex("000b010048000000070006 00 9e");
    QTest::newRow("SetABKeyState 32")              << encoded(key32)       << hex("000b010048000000070006 20 7e");
    QTest::newRow("SetNetParam")                   << encoded(net)         << hex("0016010019000000070008 7f000005ff0000007f000001 bd");
    // clang-format on
}

void TestProtocolFrames::requestFrames()
{
    QFETCH(QByteArray, actual);
    QFETCH(QByteArray, expected);
    QCOMPARE(actual.toHex(' '), expected.toHex(' '));
    // Every whole frame sums to 0xFF.
    quint8 sum = 0;
    for (char c : actual)
        sum = quint8(sum + quint8(c));
    QCOMPARE(int(sum), 0xFF);
}

void TestProtocolFrames::requestPayloads_data()
{
    QTest::addColumn<QByteArray>("payload");
    QTest::addColumn<int>("payloadSize");
    QTest::addColumn<QByteArray>("expected");

    RequestAuthentication auth(0, 1);
    auth.setUserName("admin");
    RequestSetRemoteDevice remote(0, 1);
    remote.setAddress(0xC0A80114);
    RequestSetSlaveDevice slaves(0, 1);
    RequestSetShortPressKeyState shortPress(0, 1);
    shortPress.setKeyLock(5);
    shortPress.setPanelType(1);
    RequestSetABKeyState key(0, 1);
    key.setKey(256);

    // clang-format off
    QTest::newRow("auth admin, empty password")   << TestFrames::payload(encoded(auth))       << auth.payloadSize()       << hex("05 61646d696e 00");
    QTest::newRow("remote 192.168.1.20, empty")   << TestFrames::payload(encoded(remote))     << remote.payloadSize()     << hex("c0a80114 00");
    QTest::newRow("slaves, all passwords empty")  << TestFrames::payload(encoded(slaves))     << slaves.payloadSize()     << hex("0000000000 0000000000 0000000000");
    QTest::newRow("key lock 5, auto 0, panel 1")  << TestFrames::payload(encoded(shortPress)) << shortPress.payloadSize() << hex("01 00 01");
    QTest::newRow("key 256")                      << TestFrames::payload(encoded(key))        << key.payloadSize()        << hex("00");
    // clang-format on
}

void TestProtocolFrames::requestPayloads()
{
    QFETCH(QByteArray, payload);
    QFETCH(int, payloadSize);
    QFETCH(QByteArray, expected);
    QCOMPARE(payload.toHex(' '), expected.toHex(' '));
    QCOMPARE(payloadSize, expected.size());
}

void TestProtocolFrames::noDataRequestIsTwelveBytes_data()
{
    QTest::addColumn<QByteArray>("frame");
    QTest::addColumn<int>("type");

    SimpleRequest<3> workMode(1, 1);
    SimpleRequest<5> product(1, 1);
    SimpleRequest<23> version(1, 1);
    SimpleRequest<26> net(1, 1);
    SimpleRequest<62> shortPress(1, 1);
    SimpleRequest<63> gpio(1, 1);
    SimpleRequest<65> remote(1, 1);
    SimpleRequest<70> slaves(1, 1);
    SimpleRequest<71> phase(1, 1);
    RequestHello hello(0, 1);
    QTest::newRow("GetWorkMode") << encoded(workMode) << 3;
    QTest::newRow("GetProductInfo") << encoded(product) << 5;
    QTest::newRow("GetVersion") << encoded(version) << 23;
    QTest::newRow("GetNetParam") << encoded(net) << 26;
    QTest::newRow("GetShortPressKeyState") << encoded(shortPress) << 62;
    QTest::newRow("GetACOGPIOInfo") << encoded(gpio) << 63;
    QTest::newRow("GetRemoteDevice") << encoded(remote) << 65;
    QTest::newRow("GetSlaveDevice") << encoded(slaves) << 70;
    QTest::newRow("GetPhaseAlignState") << encoded(phase) << 71;
    QTest::newRow("Hello") << encoded(hello) << 1;
}

void TestProtocolFrames::noDataRequestIsTwelveBytes()
{
    QFETCH(QByteArray, frame);
    QFETCH(int, type);
    QCOMPARE(frame.size(), 12);
    QCOMPARE(TestFrames::byteAt(frame, 0), 0);
    QCOMPARE(TestFrames::byteAt(frame, 1), 10);
    QCOMPARE(TestFrames::byteAt(frame, 2), 1);
    QCOMPARE(TestFrames::type(frame), type);
}

void TestProtocolFrames::encodeTwiceGivesSameFrame()
{
    RequestAuthentication auth(0, 42);
    auth.setUserName("guest");
    auth.setPassword("111111");
    const QByteArray first = encoded(auth);
    const QByteArray second = encoded(auth);
    QVERIFY(!first.isEmpty());
    QCOMPARE(second, first);
    QCOMPARE(int(auth.length()), first.size() - 2);

    // A new login id changes the frame on the next encode (the re-login repeat relies on it).
    SimpleRequest<63> gpio(1, 9);
    const QByteArray before = encoded(gpio);
    gpio.setLoginId(0x0A0B0C0D);
    const QByteArray after = encoded(gpio);
    QCOMPARE(TestFrames::loginId(after), 0x0A0B0C0Du);
    QCOMPARE(TestFrames::sequence(after), quint16(9));
    QVERIFY(before != after);
}

void TestProtocolFrames::requestInitialValues()
{
    RequestSetShortPressKeyState shortPress(0, 1);
    QCOMPARE(shortPress.panelType(), 255);
    QCOMPARE(TestFrames::payload(encoded(shortPress)), hex("00 00 ff"));
    RequestSetNetParam net(0, 1);
    QCOMPARE(TestFrames::payload(encoded(net)), QByteArray(12, '\0'));
    RequestModifyPassword modify(0, 1);
    QCOMPARE(TestFrames::payload(encoded(modify)), hex("00 00"));
    QCOMPARE(modify.messageType(), 27);
    RequestSetABKeyState key(0, 1);
    QCOMPARE(key.messageType(), 72);
    QCOMPARE(TestFrames::payload(encoded(key)), hex("00"));
    QCOMPARE(RequestSetRemoteDevice(0, 1).messageType(), 64);
    QCOMPARE(RequestSetSlaveDevice(0, 1).messageType(), 69);
    QCOMPARE(RequestSetNetParam(0, 1).messageType(), 25);
    QCOMPARE(RequestAuthentication(0, 1).messageType(), 2);
    QCOMPARE(RequestSetShortPressKeyState(0, 1).messageType(), 61);
    QCOMPARE(int(RequestHello(0, 1).version()), 1);
}

void TestProtocolFrames::receiveTimeouts()
{
    QCOMPARE(RequestHello(0, 1).receiveTimeout(), 1000);
    QCOMPARE(SimpleRequest<1>(0, 1).receiveTimeout(), 2000);
    QCOMPARE(SimpleRequest<63>(0, 1).receiveTimeout(), 2000);
    QCOMPARE(RequestAuthentication(0, 1).receiveTimeout(), 2000);
    QCOMPARE(RequestSetSlaveDevice(0, 1).receiveTimeout(), 2000);
    QCOMPARE(RequestSetABKeyState(0, 1).receiveTimeout(), 2000);
}

void TestProtocolFrames::overlongTextIsRefused_data()
{
    QTest::addColumn<int>("which");
    QTest::newRow("authentication user name") << 0;
    QTest::newRow("authentication password") << 1;
    QTest::newRow("modify password user name") << 2;
    QTest::newRow("modify password new password") << 3;
    QTest::newRow("remote device password") << 4;
    QTest::newRow("slave 1 password") << 5;
    QTest::newRow("slave 2 password") << 6;
    QTest::newRow("slave 3 password") << 7;
}

void TestProtocolFrames::overlongTextIsRefused()
{
    QFETCH(int, which);
    const QByteArray tooLong(256, 'x');
    std::unique_ptr<RequestMsg> request;
    switch (which) {
    case 0:
    case 1: {
        auto* auth = new RequestAuthentication(0, 1);
        (which == 0 ? auth->setUserName(tooLong) : auth->setPassword(tooLong));
        request.reset(auth);
        break;
    }
    case 2:
    case 3: {
        auto* modify = new RequestModifyPassword(0, 1);
        (which == 2 ? modify->setUserName(tooLong) : modify->setNewPassword(tooLong));
        request.reset(modify);
        break;
    }
    case 4: {
        auto* remote = new RequestSetRemoteDevice(0, 1);
        remote->setAdminPassword(tooLong);
        request.reset(remote);
        break;
    }
    default: {
        auto* slaves = new RequestSetSlaveDevice(0, 1);
        slaves->setAdminPassword(which - 5, tooLong);
        request.reset(slaves);
        break;
    }
    }
    const quint8* data = reinterpret_cast<const quint8*>(this);
    quint16 size = 77;
    QVERIFY(!request->isFramable());
    QVERIFY(!request->encode(&data, &size));
    QVERIFY(data == nullptr);
    QCOMPARE(int(size), 0);
}

void TestProtocolFrames::longestTextsStillFit()
{
    const QByteArray longest(255, 'y');
    RequestAuthentication auth(0, 1);
    auth.setUserName(longest);
    auth.setPassword(longest);
    const QByteArray frame = encoded(auth);
    QCOMPARE(frame.size(), 12 + 2 + 255 + 255);
    QCOMPARE(TestFrames::byteAt(frame, 11), 255);
    QCOMPARE(TestFrames::byteAt(frame, 12 + 255), 255);

    RequestSetSlaveDevice slaves(0, 1);
    for (int i = 0; i < 3; ++i)
        slaves.setAdminPassword(i, longest);
    QCOMPARE(encoded(slaves).size(), 12 + 15 + 3 * 255);
}

void TestProtocolFrames::decode_data()
{
    QTest::addColumn<QByteArray>("datagram");
    QTest::addColumn<int>("result");

    QByteArray maxFrame = TestFrames::response(63, 0, 1, QByteArray(1040 - 12, '\x01'));
    QByteArray overFrame = TestFrames::response(63, 0, 1, QByteArray(1041 - 12, '\x01'));
    QByteArray badSum = hex("000b01004700000000000501a6");
    badSum[badSum.size() - 1] = char(0xA7);
    // Length field 10 for an 13-byte datagram, checksum fixed up so that only the length is wrong.
    const QByteArray wrongLength = TestFrames::withChecksum(hex("000a01004700000000000501"));
    const QByteArray wrongVersion = TestFrames::withChecksum(hex("000b02004700000000000501"));
    const QByteArray shortFrame = TestFrames::withChecksum(hex("0009010003 00000000 00"));

    // clang-format off
    QTest::newRow("GetPhaseAlignState answer")        << hex("000b01004700000000000501a6") << 0;
    QTest::newRow("Authentication error 12")          << hex("000a0100020000000c0007df")   << 0;
    QTest::newRow("size 0")                           << QByteArray()                      << -1;
    QTest::newRow("1040 bytes")                       << maxFrame                          << 0;
    QTest::newRow("1041 bytes")                       << overFrame                         << -1;
    QTest::newRow("checksum off by one")              << badSum                            << -1;
    QTest::newRow("length field disagrees")           << wrongLength                       << -1;
    QTest::newRow("version 2")                        << wrongVersion                      << -1;
    QTest::newRow("11-byte frame")                    << shortFrame                        << 0;
    QTest::newRow("single byte summing to FF")        << hex("ff")                         << -1;
    // clang-format on
}

void TestProtocolFrames::decode()
{
    QFETCH(QByteArray, datagram);
    QFETCH(int, result);
    SimpleResponse response;
    QCOMPARE(decodeWith(response, datagram), result);
    ResponseGetACOGPIOInfo typed;
    QCOMPARE(decodeWith(typed, datagram), result);
}

void TestProtocolFrames::decodeNullData()
{
    SimpleResponse response;
    QCOMPARE(response.decode(nullptr, 12), -1);
}

void TestProtocolFrames::decodedHeaderFields()
{
    ResponseGetPhaseAlignState phase;
    QCOMPARE(decodeWith(phase, hex("000b01004700000000000501a6")), 0);
    QCOMPARE(phase.messageType(), 71);
    QCOMPARE(phase.errorCode(), 0u);
    QCOMPARE(phase.sequence(), quint16(5));
    QCOMPARE(phase.length(), quint16(11));
    QCOMPARE(int(phase.version()), 1);
    QCOMPARE(phase.receivedLength(), quint16(13));
    QCOMPARE(int(phase.state()), 1);

    const QByteArray shortFrame = TestFrames::withChecksum(hex("0009010003 00000000 00"));
    QCOMPARE(shortFrame.size(), 11);
    QVERIFY(!::isSuccessFrame(reinterpret_cast<const quint8*>(shortFrame.constData()), 11));
    SimpleResponse simple;
    QCOMPARE(decodeWith(simple, shortFrame), 0);
    QCOMPARE(simple.errorCode(), 0u);
}

void TestProtocolFrames::errorAnswerCarriesNoPayload()
{
    // An error 12 answer to GetACOGPIOInfo, with a payload that must not be read.
    const QByteArray datagram = TestFrames::response(63, 12, 3, hex("0101000100090009010001"));
    const auto* data = reinterpret_cast<const quint8*>(datagram.constData());
    QVERIFY(!::isSuccessFrame(data, quint16(datagram.size())));
    std::unique_ptr<ResponseMsg> simple(createResponse(kSimpleResponseType));
    QVERIFY(dynamic_cast<SimpleResponse*>(simple.get()));
    QCOMPARE(decodeWith(*simple, datagram), 0);
    QCOMPARE(simple->errorCode(), 12u);

    // Even the typed class leaves its fields alone when the code is nonzero.
    ResponseGetACOGPIOInfo typed;
    QCOMPARE(decodeWith(typed, datagram), 0);
    QCOMPARE(typed.errorCode(), 12u);
    QCOMPARE(typed.ps1Led(), false);
    QCOMPARE(typed.localLed(), 255);
    QCOMPARE(typed.keyMask(), 255);
}

void TestProtocolFrames::isSuccessFrame_data()
{
    QTest::addColumn<QByteArray>("datagram");
    QTest::addColumn<bool>("success");
    // clang-format off
    QTest::newRow("12 bytes, error 0")        << hex("000a0100010000000000 01f2")   << true;
    QTest::newRow("13 bytes, error 0")        << hex("000b01004700000000000501a6")  << true;
    QTest::newRow("error 12")                 << hex("000a0100020000000c0007df")    << false;
    QTest::newRow("error in high byte")       << hex("000a0100020100000000 07df")   << false;
    QTest::newRow("11 bytes, zero error")     << hex("00090100030000000000 00")     << false;
    QTest::newRow("empty")                    << QByteArray()                       << false;
    QTest::newRow("bad checksum, error 0")    << hex("000a0100010000000000 0100")   << true;
    // clang-format on
}

void TestProtocolFrames::isSuccessFrame()
{
    QFETCH(QByteArray, datagram);
    QFETCH(bool, success);
    QCOMPARE(::isSuccessFrame(reinterpret_cast<const quint8*>(datagram.constData()), quint16(datagram.size())),
             success);
}

void TestProtocolFrames::createResponseClass_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QString>("className");

    const QString none;
    const QString simple = typeid(SimpleResponse).name();
    QMap<int, QString> expected;
    for (int type = -3; type <= 80; ++type)
        expected.insert(type, none);
    expected[-1] = simple;
    for (int type : { 1,  4,  7,  9,  11, 14, 15, 16, 17, 19, 20, 21, 22, 24, 25, 27, 31,
                      33, 35, 37, 40, 42, 44, 46, 48, 50, 52, 53, 56, 58, 61, 64, 69, 72 })
        expected[type] = simple;
    expected[2] = typeid(ResponseAuthentication).name();
    expected[3] = typeid(ResponseGetWorkMode).name();
    expected[5] = typeid(ResponseGetProductInfo).name();
    expected[10] = typeid(ResponseGetMacAddress).name();
    expected[12] = typeid(ResponseGetHwTune).name();
    expected[13] = typeid(ResponseGetSPIFlashInfo).name();
    expected[18] = typeid(ResponseGetMCUFlashInfo).name();
    expected[23] = typeid(ResponseGetVersion).name();
    expected[26] = typeid(ResponseGetNetParam).name();
    expected[28] = typeid(ResponseGetRemoteControlEnabled).name();
    expected[29] = typeid(ResponseGetInputState).name();
    expected[30] = typeid(ResponseGetGPIOState).name();
    expected[32] = typeid(ResponseGetPhase).name();
    expected[34] = typeid(ResponseGetGPIOTriggerMode).name();
    expected[36] = typeid(ResponseGetDetectionParam).name();
    expected[38] = typeid(ResponseGetSystemAlarmParam).name();
    expected[39] = typeid(ResponseGetAlarmInfo).name();
    expected[41] = typeid(ResponseGetAudioEffect).name();
    expected[43] = typeid(ResponseGetPGMOutputSelect).name();
    expected[45] = typeid(ResponseGetAUXOutputSelect).name();
    expected[47] = typeid(ResponseGetRelayControl).name();
    expected[49] = typeid(ResponseGetAutoSwitchMethod).name();
    expected[51] = typeid(ResponseGetAutoSwitchTrigger).name();
    expected[54] = typeid(ResponseGetAGCParam).name();
    expected[55] = typeid(ResponseGetAudioLevel).name();
    expected[57] = typeid(ResponseGetNotificationDest).name();
    expected[59] = typeid(ResponseGetTrapIp).name();
    expected[62] = typeid(ResponseGetShortPressKeyState).name();
    expected[63] = typeid(ResponseGetACOGPIOInfo).name();
    expected[65] = typeid(ResponseGetRemoteDevice).name();
    expected[70] = typeid(ResponseGetSlaveDevice).name();
    expected[71] = typeid(ResponseGetPhaseAlignState).name();
    expected[0xFFFF] = none;
    for (auto it = expected.cbegin(); it != expected.cend(); ++it)
        QTest::addRow("type %d", it.key()) << it.key() << it.value();
}

void TestProtocolFrames::createResponseClass()
{
    QFETCH(int, type);
    QFETCH(QString, className);
    std::unique_ptr<ResponseMsg> response(createResponse(type));
    if (className.isEmpty()) {
        QVERIFY(!response);
        return;
    }
    QVERIFY(response);
    QCOMPARE(QString(typeid(*response).name()), className);
}

void TestProtocolFrames::names_data()
{
    QTest::addColumn<bool>("isType");
    QTest::addColumn<int>("value");
    QTest::addColumn<QString>("name");
    // clang-format off
    QTest::newRow("type 1")   << true << 1  << "Hello";
    QTest::newRow("type 2")   << true << 2  << "Authentication";
    QTest::newRow("type 3")   << true << 3  << "GetWorkMode";
    QTest::newRow("type 4")   << true << 4  << "SetProductInfo";
    QTest::newRow("type 5")   << true << 5  << "GetProductInfo";
    QTest::newRow("type 23")  << true << 23 << "GetVersion";
    QTest::newRow("type 0")   << true << 0  << "";
    QTest::newRow("type 63")  << true << 63 << "";
    QTest::newRow("type -1")  << true << -1 << "";
    QTest::newRow("code 0")   << false << 0  << "";
    QTest::newRow("code 1")   << false << 1  << "Failed";
    QTest::newRow("code 2")   << false << 2  << "";
    QTest::newRow("code 9")   << false << 9  << "MsgFormatWrong";
    QTest::newRow("code 10")  << false << 10 << "UnsupportedMsgVersion";
    QTest::newRow("code 11")  << false << 11 << "UnsupportedMsg";
    QTest::newRow("code 12")  << false << 12 << "AuthenticationFailed";
    QTest::newRow("code 13")  << false << 13 << "AuthenticationTimeout";
    QTest::newRow("code 14")  << false << 14 << "";
    // clang-format on
}

void TestProtocolFrames::names()
{
    QFETCH(bool, isType);
    QFETCH(int, value);
    QFETCH(QString, name);
    QCOMPARE(isType ? messageTypeName(value) : errorCodeName(value), name);
}

void TestProtocolFrames::moduleTypeName_data()
{
    QTest::addColumn<quint32>("code");
    QTest::addColumn<QString>("name");
    QTest::newRow("50003") << 50003u << "ACO GPIO";
    QTest::newRow("50004") << 50004u << "Unknown";
    QTest::newRow("0") << 0u << "Unknown";
    QTest::newRow("99999999") << 99999999u << "Unknown";
}

void TestProtocolFrames::moduleTypeName()
{
    QFETCH(quint32, code);
    QFETCH(QString, name);
    QCOMPARE(GetModuleTypeName(code), name);
}

void TestProtocolFrames::productSerialText_data()
{
    QTest::addColumn<QByteArray>("serial");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("result");
    // clang-format off
    QTest::newRow("QX 1234 42")             << hex("5158 000004d2 002a") << "QX00001234-00000042" << 0;
    QTest::newRow("az 99999999 7999")       << hex("617a 05f5e0ff 1f3f") << "az99999999-00007999" << 0;
    QTest::newRow("QX 0 7999")              << hex("5158 00000000 1f3f") << "QX"                  << -1;
    QTest::newRow("QX 1 8000")              << hex("5158 00000001 1f40") << "QX00000001-"         << -1;
    QTest::newRow("QX 1 0")                 << hex("5158 00000001 0000") << "QX00000001-"         << -1;
    QTest::newRow("QX 100000000 1")         << hex("5158 05f5e100 0001") << "QX"                  << -1;
    QTest::newRow("second letter a digit")  << hex("5131 00000001 0001") << "Q"                   << -1;
    QTest::newRow("first letter a digit")   << hex("3158 00000001 0001") << ""                    << -1;
    QTest::newRow("bracket after Z")        << hex("5b58 00000001 0001") << ""                    << -1;
    QTest::newRow("all zero")               << hex("0000 00000000 0000") << ""                    << -1;
    // clang-format on
}

void TestProtocolFrames::productSerialText()
{
    QFETCH(QByteArray, serial);
    QFETCH(QString, text);
    QFETCH(int, result);
    QCOMPARE(serial.size(), 8);
    const auto* bytes = reinterpret_cast<const quint8*>(serial.constData());
    QCOMPARE(GetProductSNText(bytes), text);
    char buffer[20];
    QCOMPARE(ConvertProductSN(bytes, buffer), result);
    QCOMPARE(QString::fromLatin1(buffer), text);
}

void TestProtocolFrames::acoGpioInfoQueuedSignal()
{
    const int id = registerAcoGpioInfoMetaType();
    QVERIFY(id != QMetaType::UnknownType);
    QCOMPARE(QMetaType::type("AcoGpioInfo"), id);
    QCOMPARE(registerAcoGpioInfoMetaType(), id);

    InfoSender sender;
    InfoReceiver receiver;
    QVERIFY(QObject::connect(&sender, SIGNAL(SendInfo(AcoGpioInfo)), &receiver, SLOT(OnRecvStatusInfo(AcoGpioInfo)),
                             Qt::QueuedConnection));
    AcoGpioInfo info;
    info.ps1Led = true;
    info.keyMask = 0x21;
    info.phaseAlign = 2;
    info.remoteKeyMask = 4;
    emit sender.SendInfo(info);
    QVERIFY(receiver.records.isEmpty());
    QTRY_COMPARE(receiver.records.size(), 1);
    QVERIFY(receiver.records.first() == info);
}

QTEST_GUILESS_MAIN(TestProtocolFrames)
#include "tst_ProtocolFrames.moc"
