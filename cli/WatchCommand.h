#ifndef WATCHCOMMAND_H
#define WATCHCOMMAND_H

#include "AcoGpioInfo.h"
#include "RowPrinter.h"

#include <QObject>
#include <QString>

class DiveVodNetClient;
class GpioStateThread;
class RemoteACOConnectThread;
class UpdateThread;

// `watch`: follows a logged-in device the way the main window does, with the same three workers
// (status poll every second, alive check and partner probes every three), and prints every row the
// window would append to its table: the full state first, then each change, lost and regained
// connections and partner reports. Ends on Finish (a signal, the time limit), on update mode or on
// other firmware, as the window's session does.
class WatchCommand : public QObject
{
    Q_OBJECT

public:
    WatchCommand(DiveVodNetClient* client, CliOptions::Format format, QObject* parent = nullptr);
    ~WatchCommand() override;

    // Logs the starting state and starts the workers; the caller then runs the event loop.
    void Start();
    int ExitCode() const { return exitCode; }

signals:
    void Finished();

public slots:
    void Finish();

private slots:
    void OnRecvStatusInfo(AcoGpioInfo info);
    void OnIsAlive(bool isAlive, int workMode);
    void OnRecvRemoteACOConnectStatus(QString address, bool status);
    void OnMatchVersion();

private:
    void End(int code, const QString& message);

    DiveVodNetClient* client;
    GpioStateThread* gpioStateThread;
    UpdateThread* updateThread;
    RemoteACOConnectThread* remoteACOConnectThread;
    RowPrinter printer;
    AcoGpioInfo previousInfo;
    bool upgradeCheckArmed = true;
    bool connectionLost = false;
    bool ended = false;
    int exitCode = 0;
};

#endif // WATCHCOMMAND_H
