#include "testpages/TestPairGrid.h"

CTestPairGrid::CTestPairGrid(QWidget *parent) : CChecklistGrid(parent) {}

int CTestPairGrid::AddRow(int row, const QString &label, int checked, const QFont *font, int style)
{
    return AddCheckRow(row, label, checked, font, style);
}

int CTestPairGrid::GetRowText(int row, QString &text)
{
    CUGCell cell;
    if (!readCheckCell(row, &cell) || !cell.Has(CellProp::Label))
        return 0;
    text = cell.m_label;
    return 1;
}

void CTestPairGrid::DeleteAllRows()
{
    for (int count = GetRowCount(); count > 0; --count)
        RemoveRow(0, 0);
    RepaintAllParts();
}

int CTestPairGrid::HookCellTypeEvent(int typeId, int, int row, int message, qint64)
{
    if (typeId == CellTypeCheckBox && message == CUGCheckBoxType::kMessageStateChanged && CheckChanged)
        CheckChanged(row);
    return 1;
}
