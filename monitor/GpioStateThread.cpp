#include "GpioStateThread.h"

#include "DiveVodNetClient.h"

namespace {
constexpr int kCyclePauseMs = 1000;
// Time the device needs to switch after a key press before its status shows the result.
constexpr int kKeySettleMs = 800;
} // namespace

GpioStateThread::GpioStateThread(DiveVodNetClient* client)
    : client(client)
    , running(true)
    , abMask(0)
{
}

GpioStateThread::~GpioStateThread()
{
    StopAndWait();
}

void GpioStateThread::Start()
{
    control.start(*this, running);
}

void GpioStateThread::Stop()
{
    running = false;
}

void GpioStateThread::StopAndWait()
{
    control.stopAndWait(*this, running);
}

void GpioStateThread::OnRecvRemoteABMask(int mask)
{
    std::lock_guard<std::mutex> guard(mutex);
    abMask = mask;
}

void GpioStateThread::DropMaskAndPause()
{
    {
        std::lock_guard<std::mutex> guard(mutex);
        abMask = 0;
    }
    control.pause(kCyclePauseMs);
}

void GpioStateThread::run()
{
    // Every field is written before each emission, so the record needs no reset between cycles.
    AcoGpioInfo record;
    while (control.enterCycle(running)) {
        quint8 keyLock = 0;
        quint8 autoMode = 0;
        quint32 panelType = 0;
        quint8 phaseAlign = 0;
        // An owner waiting for the loop must not sit through the rest of a cycle: it is abandoned
        // between exchanges like a failed one.
        if (client->GetAcoGpioInfo(record) != 0 || control.isWoken()
            || client->GetShortPressKeyState(keyLock, autoMode, panelType) != 0 || control.isWoken()
            || client->GetPhaseAlignState(phaseAlign) != 0) {
            DropMaskAndPause();
            continue;
        }
        record.keyLock = keyLock != 0;
        record.autoMode = autoMode != 0;
        record.phaseAlign = phaseAlign;

        std::unique_lock<std::mutex> guard(mutex);
        record.remoteKeyMask = static_cast<quint32>(abMask);
        if (abMask != 0) {
            // Holding the mutex keeps a further key press from slipping in before this one is reported.
            // Only the GPIO status part is read again; the key states stay those read above.
            if (!control.pause(kKeySettleMs) || client->GetAcoGpioInfo(record) != 0) {
                abMask = 0;
                control.pause(kCyclePauseMs);
                continue;
            }
        }
        abMask = 0;
        guard.unlock();
        emit SendInfo(record);
        control.pause(kCyclePauseMs);
    }
}
