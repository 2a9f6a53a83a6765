#ifndef TRAYNOTIFIER_H
#define TRAYNOTIFIER_H

#include <QObject>
#include <QString>

class QSystemTrayIcon;
class QWidget;

// The tray icon, coloured by the connection, and the desktop's own notifications through it. Where the
// desktop has no tray (a bare X server, Xvfb) nothing is made and every call does nothing.
class TrayNotifier : public QObject
{
    Q_OBJECT

public:
    enum State { Disconnected, Connected, Lost };

    explicit TrayNotifier(QWidget* window);

    bool HasTray() const { return tray != nullptr; }

public slots:
    void SetState(int state, const QString& toolTip);
    // Shown by the desktop beside the tray: it neither waits nor takes the focus.
    void Show(const QString& title, const QString& text);

private:
    QWidget* window;
    QSystemTrayIcon* tray = nullptr;
    int state = -1;
};

#endif // TRAYNOTIFIER_H
