// Watching at a glance: the status line, the window title, the stale look of the panel during an outage,
// and the desktop notifications.
#include "DiveVod.h"
#include "ui_DiveVod.h"

#include "AppClock.h"
#include "DiveVodSettings.h"
#include "GPIOStatus2x1.h"
#include "GPIOStatus4x1.h"
#include "TrayNotifier.h"

#include <QGraphicsOpacityEffect>
#include <QLabel>
#include <QSettings>
#include <QStatusBar>

namespace {
const char kClockFormat[] = "hh:mm:ss";

// Faded, so that a state the device no longer confirms does not pass for a live one.
void setStale(QWidget* panel, bool stale)
{
    if (!stale) {
        panel->setGraphicsEffect(nullptr);
        return;
    }
    if (panel->graphicsEffect())
        return;
    auto* fade = new QGraphicsOpacityEffect(panel);
    fade->setOpacity(0.35);
    panel->setGraphicsEffect(fade);
}
} // namespace

void DiveVod::SetUpWatching()
{
    labelStatusLine = new QLabel(statusBar());
    labelStatusLine->setObjectName(QStringLiteral("labelStatusLine"));
    statusBar()->addPermanentWidget(labelStatusLine, 1);
    // Over the faded panel, outside the layout, so that the window keeps its size during an outage.
    labelStale = new QLabel(ui->widget);
    labelStale->setObjectName(QStringLiteral("labelStale"));
    labelStale->setStyleSheet(
        QStringLiteral("QLabel{color: rgb(190, 20, 20); font-weight: bold; padding: 6px;"
                       "background: rgba(255, 255, 255, 220); border: 1px solid rgb(190, 20, 20);}"));
    labelStale->hide();

    {
        QSettings settings { kSettingsOrganisation, kSettingsApplication };
        ui->actionNotifications->setChecked(
            settings.value(QStringLiteral("Notifications"), QStringLiteral("true")).toString()
            != QLatin1String("false"));
    }
    connect(ui->actionNotifications, &QAction::toggled, this, [](bool on) {
        QSettings settings { kSettingsOrganisation, kSettingsApplication };
        settings.setValue(QStringLiteral("Notifications"), on ? QStringLiteral("true") : QStringLiteral("false"));
    });
    tray = new TrayNotifier(this);
    connect(this, &DiveVod::DesktopNotification, tray, &TrayNotifier::Show);
    baseTitle = windowTitle();
    UpdateStatusLine();
}

QString DiveVod::StatusLineText() const
{
    if (disconnected == 1)
        return tr("Disconnected");
    const QString state = connectionLost
        ? tr("Connection lost since %1").arg(lostSince.toString(QLatin1String(kClockFormat)))
        : tr("Connected");
    const QString answer
        = lastAnswer.isValid() ? lastAnswer.toString(QLatin1String(kClockFormat)) : QStringLiteral("-");
    return tr("%1 | %2 | %3 | Last answer: %4").arg(loginAddress, UserName(), state, answer);
}

QString DiveVod::UserName() const
{
    return userType == 0 ? QStringLiteral("admin") : QStringLiteral("guest");
}

void DiveVod::UpdateStatusLine()
{
    const QString text = StatusLineText();
    labelStatusLine->setText(text);
    ui->labelConnect->setToolTip(text);
    setWindowTitle(disconnected == 1 ? baseTitle
                                     : QStringLiteral("%1 - %2 (%3)").arg(baseTitle, loginAddress, UserName()));
    const bool stale = disconnected == 0 && connectionLost;
    if (stale) {
        labelStale->setText(
            tr("No answer since %1")
                .arg((lastAnswer.isValid() ? lastAnswer : lostSince).toString(QLatin1String(kClockFormat))));
        labelStale->adjustSize();
        const QWidget* panel = gpioStatus2x1->isVisible() ? static_cast<QWidget*>(gpioStatus2x1) : gpioStatus4x1;
        labelStale->move(panel->geometry().center() - labelStale->rect().center());
        labelStale->raise();
    }
    labelStale->setVisible(stale);
    setStale(gpioStatus2x1, stale);
    setStale(gpioStatus4x1, stale);
    tray->SetState(disconnected == 1    ? TrayNotifier::Disconnected
                       : connectionLost ? TrayNotifier::Lost
                                        : TrayNotifier::Connected,
                   text);
}

void DiveVod::NoteAnswer()
{
    lastAnswer = AppClock::Now();
    UpdateStatusLine();
}

void DiveVod::Notify(const QString& title, const QString& text)
{
    if (ui->actionNotifications->isChecked())
        emit DesktopNotification(title, text);
}

void DiveVod::NotifyRedInputs(const QVector<AlarmRecord>& entries)
{
    QStringList inputs;
    for (const AlarmRecord& entry : entries) {
        if (!entry.input.isEmpty() && entry.alarmStatus == QLatin1String("Red"))
            inputs << entry.input + QLatin1Char(' ') + entry.alarmType;
    }
    if (!inputs.isEmpty())
        Notify(tr("Input LED red"), inputs.join(QStringLiteral(", ")));
}
