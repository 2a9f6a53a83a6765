#include "RemoteACOConnectThread.h"

#include "DiveVodNetClient.h"
#include "RequestHello.h"
#include "ResponseMsg.h"

#include <algorithm>
#include <iterator>

namespace {
constexpr int kCyclePauseMs = 3000;
constexpr int kProbeRetries = 1;
} // namespace

RemoteACOConnectThread::RemoteACOConnectThread(DiveVodNetClient* client)
    : client(client)
    , running(true)
{
}

RemoteACOConnectThread::~RemoteACOConnectThread()
{
    StopAndWait();
    for (const QSharedPointer<RemoteAcoEntry>& entry : qAsConst(entries))
        entry->channel.close();
    entries.clear();
}

void RemoteACOConnectThread::Start()
{
    control.start(*this, running);
}

void RemoteACOConnectThread::Stop()
{
    running = false;
}

void RemoteACOConnectThread::StopAndWait()
{
    control.stopAndWait(*this, running);
}

bool RemoteACOConnectThread::IsPartnerAddress(const QString& address)
{
    return !address.isEmpty() && address != QLatin1String("0.0.0.0") && address != QLatin1String("255.255.255.255");
}

void RemoteACOConnectThread::run()
{
    while (control.enterCycle(running)) {
        QString addresses[4];
        QString unusedPassword;
        QString slaveAddresses[3];
        QString unusedPasswords[3];
        if (client->GetRemoteDevice(addresses[0], unusedPassword) != 0 || control.isWoken()
            || client->GetSlaveDevice(slaveAddresses, unusedPasswords) != 0 || control.isWoken()) {
            control.pause(kCyclePauseMs);
            continue;
        }
        for (int i = 0; i < 3; ++i)
            addresses[i + 1] = slaveAddresses[i];
        if (WatchPartners(addresses))
            control.pause(kCyclePauseMs);
    }
}

bool RemoteACOConnectThread::WatchPartners(const QString (&addresses)[4])
{
    // A partner that left the configuration goes silently; if it comes back it is new and reported again.
    for (auto it = entries.begin(); it != entries.end();) {
        if (std::find(std::begin(addresses), std::end(addresses), it.key()) == std::end(addresses)) {
            it.value()->channel.close();
            it = entries.erase(it);
        } else {
            ++it;
        }
    }

    for (const QString& address : addresses) {
        if (!IsPartnerAddress(address) || entries.contains(address))
            continue;
        QSharedPointer<RemoteAcoEntry> entry(new RemoteAcoEntry);
        // Kept even when no socket could be made: its probes then fail and report the partner as silent.
        entry->channel.open(address.toLatin1().constData(), kPartnerPort);
        entries.insert(address, entry);
    }

    for (auto it = entries.begin(); it != entries.end(); ++it) {
        if (control.isWoken())
            return false;
        RemoteAcoEntry& entry = *it.value();
        RequestHello hello(0, entry.sequence);
        ++entry.sequence;
        ResponseMsg* response = nullptr;
        // Any answer counts, whatever its error code: the partner is there.
        const bool succeeded = entry.channel.exchange(hello, &response, kProbeRetries) == 0;
        delete response;
        if (entry.firstReport) {
            entry.firstReport = false;
            emit IsRemoteACOAlive(it.key(), succeeded);
        } else if (succeeded != static_cast<bool>(entry.alive)) {
            emit IsRemoteACOAlive(it.key(), succeeded);
        }
        entry.alive = succeeded;
    }
    return true;
}
