// Flashing indicators of the status panels in real time: one timer per flashing slot, kept while the
// slot flashes, and all flashing indicators blinking in step whenever the set of flashing slots changes.
#include "DiveVodResources.h"
#include "PanelFixture.h"

#include <QPointer>
#include <QSignalSpy>

namespace {

// A record in which only the named slots flash.
AcoGpioInfo flashing(std::initializer_list<int> flashingSlots)
{
    AcoGpioInfo info = darkRecord();
    for (int slot : flashingSlots) {
        if (slot < 6)
            info.gpioGreenMask |= 1u << slot, info.gpioRedMask |= 1u << slot;
        else if (slot == 6)
            info.localLed = 2;
        else if (slot == 7)
            info.remoteLed = 2;
        else
            info.phaseAlign = 2;
    }
    return info;
}

} // namespace

class TestPanelFlashing : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();

    void sameFlashingKeepsTimer_data() { kindsData(); }
    void sameFlashingKeepsTimer();
    void changedSetResynchronises_data() { kindsData(); }
    void changedSetResynchronises();
    void unknownStateKeepsFlashing_data() { kindsData(); }
    void unknownStateKeepsFlashing();
};

void TestPanelFlashing::initTestCase()
{
    initDiveVodResources();
}

void TestPanelFlashing::cleanupTestCase()
{
    QTRY_VERIFY(QApplication::topLevelWidgets().isEmpty());
}

void TestPanelFlashing::sameFlashingKeepsTimer()
{
    QFETCH(QString, kind);
    PanelUnderTest p = PanelUnderTest::Make(kind);
    p.apply(flashing({ 6 }));
    QPointer<LedStatusTimer> first = p.timer(6);
    QVERIFY(first);
    QTest::qWait(400);
    p.apply(flashing({ 6 }));
    QCOMPARE(p.timer(6), first.data());
    // Not restarted: the interval that began with the first record keeps running.
    QVERIFY(innerTimer(first)->isActive());
    QVERIFY2(innerTimer(first)->remainingTime() < 800, qPrintable(QString::number(innerTimer(first)->remainingTime())));
}

void TestPanelFlashing::changedSetResynchronises()
{
    QFETCH(QString, kind);
    PanelUnderTest p = PanelUnderTest::Make(kind);
    p.apply(flashing({ 0, 6, 7, 8 }));
    LedStatusTimer* in1 = p.timer(0);
    LedStatusTimer* local = p.timer(6);
    LedStatusTimer* phase = p.timer(8);
    // Out of step: Local shows its first style with green next, phase align its second style.
    local->OnTimer();
    phase->OnTimer();
    phase->OnTimer();
    QTest::qWait(300);
    // Input 5 starts flashing and Remote stops: every remaining timer restarts, showing its look until
    // the common tick.
    AcoGpioInfo info = flashing({ 0, 6, 8, 4 });
    info.remoteLed = 0;
    p.apply(info);
    QCOMPARE(p.flashSlots(), QVector<int>({ 0, -1, -1, -1, 4, -1, 6, -1, 8 }));
    QVERIFY(!p.timer(7));
    QCOMPARE(p.timer(0), in1);
    QCOMPARE(p.timer(6), local);
    QCOMPARE(p.timer(8), phase);
    LedStatusTimer* in5 = p.timer(4);
    QVERIFY(in5);
    QCOMPARE(p.style("labelLocal"), LED_GRAY);
    QCOMPARE(p.style("pushButtonPhaseAlign"), KEY_IDLE);
    QCOMPARE(p.style("labelIN5"), LED_RED);
    QCOMPARE(p.style("labelRemote"), LED_GREEN);
    for (LedStatusTimer* flash : { in1, local, phase, in5 })
        QVERIFY(innerTimer(flash)->isActive() && innerTimer(flash)->remainingTime() > 900);
    QSignalSpy localTicks(innerTimer(local), SIGNAL(timeout()));
    QSignalSpy phaseTicks(innerTimer(phase), SIGNAL(timeout()));
    QSignalSpy in5Ticks(innerTimer(in5), SIGNAL(timeout()));
    QSignalSpy in1Ticks(innerTimer(in1), SIGNAL(timeout()));
    // All tick together and all show their first style, then their second.
    for (const QString look : { "LED_GRAY KEY_ACTIVE LED_RED LED_RED", "LED_GREEN KEY_IDLE LED_GREEN LED_GREEN" }) {
        const int ticks = localTicks.count() + 1;
        QVERIFY(localTicks.wait(2000));
        QTRY_VERIFY_WITH_TIMEOUT(phaseTicks.count() == ticks && in5Ticks.count() == ticks && in1Ticks.count() == ticks,
                                 100);
        QCOMPARE(QStringList({ styleName(p.style("labelLocal")), styleName(p.style("pushButtonPhaseAlign")),
                               styleName(p.style("labelIN5")), styleName(p.style("labelIN1")) })
                     .join(' '),
                 look);
    }
}

void TestPanelFlashing::unknownStateKeepsFlashing()
{
    QFETCH(QString, kind);
    PanelUnderTest p = PanelUnderTest::Make(kind);
    p.apply(flashing({ 6 }));
    LedStatusTimer* local = p.timer(6);
    local->OnTimer(); // gray again; green would be next without a resynchronisation
    QTest::qWait(300);
    AcoGpioInfo info = darkRecord();
    info.localLed = 3;
    p.apply(info);
    QCOMPARE(p.timer(6), local); // still flashing...
    QCOMPARE(p.flashSlots(), QVector<int>(9, -1)); // ...but not counted as flashing, which is a change
    QVERIFY(innerTimer(local)->remainingTime() > 900);
    // A second record with 3 finds the set unchanged and leaves the timer alone.
    QTest::qWait(300);
    p.apply(info);
    QVERIFY(innerTimer(local)->remainingTime() < 800);
    // Back to 2: counted as flashing again, a change once more.
    p.apply(flashing({ 6 }));
    QCOMPARE(p.timer(6), local);
    QVERIFY(innerTimer(local)->remainingTime() > 900);
    QCOMPARE(p.flashSlots().at(6), 6);
}

QTEST_MAIN(TestPanelFlashing)
#include "tst_PanelFlashing.moc"
