// Change password dialog: its checks, what it hands back, and where its Caps Lock warning goes.
#include "ChangePassword.h"
#include "LanguageConfig.h"
#include "PasswordFieldTest.h"
#include "TestSupport.h"

#include <QComboBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace PasswordFieldTest;

class TestChangePassword : public QObject
{
    Q_OBJECT

private slots:
    void init() { CapsLockState::setOverride(false); }
    void cleanup() { PasswordFieldTest::cleanup(); }

    void frameAndFocus()
    {
        ChangePassword dialog;
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Change Password"));
        QVERIFY(!dialog.windowFlags().testFlag(Qt::WindowContextHelpButtonHint));
        QVERIFY(dialog.windowFlags().testFlag(Qt::MSWindowsFixedSizeDialogHint));
        QCOMPARE(dialog.minimumSize(), dialog.maximumSize());
        QVERIFY(dialog.width() >= 279 && dialog.height() >= 161);
        showActive(dialog);
        QCOMPARE(QApplication::focusWidget(), child<QWidget>(dialog, "lineEditNewPassword"));
    }

    void passwordValidators_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        // clang-format off
        QTest::newRow("new, seventh character")     << "lineEditNewPassword"     << "abc1234" << "abc123";
        QTest::newRow("new, punctuation")           << "lineEditNewPassword"     << "a-b.c"   << "abc";
        QTest::newRow("confirm, seventh character") << "lineEditComfirmPassword" << "ABC1234" << "ABC123";
        QTest::newRow("confirm, punctuation")       << "lineEditComfirmPassword" << "a_b c!"  << "abc";
        // clang-format on
    }
    void passwordValidators()
    {
        QFETCH(QString, field);
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        ChangePassword dialog;
        auto* edit = dialog.findChild<QLineEdit*>(field);
        QTest::keyClicks(edit, typed);
        QCOMPARE(edit->text(), shown);
    }

    void okChecks_data()
    {
        QTest::addColumn<QString>("newPassword");
        QTest::addColumn<QString>("confirm");
        QTest::addColumn<QString>("message"); // empty: accepted without a message
        const QString blank = QStringLiteral("The password should not be blank.");
        const QString mismatch = QStringLiteral("The two passwords are mismatched.");
        // clang-format off
        QTest::newRow("both blank")         << ""       << ""       << blank;
        QTest::newRow("confirmation blank") << "abc123" << ""       << blank;
        QTest::newRow("new blank")          << ""       << "abc123" << blank;
        QTest::newRow("case differs")       << "abC123" << "abc123" << mismatch;
        QTest::newRow("prefix")             << "abc12"  << "abc123" << mismatch;
        QTest::newRow("equal, six")         << "Ab12Cd" << "Ab12Cd" << "";
        // clang-format on
    }
    void okChecks()
    {
        QFETCH(QString, newPassword);
        QFETCH(QString, confirm);
        QFETCH(QString, message);
        ChangePassword dialog;
        QTest::keyClicks(child<QLineEdit>(dialog, "lineEditNewPassword"), newPassword);
        QTest::keyClicks(child<QLineEdit>(dialog, "lineEditComfirmPassword"), confirm);
        QString title;
        QString text;
        int buttons = 0;
        if (!message.isEmpty()) {
            TestSupport::onNextModal([&](QWidget* modal) {
                auto* box = qobject_cast<QMessageBox*>(modal);
                QVERIFY(box);
                title = box->windowTitle();
                text = box->text();
                buttons = box->buttons().size();
                box->button(QMessageBox::Ok)->click();
            });
        }
        QTimer::singleShot(0, &dialog, [&dialog]() {
            QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("pushButtonOk")), Qt::LeftButton);
            // A refused entry leaves the dialog open, as typed: close it the user's way.
            if (dialog.isVisible())
                dialog.reject();
        });
        const int result = dialog.exec();
        QCOMPARE(text, message);
        QCOMPARE(result, int(message.isEmpty() ? QDialog::Accepted : QDialog::Rejected));
        if (!message.isEmpty()) {
            QCOMPARE(title, QStringLiteral("Change Password"));
            QCOMPARE(buttons, 1);
        }
        QString user, entered, confirmed;
        dialog.GetPasswordInfo(user, entered, confirmed);
        QCOMPARE(entered, newPassword);
        QCOMPARE(confirmed, confirm);
    }

    void cancelRejects()
    {
        ChangePassword dialog;
        QTimer::singleShot(0, &dialog, [&dialog]() {
            QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("pushButtonCancel")), Qt::LeftButton);
        });
        QCOMPARE(dialog.exec(), int(QDialog::Rejected));
    }

    // The account names are the device's: "admin" and "guest" in every interface language.
    void userIsTheAccountName_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("user");
        QTest::newRow("English admin") << 0 << 0 << "admin";
        QTest::newRow("English guest") << 0 << 1 << "guest";
        QTest::newRow("Chinese admin") << 1 << 0 << "admin";
        QTest::newRow("Chinese guest") << 1 << 1 << "guest";
    }
    void userIsTheAccountName()
    {
        QFETCH(int, language);
        QFETCH(int, index);
        QFETCH(QString, user);
        LanguageConfig translators(nullptr, QStringLiteral(DIVEVOD_LANG_DIR));
        translators.SetLanguage(language);
        ChangePassword dialog;
        QCOMPARE(dialog.windowTitle() == QLatin1String("Change Password"), language == 0);
        child<QComboBox>(dialog, "comboBoxUser")->setCurrentIndex(index);
        QString seen, entered, confirmed;
        dialog.GetPasswordInfo(seen, entered, confirmed);
        QCOMPARE(seen, user);
        translators.SetLanguage(0);
    }

    // A Caps Lock release warns under the focused password field and changes nothing elsewhere; hovering
    // warns too (line edits track the mouse by themselves).
    void capsLockWarning_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("action");
        QTest::addColumn<bool>("capsOn");
        QTest::addColumn<bool>("otherTipBefore");
        QTest::addColumn<QString>("tipAfter");
        // clang-format off
        QTest::newRow("new password, on")  << "lineEditNewPassword"     << "release Caps Lock" << true  << false << kWarning;
        QTest::newRow("confirmation, on")  << "lineEditComfirmPassword" << "release Caps Lock" << true  << false << kWarning;
        QTest::newRow("confirmation, off") << "lineEditComfirmPassword" << "release Caps Lock" << false << true  << "";
        QTest::newRow("user combo, on")    << "comboBoxUser"            << "release Caps Lock" << true  << false << "";
        QTest::newRow("user combo, off")   << "comboBoxUser"            << "release Caps Lock" << false << true  << "other";
        QTest::newRow("hover, on")         << "lineEditComfirmPassword" << "hover"             << true  << false << kWarning;
        // clang-format on
    }
    void capsLockWarning()
    {
        QFETCH(QString, field);
        QFETCH(QString, action);
        QFETCH(bool, capsOn);
        QFETCH(bool, otherTipBefore);
        QFETCH(QString, tipAfter);
        ChangePassword dialog;
        showActive(dialog);
        auto* target = dialog.findChild<QWidget*>(field);
        target->setFocus(Qt::TabFocusReason);
        QTRY_COMPARE(QApplication::focusWidget(), target);
        act(dialog, target, action, capsOn, otherTipBefore, tipAfter);
    }
};

QTEST_MAIN(TestChangePassword)
#include "tst_ChangePassword.moc"
