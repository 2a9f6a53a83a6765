// A session that ends or breaks from the device's side, against the simulator on 127.0.152.1:33904:
// lost and regained connection, update mode, another firmware version.
#include "DeviceSimulator.h"
#include "GPIOStatus2x1.h"
#include "WindowFixture.h"

namespace {
const QString kDevice = QStringLiteral("127.0.152.1");

int countRows(const QStringList& rows, const QString& row)
{
    return static_cast<int>(rows.count(row));
}
} // namespace

class TestConnection : public QObject
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

    void lostConnectionIsLoggedOnceEachWay()
    {
        WindowFixture f;
        f.window->show();
        QVERIFY(f.login(kDevice));
        const QString asserted = QStringLiteral("|Connection Lost|Asserted|");
        const QString cleared = QStringLiteral("|Connection Lost|Cleared|");
        sim->setAnswering(false);
        QTRY_COMPARE_WITH_TIMEOUT(countRows(f.rows(), asserted), 1, 12000);
        QVERIFY(f.connectStyle().contains("disconnect.png"));
        // Another silent cycle of the alive monitor adds nothing.
        QTest::qWait(7000);
        QCOMPARE(countRows(f.rows(), asserted), 1);
        sim->setAnswering(true);
        QTRY_COMPARE_WITH_TIMEOUT(countRows(f.rows(), cleared), 1, 8000);
        QVERIFY(f.connectStyle().contains("connect.png") && !f.connectStyle().contains("disconnect.png"));
        QVERIFY(f.action("actionDisconnect")->isEnabled());
        QTest::qWait(3500);
        QCOMPARE(countRows(f.rows(), cleared), 1);
    }

    void updateModeEndsTheSession()
    {
        WindowFixture f;
        f.window->show();
        QVERIFY(f.login(kDevice));
        QString shown;
        WindowFixture::answerMessage(&shown, 8000);
        sim->setUpdateMode(true);
        QTRY_COMPARE_WITH_TIMEOUT(shown, QStringLiteral("The device is upgrading."), 8000);
        QVERIFY(f.action("actionConnect")->isEnabled());
        QCOMPARE(f.table()->rowCount(), 0);
        QCOMPARE(f.logFiles().size(), 1);
        QVERIFY(f.logFile(f.logFiles().first()).contains(",KEY-AUTO MODE,Enabled,\n"));
    }

    void otherFirmwareIsRefusedAfterLogin()
    {
        sim->modify([](SimDeviceState& s) { s.firmwareVersion = (1u << 24) | (1u << 16) | 45u; });
        WindowFixture f;
        f.window->show();
        QVERIFY(f.login(kDevice));
        QString shown;
        WindowFixture::answerMessage(&shown, 8000);
        QTRY_COMPARE_WITH_TIMEOUT(shown,
                                  QStringLiteral("The versions between the device 1.1.45 and control software 1.1.46 are "
                                                 "mismatched.Please use identical versions and re-login."),
                                  5000);
        QTRY_VERIFY(f.action("actionConnect")->isEnabled());
        QCOMPARE(f.table()->rowCount(), 0);
        QCOMPARE(f.logFiles().size(), 1);
        const QByteArray file = f.logFile(f.logFiles().first());
        QVERIFY2(file.endsWith(",,,,Version mismatch between the Config Tool and the Firmware\n"), file.constData());
        QVERIFY(file.contains("Firmware Verison,1.1.45\n"));
        QVERIFY(f.connectStyle().contains("disconnect.png"));
    }
};

QTEST_MAIN(TestConnection)
#include "tst_connection.moc"
