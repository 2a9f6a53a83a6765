#ifndef GPIOSTATETHREAD_H
#define GPIOSTATETHREAD_H

#include "AcoGpioInfo.h"
#include "WorkerLoopControl.h"

#include <QThread>

#include <atomic>
#include <mutex>

class DiveVodNetClient;

// Polls the device's live state about once a second and hands every complete record to the
// user interface through SendInfo (a queued connection: the signal is emitted from this thread).
// A key mask delivered by a panel makes the next cycle wait for the device to act on the key and
// read the status once more, so that the record carries the key that this tool pressed.
class GpioStateThread : public QThread
{
    Q_OBJECT

public:
    explicit GpioStateThread(DiveVodNetClient* client);
    ~GpioStateThread() override;

    // Sets running and starts the loop; a loop that has not yet noticed a Stop simply goes on.
    void Start();
    // Clears running and returns at once; the cycle under way completes and may still emit.
    void Stop();
    // Clears running, cuts the current pause short and returns once the loop has ended
    // (after at most the exchange that is in flight).
    void StopAndWait();

signals:
    void SendInfo(AcoGpioInfo info);

public slots:
    void OnRecvRemoteABMask(int mask);

protected:
    void run() override;

private:
    void DropMaskAndPause();

    DiveVodNetClient* client;
    std::atomic<bool> running;
    int abMask;
    std::mutex mutex; // guards abMask; held across the wait for a key's effect
    WorkerLoopControl control;
};

#endif // GPIOSTATETHREAD_H
