// The grid's counts and sizes: rows and columns, their widths and heights, the headings, the locked
// rows and columns, column moves and fitting.
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

bool exceedsHeadingLimit(int size)
{
    return unsigned(size) > unsigned(CUGCtrl::kMaxHeadingSize);
}

} // namespace

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
