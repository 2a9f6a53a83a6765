#include "ConnectedDevice.h"
#include "GpioStateThread.h"
#include "MonitorFixture.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QtTest>

namespace {
constexpr int kGetShortPressKeyState = 62;
constexpr int kGetAcoGpioInfo = 63;
constexpr int kGetPhaseAlignState = 71;
} // namespace

// A device that stops answering costs the client's time-outs (2 x 2 s per request), so these cases
// live apart from the quick ones.
class TestGpioStateThreadUnreachable : public QObject
{
    Q_OBJECT

private slots:
    void silentDeviceEmitsNothingAndLoopKeepsTrying();
    void stopAndWaitWaitsForOneExchangeAtMost();
};

void TestGpioStateThreadUnreachable::silentDeviceEmitsNothingAndLoopKeepsTrying()
{
    MonitorFixture<GpioStateThread> fixture(&SignalRecorder::infoReceived);
    auto& [device, poller, recorder, spy] = fixture;
    QVERIFY(device.connect());

    device.sim.setAnswering(false);
    device.sim.clearReceived();
    poller.Start();
    // A mask pending while the cycle fails is dropped with it.
    poller.OnRecvRemoteABMask(0x08);

    // First try: 2 x 2 s without an answer, a pause of 1 s, then the second try.
    QTRY_VERIFY_WITH_TIMEOUT(device.sim.receivedCount(kGetAcoGpioInfo) >= 3, 8000);
    QCOMPARE(spy.count(), 0);
    // Each cycle ends at its first failed request.
    QCOMPARE(device.sim.receivedCount(kGetShortPressKeyState), 0);
    QCOMPARE(device.sim.receivedCount(kGetPhaseAlignState), 0);
    QVERIFY(poller.isRunning());

    device.sim.setAnswering(true);
    QVERIFY(spy.wait(7000));
    QCOMPARE(spy.at(0).at(0).value<AcoGpioInfo>().remoteKeyMask, 0u);
    poller.StopAndWait();
}

void TestGpioStateThreadUnreachable::stopAndWaitWaitsForOneExchangeAtMost()
{
    ConnectedDevice device;
    QVERIFY(device.connect());
    GpioStateThread poller(&device.client);

    device.sim.setAnswering(false);
    poller.Start();
    QTest::qWait(300);
    QElapsedTimer timer;
    timer.start();
    poller.StopAndWait();
    // The exchange in flight runs out (about 4 s); the pause after it does not.
    QVERIFY2(timer.elapsed() < 4500, qPrintable(QString("StopAndWait took %1 ms").arg(timer.elapsed())));
    QVERIFY(poller.isFinished());
}

QTEST_GUILESS_MAIN(TestGpioStateThreadUnreachable)
#include "tst_GpioStateThreadUnreachable.moc"
