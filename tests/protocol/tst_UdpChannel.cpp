// The UDP exchange against a scripted loopback peer: answers of every kind, the real waits and resends,
// time-out settings, answers for another request (never handed out) and closing.
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

namespace {

// An answer with the request's own type and sequence (shifted by sequenceShift).
ScriptedPeer::Answer echo(const QByteArray& request, const QByteArray& payload, int sequenceShift = 0)
{
    return { TestFrames::response(TestFrames::type(request), 0, quint16(TestFrames::sequence(request) + sequenceShift), payload), {} };
}

enum Answer { Gpio, Error12, ShortFrame, ShortFrameOtherSequence, WrongChecksum, Empty, OversizeThenPhase, FromOtherHost };

} // namespace

class TestUdpChannel : public QObject
{
    Q_OBJECT

    std::unique_ptr<ScriptedPeer> peer;
    std::unique_ptr<UdpChannel> channel;
    std::unique_ptr<ResponseMsg> response;

    // Exchanges `request` (one resend allowed unless said otherwise); the answer object goes to `response`.
    int exchange(RequestMsg& request, int retries = 1)
    {
        ResponseMsg* raw = nullptr;
        const int result = channel->exchange(request, &raw, retries);
        response.reset(raw);
        return result;
    }
    QString decoded()
    {
        if (auto* g = dynamic_cast<const ResponseGetACOGPIOInfo*>(response.get()))
            return QString("gpio %1").arg(g->keyMask());
        if (auto* p = dynamic_cast<const ResponseGetPhaseAlignState*>(response.get()))
            return QString("phase %1 %2").arg(p->state()).arg(p->sequence());
        return response ? QString("simple %1").arg(response->errorCode()) : QString();
    }
    QList<ScriptedPeer::Datagram> sent()
    {
        QTest::qWait(50); // anything still on its way arrives
        return peer->received();
    }

private slots:
    void init()
    {
        peer.reset(new ScriptedPeer);
        QVERIFY(peer->start());
        channel.reset(new UdpChannel);
        QCOMPARE(channel->open("127.0.0.1", peer->port), 0);
        QVERIFY(channel->isOpen());
    }
    void cleanup() { response.reset(), channel.reset(), peer.reset(); }

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
        QTest::newRow("wrong checksum, no resend")    << int(WrongChecksum)     << -1 << "phase 0 0"  << 1;
        QTest::newRow("empty datagram, no resend")    << int(Empty)             << -1 << ""           << 1;
        QTest::newRow("oversize counts as none")      << int(OversizeThenPhase) << 0  << "phase 2 77" << 2;
        QTest::newRow("answer from another host")     << int(FromOtherHost)     << 0  << "phase 2 77" << 1;
        // clang-format on
    }
    void answers()
    {
        QFETCH(int, answer);
        QFETCH(int, result);
        QFETCH(QString, decoded);
        QFETCH(int, sends);
        peer->setScript([answer](int index, const QByteArray& request) {
            ScriptedPeer::Answer reply = echo(request, QByteArray(1, '\2'));
            if (answer <= Error12)
                reply.datagram = TestFrames::response(63, answer == Error12 ? 12 : 0, 77, QByteArray::fromHex("0101000100090009000000"));
            else if (answer == ShortFrame) // its last byte is the checksum and the low byte of sequence 77
                reply.datagram = QByteArray::fromHex("00090100a800000000004d");
            else if (answer == ShortFrameOtherSequence) // reads as sequence 0x00f2: no answer to this request
                reply.datagram = TestFrames::withChecksum(QByteArray::fromHex("00090100030000000000"));
            else if (answer == WrongChecksum)
                reply.datagram[reply.datagram.size() - 1] = char(reply.datagram.back() + 1);
            else if (answer == Empty || (answer == OversizeThenPhase && index == 0))
                reply.datagram = answer == Empty ? QByteArray("") : QByteArray(1100, '\1');
            return answer == FromOtherHost ? ScriptedPeer::Answer { {}, reply.datagram } : reply;
        });
        SimpleRequest<63> gpio(0x11223344, 77);
        SimpleRequest<71> phase(1, 77);
        QElapsedTimer timer;
        timer.start();
        QCOMPARE(exchange(answer <= ShortFrameOtherSequence ? static_cast<RequestMsg&>(gpio) : phase), result);
        QVERIFY2(timer.elapsed() < 1500, "an answer of any kind ends the wait at once");
        QCOMPARE(this->decoded(), decoded);
        const auto sent = this->sent();
        QCOMPARE(sent.size(), sends);
        QCOMPARE(sent.last().data, sent.first().data);
        if (answer == Gpio)
            QCOMPARE(sent.first().data.toHex(' ') + " " + QByteArray::number(response->sequence()), QByteArray("00 0a 01 00 3f 11 22 33 44 00 4d be 77"));
    }

    void waits_data()
    {
        QTest::addColumn<bool>("hello");
        QTest::addColumn<int>("retries");
        QTest::addColumn<int>("answerAt"); // index of the send that is answered, -1 for none
        QTest::addColumn<int>("sends");
        QTest::newRow("Hello silent: 2 x 1 s") << true << 1 << -1 << 2;
        QTest::newRow("answered on the resend after 2 s") << false << 1 << 1 << 2;
        QTest::newRow("no retries: sent once, 2 s") << false << 0 << -1 << 1;
    }
    void waits()
    {
        QFETCH(bool, hello);
        QFETCH(int, retries);
        QFETCH(int, answerAt);
        QFETCH(int, sends);
        peer->setScript([answerAt](int index, const QByteArray& request) {
            return index == answerAt ? echo(request, QByteArray(1, '\2')) : ScriptedPeer::Answer();
        });
        RequestHello helloRequest(0, 1);
        SimpleRequest<71> phase(3, 100);
        QElapsedTimer timer;
        timer.start();
        QCOMPARE(exchange(hello ? static_cast<RequestMsg&>(helloRequest) : phase, retries), answerAt < 0 ? -1 : 0);
        QVERIFY2(timer.elapsed() >= 1950 && timer.elapsed() < 3450, qPrintable(QString::number(timer.elapsed())));
        QCOMPARE(decoded(), answerAt < 0 ? QString() : QString("phase 2 100"));
        const auto sent = this->sent();
        QCOMPARE(sent.size(), sends);
        QVERIFY(sent.last().data == sent.first().data && sent.last().sourcePort == sent.first().sourcePort);
        if (sends == 2 && !hello) // the resend follows the whole time-out and the 10 ms pause
            QVERIFY2(sent.at(1).atMs - sent.at(0).atMs >= 1800, qPrintable(QString::number(sent.at(1).atMs - sent.at(0).atMs)));
    }

    void receiveTimeoutFollowsRequest()
    {
        peer->setScript([](int, const QByteArray& request) { return echo(request, QByteArray()); });
        QCOMPARE(channel->receiveTimeoutMs(), 0);
        RequestHello hello(0, 1);
        SimpleRequest<71> phase(5, 2);
        QString timeouts;
        for (int i = 0; i < 4; ++i) {
            timeouts += QString::number(exchange(i % 3 == 0 ? static_cast<RequestMsg&>(hello) : phase));
            timeouts += QString::number(channel->receiveTimeoutMs()) + " ";
        }
        QCOMPARE(timeouts, QStringLiteral("01000 02000 02000 01000 "));
    }

    void firstDatagramWins()
    {
        // Another host answers first with state 2, the device right after with state 1, later ones with 3.
        peer->setScript([](int index, const QByteArray& request) {
            return ScriptedPeer::Answer { echo(request, QByteArray(1, index ? '\3' : '\1')).datagram,
                                          index ? QByteArray() : echo(request, QByteArray(1, '\2')).datagram };
        });
        SimpleRequest<71> first(1, 20), second(1, 21);
        QCOMPARE(exchange(first), 0);
        QCOMPARE(decoded(), QStringLiteral("phase 2 20"));
        // The device's answer still waits on the socket when the next request goes out: it is
        // dropped unread, and the next request gets its own answer on the same socket.
        QTest::qWait(50);
        QCOMPARE(exchange(second), 0);
        QCOMPARE(decoded(), QStringLiteral("phase 3 21"));
        const auto sent = this->sent();
        QVERIFY(sent.size() == 2 && sent.at(1).sourcePort == sent.at(0).sourcePort);
    }

    void sequenceMismatchAsksAgainFromNewPort()
    {
        // Every other answer carries the next sequence, as a doubled or late answer to another request would.
        peer->setScript([](int index, const QByteArray& request) { return echo(request, QByteArray(1, '\1'), index % 2 == 0); });
        SimpleRequest<71> first(1, 30), second(1, 31);
        QTest::ignoreMessage(QtDebugMsg, "Id not eauque 71,71");
        QCOMPARE(exchange(first), 0);
        QCOMPARE(decoded(), QStringLiteral("phase 1 30"));
        QCOMPARE(channel->receiveTimeoutMs(), 2000); // the new socket waits as long
        auto sent = peer->received();
        QVERIFY(sent.size() == 2 && sent.at(1).data == sent.at(0).data && sent.at(1).sourcePort != sent.at(0).sourcePort);
        // Without a resend left, the stray answer is no answer at all.
        QTest::ignoreMessage(QtDebugMsg, "Id not eauque 71,71");
        QCOMPARE(exchange(second, 0), -1);
        QVERIFY(!response);
        QCOMPARE(this->sent().size(), 3);
        QCOMPARE(channel->localPort(), 0); // moved on to a new socket, not yet used
    }

    void closeAndRefusals()
    {
        peer->setScript([](int, const QByteArray& request) { return echo(request, QByteArray(1, '\1')); });
        SimpleRequest<71> request(1, 40);
        const auto openFiles = [] { return QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).size(); };
        const int before = openFiles();
        for (int i = 0; i < 5; ++i)
            QCOMPARE(channel->open("127.0.0.1", peer->port), 0); // re-opening does not leak
        QCOMPARE(openFiles(), before);
        channel->close();
        channel->close();
        QCOMPARE(openFiles(), before - 1);
        QVERIFY(!channel->isOpen());
        channel->interrupt(); // nothing to wake on a closed channel
        QCOMPARE(exchange(request), -1);
        QVERIFY(!response);
        QCOMPARE(channel->receiveTimeoutMs() + channel->localPort(), -1);

        // An unframable request and an address that does not parse (all ones) send nothing, at once.
        QCOMPARE(channel->open("127.0.0.1", peer->port), 0);
        RequestAuthentication unframable(0, 43);
        unframable.setPassword(QByteArray(256, 'p'));
        QCOMPARE(exchange(unframable), -1);
        QVERIFY(!response);
        QCOMPARE(channel->open("not.an.address", peer->port), 0);
        QElapsedTimer timer;
        timer.start();
        QCOMPARE(exchange(request), -1);
        QVERIFY(timer.elapsed() < 500 && !response);
        QCOMPARE(sent().size(), 0);
        QCOMPARE(channel->open("127.0.0.1", peer->port), 0);
        QCOMPARE(exchange(request), 0);
    }
};

QTEST_GUILESS_MAIN(TestUdpChannel)
#include "tst_UdpChannel.moc"
