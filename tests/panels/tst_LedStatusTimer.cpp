// The flash timer on its own: the first style at once, a swap every second, Stop and Restart.
#include "LedStatusTimer.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QPointer>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

namespace {

const QString First = QStringLiteral("QLabel{color: rgb(1,2,3)}");
const QString Second = QStringLiteral("QLabel{color: rgb(4,5,6)}");

QTimer* innerTimer(LedStatusTimer& flash)
{
    return flash.findChild<QTimer*>();
}

} // namespace

class TestLedStatusTimer : public QObject
{
    Q_OBJECT

private slots:
    void firstStyleAtOnceSecondAfterOneSecond();
    void stopThenRestartShowsFirstStyleNext_data();
    void stopThenRestartShowsFirstStyleNext();
    void deletingLeavesLastStyle();
};

void TestLedStatusTimer::firstStyleAtOnceSecondAfterOneSecond()
{
    QLabel label;
    QElapsedTimer clock;
    clock.start();
    LedStatusTimer flash(&label, First, Second);
    QCOMPARE(label.styleSheet(), First);
    QSignalSpy ticks(innerTimer(flash), SIGNAL(timeout()));
    QTest::qWait(700);
    QCOMPARE(label.styleSheet(), First);
    QVERIFY(ticks.wait(1500));
    QVERIFY2(clock.elapsed() >= 900, qPrintable(QString::number(clock.elapsed())));
    QCOMPARE(label.styleSheet(), Second);
    QVERIFY(ticks.wait(1500)); // it repeats
    QCOMPARE(label.styleSheet(), First);
    // Restart alone starts the interval afresh and keeps the phase.
    flash.Restart();
    QVERIFY(innerTimer(flash)->remainingTime() > 900);
    flash.OnTimer();
    QCOMPARE(label.styleSheet(), Second);
}

void TestLedStatusTimer::stopThenRestartShowsFirstStyleNext_data()
{
    QTest::addColumn<int>("ticksBefore");
    QTest::newRow("first style showing") << 0;
    QTest::newRow("second style showing") << 1;
    QTest::newRow("first style showing again") << 2;
}

void TestLedStatusTimer::stopThenRestartShowsFirstStyleNext()
{
    QFETCH(int, ticksBefore);
    QLabel label;
    LedStatusTimer flash(&label, First, Second);
    for (int i = 0; i < ticksBefore; ++i)
        flash.OnTimer();
    const QString showing = label.styleSheet();
    flash.Stop();
    QSignalSpy ticks(innerTimer(flash), SIGNAL(timeout()));
    QTest::qWait(ticksBefore == 0 ? 1100 : 0);
    QCOMPARE(ticks.count(), 0);
    QCOMPARE(label.styleSheet(), showing); // stopping changes nothing on screen
    flash.Restart();
    QVERIFY(innerTimer(flash)->remainingTime() > 900);
    QVERIFY(ticks.wait(1500));
    QCOMPARE(label.styleSheet(), First);
    flash.OnTimer();
    QCOMPARE(label.styleSheet(), Second);
}

void TestLedStatusTimer::deletingLeavesLastStyle()
{
    QLabel label;
    QPointer<LedStatusTimer> flash = new LedStatusTimer(&label, First, Second);
    flash->OnTimer();
    delete flash;
    QTest::qWait(1200); // no tick of a deleted timer reaches the label
    QCOMPARE(label.styleSheet(), Second);
}

QTEST_MAIN(TestLedStatusTimer)
#include "tst_LedStatusTimer.moc"
