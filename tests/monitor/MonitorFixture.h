#ifndef MONITORFIXTURE_H
#define MONITORFIXTURE_H

#include "ConnectedDevice.h"
#include "SignalRecorder.h"

#include <QSignalSpy>

// A monitor thread on the client of a simulated device, its signals recorded in the test's thread and
// one of the recorder's signals spied on. The device is not connected yet: call device.connect() and
// set the simulator up before starting the monitor. The members are public and in this order so that
// a test can name them: auto& [device, monitor, recorder, spy] = fixture;
// They are destroyed in reverse, so the monitor has stopped before the device goes.
template <typename Monitor> class MonitorFixture
{
public:
    template <typename RecorderSignal>
    explicit MonitorFixture(RecorderSignal spiedSignal, const SimDeviceState& state = SimDeviceState())
        : device(state)
        , monitor(&device.client)
        , spy(&recorder, spiedSignal)
    {
        recorder.listenTo(&monitor);
    }

    ConnectedDevice device;
    Monitor monitor;
    SignalRecorder recorder;
    QSignalSpy spy;
};

#endif // MONITORFIXTURE_H
