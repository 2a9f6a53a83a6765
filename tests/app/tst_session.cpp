// A login session against the simulated device on 127.0.151.1:33904: the login messages, the rows
// of the starting state and of changes, partner reports, disconnect and close.
#include "DeviceSimulator.h"
#include "GPIOStatus2x1.h"
#include "GPIOStatus4x1.h"
#include "WindowFixture.h"

#include <QElapsedTimer>
#include <QSettings>

namespace {
const QString kDevice = QStringLiteral("127.0.151.1");
const QString kPartner = QStringLiteral("127.0.151.2");

QString setting(const char* key)
{
    return QSettings(QStringLiteral("Brennhart"), QStringLiteral("DiveVod")).value(QLatin1String(key)).toString();
}
} // namespace

class TestSession : public QObject
{
    Q_OBJECT

    std::unique_ptr<DeviceSimulator> sim;

private slots:
    void initTestCase() { TestSupport::isolateSettings(); }
    void init()
    {
        TestSupport::clearSettings();
        sim.reset(new DeviceSimulator);
        QVERIFY(sim->start(kDevice, 33904));
    }
    void cleanup()
    {
        sim.reset();
        QTRY_VERIFY(QApplication::activeModalWidget() == nullptr);
    }

    void dialogOffersTheStoredAddress_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("offered");
        QTest::newRow("none stored") << QString() << QStringLiteral("192.168.1.100");
        QTest::newRow("stored") << kDevice << kDevice;
    }
    void dialogOffersTheStoredAddress()
    {
        QFETCH(QString, stored);
        QFETCH(QString, offered);
        if (!stored.isEmpty())
            QSettings(QStringLiteral("Brennhart"), QStringLiteral("DiveVod")).setValue("IP", stored);
        WindowFixture f;
        QString seen;
        // Only looked at and cancelled: nothing is ever sent to the default address.
        TestSupport::onNextModal([&seen](QWidget* dialog) {
            seen = dialog->findChild<QLineEdit*>(QStringLiteral("lineEditIP"))->text();
            QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("pushButtonCancel")), Qt::LeftButton);
        });
        f.action("actionConnect")->trigger();
        QCOMPARE(seen, offered);
        QVERIFY(f.action("actionConnect")->isEnabled());
    }

    void refusedLoginsSayWhyAndAskAgain_data()
    {
        QTest::addColumn<int>("user");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("deviceCommand");
        QTest::addColumn<QString>("message");
        QTest::newRow("update mode") << 0 << "123456" << "update" << "The device is upgrading.";
        QTest::newRow("wrong admin password") << 0 << "654321" << ""
            << "Login failed. Please make sure the password is correct and the REM-CTRL key is pressed down while booting.";
        QTest::newRow("wrong guest password") << 1 << "123456" << "" << "The password is incorrect.";
        QTest::newRow("no answer") << 1 << "111111" << "silent" << "Device is off-line.";
    }
    void refusedLoginsSayWhyAndAskAgain()
    {
        QFETCH(int, user);
        QFETCH(QString, password);
        QFETCH(QString, deviceCommand);
        QFETCH(QString, message);
        if (deviceCommand == "update")
            sim->setUpdateMode(true);
        if (deviceCommand == "silent")
            sim->setAnswering(false);
        WindowFixture f;
        QString shown;
        bool askedAgain = false;
        TestSupport::onNextModal([&](QWidget* dialog) {
            WindowFixture::fillLogin(dialog, kDevice, user, password);
            WindowFixture::answerMessage(&shown);
            QTimer::singleShot(0, [&]() {
                TestSupport::onNextModal(
                    [&](QWidget* again) {
                        askedAgain = again->findChild<QLineEdit*>(QStringLiteral("lineEditIP")) != nullptr;
                        QTest::mouseClick(again->findChild<QPushButton*>(QStringLiteral("pushButtonCancel")), Qt::LeftButton);
                    },
                    15000);
            });
        });
        f.action("actionConnect")->trigger();
        QCOMPARE(shown, message);
        QVERIFY(askedAgain);
        QVERIFY(f.action("actionConnect")->isEnabled());
        QCOMPARE(f.table()->rowCount(), 0);
    }

    void loginLogsTheStartingStateAndChanges()
    {
        WindowFixture f;
        f.window->show();
        QVERIFY(f.login(kDevice));
        QCOMPARE(f.table()->rowCount(), 19);
        QCOMPARE(f.rows().first(), QStringLiteral("|LED-PS1|Green|"));
        QCOMPARE(f.rows().at(8), QStringLiteral("Group B|LED-IN 1|Green|"));
        QCOMPARE(f.rows().last(), QStringLiteral("|KEY-AUTO MODE|Enabled|"));
        QVERIFY(f.connectStyle().contains("connect.png") && !f.connectStyle().contains("disconnect.png"));
        QCOMPARE(setting("IP"), kDevice);
        QCOMPARE(setting("DeviceType"), QStringLiteral("0"));
        auto* panel2x1 = f.window->findChild<GPIOStatus2x1*>();
        auto* panel4x1 = f.window->findChild<GPIOStatus4x1*>();
        QVERIFY(panel2x1->isVisible());

        // Changes made at the device reach the table through the poller.
        sim->modify([](SimDeviceState& s) { s.gpioRedMask = 0x04; });
        QTRY_COMPARE_WITH_TIMEOUT(f.rows().value(19), QStringLiteral("Group A|LED-BYPASS|Red|"), 5000);
        sim->modify([](SimDeviceState& s) { s.keyMask = 0x01; });
        QTRY_COMPARE_WITH_TIMEOUT(f.rows().value(20), QStringLiteral("Group B|KEY-IN 1|Disabled|"), 5000);

        // A key pressed in this tool is marked as such.
        QTest::mouseClick(panel2x1->findChild<QAbstractButton*>(QStringLiteral("pushButtonIN4")), Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(f.rows().value(21), QStringLiteral("Group B|REM KEY-IN 1|Enabled|"), 5000);

        sim->modify([](SimDeviceState& s) { s.panelType = 1; });
        QTRY_COMPARE_WITH_TIMEOUT(f.rows().mid(22, 2), (QStringList{"|LED-D2X1|Off|", "|LED-4X1|Green|"}), 5000);
        QTRY_VERIFY(panel4x1->isVisible() && !panel2x1->isVisible());
        QCOMPARE(f.table()->rowCount(), 24);

        // "No" keeps the session and writes nothing; "Yes" ends it with a backup of every row.
        TestSupport::onNextModal([](QWidget* box) { TestSupport::clickButton(box, QStringLiteral("No")); });
        f.action("actionDisconnect")->trigger();
        QVERIFY(f.action("actionDisconnect")->isEnabled());
        QVERIFY(f.logFiles().isEmpty());
        TestSupport::onNextModal([](QWidget* box) { TestSupport::clickButton(box, QStringLiteral("Yes")); });
        f.action("actionDisconnect")->trigger();
        QVERIFY(f.action("actionConnect")->isEnabled());
        QVERIFY(f.connectStyle().contains("disconnect.png"));
        QCOMPARE(f.table()->rowCount(), 0);
        QCOMPARE(f.logFiles().size(), 1);
        const QList<QByteArray> lines = f.logFile(f.logFiles().first()).split('\n');
        QCOMPARE(lines.mid(0, 4), (QList<QByteArray>{"Module Type,ACO GPIO", "Product SN,QX00001234-00000042",
                                                     "Firmware Verison,1.1.46", "IP Address,127.0.0.1"}));
        QCOMPARE(lines.size(), 7 + 24 + 1);
        QVERIFY(lines.at(30).endsWith(",,LED-4X1,Green,"));
    }

    void fourByOneDeviceAndPartnerReports()
    {
        sim->modify([](SimDeviceState& s) {
            s.panelType = 1;
            s.remoteAddress = kPartner;
        });
        QVERIFY(sim->addPartner(kPartner));
        WindowFixture f;
        f.window->show();
        QVERIFY(f.login(kDevice, 1, QStringLiteral("111111")));
        QCOMPARE(f.table()->rowCount(), 17);
        QCOMPARE(f.rows().at(4), QStringLiteral("|LED-4X1|Green|"));
        QVERIFY(f.window->findChild<GPIOStatus4x1*>()->isVisible());
        QVERIFY(!f.window->findChild<GPIOStatus2x1*>()->isVisible());
        QCOMPARE(setting("DeviceType"), QStringLiteral("1"));
        QTRY_COMPARE_WITH_TIMEOUT(f.rows().value(17), QStringLiteral("|Remote ACO 127.0.151.2|Connected|"), 8000);
        sim->setPartnerAnswering(kPartner, false);
        QTRY_COMPARE_WITH_TIMEOUT(f.rows().value(18), QStringLiteral("|Remote ACO 127.0.151.2|Lost|"), 12000);
    }

    void closingWhileLoggedInBacksUpAndEndsPromptly()
    {
        auto f = std::make_unique<WindowFixture>();
        f->window->show();
        QVERIFY(f->login(kDevice));
        f->window->close();
        QCOMPARE(f->logFiles().size(), 1);
        QVERIFY(f->logFiles().first().startsWith("backup_"));
        QElapsedTimer clock;
        clock.start();
        f->window.reset();
        QVERIFY2(clock.elapsed() < 3000, qPrintable(QString::number(clock.elapsed())));
    }
};

QTEST_MAIN(TestSession)
#include "tst_session.moc"
