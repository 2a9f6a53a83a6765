#include "UpdateThread.h"

#include "DiveVodNetClient.h"

namespace {
constexpr int kCyclePauseMs = 3000;
constexpr int kNoWorkMode = 255;
} // namespace

UpdateThread::UpdateThread(DiveVodNetClient* client)
    : client(client)
    , running(true)
{
}

UpdateThread::~UpdateThread()
{
    StopAndWait();
}

void UpdateThread::Start()
{
    control.start(*this, running);
}

void UpdateThread::Stop()
{
    running = false;
}

void UpdateThread::StopAndWait()
{
    control.stopAndWait(*this, running);
}

void UpdateThread::run()
{
    while (control.enterCycle(running)) {
        quint32 workMode = kNoWorkMode;
        if (client->GetWorkMode(workMode) == 0)
            emit IsAlive(true, static_cast<int>(workMode));
        else
            emit IsAlive(false, kNoWorkMode);
        control.pause(kCyclePauseMs);
    }
}
