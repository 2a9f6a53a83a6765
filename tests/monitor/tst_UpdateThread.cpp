// The alive monitor against the simulator: one report at once and then every three seconds, the work
// modes it reports, Stop, and a device that does not answer.
#include "MonitorFixture.h"

namespace {
constexpr int kGetWorkMode = 3;
using Monitor = MonitorFixture<UpdateThread>;
} // namespace

class TestUpdateThread : public QObject
{
    Q_OBJECT

private slots:
    void reportsEveryThreeSecondsUntilStopped()
    {
        Monitor f;
        QVERIFY(f.connect());
        f.monitor.Start();
        QTRY_COMPARE_WITH_TIMEOUT(f.got.size(), 1, 1000); // the first request is made at once
        QTRY_COMPARE_WITH_TIMEOUT(f.got.size(), 2, 4000);
        const qint64 period = f.times[1] - f.times[0];
        QVERIFY2(period >= 2900 && period < 3700, qPrintable(QString("period %1 ms").arg(period)));

        QElapsedTimer timer;
        timer.start();
        f.monitor.Stop();
        QVERIFY2(timer.elapsed() < 100, "Stop does not wait for the loop");
        QVERIFY2(f.monitor.isRunning(), "the loop ends only after its pause");
        QTRY_VERIFY_WITH_TIMEOUT(f.monitor.isFinished(), 4000);
        QTest::qWait(100);
        // The loop ended at the end of its pause, without another request.
        QCOMPARE(f.got, QList<QVariantList>({ { true, 1 }, { true, 1 } }));
        QCOMPARE(f.sim.receivedCount(kGetWorkMode), 2);
    }

    void reportedWorkModes_data()
    {
        QTest::addColumn<int>("deviceMode");
        QTest::addColumn<bool>("updateMode");
        QTest::addColumn<int>("reportedMode");
        QTest::newRow("normal firmware") << 1 << false << 1;
        QTest::newRow("update firmware") << 1 << true << 0;
        QTest::newRow("device answers 255") << 255 << false << 255;
    }

    void reportedWorkModes()
    {
        QFETCH(int, deviceMode);
        QFETCH(bool, updateMode);
        QFETCH(int, reportedMode);
        Monitor f;
        QVERIFY(f.connect());
        f.sim.modify([deviceMode](SimDeviceState& s) { s.workMode = static_cast<quint8>(deviceMode); });
        f.sim.setUpdateMode(updateMode);
        f.monitor.Start();
        QTRY_COMPARE_WITH_TIMEOUT(f.got.size(), 1, 1000);
        // The first argument, not the mode, says that the device answered.
        QCOMPARE(f.got[0], QVariantList({ true, reportedMode }));
    }

    // About 4 s of unanswered request (one resend after 2 s), then the report.
    void silentDeviceIsNotAlive()
    {
        Monitor f;
        QVERIFY(f.connect());
        f.sim.setAnswering(false);
        f.monitor.Start();
        QTRY_COMPARE_WITH_TIMEOUT(f.got.size(), 1, 6000);
        QVERIFY(f.times[0] >= 3500);
        QCOMPARE(f.got[0], QVariantList({ false, 255 }));
    }
};

QTEST_GUILESS_MAIN(TestUpdateThread)
#include "tst_UpdateThread.moc"
