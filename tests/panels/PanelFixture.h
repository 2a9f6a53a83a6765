#ifndef PANELFIXTURE_H
#define PANELFIXTURE_H

#include "AcoGpioInfo.h"
#include "GPIOStatus2x1.h"
#include "GPIOStatus4x1.h"
#include "LedStatusTimer.h"
#include "PanelStyles.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMap>
#include <QStringList>
#include <QString>
#include <QTimer>
#include <QtTest>
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

// Sets one field of the record by its name.
inline void setField(AcoGpioInfo& info, const QString& field, quint32 value)
{
    if (field == "ps1Led")
        info.ps1Led = value;
    else if (field == "ps2Led")
        info.ps2Led = value;
    else if (field == "localLed")
        info.localLed = value;
    else if (field == "remoteLed")
        info.remoteLed = value;
    else if (field == "panelType")
        info.panelType = value;
    else if (field == "gpioGreenMask")
        info.gpioGreenMask = value;
    else if (field == "gpioRedMask")
        info.gpioRedMask = value;
    else if (field == "keyMask")
        info.keyMask = value;
    else if (field == "ipReset")
        info.ipReset = value;
    else if (field == "upgrade")
        info.upgrade = value;
    else if (field == "remCtrl")
        info.remCtrl = value;
    else if (field == "keyLock")
        info.keyLock = value;
    else if (field == "autoMode")
        info.autoMode = value;
    else if (field == "phaseAlign")
        info.phaseAlign = static_cast<quint8>(value);
    else if (field == "remoteKeyMask")
        info.remoteKeyMask = value;
    else
        qFatal("unknown field %s", qPrintable(field));
}

// A record from "field=value ..." (decimal or 0x hex) over the all-off record.
inline AcoGpioInfo recordFrom(const QString& fields)
{
    AcoGpioInfo info = darkRecord();
    for (const QString& pair : fields.split(' ', Qt::SkipEmptyParts)) {
        const QStringList parts = pair.split('=');
        bool ok = false;
        const quint32 value = parts.value(1).toUInt(&ok, 0);
        if (parts.size() != 2 || !ok)
            qFatal("bad field %s", qPrintable(pair));
        setField(info, parts[0], value);
    }
    return info;
}

// A data column "kind" with a row per panel.
inline void kindsData()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("2x1") << QStringLiteral("2x1");
    QTest::newRow("4x1") << QStringLiteral("4x1");
}

// Every indicator of a panel form: LEDs, then input keys, then function keys.
inline QStringList allIndicators()
{
    return { "labelPS1",      "labelPS2",      "labelIN1",      "labelIN2",      "labelIN3",
             "labelIN4",      "labelIN5",      "labelIN6",      "labelLocal",    "labelRemote",
             "label2x1",      "label4x1",      "labelOthers",   "pushButtonIN1", "pushButtonIN2",
             "pushButtonIN3", "pushButtonIN4", "pushButtonIN5", "pushButtonIN6", "pushButtonLock",
             "pushButtonAutoMode", "pushButtonPhaseAlign", "pushButtonRemCtrl", "pushButtonUpgrade",
             "pushButtonIpReset" };
}

// The name of a panel style (LED_GRAY, KEY_ACTIVE, ...), for readable comparisons.
inline QString styleName(const QString& sheet)
{
    const QMap<QString, QString> names = { { LED_GRAY, "LED_GRAY" },   { LED_GREEN, "LED_GREEN" },
                                           { LED_RED, "LED_RED" },     { LED_YELLOW, "LED_YELLOW" },
                                           { KEY_IDLE, "KEY_IDLE" },   { KEY_ACTIVE, "KEY_ACTIVE" } };
    return names.value(sheet, sheet.isEmpty() ? QStringLiteral("<empty>") : sheet);
}

// The look of every indicator, by object name.
inline QMap<QString, QString> snapshot(const PanelUnderTest& p)
{
    QMap<QString, QString> looks;
    for (const QString& name : allIndicators())
        looks.insert(name, styleName(p.style(name)));
    return looks;
}

#endif // PANELFIXTURE_H
