#ifndef ACOGPIOINFOMETATYPE_H
#define ACOGPIOINFOMETATYPE_H

// Registers AcoGpioInfo under the name "AcoGpioInfo" so that it can travel in queued signals
// (SendInfo(AcoGpioInfo) across threads). Safe to call more than once; returns the type id.
int registerAcoGpioInfoMetaType();

#endif // ACOGPIOINFOMETATYPE_H
