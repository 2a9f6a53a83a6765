// The UDP exchange against a scripted loopback peer: answers of every kind, the real waits and resends,
// time-out settings, answers for another request (never handed out), closing, and waking a waiting exchange.
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

// Answers every request with its own type and sequence (shifted by sequenceShift) and this payload.
ScriptedPeer::Script answerAll(const QByteArray& payload, quint32 errorCode = 0, int sequenceShift = 0)
{
    return [=](int, const QByteArray& request) {
        return ScriptedPeer::reply(TestFrames::response(TestFrames::type(request), errorCode,
                                                        quint16(TestFrames::sequence(request) + sequenceShift), payload));
    };
}

enum Answer { Gpio, Error12, ShortFrame, ShortFrameOtherSequence, WrongChecksum, Empty, OversizeThenPhase, FromOtherHost };

} // namespace

class TestUdpChannel : public QObject
{
    Q_OBJECT

    std::unique_ptr<ScriptedPeer> peer;
    std::unique_ptr<UdpChannel> channel;

    // Exchanges `request` (one resend allowed); the answer object, if any, goes to `response`.
    int exchange(RequestMsg& request, std::unique_ptr<ResponseMsg>& response, int retries = 1)
    {
        ResponseMsg* raw = nullptr;
        const int result = channel->exchange(request, &raw, retries);
        response.reset(raw);
        return result;
    }
    QString decoded(const ResponseMsg* r)
    {
        if (auto* g = dynamic_cast<const ResponseGetACOGPIOInfo*>(r))
            return QString("gpio %1").arg(g->keyMask());
        if (auto* p = dynamic_cast<const ResponseGetPhaseAlignState*>(r))
            return QString("phase %1").arg(p->state());
        return r ? QString("simple %1").arg(r->errorCode()) : QString();
    }

private slots:
    void init()
    {
        peer.reset(new ScriptedPeer);
        QVERIFY(peer->start("127.0.0.1", "127.0.0.2"));
        channel.reset(new UdpChannel);
        QCOMPARE(channel->open("127.0.0.1", peer->port()), 0);
        QVERIFY(channel->isOpen());
    }
    void cleanup() { channel.reset(), peer.reset(); }

    void answers_data()
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
    void answers()
    {
        QFETCH(int, answer);
        QFETCH(int, result);
        QFETCH(QString, decoded);
        QFETCH(int, sends);
        peer->setScript([answer](int index, const QByteArray& request) {
            const int type = TestFrames::type(request);
            const quint16 seq = TestFrames::sequence(request);
            ScriptedPeer::Answer reply = ScriptedPeer::reply(TestFrames::response(type, 0, seq, QByteArray(1, '\2')));
            if (answer <= Error12)
                reply.datagram = TestFrames::response(type, answer == Error12 ? 12 : 0, seq, QByteArray::fromHex("0101000100090009000000"));
            else if (answer == ShortFrame) // its last byte is the checksum and the low byte of sequence 77
                reply.datagram = QByteArray::fromHex("00090100a800000000004d");
            else if (answer == ShortFrameOtherSequence) // reads as sequence 0x00f2: no answer to this request
                reply.datagram = TestFrames::withChecksum(QByteArray::fromHex("00090100030000000000"));
            else if (answer == WrongChecksum)
                reply.datagram[reply.datagram.size() - 1] = char(reply.datagram.back() + 1);
            else if (answer == Empty || (answer == OversizeThenPhase && index == 0))
                reply.datagram = QByteArray(answer == Empty ? 0 : 1100, '\1');
            reply.kind = answer == FromOtherHost ? ScriptedPeer::Answer::ReplyFromOtherHost : reply.kind;
            return reply;
        });
        SimpleRequest<63> gpio(0x11223344, 77);
        SimpleRequest<71> phase(1, 77);
        QElapsedTimer timer;
        timer.start();
        std::unique_ptr<ResponseMsg> response;
        QCOMPARE(exchange(answer <= ShortFrameOtherSequence ? static_cast<RequestMsg&>(gpio) : phase, response), result);
        QVERIFY2(timer.elapsed() < 1500, "an answer of any kind ends the wait at once");
        QCOMPARE(this->decoded(response.get()), decoded);
        QTest::qWait(50);
        const auto sent = peer->received();
        QCOMPARE(sent.size(), sends);
        QCOMPARE(sent.last().data, sent.first().data);
        if (answer == Gpio) {
            QCOMPARE(response->sequence(), quint16(77));
            QCOMPARE(sent.first().data.toHex(' '), QByteArray::fromHex("000a01003f11223344004dbe").toHex(' '));
        }
    }

    void waits_data()
    {
        QTest::addColumn<bool>("hello");
        QTest::addColumn<int>("retries");
        QTest::addColumn<int>("answerAt"); // index of the send that is answered, -1 for none
        QTest::addColumn<int>("minMs");
        QTest::addColumn<int>("sends");
        QTest::newRow("silent: sent twice, 2 x 2 s") << false << 1 << -1 << 3900 << 2;
        QTest::newRow("Hello silent: 2 x 1 s") << true << 1 << -1 << 1950 << 2;
        QTest::newRow("answered on the resend") << false << 1 << 1 << 1950 << 2;
        QTest::newRow("no retries: sent once") << false << 0 << -1 << 1950 << 1;
    }
    void waits()
    {
        QFETCH(bool, hello);
        QFETCH(int, retries);
        QFETCH(int, answerAt);
        QFETCH(int, minMs);
        QFETCH(int, sends);
        peer->setScript([answerAt](int index, const QByteArray& request) {
            return index != answerAt ? ScriptedPeer::silent()
                                     : ScriptedPeer::reply(TestFrames::response(71, 0, TestFrames::sequence(request), QByteArray(1, '\2')));
        });
        RequestHello helloRequest(0, 1);
        SimpleRequest<71> phase(3, 100);
        std::unique_ptr<ResponseMsg> response;
        QElapsedTimer timer;
        timer.start();
        QCOMPARE(exchange(hello ? static_cast<RequestMsg&>(helloRequest) : phase, response, retries), answerAt < 0 ? -1 : 0);
        QVERIFY2(timer.elapsed() >= minMs && timer.elapsed() < minMs + 1500, qPrintable(QString::number(timer.elapsed())));
        QCOMPARE(decoded(response.get()), answerAt < 0 ? QString() : QString("phase 2"));
        QTest::qWait(50);
        const auto sent = peer->received();
        QCOMPARE(sent.size(), sends);
        QVERIFY(sent.last().data == sent.first().data && sent.last().sourcePort == sent.first().sourcePort);
        if (sends == 2 && !hello) // the resend follows the whole time-out and the 10 ms pause
            QVERIFY2(sent.at(1).atMs - sent.at(0).atMs >= 1800, qPrintable(QString::number(sent.at(1).atMs - sent.at(0).atMs)));
    }

    void receiveTimeoutFollowsRequest()
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
    }

    void firstDatagramWins()
    {
        // Another host answers first with state 2, the device right after with state 1, later ones with 3.
        peer->setScript([](int index, const QByteArray& request) {
            const quint16 seq = TestFrames::sequence(request);
            ScriptedPeer::Answer answer = ScriptedPeer::reply(TestFrames::response(71, 0, seq, QByteArray(1, index ? '\3' : '\1')));
            answer.kind = index ? ScriptedPeer::Answer::Reply : ScriptedPeer::Answer::ReplyFromBoth;
            answer.otherDatagram = TestFrames::response(71, 0, seq, QByteArray(1, '\2'));
            return answer;
        });
        SimpleRequest<71> first(1, 20), second(1, 21);
        std::unique_ptr<ResponseMsg> response;
        QCOMPARE(exchange(first, response), 0);
        QCOMPARE(decoded(response.get()), QStringLiteral("phase 2"));
        // The device's answer still waits on the socket when the next request goes out: it is
        // dropped unread, and the next request gets its own answer on the same socket.
        QTest::qWait(50);
        QCOMPARE(exchange(second, response), 0);
        QCOMPARE(decoded(response.get()) + QString::number(response->sequence()), QStringLiteral("phase 321"));
        const auto sent = peer->received();
        QVERIFY(sent.size() == 2 && sent.at(1).sourcePort == sent.at(0).sourcePort);
    }

    void sequenceMismatchAsksAgainFromNewPort()
    {
        // Every other answer carries the next sequence, as a doubled or late answer to another request would.
        peer->setScript([](int index, const QByteArray& request) {
            return ScriptedPeer::reply(TestFrames::response(71, 0, quint16(TestFrames::sequence(request) + (index % 2 == 0)), QByteArray(1, '\1')));
        });
        SimpleRequest<71> first(1, 30), second(1, 31);
        std::unique_ptr<ResponseMsg> response;
        QTest::ignoreMessage(QtDebugMsg, "Id not eauque 71,71");
        QCOMPARE(exchange(first, response), 0);
        QCOMPARE(response->sequence(), quint16(30));
        QCOMPARE(channel->receiveTimeoutMs(), 2000); // the new socket waits as long
        auto sent = peer->received();
        QVERIFY(sent.size() == 2 && sent.at(1).data == sent.at(0).data && sent.at(1).sourcePort != sent.at(0).sourcePort);
        // Without a resend left, the stray answer is no answer at all.
        QTest::ignoreMessage(QtDebugMsg, "Id not eauque 71,71");
        QCOMPARE(exchange(second, response, 0), -1);
        QVERIFY(!response);
        QTest::qWait(50);
        QCOMPARE(peer->receivedCount(), 3);
        QCOMPARE(channel->localPort(), 0); // moved on to a new socket, not yet used
    }

    void closeAndRefusals()
    {
        peer->setScript(answerAll(QByteArray(1, '\1')));
        SimpleRequest<71> request(1, 40);
        std::unique_ptr<ResponseMsg> response;
        const auto openFiles = [] { return QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).size(); };
        const int before = openFiles();
        for (int i = 0; i < 5; ++i)
            QCOMPARE(channel->open("127.0.0.1", peer->port()), 0); // re-opening does not leak
        QCOMPARE(openFiles(), before);
        channel->close();
        channel->close();
        QCOMPARE(openFiles(), before - 1);
        QVERIFY(!channel->isOpen());
        channel->interrupt(); // nothing to wake on a closed channel
        QCOMPARE(exchange(request, response), -1);
        QVERIFY(!response);
        QCOMPARE(channel->receiveTimeoutMs() + channel->localPort(), -1);

        // An unframable request and an address that does not parse (all ones) send nothing, at once.
        QCOMPARE(channel->open("127.0.0.1", peer->port()), 0);
        RequestAuthentication unframable(0, 43);
        unframable.setPassword(QByteArray(256, 'p'));
        QCOMPARE(exchange(unframable, response), -1);
        QVERIFY(!response);
        QCOMPARE(channel->open("not.an.address", peer->port()), 0);
        QElapsedTimer timer;
        timer.start();
        QCOMPARE(exchange(request, response), -1);
        QVERIFY(timer.elapsed() < 500 && !response);
        QTest::qWait(50);
        QCOMPARE(peer->receivedCount(), 0);
        QCOMPARE(channel->open("127.0.0.1", peer->port()), 0);
        QCOMPARE(exchange(request, response), 0);
    }

    void interruptWakesWaitingExchange()
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
        QVERIFY(result == -1 && !response);
        QVERIFY2(tookMs < 1500, qPrintable(QString::number(tookMs)));
        QTest::qWait(50);
        QCOMPARE(peer->receivedCount(), 1); // the interrupted socket refuses to send: the resend never left
    }
};

QTEST_GUILESS_MAIN(TestUdpChannel)
#include "tst_UdpChannel.moc"
