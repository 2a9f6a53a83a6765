// The network dialog: its fields, the note, and the address checks with their messages and order.
#include "NetworkProperty.h"
#include "TestSupport.h"

#include <QApplication>
#include <QHostAddress>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

namespace {
QLineEdit* field(NetworkProperty& dialog, const char* name)
{
    return dialog.findChild<QLineEdit*>(QLatin1String(name));
}
} // namespace

class TestNetworkProperty : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();
    void fieldsAndNote();
    void okChecks_data();
    void okChecks();
    void cancelRejects();
};

void TestNetworkProperty::cleanup()
{
    QTRY_VERIFY(QApplication::topLevelWidgets().isEmpty());
}

void TestNetworkProperty::fieldsAndNote()
{
    NetworkProperty dialog;
    QVERIFY(!(dialog.windowFlags() & Qt::WindowContextHelpButtonHint));
    QVERIFY(dialog.windowFlags() & Qt::MSWindowsFixedSizeDialogHint);
    QCOMPARE(dialog.minimumSize(), dialog.maximumSize());
    const QValidator* shared = field(dialog, "lineEditIP")->validator();
    QVERIFY(shared);
    QCOMPARE(field(dialog, "lineEditSubnetMask")->validator(), shared);
    QCOMPARE(field(dialog, "lineEditGateway")->validator(), shared);

    dialog.SetNetworkProperty(QHostAddress(QStringLiteral("10.1.2.3")), QHostAddress(QStringLiteral("255.255.0.0")),
                              QHostAddress(QStringLiteral("10.1.0.1")));
    QCOMPARE(field(dialog, "lineEditIP")->text(), QStringLiteral("10.1.2.3"));
    QCOMPARE(field(dialog, "lineEditSubnetMask")->text(), QStringLiteral("255.255.0.0"));
    QCOMPARE(field(dialog, "lineEditGateway")->text(), QStringLiteral("10.1.0.1"));

    field(dialog, "lineEditGateway")->setText(QStringLiteral("10.1.0."));
    QHostAddress ip, mask, gateway;
    dialog.GetNetworkProperty(ip, mask, gateway);
    QCOMPARE(ip, QHostAddress(QStringLiteral("10.1.2.3")));
    QCOMPARE(mask, QHostAddress(QStringLiteral("255.255.0.0")));
    QVERIFY(gateway.isNull()); // a half-typed field is no address

    dialog.SetInfo(QStringLiteral("note"));
    QCOMPARE(dialog.findChild<QLabel*>(QStringLiteral("labelInfo"))->text(), QStringLiteral("note"));
}

void TestNetworkProperty::okChecks_data()
{
    QTest::addColumn<QString>("ip");
    QTest::addColumn<QString>("mask");
    QTest::addColumn<QString>("gateway");
    QTest::addColumn<QString>("message");

    const QString badIp = QStringLiteral("The IP address is invalid.");
    const QString badMask = QStringLiteral("The subnet mask is invalid.");
    const QString segment = QStringLiteral("The IP address and gateway should not be in different network segment.");
    // clang-format off
    QTest::newRow("usable")                << "192.168.1.100" << "255.255.255.0" << "192.168.1.1" << QString();
    QTest::newRow("no gateway")            << "192.168.1.100" << "255.255.255.0" << ""            << QString();
    QTest::newRow("gateway 0.0.0.0")       << "192.168.1.100" << "255.255.255.0" << "0.0.0.0"     << QString();
    QTest::newRow("half-typed gateway")    << "192.168.1.100" << "255.255.255.0" << "192.168.2."  << QString();
    QTest::newRow("wide mask")             << "10.200.3.4"    << "255.128.0.0"   << "10.255.0.1"  << QString();
    QTest::newRow("gateway elsewhere")     << "192.168.1.100" << "255.255.255.0" << "192.168.2.1" << segment;
    QTest::newRow("empty ip")              << ""              << "0.0.0.0"       << ""            << badIp;
    QTest::newRow("ip 0.0.0.0")            << "0.0.0.0"       << "255.255.255.0" << ""            << badIp;
    QTest::newRow("ip all ones")           << "255.255.255.255" << "255.255.255.0" << ""          << badIp;
    QTest::newRow("half-typed ip")         << "192.168.1."    << "255.255.255.0" << ""            << badIp;
    QTest::newRow("shortened ip")          << "192.168.1"     << "255.255.255.0" << ""            << badIp;
    QTest::newRow("mask with a hole")      << "192.168.1.100" << "255.0.255.0"   << ""            << badMask;
    QTest::newRow("mask 0.0.0.0")          << "192.168.1.100" << "0.0.0.0"       << ""            << badMask;
    QTest::newRow("mask all ones")         << "192.168.1.100" << "255.255.255.255" << ""          << badMask;
    QTest::newRow("empty mask")            << "192.168.1.100" << ""              << ""            << badMask;
    QTest::newRow("network address")       << "192.168.1.0"   << "255.255.255.0" << ""            << badIp;
    QTest::newRow("broadcast address")     << "192.168.1.255" << "255.255.255.0" << ""            << badIp;
    QTest::newRow("mask .254, host .100")  << "192.168.1.100" << "255.255.255.254" << ""          << badIp;
    QTest::newRow("mask .254, host .101")  << "192.168.1.101" << "255.255.255.254" << ""          << badIp;
    QTest::newRow("mask checked before host") << "192.168.1.0" << "255.0.255.0"  << ""            << badMask;
    QTest::newRow("host checked before gateway") << "192.168.1.255" << "255.255.255.0" << "10.0.0.1" << badIp;
    // clang-format on
}

void TestNetworkProperty::okChecks()
{
    QFETCH(QString, ip);
    QFETCH(QString, mask);
    QFETCH(QString, gateway);
    QFETCH(QString, message);
    NetworkProperty dialog;
    field(dialog, "lineEditIP")->setText(ip);
    field(dialog, "lineEditSubnetMask")->setText(mask);
    field(dialog, "lineEditGateway")->setText(gateway);
    dialog.show();

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
    } else {
        QCOMPARE(shown, QStringList({ "Network Property", message }));
        QVERIFY(dialog.isVisible());
        QCOMPARE(field(dialog, "lineEditIP")->text(), ip);
    }
}

void TestNetworkProperty::cancelRejects()
{
    NetworkProperty dialog;
    dialog.show();
    dialog.findChild<QPushButton*>(QStringLiteral("pushButtonCancel"))->click();
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QVERIFY(!dialog.isVisible());
}

QTEST_MAIN(TestNetworkProperty)
#include "tst_NetworkProperty.moc"
