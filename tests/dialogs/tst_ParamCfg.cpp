// The parameter dialog: its table, the partner address check, and reads and writes against the simulator.
#include "DeviceRelay.h"
#include "DeviceSimulator.h"
#include "DiveVodNetClient.h"
#include "ParamCfg.h"
#include "TestSupport.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

namespace {
const char* const kDeviceAddress = "127.0.161.1";
const char* const kRelayAddress = "127.0.161.2";

QComboBox* combo(ParamCfg& dialog, const char* name)
{
    return dialog.findChild<QComboBox*>(QLatin1String(name));
}

QLineEdit* editor(ParamCfg& dialog, int row, int column)
{
    return qobject_cast<QLineEdit*>(dialog.findChild<QTableWidget*>()->cellWidget(row, column));
}

QStringList column(ParamCfg& dialog, int index)
{
    QStringList texts;
    for (int row = 0; row < ParamCfg::kRows; ++row)
        texts << editor(dialog, row, index)->text();
    return texts;
}
} // namespace

class TestParamCfg : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void tableIsFixed();
    void readShowsDevice_data();
    void readShowsDevice();
    void readFailureKeepsDefaults_data();
    void readFailureKeepsDefaults();
    void writeStoresForm_data();
    void writeStoresForm();
    void writeStopsAtFirstFailure();
    void checkRemoteACO_data();
    void checkRemoteACO();
    void autoModeDisablesPanelType();

private:
    std::unique_ptr<DeviceSimulator> sim;
    std::unique_ptr<DiveVodNetClient> client;
};

void TestParamCfg::init()
{
    sim.reset(new DeviceSimulator);
    QVERIFY(sim->start(QLatin1String(kDeviceAddress), 0));
    client.reset(new DiveVodNetClient);
    QCOMPARE(client->OpenChannel(QLatin1String(kDeviceAddress), sim->port()), 0);
    client->SetLoginInfo(0, QStringLiteral("123456"));
    QCOMPARE(client->Authenticate(), 0);
}

void TestParamCfg::cleanup()
{
    client.reset();
    sim.reset();
    QTRY_VERIFY(QApplication::topLevelWidgets().isEmpty());
}

void TestParamCfg::tableIsFixed()
{
    ParamCfg dialog(client.get());
    auto* table = dialog.findChild<QTableWidget*>(QStringLiteral("tableWidget"));
    QCOMPARE(dialog.objectName(), QStringLiteral("paramcfg"));
    QCOMPARE(table->verticalHeader()->width(), 100);
    QCOMPARE(table->columnWidth(0), 130);
    QCOMPARE(table->columnWidth(1), 130);
    QCOMPARE(table->horizontalHeader()->sectionResizeMode(0), QHeaderView::Fixed);
    QCOMPARE(table->verticalHeader()->sectionResizeMode(0), QHeaderView::Fixed);
    QVERIFY(!(dialog.windowFlags() & Qt::WindowContextHelpButtonHint));
    QVERIFY(dialog.windowFlags() & Qt::MSWindowsFixedSizeDialogHint);
    QCOMPARE(dialog.minimumSize(), dialog.maximumSize());
    QVERIFY(dialog.width() >= 404 && dialog.height() >= 357);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QVERIFY(table->viewport()->height() >= table->verticalHeader()->length());
    QVERIFY(table->viewport()->width() >= 260);

    const QValidator* shared = editor(dialog, 0, 0)->validator();
    QVERIFY(shared);
    for (int row = 0; row < ParamCfg::kRows; ++row) {
        QCOMPARE(editor(dialog, row, 0)->validator(), shared);
        QCOMPARE(editor(dialog, row, 1)->validator(), nullptr);
        QCOMPARE(editor(dialog, row, 1)->echoMode(), QLineEdit::Normal);
    }
    QLineEdit* password = editor(dialog, 2, 1);
    QTest::keyClicks(password, QStringLiteral("a1 %xyz"));
    QCOMPARE(password->text(), QStringLiteral("a1 %xy"));
}

void TestParamCfg::readShowsDevice_data()
{
    QTest::addColumn<quint8>("panelType");
    QTest::addColumn<bool>("autoMode");
    QTest::addColumn<QString>("typeText");

    QTest::newRow("D2X1, auto mode off") << quint8(0) << false << "D2X1";
    QTest::newRow("4X1, auto mode on") << quint8(1) << true << "4X1";
    QTest::newRow("panel type 7") << quint8(7) << false << "4X1";
}

void TestParamCfg::readShowsDevice()
{
    QFETCH(quint8, panelType);
    QFETCH(bool, autoMode);
    QFETCH(QString, typeText);
    sim->modify([&](SimDeviceState& s) {
        s.keyLock = true;
        s.autoMode = autoMode;
        s.panelType = panelType;
        s.remoteAddress = QStringLiteral("10.0.0.7");
        s.remotePassword = QStringLiteral("654321");
        s.slaveAddress[0] = QStringLiteral("0.0.0.0");
        s.slaveAddress[2] = QStringLiteral("10.0.0.9");
        s.slavePassword[2] = QStringLiteral("abc");
    });
    ParamCfg dialog(client.get());
    QCOMPARE(dialog.ReadParam(), 0);

    QCOMPARE(combo(dialog, "comboBoxLock")->currentText(), QStringLiteral("Enabled"));
    QCOMPARE(combo(dialog, "comboBoxAutoMode")->currentIndex(), autoMode ? 1 : 0);
    QCOMPARE(combo(dialog, "comboBoxType")->currentText(), typeText);
    QCOMPARE(combo(dialog, "comboBoxType")->isEnabled(), !autoMode);
    // A partner the device reports as 0.0.0.0 is shown as such, not as an empty field.
    QCOMPARE(column(dialog, 0), QStringList({ "10.0.0.7", "0.0.0.0", "0.0.0.0", "10.0.0.9" }));
    QCOMPARE(column(dialog, 1), QStringList({ "654321", "", "", "abc" }));
}

void TestParamCfg::readFailureKeepsDefaults_data()
{
    QTest::addColumn<int>("refusedType");
    QTest::newRow("key state") << 62;
    QTest::newRow("remote device") << 65;
    QTest::newRow("slave devices") << 70;
}

void TestParamCfg::readFailureKeepsDefaults()
{
    QFETCH(int, refusedType);
    sim->modify([](SimDeviceState& s) {
        s.keyLock = true;
        s.autoMode = true;
        s.panelType = 1;
        s.remoteAddress = QStringLiteral("10.0.0.7");
        s.slaveAddress[2] = QStringLiteral("10.0.0.9");
    });
    DeviceRelay relay;
    QVERIFY(relay.start(kRelayAddress, QLatin1String(kDeviceAddress), sim->port()));
    relay.refuse({ refusedType });
    QCOMPARE(client->OpenChannel(QLatin1String(kRelayAddress), relay.port()), 0);

    ParamCfg dialog(client.get());
    QCOMPARE(dialog.ReadParam(), -1);
    QCOMPARE(combo(dialog, "comboBoxLock")->currentIndex(), 0);
    QCOMPARE(combo(dialog, "comboBoxAutoMode")->currentIndex(), 0);
    QCOMPARE(combo(dialog, "comboBoxType")->currentIndex(), 0);
    QVERIFY(combo(dialog, "comboBoxType")->isEnabled());
    QCOMPARE(column(dialog, 0), QStringList({ "", "", "", "" }));
}

void TestParamCfg::writeStoresForm_data()
{
    QTest::addColumn<QStringList>("addresses");
    QTest::addColumn<QStringList>("stored");

    QTest::newRow("all rows empty") << QStringList({ "", "", "", "" })
                                    << QStringList({ "0.0.0.0", "0.0.0.0", "0.0.0.0", "0.0.0.0" });
    QTest::newRow("main and two slaves") << QStringList({ "10.0.0.5", "", "10.0.0.6", "192.168.100.254" })
                                         << QStringList({ "10.0.0.5", "0.0.0.0", "10.0.0.6", "192.168.100.254" });
}

void TestParamCfg::writeStoresForm()
{
    QFETCH(QStringList, addresses);
    QFETCH(QStringList, stored);
    sim->modify([](SimDeviceState& s) {
        s.keyLock = false;
        s.autoMode = true;
        s.panelType = 7; // read back as "4X1", written as 1
        s.remoteAddress = QStringLiteral("10.9.9.9");
        s.slaveAddress[1] = QStringLiteral("10.9.9.8");
    });
    ParamCfg dialog(client.get());
    QCOMPARE(dialog.ReadParam(), 0);
    combo(dialog, "comboBoxLock")->setCurrentIndex(1);
    combo(dialog, "comboBoxAutoMode")->setCurrentIndex(0);
    for (int row = 0; row < ParamCfg::kRows; ++row) {
        editor(dialog, row, 0)->setText(addresses.at(row));
        editor(dialog, row, 1)->setText(QStringLiteral("pw%1").arg(row));
    }
    QCOMPARE(dialog.WriteParam(), 0);

    const SimDeviceState s = sim->state();
    QCOMPARE(s.keyLock, true);
    QCOMPARE(s.autoMode, false);
    QCOMPARE(s.panelType, quint8(1));
    QCOMPARE(QStringList({ s.remoteAddress, s.slaveAddress[0], s.slaveAddress[1], s.slaveAddress[2] }), stored);
    QCOMPARE(QStringList({ s.remotePassword, s.slavePassword[0], s.slavePassword[1], s.slavePassword[2] }),
             QStringList({ "pw0", "pw1", "pw2", "pw3" }));

    // What was written reads back the same in a fresh dialog.
    ParamCfg again(client.get());
    QCOMPARE(again.ReadParam(), 0);
    QCOMPARE(combo(again, "comboBoxType")->currentText(), QStringLiteral("4X1"));
    QCOMPARE(column(again, 0), stored);
}

void TestParamCfg::writeStopsAtFirstFailure()
{
    DeviceRelay relay;
    QVERIFY(relay.start(kRelayAddress, QLatin1String(kDeviceAddress), sim->port()));
    relay.refuse({ 64 }); // SetRemoteDevice
    QCOMPARE(client->OpenChannel(QLatin1String(kRelayAddress), relay.port()), 0);

    ParamCfg dialog(client.get());
    QCOMPARE(dialog.ReadParam(), 0);
    combo(dialog, "comboBoxLock")->setCurrentIndex(1);
    editor(dialog, 0, 0)->setText(QStringLiteral("10.0.0.5"));
    editor(dialog, 1, 0)->setText(QStringLiteral("10.0.0.6"));
    sim->clearReceived();
    QCOMPARE(dialog.WriteParam(), -1);

    const SimDeviceState s = sim->state();
    QCOMPARE(s.keyLock, true); // sent before the failure: kept
    QCOMPARE(s.remoteAddress, QStringLiteral("0.0.0.0")); // refused
    QCOMPARE(sim->receivedCount(69), 0); // the slaves are never sent
}

void TestParamCfg::checkRemoteACO_data()
{
    QTest::addColumn<QStringList>("addresses");
    QTest::addColumn<QString>("message");

    const QString invalid = QStringLiteral("The Remote ACO IP address is invalid.");
    const QString repeated = QStringLiteral("The Remote ACO IP address is repeated.");
    // clang-format off
    QTest::newRow("all empty") << QStringList({"", "", "", ""}) << QString();
    QTest::newRow("distinct, empty rows between") << QStringList({"192.168.1.10", "", "192.168.1.11", ""}) << QString();
    QTest::newRow("0.0.0.0 repeated") << QStringList({"0.0.0.0", "0.0.0.0", "", "0.0.0.0"}) << QString();
    QTest::newRow("broadcast in main row") << QStringList({"255.255.255.255", "", "", ""}) << invalid;
    QTest::newRow("broadcast in slave 3") << QStringList({"10.0.0.1", "", "", "255.255.255.255"}) << invalid;
    QTest::newRow("half-typed slave 1") << QStringList({"10.0.0.1", "192.168.1.", "", ""}) << invalid;
    QTest::newRow("three groups in main row") << QStringList({"10.0.1", "", "", ""}) << invalid;
    QTest::newRow("main repeated by slave 2") << QStringList({"192.168.1.10", "", "192.168.1.10", ""}) << repeated;
    QTest::newRow("slave 1 repeated by slave 3") << QStringList({"", "10.0.0.2", "", "10.0.0.2"}) << repeated;
    QTest::newRow("main and slave 2 broadcast") << QStringList({"255.255.255.255", "", "255.255.255.255", ""}) << invalid;
    QTest::newRow("repeat before invalid") << QStringList({"10.0.0.1", "10.0.0.1", "10.0.0.", ""}) << repeated;
    QTest::newRow("invalid before repeat") << QStringList({"10.0.0.1", "10.0.0.", "10.0.0.1", ""}) << invalid;
    // clang-format on
}

void TestParamCfg::checkRemoteACO()
{
    QFETCH(QStringList, addresses);
    QFETCH(QString, message);
    ParamCfg dialog(client.get());
    for (int row = 0; row < ParamCfg::kRows; ++row)
        editor(dialog, row, 0)->setText(addresses.at(row));
    dialog.show();

    // A second warning would block with no one to close it, and the test would time out.
    QStringList shown;
    if (!message.isEmpty()) {
        TestSupport::onNextModal([&shown](QWidget* box) {
            shown << box->windowTitle() << qobject_cast<QMessageBox*>(box)->text();
            TestSupport::clickButton(box, QStringLiteral("OK"));
        });
    }
    dialog.findChild<QPushButton*>(QStringLiteral("pushButtonOk"))->click();
    if (message.isEmpty()) {
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QVERIFY(!dialog.isVisible());
    } else {
        QCOMPARE(shown, QStringList({ "Config Parameter", message }));
        QVERIFY(dialog.isVisible());
        QCOMPARE(column(dialog, 0), addresses); // the entries stay for correction
    }
}

void TestParamCfg::autoModeDisablesPanelType()
{
    ParamCfg dialog(client.get());
    QComboBox* autoMode = combo(dialog, "comboBoxAutoMode");
    QComboBox* type = combo(dialog, "comboBoxType");
    autoMode->setCurrentIndex(1);
    QVERIFY(!type->isEnabled());
    autoMode->setCurrentIndex(0);
    QVERIFY(type->isEnabled());
}

QTEST_MAIN(TestParamCfg)
#include "tst_ParamCfg.moc"
