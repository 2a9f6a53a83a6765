// The alarm table: rows, the comparison of status records and the panel switch.
#include "DiveVod.h"
#include "ui_DiveVod.h"

#include "AlarmJournal.h"
#include "AlarmView.h"
#include "AppClock.h"
#include "ChannelCaptions.h"
#include "GPIOStatus2x1.h"
#include "GPIOStatus4x1.h"
#include "GpioStateThread.h"

#include <QHeaderView>
#include <QMessageBox>
#include <QTableWidget>
#include <QTableWidgetItem>

#include <algorithm>

namespace {
const char kRowTimeFormat[] = "yyyy-MM-dd hh:mm:ss";

QString powerText(bool on)
{
    return on ? QStringLiteral("Green") : QStringLiteral("Off");
}

QString connectionText(quint32 led)
{
    if (led == 0)
        return QStringLiteral("Green");
    return led == 1 ? QStringLiteral("Off") : QStringLiteral("Green Flashing");
}

QString channelLedText(bool green, bool red)
{
    if (green && red)
        return QStringLiteral("Green Red Flashing");
    if (red)
        return QStringLiteral("Red");
    return green ? QStringLiteral("Green") : QStringLiteral("Off");
}

QString enabledText(bool on)
{
    return on ? QStringLiteral("Enabled") : QStringLiteral("Disabled");
}

QString panelTypeName(quint32 type)
{
    if (type == 0)
        return QStringLiteral("LED-D2X1");
    return type == 1 ? QStringLiteral("LED-4X1") : QStringLiteral("LED-Others");
}

// Once, when rows arrive in an empty table (per row it would slow the append path down): a column grows
// to what those rows hold, but never below its starting width, which has room for the longer texts that
// come later. The last column stretches to the window's edge.
void fitColumnsToRows(QTableWidget* table)
{
    const QAbstractItemView* view = table;
    QHeaderView* header = table->horizontalHeader();
    for (int column = 0; column + 1 < table->columnCount(); ++column) {
        const int fitted = std::max(view->sizeHintForColumn(column), header->sectionSizeHint(column));
        if (fitted > header->sectionSize(column))
            header->resizeSection(column, fitted);
    }
}

AlarmRecord entry(const QDateTime& time, const QString& input, const QString& type, const QString& status)
{
    return AlarmRecord{time, input, type, status, QString()};
}

bool bit(quint32 mask, int channel)
{
    return (mask >> channel) & 1u;
}

void channelLedEntry(QVector<AlarmRecord>& out, const AcoGpioInfo& info, int channel, const QDateTime& time)
{
    out << entry(time, DiveVod::GroupName(channel, info.panelType),
                 DiveVod::AlarmTypeName(channel, QStringLiteral("LED"), info.panelType),
                 channelLedText(bit(info.gpioGreenMask, channel), bit(info.gpioRedMask, channel)));
}

void keyEntry(QVector<AlarmRecord>& out, const AcoGpioInfo& info, int channel, const QString& prefix,
              const QDateTime& time)
{
    out << entry(time, DiveVod::GroupName(channel, info.panelType),
                 DiveVod::AlarmTypeName(channel, prefix, info.panelType), enabledText(bit(info.keyMask, channel)));
}
} // namespace

QString DiveVod::GroupName(int channel, quint32 panelType)
{
    if (channel < 0 || channel >= ChannelCaptions::kChannels)
        return QString();
    if (panelType != 0 || channel < 3)
        return QStringLiteral("Group A");
    return QStringLiteral("Group B");
}

QString DiveVod::AlarmTypeName(int channel, const QString& prefix, quint32 panelType)
{
    if (channel < 0 || channel >= ChannelCaptions::kChannels)
        return QString();
    return QStringLiteral("%1-%2").arg(prefix, ChannelCaptions::ForPanelType(panelType).at(channel));
}

QVector<AlarmRecord> DiveVod::ChangedEntries(const AcoGpioInfo& previous, const AcoGpioInfo& info,
                                             const QDateTime& time)
{
    QVector<AlarmRecord> out;
    if (info.ps1Led != previous.ps1Led)
        out << entry(time, QString(), QStringLiteral("LED-PS1"), powerText(info.ps1Led));
    if (info.ps2Led != previous.ps2Led)
        out << entry(time, QString(), QStringLiteral("LED-PS2"), powerText(info.ps2Led));
    if (info.localLed != previous.localLed)
        out << entry(time, QString(), QStringLiteral("LED-Local"), connectionText(info.localLed));
    if (info.remoteLed != previous.remoteLed)
        out << entry(time, QString(), QStringLiteral("LED-Remote"), connectionText(info.remoteLed));
    if (info.panelType != previous.panelType) {
        out << entry(time, QString(), panelTypeName(previous.panelType), QStringLiteral("Off"));
        out << entry(time, QString(), panelTypeName(info.panelType), QStringLiteral("Green"));
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
        out << entry(time, QString(), QStringLiteral("KEY-LOCK"), enabledText(info.keyLock));
    if (info.autoMode != previous.autoMode)
        out << entry(time, QString(), QStringLiteral("KEY-AUTO MODE"), enabledText(info.autoMode));
    return out;
}

QVector<AlarmRecord> DiveVod::FullStateEntries(const AcoGpioInfo& info, const QDateTime& time)
{
    QVector<AlarmRecord> out;
    out << entry(time, QString(), QStringLiteral("LED-PS1"), powerText(info.ps1Led));
    out << entry(time, QString(), QStringLiteral("LED-PS2"), powerText(info.ps2Led));
    out << entry(time, QString(), QStringLiteral("LED-Local"), connectionText(info.localLed));
    out << entry(time, QString(), QStringLiteral("LED-Remote"), connectionText(info.remoteLed));
    out << entry(time, QString(), panelTypeName(info.panelType), QStringLiteral("Green"));
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
    out << entry(time, QString(), QStringLiteral("KEY-LOCK"), enabledText(info.keyLock));
    out << entry(time, QString(), QStringLiteral("KEY-AUTO MODE"), enabledText(info.autoMode));
    return out;
}

void DiveVod::AppendAlarmRow(const AlarmRecord& record)
{
    QTableWidget* table = ui->tableWidget;
    const int row = table->rowCount();
    table->insertRow(row);
    const QString texts[] = {QString::number(nextRowNumber++),
                             record.time.toString(QLatin1String(kRowTimeFormat)),
                             record.input,
                             record.alarmType,
                             record.alarmStatus,
                             record.notes};
    for (int column = 0; column < 6; ++column) {
        auto* item = new QTableWidgetItem(texts[column]);
        item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
        table->setItem(row, column, item);
    }
    if (!journalTried)
        OpenAlarmJournal();
    else
        journal->Append(QStringList(std::begin(texts), std::end(texts)));
    unsavedRows = true;
    alarmView->RowAdded(row, texts, !appendingRows);
    if (row == 0 && !appendingRows)
        fitColumnsToRows(table);
}

void DiveVod::AppendAlarmRows(const QVector<AlarmRecord>& records)
{
    if (records.isEmpty())
        return;
    const bool wasEmpty = ui->tableWidget->rowCount() == 0;
    appendingRows = true;
    for (const AlarmRecord& record : records)
        AppendAlarmRow(record);
    appendingRows = false;
    if (wasEmpty)
        fitColumnsToRows(ui->tableWidget);
    alarmView->RowsSettled();
}

void DiveVod::LogFullState(const AcoGpioInfo& info)
{
    AppendAlarmRows(FullStateEntries(info, AppClock::Now()));
}

void DiveVod::OnRecvStatusInfo(AcoGpioInfo info)
{
    // A record already queued when a disconnect was ordered.
    if (disconnected == 1)
        return;
    if (info.panelType != currentPanelType) {
        currentPanelType = info.panelType;
        ShowPanel(info.panelType, true);
    }
    emit SendInfo(info);
    const QVector<AlarmRecord> entries = ChangedEntries(previousInfo, info, AppClock::Now());
    previousInfo = info;
    AppendAlarmRows(entries);
    NotifyRedInputs(entries);
    NoteAnswer();
}

void DiveVod::ShowPanel(quint32 panelType, bool resetHidden)
{
    QWidget* shown = gpioStatus2x1;
    QWidget* hidden = gpioStatus4x1;
    if (panelType != 0)
        std::swap(shown, hidden);

    hidden->hide();
    if (resetHidden) {
        if (panelType == 0)
            gpioStatus4x1->ResetStatus();
        else
            gpioStatus2x1->ResetStatus();
    }
    shown->show();
    disconnect(this, SIGNAL(SendInfo(AcoGpioInfo)), hidden, SLOT(OnRecvStatusInfo(AcoGpioInfo)));
    disconnect(hidden, SIGNAL(RemoteABKey(int)), gpioStateThread, SLOT(OnRecvRemoteABMask(int)));
    // Unique: a new login routes through the panel that may already be connected.
    connect(this, SIGNAL(SendInfo(AcoGpioInfo)), shown, SLOT(OnRecvStatusInfo(AcoGpioInfo)), Qt::UniqueConnection);
    connect(shown, SIGNAL(RemoteABKey(int)), gpioStateThread, SLOT(OnRecvRemoteABMask(int)), Qt::UniqueConnection);
}

void DiveVod::OnClear()
{
    // The button asks first when a row would be lost with the table; saves and backups clear at once.
    if (sender() == ui->pushButtonClear && unsavedRows && ui->tableWidget->rowCount() > 0
        && QMessageBox::question(this, tr("Warning"), tr("Some rows are not saved in a file yet. Clear them anyway?"),
                                 QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
            != QMessageBox::Yes)
        return;
    // One removal of every row at once: clearing stays linear however long the table is.
    ui->tableWidget->setRowCount(0);
    nextRowNumber = 1;
    journal->Clear();
    unsavedRows = false;
    alarmView->Cleared();
}
