#include "TrayNotifier.h"

#include <QIcon>
#include <QSystemTrayIcon>
#include <QWidget>

TrayNotifier::TrayNotifier(QWidget* mainWindow)
    : QObject(mainWindow)
    , window(mainWindow)
{
    if (!QSystemTrayIcon::isSystemTrayAvailable())
        return;
    tray = new QSystemTrayIcon(this);
    // A click on the icon brings the window back; that is the user's own choice of focus.
    connect(tray, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason != QSystemTrayIcon::Trigger)
            return;
        window->showNormal();
        window->raise();
        window->activateWindow();
    });
    SetState(Disconnected, QString());
    tray->show();
}

void TrayNotifier::SetState(int newState, const QString& toolTip)
{
    if (!tray)
        return;
    if (newState != state) {
        state = newState;
        const char* image = state == Connected ? ":/DiveVod/Resources/green.png"
            : state == Lost                    ? ":/DiveVod/Resources/red.png"
                                               : ":/DiveVod/Resources/gray.png";
        tray->setIcon(QIcon(QLatin1String(image)));
    }
    tray->setToolTip(toolTip);
}

void TrayNotifier::Show(const QString& title, const QString& text)
{
    if (tray && QSystemTrayIcon::supportsMessages())
        tray->showMessage(title, text, QSystemTrayIcon::Information, 8000);
}
