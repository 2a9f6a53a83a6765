#ifndef RESPONSEGETVERSION_H
#define RESPONSEGETVERSION_H

#include "ResponseMsg.h"

// PCB and firmware versions; the firmware number packs major (bits 31-24), minor (23-16) and build (15-0).
class ResponseGetVersion : public ResponseMsg
{
public:
    ResponseGetVersion();
    ~ResponseGetVersion() override;

    quint32 pcbVersion() const { return m_pcbVersion; }
    quint32 secondNumber() const { return m_secondNumber; }
    quint32 firmwareVersion() const { return m_firmwareVersion; }
    quint32 firmwareMajor() const { return m_firmwareVersion >> 24; }
    quint32 firmwareMinor() const { return (m_firmwareVersion >> 16) & 0xFF; }
    quint32 firmwareBuild() const { return m_firmwareVersion & 0xFFFF; }

protected:
    void decodePayload() override;

private:
    quint32 m_pcbVersion = 0;
    quint32 m_secondNumber = 0;
    quint32 m_firmwareVersion = 0;
};

#endif // RESPONSEGETVERSION_H
