#include "controls/grid/KvPortlistGrid.h"

#include "controls/grid/UGDataSource.h"
#include "controls/grid/UGGridInfo.h"
#include "controls/grid/UGMem.h"
#include "controls/grid/UGMultiSelect.h"

CKvPortlistGrid::CKvPortlistGrid(QWidget *parent) : CChecklistGrid(parent) {}

void CKvPortlistGrid::SplitPortText(const QString &text, QString &key, QString &model)
{
    const qsizetype at = text.indexOf(QLatin1String("QM"));
    if (at < 0) {
        key.clear();
        model.clear();
        return;
    }
    // A label that starts with "QM" has no port part.
    key = at > 0 ? text.left(at - 1) : QString();
    model = text.mid(at);
}

int CKvPortlistGrid::writeTextCell(int col, int row, const QString &text)
{
    CUGCell cell;
    cell.m_properties = 0;
    cell.AssignText(text);
    if (WriteCell(col, row, &cell) != 0 || RepaintCell(col, row) != 0)
        return 0;
    return 1;
}

int CKvPortlistGrid::AddCheckRow(int row, const QString &text, int checked, const QFont *font, int value)
{
    if (!CChecklistGrid::AddCheckRow(row, text, checked, font, value))
        return 0;
    QString key, model;
    SplitPortText(text, key, model);
    return writeTextCell(m_keyCol, row, key) && writeTextCell(m_modelCol, row, model) ? 1 : 0;
}

int CKvPortlistGrid::GetRowName(int row, QString &text)
{
    CUGCell cell;
    if (ReadCell(m_nameCol, row, &cell) != 0 || !cell.Has(CellProp::Label))
        return 0;
    text = cell.m_label;
    return 1;
}

int CKvPortlistGrid::FindRowByKey(const QString &text)
{
    QString key, model;
    SplitPortText(text, key, model);
    if (key.isEmpty())
        return -1;
    int col = 0, row = 0;
    if (CurrentSheet()->m_dataSource->FindText(key, &col, &row, CUGMem::kFindAllColumns) != 0)
        return -1;
    return row;
}

void CKvPortlistGrid::SortByHiddenColumn()
{
    const int storeCol = CurrentSheet()->m_columns[std::size_t(m_keyCol)].dataSourceCol;
    CurrentSheet()->m_dataSource->SortRows(&storeCol, 1, 1);
}

void CKvPortlistGrid::HookSetUpGrid()
{
    CChecklistGrid::HookSetUpGrid();
    m_colCount = 3;
    m_nameCol = 0;
    m_keyCol = 1;
    m_modelCol = 2;
    SetColumnCount(m_colCount);
    CUGGridInfo *sheet = CurrentSheet();
    sheet->m_currentCellMode = CUGGridInfo::CurrentCellUnmarked;
    sheet->m_multiSelectFlag = 0;
    sheet->m_multiSelect->SetSelectMode(0);
    SelectWholeRows();
    ChangeColumnWidth(m_nameCol, 140);
    ChangeColumnWidth(m_keyCol, 0);
    ChangeColumnWidth(m_modelCol, 0);
    sheet->m_gridLines = 0;
}
