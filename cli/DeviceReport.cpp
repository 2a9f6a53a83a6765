#include "DeviceReport.h"

#include "DiveVodNetClient.h"
#include "ProductInfoText.h"

#include <QJsonArray>

#include <algorithm>

namespace {
constexpr quint32 kAcoGpioProductCode = 50003;

QString labelled(const QVector<QPair<QString, QString>>& lines)
{
    QVector<QStringList> rows;
    for (const auto& line : lines)
        rows << QStringList { line.first + QLatin1Char(':'), line.second };
    return DeviceReport::Table(rows);
}
} // namespace

int DeviceReport::ReadInformation(DiveVodNetClient& client, Information& info)
{
    quint32 productCode = 0;
    quint8 serial[8] = {};
    quint8 further[8] = {};
    if (client.GetProductInfo(productCode, serial, further) != 0)
        return -1;
    info.moduleType = GetModuleTypeName(productCode);
    info.description
        = productCode == kAcoGpioProductCode ? QStringLiteral("Velmora-ACO-GPIO") : QStringLiteral("Unknown");
    info.productSN = GetProductSNText(serial);
    quint32 workMode = 0;
    if (client.GetWorkMode(workMode) != 0)
        return -1;
    info.runMode = workMode != 0 ? QStringLiteral("UserApp") : QStringLiteral("Update");
    if (client.GetVersion(info.pcbVersion, info.firmwareVersion) != 0)
        return -1;
    bool isDefault = false;
    return client.GetNetParam(info.ipAddress, info.subnetMask, info.gateway, isDefault) == 0 ? 0 : -1;
}

int DeviceReport::ReadState(DiveVodNetClient& client, AcoGpioInfo& state)
{
    if (client.GetAcoGpioInfo(state) != 0)
        return -1;
    quint8 keyLock = 0;
    quint8 autoMode = 0;
    quint32 panelType = 0;
    if (client.GetShortPressKeyState(keyLock, autoMode, panelType) != 0)
        return -1;
    state.keyLock = keyLock != 0;
    state.autoMode = autoMode != 0;
    state.phaseAlign = 0;
    state.remoteKeyMask = 0;
    return 0;
}

int DeviceReport::ReadParameters(DiveVodNetClient& client, Parameters& parameters)
{
    Parameters read;
    if (client.GetShortPressKeyState(read.keyLock, read.autoMode, read.panelType) != 0
        || client.GetRemoteDevice(read.addresses[0], read.passwords[0]) != 0
        || client.GetSlaveDevice(read.addresses + 1, read.passwords + 1) != 0)
        return -1;
    parameters = read;
    return 0;
}

QString DeviceReport::InformationText(const Information& info)
{
    return labelled({ { QStringLiteral("Module Type"), info.moduleType },
                      { QStringLiteral("Description"), info.description },
                      { QStringLiteral("Product SN"), info.productSN },
                      { QStringLiteral("Running Mode"), info.runMode },
                      { QStringLiteral("PCB Version"), info.pcbVersion },
                      { QStringLiteral("Firmware Version"), info.firmwareVersion },
                      { QStringLiteral("IP Address"), info.ipAddress },
                      { QStringLiteral("Subnet Mask"), info.subnetMask },
                      { QStringLiteral("Gateway"), info.gateway } });
}

QJsonObject DeviceReport::InformationJson(const Information& info)
{
    return { { "moduleType", info.moduleType }, { "description", info.description },
             { "productSN", info.productSN },   { "runningMode", info.runMode },
             { "pcbVersion", info.pcbVersion }, { "firmwareVersion", info.firmwareVersion },
             { "ipAddress", info.ipAddress },   { "subnetMask", info.subnetMask },
             { "gateway", info.gateway } };
}

QString DeviceReport::StateText(const QVector<AlarmRecord>& rows)
{
    QVector<QStringList> cells { { QStringLiteral("Input"), QStringLiteral("Alarm Type"),
                                   QStringLiteral("Alarm Status") } };
    for (const AlarmRecord& row : rows)
        cells << QStringList { row.input, row.alarmType, row.alarmStatus };
    return Table(cells);
}

QJsonObject DeviceReport::StateJson(const AcoGpioInfo& state, const QVector<AlarmRecord>& rows)
{
    QJsonArray list;
    for (const AlarmRecord& row : rows)
        list.append(
            QJsonObject { { "input", row.input }, { "alarmType", row.alarmType }, { "alarmStatus", row.alarmStatus } });
    const QJsonObject record { { "ps1Led", state.ps1Led },
                               { "ps2Led", state.ps2Led },
                               { "localLed", int(state.localLed) },
                               { "remoteLed", int(state.remoteLed) },
                               { "panelType", int(state.panelType) },
                               { "gpioGreenMask", int(state.gpioGreenMask) },
                               { "gpioRedMask", int(state.gpioRedMask) },
                               { "keyMask", int(state.keyMask) },
                               { "ipReset", state.ipReset },
                               { "upgrade", state.upgrade },
                               { "remCtrl", state.remCtrl },
                               { "keyLock", state.keyLock },
                               { "autoMode", state.autoMode } };
    return { { "record", record }, { "rows", list } };
}

QString DeviceReport::PartnerRowName(int row)
{
    return row == 0 ? QStringLiteral("Main Device") : QStringLiteral("Slave Device %1").arg(row);
}

QString DeviceReport::ParametersText(const Parameters& parameters)
{
    QVector<QPair<QString, QString>> lines {
        { QStringLiteral("Lock"), parameters.keyLock ? QStringLiteral("Enabled") : QStringLiteral("Disabled") },
        { QStringLiteral("Auto Mode"), parameters.autoMode ? QStringLiteral("Enabled") : QStringLiteral("Disabled") },
        { QStringLiteral("Panel Type"), parameters.panelType == 0 ? QStringLiteral("D2X1") : QStringLiteral("4X1") }
    };
    // Partner passwords stay out of the output: they are the partners' admin passwords.
    for (int row = 0; row < 4; ++row)
        lines.append({ PartnerRowName(row), parameters.addresses[row] });
    return labelled(lines);
}

QJsonObject DeviceReport::ParametersJson(const Parameters& parameters)
{
    QJsonArray partners;
    for (int row = 0; row < 4; ++row)
        partners.append(QJsonObject { { "row", PartnerRowName(row) }, { "address", parameters.addresses[row] } });
    return { { "lock", parameters.keyLock != 0 },
             { "autoMode", parameters.autoMode != 0 },
             { "panelType", parameters.panelType == 0 ? QStringLiteral("D2X1") : QStringLiteral("4X1") },
             { "partners", partners } };
}

QString DeviceReport::Table(const QVector<QStringList>& rows)
{
    QVector<int> widths;
    for (const QStringList& row : rows) {
        widths.resize(std::max(widths.size(), row.size()));
        for (int i = 0; i < row.size(); ++i)
            widths[i] = std::max(widths[i], row[i].size());
    }
    QString out;
    for (const QStringList& row : rows) {
        QString line;
        for (int i = 0; i < row.size(); ++i)
            line += i + 1 < row.size() ? row[i].leftJustified(widths[i] + 2) : row[i];
        // Trailing blanks of empty last cells are of no use to anyone.
        while (line.endsWith(QLatin1Char(' ')))
            line.chop(1);
        out += line + QLatin1Char('\n');
    }
    return out;
}
