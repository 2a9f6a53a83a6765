#ifndef REQUESTSETSHORTPRESSKEYSTATE_H
#define REQUESTSETSHORTPRESSKEYSTATE_H

#include "RequestMsg.h"

// Key lock, auto mode and front-panel type in one request.
class RequestSetShortPressKeyState : public RequestMsg
{
public:
    RequestSetShortPressKeyState(quint32 loginId, quint16 sequence);
    ~RequestSetShortPressKeyState() override;

    void setKeyLock(quint8 keyLock) { m_keyLock = keyLock; }
    void setAutoMode(quint8 autoMode) { m_autoMode = autoMode; }
    void setPanelType(int panelType) { m_panelType = panelType; }
    quint8 keyLock() const { return m_keyLock; }
    quint8 autoMode() const { return m_autoMode; }
    int panelType() const { return m_panelType; }

    int payloadSize() const override;
    void writePayload(quint8* dest) const override;

private:
    quint8 m_keyLock = 0;
    quint8 m_autoMode = 0;
    int m_panelType = 255;
};

#endif // REQUESTSETSHORTPRESSKEYSTATE_H
