#ifndef WORKERLOOPCONTROL_H
#define WORKERLOOPCONTROL_H

#include <atomic>
#include <condition_variable>
#include <mutex>

class QThread;

// The start/stop bookkeeping that the three worker loops share: pauses that an owner can cut short
// when it is going to wait for the loop, and a record of whether a loop is still going, so that a
// Start that races with a loop on its way out starts a new thread instead of leaving none.
// Plain std primitives, so that ThreadSanitizer sees every hand-over.
class WorkerLoopControl
{
public:
    WorkerLoopControl() = default;
    WorkerLoopControl(const WorkerLoopControl&) = delete;
    WorkerLoopControl& operator=(const WorkerLoopControl&) = delete;

    // Loop side, before every cycle: true to run one more. When it answers false the loop
    // counts as ended from then on and must return.
    bool enterCycle(const std::atomic<bool>& running);

    // Loop side: sleeps for ms, or less when woken. False when woken.
    bool pause(int ms);

    // Loop side, between the exchanges of a cycle: true when the owner is waiting for the loop to end.
    bool isWoken() const;

    // Owner side: sets running and starts the thread unless its loop is still going (then that loop
    // simply carries on); a loop on its way out is waited for and replaced.
    void start(QThread& thread, std::atomic<bool>& running);

    // Owner side: clears running, cuts the current pause short and waits until the loop has ended.
    void stopAndWait(QThread& thread, std::atomic<bool>& running);

private:
    // Owner side, after setting running: true when no loop is going (never started, or it has
    // decided to end), so the caller must wait for the old thread and start a new one.
    bool claimStart();

    // Owner side, after clearing running: ends the current pause and every later one until the next Start.
    void wake();

    // Owner side, after QThread::wait(): orders everything the finished loop wrote before the
    // caller's next access (QThread::wait itself is invisible to ThreadSanitizer).
    void joined();

    mutable std::mutex lock;
    std::condition_variable wakeUp;
    bool woken = false;
    bool loopActive = false;
};

#endif // WORKERLOOPCONTROL_H
