#include "MonitorFixture.h"
#include "UpdateThread.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QtTest>

namespace {
constexpr int kGetWorkMode = 3;
}

class TestUpdateThread : public QObject
{
    Q_OBJECT

private slots:
    void answeringDeviceReportsItsWorkModeEveryThreeSeconds();
    void reportedWorkModes_data();
    void reportedWorkModes();
    void stopReturnsAtOnceAndAtMostOneReportFollows();
};

void TestUpdateThread::answeringDeviceReportsItsWorkModeEveryThreeSeconds()
{
    MonitorFixture<UpdateThread> fixture(&SignalRecorder::aliveReceived);
    auto& [device, monitor, recorder, spy] = fixture;
    QVERIFY(device.connect());

    const qint64 started = recorder.now();
    device.sim.clearReceived();
    monitor.Start();
    QVERIFY(spy.wait(2000));
    QVERIFY2(recorder.aliveTimes.at(0) - started < 800, "the first request is made at once");
    QVERIFY(spy.wait(5000));
    const qint64 period = recorder.aliveTimes.at(1) - recorder.aliveTimes.at(0);
    QVERIFY2(period >= 2900 && period < 3700, qPrintable(QString("period %1 ms").arg(period)));

    QElapsedTimer timer;
    timer.start();
    monitor.StopAndWait();
    QVERIFY2(timer.elapsed() < 500, qPrintable(QString("StopAndWait took %1 ms").arg(timer.elapsed())));

    QCOMPARE(spy.count(), 2);
    for (const QList<QVariant>& report : spy) {
        QCOMPARE(report.at(0).toBool(), true);
        QCOMPARE(report.at(1).toInt(), 1);
    }
    QCOMPARE(device.sim.receivedCount(kGetWorkMode), 2);
}

void TestUpdateThread::reportedWorkModes_data()
{
    QTest::addColumn<int>("deviceMode");
    QTest::addColumn<bool>("updateMode");
    QTest::addColumn<int>("reportedMode");

    // clang-format off
    QTest::newRow("normal firmware")       << 1   << false << 1;
    QTest::newRow("update firmware")       << 1   << true  << 0;
    QTest::newRow("device answers 255")    << 255 << false << 255;
    // clang-format on
}

void TestUpdateThread::reportedWorkModes()
{
    QFETCH(int, deviceMode);
    QFETCH(bool, updateMode);
    QFETCH(int, reportedMode);

    MonitorFixture<UpdateThread> fixture(&SignalRecorder::aliveReceived);
    auto& [device, monitor, recorder, spy] = fixture;
    QVERIFY(device.connect());
    device.sim.modify([deviceMode](SimDeviceState& s) { s.workMode = static_cast<quint8>(deviceMode); });
    device.sim.setUpdateMode(updateMode);

    monitor.Start();
    QVERIFY(spy.wait(2000));
    monitor.StopAndWait();
    QCOMPARE(spy.count(), 1);
    // The first argument, not the mode, says that the device answered.
    QCOMPARE(spy.at(0).at(0).toBool(), true);
    QCOMPARE(spy.at(0).at(1).toInt(), reportedMode);
}

void TestUpdateThread::stopReturnsAtOnceAndAtMostOneReportFollows()
{
    MonitorFixture<UpdateThread> fixture(&SignalRecorder::aliveReceived);
    auto& [device, monitor, recorder, spy] = fixture;
    QVERIFY(device.connect());

    monitor.Start();
    QVERIFY(spy.wait(2000));
    QElapsedTimer timer;
    timer.start();
    monitor.Stop();
    QVERIFY2(timer.elapsed() < 100, "Stop does not wait for the loop");
    QVERIFY2(monitor.isRunning(), "the loop ends only after its pause");
    QTRY_VERIFY_WITH_TIMEOUT(monitor.isFinished(), 4500);
    QTest::qWait(100);
    QVERIFY(spy.count() <= 2);

    // Start after Stop before the pause is over: the same loop carries on.
    const int count = spy.count();
    monitor.Start();
    QVERIFY(spy.wait(2000));
    monitor.Stop();
    QTest::qWait(1000);
    monitor.Start();
    QTRY_VERIFY_WITH_TIMEOUT(spy.count() >= count + 2, 4500);
    const qint64 gap = recorder.aliveTimes.at(count + 1) - recorder.aliveTimes.at(count);
    QVERIFY2(gap >= 2900, qPrintable(QString("gap %1 ms: a second loop ran").arg(gap)));
}

QTEST_GUILESS_MAIN(TestUpdateThread)
#include "tst_UpdateThread.moc"
