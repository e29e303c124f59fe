#include "controls/grid/UGSideHdg.h"

#include "controls/grid/GridPaint.h"
#include "controls/grid/UGCtrl.h"
#include "controls/grid/UGGrid.h"
#include "controls/grid/UGGridInfo.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

CUGSideHdg::CUGSideHdg(CUGCtrl *ctrl) : GridHeading(ctrl, CUGCtrl::SectionSideHeading) {}

int CUGSideHdg::GetCellRect(int col, int row, UgRect *rect) const
{
    const int index = -1 - col;
    if (!m_GI || index < 0 || index >= int(m_GI->m_sideHdgColWidths.size()))
        return 1;
    int left = 0;
    for (int i = int(m_GI->m_sideHdgColWidths.size()) - 1; i > index; --i)
        left += m_GI->m_sideHdgColWidths[std::size_t(i)];
    rect->left = left;
    rect->right = left + m_GI->m_sideHdgColWidths[std::size_t(index)];
    rect->top = rect->bottom = 0;
    m_ctrl->RowEdges(row, &rect->top, &rect->bottom);
    return 0;
}

int CUGSideHdg::GetCellFromPoint(int x, int y, int *col, int *row, UgRect *rect) const
{
    *col = *row = -1;
    if (!m_GI)
        return 1;
    int hitCol = 0;
    int left = 0;
    for (int index = m_GI->m_sideHdgColCount - 1; index >= 0; --index) {
        const int width = m_GI->m_sideHdgColWidths[std::size_t(index)];
        if (x >= left && x < left + width) {
            hitCol = -1 - index;
            break;
        }
        left += width;
    }
    int hitRow = -1;
    int dataCol = 0, dataRow = 0;
    if (hitCol < 0 && m_ctrl->GetCellFromPoint(0, y, &dataCol, &dataRow, nullptr) == 0)
        hitRow = dataRow;
    else if (hitCol < 0 && m_GI->m_colCount == 0) {
        for (int r = 0; r < m_GI->m_rowCount; ++r) {
            int top = 0, bottom = 0;
            if (m_ctrl->RowEdges(r, &top, &bottom) && y >= top && y < bottom && bottom > top) {
                hitRow = r;
                break;
            }
        }
    }
    if (hitCol >= 0 || hitRow < 0)
        return 1;
    *col = hitCol;
    *row = hitRow;
    if (rect)
        GetCellRect(hitCol, hitRow, rect);
    return 0;
}

void CUGSideHdg::FitLastColumnToWidth()
{
    if (!m_GI || m_GI->m_sideHdgColWidths.empty())
        return;
    int others = 0;
    for (std::size_t i = 0; i + 1 < m_GI->m_sideHdgColWidths.size(); ++i)
        others += m_GI->m_sideHdgColWidths[i];
    const int width = std::max(0, m_GI->m_sideHdgWidth - others);
    int &last = m_GI->m_sideHdgColWidths.back();
    if (width != last && width <= CUGCtrl::kMaxHeadingSize)
        last = width;
    repaint();
}

void CUGSideHdg::RepaintPending()
{
    if (!m_GI)
        return;
    if (m_GI->m_topRow == m_lastTopRow && m_GI->m_reportedRow == m_lastCurrentRow)
        return;
    m_lastTopRow = m_GI->m_topRow;
    m_lastCurrentRow = m_GI->m_reportedRow;
    update();
}

void CUGSideHdg::paintEvent(QPaintEvent *)
{
    if (!readyToPaint())
        return;
    QPainter painter(this);
    preparePainter(painter);
    m_drawnJoins.clear();
    const int height = m_GI->m_gridHeight;
    int bottom = 0;
    CUGCell cell;
    for (int row = m_GI->m_lockedRowCount > 0 ? 0 : m_GI->m_topRow; row < m_GI->m_rowCount;
         row = row + 1 == m_GI->m_lockedRowCount ? std::max(m_GI->m_topRow, row + 1) : row + 1) {
        int rowBottom = bottom;
        for (int col = -m_GI->m_sideHdgColCount; col <= -1; ++col) {
            UgRect rect;
            if (GetCellRect(col, row, &rect) != 0)
                continue;
            rowBottom = rect.bottom;
            int drawCol = col, drawRow = row;
            m_ctrl->GetCellComposite(col, row, &cell);
            if (cell.IsJoined() && m_GI->m_joining) {
                int lastCol = col, lastRow = row;
                m_ctrl->FindJoinedBlock(&drawCol, &drawRow, &lastCol, &lastRow);
                const UgCellPos origin{drawCol, drawRow};
                if (std::find(m_drawnJoins.begin(), m_drawnJoins.end(), origin) != m_drawnJoins.end())
                    continue;
                m_drawnJoins.push_back(origin);
                UgRect last;
                GetCellRect(drawCol, drawRow, &rect);
                if (GetCellRect(std::min(lastCol, -1), lastRow, &last) == 0) {
                    rect.right = std::max(rect.right, last.right);
                    rect.bottom = std::max(rect.bottom, last.bottom);
                }
                m_ctrl->GetCellComposite(drawCol, drawRow, &cell);
            }
            if (rect.height() > 0 && rect.width() > 0) {
                painter.save();
                m_ctrl->CellTypeOf(cell)->Draw(&painter, &rect, drawCol, drawRow, &cell, 0, 0);
                painter.restore();
            }
        }
        bottom = rowBottom;
        if (bottom > height)
            break;
    }
    m_drawnJoins.clear();
    m_lastBottom = bottom;
    if (bottom < this->height())
        GridPaint::fillRect(painter, UgRect{0, bottom, this->width(), this->height()},
                            m_ctrl->GetDefaultBackColor(CUGCtrl::SectionSideHeading));
}

// ---- Sizing ----

void CUGSideHdg::trackSizingCursor(QPoint point)
{
    m_armed = 0;
    int x = m_GI->m_sideHdgWidth;
    for (int index = 0; index < m_GI->m_sideHdgColCount; ++index) {
        if (point.x() > x - kBorderReach && point.x() < x + kBorderReach) {
            if (m_ctrl->HookMaySizeSideHeading()) {
                m_armed = 1;
                m_kind = 0;
                m_index = index;
                m_initial = m_GI->m_sideHdgColWidths[std::size_t(index)];
                m_start = point.x();
                m_initialTotal = m_GI->m_sideHdgWidth;
                setCursor(m_GI->m_sizeWECursor);
                return;
            }
            break;
        }
        x -= m_GI->m_sideHdgColWidths[std::size_t(index)];
    }
    int y = 0;
    for (int row = m_GI->m_lockedRowCount > 0 ? 0 : m_GI->m_topRow; row < m_GI->m_rowCount;
         row = row + 1 == m_GI->m_lockedRowCount ? std::max(m_GI->m_topRow, row + 1) : row + 1) {
        y += m_ctrl->GetRowHeight(row);
        if (point.y() > y - kBorderReach && point.y() < y + kBorderReach) {
            // A hidden row below the border is the one sized, so it can be pulled open.
            int sized = row;
            if (row + 1 < m_GI->m_rowCount && m_ctrl->GetRowHeight(row + 1) == 0)
                sized = row + 1;
            if (m_ctrl->HookMaySizeRow(sized)) {
                m_armed = 1;
                m_kind = 1;
                m_index = sized;
                m_initial = m_ctrl->GetRowHeight(sized);
                m_start = point.y();
                if (m_GI->m_uniformRowHeight && m_GI->m_defRowHeight > 0)
                    m_rowsAbove = m_start / m_GI->m_defRowHeight;
                setCursor(m_GI->m_sizeNSCursor);
            }
            return;
        }
        if (y > m_GI->m_gridHeight)
            break;
    }
}

void CUGSideHdg::tellRowSized(int row, int *height, bool done)
{
    m_ctrl->UpdateVisibleEdges();
    for (int col = m_GI->m_leftCol; col < std::min(m_GI->m_rightVisibleCol, m_GI->m_colCount); ++col) {
        CUGCellType *type = m_ctrl->GetCellTypeOfCell(col, row);
        if (done)
            type->OnRowSized(col, row, height);
        else
            type->OnRowSizing(col, row, height);
    }
}

void CUGSideHdg::dragTo(QPoint point)
{
    if (m_kind == 0) {
        m_GI->m_sideHdgColWidths[std::size_t(m_index)] = std::max(0, m_initial - m_start + point.x());
        int total = std::max(0, m_initialTotal - m_start + point.x());
        // The heading takes the total whatever the hook answers; the other columns keep their widths.
        m_ctrl->HookSideHeadingSizing(&total);
        m_GI->m_sideHdgWidth = std::clamp(total, 0, CUGCtrl::kMaxHeadingSize);
        m_ctrl->LayOutChildWindows();
        return;
    }
    int height;
    if (m_GI->m_uniformRowHeight) {
        const int y = std::max(point.y(), 1);
        // Every row above the border is as high as the dragged one.
        height = m_rowsAbove > 0 ? y / m_rowsAbove : y;
    } else {
        height = m_initial - m_start + point.y();
    }
    height = std::max(0, height);
    tellRowSized(m_index, &height, false);
    m_ctrl->HookRowSizing(m_index, &height);
    m_ctrl->ChangeRowHeight(m_index, height);
    if (m_GI->m_userSizingMode == 1) {
        FitLastColumnToWidth();
        m_ctrl->GridWindow()->SetTrackingRect(UgRect{0, point.y() - 1, m_GI->m_gridWidth, point.y() + 1});
    } else {
        m_ctrl->RepaintAllParts();
    }
}

void CUGSideHdg::endDrag()
{
    m_inProgress = 0;
    m_ctrl->GridWindow()->SetTrackingRect(UgRect{-1, -1, -1, -1});
    if (m_kind == 0) {
        m_ctrl->HookSideHeadingSized(&m_GI->m_sideHdgWidth);
    } else {
        int height = m_ctrl->GetRowHeight(m_index);
        tellRowSized(m_index, &height, true);
        m_ctrl->HookRowSized(m_index, &height);
        m_ctrl->ChangeRowHeight(m_index, height);
    }
    m_ctrl->LayOutChildWindows();
}

// ---- Hooks ----

void CUGSideHdg::hookLeftButton(int col, int row, int down, UgRect *rect, QPoint *point, int processed)
{
    m_ctrl->HookSideHeadingLeftButton(col, row, down, rect, point, processed);
}

void CUGSideHdg::hookRightButton(int col, int row, int down, UgRect *rect, QPoint *point, int processed)
{
    m_ctrl->HookSideHeadingRightButton(col, row, down, rect, point, processed);
}

void CUGSideHdg::hookDoubleClick(int col, int row, UgRect *rect, QPoint *point, int processed)
{
    m_ctrl->HookSideHeadingDoubleClick(col, row, rect, point, processed);
}

void CUGSideHdg::mouseMoveEvent(QMouseEvent *event)
{
    GridHeading::mouseMoveEvent(event);
    if (m_GI && !m_inProgress && !m_armed)
        setCursor(m_GI->m_arrowCursor);
}

bool CUGSideHdg::doubleClickOnBorder(QPoint)
{
    // No best fit here: the double-click goes to the cell under it.
    return false;
}
