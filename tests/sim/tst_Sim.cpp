// The simulated device over loopback: its answers byte by byte, login rules, faults, partners and program.
#include "DeviceSimulator.h"
#include "TestFrames.h"

#include <QElapsedTimer>
#include <QNetworkDatagram>
#include <QProcess>
#include <QUdpSocket>
#include <QtTest>

#include <csignal>
#include <memory>

Q_DECLARE_METATYPE(DeviceSimulator::Fault)

namespace {

using Fault = DeviceSimulator::Fault;
using TestFrames::payload;
const QString Device = QStringLiteral("127.0.231.1"); // its "other host" is 127.0.231.2
const QString PartnerA = QStringLiteral("127.0.232.2"), PartnerB = QStringLiteral("127.0.232.3");
const QByteArray Hello = QByteArray::fromHex("000A010001000000000001F2"); // the success answer has the same bytes
const QByteArray PhaseAnswer = QByteArray::fromHex("000B01004700000000000501A6"); // GetPhaseAlignState, sequence 5
using TestFrames::response; // a request has an answer's layout
quint32 error(const QByteArray& a) { return a.size() >= 12 ? TestFrames::loginId(a) : 0xFFFFFFFFu; }
QByteArray hex(const QByteArray& a) { return a == "none" ? a : a.toHex().toUpper(); }

// A bare UDP socket, independent of the protocol library and the simulator's frame code; "none": no datagram.
struct SimWire
{
    QUdpSocket socket;
    QString to = Device;
    quint16 port = 0, seq = 100;

    bool send(const QByteArray& data, const QString& ip = {}, quint16 toPort = 0)
    {
        return socket.writeDatagram(data, QHostAddress(ip.isEmpty() ? to : ip), toPort ? toPort : port) == data.size();
    }
    // One datagram within ms; *from gets the sender as "address:port".
    QByteArray receive(int ms = 1000, QString* from = nullptr)
    {
        if (!socket.hasPendingDatagrams() && !socket.waitForReadyRead(ms))
            return "none";
        const QNetworkDatagram d = socket.receiveDatagram();
        if (from)
            *from = QHostAddress(d.senderAddress().toIPv4Address()).toString() + QLatin1Char(':') + QString::number(d.senderPort());
        return d.data();
    }
    QByteArray ask(const QByteArray& data, int ms = 1000, const QString& ip = {}, quint16 toPort = 0)
    {
        for (int i = 0; i < 100 && receive(0) != "none"; ++i) { } // stale answers
        return send(data, ip, toPort) ? receive(ms) : QByteArray("none");
    }
    QByteArray call(quint16 type, quint32 id, const QByteArray& payload = {}, int ms = 1000)
    {
        return ask(response(type, id, ++seq, payload), ms);
    }
    static QByteArray credentials(const QByteArray& user, const QByteArray& password)
    {
        return char(user.size()) + user + char(password.size()) + password;
    }
    quint32 login(const QByteArray& user = "admin", const QByteArray& password = "123456")
    {
        const QByteArray a = call(2, 0, credentials(user, password));
        return a.size() == 16 && error(a) == 0 ? TestFrames::loginId(a.mid(6)) : 0;
    }
};


// What the configuration requests change, as one comparable text.
QString configText(const SimDeviceState& s)
{
    return QStringList({ s.remoteAddress, s.remotePassword, s.slaveAddress[2], s.adminPassword, s.guestPassword,
                         QString::number(s.keyLock + 2 * s.autoMode + 4 * s.panelType + 1024 * s.keyMask),
                         QString::number(s.address) }).join(QLatin1Char('/'));
}

} // namespace

class tst_Sim : public QObject
{
    Q_OBJECT

    std::unique_ptr<DeviceSimulator> sim;
    std::unique_ptr<QProcess> program;
    SimWire wire;
    quint32 id = 0;
    QString output;

    QByteArray phase(quint16 sequence = 5) { return response(71, id, sequence); }
    bool waitForOutput(const QString& text)
    {
        QElapsedTimer timer;
        timer.start();
        while (!output.contains(text) && timer.elapsed() < 3000 && program->state() != QProcess::NotRunning)
            program->waitForReadyRead(50), output += QString::fromLocal8Bit(program->readAllStandardOutput());
        return (output += QString::fromLocal8Bit(program->readAllStandardOutput())).contains(text);
    }
    bool startProgram(const QStringList& arguments)
    {
        output.clear();
        program.reset(new QProcess);
        program->start(QStringLiteral(DIVEVOD_SIM_PROGRAM), QStringList({ "--bind", Device, "--port", "0" }) + arguments);
        const QString prefix = QStringLiteral("listening on 127.0.231.1:");
        wire.port = waitForOutput(prefix) ? quint16(output.section(prefix, 1).section(QLatin1Char(' '), 0, 0).toUInt()) : 0;
        return wire.port != 0;
    }

private slots:
    void init()
    {
        if (QByteArray(QTest::currentTestFunction()).startsWith("program"))
            return;
        sim.reset(new DeviceSimulator);
        QVERIFY(sim->start(Device, 0) && (wire.port = sim->port()) && (id = wire.login()));
    }
    void cleanup()
    {
        program.reset(), sim.reset(); // a QProcess kills its program when destroyed
    }

    void loginRules()
    {
        // The login asks for the work mode before it authenticates: an updating device is recognised first.
        for (int type : { 1, 3, 4, 5, 10, 23, 26, 62, 63, 65, 70, 71 }) {
            const quint32 refused = type == 1 || type == 3 ? 0u : 13u;
            const auto code = [&](quint32 login) { return error(wire.call(quint16(type), login)); };
            QVERIFY2(code(0) == refused && code(id + 1) == refused && code(id) == 0, QByteArray::number(type));
            sim->forgetLogin();
            QVERIFY2(code(id) == refused && code(0) == refused, QByteArray::number(type)); // no login valid
            QVERIFY((id = wire.login()) != 0);
        }
    }

    void authentication()
    {
        QCOMPARE(hex(wire.ask(response(2, 0, 7, SimWire::credentials("admin", "111111")))), QByteArray("000A0100020000000C0007DF"));
        QCOMPARE(sim->loginId(), id); // a refused login leaves the current one alone
        for (const auto& user : { SimWire::credentials("admin", "123456"), SimWire::credentials("guest", "111111") }) {
            const QByteArray answer = wire.ask(response(2, 0, 7, user));
            const quint32 next = TestFrames::loginId(answer.mid(6)); // a fresh id; the old one is stale from then on
            QCOMPARE(hex(answer), hex(response(2, 0, 7, answer.mid(11, 4))));
            QVERIFY(next != 0 && next != id && next == sim->loginId());
            QCOMPARE(error(wire.call(71, id)) * 100 + error(wire.call(71, next)), 1300u);
            id = next;
        }
    }

    void answers_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QByteArray>("request"); // payload, in hex
        QTest::addColumn<QByteArray>("answer"); // error code in hex, then the payload
        // clang-format off
        const std::pair<int, const char*> states[] = { {1, ""}, {3, "0100"},
            {5, "0000C3535158000004D2002A0000000000000000"}, {23, "00000003000000000101002E"},
            {26, "7F000001FF0000007F0000FE00"}, {62, "000100"}, {63, "0101000100090009000000"},
            {65, "0000000000"}, {70, "000000000000000000000000000000"}, {71, "01"} };
        for (const auto& s : states)
            QTest::addRow("type %d", s.first) << s.first << QByteArray() << QByteArray("00000000") + s.second;
        // Readings it keeps no state for: zero-filled in the listed sizes; settings acknowledged without payload.
        const std::pair<int, int> readings[] = { {10, 6}, {12, 64}, {13, 2}, {18, 2}, {28, 1}, {29, 25}, {30, 2},
            {32, 32}, {34, 2}, {36, 98}, {38, 4}, {39, 37}, {41, 11}, {43, 2}, {45, 1}, {47, 4}, {49, 2}, {51, 36},
            {54, 30}, {55, 32}, {57, 12}, {59, 8} };
        for (const auto& r : readings)
            QTest::addRow("reading %d", r.first) << r.first << QByteArray() << QByteArray(4 + r.second, '\0').toHex();
        for (int type : { 4, 7, 9, 11, 14, 15, 16, 17, 19, 20, 21, 22, 24, 31, 33, 35, 37, 40, 42, 44, 46, 48, 50, 52,
                          53, 56, 58 })
            QTest::addRow("setting %d", type) << type << QByteArray() << QByteArray("00000000");
        for (int type : { 0, 6, 8, 60, 66, 67, 68, 73, 65535 })
            QTest::addRow("unknown %d", type) << type << QByteArray() << QByteArray("0000000B");
        // Malformed (9) or well-formed but refused (1): neither drops the login nor applies anything.
        QTest::newRow("Hello with payload") << 1 << QByteArray("00") << QByteArray("00000009");
        QTest::newRow("SetNetParam 11 bytes") << 25 << QByteArray("C0A80164FFFFFF00C0A801") << QByteArray("00000009");
        QTest::newRow("SetSlaveDevice two entries") << 69 << QByteArray("7F000002007F00000300") << QByteArray("00000009");
        QTest::newRow("ModifyPassword unknown user") << 27 << QByteArray("04726F6F7403616263") << QByteArray("00000001");
        QTest::newRow("SetABKeyState bit 6") << 72 << QByteArray("40") << QByteArray("00000001");
        // clang-format on
    }
    void answers()
    {
        QFETCH(int, type);
        QFETCH(QByteArray, request);
        QFETCH(QByteArray, answer);
        const QByteArray body = QByteArray::fromHex(answer);
        const QString before = configText(sim->state());
        QCOMPARE(hex(wire.ask(response(quint16(type), id, 0xFFFF, QByteArray::fromHex(request)))),
                 hex(response(quint16(type), TestFrames::loginId(QByteArray(5, '\0') + body), 0xFFFF, body.mid(4))));
        QCOMPARE(configText(sim->state()) + QString::number(sim->loginId()), before + QString::number(id));
    }

    void settingsAreKept_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QByteArray>("payload");
        QTest::addColumn<int>("readType"); // the request that reads it back; 0: a password, read back by the login
        QTest::addColumn<QByteArray>("readBack"); // when it differs from the payload
        // clang-format off
        QTest::newRow("any nonzero flag byte") << 61 << QByteArray("050702") << 62 << QByteArray("010102");
        QTest::newRow("remote device, UTF-8") << 64 << QByteArray("0A00000206E4B8ADE69687") << 65 << QByteArray();
        QTest::newRow("slave devices") << 69 << QByteArray("7F000003033132330000000000" "7F000005053132333435") << 70 << QByteArray();
        QTest::newRow("network, no longer default") << 25 << QByteArray("C0A80164FFFFFF00C0A80101") << 26 << QByteArray("C0A80164FFFFFF00C0A8010100");
        QTest::newRow("admin password") << 27 << QByteArray("0561646D696E06363534333231") << 0 << QByteArray();
        QTest::newRow("guest password") << 27 << QByteArray("05677565737403616263") << 0 << QByteArray();
        // clang-format on
    }
    void settingsAreKept()
    {
        QFETCH(int, type);
        QFETCH(QByteArray, payload);
        QFETCH(int, readType);
        QFETCH(QByteArray, readBack);
        const QByteArray bytes = QByteArray::fromHex(payload);
        sim->modify([](SimDeviceState& s) { s.isDefault = true; });
        QCOMPARE(error(wire.call(quint16(type), id, bytes)), 0u);
        sim->forgetLogin(); // kept beyond the login that wrote it
        const quint32 next = readType ? wire.login() : wire.login(bytes.mid(1, 5), bytes.mid(7));
        QVERIFY(next != 0);
        if (readType)
            QCOMPARE(hex(TestFrames::payload(wire.call(quint16(readType), next))), readBack.isEmpty() ? payload : readBack);
    }

    void keyPressesAndUpdateMode()
    {
        for (const char* step : { "020B", "0209", "0108", "2028" }) { // pressed key bit, key mask afterwards
            const QByteArray b = QByteArray::fromHex(step);
            QCOMPARE(error(wire.call(72, id, b.left(1))), 0u);
            QCOMPARE(payload(wire.call(63, id)).at(7), b.at(1));
        }
        sim->modify([](SimDeviceState& s) { s.workMode = 3; });
        sim->setUpdateMode(true);
        sim->setUpdateMode(true); // twice on still remembers the mode to return to
        QCOMPARE(payload(wire.call(3, 0)).toHex(), QByteArray("0000"));
        sim->setUpdateMode(false);
        QCOMPARE(payload(wire.call(3, 0)).toHex(), QByteArray("0300"));
        for (const char* address : { "192.168.1.100", "0.0.0.0", "localhost", "127.1" }) // loopback only
            QVERIFY2(!DeviceSimulator().start(QLatin1String(address)) && !sim->addPartner(QLatin1String(address), 0), address);
    }

    void faults_data()
    {
        QTest::addColumn<Fault>("fault");
        QTest::addColumn<QByteArray>("answer"); // hex (of 1100 bytes, the first 11 when oversize); "none"
        // clang-format off
        QTest::newRow("silent: the request is lost") << Fault::Silent << QByteArray("none");
        QTest::newRow("error code: refused") << Fault::ErrorCode << QByteArray("000A010048000000010009A2");
        QTest::newRow("wrong checksum") << Fault::WrongChecksum << QByteArray("000A010048000000000009A4");
        QTest::newRow("wrong sequence") << Fault::WrongSequence << QByteArray("000A01004800000000000AA2");
        QTest::newRow("oversize") << Fault::Oversize << QByteArray("044A010048000000000009");
        QTest::newRow("empty") << Fault::Empty << QByteArray();
        // Length 9, zero error bytes, the sequence's high byte and a byte for the sum: valid but short.
        QTest::newRow("short frame") << Fault::ShortFrame << QByteArray("00090100480000000000AD");
        QTest::newRow("twice: acts once, answers twice") << Fault::Twice << QByteArray("000A010048000000000009A3");
        // clang-format on
    }
    void faults()
    {
        QFETCH(Fault, fault);
        QFETCH(QByteArray, answer);
        sim->setFault(fault); // error code 1
        const QByteArray got = wire.ask(response(72, id, 9, QByteArray::fromHex("02")));
        QCOMPARE(hex(fault == Fault::Oversize ? got.left(11) : got), answer);
        QVERIFY(fault != Fault::Oversize || got.size() == 1100);
        QCOMPARE(wire.receive(300), fault == Fault::Twice ? got : QByteArray("none"));
        QCOMPARE(sim->state().keyMask, quint8(fault == Fault::Silent || fault == Fault::ErrorCode ? 0x09 : 0x0B));
        QCOMPARE(wire.ask(phase()), PhaseAnswer); // the fault is used up
    }

    void faultCountAndType()
    {
        const QByteArray healthy[2] = { wire.ask(response(5, id, 1)), wire.ask(response(23, id, 1)) };
        sim->setFault(Fault::Empty, 2, 0, 23);
        // A frame the device drops (here for its checksum) does not use up the fault.
        QCOMPARE(wire.ask(response(23, id, 1).append('\1'), 100), QByteArray("none"));
        QString got; // 1: healthy
        for (int i = 0; i < 6; ++i)
            got += wire.ask(response(i % 2 ? 23 : 5, id, 1)) == healthy[i % 2] ? '1' : '0';
        QCOMPARE(got, QStringLiteral("101011"));
    }

    void timing()
    {
        // Other host: the next answer comes from the address beside the device's.
        sim->setFault(Fault::FromOtherHost);
        QString from;
        QVERIFY(wire.send(phase()));
        QCOMPARE(wire.receive(1000, &from), PhaseAnswer);
        QVERIFY2(from.startsWith(QLatin1String("127.0.231.2:")), qPrintable(from));
        // Late: a Hello waits 1000 ms; the late answer comes 500 ms after that, behind the next request's answer.
        sim->setFault(Fault::Late);
        QElapsedTimer timer;
        timer.start();
        QCOMPARE(wire.ask(response(1, 0, 5)), QByteArray("none"));
        QVERIFY(wire.send(response(1, 0, 6)));
        const QByteArray first = wire.receive();
        QCOMPARE(first + wire.receive(), response(1, 0, 6) + response(1, 0, 5));
        QVERIFY2(timer.elapsed() >= 1450, qPrintable(QString::number(timer.elapsed())));
        // Delay: every answer waits, in order.
        sim->setReplyDelay(150);
        sim->setFault(Fault::WrongSequence);
        timer.restart();
        QVERIFY(wire.send(phase(5)) && wire.send(phase(7)));
        const QByteArray delayed = wire.receive();
        QCOMPARE(TestFrames::sequence(delayed) * 100 + TestFrames::sequence(wire.receive()), 607);
        QVERIFY(timer.elapsed() >= 140);
    }

    void dropForgetAndFlap()
    {
        QString answered[2]; // "1" for an answer; the same seed loses the same answers
        for (QString& got : answered) {
            sim->setDropShare(0.5, 7);
            for (int i = 0; i < 30; ++i)
                got += wire.ask(Hello, 50) == Hello ? '1' : '0';
        }
        QVERIFY2(answered[0].count('1') >= 5 && answered[0].count('1') <= 25 && answered[1] == answered[0], qPrintable(answered[1]));
        sim->setDropShare(1); // lost on the way back: the device has acted
        QCOMPARE(wire.ask(response(72, id, 9, QByteArray::fromHex("02")), 300), QByteArray("none"));
        QCOMPARE(sim->state().keyMask, quint8(0x0B));
        sim->setDropShare(0);

        sim->setForgetEvery(3);
        QString seen; // L: logged in again after a refusal
        for (int i = 0; i < 6; ++i) {
            const quint32 code = error(wire.call(71, id));
            seen += QString::number(code) + (code == 13 && (id = wire.login()) ? " L " : " ");
        }
        QCOMPARE(seen, QStringLiteral("0 0 13 L 0 13 L 0 "));

        // Flapping in turns of 250 ms, silent first (a partner flaps the same way): asks in mid-turn.
        QElapsedTimer timer;
        sim->setFlapping(250, 250);
        timer.start();
        QString turns;
        for (int turn = 0; turn < 4; ++turn) {
            QThread::msleep(ulong(qMax<qint64>(0, turn * 250 + 100 - timer.elapsed())));
            turns += wire.ask(Hello, 50) == Hello ? '1' : '0';
        }
        QCOMPARE(turns, QStringLiteral("0101"));
        sim->setFlapping(0, 0);
        QCOMPARE(wire.ask(Hello), Hello);
    }

    void partners()
    {
        sim->stop();
        QVERIFY(sim->addPartner(PartnerA) && sim->addPartner(PartnerB, 33903) && !sim->addPartner(PartnerA));
        for (const QString& partner : { PartnerA, PartnerB }) { // from its own address and port, device down
            QString from;
            QVERIFY(wire.send(response(1, 0, 0xBEEF), partner, 33903));
            QCOMPARE(wire.receive(1000, &from), response(1, 0, 0xBEEF));
            QCOMPARE(from, partner + QLatin1String(":33903"));
        }
        // Independent of the device's faults, and its Hellos never reach the device's log.
        QVERIFY(sim->start(Device, 0));
        sim->setAnswering(false);
        sim->setFault(Fault::Silent, 5);
        QCOMPARE(wire.ask(Hello, 1000, PartnerA, 33903), Hello);
        QCOMPARE(sim->receivedCount(1), 0);
        sim->setPartnerAnswering(PartnerA, false);
        QVERIFY(!sim->isPartnerAnswering(PartnerA) && sim->isPartnerAnswering(PartnerB));
        QCOMPARE(wire.ask(Hello, 300, PartnerA, 33903) + wire.ask(Hello, 1000, PartnerB, 33903), "none" + Hello);
        QCOMPARE(sim->partnerHelloCount(PartnerA), 3); // heard, answered or not
        sim->setPartnerAnswering(PartnerA, true); // other types are refused
        QCOMPARE(hex(wire.ask(QByteArray::fromHex("000A010003000000000002EF"), 1000, PartnerA, 33903)), "000A0100030000000B0002E4");
    }

    void programCommands_data()
    {
        QTest::addColumn<QString>("arguments");
        QTest::addColumn<QString>("commands"); // separated by ";", each answered "ok ..."
        QTest::addColumn<int>("type"); // then asked of the device; 0: none
        QTest::addColumn<QString>("outcome"); // "none", "error N", the payload in hex; for type 0 the last reply
        // clang-format off
        QTest::newRow("--panel") << "--panel 4x1" << "" << 62 << "000101";
        QTest::newRow("--admin-password") << "--admin-password 222222" << "" << 63 << "error 13";
        QTest::newRow("--partner: main and slave 1") << "--partner 127.0.232.2 --partner 127.0.232.3:silent" << "" << 70
                                                     << "7f00e803063132333435360000000000" "0000000000";
        QTest::newRow("set status") << "" << "set ps2Led 0;set localLed 2;set remoteLed 2;set panelType 4x1;set green 0x3f;"
                                           "set red 3;set keyMask 0x20;set ipReset 1;set upgrade 1;set remCtrl 1" << 63 << "01000202013f0320010101";
        QTest::newRow("silent") << "" << "silent" << 1 << "none";
        QTest::newRow("update mode") << "" << "update on" << 3 << "0000";
        QTest::newRow("forget every") << "" << "forget every 1" << 71 << "error 13";
        QTest::newRow("fault to one type") << "" << "fault error 1 5 type 71" << 71 << "error 5";
        QTest::newRow("delay") << "" << "delay 2000" << 1 << "none";
        QTest::newRow("drop") << "" << "drop 100" << 1 << "none";
        QTest::newRow("bad value") << "" << "set keyLock maybe" << 0 << "error: bad value for keyLock";
        // clang-format on
    }
    void programCommands()
    {
        QFETCH(QString, arguments);
        QFETCH(QString, commands);
        QFETCH(int, type);
        QFETCH(QString, outcome);
        QVERIFY(startProgram(arguments.split(QLatin1Char(' '), Qt::SkipEmptyParts)));
        const quint32 id = wire.login();
        const QStringList lines = commands.split(QLatin1Char(';'), Qt::SkipEmptyParts);
        for (const QString& line : lines) {
            output.clear();
            program->write((line + QLatin1Char('\n')).toLocal8Bit());
            QVERIFY2(waitForOutput(type || &line != &lines.last() ? QStringLiteral("ok ") : outcome), qPrintable(output));
        }
        const QByteArray a = wire.call(quint16(type), id, {}, 300);
        if (type)
            QCOMPARE(a == "none" ? QStringLiteral("none") : error(a) ? QStringLiteral("error %1").arg(error(a))
                                                                      : QString::fromLatin1(payload(a).toHex()), outcome);
    }

    void programEnds()
    {
        QVERIFY(startProgram({ "--no-stdin" }));
        QProcess second; // cannot take the same port
        second.start(QStringLiteral(DIVEVOD_SIM_PROGRAM), { "--bind", Device, "--port", QString::number(wire.port), "--no-stdin" });
        QVERIFY(second.waitForFinished(5000) && second.exitCode() == 1);
        QVERIFY(QString::fromLocal8Bit(second.readAllStandardError()).contains(QStringLiteral("cannot answer on")));
        program->closeWriteChannel();
        QVERIFY(!program->waitForFinished(300)); // --no-stdin: runs on without input, until a signal
        QCOMPARE(::kill(pid_t(program->processId()), SIGTERM), 0);
        QVERIFY(waitForOutput(QStringLiteral("signal received")));
        QVERIFY(program->waitForFinished(3000) && program->exitStatus() == QProcess::NormalExit && program->exitCode() == 0);
    }
};

QTEST_GUILESS_MAIN(tst_Sim)
#include "tst_Sim.moc"
