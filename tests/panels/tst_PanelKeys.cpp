// The panels' input keys against the device simulator on 127.0.0.1: a click presses the device's
// A/B key and announces it; refused presses announce nothing; the click filter.
#include "DeviceSimulator.h"
#include "DiveVodNetClient.h"
#include "DiveVodResources.h"
#include "PanelFixture.h"
#include "StatusPanelLogic.h"

#include <QSignalSpy>

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
    void clickFilter_data();
    void clickFilter();
    void refusedPressAnnouncesNothing();
    void nothingToPress_data() { kindsData(); }
    void nothingToPress();

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
    QVERIFY(button && button->isEnabled());
    button->click();
}

QList<int> TestPanelKeys::keyRequests() const
{
    QList<int> keys;
    for (const DeviceSimulator::Received& r : sim->received()) {
        if (r.type == SetABKeyStateType)
            keys << quint8(r.frame.at(11)); // the one payload byte
    }
    return keys;
}

void TestPanelKeys::clickPressesKey_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("key");
    QTest::addColumn<int>("bit"); // 0: the key is inert
    for (int i = 0; i < 6; ++i) {
        const QString key = QStringLiteral("pushButtonIN%1").arg(i + 1);
        QTest::addRow("2x1 %s", qPrintable(key)) << "2x1" << key << (1 << i);
        // The 4x1 front panel has no fifth input: its key does nothing.
        QTest::addRow("4x1 %s", qPrintable(key)) << "4x1" << key << (i == 4 ? 0 : 1 << i);
    }
}

void TestPanelKeys::clickPressesKey()
{
    QFETCH(QString, kind);
    QFETCH(QString, key);
    QFETCH(int, bit);
    PanelUnderTest p = PanelUnderTest::Make(kind, client.get());
    p.setKeysEnabled(true);
    AcoGpioInfo info = darkRecord();
    info.keyMask = 0x01;
    p.apply(info);
    const QMap<QString, QString> looks = snapshot(p);
    QSignalSpy announced(p.widget.get(), SIGNAL(RemoteABKey(int)));
    const quint8 maskBefore = sim->state().keyMask;
    clickAt(p, key, 1500);
    QTest::qWait(bit ? 0 : 100); // give a stray request time to arrive
    QCOMPARE(keyRequests(), bit ? QList<int>({ bit }) : QList<int>());
    QCOMPARE(int(sim->state().keyMask), maskBefore ^ bit);
    QCOMPARE(announced.count(), bit ? 1 : 0);
    if (bit)
        QCOMPARE(announced.at(0).at(0).toInt(), bit);
    QCOMPARE(snapshot(p), looks); // the look waits for the device's next record
    // Pressed or not, it was the last click: another key 500 ms later is filtered out, a second later it goes.
    clickAt(p, "pushButtonIN2", 500);
    clickAt(p, "pushButtonIN2", 1000);
    QCOMPARE(keyRequests().mid(bit ? 1 : 0), QList<int>({ 2 }));
}

void TestPanelKeys::clickFilter_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QList<int>>("gaps"); // ms since the previous click (the first: since construction)
    QTest::addColumn<QList<int>>("requested"); // indexes of the clicks that reach the device
    for (const QString kind : { "2x1", "4x1" }) {
        QTest::addRow("%s right after construction", qPrintable(kind))
            << kind << QList<int> { 300, 1000 } << QList<int> { 1 };
        QTest::addRow("%s 999 ms is too soon", qPrintable(kind))
            << kind << QList<int> { 1000, 999, 1000 } << QList<int> { 0, 2 };
        QTest::addRow("%s exactly 1000 ms", qPrintable(kind))
            << kind << QList<int> { 1000, 1000, 1000 } << QList<int> { 0, 1, 2 };
        QTest::addRow("%s ignored click counts as previous", qPrintable(kind))
            << kind << QList<int> { 2000, 500, 700, 1100 } << QList<int> { 0, 3 };
        // Past midnight the time of day is smaller: the difference is negative and the click ignored.
        QTest::addRow("%s earlier time of day", qPrintable(kind))
            << kind << QList<int> { 1500, -1500, 1000 } << QList<int> { 0, 2 };
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
    const int bits[] = { 1, 2, 4, 8, 32 };
    QList<int> expected, got;
    for (int i = 0; i < gaps.size(); ++i) {
        const int bit = bits[i % 5];
        clickAt(p, QStringLiteral("pushButtonIN%1").arg(qCountTrailingZeroBits(quint32(bit)) + 1), gaps[i]);
        if (requested.contains(i))
            expected << bit;
    }
    QCOMPARE(keyRequests(), expected);
    for (const auto& signal : announced)
        got << signal.at(0).toInt();
    QCOMPARE(got, expected);
}

void TestPanelKeys::refusedPressAnnouncesNothing()
{
    PanelUnderTest p = PanelUnderTest::Make("2x1", client.get());
    p.setKeysEnabled(true);
    QSignalSpy announced(p.widget.get(), SIGNAL(RemoteABKey(int)));
    const quint8 maskBefore = sim->state().keyMask;
    sim->setFault(DeviceSimulator::Fault::ErrorCode, 1, 1);
    clickAt(p, "pushButtonIN2", 1500);
    QCOMPARE(keyRequests(), QList<int>({ 2 })); // asked once, refused
    QCOMPARE(sim->state().keyMask, maskBefore);
    QCOMPARE(announced.count(), 0);
    // The device answers normally again: the next press goes through.
    clickAt(p, "pushButtonIN2", 1500);
    QCOMPARE(keyRequests(), QList<int>({ 2, 2 }));
    QCOMPARE(announced.count(), 1);
}

void TestPanelKeys::nothingToPress()
{
    QFETCH(QString, kind);
    // Without a client the keys do nothing; called directly rather than by a key, there is no key bit.
    PanelUnderTest none = PanelUnderTest::Make(kind, nullptr);
    PanelUnderTest p = PanelUnderTest::Make(kind, client.get());
    none.setKeysEnabled(true);
    QSignalSpy announcedNone(none.widget.get(), SIGNAL(RemoteABKey(int)));
    QSignalSpy announced(p.widget.get(), SIGNAL(RemoteABKey(int)));
    for (int i = 1; i <= 6; ++i)
        clickAt(none, QStringLiteral("pushButtonIN%1").arg(i), 1500);
    fakeNow = fakeNow.addMSecs(1500);
    QVERIFY(QMetaObject::invokeMethod(p.widget.get(), "OnSetABKeyState"));
    QTest::qWait(100);
    QVERIFY(keyRequests().isEmpty());
    QCOMPARE(announcedNone.count() + announced.count(), 0);
}

QTEST_MAIN(TestPanelKeys)
#include "tst_PanelKeys.moc"
