#include "SignalRecorder.h"

#include "AcoGpioInfoMetaType.h"

#include <QMetaMethod>
#include <QSignalSpy>

SignalRecorder::SignalRecorder()
{
    registerAcoGpioInfoMetaType();
    clock.start();
}

void SignalRecorder::listenTo(QObject* monitor)
{
    // By signature text, as the main window connects them; only the monitor's own signal matches.
    const QMetaObject* meta = monitor->metaObject();
    if (meta->indexOfSignal("SendInfo(AcoGpioInfo)") >= 0)
        connect(monitor, SIGNAL(SendInfo(AcoGpioInfo)), this, SLOT(OnSendInfo(AcoGpioInfo)), Qt::QueuedConnection);
    if (meta->indexOfSignal("IsAlive(bool,int)") >= 0)
        connect(monitor, SIGNAL(IsAlive(bool, int)), this, SLOT(OnIsAlive(bool, int)), Qt::QueuedConnection);
    if (meta->indexOfSignal("IsRemoteACOAlive(QString,bool)") >= 0)
        connect(monitor, SIGNAL(IsRemoteACOAlive(QString, bool)), this, SLOT(OnIsRemoteACOAlive(QString, bool)),
                Qt::QueuedConnection);
}

SignalRecorder::RemoteReports SignalRecorder::remoteReports(const QSignalSpy& spy)
{
    RemoteReports list;
    for (const QList<QVariant>& report : spy)
        list.append(qMakePair(report.at(0).toString(), report.at(1).toBool()));
    return list;
}

void SignalRecorder::OnSendInfo(AcoGpioInfo info)
{
    infoTimes.append(clock.elapsed());
    emit infoReceived(info);
}

void SignalRecorder::OnIsAlive(bool alive, int workMode)
{
    aliveTimes.append(clock.elapsed());
    emit aliveReceived(alive, workMode);
}

void SignalRecorder::OnIsRemoteACOAlive(QString address, bool alive)
{
    remoteTimes.append(clock.elapsed());
    emit remoteReceived(address, alive);
}
