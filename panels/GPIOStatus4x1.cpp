#include "GPIOStatus4x1.h"
#include "ui_GPIOStatus4x1.h"

#include "LedStatusTimer.h"
#include "StatusPanelLogic.h"

#include <QEvent>

namespace {

StatusPanelLogic::Widgets FormWidgets(const Ui::GpioStatus4x1& ui, StatusPanelLogic::Descriptions& descriptions)
{
    return StatusPanelLogic::Widgets::FromForm(ui, StatusPanelLogic::InputNames4x1(), descriptions);
}

} // namespace

GPIOStatus4x1::GPIOStatus4x1(DiveVodNetClient* client, QWidget* parent)
    : QWidget(parent)
    , client(client)
    , ui(new Ui::GpioStatus4x1)
    , flashTimers {}
{
    ui->setupUi(this);
    for (QPushButton* key : FormWidgets(*ui, descriptions).inputKeys) {
        connect(key, SIGNAL(clicked()), this, SLOT(OnSetABKeyState()));
    }
    buttonBits = StatusPanelLogic::ButtonBits();
    lastClick = StatusPanelLogic::CurrentTime();
    descriptions.fill(-1);
    ResetStatus();
}

GPIOStatus4x1::~GPIOStatus4x1()
{
    // The timers point at widgets of the form: they go first.
    StatusPanelLogic::DeleteTimers(flashTimers);
    delete ui;
}

void GPIOStatus4x1::ResetStatus()
{
    StatusPanelLogic::ResetStatus(FormWidgets(*ui, descriptions), flashTimers, flashSlots);
}

void GPIOStatus4x1::SetABKeysEnabled(bool enabled)
{
    StatusPanelLogic::SetABKeysEnabled(FormWidgets(*ui, descriptions), enabled);
}

LedStatusTimer* GPIOStatus4x1::FlashTimer(int slot) const
{
    return slot >= 0 && slot < static_cast<int>(flashTimers.size()) ? flashTimers[slot] : nullptr;
}

QVector<int> GPIOStatus4x1::FlashSlots() const
{
    return flashSlots;
}

void GPIOStatus4x1::OnRecvStatusInfo(AcoGpioInfo info)
{
    StatusPanelLogic::ApplyStatus(FormWidgets(*ui, descriptions), flashTimers, flashSlots, info);
}

void GPIOStatus4x1::OnSetABKeyState()
{
    // The fifth input does not exist on this front panel; its key is inert.
    const int inertBit = 16;
    const int bit = StatusPanelLogic::PressKey(client, buttonBits, sender(), lastClick, inertBit);
    if (bit != 0) {
        emit RemoteABKey(bit);
    }
}

void GPIOStatus4x1::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::LanguageChange) {
        ui->retranslateUi(this);
        StatusPanelLogic::RetranslateDescriptions(FormWidgets(*ui, descriptions));
        StatusPanelLogic::Relayout(this);
    }
    QWidget::changeEvent(event);
}
