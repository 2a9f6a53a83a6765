// The simulated device's answers, checked byte by byte over a real loopback socket.
#include "DeviceSimulator.h"
#include "RawUdpClient.h"

#include <QElapsedTimer>
#include <QSet>
#include <QtTest>

#include <atomic>
#include <memory>
#include <thread>

namespace {

const QString Loopback = QStringLiteral("127.0.0.1");

// "admin" / "123456" and "guest" / "111111" as authentication payloads.
const QByteArray AdminLogin = QByteArray::fromHex("0561646D696E06313233343536");
const QByteArray GuestLogin = QByteArray::fromHex("05677565737406313131313131");

// Frame readers and builders shared by the simulator tests.
constexpr auto u32At = &RawUdpClient::u32At;
constexpr auto errorOf = &RawUdpClient::errorOf;
constexpr auto payloadOf = &RawUdpClient::payloadOf;
constexpr auto authPayload = &RawUdpClient::authPayload;

} // namespace

class tst_SimDevice : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<DeviceSimulator> sim;
    std::unique_ptr<RawUdpClient> client;
    quint16 seq = 100;

    QByteArray ask(const QByteArray& frame, bool* answered = nullptr, int timeoutMs = 1000)
    {
        return client->ask(frame, Loopback, sim->port(), answered, timeoutMs);
    }

    // A request with the next sequence number and the given login id; returns the answer.
    QByteArray call(quint16 type, quint32 loginId, const QByteArray& payload = {})
    {
        return ask(RawUdpClient::request(type, loginId, ++seq, payload));
    }

    quint32 login(const QByteArray& payload = AdminLogin)
    {
        const QByteArray answer = call(2, 0, payload);
        if (answer.size() != 16 || errorOf(answer) != 0)
            return 0;
        return u32At(answer, 11);
    }

private slots:
    void init()
    {
        sim.reset(new DeviceSimulator);
        QVERIFY(sim->start(Loopback, 0));
        QVERIFY(sim->port() != 0);
        client.reset(new RawUdpClient(Loopback));
        QVERIFY(client->isValid());
    }

    void cleanup()
    {
        client.reset();
        sim.reset();
    }

    void helloNeedsNoLogin()
    {
        bool answered = false;
        const QByteArray answer = ask(QByteArray::fromHex("000A010001000000000001F2"), &answered);
        QVERIFY(answered);
        QCOMPARE(answer.toHex().toUpper(), QByteArray("000A010001000000000001F2"));
    }

    void authenticationSucceeds_data()
    {
        QTest::addColumn<QByteArray>("payload");
        QTest::addColumn<QString>("user");
        QTest::newRow("admin") << AdminLogin << "admin";
        QTest::newRow("guest") << GuestLogin << "guest";
    }

    void authenticationSucceeds()
    {
        QFETCH(QByteArray, payload);
        const QByteArray answer = ask(RawUdpClient::request(2, 0, 0x1234, payload));
        QCOMPARE(answer.size(), 16);
        QCOMPARE(answer.left(11).toHex().toUpper(), QByteArray("000E010002000000001234"));
        QCOMPARE(RawUdpClient::byteSum(answer), quint8(0xFF));
        const quint32 id = u32At(answer, 11);
        QVERIFY(id != 0);
        QCOMPARE(sim->loginId(), id);

        // Every login gets a fresh id, and the old one is stale from then on.
        const quint32 second = login(payload);
        QVERIFY(second != 0);
        QVERIFY(second != id);
        QCOMPARE(errorOf(call(71, id)), 13u);
        QCOMPARE(errorOf(call(71, second)), 0u);
    }

    void authenticationFails_data()
    {
        QTest::addColumn<QByteArray>("payload");
        // clang-format off
        QTest::newRow("wrong admin password") << authPayload("admin", "654321");
        QTest::newRow("guest password for admin") << authPayload("admin", "111111");
        QTest::newRow("empty password") << authPayload("admin", "");
        QTest::newRow("unknown user") << authPayload("root", "123456");
        QTest::newRow("user name case") << authPayload("Admin", "123456");
        QTest::newRow("password prefix") << authPayload("admin", "12345");
        // clang-format on
    }

    void authenticationFails()
    {
        QFETCH(QByteArray, payload);
        const quint32 id = login();
        QVERIFY(id != 0);
        const QByteArray answer = ask(RawUdpClient::request(2, 0, 7, payload));
        QCOMPARE(answer.toHex().toUpper(), QByteArray("000A0100020000000C0007DF"));
        // A refused login leaves the current one alone.
        QCOMPARE(sim->loginId(), id);
        QCOMPARE(errorOf(call(71, id)), 0u);
    }

    void staleLoginAfterForget()
    {
        const quint32 id = login();
        QVERIFY(id != 0);
        QCOMPARE(ask(RawUdpClient::request(71, id, 5)).toHex().toUpper(), QByteArray("000B01004700000000000501A6"));

        sim->forgetLogin();
        QCOMPARE(sim->loginId(), 0u);
        QCOMPARE(ask(RawUdpClient::request(71, id, 6)).toHex().toUpper(), QByteArray("000A0100470000000D00069A"));
        // Hello and Authentication still work; the new id is accepted, the old one stays stale.
        QCOMPARE(errorOf(call(1, 0)), 0u);
        const quint32 renewed = login();
        QVERIFY(renewed != 0);
        QVERIFY(renewed != id);
        QCOMPARE(errorOf(call(63, renewed)), 0u);
        QCOMPARE(errorOf(call(63, id)), 13u);
    }

    void requestsNeedTheCurrentLogin_data()
    {
        QTest::addColumn<int>("type");
        for (int type : { 3, 5, 23, 26, 62, 63, 65, 70, 71 })
            QTest::addRow("type %d", type) << type;
    }

    void requestsNeedTheCurrentLogin()
    {
        QFETCH(int, type);
        QCOMPARE(errorOf(call(quint16(type), 0)), 13u); // before any login
        const quint32 id = login();
        QCOMPARE(errorOf(call(quint16(type), 0)), 13u);
        QCOMPARE(errorOf(call(quint16(type), id + 1)), 13u);
        QCOMPARE(errorOf(call(quint16(type), id)), 0u);
    }

    void unsupportedTypes_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QByteArray>("answer");
        // clang-format off
        QTest::newRow("type 0") << 0 << QByteArray("000A0100000000000B0020C9");
        QTest::newRow("type 4 SetProductInfo") << 4 << QByteArray("000A0100040000000B0020C5");
        QTest::newRow("type 10 GetMacAddress") << 10 << QByteArray("000A01000A0000000B0020BF");
        QTest::newRow("type 60") << 60 << QByteArray("000A01003C0000000B00208D");
        QTest::newRow("type 73") << 73 << QByteArray("000A0100490000000B002080");
        QTest::newRow("type 65535") << 65535 << QByteArray("000A01FFFF0000000B0020CB");
        // clang-format on
    }

    void unsupportedTypes()
    {
        QFETCH(int, type);
        QFETCH(QByteArray, answer);
        // Unknown types get 11 with or without a login.
        QCOMPARE(ask(RawUdpClient::request(quint16(type), 0, 0x20)).toHex().toUpper(), answer);
        const quint32 id = login();
        QCOMPARE(ask(RawUdpClient::request(quint16(type), id, 0x20)).toHex().toUpper(), answer);
    }

    void defaultPayloads_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("sequence");
        QTest::addColumn<QByteArray>("answer");
        // clang-format off
        QTest::newRow("Hello") << 1 << 1 << QByteArray("000A010001000000000001F2");
        QTest::newRow("GetWorkMode") << 3 << 2 << QByteArray("000C0100030000000000020100EC");
        QTest::newRow("GetProductInfo") << 5 << 3
            << QByteArray("001E0100050000000000030000C3535158000004D2002A000000000000000019");
        QTest::newRow("GetVersion") << 23 << 4 << QByteArray("001601001700000000000400000003000000000101002E9A");
        QTest::newRow("GetPhaseAlignState") << 71 << 5 << QByteArray("000B01004700000000000501A6");
        QTest::newRow("GetNetParam") << 26 << 6 << QByteArray("001701001A0000000000067F000001FF0000007F0000FE00CB");
        QTest::newRow("GetShortPressKeyState") << 62 << 7 << QByteArray("000D01003E000000000007000100AB");
        QTest::newRow("GetACOGPIOInfo") << 63 << 8 << QByteArray("001501003F00000000000801010001000900090000008D");
        QTest::newRow("GetRemoteDevice") << 65 << 9 << QByteArray("000F0100410000000000090000000000A5");
        QTest::newRow("GetSlaveDevice") << 70 << 10
            << QByteArray("001901004600000000000A00000000000000000000000000000095");
        QTest::newRow("sequence 65535") << 63 << 65535
            << QByteArray("001501003F00000000FFFF010100010009000900000097");
        // clang-format on
    }

    void defaultPayloads()
    {
        QFETCH(int, type);
        QFETCH(int, sequence);
        QFETCH(QByteArray, answer);
        const quint32 id = type == 1 ? 0 : login();
        QCOMPARE(ask(RawUdpClient::request(quint16(type), id, quint16(sequence))).toHex().toUpper(), answer);
    }

    void malformedFrames_data()
    {
        QTest::addColumn<QByteArray>("request"); // login id 11223344 where a login is needed
        QTest::addColumn<quint32>("error");
        // clang-format off
        QTest::newRow("length field one too big") << QByteArray("000B010001000000000009E9") << 9u;
        QTest::newRow("length field one too small") << QByteArray("000901000100000000000AEA") << 9u;
        QTest::newRow("version 2") << QByteArray("000A02000100000000000BE7") << 10u;
        QTest::newRow("Hello with payload") << QByteArray("000B01000100000000000C00E6") << 9u;
        QTest::newRow("authentication cut short")
            << QByteArray("000E01000200000000000D0561646DAA") << 9u;
        QTest::newRow("authentication trailing byte")
            << QByteArray("001801000200000000000E0561646D696E06313233343536008D") << 9u;
        // clang-format on
    }

    void malformedFrames()
    {
        QFETCH(QByteArray, request);
        QFETCH(quint32, error);
        const QByteArray frame = QByteArray::fromHex(request);
        QCOMPARE(RawUdpClient::byteSum(frame), quint8(0xFF)); // the table itself must pass the checksum
        const QByteArray answer = ask(frame);
        QCOMPARE(answer.size(), 12);
        QCOMPARE(RawUdpClient::byteSum(answer), quint8(0xFF));
        QCOMPARE(errorOf(answer), error);
        QCOMPARE(answer.mid(3, 2), frame.mid(3, 2)); // type echoed
        QCOMPARE(answer.mid(9, 2), frame.mid(9, 2)); // sequence echoed
    }

    void malformedPayloads_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QByteArray>("payload");
        // clang-format off
        QTest::newRow("GetWorkMode with payload") << 3 << QByteArray("00");
        QTest::newRow("GetACOGPIOInfo with payload") << 63 << QByteArray("0102");
        QTest::newRow("SetNetParam 11 bytes") << 25 << QByteArray("C0A80164FFFFFF00C0A801");
        QTest::newRow("SetNetParam 13 bytes") << 25 << QByteArray("C0A80164FFFFFF00C0A8010100");
        QTest::newRow("SetShortPressKeyState 2 bytes") << 61 << QByteArray("0100");
        QTest::newRow("SetABKeyState 2 bytes") << 72 << QByteArray("0100");
        QTest::newRow("SetABKeyState empty") << 72 << QByteArray("");
        QTest::newRow("SetRemoteDevice password cut") << 64 << QByteArray("7F0000020661626364");
        QTest::newRow("SetSlaveDevice two entries") << 69 << QByteArray("7F000002007F00000300");
        QTest::newRow("ModifyPassword no password") << 27 << QByteArray("0561646D696E");
        // clang-format on
    }

    void malformedPayloads()
    {
        QFETCH(int, type);
        QFETCH(QByteArray, payload);
        const quint32 id = login();
        const SimDeviceState before = sim->state();
        const QByteArray answer = call(quint16(type), id, QByteArray::fromHex(payload));
        QCOMPARE(errorOf(answer), 9u);
        QCOMPARE(answer.size(), 12);
        // Nothing of a malformed request is applied.
        const SimDeviceState after = sim->state();
        QCOMPARE(after.address, before.address);
        QCOMPARE(after.keyLock, before.keyLock);
        QCOMPARE(after.keyMask, before.keyMask);
        QCOMPARE(after.remoteAddress, before.remoteAddress);
        QCOMPARE(after.slaveAddress[0], before.slaveAddress[0]);
        QCOMPARE(after.adminPassword, before.adminPassword);
    }

    void badChecksumIsDropped()
    {
        const QByteArray bad = QByteArray::fromHex("000A010001000000000001F3");
        bool answered = true;
        ask(bad, &answered, 300);
        QVERIFY(!answered);
        const QList<DeviceSimulator::Received> log = sim->received();
        QCOMPARE(log.size(), 1);
        QCOMPARE(log[0].frame, bad);
        QVERIFY(!log[0].intact);
        QCOMPARE(log[0].type, 1);
    }

    void tooShortIsDropped_data()
    {
        QTest::addColumn<QByteArray>("datagram");
        // clang-format off
        QTest::newRow("one byte FF") << QByteArray("FF");
        QTest::newRow("11-byte frame") << QByteArray("00090100010000000000F4");
        // clang-format on
    }

    void tooShortIsDropped()
    {
        QFETCH(QByteArray, datagram);
        const QByteArray bytes = QByteArray::fromHex(datagram);
        QCOMPARE(RawUdpClient::byteSum(bytes), quint8(0xFF));
        bool answered = true;
        ask(bytes, &answered, 300);
        QVERIFY(!answered);
        QCOMPARE(sim->received().size(), 1);
        QVERIFY(sim->received().at(0).intact);
    }

    void oversizedRequestIsDropped()
    {
        QByteArray big = RawUdpClient::request(1, 0, 1, QByteArray(1029, '\0')); // 1041 bytes
        QCOMPARE(big.size(), 1041);
        bool answered = true;
        ask(big, &answered, 300);
        QVERIFY(!answered);
        QVERIFY(!sim->received().at(0).intact);

        const QByteArray largest = RawUdpClient::request(1, 0, 2, QByteArray(1028, '\0')); // 1040 bytes
        const QByteArray answer = ask(largest, &answered);
        QVERIFY(answered);
        QCOMPARE(errorOf(answer), 9u); // a Hello has no payload, but the frame itself was taken in
    }

    void setShortPressKeyState()
    {
        const quint32 id = login();
        const QByteArray answer = call(61, id, QByteArray::fromHex("010001"));
        QCOMPARE(answer.toHex().toUpper(), RawUdpClient::request(61, 0, seq).toHex().toUpper());
        SimDeviceState s = sim->state();
        QCOMPARE(s.keyLock, true);
        QCOMPARE(s.autoMode, false);
        QCOMPARE(s.panelType, quint8(1));
        QCOMPARE(payloadOf(call(62, id)).toHex(), QByteArray("010001"));
        QCOMPARE(payloadOf(call(63, id)).mid(4, 1).toHex(), QByteArray("01"));

        // Any nonzero byte sets the flags.
        QCOMPARE(errorOf(call(61, id, QByteArray::fromHex("050702"))), 0u);
        s = sim->state();
        QCOMPARE(s.keyLock, true);
        QCOMPARE(s.autoMode, true);
        QCOMPARE(s.panelType, quint8(2));
        QCOMPARE(payloadOf(call(62, id)).toHex(), QByteArray("010102"));
    }

    void setNetParamStoresAndClearsDefault()
    {
        sim->modify([](SimDeviceState& s) { s.isDefault = true; });
        const quint32 id = login();
        QCOMPARE(payloadOf(call(26, id)).toHex().toUpper(), QByteArray("7F000001FF0000007F0000FE01"));
        QCOMPARE(errorOf(call(25, id, QByteArray::fromHex("C0A80164FFFFFF00C0A80101"))), 0u);
        const SimDeviceState s = sim->state();
        QCOMPARE(s.address, 0xC0A80164u);
        QCOMPARE(s.subnetMask, 0xFFFFFF00u);
        QCOMPARE(s.gateway, 0xC0A80101u);
        QCOMPARE(s.isDefault, false);
        // Still answering where it was bound.
        QCOMPARE(payloadOf(call(26, id)).toHex().toUpper(), QByteArray("C0A80164FFFFFF00C0A8010100"));
    }

    void setRemoteDevice()
    {
        const quint32 id = login();
        QCOMPARE(errorOf(call(64, id, QByteArray::fromHex("7F0000020661626364656A"))), 0u);
        QCOMPARE(sim->state().remoteAddress, QStringLiteral("127.0.0.2"));
        QCOMPARE(sim->state().remotePassword, QStringLiteral("abcdej"));
        QCOMPARE(payloadOf(call(65, id)).toHex().toUpper(), QByteArray("7F0000020661626364656A"));

        QCOMPARE(errorOf(call(64, id, QByteArray::fromHex("C0A8011400"))), 0u);
        QCOMPARE(sim->state().remoteAddress, QStringLiteral("192.168.1.20"));
        QCOMPARE(sim->state().remotePassword, QString());
        QCOMPARE(payloadOf(call(65, id)).toHex().toUpper(), QByteArray("C0A8011400"));
    }

    void setSlaveDevice()
    {
        const quint32 id = login();
        const QByteArray payload = QByteArray::fromHex("7F00000303313233"
                                                       "00000000"
                                                       "00"
                                                       "7F0000050531323334FF");
        QCOMPARE(errorOf(call(69, id, payload.left(payload.size() - 1) + QByteArray::fromHex("35"))), 0u);
        const SimDeviceState s = sim->state();
        QCOMPARE(s.slaveAddress[0], QStringLiteral("127.0.0.3"));
        QCOMPARE(s.slavePassword[0], QStringLiteral("123"));
        QCOMPARE(s.slaveAddress[1], QStringLiteral("0.0.0.0"));
        QCOMPARE(s.slavePassword[1], QString());
        QCOMPARE(s.slaveAddress[2], QStringLiteral("127.0.0.5"));
        QCOMPARE(s.slavePassword[2], QStringLiteral("12345"));
        QCOMPARE(payloadOf(call(70, id)).toHex().toUpper(),
                 QByteArray("7F00000303313233"
                            "0000000000"
                            "7F000005053132333435"));
    }

    void partnerTableFromState()
    {
        sim->modify([](SimDeviceState& s) {
            s.remoteAddress = QStringLiteral("192.168.1.100");
            s.remotePassword = QStringLiteral("abc");
            s.slaveAddress[1] = QStringLiteral("not an address");
            s.slavePassword[1] = QStringLiteral("x");
        });
        const quint32 id = login();
        QCOMPARE(payloadOf(call(65, id)).toHex().toUpper(), QByteArray("C0A8016403616263"));
        QCOMPARE(payloadOf(call(70, id)).toHex().toUpper(),
                 QByteArray("0000000000"
                            "FFFFFFFF0178"
                            "0000000000"));
    }

    void modifyPassword_data()
    {
        QTest::addColumn<QByteArray>("user");
        QTest::newRow("admin") << QByteArray("admin");
        QTest::newRow("guest") << QByteArray("guest");
    }

    void modifyPassword()
    {
        QFETCH(QByteArray, user);
        const QByteArray old = user == "admin" ? QByteArray("123456") : QByteArray("111111");
        const quint32 id = login();
        QCOMPARE(errorOf(call(27, id, authPayload(user, "654321"))), 0u);
        QCOMPARE(user == "admin" ? sim->state().adminPassword : sim->state().guestPassword, QStringLiteral("654321"));
        QCOMPARE(errorOf(call(2, 0, authPayload(user, old))), 12u);
        QVERIFY(login(authPayload(user, "654321")) != 0);
    }

    void modifyPasswordOfUnknownUser()
    {
        const quint32 id = login();
        QCOMPARE(errorOf(call(27, id, authPayload("root", "654321"))), 1u);
        QCOMPARE(sim->state().adminPassword, QStringLiteral("123456"));
        QCOMPARE(sim->state().guestPassword, QStringLiteral("111111"));
        QCOMPARE(sim->loginId(), id); // not a reason to drop the login
    }

    void setABKeyStateTogglesTheKey()
    {
        const quint32 id = login();
        QCOMPARE(sim->state().keyMask, quint8(0x09));
        const QByteArray answer = call(72, id, QByteArray::fromHex("02"));
        QCOMPARE(answer.toHex().toUpper(), RawUdpClient::request(72, 0, seq).toHex().toUpper());
        QCOMPARE(sim->state().keyMask, quint8(0x0B));
        QCOMPARE(payloadOf(call(63, id)).mid(7, 1).toHex(), QByteArray("0b"));
        QCOMPARE(errorOf(call(72, id, QByteArray::fromHex("02"))), 0u);
        QCOMPARE(sim->state().keyMask, quint8(0x09));
        QCOMPARE(errorOf(call(72, id, QByteArray::fromHex("01"))), 0u);
        QCOMPARE(sim->state().keyMask, quint8(0x08));
        QCOMPARE(errorOf(call(72, id, QByteArray::fromHex("20"))), 0u);
        QCOMPARE(sim->state().keyMask, quint8(0x28));
    }

    void setABKeyStateRefusesNoKey_data()
    {
        QTest::addColumn<QByteArray>("key");
        QTest::newRow("no bit") << QByteArray("00");
        QTest::newRow("bit 6") << QByteArray("40");
        QTest::newRow("bit 7 with bit 0") << QByteArray("81");
    }

    void setABKeyStateRefusesNoKey()
    {
        QFETCH(QByteArray, key);
        const quint32 id = login();
        QCOMPARE(errorOf(call(72, id, QByteArray::fromHex(key))), 1u);
        QCOMPARE(sim->state().keyMask, quint8(0x09));
    }

    void stateChangesShowInAnswers()
    {
        const quint32 id = login();
        sim->modify([](SimDeviceState& s) {
            s.ps1Led = false;
            s.localLed = 2;
            s.remoteLed = 0;
            s.gpioGreenMask = 0x3F;
            s.gpioRedMask = 0x21;
            s.keyMask = 0x10;
            s.ipReset = true;
            s.upgrade = true;
            s.remCtrl = true;
            s.phaseAlign = 2;
        });
        QCOMPARE(payloadOf(call(63, id)).toHex().toUpper(),
                 QByteArray("0001020000"
                            "3F2110"
                            "010101"));
        QCOMPARE(payloadOf(call(71, id)).toHex(), QByteArray("02"));

        SimDeviceState s = sim->state();
        s.firmwareVersion = 0x0102001E; // 1.2.30
        s.pcbVersion = 7;
        s.productCode = 12345;
        s.workMode = 2;
        sim->setState(s);
        QCOMPARE(payloadOf(call(23, id)).toHex().toUpper(), QByteArray("00000007000000000102001E"));
        QCOMPARE(payloadOf(call(5, id)).left(4).toHex(), QByteArray("00003039"));
        QCOMPARE(payloadOf(call(3, id)).toHex(), QByteArray("0200"));
        QCOMPARE(sim->loginId(), id); // setState does not touch the login
    }

    void silentWhileNotAnswering()
    {
        const quint32 id = login();
        sim->setAnswering(false);
        QVERIFY(!sim->isAnswering());
        bool answered = true;
        ask(RawUdpClient::request(72, id, 50, QByteArray::fromHex("02")), &answered, 300);
        QVERIFY(!answered);
        QCOMPARE(sim->state().keyMask, quint8(0x09)); // dropped, not acted on
        QCOMPARE(sim->receivedCount(72), 1);

        sim->setAnswering(true);
        QCOMPARE(errorOf(call(71, id)), 0u);
    }

    void updateMode()
    {
        sim->modify([](SimDeviceState& s) { s.workMode = 3; });
        const quint32 id = login();
        sim->setUpdateMode(true);
        QCOMPARE(sim->state().workMode, quint8(0));
        QCOMPARE(payloadOf(call(3, id)).toHex(), QByteArray("0000"));
        sim->setUpdateMode(true); // twice on, still remembers the mode to return to
        sim->setUpdateMode(false);
        QCOMPARE(sim->state().workMode, quint8(3));
        QCOMPARE(payloadOf(call(3, id)).toHex(), QByteArray("0300"));
    }

    void receivedLogKeepsOrder()
    {
        const QByteArray hello = RawUdpClient::request(1, 0, 40);
        ask(hello);
        const quint32 id = login();
        const QByteArray gpio = RawUdpClient::request(63, id, 41);
        ask(gpio);
        const QByteArray stale = RawUdpClient::request(71, 0x11223344, 42);
        ask(stale);

        const QList<DeviceSimulator::Received> log = sim->received();
        QCOMPARE(log.size(), 4);
        QCOMPARE(log[0].frame, hello);
        QCOMPARE(log[0].type, 1);
        QCOMPARE(log[0].sequence, quint16(40));
        QCOMPARE(log[1].type, 2);
        QCOMPARE(log[1].loginId, 0u);
        QCOMPARE(log[1].sequence, seq);
        QCOMPARE(log[2].frame, gpio);
        QCOMPARE(log[2].loginId, id);
        QCOMPARE(log[3].loginId, 0x11223344u);
        QCOMPARE(log[3].sequence, quint16(42));
        for (const DeviceSimulator::Received& r : log)
            QVERIFY(r.intact);
        QCOMPARE(sim->receivedCount(63), 1);
        QCOMPARE(sim->receivedCount(5), 0);
        sim->clearReceived();
        QVERIFY(sim->received().isEmpty());
    }

    void replyDelay()
    {
        sim->setReplyDelay(300);
        QElapsedTimer timer;
        timer.start();
        bool answered = false;
        const QByteArray answer = ask(RawUdpClient::request(1, 0, 1), &answered, 2000);
        QVERIFY(answered);
        QVERIFY2(timer.elapsed() >= 280, qPrintable(QString::number(timer.elapsed())));
        QCOMPARE(errorOf(answer), 0u);
        sim->setReplyDelay(0);
        timer.restart();
        ask(RawUdpClient::request(1, 0, 2), &answered, 2000);
        QVERIFY(answered);
        QVERIFY(timer.elapsed() < 250);
    }

    void livelyChangesIndicators()
    {
        const quint32 id = login();
        const QByteArray first = payloadOf(call(63, id));
        sim->setLively(true, 10);
        QSet<int> localLeds, remoteLeds, phaseAligns;
        bool flashing = false, keyChanged = false, ps2Changed = false;
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < 5000
               && !(localLeds.size() == 3 && remoteLeds.size() == 3 && phaseAligns.size() == 3 && flashing && keyChanged
                    && ps2Changed)) {
            const SimDeviceState s = sim->state();
            localLeds.insert(s.localLed);
            remoteLeds.insert(s.remoteLed);
            phaseAligns.insert(s.phaseAlign);
            flashing = flashing || (s.gpioGreenMask & s.gpioRedMask) != 0;
            keyChanged = keyChanged || s.keyMask != 0x09;
            ps2Changed = ps2Changed || !s.ps2Led;
            QVERIFY((s.gpioGreenMask | s.gpioRedMask | s.keyMask) <= 0x3F);
            QTest::qSleep(3);
        }
        QCOMPARE(localLeds, QSet<int>({ 0, 1, 2 }));
        QCOMPARE(remoteLeds, QSet<int>({ 0, 1, 2 }));
        QCOMPARE(phaseAligns, QSet<int>({ 0, 1, 2 }));
        QVERIFY(flashing);
        QVERIFY(keyChanged);
        QVERIFY(ps2Changed);
        QVERIFY(payloadOf(call(63, id)) != first || payloadOf(call(63, id)) != first);

        sim->setLively(false);
        QTest::qSleep(30);
        const QByteArray settled = payloadOf(call(63, id));
        QTest::qSleep(100);
        QCOMPARE(payloadOf(call(63, id)), settled);
    }

    void livelyKeepsToTheFourByOnePanel()
    {
        sim->modify([](SimDeviceState& s) {
            s.panelType = 1;
            s.gpioGreenMask = 0;
            s.keyMask = 0;
        });
        sim->setLively(true, 10);
        QElapsedTimer timer;
        timer.start();
        int changes = 0;
        quint8 last = 0;
        while (timer.elapsed() < 600) {
            const SimDeviceState s = sim->state();
            QVERIFY((s.gpioGreenMask | s.gpioRedMask | s.keyMask) <= 0x1F); // IN 1 to 4 and BYPASS only
            if (s.gpioGreenMask != last)
                ++changes;
            last = s.gpioGreenMask;
            QTest::qSleep(5);
        }
        QVERIFY(changes > 3);
    }

    void answersWhileTheStateChanges()
    {
        // The test thread changes the state as fast as it can while the simulator answers.
        const quint32 id = login();
        std::atomic<bool> done { false };
        std::thread changer([&] {
            quint8 n = 0;
            while (!done) {
                sim->modify([n](SimDeviceState& s) { s.keyMask = n & 0x3F; });
                sim->setFault(DeviceSimulator::Fault::None);
                (void)sim->received();
                ++n;
            }
        });
        int answers = 0;
        for (int i = 0; i < 200; ++i) {
            const QByteArray answer = call(63, id);
            if (answer.size() == 23 && RawUdpClient::byteSum(answer) == 0xFF)
                ++answers;
        }
        done = true;
        changer.join();
        QCOMPARE(answers, 200);
    }

    void stopAndRestart()
    {
        const quint16 port = sim->port();
        sim->stop();
        QCOMPARE(sim->port(), quint16(0));
        bool answered = true;
        client->ask(RawUdpClient::request(1, 0, 1), Loopback, port, &answered, 300);
        QVERIFY(!answered);
        QVERIFY(sim->start(Loopback, port));
        QCOMPARE(sim->port(), port);
        client->ask(RawUdpClient::request(1, 0, 2), Loopback, port, &answered);
        QVERIFY(answered);
        QVERIFY(!sim->start(Loopback, 0)); // already running
    }

    void refusesNonLoopback_data()
    {
        QTest::addColumn<QString>("address");
        QTest::newRow("device address") << "192.168.1.100";
        QTest::newRow("any") << "0.0.0.0";
        QTest::newRow("not an address") << "localhost";
        QTest::newRow("short") << "127.1";
    }

    void refusesNonLoopback()
    {
        QFETCH(QString, address);
        DeviceSimulator other;
        QVERIFY(!other.start(address, 0));
        QVERIFY(!other.addPartner(address, 0));
        QVERIFY(!DeviceSimulator::isLoopbackAddress(address));
        QVERIFY(DeviceSimulator::isLoopbackAddress(QStringLiteral("127.0.9.1")));
    }
};

QTEST_GUILESS_MAIN(tst_SimDevice)
#include "tst_SimDevice.moc"
