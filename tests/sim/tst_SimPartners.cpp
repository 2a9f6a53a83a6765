// Partner ACO responders: "Hello" on port 33903 of further loopback addresses, switchable at run time.
#include "DeviceSimulator.h"
#include "RawUdpClient.h"

#include <QtTest>

#include <memory>

namespace {

// Port 33903 is fixed, so this test keeps to a loopback net of its own.
const QString PartnerA = QStringLiteral("127.0.232.2");
const QString PartnerB = QStringLiteral("127.0.232.3");
const quint16 PartnerPort = 33903;

const QByteArray HelloRequest = QByteArray::fromHex("000A010001000000000001F2");
const QByteArray HelloAnswer = QByteArray::fromHex("000A010001000000000001F2");

} // namespace

class tst_SimPartners : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<DeviceSimulator> sim;
    std::unique_ptr<RawUdpClient> client;

    QByteArray hello(const QString& address, bool* answered, QString* from = nullptr, quint16* fromPort = nullptr,
                     int timeoutMs = 1000)
    {
        *answered = false;
        QByteArray answer;
        if (client->send(HelloRequest, address, PartnerPort))
            *answered = client->receive(&answer, timeoutMs, from, fromPort);
        return answer;
    }

private slots:
    void init()
    {
        sim.reset(new DeviceSimulator);
        client.reset(new RawUdpClient(QStringLiteral("127.0.0.1")));
        QVERIFY(client->isValid());
    }

    void cleanup()
    {
        client.reset();
        sim.reset();
    }

    void answersHelloOnItsOwnAddress()
    {
        QVERIFY(sim->addPartner(PartnerA));
        QVERIFY(sim->addPartner(PartnerB, PartnerPort));
        QCOMPARE(sim->partnerAddresses(), QStringList({ PartnerA, PartnerB }));
        QVERIFY(sim->isPartnerAnswering(PartnerA));

        for (const QString& partner : { PartnerA, PartnerB }) {
            bool answered = false;
            QString from;
            quint16 fromPort = 0;
            QCOMPARE(hello(partner, &answered, &from, &fromPort), HelloAnswer);
            QVERIFY(answered);
            QCOMPARE(from, partner);
            QCOMPARE(fromPort, PartnerPort);
            QCOMPARE(sim->partnerHelloCount(partner), 1);
        }
    }

    void echoesTheSequence()
    {
        QVERIFY(sim->addPartner(PartnerA));
        QByteArray answer;
        QVERIFY(client->send(RawUdpClient::request(1, 0, 0xBEEF), PartnerA, PartnerPort));
        QVERIFY(client->receive(&answer, 1000));
        QCOMPARE(answer, RawUdpClient::request(1, 0, 0xBEEF)); // a success answer has the same bytes
    }

    void fallsSilentWhenSwitched()
    {
        QVERIFY(sim->addPartner(PartnerA));
        QVERIFY(sim->addPartner(PartnerB));
        sim->setPartnerAnswering(PartnerA, false);
        QVERIFY(!sim->isPartnerAnswering(PartnerA));

        bool answered = true;
        hello(PartnerA, &answered, nullptr, nullptr, 300);
        QVERIFY(!answered);
        QCOMPARE(sim->partnerHelloCount(PartnerA), 1); // heard, not answered
        hello(PartnerB, &answered);
        QVERIFY(answered); // the other one is not affected

        sim->setPartnerAnswering(PartnerA, true);
        QCOMPARE(hello(PartnerA, &answered), HelloAnswer);
        QCOMPARE(sim->partnerHelloCount(PartnerA), 2);
    }

    void independentOfTheDevice()
    {
        QVERIFY(sim->addPartner(PartnerA)); // before the device starts
        bool answered = false;
        hello(PartnerA, &answered);
        QVERIFY(answered);

        QVERIFY(sim->start(QStringLiteral("127.0.232.1"), 0));
        sim->setAnswering(false);
        hello(PartnerA, &answered);
        QVERIFY(answered);
        sim->setFault(DeviceSimulator::Fault::Silent, 5);
        hello(PartnerA, &answered);
        QVERIFY(answered);

        sim->stop();
        hello(PartnerA, &answered);
        QVERIFY(answered);
        QCOMPARE(sim->partnerHelloCount(PartnerA), 4);
        // A Hello to the partner never reaches the device's log.
        QCOMPARE(sim->receivedCount(1), 0);
    }

    void otherTypesAndBadFrames_data()
    {
        QTest::addColumn<QByteArray>("request");
        QTest::addColumn<QByteArray>("answer"); // empty: no answer
        QTest::addColumn<int>("hellos");
        // clang-format off
        QTest::newRow("GetWorkMode is unsupported")
            << QByteArray("000A010003000000000002EF") << QByteArray("000A0100030000000B0002E4") << 0;
        QTest::newRow("bad checksum") << QByteArray("000A010001000000000001F3") << QByteArray() << 0;
        QTest::newRow("Hello with payload")
            << QByteArray("000B01000100000000000C00E6") << QByteArray("000A01000100000009000CDE") << 1;
        // clang-format on
    }

    void otherTypesAndBadFrames()
    {
        QFETCH(QByteArray, request);
        QFETCH(QByteArray, answer);
        QFETCH(int, hellos);
        QVERIFY(sim->addPartner(PartnerA));
        bool answered = false;
        QByteArray got;
        QVERIFY(client->send(QByteArray::fromHex(request), PartnerA, PartnerPort));
        answered = client->receive(&got, answer.isEmpty() ? 300 : 1000);
        QCOMPARE(answered, !answer.isEmpty());
        QCOMPARE(got.toHex().toUpper(), answer);
        QCOMPARE(sim->partnerHelloCount(PartnerA), hellos);
    }

    void refusesTakenPortsAndForeignAddresses()
    {
        QVERIFY(sim->addPartner(PartnerA));
        QVERIFY(!sim->addPartner(PartnerA)); // the port is taken
        DeviceSimulator other;
        QVERIFY(!other.addPartner(PartnerA));
        QVERIFY(!other.addPartner(QStringLiteral("192.168.1.100")));
        QCOMPARE(sim->partnerAddresses(), QStringList({ PartnerA }));
    }

    void unknownPartner()
    {
        QCOMPARE(sim->partnerHelloCount(QStringLiteral("127.0.232.9")), 0);
        QVERIFY(!sim->isPartnerAnswering(QStringLiteral("127.0.232.9")));
        sim->setPartnerAnswering(QStringLiteral("127.0.232.9"), false); // harmless
    }
};

QTEST_GUILESS_MAIN(tst_SimPartners)
#include "tst_SimPartners.moc"
