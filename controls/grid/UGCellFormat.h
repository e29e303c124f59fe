// A format object a cell may name (property bit 21): the grid applies it to the composite cell
// after the stored cell and the read hook, before the style cell.
#pragma once

class CUGCell;

class CUGCellFormat
{
public:
    virtual ~CUGCellFormat() = default;
    virtual void ApplyFormat(CUGCell *cell) = 0;
};
