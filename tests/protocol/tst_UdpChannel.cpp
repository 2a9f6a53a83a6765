// The UDP exchange against a scripted loopback peer: answers of every kind, time-out settings,
// answers for another request (never handed out), closing, and waking a waiting exchange.
#include "MessageCatalog.h"
#include "RequestAuthentication.h"
#include "RequestHello.h"
#include "ResponseGetACOGPIOInfo.h"
#include "ResponseGetPhaseAlignState.h"
#include "ScriptedPeer.h"
#include "SimpleRequest.h"
#include "SimpleResponse.h"
#include "TestFrames.h"
#include "UdpChannel.h"

#include <QDir>
#include <QElapsedTimer>
#include <QtTest>

#include <memory>
#include <thread>

namespace {

QByteArray hex(const char* text)
{
    return QByteArray::fromHex(QByteArray(text).replace(' ', ""));
}

// Answers every request with its own type and sequence (shifted by sequenceShift) and this payload.
ScriptedPeer::Script answerAll(const QByteArray& payload, quint32 errorCode = 0, int sequenceShift = 0)
{
    return [=](int, const QByteArray& request) {
        return ScriptedPeer::reply(TestFrames::response(
            TestFrames::type(request), errorCode, quint16(TestFrames::sequence(request) + sequenceShift), payload));
    };
}

int openFileCount()
{
    return QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).size();
}

enum Answer { Gpio, Error12, ShortFrame, ShortFrameOtherSequence, WrongChecksum, Empty, OversizeThenPhase, FromOtherHost };

} // namespace

class TestUdpChannel : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void answers_data();
    void answers();
    void receiveTimeoutFollowsRequest();
    void firstDatagramWins();
    void sequenceMismatchAsksAgainFromNewPort();
    void closeAndReopen();
    void refusedRequestsSendNothing();
    void interruptWakesWaitingExchange();

private:
    // Exchanges `request` once (one resend allowed); the answer object, if any, goes to `response`.
    int exchange(RequestMsg& request, std::unique_ptr<ResponseMsg>& response);

    std::unique_ptr<ScriptedPeer> peer;
    std::unique_ptr<UdpChannel> channel;
};

void TestUdpChannel::init()
{
    peer.reset(new ScriptedPeer);
    QVERIFY(peer->start("127.0.0.1", "127.0.0.2"));
    channel.reset(new UdpChannel);
    QCOMPARE(channel->open("127.0.0.1", peer->port()), 0);
    QVERIFY(channel->isOpen());
}

void TestUdpChannel::cleanup()
{
    channel.reset();
    peer.reset();
}

int TestUdpChannel::exchange(RequestMsg& request, std::unique_ptr<ResponseMsg>& response)
{
    ResponseMsg* raw = nullptr;
    const int result = channel->exchange(request, &raw, 1);
    response.reset(raw);
    return result;
}

void TestUdpChannel::answers_data()
{
    QTest::addColumn<int>("answer");
    QTest::addColumn<int>("result");
    QTest::addColumn<QString>("decoded"); // class and field, "" for no answer object
    QTest::addColumn<int>("sends");
    // clang-format off
    QTest::newRow("typed answer")                 << int(Gpio)              << 0  << "gpio 9"     << 1;
    QTest::newRow("error code: plain answer")     << int(Error12)           << 0  << "simple 12"  << 1;
    QTest::newRow("11-byte frame: plain answer")  << int(ShortFrame)        << 0  << "simple 0"   << 1;
    QTest::newRow("11-byte frame, other sequence")<< int(ShortFrameOtherSequence) << -1 << ""     << 2;
    QTest::newRow("wrong checksum, no resend")    << int(WrongChecksum)     << -1 << "phase 0"    << 1;
    QTest::newRow("empty datagram, no resend")    << int(Empty)             << -1 << ""           << 1;
    QTest::newRow("oversize counts as none")      << int(OversizeThenPhase) << 0  << "phase 2"    << 2;
    QTest::newRow("answer from another host")     << int(FromOtherHost)     << 0  << "phase 2"    << 1;
    // clang-format on
}

void TestUdpChannel::answers()
{
    QFETCH(int, answer);
    QFETCH(int, result);
    QFETCH(QString, decoded);
    QFETCH(int, sends);
    peer->setScript([answer](int index, const QByteArray& request) {
        const int type = TestFrames::type(request);
        const quint16 seq = TestFrames::sequence(request);
        ScriptedPeer::Answer reply = ScriptedPeer::reply(TestFrames::response(type, 0, seq, hex("02")));
        switch (answer) {
        case Gpio:
            return ScriptedPeer::reply(TestFrames::response(type, 0, seq, hex("0101 00 01 00 09 00 09 000000")));
        case Error12:
            return ScriptedPeer::reply(TestFrames::response(type, 12, seq, hex("0101 00 01 00 09 00 09 000000")));
        case ShortFrame: // its last byte is the checksum and the low byte of sequence 77
            return ScriptedPeer::reply(hex("0009 01 00a8 00000000 004d"));
        case ShortFrameOtherSequence: // reads as sequence 0x00f2: no answer to this request
            return ScriptedPeer::reply(TestFrames::withChecksum(hex("0009010003 00000000 00")));
        case WrongChecksum:
            reply.datagram[reply.datagram.size() - 1] = char(reply.datagram.at(reply.datagram.size() - 1) + 1);
            return reply;
        case Empty:
            return ScriptedPeer::reply(QByteArray());
        case OversizeThenPhase:
            return index == 0 ? ScriptedPeer::reply(QByteArray(1100, '\x01')) : reply;
        default:
            reply.kind = ScriptedPeer::Answer::ReplyFromOtherHost;
            return reply;
        }
    });
    SimpleRequest<63> gpio(0x11223344, 77);
    SimpleRequest<71> phase(1, 77);
    QElapsedTimer timer;
    timer.start();
    std::unique_ptr<ResponseMsg> response;
    QCOMPARE(exchange(answer <= ShortFrameOtherSequence ? static_cast<RequestMsg&>(gpio) : phase, response), result);
    QVERIFY2(timer.elapsed() < 1500, "an answer of any kind ends the wait at once");
    QString got;
    if (auto* g = dynamic_cast<ResponseGetACOGPIOInfo*>(response.get()))
        got = QString("gpio %1").arg(g->keyMask());
    else if (auto* p = dynamic_cast<ResponseGetPhaseAlignState*>(response.get()))
        got = QString("phase %1").arg(p->state());
    else if (auto* s = dynamic_cast<SimpleResponse*>(response.get()))
        got = QString("simple %1").arg(s->errorCode());
    QCOMPARE(got, decoded);
    QTest::qWait(50);
    const auto sent = peer->received();
    QCOMPARE(sent.size(), sends);
    QCOMPARE(sent.last().data, sent.first().data);
    if (answer == Gpio) {
        QCOMPARE(response->sequence(), quint16(77));
        QCOMPARE(sent.first().data.toHex(' '), hex("000a01003f 11223344 004d be").toHex(' '));
    }
}

void TestUdpChannel::receiveTimeoutFollowsRequest()
{
    peer->setScript(answerAll(QByteArray()));
    QCOMPARE(channel->receiveTimeoutMs(), 0);
    RequestHello hello(0, 1);
    SimpleRequest<71> phase(5, 2);
    const int expected[] = { 1000, 2000, 2000, 1000 };
    for (int i = 0; i < 4; ++i) {
        std::unique_ptr<ResponseMsg> response;
        QCOMPARE(exchange(i % 3 == 0 ? static_cast<RequestMsg&>(hello) : phase, response), 0);
        QCOMPARE(channel->receiveTimeoutMs(), expected[i]);
    }
    QCOMPARE(peer->receivedCount(), 4);
}

void TestUdpChannel::firstDatagramWins()
{
    // Another host answers first with state 2, the device right after with state 1.
    peer->setScript([](int index, const QByteArray& request) {
        const quint16 seq = TestFrames::sequence(request);
        if (index > 0)
            return ScriptedPeer::reply(TestFrames::response(71, 0, seq, hex("03")));
        ScriptedPeer::Answer answer;
        answer.kind = ScriptedPeer::Answer::ReplyFromBoth;
        answer.otherDatagram = TestFrames::response(71, 0, seq, hex("02"));
        answer.datagram = TestFrames::response(71, 0, seq, hex("01"));
        return answer;
    });
    SimpleRequest<71> first(1, 20);
    std::unique_ptr<ResponseMsg> response;
    QCOMPARE(exchange(first, response), 0);
    QCOMPARE(int(dynamic_cast<ResponseGetPhaseAlignState&>(*response).state()), 2);

    // The device's answer still waits on the socket when the next request goes out: it is
    // dropped unread, and the next request gets its own answer on the same socket.
    QTest::qWait(50);
    SimpleRequest<71> second(1, 21);
    QCOMPARE(exchange(second, response), 0);
    QCOMPARE(response->sequence(), quint16(21));
    QCOMPARE(int(dynamic_cast<ResponseGetPhaseAlignState&>(*response).state()), 3);
    const auto sent = peer->received();
    QCOMPARE(sent.size(), 2);
    QCOMPARE(sent.at(1).sourcePort, sent.at(0).sourcePort);
}

void TestUdpChannel::sequenceMismatchAsksAgainFromNewPort()
{
    // Every other answer carries the next sequence, as a doubled or late answer to another request would.
    peer->setScript([](int index, const QByteArray& request) {
        const quint16 seq = quint16(TestFrames::sequence(request) + (index % 2 == 0 ? 1 : 0));
        return ScriptedPeer::reply(TestFrames::response(71, 0, seq, hex("01")));
    });
    SimpleRequest<71> first(1, 30);
    std::unique_ptr<ResponseMsg> response;
    QTest::ignoreMessage(QtDebugMsg, "Id not eauque 71,71");
    QCOMPARE(exchange(first, response), 0);
    QCOMPARE(response->sequence(), quint16(30));
    QCOMPARE(channel->receiveTimeoutMs(), 2000); // the new socket waits as long
    auto sent = peer->received();
    QCOMPARE(sent.size(), 2);
    QCOMPARE(sent.at(1).data, sent.at(0).data);
    QVERIFY(sent.at(1).sourcePort != sent.at(0).sourcePort);

    // Without a resend left, the stray answer is no answer at all.
    SimpleRequest<71> second(1, 31);
    ResponseMsg* raw = nullptr;
    QTest::ignoreMessage(QtDebugMsg, "Id not eauque 71,71");
    QCOMPARE(channel->exchange(second, &raw, 0), -1);
    QVERIFY(!raw);
    QTest::qWait(50);
    sent = peer->received();
    QCOMPARE(sent.size(), 3);
    QCOMPARE(channel->localPort(), 0); // moved on to a new socket, not yet used
}

void TestUdpChannel::closeAndReopen()
{
    peer->setScript(answerAll(hex("01")));
    SimpleRequest<71> request(1, 40);
    std::unique_ptr<ResponseMsg> response;
    UdpChannel never;
    ResponseMsg* raw = nullptr;
    QCOMPARE(never.exchange(request, &raw, 1), -1);
    QVERIFY(!raw);

    const int before = openFileCount();
    for (int i = 0; i < 5; ++i)
        QCOMPARE(channel->open("127.0.0.1", peer->port()), 0); // re-opening does not leak
    QCOMPARE(openFileCount(), before);
    channel->close();
    channel->close();
    QCOMPARE(openFileCount(), before - 1);
    QVERIFY(!channel->isOpen());
    channel->interrupt(); // nothing to wake on a closed channel
    QCOMPARE(exchange(request, response), -1);
    QVERIFY(!response);
    QCOMPARE(channel->receiveTimeoutMs(), -1);
    QCOMPARE(channel->localPort(), 0);
    QTest::qWait(50);
    QCOMPARE(peer->receivedCount(), 0);

    QCOMPARE(channel->open("127.0.0.1", peer->port()), 0);
    QCOMPARE(exchange(request, response), 0);
}

void TestUdpChannel::refusedRequestsSendNothing()
{
    peer->setScript(answerAll(hex("00000001")));
    RequestAuthentication request(0, 43);
    request.setUserName("admin");
    request.setPassword(QByteArray(256, 'p'));
    std::unique_ptr<ResponseMsg> response;
    QCOMPARE(exchange(request, response), -1);
    QVERIFY(!response);

    // An address that does not parse would be all ones: nothing may go out, at once.
    UdpChannel bad;
    QCOMPARE(bad.open("not.an.address", peer->port()), 0);
    SimpleRequest<71> phase(1, 42);
    ResponseMsg* raw = nullptr;
    QElapsedTimer timer;
    timer.start();
    QCOMPARE(bad.exchange(phase, &raw, 1), -1);
    QVERIFY(timer.elapsed() < 500);
    QVERIFY(!raw);
    QTest::qWait(50);
    QCOMPARE(peer->receivedCount(), 0);
}

void TestUdpChannel::interruptWakesWaitingExchange()
{
    peer->setScript([](int, const QByteArray&) { return ScriptedPeer::silent(); });
    std::atomic<int> result { 1 };
    std::atomic<qint64> tookMs { 0 };
    ResponseMsg* response = nullptr;
    std::thread worker([&] {
        QElapsedTimer timer;
        timer.start();
        SimpleRequest<63> request(1, 50);
        result = channel->exchange(request, &response, 1);
        tookMs = timer.elapsed();
    });
    QTRY_COMPARE_WITH_TIMEOUT(peer->receivedCount(), 1, 1000);
    QTest::qWait(100);
    channel->interrupt();
    worker.join();
    QCOMPARE(result.load(), -1);
    QVERIFY(!response);
    QVERIFY2(tookMs < 1500, qPrintable(QString::number(tookMs)));
    // The interrupted socket refuses to send: the resend never left.
    QTest::qWait(50);
    QCOMPARE(peer->receivedCount(), 1);
}

QTEST_GUILESS_MAIN(TestUdpChannel)
#include "tst_UdpChannel.moc"
