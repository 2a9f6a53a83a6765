#include "TestSupport.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
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
    auto* clock = new QElapsedTimer;
    clock->start();
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, clock, action, timeoutMs]() {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal && modal->isVisible()) {
            timer->stop();
            timer->deleteLater();
            delete clock;
            action(modal);
            return;
        }
        if (clock->elapsed() > timeoutMs) {
            timer->stop();
            timer->deleteLater();
            delete clock;
            qWarning("TestSupport::onNextModal: no modal widget appeared");
        }
    });
    timer->start();
}

void TestSupport::clickButton(QWidget* dialog, const QString& text)
{
    if (text.isEmpty()) {
        QTest::keyClick(dialog, Qt::Key_Enter);
        return;
    }
    const auto buttons = dialog->findChildren<QAbstractButton*>();
    for (QAbstractButton* button : buttons) {
        if (button->text().remove(QLatin1Char('&')) == text) {
            button->click();
            return;
        }
    }
    qWarning("TestSupport::clickButton: no button '%s'", qPrintable(text));
}
