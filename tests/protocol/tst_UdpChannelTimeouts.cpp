// The exchange's real waits: a silent peer costs two receive time-outs plus the 10 ms pause.
// Kept apart from the fast channel tests so that ctest can run them side by side.
#include "RequestHello.h"
#include "ResponseGetPhaseAlignState.h"
#include "ScriptedPeer.h"
#include "SimpleRequest.h"
#include "TestFrames.h"
#include "UdpChannel.h"

#include <QElapsedTimer>
#include <QtTest>

#include <memory>

class TestUdpChannelTimeouts : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void noAnswerSendsTwiceInAboutFourSeconds();
    void helloNoAnswerInAboutTwoSeconds();
    void answeredOnResend();
    void noRetriesSendsOnce();

private:
    std::unique_ptr<ScriptedPeer> peer;
    UdpChannel channel;
};

void TestUdpChannelTimeouts::init()
{
    peer.reset(new ScriptedPeer);
    QVERIFY(peer->start("127.0.0.1"));
    QCOMPARE(channel.open("127.0.0.1", peer->port()), 0);
}

void TestUdpChannelTimeouts::cleanup()
{
    channel.close();
    peer.reset();
}

void TestUdpChannelTimeouts::noAnswerSendsTwiceInAboutFourSeconds()
{
    peer->setScript([](int, const QByteArray&) { return ScriptedPeer::silent(); });
    SimpleRequest<63> request(3, 100);
    ResponseMsg* response = nullptr;
    QElapsedTimer timer;
    timer.start();
    QCOMPARE(channel.exchange(request, &response, 1), -1);
    const qint64 took = timer.elapsed();
    QVERIFY(!response);
    QVERIFY2(took >= 3900 && took < 5500, qPrintable(QString::number(took)));

    QTest::qWait(50);
    const auto sent = peer->received();
    QCOMPARE(sent.size(), 2);
    QCOMPARE(sent.at(1).data, sent.at(0).data);
    QCOMPARE(sent.at(1).sourcePort, sent.at(0).sourcePort);
    const qint64 gap = sent.at(1).atMs - sent.at(0).atMs;
    QVERIFY2(gap >= 1950 && gap < 2700, qPrintable(QString::number(gap)));
}

void TestUdpChannelTimeouts::helloNoAnswerInAboutTwoSeconds()
{
    peer->setScript([](int, const QByteArray&) { return ScriptedPeer::silent(); });
    RequestHello hello(0, 1);
    ResponseMsg* response = nullptr;
    QElapsedTimer timer;
    timer.start();
    QCOMPARE(channel.exchange(hello, &response, 1), -1);
    const qint64 took = timer.elapsed();
    QVERIFY(!response);
    QVERIFY2(took >= 1950 && took < 3000, qPrintable(QString::number(took)));
    QTest::qWait(50);
    QCOMPARE(peer->receivedCount(), 2);
    QCOMPARE(channel.receiveTimeoutMs(), 1000);
}

void TestUdpChannelTimeouts::answeredOnResend()
{
    peer->setScript([](int index, const QByteArray& request) {
        if (index == 0)
            return ScriptedPeer::silent();
        return ScriptedPeer::reply(
            TestFrames::response(71, 0, TestFrames::sequence(request), QByteArray::fromHex("02")));
    });
    SimpleRequest<71> request(3, 101);
    ResponseMsg* response = nullptr;
    QElapsedTimer timer;
    timer.start();
    QCOMPARE(channel.exchange(request, &response, 1), 0);
    const qint64 took = timer.elapsed();
    std::unique_ptr<ResponseMsg> owner(response);
    auto* phase = dynamic_cast<ResponseGetPhaseAlignState*>(response);
    QVERIFY(phase);
    QCOMPARE(int(phase->state()), 2);
    QVERIFY2(took >= 1950 && took < 3000, qPrintable(QString::number(took)));
    QCOMPARE(peer->receivedCount(), 2);
}

void TestUdpChannelTimeouts::noRetriesSendsOnce()
{
    peer->setScript([](int, const QByteArray&) { return ScriptedPeer::silent(); });
    SimpleRequest<63> request(3, 102);
    ResponseMsg* response = nullptr;
    QElapsedTimer timer;
    timer.start();
    QCOMPARE(channel.exchange(request, &response, 0), -1);
    const qint64 took = timer.elapsed();
    QVERIFY(!response);
    QVERIFY2(took >= 1950 && took < 3000, qPrintable(QString::number(took)));
    QTest::qWait(50);
    QCOMPARE(peer->receivedCount(), 1);
}

QTEST_GUILESS_MAIN(TestUdpChannelTimeouts)
#include "tst_UdpChannelTimeouts.moc"
