// Shows the login or the change password dialog filled in as a user would and saves a picture of it.
// Usage: password-dialogs-demo login|password en|zh output.png [language-dir] [--caps-lock]
// With --caps-lock the picture is taken from the screen, with the Caps Lock warning below the password field.
#include "CapsLockState.h"
#include "ChangePassword.h"
#include "LanguageConfig.h"
#include "Login.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPixmap>
#include <QScreen>
#include <QStyleFactory>
#include <QTimer>
#include <QToolTip>

#include <cstdio>
#include <memory>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    if (QStyle* style = QStyleFactory::create(QStringLiteral("plastique")))
        QApplication::setStyle(style);

    QStringList args = QApplication::arguments();
    const bool capsLock = args.removeAll(QStringLiteral("--caps-lock")) > 0;
    if (args.size() < 4 || (args[1] != QLatin1String("login") && args[1] != QLatin1String("password"))
        || (args[2] != QLatin1String("en") && args[2] != QLatin1String("zh"))) {
        std::fprintf(stderr,
                     "usage: password-dialogs-demo login|password en|zh output.png [language-dir] [--caps-lock]\n");
        return 2;
    }
    LanguageConfig language(nullptr, args.size() > 4 ? args[4] : QString());
    language.SetLanguage(args[2] == QLatin1String("zh") ? 1 : 0);

    std::unique_ptr<QDialog> dialog;
    QLineEdit* focusField = nullptr;
    if (args[1] == QLatin1String("login")) {
        auto* login = new Login;
        login->SetIP(QStringLiteral("127.0.0.1"));
        focusField = login->findChild<QLineEdit*>(QStringLiteral("lineEditPassword"));
        focusField->setText(QStringLiteral("123456"));
        dialog.reset(login);
    } else {
        auto* change = new ChangePassword;
        change->findChild<QComboBox*>(QStringLiteral("comboBoxUser"))->setCurrentIndex(1);
        change->findChild<QLineEdit*>(QStringLiteral("lineEditNewPassword"))->setText(QStringLiteral("Ab12"));
        focusField = change->findChild<QLineEdit*>(QStringLiteral("lineEditComfirmPassword"));
        focusField->setText(QStringLiteral("Ab12"));
        dialog.reset(change);
    }
    dialog->move(40, 40);
    dialog->show();
    dialog->activateWindow();
    focusField->setFocus();

    const QString output = args[3];
    int result = 0;
    if (capsLock) {
        QTimer::singleShot(300, [&]() {
            CapsLockState::setOverride(true);
            QKeyEvent release(QEvent::KeyRelease, Qt::Key_CapsLock, Qt::NoModifier);
            QApplication::sendEvent(focusField, &release);
        });
    }
    QTimer::singleShot(800, [&]() {
        focusField->deselect(); // focus by the window's activation selects the text
        QPixmap picture;
        if (capsLock) {
            // The warning is a window of its own: take the screen below and around the dialog.
            const QRect area = dialog->frameGeometry().adjusted(-10, -10, 60, 60);
            picture = QGuiApplication::primaryScreen()->grabWindow(0, area.x(), area.y(), area.width(), area.height());
        } else {
            picture = dialog->grab();
        }
        if (!picture.save(output)) {
            std::fprintf(stderr, "password-dialogs-demo: cannot write %s\n", qPrintable(output));
            result = 1;
        }
        app.quit();
    });
    app.exec();
    return result;
}
