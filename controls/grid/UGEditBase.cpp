#include "controls/grid/UGEditBase.h"

#include "controls/grid/GridKeys.h"
#include "controls/grid/UGCell.h"
#include "controls/grid/UGCtrl.h"
#include "controls/grid/UGDataSource.h"
#include "controls/grid/UGGrid.h"
#include "controls/grid/UGGridInfo.h"

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QPointer>
#include <QTimer>

CUGEditBase::CUGEditBase(CUGCtrl *ctrl, QWidget *parent) : QLineEdit(parent), m_ctrl(ctrl)
{
    setFrame(false);
    hide();
}

bool CUGEditBase::event(QEvent *event)
{
    // Tab and Shift+Tab end the edit here instead of moving the focus along the dialog.
    if (event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) {
            keyPressEvent(key);
            return true;
        }
    }
    // Enter and Esc are the editor's, never a shortcut of the window around it.
    if (event->type() == QEvent::ShortcutOverride) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter || key->key() == Qt::Key_Escape) {
            event->accept();
            return true;
        }
    }
    return QLineEdit::event(event);
}

bool CUGEditBase::acceptCharacter(int)
{
    return true;
}

bool CUGEditBase::checkEditKey(int *key)
{
    const int col = m_ctrl->EditColumn();
    const int row = m_ctrl->EditRow();
    CUGDataSource *source = m_ctrl->CurrentSheet()->m_dataSource;
    if (source && source->CheckEditKey(col, row, this, key) == 0)
        return false;
    return m_ctrl->HookEditKey(col, row, this, key) != 0;
}

void CUGEditBase::moveOnTo(int col, int row)
{
    m_moveOn = 1;
    m_nextCol = col;
    m_nextRow = row;
    finishEdit();
}

void CUGEditBase::keyPressEvent(QKeyEvent *event)
{
    const int key = GridKeys::virtualKey(event);
    m_lastKey = key;
    const int col = m_ctrl->EditColumn();
    const int row = m_ctrl->EditRow();
    event->accept();
    switch (key) {
    case GridKeys::Tab:
        moveOnTo((event->key() == Qt::Key_Backtab || (event->modifiers() & Qt::ShiftModifier)) ? col - 1
                                                                                               : col + 1,
                 row);
        return;
    case GridKeys::Return:
        moveOnTo(col, row + 1);
        return;
    case GridKeys::Down:
        moveOnTo(col, row + 1);
        return;
    case GridKeys::Up:
        moveOnTo(col, row - 1);
        return;
    case GridKeys::Left:
        if (cursorPosition() == 0 && !hasSelectedText()) {
            moveOnTo(col - 1, row);
            return;
        }
        break;
    case GridKeys::Right:
        if (cursorPosition() == text().length() || (hasSelectedText() && selectedText() == text())) {
            moveOnTo(col + 1, row);
            return;
        }
        break;
    case GridKeys::Escape:
        m_cancel = 1;
        m_moveOn = 0;
        finishEdit();
        return;
    case GridKeys::Delete: {
        int code = 127;
        if (!acceptCharacter(code) || !checkEditKey(&code))
            return;
        break;
    }
    default:
        if (GridKeys::characterCode(event) != 0) {
            typeCharacter(event);
            return;
        }
        break;
    }
    QLineEdit::keyPressEvent(event);
}

void CUGEditBase::typeCharacter(QKeyEvent *event)
{
    const int original = GridKeys::characterCode(event);
    int code = original;
    if (!acceptCharacter(code) || !checkEditKey(&code) || code == 0)
        return;
    if (code == original) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    // The hook changed the character: the changed one is typed instead.
    if (code == GridKeys::Back) {
        backspace();
        return;
    }
    if (QChar(code).isPrint())
        insert(QString(QChar(code)));
}

void CUGEditBase::focusInEvent(QFocusEvent *event)
{
    QLineEdit::focusInEvent(event);
    m_lastKey = 0;
    m_cancel = 0;
    m_moveOn = 0;
    // Everything selected, the caret at the start.
    const int length = int(text().length());
    setSelection(length, -length);
    CUGCell cell;
    m_ctrl->GetCellComposite(m_ctrl->EditColumn(), m_ctrl->EditRow(), &cell);
    setReadOnly(cell.IsReadOnly());
}

void CUGEditBase::focusOutEvent(QFocusEvent *event)
{
    setReadOnly(false);
    QLineEdit::focusOutEvent(event);
    // A menu or another window taking the focus for a moment is no end of the edit.
    if (m_finishing || !m_ctrl->IsEditing() || m_ctrl->ActiveEditor() != this ||
        event->reason() == Qt::PopupFocusReason || event->reason() == Qt::ActiveWindowFocusReason)
        return;
    // Only the control itself is no loss; its cell area is another window.
    QWidget *newFocus = QApplication::focusWidget();
    if (newFocus != m_ctrl)
        m_ctrl->HookFocusLost(CUGCtrl::SectionGrid, newFocus);
    m_finishing = true;
    const int finished = m_ctrl->EndCellEdit(m_cancel, text(), m_moveOn, m_nextCol, m_nextRow);
    m_finishing = false;
    if (finished == 0) {
        // Not finished: the cell is selected again and the editor takes the focus back once this
        // focus change is over.
        QPointer<CUGEditBase> self(this);
        QTimer::singleShot(0, this, [self] {
            if (!self)
                return;
            self->m_ctrl->MoveCurrentCellTo(self->m_ctrl->EditColumn(), self->m_ctrl->EditRow());
            self->setFocus(Qt::OtherFocusReason);
        });
    }
}

void CUGEditBase::finishEdit()
{
    if (m_finishing || !m_ctrl->IsEditing())
        return;
    m_finishing = true;
    const int finished = m_ctrl->EndCellEdit(m_cancel, text(), m_moveOn, m_nextCol, m_nextRow);
    m_finishing = false;
    if (finished == 0) {
        // Not finished: the editor stays, with the focus.
        m_ctrl->MoveCurrentCellTo(m_ctrl->EditColumn(), m_ctrl->EditRow());
        setFocus(Qt::OtherFocusReason);
        return;
    }
    // No next edit began: the focus goes back to the cells.
    if (!m_ctrl->IsEditing())
        m_ctrl->GridWindow()->setFocus(Qt::OtherFocusReason);
}
