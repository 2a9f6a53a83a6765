#include "AcoGpioInfoMetaType.h"

#include "AcoGpioInfo.h"

#include <QMetaType>

int registerAcoGpioInfoMetaType()
{
    return qRegisterMetaType<AcoGpioInfo>("AcoGpioInfo");
}
