#ifndef ALARMRECORD_H
#define ALARMRECORD_H

#include <QDateTime>
#include <QString>

// One alarm log entry, turned into a table row as soon as it is formed. Its texts are fixed English
// texts: rows and CSV files read the same whatever the interface language.
struct AlarmRecord
{
    QDateTime time;
    QString input;
    QString alarmType;
    QString alarmStatus;
    QString notes;
};

#endif // ALARMRECORD_H
