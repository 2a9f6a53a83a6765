#ifndef RESPONSEGETAUDIOEFFECT_H
#define RESPONSEGETAUDIOEFFECT_H

#include "ResponseMsg.h"

// Audio effect settings: two flag/value pairs and a byte.
class ResponseGetAudioEffect : public ResponseMsg
{
public:
    ResponseGetAudioEffect();
    ~ResponseGetAudioEffect() override;

    bool enabled(int index) const { return index >= 0 && index < 2 && m_enabled[index]; }
    quint32 value(int index) const { return index >= 0 && index < 2 ? m_values[index] : 0; }
    quint8 mode() const { return m_mode; }

protected:
    void decodePayload() override;

private:
    bool m_enabled[2] = { false, false };
    quint32 m_values[2] = { 0, 0 };
    quint8 m_mode = 0;
};

#endif // RESPONSEGETAUDIOEFFECT_H
