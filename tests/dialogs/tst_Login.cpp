// Login dialog and the password field's Caps Lock warning.
#include "LanguageConfig.h"
#include "Login.h"
#include "PassWordLineEdit.h"
#include "PasswordFieldTest.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace PasswordFieldTest;

class TestLogin : public QObject
{
    Q_OBJECT

private slots:
    void init() { CapsLockState::setOverride(false); }
    void cleanup() { PasswordFieldTest::cleanup(); }

    void form_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");
        // clang-format off
        QTest::newRow("ip label")       << 0 << "label"            << "IP Address:";
        QTest::newRow("ip default")     << 0 << "lineEditIP"       << "192.168.1.100";
        QTest::newRow("user label")     << 0 << "label_2"          << "User Name:";
        QTest::newRow("password label") << 0 << "label_3"          << "Password:";
        QTest::newRow("ok")             << 0 << "pushButtonOk"     << "OK";
        QTest::newRow("cancel")         << 0 << "pushButtonCancel" << "Cancel";
        QTest::newRow("zh password")    << 1 << "label_3"          << QString::fromUtf8("密码：");
        QTest::newRow("zh ip default")  << 1 << "lineEditIP"       << "192.168.1.100";
        // Account names are the device's identifiers: the same in every language.
        QTest::newRow("zh admin")       << 1 << "comboBoxUser/0"   << "admin";
        QTest::newRow("zh guest")       << 1 << "comboBoxUser/1"   << "guest";
        // clang-format on
    }
    void form()
    {
        QFETCH(int, language);
        QFETCH(QString, name);
        QFETCH(QString, text);
        LanguageConfig translators(nullptr, QStringLiteral(DIVEVOD_LANG_DIR));
        translators.SetLanguage(language);
        Login dialog;
        QString seen;
        if (name.startsWith(QLatin1String("comboBoxUser/")))
            seen = child<QComboBox>(dialog, "comboBoxUser")->itemText(name.section(QLatin1Char('/'), 1).toInt());
        else if (auto* label = dialog.findChild<QLabel*>(name))
            seen = label->text();
        else if (auto* edit = dialog.findChild<QLineEdit*>(name))
            seen = edit->text();
        else if (auto* button = dialog.findChild<QPushButton*>(name))
            seen = button->text();
        QCOMPARE(seen, text);
        translators.SetLanguage(0);
    }

    void frameAndFocus()
    {
        Login dialog;
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Login"));
        QVERIFY(!dialog.windowFlags().testFlag(Qt::WindowContextHelpButtonHint));
        QVERIFY(dialog.windowFlags().testFlag(Qt::MSWindowsFixedSizeDialogHint));
        QCOMPARE(dialog.minimumSize(), dialog.maximumSize());
        QVERIFY(dialog.width() >= 214 && dialog.height() >= 141);
        QCOMPARE(child<QComboBox>(dialog, "comboBoxUser")->currentIndex(), 0);
        auto* password = child<PassWordLineEdit>(dialog, "lineEditPassword");
        QCOMPARE(password->echoMode(), QLineEdit::Password);
        showActive(dialog);
        QCOMPARE(QApplication::focusWidget(), password);
    }

    void ipValidator_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<bool>("complete");
        // clang-format off
        QTest::newRow("last group 254")     << "192.168.1.254" << "192.168.1.254" << true;
        QTest::newRow("last group 255")     << "192.168.1.255" << "192.168.1.25"  << true;
        QTest::newRow("255 in first three") << "255.255.255.1" << "255.255.255.1" << true;
        QTest::newRow("last group missing") << "192.168.1."    << "192.168.1."    << false;
        QTest::newRow("group above 255")    << "256"           << "25"            << false;
        QTest::newRow("letter")             << "12a"           << "12"            << false;
        QTest::newRow("fifth group")        << "1.2.3.4."      << "1.2.3.4"       << true;
        // clang-format on
    }
    void ipValidator()
    {
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        QFETCH(bool, complete);
        Login dialog;
        auto* ip = child<QLineEdit>(dialog, "lineEditIP");
        ip->clear();
        QTest::keyClicks(ip, typed);
        QCOMPARE(ip->text(), shown);
        QCOMPARE(ip->hasAcceptableInput(), complete);
    }

    void passwordValidator_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        // clang-format off
        QTest::newRow("six letters and digits") << "aZ09bY"  << "aZ09bY";
        QTest::newRow("seventh character")      << "abc1234" << "abc123";
        QTest::newRow("punctuation")            << "ab#c"    << "abc";
        QTest::newRow("blank")                  << "a b"     << "ab";
        QTest::newRow("non-ASCII letter")       << QString::fromUtf8("\xc3\xa4" "1") << "1";
        // clang-format on
    }
    void passwordValidator()
    {
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        Login dialog;
        auto* password = child<QLineEdit>(dialog, "lineEditPassword");
        typeText(password, typed);
        QCOMPARE(password->text(), shown);
        // Every character did arrive: a field without limits takes them all.
        QLineEdit plain;
        typeText(&plain, typed);
        QCOMPARE(plain.text(), typed);
    }

    void result_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("result");
        QTest::newRow("OK") << "pushButtonOk" << int(QDialog::Accepted);
        QTest::newRow("Cancel") << "pushButtonCancel" << int(QDialog::Rejected);
        QTest::newRow("close") << "" << int(QDialog::Rejected);
    }
    void result()
    {
        QFETCH(QString, button);
        QFETCH(int, result);
        Login dialog;
        dialog.SetIP(QStringLiteral("127.0.0.9"));
        QTimer::singleShot(0, &dialog, [&dialog, button]() {
            if (button.isEmpty())
                dialog.close();
            else
                QTest::mouseClick(dialog.findChild<QPushButton*>(button), Qt::LeftButton);
        });
        QCOMPARE(dialog.exec(), result);
    }

    // Whatever the fields hold comes back as it stands, even an incomplete address and no password.
    void loginInfoIsHandedBackUnchecked()
    {
        Login dialog;
        dialog.SetIP(QStringLiteral("192.168.1."));
        child<QComboBox>(dialog, "comboBoxUser")->setCurrentIndex(1);
        QString ip, password = QStringLiteral("x");
        int user = -1;
        dialog.GetLoginInfo(ip, user, password);
        QCOMPARE(ip, QStringLiteral("192.168.1."));
        QCOMPARE(user, 1);
        QCOMPARE(password, QString());
        QTest::keyClicks(child<QLineEdit>(dialog, "lineEditPassword"), QStringLiteral("Ab1"));
        dialog.GetLoginInfo(ip, user, password);
        QCOMPARE(password, QStringLiteral("Ab1"));
    }

    void disableIp_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<bool>("enabled");
        QTest::newRow("1 disables") << 1 << false;
        QTest::newRow("0 enables") << 0 << true;
        QTest::newRow("2 enables") << 2 << true;
    }
    void disableIp()
    {
        QFETCH(int, status);
        QFETCH(bool, enabled);
        Login dialog;
        auto* ip = child<QLineEdit>(dialog, "lineEditIP");
        dialog.OnDisableIp(enabled ? 1 : 0); // start from the other state
        QCOMPARE(ip->isEnabled(), !enabled);
        dialog.OnDisableIp(status);
        QCOMPARE(ip->isEnabled(), enabled);
    }

    // Only a Caps Lock release, a hover or a click touches the warning, and they follow the toggle state;
    // leaving the field hides it.
    void capsLockWarning_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<bool>("capsOn");
        QTest::addColumn<bool>("otherTipBefore");
        QTest::addColumn<QString>("tipAfter");
        // clang-format off
        QTest::newRow("Caps Lock on")            << "release Caps Lock" << true  << false << kWarning;
        QTest::newRow("Caps Lock on over a tip") << "release Caps Lock" << true  << true  << kWarning;
        QTest::newRow("Caps Lock off")           << "release Caps Lock" << false << true  << "";
        QTest::newRow("other key, on")           << "release A"         << true  << false << "";
        QTest::newRow("other key, off")          << "release A"         << false << true  << "other";
        QTest::newRow("hover, on")               << "hover"             << true  << false << kWarning;
        QTest::newRow("hover, off")              << "hover"             << false << true  << "";
        QTest::newRow("click, on")               << "click"             << true  << false << kWarning;
        QTest::newRow("leave")                   << "leave"             << true  << true  << "";
        QTest::newRow("enter")                   << "enter"             << true  << false << "";
        // clang-format on
    }
    void capsLockWarning()
    {
        QFETCH(QString, action);
        QFETCH(bool, capsOn);
        QFETCH(bool, otherTipBefore);
        QFETCH(QString, tipAfter);
        Login dialog;
        showActive(dialog);
        act(dialog, child<QWidget>(dialog, "lineEditPassword"), action, capsOn, otherTipBefore, tipAfter);
    }
};

QTEST_MAIN(TestLogin)
#include "tst_Login.moc"
