// Alarm log: row texts of status changes and of the starting state, numbering, clearing, the panel
// that is shown before a login and the collapse of the alarm area with the panels in place.
#include "GPIOStatus2x1.h"
#include "GPIOStatus4x1.h"
#include "WindowFixture.h"

#include <QElapsedTimer>
#include <QLayout>
#include <QSettings>
#include <QTest>
#include <QToolButton>

namespace {
QStringList texts(const QVector<AlarmRecord>& records)
{
    QStringList out;
    for (const AlarmRecord& r : records)
        out << QStringList{r.input, r.alarmType, r.alarmStatus, r.notes}.join(QLatin1Char('|'));
    return out;
}

// The simulator's default 2x1 device: both supplies on, local green, remote off, IN 1 of both groups
// green with its key on, auto mode on.
AcoGpioInfo healthy2x1()
{
    AcoGpioInfo info;
    info.ps1Led = info.ps2Led = true;
    info.localLed = 0;
    info.remoteLed = 1;
    info.gpioGreenMask = 0x09;
    info.keyMask = 0x09;
    info.autoMode = true;
    return info;
}
} // namespace

class TestAlarmLog : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { TestSupport::isolateSettings(); }
    void init() { TestSupport::clearSettings(); }

    void names_data()
    {
        QTest::addColumn<int>("channel");
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("group");
        QTest::addColumn<QString>("alarmType");
        // clang-format off
        QTest::newRow("2x1 channel 0")  << 0 << 0 << "Group A" << "LED-IN 1";
        QTest::newRow("2x1 channel 2")  << 2 << 0 << "Group A" << "LED-BYPASS";
        QTest::newRow("2x1 channel 3")  << 3 << 0 << "Group B" << "LED-IN 1";
        QTest::newRow("2x1 channel 5")  << 5 << 0 << "Group B" << "LED-BYPASS";
        QTest::newRow("4x1 channel 3")  << 3 << 1 << "Group A" << "LED-IN 4";
        QTest::newRow("4x1 channel 4")  << 4 << 1 << "Group A" << "LED-";
        QTest::newRow("other channel 5") << 5 << 2 << "Group A" << "LED-BYPASS";
        QTest::newRow("channel 6")      << 6 << 0 << "" << "";
        // clang-format on
    }
    void names()
    {
        QFETCH(int, channel);
        QFETCH(int, type);
        QFETCH(QString, group);
        QFETCH(QString, alarmType);
        QCOMPARE(DiveVod::GroupName(channel, type), group);
        QCOMPARE(DiveVod::AlarmTypeName(channel, QStringLiteral("LED"), type), alarmType);
    }

    void changes_data()
    {
        QTest::addColumn<AcoGpioInfo>("next");
        QTest::addColumn<QStringList>("expected");
        const AcoGpioInfo base = healthy2x1();
        AcoGpioInfo i;

        QTest::newRow("unchanged") << base << QStringList();
        i = base; i.phaseAlign = 2; i.ipReset = i.upgrade = i.remCtrl = true;
        QTest::newRow("uncompared fields") << i << QStringList();
        i = base; i.gpioRedMask = 0x04;
        QTest::newRow("bypass red") << i << QStringList{"Group A|LED-BYPASS|Red|"};
        i = base; i.gpioRedMask = 0x01;
        QTest::newRow("green and red") << i << QStringList{"Group A|LED-IN 1|Green Red Flashing|"};
        i = base; i.gpioGreenMask = 0x08 | 0x40;
        QTest::newRow("bit 6 ignored") << i << QStringList{"Group A|LED-IN 1|Off|"};
        i = base; i.keyMask = 0x01; i.remoteKeyMask = 0x08;
        QTest::newRow("key pressed here") << i << QStringList{"Group B|REM KEY-IN 1|Disabled|"};
        i = base; i.keyMask = 0x01;
        QTest::newRow("key at the device") << i << QStringList{"Group B|KEY-IN 1|Disabled|"};
        i = base; i.keyMask = 0x0f; i.remoteKeyMask = 0x06;
        QTest::newRow("two keys, mask not one bit") << i << QStringList{"Group A|KEY-IN 2|Enabled|", "Group A|KEY-BYPASS|Enabled|"};
        i = base; i.localLed = 2; i.remoteLed = 0; i.ps1Led = false;
        QTest::newRow("leds") << i << QStringList{"|LED-PS1|Off|", "|LED-Local|Green Flashing|", "|LED-Remote|Green|"};
        i = base; i.keyLock = true; i.autoMode = false;
        QTest::newRow("lock and auto") << i << QStringList{"|KEY-LOCK|Enabled|", "|KEY-AUTO MODE|Disabled|"};
        i = base; i.panelType = 1; i.gpioGreenMask = 0x11;
        QTest::newRow("panel 0 to 1") << i << QStringList{"|LED-D2X1|Off|", "|LED-4X1|Green|", "Group A|LED-IN 4|Off|", "Group A|LED-|Green|"};
        i = base; i.panelType = 5;
        QTest::newRow("other panel") << i << QStringList{"|LED-D2X1|Off|", "|LED-Others|Green|"};
    }
    void changes()
    {
        QFETCH(AcoGpioInfo, next);
        QFETCH(QStringList, expected);
        QCOMPARE(texts(DiveVod::ChangedEntries(healthy2x1(), next, QDateTime())), expected);
    }

    void fullState_data()
    {
        QTest::addColumn<int>("panelType");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("2x1") << 0 << QStringList{
            "|LED-PS1|Green|", "|LED-PS2|Green|", "|LED-Local|Green|", "|LED-Remote|Off|", "|LED-D2X1|Green|",
            "Group A|LED-IN 1|Green|", "Group A|LED-IN 2|Off|", "Group A|LED-BYPASS|Off|",
            "Group B|LED-IN 1|Green|", "Group B|LED-IN 2|Off|", "Group B|LED-BYPASS|Off|",
            "Group A|KEY-IN 1|Enabled|", "Group A|KEY-IN 2|Disabled|", "Group A|KEY-BYPASS|Disabled|",
            "Group B|KEY-IN 1|Enabled|", "Group B|KEY-IN 2|Disabled|", "Group B|KEY-BYPASS|Disabled|",
            "|KEY-LOCK|Disabled|", "|KEY-AUTO MODE|Enabled|"};
        QTest::newRow("4x1") << 1 << QStringList{
            "|LED-PS1|Green|", "|LED-PS2|Green|", "|LED-Local|Green|", "|LED-Remote|Off|", "|LED-4X1|Green|",
            "Group A|LED-IN 1|Green|", "Group A|LED-IN 2|Off|", "Group A|LED-IN 3|Off|", "Group A|LED-IN 4|Green|",
            "Group A|LED-BYPASS|Off|",
            "Group A|KEY-IN 1|Enabled|", "Group A|KEY-IN 2|Disabled|", "Group A|KEY-IN 3|Disabled|",
            "Group A|KEY-IN 4|Enabled|", "Group A|KEY-BYPASS|Disabled|",
            "|KEY-LOCK|Disabled|", "|KEY-AUTO MODE|Enabled|"};
    }
    void fullState()
    {
        QFETCH(int, panelType);
        QFETCH(QStringList, expected);
        AcoGpioInfo info = healthy2x1();
        info.panelType = panelType;
        QCOMPARE(texts(DiveVod::FullStateEntries(info, QDateTime())), expected);
        // A type the tool does not know lists all six channels, with the 4x1 captions.
        info.panelType = 2;
        QCOMPARE(DiveVod::FullStateEntries(info, QDateTime()).size(), 19);
    }

    void rowsAreNumberedReadOnlyAndClearStartsAtOne()
    {
        WindowFixture f;
        const QDateTime t(QDate(2026, 3, 1), QTime(17, 42, 5));
        f.window->AppendAlarmRow(AlarmRecord{t, "Group A", "LED-IN 1", "Red", "a note"});
        f.window->AppendAlarmRow(AlarmRecord{t, "", "KEY-LOCK", "Enabled", ""});
        QCOMPARE(f.table()->item(1, 0)->text(), QStringLiteral("2"));
        QCOMPARE(f.table()->item(0, 1)->text(), QStringLiteral("2026-03-01 17:42:05"));
        QCOMPARE(f.rows(), (QStringList{"Group A|LED-IN 1|Red|a note", "|KEY-LOCK|Enabled|"}));
        QCOMPARE(f.table()->item(0, 5)->flags(), Qt::ItemIsSelectable | Qt::ItemIsEnabled);

        QTest::mouseClick(f.window->findChild<QWidget*>(QStringLiteral("pushButtonClear")), Qt::LeftButton);
        QCOMPARE(f.table()->rowCount(), 0);
        f.window->AppendAlarmRow(AlarmRecord{t, "", "KEY-LOCK", "Disabled", ""});
        QCOMPARE(f.table()->item(0, 0)->text(), QStringLiteral("1"));
    }

    void clearingALongTableIsFast()
    {
        WindowFixture f;
        QTableWidget* table = f.table();
        table->setRowCount(100000);
        for (int r = 0; r < 100000; ++r)
            table->setItem(r, 0, new QTableWidgetItem(QString::number(r)));
        QElapsedTimer clock;
        clock.start();
        QTest::mouseClick(f.window->findChild<QWidget*>(QStringLiteral("pushButtonClear")), Qt::LeftButton);
        const qint64 ms = clock.elapsed();
        QCOMPARE(table->rowCount(), 0);
        QVERIFY2(ms < 500, qPrintable(QStringLiteral("clearing 100000 rows took %1 ms").arg(ms)));
    }

    void recordsAreIgnoredWhileDisconnected()
    {
        WindowFixture f;
        AcoGpioInfo info = healthy2x1();
        info.panelType = 1;
        QMetaObject::invokeMethod(f.window.get(), "OnRecvStatusInfo", Q_ARG(AcoGpioInfo, info));
        QCOMPARE(f.table()->rowCount(), 0);
        QVERIFY(!f.window->findChild<GPIOStatus2x1*>()->isHidden());
    }

    void storedDeviceTypePicksThePanel_data()
    {
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<bool>("show4x1");
        QTest::newRow("absent") << QVariant() << false;
        QTest::newRow("0") << QVariant(0) << false;
        QTest::newRow("1") << QVariant(1) << true;
        QTest::newRow("7") << QVariant(7) << true;
    }
    void storedDeviceTypePicksThePanel()
    {
        QFETCH(QVariant, stored);
        QFETCH(bool, show4x1);
        if (stored.isValid())
            QSettings(QStringLiteral("Brennhart"), QStringLiteral("DiveVod")).setValue("DeviceType", stored);
        WindowFixture f;
        f.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
        QCOMPARE(f.window->findChild<GPIOStatus4x1*>()->isVisible(), show4x1);
        QCOMPARE(f.window->findChild<GPIOStatus2x1*>()->isVisible(), !show4x1);
    }

    void collapsingKeepsThePanelArea()
    {
        WindowFixture f;
        f.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
        const QSize panel = f.window->findChild<GPIOStatus2x1*>()->size();
        auto* button = f.window->findChild<QToolButton*>(QStringLiteral("toolButton"));
        QTest::mouseClick(button, Qt::LeftButton);
        // Nothing is squeezed: the window keeps its width and the whole panel, and loses only the table.
        QTRY_VERIFY(f.window->height() < 400);
        QVERIFY(f.window->centralWidget()->width() >= 1149);
        QCOMPARE(f.window->findChild<GPIOStatus2x1*>()->height(), panel.height());
        QVERIFY(f.window->findChild<GPIOStatus2x1*>()->width() >= panel.width());
        QTest::mouseClick(button, Qt::LeftButton);
        QTRY_VERIFY(f.window->findChild<QWidget*>(QStringLiteral("widget_2"))->height() > 100);
    }
};

QTEST_MAIN(TestAlarmLog)
#include "tst_alarmlog.moc"
