// The simulator's deliberate misbehaviour: each fault does what it says, for as many answers as asked.
#include "DeviceSimulator.h"
#include "RawUdpClient.h"

#include <QtTest>

#include <memory>

Q_DECLARE_METATYPE(DeviceSimulator::Fault)

namespace {

// A loopback net of this test's own, so that the "other host" next to it is ours too.
const QString DeviceAddress = QStringLiteral("127.0.231.1");
const QByteArray AdminLogin = QByteArray::fromHex("0561646D696E06313233343536");

// The healthy answer to GetPhaseAlignState with sequence 5 (phase align 1).
const QByteArray PhaseAlignAnswer = QByteArray::fromHex("000B01004700000000000501A6");

constexpr auto u32At = &RawUdpClient::u32At;

} // namespace

class tst_SimFaults : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<DeviceSimulator> sim;
    std::unique_ptr<RawUdpClient> client;
    quint32 loginId = 0;

    bool send(const QByteArray& frame) { return client->send(frame, DeviceAddress, sim->port()); }

    QByteArray ask(const QByteArray& frame, bool* answered, int timeoutMs = 1000, QString* from = nullptr)
    {
        *answered = false;
        QByteArray answer;
        if (send(frame))
            *answered = client->receive(&answer, timeoutMs, from);
        return answer;
    }

    QByteArray phaseAlign(quint16 sequence = 5) { return RawUdpClient::request(71, loginId, sequence); }

private slots:
    void init()
    {
        sim.reset(new DeviceSimulator);
        QVERIFY(sim->start(DeviceAddress, 0));
        client.reset(new RawUdpClient(QStringLiteral("127.0.0.1")));
        QVERIFY(client->isValid());
        bool answered = false;
        const QByteArray answer = ask(RawUdpClient::request(2, 0, 1, AdminLogin), &answered);
        QVERIFY(answered);
        QCOMPARE(answer.size(), 16);
        loginId = u32At(answer, 11);
        QVERIFY(loginId != 0);
    }

    void cleanup()
    {
        client.reset();
        sim.reset();
    }

    void silent()
    {
        sim->setFault(DeviceSimulator::Fault::Silent);
        bool answered = true;
        ask(phaseAlign(), &answered, 300);
        QVERIFY(!answered);
        QCOMPARE(sim->receivedCount(71), 1); // it did arrive
        QCOMPARE(ask(phaseAlign(), &answered), PhaseAlignAnswer);
    }

    void silentDropsTheRequest()
    {
        sim->setFault(DeviceSimulator::Fault::Silent);
        bool answered = true;
        ask(RawUdpClient::request(72, loginId, 9, QByteArray::fromHex("02")), &answered, 300);
        QVERIFY(!answered);
        QCOMPARE(sim->state().keyMask, quint8(0x09));
    }

    void wrongChecksum()
    {
        sim->setFault(DeviceSimulator::Fault::WrongChecksum);
        bool answered = false;
        const QByteArray answer = ask(phaseAlign(), &answered);
        QVERIFY(answered);
        QCOMPARE(answer.size(), PhaseAlignAnswer.size());
        QCOMPARE(answer.left(answer.size() - 1), PhaseAlignAnswer.left(PhaseAlignAnswer.size() - 1));
        QCOMPARE(quint8(answer.back()), quint8(quint8(PhaseAlignAnswer.back()) + 1));
        QCOMPARE(RawUdpClient::byteSum(answer), quint8(0x00));
    }

    void wrongChecksumStillActs()
    {
        // The device acted; only its answer was spoilt on the way.
        sim->setFault(DeviceSimulator::Fault::WrongChecksum);
        bool answered = false;
        ask(RawUdpClient::request(72, loginId, 9, QByteArray::fromHex("02")), &answered);
        QVERIFY(answered);
        QCOMPARE(sim->state().keyMask, quint8(0x0B));
    }

    void wrongSequence_data()
    {
        QTest::addColumn<int>("sequence");
        QTest::addColumn<QByteArray>("answer");
        QTest::newRow("5 becomes 6") << 5 << QByteArray("000B01004700000000000601A5");
        QTest::newRow("65535 wraps to 0") << 65535 << QByteArray("000B01004700000000000001AB");
    }

    void wrongSequence()
    {
        QFETCH(int, sequence);
        QFETCH(QByteArray, answer);
        sim->setFault(DeviceSimulator::Fault::WrongSequence);
        bool answered = false;
        QCOMPARE(ask(phaseAlign(quint16(sequence)), &answered).toHex().toUpper(), answer);
    }

    void oversize()
    {
        sim->setFault(DeviceSimulator::Fault::Oversize);
        bool answered = false;
        const QByteArray answer = ask(phaseAlign(), &answered);
        QVERIFY(answered);
        QCOMPARE(answer.size(), 1100);
        QCOMPARE(answer.left(12).toHex().toUpper(), QByteArray("044A01004700000000000501"));
        QCOMPARE(RawUdpClient::byteSum(answer), quint8(0xFF));
    }

    void empty()
    {
        sim->setFault(DeviceSimulator::Fault::Empty);
        bool answered = false;
        const QByteArray answer = ask(phaseAlign(), &answered);
        QVERIFY(answered);
        QCOMPARE(answer.size(), 0);
    }

    void shortFrame()
    {
        sim->setFault(DeviceSimulator::Fault::ShortFrame);
        bool answered = false;
        const QByteArray answer = ask(phaseAlign(), &answered);
        QVERIFY(answered);
        // Length 9, version 1, type 71, zero error bytes, sequence high byte, closing byte for the sum.
        QCOMPARE(answer.toHex().toUpper(),
                 QByteArray("000901004700000000"
                            "00AE"));
        QCOMPARE(RawUdpClient::byteSum(answer), quint8(0xFF));
    }

    void errorCode_data()
    {
        QTest::addColumn<quint32>("code");
        QTest::addColumn<QByteArray>("answer");
        QTest::newRow("1 Failed") << 1u << QByteArray("000A010047000000010005A7");
        QTest::newRow("12") << 12u << QByteArray("000A0100470000000C00059C");
        QTest::newRow("13") << 13u << QByteArray("000A0100470000000D00059B");
        QTest::newRow("big") << 0x01020304u << QByteArray("000A0100470102030400059E");
    }

    void errorCode()
    {
        QFETCH(quint32, code);
        QFETCH(QByteArray, answer);
        sim->setFault(DeviceSimulator::Fault::ErrorCode, 1, code);
        bool answered = false;
        QCOMPARE(ask(phaseAlign(), &answered).toHex().toUpper(), answer);
    }

    void errorCodeRefusesTheRequest()
    {
        sim->setFault(DeviceSimulator::Fault::ErrorCode, 1, 1);
        bool answered = false;
        ask(RawUdpClient::request(72, loginId, 9, QByteArray::fromHex("02")), &answered);
        QVERIFY(answered);
        QCOMPARE(sim->state().keyMask, quint8(0x09));
    }

    void fromOtherHost()
    {
        QCOMPARE(sim->otherHostAddress(), QStringLiteral("127.0.231.2"));
        sim->setFault(DeviceSimulator::Fault::FromOtherHost);
        bool answered = false;
        QString from;
        QCOMPARE(ask(phaseAlign(), &answered, 1000, &from), PhaseAlignAnswer);
        QCOMPARE(from, QStringLiteral("127.0.231.2"));
        ask(phaseAlign(), &answered, 1000, &from);
        QVERIFY(answered);
        QCOMPARE(from, DeviceAddress);
    }

    void countAndReset_data()
    {
        QTest::addColumn<DeviceSimulator::Fault>("fault");
        QTest::addColumn<int>("count");
        QTest::newRow("wrong checksum x1") << DeviceSimulator::Fault::WrongChecksum << 1;
        QTest::newRow("wrong checksum x3") << DeviceSimulator::Fault::WrongChecksum << 3;
        QTest::newRow("silent x2") << DeviceSimulator::Fault::Silent << 2;
        QTest::newRow("error x2") << DeviceSimulator::Fault::ErrorCode << 2;
        QTest::newRow("empty x2") << DeviceSimulator::Fault::Empty << 2;
        QTest::newRow("none") << DeviceSimulator::Fault::None << 5;
        QTest::newRow("count 0") << DeviceSimulator::Fault::Silent << 0;
    }

    void countAndReset()
    {
        QFETCH(DeviceSimulator::Fault, fault);
        QFETCH(int, count);
        sim->setFault(fault, count, 1);
        const int faulty = fault == DeviceSimulator::Fault::None ? 0 : count;
        for (int i = 0; i < faulty + 2; ++i) {
            bool answered = false;
            const QByteArray answer = ask(phaseAlign(), &answered, 300);
            if (i < faulty)
                QVERIFY2(!answered || answer != PhaseAlignAnswer, qPrintable(QStringLiteral("answer %1").arg(i)));
            else
                QCOMPARE(answer, PhaseAlignAnswer);
        }
    }

    void setFaultNoneCancels()
    {
        sim->setFault(DeviceSimulator::Fault::Silent, 10);
        sim->setFault(DeviceSimulator::Fault::None);
        bool answered = false;
        QCOMPARE(ask(phaseAlign(), &answered), PhaseAlignAnswer);
    }

    void droppedFramesUseNoFault()
    {
        // A frame the device drops (bad checksum, or while not answering) does not use up the fault.
        sim->setFault(DeviceSimulator::Fault::ErrorCode, 1, 1);
        QByteArray bad = phaseAlign();
        bad[bad.size() - 1] = char(bad.back() + 1);
        bool answered = true;
        ask(bad, &answered, 300);
        QVERIFY(!answered);
        sim->setAnswering(false);
        ask(phaseAlign(), &answered, 300);
        QVERIFY(!answered);
        sim->setAnswering(true);
        QCOMPARE(ask(phaseAlign(), &answered).toHex().toUpper(), QByteArray("000A010047000000010005A7"));
        QCOMPARE(ask(phaseAlign(), &answered), PhaseAlignAnswer);
    }

    void faultWithDelayKeepsOrder()
    {
        sim->setReplyDelay(100);
        sim->setFault(DeviceSimulator::Fault::WrongSequence, 1);
        QVERIFY(send(phaseAlign(5)));
        QVERIFY(send(phaseAlign(7)));
        QByteArray first, second;
        QVERIFY(client->receive(&first, 1000));
        QVERIFY(client->receive(&second, 1000));
        QCOMPARE(first.mid(9, 2).toHex(), QByteArray("0006"));
        QCOMPARE(second.mid(9, 2).toHex(), QByteArray("0007"));
    }
};

QTEST_GUILESS_MAIN(tst_SimFaults)
#include "tst_SimFaults.moc"
