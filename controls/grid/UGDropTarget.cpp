#include "controls/grid/UGDropTarget.h"

#include "controls/grid/UGCtrl.h"
#include "controls/grid/UGGridInfo.h"

#include <QDropEvent>
#include <QMimeData>

namespace {

// A hook's drop effect: 0 refuses, anything else copies.
void answer(QDropEvent *event, int effect)
{
    if (effect != 0) {
        event->setDropAction(Qt::CopyAction);
        event->accept();
    } else {
        event->ignore();
    }
}

} // namespace

int CUGDropTarget::OnDragEnter(QDragEnterEvent *event)
{
    const int effect = m_ctrl->HookDragEnter(event->mimeData());
    answer(event, effect);
    return effect;
}

int CUGDropTarget::OnDragOver(QDragMoveEvent *event)
{
    const QPoint point = event->position().toPoint();
    OnDragScroll(point.x(), point.y());
    int col = -1, row = -1;
    if (m_ctrl->GetCellFromPoint(point.x(), point.y(), &col, &row, nullptr) != 0)
        col = row = -1;
    const int effect = m_ctrl->HookDragOver(event->mimeData(), col, row);
    answer(event, effect);
    return effect;
}

int CUGDropTarget::OnDrop(QDropEvent *event)
{
    const QPoint point = event->position().toPoint();
    int col = -1, row = -1;
    // A drop that hits no cell is reported as (-1, -1) and pastes nothing.
    const bool onCell = m_ctrl->GetCellFromPoint(point.x(), point.y(), &col, &row, nullptr) == 0;
    if (!onCell)
        col = row = -1;
    const QMimeData *data = event->mimeData();
    const int result = m_ctrl->HookDrop(data, col, row);
    if (result != 0 && onCell && data && data->hasText()) {
        if (m_ctrl->MoveCurrentCellTo(col, row) == 0 ||
            (m_ctrl->GetCurrentColumn() == col && m_ctrl->GetCurrentRow() == row))
            m_ctrl->PasteText(data->text());
    }
    answer(event, result);
    return result;
}

bool CUGDropTarget::OnDragScroll(int x, int y)
{
    const CUGGridInfo *info = m_ctrl->CurrentSheet();
    bool scrolled = false;
    if (x < kScrollMargin) {
        scrolled = m_ctrl->ScrollLeftColumnTo(info->m_leftCol - 1) == 0 || scrolled;
    } else if (x > info->m_gridWidth - kScrollMargin) {
        scrolled = m_ctrl->ScrollLeftColumnTo(info->m_leftCol + 1) == 0 || scrolled;
    }
    if (y < kScrollMargin) {
        scrolled = m_ctrl->ScrollTopRowTo(info->m_topRow - 1) == 0 || scrolled;
    } else if (y > info->m_gridHeight - kScrollMargin) {
        scrolled = m_ctrl->ScrollTopRowTo(info->m_topRow + 1) == 0 || scrolled;
    }
    return scrolled;
}
