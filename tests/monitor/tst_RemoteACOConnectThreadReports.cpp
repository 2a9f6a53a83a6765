#include "MonitorFixture.h"
#include "RemoteACOConnectThread.h"

#include <QSignalSpy>
#include <QtTest>

// Partners of this test program listen on 127.0.142.x, port 33903.
namespace {
const QString kAnswering = QStringLiteral("127.0.142.1");
const QString kSilent = QStringLiteral("127.0.142.2");

using Reports = SignalRecorder::RemoteReports;
constexpr auto reports = &SignalRecorder::remoteReports;
} // namespace

class TestRemoteACOConnectThreadReports : public QObject
{
    Q_OBJECT

private slots:
    void firstProbesAreReportedThenOnlyChanges();
};

void TestRemoteACOConnectThreadReports::firstProbesAreReportedThenOnlyChanges()
{
    SimDeviceState state;
    state.remoteAddress = kAnswering;
    state.slaveAddress[0] = kSilent;
    MonitorFixture<RemoteACOConnectThread> fixture(&SignalRecorder::remoteReceived, state);
    auto& [device, monitor, recorder, spy] = fixture;
    QVERIFY(device.connect());
    QVERIFY(device.sim.addPartner(kAnswering));
    QVERIFY(device.sim.addPartner(kSilent));
    device.sim.setPartnerAnswering(kSilent, false);

    monitor.Start();
    // Cycle 1: the first probe of each partner is reported, answered or not (the silent one after 2 x 1 s).
    QTRY_COMPARE_WITH_TIMEOUT(spy.count(), 2, 4000);
    QCOMPARE(reports(spy), (Reports() << qMakePair(kAnswering, true) << qMakePair(kSilent, false)));
    QCOMPARE(device.sim.partnerHelloCount(kSilent), 2); // a probe and its one resend

    // Cycle 2: nothing changed, nothing reported. Its probe of the silent partner runs out after 2 s.
    QTRY_VERIFY_WITH_TIMEOUT(device.sim.partnerHelloCount(kAnswering) >= 2, 5000);
    QTest::qWait(2300);
    QCOMPARE(spy.count(), 2);

    // Cycle 3: both change, both are reported.
    device.sim.setPartnerAnswering(kAnswering, false);
    device.sim.setPartnerAnswering(kSilent, true);
    const int answeredBefore = device.sim.partnerHelloCount(kSilent);
    QTRY_COMPARE_WITH_TIMEOUT(spy.count(), 4, 7000);
    QCOMPARE(reports(spy).mid(2), (Reports() << qMakePair(kAnswering, false) << qMakePair(kSilent, true)));

    // Cycle 4: no change again, silence again.
    QTRY_VERIFY_WITH_TIMEOUT(device.sim.partnerHelloCount(kSilent) >= answeredBefore + 2, 8000);
    QTest::qWait(100);
    monitor.StopAndWait();
    QCOMPARE(spy.count(), 4);
}

QTEST_GUILESS_MAIN(TestRemoteACOConnectThreadReports)
#include "tst_RemoteACOConnectThreadReports.moc"
