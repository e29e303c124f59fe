// The selected cells of one sheet: a chain of rectangular blocks, each selected or deselected.
// The last block that holds a cell decides whether it is selected (the first one with mode bit 16).
#pragma once

#include <vector>

class GridSelectionOwner;

class CUGMultiSelect
{
public:
    // Mode bits.
    static constexpr int kCellBlocks = 1;
    static constexpr int kWholeRows = 2;
    static constexpr int kFirstMatchDecides = 16;
    // Key flags of OnClickSelect.
    static constexpr int kKeyShift = 4;
    static constexpr int kKeyControl = 8;

    explicit CUGMultiSelect(GridSelectionOwner *owner = nullptr) : m_owner(owner) {}
    virtual ~CUGMultiSelect() = default;

    void SetOwner(GridSelectionOwner *owner) { m_owner = owner; }

    virtual int ClearAll();
    virtual int StartBlock(int col, int row);
    virtual int EndBlock(int col, int row);
    virtual int OnClickSelect(int col, int row, int keyFlags);
    virtual int OnSelectIfNotSelected(int col, int row);
    virtual int OnKeyMoveSelect(int col, int row);
    virtual int OnDragSelect(int col, int row);
    virtual int ToggleCell(int col, int row);
    virtual int GetOrigin(int *col, int *row);
    virtual int GetCurrentBlock(int *left, int *top, int *right, int *bottom);
    virtual int GetTotalRange(int *left, int *top, int *right, int *bottom);
    virtual int GetBlockCount();
    virtual int IsSelected(int col, int row, int *blockNumber = nullptr);
    virtual int IsColumnSelected(int col);
    virtual int IsRowSelected(int row);
    virtual int SetSelectMode(int mode);
    virtual int GetSelectMode();
    virtual int EnumFirstCell(int *col, int *row);
    virtual int EnumNextCell(int *col, int *row);
    virtual int EnumFirstBlock(int *left, int *top, int *right, int *bottom);
    virtual int EnumNextBlock(int *left, int *top, int *right, int *bottom);

    void RedrawSelection();

    struct Block
    {
        int startCol = 0;
        int endCol = 0;
        int startRow = 0;
        int endRow = 0;
        int left = 0;
        int right = 0;
        int top = 0;
        int bottom = 0;
        int selected = 1;
    };
    const std::vector<Block> &Blocks() const { return m_blocks; }

private:
    bool wholeRows() const { return m_mode & kWholeRows; }
    int columnCount() const;
    void normalise(Block &block) const;
    void reportChange(const Block &block);
    void addRedrawRange(int left, int top, int right, int bottom);
    // Drops the whole selection and starts a new block at the cell.
    void startOver(int col, int row);

    GridSelectionOwner *m_owner;
    std::vector<Block> m_blocks;
    int m_originCol = 0;
    int m_originRow = 0;
    int m_blockExists = 0;
    int m_currentBlock = -1;
    int m_mode = 0;
    int m_newBlockFlag = 0;
    int m_enumLeft = 0;
    int m_enumTop = 0;
    int m_enumRight = 0;
    int m_enumBottom = 0;
    int m_enumCol = 0;
    int m_enumRow = 0;
    int m_enumerating = 0;
    int m_enumBlock = 0;
    int m_lastCol = -1;
    int m_lastRow = -1;
    int m_lastStartCol = 0;
    int m_lastStartRow = 0;
};
