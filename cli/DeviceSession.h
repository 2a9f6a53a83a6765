#ifndef DEVICESESSION_H
#define DEVICESESSION_H

#include "DiveVodNetClient.h"

#include <QString>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

// One login to one device for divevod-cli: the window's login sequence (work mode first, then the
// authentication) on a client of its own, and an optional time limit after which every exchange with
// the device is woken and fails, so that a silent unit holds a caller for that long at most.
class DeviceSession
{
public:
    static constexpr int kDevicePort = 33904;

    // timeLimitSeconds <= 0: no limit beyond the protocol's own time-outs.
    explicit DeviceSession(double timeLimitSeconds = 0);
    ~DeviceSession();
    DeviceSession(const DeviceSession&) = delete;
    DeviceSession& operator=(const DeviceSession&) = delete;

    // ExitOk, or the CliExitCode of the cause with the window's message in `message`.
    int Login(const QString& address, int userType, const QString& password, QString& message);
    DiveVodNetClient& Client() { return client; }
    bool TimedOut() const { return timedOut; }
    // Ends the time limit: what follows (partner probes) has bounds of its own.
    void Disarm();
    // Probes a partner device the way the remote ACO monitor does (Hello on port 33903, one resend).
    static bool ProbePartner(const QString& address);

private:
    void Watch(double seconds);

    DiveVodNetClient client;
    std::atomic<bool> timedOut { false };
    std::mutex lock; // guards finished against the watchdog
    std::condition_variable wake;
    bool finished = false;
    std::thread watchdog;
};

#endif // DEVICESESSION_H
