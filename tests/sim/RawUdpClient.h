#ifndef RAWUDPCLIENT_H
#define RAWUDPCLIENT_H

#include <QByteArray>
#include <QString>
#include <QtGlobal>

// A bare UDP socket for talking to the simulator with hand-made frames, independent of both the
// protocol library and the simulator's own frame code.
class RawUdpClient
{
public:
    explicit RawUdpClient(const QString& localAddress = QStringLiteral("127.0.0.1"));
    ~RawUdpClient();
    RawUdpClient(const RawUdpClient&) = delete;
    RawUdpClient& operator=(const RawUdpClient&) = delete;

    bool isValid() const { return m_fd >= 0; }
    bool send(const QByteArray& datagram, const QString& address, quint16 port);
    // Waits up to timeoutMs for one datagram (which may be empty). False on time-out.
    bool receive(QByteArray* datagram, int timeoutMs, QString* fromAddress = nullptr, quint16* fromPort = nullptr);
    // Sends and waits for one answer; an empty QByteArray with *answered false on time-out.
    QByteArray ask(const QByteArray& datagram, const QString& address, quint16 port, bool* answered = nullptr,
                   int timeoutMs = 1000);
    // Throws away whatever is waiting.
    void drain();

    // The device that call() and login() talk to.
    void setTarget(const QString& address, quint16 port);
    // A request with the next sequence number to the target, after throwing away stale answers;
    // returns the answer (empty when none came).
    QByteArray call(quint16 type, quint32 loginId, const QByteArray& payload = {}, bool* answered = nullptr,
                    int timeoutMs = 1000);
    // The login id handed out, or 0 when the login was refused or not answered.
    quint32 login(const QByteArray& user = "admin", const QByteArray& password = "123456");
    quint16 sequence() const { return m_sequence; }

    // A request frame: header, payload and a checksum that makes the byte sum 0xFF.
    static QByteArray request(quint16 type, quint32 loginId, quint16 sequence, const QByteArray& payload = {});
    static quint8 byteSum(const QByteArray& bytes);
    // The authentication payload: length-prefixed user name and password.
    static QByteArray authPayload(const QByteArray& user, const QByteArray& password);

    // Readers of an answer frame: a big-endian quint32 at offset, the error code (0xFFFFFFFF when the
    // frame is too short to hold one) and the payload between header and checksum.
    static quint32 u32At(const QByteArray& bytes, int offset);
    static quint32 errorOf(const QByteArray& answer);
    static QByteArray payloadOf(const QByteArray& answer);

private:
    int m_fd = -1;
    QString m_targetAddress;
    quint16 m_targetPort = 0;
    quint16 m_sequence = 100;
};

#endif // RAWUDPCLIENT_H
