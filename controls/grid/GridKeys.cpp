#include "controls/grid/GridKeys.h"

#include <QKeyEvent>

namespace GridKeys {

namespace {

// Backspace, Tab, Enter and Esc type a control character whose code is also the key's virtual
// code; 0 for any other key.
int controlCharacter(int key)
{
    switch (key) {
    case Qt::Key_Backspace:
        return Back;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return Tab;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return Return;
    case Qt::Key_Escape:
        return Escape;
    default:
        return 0;
    }
}

// The number pad's own codes: digits 96-105, then * + (separator) - . /.
int keypadKey(int key)
{
    if (key >= Qt::Key_0 && key <= Qt::Key_9)
        return 96 + (key - Qt::Key_0);
    switch (key) {
    case Qt::Key_Asterisk:
        return 106;
    case Qt::Key_Plus:
        return 107;
    case Qt::Key_Minus:
        return 109;
    case Qt::Key_Period:
    case Qt::Key_Comma:
        return 110;
    case Qt::Key_Slash:
        return 111;
    default:
        return 0;
    }
}

// Punctuation keys by the key they lie on (US layout), shifted or not: the digit row's symbols give
// their digit, the others their key's code.
int punctuationKey(int key)
{
    switch (key) {
    case Qt::Key_Semicolon:
    case Qt::Key_Colon:
        return 186;
    case Qt::Key_Equal:
    case Qt::Key_Plus:
        return 187;
    case Qt::Key_Comma:
    case Qt::Key_Less:
        return 188;
    case Qt::Key_Minus:
    case Qt::Key_Underscore:
        return 189;
    case Qt::Key_Period:
    case Qt::Key_Greater:
        return 190;
    case Qt::Key_Slash:
    case Qt::Key_Question:
        return 191;
    case Qt::Key_QuoteLeft:
    case Qt::Key_AsciiTilde:
        return 192;
    case Qt::Key_BracketLeft:
    case Qt::Key_BraceLeft:
        return 219;
    case Qt::Key_Backslash:
    case Qt::Key_Bar:
        return 220;
    case Qt::Key_BracketRight:
    case Qt::Key_BraceRight:
        return 221;
    case Qt::Key_Apostrophe:
    case Qt::Key_QuoteDbl:
        return 222;
    case Qt::Key_ParenRight:
        return '0';
    case Qt::Key_Exclam:
        return '1';
    case Qt::Key_At:
        return '2';
    case Qt::Key_NumberSign:
        return '3';
    case Qt::Key_Dollar:
        return '4';
    case Qt::Key_Percent:
        return '5';
    case Qt::Key_AsciiCircum:
        return '6';
    case Qt::Key_Ampersand:
        return '7';
    case Qt::Key_Asterisk:
        return '8';
    case Qt::Key_ParenLeft:
        return '9';
    default:
        return 0;
    }
}

} // namespace

int virtualKey(const QKeyEvent *event)
{
    const int key = event->key();
    if (const int control = controlCharacter(key))
        return control;
    if (event->modifiers() & Qt::KeypadModifier) {
        if (const int keypad = keypadKey(key))
            return keypad;
    }
    switch (key) {
    case Qt::Key_Shift:
        return Shift;
    case Qt::Key_Control:
        return Control;
    case Qt::Key_Alt:
        return 18;
    case Qt::Key_Pause:
        return 19;
    case Qt::Key_CapsLock:
        return 20;
    case Qt::Key_Space:
        return Space;
    case Qt::Key_PageUp:
        return Prior;
    case Qt::Key_PageDown:
        return Next;
    case Qt::Key_End:
        return End;
    case Qt::Key_Home:
        return Home;
    case Qt::Key_Left:
        return Left;
    case Qt::Key_Up:
        return Up;
    case Qt::Key_Right:
        return Right;
    case Qt::Key_Down:
        return Down;
    case Qt::Key_Print:
        return 44;
    case Qt::Key_Insert:
        return 45;
    case Qt::Key_Delete:
        return Delete;
    case Qt::Key_Menu:
        return 93;
    case Qt::Key_NumLock:
        return 144;
    case Qt::Key_ScrollLock:
        return 145;
    default:
        break;
    }
    if (key >= Qt::Key_0 && key <= Qt::Key_9)
        return '0' + (key - Qt::Key_0);
    if (key >= Qt::Key_A && key <= Qt::Key_Z)
        return 'A' + (key - Qt::Key_A);
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24)
        return 112 + (key - Qt::Key_F1);
    if (const int punctuation = punctuationKey(key))
        return punctuation;
    // Any other key that types a character (letters of other layouts): the code for a typed character.
    return characterCode(event) ? 231 : 0;
}

int characterCode(const QKeyEvent *event)
{
    if (const int control = controlCharacter(event->key()))
        return control;
    if (event->key() == Qt::Key_Delete)
        return 0;
    const QString text = event->text();
    if (text.isEmpty() || !text.at(0).isPrint())
        return 0;
    return text.at(0).unicode();
}

unsigned mouseKeyFlags(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers)
{
    unsigned flags = 0;
    if (buttons & Qt::LeftButton)
        flags |= LButton;
    if (buttons & Qt::RightButton)
        flags |= RButton;
    if (modifiers & Qt::ShiftModifier)
        flags |= ShiftFlag;
    if (modifiers & Qt::ControlModifier)
        flags |= ControlFlag;
    return flags;
}

} // namespace GridKeys
