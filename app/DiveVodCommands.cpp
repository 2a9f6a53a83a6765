// The menu commands that run the configuration dialogs: live for an administrator on a device
// that answers, a greyed-out view otherwise.
#include "DiveVod.h"

#include "ChangePassword.h"
#include "DeviceWait.h"
#include "DiveVodNetClient.h"
#include "DiveVodSettings.h"
#include "General.h"
#include "Ipv4Text.h"
#include "NetworkProperty.h"
#include "ParamCfg.h"

#include <QHostAddress>
#include <QMessageBox>
#include <QSettings>

namespace {
const int kGuest = 1;

// An empty gateway is allowed ("no gateway") and travels as 0.0.0.0, never as the text of a null address.
QString dottedText(const QHostAddress& address)
{
    return address.isNull() ? QStringLiteral("0.0.0.0") : address.toString();
}
} // namespace

bool DiveVod::DeviceReachable() const
{
    return disconnected == 0 && deviceAlive;
}

void DiveVod::ShowWarning(const QString& text)
{
    QMessageBox::warning(this, tr("Warning"), text, QMessageBox::Ok);
}

void DiveVod::OnConfigParam()
{
    ParamCfg dialog(client, this);
    if (!DeviceReachable()) {
        dialog.setEnabled(false);
        dialog.exec();
        return;
    }
    // Defaults shown as the device's values would be written back over them on OK.
    DeviceWait wait(this);
    const int read = dialog.ReadParam();
    if (wait.Ended())
        return;
    if (read != 0) {
        ShowWarning(tr("Device is off-line."));
        return;
    }
    if (userType == kGuest) {
        dialog.MaskPasswords(); // the partners' admin passwords are not a guest's to read
        dialog.setEnabled(false);
    }
    if (dialog.exec() == QDialog::Accepted && dialog.WriteParam() != 0 && !wait.Ended())
        ShowWarning(tr("The parameters could not be written to the device."));
}

void DiveVod::OnGeneral()
{
    General dialog(client, this);
    if (DeviceReachable()) {
        DeviceWait wait(this);
        dialog.ReadInfo(); // what could not be read stays empty
        if (wait.Ended())
            return;
    } else {
        dialog.setEnabled(false);
    }
    dialog.exec();
}

void DiveVod::OnNetworkProperty()
{
    DeviceWait wait(this);
    for (;;) {
        NetworkProperty dialog(this);
        if (!DeviceReachable()) {
            dialog.setEnabled(false);
            dialog.exec();
            return;
        }
        QString address;
        QString subnetMask;
        QString gateway;
        bool isDefault = false;
        const int read = DeviceWait::Run([&] { return client->GetNetParam(address, subnetMask, gateway, isDefault); });
        if (wait.Ended())
            return;
        if (read != 0) {
            ShowWarning(tr("Device is off-line."));
            return;
        }
        dialog.SetNetworkProperty(QHostAddress(ipv4FromText(address)), QHostAddress(ipv4FromText(subnetMask)),
                                  QHostAddress(ipv4FromText(gateway)));
        if (isDefault)
            dialog.SetInfo(tr("Current network parameters is default"));
        if (userType == kGuest)
            dialog.setEnabled(false);
        if (dialog.exec() != QDialog::Accepted)
            return;

        QHostAddress newAddress;
        QHostAddress newMask;
        QHostAddress newGateway;
        dialog.GetNetworkProperty(newAddress, newMask, newGateway);
        const QString addressText = dottedText(newAddress);
        // This computer's own address would take it off the network: ask again, from the device's values.
        if (client->GetLocalAddresses().contains(addressText)) {
            ShowWarning(tr("The IP address is invalid."));
            continue;
        }
        const QString maskText = dottedText(newMask);
        const QString gatewayText = dottedText(newGateway);
        const int written = DeviceWait::Run([&] { return client->SetNetParam(addressText, maskText, gatewayText); });
        if (wait.Ended())
            return;
        if (written != 0) {
            ShowWarning(tr("The network parameters were not changed."));
            return;
        }
        QSettings settings { kSettingsOrganisation, kSettingsApplication };
        settings.setValue(QStringLiteral("IP"), addressText);
        ShowWarning(tr("The new IP address will be used after reboot."));
        return;
    }
}

void DiveVod::OnChangePassword()
{
    DeviceWait wait(this);
    QString user; // after a refusal the dialog comes back with the account chosen, not with "admin"
    for (;;) {
        ChangePassword dialog(this);
        dialog.SetUser(user);
        if (!DeviceReachable() || userType == kGuest)
            dialog.setEnabled(false);
        if (dialog.exec() != QDialog::Accepted)
            return;
        QString password;
        QString confirmation;
        dialog.GetPasswordInfo(user, password, confirmation);
        const int changed = DeviceWait::Run([&] { return client->ModifyPassword(user, password); });
        if (wait.Ended())
            return;
        if (changed != 0) {
            ShowWarning(tr("The password is not changed."));
            continue;
        }
        if (user == QLatin1String("admin")) {
            // The running connection and every later re-login use the new administrator password.
            client->SetLoginInfo(0, password);
            DeviceWait::Run([&] { return client->Authenticate(); });
            if (wait.Ended())
                return;
        }
        ShowWarning(tr("The password has been changed."));
        return;
    }
}
