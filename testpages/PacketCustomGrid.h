// The grid of the frame-size editor: one row per frame size, the size and its four rates. Typed keys
// are filtered, and every finished edit is held within the bounds and the order of the row's rates.
#pragma once

#include "controls/grid/UGCtrl.h"

class CPacketCustomGrid : public CUGCtrl
{
    Q_OBJECT

public:
    explicit CPacketCustomGrid(QWidget *parent = nullptr);

    void InitGridOptions();
    void RestoreEditedCell(int col, int row);
    int FilterEditKey(int col, int row, QWidget *editor, int *key);
    int ValidateEditedCell(int col, int row, QWidget *editor, QString &text, int cancelled);
    int GetColumnHint(int col, int row, int section, QString *text);

    void HookSetUpGrid() override { InitGridOptions(); }
    void HookCellDoubleClick(int col, int row, UgRect *, QPoint *, int) override
    {
        RestoreEditedCell(col, row);
    }
    int HookEditKey(int col, int row, QWidget *editor, int *key) override
    {
        return FilterEditKey(col, row, editor, key);
    }
    int HookEditFinished(int col, int row, QWidget *editor, QString &text, int cancelled) override
    {
        return ValidateEditedCell(col, row, editor, text, cancelled);
    }
    int HookTipText(int col, int row, int section, QString *text) override
    {
        return GetColumnHint(col, row, section, text);
    }

private:
    double shownNumber(int col, int row);
};
