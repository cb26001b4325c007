// The input that must not reach a window after the full-screen test: which
// key and button messages belong to a press the window saw begin, and which
// queued messages the end of the test throws away. Both test.exe and
// hueline.exe decide by these, with no system call in them.
#pragma once

#include <stdint.h>

// The message numbers, as the system gives them.
const unsigned CloseMessage = 0x0010, ActivateAppMessage = 0x001C;
const unsigned KeyDownMessage = 0x100, KeyUpMessage = 0x101, SysKeyDownMessage = 0x104, SysKeyUpMessage = 0x105;
const unsigned LeftDownMessage = 0x201, MiddleDoubleMessage = 0x209;
// Bit 30 of a key message's lParam: the key was already down (an auto-repeat).
const uintptr_t KeyWasDown = (uintptr_t)1 << 30;

// The keys and buttons whose press a window has seen, by virtual-key code;
// the buttons as the system numbers them (left 1, right 2, middle 4); and
// those held down, by the system's word, when it took the keyboard.
struct KeyPresses {
    unsigned char down[32];
    unsigned char held[32];
};

// Notes a key that is down now, pressed elsewhere: every message of it is
// stray until its release. The previous-state bit alone cannot be trusted:
// under Wine the first repeat after the focus has moved comes without it.
inline void NoteHeldKey(KeyPresses* presses, unsigned code)
{
    presses->held[code / 8 % 32] |= (unsigned char)(1u << (code % 8));
}

enum KeyEvent {
    NotAKey,      // neither a key nor a button
    KeyPressed,   // a key or button goes down
    KeyRepeated,  // the auto-repeat of a key whose press was seen
    KeyReleased,  // a key or button whose press was seen comes up
    KeyStray,     // the repeat or release of a press that went to another window
};

// Sorts one message and keeps presses up to date: a press is noted, a
// release of a noted press forgets it.
inline KeyEvent SortKey(KeyPresses* presses, unsigned message, uintptr_t wParam, uintptr_t lParam)
{
    unsigned code;
    bool down;
    if (message == KeyDownMessage || message == SysKeyDownMessage || message == KeyUpMessage ||
        message == SysKeyUpMessage) {
        code = (unsigned)(wParam & 0xFF);
        down = message == KeyDownMessage || message == SysKeyDownMessage;
    } else if (message >= LeftDownMessage && message <= MiddleDoubleMessage) {
        // Down, up and double click of the left, right and middle buttons in turn.
        static const unsigned char buttons[] = {1, 2, 4};
        unsigned step = message - LeftDownMessage;
        code = buttons[step / 3];
        down = step % 3 != 1;
    } else {
        return NotAKey;
    }
    unsigned char bit = (unsigned char)(1u << (code % 8));
    bool seen = (presses->down[code / 8] & bit) != 0;
    if (presses->held[code / 8] & bit) {
        if (!down)
            presses->held[code / 8] &= (unsigned char)~bit;
        return KeyStray;
    }
    if (down) {
        bool repeat = message < LeftDownMessage && (lParam & KeyWasDown) != 0;
        if (repeat)
            return seen ? KeyRepeated : KeyStray;
        presses->down[code / 8] |= bit;
        return KeyPressed;
    }
    if (!seen)
        return KeyStray;
    presses->down[code / 8] &= (unsigned char)~bit;
    return KeyReleased;
}

// Whether Hueline drops a key message on its way to a window: the
// auto-repeat of a key held down since before it last took the keyboard back
// (from test.exe, or from another program) would otherwise reach the focused
// control, and Enter is the Apply button's key.
inline bool DropsKey(KeyPresses* presses, unsigned message, uintptr_t wParam, uintptr_t lParam)
{
    return SortKey(presses, message, wParam, lParam) == KeyStray &&
           (message == KeyDownMessage || message == SysKeyDownMessage);
}

// Hueline's message filter (a WH_GETMESSAGE hook) is called with its code
// (HC_ACTION, 0, for a message a loop takes) and the caller's PeekMessage
// flags, of which PM_REMOVE is one bit: PM_NOYIELD, and from Windows 98 on
// the PM_QS_* bits, may stand beside it (KB Q104068). A message only looked
// at stays in the queue and is sorted when it is taken.
const int HookAction = 0;
const uintptr_t RemoveFlag = 0x0001;

// Whether the filter drops the message a loop takes (DropsKey), sorting it.
inline bool FilterDrops(KeyPresses* presses, int code, uintptr_t flags, unsigned message, uintptr_t wParam,
                        uintptr_t lParam)
{
    return code == HookAction && (flags & RemoveFlag) != 0 && DropsKey(presses, message, wParam, lParam);
}

// The messages still queued for the main window when the test ends, thrown
// away: the keyboard (keys and characters), the mouse in the client area and
// on the frame, and the commands other programs posted meanwhile (WM_CLOSE,
// WM_COMMAND, WM_SYSCOMMAND: the taskbar's Close among them). A Close asked
// while the window was held is dropped with the clicks: the window showed it
// took no input then, as under a modal box, where Windows ignores it too.
const unsigned DroppedAfterTest[][2] = {{0x0010, 0x0010}, {0x00A0, 0x00A9}, {0x0100, 0x0108},
                                        {0x0111, 0x0112}, {0x0200, 0x020D}};

inline bool DroppedAtTheEndOfTheTest(unsigned message)
{
    for (const unsigned* range : DroppedAfterTest) {
        if (message >= range[0] && message <= range[1])
            return true;
    }
    return false;
}
