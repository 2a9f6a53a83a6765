#ifndef SCRIPTEDPEER_H
#define SCRIPTEDPEER_H

#include <QByteArray>
#include <QList>

#include <atomic>
#include <functional>
#include <mutex>
#include <thread>

// A loopback UDP peer for exchange tests: it records every datagram it receives (with the sender's port)
// and answers as the test's script says, from its own thread. POSIX sockets, bound to 127.0.0.x only.
// The thread stops by itself after a minute at the latest.
class ScriptedPeer
{
public:
    struct Answer
    {
        enum Kind { Silent, Reply, ReplyFromOtherHost, ReplyFromBoth };
        Kind kind = Silent;
        QByteArray datagram;
        QByteArray otherDatagram; // ReplyFromBoth: sent first, from the other host
    };
    struct Datagram
    {
        QByteArray data;
        quint16 sourcePort = 0;
        qint64 atMs = 0; // since start()
    };
    // index counts received datagrams from 0.
    using Script = std::function<Answer(int index, const QByteArray& request)>;

    ScriptedPeer() = default;
    ~ScriptedPeer() { stop(); }
    ScriptedPeer(const ScriptedPeer&) = delete;
    ScriptedPeer& operator=(const ScriptedPeer&) = delete;

    // Binds address:port (0: a free one), and otherAddress:0 when given (for answers from another loopback host).
    bool start(const char* address = "127.0.0.1", const char* otherAddress = nullptr, quint16 port = 0);
    void stop();
    quint16 port() const { return m_port; }

    void setScript(const Script& script);
    QList<Datagram> received() const;
    int receivedCount() const { return received().size(); }

    static Answer silent() { return Answer(); }
    static Answer reply(const QByteArray& datagram) { return Answer { Answer::Reply, datagram, {} }; }

private:
    void run();

    int m_socket = -1;
    int m_otherSocket = -1;
    quint16 m_port = 0;
    std::atomic<bool> m_running { false };
    std::thread m_thread;
    mutable std::mutex m_mutex;
    Script m_script;
    QList<Datagram> m_received;
};

#endif // SCRIPTEDPEER_H
