#include "controls/grid/UGRedrawList.h"

#include <algorithm>

const UgCellRange &CUGRedrawList::AddRange(int left, int top, int right, int bottom)
{
    const UgCellRange range{left, top, right, bottom};
    if (m_ranges.empty()) {
        m_bounds = range;
    } else {
        m_bounds.left = std::min(m_bounds.left, left);
        m_bounds.top = std::min(m_bounds.top, top);
        m_bounds.right = std::max(m_bounds.right, right);
        m_bounds.bottom = std::max(m_bounds.bottom, bottom);
    }
    m_ranges.push_back(range);
    return m_ranges.back();
}

void CUGRedrawList::AddCell(int col, int row)
{
    m_cells.push_back({col, row});
}

void CUGRedrawList::WidenFirstRange(int left, int top, int bottom)
{
    if (m_ranges.empty())
        AddRange(left, top, 0, bottom);
    UgCellRange &first = m_ranges.front();
    first.left = std::min(first.left, left);
    first.right = std::max(first.right, 0);
    first.top = std::min(first.top, top);
    first.bottom = std::max(first.bottom, bottom);
}

void CUGRedrawList::Clear()
{
    m_ranges.clear();
    m_cells.clear();
}

bool CUGRedrawList::Contains(int col, int row) const
{
    const bool inRange = std::any_of(m_ranges.begin(), m_ranges.end(), [&](const UgCellRange &r) {
        return col >= r.left && col <= r.right && row >= r.top && row <= r.bottom;
    });
    return inRange || std::find(m_cells.begin(), m_cells.end(), UgCellPos{col, row}) != m_cells.end();
}
