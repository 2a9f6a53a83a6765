#ifndef CAPSLOCKSTATE_H
#define CAPSLOCKSTATE_H

// Whether Caps Lock is toggled on. The toolkit has no call for it, so this asks the window system; tests set
// the answer instead.
class CapsLockState
{
public:
    // The override when one is set, otherwise the keyboard's state.
    static bool isOn();

    // The keyboard's state alone: the X server's locked modifiers under X11, the key's toggle bit on Windows,
    // and off where neither is available (offscreen, Wayland).
    static bool queryKeyboard();

    static void setOverride(bool on);
    static void clearOverride();
};

#endif // CAPSLOCKSTATE_H
