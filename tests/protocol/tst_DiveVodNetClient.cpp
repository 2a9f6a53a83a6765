// The device client against the device simulator (and, for exact answer sequences, against a
// scripted peer): every operation, sequence numbers, login handling and refused texts.
#include "DeviceSimulator.h"
#include "DiveVodNetClient.h"
#include "ProductInfoText.h"
#include "ScriptedPeer.h"
#include "TestFrames.h"

#include <QElapsedTimer>
#include <QFile>
#include <QHostInfo>
#include <QtTest>

#include <limits>
#include <memory>

namespace {

QByteArray hex(const char* text)
{
    return QByteArray::fromHex(QByteArray(text).replace(' ', ""));
}

QByteArray authPayload(const QByteArray& user, const QByteArray& password)
{
    QByteArray payload;
    payload.append(char(user.size()));
    payload.append(user);
    payload.append(char(password.size()));
    payload.append(password);
    return payload;
}

} // namespace

class TestDiveVodNetClient : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void firstSequenceIsOne();
    void sequenceWrapsAt65536();
    void setLoginInfoMapping_data();
    void setLoginInfoMapping();
    void authenticate();
    void authenticateWrongPasswordKeepsLoginId();
    void workMode();
    void acoGpioInfoLeavesOtherFieldsAlone();
    void shortPressKeyState();
    void phaseAlignState();
    void abKeyState();
    void version();
    void productInfo();
    void netParam();
    void remoteDevice();
    void slaveDevice();
    void modifyPassword();
    void reloginOnTimeout13();
    void reloginOnFailed12();
    void otherErrorCodeFails();
    void shortFrameFailsTypedOperationsOnly();
    void wrongSequenceIsAccepted();
    void wrongChecksumFailsWithoutResend();
    void answerFromOtherHost();
    void refusedTextsSendNothing();
    void closedChannelFails();
    void localAddresses();

    // Exact answer sequences from a scripted peer.
    void reloginRepeatAnsweredWithError();
    void reloginRefused();
    void reloginAnsweredWithShortFrame();

private:
    bool login(int userType = 0, const QString& password = QStringLiteral("123456"));

    std::unique_ptr<DeviceSimulator> sim;
    std::unique_ptr<DiveVodNetClient> client;
};

void TestDiveVodNetClient::init()
{
    sim.reset(new DeviceSimulator);
    QVERIFY(sim->start(QStringLiteral("127.0.0.1"), 0));
    client.reset(new DiveVodNetClient);
    QCOMPARE(client->OpenChannel(QStringLiteral("127.0.0.1"), sim->port()), 0);
}

void TestDiveVodNetClient::cleanup()
{
    client.reset();
    sim.reset();
}

bool TestDiveVodNetClient::login(int userType, const QString& password)
{
    client->SetLoginInfo(userType, password);
    return client->Authenticate() == 0;
}

void TestDiveVodNetClient::firstSequenceIsOne()
{
    quint32 mode = 77;
    QVERIFY(login());
    QCOMPARE(client->GetWorkMode(mode), 0);
    const auto frames = sim->received();
    QCOMPARE(frames.size(), 2);
    QCOMPARE(frames.at(0).type, 2);
    QCOMPARE(frames.at(0).sequence, quint16(1));
    QCOMPARE(frames.at(0).loginId, 0u);
    QCOMPARE(frames.at(1).type, 3);
    QCOMPARE(frames.at(1).sequence, quint16(2));
}

void TestDiveVodNetClient::sequenceWrapsAt65536()
{
    QVERIFY(login()); // sequence 1
    // Every operation takes a number, even one that cannot send: run the counter up quickly
    // on a closed channel, then watch the wrap on the wire.
    client->CloseChannel();
    quint32 mode = 0;
    for (int i = 0; i < 65533; ++i)
        QCOMPARE(client->GetWorkMode(mode), -1); // sequences 2 .. 65534
    QCOMPARE(client->OpenChannel(QStringLiteral("127.0.0.1"), sim->port()), 0);
    sim->clearReceived();
    for (int i = 0; i < 3; ++i)
        QCOMPARE(client->GetWorkMode(mode), 0);
    const auto frames = sim->received();
    QCOMPARE(frames.size(), 3);
    QCOMPARE(frames.at(0).sequence, quint16(65535)); // the 65535th request
    QCOMPARE(frames.at(1).sequence, quint16(0)); // the 65536th
    QCOMPARE(frames.at(2).sequence, quint16(1));
}

void TestDiveVodNetClient::setLoginInfoMapping_data()
{
    QTest::addColumn<int>("userType");
    QTest::addColumn<QByteArray>("user");
    QTest::newRow("0 is admin") << 0 << QByteArray("admin");
    QTest::newRow("1 is guest") << 1 << QByteArray("guest");
    QTest::newRow("2 is guest") << 2 << QByteArray("guest");
    QTest::newRow("-1 is guest") << -1 << QByteArray("guest");
}

void TestDiveVodNetClient::setLoginInfoMapping()
{
    QFETCH(int, userType);
    QFETCH(QByteArray, user);
    client->SetLoginInfo(userType, QStringLiteral("pw"));
    // "pw" is neither user's password: the device refuses, and the frame shows the name.
    QTest::ignoreMessage(QtDebugMsg, "Authentication=========AuthenticationFailed\n");
    QCOMPARE(client->Authenticate(), 12);
    const auto frames = sim->received();
    QCOMPARE(frames.size(), 1);
    QCOMPARE(TestFrames::payload(frames.first().frame), authPayload(user, "pw"));
}

void TestDiveVodNetClient::authenticate()
{
    QVERIFY(login(1, QStringLiteral("111111")));
    const quint32 granted = sim->loginId();
    QVERIFY(granted != 0);
    const auto auth = sim->received().first();
    QCOMPARE(TestFrames::payload(auth.frame), authPayload("guest", "111111"));
    QCOMPARE(auth.frame.toHex(), TestFrames::withChecksum(auth.frame.left(auth.frame.size() - 1)).toHex());

    quint8 state = 9;
    QCOMPARE(client->GetPhaseAlignState(state), 0);
    QCOMPARE(sim->received().last().loginId, granted);
}

void TestDiveVodNetClient::authenticateWrongPasswordKeepsLoginId()
{
    QVERIFY(login());
    const quint32 granted = sim->loginId();
    client->SetLoginInfo(0, QStringLiteral("wrong"));
    QTest::ignoreMessage(QtDebugMsg, "Authentication=========AuthenticationFailed\n");
    QCOMPARE(client->Authenticate(), 12);
    // The device kept the old login and so did the client: the next request still works.
    quint32 mode = 0;
    QCOMPARE(client->GetWorkMode(mode), 0);
    const auto frames = sim->received();
    QCOMPARE(frames.last().type, 3);
    QCOMPARE(frames.last().loginId, granted);
    QCOMPARE(sim->receivedCount(2), 2);
}

void TestDiveVodNetClient::workMode()
{
    QVERIFY(login());
    quint32 mode = 77;
    QCOMPARE(client->GetWorkMode(mode), 0);
    QCOMPARE(mode, 1u);
    sim->setUpdateMode(true);
    QCOMPARE(client->GetWorkMode(mode), 0);
    QCOMPARE(mode, 0u);
}

void TestDiveVodNetClient::acoGpioInfoLeavesOtherFieldsAlone()
{
    QVERIFY(login());
    sim->modify([](SimDeviceState& s) {
        s.ps1Led = true;
        s.ps2Led = false;
        s.localLed = 2;
        s.remoteLed = 1;
        s.panelType = 1;
        s.gpioGreenMask = 0x21;
        s.gpioRedMask = 0x12;
        s.keyMask = 0x3F;
        s.ipReset = true;
        s.upgrade = false;
        s.remCtrl = true;
    });
    AcoGpioInfo info;
    info.keyLock = true;
    info.autoMode = true;
    info.phaseAlign = 2;
    info.remoteKeyMask = 8;
    QCOMPARE(client->GetAcoGpioInfo(info), 0);
    QCOMPARE(info.ps1Led, true);
    QCOMPARE(info.ps2Led, false);
    QCOMPARE(info.localLed, 2u);
    QCOMPARE(info.remoteLed, 1u);
    QCOMPARE(info.panelType, 1u);
    QCOMPARE(info.gpioGreenMask, 0x21u);
    QCOMPARE(info.gpioRedMask, 0x12u);
    QCOMPARE(info.keyMask, 0x3Fu);
    QCOMPARE(info.ipReset, true);
    QCOMPARE(info.upgrade, false);
    QCOMPARE(info.remCtrl, true);
    QCOMPARE(info.keyLock, true);
    QCOMPARE(info.autoMode, true);
    QCOMPARE(int(info.phaseAlign), 2);
    QCOMPARE(info.remoteKeyMask, 8u);
}

void TestDiveVodNetClient::shortPressKeyState()
{
    QVERIFY(login());
    quint8 keyLock = 9;
    quint8 autoMode = 9;
    quint32 panelType = 9;
    QCOMPARE(client->GetShortPressKeyState(keyLock, autoMode, panelType), 0);
    QCOMPARE(int(keyLock), 0);
    QCOMPARE(int(autoMode), 1);
    QCOMPARE(panelType, 0u);

    QCOMPARE(client->SetShortPressKeyState(5, 0, 1), 0);
    QCOMPARE(TestFrames::payload(sim->received().last().frame), hex("010001"));
    QCOMPARE(sim->state().keyLock, true);
    QCOMPARE(sim->state().autoMode, false);
    QCOMPARE(int(sim->state().panelType), 1);
    QCOMPARE(client->GetShortPressKeyState(keyLock, autoMode, panelType), 0);
    QCOMPARE(int(keyLock), 1);
    QCOMPARE(int(autoMode), 0);
    QCOMPARE(panelType, 1u);
}

void TestDiveVodNetClient::phaseAlignState()
{
    QVERIFY(login());
    sim->modify([](SimDeviceState& s) { s.phaseAlign = 2; });
    quint8 state = 0;
    QCOMPARE(client->GetPhaseAlignState(state), 0);
    QCOMPARE(int(state), 2);
}

void TestDiveVodNetClient::abKeyState()
{
    QVERIFY(login());
    const quint8 before = sim->state().keyMask;
    QCOMPARE(client->SetABKeyState(1u << 4), 0);
    QCOMPARE(TestFrames::payload(sim->received().last().frame), hex("10"));
    QCOMPARE(int(sim->state().keyMask), before ^ 0x10);
    // The device refuses a value that names no key: -1 and a debug line.
    QTest::ignoreMessage(QtDebugMsg, "=========Failed\n");
    QCOMPARE(client->SetABKeyState(256), -1);
    QCOMPARE(TestFrames::payload(sim->received().last().frame), hex("00"));
}

void TestDiveVodNetClient::version()
{
    QVERIFY(login());
    QString pcb = QStringLiteral("x");
    QString firmware = QStringLiteral("y");
    QCOMPARE(client->GetVersion(pcb, firmware), 0);
    QCOMPARE(pcb, QStringLiteral("1.3"));
    QCOMPARE(firmware, QStringLiteral("1.1.46"));
    sim->modify([](SimDeviceState& s) {
        s.firmwareVersion = 0x0102001E;
        s.pcbVersion = 0xFFFFFFFF;
    });
    QCOMPARE(client->GetVersion(pcb, firmware), 0);
    QCOMPARE(firmware, QStringLiteral("1.2.30"));
    QCOMPARE(pcb, QStringLiteral("1.4294967295"));
}

void TestDiveVodNetClient::productInfo()
{
    QVERIFY(login());
    sim->modify([](SimDeviceState& s) { s.productExtra = hex("0102030405060708"); });
    quint32 code = 0;
    quint8 serial[8] = {};
    quint8 further[8] = {};
    QCOMPARE(client->GetProductInfo(code, serial, further), 0);
    QCOMPARE(code, 50003u);
    QCOMPARE(QByteArray(reinterpret_cast<const char*>(serial), 8), hex("5158000004d2002a"));
    QCOMPARE(QByteArray(reinterpret_cast<const char*>(further), 8), hex("0102030405060708"));
    QCOMPARE(GetProductSNText(serial), QStringLiteral("QX00001234-00000042"));
    QCOMPARE(GetModuleTypeName(code), QStringLiteral("ACO GPIO"));
}

void TestDiveVodNetClient::netParam()
{
    QVERIFY(login());
    // The device reports a private address; it is only read here, nothing is ever sent to it.
    sim->modify([](SimDeviceState& s) {
        s.address = 0xC0A80164;
        s.subnetMask = 0xFFFFFF00;
        s.gateway = 0xC0A80101;
        s.isDefault = true;
    });
    QString address, mask, gateway;
    bool isDefault = false;
    QCOMPARE(client->GetNetParam(address, mask, gateway, isDefault), 0);
    QCOMPARE(address, QStringLiteral("192.168.1.100"));
    QCOMPARE(mask, QStringLiteral("255.255.255.0"));
    QCOMPARE(gateway, QStringLiteral("192.168.1.1"));
    QCOMPARE(isDefault, true);

    QCOMPARE(
        client->SetNetParam(QStringLiteral("127.0.0.5"), QStringLiteral("255.0.0.0"), QStringLiteral("127.0.0.254")),
        0);
    QCOMPARE(TestFrames::payload(sim->received().last().frame), hex("7f000005 ff000000 7f0000fe"));
    QCOMPARE(client->GetNetParam(address, mask, gateway, isDefault), 0);
    QCOMPARE(address, QStringLiteral("127.0.0.5"));
    QCOMPARE(mask, QStringLiteral("255.0.0.0"));
    QCOMPARE(gateway, QStringLiteral("127.0.0.254"));
    QCOMPARE(isDefault, false);
}

void TestDiveVodNetClient::remoteDevice()
{
    QVERIFY(login());
    QCOMPARE(client->SetRemoteDevice(QStringLiteral("127.0.0.20"), QStringLiteral("abc123")), 0);
    QCOMPARE(TestFrames::payload(sim->received().last().frame), hex("7f000014 06 616263313233"));
    QString address, password;
    QCOMPARE(client->GetRemoteDevice(address, password), 0);
    QCOMPARE(address, QStringLiteral("127.0.0.20"));
    QCOMPARE(password, QStringLiteral("abc123"));
    // A password over 6 bytes comes back empty (the device's own length limit).
    QCOMPARE(client->SetRemoteDevice(QStringLiteral("127.0.0.21"), QStringLiteral("1234567")), 0);
    QCOMPARE(client->GetRemoteDevice(address, password), 0);
    QCOMPARE(address, QStringLiteral("127.0.0.21"));
    QCOMPARE(password, QString());
}

void TestDiveVodNetClient::slaveDevice()
{
    QVERIFY(login());
    const QString addresses[3]
        = { QStringLiteral("127.0.0.31"), QStringLiteral("127.0.0.32"), QStringLiteral("127.0.0.33") };
    const QString passwords[3] = { QStringLiteral("a"), QString(), QStringLiteral("zzzzzz") };
    QCOMPARE(client->SetSlaveDevice(addresses, passwords), 0);
    QCOMPARE(TestFrames::payload(sim->received().last().frame),
             hex("7f00001f 01 61  7f000020 00  7f000021 06 7a7a7a7a7a7a"));
    QString gotAddresses[3];
    QString gotPasswords[3];
    QCOMPARE(client->GetSlaveDevice(gotAddresses, gotPasswords), 0);
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(gotAddresses[i], addresses[i]);
        QCOMPARE(gotPasswords[i], passwords[i]);
    }
}

void TestDiveVodNetClient::modifyPassword()
{
    QVERIFY(login());
    QCOMPARE(client->ModifyPassword(QStringLiteral("guest"), QStringLiteral("222222")), 0);
    QCOMPARE(TestFrames::payload(sim->received().last().frame), authPayload("guest", "222222"));
    QCOMPARE(sim->state().guestPassword, QStringLiteral("222222"));
    QVERIFY(login(1, QStringLiteral("222222")));
}

void TestDiveVodNetClient::reloginOnTimeout13()
{
    QVERIFY(login());
    const quint32 first = sim->loginId();
    sim->forgetLogin();
    sim->clearReceived();
    QTest::ignoreMessage(QtDebugMsg, "TTTTTTTTT:13\n");
    AcoGpioInfo info;
    QCOMPARE(client->GetAcoGpioInfo(info), 0);
    const quint32 second = sim->loginId();
    QVERIFY(second != 0 && second != first);

    const auto frames = sim->received();
    QCOMPARE(frames.size(), 3);
    QCOMPARE(frames.at(0).type, 63);
    QCOMPARE(frames.at(0).loginId, first);
    QCOMPARE(frames.at(1).type, 2);
    QCOMPARE(frames.at(1).loginId, 0u);
    QCOMPARE(frames.at(1).sequence, quint16(frames.at(0).sequence + 1));
    QCOMPARE(TestFrames::payload(frames.at(1).frame), authPayload("admin", "123456"));
    QCOMPARE(frames.at(2).type, 63);
    QCOMPARE(frames.at(2).sequence, frames.at(0).sequence);
    QCOMPARE(frames.at(2).loginId, second);

    // Later requests carry the new login id.
    quint8 state = 0;
    QCOMPARE(client->GetPhaseAlignState(state), 0);
    QCOMPARE(sim->received().last().loginId, second);
}

void TestDiveVodNetClient::reloginOnFailed12()
{
    QVERIFY(login());
    sim->clearReceived();
    sim->setFault(DeviceSimulator::Fault::ErrorCode, 1, 12);
    QTest::ignoreMessage(QtDebugMsg, "GetVersionTTTTTTTTT:12\n");
    QString pcb, firmware;
    QCOMPARE(client->GetVersion(pcb, firmware), 0);
    QCOMPARE(firmware, QStringLiteral("1.1.46"));
    const auto frames = sim->received();
    QCOMPARE(frames.size(), 3);
    QCOMPARE(frames.at(0).type, 23);
    QCOMPARE(frames.at(1).type, 2);
    QCOMPARE(frames.at(1).loginId, 0u);
    QCOMPARE(frames.at(2).type, 23);
    QCOMPARE(frames.at(2).sequence, frames.at(0).sequence);
    QCOMPARE(frames.at(2).loginId, sim->loginId());
}

void TestDiveVodNetClient::otherErrorCodeFails()
{
    QVERIFY(login());
    sim->setFault(DeviceSimulator::Fault::ErrorCode, 1, 1);
    QTest::ignoreMessage(QtDebugMsg, "GetWorkMode=========Failed\n");
    quint32 mode = 77;
    QCOMPARE(client->GetWorkMode(mode), -1);
    QCOMPARE(mode, 77u);

    sim->setFault(DeviceSimulator::Fault::ErrorCode, 1, 99);
    QTest::ignoreMessage(QtDebugMsg, "=========\n");
    QCOMPARE(client->SetABKeyState(1), -1);

    // Authenticate hands the device's code back.
    sim->setFault(DeviceSimulator::Fault::ErrorCode, 1, 9);
    QTest::ignoreMessage(QtDebugMsg, "Authentication=========MsgFormatWrong\n");
    QCOMPARE(client->Authenticate(), 9);

    // ... and stays a refusal, never -1 ("no answer"), when the code does not fit an int.
    QTest::ignoreMessage(QtDebugMsg, "Authentication=========\n");
    sim->setFault(DeviceSimulator::Fault::ErrorCode, 1, 0xFFFFFFFFu);
    QCOMPARE(client->Authenticate(), std::numeric_limits<int>::max());
}

void TestDiveVodNetClient::shortFrameFailsTypedOperationsOnly()
{
    QVERIFY(login());
    // The 11-byte frame's sequence bytes overlap its checksum, so it also reads as an answer
    // to another request.
    QTest::ignoreMessage(QtDebugMsg, QRegularExpression(QStringLiteral("^Id not eauque ")));
    QTest::ignoreMessage(QtDebugMsg, QRegularExpression(QStringLiteral("^Id not eauque ")));
    QTest::ignoreMessage(QtDebugMsg, QRegularExpression(QStringLiteral("^Id not eauque ")));
    sim->setFault(DeviceSimulator::Fault::ShortFrame, 1);
    quint32 mode = 77;
    QCOMPARE(client->GetWorkMode(mode), -1);
    QCOMPARE(mode, 77u);
    sim->setFault(DeviceSimulator::Fault::ShortFrame, 1);
    QCOMPARE(client->SetABKeyState(1), 0);
    sim->setFault(DeviceSimulator::Fault::ShortFrame, 1);
    QCOMPARE(client->Authenticate(), -1);
}

void TestDiveVodNetClient::wrongSequenceIsAccepted()
{
    QVERIFY(login());
    sim->setFault(DeviceSimulator::Fault::WrongSequence, 1);
    QTest::ignoreMessage(QtDebugMsg, "Id not eauque 3,3");
    quint32 mode = 77;
    QCOMPARE(client->GetWorkMode(mode), 0);
    QCOMPARE(mode, 1u);
    // The channel moved to a new socket and goes on working.
    QCOMPARE(client->GetWorkMode(mode), 0);
}

void TestDiveVodNetClient::wrongChecksumFailsWithoutResend()
{
    QVERIFY(login());
    sim->clearReceived();
    sim->setFault(DeviceSimulator::Fault::WrongChecksum, 1);
    quint8 state = 9;
    QCOMPARE(client->GetPhaseAlignState(state), -1);
    QCOMPARE(int(state), 9);
    QTest::qWait(50);
    QCOMPARE(sim->received().size(), 1);
}

void TestDiveVodNetClient::answerFromOtherHost()
{
    QVERIFY(login());
    if (sim->otherHostAddress().isEmpty())
        QSKIP("the simulator has no second loopback socket here");
    sim->setFault(DeviceSimulator::Fault::FromOtherHost, 1);
    quint8 state = 9;
    QCOMPARE(client->GetPhaseAlignState(state), 0);
    QCOMPARE(int(state), 1);
}

void TestDiveVodNetClient::refusedTextsSendNothing()
{
    QVERIFY(login());
    sim->clearReceived();
    const QString tooLong(256, QLatin1Char('p'));
    // 128 two-byte characters: 256 bytes on the wire, so refused as well.
    const QString tooLongUtf8(128, QChar(0x00E9));

    QCOMPARE(client->SetRemoteDevice(QStringLiteral("127.0.0.20"), tooLong), -1);
    QCOMPARE(client->SetRemoteDevice(QStringLiteral("127.0.0.20"), tooLongUtf8), -1);
    const QString addresses[3]
        = { QStringLiteral("127.0.0.31"), QStringLiteral("127.0.0.32"), QStringLiteral("127.0.0.33") };
    const QString passwords[3] = { QString(), QString(), tooLong };
    QCOMPARE(client->SetSlaveDevice(addresses, passwords), -1);
    QCOMPARE(client->ModifyPassword(QStringLiteral("admin"), tooLong), -1);
    QCOMPARE(client->ModifyPassword(tooLong, QStringLiteral("123456")), -1);
    client->SetLoginInfo(0, tooLong);
    QCOMPARE(client->Authenticate(), -1);
    QTest::qWait(50);
    QCOMPARE(sim->received().size(), 0);
    QCOMPARE(sim->state().remotePassword, QString());
    QCOMPARE(sim->state().adminPassword, QStringLiteral("123456"));

    // 255 bytes is the longest text that travels.
    QCOMPARE(client->ModifyPassword(QStringLiteral("guest"), QString(255, QLatin1Char('g'))), 0);
    QCOMPARE(sim->state().guestPassword, QString(255, QLatin1Char('g')));
}

void TestDiveVodNetClient::closedChannelFails()
{
    QVERIFY(login());
    client->CloseChannel();
    client->CloseChannel();
    sim->clearReceived();
    QElapsedTimer timer;
    timer.start();
    quint32 mode = 77;
    QCOMPARE(client->GetWorkMode(mode), -1);
    QCOMPARE(mode, 77u);
    QString address = QStringLiteral("unchanged");
    QString mask, gateway;
    bool isDefault = true;
    QCOMPARE(client->GetNetParam(address, mask, gateway, isDefault), -1);
    QCOMPARE(address, QStringLiteral("unchanged"));
    QCOMPARE(client->Authenticate(), -1);
    QVERIFY(timer.elapsed() < 500);
    QTest::qWait(50);
    QCOMPARE(sim->received().size(), 0);
}

void TestDiveVodNetClient::localAddresses()
{
    // Resolving the host name must not go to a name server from a test: only run where the
    // name is in /etc/hosts.
    QFile hosts(QStringLiteral("/etc/hosts"));
    const QString name = QHostInfo::localHostName();
    if (!hosts.open(QIODevice::ReadOnly) || !QString::fromLatin1(hosts.readAll()).contains(name))
        QSKIP("host name not in /etc/hosts");
    const QStringList addresses = client->GetLocalAddresses();
    QVERIFY(!addresses.isEmpty());
    for (const QString& address : addresses) {
        QCOMPARE(address.split(QLatin1Char('.')).size(), 4);
        QVERIFY(QHostAddress(address).protocol() == QAbstractSocket::IPv4Protocol);
    }
}

void TestDiveVodNetClient::reloginRepeatAnsweredWithError()
{
    ScriptedPeer peer;
    QVERIFY(peer.start("127.0.0.1"));
    peer.setScript([](int index, const QByteArray& request) {
        const quint16 seq = TestFrames::sequence(request);
        switch (index) {
        case 0:
            return ScriptedPeer::reply(TestFrames::response(2, 0, seq, hex("00000011")));
        case 1:
            return ScriptedPeer::reply(TestFrames::response(63, 13, seq));
        case 2:
            return ScriptedPeer::reply(TestFrames::response(2, 0, seq, hex("00000055")));
        default:
            return ScriptedPeer::reply(TestFrames::response(63, 1, seq));
        }
    });
    QCOMPARE(client->OpenChannel(QStringLiteral("127.0.0.1"), peer.port()), 0);
    client->SetLoginInfo(0, QStringLiteral("secret"));
    QCOMPARE(client->Authenticate(), 0);

    QTest::ignoreMessage(QtDebugMsg, "TTTTTTTTT:13\n");
    QTest::ignoreMessage(QtDebugMsg, "63TTTTTTTTT111111:1\n");
    AcoGpioInfo info;
    const AcoGpioInfo before = info;
    QCOMPARE(client->GetAcoGpioInfo(info), -1);
    QVERIFY(info == before);

    const auto frames = peer.received();
    QCOMPARE(frames.size(), 4);
    QCOMPARE(TestFrames::type(frames.at(1).data), 63);
    QCOMPARE(TestFrames::loginId(frames.at(1).data), 0x11u);
    QCOMPARE(TestFrames::sequence(frames.at(1).data), quint16(2));
    QCOMPARE(TestFrames::type(frames.at(2).data), 2);
    QCOMPARE(TestFrames::loginId(frames.at(2).data), 0u);
    QCOMPARE(TestFrames::sequence(frames.at(2).data), quint16(3));
    QCOMPARE(TestFrames::payload(frames.at(2).data), authPayload("admin", "secret"));
    QCOMPARE(TestFrames::type(frames.at(3).data), 63);
    QCOMPARE(TestFrames::loginId(frames.at(3).data), 0x55u);
    QCOMPARE(TestFrames::sequence(frames.at(3).data), quint16(2));
}

void TestDiveVodNetClient::reloginRefused()
{
    ScriptedPeer peer;
    QVERIFY(peer.start("127.0.0.1"));
    peer.setScript([](int index, const QByteArray& request) {
        const quint16 seq = TestFrames::sequence(request);
        if (index == 0)
            return ScriptedPeer::reply(TestFrames::response(71, 12, seq));
        return ScriptedPeer::reply(TestFrames::response(2, 12, seq));
    });
    QCOMPARE(client->OpenChannel(QStringLiteral("127.0.0.1"), peer.port()), 0);
    QTest::ignoreMessage(QtDebugMsg, "TTTTTTTTT:12\n");
    quint8 state = 9;
    QCOMPARE(client->GetPhaseAlignState(state), -1);
    QCOMPARE(int(state), 9);
    QTest::qWait(50);
    const auto frames = peer.received();
    QCOMPARE(frames.size(), 2); // the request is not repeated
    QCOMPARE(TestFrames::type(frames.at(1).data), 2);
}

void TestDiveVodNetClient::reloginAnsweredWithShortFrame()
{
    ScriptedPeer peer;
    QVERIFY(peer.start("127.0.0.1"));
    peer.setScript([](int index, const QByteArray& request) {
        if (index == 0)
            return ScriptedPeer::reply(TestFrames::response(3, 13, TestFrames::sequence(request)));
        return ScriptedPeer::reply(TestFrames::withChecksum(hex("0009010002 00000000 00")));
    });
    QCOMPARE(client->OpenChannel(QStringLiteral("127.0.0.1"), peer.port()), 0);
    QTest::ignoreMessage(QtDebugMsg, "GetWorkModeTTTTTTTTT:13\n");
    quint32 mode = 77;
    QCOMPARE(client->GetWorkMode(mode), -1);
    QCOMPARE(mode, 77u);
    QTest::qWait(50);
    QCOMPARE(peer.receivedCount(), 2);
}

QTEST_GUILESS_MAIN(TestDiveVodNetClient)
#include "tst_DiveVodNetClient.moc"
