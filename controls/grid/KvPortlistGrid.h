// A check list of test ports, one row per port label. Beside the visible label each row keeps two
// hidden columns, the port part and the model part of the label, to find and sort rows by port.
#pragma once

#include "controls/grid/ChecklistGrid.h"

class CKvPortlistGrid : public CChecklistGrid
{
    Q_OBJECT

public:
    explicit CKvPortlistGrid(QWidget *parent = nullptr);

    // Splits a port label at its first "QM": the port part before it less the blank after the
    // dash, and the model part from it on. Both are empty when the label holds no "QM".
    static void SplitPortText(const QString &text, QString &key, QString &model);

    int AddCheckRow(int row, const QString &text, int checked, const QFont *font, int value) override;
    virtual int GetRowName(int row, QString &text);
    // The first row whose hidden port part equals that of the text; -1 when none does.
    virtual int FindRowByKey(const QString &text);
    // Orders the rows by port.
    virtual void SortByHiddenColumn();

    void HookSetUpGrid() override;

    int KeyColumn() const { return m_keyCol; }
    int ModelColumn() const { return m_modelCol; }

protected:
    int writeTextCell(int col, int row, const QString &text);

    int m_colCount = 0;
    int m_nameCol = 0;
    int m_keyCol = 0;
    int m_modelCol = 0;
};
