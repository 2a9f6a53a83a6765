// The configuration commands against the simulator on 127.0.164.1:33904: who may change what,
// what is read from and written to the device, and the messages.
#include "DeviceSimulator.h"
#include "DiveVodNetClient.h"
#include "DiveVodSettings.h"
#include "WindowFixture.h"

#include <QLabel>
#include <QSettings>

#include <functional>

namespace {
const QString kDevice = QStringLiteral("127.0.164.1");

// Message types that only the dialogs send. From a device that refuses every request the background
// monitors read nothing else either: their cycles stop at the first failed request (GetACOGPIOInfo,
// GetRemoteDevice, GetWorkMode), so GetShortPressKeyState and GetSlaveDevice then come only from a dialog.
const QList<int> kDialogOnlyTypes = { 5, 23, 25, 26, 27, 61, 64, 69 };
const QList<int> kRefusingDeviceDialogTypes = kDialogOnlyTypes + QList<int> { 62, 70 };

QString storedIp()
{
    QSettings settings { kSettingsOrganisation, kSettingsApplication };
    return settings.value(QStringLiteral("IP")).toString();
}

template <typename T> T* child(QWidget* dialog, const char* name)
{
    return dialog->findChild<T*>(QLatin1String(name));
}

// The first value each dialog fills from the device, to tell a filled view from an empty one.
QString firstValue(QWidget* dialog)
{
    if (auto* label = child<QLabel>(dialog, "labelModuleType"))
        return label->text();
    if (auto* ip = child<QLineEdit>(dialog, "lineEditIP"))
        return ip->text();
    auto* table = child<QTableWidget>(dialog, "tableWidget");
    return table ? qobject_cast<QLineEdit*>(table->cellWidget(0, 0))->text() : QString();
}
} // namespace

class TestCommands : public QObject
{
    Q_OBJECT

    std::unique_ptr<DeviceSimulator> sim;

    // Error answers fail each request at once, where silence would cost two time-outs per request
    // and the monitors' exchanges in between.
    void refuseEverything() { sim->setFault(DeviceSimulator::Fault::ErrorCode, 1000000, 1); }

    int frames(const QList<int>& types) const
    {
        int count = 0;
        for (int type : types)
            count += sim->receivedCount(type);
        return count;
    }

    // Triggers a command; `inspect` gets its dialog and must close it.
    static void run(WindowFixture& f, const char* action, const std::function<void(QDialog*)>& inspect)
    {
        TestSupport::onNextModal([inspect](QWidget* w) { inspect(qobject_cast<QDialog*>(w)); });
        f.action(action)->trigger();
    }

private slots:
    void initTestCase() { TestSupport::isolateSettings(); }
    void init()
    {
        TestSupport::clearSettings();
        SimDeviceState state;
        state.remoteAddress = QStringLiteral("127.0.154.7"); // probed while logged in: loopback only, nobody answers
        state.address = 0x0A000063; // 10.0.0.99: reported only
        state.subnetMask = 0xFFFFFF00;
        state.gateway = 0x0A000001;
        sim.reset(new DeviceSimulator(state));
        QVERIFY(sim->start(kDevice, 33904));
    }
    void cleanup()
    {
        sim.reset();
        QTRY_VERIFY(QApplication::activeModalWidget() == nullptr);
    }

    void gating_data();
    void gating();
    void notAliveReadsNothing();
    void parameterWrite_data();
    void parameterWrite();
    void networkChange_data();
    void networkChange();
    void localAddressAsksAgain();
    void passwordChange_data();
    void passwordChange();
};

void TestCommands::gating_data()
{
    QTest::addColumn<QByteArray>("action");
    QTest::addColumn<int>("user"); // -1: not logged in
    QTest::addColumn<QString>("shown");
    QTest::addColumn<bool>("enabled");

    // clang-format off
    QTest::newRow("parameters, logged out")  << QByteArray("actionConfigParam")    << -1 << "" << false;
    QTest::newRow("network, logged out")     << QByteArray("actionConfigNetwork")  << -1 << "" << false;
    QTest::newRow("information, logged out") << QByteArray("actionGeneral")        << -1 << "" << false;
    QTest::newRow("password, logged out")    << QByteArray("actionChangePassword") << -1 << "" << false;
    QTest::newRow("parameters, guest")       << QByteArray("actionConfigParam")    << 1 << "127.0.154.7" << false;
    QTest::newRow("network, guest")          << QByteArray("actionConfigNetwork")  << 1 << "10.0.0.99" << false;
    QTest::newRow("information, guest")      << QByteArray("actionGeneral")        << 1 << "ACO GPIO" << true;
    QTest::newRow("password, guest")         << QByteArray("actionChangePassword") << 1 << "" << false;
    // clang-format on
}

void TestCommands::gating()
{
    QFETCH(QByteArray, action);
    QFETCH(int, user);
    QFETCH(QString, shown);
    QFETCH(bool, enabled);
    WindowFixture f;
    f.window->show();
    if (user >= 0)
        QVERIFY(f.login(kDevice, user, user == 1 ? QStringLiteral("111111") : QStringLiteral("123456")));
    const int before = frames(kDialogOnlyTypes);
    bool live = !enabled;
    QString value = QStringLiteral("<none>");
    run(f, action.constData(), [&](QDialog* dialog) {
        live = dialog->isEnabled();
        value = firstValue(dialog);
        dialog->reject(); // all a user can do with a disabled dialog: close it
    });
    QCOMPARE(live, enabled);
    QCOMPARE(value, shown);
    if (user < 0)
        QCOMPARE(sim->received().size(), 0);
    if (action == "actionChangePassword")
        QCOMPARE(frames(kDialogOnlyTypes), before); // nothing read for it
    QCOMPARE(sim->receivedCount(61) + sim->receivedCount(25), 0); // nothing written
}

void TestCommands::notAliveReadsNothing()
{
    WindowFixture f;
    f.window->show();
    QVERIFY(f.login(kDevice));
    refuseEverything();
    QTRY_VERIFY_WITH_TIMEOUT(f.rows().contains(QStringLiteral("|Connection Lost|Asserted|")), 12000);
    const int before = frames(kRefusingDeviceDialogTypes);
    for (const char* action : { "actionConfigParam", "actionConfigNetwork", "actionGeneral", "actionChangePassword" }) {
        bool enabled = true;
        run(f, action, [&](QDialog* dialog) {
            enabled = dialog->isEnabled();
            dialog->reject();
        });
        QVERIFY2(!enabled, action);
    }
    QCOMPARE(frames(kRefusingDeviceDialogTypes), before);
}

void TestCommands::parameterWrite_data()
{
    QTest::addColumn<bool>("deviceAnswers");
    QTest::addColumn<QString>("message");

    QTest::newRow("written") << true << QString();
    QTest::newRow("device refuses") << false << "The parameters could not be written to the device.";
}

void TestCommands::parameterWrite()
{
    QFETCH(bool, deviceAnswers);
    QFETCH(QString, message);
    WindowFixture f;
    f.window->show();
    QVERIFY(f.login(kDevice));
    QString shown;
    run(f, "actionConfigParam", [&](QDialog* dialog) {
        QVERIFY(dialog->isEnabled());
        child<QComboBox>(dialog, "comboBoxLock")->setCurrentIndex(1);
        if (!deviceAnswers)
            refuseEverything();
        if (!message.isEmpty())
            WindowFixture::answerMessage(&shown);
        child<QPushButton>(dialog, "pushButtonOk")->click();
    });
    QTRY_COMPARE(shown, message);
    QCOMPARE(sim->state().keyLock, deviceAnswers);
}

void TestCommands::networkChange_data()
{
    QTest::addColumn<bool>("deviceAnswers");
    QTest::addColumn<QString>("message");

    QTest::newRow("changed") << true << "The new IP address will be used after reboot.";
    QTest::newRow("device refuses") << false << "The network parameters were not changed.";
}

void TestCommands::networkChange()
{
    QFETCH(bool, deviceAnswers);
    QFETCH(QString, message);
    sim->modify([](SimDeviceState& s) { s.isDefault = true; });
    WindowFixture f;
    f.window->show();
    QVERIFY(f.login(kDevice));
    const QString ipBefore = storedIp();
    QString note;
    QString shown;
    run(f, "actionConfigNetwork", [&](QDialog* dialog) {
        note = child<QLabel>(dialog, "labelInfo")->text();
        child<QLineEdit>(dialog, "lineEditIP")->setText(QStringLiteral("10.0.0.50"));
        child<QLineEdit>(dialog, "lineEditGateway")->clear(); // no gateway: sent as 0.0.0.0
        if (!deviceAnswers)
            refuseEverything();
        WindowFixture::answerMessage(&shown);
        child<QPushButton>(dialog, "pushButtonOk")->click();
    });
    QTRY_COMPARE(shown, message);
    QCOMPARE(note, QStringLiteral("Current network parameters is default"));
    const SimDeviceState s = sim->state();
    if (deviceAnswers) {
        QCOMPARE(storedIp(), QStringLiteral("10.0.0.50"));
        QCOMPARE(s.address, 0x0A000032u);
        QCOMPARE(s.subnetMask, 0xFFFFFF00u);
        QCOMPARE(s.gateway, 0u);
    } else {
        QCOMPARE(storedIp(), ipBefore);
        QCOMPARE(s.address, 0x0A000063u);
    }
}

void TestCommands::localAddressAsksAgain()
{
    const QStringList local = DiveVodNetClient().GetLocalAddresses();
    if (local.isEmpty())
        QSKIP("this computer reports no address of its own");
    WindowFixture f;
    f.window->show();
    QVERIFY(f.login(kDevice));
    QString shown;
    QString refilled;
    run(f, "actionConfigNetwork", [&](QDialog* dialog) {
        child<QLineEdit>(dialog, "lineEditIP")->setText(local.first());
        child<QLineEdit>(dialog, "lineEditSubnetMask")->setText(QStringLiteral("255.0.0.0"));
        child<QLineEdit>(dialog, "lineEditGateway")->clear();
        TestSupport::onNextModal([&](QWidget* box) {
            shown = qobject_cast<QMessageBox*>(box)->text();
            // The fresh dialog comes once the warning is gone.
            TestSupport::onNextModal([&](QWidget* again) {
                refilled = child<QLineEdit>(again, "lineEditIP")->text();
                qobject_cast<QDialog*>(again)->reject();
            });
            box->findChild<QPushButton*>()->click();
        });
        child<QPushButton>(dialog, "pushButtonOk")->click();
    });
    QTRY_COMPARE(refilled, QStringLiteral("10.0.0.99"));
    QCOMPARE(shown, QStringLiteral("The IP address is invalid."));
    QCOMPARE(sim->receivedCount(25), 0);
}

void TestCommands::passwordChange_data()
{
    QTest::addColumn<int>("user");
    QTest::addColumn<bool>("chinese");
    QTest::addColumn<bool>("deviceAnswers");

    QTest::newRow("admin, Chinese interface") << 0 << true << true;
    QTest::newRow("guest") << 1 << false << true;
    QTest::newRow("device refuses") << 0 << false << false;
}

void TestCommands::passwordChange()
{
    QFETCH(int, user);
    QFETCH(bool, chinese);
    QFETCH(bool, deviceAnswers);
    WindowFixture f;
    f.language.SetLanguage(chinese ? 1 : 0);
    f.window->show();
    QVERIFY(f.login(kDevice));
    QString shown;
    bool askedAgain = false;
    run(f, "actionChangePassword", [&](QDialog* dialog) {
        QVERIFY(dialog->isEnabled());
        child<QComboBox>(dialog, "comboBoxUser")->setCurrentIndex(user);
        QTest::keyClicks(child<QLineEdit>(dialog, "lineEditNewPassword"), QStringLiteral("654321"));
        QTest::keyClicks(child<QLineEdit>(dialog, "lineEditComfirmPassword"), QStringLiteral("654321"));
        if (!deviceAnswers)
            refuseEverything();
        TestSupport::onNextModal(
            [&](QWidget* box) {
                shown = qobject_cast<QMessageBox*>(box)->text();
                if (!deviceAnswers) {
                    TestSupport::onNextModal([&](QWidget* again) {
                        askedAgain = qobject_cast<QDialog*>(again) && again->isEnabled();
                        qobject_cast<QDialog*>(again)->reject();
                    });
                }
                qobject_cast<QMessageBox*>(box)->button(QMessageBox::Ok)->click();
            },
            15000);
        child<QPushButton>(dialog, "pushButtonOk")->click();
    });
    QTRY_VERIFY(!shown.isEmpty());

    const QList<DeviceSimulator::Received> received = sim->received();
    int modified = -1;
    int reauthenticated = -1;
    for (int i = 0; i < received.size(); ++i) {
        if (received[i].type == 27)
            modified = i;
        else if (received[i].type == 2 && modified >= 0 && received[i].frame.contains("654321"))
            reauthenticated = i;
    }
    QVERIFY(modified >= 0);
    if (!deviceAnswers) {
        QCOMPARE(shown, QStringLiteral("The password is not changed."));
        QTRY_VERIFY(askedAgain);
        QCOMPARE(sim->state().adminPassword, QStringLiteral("123456"));
        return;
    }
    QCOMPARE(shown, QCoreApplication::translate("DiveVod", "The password has been changed."));
    if (user == 0) {
        QVERIFY(shown != QStringLiteral("The password has been changed.")); // the Chinese text was on view
        QCOMPARE(sim->state().adminPassword, QStringLiteral("654321"));
        QVERIFY2(reauthenticated > modified, "no login with the new admin password");
        QVERIFY(received[reauthenticated].frame.contains("admin"));
    } else {
        QCOMPARE(sim->state().guestPassword, QStringLiteral("654321"));
        QCOMPARE(reauthenticated, -1); // the window's own credentials stay as they were
    }
}

QTEST_MAIN(TestCommands)
#include "tst_commands.moc"
