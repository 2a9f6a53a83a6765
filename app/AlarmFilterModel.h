#ifndef ALARMFILTERMODEL_H
#define ALARMFILTERMODEL_H

#include <QSortFilterProxyModel>
#include <QString>

class QTableWidget;

// The alarm rows that contain a text (case-insensitive) in any cell. Reads the table's items directly: a
// generic filter through variants and patterns costs several times as much on a long table.
class AlarmFilterModel : public QSortFilterProxyModel
{
    Q_OBJECT

public:
    explicit AlarmFilterModel(QTableWidget* table, QObject* parent = nullptr);

    // An empty text leaves the model detached from the table, so that appending rows costs nothing while no
    // filter is in use.
    void SetText(const QString& text);
    const QString& Text() const { return text; }
    bool Matches(int sourceRow) const;

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;

private:
    QTableWidget* table;
    QString text;
};

#endif // ALARMFILTERMODEL_H
