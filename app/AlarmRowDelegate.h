#ifndef ALARMROWDELEGATE_H
#define ALARMROWDELEGATE_H

#include <QStyledItemDelegate>
#include <QVector>

// Paints the alarm table's rows tinted by what they mean. The meaning is one byte per row, kept beside the
// table, so that tinting costs no item data; only the rows on screen look it up.
class AlarmRowDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    enum Meaning : quint8 { Neutral, Problem, Recovery };

    explicit AlarmRowDelegate(const QVector<quint8>* meanings, QObject* parent = nullptr);

    // Translucent, so that the alternating row colours and the palette's text colour (light or dark) show
    // through.
    static QColor Tint(Meaning meaning);

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;

private:
    const QVector<quint8>* meanings;
};

#endif // ALARMROWDELEGATE_H
