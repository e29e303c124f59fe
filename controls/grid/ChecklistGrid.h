// A list of check rows: each row is a check box with its text in column 0, and carries an integer
// value the owner chooses. Column 0 follows the control's width while the fit flag is on.
#pragma once

#include "controls/grid/UGCtrl.h"

class QFont;

class CChecklistGrid : public CUGCtrl
{
    Q_OBJECT

public:
    // The sheet of a check list: two columns, no headings or grid lines, the current cell highlighted,
    // rows or blocks selected, the pop-up menu and tool tips on (and the windows' own tips as given).
    static void SetUpChecklistSheet(CUGCtrl &grid, bool windowToolTips);
    // Menu commands of the cell area that check, uncheck or invert the selected rows.
    static constexpr int kCommandCheck = 1624;
    static constexpr int kCommandUncheck = 1625;
    static constexpr int kCommandInvert = 1626;

    enum CheckAction
    {
        ActionCheck = 0,
        ActionUncheck = 1,
        ActionInvert = 2
    };

    explicit CChecklistGrid(QWidget *parent = nullptr);
    ~CChecklistGrid() override;

    // Setters answer 1 when done and 0 when refused; getters -1 where no row or column is there.
    virtual int IsRowChecked(int row);
    virtual int SetRowChecked(int row, int checked);
    virtual int ToggleRowCheck(int row);
    virtual int AddCheckRow(int row, const QString &text, int checked, const QFont *font, int value);
    virtual int RemoveRow(int row, int redraw);
    virtual int SetRowValue(int row, int value);
    virtual int GetRowValue(int row);
    virtual int SetListColumnWidth(int width);
    virtual int GetFirstColumnWidth();
    virtual void SetTag(int fit);
    virtual int GetTag();

    void ApplyCheckToSelection(int action);

    void HookSetUpGrid() override;
    void HookMenuCommand(int col, int row, int section, int commandId) override;
    int HookTipText(int col, int row, int section, QString *text) override;

protected:
    void resizeEvent(QResizeEvent *event) override;
    // The stored check cell of the row; false when the row has none or the grid has no columns.
    bool readCheckCell(int row, CUGCell *cell);
    // Stores the check cell back under WriteCell's range test; false when refused.
    bool writeCheckCell(int row, CUGCell *cell);

private:
    int m_fit = 0;
};
