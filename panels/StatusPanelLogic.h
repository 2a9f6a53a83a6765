#ifndef STATUSPANELLOGIC_H
#define STATUSPANELLOGIC_H

#include "AcoGpioInfo.h"

#include <QMap>
#include <QString>
#include <QTime>
#include <QVector>

#include <array>

class DiveVodNetClient;
class LedStatusTimer;
class QLabel;
class QObject;
class QPushButton;

// What the 2x1 and the 4x1 status panels do alike. Both forms use the same object names for every
// indicator, so the panels hand their widgets and their own state in here and keep only the form.
class StatusPanelLogic
{
public:
    // Flashing slots: inputs 0 to 5, then these three.
    static constexpr int SlotLocal = 6;
    static constexpr int SlotRemote = 7;
    static constexpr int SlotPhaseAlign = 8;
    static constexpr int SlotCount = 9;
    static constexpr int InputCount = 6;
    static constexpr int ClickIntervalMs = 1000;

    using FlashTimers = std::array<LedStatusTimer*, SlotCount>;
    // Untranslated names of the six inputs as one panel captions them (translation context
    // "StatusPanelLogic"); the tool tips and accessible names start with them.
    using InputNames = std::array<const char*, InputCount>;
    static const InputNames& InputNames2x1();
    static const InputNames& InputNames4x1();
    // What each indicator's tool tip and accessible name say now, as a code (-1: nothing yet), so that
    // a record rewrites only the texts of what changed. Order: PS1, PS2, Local, Remote, the three mode
    // LEDs, the six function keys, the input LEDs, the input keys.
    static constexpr int IndicatorCount = 25;
    using Descriptions = std::array<qint8, IndicatorCount>;

    // The indicators of one panel form.
    struct Widgets
    {
        QLabel* ps1 = nullptr;
        QLabel* ps2 = nullptr;
        QLabel* local = nullptr;
        QLabel* remote = nullptr;
        QLabel* mode2x1 = nullptr;
        QLabel* mode4x1 = nullptr;
        QLabel* modeOthers = nullptr;
        std::array<QLabel*, InputCount> inputLeds {};
        std::array<QPushButton*, InputCount> inputKeys {};
        QPushButton* phaseAlign = nullptr;
        QPushButton* ipReset = nullptr;
        QPushButton* remCtrl = nullptr;
        QPushButton* upgrade = nullptr;
        QPushButton* lock = nullptr;
        QPushButton* autoMode = nullptr;
        const InputNames* inputNames = nullptr;
        Descriptions* descriptions = nullptr;

        template <class Form>
        static Widgets FromForm(const Form& ui, const InputNames& names, Descriptions& descriptions)
        {
            Widgets w;
            w.inputNames = &names;
            w.descriptions = &descriptions;
            w.ps1 = ui.labelPS1;
            w.ps2 = ui.labelPS2;
            w.local = ui.labelLocal;
            w.remote = ui.labelRemote;
            w.mode2x1 = ui.label2x1;
            w.mode4x1 = ui.label4x1;
            w.modeOthers = ui.labelOthers;
            w.inputLeds = { ui.labelIN1, ui.labelIN2, ui.labelIN3, ui.labelIN4, ui.labelIN5, ui.labelIN6 };
            w.inputKeys = { ui.pushButtonIN1, ui.pushButtonIN2, ui.pushButtonIN3,
                            ui.pushButtonIN4, ui.pushButtonIN5, ui.pushButtonIN6 };
            w.phaseAlign = ui.pushButtonPhaseAlign;
            w.ipReset = ui.pushButtonIpReset;
            w.remCtrl = ui.pushButtonRemCtrl;
            w.upgrade = ui.pushButtonUpgrade;
            w.lock = ui.pushButtonLock;
            w.autoMode = ui.pushButtonAutoMode;
            return w;
        }
    };

    // Repaints the panel from one record and keeps the flashing indicators in step.
    static void ApplyStatus(const Widgets& w, FlashTimers& flashTimers, QVector<int>& flashSlots,
                            const AcoGpioInfo& info);
    // The disconnected look: everything gray or idle, nothing flashing, input keys disabled.
    static void ResetStatus(const Widgets& w, FlashTimers& flashTimers, QVector<int>& flashSlots);
    static void SetABKeysEnabled(const Widgets& w, bool enabled);
    // Writes every indicator's tool tip and accessible name again in the current language.
    static void RetranslateDescriptions(const Widgets& w);
    // Lays the panel out again from its new texts, as if built in the new language.
    static void Relayout(QWidget* panel);
    static void DeleteTimers(FlashTimers& flashTimers);

    // Object name of each input key button -> its key bit.
    static QMap<QString, int> ButtonBits();

    // Handles a click on an input key: applies the click filter (which always records the click in
    // `lastClick`), looks up the key bit of `button` and, unless it is `inertBit`, asks the device to
    // press it. Returns the bit when the device accepted it, 0 when there is nothing to announce.
    static int PressKey(DiveVodNetClient* client, const QMap<QString, int>& buttonBits, const QObject* button,
                        QTime& lastClick, int inertBit);

    // Time of day for the click filter. Tests replace the clock; nullptr restores the wall clock.
    using Clock = QTime (*)();
    static QTime CurrentTime();
    static void SetClock(Clock clock);

private:
    // Tells the user in the main window's status bar when a key press did not reach the device.
    static void ReportKeyPress(const QObject* button, bool reached);
    static void DeleteTimer(FlashTimers& flashTimers, int slot);
    static void SetSteady(QWidget* widget, FlashTimers& flashTimers, int slot, const QString& style);
    static void StartFlashing(QWidget* widget, FlashTimers& flashTimers, QVector<int>& signature, int slot,
                              const QString& firstStyle, const QString& secondStyle);
    // A three-state indicator: 0 and 1 are steady looks, 2 flashes, anything else leaves it alone.
    static void ApplyTriState(QWidget* widget, quint32 value, FlashTimers& flashTimers, QVector<int>& signature,
                              int slot, const QString& style0, const QString& style1, const QString& firstStyle,
                              const QString& secondStyle);
};

#endif // STATUSPANELLOGIC_H
