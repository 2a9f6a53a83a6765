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

// One simulated device on a loopback address of the test's own and a raw client aimed at it: the set-up
// every in-process simulator test shares.
struct SimLink
{
    explicit SimLink(const QString& deviceAddress)
        : client(QStringLiteral("127.0.0.1"))
        , address(deviceAddress)
    {
    }

    bool start()
    {
        if (!client.isValid() || !sim.start(address, 0))
            return false;
        client.setTarget(address, sim.port());
        return true;
    }

    QByteArray ask(const QByteArray& frame, bool* answered = nullptr, int timeoutMs = 1000)
    {
        return client.ask(frame, address, sim.port(), answered, timeoutMs);
    }

    bool send(const QByteArray& frame) { return client.send(frame, address, sim.port()); }

    DeviceSimulator sim;
    RawUdpClient client;
    QString address;
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
