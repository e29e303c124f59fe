// The grid's layout: where the child windows go, which cells are in view, and cell and range
// rectangles.
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

namespace {

void moveChild(QWidget *child, const UgRect &rect)
{
    // A rectangle turned inside out by the layout shows nothing.
    UgRect shown = rect;
    shown.right = std::max(shown.left, shown.right);
    shown.bottom = std::max(shown.top, shown.bottom);
    child->setGeometry(toQRect(shown));
}

} // namespace

void CUGCtrl::LayOutChildWindows()
{
    if (!m_GI)
        return;
    const int totalWidth = width();
    const int totalHeight = height();
    int vBarWidth = m_GI->m_vScrollWidth;
    int hBarHeight = m_GI->m_hScrollHeight;
    int tabWidth = m_GI->m_tabWidth;
    const int sideWidth = m_GI->m_sideHdgWidth;
    const int topHeight = m_GI->m_topHdgHeight;
    int availableWidth = totalWidth - sideWidth;
    int availableHeight = totalHeight - topHeight;

    long long columnsWidth = 0;
    for (int col = 0; col < m_GI->m_colCount && columnsWidth <= availableWidth; ++col)
        columnsWidth += m_GI->m_columns[std::size_t(col)].width;
    long long rowsHeight = 0;
    if (m_GI->m_uniformRowHeight) {
        rowsHeight = (long long)m_GI->m_rowCount * m_GI->m_defRowHeight;
    } else {
        for (int row = 0; row < m_GI->m_rowCount && rowsHeight <= availableHeight; ++row)
            rowsHeight += m_GI->m_rowHeights[std::size_t(row)];
    }
    const bool columnsFit = columnsWidth <= availableWidth;
    if (tabWidth > 0 || !columnsFit)
        availableHeight -= hBarHeight;
    const bool rowsFit = rowsHeight <= availableHeight;
    if (!rowsFit)
        availableWidth -= vBarWidth;

    // Bars that are not needed take no room in this layout only.
    if (rowsFit)
        vBarWidth = 0;
    if (columnsFit && tabWidth <= 0)
        hBarHeight = 0;
    if (columnsFit && tabWidth > 0)
        tabWidth = totalWidth + 6;
    else if (!columnsFit && tabWidth > totalWidth - sideWidth - vBarWidth)
        tabWidth = totalWidth - sideWidth - vBarWidth;

    UgRect vScroll{totalWidth - vBarWidth, 0, totalWidth, totalHeight - hBarHeight};
    UgRect hScroll{tabWidth, totalHeight - hBarHeight, totalWidth - vBarWidth, totalHeight};
    UgRect tabs{0, totalHeight - hBarHeight, tabWidth, totalHeight};
    UgRect topHeading{sideWidth, 0, totalWidth - vBarWidth, topHeight};
    UgRect sideHeading{0, topHeight, sideWidth, totalHeight - hBarHeight};
    UgRect corner{0, 0, sideWidth, topHeight};
    UgRect grid{sideWidth, topHeight, totalWidth - vBarWidth, totalHeight - hBarHeight};

    HookAdjustLayout(&grid, &topHeading, &sideHeading, &corner, &vScroll, &hScroll, &tabs);
    m_GI->m_gridRect = grid;
    m_GI->m_topHdgRect = topHeading;
    m_GI->m_sideHdgRect = sideHeading;
    m_GI->m_cornerRect = corner;
    m_GI->m_vScrollRect = vScroll;
    m_GI->m_hScrollRect = hScroll;
    m_GI->m_tabRect = tabs;
    m_GI->m_gridWidth = std::max(0, grid.width());
    m_GI->m_gridHeight = std::max(0, grid.height());

    if (m_GI->m_createdFlag) {
        if (!m_tabLayoutInProgress) {
            moveChild(m_grid, grid);
            moveChild(m_topHdg, topHeading);
            moveChild(m_sideHdg, sideHeading);
            moveChild(m_cornerButton, corner);
            moveChild(m_vScroll, vScroll);
            moveChild(m_hScroll, hScroll);
            moveChild(m_tab, tabs);
            UpdateMaxTopRow();
            UpdateMaxLeftColumn();
            UpdateVisibleEdges();
            RepaintAllParts();
        } else {
            moveChild(m_hScroll, hScroll);
            moveChild(m_tab, tabs);
            m_tab->update();
        }
    }
    m_GI->m_prevTopRow = m_GI->m_topRow;
    m_GI->m_prevLeftCol = m_GI->m_leftCol;
}

void CUGCtrl::LayOutTabArea()
{
    m_tabLayoutInProgress = 1;
    LayOutChildWindows();
    m_tabLayoutInProgress = 0;
}

void CUGCtrl::UpdateVisibleEdges()
{
    if (!m_GI)
        return;
    const int width = m_GI->m_gridWidth;
    int x = 0;
    m_GI->m_rightVisibleCol = m_GI->m_colCount;
    for (int col = m_GI->m_lockedColCount > 0 ? 0 : m_GI->m_leftCol; col < m_GI->m_colCount;
         col = col + 1 == m_GI->m_lockedColCount ? std::max(m_GI->m_leftCol, col + 1) : col + 1) {
        x += m_GI->m_columns[std::size_t(col)].width;
        if (x > width) {
            m_GI->m_rightVisibleCol = col;
            break;
        }
    }
    const int height = m_GI->m_gridHeight;
    m_GI->m_bottomVisibleRow = m_GI->m_rowCount;
    long long y = 0;
    for (int row = 0; row < m_GI->m_lockedRowCount; ++row) {
        y += GetRowHeight(row);
        if (y > height) {
            m_GI->m_bottomVisibleRow = row;
            return;
        }
    }
    const int first = std::max(m_GI->m_topRow, m_GI->m_lockedRowCount);
    if (m_GI->m_uniformRowHeight) {
        // Rows of one height: no walk over a long sheet.
        if (m_GI->m_defRowHeight <= 0)
            return;
        const long long fit = (height - y) / m_GI->m_defRowHeight;
        if (first + fit < m_GI->m_rowCount)
            m_GI->m_bottomVisibleRow = int(first + fit);
        return;
    }
    for (int row = first; row < m_GI->m_rowCount; ++row) {
        y += m_GI->m_rowHeights[std::size_t(row)];
        if (y > height) {
            m_GI->m_bottomVisibleRow = row;
            return;
        }
    }
}

bool CUGCtrl::VisibleRangeRect(int firstCol, int firstRow, int lastCol, int lastRow, UgRect *rect) const
{
    // The visible columns are the locked ones and those from the left column up to the right
    // visible column; the same for rows.
    auto span = [](int first, int last, int count, int locked, int scrolledFirst, int scrolledLast, int *from,
                   int *to) {
        first = std::max(first, 0);
        last = std::min(last, count - 1);
        if (first > last)
            return false;
        const int lockedFrom = first, lockedTo = std::min(last, locked - 1);
        const int scrolledFrom = std::max(first, std::max(scrolledFirst, locked));
        const int scrolledTo = std::min(last, scrolledLast);
        const bool hasLocked = lockedFrom <= lockedTo;
        const bool hasScrolled = scrolledFrom <= scrolledTo;
        if (!hasLocked && !hasScrolled)
            return false;
        *from = hasLocked ? lockedFrom : scrolledFrom;
        *to = hasScrolled ? scrolledTo : lockedTo;
        return true;
    };
    int colFrom = 0, colTo = 0, rowFrom = 0, rowTo = 0;
    if (!span(firstCol, lastCol, m_GI->m_colCount, m_GI->m_lockedColCount, m_GI->m_leftCol,
              std::min(m_GI->m_rightVisibleCol, m_GI->m_colCount - 1), &colFrom, &colTo) ||
        !span(firstRow, lastRow, m_GI->m_rowCount, m_GI->m_lockedRowCount, m_GI->m_topRow,
              std::min(m_GI->m_bottomVisibleRow, m_GI->m_rowCount - 1), &rowFrom, &rowTo))
        return false;
    int unused = 0;
    ColumnEdges(colFrom, &rect->left, &unused);
    ColumnEdges(colTo, &unused, &rect->right);
    RowEdges(rowFrom, &rect->top, &unused);
    RowEdges(rowTo, &unused, &rect->bottom);
    return rect->right > rect->left && rect->bottom > rect->top;
}

void CUGCtrl::UpdateMaxTopRow()
{
    const int locked = m_GI->m_lockedRowCount;
    const int rows = m_GI->m_rowCount;
    const int room = m_GI->m_gridHeight - m_GI->m_lockedRowsHeight;
    int greatest;
    if (m_GI->m_uniformRowHeight) {
        const int fit = m_GI->m_defRowHeight > 0 ? room / m_GI->m_defRowHeight : rows;
        greatest = rows - std::max(fit, 0);
    } else {
        int remaining = room;
        int row = rows - 1;
        for (; row >= locked; --row) {
            remaining -= m_GI->m_rowHeights[std::size_t(row)];
            if (remaining < 0)
                break;
        }
        greatest = row + 1;
    }
    greatest = std::max(locked, std::min(greatest, rows - 1));
    const int old = m_GI->m_maxTopRow;
    m_GI->m_maxTopRow = greatest;
    m_GI->m_topRow = std::max(locked, std::min(m_GI->m_topRow, greatest));
    // The vertical bar appears or disappears.
    if ((old == 0) != (greatest == 0) && !m_relayingOut) {
        m_relayingOut = true;
        LayOutChildWindows();
        m_relayingOut = false;
    }
}

void CUGCtrl::UpdateMaxLeftColumn()
{
    const int locked = m_GI->m_lockedColCount;
    const int cols = m_GI->m_colCount;
    int remaining = m_GI->m_gridWidth - m_GI->m_lockedColsWidth;
    int col = cols - 1;
    for (; col >= locked; --col) {
        remaining -= m_GI->m_columns[std::size_t(col)].width;
        if (remaining < 0)
            break;
    }
    const int greatest = std::max(locked, std::min(col + 1, cols - 1));
    m_GI->m_maxLeftCol = greatest;
    m_GI->m_leftCol = std::max(locked, std::min(m_GI->m_leftCol, greatest));
}

void CUGCtrl::BringCurrentRowIntoView()
{
    const int row = m_GI->m_currentRow;
    if (row < m_GI->m_lockedRowCount)
        return;
    if (row < m_GI->m_topRow) {
        m_GI->m_topRow = row;
        return;
    }
    const int room = m_GI->m_gridHeight - m_GI->m_lockedRowsHeight;
    if (m_GI->m_uniformRowHeight) {
        const int visible = m_GI->m_defRowHeight > 0 ? std::max(1, room / m_GI->m_defRowHeight) : 1;
        if (row >= m_GI->m_topRow + visible)
            m_GI->m_topRow = std::max(m_GI->m_lockedRowCount, row - visible + 1);
        return;
    }
    long long bottom = 0;
    for (int r = m_GI->m_topRow; r <= row; ++r)
        bottom += m_GI->m_rowHeights[std::size_t(r)];
    while (bottom > room && m_GI->m_topRow < row) {
        bottom -= m_GI->m_rowHeights[std::size_t(m_GI->m_topRow)];
        ++m_GI->m_topRow;
    }
}

void CUGCtrl::BringCurrentColumnIntoView()
{
    const int col = m_GI->m_currentCol;
    if (col < m_GI->m_lockedColCount)
        return;
    if (col < m_GI->m_leftCol) {
        m_GI->m_leftCol = col;
        return;
    }
    const int room = m_GI->m_gridWidth - m_GI->m_lockedColsWidth;
    long long right = 0;
    for (int c = m_GI->m_leftCol; c <= col; ++c)
        right += m_GI->m_columns[std::size_t(c)].width;
    while (right > room && m_GI->m_leftCol < col) {
        right -= m_GI->m_columns[std::size_t(m_GI->m_leftCol)].width;
        ++m_GI->m_leftCol;
    }
}

bool CUGCtrl::ColumnEdges(int col, int *left, int *right) const
{
    if (col < 0 || col >= m_GI->m_colCount)
        return false;
    const int width = m_GI->m_columns[std::size_t(col)].width;
    int x = 0;
    if (col < m_GI->m_lockedColCount) {
        for (int c = 0; c < col; ++c)
            x += m_GI->m_columns[std::size_t(c)].width;
    } else if (col < m_GI->m_leftCol) {
        // Scrolled off to the left: no room right of the locked columns.
        *left = *right = m_GI->m_lockedColsWidth;
        return true;
    } else {
        x = m_GI->m_lockedColsWidth;
        for (int c = m_GI->m_leftCol; c < col; ++c)
            x += m_GI->m_columns[std::size_t(c)].width;
    }
    *left = x;
    *right = x + width;
    return true;
}

bool CUGCtrl::RowEdges(int row, int *top, int *bottom) const
{
    if (row < 0 || row >= m_GI->m_rowCount)
        return false;
    const int height = GetRowHeight(row);
    long long y = 0;
    if (row < m_GI->m_lockedRowCount) {
        for (int r = 0; r < row; ++r)
            y += GetRowHeight(r);
    } else if (row < m_GI->m_topRow) {
        *top = *bottom = m_GI->m_lockedRowsHeight;
        return true;
    } else if (m_GI->m_uniformRowHeight) {
        y = m_GI->m_lockedRowsHeight + (long long)(row - m_GI->m_topRow) * m_GI->m_defRowHeight;
    } else {
        y = m_GI->m_lockedRowsHeight;
        for (int r = m_GI->m_topRow; r < row; ++r)
            y += m_GI->m_rowHeights[std::size_t(r)];
    }
    *top = int(std::min<long long>(y, INT32_MAX / 2));
    *bottom = *top + height;
    return true;
}

bool CUGCtrl::rowIsVisible(int row) const
{
    if (row >= 0 && row < m_GI->m_lockedRowCount)
        return true;
    int top = 0, bottom = 0;
    return row >= m_GI->m_topRow && RowEdges(row, &top, &bottom) && bottom <= m_GI->m_gridHeight;
}

bool CUGCtrl::columnIsVisible(int col) const
{
    if (col >= 0 && col < m_GI->m_lockedColCount)
        return true;
    int left = 0, right = 0;
    return col >= m_GI->m_leftCol && ColumnEdges(col, &left, &right) && right <= m_GI->m_gridWidth;
}

int CUGCtrl::GetCellFromPoint(int x, int y, int *col, int *row, UgRect *rect)
{
    if (x < 0 || x >= m_GI->m_gridWidth || y < 0 || y >= m_GI->m_gridHeight)
        return 1;
    int hitCol = -1;
    int left = 0;
    auto probeColumn = [&](int c) {
        const int width = m_GI->m_columns[std::size_t(c)].width;
        if (x >= left && x < left + width) {
            hitCol = c;
            return true;
        }
        left += width;
        return left > m_GI->m_gridWidth;
    };
    for (int c = 0; c < m_GI->m_lockedColCount && hitCol < 0; ++c) {
        if (probeColumn(c))
            break;
    }
    for (int c = std::max(m_GI->m_leftCol, m_GI->m_lockedColCount); c < m_GI->m_colCount && hitCol < 0; ++c) {
        if (probeColumn(c))
            break;
    }
    int hitRow = -1;
    int top = 0;
    auto probeRow = [&](int r) {
        const int height = GetRowHeight(r);
        if (y >= top && y < top + height) {
            hitRow = r;
            return true;
        }
        top += height;
        return top > m_GI->m_gridHeight;
    };
    for (int r = 0; r < m_GI->m_lockedRowCount && hitRow < 0; ++r) {
        if (probeRow(r))
            break;
    }
    for (int r = std::max(m_GI->m_topRow, m_GI->m_lockedRowCount); r < m_GI->m_rowCount && hitRow < 0; ++r) {
        if (probeRow(r))
            break;
    }
    if (hitCol < 0 || hitRow < 0)
        return 1;
    *col = hitCol;
    *row = hitRow;
    if (rect)
        GetCellRect(col, row, rect);
    return 0;
}

int CUGCtrl::GetCellRect(int *col, int *row, UgRect *rect)
{
    if (*col < 0)
        return m_sideHdg->GetCellRect(*col, *row, rect), 0;
    if (*row < 0)
        return m_topHdg->GetCellRect(*col, *row, rect), 0;
    int lastCol = *col;
    int lastRow = *row;
    if (m_GI->m_joining)
        FindJoinedBlock(col, row, &lastCol, &lastRow);
    int unused = 0;
    ColumnEdges(*col, &rect->left, &unused);
    ColumnEdges(lastCol, &unused, &rect->right);
    RowEdges(*row, &rect->top, &unused);
    RowEdges(lastRow, &unused, &rect->bottom);
    return 0;
}

int CUGCtrl::GetRangeRect(int firstCol, int firstRow, int lastCol, int lastRow, UgRect *rect)
{
    *rect = UgRect{-10, -10, m_GI->m_gridWidth + 10, m_GI->m_gridHeight + 10};
    int x = 0;
    auto walkColumn = [&](int c) {
        if (c == firstCol)
            rect->left = x;
        x += m_GI->m_columns[std::size_t(c)].width;
        if (c == lastCol)
            rect->right = x;
        return x > m_GI->m_gridWidth;
    };
    bool stop = false;
    for (int c = 0; c < m_GI->m_lockedColCount && !stop; ++c)
        stop = walkColumn(c);
    for (int c = std::max(m_GI->m_leftCol, m_GI->m_lockedColCount); c < m_GI->m_colCount && !stop; ++c)
        stop = walkColumn(c);
    int y = 0;
    auto walkRow = [&](int r) {
        if (r == firstRow)
            rect->top = y;
        y += GetRowHeight(r);
        if (r == lastRow)
            rect->bottom = y;
        return y > m_GI->m_gridHeight;
    };
    stop = false;
    for (int r = 0; r < m_GI->m_lockedRowCount && !stop; ++r)
        stop = walkRow(r);
    for (int r = std::max(m_GI->m_topRow, m_GI->m_lockedRowCount); r < m_GI->m_rowCount && !stop; ++r)
        stop = walkRow(r);
    return 0;
}
