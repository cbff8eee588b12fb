#pragma once

#include <Qt>

class QKeyEvent;

// Key codes as the program has always compared them: Windows virtual-key
// codes, with the modifier set 1 Shift, 2 Ctrl, 4 Alt. One table maps Qt's
// keys to them; every handler and the key-code tester use it.
namespace VirtualKey {

enum Code {
    Back = 8,
    Tab = 9,
    Return = 13,
    Shift = 16,
    Control = 17,
    Menu = 18,
    Pause = 19,
    Capital = 20,
    Escape = 27,
    Space = 32,
    Prior = 33,
    Next = 34,
    End = 35,
    Home = 36,
    Left = 37,
    Up = 38,
    Right = 39,
    Down = 40,
    Insert = 45,
    Delete = 46,
    Digit0 = 48,
    LetterA = 65,
    LWin = 91,
    RWin = 92,
    Apps = 93,
    Numpad0 = 96,
    Multiply = 106,
    Add = 107,
    Subtract = 109,
    Decimal = 110,
    Divide = 111,
    F1 = 112,
    NumLock = 144,
    Scroll = 145,
};

enum ShiftState { ShiftMask = 1, CtrlMask = 2, AltMask = 4 };

// The virtual-key code of a Qt key; keypad keys are told apart by the
// keypad modifier. 0 when the key has no code.
int fromQtKey(int qtKey, Qt::KeyboardModifiers modifiers);
int fromKeyEvent(const QKeyEvent *event);

// 1 Shift + 2 Ctrl + 4 Alt.
int shiftState(Qt::KeyboardModifiers modifiers);

} // namespace VirtualKey
