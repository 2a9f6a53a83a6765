// The tool tips and accessible names of the panels' indicators: what they say after a record, after
// the record that follows it, after a reset, and in the other language.
#include "DiveVodResources.h"
#include "PanelFixture.h"

#include <QCoreApplication>
#include <QTranslator>
#include <QtTest>

class TestPanelDescriptions : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void afterRecord_data();
    void afterRecord();
    void reset_data();
    void reset();
    void languageChange();
};

void TestPanelDescriptions::initTestCase()
{
    initDiveVodResources();
}

void TestPanelDescriptions::cleanupTestCase()
{
    QTRY_VERIFY(QApplication::topLevelWidgets().isEmpty());
}

void TestPanelDescriptions::afterRecord_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("before"); // fields of the record applied first
    QTest::addColumn<QString>("after"); // fields of the record applied next
    QTest::addColumn<QString>("object");
    QTest::addColumn<QString>("text");

    // clang-format off
    QTest::newRow("2x1 PS1 on") << "2x1" << "" << "ps1Led=1" << "labelPS1" << "PS1: Green";
    QTest::newRow("4x1 PS1 off again") << "4x1" << "ps1Led=1" << "" << "labelPS1" << "PS1: Off";
    QTest::newRow("4x1 input both colours") << "4x1" << "" << "gpioGreenMask=2 gpioRedMask=2" << "labelIN2" << "IN 2: Green Red Flashing";
    QTest::newRow("2x1 flashing to green") << "2x1" << "gpioGreenMask=0x10 gpioRedMask=0x10" << "gpioGreenMask=0x10" << "labelIN5" << "Group B IN 2: Green";
    QTest::newRow("2x1 bypass red") << "2x1" << "" << "gpioRedMask=4" << "labelIN3" << "Group A BYPASS: Red";
    QTest::newRow("4x1 uncaptioned input") << "4x1" << "" << "gpioGreenMask=0x10" << "labelIN5" << "IN 5 (unused): Green";
    QTest::newRow("4x1 bypass key") << "4x1" << "" << "keyMask=0x20" << "pushButtonIN6" << "BYPASS key: Enabled";
    QTest::newRow("2x1 group B key off") << "2x1" << "keyMask=0x08" << "" << "pushButtonIN4" << "Group B IN 1 key: Disabled";
    QTest::newRow("2x1 local flashing") << "2x1" << "" << "localLed=2" << "labelLocal" << "Local: Green Flashing";
    QTest::newRow("4x1 remote green") << "4x1" << "" << "remoteLed=0" << "labelRemote" << "Remote: Green";
    QTest::newRow("2x1 unknown local keeps") << "2x1" << "localLed=0" << "localLed=3" << "labelLocal" << "Local: Green";
    QTest::newRow("4x1 unknown phase keeps") << "4x1" << "phaseAlign=1" << "phaseAlign=7" << "pushButtonPhaseAlign" << "PHASE ALIGN: Enabled";
    QTest::newRow("2x1 phase flashing") << "2x1" << "" << "phaseAlign=2" << "pushButtonPhaseAlign" << "PHASE ALIGN: Flashing";
    QTest::newRow("4x1 mode 4X1") << "4x1" << "" << "panelType=1" << "label4x1" << "4X1: Green";
    QTest::newRow("4x1 mode D2X1 off") << "4x1" << "" << "panelType=1" << "label2x1" << "D2X1: Off";
    QTest::newRow("2x1 lock") << "2x1" << "" << "keyLock=1" << "pushButtonLock" << "LOCK: Enabled";
    QTest::newRow("2x1 rem ctrl off again") << "2x1" << "remCtrl=1" << "" << "pushButtonRemCtrl" << "REM CTRL: Disabled";
    // clang-format on
}

void TestPanelDescriptions::afterRecord()
{
    QFETCH(QString, kind);
    QFETCH(QString, before);
    QFETCH(QString, after);
    QFETCH(QString, object);
    QFETCH(QString, text);

    PanelUnderTest p = PanelUnderTest::Make(kind);
    p.apply(recordFrom(before));
    p.apply(recordFrom(after));
    QWidget* widget = p.widget->findChild<QWidget*>(object);
    QVERIFY(widget);
    QCOMPARE(widget->toolTip(), text);
    QCOMPARE(widget->accessibleName(), text);
}

void TestPanelDescriptions::reset_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("afterRecord"); // false: straight after construction
    QTest::newRow("2x1 new") << "2x1" << false;
    QTest::newRow("4x1 reset") << "4x1" << true;
}

void TestPanelDescriptions::reset()
{
    QFETCH(QString, kind);
    QFETCH(bool, afterRecord);

    PanelUnderTest p = PanelUnderTest::Make(kind);
    if (afterRecord) {
        p.apply(recordFrom("ps1Led=1 localLed=2 gpioGreenMask=1 gpioRedMask=1 keyMask=1 keyLock=1 phaseAlign=2"));
        p.reset();
    }
    const QMap<QString, QString> expected = {
        { "labelPS1", "PS1: Off" },
        { "labelLocal", "Local: Off" },
        { "labelIN1", kind == "2x1" ? "Group A IN 1: Off" : "IN 1: Off" },
        { "pushButtonIN1", kind == "2x1" ? "Group A IN 1 key: Disabled" : "IN 1 key: Disabled" },
        { "pushButtonLock", "LOCK: Disabled" },
        { "pushButtonPhaseAlign", "PHASE ALIGN: Disabled" },
    };
    for (auto it = expected.cbegin(); it != expected.cend(); ++it) {
        QCOMPARE(p.widget->findChild<QWidget*>(it.key())->toolTip(), it.value());
    }
}

void TestPanelDescriptions::languageChange()
{
    QTranslator chinese;
    QVERIFY(chinese.load(QStringLiteral(DIVEVOD_LANG_DIR "/divevod_zh.qm")));
    GPIOStatus2x1 panel(nullptr);
    panel.OnRecvStatusInfo(recordFrom("ps1Led=1 gpioGreenMask=2 gpioRedMask=2"));
    QWidget* ps1 = panel.findChild<QWidget*>("labelPS1");
    QWidget* in2 = panel.findChild<QWidget*>("labelIN2");

    QCoreApplication::installTranslator(&chinese);
    QTRY_COMPARE(ps1->toolTip(), QString::fromUtf8("PS1：绿色")); // language changes reach windows as posted events
    QCOMPARE(in2->accessibleName(), QString::fromUtf8("A 组 输入 2：绿红闪烁"));
    // A record in the new language describes what changed in it too.
    panel.OnRecvStatusInfo(recordFrom("gpioGreenMask=2 gpioRedMask=2"));
    QCOMPARE(ps1->toolTip(), QString::fromUtf8("PS1：熄灭"));

    QCoreApplication::removeTranslator(&chinese);
    QTRY_COMPARE(ps1->toolTip(), QStringLiteral("PS1: Off"));
    QCOMPARE(in2->toolTip(), QStringLiteral("Group A IN 2: Green Red Flashing"));
}

QTEST_MAIN(TestPanelDescriptions)
#include "tst_PanelDescriptions.moc"
