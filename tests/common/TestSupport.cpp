#include "TestSupport.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDeadlineTimer>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
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
    QSettings settings(QStringLiteral("Brennhart"), QStringLiteral("DiveVod"));
    settings.clear();
    settings.sync();
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
        timer->stop();
        timer->deleteLater();
        if (shown)
            action(modal);
        else
            qWarning("TestSupport::onNextModal: no modal widget appeared");
    });
    timer->start(10);
}

void TestSupport::clickButton(QWidget* dialog, const QString& text)
{
    if (text.isEmpty())
        return QTest::keyClick(dialog, Qt::Key_Enter);
    for (QAbstractButton* button : dialog->findChildren<QAbstractButton*>()) {
        if (button->text().remove(QLatin1Char('&')) == text)
            return button->click();
    }
    qWarning("TestSupport::clickButton: no button '%s'", qPrintable(text));
}
