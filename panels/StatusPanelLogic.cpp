#include "StatusPanelLogic.h"

#include "DeviceWait.h"
#include "DiveVodNetClient.h"
#include "LedStatusTimer.h"
#include "PanelStyles.h"

#include <QCoreApplication>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QStyle>
#include <QStyleOptionGroupBox>
#include <QLayout>
#include <QMainWindow>
#include <QPushButton>
#include <QStatusBar>

#include <algorithm>

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

// --- Tool tips and accessible names ------------------------------------------------------------------
// Each indicator says what it shows, in the words of the alarm log ("PS1: Green", "IN 2: Green Red
// Flashing"). The texts are written only when what an indicator shows changes, and again on a
// language change.

const char* const Context = "StatusPanelLogic";

enum class Shown : qint8 { Keep = -1, Off, Green, Red, GreenRedFlashing, GreenFlashing, Disabled, Enabled, Flashing };

const char* ShownText(Shown shown)
{
    switch (shown) {
    case Shown::Off:
        return QT_TRANSLATE_NOOP("StatusPanelLogic", "Off");
    case Shown::Green:
        return QT_TRANSLATE_NOOP("StatusPanelLogic", "Green");
    case Shown::Red:
        return QT_TRANSLATE_NOOP("StatusPanelLogic", "Red");
    case Shown::GreenRedFlashing:
        return QT_TRANSLATE_NOOP("StatusPanelLogic", "Green Red Flashing");
    case Shown::GreenFlashing:
        return QT_TRANSLATE_NOOP("StatusPanelLogic", "Green Flashing");
    case Shown::Disabled:
        return QT_TRANSLATE_NOOP("StatusPanelLogic", "Disabled");
    case Shown::Enabled:
        return QT_TRANSLATE_NOOP("StatusPanelLogic", "Enabled");
    case Shown::Flashing:
        return QT_TRANSLATE_NOOP("StatusPanelLogic", "Flashing");
    case Shown::Keep:
        break;
    }
    return "";
}

const char* const NamePS1 = QT_TRANSLATE_NOOP("StatusPanelLogic", "PS1");
const char* const NamePS2 = QT_TRANSLATE_NOOP("StatusPanelLogic", "PS2");
const char* const NameLocal = QT_TRANSLATE_NOOP("StatusPanelLogic", "Local");
const char* const NameRemote = QT_TRANSLATE_NOOP("StatusPanelLogic", "Remote");
const char* const NameD2X1 = QT_TRANSLATE_NOOP("StatusPanelLogic", "D2X1");
const char* const Name4X1 = QT_TRANSLATE_NOOP("StatusPanelLogic", "4X1");
const char* const NameOthers = QT_TRANSLATE_NOOP("StatusPanelLogic", "Others");
const char* const NameLock = QT_TRANSLATE_NOOP("StatusPanelLogic", "LOCK");
const char* const NameAutoMode = QT_TRANSLATE_NOOP("StatusPanelLogic", "AUTO MODE");
const char* const NamePhaseAlign = QT_TRANSLATE_NOOP("StatusPanelLogic", "PHASE ALIGN");
const char* const NameRemCtrl = QT_TRANSLATE_NOOP("StatusPanelLogic", "REM CTRL");
const char* const NameUpgrade = QT_TRANSLATE_NOOP("StatusPanelLogic", "UPGRADE");
const char* const NameIpReset = QT_TRANSLATE_NOOP("StatusPanelLogic", "IP RESET");

enum class NameKind { Plain, InputKey };

// Positions of the indicators in StatusPanelLogic::Descriptions.
enum IndicatorIndex : int {
    IndexPS1,
    IndexPS2,
    IndexLocal,
    IndexRemote,
    IndexMode2x1,
    IndexMode4x1,
    IndexModeOthers,
    IndexLock,
    IndexAutoMode,
    IndexPhaseAlign,
    IndexRemCtrl,
    IndexUpgrade,
    IndexIpReset,
    IndexFirstInputLed,
    IndexFirstInputKey = IndexFirstInputLed + StatusPanelLogic::InputCount,
    IndexEnd = IndexFirstInputKey + StatusPanelLogic::InputCount
};
static_assert(IndexEnd == StatusPanelLogic::IndicatorCount, "one description per indicator");

// What every indicator shows after a record; Keep leaves an indicator's description alone.
using ShownNow = std::array<Shown, StatusPanelLogic::IndicatorCount>;

struct Indicator
{
    QWidget* widget;
    const char* name;
    NameKind kind;
};

std::array<Indicator, StatusPanelLogic::IndicatorCount> Indicators(const StatusPanelLogic::Widgets& w)
{
    std::array<Indicator, StatusPanelLogic::IndicatorCount> all = { {
        { w.ps1, NamePS1, NameKind::Plain },
        { w.ps2, NamePS2, NameKind::Plain },
        { w.local, NameLocal, NameKind::Plain },
        { w.remote, NameRemote, NameKind::Plain },
        { w.mode2x1, NameD2X1, NameKind::Plain },
        { w.mode4x1, Name4X1, NameKind::Plain },
        { w.modeOthers, NameOthers, NameKind::Plain },
        { w.lock, NameLock, NameKind::Plain },
        { w.autoMode, NameAutoMode, NameKind::Plain },
        { w.phaseAlign, NamePhaseAlign, NameKind::Plain },
        { w.remCtrl, NameRemCtrl, NameKind::Plain },
        { w.upgrade, NameUpgrade, NameKind::Plain },
        { w.ipReset, NameIpReset, NameKind::Plain },
    } };
    for (int i = 0; i < StatusPanelLogic::InputCount; ++i) {
        all[IndexFirstInputLed + i] = { w.inputLeds[i], (*w.inputNames)[i], NameKind::Plain };
        all[IndexFirstInputKey + i] = { w.inputKeys[i], (*w.inputNames)[i], NameKind::InputKey };
    }
    return all;
}

QString Tr(const char* text)
{
    return QCoreApplication::translate(Context, text);
}

void WriteDescription(const Indicator& indicator, Shown shown)
{
    const QString who = indicator.kind == NameKind::InputKey
        ? Tr(QT_TRANSLATE_NOOP("StatusPanelLogic", "%1 key")).arg(Tr(indicator.name))
        : Tr(indicator.name);
    const QString text = Tr(QT_TRANSLATE_NOOP("StatusPanelLogic", "%1: %2")).arg(who, Tr(ShownText(shown)));
    indicator.widget->setToolTip(text);
    indicator.widget->setAccessibleName(text);
}

// Writes only the descriptions whose state changed: an unchanged record costs a comparison each.
void UpdateDescriptions(const StatusPanelLogic::Widgets& w, const ShownNow& now)
{
    StatusPanelLogic::Descriptions& described = *w.descriptions;
    std::array<Indicator, StatusPanelLogic::IndicatorCount> all;
    bool collected = false;
    for (int i = 0; i < StatusPanelLogic::IndicatorCount; ++i) {
        const auto code = static_cast<qint8>(now[i]);
        if (now[i] == Shown::Keep || described[i] == code) {
            continue;
        }
        if (!collected) {
            all = Indicators(w);
            collected = true;
        }
        described[i] = code;
        WriteDescription(all[i], now[i]);
    }
}

Shown LedShown(bool on)
{
    return on ? Shown::Green : Shown::Off;
}

Shown KeyShown(bool on)
{
    return on ? Shown::Enabled : Shown::Disabled;
}

// The same mapping as the looks in ApplyStatus: an unknown value of a three-state field keeps both
// the look and the description.
ShownNow ShownFor(const AcoGpioInfo& info)
{
    const auto triState = [](quint32 value, Shown s0, Shown s1, Shown s2) {
        return value == 0 ? s0 : value == 1 ? s1 : value == 2 ? s2 : Shown::Keep;
    };
    ShownNow now;
    now[IndexPS1] = LedShown(info.ps1Led);
    now[IndexPS2] = LedShown(info.ps2Led);
    now[IndexLocal] = triState(info.localLed, Shown::Green, Shown::Off, Shown::GreenFlashing);
    now[IndexRemote] = triState(info.remoteLed, Shown::Green, Shown::Off, Shown::GreenFlashing);
    now[IndexMode2x1] = LedShown(info.panelType == 0);
    now[IndexMode4x1] = LedShown(info.panelType == 1);
    now[IndexModeOthers] = LedShown(info.panelType == 2);
    now[IndexLock] = KeyShown(info.keyLock);
    now[IndexAutoMode] = KeyShown(info.autoMode);
    now[IndexPhaseAlign] = triState(info.phaseAlign, Shown::Disabled, Shown::Enabled, Shown::Flashing);
    now[IndexRemCtrl] = KeyShown(info.remCtrl);
    now[IndexUpgrade] = KeyShown(info.upgrade);
    now[IndexIpReset] = KeyShown(info.ipReset);
    for (int i = 0; i < StatusPanelLogic::InputCount; ++i) {
        const quint32 bit = 1u << i;
        const bool green = info.gpioGreenMask & bit;
        const bool red = info.gpioRedMask & bit;
        now[IndexFirstInputLed + i]
            = green && red ? Shown::GreenRedFlashing : (green ? Shown::Green : (red ? Shown::Red : Shown::Off));
        now[IndexFirstInputKey + i] = KeyShown(info.keyMask & bit);
    }
    return now;
}

} // namespace

const StatusPanelLogic::InputNames& StatusPanelLogic::InputNames2x1()
{
    static const InputNames names = {
        QT_TRANSLATE_NOOP("StatusPanelLogic", "Group A IN 1"),
        QT_TRANSLATE_NOOP("StatusPanelLogic", "Group A IN 2"),
        QT_TRANSLATE_NOOP("StatusPanelLogic", "Group A BYPASS"),
        QT_TRANSLATE_NOOP("StatusPanelLogic", "Group B IN 1"),
        QT_TRANSLATE_NOOP("StatusPanelLogic", "Group B IN 2"),
        QT_TRANSLATE_NOOP("StatusPanelLogic", "Group B BYPASS"),
    };
    return names;
}

const StatusPanelLogic::InputNames& StatusPanelLogic::InputNames4x1()
{
    // The fifth column has no caption and no input behind it, but its LED still lights.
    static const InputNames names = {
        QT_TRANSLATE_NOOP("StatusPanelLogic", "IN 1"),          QT_TRANSLATE_NOOP("StatusPanelLogic", "IN 2"),
        QT_TRANSLATE_NOOP("StatusPanelLogic", "IN 3"),          QT_TRANSLATE_NOOP("StatusPanelLogic", "IN 4"),
        QT_TRANSLATE_NOOP("StatusPanelLogic", "IN 5 (unused)"), QT_TRANSLATE_NOOP("StatusPanelLogic", "BYPASS"),
    };
    return names;
}

void StatusPanelLogic::Relayout(QWidget* panel)
{
    // Nested layouts hand new size hints outwards only through posted requests, one level at a time, and
    // settle on a different result than a fresh build: recompute them innermost first, now.
    QList<QWidget*> widgets = panel->findChildren<QWidget*>();
    widgets.prepend(panel);
    // A group box places its contents by its title. Built, it measured the title before its style sheet took
    // effect, with the application's style; a new title is measured through the style sheet, whose 5ex
    // top margin squeezes the inputs. Measure it the way a fresh build does.
    for (QGroupBox* box : panel->findChildren<QGroupBox*>()) {
        if (box->title().isEmpty())
            continue; // never retitled
        QStyleOptionGroupBox option;
        option.initFrom(box);
        option.text = box->title();
        option.lineWidth = 1;
        option.textAlignment = box->alignment();
        option.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
        const QRect contents
            = QApplication::style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxContents, box);
        box->setContentsMargins(contents.left() - option.rect.left(), contents.top() - option.rect.top(),
                                option.rect.right() - contents.right(), option.rect.bottom() - contents.bottom());
    }
    for (auto it = widgets.crbegin(); it != widgets.crend(); ++it) {
        if (QLayout* layout = (*it)->layout()) {
            layout->invalidate();
            layout->activate();
        }
    }
}

void StatusPanelLogic::RetranslateDescriptions(const Widgets& w)
{
    const auto all = Indicators(w);
    for (int i = 0; i < IndicatorCount; ++i) {
        const qint8 code = (*w.descriptions)[i];
        if (code >= 0) {
            WriteDescription(all[i], static_cast<Shown>(code));
        }
    }
}

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
    UpdateDescriptions(w, ShownFor(info));

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
    ShownNow dark;
    dark.fill(Shown::Off);
    std::fill(dark.begin() + IndexLock, dark.begin() + IndexIpReset + 1, Shown::Disabled);
    std::fill(dark.begin() + IndexFirstInputKey, dark.end(), Shown::Disabled);
    UpdateDescriptions(w, dark);
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
    const auto* widget = qobject_cast<const QWidget*>(button);
    DeviceWait wait(widget ? widget->window() : nullptr);
    const int result = DeviceWait::Run([&] { return client->SetABKeyState(static_cast<quint32>(bit)); });
    if (wait.Ended()) {
        return 0; // the window is going: nothing to announce or to tell
    }
    ReportKeyPress(button, result == 0);
    return result == 0 ? bit : 0;
}

void StatusPanelLogic::ReportKeyPress(const QObject* button, bool reached)
{
    // A lost press would otherwise look like a device that ignored the key.
    const auto* widget = qobject_cast<const QWidget*>(button);
    auto* mainWindow = widget ? qobject_cast<QMainWindow*>(widget->window()) : nullptr;
    if (!mainWindow)
        return;
    const QString lost = QCoreApplication::translate("StatusPanelLogic", "The key press did not reach the device.");
    QStatusBar* bar = mainWindow->statusBar();
    if (!reached)
        bar->showMessage(lost);
    else if (bar->currentMessage() == lost)
        bar->clearMessage();
}

QTime StatusPanelLogic::CurrentTime()
{
    return clockOverride ? clockOverride() : QTime::currentTime();
}

void StatusPanelLogic::SetClock(Clock clock)
{
    clockOverride = clock;
}
