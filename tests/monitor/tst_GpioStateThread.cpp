#include "GpioStateThread.h"
#include "MonitorFixture.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QtTest>

namespace {
// Distinct from the healthy defaults and from a zeroed record, so that every field proves its source.
SimDeviceState busyDevice()
{
    SimDeviceState s;
    s.panelType = 1;
    s.ps1Led = true;
    s.ps2Led = false;
    s.localLed = 2;
    s.remoteLed = 1;
    s.gpioGreenMask = 0x21;
    s.gpioRedMask = 0x03;
    s.keyMask = 0x05;
    s.ipReset = true;
    s.upgrade = false;
    s.remCtrl = true;
    s.keyLock = true;
    s.autoMode = true;
    s.phaseAlign = 2;
    return s;
}

AcoGpioInfo expectedRecord(const SimDeviceState& s, quint32 remoteKeyMask = 0)
{
    AcoGpioInfo info;
    info.ps1Led = s.ps1Led;
    info.ps2Led = s.ps2Led;
    info.localLed = s.localLed;
    info.remoteLed = s.remoteLed;
    info.panelType = s.panelType;
    info.gpioGreenMask = s.gpioGreenMask;
    info.gpioRedMask = s.gpioRedMask;
    info.keyMask = s.keyMask;
    info.ipReset = s.ipReset;
    info.upgrade = s.upgrade;
    info.remCtrl = s.remCtrl;
    info.keyLock = s.keyLock;
    info.autoMode = s.autoMode;
    info.phaseAlign = s.phaseAlign;
    info.remoteKeyMask = remoteKeyMask;
    return info;
}

AcoGpioInfo recordAt(const QSignalSpy& spy, int i)
{
    return spy.at(i).at(0).value<AcoGpioInfo>();
}

constexpr int kGetWorkMode = 3;
constexpr int kGetShortPressKeyState = 62;
constexpr int kGetAcoGpioInfo = 63;
constexpr int kGetPhaseAlignState = 71;
} // namespace

class TestGpioStateThread : public QObject
{
    Q_OBJECT

private slots:
    void emitsCompleteRecordsAboutOnceASecond();
    void keyMaskWaitsAndCarriesMaskOnce();
    void stopReturnsAtOnceAndAtMostOneRecordFollows();
    void stopAndWaitAbandonsTheKeyWait();
};

void TestGpioStateThread::emitsCompleteRecordsAboutOnceASecond()
{
    MonitorFixture<GpioStateThread> fixture(&SignalRecorder::infoReceived, busyDevice());
    auto& [device, poller, recorder, spy] = fixture;
    QVERIFY(device.connect());

    const qint64 started = recorder.now();
    poller.Start();
    QVERIFY(spy.wait(3000));
    poller.OnRecvRemoteABMask(0); // no key: no wait, no second read
    QTRY_COMPARE_WITH_TIMEOUT(spy.count(), 3, 6000);
    QElapsedTimer timer;
    timer.start();
    poller.StopAndWait();
    QVERIFY2(timer.elapsed() < 500, "StopAndWait cuts the pause short");

    QVERIFY2(recorder.infoTimes.at(0) - started < 800, "the first cycle runs as soon as the thread starts");
    for (int i = 0; i < 3; ++i)
        QCOMPARE(recordAt(spy, i), expectedRecord(busyDevice()));
    for (int i = 1; i < 3; ++i) {
        const qint64 gap = recorder.infoTimes.at(i) - recorder.infoTimes.at(i - 1);
        QVERIFY2(gap >= 900 && gap < 1700, qPrintable(QString("gap %1 ms").arg(gap)));
    }
    // Three requests per cycle and nothing else.
    QCOMPARE(device.sim.receivedCount(kGetWorkMode), 0);
    QVERIFY(device.sim.receivedCount(kGetAcoGpioInfo) >= 3);
    QCOMPARE(device.sim.receivedCount(kGetShortPressKeyState), device.sim.receivedCount(kGetAcoGpioInfo));
    QCOMPARE(device.sim.receivedCount(kGetPhaseAlignState), device.sim.receivedCount(kGetAcoGpioInfo));
}

void TestGpioStateThread::keyMaskWaitsAndCarriesMaskOnce()
{
    const SimDeviceState before = busyDevice();
    MonitorFixture<GpioStateThread> fixture(&SignalRecorder::infoReceived, before);
    auto& [device, poller, recorder, spy] = fixture;
    QVERIFY(device.connect());

    poller.Start();
    QVERIFY(spy.wait(3000));
    // The loop now sits in its pause: the mask is taken by the next cycle.
    device.sim.clearReceived();
    poller.OnRecvRemoteABMask(0x04);

    // Once the cycle has read the phase-align state it waits; the status changes meanwhile.
    QTRY_VERIFY_WITH_TIMEOUT(device.sim.receivedCount(kGetPhaseAlignState) >= 1, 3000);
    const qint64 waitSeen = recorder.now();
    SimDeviceState after = before;
    after.gpioGreenMask = 0x12;
    after.keyMask = 0x04;
    after.keyLock = false;
    after.phaseAlign = 0;
    device.sim.setState(after);

    QVERIFY(spy.wait(4000));
    QCOMPARE(spy.count(), 2);
    const qint64 waited = recorder.infoTimes.at(1) - waitSeen;
    QVERIFY2(waited >= 700, qPrintable(QString("record %1 ms after the cycle's last read").arg(waited)));
    // GPIO part read after the wait, key states from before it, and the mask.
    AcoGpioInfo expected = expectedRecord(after, 0x04);
    expected.keyLock = before.keyLock;
    expected.phaseAlign = before.phaseAlign;
    QCOMPARE(recordAt(spy, 1), expected);
    QCOMPARE(device.sim.receivedCount(kGetAcoGpioInfo), 2);
    QCOMPARE(device.sim.receivedCount(kGetShortPressKeyState), 1);
    QCOMPARE(device.sim.receivedCount(kGetPhaseAlignState), 1);

    // The mask was consumed: the next record carries none and comes after an ordinary pause.
    QVERIFY(spy.wait(3000));
    poller.StopAndWait();
    QCOMPARE(recordAt(spy, 2), expectedRecord(after, 0));
    const qint64 gap = recorder.infoTimes.at(2) - recorder.infoTimes.at(1);
    QVERIFY2(gap < 1700, qPrintable(QString("gap %1 ms").arg(gap)));
}

void TestGpioStateThread::stopReturnsAtOnceAndAtMostOneRecordFollows()
{
    MonitorFixture<GpioStateThread> fixture(&SignalRecorder::infoReceived, busyDevice());
    auto& [device, poller, recorder, spy] = fixture;
    QVERIFY(device.connect());

    poller.Start();
    QVERIFY(spy.wait(3000));
    // Stop in the middle of the next cycle's requests as well as in a pause: slow answers widen the window.
    device.sim.setReplyDelay(150);
    QTest::qWait(1100);
    const int before = spy.count();
    QElapsedTimer timer;
    timer.start();
    poller.Stop();
    QVERIFY2(timer.elapsed() < 100, "Stop does not wait for the loop");
    QTRY_VERIFY_WITH_TIMEOUT(poller.isFinished(), 4000);
    QTest::qWait(200); // let a last queued record arrive
    QVERIFY2(spy.count() - before <= 1, qPrintable(QString("%1 records after Stop").arg(spy.count() - before)));
    const int afterStop = spy.count();
    QTest::qWait(1500);
    QCOMPARE(spy.count(), afterStop);

    // Start after the loop has ended runs it anew; Start right after Stop, while the loop may still be
    // on its way out, leaves a loop running.
    device.sim.setReplyDelay(0);
    for (int i = 0; i < 3; ++i) {
        poller.Start();
        poller.Stop();
        poller.Start();
        const int count = spy.count();
        QTRY_VERIFY_WITH_TIMEOUT(spy.count() > count, 3000);
        poller.StopAndWait();
    }
    QCOMPARE(recordAt(spy, spy.count() - 1), expectedRecord(busyDevice()));
}

void TestGpioStateThread::stopAndWaitAbandonsTheKeyWait()
{
    MonitorFixture<GpioStateThread> fixture(&SignalRecorder::infoReceived, busyDevice());
    auto& [device, poller, recorder, spy] = fixture;
    QVERIFY(device.connect());

    poller.Start();
    QVERIFY(spy.wait(3000));
    device.sim.clearReceived();
    poller.OnRecvRemoteABMask(0x02);
    QTRY_VERIFY_WITH_TIMEOUT(device.sim.receivedCount(kGetPhaseAlignState) >= 1, 3000);
    const int count = spy.count();
    QElapsedTimer timer;
    timer.start();
    poller.StopAndWait();
    QVERIFY2(timer.elapsed() < 500, qPrintable(QString("StopAndWait took %1 ms").arg(timer.elapsed())));
    QTest::qWait(100);
    QCOMPARE(spy.count(), count);
    QCOMPARE(device.sim.receivedCount(kGetAcoGpioInfo), 1);

    // The abandoned mask does not linger into the next connection.
    poller.Start();
    QVERIFY(spy.wait(3000));
    QCOMPARE(recordAt(spy, spy.count() - 1).remoteKeyMask, 0u);
}

QTEST_GUILESS_MAIN(TestGpioStateThread)
#include "tst_GpioStateThread.moc"
