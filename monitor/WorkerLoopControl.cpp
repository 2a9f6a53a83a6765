#include "WorkerLoopControl.h"

#include <QThread>

#include <chrono>

bool WorkerLoopControl::enterCycle(const std::atomic<bool>& running)
{
    std::lock_guard<std::mutex> guard(lock);
    if (running)
        return true;
    loopActive = false;
    return false;
}

bool WorkerLoopControl::pause(int ms)
{
    std::unique_lock<std::mutex> guard(lock);
    return !wakeUp.wait_for(guard, std::chrono::milliseconds(ms), [this] { return woken; });
}

bool WorkerLoopControl::isWoken() const
{
    std::lock_guard<std::mutex> guard(lock);
    return woken;
}

bool WorkerLoopControl::claimStart()
{
    std::lock_guard<std::mutex> guard(lock);
    woken = false;
    if (loopActive)
        return false;
    loopActive = true;
    return true;
}

void WorkerLoopControl::wake()
{
    {
        std::lock_guard<std::mutex> guard(lock);
        woken = true;
    }
    wakeUp.notify_all();
}

void WorkerLoopControl::joined()
{
    std::lock_guard<std::mutex> guard(lock);
}

void WorkerLoopControl::start(QThread& thread, std::atomic<bool>& running)
{
    running = true;
    if (claimStart()) {
        thread.wait(); // a loop on its way out returns at once
        thread.start();
    }
}

void WorkerLoopControl::stopAndWait(QThread& thread, std::atomic<bool>& running)
{
    running = false;
    wake();
    thread.wait();
    joined();
}
