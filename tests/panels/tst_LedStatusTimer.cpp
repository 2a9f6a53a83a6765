#include "LedStatusTimer.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QMetaMethod>
#include <QPointer>
#include <QSignalSpy>
#include <QTimer>
#include <QtTest>

#include <memory>

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
    void metaObject();
    void showsFirstStyleAtOnce();
    void firstTickShowsSecondStyle();
    void alternatesEverySecond();
    void stopThenRestartShowsFirstStyleNext_data();
    void stopThenRestartShowsFirstStyleNext();
    void restartAloneKeepsPhase();
    void stopHaltsTicks();
    void deletingLeavesLastStyle();
    void cleanupTestCase();
};

void TestLedStatusTimer::metaObject()
{
    QLabel label;
    LedStatusTimer flash(&label, First, Second);
    const QMetaObject* mo = flash.metaObject();
    QCOMPARE(mo->className(), "LedStatusTimer");
    QCOMPARE(mo->superClass(), &QObject::staticMetaObject);
    QCOMPARE(mo->methodCount() - mo->methodOffset(), 1);
    const QMetaMethod slot = mo->method(mo->methodOffset());
    QCOMPARE(slot.methodSignature(), QByteArray("OnTimer()"));
    QCOMPARE(slot.methodType(), QMetaMethod::Slot);
    QVERIFY(flash.parent() == nullptr);
}

void TestLedStatusTimer::showsFirstStyleAtOnce()
{
    QLabel label;
    label.setStyleSheet(QStringLiteral("QLabel{}"));
    LedStatusTimer flash(&label, First, Second);
    QCOMPARE(label.styleSheet(), First);
    QTimer* timer = innerTimer(flash);
    QVERIFY(timer);
    QVERIFY(timer->isActive());
    QCOMPARE(timer->interval(), 1000);
    QVERIFY(!timer->isSingleShot());
}

void TestLedStatusTimer::firstTickShowsSecondStyle()
{
    QLabel label;
    QElapsedTimer clock;
    clock.start();
    LedStatusTimer flash(&label, First, Second);
    QSignalSpy ticks(innerTimer(flash), SIGNAL(timeout()));
    QTest::qWait(700);
    QCOMPARE(label.styleSheet(), First);
    QVERIFY(ticks.wait(1500));
    QVERIFY2(clock.elapsed() >= 900, qPrintable(QString::number(clock.elapsed())));
    QCOMPARE(label.styleSheet(), Second);
}

void TestLedStatusTimer::alternatesEverySecond()
{
    QLabel label;
    LedStatusTimer flash(&label, First, Second);
    // Drive the slot directly: every call swaps the style.
    QVERIFY(QMetaObject::invokeMethod(&flash, "OnTimer"));
    QCOMPARE(label.styleSheet(), Second);
    QVERIFY(QMetaObject::invokeMethod(&flash, "OnTimer"));
    QCOMPARE(label.styleSheet(), First);
    QVERIFY(QMetaObject::invokeMethod(&flash, "OnTimer"));
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
    for (int i = 0; i < ticksBefore; ++i) {
        flash.OnTimer();
    }
    const QString showing = label.styleSheet();
    flash.Stop();
    QVERIFY(!innerTimer(flash)->isActive());
    QCOMPARE(label.styleSheet(), showing); // stopping changes nothing on screen
    flash.Restart();
    QTimer* timer = innerTimer(flash);
    QVERIFY(timer->isActive());
    QVERIFY(timer->remainingTime() > 900);
    QSignalSpy ticks(timer, SIGNAL(timeout()));
    QVERIFY(ticks.wait(1500));
    QCOMPARE(label.styleSheet(), First);
    flash.OnTimer();
    QCOMPARE(label.styleSheet(), Second);
}

void TestLedStatusTimer::restartAloneKeepsPhase()
{
    QLabel label;
    LedStatusTimer flash(&label, First, Second);
    QTest::qWait(400);
    flash.Restart();
    QVERIFY(innerTimer(flash)->remainingTime() > 900); // the interval starts afresh
    flash.OnTimer();
    QCOMPARE(label.styleSheet(), Second);
}

void TestLedStatusTimer::stopHaltsTicks()
{
    QLabel label;
    LedStatusTimer flash(&label, First, Second);
    flash.Stop();
    QSignalSpy ticks(innerTimer(flash), SIGNAL(timeout()));
    QTest::qWait(1300);
    QCOMPARE(ticks.count(), 0);
    QCOMPARE(label.styleSheet(), First);
}

void TestLedStatusTimer::deletingLeavesLastStyle()
{
    QLabel label;
    label.setStyleSheet(QStringLiteral("QLabel{background: blue}"));
    QPointer<LedStatusTimer> flash = new LedStatusTimer(&label, First, Second);
    flash->OnTimer();
    QCOMPARE(label.styleSheet(), Second);
    delete flash;
    QVERIFY(flash.isNull());
    QCOMPARE(label.styleSheet(), Second);
    QTest::qWait(1200); // no tick of a deleted timer reaches the label
    QCOMPARE(label.styleSheet(), Second);
}

void TestLedStatusTimer::cleanupTestCase()
{
    QTRY_VERIFY(QApplication::topLevelWidgets().isEmpty());
}

QTEST_MAIN(TestLedStatusTimer)
#include "tst_LedStatusTimer.moc"
