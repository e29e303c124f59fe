// Repainting the grid's parts, in-place editing of a cell and the pop-up menu.
#include "controls/grid/UGCnrBtn.h"
#include "controls/grid/UGCtrl.h"
#include "controls/grid/UGDataSource.h"
#include "controls/grid/UGGrid.h"
#include "controls/grid/UGGridInfo.h"
#include "controls/grid/UGHScroll.h"
#include "controls/grid/UGHint.h"
#include "controls/grid/UGMultiSelect.h"
#include "controls/grid/UGSideHdg.h"
#include "controls/grid/UGTab.h"
#include "controls/grid/UGTopHdg.h"
#include "controls/grid/UGVScroll.h"

#include <QFontMetrics>
#include <QMenu>
#include <QMetaProperty>
#include <algorithm>
#include <cmath>
#include <numeric>

void CUGCtrl::RepaintAllParts()
{
    if (!m_autoRedraw || !m_GI || !m_GI->m_createdFlag)
        return;
    m_grid->update();
    m_cornerButton->update();
    m_vScroll->Update();
    m_hScroll->Update();
    m_hint->update();
    m_tab->update();
    // The headings' repaint fits their outermost row and column to the heading size.
    m_topHdg->FitLastRowToHeight();
    m_sideHdg->FitLastColumnToWidth();
}

int CUGCtrl::RepaintCell(int col, int row)
{
    if (col < 0) {
        m_sideHdg->update();
    } else if (row < 0) {
        m_topHdg->update();
    } else {
        m_grid->m_redrawList.AddRange(col, row, col, row);
        m_grid->RepaintPending();
    }
    return 0;
}

int CUGCtrl::RepaintRow(int row)
{
    m_grid->m_redrawList.AddRange(0, row, m_GI->m_colCount - 1, row);
    m_grid->RepaintPending();
    return 0;
}

int CUGCtrl::SelectWholeRows()
{
    m_GI->m_highlightRow = 1;
    CUGMultiSelect *selection = m_GI->m_multiSelect.get();
    const int mode = (selection->GetSelectMode() & ~CUGMultiSelect::kCellBlocks) | CUGMultiSelect::kWholeRows;
    selection->SetSelectMode(mode);
    m_GI->m_wholeRowSelect = 1;
    return 0;
}

void CUGCtrl::SetTrackingWindow(QWidget *window)
{
    m_trackingWindow = window;
}

void CUGCtrl::PlaceTrackingWindow()
{
    if (!m_trackingWindow)
        return;
    // The tracking window stands right of the grid, top-aligned with it, in its parent's coordinates.
    const QWidget *parent = m_trackingWindow->parentWidget();
    const QPoint topRight =
        parent ? parent->mapFromGlobal(mapToGlobal(QPoint(width(), 0))) : mapToGlobal(QPoint(width(), 0));
    UgRect oldRect = fromQRect(m_trackingWindow->geometry());
    UgRect newRect{topRight.x(), topRight.y(), topRight.x() + oldRect.width(),
                   topRight.y() + oldRect.height()};
    HookTrackingWindowMoved(&oldRect, &newRect);
    m_trackingWindow->setGeometry(toQRect(newRect));
    m_trackingWindow->update();
}

// ---- In-place editing ----

int CUGCtrl::BeginCellEdit(int col, int row)
{
    if (m_editing)
        return 1;
    m_editing = 1;
    // Every refusal below ends the edit before it began.
    auto refuse = [this](int code) {
        m_editing = 0;
        return code;
    };

    m_editCol = col;
    m_editRow = row;
    CUGMultiSelect *selection = m_GI->m_multiSelect.get();
    int left = 0, top = 0, right = 0, bottom = 0;
    const bool hadSelection = selection->GetTotalRange(&left, &top, &right, &bottom) == 0;
    selection->ClearAll();
    m_GI->m_reportedCol = m_GI->m_currentCol;
    m_GI->m_reportedRow = m_GI->m_currentRow;
    if (hadSelection && (left != right || top != bottom || left != col || top != row)) {
        m_grid->m_redrawList.AddRange(left, top, right, bottom);
        m_grid->RepaintPending();
    }

    // A heading cell is never current; it is edited where it stands.
    const bool headingCell = col < 0 || row < 0;
    if (!headingCell && (col != m_GI->m_currentCol || row != m_GI->m_currentRow)) {
        if (MoveCurrentCellTo(col, row) != 0)
            return refuse(2);
    }

    CUGCell cell;
    GetCellComposite(col, row, &cell);
    CUGCellType *cellType = GetCellTypeOfCell(col, row);
    if (!cellType->CanStartEdit(col, row, &cell))
        return refuse(1);

    UgRect rect;
    QWidget *parent = m_grid;
    if (col < 0) {
        m_sideHdg->GetCellRect(col, row, &rect);
        parent = m_sideHdg;
    } else if (row < 0) {
        m_topHdg->GetCellRect(col, row, &rect);
        parent = m_topHdg;
    } else {
        int cellCol = col, cellRow = row;
        GetCellRect(&cellCol, &cellRow, &rect);
    }
    --rect.right;
    --rect.bottom;
    cellType->AdjustEditArea(&rect);

    if (cell.IsReadOnly())
        return refuse(1);

    QWidget *editor = cell.Has(CellProp::EditMask) ? m_GI->m_maskedEditCtrl : m_GI->m_editCtrl;
    if (!editor)
        return refuse(1);
    if (!m_GI->m_dataSource->MayStartEdit(col, row, &editor) || !HookMayStartEdit(col, row, &editor) ||
        !editor) {
        RepaintCell(col, row);
        return refuse(1);
    }

    const QString *shown = cell.GetDisplayText();
    if (const QMetaProperty text = editor->metaObject()->userProperty(); text.isValid())
        text.write(editor, shown ? *shown : QString());
    if (const QFont *font = cell.Has(CellProp::Font) && cell.m_font ? cell.m_font : m_GI->m_defFont)
        editor->setFont(*font);
    // Shown before it takes the focus: a hidden widget cannot take it.
    editor->setParent(parent);
    editor->setGeometry(toQRect(rect));
    editor->show();
    editor->setFocus();
    m_activeEditor = editor;
    return 0;
}

int CUGCtrl::EndCellEdit(int cancelled, const QString &editedText, int endKey, int nextCol, int nextRow)
{
    QString text = editedText;
    if (!m_editing)
        cancelled = 1;
    const int col = m_editCol;
    const int row = m_editRow;
    QWidget *editor = m_activeEditor;
    if (m_GI->m_dataSource->MayFinishEdit(col, row, editor, text, cancelled) != 1 ||
        !HookEditFinished(col, row, editor, text, cancelled))
        return 0;
    if (editor)
        editor->hide();

    if (!cancelled && m_editing) {
        m_cell.ResetAllFields();
        ReadCell(col, row, &m_cell);
        const std::uint16_t dataType = m_cell.Has(CellProp::DataType) ? m_cell.m_dataType : CellData::Text;
        m_cell.AssignText(text);
        if (dataType == CellData::Number || dataType == CellData::Date || dataType == CellData::Currency) {
            m_cell.ChangeDataType(dataType);
        } else if (dataType != CellData::Text) {
            m_cell.m_dataType = dataType;
            m_cell.m_properties |= CellProp::DataType;
        }
        WriteCell(col, row, &m_cell);

        // A text wider than its column may run on into an empty neighbour.
        if (m_GI->m_overflow && col >= 0 && col < m_GI->m_colCount - 1 && editor) {
            CUGCell next;
            GetCellComposite(col + 1, row, &next);
            const QString *nextText = next.GetDisplayText();
            if (QFontMetrics(editor->font()).horizontalAdvance(text) > GetColumnWidth(col) &&
                (!nextText || nextText->isEmpty()))
                RepaintAllParts();
        }
    }

    const bool wasEditing = m_editing != 0;
    m_editing = 0;
    m_activeEditor = nullptr;
    if (wasEditing && endKey != 0 && editor && editor->parentWidget() == m_grid && m_GI->m_colCount > 0 &&
        m_GI->m_rowCount > 0) {
        int lastCol = 0, lastRow = 0;
        int originCol = nextCol, originRow = nextRow;
        // Moving on skips the rest of a joined block.
        if (FindJoinedBlock(&originCol, &originRow, &lastCol, &lastRow) == 0 &&
            (originCol != nextCol || originRow != nextRow)) {
            if (nextCol > col)
                nextCol = lastCol + 1;
            if (nextRow > row)
                nextRow = lastRow + 1;
        }
        if (nextCol < 0)
            nextCol = m_GI->m_colCount - 1;
        else if (nextCol > m_GI->m_colCount - 1)
            nextCol = 0;
        if (nextRow < 0)
            nextRow = m_GI->m_rowCount - 1;
        else if (nextRow > m_GI->m_rowCount - 1)
            nextRow = 0;
        if (m_GI->m_dataSource->MayMoveEditOn(col, row, &nextCol, &nextRow) == 1 &&
            HookEditMoveOn(col, row, &nextCol, &nextRow)) {
            BeginCellEdit(nextCol, nextRow);
            return 1;
        }
    }
    RepaintCell(col, row);
    return 1;
}

// ---- Pop-up menu ----

int CUGCtrl::ShowPopupMenu(int col, int row, int section, QPoint *globalPoint)
{
    if (!m_GI->m_menuOn)
        return 1;
    if (!HookMayShowMenu(col, row, section))
        return 2;
    if (section != SectionTabs)
        MoveToJoinOrigin(&col, &row);
    m_menuCol = col;
    m_menuRow = row;
    m_menuSection = section;
    // An empty menu cannot be shown.
    if (m_menu->actions().isEmpty())
        return 3;
    m_menu->popup(globalPoint ? *globalPoint : QPoint());
    return 0;
}

void CUGCtrl::OnCommand(int commandId)
{
    if (commandId >= kFirstMenuCommand)
        HookMenuCommand(m_menuCol, m_menuRow, m_menuSection, commandId);
}
