#include "controls/grid/UGTopHdg.h"

#include "controls/grid/GridPaint.h"
#include "controls/grid/UGCtrl.h"
#include "controls/grid/UGGrid.h"
#include "controls/grid/UGGridInfo.h"

#include <QPainter>
#include <algorithm>

CUGTopHdg::CUGTopHdg(CUGCtrl *ctrl) : GridHeading(ctrl, CUGCtrl::SectionTopHeading) {}

int CUGTopHdg::GetCellRect(int col, int row, UgRect *rect) const
{
    const int index = -1 - row;
    if (!m_GI || index < 0 || index >= int(m_GI->m_topHdgRowHeights.size()))
        return 1;
    int top = 0;
    for (int i = int(m_GI->m_topHdgRowHeights.size()) - 1; i > index; --i)
        top += m_GI->m_topHdgRowHeights[std::size_t(i)];
    rect->top = top;
    rect->bottom = top + m_GI->m_topHdgRowHeights[std::size_t(index)];
    rect->left = rect->right = 0;
    m_ctrl->ColumnEdges(col, &rect->left, &rect->right);
    return 0;
}

bool CUGTopHdg::blockRect(int *col, int *row, UgRect *rect) const
{
    int lastCol = *col, lastRow = *row;
    if (m_ctrl->FindJoinedBlock(col, row, &lastCol, &lastRow) != 0)
        return GetCellRect(*col, *row, rect) == 0;
    UgRect last;
    if (GetCellRect(*col, *row, rect) != 0 || GetCellRect(lastCol, std::min(lastRow, -1), &last) != 0)
        return false;
    rect->right = std::max(rect->right, last.right);
    rect->bottom = std::max(rect->bottom, last.bottom);
    return true;
}

int CUGTopHdg::GetCellFromPoint(int x, int y, int *col, int *row, UgRect *rect) const
{
    *col = *row = -1;
    if (!m_GI)
        return 1;
    int hitRow = 0;
    int top = 0;
    for (int index = m_GI->m_topHdgRowCount - 1; index >= 0; --index) {
        const int height = m_GI->m_topHdgRowHeights[std::size_t(index)];
        if (y >= top && y < top + height) {
            hitRow = -1 - index;
            break;
        }
        top += height;
    }
    int hitCol = -1;
    for (int c = 0; c < m_GI->m_colCount && hitRow < 0; ++c) {
        int left = 0, right = 0;
        if (c >= m_GI->m_lockedColCount && c < m_GI->m_leftCol)
            continue;
        if (!m_ctrl->ColumnEdges(c, &left, &right) || left > m_GI->m_gridWidth)
            break;
        if (x >= left && x < right) {
            hitCol = c;
            break;
        }
    }
    if (hitRow >= 0 || hitCol < 0)
        return 1;
    *col = hitCol;
    *row = hitRow;
    UgRect block;
    blockRect(col, row, &block);
    if (rect)
        *rect = block;
    return 0;
}

void CUGTopHdg::FitLastRowToHeight()
{
    if (!m_GI || m_GI->m_topHdgRowHeights.empty())
        return;
    int others = 0;
    for (std::size_t i = 0; i + 1 < m_GI->m_topHdgRowHeights.size(); ++i)
        others += m_GI->m_topHdgRowHeights[i];
    const int height = std::max(0, m_GI->m_topHdgHeight - others);
    int &last = m_GI->m_topHdgRowHeights.back();
    if (height != last && height <= CUGCtrl::kMaxHeadingSize)
        last = height;
    repaint();
}

void CUGTopHdg::paintEvent(QPaintEvent *)
{
    if (!readyToPaint())
        return;
    QPainter painter(this);
    preparePainter(painter);
    m_drawnJoins.clear();
    const int width = m_GI->m_gridWidth;
    int rightmost = 0;
    CUGCell cell;
    for (int row = -m_GI->m_topHdgRowCount; row <= -1; ++row) {
        for (int col = m_GI->m_lockedColCount > 0 ? 0 : m_GI->m_leftCol; col < m_GI->m_colCount;
             col = col + 1 == m_GI->m_lockedColCount ? std::max(m_GI->m_leftCol, col + 1) : col + 1) {
            UgRect rect;
            if (GetCellRect(col, row, &rect) != 0)
                continue;
            rightmost = std::max(rightmost, rect.right);
            int drawCol = col, drawRow = row;
            m_ctrl->GetCellComposite(col, row, &cell);
            if (cell.IsJoined() && m_GI->m_joining) {
                blockRect(&drawCol, &drawRow, &rect);
                const UgCellPos origin{drawCol, drawRow};
                if (std::find(m_drawnJoins.begin(), m_drawnJoins.end(), origin) != m_drawnJoins.end()) {
                    if (rect.right > width)
                        break;
                    continue;
                }
                m_drawnJoins.push_back(origin);
                m_ctrl->GetCellComposite(drawCol, drawRow, &cell);
            }
            if (rect.width() > 0) {
                painter.save();
                m_ctrl->CellTypeOf(cell)->Draw(&painter, &rect, drawCol, drawRow, &cell, 0, 0);
                painter.restore();
            }
            if (rect.right > width)
                break;
        }
    }
    m_drawnJoins.clear();
    if (rightmost < this->width())
        GridPaint::fillRect(painter, UgRect{rightmost, 0, this->width(), this->height()},
                            m_ctrl->GetDefaultBackColor(CUGCtrl::SectionTopHeading));
}

// ---- Sizing ----

void CUGTopHdg::trackSizingCursor(QPoint point)
{
    int x = 0;
    for (int col = m_GI->m_lockedColCount > 0 ? 0 : m_GI->m_leftCol; col < m_GI->m_colCount;
         col = col + 1 == m_GI->m_lockedColCount ? std::max(m_GI->m_leftCol, col + 1) : col + 1) {
        x += m_GI->m_columns[std::size_t(col)].width;
        if (point.x() > x - kBorderReach && point.x() < x + kBorderReach) {
            // A hidden column right of the border is the one sized, so it can be pulled open.
            int sized = col;
            if (col + 1 < m_GI->m_colCount && m_GI->m_columns[std::size_t(col + 1)].width == 0)
                sized = col + 1;
            if (m_ctrl->HookMaySizeColumn(sized)) {
                m_armed = 1;
                m_kind = 0;
                m_index = sized;
                m_initial = m_GI->m_columns[std::size_t(sized)].width;
                m_start = point.x();
                setCursor(m_GI->m_sizeWECursor);
                return;
            }
            break;
        }
        if (x > m_GI->m_gridWidth)
            break;
    }
    int y = m_GI->m_topHdgHeight;
    for (int index = 0; index < m_GI->m_topHdgRowCount; ++index) {
        if (point.y() > y - kBorderReach && point.y() < y + kBorderReach) {
            if (m_ctrl->HookMaySizeTopHeading()) {
                m_armed = 1;
                m_kind = 1;
                m_index = index;
                m_initial = m_GI->m_topHdgRowHeights[std::size_t(index)];
                m_start = point.y();
                m_initialTotal = m_GI->m_topHdgHeight;
                setCursor(m_GI->m_sizeNSCursor);
                return;
            }
            break;
        }
        y -= m_GI->m_topHdgRowHeights[std::size_t(index)];
    }
    if (m_armed) {
        m_armed = 0;
        setCursor(m_GI->m_arrowCursor);
    }
}

void CUGTopHdg::dragTo(QPoint point)
{
    if (m_kind == 0) {
        const int x = std::max(point.x(), m_start - m_initial);
        int width = m_initial - m_start + x;
        for (int row = m_GI->m_topRow; row < std::min(m_GI->m_bottomVisibleRow, m_GI->m_rowCount); ++row)
            m_ctrl->GetCellTypeOfCell(m_index, row)->OnColumnSizing(m_index, row, &width);
        m_ctrl->HookColumnSizing(m_index, &width);
        m_ctrl->ChangeColumnWidth(m_index, width);
        if (m_GI->m_userSizingMode == 1) {
            FitLastRowToHeight();
            m_ctrl->GridWindow()->SetTrackingRect(UgRect{x - 1, 0, x + 1, m_GI->m_gridHeight});
        } else {
            m_ctrl->RepaintAllParts();
        }
        return;
    }
    m_GI->m_topHdgRowHeights[std::size_t(m_index)] = std::max(0, m_initial - m_start + point.y());
    int total = std::max(0, m_initialTotal - m_start + point.y());
    if (m_ctrl->HookTopHeadingSizing(&total) == 1) {
        // The dragged row has its height already; the other rows keep theirs.
        m_GI->m_topHdgHeight = std::clamp(total, 0, CUGCtrl::kMaxHeadingSize);
        m_ctrl->LayOutChildWindows();
    }
}

void CUGTopHdg::reportColumnSized(int col)
{
    m_ctrl->UpdateVisibleEdges();
    int width = m_ctrl->GetColumnWidth(col);
    for (int row = m_GI->m_topRow; row < std::min(m_GI->m_bottomVisibleRow, m_GI->m_rowCount); ++row)
        m_ctrl->GetCellTypeOfCell(col, row)->OnColumnSized(col, row, &width);
    m_ctrl->HookColumnSized(col, &width);
    if (width != m_ctrl->GetColumnWidth(col))
        m_ctrl->ChangeColumnWidth(col, width);
}

void CUGTopHdg::endDrag()
{
    if (m_kind == 0)
        reportColumnSized(m_index);
    else
        m_ctrl->HookTopHeadingSized(&m_GI->m_topHdgHeight);
    m_inProgress = 0;
    m_ctrl->GridWindow()->SetTrackingRect(UgRect{-1, -1, -1, -1});
    m_ctrl->GridWindow()->update();
    m_ctrl->LayOutChildWindows();
}

// ---- Hooks ----

void CUGTopHdg::hookLeftButton(int col, int row, int down, UgRect *rect, QPoint *point, int processed)
{
    m_ctrl->HookTopHeadingLeftButton(col, row, down, rect, point, processed);
}

void CUGTopHdg::hookRightButton(int col, int row, int down, UgRect *rect, QPoint *point, int processed)
{
    m_ctrl->HookTopHeadingRightButton(col, row, down, rect, point, processed);
}

void CUGTopHdg::hookDoubleClick(int col, int row, UgRect *rect, QPoint *point, int processed)
{
    m_ctrl->HookTopHeadingDoubleClick(col, row, rect, point, processed);
}

bool CUGTopHdg::doubleClickOnBorder(QPoint point)
{
    if (m_kind != 0)
        return false;
    if (m_GI->m_bestFit) {
        const int col = m_index;
        m_ctrl->FitColumnsToContent(col, col, 20, 1);
        trackSizingCursor(point);
        reportColumnSized(col);
    }
    m_inProgress = 0;
    return true;
}
