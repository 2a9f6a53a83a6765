// The device client's exchange lock must hand over in arrival order: a thread that has just
// finished must not take it again ahead of the threads already waiting.
#include "FairMutex.h"

#include <QtTest>

#include <chrono>
#include <thread>
#include <vector>

class tst_FairMutex : public QObject
{
    Q_OBJECT

private slots:
    void handsOverInArrivalOrder();
};

void tst_FairMutex::handsOverInArrivalOrder()
{
    FairMutex mutex;
    std::mutex orderLock;
    std::vector<int> order;
    std::vector<std::thread> threads;

    mutex.lock();
    for (int id = 0; id < 3; ++id) {
        // Each thread queues only once the one before it is waiting, and then takes the lock twice in a
        // row: the second time it must queue behind the others.
        threads.emplace_back([&, id] {
            for (int round = 0; round < 2; ++round) {
                std::lock_guard<FairMutex> guard(mutex);
                std::lock_guard<std::mutex> record(orderLock);
                order.push_back(id);
            }
        });
        QTRY_COMPARE_WITH_TIMEOUT(mutex.waiting(), id + 1, 5000);
    }
    mutex.unlock();
    for (std::thread& t : threads)
        t.join();

    // The first round goes strictly in arrival order; no thread gets its second turn before all three
    // have had their first.
    QCOMPARE(std::vector<int>(order.begin(), order.begin() + 3), (std::vector<int> { 0, 1, 2 }));
    QCOMPARE(int(order.size()), 6);
}

QTEST_GUILESS_MAIN(tst_FairMutex)
#include "tst_FairMutex.moc"
