// Repainting a panel from status records: every row of the mapping table on both panels,
// out-of-range values, and the disconnected look.
#include "DiveVodResources.h"
#include "PanelFixture.h"
#include "PanelStyles.h"

#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QtTest>

#include <functional>

namespace {

const QStringList Kinds = { "2x1", "4x1" };

const QStringList AllLeds = { "labelPS1", "labelPS2",   "labelIN1",    "labelIN2", "labelIN3", "labelIN4",   "labelIN5",
                              "labelIN6", "labelLocal", "labelRemote", "label2x1", "label4x1", "labelOthers" };
const QStringList AllKeys = { "pushButtonIN1",        "pushButtonIN2",     "pushButtonIN3",     "pushButtonIN4",
                              "pushButtonIN5",        "pushButtonIN6",     "pushButtonLock",    "pushButtonAutoMode",
                              "pushButtonPhaseAlign", "pushButtonRemCtrl", "pushButtonUpgrade", "pushButtonIpReset" };

QString styleName(const QString& sheet)
{
    if (sheet == LED_GRAY)
        return "LED_GRAY";
    if (sheet == LED_GREEN)
        return "LED_GREEN";
    if (sheet == LED_RED)
        return "LED_RED";
    if (sheet == LED_YELLOW)
        return "LED_YELLOW";
    if (sheet == KEY_IDLE)
        return "KEY_IDLE";
    if (sheet == KEY_ACTIVE)
        return "KEY_ACTIVE";
    return sheet.isEmpty() ? QStringLiteral("<empty>") : sheet;
}

// The look of every indicator, by object name.
QMap<QString, QString> snapshot(const PanelUnderTest& p)
{
    QMap<QString, QString> looks;
    for (const QString& name : AllLeds + AllKeys) {
        looks.insert(name, styleName(p.style(name)));
    }
    return looks;
}

int slotOf(const QString& object)
{
    if (object.startsWith("labelIN"))
        return object.mid(7).toInt() - 1;
    if (object == "labelLocal")
        return 6;
    if (object == "labelRemote")
        return 7;
    if (object == "pushButtonPhaseAlign")
        return 8;
    return -1;
}

} // namespace

class TestPanelStatus : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();

    void mapping_data();
    void mapping();
    void unknownStateKeepsLook_data();
    void unknownStateKeepsLook();
    void panelType_data();
    void panelType();
    void remoteKeyMaskChangesNothing_data();
    void remoteKeyMaskChangesNothing();
    void keysKeepLookOnDisable();
    void fourByOneFifthInputStillLights();
    void disconnectedLookAfterConstruction_data();
    void disconnectedLookAfterConstruction();
    void resetStatus_data();
    void resetStatus();
    void destructionDeletesTimers_data();
    void destructionDeletesTimers();
};

void TestPanelStatus::initTestCase()
{
    initDiveVodResources();
}

void TestPanelStatus::cleanupTestCase()
{
    QTRY_VERIFY(QApplication::topLevelWidgets().isEmpty());
}

void TestPanelStatus::mapping_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("field");
    QTest::addColumn<quint32>("value");
    QTest::addColumn<QString>("object");
    QTest::addColumn<QString>("look"); // style shown right after the record
    QTest::addColumn<bool>("flashing"); // a timer runs for the object's slot

    for (const QString& kind : Kinds) {
        auto row = [&](const QString& field, quint32 value, const QString& object, const QString& look,
                       bool flashing = false) {
            QTest::addRow("%s %s=%u %s", qPrintable(kind), qPrintable(field), value, qPrintable(object))
                << kind << field << value << object << look << flashing;
        };
        row("ps1Led", 1, "labelPS1", "LED_GREEN");
        row("ps1Led", 0, "labelPS1", "LED_GRAY");
        row("ps2Led", 1, "labelPS2", "LED_GREEN");
        row("ps2Led", 0, "labelPS2", "LED_GRAY");
        for (const QString& led : QStringList { "localLed", "remoteLed" }) {
            const QString object = led == "localLed" ? "labelLocal" : "labelRemote";
            row(led, 0, object, "LED_GREEN");
            row(led, 1, object, "LED_GRAY");
            row(led, 2, object, "LED_GRAY", true); // flashing gray first, then green
        }
        for (int i = 0; i < 6; ++i) {
            const QString led = QStringLiteral("labelIN%1").arg(i + 1);
            const quint32 bit = 1u << i;
            // green/red combinations are encoded as green bit in the low byte, red in the next
            row("gpio", 0, led, "LED_GRAY");
            row("gpio", bit << 8, led, "LED_RED");
            row("gpio", bit, led, "LED_GREEN");
            row("gpio", bit | (bit << 8), led, "LED_RED", true); // flashing red first, then green
            const QString key = QStringLiteral("pushButtonIN%1").arg(i + 1);
            row("keyMask", bit, key, "KEY_ACTIVE");
            row("keyMask", 0x3F & ~bit, key, "KEY_IDLE");
        }
        row("phaseAlign", 0, "pushButtonPhaseAlign", "KEY_IDLE");
        row("phaseAlign", 1, "pushButtonPhaseAlign", "KEY_ACTIVE");
        row("phaseAlign", 2, "pushButtonPhaseAlign", "KEY_ACTIVE", true); // active first, then idle
        const QList<QPair<QString, QString>> indicators = { { "ipReset", "pushButtonIpReset" },
                                                            { "remCtrl", "pushButtonRemCtrl" },
                                                            { "upgrade", "pushButtonUpgrade" },
                                                            { "keyLock", "pushButtonLock" },
                                                            { "autoMode", "pushButtonAutoMode" } };
        for (const auto& ind : indicators) {
            row(ind.first, 1, ind.second, "KEY_ACTIVE");
            row(ind.first, 0, ind.second, "KEY_IDLE");
        }
    }
}

void TestPanelStatus::mapping()
{
    QFETCH(QString, kind);
    QFETCH(QString, field);
    QFETCH(quint32, value);
    QFETCH(QString, object);
    QFETCH(QString, look);
    QFETCH(bool, flashing);

    PanelUnderTest p = PanelUnderTest::Make(kind);
    // Start from another look so that the record has to change something.
    AcoGpioInfo before = darkRecord();
    if (field == "gpio") {
        const bool green = value & 0xFF;
        const bool red = value >> 8;
        if (green && red) {
            before.gpioGreenMask = 0x3F;
        } else if (!green && !red) {
            before.gpioGreenMask = before.gpioRedMask = 0x3F; // all flashing
        } else if (red) {
            before.gpioGreenMask = 0x3F;
        } else {
            before.gpioRedMask = 0x3F;
        }
    } else if (field == "localLed" || field == "remoteLed" || field == "phaseAlign") {
        setField(before, field, value == 0 ? 1 : 0);
    } else if (field == "keyMask") {
        before.keyMask = ~value & 0x3F;
    } else {
        setField(before, field, value ? 0 : 1);
    }
    p.apply(before);
    QVERIFY(styleName(p.style(object)) != look);

    AcoGpioInfo info = before;
    if (field == "gpio") {
        info.gpioGreenMask = value & 0xFF;
        info.gpioRedMask = value >> 8;
    } else {
        setField(info, field, value);
    }
    p.apply(info);

    QCOMPARE(styleName(p.style(object)), look);
    const int slot = slotOf(object);
    if (slot >= 0) {
        QCOMPARE(p.timer(slot) != nullptr, flashing);
        QCOMPARE(p.flashSlots().at(slot), flashing ? slot : -1);
    }
    if (flashing) {
        // The second style comes one tick later, after the first tick that shows the first style again.
        LedStatusTimer* flash = p.timer(slot);
        flash->OnTimer();
        QCOMPARE(styleName(p.style(object)), look);
        flash->OnTimer();
        const QString second = object.startsWith("label") ? "LED_GREEN" : "KEY_IDLE";
        QCOMPARE(styleName(p.style(object)), second);
    }
    // Nothing else flashes.
    for (int s = 0; s < 9; ++s) {
        if (s != slot) {
            QVERIFY2(!p.timer(s), qPrintable(QString::number(s)));
        }
    }
}

void TestPanelStatus::unknownStateKeepsLook_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("field");
    QTest::addColumn<quint32>("before");
    QTest::addColumn<quint32>("value");
    QTest::addColumn<QString>("object");
    QTest::addColumn<QString>("look");
    for (const QString& kind : Kinds) {
        for (const QString& field : QStringList { "localLed", "remoteLed" }) {
            const QString object = field == "localLed" ? "labelLocal" : "labelRemote";
            QTest::addRow("%s %s 0 then 3", qPrintable(kind), qPrintable(field))
                << kind << field << 0u << 3u << object << "LED_GREEN";
            QTest::addRow("%s %s 1 then 3", qPrintable(kind), qPrintable(field))
                << kind << field << 1u << 3u << object << "LED_GRAY";
            QTest::addRow("%s %s 0 then 255", qPrintable(kind), qPrintable(field))
                << kind << field << 0u << 255u << object << "LED_GREEN";
        }
        QTest::addRow("%s phaseAlign 1 then 5", qPrintable(kind))
            << kind << "phaseAlign" << 1u << 5u << "pushButtonPhaseAlign"
            << "KEY_ACTIVE";
        QTest::addRow("%s phaseAlign 0 then 5", qPrintable(kind))
            << kind << "phaseAlign" << 0u << 5u << "pushButtonPhaseAlign"
            << "KEY_IDLE";
        QTest::addRow("%s phaseAlign 1 then 255", qPrintable(kind))
            << kind << "phaseAlign" << 1u << 255u << "pushButtonPhaseAlign"
            << "KEY_ACTIVE";
    }
}

void TestPanelStatus::unknownStateKeepsLook()
{
    QFETCH(QString, kind);
    QFETCH(QString, field);
    QFETCH(quint32, before);
    QFETCH(quint32, value);
    QFETCH(QString, object);
    QFETCH(QString, look);
    PanelUnderTest p = PanelUnderTest::Make(kind);
    AcoGpioInfo info = darkRecord();
    setField(info, field, before);
    p.apply(info);
    QCOMPARE(styleName(p.style(object)), look);
    const QMap<QString, QString> was = snapshot(p);
    setField(info, field, value);
    p.apply(info);
    QCOMPARE(snapshot(p), was);
    QCOMPARE(p.flashSlots(), QVector<int>(9, -1));
    QVERIFY(!p.timer(slotOf(object)));
}

void TestPanelStatus::panelType_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<quint32>("panelType");
    QTest::addColumn<QStringList>("looks"); // label2x1, label4x1, labelOthers
    for (const QString& kind : Kinds) {
        QTest::addRow("%s D2X1", qPrintable(kind)) << kind << 0u << QStringList { "LED_GREEN", "LED_GRAY", "LED_GRAY" };
        QTest::addRow("%s 4X1", qPrintable(kind)) << kind << 1u << QStringList { "LED_GRAY", "LED_GREEN", "LED_GRAY" };
        QTest::addRow("%s Others", qPrintable(kind))
            << kind << 2u << QStringList { "LED_GRAY", "LED_GRAY", "LED_GREEN" };
        QTest::addRow("%s 7", qPrintable(kind)) << kind << 7u << QStringList { "LED_GRAY", "LED_GRAY", "LED_GRAY" };
        QTest::addRow("%s 255", qPrintable(kind)) << kind << 255u << QStringList { "LED_GRAY", "LED_GRAY", "LED_GRAY" };
    }
}

void TestPanelStatus::panelType()
{
    QFETCH(QString, kind);
    QFETCH(quint32, panelType);
    QFETCH(QStringList, looks);
    PanelUnderTest p = PanelUnderTest::Make(kind);
    // Go through each lit state first, so that the record must also switch the others off.
    for (quint32 before : { 0u, 1u, 2u }) {
        AcoGpioInfo info = darkRecord();
        info.panelType = before;
        p.apply(info);
        info.panelType = panelType;
        p.apply(info);
        QCOMPARE(QStringList({ styleName(p.style("label2x1")), styleName(p.style("label4x1")),
                               styleName(p.style("labelOthers")) }),
                 looks);
    }
}

void TestPanelStatus::remoteKeyMaskChangesNothing_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("2x1") << "2x1";
    QTest::newRow("4x1") << "4x1";
}

void TestPanelStatus::remoteKeyMaskChangesNothing()
{
    QFETCH(QString, kind);
    PanelUnderTest p = PanelUnderTest::Make(kind);
    AcoGpioInfo info = darkRecord();
    info.keyMask = 0x05;
    p.apply(info);
    const QMap<QString, QString> was = snapshot(p);
    for (quint32 mask : { 1u, 2u, 16u, 32u, 0x3Fu }) {
        info.remoteKeyMask = mask;
        p.apply(info);
        QCOMPARE(snapshot(p), was);
    }
}

void TestPanelStatus::keysKeepLookOnDisable()
{
    PanelUnderTest p = PanelUnderTest::Make("2x1");
    p.setKeysEnabled(true);
    AcoGpioInfo info = darkRecord();
    info.keyMask = 0x21;
    p.apply(info);
    p.setKeysEnabled(false);
    QCOMPARE(styleName(p.style("pushButtonIN1")), QStringLiteral("KEY_ACTIVE"));
    QCOMPARE(styleName(p.style("pushButtonIN6")), QStringLiteral("KEY_ACTIVE"));
    QCOMPARE(styleName(p.style("pushButtonIN2")), QStringLiteral("KEY_IDLE"));
}

void TestPanelStatus::fourByOneFifthInputStillLights()
{
    PanelUnderTest p = PanelUnderTest::Make("4x1");
    AcoGpioInfo info = darkRecord();
    info.panelType = 1;
    info.gpioGreenMask = 0x10;
    info.keyMask = 0x10;
    p.apply(info);
    QCOMPARE(styleName(p.style("labelIN5")), QStringLiteral("LED_GREEN"));
    QCOMPARE(styleName(p.style("pushButtonIN5")), QStringLiteral("KEY_ACTIVE"));
    QVERIFY(p.widget->findChild<QLabel*>("label_6")->text().isEmpty());
}

void TestPanelStatus::disconnectedLookAfterConstruction_data()
{
    remoteKeyMaskChangesNothing_data();
}

void TestPanelStatus::disconnectedLookAfterConstruction()
{
    QFETCH(QString, kind);
    PanelUnderTest p = PanelUnderTest::Make(kind);
    for (const QString& led : AllLeds) {
        QCOMPARE(styleName(p.style(led)), QStringLiteral("LED_GRAY"));
    }
    for (const QString& key : AllKeys) {
        QCOMPARE(styleName(p.style(key)), QStringLiteral("KEY_IDLE"));
        QVERIFY(!p.button(key)->isEnabled());
    }
    QCOMPARE(p.flashSlots(), QVector<int>(9, -1));
    for (int s = 0; s < 9; ++s) {
        QVERIFY(!p.timer(s));
    }
}

void TestPanelStatus::resetStatus_data()
{
    remoteKeyMaskChangesNothing_data();
}

void TestPanelStatus::resetStatus()
{
    QFETCH(QString, kind);
    PanelUnderTest p = PanelUnderTest::Make(kind);
    p.setKeysEnabled(true);
    AcoGpioInfo info;
    info.ps1Led = info.ps2Led = true;
    info.localLed = 2;
    info.remoteLed = 2;
    info.panelType = 1;
    info.gpioGreenMask = 0x3F;
    info.gpioRedMask = 0x2A; // inputs 1, 3 and 5 flash
    info.keyMask = 0x3F;
    info.phaseAlign = 2;
    info.ipReset = info.remCtrl = info.upgrade = info.keyLock = info.autoMode = true;
    p.apply(info);
    QCOMPARE(p.flashSlots(), QVector<int>({ -1, 1, -1, 3, -1, 5, 6, 7, 8 }));

    QList<QPointer<LedStatusTimer>> timers;
    for (int s = 0; s < 9; ++s) {
        if (p.timer(s)) {
            timers << QPointer<LedStatusTimer>(p.timer(s));
        }
    }
    QCOMPARE(timers.size(), 6);

    p.reset();
    for (const auto& timer : timers) {
        QVERIFY(timer.isNull()); // deleted, not just stopped
    }
    for (int s = 0; s < 9; ++s) {
        QVERIFY(!p.timer(s));
    }
    QCOMPARE(p.flashSlots(), QVector<int>(9, -1));
    for (const QString& led : AllLeds) {
        QCOMPARE(styleName(p.style(led)), QStringLiteral("LED_GRAY"));
    }
    for (const QString& key : AllKeys) {
        QCOMPARE(styleName(p.style(key)), QStringLiteral("KEY_IDLE"));
        QVERIFY2(!p.button(key)->isEnabled(), qPrintable(key));
    }
    // Nothing flashes afterwards.
    const QMap<QString, QString> was = snapshot(p);
    QTest::qWait(1200);
    QCOMPARE(snapshot(p), was);

    // The next record after a reset starts flashing afresh.
    p.apply(info);
    QCOMPARE(p.flashSlots(), QVector<int>({ -1, 1, -1, 3, -1, 5, 6, 7, 8 }));
    QVERIFY(p.timer(6));
}

void TestPanelStatus::destructionDeletesTimers_data()
{
    remoteKeyMaskChangesNothing_data();
}

void TestPanelStatus::destructionDeletesTimers()
{
    QFETCH(QString, kind);
    PanelUnderTest p = PanelUnderTest::Make(kind);
    AcoGpioInfo info = darkRecord();
    info.localLed = 2;
    info.gpioGreenMask = info.gpioRedMask = 0x01;
    p.apply(info);
    QPointer<LedStatusTimer> local = p.timer(6);
    QPointer<LedStatusTimer> input = p.timer(0);
    QVERIFY(local && input);
    p.widget.reset();
    QVERIFY(local.isNull());
    QVERIFY(input.isNull());
}

QTEST_MAIN(TestPanelStatus)
#include "tst_PanelStatus.moc"
