#ifndef RESPONSEGETWORKMODE_H
#define RESPONSEGETWORKMODE_H

#include "ResponseMsg.h"

// Which firmware the device runs: work mode 0 is the update (upgrade) firmware, anything else the application.
class ResponseGetWorkMode : public ResponseMsg
{
public:
    ResponseGetWorkMode();
    ~ResponseGetWorkMode() override;

    int workMode() const { return m_workMode; }
    int secondValue() const { return m_secondValue; }

protected:
    void decodePayload() override;

private:
    int m_workMode = 255;
    int m_secondValue = 255;
};

#endif // RESPONSEGETWORKMODE_H
