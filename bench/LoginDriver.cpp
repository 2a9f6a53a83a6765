#include "LoginDriver.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QMessageBox>
#include <QMetaObject>
#include <QPushButton>
#include <QTimer>

namespace LoginDriver {

bool connect(QWidget* window, const QString& address, const QString& password, qint64* typedAfterNs)
{
    QElapsedTimer clock;
    clock.start();
    // Looks at every turn of the modal event loops while the Connect command runs: the first login
    // dialog gets the values and OK; after a failure the message box is closed and the dialog offered
    // again is cancelled, so that the command always returns.
    bool typed = false;
    QTimer driver;
    driver.setInterval(0);
    QObject::connect(&driver, &QTimer::timeout, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible())
            return;
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            box->accept();
            return;
        }
        auto* ip = modal->findChild<QLineEdit*>(QStringLiteral("lineEditIP"));
        auto* user = modal->findChild<QComboBox*>(QStringLiteral("comboBoxUser"));
        auto* secret = modal->findChild<QLineEdit*>(QStringLiteral("lineEditPassword"));
        auto* ok = modal->findChild<QPushButton*>(QStringLiteral("pushButtonOk"));
        auto* dialog = qobject_cast<QDialog*>(modal);
        if (typed || !ip || !user || !secret || !ok) {
            if (dialog)
                dialog->reject();
            return;
        }
        ip->setText(address);
        user->setCurrentIndex(0);
        secret->setText(password);
        typed = true;
        if (typedAfterNs)
            *typedAfterNs = clock.nsecsElapsed();
        ok->click();
    });
    driver.start();
    const bool invoked = QMetaObject::invokeMethod(window, "OnConnect", Qt::DirectConnection);
    driver.stop();
    return invoked && typed;
}

bool disconnect(QWidget* window)
{
    QTimer driver;
    driver.setInterval(0);
    QObject::connect(&driver, &QTimer::timeout, [] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            if (QAbstractButton* yes = box->button(QMessageBox::Yes))
                yes->click();
            else
                box->accept();
        }
    });
    driver.start();
    const bool invoked = QMetaObject::invokeMethod(window, "OnDisConnect", Qt::DirectConnection);
    driver.stop();
    return invoked;
}

} // namespace LoginDriver
