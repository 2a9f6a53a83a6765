#ifndef APPCLOCK_H
#define APPCLOCK_H

#include <QDateTime>

#include <functional>

// Where the window takes the current date and time from (row time stamps, file names, the daily
// save), so that tests can set the clock instead of waiting for it.
class AppClock
{
public:
    static QDateTime Now();
    // Replaces the clock; an empty function brings back the system clock.
    static void SetSource(std::function<QDateTime()> source);
};

#endif // APPCLOCK_H
