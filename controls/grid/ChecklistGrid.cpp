#include "controls/grid/ChecklistGrid.h"

#include "controls/grid/UGStyleLayer.h"

#include "controls/grid/UGCnrBtn.h"
#include "controls/grid/UGDataSource.h"
#include "controls/grid/UGGrid.h"
#include "controls/grid/UGGridInfo.h"
#include "controls/grid/UGMultiSelect.h"
#include "controls/grid/UGSideHdg.h"
#include "controls/grid/UGTopHdg.h"

#include <set>

namespace {
const QString kChecked = QStringLiteral("1");
const QString kUnchecked = QStringLiteral("0");

void setCheckText(CUGCell &cell, bool checked)
{
    cell.AssignText(checked ? kChecked : kUnchecked);
    cell.m_dataType = CellData::Check;
    cell.m_properties |= CellProp::Text | CellProp::DataType;
}
} // namespace

CChecklistGrid::CChecklistGrid(QWidget *parent) : CUGCtrl(parent) {}

bool CChecklistGrid::readCheckCell(int row, CUGCell *cell)
{
    // The store may hold a cell past the last row (the one rows are opened at); it is no row.
    if (GetColumnCount() < 1 || row < 0 || row >= GetRowCount())
        return false;
    cell->m_properties = 0;
    const int storeCol = CurrentSheet()->m_columns[0].dataSourceCol;
    return DataSourceOfColumn(0)->LoadCell(storeCol, row, cell) == 0;
}

CChecklistGrid::~CChecklistGrid()
{
    CUGStyleLayer::CloseThemes();
}

bool CChecklistGrid::writeCheckCell(int row, CUGCell *cell)
{
    return WriteCell(0, row, cell) == 0;
}

int CChecklistGrid::IsRowChecked(int row)
{
    CUGCell cell;
    return readCheckCell(row, &cell) ? cell.GetBoolValue() : 0;
}

int CChecklistGrid::SetRowChecked(int row, int checked)
{
    CUGCell cell;
    if (!readCheckCell(row, &cell))
        return 0;
    setCheckText(cell, checked != 0);
    return writeCheckCell(row, &cell) ? 1 : 0;
}

int CChecklistGrid::ToggleRowCheck(int row)
{
    return SetRowChecked(row, IsRowChecked(row) ? 0 : 1);
}

int CChecklistGrid::AddCheckRow(int row, const QString &text, int checked, const QFont *font, int value)
{
    if (InsertRowAt(row) != 0)
        return 0;
    CUGCell cell;
    cell.m_properties = CellProp::Label | CellProp::CellType | CellProp::CellTypeParam;
    cell.m_label = text;
    cell.m_cellTypeIndex = CellTypeCheckBox;
    cell.m_cellTypeParam = value;
    if (font) {
        cell.m_font = font;
        cell.m_properties |= CellProp::Font;
    }
    setCheckText(cell, checked != 0);
    if (WriteCell(0, row, &cell) != 0 || RepaintCell(0, row) != 0)
        return 0;
    return 1;
}

int CChecklistGrid::RemoveRow(int row, int redraw)
{
    if (row < 0 || row >= GetRowCount())
        return 0;
    if (CurrentSheet()->m_dataSource->DeleteRowAt(row) != 0)
        return 0;
    SetRowCount(GetRowCount() - 1);
    if (redraw)
        RepaintAllParts();
    return 1;
}

int CChecklistGrid::SetRowValue(int row, int value)
{
    CUGCell cell;
    if (!readCheckCell(row, &cell))
        return 0;
    cell.m_cellTypeParam = value;
    cell.m_properties |= CellProp::CellTypeParam;
    return writeCheckCell(row, &cell) ? 1 : 0;
}

int CChecklistGrid::GetRowValue(int row)
{
    CUGCell cell;
    if (!readCheckCell(row, &cell))
        return -1;
    return cell.Has(CellProp::CellTypeParam) ? cell.m_cellTypeParam : 0;
}

int CChecklistGrid::SetListColumnWidth(int width)
{
    return ChangeColumnWidth(0, width);
}

int CChecklistGrid::GetFirstColumnWidth()
{
    return GetColumnCount() < 1 ? -1 : GetColumnWidth(0);
}

void CChecklistGrid::SetTag(int fit)
{
    m_fit = fit;
}

int CChecklistGrid::GetTag()
{
    return m_fit;
}

// One pass per selected row that writes only its check cell, however many of its cells are
// selected.
void CChecklistGrid::ApplyCheckToSelection(int action)
{
    CUGMultiSelect *selection = CurrentSheet()->m_multiSelect.get();
    std::set<int> done;
    int col = 0, row = 0;
    for (int found = selection->EnumFirstCell(&col, &row); found == 0;
         found = selection->EnumNextCell(&col, &row)) {
        if (!done.insert(row).second)
            continue;
        CUGCell cell;
        if (!readCheckCell(row, &cell))
            return;
        const bool checked = action == ActionCheck || (action == ActionInvert && cell.GetBoolValue() == 0);
        setCheckText(cell, checked);
        if (!writeCheckCell(row, &cell))
            return;
        RepaintCell(0, row);
    }
}

void CChecklistGrid::SetUpChecklistSheet(CUGCtrl &grid, bool windowToolTips)
{
    grid.SetColumnCount(2);
    grid.SetRowCount(0);
    // Stores a cell at the end row, so rows can be opened there.
    grid.SetCellText(0, 0, QString());
    CUGGridInfo *sheet = grid.CurrentSheet();
    sheet->m_gridLines = 0;
    grid.SetSideHeadingWidth(0);
    grid.SetTopHeadingHeight(0);
    sheet->m_currentCellMode = CUGGridInfo::CurrentCellHighlighted;
    sheet->m_multiSelectFlag = 1;
    sheet->m_multiSelect->SetSelectMode(sheet->m_highlightRow ? CUGMultiSelect::kWholeRows
                                                              : CUGMultiSelect::kCellBlocks);
    sheet->m_menuOn = 1;
    sheet->m_toolTips = 1;
    grid.GridWindow()->EnableToolTips(windowToolTips);
    grid.TopHeadingWindow()->EnableToolTips(windowToolTips);
    grid.SideHeadingWindow()->EnableToolTips(windowToolTips);
    grid.CornerButtonWindow()->EnableToolTips(windowToolTips);
}

void CChecklistGrid::HookSetUpGrid()
{
    SetUpChecklistSheet(*this, true);
    SetTag(1);
}

void CChecklistGrid::HookMenuCommand(int, int, int section, int commandId)
{
    if (section != SectionGrid)
        return;
    switch (commandId) {
    case kCommandCheck:
        ApplyCheckToSelection(ActionCheck);
        break;
    case kCommandUncheck:
        ApplyCheckToSelection(ActionUncheck);
        break;
    case kCommandInvert:
        ApplyCheckToSelection(ActionInvert);
        break;
    default:
        break;
    }
}

int CChecklistGrid::HookTipText(int, int, int, QString *)
{
    return 1;
}

void CChecklistGrid::resizeEvent(QResizeEvent *event)
{
    CUGCtrl::resizeEvent(event);
    // The cell area's width, so that a vertical scroll bar does not push column 0 past the edge; the
    // layout runs again, since the old width may have called for a horizontal scroll bar.
    if (m_fit && GetColumnCount() > 0) {
        const int fitted = CurrentSheet()->m_gridWidth - 1;
        if (fitted != GetColumnWidth(0)) {
            ChangeColumnWidth(0, fitted);
            CUGCtrl::resizeEvent(event);
        }
    }
}
