#include "AlarmFilterModel.h"

#include <QTableWidget>

AlarmFilterModel::AlarmFilterModel(QTableWidget* alarmTable, QObject* parent)
    : QSortFilterProxyModel(parent)
    , table(alarmTable)
{
}

void AlarmFilterModel::SetText(const QString& filterText)
{
    text = filterText;
    // Attached afresh each time: mapping every row once is linear, while filtering an attached model again
    // takes the rows that go out in intervals, seconds on a long table.
    setSourceModel(nullptr);
    if (!text.isEmpty())
        setSourceModel(table->model());
}

bool AlarmFilterModel::Matches(int sourceRow) const
{
    const int columns = table->columnCount();
    for (int column = 0; column < columns; ++column) {
        const QTableWidgetItem* item = table->item(sourceRow, column);
        if (item && item->text().contains(text, Qt::CaseInsensitive))
            return true;
    }
    return false;
}

bool AlarmFilterModel::filterAcceptsRow(int sourceRow, const QModelIndex&) const
{
    return Matches(sourceRow);
}
