#ifndef ALARMROWS_H
#define ALARMROWS_H

#include "AcoGpioInfo.h"
#include "AlarmRecord.h"

#include <QDateTime>
#include <QString>
#include <QVector>

// The alarm rows that status records and connection events turn into: the window's table and
// divevod-cli print the same entries. Qt Core only. Row texts are fixed English texts.
class AlarmRows
{
public:
    static QString GroupName(int channel, quint32 panelType);
    static QString AlarmTypeName(int channel, const QString& prefix, quint32 panelType);
    // The entries that one record adds after `previous`, in table order.
    static QVector<AlarmRecord> ChangedEntries(const AcoGpioInfo& previous, const AcoGpioInfo& info,
                                               const QDateTime& time);
    // One entry per monitored item, as logged right after a login.
    static QVector<AlarmRecord> FullStateEntries(const AcoGpioInfo& info, const QDateTime& time);
    // "Connection Lost" "Asserted" when the device stops answering, "Cleared" when it is back.
    static AlarmRecord ConnectionLostEntry(bool asserted, const QDateTime& time);
    // "Remote ACO <address>" "Connected" or "Lost".
    static AlarmRecord RemoteAcoEntry(const QString& address, bool connected, const QDateTime& time);
    // The note row logged before a session ends on another firmware version.
    static AlarmRecord VersionMismatchEntry(const QDateTime& time);
    // A row's six fields as the CSV files hold them (number, time, input, type, status, notes).
    static QStringList Fields(int number, const AlarmRecord& record);
    // The state texts of the single items, for summaries that name one item.
    static QString PowerText(bool on);
    static QString ChannelLedText(bool green, bool red);
    static QString EnabledText(bool on);
    static QString PanelTypeName(quint32 type);
};

#endif // ALARMROWS_H
