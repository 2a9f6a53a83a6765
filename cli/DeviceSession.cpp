#include "DeviceSession.h"

#include "CliExitCode.h"
#include "RemoteACOConnectThread.h"
#include "RequestHello.h"
#include "ResponseMsg.h"
#include "UdpChannel.h"

#include <chrono>
#include <memory>

DeviceSession::DeviceSession(double timeLimitSeconds)
{
    if (timeLimitSeconds > 0)
        watchdog = std::thread(&DeviceSession::Watch, this, timeLimitSeconds);
}

DeviceSession::~DeviceSession()
{
    Disarm();
    client.CloseChannel();
}

void DeviceSession::Disarm()
{
    {
        std::lock_guard<std::mutex> guard(lock);
        finished = true;
    }
    wake.notify_all();
    if (watchdog.joinable())
        watchdog.join();
}

void DeviceSession::Watch(double seconds)
{
    std::unique_lock<std::mutex> guard(lock);
    const auto limit = std::chrono::duration<double>(seconds);
    if (wake.wait_for(guard, limit, [this] { return finished; }))
        return;
    timedOut = true;
    // Closing wakes an exchange that waits for its answer; later requests fail at once.
    client.CloseChannel();
}

int DeviceSession::Login(const QString& address, int userType, const QString& password, QString& message)
{
    if (client.OpenChannel(address, kDevicePort) != 0) {
        message = QStringLiteral("Init Socket Error.");
        return ExitSocket;
    }
    client.SetLoginInfo(userType, password);
    quint32 mode = 255;
    if (timedOut || client.GetWorkMode(mode) != 0) {
        message = QStringLiteral("Device is off-line.");
        return ExitOffline;
    }
    if (mode == 0) {
        message = QStringLiteral("The device is upgrading.");
        return ExitUpgrading;
    }
    const int result = client.Authenticate();
    if (result == 0)
        return ExitOk;
    if (result == -1) {
        message = QStringLiteral("Device is off-line.");
        return ExitOffline;
    }
    message = userType == 0 ? QStringLiteral("Login failed. Please make sure the password is correct and the "
                                             "REM-CTRL key is pressed down while booting.")
                            : QStringLiteral("The password is incorrect.");
    return ExitLoginRefused;
}

bool DeviceSession::ProbePartner(const QString& address)
{
    UdpChannel channel;
    if (channel.open(address.toLatin1().constData(), RemoteACOConnectThread::kPartnerPort) != 0)
        return false;
    RequestHello hello(0, 0);
    ResponseMsg* response = nullptr;
    const bool answered = channel.exchange(hello, &response, 1) == 0;
    delete response;
    return answered;
}
