// What a grid's selection needs of the grid: the hook it reports changes to, the redraw list of
// the cell area, the column count, the reported current cell and the keyboard modifiers.
#pragma once

#include <Qt>

class CUGRedrawList;

class GridSelectionOwner
{
public:
    virtual void selectionChanged(int right, int top, int left, int bottom, int blockCount) = 0;
    virtual CUGRedrawList *selectionRedrawList() = 0;
    virtual int selectionColumnCount() const = 0;
    virtual void reportedCell(int *col, int *row) const = 0;
    virtual Qt::KeyboardModifiers selectionModifiers() const = 0;

protected:
    ~GridSelectionOwner() = default;
};
