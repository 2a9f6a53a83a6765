// Flashing indicators of the status panels in real time: one timer per flashing slot, and all
// flashing indicators blinking in step whenever the set of flashing slots changes.
#include "DiveVodResources.h"
#include "PanelFixture.h"
#include "PanelStyles.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QSignalSpy>
#include <QtTest>

namespace {

// Records in which only the named slots flash.
AcoGpioInfo flashing(std::initializer_list<int> flashingSlots)
{
    AcoGpioInfo info = darkRecord();
    for (int slot : flashingSlots) {
        if (slot < 6) {
            info.gpioGreenMask |= 1u << slot;
            info.gpioRedMask |= 1u << slot;
        } else if (slot == 6) {
            info.localLed = 2;
        } else if (slot == 7) {
            info.remoteLed = 2;
        } else {
            info.phaseAlign = 2;
        }
    }
    return info;
}

const char* objectOf(int slot)
{
    static const char* names[9] = { "labelIN1",   "labelIN2",    "labelIN3",
                                    "labelIN4",   "labelIN5",    "labelIN6",
                                    "labelLocal", "labelRemote", "pushButtonPhaseAlign" };
    return names[slot];
}

QString firstStyleOf(int slot)
{
    return slot < 6 ? LED_RED : (slot < 8 ? LED_GRAY : KEY_ACTIVE);
}

QString secondStyleOf(int slot)
{
    return slot < 8 ? LED_GREEN : KEY_IDLE;
}

// Waits for the next tick of this flash timer; false after 2 s without one.
bool waitTick(LedStatusTimer* flash)
{
    QSignalSpy tick(innerTimer(flash), SIGNAL(timeout()));
    return tick.wait(2000);
}

} // namespace

class TestPanelFlashing : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();

    void sameFlashingTwiceKeepsTimer_data() { kinds_data(); }
    void sameFlashingTwiceKeepsTimer();
    void flashingToGreenDropsTimer_data() { kinds_data(); }
    void flashingToGreenDropsTimer();
    void newFlashShowsFirstStyleTwoSeconds_data() { kinds_data(); }
    void newFlashShowsFirstStyleTwoSeconds();
    void startingSlotResynchronisesAll_data() { kinds_data(); }
    void startingSlotResynchronisesAll();
    void stoppingSlotResynchronisesRest_data() { kinds_data(); }
    void stoppingSlotResynchronisesRest();
    void unknownStateAfterFlashingKeepsFlashingAndResyncs_data() { kinds_data(); }
    void unknownStateAfterFlashingKeepsFlashingAndResyncs();

private:
    static void kinds_data();
};

void TestPanelFlashing::initTestCase()
{
    initDiveVodResources();
}

void TestPanelFlashing::cleanupTestCase()
{
    QTRY_VERIFY(QApplication::topLevelWidgets().isEmpty());
}

void TestPanelFlashing::kinds_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("2x1") << "2x1";
    QTest::newRow("4x1") << "4x1";
}

void TestPanelFlashing::sameFlashingTwiceKeepsTimer()
{
    QFETCH(QString, kind);
    PanelUnderTest p = PanelUnderTest::Make(kind);
    p.apply(flashing({ 6 }));
    QPointer<LedStatusTimer> first = p.timer(6);
    QVERIFY(first);
    QCOMPARE(p.flashSlots(), QVector<int>({ -1, -1, -1, -1, -1, -1, 6, -1, -1 }));
    QTest::qWait(400);
    p.apply(flashing({ 6 }));
    QCOMPARE(p.timer(6), first.data());
    QVERIFY(!first.isNull());
    // Not restarted: the interval that began with the first record keeps running.
    const int remaining = innerTimer(first)->remainingTime();
    QVERIFY2(remaining < 800, qPrintable(QString::number(remaining)));
    QVERIFY(innerTimer(first)->isActive());
    for (int s = 0; s < 9; ++s) {
        if (s != 6) {
            QVERIFY(!p.timer(s));
        }
    }
}

void TestPanelFlashing::flashingToGreenDropsTimer()
{
    QFETCH(QString, kind);
    PanelUnderTest p = PanelUnderTest::Make(kind);
    p.apply(flashing({ 2 }));
    QPointer<LedStatusTimer> flash = p.timer(2);
    QVERIFY(flash);
    QCOMPARE(p.style("labelIN3"), LED_RED);

    AcoGpioInfo info = darkRecord();
    info.gpioGreenMask = 0x04;
    p.apply(info);
    QVERIFY(flash.isNull());
    QVERIFY(!p.timer(2));
    QCOMPARE(p.style("labelIN3"), LED_GREEN);
    QCOMPARE(p.flashSlots(), QVector<int>(9, -1));
    QTest::qWait(1200); // and it stays green
    QCOMPARE(p.style("labelIN3"), LED_GREEN);
}

void TestPanelFlashing::newFlashShowsFirstStyleTwoSeconds()
{
    QFETCH(QString, kind);
    PanelUnderTest p = PanelUnderTest::Make(kind);
    for (int slot : { 0, 6, 8 }) {
        p.apply(darkRecord());
        QElapsedTimer clock;
        clock.start();
        p.apply(flashing({ slot }));
        const QString object = objectOf(slot);
        QCOMPARE(p.style(object), firstStyleOf(slot));
        // The first tick, about 1000 ms in, shows the first style once more...
        QVERIFY(waitTick(p.timer(slot)));
        QCOMPARE(p.style(object), firstStyleOf(slot));
        // ...and the second tick, about 2000 ms in, brings the second style.
        QVERIFY(waitTick(p.timer(slot)));
        const qint64 elapsed = clock.elapsed();
        QCOMPARE(p.style(object), secondStyleOf(slot));
        // Coarse timers may fire up to 5 % early or late; the neighbouring ticks are 1000 ms away.
        QVERIFY2(elapsed >= 1800 && elapsed <= 2600, qPrintable(QString::number(elapsed)));
    }
}

void TestPanelFlashing::startingSlotResynchronisesAll()
{
    QFETCH(QString, kind);
    PanelUnderTest p = PanelUnderTest::Make(kind);
    p.apply(flashing({ 6, 8 }));
    LedStatusTimer* local = p.timer(6);
    LedStatusTimer* phase = p.timer(8);
    // Put the two out of step: Local has just shown its first style again (green is next),
    // phase align shows its second style (active is next).
    local->OnTimer();
    phase->OnTimer();
    phase->OnTimer();
    QCOMPARE(p.style("labelLocal"), LED_GRAY);
    QCOMPARE(p.style("pushButtonPhaseAlign"), KEY_IDLE);
    QTest::qWait(300);

    p.apply(flashing({ 6, 8, 4 }));
    QCOMPARE(p.flashSlots(), QVector<int>({ -1, -1, -1, -1, 4, -1, 6, -1, 8 }));
    QCOMPARE(p.timer(6), local);
    QCOMPARE(p.timer(8), phase);
    LedStatusTimer* input = p.timer(4);
    QVERIFY(input);
    // Each keeps its look until the common tick.
    QCOMPARE(p.style("labelLocal"), LED_GRAY);
    QCOMPARE(p.style("pushButtonPhaseAlign"), KEY_IDLE);
    QCOMPARE(p.style("labelIN5"), LED_RED);
    for (LedStatusTimer* flash : { local, phase, input }) {
        QVERIFY(innerTimer(flash)->isActive());
        QVERIFY(innerTimer(flash)->remainingTime() > 900);
    }

    QSignalSpy localTicks(innerTimer(local), SIGNAL(timeout()));
    QSignalSpy phaseTicks(innerTimer(phase), SIGNAL(timeout()));
    QSignalSpy inputTicks(innerTimer(input), SIGNAL(timeout()));
    QVERIFY(localTicks.wait(2000));
    // All three tick together and all show their first style.
    QTRY_VERIFY_WITH_TIMEOUT(phaseTicks.count() == 1 && inputTicks.count() == 1, 100);
    QCOMPARE(p.style("labelLocal"), LED_GRAY);
    QCOMPARE(p.style("pushButtonPhaseAlign"), KEY_ACTIVE);
    QCOMPARE(p.style("labelIN5"), LED_RED);
    // And from then on alternate in phase.
    QVERIFY(localTicks.wait(2000));
    QTRY_VERIFY_WITH_TIMEOUT(phaseTicks.count() == 2 && inputTicks.count() == 2, 100);
    QCOMPARE(p.style("labelLocal"), LED_GREEN);
    QCOMPARE(p.style("pushButtonPhaseAlign"), KEY_IDLE);
    QCOMPARE(p.style("labelIN5"), LED_GREEN);
}

void TestPanelFlashing::stoppingSlotResynchronisesRest()
{
    QFETCH(QString, kind);
    PanelUnderTest p = PanelUnderTest::Make(kind);
    p.apply(flashing({ 0, 5, 7 }));
    LedStatusTimer* in1 = p.timer(0);
    LedStatusTimer* in6 = p.timer(5);
    in1->OnTimer(); // first style again, second next
    in6->OnTimer();
    in6->OnTimer(); // second style, first next
    QTest::qWait(300);

    AcoGpioInfo info = flashing({ 0, 5 });
    info.remoteLed = 0;
    p.apply(info);
    QVERIFY(!p.timer(7));
    QCOMPARE(p.style("labelRemote"), LED_GREEN);
    QCOMPARE(p.flashSlots(), QVector<int>({ 0, -1, -1, -1, -1, 5, -1, -1, -1 }));
    QCOMPARE(p.timer(0), in1);
    QCOMPARE(p.timer(5), in6);
    QVERIFY(innerTimer(in1)->remainingTime() > 900);
    QVERIFY(innerTimer(in6)->remainingTime() > 900);

    QSignalSpy in1Ticks(innerTimer(in1), SIGNAL(timeout()));
    QSignalSpy in6Ticks(innerTimer(in6), SIGNAL(timeout()));
    QVERIFY(in1Ticks.wait(2000));
    QTRY_COMPARE_WITH_TIMEOUT(in6Ticks.count(), 1, 100);
    QCOMPARE(p.style("labelIN1"), LED_RED);
    QCOMPARE(p.style("labelIN6"), LED_RED);
}

void TestPanelFlashing::unknownStateAfterFlashingKeepsFlashingAndResyncs()
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
    QCOMPARE(p.flashSlots(), QVector<int>(9, -1)); // ...but not counted as flashing
    QVERIFY(innerTimer(local)->remainingTime() > 900);
    QVERIFY(waitTick(local));
    QCOMPARE(p.style("labelLocal"), LED_GRAY); // restarted: first style due
    QVERIFY(waitTick(local));
    QCOMPARE(p.style("labelLocal"), LED_GREEN);

    // A second record with 3 finds the signature unchanged and leaves the timer alone.
    QTest::qWait(300);
    p.apply(info);
    QVERIFY(innerTimer(local)->remainingTime() < 800);
    // Back to 2: counted as flashing again, which is a change of the flashing set.
    p.apply(flashing({ 6 }));
    QCOMPARE(p.timer(6), local);
    QVERIFY(innerTimer(local)->remainingTime() > 900);
    QCOMPARE(p.flashSlots().at(6), 6);
}

QTEST_MAIN(TestPanelFlashing)
#include "tst_PanelFlashing.moc"
