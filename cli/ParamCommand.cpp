#include "ParamCommand.h"

#include "CliExitCode.h"
#include "CliOptions.h"
#include "DiveVodNetClient.h"

namespace {
constexpr int kMaxPartnerPassword = 6; // the parameter dialog's password fields take six characters

bool parseSwitch(const QString& text, bool& on)
{
    if (text == QLatin1String("on") || text == QLatin1String("off")) {
        on = text == QLatin1String("on");
        return true;
    }
    return false;
}
} // namespace

QString ParamCommand::CheckRemoteAco(const QString (&addresses)[4])
{
    QStringList seen;
    for (int row = 0; row < 4; ++row) {
        if (addresses[row] == QLatin1String("255.255.255.255"))
            return QStringLiteral("The Remote ACO IP address is invalid.");
        if (seen.contains(addresses[row]) && addresses[row] != QLatin1String("0.0.0.0"))
            return QStringLiteral("The Remote ACO IP address is repeated.");
        seen << addresses[row];
    }
    return QString();
}

int ParamCommand::Prepare(const QStringList& arguments, QString& error)
{
    const QString name = arguments.value(0);
    const int expected = name == QLatin1String("partner") ? 3 : 2;
    if (arguments.size() != expected) {
        error = QStringLiteral("set takes lock|auto-mode on|off, panel-type d2x1|4x1 or partner N ADDRESS.");
        return ExitUsage;
    }
    const QString value = arguments.at(1);
    if (name == QLatin1String("lock") || name == QLatin1String("auto-mode")) {
        field = name == QLatin1String("lock") ? Field::Lock : Field::AutoMode;
        if (!parseSwitch(value, on)) {
            error = QStringLiteral("%1 takes on or off.").arg(name);
            return ExitUsage;
        }
        return ExitOk;
    }
    if (name == QLatin1String("panel-type")) {
        field = Field::PanelType;
        if (value.compare(QLatin1String("d2x1"), Qt::CaseInsensitive) == 0)
            panelType = 0;
        else if (value.compare(QLatin1String("4x1"), Qt::CaseInsensitive) == 0)
            panelType = 1;
        else {
            error = QStringLiteral("panel-type takes d2x1 or 4x1.");
            return ExitUsage;
        }
        return ExitOk;
    }
    if (name == QLatin1String("partner")) {
        field = Field::Partner;
        bool ok = false;
        row = value.toInt(&ok);
        if (!ok || row < 0 || row > 3) {
            error = QStringLiteral("partner takes N = 0 (main device) to 3 (slave device 3).");
            return ExitUsage;
        }
        partnerAddress = arguments.at(2);
        if (!CliOptions::IsIpv4Address(partnerAddress)) {
            error = QStringLiteral("\"%1\" is not an IPv4 address.").arg(partnerAddress);
            return ExitBadAddress;
        }
        return ExitOk;
    }
    error = QStringLiteral("unknown parameter \"%1\"; set takes lock, auto-mode, panel-type or partner.").arg(name);
    return ExitUsage;
}

int ParamCommand::Apply(DiveVodNetClient& client, QString& error) const
{
    DeviceReport::Parameters current;
    if (DeviceReport::ReadParameters(client, current) != 0) {
        error = QStringLiteral("the device did not answer the parameter reads; nothing was written.");
        return ExitRequestFailed;
    }
    int result = 0;
    switch (field) {
    case Field::Lock:
        result = client.SetShortPressKeyState(on ? 1 : 0, current.autoMode, current.panelType);
        break;
    case Field::AutoMode:
        result = client.SetShortPressKeyState(current.keyLock, on ? 1 : 0, current.panelType);
        break;
    case Field::PanelType:
        // The dialog offers the panel type only while auto mode is off.
        if (current.autoMode != 0) {
            error = QStringLiteral("Panel Type can be changed only while Auto Mode is Disabled.");
            return ExitInvalidValue;
        }
        result = client.SetShortPressKeyState(current.keyLock, current.autoMode, panelType);
        break;
    case Field::Partner: {
        if (partnerPassword.size() > kMaxPartnerPassword) {
            error
                = QStringLiteral("the partner's admin password has more than %1 characters.").arg(kMaxPartnerPassword);
            return ExitInvalidValue;
        }
        QString addresses[4];
        QString passwords[4];
        for (int i = 0; i < 4; ++i) {
            addresses[i] = current.addresses[i];
            passwords[i] = current.passwords[i];
        }
        addresses[row] = partnerAddress;
        passwords[row] = partnerPassword;
        const QString refused = CheckRemoteAco(addresses);
        if (!refused.isEmpty()) {
            error = refused;
            return ExitInvalidValue;
        }
        result = row == 0 ? client.SetRemoteDevice(addresses[0], passwords[0])
                          : client.SetSlaveDevice(addresses + 1, passwords + 1);
        break;
    }
    }
    if (result != 0) {
        error = QStringLiteral("the device refused the change or did not answer.");
        return ExitRequestFailed;
    }
    return ExitOk;
}
