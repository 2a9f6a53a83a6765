#ifndef MONITORFIXTURE_H
#define MONITORFIXTURE_H

#include "AcoGpioInfoMetaType.h"
#include "DeviceSimulator.h"
#include "DiveVodNetClient.h"
#include "GpioStateThread.h"
#include "RemoteACOConnectThread.h"
#include "UpdateThread.h"

#include <QElapsedTimer>
#include <QVariantList>
#include <QtTest>

#include <type_traits>

// A simulated device on 127.0.0.1, a client logged in to it as admin (as the main window leaves them after
// a login) and one monitor on that client. The monitor's signals arrive queued in the test's thread, as in
// the main window: `got` holds their arguments, `times` when each arrived (ms since construction).
template <typename Monitor> struct MonitorFixture
{
    explicit MonitorFixture(const SimDeviceState& state = SimDeviceState())
        : sim(state)
        , monitor(&client)
    {
        registerAcoGpioInfoMetaType();
        clock.start();
        const auto note = [this](const QVariantList& args) { times << clock.elapsed(), got << args; };
        const auto queued = Qt::QueuedConnection;
        if constexpr (std::is_same_v<Monitor, GpioStateThread>)
            QObject::connect(&monitor, &Monitor::SendInfo, &receiver,
                             [note](AcoGpioInfo info) { note({ QVariant::fromValue(info) }); }, queued);
        else if constexpr (std::is_same_v<Monitor, UpdateThread>)
            QObject::connect(&monitor, &Monitor::IsAlive, &receiver, [note](bool a, int m) { note({ a, m }); }, queued);
        else
            QObject::connect(&monitor, &Monitor::IsRemoteACOAlive, &receiver,
                             [note](QString address, bool alive) { note({ address, alive }); }, queued);
    }
    ~MonitorFixture() { monitor.StopAndWait(); }

    bool connect()
    {
        if (!sim.start(QStringLiteral("127.0.0.1"), 0) || client.OpenChannel(sim.address(), sim.port()) != 0)
            return false;
        client.SetLoginInfo(0, QStringLiteral("123456"));
        return client.Authenticate() == 0;
    }

    DeviceSimulator sim;
    DiveVodNetClient client;
    Monitor monitor;
    QObject receiver;
    QElapsedTimer clock;
    QList<qint64> times;
    QList<QVariantList> got;
};

#endif // MONITORFIXTURE_H
