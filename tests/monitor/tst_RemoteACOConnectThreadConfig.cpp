#include "MonitorFixture.h"
#include "RemoteACOConnectThread.h"

#include <QSignalSpy>
#include <QtTest>

// Partners of this test program listen on 127.0.141.x, port 33903.
namespace {
const QString kPartnerB = QStringLiteral("127.0.141.2");
const QString kPartnerC = QStringLiteral("127.0.141.3");

constexpr auto reports = &SignalRecorder::remoteReports;
} // namespace

class TestRemoteACOConnectThreadConfig : public QObject
{
    Q_OBJECT

private slots:
    void partnerAddresses_data();
    void partnerAddresses();
    void eachConfiguredPartnerIsWatchedOnce();
};

void TestRemoteACOConnectThreadConfig::partnerAddresses_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<bool>("watched");

    // clang-format off
    QTest::newRow("unset")           << QString("0.0.0.0")         << false;
    QTest::newRow("all ones")        << QString("255.255.255.255") << false;
    QTest::newRow("empty")           << QString("")                << false;
    QTest::newRow("null")            << QString()                  << false;
    QTest::newRow("loopback")        << QString("127.0.141.1")     << true;
    QTest::newRow("other network")   << QString("10.20.30.40")     << true;
    // clang-format on
}

void TestRemoteACOConnectThreadConfig::partnerAddresses()
{
    QFETCH(QString, address);
    QFETCH(bool, watched);
    QCOMPARE(RemoteACOConnectThread::IsPartnerAddress(address), watched);
}

void TestRemoteACOConnectThreadConfig::eachConfiguredPartnerIsWatchedOnce()
{
    SimDeviceState state;
    state.remoteAddress = kPartnerB;
    state.slaveAddress[0] = QStringLiteral("255.255.255.255");
    state.slaveAddress[1] = kPartnerC;
    state.slaveAddress[2] = kPartnerB;
    MonitorFixture<RemoteACOConnectThread> fixture(&SignalRecorder::remoteReceived, state);
    auto& [device, monitor, recorder, spy] = fixture;
    QVERIFY(device.connect());
    QVERIFY(device.sim.addPartner(kPartnerB));
    QVERIFY(device.sim.addPartner(kPartnerC));
    monitor.Start();
    // Two cycles: a probe of an unconfigured slot would show as a first report of its own.
    QTRY_VERIFY_WITH_TIMEOUT(device.sim.partnerHelloCount(kPartnerC) >= 2, 6000);
    // Probed in address order, once per cycle each.
    QCOMPARE(device.sim.partnerHelloCount(kPartnerB), 2);
    QTest::qWait(100);
    monitor.StopAndWait();
    QCOMPARE(reports(spy), (QList<QPair<QString, bool>>() << qMakePair(kPartnerB, true) << qMakePair(kPartnerC, true)));
}

QTEST_GUILESS_MAIN(TestRemoteACOConnectThreadConfig)
#include "tst_RemoteACOConnectThreadConfig.moc"
