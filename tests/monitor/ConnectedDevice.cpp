#include "ConnectedDevice.h"

ConnectedDevice::ConnectedDevice(const SimDeviceState& state)
    : sim(state)
{
}

ConnectedDevice::~ConnectedDevice()
{
    client.CloseChannel();
    sim.stop();
}

bool ConnectedDevice::connect()
{
    if (!sim.start(QStringLiteral("127.0.0.1"), 0))
        return false;
    if (client.OpenChannel(QStringLiteral("127.0.0.1"), sim.port()) != 0)
        return false;
    client.SetLoginInfo(0, QStringLiteral("123456"));
    return client.Authenticate() == 0;
}
