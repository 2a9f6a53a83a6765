// The UDP exchange against a scripted loopback peer: answers of every kind, the real waits and resends, time-out
// settings, answers for another request (never handed out) and closing. The device client against the device
// simulator (and, for exact answer sequences, the peer): every operation, sequence numbers, login handling,
// refusals and refused texts, real waits, its fair lock, and four threads at once.
#include "DeviceSimulator.h"
#include "DiveVodNetClient.h"
#include "FairMutex.h"
#include "ProductInfoText.h"
#include "RequestAuthentication.h"
#include "RequestHello.h"
#include "ResponseGetACOGPIOInfo.h"
#include "ResponseGetPhaseAlignState.h"
#include "ScriptedPeer.h"
#include "SimpleRequest.h"
#include "TestFrames.h"
#include "UdpChannel.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QHostInfo>
#include <QSet>
#include <QtTest>

#include <limits>
#include <memory>

namespace {

QByteArray auth(const QByteArray& user, const QByteArray& password)
{
    return char(user.size()) + user + char(password.size()) + password;
}

// type/loginId/sequence of each frame, sequences relative to `base`.
QStringList frameList(const QList<QByteArray>& frames, int base = 0)
{
    QStringList list;
    for (const QByteArray& f : frames)
        list << QString("%1/%2/%3").arg(TestFrames::type(f)).arg(TestFrames::loginId(f), 0, 16).arg(TestFrames::sequence(f) - base);
    return list;
}

// An answer with the request's own type and sequence (shifted by sequenceShift).
ScriptedPeer::Answer echo(const QByteArray& request, const QByteArray& payload, int sequenceShift = 0)
{
    return { TestFrames::response(TestFrames::type(request), 0, quint16(TestFrames::sequence(request) + sequenceShift), payload), {} };
}

enum Answer { Gpio, Error12, ShortFrame, ShortFrameOtherSequence, WrongChecksum, Empty, OversizeThenPhase, FromOtherHost };

// Debug lines arrive from every calling thread; count the re-logins among them.
std::atomic<int> relogins { 0 };
QtMessageHandler previousHandler = nullptr;

} // namespace

class TestDiveVodNetClient : public QObject
{
    Q_OBJECT

    std::unique_ptr<ScriptedPeer> peer;
    std::unique_ptr<UdpChannel> channel;
    std::unique_ptr<ResponseMsg> response;

    // Exchanges `request` (one resend allowed unless said otherwise); the answer object goes to `response`.
    int exchange(RequestMsg& request, int retries = 1)
    {
        ResponseMsg* raw = nullptr;
        const int result = channel->exchange(request, &raw, retries);
        response.reset(raw);
        return result;
    }
    QString decoded()
    {
        if (auto* g = dynamic_cast<const ResponseGetACOGPIOInfo*>(response.get()))
            return QString("gpio %1").arg(g->keyMask());
        if (auto* p = dynamic_cast<const ResponseGetPhaseAlignState*>(response.get()))
            return QString("phase %1 %2").arg(p->state()).arg(p->sequence());
        return response ? QString("simple %1").arg(response->errorCode()) : QString();
    }
    QList<ScriptedPeer::Datagram> sent()
    {
        QTest::qWait(50); // anything still on its way arrives
        return peer->received();
    }

    std::unique_ptr<DeviceSimulator> sim;
    std::unique_ptr<DiveVodNetClient> client;
    quint32 mode = 77;

    bool login(int userType = 0, const QString& password = QStringLiteral("123456"))
    {
        client->SetLoginInfo(userType, password);
        return client->Authenticate() == 0;
    }
    QList<QByteArray> frames(bool fromPeer = false)
    {
        QTest::qWait(50); // anything still on its way arrives
        QList<QByteArray> list;
        if (fromPeer)
            for (const auto& d : peer->received())
                list << d.data;
        else
            for (const auto& r : sim->received())
                list << r.frame;
        return list;
    }
    QByteArray lastPayload() { return TestFrames::payload(sim->received().last().frame); }

private slots:
    void init()
    {
        sim.reset(new DeviceSimulator);
        QVERIFY(sim->start(QStringLiteral("127.0.0.1"), 0));
        client.reset(new DiveVodNetClient);
        QCOMPARE(client->OpenChannel(QStringLiteral("127.0.0.1"), sim->port()), 0);
        mode = 77;
        peer.reset(new ScriptedPeer);
        QVERIFY(peer->start());
        channel.reset(new UdpChannel);
        QCOMPARE(channel->open("127.0.0.1", peer->port), 0);
        QVERIFY(channel->isOpen());
    }
    void cleanup() { client.reset(), sim.reset(), response.reset(), channel.reset(), peer.reset(); }

    void answers_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<int>("result");
        QTest::addColumn<QString>("decoded"); // class and field, "" for no answer object
        QTest::addColumn<int>("sends");
        // clang-format off
        QTest::newRow("typed answer")                 << int(Gpio)              << 0  << "gpio 9"     << 1;
        QTest::newRow("error code: plain answer")     << int(Error12)           << 0  << "simple 12"  << 1;
        QTest::newRow("11-byte frame: plain answer")  << int(ShortFrame)        << 0  << "simple 0"   << 1;
        QTest::newRow("11-byte frame, other sequence")<< int(ShortFrameOtherSequence) << -1 << ""     << 2;
        QTest::newRow("wrong checksum, no resend")    << int(WrongChecksum)     << -1 << "phase 0 0"  << 1;
        QTest::newRow("empty datagram, no resend")    << int(Empty)             << -1 << ""           << 1;
        QTest::newRow("oversize counts as none")      << int(OversizeThenPhase) << 0  << "phase 2 77" << 2;
        QTest::newRow("answer from another host")     << int(FromOtherHost)     << 0  << "phase 2 77" << 1;
        // clang-format on
    }
    void answers()
    {
        QFETCH(int, answer);
        QFETCH(int, result);
        QFETCH(QString, decoded);
        QFETCH(int, sends);
        peer->setScript([answer](int index, const QByteArray& request) {
            ScriptedPeer::Answer reply = echo(request, QByteArray(1, '\2'));
            if (answer <= Error12)
                reply.datagram = TestFrames::response(63, answer == Error12 ? 12 : 0, 77, QByteArray::fromHex("0101000100090009000000"));
            else if (answer == ShortFrame) // its last byte is the checksum and the low byte of sequence 77
                reply.datagram = QByteArray::fromHex("00090100a800000000004d");
            else if (answer == ShortFrameOtherSequence) // reads as sequence 0x00f2: no answer to this request
                reply.datagram = TestFrames::withChecksum(QByteArray::fromHex("00090100030000000000"));
            else if (answer == WrongChecksum)
                reply.datagram[reply.datagram.size() - 1] = char(reply.datagram.back() + 1);
            else if (answer == Empty || (answer == OversizeThenPhase && index == 0))
                reply.datagram = answer == Empty ? QByteArray("") : QByteArray(1100, '\1');
            return answer == FromOtherHost ? ScriptedPeer::Answer { {}, reply.datagram } : reply;
        });
        SimpleRequest<63> gpio(0x11223344, 77);
        SimpleRequest<71> phase(1, 77);
        QElapsedTimer timer;
        timer.start();
        QCOMPARE(exchange(answer <= ShortFrameOtherSequence ? static_cast<RequestMsg&>(gpio) : phase), result);
        QVERIFY2(timer.elapsed() < 1500, "an answer of any kind ends the wait at once");
        QCOMPARE(this->decoded(), decoded);
        const auto sent = this->sent();
        QCOMPARE(sent.size(), sends);
        QCOMPARE(sent.last().data, sent.first().data);
        if (answer == Gpio)
            QCOMPARE(sent.first().data.toHex(' ') + " " + QByteArray::number(response->sequence()), QByteArray("00 0a 01 00 3f 11 22 33 44 00 4d be 77"));
    }

    void waits_data()
    {
        QTest::addColumn<bool>("hello");
        QTest::addColumn<int>("retries");
        QTest::addColumn<int>("answerAt"); // index of the send that is answered, -1 for none
        QTest::addColumn<int>("sends");
        QTest::newRow("Hello silent: 2 x 1 s") << true << 1 << -1 << 2;
        QTest::newRow("answered on the resend after 2 s") << false << 1 << 1 << 2;
        QTest::newRow("no retries: sent once, 2 s") << false << 0 << -1 << 1;
    }
    void waits()
    {
        QFETCH(bool, hello);
        QFETCH(int, retries);
        QFETCH(int, answerAt);
        QFETCH(int, sends);
        peer->setScript([answerAt](int index, const QByteArray& request) {
            return index == answerAt ? echo(request, QByteArray(1, '\2')) : ScriptedPeer::Answer();
        });
        RequestHello helloRequest(0, 1);
        SimpleRequest<71> phase(3, 100);
        QElapsedTimer timer;
        timer.start();
        QCOMPARE(exchange(hello ? static_cast<RequestMsg&>(helloRequest) : phase, retries), answerAt < 0 ? -1 : 0);
        QVERIFY2(timer.elapsed() >= 1950 && timer.elapsed() < 3450, qPrintable(QString::number(timer.elapsed())));
        QCOMPARE(decoded(), answerAt < 0 ? QString() : QString("phase 2 100"));
        const auto sent = this->sent();
        QCOMPARE(sent.size(), sends);
        QVERIFY(sent.last().data == sent.first().data && sent.last().sourcePort == sent.first().sourcePort);
        if (sends == 2 && !hello) // the resend follows the whole time-out and the 10 ms pause
            QVERIFY2(sent.at(1).atMs - sent.at(0).atMs >= 1800, qPrintable(QString::number(sent.at(1).atMs - sent.at(0).atMs)));
    }

    void receiveTimeoutFollowsRequest()
    {
        peer->setScript([](int, const QByteArray& request) { return echo(request, QByteArray()); });
        QCOMPARE(channel->receiveTimeoutMs(), 0);
        RequestHello hello(0, 1);
        SimpleRequest<71> phase(5, 2);
        QString timeouts;
        for (int i = 0; i < 4; ++i) {
            timeouts += QString::number(exchange(i % 3 == 0 ? static_cast<RequestMsg&>(hello) : phase));
            timeouts += QString::number(channel->receiveTimeoutMs()) + " ";
        }
        QCOMPARE(timeouts, QStringLiteral("01000 02000 02000 01000 "));
    }

    void firstDatagramWins()
    {
        // Another host answers first with state 2, the device right after with state 1, later ones with 3.
        peer->setScript([](int index, const QByteArray& request) {
            return ScriptedPeer::Answer { echo(request, QByteArray(1, index ? '\3' : '\1')).datagram,
                                          index ? QByteArray() : echo(request, QByteArray(1, '\2')).datagram };
        });
        SimpleRequest<71> first(1, 20), second(1, 21);
        QCOMPARE(exchange(first), 0);
        QCOMPARE(decoded(), QStringLiteral("phase 2 20"));
        // The device's answer still waits on the socket when the next request goes out: it is
        // dropped unread, and the next request gets its own answer on the same socket.
        QTest::qWait(50);
        QCOMPARE(exchange(second), 0);
        QCOMPARE(decoded(), QStringLiteral("phase 3 21"));
        const auto sent = this->sent();
        QVERIFY(sent.size() == 2 && sent.at(1).sourcePort == sent.at(0).sourcePort);
        QCOMPARE(channel->localPort(), int(sent.at(0).sourcePort));
    }

    void sequenceMismatchAsksAgainFromNewPort()
    {
        // Every other answer carries the next sequence, as a doubled or late answer to another request would.
        peer->setScript([](int index, const QByteArray& request) { return echo(request, QByteArray(1, '\1'), index % 2 == 0); });
        SimpleRequest<71> first(1, 30), second(1, 31);
        QTest::ignoreMessage(QtDebugMsg, "Id not eauque 71,71");
        QCOMPARE(exchange(first), 0);
        QCOMPARE(decoded(), QStringLiteral("phase 1 30"));
        QCOMPARE(channel->receiveTimeoutMs(), 2000); // the new socket waits as long
        auto sent = peer->received();
        QVERIFY(sent.size() == 2 && sent.at(1).data == sent.at(0).data && sent.at(1).sourcePort != sent.at(0).sourcePort);
        // Without a resend left, the stray answer is no answer at all.
        QTest::ignoreMessage(QtDebugMsg, "Id not eauque 71,71");
        QCOMPARE(exchange(second, 0), -1);
        QVERIFY(!response);
        QCOMPARE(this->sent().size(), 3);
        QCOMPARE(channel->localPort(), 0); // moved on to a new socket, not yet used
    }

    void closeAndRefusals()
    {
        peer->setScript([](int, const QByteArray& request) { return echo(request, QByteArray(1, '\1')); });
        SimpleRequest<71> request(1, 40);
        const auto openFiles = [] { return QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).size(); };
        const int before = openFiles();
        for (int i = 0; i < 5; ++i)
            QCOMPARE(channel->open("127.0.0.1", peer->port), 0); // re-opening does not leak
        QCOMPARE(openFiles(), before);
        channel->close();
        channel->close();
        QCOMPARE(openFiles(), before - 1);
        QVERIFY(!channel->isOpen());
        channel->interrupt(); // nothing to wake on a closed channel
        QCOMPARE(exchange(request), -1);
        QVERIFY(!response);
        QCOMPARE(channel->receiveTimeoutMs() + channel->localPort(), -1);

        // An unframable request and an address that does not parse (all ones) send nothing, at once; a short
        // form or a hex group of 127.0.0.1 is no address either.
        QCOMPARE(channel->open("127.0.0.1", peer->port), 0);
        RequestAuthentication unframable(0, 43);
        unframable.setPassword(QByteArray(256, 'p'));
        QCOMPARE(exchange(unframable), -1);
        QVERIFY(!response);
        for (const char* address : { "not.an.address", "127.1", "0x7f.0.0.1" }) {
            QCOMPARE(channel->open(address, peer->port), 0);
            QElapsedTimer timer;
            timer.start();
            QCOMPARE(exchange(request), -1);
            QVERIFY2(timer.elapsed() < 500 && !response, address);
        }
        QCOMPARE(sent().size(), 0);
        QCOMPARE(channel->open("127.0.0.1", peer->port), 0);
        QCOMPARE(exchange(request), 0);
    }

    void sequenceStartsAtOneAndWraps()
    {
        QVERIFY(login()); // sequence 1
        QCOMPARE(client->GetWorkMode(mode), 0);
        QCOMPARE(frameList(frames()), QStringList({ "2/0/1", QString("3/%1/2").arg(sim->loginId(), 0, 16) }));
        // Every operation takes a number, even one that cannot send: run the counter up quickly on a
        // closed channel, then watch the wrap on the wire.
        client->CloseChannel();
        client->CloseChannel();
        QCOMPARE(client->Authenticate(), -1); // sequence 3
        for (int i = 0; i < 65531; ++i)
            QCOMPARE(client->GetWorkMode(mode), -1); // sequences 4 .. 65534
        QCOMPARE(client->OpenChannel(QStringLiteral("127.0.0.1"), sim->port()), 0);
        sim->clearReceived();
        for (int i = 0; i < 3; ++i)
            QCOMPARE(client->GetWorkMode(mode), 0);
        QStringList sequences;
        for (const auto& r : sim->received())
            sequences << QString::number(r.sequence);
        QCOMPARE(sequences.join(' '), QStringLiteral("65535 0 1"));
    }

    void loginUser_data()
    {
        QTest::addColumn<int>("userType");
        QTest::addColumn<QByteArray>("user");
        QTest::newRow("0 is admin") << 0 << QByteArray("admin");
        QTest::newRow("1 is guest") << 1 << QByteArray("guest");
        QTest::newRow("-1 is guest") << -1 << QByteArray("guest");
    }
    void loginUser()
    {
        QFETCH(int, userType);
        QFETCH(QByteArray, user);
        const QByteArray password = user == "admin" ? "123456" : "111111";
        QVERIFY(login(userType, password));
        const quint32 granted = sim->loginId();
        QCOMPARE(lastPayload(), auth(user, password));
        // A refused login ("pw" is neither user's password) returns the device's code and keeps the old login.
        client->SetLoginInfo(userType, QStringLiteral("pw"));
        QTest::ignoreMessage(QtDebugMsg, "Authentication=========AuthenticationFailed\n");
        QCOMPARE(client->Authenticate(), 12);
        QCOMPARE(lastPayload(), auth(user, "pw"));
        quint8 state = 9;
        QCOMPARE(client->GetPhaseAlignState(state), 0);
        QCOMPARE(sim->received().last().loginId, granted);
    }

    void operations()
    {
        QVERIFY(login());
        sim->modify([](SimDeviceState& s) {
            s.ps1Led = true, s.ps2Led = false, s.localLed = 2, s.remoteLed = 1, s.panelType = 1;
            s.gpioGreenMask = 0x21, s.gpioRedMask = 0x12, s.keyMask = 0x3F, s.ipReset = true, s.remCtrl = true;
            s.phaseAlign = 2, s.productExtra = QByteArray::fromHex("0102030405060708");
            s.pcbVersion = 0xFFFFFFFF, s.firmwareVersion = 0x0102001E;
            // A private address, only read here: nothing is ever sent to it.
            s.address = 0xC0A80164, s.subnetMask = 0xFFFFFF00, s.gateway = 0xC0A80101, s.isDefault = true;
        });
        QCOMPARE(client->GetWorkMode(mode) * 10 + int(mode), 1);
        sim->setUpdateMode(true);
        QCOMPARE(client->GetWorkMode(mode) + int(mode), 0);

        // The GPIO answer fills the device's part of the record and leaves the rest alone.
        AcoGpioInfo info, expected;
        info.keyLock = info.autoMode = true, info.phaseAlign = 2, info.remoteKeyMask = 8;
        QCOMPARE(client->GetAcoGpioInfo(info), 0);
        expected.ps1Led = expected.ipReset = expected.remCtrl = expected.keyLock = expected.autoMode = true;
        expected.localLed = 2, expected.remoteLed = 1, expected.panelType = 1, expected.phaseAlign = 2;
        expected.gpioGreenMask = 0x21, expected.gpioRedMask = 0x12, expected.keyMask = 0x3F, expected.remoteKeyMask = 8;
        QVERIFY(info == expected);

        // Each setter's payload, then what the device answers afterwards.
        quint8 keyLock = 9, autoMode = 9, state = 0, serial[8] = {}, further[8] = {};
        quint32 panelType = 9, code = 0;
        bool isDefault = false;
        QString got, pcb, firmware, address, mask, gateway, password, addresses[3], passwords[3];
        const QString slaves[3] = { "127.0.0.31", "127.0.0.32", "127.0.0.33" }, slavePasswords[3] = { "a", "", "zzzzzz" };
        const auto payload = [&](int result) { got += QString::number(result) + ":" + lastPayload().toHex() + " "; };
        for (int round = 0; round < 2; ++round) {
            QCOMPARE(client->GetShortPressKeyState(keyLock, autoMode, panelType) + client->GetNetParam(address, mask, gateway, isDefault), 0);
            got += QString("%1 %2 %3 %4 %5 %6 %7 ").arg(keyLock).arg(autoMode).arg(panelType).arg(address, mask, gateway).arg(isDefault);
            if (round == 0)
                payload(client->SetShortPressKeyState(5, 0, 2)), payload(client->SetNetParam("127.0.0.5", "255.0.0.0", "127.0.0.254"));
        }
        payload(client->SetABKeyState(1u << 4));
        payload(client->SetRemoteDevice("127.0.0.20", "abc123"));
        payload(client->SetSlaveDevice(slaves, slavePasswords));
        payload(client->ModifyPassword("guest", "222222"));
        QCOMPARE(got.split(' '), QString("0 1 1 192.168.1.100 255.255.255.0 192.168.1.1 1 0:010002 0:7f000005ff0000007f0000fe "
                                         "1 0 2 127.0.0.5 255.0.0.0 127.0.0.254 0 0:10 0:7f00001406616263313233 "
                                         "0:7f00001f01617f000020007f000021067a7a7a7a7a7a 0:05677565737406323232323232 ").split(' '));
        QCOMPARE(sim->state().keyMask, 0x2Fu);
        QTest::ignoreMessage(QtDebugMsg, "=========Failed\n"); // refused: no key named
        QCOMPARE(client->SetABKeyState(256), -1);
        QCOMPARE(client->GetPhaseAlignState(state) + int(state), 2);
        QCOMPARE(client->GetVersion(pcb, firmware), 0);
        QCOMPARE(pcb + " " + firmware, QStringLiteral("1.4294967295 1.2.30"));
        QCOMPARE(client->GetProductInfo(code, serial, further), 0);
        QCOMPARE(QString::number(code) + GetProductSNText(serial) + QByteArray(reinterpret_cast<const char*>(further), 8).toHex(),
                 QStringLiteral("50003QX00001234-000000420102030405060708"));
        QCOMPARE(client->GetRemoteDevice(address, password) + client->GetSlaveDevice(addresses, passwords), 0);
        for (int i = 0; i < 3; ++i)
            address += " " + addresses[i] + "/" + passwords[i];
        QCOMPARE(address + " " + password, QStringLiteral("127.0.0.20 127.0.0.31/a 127.0.0.32/ 127.0.0.33/zzzzzz abc123"));
        QVERIFY(login(1, QStringLiteral("222222")));
    }

    void relogin_data()
    {
        QTest::addColumn<int>("code");
        QTest::newRow("13: login forgotten") << 13;
        QTest::newRow("12: login refused") << 12;
    }
    void relogin()
    {
        QFETCH(int, code);
        QVERIFY(login());
        const quint32 first = sim->loginId();
        code == 13 ? sim->forgetLogin() : sim->setFault(DeviceSimulator::Fault::ErrorCode, 1, quint32(code));
        sim->clearReceived();
        QTest::ignoreMessage(QtDebugMsg, qPrintable(QString("GetVersionTTTTTTTTT:%1\n").arg(code)));
        QString pcb, firmware;
        QCOMPARE(client->GetVersion(pcb, firmware), 0);
        QCOMPARE(firmware, QStringLiteral("1.1.46"));
        const quint32 second = sim->loginId();
        QVERIFY(second != 0 && second != first);
        // The request, a login as the same user with the next sequence, then the request repeated
        // with its own sequence and the new login id.
        const auto sent = frames();
        QCOMPARE(frameList(sent, TestFrames::sequence(sent.first())),
                 QStringList({ QString("23/%1/0").arg(first, 0, 16), "2/0/1", QString("23/%1/0").arg(second, 0, 16) }));
        QCOMPARE(TestFrames::payload(sent.at(1)), auth("admin", "123456"));
        QCOMPARE(client->GetVersion(pcb, firmware), 0);
        QCOMPARE(sim->received().last().loginId, second);
    }

    void refusals_data()
    {
        QTest::addColumn<quint32>("code");
        QTest::addColumn<QString>("name");
        QTest::newRow("error 1") << 1u << "Failed";
        QTest::newRow("error 99") << 99u << "";
        QTest::newRow("error 9") << 9u << "MsgFormatWrong";
    }
    void refusals()
    {
        QFETCH(quint32, code);
        QFETCH(QString, name);
        QVERIFY(login());
        sim->clearReceived();
        sim->setFault(DeviceSimulator::Fault::ErrorCode, 1, code);
        QTest::ignoreMessage(QtDebugMsg, qPrintable("GetWorkMode=========" + name + "\n"));
        QCOMPARE(client->GetWorkMode(mode) + int(mode), 76); // the mode stays unread
        QCOMPARE(frames().size(), 1); // a refusal is not asked again
        QCOMPARE(client->GetWorkMode(mode), 0);
        // Authenticate hands the device's own code back, and a refusal stays one (never -1, "no answer")
        // when the code does not fit an int.
        sim->setFault(DeviceSimulator::Fault::ErrorCode, 1, code == 9 ? 0xFFFFFFFFu : code);
        QTest::ignoreMessage(QtDebugMsg, qPrintable("Authentication=========" + (code == 9 ? QString() : name) + "\n"));
        QCOMPARE(client->Authenticate(), code == 9 ? std::numeric_limits<int>::max() : int(code));
    }

    void textsClosedChannelAndShortFrames()
    {
        QVERIFY(login());
        // Texts longer than 255 bytes (128 two-byte characters are 256) are refused before anything is sent.
        sim->clearReceived();
        const QString tooLong(256, QLatin1Char('p')), addresses[3] = { "127.0.0.31", "127.0.0.32", "127.0.0.33" };
        const QString passwords[3] = { QString(), QString(), tooLong };
        QCOMPARE(client->SetRemoteDevice("127.0.0.20", QString(128, QChar(0x00E9))), -1);
        QCOMPARE(client->SetSlaveDevice(addresses, passwords), -1);
        QCOMPARE(client->ModifyPassword("admin", tooLong) + client->ModifyPassword(tooLong, "123456"), -2);
        client->SetLoginInfo(0, tooLong);
        QCOMPARE(client->Authenticate(), -1);
        QCOMPARE(frames().size(), 0);
        QCOMPARE(client->ModifyPassword("guest", QString(255, QLatin1Char('g'))), 0); // the longest that travels
        QCOMPARE(sim->state().guestPassword, QString(255, QLatin1Char('g')));

        // Answers of 11 bytes that pass every check and carry the request's sequence: typed operations fail,
        // the others do not mind, and each is asked once.
        peer->setScript([](int, const QByteArray& request) { return ScriptedPeer::Answer { TestFrames::shortFrame(TestFrames::sequence(request)), {} }; });
        QCOMPARE(client->OpenChannel(QStringLiteral("127.0.0.1"), peer->port), 0);
        QCOMPARE(client->GetWorkMode(mode), -1);
        QCOMPARE(client->SetABKeyState(1), 0);
        client->SetLoginInfo(0, QStringLiteral("123456"));
        QCOMPARE(client->Authenticate(), -1);
        QCOMPARE(frames(true).size() * 100 + int(mode), 377);
    }

    void localAddresses()
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

    void scriptedRelogin_data()
    {
        QTest::addColumn<QByteArray>("loginAnswer"); // answer to the re-login, its sequence filled in past 11 bytes
        QTest::addColumn<quint32>("repeatCode"); // error code of the answer to the repeat
        QTest::addColumn<QStringList>("frames");
        // clang-format off
        QTest::newRow("repeat answered with error 1") << TestFrames::response(2, 0, 0, QByteArray::fromHex("00000055")) << 1u
            << QStringList({ "2/0/1", "63/11/2", "2/0/3", "63/55/2" });
        QTest::newRow("re-login refused: no repeat") << TestFrames::response(2, 12, 0) << 0u << QStringList({ "2/0/1", "63/11/2", "2/0/3" });
        QTest::newRow("re-login answered with a short frame") << TestFrames::shortFrame(3) << 0u << QStringList({ "2/0/1", "63/11/2", "2/0/3" });
        // Timed: the re-login gets no answer (2 x 2 s) and the request is not sent again.
        QTest::newRow("re-login unanswered") << QByteArray() << 0u << QStringList({ "2/0/1", "63/11/2", "2/0/3", "2/0/3" });
        // clang-format on
    }
    void scriptedRelogin()
    {
        QFETCH(QByteArray, loginAnswer);
        QFETCH(quint32, repeatCode);
        QFETCH(QStringList, frames);
        peer->setScript([=](int index, const QByteArray& request) {
            const quint16 seq = TestFrames::sequence(request);
            QByteArray answer = loginAnswer;
            if (answer.size() > 11)
                answer[9] = char(seq >> 8), answer[10] = char(seq & 0xFF), answer = TestFrames::withChecksum(answer.chopped(1));
            return ScriptedPeer::Answer { index == 0 ? TestFrames::response(2, 0, seq, QByteArray::fromHex("00000011"))
                                          : index == 1 ? TestFrames::response(63, 13, seq)
                                          : index == 2 ? answer : loginAnswer.isEmpty() ? QByteArray() : TestFrames::response(63, repeatCode, seq), {} };
        });
        QCOMPARE(client->OpenChannel(QStringLiteral("127.0.0.1"), peer->port), 0);
        QVERIFY(login(0, QStringLiteral("secret")));
        QTest::ignoreMessage(QtDebugMsg, "TTTTTTTTT:13\n"); // this type has no name
        if (repeatCode)
            QTest::ignoreMessage(QtDebugMsg, "63TTTTTTTTT111111:1\n");
        AcoGpioInfo info;
        QElapsedTimer timer;
        timer.start();
        QCOMPARE(client->GetAcoGpioInfo(info), -1);
        QVERIFY2((timer.elapsed() >= 3900) == loginAnswer.isEmpty() && timer.elapsed() < 5500, qPrintable(QString::number(timer.elapsed())));
        QVERIFY(info == AcoGpioInfo());
        const auto sent = this->frames(true);
        QCOMPARE(frameList(sent), frames);
        QCOMPARE(TestFrames::payload(sent.at(2)), auth("admin", "secret"));
    }

    void silenceAndCloseWakeTheCaller()
    {
        QVERIFY(login());
        sim->setAnswering(false);
        QElapsedTimer timer;
        timer.start();
        QCOMPARE(client->GetWorkMode(mode), -1);
        QVERIFY2(timer.elapsed() >= 3900 && timer.elapsed() < 5500, qPrintable(QString::number(timer.elapsed())));
        QTest::qWait(50);
        QCOMPARE(sim->receivedCount(3), 2); // the exchange's single resend, nothing more
        // Closing wakes a caller waiting for an answer at once, and the woken exchange sends nothing more.
        std::atomic<qint64> tookMs { 0 };
        std::thread caller([&] {
            QElapsedTimer timer;
            timer.start();
            tookMs = client->GetWorkMode(mode) == -1 ? timer.elapsed() : 9999;
        });
        QTRY_COMPARE_WITH_TIMEOUT(sim->receivedCount(3), 3, 2000);
        QTest::qWait(100);
        timer.restart();
        client->CloseChannel();
        QVERIFY2(timer.elapsed() < 1000, qPrintable(QString::number(timer.elapsed())));
        caller.join();
        QVERIFY2(tookMs < 1500, qPrintable(QString::number(tookMs)));
        QCOMPARE(sim->receivedCount(3), 3);
        sim->setAnswering(true);
        QCOMPARE(client->OpenChannel(QStringLiteral("127.0.0.1"), sim->port()) + client->GetWorkMode(mode), 0);
    }

    void fairMutexHandsOverInArrivalOrder()
    {
        // A thread that has just finished must not take the exchange lock again ahead of those already
        // waiting: each thread queues once the one before it waits, then takes the lock twice in a row.
        FairMutex mutex;
        std::mutex orderLock;
        std::vector<int> order;
        std::vector<std::thread> threads;
        mutex.lock();
        for (int id = 0; id < 3; ++id) {
            threads.emplace_back([&, id] {
                for (int round = 0; round < 2; ++round) {
                    std::lock_guard<FairMutex> guard(mutex);
                    std::lock_guard<std::mutex> record(orderLock);
                    order.push_back(id);
                }
            });
            QTRY_COMPARE_WITH_TIMEOUT(mutex.waiting(), id + 1, 5000);
        }
        mutex.unlock();
        for (std::thread& t : threads)
            t.join();
        // The first round goes strictly in arrival order.
        QCOMPARE(order.size(), size_t(6));
        QCOMPARE(std::vector<int>(order.begin(), order.begin() + 3), (std::vector<int> { 0, 1, 2 }));
    }

    void fourThreadsShareTheClient()
    {
        QVERIFY(login());
        sim->setLively(true, 200);
        previousHandler = qInstallMessageHandler([](QtMsgType type, const QMessageLogContext& context, const QString& text) {
            if (type != QtDebugMsg)
                previousHandler(type, context, text);
            else if (text.contains(QLatin1String("TTTTTTTTT:13")))
                ++relogins;
        });
        // The poller's cycle, the alive monitor, the remote monitor, and the user interface.
        const std::function<int(DiveVodNetClient&)> steps[4] = {
            [](DiveVodNetClient& c) { AcoGpioInfo i; quint8 a, b; quint32 p; return c.GetAcoGpioInfo(i) | c.GetShortPressKeyState(a, b, p) | c.GetPhaseAlignState(a); },
            [](DiveVodNetClient& c) { quint32 m; return c.GetWorkMode(m); },
            [](DiveVodNetClient& c) { QString a, b, c3[3], d3[3]; return c.GetRemoteDevice(a, b) | c.GetSlaveDevice(c3, d3); },
            [](DiveVodNetClient& c) { QString a, b, d; bool e; return c.GetVersion(a, b) | c.GetNetParam(a, b, d, e) | c.SetShortPressKeyState(0, 1, 0) | c.SetABKeyState(1); },
        };
        std::atomic<int> ok[4] {}, failed[4] {};
        std::atomic<qint64> longestMs[4] {};
        std::vector<std::thread> threads;
        // The callers go on until every forgotten login has been noticed, however slow a loaded machine is.
        std::atomic<bool> stop { false };
        const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(10000);
        for (int t = 0; t < 4; ++t)
            threads.emplace_back([&, t] {
                for (int i = 0; i < 20000 && !stop && std::chrono::steady_clock::now() < until; ++i) {
                    QElapsedTimer timer;
                    timer.start();
                    (steps[t](*client) == 0 ? ok[t] : failed[t])++;
                    longestMs[t] = std::max(longestMs[t].load(), timer.elapsed());
                }
            });
        const int forgotten = 6; // the device forgets the login now and then; every caller may trip over it
        for (int i = 0; i < forgotten; ++i)
            QTest::qWait(400), sim->forgetLogin();
        QElapsedTimer noticing;
        noticing.start();
        while (relogins < forgotten && noticing.elapsed() < 5000)
            QTest::qWait(50);
        stop = true;
        for (std::thread& t : threads)
            t.join();
        qInstallMessageHandler(previousHandler);
        // A caller fails only when another one's re-login overtook its own repeat; a login and its repetition
        // take two exchanges at most.
        QVERIFY(failed[0] + failed[1] + failed[2] + failed[3] <= relogins);
        for (int t = 0; t < 4; ++t)
            QVERIFY2(ok[t] > 0 && longestMs[t] < 4000, qPrintable(QString("caller %1: %2 ms").arg(t).arg(longestMs[t])));
        // Every request got a number of its own (a repeat reuses its request's), and every forgotten
        // login was noticed and repaired by at least one caller.
        QSet<quint16> sequences;
        for (const auto& frame : sim->received())
            sequences.insert(frame.sequence);
        QVERIFY2(relogins >= forgotten, qPrintable(QString::number(relogins)));
        QVERIFY(sim->received().size() - sequences.size() <= relogins);
        QCOMPARE(client->GetWorkMode(mode), 0);
    }
};

QTEST_GUILESS_MAIN(TestDiveVodNetClient)
#include "tst_DiveVodNetClient.moc"
