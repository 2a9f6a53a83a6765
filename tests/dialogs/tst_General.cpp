// The device information dialog: every value from the simulator, and the partial fill when a request fails.
#include "DeviceRelay.h"
#include "DeviceSimulator.h"
#include "DiveVodNetClient.h"
#include "General.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>

namespace {
const char* const kDeviceAddress = "127.0.162.1";
const char* const kRelayAddress = "127.0.162.2";

// The value labels in the order the dialog fills them.
const char* const kValueLabels[]
    = { "labelModuleType",      "labelDescription", "labelProductSN",  "labelRunMode", "labelPCBVersion",
        "labelFirmwareVersion", "labelIpAddress",   "labelSubnetMask", "labelGateway" };

QStringList values(General& dialog)
{
    QStringList texts;
    for (const char* name : kValueLabels)
        texts << dialog.findChild<QLabel*>(QLatin1String(name))->text();
    return texts;
}
} // namespace

class TestGeneral : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void showsDevice_data();
    void showsDevice();
    void stopsAtFirstFailure_data();
    void stopsAtFirstFailure();
    void closeAccepts();

private:
    std::unique_ptr<DeviceSimulator> sim;
    std::unique_ptr<DiveVodNetClient> client;
};

void TestGeneral::init()
{
    SimDeviceState state;
    state.pcbVersion = 4;
    state.firmwareVersion = (2u << 24) | (3u << 16) | 17u;
    state.address = 0x0A010203; // 10.1.2.3
    state.subnetMask = 0xFFFF0000;
    state.gateway = 0x0A010001;
    sim.reset(new DeviceSimulator(state));
    QVERIFY(sim->start(QLatin1String(kDeviceAddress), 0));
    client.reset(new DiveVodNetClient);
    QCOMPARE(client->OpenChannel(QLatin1String(kDeviceAddress), sim->port()), 0);
    client->SetLoginInfo(1, QStringLiteral("111111"));
    QCOMPARE(client->Authenticate(), 0);
}

void TestGeneral::cleanup()
{
    client.reset();
    sim.reset();
    QTRY_VERIFY(QApplication::topLevelWidgets().isEmpty());
}

void TestGeneral::showsDevice_data()
{
    QTest::addColumn<quint32>("productCode");
    QTest::addColumn<QByteArray>("serial");
    QTest::addColumn<quint8>("workMode");
    QTest::addColumn<QStringList>("product");

    // clang-format off
    QTest::newRow("ACO GPIO in user mode") << 50003u << QByteArray::fromHex("4142000030390007") << quint8(1)
        << QStringList({"ACO GPIO", "Velmora-ACO-GPIO", "AB00012345-00000007", "UserApp"});
    QTest::newRow("work mode 2") << 50003u << QByteArray::fromHex("5158000004D2002A") << quint8(2)
        << QStringList({"ACO GPIO", "Velmora-ACO-GPIO", "QX00001234-00000042", "UserApp"});
    QTest::newRow("other module in update mode") << 50002u << QByteArray::fromHex("5158000004D2002A") << quint8(0)
        << QStringList({"Unknown", "Unknown", "QX00001234-00000042", "Update"});
    QTest::newRow("serial starting with a digit") << 50003u << QByteArray::fromHex("3142000030390007") << quint8(1)
        << QStringList({"ACO GPIO", "Velmora-ACO-GPIO", "", "UserApp"});
    // clang-format on
}

void TestGeneral::showsDevice()
{
    QFETCH(quint32, productCode);
    QFETCH(QByteArray, serial);
    QFETCH(quint8, workMode);
    QFETCH(QStringList, product);
    sim->modify([&](SimDeviceState& s) {
        s.productCode = productCode;
        s.serial = serial;
        s.workMode = workMode;
    });
    General dialog(client.get());
    QCOMPARE(dialog.ReadInfo(), 0);
    QCOMPARE(values(dialog), product + QStringList({ "1.4", "2.3.17", "10.1.2.3", "255.255.0.0", "10.1.0.1" }));
}

void TestGeneral::stopsAtFirstFailure_data()
{
    QTest::addColumn<int>("refusedType");
    QTest::addColumn<int>("filled");

    QTest::newRow("product information") << 5 << 0;
    QTest::newRow("work mode") << 3 << 3;
    QTest::newRow("version") << 23 << 4;
    QTest::newRow("network parameters") << 26 << 6;
}

void TestGeneral::stopsAtFirstFailure()
{
    QFETCH(int, refusedType);
    QFETCH(int, filled);
    DeviceRelay relay;
    QVERIFY(relay.start(kRelayAddress, QLatin1String(kDeviceAddress), sim->port()));
    relay.refuse({ refusedType });
    QCOMPARE(client->OpenChannel(QLatin1String(kRelayAddress), relay.port()), 0);

    General dialog(client.get());
    QCOMPARE(dialog.ReadInfo(), -1);
    const QStringList all = { "ACO GPIO", "Velmora-ACO-GPIO", "QX00001234-00000042", "UserApp", "1.4",
                              "2.3.17",   "10.1.2.3",         "255.255.0.0",         "10.1.0.1" };
    QStringList expected = all.mid(0, filled);
    while (expected.size() < all.size())
        expected << QString();
    QCOMPARE(values(dialog), expected);
}

void TestGeneral::closeAccepts()
{
    General dialog(client.get());
    QVERIFY(!(dialog.windowFlags() & Qt::WindowContextHelpButtonHint));
    QCOMPARE(dialog.minimumSize(), dialog.maximumSize());
    dialog.show();
    dialog.findChild<QPushButton*>(QStringLiteral("pushButtonOk"))->click();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
}

QTEST_MAIN(TestGeneral)
#include "tst_General.moc"
