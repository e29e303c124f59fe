// Headerless lists of check rows that tell the page on show when a row is ticked: the chart-setting
// lists of test pairs (CPortCheckGrid), the test pages' pair lists (CGroupPortCheck), the Mixed Class
// page's unicast-port list (CUniPortCheck) and the result pages' pair selector (CPairSel).
#pragma once

#include "controls/grid/UGCtrl.h"

class QFont;

// Removes every row of any grid, from the top; a row the store refuses to delete stays.
void DeleteAllRows(CUGCtrl *grid);
// 1 when the row's column-0 cell holds a checked value; 0 for a row outside the grid.
int IsRowChecked(CUGCtrl *grid, int row);

class CPortCheckGrid : public CUGCtrl
{
    Q_OBJECT

public:
    explicit CPortCheckGrid(QWidget *parent = nullptr);

    virtual void SetOwnerId(int id);
    // Inserts a check row at row (row count at most); 1 done, 0 refused.
    virtual int AddRow(int row, const QString &label, int checked, const QFont *font, int style);
    // The row's label; 0 (text untouched) when the row or its label is missing.
    virtual int GetRowText(int row, QString &text);

    int OwnerId() const { return m_ownerId; }

    void HookSetUpGrid() override;
    int HookCellTypeEvent(int typeId, int col, int row, int message, qint64 parameter) override;

protected:
    // The column count and check-column width of the set-up.
    void setUpList(int columns, int checkWidth);
    // Ticks the row and unticks every other one.
    void selectOnly(int row);

    int m_colCount = 2;
    int m_checkCol = 0;
    int m_secondCol = 1;
    int m_thirdCol = 2;
    int m_ownerId = 0;
};

class CGroupPortCheck : public CPortCheckGrid
{
    Q_OBJECT

public:
    explicit CGroupPortCheck(QWidget *parent = nullptr);

    int HookCellTypeEvent(int typeId, int col, int row, int message, qint64 parameter) override;
    void HookCellLeftButton(int col, int row, int down, UgRect *rect, QPoint *point, int processed) override;
    // The first shown test page stores its port grid and refills it.
    void RefreshOwnerPortGrid(int row);
};

class CUniPortCheck : public CPortCheckGrid
{
    Q_OBJECT

public:
    explicit CUniPortCheck(QWidget *parent = nullptr);

    int HookCellTypeEvent(int typeId, int col, int row, int message, qint64 parameter) override;
    // One-of-many: the row becomes the Mixed Class page's unicast port.
    void SelectUnicastPort(int row);
};

class CPairSel : public CPortCheckGrid
{
    Q_OBJECT

public:
    explicit CPairSel(QWidget *parent = nullptr);

    void HookSetUpGrid() override;
    int HookCellTypeEvent(int typeId, int col, int row, int message, qint64 parameter) override;
    // One-of-many, then the first shown result page shows the pair of the row.
    void RedrawReportForPair(int row);
};
