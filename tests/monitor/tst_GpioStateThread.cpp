// The status poller against the simulator: complete records about once a second, the key mask's extra wait
// and read, Stop and Start, and a device that stops answering.
#include "MonitorFixture.h"

namespace {
constexpr int kGetWorkMode = 3, kGetShortPressKeyState = 62, kGetAcoGpioInfo = 63, kGetPhaseAlignState = 71;
using Poller = MonitorFixture<GpioStateThread>;

// Distinct from the defaults and from a zeroed record, so that every field proves its source.
SimDeviceState busyDevice()
{
    SimDeviceState s;
    s.panelType = 1, s.ps2Led = false, s.localLed = 2, s.remoteLed = 1, s.phaseAlign = 2;
    s.gpioGreenMask = 0x21, s.gpioRedMask = 0x03, s.keyMask = 0x05;
    s.ipReset = s.remCtrl = s.keyLock = s.autoMode = true;
    return s;
}

AcoGpioInfo expectedRecord(const SimDeviceState& s, quint32 remoteKeyMask = 0)
{
    AcoGpioInfo i;
    i.ps1Led = s.ps1Led, i.ps2Led = s.ps2Led, i.localLed = s.localLed, i.remoteLed = s.remoteLed;
    i.panelType = s.panelType, i.gpioGreenMask = s.gpioGreenMask, i.gpioRedMask = s.gpioRedMask;
    i.keyMask = s.keyMask, i.ipReset = s.ipReset, i.upgrade = s.upgrade, i.remCtrl = s.remCtrl;
    i.keyLock = s.keyLock, i.autoMode = s.autoMode, i.phaseAlign = s.phaseAlign, i.remoteKeyMask = remoteKeyMask;
    return i;
}

AcoGpioInfo record(const Poller& f, int i)
{
    return f.got.at(i).at(0).value<AcoGpioInfo>();
}
} // namespace

class TestGpioStateThread : public QObject
{
    Q_OBJECT

private slots:
    void recordsAndKeyMask()
    {
        Poller f(busyDevice());
        QVERIFY(f.connect());
        f.monitor.Start();
        QTRY_COMPARE_WITH_TIMEOUT(f.got.size(), 1, 1000); // the first cycle runs as soon as the thread starts
        f.monitor.OnRecvRemoteABMask(0); // no key: no wait, no second read
        QTRY_COMPARE_WITH_TIMEOUT(f.got.size(), 2, 2000);
        const qint64 gap = f.times[1] - f.times[0];
        QVERIFY2(gap >= 900 && gap < 1700, qPrintable(QString("gap %1 ms").arg(gap)));
        QCOMPARE(record(f, 0), expectedRecord(busyDevice()));
        QCOMPARE(record(f, 1), expectedRecord(busyDevice()));
        // Three requests per cycle and nothing else.
        QCOMPARE(f.sim.receivedCount(kGetWorkMode), 0);
        QCOMPARE(f.sim.receivedCount(kGetAcoGpioInfo), 2);
        QCOMPARE(f.sim.receivedCount(kGetShortPressKeyState), 2);
        QCOMPARE(f.sim.receivedCount(kGetPhaseAlignState), 2);

        // A key press while the loop pauses: the next cycle waits once it has read the phase-align state.
        f.sim.clearReceived();
        f.monitor.OnRecvRemoteABMask(0x04);
        QTRY_VERIFY_WITH_TIMEOUT(f.sim.receivedCount(kGetPhaseAlignState) == 1, 3000);
        const qint64 waitSeen = f.clock.elapsed();
        SimDeviceState after = busyDevice();
        after.gpioGreenMask = 0x12, after.keyMask = 0x04, after.keyLock = false, after.phaseAlign = 0;
        f.sim.setState(after);
        QTRY_COMPARE_WITH_TIMEOUT(f.got.size(), 3, 3000);
        QVERIFY2(f.times[2] - waitSeen >= 700, qPrintable(QString("after %1 ms").arg(f.times[2] - waitSeen)));
        // The GPIO part read after the wait, the key states from before it, and the mask.
        AcoGpioInfo expected = expectedRecord(after, 0x04);
        expected.keyLock = true, expected.phaseAlign = 2;
        QCOMPARE(record(f, 2), expected);
        QCOMPARE(f.sim.receivedCount(kGetAcoGpioInfo), 2);
        QCOMPARE(f.sim.receivedCount(kGetShortPressKeyState), 1);
        // The mask was consumed: the next record carries none and comes after an ordinary pause.
        QTRY_COMPARE_WITH_TIMEOUT(f.got.size(), 4, 2000);
        QCOMPARE(record(f, 3), expectedRecord(after));
        QVERIFY(f.times[3] - f.times[2] < 1700);
    }

    void stopAndStart()
    {
        Poller f(busyDevice());
        QVERIFY(f.connect());
        f.monitor.Start();
        QTRY_COMPARE_WITH_TIMEOUT(f.got.size(), 1, 2000);
        // Stop in the middle of the next cycle's requests as well as in a pause: slow answers widen the window.
        f.sim.setReplyDelay(150);
        QTest::qWait(1100);
        int count = f.got.size();
        QElapsedTimer timer;
        timer.start();
        f.monitor.Stop();
        QVERIFY2(timer.elapsed() < 100, "Stop does not wait for the loop");
        QTRY_VERIFY_WITH_TIMEOUT(f.monitor.isFinished(), 4000);
        QTest::qWait(200); // a last queued record may still arrive
        QVERIFY2(f.got.size() - count <= 1, qPrintable(QString("%1 records after Stop").arg(f.got.size() - count)));

        // Start after the loop has ended runs it anew; Start right after Stop, while the loop may still be
        // on its way out, leaves a loop running.
        f.sim.setReplyDelay(0);
        for (int i = 0; i < 3; ++i) {
            f.monitor.Start();
            f.monitor.Stop();
            f.monitor.Start();
            count = f.got.size();
            QTRY_VERIFY_WITH_TIMEOUT(f.got.size() > count, 3000);
            f.monitor.StopAndWait();
        }

        // StopAndWait in the key wait abandons the cycle at once, and its mask with it.
        count = f.got.size();
        f.monitor.Start();
        QTRY_VERIFY_WITH_TIMEOUT(f.got.size() > count, 2000);
        f.sim.clearReceived();
        f.monitor.OnRecvRemoteABMask(0x02);
        QTRY_VERIFY_WITH_TIMEOUT(f.sim.receivedCount(kGetPhaseAlignState) == 1, 3000);
        count = f.got.size();
        timer.restart();
        f.monitor.StopAndWait();
        QVERIFY2(timer.elapsed() < 500, qPrintable(QString("StopAndWait took %1 ms").arg(timer.elapsed())));
        QTest::qWait(100);
        QCOMPARE(f.got.size(), count);
        QCOMPARE(f.sim.receivedCount(kGetAcoGpioInfo), 1);
        f.monitor.Start();
        QTRY_VERIFY_WITH_TIMEOUT(f.got.size() > count, 2000);
        QCOMPARE(record(f, count), expectedRecord(busyDevice()));
    }

    // Each request to a silent device costs the client's time-outs (2 x 2 s).
    void silentDevice()
    {
        Poller f;
        QVERIFY(f.connect());
        f.sim.setAnswering(false);
        f.sim.clearReceived();
        f.monitor.Start();
        f.monitor.OnRecvRemoteABMask(0x08); // pending while the cycle fails: dropped with it
        // First try: 2 x 2 s without an answer, a pause of 1 s, then the second try.
        QTRY_VERIFY_WITH_TIMEOUT(f.sim.receivedCount(kGetAcoGpioInfo) >= 3, 8000);
        QVERIFY(f.got.isEmpty());
        // Each cycle ends at its first failed request.
        QCOMPARE(f.sim.receivedCount(kGetShortPressKeyState) + f.sim.receivedCount(kGetPhaseAlignState), 0);
        f.sim.setAnswering(true);
        QTRY_COMPARE_WITH_TIMEOUT(f.got.size(), 1, 7000);
        QCOMPARE(record(f, 0), expectedRecord(SimDeviceState()));
    }
};

QTEST_GUILESS_MAIN(TestGpioStateThread)
#include "tst_GpioStateThread.moc"
