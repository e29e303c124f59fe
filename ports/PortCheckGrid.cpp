#include "ports/PortCheckGrid.h"

#include "controls/grid/ChecklistGrid.h"
#include "controls/grid/UGCnrBtn.h"
#include "controls/grid/UGDataSource.h"
#include "controls/grid/UGGrid.h"
#include "controls/grid/UGGridInfo.h"
#include "controls/grid/UGMultiSelect.h"
#include "controls/grid/UGSideHdg.h"
#include "controls/grid/UGTopHdg.h"
#include "ports/PageDirectory.h"

namespace {

void setCheckValue(CUGCell &cell, bool checked)
{
    cell.AssignText(checked ? QStringLiteral("1") : QStringLiteral("0"));
    cell.m_dataType = CellData::Check;
    cell.m_properties |= CellProp::Text | CellProp::DataType;
}

} // namespace

void DeleteAllRows(CUGCtrl *grid)
{
    const int count = grid->GetRowCount();
    for (int i = 0; i < count; ++i) {
        const int rows = grid->GetRowCount();
        if (rows > 0 && grid->CurrentSheet()->m_dataSource->DeleteRowAt(0) == 0)
            grid->SetRowCount(rows - 1);
    }
}

int IsRowChecked(CUGCtrl *grid, int row)
{
    if (grid->GetColumnCount() < 1 || row < 0 || row >= grid->GetRowCount())
        return 0;
    CUGCell cell;
    cell.m_properties = 0;
    const int storeCol = grid->CurrentSheet()->m_columns[0].dataSourceCol;
    if (grid->DataSourceOfColumn(0)->LoadCell(storeCol, row, &cell) != 0)
        return 0;
    return cell.GetBoolValue();
}

CPortCheckGrid::CPortCheckGrid(QWidget *parent) : CUGCtrl(parent) {}

void CPortCheckGrid::SetOwnerId(int id)
{
    m_ownerId = id;
}

int CPortCheckGrid::AddRow(int row, const QString &label, int checked, const QFont *font, int style)
{
    if (InsertRowAt(row) != 0)
        return 0;
    CUGCell cell;
    cell.m_properties = CellProp::Label | CellProp::CellType | CellProp::CellTypeParam;
    cell.m_label = label;
    cell.m_cellTypeIndex = CellTypeCheckBox;
    cell.m_cellTypeParam = style;
    if (font) {
        cell.m_font = font;
        cell.m_properties |= CellProp::Font;
    }
    setCheckValue(cell, checked != 0);
    if (WriteCell(m_checkCol, row, &cell) != 0 || RepaintCell(m_checkCol, row) != 0)
        return 0;
    return 1;
}

int CPortCheckGrid::GetRowText(int row, QString &text)
{
    CUGCell cell;
    if (ReadCell(m_checkCol, row, &cell) != 0 || !cell.Has(CellProp::Label))
        return 0;
    text = cell.m_label;
    return 1;
}

void CPortCheckGrid::setUpList(int columns, int checkWidth)
{
    CChecklistGrid::SetUpChecklistSheet(*this, false);
    SetOwnerId(1);
    CUGGridInfo *sheet = CurrentSheet();
    m_colCount = columns;
    m_checkCol = 0;
    m_secondCol = 1;
    m_thirdCol = 2;
    SetColumnCount(m_colCount);
    sheet->m_currentCellMode = CUGGridInfo::CurrentCellUnmarked;
    sheet->m_multiSelectFlag = 0;
    sheet->m_multiSelect->SetSelectMode(0);
    SelectWholeRows();
    ChangeColumnWidth(m_checkCol, checkWidth);
    ChangeColumnWidth(m_secondCol, 0);
    ChangeColumnWidth(m_thirdCol, 0);
    sheet->m_gridLines = 0;
}

void CPortCheckGrid::HookSetUpGrid()
{
    setUpList(2, 130);
}

void CPortCheckGrid::selectOnly(int row)
{
    const int rows = GetRowCount();
    for (int r = 0; r < rows; ++r) {
        CUGCell cell;
        ReadCell(m_checkCol, r, &cell);
        setCheckValue(cell, false);
        WriteCell(m_checkCol, r, &cell);
    }
    CUGCell cell;
    ReadCell(m_checkCol, row, &cell);
    setCheckValue(cell, true);
    WriteCell(m_checkCol, row, &cell);
}

// The chart-setting lists refill the Mixed Class page's port grid; its unsaved edits are stored first.
int CPortCheckGrid::HookCellTypeEvent(int typeId, int, int row, int, qint64)
{
    if (typeId != CellTypeCheckBox)
        return 1;
    if (PageDirectory *pages = PageDirectory::current()) {
        pages->StorePortSettings(PageDirectory::MixClass);
        pages->FillPortInfoGrid(PageDirectory::MixClass, row);
    }
    return 1;
}

CGroupPortCheck::CGroupPortCheck(QWidget *parent) : CPortCheckGrid(parent) {}

int CGroupPortCheck::HookCellTypeEvent(int typeId, int, int row, int, qint64)
{
    if (typeId == CellTypeCheckBox)
        RefreshOwnerPortGrid(row);
    return 1;
}

void CGroupPortCheck::RefreshOwnerPortGrid(int row)
{
    PageDirectory *pages = PageDirectory::current();
    if (!pages)
        return;
    for (int page = PageDirectory::MixClass; page <= PageDirectory::SourceFilter; ++page) {
        if (!pages->IsTestPageShown(page))
            continue;
        if (page != PageDirectory::SourceFilter)
            pages->StorePortSettings(page);
        pages->FillPortInfoGrid(page, row);
        return;
    }
}

void CGroupPortCheck::HookCellLeftButton(int, int row, int, UgRect *, QPoint *, int)
{
    PageDirectory *pages = PageDirectory::current();
    if (pages && pages->IsTestPageShown(PageDirectory::MixClass))
        pages->ShowUnicastPort(row);
}

CUniPortCheck::CUniPortCheck(QWidget *parent) : CPortCheckGrid(parent) {}

int CUniPortCheck::HookCellTypeEvent(int typeId, int, int row, int, qint64)
{
    if (typeId == CellTypeCheckBox)
        SelectUnicastPort(row);
    return 1;
}

void CUniPortCheck::SelectUnicastPort(int row)
{
    selectOnly(row);
    if (PageDirectory *pages = PageDirectory::current())
        pages->SetUnicastPort(row);
    RepaintAllParts();
}

CPairSel::CPairSel(QWidget *parent) : CPortCheckGrid(parent) {}

void CPairSel::HookSetUpGrid()
{
    setUpList(3, 120);
}

int CPairSel::HookCellTypeEvent(int typeId, int, int row, int, qint64)
{
    if (typeId == CellTypeCheckBox)
        RedrawReportForPair(row);
    return 1;
}

void CPairSel::RedrawReportForPair(int row)
{
    PageDirectory *pages = PageDirectory::current();
    if (!pages)
        return;
    for (int page = PageDirectory::ResultMixClass; page <= PageDirectory::ResultFilter; ++page) {
        if (!pages->IsResultPageShown(page))
            continue;
        selectOnly(row);
        pages->CollectResults(page);
        pages->DrawChart(page);
        RepaintAllParts();
        return;
    }
}
