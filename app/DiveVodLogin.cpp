// The Connect command: the login loop and the start of a session.
#include "DiveVod.h"
#include "ui_DiveVod.h"

#include "DeviceWait.h"
#include "DiveVodNetClient.h"
#include "DiveVodSettings.h"
#include "GpioStateThread.h"
#include "Login.h"
#include "RemoteACOConnectThread.h"
#include "UpdateThread.h"

#include <QMessageBox>
#include <QSettings>

namespace {
const char kDefaultAddress[] = "192.168.1.100";
constexpr int kVersionCheckDelayMs = 1200;
constexpr int kAutoSaveTickMs = 1000;
constexpr quint32 kNoWorkMode = 255;
} // namespace

void DiveVod::OnConnect()
{
    QString address;
    {
        QSettings settings{kSettingsOrganisation, kSettingsApplication};
        address = settings.value(QStringLiteral("IP")).toString();
    }
    if (address.isEmpty())
        address = QLatin1String(kDefaultAddress);

    int user = 0;
    QString password;
    for (;;) {
        // A retry offers the address and user that just failed: the stored address could be another unit.
        Login login(this);
        login.SetIP(address);
        login.SetUser(user);
        if (login.exec() != QDialog::Accepted)
            return;
        login.GetLoginInfo(address, user, password);

        if (client->OpenChannel(address, kDevicePort) != 0) {
            QMessageBox::warning(this, tr("Warning"), tr("Init Socket Error."));
            continue;
        }
        client->SetLoginInfo(user, password);

        // A device in its update firmware must be recognised before any login. Waiting for an address
        // where nothing answers is pointless: Cancel closes the channel and brings the dialog back.
        quint32 workMode = kNoWorkMode;
        int workModeResult = 0;
        int result = -1;
        DeviceWait wait(this);
        wait.AllowCancel([this] { client->CloseChannel(); });
        DeviceWait::Run([&] {
            workModeResult = client->GetWorkMode(workMode);
            if (workModeResult == 0 && workMode != 0)
                result = client->Authenticate();
        });
        if (wait.Ended()) {
            client->CloseChannel();
            if (wait.Cancelled())
                continue;
            return;
        }
        if (workModeResult != 0) {
            QMessageBox::warning(this, tr("Warning"), tr("Device is off-line."));
            client->CloseChannel();
            continue;
        }
        if (workMode == 0) {
            QMessageBox::warning(this, tr("Warning"), tr("The device is upgrading."));
            client->CloseChannel();
            continue;
        }
        if (result == 0)
            break;
        if (result == -1)
            QMessageBox::warning(this, tr("Warning"), tr("Device is off-line."));
        else if (user == 0)
            QMessageBox::warning(this, tr("Warning"),
                                 tr("Login failed. Please make sure the password is correct and the REM-CTRL key "
                                    "is pressed down while booting."));
        else
            QMessageBox::warning(this, tr("Warning"), tr("The password is incorrect."));
        client->CloseChannel();
    }

    {
        QSettings settings{kSettingsOrganisation, kSettingsApplication};
        settings.setValue(QStringLiteral("IP"), address);
    }
    ui->actionConnect->setEnabled(false);
    ui->actionDisconnect->setEnabled(true);
    userType = user;
    disconnected = 0;

    upgradeCheckArmed = true;
    connectionLost = false;
    deviceAlive = true;

    QTimer::singleShot(kVersionCheckDelayMs, this, SLOT(OnMatchVersion()));
    DeviceWait wait(this);
    if (!InitAfterLogin(wait))
        return; // the window closed meanwhile, and the session with it
    gpioStateThread->Start();
    updateThread->Start();
    remoteACOConnectThread->Start();

    OnAutoSaveTimer();
    autoSaveTimer.start(kAutoSaveTickMs);
}
