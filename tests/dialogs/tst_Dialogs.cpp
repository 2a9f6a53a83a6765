// The dialogs as a user meets them, with device reads and writes against the simulator on 127.0.161.1.
#include "AboutDialog.h"
#include "CapsLockState.h"
#include "ChangePassword.h"
#include "DeviceSimulator.h"
#include "DiveVodNetClient.h"
#include "General.h"
#include "LanguageConfig.h"
#include "Login.h"
#include "NetworkProperty.h"
#include "ParamCfg.h"
#include "TestSupport.h"

#include <QHostAddress>
#include <QtTest>
#include <QtWidgets>

namespace {
const QString kWarning = QStringLiteral("The Caps Lock is enabled.");

// The line edits a user fills in, in the order the tables below give their values.
QList<QLineEdit*> entries(QWidget* dialog)
{
    QList<QLineEdit*> list;
    if (auto* table = dialog->findChild<QTableWidget*>()) {
        for (int cell = 0; cell < 2 * ParamCfg::kRows; ++cell) // the addresses, then the passwords
            list << qobject_cast<QLineEdit*>(table->cellWidget(cell % ParamCfg::kRows, cell / ParamCfg::kRows));
    }
    for (const char* name : { "lineEditIP", "lineEditSubnetMask", "lineEditGateway", "lineEditPassword",
                              "lineEditNewPassword", "lineEditComfirmPassword" })
        if (auto* edit = dialog->findChild<QLineEdit*>(name))
            list << edit;
    return list;
}

QStringList texts(const QList<QLineEdit*>& edits)
{
    QStringList list;
    for (const QLineEdit* edit : edits)
        list << edit->text();
    return list;
}


} // namespace

class TestDialogs : public QObject
{
    Q_OBJECT

    DeviceSimulator sim;
    DiveVodNetClient client;
    QDialog* make(const QString& name) // by class name
    {
        const QMap<QString, std::function<QDialog*()>> dialogs = {
            { "Login", [] { return new Login; } }, { "ChangePassword", [] { return new ChangePassword; } },
            { "NetworkProperty", [] { return new NetworkProperty; } }, { "AboutDialog", [] { return new AboutDialog; } },
            { "ParamCfg", [this] { return new ParamCfg(&client); } }, { "General", [this] { return new General(&client); } },
            { "LanguageConfig", [] { return new LanguageConfig(nullptr, QStringLiteral(DIVEVOD_LANG_DIR)); } } };
        return dialogs[name]();
    }

private slots:
    void initTestCase()
    {
        TestSupport::isolateSettings();
        QApplication::setStyle(QStringLiteral("plastique")); // the program's style, where installed
        QVERIFY(sim.start(QStringLiteral("127.0.161.1"), 0));
        QCOMPARE(client.OpenChannel(sim.address(), sim.port()), 0);
        client.SetLoginInfo(0, QStringLiteral("123456"));
        QCOMPARE(client.Authenticate(), 0);
    }

    void init()
    {
        SimDeviceState state;
        state.pcbVersion = 4, state.firmwareVersion = (2u << 24) | (3u << 16) | 17u;
        state.address = 0x0A010203, state.subnetMask = 0xFFFF0000, state.gateway = 0x0A010001;
        sim.setState(state);
    }

    void cleanup()
    {
        QToolTip::hideText();
        QTRY_VERIFY(!QToolTip::isVisible());
        for (QWidget* w : QApplication::topLevelWidgets())
            QVERIFY2(!w->isVisible(), qPrintable(w->objectName()));
    }

    // Every dialog: no help button, fixed size, the field that takes the first key, and what its buttons return.
    void frameAndButtons_data()
    {
        QTest::addColumn<QString>("dialog");
        QTest::addColumn<QString>("button"); // empty: closed by the window's close button
        QTest::addColumn<int>("result");
        const auto row = [](const QString& dialog, const QString& button, int result) {
            QTest::addRow("%s %s", qPrintable(dialog), qPrintable(button)) << dialog << button << result;
        };
        for (const QString dialog : { "Login", "ChangePassword", "NetworkProperty", "ParamCfg", "LanguageConfig" })
            row(dialog, "pushButtonCancel", QDialog::Rejected);
        for (const QString dialog : { "Login", "General", "LanguageConfig" })
            row(dialog, "pushButtonOk", QDialog::Accepted);
        row("Login", "", QDialog::Rejected);
        row("AboutDialog", "pushButton_Close", QDialog::Rejected);
    }

    void frameAndButtons()
    {
        QFETCH(QString, dialog);
        QFETCH(QString, button);
        QFETCH(int, result);
        std::unique_ptr<QDialog> d(make(dialog));
        QVERIFY(!d->windowFlags().testFlag(Qt::WindowContextHelpButtonHint));
        QVERIFY(d->windowFlags().testFlag(Qt::MSWindowsFixedSizeDialogHint));
        QCOMPARE(d->minimumSize(), d->maximumSize());
        QVERIFY(dialog != "Login" || (d->width() >= 214 && d->height() >= 141)); // as designed, not shrunk to fit
        const QList<QLineEdit*> edits = entries(d.get());
        QWidget* const first = dialog == "Login" ? edits.value(1) : dialog == "ChangePassword" ? edits.value(0) : nullptr;
        TestSupport::onNextModal([&](QWidget* modal) {
            if (first)
                QCOMPARE(modal->focusWidget(), first);
            button.isEmpty() ? void(modal->close()) : QTest::mouseClick(modal->findChild<QPushButton*>(button), Qt::LeftButton);
        });
        QTimer::singleShot(3000, d.get(), [&d] { d->done(-1); }); // a button that does nothing
        QCOMPARE(d->exec(), result);
    }

    void validators_data()
    {
        QTest::addColumn<QString>("dialog");
        QTest::addColumn<int>("entry"); // index into entries()
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        // clang-format off
        QTest::newRow("login ip, last group 254")   << "Login" << 0 << "255.255.255.254" << "255.255.255.254";
        QTest::newRow("login ip, last group 255")   << "Login" << 0 << "192.168.1.255" << "192.168.1.25";
        QTest::newRow("login password")             << "Login" << 1 << "aZ09b#Y"       << "aZ09bY";
        QTest::newRow("new password")               << "ChangePassword" << 0 << "a-b.c1"  << "abc1";
        QTest::newRow("confirmation")               << "ChangePassword" << 1 << "a_b c!2" << "abc2";
        QTest::newRow("network ip")                 << "NetworkProperty" << 0 << "10.1.2.3x" << "10.1.2.3";
        QTest::newRow("subnet mask")                << "NetworkProperty" << 1 << "255.256"   << "255.25";
        QTest::newRow("gateway")                    << "NetworkProperty" << 2 << "10.a1"     << "10.1";
        QTest::newRow("partner address")            << "ParamCfg" << 3 << "10.0.0.300"  << "10.0.0.30";
        QTest::newRow("partner password, 6 of any") << "ParamCfg" << 6 << "a1 %xyz"     << "a1 %xy";
        // clang-format on
    }

    void validators()
    {
        QFETCH(QString, dialog);
        QFETCH(int, entry);
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        std::unique_ptr<QDialog> d(make(dialog));
        QLineEdit* edit = entries(d.get()).at(entry);
        edit->clear();
        QTest::keyClicks(edit, typed);
        QCOMPARE(edit->text(), shown);
    }

    // OK runs the dialog's checks: a refused entry shows one warning (titled like the dialog, one OK button)
    // and leaves the dialog open as typed; an accepted one closes it.
    void okChecks_data()
    {
        QTest::addColumn<QString>("dialog");
        QTest::addColumn<QStringList>("values"); // for entries() in order
        QTest::addColumn<QString>("message"); // empty: accepted
        QTest::addColumn<QString>("focus"); // the field to correct, where the dialog says
        const QString blank = "The password should not be blank.", mismatch = "The two passwords are mismatched.";
        const QString badIp = "The IP address is invalid.", badMask = "The subnet mask is invalid.";
        const QString segment = "The IP address and gateway should not be in different network segment.";
        const QString invalid = "The Remote ACO IP address is invalid.", repeated = "The Remote ACO IP address is repeated.";
        const auto row = [](const char* name, const QString& dialog, const QString& values, const QString& message,
                            const QString& focus = QString()) {
            QTest::newRow(name) << dialog << values.split('|') << message << focus;
        };
        // clang-format off
        row("both blank",                 "ChangePassword", "|",           blank);
        row("confirmation blank",         "ChangePassword", "abc123|",     blank);
        row("new blank",                  "ChangePassword", "|abc123",     blank);
        row("case differs",               "ChangePassword", "abC123|abc123", mismatch);
        row("equal",                      "ChangePassword", "Ab12Cd|Ab12Cd", "");
        row("usable",                     "NetworkProperty", "192.168.1.100|255.255.255.0|192.168.1.1", "");
        row("no gateway",                 "NetworkProperty", "192.168.1.100|255.255.255.0|", "");
        row("gateway elsewhere",          "NetworkProperty", "192.168.1.100|255.255.255.0|192.168.2.1", segment, "lineEditGateway");
        row("half-typed gateway",         "NetworkProperty", "192.168.1.100|255.255.255.0|192.168.1.", "The gateway is invalid.", "lineEditGateway");
        row("empty ip, before the mask",  "NetworkProperty", "|0.0.0.0|", badIp, "lineEditIP");
        row("ip all ones",                "NetworkProperty", "255.255.255.255|255.255.255.0|", badIp);
        row("half-typed ip",              "NetworkProperty", "192.168.1.|255.255.255.0|", badIp);
        row("mask with a hole",           "NetworkProperty", "192.168.1.100|255.0.255.0|", badMask, "lineEditSubnetMask");
        row("mask 0.0.0.0",               "NetworkProperty", "192.168.1.100|0.0.0.0|", badMask);
        row("mask all ones",              "NetworkProperty", "192.168.1.100|255.255.255.255|", badMask);
        row("network address",            "NetworkProperty", "192.168.1.0|255.255.255.0|", badIp);
        row("broadcast address",          "NetworkProperty", "192.168.1.255|255.255.255.0|", badIp, "lineEditIP");
        row("mask .254",                  "NetworkProperty", "192.168.1.101|255.255.255.254|", badIp);
        row("mask before host",           "NetworkProperty", "192.168.1.0|255.0.255.0|", badMask);
        row("host before gateway",        "NetworkProperty", "192.168.1.255|255.255.255.0|10.0.0.1", badIp);
        row("partners distinct",          "ParamCfg", "192.168.1.10||192.168.1.11|", "");
        row("0.0.0.0 repeated",           "ParamCfg", "0.0.0.0|0.0.0.0||0.0.0.0", "");
        row("broadcast slave 3",          "ParamCfg", "10.0.0.1|||255.255.255.255", invalid);
        row("half-typed slave 1",         "ParamCfg", "10.0.0.1|192.168.1.||", invalid);
        row("main repeated by slave 2",   "ParamCfg", "192.168.1.10||192.168.1.10|", repeated);
        row("repeat before invalid",      "ParamCfg", "10.0.0.1|10.0.0.1|10.0.0.|", repeated);
        row("invalid before repeat",      "ParamCfg", "10.0.0.1|10.0.0.|10.0.0.1|", invalid);
        // clang-format on
    }

    void okChecks()
    {
        QFETCH(QString, dialog);
        QFETCH(QStringList, values);
        QFETCH(QString, message);
        QFETCH(QString, focus);
        std::unique_ptr<QDialog> d(make(dialog));
        const QList<QLineEdit*> edits = entries(d.get()).mid(0, values.size());
        for (int i = 0; i < values.size(); ++i)
            edits[i]->setText(values[i]);
        QStringList warned;
        TestSupport::onNextModal([&](QWidget* modal) {
            if (!message.isEmpty()) {
                TestSupport::onNextModal([&warned](QWidget* box) {
                    if (auto* warning = qobject_cast<QMessageBox*>(box)) {
                        warned << box->windowTitle() << warning->text() << QString::number(warning->buttons().size());
                        warning->button(QMessageBox::Ok)->click();
                    }
                });
            }
            QTest::mouseClick(modal->findChild<QPushButton*>("pushButtonOk"), Qt::LeftButton);
            if (modal->isVisible()) {
                QCOMPARE(texts(edits), values); // kept for correction
                if (!focus.isEmpty())
                    QCOMPARE(modal->focusWidget()->objectName(), focus);
                modal->close();
            }
        });
        QCOMPARE(d->exec(), int(message.isEmpty() ? QDialog::Accepted : QDialog::Rejected));
        QCOMPARE(warned, message.isEmpty() ? QStringList() : QStringList({ d->windowTitle(), message, "1" }));
    }

    // What ChangePassword and NetworkProperty hand back as they stand, and Login's address lock.
    void valuesHandedBack()
    {
        Login login;
        login.OnDisableIp(1);
        QVERIFY(!login.findChild<QLineEdit*>("lineEditIP")->isEnabled());
        login.OnDisableIp(2);
        QVERIFY(login.findChild<QLineEdit*>("lineEditIP")->isEnabled());
        login.SetIP("127.0.4.5");
        login.findChild<QComboBox*>("comboBoxUser")->setCurrentIndex(1);
        entries(&login)[1]->setText("111111");
        QString ip;
        int user = 0;
        QString password;
        login.GetLoginInfo(ip, user, password);
        QCOMPARE(QStringList({ ip, QString::number(user), password }), QStringList({ "127.0.4.5", "1", "111111" }));

        // The account names are the device's, in every language.
        LanguageConfig translators(nullptr, QStringLiteral(DIVEVOD_LANG_DIR));
        translators.SetLanguage(1);
        ChangePassword change;
        change.findChild<QComboBox*>("comboBoxUser")->setCurrentIndex(1);
        entries(&change)[0]->setText("abc");
        QString account, entered, confirmed;
        change.GetPasswordInfo(account, entered, confirmed);
        QCOMPARE(QStringList({ account, entered, confirmed }), QStringList({ "guest", "abc", "" }));

        NetworkProperty network;
        network.SetNetworkProperty(QHostAddress("10.1.2.3"), QHostAddress("255.255.0.0"), QHostAddress("10.1.0.1"));
        QCOMPARE(texts(entries(&network)), QStringList({ "10.1.2.3", "255.255.0.0", "10.1.0.1" }));
        entries(&network)[2]->setText("10.1.0.");
        QHostAddress address, mask, gateway; // a half-typed field is no address
        network.GetNetworkProperty(address, mask, gateway);
        QCOMPARE(QStringList({ address.toString(), mask.toString(), gateway.toString() }),
                 QStringList({ "10.1.2.3", "255.255.0.0", "" }));
    }

    // Only a Caps Lock release, a hover or a click touches the warning, below the password field being typed
    // into; leaving the field hides it.
    void capsLockWarning_data()
    {
        QTest::addColumn<QString>("field"); // lineEditPassword in Login, the rest in ChangePassword
        QTest::addColumn<QString>("action");
        QTest::addColumn<bool>("capsOn");
        QTest::addColumn<QString>("tipAfter"); // "other": the tip shown before stays
        // clang-format off
        QTest::newRow("Caps Lock on")       << "lineEditPassword" << "release Caps Lock" << true  << kWarning;
        QTest::newRow("Caps Lock off")      << "lineEditPassword" << "release Caps Lock" << false << "";
        QTest::newRow("other key")          << "lineEditPassword" << "release A"         << true  << "other";
        QTest::newRow("hover")              << "lineEditPassword" << "hover"             << true  << kWarning;
        QTest::newRow("click")              << "lineEditPassword" << "click"             << true  << kWarning;
        QTest::newRow("leave")              << "lineEditPassword" << "leave"             << true  << "";
        QTest::newRow("new password")       << "lineEditNewPassword"     << "release Caps Lock" << true << kWarning;
        QTest::newRow("no hover warning")   << "lineEditNewPassword"     << "hover"             << true << "other";
        QTest::newRow("confirmation")       << "lineEditComfirmPassword" << "release Caps Lock" << true << kWarning;
        QTest::newRow("user combo")         << "comboBoxUser"            << "release Caps Lock" << true << "other";
        // clang-format on
    }

    void capsLockWarning()
    {
        QFETCH(QString, field);
        QFETCH(QString, action);
        QFETCH(bool, capsOn);
        QFETCH(QString, tipAfter);
        std::unique_ptr<QDialog> d(make(field == "lineEditPassword" ? "Login" : "ChangePassword"));
        d->move(100, 80); // shown at a known place and active, as the main window runs it
        d->show();
        d->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(d.get()));
        QWidget* target = d->findChild<QWidget*>(field);
        target->setFocus(Qt::TabFocusReason);
        QTRY_COMPARE(QApplication::focusWidget(), target);
        QToolTip::showText(QPoint(10, 10), QStringLiteral("other"));
        CapsLockState::setOverride(capsOn);
        const QPoint inside(5, 5);
        if (action.startsWith("release")) { // unhandled by the field, the key reaches the dialog
            QTest::keyRelease(target, action.endsWith('A') ? Qt::Key_A : Qt::Key_CapsLock);
        } else if (action == "click") {
            QTest::mouseClick(target, Qt::LeftButton, Qt::NoModifier, inside);
        } else {
            const auto type = action == "hover" ? QEvent::MouseMove : QEvent::Leave;
            QMouseEvent event(type, inside, target->mapToGlobal(inside), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
            QApplication::sendEvent(target, &event);
        }
        QTRY_COMPARE(QToolTip::text(), tipAfter);
        if (tipAfter == kWarning) {
            // Below the field: dialog position + field position + two field heights (plus the toolkit's offset).
            const QPoint under(d->x() + target->x(), d->y() + target->y() + 2 * target->height());
            for (QWidget* w : QApplication::topLevelWidgets())
                if (w->objectName() == QLatin1String("qtooltip_label") && w->isVisible())
                    QCOMPARE(w->pos(), under + QPoint(2, 16));
        }
        d->close();
    }

    // Every dialog in both languages, filled as after a read with the longest values, shows every text whole.
    void wholeTexts_data()
    {
        QTest::addColumn<QString>("dialog");
        QTest::addColumn<int>("language");
        for (int language : { 0, 1 })
            for (const QString dialog : { "Login", "ChangePassword", "NetworkProperty", "ParamCfg", "General",
                                          "LanguageConfig", "AboutDialog" })
                QTest::addRow("%s %s", qPrintable(dialog), language ? "zh" : "en") << dialog << language;
    }

    void wholeTexts()
    {
        QFETCH(QString, dialog);
        QFETCH(int, language);
        const QString longest = QStringLiteral("255.255.255.254");
        LanguageConfig translators(nullptr, QStringLiteral(DIVEVOD_LANG_DIR));
        translators.SetLanguage(language);
        sim.modify([&](SimDeviceState& s) {
            s.productCode = 50003, s.workMode = 1, s.address = s.subnetMask = s.gateway = 0xFFFFFFFE;
            s.remoteAddress = longest, s.remotePassword = "WWWWWW";
            for (int i = 0; i < 3; ++i)
                s.slaveAddress[i] = QString("255.255.25%1.254").arg(i), s.slavePassword[i] = "WWWWWW";
        });
        std::unique_ptr<QDialog> d(make(dialog));
        if (auto* general = qobject_cast<General*>(d.get()))
            QCOMPARE(general->ReadInfo(), 0);
        if (auto* param = qobject_cast<ParamCfg*>(d.get()))
            QCOMPARE(param->ReadParam(), 0);
        if (auto* network = qobject_cast<NetworkProperty*>(d.get())) {
            network->SetNetworkProperty(QHostAddress(longest), QHostAddress(longest), QHostAddress(longest));
            network->SetInfo(NetworkProperty::tr("Current network parameters is default"));
        }
        if (auto* login = qobject_cast<Login*>(d.get()))
            login->SetIP(longest);
        d->show();
        QVERIFY(QTest::qWaitForWindowExposed(d.get()));
        QCoreApplication::sendPostedEvents(); // laid out as shown
        QStringList cut;
        const auto fits = [&cut](const QWidget* w, QSize needed, const QString& what) {
            if (needed.width() > w->width() || needed.height() > w->height())
                cut << QString("%1 %2 needs %3x%4, has %5x%6").arg(w->objectName(), what).arg(needed.width())
                           .arg(needed.height()).arg(w->width()).arg(w->height());
        };
        for (QWidget* w : d->findChildren<QWidget*>()) {
            if (!w->isVisibleTo(d.get()))
                continue;
            if (auto* label = qobject_cast<QLabel*>(w))
                fits(w, label->wordWrap() ? QSize(0, label->heightForWidth(w->width())) : label->sizeHint(), label->text());
            else if (qobject_cast<QAbstractButton*>(w) || qobject_cast<QComboBox*>(w) || qobject_cast<QGroupBox*>(w))
                fits(w, w->minimumSizeHint(), "");
            else if (auto* edit = qobject_cast<QLineEdit*>(w)) // the text, the line edit's 2 px inner margins, the frame
                fits(w, QSize(w->fontMetrics().horizontalAdvance(edit->text()) + 4
                         + 2 * w->style()->pixelMetric(QStyle::PM_DefaultFrameWidth), 0), edit->text());
            else if (auto* header = qobject_cast<QHeaderView*>(w); header && header->orientation() == Qt::Vertical)
                fits(w, QSize(header->sizeHint().width(), 0), "");
            else if (header)
                for (int section = 0; section < header->count(); ++section)
                    if (header->sectionSizeHint(section) > header->sectionSize(section))
                        cut << QString("column %1").arg(section);
        }
        QVERIFY2(cut.isEmpty(), qPrintable(cut.join("; ")));
        translators.SetLanguage(0);
    }

    // Tab reaches every control, the buttons last, and Shift+Tab goes back the same way; Escape closes the
    // dialog, also when it is a read-only view disabled as a whole.
    void keyboardWalk_data()
    {
        QTest::addColumn<QString>("dialog");
        QTest::addColumn<bool>("readOnly");
        QTest::addColumn<QString>("walk"); // from the first control on; table cells as row,column
        // clang-format off
        QTest::newRow("Login")           << "Login" << false << "lineEditIP comboBoxUser lineEditPassword pushButtonOk pushButtonCancel";
        QTest::newRow("ChangePassword")  << "ChangePassword" << false
                                         << "comboBoxUser lineEditNewPassword lineEditComfirmPassword pushButtonOk pushButtonCancel";
        QTest::newRow("NetworkProperty") << "NetworkProperty" << false
                                         << "lineEditIP lineEditSubnetMask lineEditGateway pushButtonOk pushButtonCancel";
        QTest::newRow("ParamCfg")        << "ParamCfg" << false << "comboBoxLock comboBoxAutoMode comboBoxType "
                                            "0,0 0,1 1,0 1,1 2,0 2,1 3,0 3,1 pushButtonOk pushButtonCancel";
        QTest::newRow("General")         << "General" << false << "pushButtonOk";
        QTest::newRow("LanguageConfig")  << "LanguageConfig" << false << "comboBox pushButtonOk pushButtonCancel";
        QTest::newRow("AboutDialog")     << "AboutDialog" << false << "pushButton_Close";
        for (const char* dialog : { "ParamCfg", "NetworkProperty", "ChangePassword", "General" })
            QTest::addRow("%s read-only", dialog) << dialog << true << "";
        // clang-format on
    }

    void keyboardWalk()
    {
        QFETCH(QString, dialog);
        QFETCH(bool, readOnly);
        QFETCH(QString, walk);
        std::unique_ptr<QDialog> d(make(dialog));
        d->setEnabled(!readOnly);
        QStringList forward, backward;
        const auto name = [](QWidget* w) {
            auto* table = qobject_cast<QTableWidget*>(w ? w->parentWidget()->parentWidget() : nullptr);
            const QModelIndex cell = table ? table->indexAt(w->geometry().center()) : QModelIndex();
            return !w ? QString("none") : table ? QString("%1,%2").arg(cell.row()).arg(cell.column()) : w->objectName();
        };
        TestSupport::onNextModal([&](QWidget* modal) {
            QWindow* window = modal->windowHandle(); // keys go where a user's would: to the focus widget
            const int controls = walk.count(' ') + 1;
            for (int i = 0; !readOnly && i < 2 * controls; ++i) { // twice round, then rotate to the first control
                forward << name(QApplication::focusWidget());
                QTest::keyClick(window, Qt::Key_Tab);
            }
            for (int i = 0; !readOnly && i < 2 * controls; ++i) {
                backward.prepend(name(QApplication::focusWidget()));
                QTest::keyClick(window, Qt::Key_Backtab);
            }
            QTest::keyClick(window, Qt::Key_Escape);
        });
        QTimer::singleShot(3000, d.get(), [&d] { d->done(-1); }); // Escape did nothing
        QCOMPARE(d->exec(), int(QDialog::Rejected));
        if (readOnly)
            return;
        const QString first = walk.section(' ', 0, 0);
        QVERIFY2(forward.indexOf(first) >= 0, qPrintable(forward.join(' ')));
        QCOMPARE(forward.mid(forward.indexOf(first), walk.count(' ') + 1).join(' '), walk);
        QCOMPARE(backward.mid(backward.indexOf(first), walk.count(' ') + 1).join(' '), walk);
    }

    // The language dialog shows and keeps the choice, and one size per language however often it changes.
    void languageDialog()
    {
        LanguageConfig dialog(nullptr, QStringLiteral(DIVEVOD_LANG_DIR));
        const auto switchTo = [&dialog](int language) {
            dialog.SetLanguage(language);
            QCoreApplication::sendPostedEvents(); // translators announce themselves with posted events
            return dialog.size();
        };
        const QSize english = switchTo(0), chinese = switchTo(1);
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "OK"), QString::fromUtf8("确定")); // the toolkit's too
        dialog.ShowLanguage();
        QCOMPARE(dialog.findChild<QComboBox*>()->currentIndex(), 1);
        for (int round = 0; round < 3; ++round) {
            QCOMPARE(switchTo(0), english);
            QCOMPARE(switchTo(1), chinese);
        }
        QVERIFY(chinese.expandedTo(dialog.minimumSizeHint()) == chinese); // never cutting the contents
        dialog.findChild<QComboBox*>()->setCurrentIndex(0);
        dialog.ApplyLanguage();
        QCoreApplication::sendPostedEvents();
        QCOMPARE(dialog.findChild<QLabel*>("label")->text(), QStringLiteral("Select Language:"));
        QCOMPARE(dialog.size(), english);
        QVERIFY(english.expandedTo(dialog.minimumSizeHint()) == english);
        dialog.findChild<QComboBox*>()->setCurrentIndex(1);
        dialog.ApplyLanguage();
        QCOMPARE(QSettings("Brennhart", "DiveVod").value("Language").toInt(), 1);
    }

    // Only a complete read reaches the form. A write sends the key states, then the partners, and stops at the
    // first refusal; an address the check refuses sends nothing.
    void param_data()
    {
        QTest::addColumn<int>("panelType");
        QTest::addColumn<bool>("autoMode");
        QTest::addColumn<int>("readRefused"); // message type the device refuses, 0: none
        QTest::addColumn<QString>("shown"); // lock, auto mode, panel type, whether it can be chosen, the partners
        QTest::addColumn<QString>("form"); // the addresses and passwords then entered
        QTest::addColumn<int>("writeRefused"); // -1: nothing may be sent
        QTest::addColumn<QString>("stored"); // lock, auto mode, panel type and the partners on the device afterwards
        const QString read = "10.0.0.7|0.0.0.0|0.0.0.0|10.0.0.9|654321|||abc"; // 0.0.0.0 as the device reports it
        // clang-format off
        QTest::newRow("D2X1, all rows empty") << 0 << false << 0 << "Enabled Disabled D2X1 enabled " + read
            << "||||pw0|pw1|pw2|pw3" << 0 << "0 0 0 0.0.0.0|0.0.0.0|0.0.0.0|0.0.0.0|pw0|pw1|pw2|pw3";
        QTest::newRow("4X1 auto mode, main and two slaves") << 1 << true << 0 << "Enabled Enabled 4X1 disabled " + read
            << "10.0.0.5||10.0.0.6|192.168.100.254|a|||b" << 0 << "0 0 1 10.0.0.5|0.0.0.0|10.0.0.6|192.168.100.254|a|||b";
        // The key states go before the refused main device (type 7 reads as 4X1, goes as 1), the slaves never.
        QTest::newRow("type 7, main device refused") << 7 << false << 0 << "Enabled Disabled 4X1 enabled " + read
            << "10.0.0.5|10.0.0.6||||||" << 64 << "0 0 1 " + read;
        QTest::newRow("slaves refused, half-typed address") << 1 << true << 70 << "Disabled Disabled D2X1 enabled |||||||"
            << "10.0.0.5|10.0.0.||||||" << -1 << "1 1 1 " + read;
        // clang-format on
    }

    void param()
    {
        QFETCH(int, panelType);
        QFETCH(bool, autoMode);
        QFETCH(int, readRefused);
        QFETCH(QString, shown);
        QFETCH(QString, form);
        QFETCH(int, writeRefused);
        QFETCH(QString, stored);
        sim.modify([&](SimDeviceState& s) {
            s.keyLock = true, s.autoMode = autoMode, s.panelType = quint8(panelType);
            s.remoteAddress = "10.0.0.7", s.remotePassword = "654321";
            s.slaveAddress[2] = "10.0.0.9", s.slavePassword[2] = "abc";
        });
        if (readRefused)
            sim.setFault(DeviceSimulator::Fault::ErrorCode, 1, 1, readRefused);
        ParamCfg dialog(&client);
        QCOMPARE(dialog.ReadParam(), readRefused ? -1 : 0);
        const auto combo = [&dialog](const char* name) { return dialog.findChild<QComboBox*>(name); };
        QCOMPARE(QStringList({ combo("comboBoxLock")->currentText(), combo("comboBoxAutoMode")->currentText(),
                               combo("comboBoxType")->currentText(), combo("comboBoxType")->isEnabled() ? "enabled" : "disabled",
                               texts(entries(&dialog)).join('|') }).join(' '),
                 shown);
        // The panel type can be chosen only without auto mode.
        combo("comboBoxAutoMode")->setCurrentIndex(autoMode ? 0 : 1);
        QCOMPARE(combo("comboBoxType")->isEnabled(), autoMode);
        combo("comboBoxAutoMode")->setCurrentIndex(0);
        combo("comboBoxLock")->setCurrentIndex(0);
        for (int i = 0; i < 8; ++i)
            entries(&dialog)[i]->setText(form.section('|', i, i));
        if (writeRefused > 0)
            sim.setFault(DeviceSimulator::Fault::ErrorCode, 1, 1, writeRefused);
        QCOMPARE(dialog.WriteParam(), writeRefused ? -1 : 0);
        const SimDeviceState s = sim.state();
        QCOMPARE(QString("%1 %2 %3 ").arg(s.keyLock).arg(s.autoMode).arg(s.panelType)
                     + QStringList({ s.remoteAddress, s.slaveAddress[0], s.slaveAddress[1], s.slaveAddress[2],
                                     s.remotePassword, s.slavePassword[0], s.slavePassword[1], s.slavePassword[2] }).join('|'),
                 stored);
    }

    void deviceInformation_data()
    {
        QTest::addColumn<quint32>("productCode");
        QTest::addColumn<int>("workMode");
        QTest::addColumn<int>("refused");
        QTest::addColumn<QString>("shown"); // the value labels in order
        const QString product = "ACO GPIO|Velmora-ACO-GPIO|QX00001234-00000042|", rest = "|1.4|2.3.17|10.1.2.3|255.255.0.0|10.1.0.1";
        QTest::newRow("ACO GPIO in user mode 2") << 50003u << 2 << 0 << product + "UserApp" + rest;
        QTest::newRow("other module in update mode") << 50002u << 0 << 0 << "Unknown|Unknown|QX00001234-00000042|Update" + rest;
        // A refused request leaves its group and the later ones empty.
        QTest::newRow("product refused") << 50003u << 1 << 5 << "||||||||";
        QTest::newRow("version refused") << 50003u << 1 << 23 << product + "UserApp|||||";
    }

    void deviceInformation()
    {
        QFETCH(quint32, productCode);
        QFETCH(int, workMode);
        QFETCH(int, refused);
        QFETCH(QString, shown);
        sim.modify([&](SimDeviceState& s) { s.productCode = productCode, s.workMode = quint8(workMode); });
        if (refused)
            sim.setFault(DeviceSimulator::Fault::ErrorCode, 1, 1, refused);
        General dialog(&client);
        QCOMPARE(dialog.ReadInfo(), refused ? -1 : 0);
        QStringList values;
        for (const char* name : { "labelModuleType", "labelDescription", "labelProductSN", "labelRunMode", "labelPCBVersion",
                                  "labelFirmwareVersion", "labelIpAddress", "labelSubnetMask", "labelGateway" })
            values << dialog.findChild<QLabel*>(name)->text();
        QCOMPARE(values.join('|'), shown);
    }
};

QTEST_MAIN(TestDialogs)
#include "tst_Dialogs.moc"
