// Partner ACO responders: "Hello" on port 33903 of further loopback addresses, switchable at run time.
#include "SimLink.h"

#include <QtTest>

#include <memory>

namespace {

// Port 33903 is fixed, so this test keeps to a loopback net of its own.
const QString PartnerA = QStringLiteral("127.0.232.2");
const QString PartnerB = QStringLiteral("127.0.232.3");
const quint16 PartnerPort = 33903;

const QByteArray Hello = QByteArray::fromHex("000A010001000000000001F2"); // a success answer has the same bytes

} // namespace

class tst_SimPartners : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<DeviceSimulator> sim;
    std::unique_ptr<RawUdpClient> client;

    // The answer to one datagram sent to a partner; "none" when none came.
    QByteArray probe(const QString& address, const QByteArray& request = Hello, int timeoutMs = 1000,
                     QString* from = nullptr, quint16* fromPort = nullptr)
    {
        QByteArray answer;
        client->drain();
        if (!client->send(request, address, PartnerPort) || !client->receive(&answer, timeoutMs, from, fromPort))
            return QByteArray("none");
        return answer;
    }

private slots:
    void init()
    {
        sim.reset(new DeviceSimulator);
        client.reset(new RawUdpClient(QStringLiteral("127.0.0.1")));
        QVERIFY(client->isValid());
        QVERIFY(sim->addPartner(PartnerA));
        QVERIFY(sim->addPartner(PartnerB, PartnerPort));
    }

    void cleanup()
    {
        client.reset();
        sim.reset();
    }

    void answersHelloOnItsOwnAddress()
    {
        QCOMPARE(sim->partnerAddresses(), QStringList({ PartnerA, PartnerB }));
        for (const QString& partner : { PartnerA, PartnerB }) {
            QString from;
            quint16 fromPort = 0;
            QCOMPARE(probe(partner, RawUdpClient::request(1, 0, 0xBEEF), 1000, &from, &fromPort),
                     RawUdpClient::request(1, 0, 0xBEEF));
            QCOMPARE(from, partner);
            QCOMPARE(fromPort, PartnerPort);
            QCOMPARE(sim->partnerHelloCount(partner), 1);
        }
    }

    void fallsSilentWhenSwitched()
    {
        sim->setPartnerAnswering(PartnerA, false);
        QVERIFY(!sim->isPartnerAnswering(PartnerA));
        QCOMPARE(probe(PartnerA, Hello, 300), QByteArray("none"));
        QCOMPARE(sim->partnerHelloCount(PartnerA), 1); // heard, not answered
        QCOMPARE(probe(PartnerB), Hello); // the other one is not affected
        sim->setPartnerAnswering(PartnerA, true);
        QCOMPARE(probe(PartnerA), Hello);
        QCOMPARE(sim->partnerHelloCount(PartnerA), 2);
    }

    void independentOfTheDevice()
    {
        QCOMPARE(probe(PartnerA), Hello); // before the device starts
        QVERIFY(sim->start(QStringLiteral("127.0.232.1"), 0));
        sim->setAnswering(false);
        sim->setFault(DeviceSimulator::Fault::Silent, 5);
        sim->setFlapping(10000, 10);
        QCOMPARE(probe(PartnerA), Hello);
        sim->stop();
        QCOMPARE(probe(PartnerA), Hello);
        QCOMPARE(sim->partnerHelloCount(PartnerA), 3);
        QCOMPARE(sim->receivedCount(1), 0); // a Hello to the partner never reaches the device's log
    }

    void otherTypesAndBadFrames_data()
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

    void otherTypesAndBadFrames()
    {
        QFETCH(QByteArray, request);
        QFETCH(QByteArray, answer);
        QFETCH(int, hellos);
        const QByteArray got = probe(PartnerA, QByteArray::fromHex(request), answer == "none" ? 300 : 1000);
        QCOMPARE(got == "none" ? got : got.toHex().toUpper(), answer);
        QCOMPARE(sim->partnerHelloCount(PartnerA), hellos);
    }

    void refusesTakenPortsAndForeignAddresses()
    {
        QVERIFY(!sim->addPartner(PartnerA)); // the port is taken
        DeviceSimulator other;
        QVERIFY(!other.addPartner(PartnerA));
        QVERIFY(!other.addPartner(QStringLiteral("192.168.1.100")));
        QCOMPARE(sim->partnerAddresses(), QStringList({ PartnerA, PartnerB }));
        QCOMPARE(sim->partnerHelloCount(QStringLiteral("127.0.232.9")), 0);
        QVERIFY(!sim->isPartnerAnswering(QStringLiteral("127.0.232.9")));
    }

    void flapping()
    {
        const int silentMs = 250, answeringMs = 250;
        const QString mismatches = flapMismatches([&] { sim->setPartnerFlapping(PartnerA, silentMs, answeringMs); },
                                                  [&] { return probe(PartnerA, Hello, 50) == Hello; }, silentMs,
                                                  answeringMs, 1500);
        QVERIFY2(mismatches.isEmpty(), qPrintable(mismatches));
        QCOMPARE(probe(PartnerB), Hello); // only the one partner flaps
        sim->setPartnerFlapping(PartnerA, 0, 0);
        QCOMPARE(probe(PartnerA), Hello);
    }
};

QTEST_GUILESS_MAIN(tst_SimPartners)
#include "tst_SimPartners.moc"
