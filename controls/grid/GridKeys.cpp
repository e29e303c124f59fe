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

} // namespace

int virtualKey(const QKeyEvent *event)
{
    const int key = event->key();
    if (const int control = controlCharacter(key))
        return control;
    switch (key) {
    case Qt::Key_Shift:
        return Shift;
    case Qt::Key_Control:
        return Control;
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
    case Qt::Key_Insert:
        return 45;
    case Qt::Key_Delete:
        return Delete;
    default:
        break;
    }
    if (key >= Qt::Key_0 && key <= Qt::Key_9)
        return '0' + (key - Qt::Key_0);
    if (key >= Qt::Key_A && key <= Qt::Key_Z)
        return 'A' + (key - Qt::Key_A);
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24)
        return 112 + (key - Qt::Key_F1);
    return 0;
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
