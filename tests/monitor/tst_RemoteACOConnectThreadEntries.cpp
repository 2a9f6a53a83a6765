#include "MonitorFixture.h"
#include "RemoteACOConnectThread.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QtTest>

// Partners of this test program listen on 127.0.143.x, port 33903.
namespace {
const QString kMain = QStringLiteral("127.0.143.1");
const QString kSlave = QStringLiteral("127.0.143.2");
const QString kOtherSlave = QStringLiteral("127.0.143.3");
const QString kSilentA = QStringLiteral("127.0.143.4");
const QString kSilentB = QStringLiteral("127.0.143.5");

using Reports = SignalRecorder::RemoteReports;
constexpr auto reports = &SignalRecorder::remoteReports;

void setFirstSlave(DeviceSimulator& sim, const QString& address)
{
    sim.modify([address](SimDeviceState& s) { s.slaveAddress[0] = address; });
}
} // namespace

class TestRemoteACOConnectThreadEntries : public QObject
{
    Q_OBJECT

private slots:
    void changedConfigurationDropsAndAddsEntries();
    void unchangedPartnersAreNotReportedAgainAfterRestart();
    void stopAndWaitWaitsForOneProbeAtMost();
};

void TestRemoteACOConnectThreadEntries::changedConfigurationDropsAndAddsEntries()
{
    SimDeviceState state;
    state.remoteAddress = kMain;
    state.slaveAddress[0] = kSlave;
    MonitorFixture<RemoteACOConnectThread> fixture(&SignalRecorder::remoteReceived, state);
    auto& [device, monitor, recorder, spy] = fixture;
    QVERIFY(device.connect());
    for (const QString& partner : { kMain, kSlave, kOtherSlave })
        QVERIFY(device.sim.addPartner(partner));

    monitor.Start();
    QTRY_COMPARE_WITH_TIMEOUT(spy.count(), 2, 2000);
    QCOMPARE(reports(spy), (Reports() << qMakePair(kMain, true) << qMakePair(kSlave, true)));

    // The slave is replaced: the new one is reported, the old one dropped without a word.
    setFirstSlave(device.sim, kOtherSlave);
    QTRY_COMPARE_WITH_TIMEOUT(spy.count(), 3, 5000);
    QCOMPARE(reports(spy).at(2), qMakePair(kOtherSlave, true));
    QCOMPARE(device.sim.partnerHelloCount(kSlave), 1);
    QCOMPARE(device.sim.partnerHelloCount(kMain), 2);

    // It comes back: a new entry again, so its unchanged state is reported anew.
    setFirstSlave(device.sim, kSlave);
    QTRY_COMPARE_WITH_TIMEOUT(spy.count(), 4, 5000);
    QCOMPARE(reports(spy).at(3), qMakePair(kSlave, true));
    QCOMPARE(device.sim.partnerHelloCount(kOtherSlave), 1);
    QCOMPARE(device.sim.partnerHelloCount(kMain), 3);
    QTest::qWait(100);
    monitor.StopAndWait();
    QCOMPARE(spy.count(), 4);
}

void TestRemoteACOConnectThreadEntries::unchangedPartnersAreNotReportedAgainAfterRestart()
{
    SimDeviceState state;
    state.remoteAddress = kMain;
    state.slaveAddress[2] = kSlave;
    MonitorFixture<RemoteACOConnectThread> fixture(&SignalRecorder::remoteReceived, state);
    auto& [device, monitor, recorder, spy] = fixture;
    QVERIFY(device.connect());
    QVERIFY(device.sim.addPartner(kMain));
    QVERIFY(device.sim.addPartner(kSlave));

    monitor.Start();
    QTRY_COMPARE_WITH_TIMEOUT(spy.count(), 2, 2000);
    monitor.Stop();
    QTRY_VERIFY_WITH_TIMEOUT(monitor.isFinished(), 4000);

    // A new login: the partners are probed at once, but nothing changed, so nothing is reported.
    monitor.Start();
    QTRY_VERIFY_WITH_TIMEOUT(device.sim.partnerHelloCount(kSlave) >= 2, 2000);
    QTest::qWait(100);
    QCOMPARE(spy.count(), 2);

    // A change while stopped is still a change.
    monitor.StopAndWait();
    device.sim.setPartnerAnswering(kSlave, false);
    monitor.Start();
    QTRY_COMPARE_WITH_TIMEOUT(spy.count(), 3, 4000);
    QCOMPARE(reports(spy).at(2), qMakePair(kSlave, false));
    monitor.StopAndWait();
}

void TestRemoteACOConnectThreadEntries::stopAndWaitWaitsForOneProbeAtMost()
{
    SimDeviceState state;
    state.remoteAddress = kSilentA;
    state.slaveAddress[1] = kSilentB;
    MonitorFixture<RemoteACOConnectThread> fixture(&SignalRecorder::remoteReceived, state);
    auto& [device, monitor, recorder, spy] = fixture;
    QVERIFY(device.connect());

    // Nobody answers at either address: each probe takes 2 x 1 s.
    monitor.Start();
    QTest::qWait(500);
    QElapsedTimer timer;
    timer.start();
    monitor.StopAndWait();
    QVERIFY2(timer.elapsed() < 2500, qPrintable(QString("StopAndWait took %1 ms").arg(timer.elapsed())));
    QTRY_COMPARE_WITH_TIMEOUT(spy.count(), 1, 1000);
    QCOMPARE(reports(spy).at(0), qMakePair(kSilentA, false));

    // The second partner is probed when the loop runs again; in the pause StopAndWait returns at once.
    monitor.Start();
    QTRY_COMPARE_WITH_TIMEOUT(spy.count(), 2, 6000);
    QCOMPARE(reports(spy).at(1), qMakePair(kSilentB, false));
    timer.restart();
    monitor.StopAndWait();
    QVERIFY2(timer.elapsed() < 500, qPrintable(QString("StopAndWait took %1 ms").arg(timer.elapsed())));
}

QTEST_GUILESS_MAIN(TestRemoteACOConnectThreadEntries)
#include "tst_RemoteACOConnectThreadEntries.moc"
