#ifndef FAIRMUTEX_H
#define FAIRMUTEX_H

#include <condition_variable>
#include <deque>
#include <mutex>

// A non-recursive mutex that hands the lock over in the order the threads asked for it.
// The device client's exchange lock is one: with a plain mutex the thread that has just finished an
// exchange takes the lock again before a woken waiter runs, so a caller could wait through dozens of
// other threads' exchanges; in arrival order each caller waits for at most one exchange per other
// thread. The lock passes straight to the first waiter and wakes only that one. Plain std primitives,
// so that ThreadSanitizer sees the hand-over.
class FairMutex
{
public:
    FairMutex() = default;
    FairMutex(const FairMutex&) = delete;
    FairMutex& operator=(const FairMutex&) = delete;

    void lock()
    {
        std::unique_lock<std::mutex> guard(m_lock);
        if (!m_held) {
            m_held = true;
            return;
        }
        Waiter self;
        m_waiters.push_back(&self);
        self.turn.wait(guard, [&] { return self.granted; });
    }

    void unlock()
    {
        std::lock_guard<std::mutex> guard(m_lock);
        if (m_waiters.empty()) {
            m_held = false;
            return;
        }
        Waiter* next = m_waiters.front();
        m_waiters.pop_front();
        next->granted = true;
        next->turn.notify_one();
    }

    // Threads waiting for the lock (the holder not counted). For tests.
    int waiting() const
    {
        std::lock_guard<std::mutex> guard(m_lock);
        return int(m_waiters.size());
    }

private:
    struct Waiter
    {
        std::condition_variable turn;
        bool granted = false;
    };

    mutable std::mutex m_lock;
    bool m_held = false;
    std::deque<Waiter*> m_waiters;
};

#endif // FAIRMUTEX_H
