// After a login: device information, the starting state, the monitors' reports and the disconnect.
#include "DiveVod.h"
#include "ui_DiveVod.h"

#include "AlarmJournal.h"
#include "AlarmRows.h"
#include "AppClock.h"
#include "DeviceWait.h"
#include "DiveVodNetClient.h"
#include "DiveVodSettings.h"
#include "GPIOStatus2x1.h"
#include "GPIOStatus4x1.h"
#include "GpioStateThread.h"
#include "ProductInfoText.h"
#include "RemoteACOConnectThread.h"
#include "UpdateThread.h"

#include <QMessageBox>
#include <QSettings>

bool DiveVod::InitAfterLogin(DeviceWait& wait)
{
    // Every exchange in one run, in the order the device has always seen them; what it answered is
    // shown afterwards, here.
    quint32 productCode = 0;
    quint8 serial[8] = {};
    quint8 further[8] = {};
    QString pcbVersion;
    QString firmware;
    QString address;
    QString subnetMask;
    QString gateway;
    bool isDefault = false;
    AcoGpioInfo info;
    quint8 keyLock = 0;
    quint8 autoMode = 0;
    quint32 panelType = 0;
    bool deviceInfoRead = false;
    bool stateRead = false;
    DeviceWait::Run([&] {
        deviceInfoRead = client->GetProductInfo(productCode, serial, further) == 0
                         && client->GetVersion(pcbVersion, firmware) == 0
                         && client->GetNetParam(address, subnetMask, gateway, isDefault) == 0;
        stateRead = client->GetAcoGpioInfo(info) == 0 && client->GetShortPressKeyState(keyLock, autoMode, panelType) == 0;
    });
    if (wait.Ended())
        return false;
    {
        QSettings settings{kSettingsOrganisation, kSettingsApplication};
        loginAddress = settings.value(QStringLiteral("IP")).toString();
    }
    lostSince = QDateTime();
    NoteAnswer();

    if (deviceInfoRead) {
        KeepSessionRows();
        moduleType = GetModuleTypeName(productCode);
        productSN = GetProductSNText(serial);
        firmwareVersion = firmware;
        ipAddress = address;
        if (!journalTried)
            OpenAlarmJournal();
        journal->SetDeviceInfo({moduleType, productSN, firmwareVersion, ipAddress});
    }
    if (!stateRead)
        return true;
    info.keyLock = keyLock != 0;
    info.autoMode = autoMode != 0;
    info.phaseAlign = 0;
    info.remoteKeyMask = 0;

    previousInfo = info;
    currentPanelType = info.panelType;
    {
        QSettings settings{kSettingsOrganisation, kSettingsApplication};
        settings.setValue(QStringLiteral("DeviceType"), static_cast<int>(info.panelType));
    }
    ShowPanel(info.panelType, false);
    gpioStatus4x1->SetABKeysEnabled(true);
    gpioStatus2x1->SetABKeysEnabled(true);
    emit SendInfo(info);
    LogFullState(info);
    SetConnectImage(true);
    return true;
}

void DiveVod::OnDisConnect()
{
    const auto answer = QMessageBox::information(this, tr("Warning"), tr("Do you want to disconnect?"),
                                                 QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes);
    if (answer == QMessageBox::No)
        return;
    DisconnectDevice();
    BackupLog();
}

void DiveVod::DisconnectDevice()
{
    client->CloseChannel();
    // Not waited for: a cycle under way finishes on its own and its report is ignored.
    remoteACOConnectThread->Stop();
    updateThread->Stop();
    gpioStateThread->Stop();
    autoSaveTimer.stop();
    gpioStatus2x1->ResetStatus();
    gpioStatus4x1->ResetStatus();
    ui->actionConnect->setEnabled(true);
    ui->actionDisconnect->setEnabled(false);
    deviceAlive = false;
    SetConnectImage(false);
    disconnected = 1;
    UpdateStatusLine();
}

void DiveVod::SetConnectImage(bool connected)
{
    ui->labelConnect->setStyleSheet(connected
                                        ? QStringLiteral("QLabel{border-image: url(:/DiveVod/Resources/connect.png);}")
                                        : QStringLiteral("QLabel{border-image: url(:/DiveVod/Resources/disconnect.png);}"));
}

void DiveVod::OnIsAlive(bool isAlive, int workMode)
{
    // It may end the session or log in again: never in the middle of a command's exchange.
    if (DeviceWait::Defer(this, [=] { OnIsAlive(isAlive, workMode); }))
        return;
    if (disconnected == 1)
        return;
    deviceAlive = isAlive;
    if (isAlive && workMode == 0 && upgradeCheckArmed) {
        upgradeCheckArmed = false;
        DisconnectDevice();
        BackupLog();
        Notify(tr("Session ended"), tr("The device is upgrading."));
        QMessageBox::warning(this, tr("Warning"), tr("The device is upgrading."));
        return;
    }
    if (isAlive) {
        lastAnswer = AppClock::Now();
        if (connectionLost) {
            DeviceWait wait(this);
            const int result = DeviceWait::Run([&] { return client->Authenticate(); });
            if (wait.Ended())
                return;
            if (result != 0) {
                UpdateStatusLine();
                return;
            }
            connectionLost = false;
            Notify(tr("Connection restored"), tr("%1 answers again.").arg(loginAddress));
            gpioStatus4x1->SetABKeysEnabled(true);
            gpioStatus2x1->SetABKeysEnabled(true);
            AppendAlarmRow(AlarmRows::ConnectionLostEntry(false, AppClock::Now()));
        }
        SetConnectImage(true);
        UpdateStatusLine();
        return;
    }
    if (!connectionLost) {
        lostSince = AppClock::Now();
        Notify(tr("Connection lost"), tr("%1 does not answer.").arg(loginAddress));
        gpioStatus2x1->ResetStatus();
        gpioStatus4x1->ResetStatus();
        AppendAlarmRow(AlarmRows::ConnectionLostEntry(true, AppClock::Now()));
    }
    connectionLost = true;
    SetConnectImage(false);
    UpdateStatusLine();
}

void DiveVod::OnMatchVersion()
{
    if (DeviceWait::Defer(this, [this] { OnMatchVersion(); }))
        return;
    if (disconnected == 1)
        return;
    QString pcbVersion;
    QString firmware;
    DeviceWait wait(this);
    if (DeviceWait::Run([&] { return client->GetVersion(pcbVersion, firmware); }) != 0 || wait.Ended())
        return;
    if (firmware == QLatin1String(kControlVersion))
        return;
    Notify(tr("Session ended"),
           tr("The device runs firmware %1, this tool %2.").arg(firmware, QLatin1String(kControlVersion)));
    QMessageBox::warning(this, tr("Warning"),
                         tr("The versions between the device %1 and control software %2 are mismatched.Please use "
                            "identical versions and re-login.")
                             .arg(firmware, QLatin1String(kControlVersion)));
    AppendAlarmRow(AlarmRows::VersionMismatchEntry(AppClock::Now()));
    DisconnectDevice();
    BackupLog();
}

void DiveVod::OnRecvRemoteACOConnectStatus(QString strIP, bool status)
{
    // Logged even after a disconnect: the report describes a partner, not this session.
    if (!status)
        Notify(tr("Partner device lost"), tr("Remote ACO %1 does not answer.").arg(strIP));
    AppendAlarmRow(AlarmRows::RemoteAcoEntry(strIP, status, AppClock::Now()));
}
