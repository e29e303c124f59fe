// The grid's in-memory cell store. Rows form one contiguous index range that contains row 0 once
// any row exists (heading rows lie before it, under negative numbers); each row's cells form one
// contiguous column range that contains column 0. A place may exist without a stored cell.
// Rows are held in a deque and cells in a vector per row, so any cell is reached in constant time.
// A cell that holds nothing but its text, number and data type (most cells of a large grid) is kept
// inline in its place; any other cell is kept whole.
#pragma once

#include "controls/grid/UGCell.h"
#include "controls/grid/UGDataSource.h"

#include <deque>
#include <memory>
#include <optional>
#include <vector>

class CUGMem : public CUGDataSource
{
public:
    CUGMem() = default;
    ~CUGMem() override;
    CUGMem(const CUGMem &) = delete;
    CUGMem &operator=(const CUGMem &) = delete;

    int GetLastStoredRow() override;
    int AppendRow() override;
    int OpenRowAt(int row) override;
    int AppendColumn() override;
    int InsertColumnAt(int col) override;
    int DeleteRowAt(int row) override;
    int DeleteColumnAt(int col) override;
    int ClearCellAt(int col, int row) override;
    int ClearAllCells() override;
    int LoadCell(int col, int row, CUGCell *cell) override;
    int StoreCell(int col, int row, CUGCell *cell) override;
    int FindText(QString text, int *col, int *row, int flags) override;
    int FindNextText(QString text, int *col, int *row, int flags) override;
    int SortRows(const int *cols, int count, int flags) override;
    int SortByColumn(int col, int flags) override;
    int FindPrevFilledCell(int *col, int row) override;

    // Search flags.
    static constexpr int kFindPartial = 1;
    static constexpr int kFindIgnoreCase = 2;
    static constexpr int kFindBackwards = 4;
    static constexpr int kFindAllColumns = 8;

    // Inspection of the node structure: whether a row, or a place in a row, exists.
    bool HasRowNode(int row) const;
    bool HasCellNode(int col, int row) const;
    int FirstRowIndex() const { return m_firstRow; }
    int RowNodeCount() const { return int(m_rows.size()); }

private:
    // One place of a row, with or without a stored cell.
    struct Slot
    {
        bool stored = false;
        std::uint16_t dataType = CellData::Text;
        std::uint32_t properties = 0;
        double number = 0.0;
        QString text;
        std::unique_ptr<CUGCell> whole;

        void store(const CUGCell &cell);
        // Merges the stored cell into `cell`; false when there is none.
        bool load(CUGCell *cell) const;
        void clear();
    };
    struct Row
    {
        int firstCol = 0;
        std::vector<Slot> cells;
    };

    Row *rowAt(int row);
    const Row *rowAt(int row) const;
    Slot *slotAt(int col, int row);
    Row &createRow(int row);
    Slot &createSlot(Row &row, int col);
    // The stored cell of a place as a whole cell, or nothing.
    std::optional<CUGCell> storedCopy(int col, int row);
    int compareRows(std::vector<std::optional<CUGCell>> &keysA, std::vector<std::optional<CUGCell>> &keysB,
                    CUGCell *absent, int flags);
    bool matches(const Slot *slot, const QString &text, int flags) const;

    std::deque<Row> m_rows;
    int m_firstRow = 0;
    int m_searchCol = 0;
    int m_searchRow = 0;
};
