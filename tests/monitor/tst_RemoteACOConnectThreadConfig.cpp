#include "MonitorFixture.h"
#include "RemoteACOConnectThread.h"

#include <QMetaMethod>
#include <QSignalSpy>
#include <QtTest>

// Partners of this test program listen on 127.0.141.x, port 33903.
namespace {
const QString kPartnerA = QStringLiteral("127.0.141.1");
const QString kPartnerB = QStringLiteral("127.0.141.2");
const QString kPartnerC = QStringLiteral("127.0.141.3");

constexpr auto reports = &SignalRecorder::remoteReports;
} // namespace

class TestRemoteACOConnectThreadConfig : public QObject
{
    Q_OBJECT

private slots:
    void metaObjectListsOneSignal();
    void partnerAddresses_data();
    void partnerAddresses();
    void unconfiguredSlotsAreNeverProbed();
    void addressConfiguredTwiceIsWatchedOnce();
};

void TestRemoteACOConnectThreadConfig::metaObjectListsOneSignal()
{
    const QMetaObject& meta = RemoteACOConnectThread::staticMetaObject;
    QCOMPARE(QString(meta.className()), QString("RemoteACOConnectThread"));
    QCOMPARE(QString(meta.superClass()->className()), QString("QThread"));
    QCOMPARE(meta.methodCount() - meta.methodOffset(), 1);
    const QMetaMethod signal = meta.method(meta.methodOffset());
    QCOMPARE(signal.methodType(), QMetaMethod::Signal);
    QCOMPARE(signal.methodSignature(), QByteArray("IsRemoteACOAlive(QString,bool)"));
    QCOMPARE(RemoteACOConnectThread::kPartnerPort, 33903);
}

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

void TestRemoteACOConnectThreadConfig::unconfiguredSlotsAreNeverProbed()
{
    SimDeviceState state;
    state.remoteAddress = QStringLiteral("0.0.0.0");
    state.slaveAddress[0] = QStringLiteral("255.255.255.255");
    state.slaveAddress[1] = QString();
    state.slaveAddress[2] = kPartnerA;
    MonitorFixture<RemoteACOConnectThread> fixture(&SignalRecorder::remoteReceived, state);
    auto& [device, monitor, recorder, spy] = fixture;
    QVERIFY(device.connect());
    QVERIFY(device.sim.addPartner(kPartnerA));

    monitor.Start();
    // Two cycles: a probe of an unconfigured slot would show as a first report of its own.
    QTRY_VERIFY_WITH_TIMEOUT(device.sim.partnerHelloCount(kPartnerA) >= 2, 6000);
    QTest::qWait(100);
    monitor.StopAndWait();
    QCOMPARE(reports(spy), (QList<QPair<QString, bool>>() << qMakePair(kPartnerA, true)));
}

void TestRemoteACOConnectThreadConfig::addressConfiguredTwiceIsWatchedOnce()
{
    SimDeviceState state;
    state.remoteAddress = kPartnerB;
    state.slaveAddress[0] = kPartnerC;
    state.slaveAddress[1] = kPartnerB;
    state.slaveAddress[2] = kPartnerC;
    MonitorFixture<RemoteACOConnectThread> fixture(&SignalRecorder::remoteReceived, state);
    auto& [device, monitor, recorder, spy] = fixture;
    QVERIFY(device.connect());
    QVERIFY(device.sim.addPartner(kPartnerB));
    QVERIFY(device.sim.addPartner(kPartnerC));

    monitor.Start();
    QTRY_VERIFY_WITH_TIMEOUT(device.sim.partnerHelloCount(kPartnerC) >= 2, 6000);
    // Probed in address order, once per cycle each.
    QCOMPARE(device.sim.partnerHelloCount(kPartnerB), 2);
    QTest::qWait(100);
    monitor.StopAndWait();
    QCOMPARE(reports(spy), (QList<QPair<QString, bool>>() << qMakePair(kPartnerB, true) << qMakePair(kPartnerC, true)));
}

QTEST_GUILESS_MAIN(TestRemoteACOConnectThreadConfig)
#include "tst_RemoteACOConnectThreadConfig.moc"
