#include "LedStatusTimer.h"

#include <QWidget>

namespace {
const int FlashIntervalMs = 1000;
}

LedStatusTimer::LedStatusTimer(QWidget* widget, const QString& firstStyle, const QString& secondStyle)
    // The timer is a member but also a child, so that it follows this object across threads.
    : timer(this)
    , widget(widget)
    , firstStyle(firstStyle)
    , secondStyle(secondStyle)
    , phase(false)
{
    timer.setInterval(FlashIntervalMs);
    timer.setSingleShot(false);
    connect(&timer, SIGNAL(timeout()), this, SLOT(OnTimer()));
    widget->setStyleSheet(firstStyle);
    phase = true;
    timer.start(FlashIntervalMs);
}

LedStatusTimer::~LedStatusTimer()
{
    timer.stop();
}

void LedStatusTimer::Restart()
{
    timer.start(FlashIntervalMs);
}

void LedStatusTimer::Stop()
{
    timer.stop();
    phase = false;
}

void LedStatusTimer::OnTimer()
{
    if (phase) {
        widget->setStyleSheet(secondStyle);
        phase = false;
    } else {
        widget->setStyleSheet(firstStyle);
        phase = true;
    }
}
