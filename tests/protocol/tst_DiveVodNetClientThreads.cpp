// The device client shared by four threads, as the window and the three monitors share it,
// and the channel closed and opened under running exchanges.
#include "DeviceSimulator.h"
#include "DiveVodNetClient.h"

#include <QDir>
#include <QElapsedTimer>
#include <QSet>
#include <QtTest>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace {

// Debug lines arrive from every calling thread; keep them for the checks.
std::mutex debugMutex;
QStringList debugLines;
QtMessageHandler previousHandler = nullptr;

void collectDebug(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    if (type == QtDebugMsg) {
        std::lock_guard<std::mutex> lock(debugMutex);
        debugLines.append(text);
        return;
    }
    previousHandler(type, context, text);
}

QStringList takeDebugLines()
{
    std::lock_guard<std::mutex> lock(debugMutex);
    QStringList lines = debugLines;
    debugLines.clear();
    return lines;
}

int openFileCount()
{
    return QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).size();
}

struct Tally
{
    std::atomic<int> ok { 0 };
    std::atomic<int> failed { 0 };
    std::atomic<qint64> longestMs { 0 };
};

// Runs `step` until `runFor` has passed (or `maxSteps` steps), counting results and the slowest call.
void runFor(std::chrono::milliseconds duration, int maxSteps, Tally& tally, const std::function<int()>& step)
{
    const auto until = std::chrono::steady_clock::now() + duration;
    for (int i = 0; i < maxSteps && std::chrono::steady_clock::now() < until; ++i) {
        QElapsedTimer timer;
        timer.start();
        const int result = step();
        const qint64 took = timer.elapsed();
        if (took > tally.longestMs)
            tally.longestMs = took;
        (result == 0 ? tally.ok : tally.failed)++;
        // A closed channel fails at once; do not spin through the step budget while it is closed.
        if (result != 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

} // namespace

class TestDiveVodNetClientThreads : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();

    void fourThreadsShareTheClient();
    void fourThreadsThroughRelogins();
    void closeWakesWaitingExchange();
    void openAndCloseUnderRunningExchanges();

private:
    void startFourCallers(std::chrono::milliseconds duration, Tally tallies[4], std::vector<std::thread>& threads);

    std::unique_ptr<DeviceSimulator> sim;
    std::unique_ptr<DiveVodNetClient> client;
};

void TestDiveVodNetClientThreads::initTestCase()
{
    previousHandler = qInstallMessageHandler(collectDebug);
}

void TestDiveVodNetClientThreads::cleanupTestCase()
{
    qInstallMessageHandler(previousHandler);
}

void TestDiveVodNetClientThreads::init()
{
    sim.reset(new DeviceSimulator);
    QVERIFY(sim->start(QStringLiteral("127.0.0.1"), 0));
    client.reset(new DiveVodNetClient);
    QCOMPARE(client->OpenChannel(QStringLiteral("127.0.0.1"), sim->port()), 0);
    client->SetLoginInfo(0, QStringLiteral("123456"));
    QCOMPARE(client->Authenticate(), 0);
    takeDebugLines();
}

void TestDiveVodNetClientThreads::cleanup()
{
    client.reset();
    sim.reset();
}

void TestDiveVodNetClientThreads::startFourCallers(std::chrono::milliseconds duration, Tally tallies[4],
                                                   std::vector<std::thread>& threads)
{
    DiveVodNetClient* c = client.get();
    // The status poller's cycle.
    threads.emplace_back([=] {
        AcoGpioInfo info;
        quint8 keyLock, autoMode, phase;
        quint32 panelType;
        runFor(duration, 5000, tallies[0], [&] {
            if (c->GetAcoGpioInfo(info) != 0)
                return -1;
            if (c->GetShortPressKeyState(keyLock, autoMode, panelType) != 0)
                return -1;
            return c->GetPhaseAlignState(phase);
        });
    });
    // The alive monitor.
    threads.emplace_back([=] {
        quint32 mode;
        runFor(duration, 5000, tallies[1], [&] { return c->GetWorkMode(mode); });
    });
    // The remote ACO monitor reading the partner addresses.
    threads.emplace_back([=] {
        QString address, password, addresses[3], passwords[3];
        runFor(duration, 5000, tallies[2], [&] {
            if (c->GetRemoteDevice(address, password) != 0)
                return -1;
            return c->GetSlaveDevice(addresses, passwords);
        });
    });
    // The user interface: dialogs and key presses.
    threads.emplace_back([=] {
        QString pcb, firmware, address, mask, gateway;
        bool isDefault;
        runFor(duration, 5000, tallies[3], [&] {
            if (c->GetVersion(pcb, firmware) != 0 || c->GetNetParam(address, mask, gateway, isDefault) != 0)
                return -1;
            if (c->SetShortPressKeyState(0, 1, 0) != 0)
                return -1;
            return c->SetABKeyState(1);
        });
    });
}

void TestDiveVodNetClientThreads::fourThreadsShareTheClient()
{
    sim->setLively(true, 200);
    sim->clearReceived();
    Tally tallies[4];
    std::vector<std::thread> threads;
    startFourCallers(std::chrono::milliseconds(3000), tallies, threads);
    for (std::thread& t : threads)
        t.join();

    for (int i = 0; i < 4; ++i) {
        QVERIFY2(tallies[i].ok > 0, qPrintable(QStringLiteral("caller %1 got nothing").arg(i)));
        QCOMPARE(tallies[i].failed.load(), 0);
        QVERIFY2(tallies[i].longestMs < 2000, qPrintable(QString::number(tallies[i].longestMs)));
    }
    // Every request got a number of its own, and every answer matched its request.
    const auto frames = sim->received();
    QVERIFY(frames.size() < 65536);
    QSet<quint16> sequences;
    for (const auto& frame : frames)
        sequences.insert(frame.sequence);
    QCOMPARE(sequences.size(), frames.size());
    QCOMPARE(takeDebugLines(), QStringList());
}

void TestDiveVodNetClientThreads::fourThreadsThroughRelogins()
{
    sim->clearReceived();
    Tally tallies[4];
    std::vector<std::thread> threads;
    startFourCallers(std::chrono::milliseconds(3000), tallies, threads);
    // The device forgets the login now and then; every caller may trip over it.
    int forgotten = 0;
    for (int i = 0; i < 8; ++i) {
        QTest::qWait(300);
        sim->forgetLogin();
        ++forgotten;
    }
    for (std::thread& t : threads)
        t.join();

    for (int i = 0; i < 4; ++i) {
        QVERIFY2(tallies[i].ok > 0, qPrintable(QStringLiteral("caller %1 got nothing").arg(i)));
        // A login and its repetition take two exchanges at most.
        QVERIFY2(tallies[i].longestMs < 4000, qPrintable(QString::number(tallies[i].longestMs)));
    }
    // Every forgotten login was noticed and repaired by at least one caller.
    const QStringList lines = takeDebugLines();
    const auto relogins = std::count_if(
        lines.cbegin(), lines.cend(), [](const QString& line) { return line.contains(QLatin1String("TTTTTTTTT:13")); });
    QVERIFY2(relogins >= forgotten, qPrintable(QString::number(relogins)));
    // Afterwards the client is logged in and works.
    quint32 mode = 77;
    QCOMPARE(client->GetWorkMode(mode), 0);
    QCOMPARE(mode, 1u);
}

void TestDiveVodNetClientThreads::closeWakesWaitingExchange()
{
    sim->setAnswering(false);
    sim->clearReceived();
    std::atomic<int> result { 1 };
    std::atomic<qint64> tookMs { 0 };
    std::thread caller([&] {
        QElapsedTimer timer;
        timer.start();
        quint32 mode = 77;
        result = client->GetWorkMode(mode);
        tookMs = timer.elapsed();
    });
    QTRY_COMPARE_WITH_TIMEOUT(sim->receivedCount(3), 1, 2000);
    QTest::qWait(100);
    QElapsedTimer closing;
    closing.start();
    client->CloseChannel();
    const qint64 closeMs = closing.elapsed();
    caller.join();
    QCOMPARE(result.load(), -1);
    QVERIFY2(closeMs < 1000, qPrintable(QString::number(closeMs)));
    QVERIFY2(tookMs < 1500, qPrintable(QString::number(tookMs)));
    QCOMPARE(sim->receivedCount(3), 1); // the woken exchange sent nothing more

    sim->setAnswering(true);
    QCOMPARE(client->OpenChannel(QStringLiteral("127.0.0.1"), sim->port()), 0);
    quint32 mode = 77;
    QCOMPARE(client->GetWorkMode(mode), 0);
}

void TestDiveVodNetClientThreads::openAndCloseUnderRunningExchanges()
{
    const int filesBefore = openFileCount();
    Tally tallies[4];
    std::vector<std::thread> threads;
    startFourCallers(std::chrono::milliseconds(2500), tallies, threads);
    // Close and reopen the channel under them, as login and disconnect do.
    const QString address = QStringLiteral("127.0.0.1");
    const quint16 port = sim->port();
    DiveVodNetClient* c = client.get();
    std::atomic<int> cycles { 0 };
    std::thread switcher([&] {
        const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(2000);
        for (int i = 0; i < 400 && std::chrono::steady_clock::now() < until; ++i) {
            c->CloseChannel();
            std::this_thread::sleep_for(std::chrono::milliseconds(3));
            c->OpenChannel(address, port);
            std::this_thread::sleep_for(std::chrono::milliseconds(i % 2 ? 5 : 40));
            ++cycles;
        }
    });
    switcher.join();
    for (std::thread& t : threads)
        t.join();

    QVERIFY(cycles > 10);
    int ok = 0;
    for (int i = 0; i < 4; ++i) {
        qInfo("caller %d: %d ok, %d failed, longest %lld ms", i, tallies[i].ok.load(), tallies[i].failed.load(),
              tallies[i].longestMs.load());
        ok += tallies[i].ok;
        // Close wakes a waiting exchange; nobody waits out a time-out.
        QVERIFY2(tallies[i].longestMs < 4500, qPrintable(QString::number(tallies[i].longestMs)));
    }
    QVERIFY(ok > 0);
    takeDebugLines();

    // The channel is open once more and works; no descriptor was lost on the way.
    quint32 mode = 77;
    QCOMPARE(client->GetWorkMode(mode), 0);
    QCOMPARE(openFileCount(), filesBefore);
}

QTEST_GUILESS_MAIN(TestDiveVodNetClientThreads)
#include "tst_DiveVodNetClientThreads.moc"
