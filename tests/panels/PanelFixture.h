#ifndef PANELFIXTURE_H
#define PANELFIXTURE_H

#include "AcoGpioInfo.h"
#include "GPIOStatus2x1.h"
#include "GPIOStatus4x1.h"
#include "LedStatusTimer.h"

#include <QAbstractButton>
#include <QApplication>
#include <QString>
#include <QTimer>
#include <QVector>
#include <QWidget>

#include <functional>
#include <memory>

class DiveVodNetClient;

// One status panel of either kind behind a uniform face, so that each case runs on both panels.
struct PanelUnderTest
{
    std::unique_ptr<QWidget> widget;
    std::function<void(const AcoGpioInfo&)> apply;
    std::function<void()> reset;
    std::function<void(bool)> setKeysEnabled;
    std::function<LedStatusTimer*(int)> timer;
    std::function<QVector<int>()> flashSlots;

    template <class Panel> static PanelUnderTest Make(DiveVodNetClient* client)
    {
        PanelUnderTest p;
        auto* panel = new Panel(client);
        p.widget.reset(panel);
        p.apply = [panel](const AcoGpioInfo& info) { panel->OnRecvStatusInfo(info); };
        p.reset = [panel]() { panel->ResetStatus(); };
        p.setKeysEnabled = [panel](bool on) { panel->SetABKeysEnabled(on); };
        p.timer = [panel](int slot) { return panel->FlashTimer(slot); };
        p.flashSlots = [panel]() { return panel->FlashSlots(); };
        return p;
    }

    // kind: "2x1" or "4x1"
    static PanelUnderTest Make(const QString& kind, DiveVodNetClient* client = nullptr)
    {
        return kind == QLatin1String("2x1") ? Make<GPIOStatus2x1>(client) : Make<GPIOStatus4x1>(client);
    }

    QString style(const QString& objectName) const
    {
        QWidget* child = widget->findChild<QWidget*>(objectName);
        return child ? child->styleSheet() : QStringLiteral("<missing %1>").arg(objectName);
    }

    QAbstractButton* button(const QString& objectName) const { return widget->findChild<QAbstractButton*>(objectName); }
};

// The QTimer inside a flash timer (it is the flash timer's only child).
inline QTimer* innerTimer(LedStatusTimer* flash)
{
    return flash ? flash->findChild<QTimer*>() : nullptr;
}

// An all-off record: every LED dark, every key idle, nothing flashing.
inline AcoGpioInfo darkRecord()
{
    AcoGpioInfo info;
    info.localLed = 1;
    info.remoteLed = 1;
    info.panelType = 0;
    info.gpioGreenMask = 0;
    info.gpioRedMask = 0;
    info.keyMask = 0;
    info.phaseAlign = 0;
    return info;
}

#endif // PANELFIXTURE_H
