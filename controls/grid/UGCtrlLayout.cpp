// Sizes, layout, the current cell, scrolling, repainting, in-place editing and the pop-up menu of
// the grid.
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

bool exceedsHeadingLimit(int size)
{
    return unsigned(size) > unsigned(CUGCtrl::kMaxHeadingSize);
}

} // namespace

// ---- Counts and sizes ----

int CUGCtrl::GetRowCount() const
{
    return m_GI->m_rowCount;
}

int CUGCtrl::GetColumnCount() const
{
    return m_GI->m_colCount;
}

int CUGCtrl::SetRowCount(int rows)
{
    if (rows < 0)
        return 1;
    if (rows > 0 && rows <= m_GI->m_lockedRowCount)
        SetLockedRowCount(rows - 1);
    if (rows > kUniformRowsAbove && !m_GI->m_uniformRowHeight) {
        // Above this many rows every row shares the default height, for good.
        std::vector<int>().swap(m_GI->m_rowHeights);
        m_GI->m_uniformRowHeight = 1;
    }
    m_GI->m_rowCount = rows;
    if (!m_GI->m_uniformRowHeight)
        m_GI->m_rowHeights.resize(std::size_t(rows), m_GI->m_defRowHeight);

    const int oldTopRow = m_GI->m_topRow;
    UpdateMaxTopRow();
    if (m_GI->m_topRow != oldTopRow)
        ApplyCellMove();
    if (m_GI->m_currentRow >= rows) {
        m_GI->m_currentRow = rows - 1;
        m_GI->m_reportedRow = rows - 1;
        m_GI->m_prevReportedRow = rows - 1;
    }
    if (m_GI->m_reportedRow >= rows)
        m_GI->m_reportedRow = rows - 1;
    RecalcLockedRowsHeight();
    if (m_GI->m_currentRow < 0 && rows > 0)
        MoveCurrentRowTo(0);
    RepaintAllParts();
    return 0;
}

int CUGCtrl::SetColumnCount(int columns)
{
    if (columns > kMaxColumns || columns < 0)
        return 1;
    if (columns > 0 && columns <= m_GI->m_lockedColCount)
        SetLockedColumnCount(columns - 1);
    const int oldCount = m_GI->m_colCount;
    m_GI->m_columns.resize(std::size_t(columns));
    for (int col = oldCount; col < columns; ++col) {
        UgColumnRecord &record = m_GI->m_columns[std::size_t(col)];
        record.width = m_GI->m_defColWidth;
        record.dataSource = m_GI->m_dataSource;
        // The column keeps the grid default cell as it is now; later changes to it do not reach it.
        record.defaultCell = std::make_unique<CUGCell>(*m_GI->m_gridDefaultCell);
        record.dataSourceCol = col;
    }
    m_GI->m_colCount = columns;

    const int oldLeftCol = m_GI->m_leftCol;
    UpdateMaxLeftColumn();
    if (m_GI->m_leftCol != oldLeftCol)
        ApplyCellMove();
    if (m_GI->m_currentCol >= columns) {
        m_GI->m_currentCol = columns - 1;
        m_GI->m_reportedCol = columns - 1;
        m_GI->m_prevReportedCol = columns - 1;
    }
    if (m_GI->m_reportedCol >= columns)
        m_GI->m_reportedCol = columns - 1;
    RecalcLockedColumnsWidth();
    if (m_GI->m_currentCol < 0 && columns > 0)
        MoveCurrentColumnTo(0);
    RepaintAllParts();
    return 0;
}

void CUGCtrl::tellColumnSized(int col, int *width)
{
    if (!m_GI->m_createdFlag)
        return;
    UpdateVisibleEdges();
    const int lastRow = std::min(m_GI->m_bottomVisibleRow, m_GI->m_rowCount - 1);
    for (int row = m_GI->m_topRow; row <= lastRow; ++row)
        GetCellTypeOfCell(col, row)->OnColumnSized(col, row, width);
}

void CUGCtrl::tellRowSized(int row, int *height)
{
    if (!m_GI->m_createdFlag)
        return;
    UpdateVisibleEdges();
    const int lastCol = std::min(m_GI->m_rightVisibleCol, m_GI->m_colCount - 1);
    for (int col = m_GI->m_leftCol; col <= lastCol; ++col)
        GetCellTypeOfCell(col, row)->OnRowSized(col, row, height);
}

int CUGCtrl::ChangeColumnWidth(int col, int width)
{
    if (col < 0 && col >= -m_GI->m_sideHdgColCount)
        return SetSideHeadingColumnWidth(col, width);
    if (col < 0 || col >= m_GI->m_colCount)
        return 1;
    width = std::max(0, width);
    tellColumnSized(col, &width);
    HookColumnSized(col, &width);
    m_GI->m_columns[std::size_t(col)].width = std::max(0, width);
    if (col < m_GI->m_lockedColCount)
        RecalcLockedColumnsWidth();
    return 0;
}

int CUGCtrl::ChangeRowHeight(int row, int height)
{
    if (row < 0 && row >= -m_GI->m_topHdgRowCount)
        return SetTopHeadingRowHeight(row, height);
    if (row < 0 || row >= m_GI->m_rowCount)
        return 1;
    height = std::max(0, height);
    tellRowSized(row, &height);
    HookRowSized(row, &height);
    height = std::max(0, height);
    if (m_GI->m_uniformRowHeight)
        m_GI->m_defRowHeight = height;
    else
        m_GI->m_rowHeights[std::size_t(row)] = height;
    if (row < m_GI->m_lockedRowCount)
        RecalcLockedRowsHeight();
    return 0;
}

int CUGCtrl::GetColumnWidth(int col) const
{
    if (col < 0) {
        const int index = -1 - col;
        return index < int(m_GI->m_sideHdgColWidths.size()) ? m_GI->m_sideHdgColWidths[std::size_t(index)]
                                                            : 0;
    }
    return col < m_GI->m_colCount ? m_GI->m_columns[std::size_t(col)].width : 0;
}

int CUGCtrl::GetRowHeight(int row) const
{
    if (row < 0 || row >= m_GI->m_rowCount)
        return 0;
    return m_GI->m_uniformRowHeight ? m_GI->m_defRowHeight : m_GI->m_rowHeights[std::size_t(row)];
}

int CUGCtrl::InsertRowAt(int row)
{
    // Row numbers below 0 are the heading rows; they are never shifted into the data rows.
    if (row > m_GI->m_rowCount || row < 0)
        return 1;
    const int result = m_GI->m_dataSource->OpenRowAt(row);
    if (result != 0)
        return result;
    if (!m_GI->m_uniformRowHeight)
        m_GI->m_rowHeights.insert(m_GI->m_rowHeights.begin() + row, m_GI->m_defRowHeight);
    SetRowCount(m_GI->m_rowCount + 1);
    return 0;
}

void CUGCtrl::rescaleHeading(std::vector<int> &sizes, int total)
{
    const long long sum = std::accumulate(sizes.begin(), sizes.end(), 0LL);
    if (sizes.empty())
        return;
    if (sum <= 0) {
        // Nothing to scale from: share equally, the remainder to the part farthest from the cells.
        const int share = total / int(sizes.size());
        std::fill(sizes.begin(), sizes.end(), share);
        sizes.back() += total - share * int(sizes.size());
        return;
    }
    const double factor = double(total) / double(sum);
    for (int &size : sizes)
        size = int(std::trunc(size * factor + 0.5));
}

int CUGCtrl::SetTopHeadingHeight(int height)
{
    if (exceedsHeadingLimit(height))
        return 1;
    rescaleHeading(m_GI->m_topHdgRowHeights, height);
    m_GI->m_topHdgHeight = height;
    LayOutChildWindows();
    return 0;
}

int CUGCtrl::SetSideHeadingWidth(int width)
{
    if (exceedsHeadingLimit(width))
        return 1;
    rescaleHeading(m_GI->m_sideHdgColWidths, width);
    m_GI->m_sideHdgWidth = width;
    LayOutChildWindows();
    return 0;
}

int CUGCtrl::SetTopHeadingRowHeight(int row, int height)
{
    const int index = -1 - row;
    if (index < 0 || index >= m_GI->m_topHdgRowCount)
        return 1;
    if (exceedsHeadingLimit(height))
        return 2;
    if (m_GI->m_topHdgRowHeights[std::size_t(index)] != height) {
        m_GI->m_topHdgRowHeights[std::size_t(index)] = height;
        if (m_GI->m_topHdgRowCount < 2)
            m_GI->m_topHdgHeight = height;
    }
    return 0;
}

int CUGCtrl::SetSideHeadingColumnWidth(int col, int width)
{
    const int index = -1 - col;
    if (index < 0 || index >= m_GI->m_sideHdgColCount)
        return 1;
    if (exceedsHeadingLimit(width))
        return 2;
    if (m_GI->m_sideHdgColWidths[std::size_t(index)] != width) {
        m_GI->m_sideHdgColWidths[std::size_t(index)] = width;
        if (m_GI->m_sideHdgColCount < 2)
            m_GI->m_sideHdgWidth = width;
    }
    return 0;
}

void CUGCtrl::RecalcLockedColumnsWidth()
{
    int width = 0;
    for (int col = 0; col < m_GI->m_lockedColCount && col < m_GI->m_colCount; ++col)
        width += m_GI->m_columns[std::size_t(col)].width;
    m_GI->m_lockedColsWidth = width;
}

void CUGCtrl::RecalcLockedRowsHeight()
{
    int height = 0;
    for (int row = 0; row < m_GI->m_lockedRowCount && row < m_GI->m_rowCount; ++row)
        height += GetRowHeight(row);
    m_GI->m_lockedRowsHeight = height;
}

int CUGCtrl::SetLockedColumnCount(int count)
{
    if (count < 0 || count > m_GI->m_colCount)
        return 1;
    if (count != m_GI->m_lockedColCount) {
        m_GI->m_lockedColCount = count;
        RecalcLockedColumnsWidth();
        m_GI->m_leftCol = m_GI->m_prevLeftCol = count;
        UpdateMaxLeftColumn();
    }
    return 0;
}

int CUGCtrl::SetLockedRowCount(int count)
{
    if (count < 0 || count > m_GI->m_rowCount)
        return 1;
    if (count != m_GI->m_lockedRowCount) {
        m_GI->m_lockedRowCount = count;
        RecalcLockedRowsHeight();
        m_GI->m_topRow = m_GI->m_prevTopRow = count;
        UpdateMaxTopRow();
    }
    return 0;
}

int CUGCtrl::MoveColumn(int from, int to)
{
    if (from < 0 || from >= m_GI->m_colCount || to < 0 || to > m_GI->m_colCount)
        return 1;
    if (to == from || to == from + 1)
        return 0;
    // The record carries its store column along, so the stored cells follow the column.
    const int target = from < to ? to - 1 : to;
    UgColumnRecord record = std::move(m_GI->m_columns[std::size_t(from)]);
    m_GI->m_columns.erase(m_GI->m_columns.begin() + from);
    m_GI->m_columns.insert(m_GI->m_columns.begin() + target, std::move(record));
    RecalcLockedColumnsWidth();
    HookColumnMoved(from, to);
    return 0;
}

int CUGCtrl::FitColumnsToWidth(int firstCol, int lastCol)
{
    const int wasCreated = m_GI->m_createdFlag;
    if (!wasCreated) {
        m_GI->m_createdFlag = 1;
        LayOutChildWindows();
    }
    int result = 1;
    if (firstCol >= 0 && firstCol <= lastCol && lastCol < m_GI->m_colCount) {
        const int clientWidth = m_GI->m_gridWidth;
        long long sum = 0;
        for (int col = firstCol; col <= lastCol; ++col)
            sum += m_GI->m_columns[std::size_t(col)].width;
        const int count = lastCol - firstCol + 1;
        int used = 0;
        for (int col = firstCol; col < lastCol; ++col) {
            // Columns of no width at all are spread equally.
            const int width = sum > 0 ? int(std::trunc(m_GI->m_columns[std::size_t(col)].width *
                                                       (float(clientWidth) / float(sum))))
                                      : clientWidth / count;
            ChangeColumnWidth(col, width);
            used += m_GI->m_columns[std::size_t(col)].width;
        }
        ChangeColumnWidth(lastCol, std::max(0, clientWidth - used));
        result = 0;
    }
    m_GI->m_createdFlag = wasCreated;
    if (result == 0)
        RepaintAllParts();
    return result;
}

int CUGCtrl::FitColumnsToContent(int firstCol, int lastCol, int rowsToExamine, int flags)
{
    if (firstCol < -m_GI->m_sideHdgColCount)
        return 1;
    if (lastCol >= m_GI->m_colCount)
        return 2;
    if (lastCol < firstCol)
        return 3;

    std::vector<int> rows;
    if (flags & 1) {
        for (int row = -m_GI->m_topHdgRowCount; row < 0; ++row)
            rows.push_back(row);
    }
    for (int row = 0; row < m_GI->m_lockedRowCount; ++row)
        rows.push_back(row);
    for (int row = std::max(m_GI->m_topRow, m_GI->m_lockedRowCount); row < m_GI->m_rowCount; ++row) {
        if (int(rows.size()) >= rowsToExamine)
            break;
        rows.push_back(row);
    }
    if (int(rows.size()) > rowsToExamine)
        rows.resize(std::size_t(std::max(0, rowsToExamine)));

    std::vector<int> widths(std::size_t(lastCol - firstCol + 1), 3);
    CUGCell cell;
    for (int row : rows) {
        for (int col = firstCol; col <= lastCol; ++col) {
            GetCellComposite(col, row, &cell);
            if (cell.IsJoined())
                continue;
            QSize size;
            CUGCellType *cellType = cell.Has(CellProp::CellType) && cell.m_cellTypeIndex >= 1
                                        ? GetCellTypeByIndex(cell.m_cellTypeIndex)
                                        : &m_normalType;
            cellType->MeasureContent(&size, &cell);
            int &width = widths[std::size_t(col - firstCol)];
            width = std::max(width, size.width());
        }
    }

    const int available = (m_GI->m_gridWidth > 0 ? m_GI->m_gridWidth : 300) - m_GI->m_vScrollWidth;
    bool sideHeadingChanged = false;
    for (int col = firstCol; col <= lastCol; ++col) {
        const int width = std::min(widths[std::size_t(col - firstCol)] + 2, available);
        ChangeColumnWidth(col, width);
        sideHeadingChanged = sideHeadingChanged || col < 0;
    }
    if (sideHeadingChanged) {
        SetSideHeadingWidth(
            std::accumulate(m_GI->m_sideHdgColWidths.begin(), m_GI->m_sideHdgColWidths.end(), 0));
    }
    LayOutChildWindows();
    return 0;
}

// ---- Layout ----

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

// ---- Current cell and scrolling ----

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

// ---- Repainting ----

void CUGCtrl::RepaintAllParts()
{
    if (!m_autoRedraw || !m_GI || !m_GI->m_createdFlag)
        return;
    m_grid->update();
    m_cornerButton->update();
    m_vScroll->Update();
    m_hScroll->Update();
    m_hint->update();
    m_tab->update();
    // The headings' repaint fits their outermost row and column to the heading size.
    m_topHdg->FitLastRowToHeight();
    m_sideHdg->FitLastColumnToWidth();
}

int CUGCtrl::RepaintCell(int col, int row)
{
    if (col < 0) {
        m_sideHdg->update();
    } else if (row < 0) {
        m_topHdg->update();
    } else {
        m_grid->m_redrawList.AddRange(col, row, col, row);
        m_grid->RepaintPending();
    }
    return 0;
}

int CUGCtrl::RepaintRow(int row)
{
    m_grid->m_redrawList.AddRange(0, row, m_GI->m_colCount - 1, row);
    m_grid->RepaintPending();
    return 0;
}

int CUGCtrl::SelectWholeRows()
{
    m_GI->m_highlightRow = 1;
    CUGMultiSelect *selection = m_GI->m_multiSelect.get();
    const int mode = (selection->GetSelectMode() & ~CUGMultiSelect::kCellBlocks) | CUGMultiSelect::kWholeRows;
    selection->SetSelectMode(mode);
    m_GI->m_wholeRowSelect = 1;
    return 0;
}

void CUGCtrl::SetTrackingWindow(QWidget *window)
{
    m_trackingWindow = window;
}

void CUGCtrl::PlaceTrackingWindow()
{
    if (!m_trackingWindow)
        return;
    // The tracking window stands right of the grid, top-aligned with it, in its parent's coordinates.
    const QWidget *parent = m_trackingWindow->parentWidget();
    const QPoint topRight =
        parent ? parent->mapFromGlobal(mapToGlobal(QPoint(width(), 0))) : mapToGlobal(QPoint(width(), 0));
    UgRect oldRect = fromQRect(m_trackingWindow->geometry());
    UgRect newRect{topRight.x(), topRight.y(), topRight.x() + oldRect.width(),
                   topRight.y() + oldRect.height()};
    HookTrackingWindowMoved(&oldRect, &newRect);
    m_trackingWindow->setGeometry(toQRect(newRect));
    m_trackingWindow->update();
}

// ---- In-place editing ----

int CUGCtrl::BeginCellEdit(int col, int row)
{
    if (m_editing)
        return 1;
    m_editing = 1;
    // Every refusal below ends the edit before it began.
    auto refuse = [this](int code) {
        m_editing = 0;
        return code;
    };

    m_editCol = col;
    m_editRow = row;
    CUGMultiSelect *selection = m_GI->m_multiSelect.get();
    int left = 0, top = 0, right = 0, bottom = 0;
    const bool hadSelection = selection->GetTotalRange(&left, &top, &right, &bottom) == 0;
    selection->ClearAll();
    m_GI->m_reportedCol = m_GI->m_currentCol;
    m_GI->m_reportedRow = m_GI->m_currentRow;
    if (hadSelection && (left != right || top != bottom || left != col || top != row)) {
        m_grid->m_redrawList.AddRange(left, top, right, bottom);
        m_grid->RepaintPending();
    }

    // A heading cell is never current; it is edited where it stands.
    const bool headingCell = col < 0 || row < 0;
    if (!headingCell && (col != m_GI->m_currentCol || row != m_GI->m_currentRow)) {
        if (MoveCurrentCellTo(col, row) != 0)
            return refuse(2);
    }

    CUGCell cell;
    GetCellComposite(col, row, &cell);
    CUGCellType *cellType = GetCellTypeOfCell(col, row);
    if (!cellType->CanStartEdit(col, row, &cell))
        return refuse(1);

    UgRect rect;
    QWidget *parent = m_grid;
    if (col < 0) {
        m_sideHdg->GetCellRect(col, row, &rect);
        parent = m_sideHdg;
    } else if (row < 0) {
        m_topHdg->GetCellRect(col, row, &rect);
        parent = m_topHdg;
    } else {
        int cellCol = col, cellRow = row;
        GetCellRect(&cellCol, &cellRow, &rect);
    }
    --rect.right;
    --rect.bottom;
    cellType->AdjustEditArea(&rect);

    if (cell.IsReadOnly())
        return refuse(1);

    QWidget *editor = cell.Has(CellProp::EditMask) ? m_GI->m_maskedEditCtrl : m_GI->m_editCtrl;
    if (!editor)
        return refuse(1);
    if (!m_GI->m_dataSource->MayStartEdit(col, row, &editor) || !HookMayStartEdit(col, row, &editor) ||
        !editor) {
        RepaintCell(col, row);
        return refuse(1);
    }

    const QString *shown = cell.GetDisplayText();
    if (const QMetaProperty text = editor->metaObject()->userProperty(); text.isValid())
        text.write(editor, shown ? *shown : QString());
    if (const QFont *font = cell.Has(CellProp::Font) && cell.m_font ? cell.m_font : m_GI->m_defFont)
        editor->setFont(*font);
    // Shown before it takes the focus: a hidden widget cannot take it.
    editor->setParent(parent);
    editor->setGeometry(toQRect(rect));
    editor->show();
    editor->setFocus();
    m_activeEditor = editor;
    return 0;
}

int CUGCtrl::EndCellEdit(int cancelled, const QString &editedText, int endKey, int nextCol, int nextRow)
{
    QString text = editedText;
    if (!m_editing)
        cancelled = 1;
    const int col = m_editCol;
    const int row = m_editRow;
    QWidget *editor = m_activeEditor;
    if (m_GI->m_dataSource->MayFinishEdit(col, row, editor, text, cancelled) != 1 ||
        !HookEditFinished(col, row, editor, text, cancelled))
        return 0;
    if (editor)
        editor->hide();

    if (!cancelled && m_editing) {
        m_cell.ResetAllFields();
        ReadCell(col, row, &m_cell);
        const std::uint16_t dataType = m_cell.Has(CellProp::DataType) ? m_cell.m_dataType : CellData::Text;
        m_cell.AssignText(text);
        if (dataType == CellData::Number || dataType == CellData::Date || dataType == CellData::Currency) {
            m_cell.ChangeDataType(dataType);
        } else if (dataType != CellData::Text) {
            m_cell.m_dataType = dataType;
            m_cell.m_properties |= CellProp::DataType;
        }
        WriteCell(col, row, &m_cell);

        // A text wider than its column may run on into an empty neighbour.
        if (m_GI->m_overflow && col >= 0 && col < m_GI->m_colCount - 1 && editor) {
            CUGCell next;
            GetCellComposite(col + 1, row, &next);
            const QString *nextText = next.GetDisplayText();
            if (QFontMetrics(editor->font()).horizontalAdvance(text) > GetColumnWidth(col) &&
                (!nextText || nextText->isEmpty()))
                RepaintAllParts();
        }
    }

    const bool wasEditing = m_editing != 0;
    m_editing = 0;
    m_activeEditor = nullptr;
    if (wasEditing && endKey != 0 && editor && editor->parentWidget() == m_grid && m_GI->m_colCount > 0 &&
        m_GI->m_rowCount > 0) {
        int lastCol = 0, lastRow = 0;
        int originCol = nextCol, originRow = nextRow;
        // Moving on skips the rest of a joined block.
        if (FindJoinedBlock(&originCol, &originRow, &lastCol, &lastRow) == 0 &&
            (originCol != nextCol || originRow != nextRow)) {
            if (nextCol > col)
                nextCol = lastCol + 1;
            if (nextRow > row)
                nextRow = lastRow + 1;
        }
        if (nextCol < 0)
            nextCol = m_GI->m_colCount - 1;
        else if (nextCol > m_GI->m_colCount - 1)
            nextCol = 0;
        if (nextRow < 0)
            nextRow = m_GI->m_rowCount - 1;
        else if (nextRow > m_GI->m_rowCount - 1)
            nextRow = 0;
        if (m_GI->m_dataSource->MayMoveEditOn(col, row, &nextCol, &nextRow) == 1 &&
            HookEditMoveOn(col, row, &nextCol, &nextRow)) {
            BeginCellEdit(nextCol, nextRow);
            return 1;
        }
    }
    RepaintCell(col, row);
    return 1;
}

// ---- Pop-up menu ----

int CUGCtrl::ShowPopupMenu(int col, int row, int section, QPoint *globalPoint)
{
    if (!m_GI->m_menuOn)
        return 1;
    if (!HookMayShowMenu(col, row, section))
        return 2;
    if (section != SectionTabs)
        MoveToJoinOrigin(&col, &row);
    m_menuCol = col;
    m_menuRow = row;
    m_menuSection = section;
    // An empty menu cannot be shown.
    if (m_menu->actions().isEmpty())
        return 3;
    m_menu->popup(globalPoint ? *globalPoint : QPoint());
    return 0;
}

void CUGCtrl::OnCommand(int commandId)
{
    if (commandId >= kFirstMenuCommand)
        HookMenuCommand(m_menuCol, m_menuRow, m_menuSection, commandId);
}
