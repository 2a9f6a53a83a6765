#ifndef WAITCURSOR_H
#define WAITCURSOR_H

#include <QCursor>
#include <QGuiApplication>

// The busy cursor for as long as the user-interface thread waits on the device. Scope it to the
// exchanges alone: a message box shown while it lives would show the busy cursor too.
class WaitCursor
{
public:
    WaitCursor() { QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor)); }
    ~WaitCursor() { QGuiApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

#endif // WAITCURSOR_H
