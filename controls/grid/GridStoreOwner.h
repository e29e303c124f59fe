// What a cell store needs of the grid that owns it: the counts of the current sheet, the mapping
// of grid columns to store columns, and the grid's sort comparison.
#pragma once

class CUGCell;

class GridStoreOwner
{
public:
    virtual int storeColumnCount() const = 0;
    virtual int storeRowCount() const = 0;
    // The grid column whose record shows the store column, or -1 when none does.
    virtual int gridColumnOfStoreColumn(int storeCol) const = 0;
    // Adds delta to every column record's store column that is at or after `from`.
    virtual void shiftStoreColumns(int from, int delta) = 0;
    // Below 0, 0 or above 0 as a sorts before, with or after b.
    virtual int compareForSort(CUGCell *a, CUGCell *b, int flags) = 0;

protected:
    ~GridStoreOwner() = default;
};
