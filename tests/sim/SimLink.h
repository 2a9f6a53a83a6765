#ifndef SIMLINK_H
#define SIMLINK_H

#include "DeviceSimulator.h"
#include "RawUdpClient.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QString>
#include <QStringList>
#include <QThread>

#include <functional>

// One simulated device on a loopback address of the test's own and a raw client that talks to it
// with hand-made frames: the set-up every in-process simulator test shares.
struct SimLink
{
    // "admin" / "123456" as an authentication payload.
    static QByteArray adminLogin() { return QByteArray::fromHex("0561646D696E06313233343536"); }

    explicit SimLink(const QString& deviceAddress, const SimDeviceState& initial = SimDeviceState())
        : sim(initial)
        , client(QStringLiteral("127.0.0.1"))
        , address(deviceAddress)
    {
    }

    bool start() { return client.isValid() && sim.start(address, 0) && sim.port() != 0; }

    QByteArray ask(const QByteArray& frame, bool* answered = nullptr, int timeoutMs = 1000)
    {
        return client.ask(frame, address, sim.port(), answered, timeoutMs);
    }

    bool send(const QByteArray& frame) { return client.send(frame, address, sim.port()); }

    // A request with the next sequence number; returns the answer (empty when none came).
    QByteArray call(quint16 type, quint32 loginId, const QByteArray& payload = {}, bool* answered = nullptr,
                    int timeoutMs = 1000)
    {
        return ask(RawUdpClient::request(type, loginId, ++seq, payload), answered, timeoutMs);
    }

    // The login id handed out, or 0 when the login was refused or not answered.
    quint32 login(const QByteArray& payload = adminLogin())
    {
        const QByteArray answer = call(2, 0, payload);
        return answer.size() == 16 && RawUdpClient::errorOf(answer) == 0 ? RawUdpClient::u32At(answer, 11) : 0;
    }

    DeviceSimulator sim;
    RawUdpClient client;
    QString address;
    quint16 seq = 100;
};

// Asks now and then for `durationMs` while something flaps (silent turn first, from when `start` runs);
// returns the times, in ms since `start`, at which an answer came or failed to come against the turns.
// Asks close to a turn's edge do not count.
inline QString flapMismatches(const std::function<void()>& start, const std::function<bool()>& askOnce, int silentMs,
                              int answeringMs, int durationMs)
{
    constexpr int Margin = 60; // room for a busy machine
    QElapsedTimer timer;
    timer.start();
    start();
    QStringList wrong;
    int counted = 0;
    while (timer.elapsed() < durationMs) {
        const qint64 sent = timer.elapsed();
        const bool answered = askOnce();
        const qint64 phase = sent % (silentMs + answeringMs);
        const bool nearEdge = phase < Margin || qAbs(phase - silentMs) < Margin
            || silentMs + answeringMs - phase < Margin;
        if (!nearEdge) {
            ++counted;
            if (answered != (phase >= silentMs))
                wrong << QString::number(sent);
        }
        QThread::msleep(10);
    }
    return counted < 10 ? QStringLiteral("too few asks: %1").arg(counted) : wrong.join(QLatin1Char(' '));
}

#endif // SIMLINK_H
