#include "ResponseGetShortPressKeyState.h"

ResponseGetShortPressKeyState::ResponseGetShortPressKeyState() = default;

ResponseGetShortPressKeyState::~ResponseGetShortPressKeyState() = default;

void ResponseGetShortPressKeyState::decodePayload()
{
    m_keyLock = payloadU8(0) != 0;
    m_autoMode = payloadU8(1) != 0;
    m_panelType = payloadU8(2);
}
