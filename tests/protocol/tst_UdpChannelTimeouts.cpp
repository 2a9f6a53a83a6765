// The exchange's real waits: a silent peer costs a receive time-out per send plus the 10 ms pause.
// Kept apart from the fast channel tests so that ctest can run them side by side.
#include "RequestHello.h"
#include "ResponseGetPhaseAlignState.h"
#include "ScriptedPeer.h"
#include "SimpleRequest.h"
#include "TestFrames.h"
#include "UdpChannel.h"

#include <QElapsedTimer>
#include <QtTest>

class TestUdpChannelTimeouts : public QObject
{
    Q_OBJECT

private slots:
    void waits_data();
    void waits();
};

void TestUdpChannelTimeouts::waits_data()
{
    QTest::addColumn<bool>("hello");
    QTest::addColumn<int>("retries");
    QTest::addColumn<int>("answerAt"); // index of the send that is answered, -1 for none
    QTest::addColumn<int>("result");
    QTest::addColumn<int>("minMs");
    QTest::addColumn<int>("maxMs");
    QTest::addColumn<int>("sends");
    // clang-format off
    QTest::newRow("silent: sent twice, 2 x 2 s")  << false << 1 << -1 << -1 << 3900 << 5500 << 2;
    QTest::newRow("Hello silent: 2 x 1 s")        << true  << 1 << -1 << -1 << 1950 << 3000 << 2;
    QTest::newRow("answered on the resend")       << false << 1 << 1  << 0  << 1950 << 3000 << 2;
    QTest::newRow("no retries: sent once")        << false << 0 << -1 << -1 << 1950 << 3000 << 1;
    // clang-format on
}

void TestUdpChannelTimeouts::waits()
{
    QFETCH(bool, hello);
    QFETCH(int, retries);
    QFETCH(int, answerAt);
    QFETCH(int, result);
    QFETCH(int, minMs);
    QFETCH(int, maxMs);
    QFETCH(int, sends);
    ScriptedPeer peer;
    QVERIFY(peer.start("127.0.0.1"));
    peer.setScript([answerAt](int index, const QByteArray& request) {
        if (index != answerAt)
            return ScriptedPeer::silent();
        return ScriptedPeer::reply(TestFrames::response(71, 0, TestFrames::sequence(request), QByteArray(1, '\2')));
    });
    UdpChannel channel;
    QCOMPARE(channel.open("127.0.0.1", peer.port()), 0);
    RequestHello helloRequest(0, 1);
    SimpleRequest<71> phase(3, 100);
    ResponseMsg* response = nullptr;
    QElapsedTimer timer;
    timer.start();
    QCOMPARE(channel.exchange(hello ? static_cast<RequestMsg&>(helloRequest) : phase, &response, retries), result);
    const qint64 took = timer.elapsed();
    std::unique_ptr<ResponseMsg> owner(response);
    QVERIFY2(took >= minMs && took < maxMs, qPrintable(QString::number(took)));
    QCOMPARE(response != nullptr, result == 0);
    if (response)
        QCOMPARE(int(dynamic_cast<ResponseGetPhaseAlignState&>(*response).state()), 2);
    QTest::qWait(50);
    const auto sent = peer.received();
    QCOMPARE(sent.size(), sends);
    QCOMPARE(sent.last().data, sent.first().data);
    QCOMPARE(sent.last().sourcePort, sent.first().sourcePort);
    if (sends == 2 && !hello) {
        const qint64 gap = sent.at(1).atMs - sent.at(0).atMs;
        QVERIFY2(gap >= 1950 && gap < 2700, qPrintable(QString::number(gap)));
    }
}

QTEST_GUILESS_MAIN(TestUdpChannelTimeouts)
#include "tst_UdpChannelTimeouts.moc"
