#ifndef LOGINDRIVER_H
#define LOGINDRIVER_H

#include <QString>

class QWidget;

// Logs the main window in the way a person does: runs its Connect command and, as soon as the login
// dialog is up, types the address and password into it and presses OK. Any message box that follows
// (a failed login) is closed and the dialog offered again is cancelled, so that the command always returns.
// Returns true when the command has returned (whether or not the login succeeded).
namespace LoginDriver {
// typedAfterNs, when given, receives the nanoseconds from the call until OK was pressed.
bool connect(QWidget* window, const QString& address, const QString& password, qint64* typedAfterNs = nullptr);
// Runs the Disconnect command and answers its question with Yes.
bool disconnect(QWidget* window);
} // namespace LoginDriver

#endif // LOGINDRIVER_H
