#include "TestSupport.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>

void TestSupport::isolateSettings()
{
    static QTemporaryDir dir; // lives until the test program ends
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, dir.path());
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, dir.path());
    clearSettings();
}

void TestSupport::clearSettings()
{
    QSettings(QStringLiteral("Brennhart"), QStringLiteral("DiveVod")).clear();
}

void TestSupport::onNextModal(const std::function<void(QWidget*)>& action, int timeoutMs)
{
    auto* timer = new QTimer;
    const QDeadlineTimer deadline(timeoutMs);
    QObject::connect(timer, &QTimer::timeout, [timer, deadline, action]() {
        QWidget* modal = QApplication::activeModalWidget();
        const bool shown = modal && modal->isVisible();
        if (!shown && !deadline.hasExpired())
            return;
        timer->stop(), timer->deleteLater();
        shown ? action(modal) : qWarning("TestSupport::onNextModal: no modal widget appeared");
    });
    timer->start(10);
}
