#ifndef CONNECTEDDEVICE_H
#define CONNECTEDDEVICE_H

#include "DeviceSimulator.h"
#include "DiveVodNetClient.h"

// A simulated device on an ephemeral loopback port and a device client logged in to it as admin,
// as the main window leaves them after a login. Declare it before the monitors that use its client.
class ConnectedDevice
{
public:
    explicit ConnectedDevice(const SimDeviceState& state = SimDeviceState());
    ~ConnectedDevice();

    // Starts the simulator, opens the channel and logs in; false at the first step that fails.
    bool connect();

    DeviceSimulator sim;
    DiveVodNetClient client;
};

#endif // CONNECTEDDEVICE_H
