// The alarm table: rows, the comparison of status records and the panel switch.
#include "DiveVod.h"
#include "ui_DiveVod.h"

#include "AlarmJournal.h"
#include "AlarmRows.h"
#include "AlarmView.h"
#include "AppClock.h"
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
} // namespace

QString DiveVod::GroupName(int channel, quint32 panelType)
{
    return AlarmRows::GroupName(channel, panelType);
}

QString DiveVod::AlarmTypeName(int channel, const QString& prefix, quint32 panelType)
{
    return AlarmRows::AlarmTypeName(channel, prefix, panelType);
}

QVector<AlarmRecord> DiveVod::ChangedEntries(const AcoGpioInfo& previous, const AcoGpioInfo& info,
                                             const QDateTime& time)
{
    return AlarmRows::ChangedEntries(previous, info, time);
}

QVector<AlarmRecord> DiveVod::FullStateEntries(const AcoGpioInfo& info, const QDateTime& time)
{
    return AlarmRows::FullStateEntries(info, time);
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
    keptSessions.clear();
    journal->Clear();
    unsavedRows = false;
    alarmView->Cleared();
}
