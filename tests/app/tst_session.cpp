// The main window logged in to the simulator (127.0.172.x and 127.0.173.x, port 33904): the login and its
// messages, the rows of the starting state and of changes, partner reports, lost connections, the end of
// a session from either side, and the configuration commands.
#include "DeviceSimulator.h"
#include "DiveVodNetClient.h"
#include "StatusPanelLogic.h"
#include "WindowFixture.h"

#include <QElapsedTimer>
#include <QGuiApplication>

#include <functional>
#include <numeric>

namespace {
// One source, two programs that ctest runs side by side: the commands, and the rest.
const QString kDevice = QLatin1String(APP_COMMANDS ? "127.0.173.1" : "127.0.172.1");
const QString kPartner = QStringLiteral("127.0.172.2");
const QString kRemote = QStringLiteral("127.0.173.7");
// Message types that only the dialogs send. From a device that does not answer the monitors read nothing
// else either: their cycles stop at the first failed request, so 62 and 70 then come only from a dialog.
const QList<int> kDialogOnlyTypes = {5, 23, 25, 26, 27, 61, 64, 69};
const QList<int> kWriteTypes = {25, 27, 61, 64, 69};
const int kEveryRequest = -1; // the device refuses every request from OK on

using DialogStep = std::function<void(QDialog*)>;

// Answers the next message box, then `next` gets the dialog that follows it (when there is one).
void answerMessage(QString* text, const DialogStep& next = nullptr)
{
    TestSupport::onNextModal(
        [=](QWidget* box) {
            auto* message = qobject_cast<QMessageBox*>(box);
            *text = message ? message->text() : QStringLiteral("<not a message box>");
            if (next)
                TestSupport::onNextModal([next](QWidget* again) { next(qobject_cast<QDialog*>(again)); });
            QTest::keyClick(box, Qt::Key_Enter);
        },
        15000);
}

template <typename T> T* child(QWidget* dialog, const char* name) { return dialog->findChild<T*>(name); }
} // namespace

Q_DECLARE_METATYPE(DialogStep)

class TestSession : public QObject
{
    Q_OBJECT

    std::unique_ptr<DeviceSimulator> sim;
    std::unique_ptr<QSignalSpy> notes; // the desktop notifications, by title

    QStringList notesOf() const
    {
        QStringList titles;
        for (const QVariantList& note : *notes)
            titles << note.value(0).toString();
        return titles;
    }
    int againShown = 0;

    int frames(const QList<int>& types) const
    {
        return std::accumulate(types.begin(), types.end(), 0, [&](int n, int t) { return n + sim->receivedCount(t); });
    }

private slots:
    void initTestCase() { TestSupport::isolateSettings(); }
    void init()
    {
        const QLatin1String name(QTest::currentTestFunction());
        if ((name == QLatin1String("commands") || name.startsWith(QLatin1String("wait"))) != bool(APP_COMMANDS))
            QSKIP("run by the other program");
        TestSupport::clearSettings();
        sim.reset(new DeviceSimulator);
        QVERIFY(sim->start(kDevice, 33904));
    }
    void cleanup()
    {
        sim.reset();
        QTRY_VERIFY(QApplication::activeModalWidget() == nullptr);
        QVERIFY(!QGuiApplication::overrideCursor()); // the busy cursor never outlives an exchange
    }

    void refusedLoginsSayWhyAndAskAgain_data()
    {
        QTest::addColumn<int>("user");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("device");
        QTest::addColumn<QString>("message");
        QTest::newRow("update mode") << 0 << "123456" << "update" << "The device is upgrading.";
        QTest::newRow("wrong admin password") << 0 << "654321" << ""
            << "Login failed. Please make sure the password is correct and the REM-CTRL key is pressed down while booting.";
        QTest::newRow("wrong guest password") << 1 << "123456" << "" << "The password is incorrect.";
        QTest::newRow("no answer") << 1 << "111111" << "silent" << "Device is off-line.";
        QTest::newRow("login unanswered") << 1 << "111111" << "silent login" << "Device is off-line.";
    }
    void refusedLoginsSayWhyAndAskAgain()
    {
        QFETCH(int, user);
        QFETCH(QString, password);
        QFETCH(QString, device);
        QFETCH(QString, message);
        sim->setUpdateMode(device == "update");
        sim->setAnswering(device != "silent");
        if (device == "silent login")
            sim->setFault(DeviceSimulator::Fault::Silent, 2, 1, 2); // the login request and its resend
        WindowFixture f;
        QString shown, offered;
        TestSupport::onNextModal([&](QWidget* dialog) {
            WindowFixture::fillLogin(dialog, kDevice, user, password);
            answerMessage(&shown, [&](QDialog* d) {
                offered = child<QLineEdit>(d, "lineEditIP")->text() + ' ' + child<QComboBox>(d, "comboBoxUser")->currentText();
                d->reject();
            });
        });
        f.action("actionConnect")->trigger();
        QCOMPARE(shown, message);
        // Asked again with the address and user that just failed; only a login stores the address.
        QCOMPARE(offered, kDevice + (user ? " guest" : " admin"));
        QVERIFY(!f.loggedIn() && setting("IP").isEmpty());
        QCOMPARE(f.table()->rowCount(), 0);
    }

    void loginLogsTheStartingStateAndChanges()
    {
        WindowFixture f;
        QVERIFY(f.login(kDevice));
        QCOMPARE(f.table()->rowCount(), 19);
        QCOMPARE(f.rows().first() + f.rows().at(8) + f.rows().last(),
                 QStringLiteral("|LED-PS1|Green|Group B|LED-IN 1|Green||KEY-AUTO MODE|Enabled|"));
        QVERIFY(f.connectShown());
        QCOMPARE(setting("IP") + setting("DeviceType"), kDevice + "0");
        auto* panel2x1 = f.window->findChild<GPIOStatus2x1*>();
        QVERIFY(panel2x1->isVisible());
        // Changes made at the device reach the table through the poller; a key pressed here is marked so.
        QSignalSpy redNotes(f.window.get(), &DiveVod::DesktopNotification);
        sim->modify([](SimDeviceState& s) { s.gpioRedMask = 0x04; });
        QTRY_COMPARE_WITH_TIMEOUT(f.rows().value(19), QStringLiteral("Group A|LED-BYPASS|Red|"), 5000);
        QCOMPARE(redNotes.value(0), (QVariantList{"Input LED red", "Group A LED-BYPASS"}));
        sim->modify([](SimDeviceState& s) { s.keyMask = 0x01; });
        QTRY_COMPARE_WITH_TIMEOUT(f.rows().value(20), QStringLiteral("Group B|KEY-IN 1|Disabled|"), 5000);
        QTest::mouseClick(panel2x1->findChild<QAbstractButton*>(QStringLiteral("pushButtonIN4")), Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(f.rows().value(21), QStringLiteral("Group B|REM KEY-IN 1|Enabled|"), 5000);
        sim->modify([](SimDeviceState& s) { s.panelType = 1; });
        QTRY_COMPARE_WITH_TIMEOUT(f.rows().mid(22), (QStringList{"|LED-D2X1|Off|", "|LED-4X1|Green|"}), 5000);
        QTRY_VERIFY(f.window->findChild<GPIOStatus4x1*>()->isVisible() && !panel2x1->isVisible());

        // "No" keeps the session and writes nothing; "Yes", the default, ends it with a backup of every row.
        TestSupport::onNextModal([](QWidget* b) { qobject_cast<QMessageBox*>(b)->button(QMessageBox::No)->click(); });
        f.action("actionDisconnect")->trigger();
        QVERIFY(f.loggedIn() && f.logFiles().isEmpty());
        TestSupport::onNextModal([](QWidget* b) { QTest::keyClick(b, Qt::Key_Enter); });
        f.action("actionDisconnect")->trigger();
        QVERIFY(!f.loggedIn() && f.action("actionConnect")->isEnabled() && !f.connectShown());
        // Reports the workers queued before the session ended change nothing.
        QMetaObject::invokeMethod(f.window.get(), "OnIsAlive", Q_ARG(bool, false), Q_ARG(int, 1));
        QMetaObject::invokeMethod(f.window.get(), "OnRecvStatusInfo", Q_ARG(AcoGpioInfo, AcoGpioInfo()));
        QCOMPARE(f.table()->rowCount(), 0);
        QCOMPARE(f.logFiles().size(), 1);
        const QList<QByteArray> lines = f.logFile(f.logFiles().first()).split('\n');
        QCOMPARE(lines.mid(0, 4), (QList<QByteArray>{"Module Type,ACO GPIO", "Product SN,QX00001234-00000042",
                                                     "Firmware Verison,1.1.46", "IP Address,127.0.0.1"}));
        QCOMPARE(lines.size(), 7 + 24 + 1);
        QVERIFY(lines.at(30).endsWith(",,LED-4X1,Green,"));
    }

    // Rows a failed backup kept are written under their own device's head, never under the next session's.
    void keptRowsKeepTheirHead_data()
    {
        QTest::addColumn<bool>("writableAtLogin");
        QTest::newRow("retried at the next login") << true;
        QTest::newRow("kept through the next session") << false;
    }
    void keptRowsKeepTheirHead()
    {
        QFETCH(bool, writableAtLogin);
        WindowFixture f;
        const QString blocked = f.logs.filePath("logs"); // a file where the directory should be
        QFile blocker(blocked);
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        f.window->SetLogsDirectory(blocked);
        QVERIFY(f.login(kDevice));
        TestSupport::onNextModal([](QWidget* b) { QTest::keyClick(b, Qt::Key_Enter); });
        f.action("actionDisconnect")->trigger();
        QCOMPARE(f.table()->rowCount(), 19);

        DeviceSimulator other;
        other.modify([](SimDeviceState& s) { s.address = 0x7F00AC03; });
        QVERIFY(other.start(QStringLiteral("127.0.172.3"), 33904));
        if (writableAtLogin)
            QVERIFY(blocker.remove());
        QVERIFY(f.login(QStringLiteral("127.0.172.3")));
        QCOMPARE(f.table()->rowCount(), writableAtLogin ? 19 : 38);
        blocker.remove();
        TestSupport::onNextModal([](QWidget* b) { QTest::keyClick(b, Qt::Key_Enter); });
        f.action("actionDisconnect")->trigger();
        QCOMPARE(f.table()->rowCount(), 0);
        QStringList heads;
        for (const QString& name : QDir(blocked).entryList(QDir::Files, QDir::Name)) {
            const QList<QByteArray> lines = WindowFixture::read(QDir(blocked).filePath(name)).split('\n');
            heads << QString::fromLatin1(lines.value(3) + ' ' + QByteArray::number(lines.size() - 8));
        }
        heads.sort();
        QCOMPARE(heads, (QStringList{"IP Address,127.0.0.1 19", "IP Address,127.0.172.3 19"}));
    }

    // The panel of an earlier 4x1 session gives way to this 2x1 device's, though its first status read failed.
    void panelFollowsTheDeviceAfterAFailedFirstRead()
    {
        QSettings("Brennhart", "DiveVod").setValue("DeviceType", 1);
        sim->setFault(DeviceSimulator::Fault::ErrorCode, 1, 1, 63);
        WindowFixture f;
        QVERIFY(f.window->findChild<GPIOStatus4x1*>()->isVisibleTo(f.window.get()));
        QVERIFY(f.login(kDevice));
        QTRY_VERIFY_WITH_TIMEOUT(f.window->findChild<GPIOStatus2x1*>()->isVisible()
                                     && !f.window->findChild<GPIOStatus4x1*>()->isVisible(), 5000);
    }

    void fourByOneDeviceAndPartnerReports()
    {
        sim->modify([](SimDeviceState& s) { s.panelType = 1, s.remoteAddress = kPartner; });
        QVERIFY(sim->addPartner(kPartner));
        auto f = std::make_unique<WindowFixture>();
        notes.reset(new QSignalSpy(f->window.get(), &DiveVod::DesktopNotification));
        QVERIFY(f->login(kDevice, 1, QStringLiteral("111111")));
        QCOMPARE(f->window->windowTitle(), "Velmora ACO-GPIO Config - " + kDevice + " (guest)");
        QCOMPARE(f->table()->rowCount(), 17);
        QCOMPARE(f->rows().at(4), QStringLiteral("|LED-4X1|Green|"));
        QVERIFY(f->window->findChild<GPIOStatus4x1*>()->isVisible());
        QVERIFY(!f->window->findChild<GPIOStatus2x1*>()->isVisible());
        QCOMPARE(setting("DeviceType"), QStringLiteral("1"));
        QTRY_COMPARE_WITH_TIMEOUT(f->rows().value(17), "|Remote ACO " + kPartner + "|Connected|", 8000);
        sim->setPartnerAnswering(kPartner, false);
        QTRY_COMPARE_WITH_TIMEOUT(f->rows().value(18), "|Remote ACO " + kPartner + "|Lost|", 12000);
        // Closing while logged in backs the rows up, and the window goes promptly.
        QVERIFY(notesOf().contains("Partner device lost"));
        f->window->close();
        QCOMPARE(f->logFiles().size(), 1);
        QVERIFY(f->logFiles().first().startsWith("backup_"));
        QVERIFY(f->logFile(f->logFiles().first()).endsWith(",,Remote ACO " + kPartner.toLatin1() + ",Lost,\n"));
        QElapsedTimer clock;
        clock.start();
        f->window.reset();
        QVERIFY2(clock.elapsed() < 3000, qPrintable(QString::number(clock.elapsed())));
    }

    void lostConnectionIsLoggedOnceEachWayAndGreysTheCommands()
    {
        WindowFixture f;
        notes.reset(new QSignalSpy(f.window.get(), &DiveVod::DesktopNotification));
        QVERIFY(f.login(kDevice));
        auto* line = f.child<QLabel>("labelStatusLine");
        auto* stale = f.child<QLabel>("labelStale");
        QVERIFY2(line->text().startsWith(kDevice + " | admin | Connected | Last answer: "), qPrintable(line->text()));
        QTest::qWait(StatusPanelLogic::ClickIntervalMs); // the click filter counts from the panel's making
        sim->setAnswering(false);
        // Pressed before the alive monitor noticed: the press is lost, and the user is told.
        auto* key = f.window->findChild<GPIOStatus2x1*>()->findChild<QAbstractButton*>(QStringLiteral("pushButtonIN1"));
        QTest::mouseClick(key, Qt::LeftButton);
        QCOMPARE(f.window->statusBar()->currentMessage(), QStringLiteral("The key press did not reach the device."));
        QTRY_COMPARE_WITH_TIMEOUT(f.rows().count(kAsserted), 1, 12000);
        QVERIFY2(line->text().contains(" | Connection lost since "), qPrintable(line->text()));
        QVERIFY(stale->isVisible() && stale->text().startsWith("No answer since "));
        QVERIFY(!f.connectShown() && !key->isEnabled());
        // While the device is lost every configuration dialog is a view that reads nothing.
        const QList<int> dialogTypes = kDialogOnlyTypes + QList<int>{62, 70};
        const int before = frames(dialogTypes);
        for (const char* action : {"actionConfigParam", "actionConfigNetwork", "actionGeneral", "actionChangePassword"}) {
            bool enabled = true;
            TestSupport::onNextModal([&](QWidget* d) { enabled = d->isEnabled(), qobject_cast<QDialog*>(d)->reject(); });
            f.action(action)->trigger();
            QVERIFY2(!enabled, action);
        }
        QCOMPARE(frames(dialogTypes), before);
        QTest::qWait(7000); // another silent cycle of the alive monitor adds nothing
        QCOMPARE(f.rows().count(kAsserted), 1);
        sim->setAnswering(true);
        QTRY_COMPARE_WITH_TIMEOUT(f.rows().count(kCleared), 1, 8000);
        QVERIFY(f.connectShown() && f.loggedIn() && key->isEnabled());
        QVERIFY(line->text().contains(" | Connected | ") && !stale->isVisible());
        QTest::mouseClick(key, Qt::LeftButton); // a press that arrives takes the word back
        QVERIFY(f.window->statusBar()->currentMessage().isEmpty());
        QTest::qWait(3500);
        QCOMPARE(f.rows().count(kCleared), 1);
        QCOMPARE(notesOf(), (QStringList{"Connection lost", "Connection restored"}));
    }

    void deviceEndsTheSession_data()
    {
        QTest::addColumn<bool>("otherFirmware");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QByteArray>("fileEnd");
        QTest::newRow("update mode") << false << "The device is upgrading." << QByteArray(",KEY-AUTO MODE,Enabled,\n");
        QTest::newRow("other firmware") << true
                                        << "The versions between the device 1.1.45 and control software 1.1.46 are "
                                           "mismatched.Please use identical versions and re-login."
                                        << QByteArray(",,,,Version mismatch between the Config Tool and the Firmware\n");
    }
    void deviceEndsTheSession()
    {
        QFETCH(bool, otherFirmware);
        QFETCH(QString, message);
        QFETCH(QByteArray, fileEnd);
        if (otherFirmware)
            sim->modify([](SimDeviceState& s) { s.firmwareVersion = (1u << 24) | (1u << 16) | 45u; });
        WindowFixture f;
        notes.reset(new QSignalSpy(f.window.get(), &DiveVod::DesktopNotification));
        QVERIFY(f.login(kDevice));
        QString shown;
        answerMessage(&shown);
        sim->setUpdateMode(!otherFirmware);
        QTRY_COMPARE_WITH_TIMEOUT(shown, message, 8000);
        QTRY_VERIFY(!f.loggedIn() && f.action("actionConnect")->isEnabled() && !f.connectShown());
        QCOMPARE(notesOf(), QStringList{"Session ended"});
        QVERIFY(f.child<QLabel>("labelStatusLine")->text() == "Disconnected" && !f.window->windowTitle().contains(kDevice));
        QCOMPARE(f.table()->rowCount(), 0);
        QCOMPARE(f.logFiles().size(), 1);
        const QByteArray file = f.logFile(f.logFiles().first());
        QVERIFY2(file.endsWith(fileEnd) && file.contains(otherFirmware ? "Verison,1.1.45\n" : "Verison,1.1.46\n"),
                 file.constData());
    }

    void commands_data()
    {
        QTest::addColumn<int>("user");
        QTest::addColumn<QByteArray>("action");
        QTest::addColumn<int>("refused"); // kEveryRequest, or the message type refused from the start, or 0
        QTest::addColumn<DialogStep>("step"); // checks and fills the dialog before OK
        QTest::addColumn<QString>("message");
        QTest::addColumn<DialogStep>("again"); // the dialog shown again after the message
        const auto view = [](const char* name, const QString& value, bool enabled) {
            return DialogStep([=](QDialog* d) {
                QCOMPARE(d->isEnabled(), enabled);
                if (*name)
                    QCOMPARE(child<QLineEdit>(d, name)->text(), value);
            });
        };
        // The main partner as read from the device; its password in clear for an administrator only.
        const auto partners = [](bool guest) {
            return DialogStep([=](QDialog* d) {
                auto* table = child<QTableWidget>(d, "tableWidget");
                auto* password = qobject_cast<QLineEdit*>(table->cellWidget(0, 1));
                QCOMPARE(qobject_cast<QLineEdit*>(table->cellWidget(0, 0))->text() + ' ' + password->text(), kRemote + " abc123");
                QCOMPARE(password->displayText() == password->text(), !guest);
                QCOMPARE(d->isEnabled(), !guest);
            });
        };
        const DialogStep lock = [=](QDialog* d) { partners(false)(d), child<QComboBox>(d, "comboBoxLock")->setCurrentIndex(1); };
        const auto network = [](const QString& address, const QString& gateway) {
            return DialogStep([=](QDialog* d) {
                QCOMPARE(child<QLabel>(d, "labelInfo")->text(), QStringLiteral("Current network parameters is default"));
                child<QLineEdit>(d, "lineEditIP")->setText(address);
                child<QLineEdit>(d, "lineEditSubnetMask")->setText(QStringLiteral("255.0.0.0"));
                child<QLineEdit>(d, "lineEditGateway")->setText(gateway); // none: sent as 0.0.0.0
            });
        };
        const auto account = [](int user) {
            return DialogStep([=](QDialog* d) { QCOMPARE(child<QComboBox>(d, "comboBoxUser")->currentIndex(), user); });
        };
        const auto password = [](int user) {
            return DialogStep([user](QDialog* d) {
                child<QComboBox>(d, "comboBoxUser")->setCurrentIndex(user);
                QTest::keyClicks(child<QLineEdit>(d, "lineEditNewPassword"), QStringLiteral("654321"));
                QTest::keyClicks(child<QLineEdit>(d, "lineEditComfirmPassword"), QStringLiteral("654321"));
            });
        };
        const auto shownAgain = [this](const DialogStep& check) {
            return DialogStep([=](QDialog* d) { check(d), ++againShown, d->reject(); });
        };
        const QByteArray param("actionConfigParam"), net("actionConfigNetwork"), pass("actionChangePassword");
        // clang-format off
        QTest::newRow("guest, password") << 1 << pass << 0 << view("", "", false) << "" << DialogStep();
        QTest::newRow("guest, parameters") << 1 << param << 0 << partners(true) << "" << DialogStep();
        QTest::newRow("guest, network") << 1 << net << 0 << view("lineEditIP", "10.0.0.99", false) << "" << DialogStep();
        QTest::newRow("parameters") << 0 << param << 0 << lock << "" << DialogStep();
        QTest::newRow("parameters refused") << 0 << param << kEveryRequest << lock << "The parameters could not be written to the device." << DialogStep();
        QTest::newRow("parameters unread") << 0 << param << 70 << DialogStep() << "Device is off-line." << DialogStep();
        QTest::newRow("network") << 0 << net << 0 << network("10.0.0.50", "") << "The new IP address will be used after reboot." << DialogStep();
        QTest::newRow("network refused") << 0 << net << kEveryRequest << network("10.0.0.50", "") << "The network parameters were not changed." << DialogStep();
        QTest::newRow("network unread") << 0 << net << 26 << DialogStep() << "Device is off-line." << DialogStep();
        QTest::newRow("half-typed gateway") << 0 << net << 0 << network("10.0.0.50", "10.0.0.") << "The gateway is invalid."
                                            << shownAgain(view("lineEditGateway", "10.0.0.", true));
        // This computer's own address: a fresh dialog with the device's values, not the rejected input.
        const QStringList local = DiveVodNetClient().GetLocalAddresses();
        if (!local.isEmpty())
            QTest::newRow("own address") << 0 << net << 0 << network(local.first(), "") << "The IP address is invalid."
                                         << shownAgain(view("lineEditIP", "10.0.0.99", true));
        QTest::newRow("admin password") << 0 << pass << 0 << password(0) << "The password has been changed." << DialogStep();
        QTest::newRow("guest password") << 0 << pass << 0 << password(1) << "The password has been changed." << DialogStep();
        QTest::newRow("password refused") << 0 << pass << kEveryRequest << password(1) << "The password is not changed."
                                          << shownAgain(account(1));
        // clang-format on
    }
    void commands()
    {
        QFETCH(int, user);
        QFETCH(QByteArray, action);
        QFETCH(int, refused);
        QFETCH(DialogStep, step);
        QFETCH(QString, message);
        QFETCH(DialogStep, again);
        sim->modify([](SimDeviceState& s) { // the partner is probed while logged in: nobody answers
            s.remoteAddress = kRemote, s.remotePassword = "abc123";
            s.address = 0x0A000063, s.subnetMask = 0xFFFFFF00, s.gateway = 0x0A000001;
            s.isDefault = true;
        });
        WindowFixture f;
        QVERIFY(f.login(kDevice, user, user ? QStringLiteral("111111") : QStringLiteral("123456")));
        const int before = frames(kDialogOnlyTypes), writes = frames(kWriteTypes);
        QString shown;
        againShown = 0;
        if (refused > 0) { // a read that fails opens no dialog
            sim->setFault(DeviceSimulator::Fault::ErrorCode, 1000000, 1, refused);
            answerMessage(&shown);
        } else {
            TestSupport::onNextModal([&](QWidget* w) {
                auto* dialog = qobject_cast<QDialog*>(w);
                step(dialog);
                if (user == 1)
                    return dialog->reject(); // all a user can do with a view
                if (refused)
                    sim->setFault(DeviceSimulator::Fault::ErrorCode, 1000000, 1);
                if (!message.isEmpty())
                    answerMessage(&shown, again);
                child<QPushButton>(dialog, "pushButtonOk")->click();
            });
        }
        f.action(action.constData())->trigger();
        QTRY_COMPARE(shown, message);
        QTRY_COMPARE(againShown, again ? 1 : 0);
        const SimDeviceState s = sim->state();
        const bool sent = message.startsWith("The new IP");
        if (user == 1 || refused > 0) {
            QCOMPARE(frames(kWriteTypes), writes);
            if (action == "actionChangePassword")
                QCOMPARE(frames(kDialogOnlyTypes), before); // nothing read for a guest's password view
        } else if (action == "actionConfigParam") {
            QCOMPARE(s.keyLock, !refused);
        } else if (action == "actionConfigNetwork") {
            QCOMPARE(setting("IP"), sent ? QStringLiteral("10.0.0.50") : kDevice);
            const QVector<quint32> net{s.address, s.gateway, s.subnetMask}, old{0x0A000063, 0x0A000001, 0xFFFFFF00};
            QCOMPARE(net, sent ? QVector<quint32>({0x0A000032, 0, 0xFF000000}) : old);
        } else {
            // A new admin password is used at once; a guest's is not this window's.
            const QLatin1String tag(QTest::currentDataTag());
            QCOMPARE(s.adminPassword, QString(tag == "admin password" ? "654321" : "123456"));
            QCOMPARE(s.guestPassword, QString(tag == "guest password" ? "654321" : "111111"));
            bool modified = false, reauthenticated = false;
            for (const DeviceSimulator::Received& r : sim->received()) {
                reauthenticated |= modified && r.type == 2 && r.frame.contains("654321");
                modified |= r.type == 27;
            }
            QVERIFY(modified);
            QCOMPARE(reauthenticated, s.adminPassword == "654321");
        }
    }

    void waitKeepsTheWindowAnswering()
    {
        WindowFixture f;
        QVERIFY(f.login(kDevice));
        QTest::qWait(1300); // past the version check
        sim->setAnswering(false); // just fell silent: the window still takes it for reachable
        TestSupport::StallProbe stalls;
        // A second of waiting in: the wait names itself, and a click on a panel key is held back.
        QString indication;
        QTimer::singleShot(1000, [&]() {
            const auto* label = f.window->findChild<QFrame*>("deviceWait");
            indication = label && label->isVisible() ? label->findChild<QLabel*>()->text() : QString();
            f.click("pushButtonIN1");
        });
        TestSupport::onNextModal([](QWidget* w) { QTest::keyClick(w, Qt::Key_Escape); }, 30000);
        f.action("actionConfigParam")->trigger();
        const qint64 longest = stalls.Stop();
        QVERIFY2(longest < 1000, qPrintable(QString::number(longest))); // one silent exchange blocks for 2 s
        QCOMPARE(indication, QString::fromUtf8("Waiting for the device…"));
        QCOMPARE(sim->receivedCount(0x13), 0); // SetABKeyState
    }

    // Reports that arrive while a dialog reads a slow device: the ones that may end the session wait until
    // the read is over, so the dialog still shows what the device answered; the others are handled at once.
    void waitOrdersReports_data()
    {
        QTest::addColumn<QByteArray>("slot");
        QTest::addColumn<bool>("alive");
        QTest::addColumn<int>("workMode");
        QTest::addColumn<bool>("handledAtOnce");
        QTest::addColumn<QString>("message");
        QTest::newRow("lost connection") << QByteArray("OnIsAlive") << false << 1 << false << QString();
        QTest::newRow("update mode") << QByteArray("OnIsAlive") << true << 0 << false << "The device is upgrading.";
        QTest::newRow("partner report") << QByteArray("OnRecvRemoteACOConnectStatus") << true << 0 << true << QString();
    }
    void waitOrdersReports()
    {
        QFETCH(QByteArray, slot);
        QFETCH(bool, alive);
        QFETCH(int, workMode);
        QFETCH(bool, handledAtOnce);
        QFETCH(QString, message);
        WindowFixture f;
        QVERIFY(f.login(kDevice));
        QTest::qWait(1300); // past the version check
        sim->modify([](SimDeviceState& s) { s.keyLock = 1; });
        sim->setReplyDelay(700); // a read of three answers takes seconds
        const int rowsBefore = f.table()->rowCount();
        QTimer::singleShot(300, [&]() {
            if (slot == "OnIsAlive")
                QMetaObject::invokeMethod(f.window.get(), slot, Qt::QueuedConnection, Q_ARG(bool, alive), Q_ARG(int, workMode));
            else
                QMetaObject::invokeMethod(f.window.get(), slot, Qt::QueuedConnection, Q_ARG(QString, kRemote), Q_ARG(bool, true));
        });
        bool handledInTheWait = false;
        QTimer::singleShot(600, [&]() { handledInTheWait = f.table()->rowCount() > rowsBefore || !f.loggedIn(); });
        // The user answers whatever comes up: the message, then the dialog with what was read.
        QString shown;
        int lockShown = -1;
        QTimer user;
        connect(&user, &QTimer::timeout, [&]() {
            QWidget* modal = QApplication::activeModalWidget();
            if (auto* box = qobject_cast<QMessageBox*>(modal))
                shown = box->text(), QTest::keyClick(box, Qt::Key_Enter);
            else if (modal && modal->findChild<QComboBox*>("comboBoxLock"))
                lockShown = modal->findChild<QComboBox*>("comboBoxLock")->currentIndex(), QTest::keyClick(modal, Qt::Key_Escape);
        });
        user.start(10);
        f.action("actionConfigParam")->trigger();
        QTRY_COMPARE(shown, message);
        QTRY_VERIFY(!QApplication::activeModalWidget());
        QCOMPARE(handledInTheWait, handledAtOnce);
        QCOMPARE(lockShown, 1);
        QVERIFY(f.table()->rowCount() > rowsBefore || !message.isEmpty());
        QCOMPARE(f.loggedIn(), message.isEmpty());
    }

    // The version check falls due while the login still reads the starting state: it waits its turn, so
    // the starting state is logged whole before the mismatch ends the session.
    void waitDefersTheVersionCheckOfALogin()
    {
        sim->modify([](SimDeviceState& s) { s.firmwareVersion = (1u << 24) | (1u << 16) | 45u; });
        sim->setReplyDelay(300);
        WindowFixture f;
        f.window->show();
        QString shown;
        TestSupport::onNextModal([&](QWidget* dialog) {
            WindowFixture::fillLogin(dialog, kDevice, 0, QStringLiteral("123456"));
            answerMessage(&shown);
        });
        f.action("actionConnect")->trigger();
        QTRY_VERIFY(shown.startsWith("The versions between the device 1.1.45"));
        QTRY_COMPARE(f.logFiles().size(), 1);
        const QList<QByteArray> lines = f.logFile(f.logFiles().first()).split('\n');
        QCOMPARE(lines.size(), 7 + 19 + 1 + 1);
        QVERIFY(lines.at(7 + 18).endsWith(",KEY-AUTO MODE,Enabled,"));
        QVERIFY(lines.at(7 + 19).endsWith(",Version mismatch between the Config Tool and the Firmware"));
        QVERIFY(!f.loggedIn());
    }

    // Cancel during a login to a silent address closes the channel and brings the dialog back at once,
    // without a message and without storing the address.
    void waitCancelsALogin()
    {
        sim->setAnswering(false);
        WindowFixture f;
        f.window->show();
        bool cancelled = false;
        QString again;
        TestSupport::onNextModal([&](QWidget* dialog) {
            WindowFixture::fillLogin(dialog, kDevice, 0, QStringLiteral("123456"));
            QTimer::singleShot(500, [&]() {
                auto* cancel = f.window->findChild<QPushButton*>("deviceWaitCancel");
                cancelled = cancel && cancel->isVisible();
                if (cancelled)
                    QTest::mouseClick(cancel, Qt::LeftButton);
                TestSupport::onNextModal([&](QWidget* d) {
                    again = d->findChild<QLineEdit*>("lineEditIP") ? d->findChild<QLineEdit*>("lineEditIP")->text() : "?";
                    qobject_cast<QDialog*>(d)->reject();
                });
            });
        });
        QElapsedTimer clock;
        clock.start();
        f.action("actionConnect")->trigger();
        QVERIFY(cancelled);
        QCOMPARE(again, kDevice);
        QVERIFY2(clock.elapsed() < 2000, qPrintable(QString::number(clock.elapsed()))); // an exchange waits 2 s
        QVERIFY(!f.loggedIn() && setting("IP").isEmpty());
        QCOMPARE(sim->receivedCount(2), 0); // no login request after the unanswered work mode
    }

    // Closing the window during a wait ends the command and the session at once, as a close does.
    void waitEndsWithTheWindow_data()
    {
        QTest::addColumn<bool>("loggedIn");
        QTest::newRow("login") << false;
        QTest::newRow("parameters") << true;
    }
    void waitEndsWithTheWindow()
    {
        QFETCH(bool, loggedIn);
        WindowFixture f;
        if (loggedIn) {
            QVERIFY(f.login(kDevice));
            QTest::qWait(1300); // past the version check
        }
        sim->setAnswering(false);
        f.window->show();
        if (!loggedIn)
            TestSupport::onNextModal([](QWidget* d) { WindowFixture::fillLogin(d, kDevice, 0, QStringLiteral("123456")); });
        QTimer::singleShot(700, f.window.get(), &QWidget::close);
        QElapsedTimer clock;
        clock.start();
        f.action(loggedIn ? "actionConfigParam" : "actionConnect")->trigger();
        QVERIFY2(clock.elapsed() < 3000, qPrintable(QString::number(clock.elapsed())));
        QVERIFY(!QApplication::activeModalWidget() && !f.loggedIn());
        QCOMPARE(f.logFiles().size(), loggedIn ? 1 : 0);
        clock.restart();
        f.window.reset();
        QVERIFY2(clock.elapsed() < 3000, qPrintable(QString::number(clock.elapsed())));
    }
};

QTEST_MAIN(TestSession)
#include "tst_session.moc"
