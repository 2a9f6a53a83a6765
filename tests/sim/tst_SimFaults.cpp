// The simulator's deliberate misbehaviour: each fault does what it says, for as many answers as asked;
// and its partner responders, "Hello" on port 33903 of further loopback addresses.
#include "SimLink.h"

#include <QSet>
#include <QtTest>

#include <memory>

Q_DECLARE_METATYPE(DeviceSimulator::Fault)

namespace {

using Fault = DeviceSimulator::Fault;

// A loopback net of this test's own, so that the "other host" next to it is ours too.
const QString DeviceAddress = QStringLiteral("127.0.231.1");

// Port 33903 is fixed, so partners keep to a loopback net of this test's own.
const QString PartnerA = QStringLiteral("127.0.232.2");
const QString PartnerB = QStringLiteral("127.0.232.3");
const quint16 PartnerPort = 33903;
const QByteArray Hello = QByteArray::fromHex("000A010001000000000001F2"); // a success answer has the same bytes

// The healthy answer to GetPhaseAlignState with sequence 5 (phase align 1).
const QByteArray PhaseAlignAnswer = QByteArray::fromHex("000B01004700000000000501A6");

} // namespace

class tst_SimFaults : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<SimLink> link;
    quint32 loginId = 0;

    DeviceSimulator& sim() { return link->sim; }
    QByteArray phaseAlign(quint16 sequence = 5) { return RawUdpClient::request(71, loginId, sequence); }
    QByteArray ask(const QByteArray& frame, bool* answered = nullptr, int timeoutMs = 1000)
    {
        return link->ask(frame, answered, timeoutMs);
    }
    QByteArray receive(int timeoutMs, QString* from = nullptr)
    {
        QByteArray answer;
        return link->client.receive(&answer, timeoutMs, from) ? answer : QByteArray("none");
    }

    // The answer to one datagram sent to a partner; "none" when none came.
    QByteArray probe(const QString& address, const QByteArray& request = Hello, int timeoutMs = 1000,
                     QString* from = nullptr, quint16* fromPort = nullptr)
    {
        QByteArray answer;
        link->client.drain();
        if (!link->client.send(request, address, PartnerPort)
            || !link->client.receive(&answer, timeoutMs, from, fromPort))
            return QByteArray("none");
        return answer;
    }

    bool addPartners() { return sim().addPartner(PartnerA) && sim().addPartner(PartnerB, PartnerPort); }

private slots:
    void init()
    {
        link.reset(new SimLink(DeviceAddress));
        QVERIFY(link->start());
        loginId = link->client.login();
        QVERIFY(loginId != 0);
    }

    void cleanup() { link.reset(); }

    void spoiltAnswers_data()
    {
        QTest::addColumn<Fault>("fault");
        QTest::addColumn<quint32>("code");
        QTest::addColumn<int>("sequence");
        QTest::addColumn<QByteArray>("answer"); // hex, the first bytes when the answer is longer
        QTest::addColumn<int>("size");
        // clang-format off
        QTest::newRow("wrong checksum") << Fault::WrongChecksum << 0u << 5 << QByteArray("000B01004700000000000501A7") << 13;
        QTest::newRow("wrong sequence") << Fault::WrongSequence << 0u << 5 << QByteArray("000B01004700000000000601A5") << 13;
        QTest::newRow("wrong sequence wraps") << Fault::WrongSequence << 0u << 65535 << QByteArray("000B01004700000000000001AB") << 13;
        QTest::newRow("oversize") << Fault::Oversize << 0u << 5 << QByteArray("044A01004700000000000501") << 1100;
        QTest::newRow("empty") << Fault::Empty << 0u << 5 << QByteArray() << 0;
        // Length 9, zero error bytes, the sequence's high byte and a byte for the sum: valid but short.
        QTest::newRow("short frame") << Fault::ShortFrame << 0u << 5 << QByteArray("00090100470000000000AE") << 11;
        QTest::newRow("error 1") << Fault::ErrorCode << 1u << 5 << QByteArray("000A010047000000010005A7") << 12;
        QTest::newRow("error 12") << Fault::ErrorCode << 12u << 5 << QByteArray("000A0100470000000C00059C") << 12;
        QTest::newRow("error big") << Fault::ErrorCode << 0x01020304u << 5 << QByteArray("000A0100470102030400059E") << 12;
        // clang-format on
    }

    void spoiltAnswers()
    {
        QFETCH(Fault, fault);
        QFETCH(quint32, code);
        QFETCH(int, sequence);
        QFETCH(QByteArray, answer);
        QFETCH(int, size);
        sim().setFault(fault, 1, code);
        bool answered = false;
        const QByteArray got = ask(phaseAlign(quint16(sequence)), &answered);
        QVERIFY(answered);
        QCOMPARE(got.size(), size);
        QCOMPARE(got.left(answer.size() / 2).toHex().toUpper(), answer);
        if (fault == Fault::Oversize)
            QCOMPARE(RawUdpClient::byteSum(got), quint8(0xFF));
        QCOMPARE(ask(phaseAlign()), PhaseAlignAnswer); // one answer only
    }

    void whetherTheDeviceActs_data()
    {
        QTest::addColumn<Fault>("fault");
        QTest::addColumn<double>("dropShare");
        QTest::addColumn<bool>("answering");
        QTest::addColumn<int>("answers");
        QTest::addColumn<bool>("acts");
        // clang-format off
        QTest::newRow("not answering: the request is lost") << Fault::None << 0.0 << false << 0 << false;
        QTest::newRow("silent: the request is lost") << Fault::Silent << 0.0 << true << 0 << false;
        QTest::newRow("error code: refused") << Fault::ErrorCode << 0.0 << true << 1 << false;
        QTest::newRow("wrong checksum: spoilt on the way") << Fault::WrongChecksum << 0.0 << true << 1 << true;
        QTest::newRow("twice: acts once, answers twice") << Fault::Twice << 0.0 << true << 2 << true;
        QTest::newRow("dropped answer") << Fault::None << 1.0 << true << 0 << true;
        // clang-format on
    }

    void whetherTheDeviceActs()
    {
        QFETCH(Fault, fault);
        QFETCH(double, dropShare);
        QFETCH(bool, answering);
        QFETCH(int, answers);
        QFETCH(bool, acts);
        sim().setFault(fault);
        sim().setDropShare(dropShare);
        sim().setAnswering(answering);
        const QByteArray press = RawUdpClient::request(72, loginId, 9, QByteArray::fromHex("02"));
        QVERIFY(link->send(press));
        QByteArray first;
        for (int i = 0; i < answers; ++i) {
            const QByteArray got = receive(1000);
            QCOMPARE(got.mid(3, 2).toHex(), QByteArray("0048"));
            QVERIFY(first.isEmpty() || got == first);
            first = got;
        }
        QCOMPARE(receive(300), QByteArray("none"));
        QCOMPARE(sim().state().keyMask, quint8(acts ? 0x0B : 0x09));
        QCOMPARE(sim().receivedCount(72), 1);
    }

    void countAndType_data()
    {
        QTest::addColumn<Fault>("fault");
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("type");
        // clang-format off
        QTest::newRow("wrong checksum x1") << Fault::WrongChecksum << 1 << DeviceSimulator::AnyType;
        QTest::newRow("wrong checksum x3") << Fault::WrongChecksum << 3 << DeviceSimulator::AnyType;
        QTest::newRow("silent x2") << Fault::Silent << 2 << DeviceSimulator::AnyType;
        QTest::newRow("none") << Fault::None << 5 << DeviceSimulator::AnyType;
        QTest::newRow("count 0") << Fault::Silent << 0 << DeviceSimulator::AnyType;
        // Product information answered, the version refused: what dialog tests ask for.
        QTest::newRow("error x1 to GetVersion only") << Fault::ErrorCode << 1 << 23;
        QTest::newRow("empty x2 to GetProductInfo only") << Fault::Empty << 2 << 5;
        // clang-format on
    }

    void countAndType()
    {
        QFETCH(Fault, fault);
        QFETCH(int, count);
        QFETCH(int, type);
        const QByteArray healthy5 = ask(RawUdpClient::request(5, loginId, 1));
        const QByteArray healthy23 = ask(RawUdpClient::request(23, loginId, 1));
        sim().setFault(fault, count, 13, type);
        int spoilt = fault == Fault::None ? 0 : count;
        for (int i = 0; i < 2 * (count + 2); ++i) {
            const quint16 askType = i % 2 ? 23 : 5;
            bool answered = false;
            const QByteArray answer = ask(RawUdpClient::request(askType, loginId, 1), &answered, 300);
            const bool expectSpoilt = spoilt > 0 && (type == DeviceSimulator::AnyType || type == askType);
            if (expectSpoilt) {
                --spoilt;
                QVERIFY2(!answered || answer != (askType == 5 ? healthy5 : healthy23), qPrintable(QString::number(i)));
            } else {
                QCOMPARE(answer, askType == 5 ? healthy5 : healthy23);
            }
        }
        QCOMPARE(spoilt, 0);
    }

    void droppedFramesUseNoFault()
    {
        // A frame the device drops (bad checksum, or while not answering) does not use up the fault.
        sim().setFault(Fault::ErrorCode, 1, 1);
        QByteArray bad = phaseAlign();
        bad[bad.size() - 1] = char(bad.back() + 1);
        bool answered = true;
        ask(bad, &answered, 300);
        QVERIFY(!answered);
        sim().setAnswering(false);
        ask(phaseAlign(), &answered, 300);
        QVERIFY(!answered);
        sim().setAnswering(true);
        QCOMPARE(ask(phaseAlign()).toHex().toUpper(), QByteArray("000A010047000000010005A7"));
        QCOMPARE(ask(phaseAlign()), PhaseAlignAnswer);
    }

    void fromOtherHost()
    {
        QCOMPARE(sim().otherHostAddress(), QStringLiteral("127.0.231.2"));
        sim().setFault(Fault::FromOtherHost);
        QString from;
        QVERIFY(link->send(phaseAlign()));
        QCOMPARE(receive(1000, &from), PhaseAlignAnswer);
        QCOMPARE(from, QStringLiteral("127.0.231.2"));
        QVERIFY(link->send(phaseAlign()));
        QCOMPARE(receive(1000, &from), PhaseAlignAnswer);
        QCOMPARE(from, DeviceAddress);
    }

    void lateAnswerMeetsTheNextRequest()
    {
        // A Hello waits 1000 ms; the late answer comes 500 ms after that, behind the next request's answer.
        sim().setFault(Fault::Late);
        QElapsedTimer timer;
        timer.start();
        QVERIFY(link->send(RawUdpClient::request(1, 0, 5)));
        QCOMPARE(receive(1000), QByteArray("none"));
        QVERIFY(link->send(RawUdpClient::request(1, 0, 6)));
        QCOMPARE(receive(1000), RawUdpClient::request(1, 0, 6));
        QCOMPARE(receive(1000), RawUdpClient::request(1, 0, 5));
        QVERIFY2(timer.elapsed() >= 1450, qPrintable(QString::number(timer.elapsed())));

        sim().setLateBy(200);
        sim().setFault(Fault::Late, 1, 1, 71);
        timer.restart();
        QCOMPARE(ask(phaseAlign()), PhaseAlignAnswer);
        QVERIFY2(timer.elapsed() >= 190, qPrintable(QString::number(timer.elapsed())));
    }

    void replyDelayKeepsOrder()
    {
        sim().setReplyDelay(150);
        sim().setFault(Fault::WrongSequence);
        QElapsedTimer timer;
        timer.start();
        QVERIFY(link->send(phaseAlign(5)));
        QVERIFY(link->send(phaseAlign(7)));
        QCOMPARE(receive(1000).mid(9, 2).toHex(), QByteArray("0006"));
        QVERIFY2(timer.elapsed() >= 140, qPrintable(QString::number(timer.elapsed())));
        QCOMPARE(receive(1000).mid(9, 2).toHex(), QByteArray("0007"));
        sim().setReplyDelay(0);
        timer.restart();
        QCOMPARE(ask(phaseAlign()), PhaseAlignAnswer);
        QVERIFY(timer.elapsed() < 140);
    }

    void dropShare_data()
    {
        QTest::addColumn<double>("share");
        QTest::addColumn<int>("fewest");
        QTest::addColumn<int>("most");
        QTest::newRow("none") << 0.0 << 60 << 60;
        QTest::newRow("half") << 0.5 << 15 << 45;
        QTest::newRow("all") << 1.0 << 0 << 0;
    }

    void dropShare()
    {
        QFETCH(double, share);
        QFETCH(int, fewest);
        QFETCH(int, most);
        // The same seed loses the same answers.
        QSet<int> answered[2];
        for (QSet<int>& set : answered) {
            sim().setDropShare(share, 7);
            for (quint16 sequence = 1; sequence <= 60; ++sequence) {
                QVERIFY(link->send(RawUdpClient::request(1, 0, sequence)));
                QThread::usleep(300); // keeps the socket buffers from overflowing
            }
            for (QByteArray answer = receive(300); answer != "none"; answer = receive(300))
                set.insert(int(RawUdpClient::u32At(answer, 7) & 0xFFFF));
        }
        QVERIFY2(answered[0].size() >= fewest && answered[0].size() <= most, qPrintable(QString::number(answered[0].size())));
        QCOMPARE(answered[1], answered[0]);
        QCOMPARE(sim().receivedCount(1), 120);
    }

    void forgetEvery_data()
    {
        QTest::addColumn<int>("every");
        QTest::addColumn<QString>("errors"); // L: logged in again after a refusal
        QTest::newRow("off") << 0 << "0 0 0 0 0";
        QTest::newRow("every 3rd request") << 3 << "0 0 13 L 0 13 L 0";
        QTest::newRow("every 2nd request") << 2 << "0 13 L 13 L 13";
    }

    void forgetEvery()
    {
        QFETCH(int, every);
        QFETCH(QString, errors);
        sim().setForgetEvery(every);
        QStringList seen;
        quint32 id = loginId;
        while (seen.join(QLatin1Char(' ')).size() < errors.size()) {
            const quint32 error = RawUdpClient::errorOf(link->client.call(71, id));
            seen << QString::number(error);
            if (error == 13 && seen.join(QLatin1Char(' ')).size() < errors.size()) {
                id = link->client.login();
                seen << QStringLiteral("L");
            }
        }
        QCOMPARE(seen.join(QLatin1Char(' ')), errors);
    }

    void flapping()
    {
        const int silentMs = 250, answeringMs = 250;
        const QString mismatches = flapMismatches(
            [&] { sim().setFlapping(silentMs, answeringMs); },
            [&] {
                link->client.drain();
                bool answered = false;
                link->client.call(1, 0, {}, &answered, 50);
                return answered;
            },
            silentMs, answeringMs, 1500);
        QVERIFY2(mismatches.isEmpty(), qPrintable(mismatches));
        sim().setFlapping(0, 0);
        QCOMPARE(RawUdpClient::errorOf(link->client.call(1, 0)), 0u);
    }
    void partnersAnswerHelloOnTheirOwnAddresses()
    {
        QVERIFY(addPartners());
        QCOMPARE(sim().partnerAddresses(), QStringList({ PartnerA, PartnerB }));
        for (const QString& partner : { PartnerA, PartnerB }) {
            QString from;
            quint16 fromPort = 0;
            QCOMPARE(probe(partner, RawUdpClient::request(1, 0, 0xBEEF), 1000, &from, &fromPort),
                     RawUdpClient::request(1, 0, 0xBEEF));
            QCOMPARE(from, partner);
            QCOMPARE(fromPort, PartnerPort);
            QCOMPARE(sim().partnerHelloCount(partner), 1);
        }
    }

    void partnerFallsSilentWhenSwitched()
    {
        QVERIFY(addPartners());
        sim().setPartnerAnswering(PartnerA, false);
        QVERIFY(!sim().isPartnerAnswering(PartnerA));
        QCOMPARE(probe(PartnerA, Hello, 300), QByteArray("none"));
        QCOMPARE(sim().partnerHelloCount(PartnerA), 1); // heard, not answered
        QCOMPARE(probe(PartnerB), Hello); // the other one is not affected
        sim().setPartnerAnswering(PartnerA, true);
        QCOMPARE(probe(PartnerA), Hello);
        QCOMPARE(sim().partnerHelloCount(PartnerA), 2);
    }

    void partnersIndependentOfTheDevice()
    {
        sim().stop();
        QVERIFY(addPartners());
        QCOMPARE(probe(PartnerA), Hello); // while the device is down
        QVERIFY(sim().start(DeviceAddress, 0));
        sim().setAnswering(false);
        sim().setFault(Fault::Silent, 5);
        sim().setFlapping(10000, 10);
        QCOMPARE(probe(PartnerA), Hello);
        QCOMPARE(sim().partnerHelloCount(PartnerA), 2);
        QCOMPARE(sim().receivedCount(1), 0); // a Hello to the partner never reaches the device's log
    }

    void partnerRefusesOtherTypesAndBadFrames_data()
    {
        QTest::addColumn<QByteArray>("request");
        QTest::addColumn<QByteArray>("answer"); // "none": no answer
        QTest::addColumn<int>("hellos");
        // clang-format off
        QTest::newRow("GetWorkMode is unsupported")
            << QByteArray("000A010003000000000002EF") << QByteArray("000A0100030000000B0002E4") << 0;
        QTest::newRow("bad checksum") << QByteArray("000A010001000000000001F3") << QByteArray("none") << 0;
        QTest::newRow("Hello with payload")
            << QByteArray("000B01000100000000000C00E6") << QByteArray("000A01000100000009000CDE") << 1;
        // clang-format on
    }

    void partnerRefusesOtherTypesAndBadFrames()
    {
        QVERIFY(addPartners());
        QFETCH(QByteArray, request);
        QFETCH(QByteArray, answer);
        QFETCH(int, hellos);
        const QByteArray got = probe(PartnerA, QByteArray::fromHex(request), answer == "none" ? 300 : 1000);
        QCOMPARE(got == "none" ? got : got.toHex().toUpper(), answer);
        QCOMPARE(sim().partnerHelloCount(PartnerA), hellos);
    }

    void partnerRefusesTakenPortsAndForeignAddresses()
    {
        QVERIFY(addPartners());
        QVERIFY(!sim().addPartner(PartnerA)); // the port is taken
        DeviceSimulator other;
        QVERIFY(!other.addPartner(PartnerA));
        QVERIFY(!other.addPartner(QStringLiteral("192.168.1.100")));
        QCOMPARE(sim().partnerAddresses(), QStringList({ PartnerA, PartnerB }));
        QCOMPARE(sim().partnerHelloCount(QStringLiteral("127.0.232.9")), 0);
        QVERIFY(!sim().isPartnerAnswering(QStringLiteral("127.0.232.9")));
    }

    void partnerFlapping()
    {
        QVERIFY(addPartners());
        const int silentMs = 250, answeringMs = 250;
        const QString mismatches = flapMismatches([&] { sim().setPartnerFlapping(PartnerA, silentMs, answeringMs); },
                                                  [&] { return probe(PartnerA, Hello, 50) == Hello; }, silentMs,
                                                  answeringMs, 1500);
        QVERIFY2(mismatches.isEmpty(), qPrintable(mismatches));
        QCOMPARE(probe(PartnerB), Hello); // only the one partner flaps
        sim().setPartnerFlapping(PartnerA, 0, 0);
        QCOMPARE(probe(PartnerA), Hello);
    }
};

QTEST_GUILESS_MAIN(tst_SimFaults)
#include "tst_SimFaults.moc"
