// The panels' input keys against the device simulator on 127.0.0.1: a click presses the device's
// A/B key and announces it; refused or unanswered presses announce nothing; the click filter.
#include "DeviceSimulator.h"
#include "DiveVodNetClient.h"
#include "DiveVodResources.h"
#include "PanelFixture.h"
#include "PanelStyles.h"
#include "StatusPanelLogic.h"

#include <QElapsedTimer>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

#include <memory>

namespace {

const int SetABKeyStateType = 72;

QTime fakeNow;

QTime fakeClock()
{
    return fakeNow;
}

} // namespace

class TestPanelKeys : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void cleanupTestCase();

    void clickPressesKey_data();
    void clickPressesKey();
    void clickKeepsLook();
    void fifthKeyOf4x1IsInert();
    void clickFilter_data();
    void clickFilter();
    void earlierTimeOfDayIsIgnored();
    void refusedPressAnnouncesNothing_data();
    void refusedPressAnnouncesNothing();
    void unansweredPressAnnouncesNothing();
    void withoutClientNothingHappens_data();
    void withoutClientNothingHappens();
    void callWithoutButtonPressesNothing();

private:
    // Clicks the key `afterMs` after the previous fake instant.
    void clickAt(PanelUnderTest& p, const QString& key, int afterMs);
    QList<int> keyRequests() const; // key bytes of the SetABKeyState requests the device received

    std::unique_ptr<DeviceSimulator> sim;
    std::unique_ptr<DiveVodNetClient> client;
};

void TestPanelKeys::initTestCase()
{
    initDiveVodResources();
}

void TestPanelKeys::init()
{
    fakeNow = QTime(10, 0, 0);
    StatusPanelLogic::SetClock(&fakeClock);
    sim = std::make_unique<DeviceSimulator>();
    QVERIFY(sim->start(QStringLiteral("127.0.0.1"), 0));
    client = std::make_unique<DiveVodNetClient>();
    QCOMPARE(client->OpenChannel(sim->address(), sim->port()), 0);
    client->SetLoginInfo(0, QStringLiteral("123456"));
    QCOMPARE(client->Authenticate(), 0);
    sim->clearReceived();
}

void TestPanelKeys::cleanup()
{
    StatusPanelLogic::SetClock(nullptr);
    if (client) {
        client->CloseChannel();
    }
    client.reset();
    sim.reset();
}

void TestPanelKeys::cleanupTestCase()
{
    QTRY_VERIFY(QApplication::topLevelWidgets().isEmpty());
}

void TestPanelKeys::clickAt(PanelUnderTest& p, const QString& key, int afterMs)
{
    fakeNow = fakeNow.addMSecs(afterMs);
    QAbstractButton* button = p.button(key);
    QVERIFY(button);
    QVERIFY(button->isEnabled());
    button->click();
}

QList<int> TestPanelKeys::keyRequests() const
{
    QList<int> keys;
    for (const DeviceSimulator::Received& r : sim->received()) {
        if (r.type == SetABKeyStateType) {
            keys << static_cast<quint8>(r.frame.at(11)); // the one payload byte
        }
    }
    return keys;
}

void TestPanelKeys::clickPressesKey_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("key");
    QTest::addColumn<int>("bit");
    for (int i = 0; i < 6; ++i) {
        const QString key = QStringLiteral("pushButtonIN%1").arg(i + 1);
        QTest::addRow("2x1 %s", qPrintable(key)) << "2x1" << key << (1 << i);
        if (i != 4) {
            QTest::addRow("4x1 %s", qPrintable(key)) << "4x1" << key << (1 << i);
        }
    }
}

void TestPanelKeys::clickPressesKey()
{
    QFETCH(QString, kind);
    QFETCH(QString, key);
    QFETCH(int, bit);
    PanelUnderTest p = PanelUnderTest::Make(kind, client.get());
    p.setKeysEnabled(true);
    QSignalSpy announced(p.widget.get(), SIGNAL(RemoteABKey(int)));
    const quint8 maskBefore = sim->state().keyMask;

    clickAt(p, key, 1500);
    QCOMPARE(keyRequests(), QList<int>({ bit }));
    QCOMPARE(int(sim->state().keyMask), maskBefore ^ bit);
    QCOMPARE(announced.count(), 1);
    QCOMPARE(announced.at(0).at(0).toInt(), bit);

    // The same key once more, later: pressed again, toggled back.
    clickAt(p, key, 1000);
    QCOMPARE(keyRequests(), QList<int>({ bit, bit }));
    QCOMPARE(int(sim->state().keyMask), int(maskBefore));
    QCOMPARE(announced.count(), 2);
}

void TestPanelKeys::clickKeepsLook()
{
    PanelUnderTest p = PanelUnderTest::Make("2x1", client.get());
    p.setKeysEnabled(true);
    AcoGpioInfo info = darkRecord();
    info.keyMask = 0x01;
    p.apply(info);
    clickAt(p, "pushButtonIN1", 1500);
    clickAt(p, "pushButtonIN2", 1500);
    QCOMPARE(keyRequests(), QList<int>({ 1, 2 }));
    QCOMPARE(p.style("pushButtonIN1"), KEY_ACTIVE);
    QCOMPARE(p.style("pushButtonIN2"), KEY_IDLE);
}

void TestPanelKeys::fifthKeyOf4x1IsInert()
{
    PanelUnderTest p = PanelUnderTest::Make("4x1", client.get());
    p.setKeysEnabled(true);
    QSignalSpy announced(p.widget.get(), SIGNAL(RemoteABKey(int)));
    const quint8 maskBefore = sim->state().keyMask;

    clickAt(p, "pushButtonIN5", 1500);
    QTest::qWait(100); // give a stray request time to arrive
    QVERIFY(keyRequests().isEmpty());
    QCOMPARE(sim->state().keyMask, maskBefore);
    QCOMPARE(announced.count(), 0);

    // It still counts as the last click: another key 500 ms later is filtered out...
    clickAt(p, "pushButtonIN1", 500);
    QVERIFY(keyRequests().isEmpty());
    QCOMPARE(announced.count(), 0);
    // ...and one a second after that goes through.
    clickAt(p, "pushButtonIN1", 1000);
    QCOMPARE(keyRequests(), QList<int>({ 1 }));
    QCOMPARE(announced.count(), 1);

    // The 2x1 panel's fifth key is a real key.
    PanelUnderTest two = PanelUnderTest::Make("2x1", client.get());
    two.setKeysEnabled(true);
    QSignalSpy announcedTwo(two.widget.get(), SIGNAL(RemoteABKey(int)));
    clickAt(two, "pushButtonIN5", 1500);
    QCOMPARE(keyRequests(), QList<int>({ 1, 16 }));
    QCOMPARE(announcedTwo.count(), 1);
    QCOMPARE(announcedTwo.at(0).at(0).toInt(), 16);
}

void TestPanelKeys::clickFilter_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QList<int>>("gaps"); // ms since the previous click (the first: since construction)
    QTest::addColumn<QList<int>>("requested"); // indexes of the clicks that reach the device
    for (const QString& kind : QStringList { "2x1", "4x1" }) {
        QTest::addRow("%s right after construction", qPrintable(kind))
            << kind << QList<int> { 300, 1000 } << QList<int> { 1 };
        QTest::addRow("%s 999 ms is too soon", qPrintable(kind))
            << kind << QList<int> { 1000, 999, 1000 } << QList<int> { 0, 2 };
        QTest::addRow("%s exactly 1000 ms", qPrintable(kind))
            << kind << QList<int> { 1000, 1000, 1000 } << QList<int> { 0, 1, 2 };
        QTest::addRow("%s ignored click counts as previous", qPrintable(kind))
            << kind << QList<int> { 2000, 500, 700, 1100 } << QList<int> { 0, 3 };
        QTest::addRow("%s burst", qPrintable(kind))
            << kind << QList<int> { 1200, 100, 100, 100, 100, 999, 1000 } << QList<int> { 0, 6 };
    }
}

void TestPanelKeys::clickFilter()
{
    QFETCH(QString, kind);
    QFETCH(QList<int>, gaps);
    QFETCH(QList<int>, requested);
    PanelUnderTest p = PanelUnderTest::Make(kind, client.get());
    p.setKeysEnabled(true);
    QSignalSpy announced(p.widget.get(), SIGNAL(RemoteABKey(int)));
    const QStringList keys = { "pushButtonIN1", "pushButtonIN2", "pushButtonIN3", "pushButtonIN4", "pushButtonIN6" };
    const int bits[] = { 1, 2, 4, 8, 32 };
    QList<int> expected;
    for (int i = 0; i < gaps.size(); ++i) {
        clickAt(p, keys[i % keys.size()], gaps[i]);
        if (requested.contains(i)) {
            expected << bits[i % keys.size()];
        }
    }
    QCOMPARE(keyRequests(), expected);
    QCOMPARE(announced.count(), expected.size());
    for (int i = 0; i < expected.size(); ++i) {
        QCOMPARE(announced.at(i).at(0).toInt(), expected.at(i));
    }
}

void TestPanelKeys::earlierTimeOfDayIsIgnored()
{
    for (const QString& kind : QStringList { "2x1", "4x1" }) {
        sim->clearReceived();
        fakeNow = QTime(23, 59, 58, 0);
        PanelUnderTest p = PanelUnderTest::Make(kind, client.get());
        p.setKeysEnabled(true);
        QSignalSpy announced(p.widget.get(), SIGNAL(RemoteABKey(int)));
        clickAt(p, "pushButtonIN1", 1500); // 23:59:59.500
        QCOMPARE(keyRequests(), QList<int>({ 1 }));
        // Past midnight the time of day is smaller: the difference is negative and the click ignored,
        // although 1.5 s have really passed.
        fakeNow = QTime(0, 0, 1, 0);
        p.button("pushButtonIN2")->click();
        QCOMPARE(keyRequests(), QList<int>({ 1 }));
        QCOMPARE(announced.count(), 1);
        // It became the last click all the same.
        clickAt(p, "pushButtonIN2", 1000);
        QCOMPARE(keyRequests(), QList<int>({ 1, 2 }));
        QCOMPARE(announced.count(), 2);
    }
}

void TestPanelKeys::refusedPressAnnouncesNothing_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<quint32>("errorCode");
    QTest::newRow("2x1 failed") << "2x1" << 1u;
    QTest::newRow("4x1 failed") << "4x1" << 1u;
    QTest::newRow("2x1 unsupported") << "2x1" << 3u;
}

void TestPanelKeys::refusedPressAnnouncesNothing()
{
    QFETCH(QString, kind);
    QFETCH(quint32, errorCode);
    PanelUnderTest p = PanelUnderTest::Make(kind, client.get());
    p.setKeysEnabled(true);
    QSignalSpy announced(p.widget.get(), SIGNAL(RemoteABKey(int)));
    const quint8 maskBefore = sim->state().keyMask;
    const QString styleBefore = p.style("pushButtonIN2");

    sim->setFault(DeviceSimulator::Fault::ErrorCode, 1, errorCode);
    clickAt(p, "pushButtonIN2", 1500);
    QCOMPARE(keyRequests(), QList<int>({ 2 })); // asked once, refused
    QCOMPARE(sim->state().keyMask, maskBefore);
    QCOMPARE(announced.count(), 0);
    QCOMPARE(p.style("pushButtonIN2"), styleBefore);

    // The device answers normally again: the next press goes through.
    clickAt(p, "pushButtonIN2", 1500);
    QCOMPARE(keyRequests(), QList<int>({ 2, 2 }));
    QCOMPARE(announced.count(), 1);
}

void TestPanelKeys::unansweredPressAnnouncesNothing()
{
    // One panel only: each unanswered press blocks for the exchange's two waits of 2 s.
    PanelUnderTest p = PanelUnderTest::Make("2x1", client.get());
    p.setKeysEnabled(true);
    QSignalSpy announced(p.widget.get(), SIGNAL(RemoteABKey(int)));
    const quint8 maskBefore = sim->state().keyMask;

    sim->setAnswering(false);
    QElapsedTimer clock;
    clock.start();
    clickAt(p, "pushButtonIN3", 1500);
    const qint64 blocked = clock.elapsed();
    QVERIFY2(blocked >= 3500 && blocked < 6000, qPrintable(QString::number(blocked)));
    QCOMPARE(keyRequests(), QList<int>({ 4, 4 })); // sent and resent once
    QCOMPARE(sim->state().keyMask, maskBefore);
    QCOMPARE(announced.count(), 0);

    sim->setAnswering(true);
    clickAt(p, "pushButtonIN3", 1500);
    QCOMPARE(keyRequests(), QList<int>({ 4, 4, 4 }));
    QCOMPARE(announced.count(), 1);
    QCOMPARE(int(sim->state().keyMask), maskBefore ^ 4);
}

void TestPanelKeys::withoutClientNothingHappens_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("2x1") << "2x1";
    QTest::newRow("4x1") << "4x1";
}

void TestPanelKeys::withoutClientNothingHappens()
{
    QFETCH(QString, kind);
    PanelUnderTest p = PanelUnderTest::Make(kind, nullptr);
    p.setKeysEnabled(true);
    QSignalSpy announced(p.widget.get(), SIGNAL(RemoteABKey(int)));
    for (int i = 1; i <= 6; ++i) {
        clickAt(p, QStringLiteral("pushButtonIN%1").arg(i), 1500);
    }
    QTest::qWait(100);
    QCOMPARE(announced.count(), 0);
    QVERIFY(keyRequests().isEmpty());
}

void TestPanelKeys::callWithoutButtonPressesNothing()
{
    // Called directly rather than by a key's click: there is no key bit, so nothing is sent.
    PanelUnderTest p = PanelUnderTest::Make("2x1", client.get());
    QSignalSpy announced(p.widget.get(), SIGNAL(RemoteABKey(int)));
    fakeNow = fakeNow.addMSecs(1500);
    QVERIFY(QMetaObject::invokeMethod(p.widget.get(), "OnSetABKeyState"));
    QTest::qWait(100);
    QVERIFY(keyRequests().isEmpty());
    QCOMPARE(announced.count(), 0);
}

QTEST_MAIN(TestPanelKeys)
#include "tst_PanelKeys.moc"
