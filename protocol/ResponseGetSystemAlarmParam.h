#ifndef RESPONSEGETSYSTEMALARMPARAM_H
#define RESPONSEGETSYSTEMALARMPARAM_H

#include "ResponseMsg.h"

// System alarm parameter, one 32-bit number.
class ResponseGetSystemAlarmParam : public ResponseMsg
{
public:
    ResponseGetSystemAlarmParam();
    ~ResponseGetSystemAlarmParam() override;

    quint32 alarmParam() const { return m_alarmParam; }

protected:
    void decodePayload() override;

private:
    quint32 m_alarmParam = 0;
};

#endif // RESPONSEGETSYSTEMALARMPARAM_H
