#include "StatusPanelLogic.h"

#include "DiveVodNetClient.h"
#include "LedStatusTimer.h"
#include "PanelStyles.h"

#include <QLabel>
#include <QPushButton>

namespace {

StatusPanelLogic::Clock clockOverride = nullptr;

// Restyling repolishes the widget; skip it when the look does not change (records come once a second).
void SetStyle(QWidget* widget, const QString& style)
{
    if (widget->styleSheet() != style) {
        widget->setStyleSheet(style);
    }
}

const QString& LedOnOff(bool on)
{
    return on ? LED_GREEN : LED_GRAY;
}

const QString& KeyOnOff(bool on)
{
    return on ? KEY_ACTIVE : KEY_IDLE;
}

} // namespace

void StatusPanelLogic::DeleteTimer(FlashTimers& flashTimers, int slot)
{
    delete flashTimers[slot];
    flashTimers[slot] = nullptr;
}

void StatusPanelLogic::DeleteTimers(FlashTimers& flashTimers)
{
    for (int slot = 0; slot < SlotCount; ++slot) {
        DeleteTimer(flashTimers, slot);
    }
}

void StatusPanelLogic::SetSteady(QWidget* widget, FlashTimers& flashTimers, int slot, const QString& style)
{
    DeleteTimer(flashTimers, slot);
    SetStyle(widget, style);
}

void StatusPanelLogic::StartFlashing(QWidget* widget, FlashTimers& flashTimers, QVector<int>& signature, int slot,
                                     const QString& firstStyle, const QString& secondStyle)
{
    // A slot that already flashes keeps its timer and its rhythm.
    if (!flashTimers[slot]) {
        flashTimers[slot] = new LedStatusTimer(widget, firstStyle, secondStyle);
    }
    signature[slot] = slot;
}

void StatusPanelLogic::ApplyTriState(QWidget* widget, quint32 value, FlashTimers& flashTimers, QVector<int>& signature,
                                     int slot, const QString& style0, const QString& style1, const QString& firstStyle,
                                     const QString& secondStyle)
{
    switch (value) {
    case 0:
        SetSteady(widget, flashTimers, slot, style0);
        break;
    case 1:
        SetSteady(widget, flashTimers, slot, style1);
        break;
    case 2:
        StartFlashing(widget, flashTimers, signature, slot, firstStyle, secondStyle);
        break;
    default:
        // Unknown state: keep whatever is shown, a running timer included.
        break;
    }
}

void StatusPanelLogic::ApplyStatus(const Widgets& w, FlashTimers& flashTimers, QVector<int>& flashSlots,
                                   const AcoGpioInfo& info)
{
    QVector<int> signature(SlotCount, -1);

    SetStyle(w.ps1, LedOnOff(info.ps1Led));
    SetStyle(w.ps2, LedOnOff(info.ps2Led));

    ApplyTriState(w.local, info.localLed, flashTimers, signature, SlotLocal, LED_GREEN, LED_GRAY, LED_GRAY, LED_GREEN);
    ApplyTriState(w.remote, info.remoteLed, flashTimers, signature, SlotRemote, LED_GREEN, LED_GRAY, LED_GRAY,
                  LED_GREEN);

    SetStyle(w.mode2x1, LedOnOff(info.panelType == 0));
    SetStyle(w.mode4x1, LedOnOff(info.panelType == 1));
    SetStyle(w.modeOthers, LedOnOff(info.panelType == 2));

    for (int i = 0; i < InputCount; ++i) {
        const quint32 bit = 1u << i;
        const bool green = info.gpioGreenMask & bit;
        const bool red = info.gpioRedMask & bit;
        if (green && red) {
            StartFlashing(w.inputLeds[i], flashTimers, signature, i, LED_RED, LED_GREEN);
        } else {
            SetSteady(w.inputLeds[i], flashTimers, i, green ? LED_GREEN : (red ? LED_RED : LED_GRAY));
        }
    }

    for (int i = 0; i < InputCount; ++i) {
        SetStyle(w.inputKeys[i], KeyOnOff(info.keyMask & (1u << i)));
    }

    ApplyTriState(w.phaseAlign, info.phaseAlign, flashTimers, signature, SlotPhaseAlign, KEY_IDLE, KEY_ACTIVE,
                  KEY_ACTIVE, KEY_IDLE);

    SetStyle(w.ipReset, KeyOnOff(info.ipReset));
    SetStyle(w.remCtrl, KeyOnOff(info.remCtrl));
    SetStyle(w.upgrade, KeyOnOff(info.upgrade));
    SetStyle(w.lock, KeyOnOff(info.keyLock));
    SetStyle(w.autoMode, KeyOnOff(info.autoMode));

    // Whenever the set of flashing slots changes, restart every timer in one pass so that all
    // flashing indicators blink together. A timer kept by an unknown state counts here too.
    if (signature != flashSlots) {
        for (LedStatusTimer* timer : flashTimers) {
            if (timer) {
                timer->Stop();
                timer->Restart();
            }
        }
        flashSlots = signature;
    }
}

void StatusPanelLogic::ResetStatus(const Widgets& w, FlashTimers& flashTimers, QVector<int>& flashSlots)
{
    flashSlots = QVector<int>(SlotCount, -1);
    DeleteTimers(flashTimers);

    for (int i = 0; i < InputCount; ++i) {
        SetStyle(w.inputKeys[i], KEY_IDLE);
        SetStyle(w.inputLeds[i], LED_GRAY);
    }
    for (QLabel* led : { w.ps1, w.ps2, w.remote, w.local, w.mode2x1, w.mode4x1, w.modeOthers }) {
        SetStyle(led, LED_GRAY);
    }
    for (QPushButton* key : { w.phaseAlign, w.ipReset, w.remCtrl, w.upgrade, w.lock, w.autoMode }) {
        SetStyle(key, KEY_IDLE);
    }
    SetABKeysEnabled(w, false);
}

void StatusPanelLogic::SetABKeysEnabled(const Widgets& w, bool enabled)
{
    for (QPushButton* key : w.inputKeys) {
        key->setEnabled(enabled);
    }
}

QMap<QString, int> StatusPanelLogic::ButtonBits()
{
    QMap<QString, int> bits;
    for (int i = 0; i < InputCount; ++i) {
        bits.insert(QStringLiteral("pushButtonIN%1").arg(i + 1), 1 << i);
    }
    return bits;
}

int StatusPanelLogic::PressKey(DiveVodNetClient* client, const QMap<QString, int>& buttonBits, const QObject* button,
                               QTime& lastClick, int inertBit)
{
    // Swallow bounces and double clicks. A time of day earlier than the previous click (past midnight)
    // gives a negative difference and is swallowed as well; either way the click becomes the last one.
    const QTime now = CurrentTime();
    const int sinceLast = lastClick.msecsTo(now);
    lastClick = now;
    if (sinceLast < ClickIntervalMs) {
        return 0;
    }

    const auto found = button ? buttonBits.constFind(button->objectName()) : buttonBits.constEnd();
    if (found == buttonBits.constEnd()) {
        return 0; // not one of the input keys: there is no key bit to press
    }
    const int bit = found.value();
    if (bit == inertBit || !client) {
        return 0;
    }
    return client->SetABKeyState(static_cast<quint32>(bit)) == 0 ? bit : 0;
}

QTime StatusPanelLogic::CurrentTime()
{
    return clockOverride ? clockOverride() : QTime::currentTime();
}

void StatusPanelLogic::SetClock(Clock clock)
{
    clockOverride = clock;
}
