// Keys and mouse flags as the grid's hooks and cell types see them: virtual-key codes, character
// codes (Backspace 8, Tab 9, Enter 13, Esc 27) and the mouse-key flags of a button event.
#pragma once

#include <Qt>

class QKeyEvent;

namespace GridKeys {

constexpr int Back = 8;
constexpr int Tab = 9;
constexpr int Return = 13;
constexpr int Shift = 16;
constexpr int Control = 17;
constexpr int Escape = 27;
constexpr int Space = 32;
constexpr int Prior = 33;
constexpr int Next = 34;
constexpr int End = 35;
constexpr int Home = 36;
constexpr int Left = 37;
constexpr int Up = 38;
constexpr int Right = 39;
constexpr int Down = 40;
constexpr int Delete = 46;

// Mouse-key flags.
constexpr unsigned LButton = 1;
constexpr unsigned RButton = 2;
constexpr unsigned ShiftFlag = 4;
constexpr unsigned ControlFlag = 8;

// The virtual-key code of the event's key; 0 for a key that has none.
int virtualKey(const QKeyEvent *event);
// The character the key types: its text, or the code of Backspace, Tab, Enter and Esc; 0 when the
// key types nothing.
int characterCode(const QKeyEvent *event);
unsigned mouseKeyFlags(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers);

} // namespace GridKeys
