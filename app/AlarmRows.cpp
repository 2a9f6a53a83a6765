#include "AlarmRows.h"

#include "ChannelCaptions.h"

#include <QStringList>

namespace {
const char kRowTimeFormat[] = "yyyy-MM-dd hh:mm:ss";

QString connectionText(quint32 led)
{
    if (led == 0)
        return QStringLiteral("Green");
    return led == 1 ? QStringLiteral("Off") : QStringLiteral("Green Flashing");
}

AlarmRecord entry(const QDateTime& time, const QString& input, const QString& type, const QString& status)
{
    return AlarmRecord { time, input, type, status, QString() };
}

bool bit(quint32 mask, int channel)
{
    return (mask >> channel) & 1u;
}

void channelLedEntry(QVector<AlarmRecord>& out, const AcoGpioInfo& info, int channel, const QDateTime& time)
{
    out << entry(time, AlarmRows::GroupName(channel, info.panelType),
                 AlarmRows::AlarmTypeName(channel, QStringLiteral("LED"), info.panelType),
                 AlarmRows::ChannelLedText(bit(info.gpioGreenMask, channel), bit(info.gpioRedMask, channel)));
}

void keyEntry(QVector<AlarmRecord>& out, const AcoGpioInfo& info, int channel, const QString& prefix,
              const QDateTime& time)
{
    out << entry(time, AlarmRows::GroupName(channel, info.panelType),
                 AlarmRows::AlarmTypeName(channel, prefix, info.panelType),
                 AlarmRows::EnabledText(bit(info.keyMask, channel)));
}
} // namespace

QString AlarmRows::PowerText(bool on)
{
    return on ? QStringLiteral("Green") : QStringLiteral("Off");
}

QString AlarmRows::ChannelLedText(bool green, bool red)
{
    if (green && red)
        return QStringLiteral("Green Red Flashing");
    if (red)
        return QStringLiteral("Red");
    return green ? QStringLiteral("Green") : QStringLiteral("Off");
}

QString AlarmRows::EnabledText(bool on)
{
    return on ? QStringLiteral("Enabled") : QStringLiteral("Disabled");
}

QString AlarmRows::PanelTypeName(quint32 type)
{
    if (type == 0)
        return QStringLiteral("LED-D2X1");
    return type == 1 ? QStringLiteral("LED-4X1") : QStringLiteral("LED-Others");
}

QString AlarmRows::GroupName(int channel, quint32 panelType)
{
    if (channel < 0 || channel >= ChannelCaptions::kChannels)
        return QString();
    if (panelType != 0 || channel < 3)
        return QStringLiteral("Group A");
    return QStringLiteral("Group B");
}

QString AlarmRows::AlarmTypeName(int channel, const QString& prefix, quint32 panelType)
{
    if (channel < 0 || channel >= ChannelCaptions::kChannels)
        return QString();
    return QStringLiteral("%1-%2").arg(prefix, ChannelCaptions::ForPanelType(panelType).at(channel));
}

QVector<AlarmRecord> AlarmRows::ChangedEntries(const AcoGpioInfo& previous, const AcoGpioInfo& info,
                                               const QDateTime& time)
{
    QVector<AlarmRecord> out;
    if (info.ps1Led != previous.ps1Led)
        out << entry(time, QString(), QStringLiteral("LED-PS1"), PowerText(info.ps1Led));
    if (info.ps2Led != previous.ps2Led)
        out << entry(time, QString(), QStringLiteral("LED-PS2"), PowerText(info.ps2Led));
    if (info.localLed != previous.localLed)
        out << entry(time, QString(), QStringLiteral("LED-Local"), connectionText(info.localLed));
    if (info.remoteLed != previous.remoteLed)
        out << entry(time, QString(), QStringLiteral("LED-Remote"), connectionText(info.remoteLed));
    if (info.panelType != previous.panelType) {
        out << entry(time, QString(), PanelTypeName(previous.panelType), QStringLiteral("Off"));
        out << entry(time, QString(), PanelTypeName(info.panelType), QStringLiteral("Green"));
    }
    if (info.gpioGreenMask != previous.gpioGreenMask || info.gpioRedMask != previous.gpioRedMask) {
        for (int i = 0; i < ChannelCaptions::kChannels; ++i) {
            if (bit(info.gpioGreenMask, i) != bit(previous.gpioGreenMask, i)
                || bit(info.gpioRedMask, i) != bit(previous.gpioRedMask, i))
                channelLedEntry(out, info, i, time);
        }
    }
    if (info.keyMask != previous.keyMask) {
        for (int i = 0; i < ChannelCaptions::kChannels; ++i) {
            if (bit(info.keyMask, i) == bit(previous.keyMask, i))
                continue;
            const bool pressedHere = info.remoteKeyMask == (1u << i);
            keyEntry(out, info, i, pressedHere ? QStringLiteral("REM KEY") : QStringLiteral("KEY"), time);
        }
    }
    if (info.keyLock != previous.keyLock)
        out << entry(time, QString(), QStringLiteral("KEY-LOCK"), EnabledText(info.keyLock));
    if (info.autoMode != previous.autoMode)
        out << entry(time, QString(), QStringLiteral("KEY-AUTO MODE"), EnabledText(info.autoMode));
    return out;
}

QVector<AlarmRecord> AlarmRows::FullStateEntries(const AcoGpioInfo& info, const QDateTime& time)
{
    QVector<AlarmRecord> out;
    out << entry(time, QString(), QStringLiteral("LED-PS1"), PowerText(info.ps1Led));
    out << entry(time, QString(), QStringLiteral("LED-PS2"), PowerText(info.ps2Led));
    out << entry(time, QString(), QStringLiteral("LED-Local"), connectionText(info.localLed));
    out << entry(time, QString(), QStringLiteral("LED-Remote"), connectionText(info.remoteLed));
    out << entry(time, QString(), PanelTypeName(info.panelType), QStringLiteral("Green"));
    // The 4x1 front has no fifth input; other types list all six channels.
    const auto listed = [&info](int channel) { return !(info.panelType == 1 && channel == 4); };
    for (int i = 0; i < ChannelCaptions::kChannels; ++i) {
        if (listed(i))
            channelLedEntry(out, info, i, time);
    }
    for (int i = 0; i < ChannelCaptions::kChannels; ++i) {
        if (listed(i))
            keyEntry(out, info, i, QStringLiteral("KEY"), time);
    }
    out << entry(time, QString(), QStringLiteral("KEY-LOCK"), EnabledText(info.keyLock));
    out << entry(time, QString(), QStringLiteral("KEY-AUTO MODE"), EnabledText(info.autoMode));
    return out;
}

AlarmRecord AlarmRows::ConnectionLostEntry(bool asserted, const QDateTime& time)
{
    return entry(time, QString(), QStringLiteral("Connection Lost"),
                 asserted ? QStringLiteral("Asserted") : QStringLiteral("Cleared"));
}

AlarmRecord AlarmRows::RemoteAcoEntry(const QString& address, bool connected, const QDateTime& time)
{
    return entry(time, QString(), QStringLiteral("Remote ACO %1").arg(address),
                 connected ? QStringLiteral("Connected") : QStringLiteral("Lost"));
}

AlarmRecord AlarmRows::VersionMismatchEntry(const QDateTime& time)
{
    return AlarmRecord { time, QString(), QString(), QString(),
                         QStringLiteral("Version mismatch between the Config Tool and the Firmware") };
}

QStringList AlarmRows::Fields(int number, const AlarmRecord& record)
{
    return { QString::number(number),
             record.time.toString(QLatin1String(kRowTimeFormat)),
             record.input,
             record.alarmType,
             record.alarmStatus,
             record.notes };
}
