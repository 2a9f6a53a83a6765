#include "WatchCommand.h"

#include "AcoGpioInfoMetaType.h"
#include "AlarmRows.h"
#include "CliExitCode.h"
#include "DeviceReport.h"
#include "DiveVodNetClient.h"
#include "DiveVodVersion.h"
#include "GpioStateThread.h"
#include "RemoteACOConnectThread.h"
#include "UpdateThread.h"

#include <QDateTime>
#include <QTimer>

#include <cstdio>

namespace {
// The window checks the firmware this long after the login.
constexpr int kVersionCheckDelayMs = 1200;
} // namespace

WatchCommand::WatchCommand(DiveVodNetClient* client, CliOptions::Format format, QObject* parent)
    : QObject(parent)
    , client(client)
    , gpioStateThread(new GpioStateThread(client))
    , updateThread(new UpdateThread(client))
    , remoteACOConnectThread(new RemoteACOConnectThread(client))
    , printer(format, stdout)
{
    registerAcoGpioInfoMetaType();
    connect(gpioStateThread, &GpioStateThread::SendInfo, this, &WatchCommand::OnRecvStatusInfo);
    connect(updateThread, &UpdateThread::IsAlive, this, &WatchCommand::OnIsAlive);
    connect(remoteACOConnectThread, &RemoteACOConnectThread::IsRemoteACOAlive, this,
            &WatchCommand::OnRecvRemoteACOConnectStatus);
}

WatchCommand::~WatchCommand()
{
    Finish();
    delete remoteACOConnectThread;
    delete updateThread;
    delete gpioStateThread;
}

void WatchCommand::Start()
{
    // As after the window's login: a failed first read logs no starting state, and the first record
    // is then compared with an empty one.
    AcoGpioInfo info;
    if (DeviceReport::ReadState(*client, info) == 0) {
        previousInfo = info;
        for (const AlarmRecord& row : AlarmRows::FullStateEntries(info, QDateTime::currentDateTime()))
            printer.Print(row);
    }
    QTimer::singleShot(kVersionCheckDelayMs, this, &WatchCommand::OnMatchVersion);
    gpioStateThread->Start();
    updateThread->Start();
    remoteACOConnectThread->Start();
}

void WatchCommand::Finish()
{
    if (ended)
        return;
    ended = true;
    // Closing the channel wakes a worker's exchange in flight, so the waits below are short.
    client->CloseChannel();
    remoteACOConnectThread->StopAndWait();
    updateThread->StopAndWait();
    gpioStateThread->StopAndWait();
    emit Finished();
}

void WatchCommand::End(int code, const QString& message)
{
    exitCode = code;
    std::fprintf(stderr, "divevod-cli: %s\n", qPrintable(message));
    Finish();
}

void WatchCommand::OnRecvStatusInfo(AcoGpioInfo info)
{
    if (ended)
        return;
    const QVector<AlarmRecord> rows = AlarmRows::ChangedEntries(previousInfo, info, QDateTime::currentDateTime());
    previousInfo = info;
    for (const AlarmRecord& row : rows)
        printer.Print(row);
}

void WatchCommand::OnIsAlive(bool isAlive, int workMode)
{
    if (ended)
        return;
    if (isAlive && workMode == 0 && upgradeCheckArmed) {
        upgradeCheckArmed = false;
        End(ExitUpgrading, QStringLiteral("The device is upgrading."));
        return;
    }
    if (isAlive) {
        if (connectionLost && client->Authenticate() == 0) {
            connectionLost = false;
            printer.Print(AlarmRows::ConnectionLostEntry(false, QDateTime::currentDateTime()));
        }
        return;
    }
    if (!connectionLost)
        printer.Print(AlarmRows::ConnectionLostEntry(true, QDateTime::currentDateTime()));
    connectionLost = true;
}

void WatchCommand::OnRecvRemoteACOConnectStatus(QString address, bool status)
{
    if (ended)
        return;
    printer.Print(AlarmRows::RemoteAcoEntry(address, status, QDateTime::currentDateTime()));
}

void WatchCommand::OnMatchVersion()
{
    if (ended)
        return;
    QString pcb;
    QString firmware;
    if (client->GetVersion(pcb, firmware) != 0 || firmware == QLatin1String(DIVEVOD_VERSION))
        return;
    printer.Print(AlarmRows::VersionMismatchEntry(QDateTime::currentDateTime()));
    End(ExitVersionMismatch,
        QStringLiteral("The versions between the device %1 and control software %2 are mismatched.Please use "
                       "identical versions and re-login.")
            .arg(firmware, QLatin1String(DIVEVOD_VERSION)));
}
