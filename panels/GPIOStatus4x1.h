#ifndef GPIOSTATUS4X1_H
#define GPIOSTATUS4X1_H

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
class GpioStatus4x1;
}

// Live picture of a 4X1 device (and of any other panel type): one input group of IN 1 to IN 4, an
// unused fifth input and BYPASS. The fifth input's key is drawn but presses nothing.
class GPIOStatus4x1 : public QWidget
{
    Q_OBJECT

public:
    // `client` is not owned and may be null (then the keys press nothing).
    explicit GPIOStatus4x1(DiveVodNetClient* client, QWidget* parent = nullptr);
    ~GPIOStatus4x1() override;

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
    Ui::GpioStatus4x1* ui;
    std::array<LedStatusTimer*, 9> flashTimers;
    QVector<int> flashSlots;
    QMap<QString, int> buttonBits;
    QTime lastClick;
    // What the indicators' tool tips say now (see StatusPanelLogic::Descriptions).
    std::array<qint8, 25> descriptions;
};

#endif // GPIOSTATUS4X1_H
