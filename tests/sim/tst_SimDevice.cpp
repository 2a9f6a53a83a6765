// The simulated device's answers, checked byte by byte over a real loopback socket.
#include "SimDevice.h"
#include "SimLink.h"

#include <QSet>
#include <QtTest>

#include <atomic>
#include <memory>
#include <thread>

namespace {

const QString DeviceAddress = QStringLiteral("127.0.231.11");

constexpr auto errorOf = &RawUdpClient::errorOf;
constexpr auto payloadOf = &RawUdpClient::payloadOf;
constexpr auto authPayload = &RawUdpClient::authPayload;

// What the configuration commands write, as one comparable text per group.
QString configText(const SimDeviceState& s, const QString& group)
{
    if (group == QLatin1String("keys"))
        return QStringLiteral("%1/%2/%3").arg(s.keyLock).arg(s.autoMode).arg(s.panelType);
    if (group == QLatin1String("remote"))
        return s.remoteAddress + QLatin1Char('/') + s.remotePassword;
    if (group == QLatin1String("slaves"))
        return QStringList({ s.slaveAddress[0], s.slavePassword[0], s.slaveAddress[1], s.slavePassword[1],
                             s.slaveAddress[2], s.slavePassword[2] })
            .join(QLatin1Char('/'));
    if (group == QLatin1String("net"))
        return QStringList({ SimDevice::addressText(s.address), SimDevice::addressText(s.subnetMask),
                             SimDevice::addressText(s.gateway), QString::number(s.isDefault) })
            .join(QLatin1Char('/'));
    if (group == QLatin1String("passwords"))
        return s.adminPassword + QLatin1Char('/') + s.guestPassword;
    return QStringLiteral("unknown group");
}

} // namespace

class tst_SimDevice : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<SimLink> link;

    QByteArray call(quint16 type, quint32 loginId, const QByteArray& payload = {})
    {
        return link->client.call(type, loginId, payload);
    }
    quint32 login() { return link->client.login(); }
    DeviceSimulator& sim() { return link->sim; }

private slots:
    void init()
    {
        link.reset(new SimLink(DeviceAddress));
        QVERIFY(link->start());
    }

    void cleanup() { link.reset(); }

    void loginRules_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<bool>("needsLogin");
        // The login asks for the work mode before it authenticates: a device in its update firmware must be
        // recognised first.
        QTest::newRow("Hello") << 1 << false;
        QTest::newRow("GetWorkMode") << 3 << false;
        for (int type : { 4, 5, 10, 23, 26, 62, 63, 65, 70, 71 })
            QTest::addRow("type %d", type) << type << true;
    }

    void loginRules()
    {
        QFETCH(int, type);
        QFETCH(bool, needsLogin);
        const quint32 refused = needsLogin ? 13u : 0u;
        QCOMPARE(errorOf(call(quint16(type), 0)), refused); // before any login
        const quint32 id = login();
        QVERIFY(id != 0);
        QCOMPARE(errorOf(call(quint16(type), 0)), refused);
        QCOMPARE(errorOf(call(quint16(type), id + 1)), refused);
        QCOMPARE(errorOf(call(quint16(type), id)), 0u);
        sim().forgetLogin();
        QCOMPARE(errorOf(call(quint16(type), id)), refused);
    }

    void authentication_data()
    {
        QTest::addColumn<QByteArray>("payload");
        QTest::addColumn<bool>("accepted");
        // clang-format off
        QTest::newRow("admin") << authPayload("admin", "123456") << true;
        QTest::newRow("guest") << authPayload("guest", "111111") << true;
        QTest::newRow("wrong admin password") << authPayload("admin", "654321") << false;
        QTest::newRow("guest password for admin") << authPayload("admin", "111111") << false;
        QTest::newRow("empty password") << authPayload("admin", "") << false;
        QTest::newRow("unknown user") << authPayload("root", "123456") << false;
        QTest::newRow("user name case") << authPayload("Admin", "123456") << false;
        QTest::newRow("password prefix") << authPayload("admin", "12345") << false;
        // clang-format on
    }

    void authentication()
    {
        QFETCH(QByteArray, payload);
        QFETCH(bool, accepted);
        const quint32 first = login();
        QVERIFY(first != 0);
        const QByteArray answer = link->ask(RawUdpClient::request(2, 0, 7, payload));
        if (!accepted) {
            QCOMPARE(answer.toHex().toUpper(), QByteArray("000A0100020000000C0007DF"));
            QCOMPARE(sim().loginId(), first); // a refused login leaves the current one alone
            QCOMPARE(errorOf(call(71, first)), 0u);
            return;
        }
        QCOMPARE(answer.size(), 16);
        QCOMPARE(answer.left(11).toHex().toUpper(), QByteArray("000E010002000000000007"));
        QCOMPARE(RawUdpClient::byteSum(answer), quint8(0xFF));
        // Every login gets a fresh id, and the old one is stale from then on.
        const quint32 second = RawUdpClient::u32At(answer, 11);
        QVERIFY(second != 0 && second != first);
        QCOMPARE(sim().loginId(), second);
        QCOMPARE(errorOf(call(71, first)), 13u);
        QCOMPARE(errorOf(call(71, second)), 0u);
    }

    void messageTable_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<quint32>("error");
        QTest::addColumn<QByteArray>("payload"); // of the answer, in hex
        // clang-format off
        QTest::newRow("Hello") << 1 << 0u << QByteArray();
        QTest::newRow("GetWorkMode") << 3 << 0u << QByteArray("0100");
        QTest::newRow("GetProductInfo") << 5 << 0u << QByteArray("0000C3535158000004D2002A0000000000000000");
        QTest::newRow("GetVersion") << 23 << 0u << QByteArray("00000003000000000101002E");
        QTest::newRow("GetNetParam") << 26 << 0u << QByteArray("7F000001FF0000007F0000FE00");
        QTest::newRow("GetShortPressKeyState") << 62 << 0u << QByteArray("000100");
        QTest::newRow("GetACOGPIOInfo") << 63 << 0u << QByteArray("0101000100090009000000");
        QTest::newRow("GetRemoteDevice") << 65 << 0u << QByteArray("0000000000");
        QTest::newRow("GetSlaveDevice") << 70 << 0u << QByteArray("000000000000000000000000000000");
        QTest::newRow("GetPhaseAlignState") << 71 << 0u << QByteArray("01");
        // Readings the device knows but the simulator keeps no state for: zero-filled, in the listed sizes.
        const std::pair<int, int> readings[] = { {10, 6}, {12, 64}, {13, 2}, {18, 2}, {28, 1}, {29, 25}, {30, 2},
            {32, 32}, {34, 2}, {36, 98}, {38, 4}, {39, 37}, {41, 11}, {43, 2}, {45, 1}, {47, 4}, {49, 2}, {51, 36},
            {54, 30}, {55, 32}, {57, 12}, {59, 8} };
        for (const auto& r : readings)
            QTest::addRow("reading %d", r.first) << r.first << 0u << QByteArray(r.second, '\0').toHex();
        // Settings it acknowledges without a payload.
        for (int type : { 4, 7, 9, 11, 14, 15, 16, 17, 19, 20, 21, 22, 24, 31, 33, 35, 37, 40, 42, 44, 46, 48, 50,
                          52, 53, 56, 58 })
            QTest::addRow("setting %d", type) << type << 0u << QByteArray();
        for (int type : { 0, 6, 8, 60, 66, 67, 68, 73, 65535 })
            QTest::addRow("unknown %d", type) << type << 11u << QByteArray();
        // clang-format on
    }

    void messageTable()
    {
        QFETCH(int, type);
        QFETCH(quint32, error);
        QFETCH(QByteArray, payload);
        const quint32 id = login();
        const QByteArray answer = link->ask(RawUdpClient::request(quint16(type), id, 0xFFFF));
        // An answer has the layout of a request whose login id field holds the error code.
        QCOMPARE(answer.toHex().toUpper(),
                 RawUdpClient::request(quint16(type), error, 0xFFFF, QByteArray::fromHex(payload)).toHex().toUpper());
    }

    void refusedRequests_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QByteArray>("payload");
        QTest::addColumn<int>("lengthOffset"); // added to the length field
        QTest::addColumn<int>("version");
        QTest::addColumn<quint32>("error");
        // clang-format off
        QTest::newRow("length field one too big") << 1 << QByteArray() << 1 << 1 << 9u;
        QTest::newRow("length field one too small") << 1 << QByteArray() << -1 << 1 << 9u;
        QTest::newRow("version 2") << 1 << QByteArray() << 0 << 2 << 10u;
        QTest::newRow("Hello with payload") << 1 << QByteArray("00") << 0 << 1 << 9u;
        QTest::newRow("authentication cut short") << 2 << QByteArray("0561646D") << 0 << 1 << 9u;
        QTest::newRow("authentication trailing byte") << 2 << QByteArray("0561646D696E0631323334353600") << 0 << 1 << 9u;
        QTest::newRow("GetWorkMode with payload") << 3 << QByteArray("00") << 0 << 1 << 9u;
        QTest::newRow("GetACOGPIOInfo with payload") << 63 << QByteArray("0102") << 0 << 1 << 9u;
        QTest::newRow("GetMacAddress with payload") << 10 << QByteArray("00") << 0 << 1 << 9u;
        QTest::newRow("SetNetParam 11 bytes") << 25 << QByteArray("C0A80164FFFFFF00C0A801") << 0 << 1 << 9u;
        QTest::newRow("SetNetParam 13 bytes") << 25 << QByteArray("C0A80164FFFFFF00C0A8010100") << 0 << 1 << 9u;
        QTest::newRow("SetShortPressKeyState 2 bytes") << 61 << QByteArray("0100") << 0 << 1 << 9u;
        QTest::newRow("SetABKeyState 2 bytes") << 72 << QByteArray("0100") << 0 << 1 << 9u;
        QTest::newRow("SetABKeyState empty") << 72 << QByteArray() << 0 << 1 << 9u;
        QTest::newRow("SetRemoteDevice password cut") << 64 << QByteArray("7F0000020661626364") << 0 << 1 << 9u;
        QTest::newRow("SetSlaveDevice two entries") << 69 << QByteArray("7F000002007F00000300") << 0 << 1 << 9u;
        QTest::newRow("ModifyPassword no password") << 27 << QByteArray("0561646D696E") << 0 << 1 << 9u;
        // Well-formed but refused, without dropping the login.
        QTest::newRow("ModifyPassword unknown user") << 27 << QByteArray("04726F6F7403616263") << 0 << 1 << 1u;
        QTest::newRow("SetABKeyState no bit") << 72 << QByteArray("00") << 0 << 1 << 1u;
        QTest::newRow("SetABKeyState bit 6") << 72 << QByteArray("40") << 0 << 1 << 1u;
        QTest::newRow("SetABKeyState bit 7 with bit 0") << 72 << QByteArray("81") << 0 << 1 << 1u;
        // clang-format on
    }

    void refusedRequests()
    {
        QFETCH(int, type);
        QFETCH(QByteArray, payload);
        QFETCH(int, lengthOffset);
        QFETCH(int, version);
        QFETCH(quint32, error);
        const quint32 id = login();
        const SimDeviceState before = sim().state();
        QByteArray frame = RawUdpClient::request(quint16(type), id, 0x0203, QByteArray::fromHex(payload));
        frame[1] = char(frame[1] + lengthOffset);
        frame[2] = char(version);
        frame.chop(1);
        frame.append(char(~RawUdpClient::byteSum(frame)));

        QCOMPARE(link->ask(frame).toHex(), RawUdpClient::request(quint16(type), error, 0x0203).toHex());
        // Nothing of a refused request is applied.
        const SimDeviceState after = sim().state();
        for (const char* group : { "keys", "remote", "slaves", "net", "passwords" })
            QCOMPARE(configText(after, QLatin1String(group)), configText(before, QLatin1String(group)));
        QCOMPARE(after.keyMask, before.keyMask);
        QCOMPARE(sim().loginId(), id);
    }

    void droppedDatagrams_data()
    {
        QTest::addColumn<QByteArray>("datagram");
        QTest::addColumn<bool>("intact");
        // clang-format off
        QTest::newRow("bad checksum") << QByteArray::fromHex("000A010001000000000001F3") << false;
        QTest::newRow("one byte FF") << QByteArray::fromHex("FF") << true;
        QTest::newRow("11-byte frame") << QByteArray::fromHex("00090100010000000000F4") << true;
        QTest::newRow("1041 bytes") << RawUdpClient::request(1, 0, 1, QByteArray(1029, '\0')) << false;
        // clang-format on
    }

    void droppedDatagrams()
    {
        QFETCH(QByteArray, datagram);
        QFETCH(bool, intact);
        bool answered = true;
        link->ask(datagram, &answered, 300);
        QVERIFY(!answered);
        QCOMPARE(sim().received().size(), 1);
        QCOMPARE(sim().received().at(0).intact, intact);
        // The largest acceptable frame is taken in (and refused for its payload).
        QCOMPARE(errorOf(link->ask(RawUdpClient::request(1, 0, 2, QByteArray(1028, '\0')))), 9u);
    }

    void configurationIsKept_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QByteArray>("payload");
        QTest::addColumn<QString>("group");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<int>("readType"); // the request that reads it back; 0 for a password: the login does
        QTest::addColumn<QByteArray>("readAnswer");
        QTest::addColumn<QByteArray>("user");
        QTest::addColumn<QByteArray>("password");
        const QByteArray admin("admin"), standard("123456");
        // clang-format off
        QTest::newRow("key lock, 4x1") << 61 << QByteArray("010001") << "keys" << "1/0/1"
            << 62 << QByteArray("010001") << admin << standard;
        QTest::newRow("any nonzero flag byte") << 61 << QByteArray("050702") << "keys" << "1/1/2"
            << 62 << QByteArray("010102") << admin << standard;
        QTest::newRow("panel type 7") << 61 << QByteArray("000007") << "keys" << "0/0/7"
            << 63 << QByteArray("0101000107090009000000") << admin << standard;
        QTest::newRow("remote device") << 64 << QByteArray("7F0000020661626364656A") << "remote" << "127.0.0.2/abcdej"
            << 65 << QByteArray("7F0000020661626364656A") << admin << standard;
        QTest::newRow("remote device, no password") << 64 << QByteArray("C0A8011400") << "remote" << "192.168.1.20/"
            << 65 << QByteArray("C0A8011400") << admin << standard;
        QTest::newRow("remote device, UTF-8 password") << 64 << QByteArray("0A00000206E4B8ADE69687") << "remote"
            << QString::fromUtf8("10.0.0.2/\xE4\xB8\xAD\xE6\x96\x87") << 65 << QByteArray("0A00000206E4B8ADE69687")
            << admin << standard;
        QTest::newRow("slave devices") << 69 << QByteArray("7F00000303313233" "0000000000" "7F000005053132333435")
            << "slaves" << "127.0.0.3/123/0.0.0.0//127.0.0.5/12345"
            << 70 << QByteArray("7F00000303313233" "0000000000" "7F000005053132333435") << admin << standard;
        QTest::newRow("network, no longer default") << 25 << QByteArray("C0A80164FFFFFF00C0A80101") << "net"
            << "192.168.1.100/255.255.255.0/192.168.1.1/0"
            << 26 << QByteArray("C0A80164FFFFFF00C0A8010100") << admin << standard;
        QTest::newRow("admin password") << 27 << QByteArray("0561646D696E06363534333231") << "passwords"
            << "654321/111111" << 0 << QByteArray() << admin << QByteArray("654321");
        QTest::newRow("guest password") << 27 << QByteArray("05677565737403616263") << "passwords"
            << "123456/abc" << 0 << QByteArray() << QByteArray("guest") << QByteArray("abc");
        // clang-format on
    }

    void configurationIsKept()
    {
        QFETCH(int, type);
        QFETCH(QByteArray, payload);
        QFETCH(QString, group);
        QFETCH(QString, stored);
        QFETCH(int, readType);
        QFETCH(QByteArray, readAnswer);
        QFETCH(QByteArray, user);
        QFETCH(QByteArray, password);
        sim().modify([](SimDeviceState& s) { s.isDefault = true; });
        QCOMPARE(errorOf(call(quint16(type), login(), QByteArray::fromHex(payload))), 0u);
        QCOMPARE(configText(sim().state(), group), stored);

        // Kept beyond the login that wrote it; the device still answers where it was bound.
        sim().forgetLogin();
        const quint32 next = link->client.login(user, password);
        QVERIFY(next != 0);
        if (readType != 0)
            QCOMPARE(payloadOf(call(quint16(readType), next)).toHex().toUpper(), readAnswer);
    }

    void setABKeyState_data()
    {
        QTest::addColumn<QByteArray>("keys"); // one request per byte
        QTest::addColumn<int>("keyMask");
        // clang-format off
        QTest::newRow("key 1 on") << QByteArray("02") << 0x0B;
        QTest::newRow("key 1 on and off") << QByteArray("0202") << 0x09;
        QTest::newRow("key 0 off") << QByteArray("01") << 0x08;
        QTest::newRow("key 5 on") << QByteArray("20") << 0x29;
        // clang-format on
    }

    void setABKeyState()
    {
        QFETCH(QByteArray, keys);
        QFETCH(int, keyMask);
        const quint32 id = login();
        for (char key : QByteArray::fromHex(keys))
            QCOMPARE(errorOf(call(72, id, QByteArray(1, key))), 0u);
        QCOMPARE(int(sim().state().keyMask), keyMask);
        QCOMPARE(int(quint8(payloadOf(call(63, id)).at(7))), keyMask);
    }

    void updateModeRemembersTheWorkMode()
    {
        sim().modify([](SimDeviceState& s) { s.workMode = 3; });
        sim().setUpdateMode(true);
        QCOMPARE(payloadOf(call(3, 0)).toHex(), QByteArray("0000"));
        sim().setUpdateMode(true); // twice on, still remembers the mode to return to
        sim().setUpdateMode(false);
        QCOMPARE(payloadOf(call(3, 0)).toHex(), QByteArray("0300"));
    }

    void receivedLogKeepsOrder()
    {
        const QByteArray hello = RawUdpClient::request(1, 0, 40);
        link->ask(hello);
        const QByteArray stale = RawUdpClient::request(71, 0x11223344, 42);
        link->ask(stale);
        QVERIFY(login() != 0);
        const QList<DeviceSimulator::Received> log = sim().received();
        QCOMPARE(log.size(), 3);
        QCOMPARE(log[0].frame, hello);
        QCOMPARE(log[1].frame, stale);
        QCOMPARE(log[1].type, 71);
        QCOMPARE(log[1].loginId, 0x11223344u);
        QCOMPARE(log[1].sequence, quint16(42));
        QCOMPARE(sim().receivedCount(2), 1);
        sim().clearReceived();
        QVERIFY(sim().received().isEmpty());
    }

    void livelyScenario_data()
    {
        QTest::addColumn<int>("panelType");
        QTest::addColumn<int>("inputs");
        QTest::newRow("2x1: two groups of IN 1, IN 2, BYPASS") << 0 << 0x3F;
        QTest::newRow("4x1: IN 1 to IN 4 and BYPASS on bit 5") << 1 << 0x2F;
    }

    void livelyScenario()
    {
        QFETCH(int, panelType);
        QFETCH(int, inputs);
        SimDeviceState state;
        state.panelType = quint8(panelType);
        state.gpioGreenMask = state.gpioRedMask = state.keyMask = 0;
        SimDevice device(state);
        int green = 0, red = 0, keys = 0;
        QSet<int> leds, powerLeds, phaseAligns;
        bool flashing = false;
        for (int i = 0; i < 300; ++i) {
            device.livelyStep();
            const SimDeviceState& s = device.state();
            green |= s.gpioGreenMask;
            red |= s.gpioRedMask;
            keys |= s.keyMask;
            flashing = flashing || (s.gpioGreenMask & s.gpioRedMask) != 0;
            leds.insert(s.localLed * 3 + s.remoteLed);
            powerLeds.insert(s.ps1Led * 2 + s.ps2Led);
            phaseAligns.insert(s.phaseAlign);
        }
        QCOMPARE(green, inputs);
        QCOMPARE(red, inputs);
        QCOMPARE(keys, inputs);
        QVERIFY(flashing);
        QCOMPARE(leds.size(), 9); // every pair of local and remote LED states
        QCOMPARE(powerLeds.size(), 4);
        QCOMPARE(phaseAligns, QSet<int>({ 0, 1, 2 }));
        QCOMPARE(device.state().panelType, quint8(panelType));
    }

    void answersWhileTheStateChanges()
    {
        // Another thread changes the state as fast as it can while the simulator answers.
        const quint32 id = login();
        std::atomic<bool> done { false };
        std::thread changer([&] {
            for (quint8 n = 0; !done; ++n) {
                sim().modify([n](SimDeviceState& s) { s.keyMask = n & 0x3F; });
                sim().setFault(DeviceSimulator::Fault::None);
                (void)sim().received();
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
        const quint16 port = sim().port();
        sim().stop();
        QCOMPARE(sim().port(), quint16(0));
        bool answered = true;
        link->client.ask(RawUdpClient::request(1, 0, 1), DeviceAddress, port, &answered, 300);
        QVERIFY(!answered);
        QVERIFY(sim().start(DeviceAddress, port));
        QCOMPARE(sim().port(), port);
        link->client.ask(RawUdpClient::request(1, 0, 2), DeviceAddress, port, &answered);
        QVERIFY(answered);
        QVERIFY(!sim().start(DeviceAddress, 0)); // already running
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
    }
};

QTEST_GUILESS_MAIN(tst_SimDevice)
#include "tst_SimDevice.moc"
