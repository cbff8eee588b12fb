#include "platform/virtualkey.h"

#include <QKeyEvent>

namespace VirtualKey {

namespace {

struct KeyPair {
    int qtKey;
    int code;
};

// Keys whose code does not follow from a range. The shifted digits of a US
// keyboard, last, still carry the digit's code.
constexpr KeyPair kFixedKeys[] = {
    {Qt::Key_Backspace, Back},   {Qt::Key_Tab, Tab},           {Qt::Key_Backtab, Tab},
    {Qt::Key_Return, Return},    {Qt::Key_Enter, Return},      {Qt::Key_Shift, Shift},
    {Qt::Key_Control, Control},  {Qt::Key_Alt, Menu},          {Qt::Key_Pause, Pause},
    {Qt::Key_CapsLock, Capital}, {Qt::Key_Escape, Escape},     {Qt::Key_Space, Space},
    {Qt::Key_PageUp, Prior},     {Qt::Key_PageDown, Next},     {Qt::Key_End, End},
    {Qt::Key_Home, Home},        {Qt::Key_Left, Left},         {Qt::Key_Up, Up},
    {Qt::Key_Right, Right},      {Qt::Key_Down, Down},         {Qt::Key_Print, 44},
    {Qt::Key_Insert, Insert},    {Qt::Key_Delete, Delete},     {Qt::Key_Meta, LWin},
    {Qt::Key_Super_L, LWin},     {Qt::Key_Super_R, RWin},      {Qt::Key_Menu, Apps},
    {Qt::Key_NumLock, NumLock},  {Qt::Key_ScrollLock, Scroll}, {Qt::Key_Semicolon, 186},
    {Qt::Key_Colon, 186},        {Qt::Key_Equal, 187},         {Qt::Key_Plus, 187},
    {Qt::Key_Comma, 188},        {Qt::Key_Less, 188},          {Qt::Key_Minus, 189},
    {Qt::Key_Underscore, 189},   {Qt::Key_Period, 190},        {Qt::Key_Greater, 190},
    {Qt::Key_Slash, 191},        {Qt::Key_Question, 191},      {Qt::Key_QuoteLeft, 192},
    {Qt::Key_AsciiTilde, 192},   {Qt::Key_BracketLeft, 219},   {Qt::Key_BraceLeft, 219},
    {Qt::Key_Backslash, 220},    {Qt::Key_Bar, 220},           {Qt::Key_BracketRight, 221},
    {Qt::Key_BraceRight, 221},   {Qt::Key_Apostrophe, 222},    {Qt::Key_QuoteDbl, 222},
    {Qt::Key_ParenRight, '0'},   {Qt::Key_Exclam, '1'},        {Qt::Key_At, '2'},
    {Qt::Key_NumberSign, '3'},   {Qt::Key_Dollar, '4'},        {Qt::Key_Percent, '5'},
    {Qt::Key_AsciiCircum, '6'},  {Qt::Key_Ampersand, '7'},     {Qt::Key_Asterisk, '8'},
    {Qt::Key_ParenLeft, '9'},
};

int keypadCode(int qtKey)
{
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)
        return Numpad0 + (qtKey - Qt::Key_0);
    switch (qtKey) {
    case Qt::Key_Asterisk:
        return Multiply;
    case Qt::Key_Plus:
        return Add;
    case Qt::Key_Minus:
        return Subtract;
    case Qt::Key_Period:
    case Qt::Key_Comma:
        return Decimal;
    case Qt::Key_Slash:
        return Divide;
    case Qt::Key_Enter:
        return Return;
    default:
        return 0;
    }
}

} // namespace

int fromQtKey(int qtKey, Qt::KeyboardModifiers modifiers)
{
    if (modifiers & Qt::KeypadModifier) {
        if (const int code = keypadCode(qtKey))
            return code;
    }
    if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z)
        return LetterA + (qtKey - Qt::Key_A);
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)
        return Digit0 + (qtKey - Qt::Key_0);
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24)
        return F1 + (qtKey - Qt::Key_F1);
    for (const KeyPair &pair : kFixedKeys) {
        if (pair.qtKey == qtKey)
            return pair.code;
    }
    return 0;
}

int fromKeyEvent(const QKeyEvent *event)
{
    return fromQtKey(event->key(), event->modifiers());
}

int shiftState(Qt::KeyboardModifiers modifiers)
{
    int state = 0;
    if (modifiers & Qt::ShiftModifier)
        state |= ShiftMask;
    if (modifiers & Qt::ControlModifier)
        state |= CtrlMask;
    if (modifiers & Qt::AltModifier)
        state |= AltMask;
    return state;
}

} // namespace VirtualKey
