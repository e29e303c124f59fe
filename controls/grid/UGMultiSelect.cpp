#include "controls/grid/UGMultiSelect.h"

#include "controls/grid/GridSelectionOwner.h"
#include "controls/grid/UGRedrawList.h"

#include <algorithm>

int CUGMultiSelect::columnCount() const
{
    return m_owner ? m_owner->selectionColumnCount() : 0;
}

void CUGMultiSelect::normalise(Block &block) const
{
    if (wholeRows()) {
        // Whole rows run from column 0 to the column count.
        block.left = 0;
        block.right = columnCount();
    } else {
        block.left = std::min(block.startCol, block.endCol);
        block.right = std::max(block.startCol, block.endCol);
    }
    block.top = std::min(block.startRow, block.endRow);
    block.bottom = std::max(block.startRow, block.endRow);
}

void CUGMultiSelect::reportChange(const Block &block)
{
    if (m_owner)
        m_owner->selectionChanged(block.right, block.top, block.left, block.bottom, int(m_blocks.size()));
}

void CUGMultiSelect::addRedrawRange(int left, int top, int right, int bottom)
{
    if (CUGRedrawList *list = m_owner ? m_owner->selectionRedrawList() : nullptr)
        list->AddRange(left, top, right, bottom);
}

int CUGMultiSelect::ClearAll()
{
    m_blocks.clear();
    m_currentBlock = -1;
    m_blockExists = 0;
    m_enumerating = 0;
    m_lastCol = -1;
    m_lastRow = -1;
    return 0;
}

int CUGMultiSelect::StartBlock(int col, int row)
{
    m_originCol = m_lastStartCol = col;
    m_originRow = m_lastStartRow = row;
    m_blockExists = 1;
    Block block;
    block.startCol = block.endCol = col;
    block.startRow = block.endRow = row;
    normalise(block);
    m_blocks.push_back(block);
    m_currentBlock = int(m_blocks.size()) - 1;
    m_newBlockFlag = 1;
    reportChange(block);
    return 0;
}

int CUGMultiSelect::EndBlock(int col, int row)
{
    if (!m_blockExists || m_currentBlock < 0)
        return 1;
    Block &block = m_blocks[std::size_t(m_currentBlock)];
    const Block old = block;
    block.endCol = col;
    block.endRow = row;
    normalise(block);
    block.selected = 1;
    m_newBlockFlag = 0;
    reportChange(block);

    // Repaint what the moving corner uncovered or covered.
    if (old.endRow != row) {
        addRedrawRange(std::min(old.left, block.left), std::min(old.endRow, row),
                       std::max(old.right, block.right), std::max(old.endRow, row));
    }
    if (old.endCol != col) {
        addRedrawRange(std::min(old.endCol, col), std::min(old.top, block.top), std::max(old.endCol, col),
                       std::max(old.bottom, block.bottom));
    }
    return 0;
}

void CUGMultiSelect::startOver(int col, int row)
{
    RedrawSelection();
    ClearAll();
    StartBlock(col, row);
}

int CUGMultiSelect::OnClickSelect(int col, int row, int keyFlags)
{
    if (keyFlags & kKeyControl) {
        StartBlock(col, row);
    } else if (keyFlags & kKeyShift) {
        EndBlock(col, row);
    } else {
        startOver(col, row);
    }
    m_lastCol = col;
    m_lastRow = row;
    return 0;
}

int CUGMultiSelect::OnSelectIfNotSelected(int col, int row)
{
    if (!IsSelected(col, row)) {
        startOver(col, row);
    }
    return 0;
}

int CUGMultiSelect::OnKeyMoveSelect(int col, int row)
{
    if (col == m_lastCol && row == m_lastRow)
        return 0;
    const Qt::KeyboardModifiers modifiers = m_owner ? m_owner->selectionModifiers() : Qt::NoModifier;
    if (modifiers & Qt::ShiftModifier) {
        EndBlock(col, row);
    } else if (modifiers & Qt::ControlModifier) {
        StartBlock(col, row);
    } else {
        startOver(col, row);
    }
    m_lastCol = col;
    m_lastRow = row;
    return 0;
}

int CUGMultiSelect::OnDragSelect(int col, int row)
{
    if (col == m_lastCol && row == m_lastRow)
        return 0;
    EndBlock(col, row);
    m_lastCol = col;
    m_lastRow = row;
    return 0;
}

int CUGMultiSelect::ToggleCell(int col, int row)
{
    for (Block &block : m_blocks) {
        if (block.left == col && block.right == col && block.top == row && block.bottom == row) {
            block.selected = block.selected ? 0 : 1;
            return 0;
        }
    }
    const int wasSelected = IsSelected(col, row);
    StartBlock(col, row);
    m_blocks.back().selected = wasSelected ? 0 : 1;
    return 0;
}

int CUGMultiSelect::GetOrigin(int *col, int *row)
{
    if (!m_blockExists)
        return 1;
    *col = m_lastStartCol;
    *row = m_lastStartRow;
    return 0;
}

int CUGMultiSelect::GetCurrentBlock(int *left, int *top, int *right, int *bottom)
{
    if (m_currentBlock < 0)
        return 1;
    const Block &block = m_blocks[std::size_t(m_currentBlock)];
    *left = block.left;
    *top = block.top;
    *right = block.right;
    *bottom = block.bottom;
    return 0;
}

int CUGMultiSelect::GetTotalRange(int *left, int *top, int *right, int *bottom)
{
    if (m_blocks.empty())
        return 1;
    *left = m_blocks.front().left;
    *top = m_blocks.front().top;
    *right = m_blocks.front().right;
    *bottom = m_blocks.front().bottom;
    for (const Block &block : m_blocks) {
        *left = std::min(*left, block.left);
        *top = std::min(*top, block.top);
        *right = std::max(*right, block.right);
        *bottom = std::max(*bottom, block.bottom);
    }
    return 0;
}

int CUGMultiSelect::GetBlockCount()
{
    return int(m_blocks.size());
}

int CUGMultiSelect::IsSelected(int col, int row, int *blockNumber)
{
    int found = -1;
    for (int i = 0; i < int(m_blocks.size()); ++i) {
        const Block &block = m_blocks[std::size_t(i)];
        if (col >= block.left && col <= block.right && row >= block.top && row <= block.bottom) {
            found = i;
            if (m_mode & kFirstMatchDecides)
                break;
        }
    }
    if (found < 0)
        return 0;
    if (blockNumber)
        *blockNumber = found;
    return m_blocks[std::size_t(found)].selected;
}

int CUGMultiSelect::IsColumnSelected(int col)
{
    if (wholeRows())
        col = 1;
    int result = 0;
    for (const Block &block : m_blocks) {
        if (col >= block.left && col <= block.right) {
            result = block.selected;
            if (m_mode & kFirstMatchDecides)
                break;
        }
    }
    return result;
}

int CUGMultiSelect::IsRowSelected(int row)
{
    int result = 0;
    for (const Block &block : m_blocks) {
        if (row >= block.top && row <= block.bottom) {
            result = block.selected;
            if (m_mode & kFirstMatchDecides)
                break;
        }
    }
    return result;
}

int CUGMultiSelect::SetSelectMode(int mode)
{
    ClearAll();
    m_mode = mode;
    return 0;
}

int CUGMultiSelect::GetSelectMode()
{
    return m_mode;
}

int CUGMultiSelect::EnumFirstCell(int *col, int *row)
{
    int currentCol = -1, currentRow = -1;
    if (m_owner)
        m_owner->reportedCell(&currentCol, &currentRow);
    if (m_blocks.empty()) {
        *col = currentCol;
        *row = currentRow;
        return 0;
    }
    GetTotalRange(&m_enumLeft, &m_enumTop, &m_enumRight, &m_enumBottom);
    // The current cell joins the box only when there is one.
    if (currentCol >= 0 && currentRow >= 0) {
        m_enumLeft = std::min(m_enumLeft, currentCol);
        m_enumTop = std::min(m_enumTop, currentRow);
        m_enumRight = std::max(m_enumRight, currentCol);
        m_enumBottom = std::max(m_enumBottom, currentRow);
    }
    m_enumCol = m_enumLeft;
    m_enumRow = m_enumTop;
    m_enumerating = 1;
    return EnumNextCell(col, row);
}

int CUGMultiSelect::EnumNextCell(int *col, int *row)
{
    if (!m_enumerating)
        return 1;
    while (m_enumRow <= m_enumBottom) {
        const int rowEnd = wholeRows() ? m_enumLeft : m_enumRight;
        while (m_enumCol <= rowEnd) {
            const int c = m_enumCol++;
            if (IsSelected(c, m_enumRow)) {
                *col = c;
                *row = m_enumRow;
                return 0;
            }
        }
        ++m_enumRow;
        m_enumCol = m_enumLeft;
    }
    m_enumerating = 0;
    return 1;
}

int CUGMultiSelect::EnumFirstBlock(int *left, int *top, int *right, int *bottom)
{
    m_enumBlock = 0;
    m_enumerating = 1;
    return EnumNextBlock(left, top, right, bottom);
}

int CUGMultiSelect::EnumNextBlock(int *left, int *top, int *right, int *bottom)
{
    if (!m_enumerating || m_enumBlock >= int(m_blocks.size())) {
        m_enumerating = 0;
        return 1;
    }
    const Block &block = m_blocks[std::size_t(m_enumBlock++)];
    *left = block.left;
    *top = block.top;
    *right = block.right;
    *bottom = block.bottom;
    return 0;
}

void CUGMultiSelect::RedrawSelection()
{
    int left, top, right, bottom;
    if (GetTotalRange(&left, &top, &right, &bottom) == 0)
        addRedrawRange(left, top, right, bottom);
}
