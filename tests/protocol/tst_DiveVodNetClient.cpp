// The device client against the device simulator (and, for exact answer sequences, against a
// scripted peer): every operation, sequence numbers, login handling, faults and refused texts.
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
    return char(user.size()) + user + char(password.size()) + password;
}

// type/loginId/sequence of each frame, relative to `base` for sequences.
QStringList frameList(const QList<DeviceSimulator::Received>& frames, int base)
{
    QStringList list;
    for (const auto& f : frames)
        list << QString("%1/%2/%3").arg(f.type).arg(f.loginId, 0, 16).arg(int(f.sequence) - base);
    return list;
}

} // namespace

class TestDiveVodNetClient : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void sequenceStartsAtOneAndWraps();
    void loginUser_data();
    void loginUser();
    void wrongPasswordKeepsLogin();
    void operations();
    void relogin_data();
    void relogin();
    void faults_data();
    void faults();
    void shortFrameFailsTypedOperationsOnly();
    void refusedTextsSendNothing();
    void closedChannelFails();
    void localAddresses();
    void scriptedRelogin_data();
    void scriptedRelogin();

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

void TestDiveVodNetClient::sequenceStartsAtOneAndWraps()
{
    QVERIFY(login()); // sequence 1
    quint32 mode = 77;
    QCOMPARE(client->GetWorkMode(mode), 0);
    QCOMPARE(frameList(sim->received(), 0), QStringList({ "2/0/1", QString("3/%1/2").arg(sim->loginId(), 0, 16) }));
    // Every operation takes a number, even one that cannot send: run the counter up quickly on a
    // closed channel, then watch the wrap on the wire.
    client->CloseChannel();
    for (int i = 0; i < 65532; ++i)
        QCOMPARE(client->GetWorkMode(mode), -1); // sequences 3 .. 65534
    QCOMPARE(client->OpenChannel(QStringLiteral("127.0.0.1"), sim->port()), 0);
    sim->clearReceived();
    for (int i = 0; i < 3; ++i)
        QCOMPARE(client->GetWorkMode(mode), 0);
    const auto frames = sim->received();
    QCOMPARE(frames.size(), 3);
    QCOMPARE(frames.at(0).sequence, quint16(65535));
    QCOMPARE(frames.at(1).sequence, quint16(0));
    QCOMPARE(frames.at(2).sequence, quint16(1));
}

void TestDiveVodNetClient::loginUser_data()
{
    QTest::addColumn<int>("userType");
    QTest::addColumn<QByteArray>("user");
    QTest::newRow("0 is admin") << 0 << QByteArray("admin");
    QTest::newRow("1 is guest") << 1 << QByteArray("guest");
    QTest::newRow("-1 is guest") << -1 << QByteArray("guest");
}

void TestDiveVodNetClient::loginUser()
{
    QFETCH(int, userType);
    QFETCH(QByteArray, user);
    client->SetLoginInfo(userType, QStringLiteral("pw"));
    // "pw" is neither user's password: the device refuses, and the frame shows the name.
    QTest::ignoreMessage(QtDebugMsg, "Authentication=========AuthenticationFailed\n");
    QCOMPARE(client->Authenticate(), 12);
    QCOMPARE(TestFrames::payload(sim->received().first().frame), authPayload(user, "pw"));
    const QByteArray password = user == "admin" ? "123456" : "111111";
    QVERIFY(login(userType, password));
    const quint32 granted = sim->loginId();
    QVERIFY(granted != 0);
    QCOMPARE(TestFrames::payload(sim->received().last().frame), authPayload(user, password));
    quint8 state = 9;
    QCOMPARE(client->GetPhaseAlignState(state), 0);
    QCOMPARE(sim->received().last().loginId, granted);
}

void TestDiveVodNetClient::wrongPasswordKeepsLogin()
{
    QVERIFY(login());
    const quint32 granted = sim->loginId();
    client->SetLoginInfo(0, QStringLiteral("wrong"));
    QTest::ignoreMessage(QtDebugMsg, "Authentication=========AuthenticationFailed\n");
    QCOMPARE(client->Authenticate(), 12);
    // The device kept the old login and so did the client: the next request still works.
    quint32 mode = 0;
    QCOMPARE(client->GetWorkMode(mode), 0);
    QCOMPARE(sim->received().last().loginId, granted);
}

void TestDiveVodNetClient::operations()
{
    QVERIFY(login());
    sim->modify([](SimDeviceState& s) {
        s.ps1Led = true;
        s.ps2Led = false;
        s.upgrade = false;
        s.localLed = 2;
        s.remoteLed = 1;
        s.panelType = 1;
        s.gpioGreenMask = 0x21;
        s.gpioRedMask = 0x12;
        s.keyMask = 0x3F;
        s.ipReset = true;
        s.remCtrl = true;
        s.phaseAlign = 2;
        s.productExtra = QByteArray::fromHex("0102030405060708");
        // A private address, only read here: nothing is ever sent to it.
        s.address = 0xC0A80164;
        s.subnetMask = 0xFFFFFF00;
        s.gateway = 0xC0A80101;
        s.isDefault = true;
    });
    quint32 mode = 77;
    QCOMPARE(client->GetWorkMode(mode), 0);
    QCOMPARE(mode, 1u);
    sim->setUpdateMode(true);
    QCOMPARE(client->GetWorkMode(mode), 0);
    QCOMPARE(mode, 0u);

    // The GPIO answer fills the device's part of the record and leaves the rest alone.
    AcoGpioInfo info;
    info.keyLock = info.autoMode = true;
    info.phaseAlign = 2;
    info.remoteKeyMask = 8;
    QCOMPARE(client->GetAcoGpioInfo(info), 0);
    AcoGpioInfo expected;
    expected.ps1Led = expected.ipReset = expected.remCtrl = expected.keyLock = expected.autoMode = true;
    expected.localLed = 2, expected.remoteLed = 1, expected.panelType = 1, expected.phaseAlign = 2;
    expected.gpioGreenMask = 0x21, expected.gpioRedMask = 0x12, expected.keyMask = 0x3F, expected.remoteKeyMask = 8;
    QVERIFY(info == expected);

    quint8 keyLock = 9, autoMode = 9, state = 0;
    quint32 panelType = 9;
    QCOMPARE(client->GetShortPressKeyState(keyLock, autoMode, panelType), 0);
    QCOMPARE(QString("%1 %2 %3").arg(keyLock).arg(autoMode).arg(panelType), QStringLiteral("0 1 1"));
    QCOMPARE(client->SetShortPressKeyState(5, 0, 2), 0);
    QCOMPARE(TestFrames::payload(sim->received().last().frame), hex("010002"));
    QCOMPARE(client->GetShortPressKeyState(keyLock, autoMode, panelType), 0);
    QCOMPARE(QString("%1 %2 %3").arg(keyLock).arg(autoMode).arg(panelType), QStringLiteral("1 0 2"));
    QCOMPARE(client->GetPhaseAlignState(state), 0);
    QCOMPARE(int(state), 2);

    QCOMPARE(client->SetABKeyState(1u << 4), 0);
    QCOMPARE(TestFrames::payload(sim->received().last().frame), hex("10"));
    QCOMPARE(int(sim->state().keyMask), 0x2F);
    // The device refuses a value that names no key: -1 and a debug line.
    QTest::ignoreMessage(QtDebugMsg, "=========Failed\n");
    QCOMPARE(client->SetABKeyState(256), -1);

    QString pcb, firmware;
    sim->modify([](SimDeviceState& s) { s.pcbVersion = 0xFFFFFFFF, s.firmwareVersion = 0x0102001E; });
    QCOMPARE(client->GetVersion(pcb, firmware), 0);
    QCOMPARE(pcb + " " + firmware, QStringLiteral("1.4294967295 1.2.30"));

    quint32 code = 0;
    quint8 serial[8] = {}, further[8] = {};
    QCOMPARE(client->GetProductInfo(code, serial, further), 0);
    QCOMPARE(code, 50003u);
    QCOMPARE(GetProductSNText(serial), QStringLiteral("QX00001234-00000042"));
    QCOMPARE(QByteArray(reinterpret_cast<const char*>(further), 8), hex("0102030405060708"));

    QString address, mask, gateway;
    bool isDefault = false;
    QCOMPARE(client->GetNetParam(address, mask, gateway, isDefault), 0);
    QCOMPARE(QStringList({ address, mask, gateway }), QStringList({ "192.168.1.100", "255.255.255.0", "192.168.1.1" }));
    QCOMPARE(isDefault, true);
    QCOMPARE(client->SetNetParam("127.0.0.5", "255.0.0.0", "127.0.0.254"), 0);
    QCOMPARE(TestFrames::payload(sim->received().last().frame), hex("7f000005 ff000000 7f0000fe"));
    QCOMPARE(client->GetNetParam(address, mask, gateway, isDefault), 0);
    QCOMPARE(QStringList({ address, mask, gateway }), QStringList({ "127.0.0.5", "255.0.0.0", "127.0.0.254" }));
    QCOMPARE(isDefault, false);

    QString password;
    QCOMPARE(client->SetRemoteDevice("127.0.0.20", "abc123"), 0);
    QCOMPARE(TestFrames::payload(sim->received().last().frame), hex("7f000014 06 616263313233"));
    QCOMPARE(client->GetRemoteDevice(address, password), 0);
    QCOMPARE(address + " " + password, QStringLiteral("127.0.0.20 abc123"));

    const QString addresses[3] = { "127.0.0.31", "127.0.0.32", "127.0.0.33" };
    const QString passwords[3] = { "a", QString(), "zzzzzz" };
    QCOMPARE(client->SetSlaveDevice(addresses, passwords), 0);
    QCOMPARE(TestFrames::payload(sim->received().last().frame),
             hex("7f00001f 01 61  7f000020 00  7f000021 06 7a7a7a7a7a7a"));
    QString gotAddresses[3], gotPasswords[3];
    QCOMPARE(client->GetSlaveDevice(gotAddresses, gotPasswords), 0);
    for (int i = 0; i < 3; ++i)
        QCOMPARE(gotAddresses[i] + "/" + gotPasswords[i], addresses[i] + "/" + passwords[i]);

    QCOMPARE(client->ModifyPassword("guest", "222222"), 0);
    QCOMPARE(TestFrames::payload(sim->received().last().frame), authPayload("guest", "222222"));
    QVERIFY(login(1, QStringLiteral("222222")));
}

void TestDiveVodNetClient::relogin_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("message");
    QTest::newRow("13: login forgotten") << 13 << "GetVersionTTTTTTTTT:13\n";
    QTest::newRow("12: login refused") << 12 << "GetVersionTTTTTTTTT:12\n";
}

void TestDiveVodNetClient::relogin()
{
    QFETCH(int, code);
    QFETCH(QString, message);
    QVERIFY(login());
    const quint32 first = sim->loginId();
    if (code == 13)
        sim->forgetLogin();
    else
        sim->setFault(DeviceSimulator::Fault::ErrorCode, 1, quint32(code));
    sim->clearReceived();
    QTest::ignoreMessage(QtDebugMsg, qPrintable(message));
    QString pcb, firmware;
    QCOMPARE(client->GetVersion(pcb, firmware), 0);
    QCOMPARE(firmware, QStringLiteral("1.1.46"));
    const quint32 second = sim->loginId();
    QVERIFY(second != 0 && second != first);
    // The request, a login as the same user with the next sequence, then the request repeated
    // with its own sequence and the new login id.
    const auto frames = sim->received();
    QCOMPARE(frameList(frames, frames.first().sequence),
             QStringList({ QString("23/%1/0").arg(first, 0, 16), "2/0/1", QString("23/%1/0").arg(second, 0, 16) }));
    QCOMPARE(TestFrames::payload(frames.at(1).frame), authPayload("admin", "123456"));
    QCOMPARE(client->GetVersion(pcb, firmware), 0);
    QCOMPARE(sim->received().last().loginId, second);
}

void TestDiveVodNetClient::faults_data()
{
    QTest::addColumn<int>("fault");
    QTest::addColumn<quint32>("code");
    QTest::addColumn<int>("result");
    QTest::addColumn<quint32>("mode");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("sends");
    using F = DeviceSimulator::Fault;
    // clang-format off
    QTest::newRow("error 1")          << int(F::ErrorCode)     << 1u  << -1 << 77u << "GetWorkMode=========Failed\n"         << 1;
    QTest::newRow("error 99")         << int(F::ErrorCode)     << 99u << -1 << 77u << "GetWorkMode=========\n"               << 1;
    QTest::newRow("error 9")          << int(F::ErrorCode)     << 9u  << -1 << 77u << "GetWorkMode=========MsgFormatWrong\n" << 1;
    QTest::newRow("wrong sequence")   << int(F::WrongSequence) << 0u  << 0  << 1u  << "Id not eauque 3,3"                    << 2;
    QTest::newRow("wrong checksum")   << int(F::WrongChecksum) << 0u  << -1 << 77u << ""                                     << 1;
    QTest::newRow("from another host")<< int(F::FromOtherHost) << 0u  << 0  << 1u  << ""                                     << 1;
    // clang-format on
}

void TestDiveVodNetClient::faults()
{
    QFETCH(int, fault);
    QFETCH(quint32, code);
    QFETCH(int, result);
    QFETCH(quint32, mode);
    QFETCH(QString, message);
    QFETCH(int, sends);
    QVERIFY(login());
    if (fault == int(DeviceSimulator::Fault::FromOtherHost) && sim->otherHostAddress().isEmpty())
        QSKIP("the simulator has no second loopback socket here");
    sim->clearReceived();
    sim->setFault(DeviceSimulator::Fault(fault), 1, code);
    if (!message.isEmpty())
        QTest::ignoreMessage(QtDebugMsg, qPrintable(message));
    quint32 got = 77;
    QCOMPARE(client->GetWorkMode(got), result);
    QCOMPARE(got, mode);
    QTest::qWait(50);
    QCOMPARE(sim->received().size(), sends); // only an answer to another request is asked again
    QCOMPARE(client->GetWorkMode(got), 0); // and the client goes on working (on a new socket if need be)
    // Authenticate hands the device's own code back.
    if (code == 9) {
        sim->setFault(DeviceSimulator::Fault::ErrorCode, 1, 9);
        QTest::ignoreMessage(QtDebugMsg, "Authentication=========MsgFormatWrong\n");
        QCOMPARE(client->Authenticate(), 9);
        // ... and stays a refusal, never -1 ("no answer"), when the code does not fit an int.
        QTest::ignoreMessage(QtDebugMsg, "Authentication=========\n");
        sim->setFault(DeviceSimulator::Fault::ErrorCode, 1, 0xFFFFFFFFu);
        QCOMPARE(client->Authenticate(), std::numeric_limits<int>::max());
    }
}

void TestDiveVodNetClient::shortFrameFailsTypedOperationsOnly()
{
    // Every answer: 11 bytes that pass every check and carry the request's sequence.
    ScriptedPeer peer;
    QVERIFY(peer.start("127.0.0.1"));
    peer.setScript([](int, const QByteArray& request) {
        return ScriptedPeer::reply(TestFrames::shortFrame(TestFrames::sequence(request)));
    });
    QCOMPARE(client->OpenChannel(QStringLiteral("127.0.0.1"), peer.port()), 0);
    quint32 mode = 77;
    QCOMPARE(client->GetWorkMode(mode), -1);
    QCOMPARE(mode, 77u);
    QCOMPARE(client->SetABKeyState(1), 0);
    client->SetLoginInfo(0, QStringLiteral("123456"));
    QCOMPARE(client->Authenticate(), -1);
    QTest::qWait(50);
    QCOMPARE(peer.receivedCount(), 3); // each asked once
}

void TestDiveVodNetClient::refusedTextsSendNothing()
{
    QVERIFY(login());
    sim->clearReceived();
    const QString tooLong(256, QLatin1Char('p'));
    // 128 two-byte characters: 256 bytes on the wire, so refused as well.
    QCOMPARE(client->SetRemoteDevice("127.0.0.20", QString(128, QChar(0x00E9))), -1);
    const QString addresses[3] = { "127.0.0.31", "127.0.0.32", "127.0.0.33" };
    const QString passwords[3] = { QString(), QString(), tooLong };
    QCOMPARE(client->SetSlaveDevice(addresses, passwords), -1);
    QCOMPARE(client->ModifyPassword("admin", tooLong), -1);
    QCOMPARE(client->ModifyPassword(tooLong, "123456"), -1);
    client->SetLoginInfo(0, tooLong);
    QCOMPARE(client->Authenticate(), -1);
    QTest::qWait(50);
    QCOMPARE(sim->received().size(), 0);
    // 255 bytes is the longest text that travels.
    QCOMPARE(client->ModifyPassword("guest", QString(255, QLatin1Char('g'))), 0);
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
    QCOMPARE(client->Authenticate(), -1);
    QVERIFY(timer.elapsed() < 500);
    QTest::qWait(50);
    QCOMPARE(sim->received().size(), 0);
}

void TestDiveVodNetClient::localAddresses()
{
    // Resolving the host name must not go to a name server from a test: only where it is in /etc/hosts.
    QFile hosts(QStringLiteral("/etc/hosts"));
    if (!hosts.open(QIODevice::ReadOnly) || !QString::fromLatin1(hosts.readAll()).contains(QHostInfo::localHostName()))
        QSKIP("host name not in /etc/hosts");
    const QStringList addresses = client->GetLocalAddresses();
    QVERIFY(!addresses.isEmpty());
    for (const QString& address : addresses)
        QVERIFY(QHostAddress(address).protocol() == QAbstractSocket::IPv4Protocol);
}

void TestDiveVodNetClient::scriptedRelogin_data()
{
    QTest::addColumn<QByteArray>("loginAnswer"); // answer to the re-login, `seq` bytes filled in past 11 bytes
    QTest::addColumn<quint32>("repeatCode"); // error code of the answer to the repeat
    QTest::addColumn<int>("result");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<QStringList>("frames");
    // clang-format off
    QTest::newRow("repeat answered with error 1")
        << TestFrames::response(2, 0, 0, hex("00000055")) << 1u << -1
        << QStringList({ "TTTTTTTTT:13\n", "63TTTTTTTTT111111:1\n" })
        << QStringList({ "2/0/1", "63/11/2", "2/0/3", "63/55/2" });
    QTest::newRow("re-login refused: no repeat")
        << TestFrames::response(2, 12, 0) << 0u << -1
        << QStringList({ "TTTTTTTTT:13\n" })
        << QStringList({ "2/0/1", "63/11/2", "2/0/3" });
    QTest::newRow("re-login answered with a short frame")
        << TestFrames::shortFrame(3) << 0u << -1
        << QStringList({ "TTTTTTTTT:13\n" })
        << QStringList({ "2/0/1", "63/11/2", "2/0/3" });
    // clang-format on
}

void TestDiveVodNetClient::scriptedRelogin()
{
    QFETCH(QByteArray, loginAnswer);
    QFETCH(quint32, repeatCode);
    QFETCH(int, result);
    QFETCH(QStringList, messages);
    QFETCH(QStringList, frames);
    ScriptedPeer peer;
    QVERIFY(peer.start("127.0.0.1"));
    peer.setScript([=](int index, const QByteArray& request) {
        const quint16 seq = TestFrames::sequence(request);
        QByteArray answer = loginAnswer;
        if (answer.size() > 11) {
            answer[9] = char(seq >> 8), answer[10] = char(seq & 0xFF);
            answer = TestFrames::withChecksum(answer.left(answer.size() - 1));
        }
        switch (index) {
        case 0:
            return ScriptedPeer::reply(TestFrames::response(2, 0, seq, hex("00000011")));
        case 1:
            return ScriptedPeer::reply(TestFrames::response(63, 13, seq));
        case 2:
            return ScriptedPeer::reply(answer);
        default:
            return ScriptedPeer::reply(TestFrames::response(63, repeatCode, seq));
        }
    });
    QCOMPARE(client->OpenChannel(QStringLiteral("127.0.0.1"), peer.port()), 0);
    client->SetLoginInfo(0, QStringLiteral("secret"));
    QCOMPARE(client->Authenticate(), 0);
    for (const QString& message : messages)
        QTest::ignoreMessage(QtDebugMsg, qPrintable(message));
    AcoGpioInfo info;
    QCOMPARE(client->GetAcoGpioInfo(info), result);
    QVERIFY(info == AcoGpioInfo());
    QTest::qWait(50);
    QStringList sent;
    for (const auto& d : peer.received())
        sent << QString("%1/%2/%3").arg(TestFrames::type(d.data)).arg(TestFrames::loginId(d.data), 0, 16).arg(TestFrames::sequence(d.data));
    QCOMPARE(sent, frames);
    QCOMPARE(TestFrames::payload(peer.received().at(2).data), authPayload("admin", "secret"));
}

QTEST_GUILESS_MAIN(TestDiveVodNetClient)
#include "tst_DiveVodNetClient.moc"
