#ifndef REMOTEACOCONNECTTHREAD_H
#define REMOTEACOCONNECTTHREAD_H

#include "RemoteAcoEntry.h"
#include "WorkerLoopControl.h"

#include <QMap>
#include <QSharedPointer>
#include <QString>
#include <QThread>

#include <atomic>

class DiveVodNetClient;

// Watches the partner devices configured on the connected device ("Remote ACO": one main device,
// three slaves). Every three seconds it reads their addresses through the device client, probes each
// partner directly with a Hello on its own socket, and reports a partner when it is first seen and
// afterwards only when it starts or stops answering.
class RemoteACOConnectThread : public QThread
{
    Q_OBJECT

public:
    // Partners listen for Hello on this port.
    static constexpr int kPartnerPort = 33903;

    explicit RemoteACOConnectThread(DiveVodNetClient* client);
    ~RemoteACOConnectThread() override;

    // Sets running and starts the loop; a loop that has not yet noticed a Stop simply goes on.
    // The watched partners and their last results are kept across Stop and Start.
    void Start();
    // Clears running and returns at once; the current cycle completes and may still report.
    void Stop();
    // Clears running, cuts the current pause short and returns once the loop has ended
    // (after at most the probe or request that is in flight).
    void StopAndWait();

    // Whether a configured address names a partner at all: unused slots read "0.0.0.0" or
    // "255.255.255.255", or are empty.
    static bool IsPartnerAddress(const QString& address);

signals:
    void IsRemoteACOAlive(QString address, bool alive);

protected:
    void run() override;

private:
    // One cycle's pruning, adding and probing; false when abandoned because the owner is waiting.
    bool WatchPartners(const QString (&addresses)[4]);

    DiveVodNetClient* client;
    std::atomic<bool> running;
    // Entries hold a socket and cannot be copied, so the map keeps them by pointer.
    QMap<QString, QSharedPointer<RemoteAcoEntry>> entries;
    WorkerLoopControl control;
};

#endif // REMOTEACOCONNECTTHREAD_H
