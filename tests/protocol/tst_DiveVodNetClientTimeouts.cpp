// The device client's real waits: a silent device and a re-login that gets no answer.
#include "DeviceSimulator.h"
#include "DiveVodNetClient.h"
#include "ScriptedPeer.h"
#include "TestFrames.h"

#include <QElapsedTimer>
#include <QtTest>

class TestDiveVodNetClientTimeouts : public QObject
{
    Q_OBJECT

private slots:
    void silentDeviceFailsAfterAboutFourSeconds();
    void reloginWithoutAnswerDoesNotRepeat();
};

void TestDiveVodNetClientTimeouts::silentDeviceFailsAfterAboutFourSeconds()
{
    DeviceSimulator sim;
    QVERIFY(sim.start(QStringLiteral("127.0.0.1"), 0));
    DiveVodNetClient client;
    QCOMPARE(client.OpenChannel(QStringLiteral("127.0.0.1"), sim.port()), 0);
    client.SetLoginInfo(0, QStringLiteral("123456"));
    QCOMPARE(client.Authenticate(), 0);

    sim.setAnswering(false);
    sim.clearReceived();
    quint32 mode = 77;
    QElapsedTimer timer;
    timer.start();
    QCOMPARE(client.GetWorkMode(mode), -1);
    const qint64 took = timer.elapsed();
    QCOMPARE(mode, 77u);
    QVERIFY2(took >= 3900 && took < 5500, qPrintable(QString::number(took)));
    QTest::qWait(50);
    QCOMPARE(sim.receivedCount(3), 2); // the exchange's single resend, nothing more
}

void TestDiveVodNetClientTimeouts::reloginWithoutAnswerDoesNotRepeat()
{
    ScriptedPeer peer;
    QVERIFY(peer.start("127.0.0.1"));
    peer.setScript([](int index, const QByteArray& request) {
        if (index == 0)
            return ScriptedPeer::reply(TestFrames::response(63, 13, TestFrames::sequence(request)));
        return ScriptedPeer::silent();
    });
    DiveVodNetClient client;
    QCOMPARE(client.OpenChannel(QStringLiteral("127.0.0.1"), peer.port()), 0);
    client.SetLoginInfo(1, QStringLiteral("111111"));

    QTest::ignoreMessage(QtDebugMsg, "TTTTTTTTT:13\n");
    AcoGpioInfo info;
    QElapsedTimer timer;
    timer.start();
    QCOMPARE(client.GetAcoGpioInfo(info), -1);
    const qint64 took = timer.elapsed();
    QVERIFY2(took >= 3900 && took < 5500, qPrintable(QString::number(took)));
    QVERIFY(info == AcoGpioInfo());

    QTest::qWait(50);
    const auto frames = peer.received();
    QCOMPARE(frames.size(), 3); // the request, the login and its one resend
    QCOMPARE(TestFrames::type(frames.at(0).data), 63);
    QCOMPARE(TestFrames::type(frames.at(1).data), 2);
    QCOMPARE(TestFrames::type(frames.at(2).data), 2);
    QCOMPARE(frames.at(2).data, frames.at(1).data);
}

QTEST_GUILESS_MAIN(TestDiveVodNetClientTimeouts)
#include "tst_DiveVodNetClientTimeouts.moc"
