#include "CapsLockState.h"

#include <QtGlobal>

#if defined(Q_OS_WIN)
#include <windows.h>
#elif defined(DIVEVOD_HAVE_X11)
#include <QX11Info>
// Xlib's macros (Bool, Status, None, ...) clash with Qt's headers: keep them to this one file, included last.
#include <X11/XKBlib.h>
#endif

namespace {

enum class Answer { Keyboard, ForcedOff, ForcedOn };
Answer answer = Answer::Keyboard;

} // namespace

bool CapsLockState::isOn()
{
    if (answer != Answer::Keyboard)
        return answer == Answer::ForcedOn;
    return queryKeyboard();
}

bool CapsLockState::queryKeyboard()
{
#if defined(Q_OS_WIN)
    return (GetKeyState(VK_CAPITAL) & 0x0001) != 0;
#elif defined(DIVEVOD_HAVE_X11)
    if (!QX11Info::isPlatformX11() || !QX11Info::display())
        return false;
    XkbStateRec state;
    if (XkbGetState(QX11Info::display(), XkbUseCoreKbd, &state) != Success)
        return false;
    return (state.locked_mods & LockMask) != 0;
#else
    return false;
#endif
}

void CapsLockState::setOverride(bool on)
{
    answer = on ? Answer::ForcedOn : Answer::ForcedOff;
}

void CapsLockState::clearOverride()
{
    answer = Answer::Keyboard;
}
