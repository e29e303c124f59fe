// The pair grid of a test page: one check row "Test Pair %d" per test pair in use. A tick or untick
// by the user is handed to the page, which stores its port settings and refills its port grid.
#pragma once

#include "controls/grid/ChecklistGrid.h"

#include <functional>

class CTestPairGrid : public CChecklistGrid
{
    Q_OBJECT

public:
    explicit CTestPairGrid(QWidget *parent = nullptr);

    // Inserts a check row at the position (at most the row count) with the label, the check state and
    // the check-box style. 1 when done, 0 when refused.
    int AddRow(int row, const QString &label, int checked, const QFont *font, int style);
    // The row's label; 0 (text untouched) when the row has none.
    int GetRowText(int row, QString &text);
    // Removes every row, the first first.
    void DeleteAllRows();

    int HookCellTypeEvent(int typeId, int col, int row, int message, qint64 parameter) override;

    // Called with the row after the user changed its check box.
    std::function<void(int row)> CheckChanged;
};
