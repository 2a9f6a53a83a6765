// The device client shared by four threads, as the window and the three monitors share it, and
// closed under a waiting exchange.
#include "DeviceSimulator.h"
#include "DiveVodNetClient.h"

#include <QElapsedTimer>
#include <QSet>
#include <QtTest>

#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace {

// Debug lines arrive from every calling thread; count the re-logins among them.
std::atomic<int> relogins { 0 };
QtMessageHandler previousHandler = nullptr;

void countRelogins(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    if (type != QtDebugMsg)
        previousHandler(type, context, text);
    else if (text.contains(QLatin1String("TTTTTTTTT:13")))
        ++relogins;
}

} // namespace

class TestDiveVodNetClientThreads : public QObject
{
    Q_OBJECT

private slots:
    void fourThreadsShareTheClient();
    void closeWakesWaitingExchange();
};

void TestDiveVodNetClientThreads::fourThreadsShareTheClient()
{
    DeviceSimulator sim;
    QVERIFY(sim.start(QStringLiteral("127.0.0.1"), 0));
    sim.setLively(true, 200);
    DiveVodNetClient c;
    QCOMPARE(c.OpenChannel(QStringLiteral("127.0.0.1"), sim.port()), 0);
    c.SetLoginInfo(0, QStringLiteral("123456"));
    QCOMPARE(c.Authenticate(), 0);
    previousHandler = qInstallMessageHandler(countRelogins);

    // The poller's cycle, the alive monitor, the remote monitor, and the user interface.
    AcoGpioInfo info;
    quint8 keyLock, autoMode, phase;
    quint32 panelType, mode;
    QString a, b, c3[3], d3[3], e, f, g, pcb, firmware;
    bool isDefault;
    const std::function<int()> steps[4] = {
        [&] { return c.GetAcoGpioInfo(info) | c.GetShortPressKeyState(keyLock, autoMode, panelType) | c.GetPhaseAlignState(phase); },
        [&] { return c.GetWorkMode(mode); },
        [&] { return c.GetRemoteDevice(a, b) | c.GetSlaveDevice(c3, d3); },
        [&] { return c.GetVersion(pcb, firmware) | c.GetNetParam(e, f, g, isDefault) | c.SetShortPressKeyState(0, 1, 0) | c.SetABKeyState(1); },
    };
    std::atomic<int> ok[4] {}, failed[4] {};
    std::atomic<qint64> longestMs[4] {};
    std::vector<std::thread> threads;
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(3000);
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < 5000 && std::chrono::steady_clock::now() < until; ++i) {
                QElapsedTimer timer;
                timer.start();
                (steps[t]() == 0 ? ok[t] : failed[t])++;
                longestMs[t] = std::max(longestMs[t].load(), timer.elapsed());
            }
        });
    }
    // The device forgets the login now and then; every caller may trip over it.
    const int forgotten = 6;
    for (int i = 0; i < forgotten; ++i) {
        QTest::qWait(400);
        sim.forgetLogin();
    }
    for (std::thread& t : threads)
        t.join();
    qInstallMessageHandler(previousHandler);

    // A caller fails only when another one's re-login overtook its own repeat.
    QVERIFY(failed[0] + failed[1] + failed[2] + failed[3] <= relogins);
    for (int t = 0; t < 4; ++t) {
        QVERIFY2(ok[t] > 0, qPrintable(QString("caller %1 got nothing").arg(t)));
        // A login and its repetition take two exchanges at most.
        QVERIFY2(longestMs[t] < 4000, qPrintable(QString::number(longestMs[t])));
    }
    // Every request got a number of its own (a repeat reuses its request's), and every forgotten
    // login was noticed and repaired by at least one caller.
    const auto frames = sim.received();
    QSet<quint16> sequences;
    for (const auto& frame : frames)
        sequences.insert(frame.sequence);
    QVERIFY2(relogins >= forgotten, qPrintable(QString::number(relogins)));
    QVERIFY(frames.size() - sequences.size() <= relogins);
    QCOMPARE(c.GetWorkMode(mode), 0);
    QCOMPARE(mode, 1u);
}

void TestDiveVodNetClientThreads::closeWakesWaitingExchange()
{
    DeviceSimulator sim;
    QVERIFY(sim.start(QStringLiteral("127.0.0.1"), 0));
    DiveVodNetClient client;
    QCOMPARE(client.OpenChannel(QStringLiteral("127.0.0.1"), sim.port()), 0);
    client.SetLoginInfo(0, QStringLiteral("123456"));
    QCOMPARE(client.Authenticate(), 0);
    sim.setAnswering(false);
    std::atomic<int> result { 1 };
    std::atomic<qint64> tookMs { 0 };
    std::thread caller([&] {
        QElapsedTimer timer;
        timer.start();
        quint32 mode = 77;
        result = client.GetWorkMode(mode);
        tookMs = timer.elapsed();
    });
    QTRY_COMPARE_WITH_TIMEOUT(sim.receivedCount(3), 1, 2000);
    QTest::qWait(100);
    QElapsedTimer closing;
    closing.start();
    client.CloseChannel();
    const qint64 closeMs = closing.elapsed();
    caller.join();
    QCOMPARE(result.load(), -1);
    QVERIFY2(closeMs < 1000, qPrintable(QString::number(closeMs)));
    QVERIFY2(tookMs < 1500, qPrintable(QString::number(tookMs)));
    QCOMPARE(sim.receivedCount(3), 1); // the woken exchange sent nothing more

    sim.setAnswering(true);
    QCOMPARE(client.OpenChannel(QStringLiteral("127.0.0.1"), sim.port()), 0);
    quint32 mode = 77;
    QCOMPARE(client.GetWorkMode(mode), 0);
}

QTEST_GUILESS_MAIN(TestDiveVodNetClientThreads)
#include "tst_DiveVodNetClientThreads.moc"
