#ifndef GPIOSTATUS2X1_H
#define GPIOSTATUS2X1_H

#include "AcoGpioInfo.h"

#include <QMap>
#include <QString>
#include <QTime>
#include <QVector>
#include <QWidget>

#include <array>

class DiveVodNetClient;
class LedStatusTimer;

namespace Ui {
class GpioStatus2x1;
}

// Live picture of a D2X1 device: two input groups of IN 1, IN 2 and BYPASS, the connection and mode
// LEDs and the function indicators. Its input keys press the device's A/B keys.
class GPIOStatus2x1 : public QWidget
{
    Q_OBJECT

public:
    // `client` is not owned and may be null (then the keys press nothing).
    explicit GPIOStatus2x1(DiveVodNetClient* client, QWidget* parent = nullptr);
    ~GPIOStatus2x1() override;

    void ResetStatus();
    void SetABKeysEnabled(bool enabled);

    // Read-only views of the flashing state, for diagnostics and tests.
    LedStatusTimer* FlashTimer(int slot) const;
    QVector<int> FlashSlots() const;

signals:
    void RemoteABKey(int key);

public slots:
    void OnRecvStatusInfo(AcoGpioInfo info);
    void OnSetABKeyState();

protected:
    void changeEvent(QEvent* event) override;

private:
    DiveVodNetClient* client;
    Ui::GpioStatus2x1* ui;
    std::array<LedStatusTimer*, 9> flashTimers;
    QVector<int> flashSlots;
    QMap<QString, int> buttonBits;
    QTime lastClick;
    // What the indicators' tool tips say now (see StatusPanelLogic::Descriptions).
    std::array<qint8, 25> descriptions;
};

#endif // GPIOSTATUS2X1_H
