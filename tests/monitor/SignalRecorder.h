#ifndef SIGNALRECORDER_H
#define SIGNALRECORDER_H

#include "AcoGpioInfo.h"

#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QPair>
#include <QString>

class QSignalSpy;

// Receives the monitors' signals in the test's thread (queued, as the main window does), notes
// when each arrived and passes it on through a signal of its own for QSignalSpy.
class SignalRecorder : public QObject
{
    Q_OBJECT

public:
    SignalRecorder();

    // Queued connections from a monitor to the matching slots below.
    void listenTo(QObject* monitor);

    qint64 now() const { return clock.elapsed(); }

    // The (address, alive) pairs that a spy on remoteReceived has caught, in order.
    using RemoteReports = QList<QPair<QString, bool>>;
    static RemoteReports remoteReports(const QSignalSpy& spy);

    QList<qint64> infoTimes;
    QList<qint64> aliveTimes;
    QList<qint64> remoteTimes;

signals:
    void infoReceived(AcoGpioInfo info);
    void aliveReceived(bool alive, int workMode);
    void remoteReceived(QString address, bool alive);

public slots:
    void OnSendInfo(AcoGpioInfo info);
    void OnIsAlive(bool alive, int workMode);
    void OnIsRemoteACOAlive(QString address, bool alive);

private:
    QElapsedTimer clock;
};

#endif // SIGNALRECORDER_H
