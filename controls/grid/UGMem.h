// The grid's in-memory cell store. Rows form one contiguous index range that contains row 0 once
// any row exists (heading rows lie before it, under negative numbers); each row's cells form one
// contiguous column range that contains column 0. A place may exist without a stored cell.
// Rows are held in a deque and places in a vector per row, so any cell is reached in constant time.
#pragma once

#include "controls/grid/UGCell.h"
#include "controls/grid/UGDataSource.h"

#include <deque>
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
    // One place of a row, with or without a stored cell, in 16 bytes. A cell that holds nothing but
    // its text, number and data type (most cells of a large grid) is kept in the place itself: a
    // short Latin-1 text, or a number; a longer text is kept beside it. Any other cell is kept whole.
    class Slot
    {
    public:
        Slot() = default;
        ~Slot() { clear(); }
        Slot(Slot &&other) noexcept;
        Slot &operator=(Slot &&other) noexcept;
        Slot(const Slot &) = delete;
        Slot &operator=(const Slot &) = delete;

        bool stored() const { return m_kind != Kind::Empty; }
        void store(const CUGCell &cell);
        // Merges the stored cell into `cell`; false when there is none.
        bool load(CUGCell *cell) const;
        void clear()
        {
            if (m_kind >= Kind::LongText)
                freeHeld();
            m_kind = Kind::Empty;
        }

    private:
        enum class Kind : std::uint8_t
        {
            Empty,
            ShortText, // up to kShortChars Latin-1 characters, NUL-padded, and the number 0
            Number,    // an empty text and a number
            LongText,  // any other text and number, on the heap
            Whole,     // on the heap
        };
        struct TextAndNumber
        {
            QString text;
            double number = 0.0;
        };
        static constexpr int kShortChars = 12;

        static bool fitsShort(QStringView text, double number);
        void storeShort(QStringView text);
        // Frees the text or the whole cell a place holds on the heap.
        void freeHeld();
        void loadShort(QString &text) const;

        // A short text's first 8 characters are in m_value.chars, the rest in m_moreChars.
        union {
            char chars[8];
            double number;
            TextAndNumber *longText;
            CUGCell *whole;
        } m_value{};
        char m_moreChars[kShortChars - 8] = {};
        Kind m_kind = Kind::Empty;
        // Which of the text and data-type properties the stored cell has.
        std::uint8_t m_properties = 0;
        std::uint16_t m_dataType = CellData::Text;
    };
    static_assert(sizeof(Slot) == 16);

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
    // The most places any row has had since the store was last emptied.
    std::size_t m_widestRow = 0;
    int m_searchCol = 0;
    int m_searchRow = 0;
};
