// The UDP exchange against a scripted loopback peer: time-outs on the socket, resends, answers
// that are too long, corrupt, from another host or for another request.
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

} // namespace

class TestUdpChannel : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void typedAnswer();
    void helloThenOrdinaryTimeout();
    void errorAnswerBecomesSimpleResponse();
    void shortFrameBecomesSimpleResponse();
    void wrongChecksumLeavesObject();
    void emptyDatagramFails();
    void oversizeReplyCountsAsNone();
    void answerFromOtherHostIsTaken();
    void firstDatagramWins();
    void sequenceMismatchMovesToNewPort();
    void closedChannel();
    void closeTwiceIsHarmless();
    void unparsableAddressSendsNothing();
    void overlongTextSendsNothing();
    void reopenDoesNotLeak();
    void interruptWakesWaitingExchange();

private:
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

void TestUdpChannel::typedAnswer()
{
    peer->setScript(answerAll(hex("0101 00 01 00 09 00 09 000000")));
    SimpleRequest<63> request(0x11223344, 77);
    ResponseMsg* response = nullptr;
    QCOMPARE(channel->exchange(request, &response, 1), 0);
    std::unique_ptr<ResponseMsg> owner(response);
    auto* gpio = dynamic_cast<ResponseGetACOGPIOInfo*>(response);
    QVERIFY(gpio);
    QCOMPARE(gpio->sequence(), quint16(77));
    QCOMPARE(gpio->ps1Led(), true);
    QCOMPARE(gpio->keyMask(), 9);
    const auto sent = peer->received();
    QCOMPARE(sent.size(), 1);
    QCOMPARE(sent.first().data.toHex(' '), hex("000a01003f 11223344 004d be").toHex(' '));
    QCOMPARE(TestFrames::loginId(sent.first().data), 0x11223344u);
    QCOMPARE(TestFrames::sequence(sent.first().data), quint16(77));
    QCOMPARE(sent.first().data.size(), 12);
}

void TestUdpChannel::helloThenOrdinaryTimeout()
{
    peer->setScript(answerAll(QByteArray()));
    QCOMPARE(channel->receiveTimeoutMs(), 0);

    RequestHello hello(0, 1);
    ResponseMsg* response = nullptr;
    QCOMPARE(channel->exchange(hello, &response, 1), 0);
    QVERIFY(dynamic_cast<SimpleResponse*>(response));
    delete response;
    QCOMPARE(channel->receiveTimeoutMs(), 1000);

    SimpleRequest<71> phase(5, 2);
    response = nullptr;
    QCOMPARE(channel->exchange(phase, &response, 1), 0);
    delete response;
    QCOMPARE(channel->receiveTimeoutMs(), 2000);

    SimpleRequest<71> again(5, 3);
    response = nullptr;
    QCOMPARE(channel->exchange(again, &response, 1), 0);
    delete response;
    QCOMPARE(channel->receiveTimeoutMs(), 2000);
    QCOMPARE(peer->receivedCount(), 3);
}

void TestUdpChannel::errorAnswerBecomesSimpleResponse()
{
    peer->setScript(answerAll(hex("0101 00 01 00 09 00 09 000000"), 12));
    SimpleRequest<63> request(1, 8);
    ResponseMsg* response = nullptr;
    QCOMPARE(channel->exchange(request, &response, 1), 0);
    std::unique_ptr<ResponseMsg> owner(response);
    QVERIFY(dynamic_cast<SimpleResponse*>(response));
    QCOMPARE(response->errorCode(), 12u);
}

void TestUdpChannel::shortFrameBecomesSimpleResponse()
{
    peer->setScript([](int, const QByteArray&) {
        return ScriptedPeer::reply(TestFrames::withChecksum(hex("0009010003 00000000 00")));
    });
    SimpleRequest<3> request(1, 8);
    ResponseMsg* response = nullptr;
    QCOMPARE(channel->exchange(request, &response, 1), 0);
    std::unique_ptr<ResponseMsg> owner(response);
    QVERIFY(dynamic_cast<SimpleResponse*>(response));
    QCOMPARE(response->errorCode(), 0u);
}

void TestUdpChannel::wrongChecksumLeavesObject()
{
    peer->setScript([](int, const QByteArray& request) {
        QByteArray answer = TestFrames::response(71, 0, TestFrames::sequence(request), hex("01"));
        answer[answer.size() - 1] = char(answer.at(answer.size() - 1) + 1);
        return ScriptedPeer::reply(answer);
    });
    SimpleRequest<71> request(1, 9);
    ResponseMsg* response = nullptr;
    QCOMPARE(channel->exchange(request, &response, 1), -1);
    QVERIFY(response);
    QVERIFY(dynamic_cast<ResponseGetPhaseAlignState*>(response));
    delete response;
    // A corrupt answer is an answer: no resend.
    QTest::qWait(50);
    QCOMPARE(peer->receivedCount(), 1);
    QVERIFY(channel->isOpen());
}

void TestUdpChannel::emptyDatagramFails()
{
    peer->setScript([](int, const QByteArray&) { return ScriptedPeer::reply(QByteArray()); });
    SimpleRequest<71> request(1, 9);
    ResponseMsg* response = nullptr;
    QCOMPARE(channel->exchange(request, &response, 1), -1);
    QVERIFY(!response);
    QTest::qWait(50);
    QCOMPARE(peer->receivedCount(), 1);
}

void TestUdpChannel::oversizeReplyCountsAsNone()
{
    peer->setScript([](int index, const QByteArray& request) {
        if (index == 0)
            return ScriptedPeer::reply(QByteArray(1100, '\x01'));
        return ScriptedPeer::reply(TestFrames::response(71, 0, TestFrames::sequence(request), hex("02")));
    });
    SimpleRequest<71> request(1, 10);
    ResponseMsg* response = nullptr;
    QElapsedTimer timer;
    timer.start();
    QCOMPARE(channel->exchange(request, &response, 1), 0);
    // The long datagram fails the receive at once; no time-out is waited for.
    QVERIFY2(timer.elapsed() < 1500, qPrintable(QString::number(timer.elapsed())));
    std::unique_ptr<ResponseMsg> owner(response);
    auto* phase = dynamic_cast<ResponseGetPhaseAlignState*>(response);
    QVERIFY(phase);
    QCOMPARE(int(phase->state()), 2);
    const auto sent = peer->received();
    QCOMPARE(sent.size(), 2);
    QCOMPARE(sent.at(1).data, sent.at(0).data);
}

void TestUdpChannel::answerFromOtherHostIsTaken()
{
    peer->setScript([](int, const QByteArray& request) {
        ScriptedPeer::Answer answer;
        answer.kind = ScriptedPeer::Answer::ReplyFromOtherHost;
        answer.datagram = TestFrames::response(71, 0, TestFrames::sequence(request), hex("02"));
        return answer;
    });
    SimpleRequest<71> request(1, 11);
    ResponseMsg* response = nullptr;
    QCOMPARE(channel->exchange(request, &response, 1), 0);
    std::unique_ptr<ResponseMsg> owner(response);
    auto* phase = dynamic_cast<ResponseGetPhaseAlignState*>(response);
    QVERIFY(phase);
    QCOMPARE(int(phase->state()), 2);
    QCOMPARE(peer->receivedCount(), 1);
}

void TestUdpChannel::firstDatagramWins()
{
    // Another host answers first with state 2, the device right after with state 1.
    peer->setScript([](int index, const QByteArray& request) {
        if (index > 0)
            return ScriptedPeer::silent();
        ScriptedPeer::Answer answer;
        answer.kind = ScriptedPeer::Answer::ReplyFromBoth;
        answer.otherDatagram = TestFrames::response(71, 0, TestFrames::sequence(request), hex("02"));
        answer.datagram = TestFrames::response(71, 0, TestFrames::sequence(request), hex("01"));
        return answer;
    });
    SimpleRequest<71> first(1, 20);
    ResponseMsg* response = nullptr;
    QCOMPARE(channel->exchange(first, &response, 1), 0);
    auto* phase = dynamic_cast<ResponseGetPhaseAlignState*>(response);
    QVERIFY(phase);
    QCOMPARE(int(phase->state()), 2);
    delete response;

    // The device's late answer still waits on the socket and is taken for the next request;
    // its sequence gives it away and the channel moves to a new socket.
    QTest::qWait(50);
    const int portBefore = channel->localPort();
    QVERIFY(portBefore != 0);
    SimpleRequest<71> second(1, 21);
    response = nullptr;
    QCOMPARE(channel->exchange(second, &response, 1), 0);
    QVERIFY(response);
    QCOMPARE(response->sequence(), quint16(20));
    delete response;
    QVERIFY(channel->isOpen());
    QCOMPARE(channel->localPort(), 0); // new socket, not yet used
}

void TestUdpChannel::sequenceMismatchMovesToNewPort()
{
    peer->setScript(answerAll(hex("01"), 0, 1));
    SimpleRequest<71> first(1, 30);
    ResponseMsg* response = nullptr;
    QCOMPARE(channel->exchange(first, &response, 1), 0);
    QVERIFY(dynamic_cast<ResponseGetPhaseAlignState*>(response));
    QCOMPARE(response->sequence(), quint16(31));
    delete response;
    QCOMPARE(channel->receiveTimeoutMs(), 0); // the new socket starts with no time-out

    peer->setScript(answerAll(hex("01")));
    SimpleRequest<71> second(1, 31);
    response = nullptr;
    QCOMPARE(channel->exchange(second, &response, 1), 0);
    QCOMPARE(response->sequence(), quint16(31));
    delete response;
    QCOMPARE(channel->receiveTimeoutMs(), 2000);

    const auto sent = peer->received();
    QCOMPARE(sent.size(), 2);
    QVERIFY(sent.at(0).sourcePort != 0);
    QVERIFY(sent.at(1).sourcePort != sent.at(0).sourcePort);
}

void TestUdpChannel::closedChannel()
{
    peer->setScript(answerAll(hex("01")));
    UdpChannel never;
    QVERIFY(!never.isOpen());
    SimpleRequest<71> request(1, 40);
    ResponseMsg* response = nullptr;
    QCOMPARE(never.exchange(request, &response, 1), -1);
    QVERIFY(!response);

    channel->close();
    QVERIFY(!channel->isOpen());
    QCOMPARE(channel->exchange(request, &response, 1), -1);
    QVERIFY(!response);
    QCOMPARE(channel->receiveTimeoutMs(), -1);
    QTest::qWait(50);
    QCOMPARE(peer->receivedCount(), 0);
}

void TestUdpChannel::closeTwiceIsHarmless()
{
    peer->setScript(answerAll(hex("01")));
    const int before = openFileCount();
    channel->close();
    QCOMPARE(openFileCount(), before - 1);
    channel->close();
    QCOMPARE(openFileCount(), before - 1);
    QVERIFY(!channel->isOpen());
    channel->interrupt(); // nothing to wake on a closed channel

    // And the channel opens again as new.
    QCOMPARE(channel->open("127.0.0.1", peer->port()), 0);
    SimpleRequest<71> request(1, 41);
    ResponseMsg* response = nullptr;
    QCOMPARE(channel->exchange(request, &response, 1), 0);
    delete response;
}

void TestUdpChannel::unparsableAddressSendsNothing()
{
    UdpChannel bad;
    QCOMPARE(bad.open("not.an.address", peer->port()), 0);
    QVERIFY(bad.isOpen());
    SimpleRequest<71> request(1, 42);
    ResponseMsg* response = nullptr;
    QElapsedTimer timer;
    timer.start();
    QCOMPARE(bad.exchange(request, &response, 1), -1);
    QVERIFY(timer.elapsed() < 500);
    QVERIFY(!response);
}

void TestUdpChannel::overlongTextSendsNothing()
{
    peer->setScript(answerAll(hex("00000001")));
    RequestAuthentication request(0, 43);
    request.setUserName("admin");
    request.setPassword(QByteArray(256, 'p'));
    ResponseMsg* response = nullptr;
    QCOMPARE(channel->exchange(request, &response, 1), -1);
    QVERIFY(!response);
    QTest::qWait(50);
    QCOMPARE(peer->receivedCount(), 0);

    request.setPassword(QByteArray(255, 'p'));
    QCOMPARE(channel->exchange(request, &response, 1), 0);
    delete response;
    const auto sent = peer->received();
    QCOMPARE(sent.size(), 1);
    QCOMPARE(sent.first().data.size(), 12 + 2 + 5 + 255);
}

void TestUdpChannel::reopenDoesNotLeak()
{
    const int before = openFileCount();
    for (int i = 0; i < 20; ++i)
        QCOMPARE(channel->open("127.0.0.1", peer->port()), 0);
    QCOMPARE(openFileCount(), before);
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
    channel->close();
}

QTEST_GUILESS_MAIN(TestUdpChannel)
#include "tst_UdpChannel.moc"
