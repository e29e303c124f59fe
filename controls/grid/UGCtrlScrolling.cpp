// The grid's current cell and scrolling: moves by cell, by page and to the ends, and the top row
// and left column.
#include "controls/grid/UGCnrBtn.h"
#include "controls/grid/UGCtrl.h"
#include "controls/grid/UGDataSource.h"
#include "controls/grid/UGGrid.h"
#include "controls/grid/UGGridInfo.h"
#include "controls/grid/UGHScroll.h"
#include "controls/grid/UGHint.h"
#include "controls/grid/UGMultiSelect.h"
#include "controls/grid/UGSideHdg.h"
#include "controls/grid/UGTab.h"
#include "controls/grid/UGTopHdg.h"
#include "controls/grid/UGVScroll.h"

#include <QFontMetrics>
#include <QMenu>
#include <QMetaProperty>
#include <algorithm>
#include <cmath>
#include <numeric>

int CUGCtrl::GetCurrentColumn() const
{
    return m_GI->m_currentCol;
}

int CUGCtrl::GetCurrentRow() const
{
    return m_GI->m_currentRow;
}

int CUGCtrl::GetTopRow() const
{
    return m_GI->m_topRow;
}

int CUGCtrl::GetLeftColumn() const
{
    return m_GI->m_leftCol;
}

void CUGCtrl::reportSelectionOrigin()
{
    const Qt::KeyboardModifiers modifiers = m_modifierSource();
    if (m_GI->m_selectKeyState != 0 || (modifiers & (Qt::ShiftModifier | Qt::ControlModifier)))
        return;
    int col = 0, row = 0;
    if (m_GI->m_multiSelect->GetOrigin(&col, &row) == 0) {
        m_GI->m_reportedCol = col;
        m_GI->m_reportedRow = row;
    }
}

int CUGCtrl::MoveCurrentRowTo(int row)
{
    reportSelectionOrigin();
    if (row == m_GI->m_currentRow)
        return 0;
    if (ClampRowPastEnd(&row))
        return 1;
    if (!HookMayMoveCell(m_GI->m_currentCol, m_GI->m_currentRow, m_GI->m_currentCol, row))
        return 2;
    if (!rowIsVisible(row) && !HookMayMoveView(m_GI->m_leftCol, m_GI->m_topRow, m_GI->m_leftCol, row))
        return 2;
    m_GI->m_currentRow = row;
    BringCurrentRowIntoView();
    ApplyCellMove();
    return 0;
}

int CUGCtrl::MoveCurrentColumnTo(int col)
{
    reportSelectionOrigin();
    if (col == m_GI->m_currentCol)
        return 0;
    if (ClampColumnPastEnd(&col))
        return 1;
    if (m_GI->m_dataSource->MayMoveToColumn(m_GI->m_currentCol, m_GI->m_currentRow, col,
                                            m_GI->m_currentRow) != 1)
        return 2;
    if (!HookMayMoveCell(m_GI->m_currentCol, m_GI->m_currentRow, col, m_GI->m_currentRow))
        return 2;
    if (!columnIsVisible(col) && !HookMayMoveView(m_GI->m_leftCol, m_GI->m_topRow, col, m_GI->m_topRow))
        return 2;
    m_GI->m_currentCol = col;
    BringCurrentColumnIntoView();
    ApplyCellMove();
    return 0;
}

int CUGCtrl::MoveCurrentCellTo(int col, int row)
{
    // Only a data cell can become the current cell.
    if (col < 0 || col >= m_GI->m_colCount || row < 0 || row >= m_GI->m_rowCount)
        return 1;
    if (col == m_GI->m_currentCol && row == m_GI->m_currentRow) {
        if ((m_modifierSource() & Qt::ShiftModifier) && m_GI->m_multiSelectFlag) {
            m_GI->m_multiSelect->EndBlock(col, row);
            m_grid->RepaintPending();
        }
        return 0;
    }
    if (m_GI->m_joining)
        MoveToJoinOrigin(&col, &row);
    if (m_GI->m_dataSource->MayMoveToColumn(m_GI->m_reportedCol, m_GI->m_reportedRow, col, row) != 1)
        return 2;
    if (!HookMayMoveCell(m_GI->m_reportedCol, m_GI->m_reportedRow, col, row))
        return 2;
    if ((!rowIsVisible(row) || !columnIsVisible(col)) &&
        !HookMayMoveView(m_GI->m_leftCol, m_GI->m_topRow, col, row))
        return 2;
    m_GI->m_currentCol = col;
    m_GI->m_currentRow = row;
    BringCurrentRowIntoView();
    BringCurrentColumnIntoView();
    ApplyCellMove();
    return 0;
}

int CUGCtrl::ScrollTopRowTo(int row)
{
    if (row == m_GI->m_topRow)
        return 0;
    row = std::max(m_GI->m_lockedRowCount, std::min(row, m_GI->m_maxTopRow));
    if (row == m_GI->m_topRow)
        return 0;
    if (!HookMayMoveView(m_GI->m_leftCol, m_GI->m_topRow, m_GI->m_leftCol, row))
        return 2;
    m_GI->m_topRow = row;
    ApplyCellMove();
    return 0;
}

int CUGCtrl::ScrollLeftColumnTo(int col)
{
    if (col == m_GI->m_leftCol)
        return 0;
    col = std::max(m_GI->m_lockedColCount, std::min(col, m_GI->m_maxLeftCol));
    if (col == m_GI->m_leftCol)
        return 0;
    if (!HookMayMoveView(m_GI->m_leftCol, m_GI->m_topRow, col, m_GI->m_topRow))
        return 2;
    m_GI->m_leftCol = col;
    ApplyCellMove();
    return 0;
}

int CUGCtrl::rowStep(int from, int code) const
{
    const int rows = m_GI->m_rowCount;
    const int room = m_GI->m_gridHeight - m_GI->m_lockedRowsHeight;
    switch (code) {
    case MoveUp: {
        int row = from - 1;
        while (row > 0 && GetRowHeight(row) == 0)
            --row;
        return row;
    }
    case MoveDown: {
        int row = from + 1;
        while (row < rows - 1 && GetRowHeight(row) == 0)
            ++row;
        return row;
    }
    case MovePageUp: {
        int row = from;
        int used = 0;
        while (row - 1 >= m_GI->m_lockedRowCount && used + GetRowHeight(row - 1) <= room) {
            used += GetRowHeight(row - 1);
            --row;
        }
        return row;
    }
    case MovePageDown: {
        int row = from;
        int used = 0;
        while (row + 1 < rows && used + GetRowHeight(row) <= room) {
            used += GetRowHeight(row);
            ++row;
        }
        return row;
    }
    case MoveFirst:
        return 0;
    default:
        return rows - 1;
    }
}

int CUGCtrl::columnStep(int from, int code) const
{
    const int cols = m_GI->m_colCount;
    const int room = m_GI->m_gridWidth - m_GI->m_lockedColsWidth;
    switch (code) {
    case MoveUp: {
        int col = from - 1;
        while (col > 0 && GetColumnWidth(col) == 0)
            --col;
        return col;
    }
    case MoveDown: {
        int col = from + 1;
        while (col < cols - 1 && GetColumnWidth(col) == 0)
            ++col;
        return col;
    }
    case MovePageUp: {
        int col = from;
        int used = 0;
        while (col - 1 >= m_GI->m_lockedColCount && used + GetColumnWidth(col - 1) <= room) {
            used += GetColumnWidth(col - 1);
            --col;
        }
        return col;
    }
    case MovePageDown: {
        int col = from;
        int used = 0;
        while (col + 1 < cols && used + GetColumnWidth(col) <= room) {
            used += GetColumnWidth(col);
            ++col;
        }
        return col;
    }
    case MoveFirst:
        return 0;
    default:
        return cols - 1;
    }
}

int CUGCtrl::ScrollTopRowBy(int code)
{
    if (m_GI->m_rowCount <= 0 || code < MoveUp || code > MoveLast)
        return 1;
    if (code == MoveDown && m_GI->m_topRow == m_GI->m_rowCount - 1)
        return 0;
    int row = rowStep(m_GI->m_topRow, code);
    if (code == MovePageDown)
        row = std::min(row, m_GI->m_maxTopRow);
    return ScrollTopRowTo(row);
}

int CUGCtrl::ScrollLeftColumnBy(int code)
{
    if (m_GI->m_colCount <= 0 || code < MoveUp || code > MoveLast)
        return 1;
    if (code == MoveDown && m_GI->m_leftCol == m_GI->m_colCount - 1)
        return 0;
    int col = columnStep(m_GI->m_leftCol, code);
    if (code == MovePageDown)
        col = std::min(col, m_GI->m_maxLeftCol);
    return ScrollLeftColumnTo(col);
}

int CUGCtrl::MoveCurrentRowBy(int code)
{
    if (m_GI->m_rowCount <= 0 || code < MoveUp || code > MoveLast)
        return 1;
    return MoveCurrentRowTo(rowStep(m_GI->m_currentRow, code));
}

int CUGCtrl::MoveCurrentColumnBy(int code)
{
    if (m_GI->m_colCount <= 0 || code < MoveUp || code > MoveLast)
        return 1;
    return MoveCurrentColumnTo(columnStep(m_GI->m_currentCol, code));
}

int CUGCtrl::ClampRowPastEnd(int *row)
{
    const int rows = m_GI->m_rowCount;
    if (*row >= rows) {
        const int wanted = *row - rows + 1;
        int found = 0;
        m_GI->m_dataSource->FetchRowsPastEnd(rows, wanted, &found);
        HookRowsPastEnd(rows, wanted, found);
        if (m_GI->m_currentRow == rows - 1)
            return 1;
        *row = rows - 1;
    }
    if (*row < 0)
        *row = 0;
    int col = m_GI->m_currentCol;
    int originRow = *row, lastCol = 0, lastRow = 0;
    if (m_GI->m_joining && col >= 0 && FindJoinedBlock(&col, &originRow, &lastCol, &lastRow) == 0 &&
        originRow != *row) {
        // Moving down into a block goes past it; moving up lands on its origin.
        if (*row > m_GI->m_currentRow && lastRow + 1 < rows)
            *row = lastRow + 1;
        else
            *row = originRow;
    }
    return 0;
}

int CUGCtrl::ClampColumnPastEnd(int *col)
{
    const int cols = m_GI->m_colCount;
    if (*col >= cols) {
        if (m_GI->m_currentCol == cols - 1)
            return 1;
        *col = cols - 1;
    }
    if (*col < 0)
        *col = 0;
    int row = m_GI->m_currentRow;
    int originCol = *col, lastCol = 0, lastRow = 0;
    if (m_GI->m_joining && row >= 0 && FindJoinedBlock(&originCol, &row, &lastCol, &lastRow) == 0 &&
        originCol != *col) {
        if (*col > m_GI->m_currentCol && lastCol + 1 < cols)
            *col = lastCol + 1;
        else
            *col = originCol;
    }
    return 0;
}

void CUGCtrl::updateSelectionForMove()
{
    CUGMultiSelect *selection = m_GI->m_multiSelect.get();
    const int col = m_GI->m_currentCol;
    const int row = m_GI->m_currentRow;
    switch (m_GI->m_selectKeyState) {
    case 0:
        selection->OnKeyMoveSelect(col, row);
        break;
    case 1:
        selection->OnClickSelect(col, row, m_GI->m_selectKeyFlags);
        break;
    case 2:
        selection->OnSelectIfNotSelected(col, row);
        break;
    case 3:
        selection->OnDragSelect(col, row);
        break;
    default:
        break;
    }
    if (selection->GetOrigin(&m_GI->m_reportedCol, &m_GI->m_reportedRow) != 0) {
        m_GI->m_reportedCol = col;
        m_GI->m_reportedRow = row;
    }
}

void CUGCtrl::ApplyCellMove()
{
    if (!m_GI->m_multiSelectFlag || m_editing) {
        m_GI->m_reportedCol = m_GI->m_currentCol;
        m_GI->m_reportedRow = m_GI->m_currentRow;
    } else {
        updateSelectionForMove();
    }

    const int oldCol = m_GI->m_prevReportedCol;
    const int oldRow = m_GI->m_prevReportedRow;
    const int newCol = m_GI->m_reportedCol;
    const int newRow = m_GI->m_reportedRow;
    const bool colChanged = newCol != oldCol;
    const bool rowChanged = newRow != oldRow;
    if (colChanged) {
        m_GI->m_dataSource->OnCurrentColumnChanged(oldCol, newCol);
        HookCurrentColumnChanged(oldCol, newCol);
    }
    if (rowChanged) {
        m_GI->m_dataSource->OnCurrentRowChanged(oldRow, newRow);
        HookCurrentRowChanged(oldRow, newRow);
    }
    if (colChanged || rowChanged)
        HookCurrentCellChanged(oldCol, newCol, oldRow, newRow);
    const bool leftChanged = m_GI->m_leftCol != m_GI->m_prevLeftCol;
    if (leftChanged)
        HookLeftColumnChanged(m_GI->m_prevLeftCol, m_GI->m_leftCol);
    if (m_GI->m_topRow != m_GI->m_prevTopRow)
        HookTopRowChanged(m_GI->m_prevTopRow, m_GI->m_topRow);

    PlaceTrackingWindow();
    UpdateVisibleEdges();
    if (colChanged || rowChanged) {
        CUGCell cell;
        if (oldCol >= 0 && oldRow >= 0) {
            GetCellComposite(oldCol, oldRow, &cell);
            GetCellTypeOfCell(oldCol, oldRow)->OnCurrentCellLeft(oldCol, oldRow, &cell);
        }
        if (newCol >= 0 && newRow >= 0) {
            GetCellComposite(newCol, newRow, &cell);
            GetCellTypeOfCell(newCol, newRow)->OnCurrentCellEntered(newCol, newRow, &cell);
        }
    }
    if (m_GI->m_createdFlag) {
        if (colChanged || rowChanged) {
            m_grid->m_redrawList.AddCell(oldCol, oldRow);
            m_grid->m_redrawList.AddCell(newCol, newRow);
        }
        m_grid->RepaintPending();
        m_sideHdg->RepaintPending();
        if (leftChanged)
            m_topHdg->update();
        m_vScroll->Update();
        m_hScroll->Update();
    }
    m_GI->m_prevReportedCol = newCol;
    m_GI->m_prevReportedRow = newRow;
    m_GI->m_prevLeftCol = m_GI->m_leftCol;
    m_GI->m_prevTopRow = m_GI->m_topRow;
}
