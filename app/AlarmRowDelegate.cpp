#include "AlarmRowDelegate.h"

#include <QAbstractProxyModel>

AlarmRowDelegate::AlarmRowDelegate(const QVector<quint8>* rowMeanings, QObject* parent)
    : QStyledItemDelegate(parent)
    , meanings(rowMeanings)
{
}

QColor AlarmRowDelegate::Tint(Meaning meaning)
{
    switch (meaning) {
    case Problem:
        return QColor(230, 40, 40, 80);
    case Recovery:
        return QColor(40, 190, 60, 80);
    case Neutral:
        break;
    }
    return QColor();
}

void AlarmRowDelegate::initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const
{
    QStyledItemDelegate::initStyleOption(option, index);
    // The filtered view shows the same rows through a proxy; the meanings follow the table's rows.
    int row = index.row();
    if (const auto* proxy = qobject_cast<const QAbstractProxyModel*>(index.model()))
        row = proxy->mapToSource(index).row();
    const Meaning meaning = Meaning(meanings->value(row, Neutral));
    if (meaning != Neutral)
        option->backgroundBrush = Tint(meaning);
}
