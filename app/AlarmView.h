#ifndef ALARMVIEW_H
#define ALARMVIEW_H

#include <QObject>
#include <QSet>
#include <QString>
#include <QVector>

class AlarmFilterModel;
class AlarmRowDelegate;
class QAbstractItemView;
class QBoxLayout;
class QLineEdit;
class QPushButton;
class QTableView;
class QTableWidget;

// How the alarm table reads: whole rows are selected and Ctrl+C copies them as CSV lines; rows are tinted by
// what they mean; a filter shows only the rows with the filter's text, in a second view over the same rows
// (the table keeps every row, so files and the journal still get every one, numbers included); new rows
// are followed only while the view is at the bottom, otherwise a button counts them and brings it down.
class AlarmView : public QObject
{
    Q_OBJECT

public:
    // The filtered view goes into `layout` right after the table.
    AlarmView(QTableWidget* table, QBoxLayout* layout, QLineEdit* filter, QPushButton* newRows,
              QObject* parent = nullptr);

    // A row was appended with these six cell texts; `settled` when no more rows of its batch follow.
    void RowAdded(int row, const QString* texts, bool settled);
    // After a batch: follows to the last row and updates the button.
    void RowsSettled();
    void Cleared();
    // After a language switch: the button's count in the new language.
    void Retranslate() { UpdateNewRowsButton(); }

    // The selected rows that are shown, top to bottom, as lines of the CSV file.
    QString SelectedRowsCsv() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private slots:
    void OnFilterChanged(const QString& text);
    void OnScrolled(int value);
    void OnShowNewRows();

private:
    quint8 Meaning(const QString& input, const QString& alarmType, const QString& status);
    QAbstractItemView* Shown() const;
    void ScrollToBottom();
    void UpdateNewRowsButton();

    QTableWidget* table;
    QTableView* filteredView;
    AlarmFilterModel* filterModel;
    QLineEdit* filterEdit;
    QPushButton* newRowsButton;
    AlarmRowDelegate* delegate;
    QVector<quint8> meanings; // one per table row
    QSet<QString> problemItems; // "input|alarm type" whose last row was a problem
    bool following = true;
    bool scrolling = false; // our own scrolling says nothing about where the reader wants to be
    int unseenRows = 0;
};

#endif // ALARMVIEW_H
