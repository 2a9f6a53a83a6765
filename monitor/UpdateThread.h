#ifndef UPDATETHREAD_H
#define UPDATETHREAD_H

#include "WorkerLoopControl.h"

#include <QThread>

#include <atomic>

class DiveVodNetClient;

// Asks the device for its work mode every three seconds and reports each answer, or its absence,
// with IsAlive; the receiver decides what counts as a change.
class UpdateThread : public QThread
{
    Q_OBJECT

public:
    explicit UpdateThread(DiveVodNetClient* client);
    ~UpdateThread() override;

    // Sets running and starts the loop; a loop that has not yet noticed a Stop simply goes on.
    void Start();
    // Clears running and returns at once; the loop ends after its current pause.
    void Stop();
    // Clears running, cuts the current pause short and returns once the loop has ended
    // (after at most the exchange that is in flight).
    void StopAndWait();

signals:
    // alive: the device answered; workMode: its work mode, 255 when it did not answer.
    void IsAlive(bool alive, int workMode);

protected:
    void run() override;

private:
    DiveVodNetClient* client;
    std::atomic<bool> running;
    WorkerLoopControl control;
};

#endif // UPDATETHREAD_H
