#include "AlarmView.h"

#include "AlarmFilterModel.h"
#include "AlarmJournal.h"
#include "AlarmRowDelegate.h"

#include <QAction>
#include <QApplication>
#include <QBoxLayout>
#include <QClipboard>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QShortcut>
#include <QStyle>
#include <QTableWidget>

#include <algorithm>

namespace {
constexpr int kColumns = 6;
constexpr int kInputColumn = 2;
constexpr int kTypeColumn = 3;
constexpr int kStatusColumn = 4;

void readLikeTheTable(QTableView* view)
{
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(QAbstractItemView::ExtendedSelection);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
}
} // namespace

AlarmView::AlarmView(QTableWidget* alarmTable, QBoxLayout* layout, QLineEdit* filter, QPushButton* newRows,
                     QObject* parent)
    : QObject(parent)
    , table(alarmTable)
    , filteredView(new QTableView)
    , filterModel(new AlarmFilterModel(alarmTable, this))
    , filterEdit(filter)
    , newRowsButton(newRows)
    , delegate(new AlarmRowDelegate(&meanings, this))
{
    filteredView->setObjectName(QStringLiteral("tableViewFiltered"));
    filteredView->setModel(filterModel);
    filteredView->verticalHeader()->hide();
    filteredView->horizontalHeader()->setStretchLastSection(true);
    filteredView->setAlternatingRowColors(true);
    filteredView->hide();
    layout->insertWidget(layout->indexOf(table) + 1, filteredView);
    for (QTableView* view : { static_cast<QTableView*>(table), filteredView }) {
        readLikeTheTable(view);
        view->setItemDelegate(delegate);
        view->installEventFilter(this);
        connect(view->verticalScrollBar(), &QScrollBar::valueChanged, this, &AlarmView::OnScrolled);
    }
    newRowsButton->hide();
    // A clear button of our own: the field's built-in one fades through an animation that nothing owns, left
    // behind when the window closes during the fade.
    QAction* clear = filterEdit->addAction(filterEdit->style()->standardIcon(QStyle::SP_LineEditClearButton),
                                           QLineEdit::TrailingPosition);
    clear->setObjectName(QStringLiteral("actionClearFilter"));
    clear->setVisible(false);
    connect(clear, &QAction::triggered, filterEdit, &QLineEdit::clear);
    connect(filterEdit, &QLineEdit::textChanged, clear,
            [clear](const QString& text) { clear->setVisible(!text.isEmpty()); });
    // Ctrl+F from anywhere in the window goes to the filter, as in a browser.
    auto* find = new QShortcut(QKeySequence::Find, filterEdit->window());
    connect(find, &QShortcut::activated, filterEdit, [this] {
        filterEdit->setFocus(Qt::ShortcutFocusReason);
        filterEdit->selectAll();
    });
    connect(filterEdit, &QLineEdit::textChanged, this, &AlarmView::OnFilterChanged);
    connect(newRowsButton, &QPushButton::clicked, this, &AlarmView::OnShowNewRows);
}

QAbstractItemView* AlarmView::Shown() const
{
    return filterModel->Text().isEmpty() ? static_cast<QAbstractItemView*>(table) : filteredView;
}

quint8 AlarmView::Meaning(const QString& input, const QString& alarmType, const QString& status)
{
    const bool problem = status == QLatin1String("Asserted") || status == QLatin1String("Lost")
        || status == QLatin1String("Red")
        || (status == QLatin1String("Off")
            && (alarmType == QLatin1String("LED-PS1") || alarmType == QLatin1String("LED-PS2")));
    // Only items that had a problem are remembered: a handful, whatever the table's length.
    if (problem) {
        problemItems.insert(input + QLatin1Char('|') + alarmType);
        return AlarmRowDelegate::Problem;
    }
    if (status == QLatin1String("Cleared") || status == QLatin1String("Connected")) {
        problemItems.remove(input + QLatin1Char('|') + alarmType);
        return AlarmRowDelegate::Recovery;
    }
    if (problemItems.isEmpty())
        return AlarmRowDelegate::Neutral;
    // "Green" clears a problem only when the item's previous row was one.
    const bool wasProblem = problemItems.remove(input + QLatin1Char('|') + alarmType);
    return wasProblem && status == QLatin1String("Green") ? AlarmRowDelegate::Recovery : AlarmRowDelegate::Neutral;
}

void AlarmView::RowAdded(int row, const QString* texts, bool settled)
{
    // The table may have lost rows behind our back (a test or benchmark trimming it): realign.
    meanings.resize(row);
    meanings.append(Meaning(texts[kInputColumn], texts[kTypeColumn], texts[kStatusColumn]));
    if (!following && (filterModel->Text().isEmpty() || filterModel->Matches(row)))
        ++unseenRows;
    // Once per batch, at its end.
    if (settled)
        RowsSettled();
}

void AlarmView::RowsSettled()
{
    if (following)
        ScrollToBottom();
    UpdateNewRowsButton();
}

void AlarmView::Cleared()
{
    meanings.clear();
    unseenRows = 0;
    following = true;
    UpdateNewRowsButton();
}

void AlarmView::ScrollToBottom()
{
    QAbstractItemView* view = Shown();
    const int rows = view->model()->rowCount();
    if (rows == 0)
        return;
    // The view takes new rows into its scroll range only at its next layout: scrolled before that, the
    // newest row would stay one row below the visible area.
    scrolling = true;
    view->doItemsLayout();
    view->scrollTo(view->model()->index(rows - 1, 0), QAbstractItemView::PositionAtBottom);
    scrolling = false;
}

void AlarmView::UpdateNewRowsButton()
{
    if (unseenRows == 0) {
        newRowsButton->hide();
        return;
    }
    newRowsButton->setText(unseenRows == 1 ? tr("1 new row") : tr("%1 new rows").arg(unseenRows));
    newRowsButton->show();
}

void AlarmView::OnScrolled(int value)
{
    const QScrollBar* bar = Shown()->verticalScrollBar();
    if (scrolling || sender() != bar)
        return;
    following = value >= bar->maximum();
    if (following && unseenRows > 0) {
        unseenRows = 0;
        UpdateNewRowsButton();
    }
}

void AlarmView::OnShowNewRows()
{
    following = true;
    unseenRows = 0;
    ScrollToBottom();
    UpdateNewRowsButton();
}

void AlarmView::OnFilterChanged(const QString& text)
{
    const QString filterText = text.trimmed();
    if (filterText == filterModel->Text())
        return;
    filterModel->SetText(filterText);
    // The model was attached afresh, so its header starts over: take the table's column widths.
    const QHeaderView* widths = table->horizontalHeader();
    for (int column = 0; column + 1 < kColumns; ++column)
        filteredView->horizontalHeader()->resizeSection(column, widths->sectionSize(column));
    table->setVisible(filterText.isEmpty());
    filteredView->setVisible(!filterText.isEmpty());
    // Another set of rows: the reader starts again at its bottom.
    OnShowNewRows();
}

QString AlarmView::SelectedRowsCsv() const
{
    QVector<int> rows;
    const QAbstractItemView* view = Shown();
    for (const QModelIndex& index : view->selectionModel()->selectedRows())
        rows << (view == filteredView ? filterModel->mapToSource(index).row() : index.row());
    std::sort(rows.begin(), rows.end());
    QString text;
    for (int row : rows) {
        AlarmJournal::Row cells;
        for (int column = 0; column < kColumns; ++column) {
            const QTableWidgetItem* item = table->item(row, column);
            cells << (item ? item->text() : QString());
        }
        text += AlarmJournal::CsvRow(cells);
    }
    // As the file holds it: Latin-1, "?" for every other character.
    return QString::fromLatin1(text.toLatin1());
}

bool AlarmView::eventFilter(QObject* watched, QEvent* event)
{
    // Before the view's own Ctrl+C, which would copy the current cell alone.
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->matches(QKeySequence::Copy)
        && (watched == table || watched == filteredView)) {
        const QString text = SelectedRowsCsv();
        if (!text.isEmpty())
            QApplication::clipboard()->setText(text);
        return true;
    }
    return QObject::eventFilter(watched, event);
}
