// The cells a grid window still has to repaint: cell ranges in the order they were added, their
// bounding range, and single cells.
#pragma once

#include <vector>

struct UgCellRange
{
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    bool operator==(const UgCellRange &) const = default;
};

struct UgCellPos
{
    int col = 0;
    int row = 0;
    bool operator==(const UgCellPos &) const = default;
};

class CUGRedrawList
{
public:
    // Appends a range as given (not normalised) and widens the bounding range; gives the new range,
    // valid until the next change of the list.
    const UgCellRange &AddRange(int left, int top, int right, int bottom);
    void AddCell(int col, int row);
    // Grows the first range to cover the given rows from the given column up to column 0; with no
    // range yet, first adds (left, top, 0, bottom).
    void WidenFirstRange(int left, int top, int bottom);
    // Empties both lists; the bounding range keeps its values (it is read only while ranges exist).
    void Clear();

    bool IsEmpty() const { return m_ranges.empty() && m_cells.empty(); }
    const std::vector<UgCellRange> &Ranges() const { return m_ranges; }
    const std::vector<UgCellPos> &Cells() const { return m_cells; }
    const UgCellRange &Bounds() const { return m_bounds; }
    // True when the cell lies in one of the ranges or is one of the single cells.
    bool Contains(int col, int row) const;

private:
    std::vector<UgCellRange> m_ranges;
    std::vector<UgCellPos> m_cells;
    UgCellRange m_bounds;
};
