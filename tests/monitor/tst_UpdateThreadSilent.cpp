#include "MonitorFixture.h"
#include "UpdateThread.h"

#include <QSignalSpy>
#include <QtTest>

// A silent device costs the client's time-outs (2 x 2 s per request), so this case lives apart.
class TestUpdateThreadSilent : public QObject
{
    Q_OBJECT

private slots:
    void silentDeviceReportsNotAliveOncePerCycle();
};

void TestUpdateThreadSilent::silentDeviceReportsNotAliveOncePerCycle()
{
    MonitorFixture<UpdateThread> fixture(&SignalRecorder::aliveReceived);
    auto& [device, monitor, recorder, spy] = fixture;
    QVERIFY(device.connect());
    device.sim.setAnswering(false);

    const qint64 started = recorder.now();
    monitor.Start();
    // Each cycle: about 4 s of unanswered request, one report, 3 s of pause.
    QVERIFY(spy.wait(6000));
    QVERIFY(recorder.aliveTimes.at(0) - started >= 3500);
    QVERIFY(spy.wait(9000));
    monitor.StopAndWait();
    QCOMPARE(spy.count(), 2);
    const qint64 period = recorder.aliveTimes.at(1) - recorder.aliveTimes.at(0);
    QVERIFY2(period >= 6500 && period < 8000, qPrintable(QString("period %1 ms").arg(period)));
    for (const QList<QVariant>& report : spy) {
        QCOMPARE(report.at(0).toBool(), false);
        QCOMPARE(report.at(1).toInt(), 255);
    }
}

QTEST_GUILESS_MAIN(TestUpdateThreadSilent)
#include "tst_UpdateThreadSilent.moc"
