// A grid that logs its hook calls with their arguments and can be told to refuse.
#pragma once

#include "controls/grid/UGCtrl.h"
#include "controls/grid/UGGridInfo.h"

#include <QDialog>
#include <QStringList>
#include <memory>
#include <ostream>

// Texts in test failures read as texts.
inline void PrintTo(const QString &text, std::ostream *out)
{
    *out << '"' << text.toStdString() << '"';
}

class ProbeGrid : public CUGCtrl
{
public:
    using CUGCtrl::CUGCtrl;

    QStringList log;
    bool refuseMoveCell = false;
    bool refuseMoveView = false;
    bool refuseMenu = false;
    bool refuseStartEdit = false;
    bool refuseEditFinished = false;
    int createdFlagInSetUpGrid = -1;
    QString readHookText;       // text given to empty cells by HookCellRead
    COLORREF readHookColor = 0; // back colour set by HookCellRead when non-zero
    int sizedColumnLimit = -1;  // HookColumnSized caps widths to this when not negative

    void HookSetUpGrid() override
    {
        createdFlagInSetUpGrid = CurrentSheet()->m_createdFlag;
        log << "HookSetUpGrid";
    }
    void HookSetUpSheet(int sheet) override { log << QString("HookSetUpSheet(%1)").arg(sheet); }
    int HookMayMoveCell(int oldCol, int oldRow, int newCol, int newRow) override
    {
        log << QString("HookMayMoveCell(%1,%2,%3,%4)").arg(oldCol).arg(oldRow).arg(newCol).arg(newRow);
        return refuseMoveCell ? 0 : 1;
    }
    int HookMayMoveView(int oldLeft, int oldTop, int newCol, int newRow) override
    {
        log << QString("HookMayMoveView(%1,%2,%3,%4)").arg(oldLeft).arg(oldTop).arg(newCol).arg(newRow);
        return refuseMoveView ? 0 : 1;
    }
    void HookRowsPastEnd(int rows, int past, int found) override
    {
        log << QString("HookRowsPastEnd(%1,%2,%3)").arg(rows).arg(past).arg(found);
    }
    void HookColumnSized(int col, int *width) override
    {
        if (sizedColumnLimit >= 0)
            *width = std::min(*width, sizedColumnLimit);
        log << QString("HookColumnSized(%1,%2)").arg(col).arg(*width);
    }
    void HookRowSized(int row, int *height) override
    {
        log << QString("HookRowSized(%1,%2)").arg(row).arg(*height);
    }
    void HookCurrentColumnChanged(int oldCol, int newCol) override
    {
        log << QString("HookCurrentColumnChanged(%1,%2)").arg(oldCol).arg(newCol);
    }
    void HookCurrentRowChanged(int oldRow, int newRow) override
    {
        log << QString("HookCurrentRowChanged(%1,%2)").arg(oldRow).arg(newRow);
    }
    void HookCurrentCellChanged(int oldCol, int newCol, int oldRow, int newRow) override
    {
        log << QString("HookCurrentCellChanged(%1,%2,%3,%4)").arg(oldCol).arg(newCol).arg(oldRow).arg(newRow);
    }
    void HookLeftColumnChanged(int oldCol, int newCol) override
    {
        log << QString("HookLeftColumnChanged(%1,%2)").arg(oldCol).arg(newCol);
    }
    void HookTopRowChanged(int oldRow, int newRow) override
    {
        log << QString("HookTopRowChanged(%1,%2)").arg(oldRow).arg(newRow);
    }
    void HookViewScrolled(int direction, int oldPosition, int newPosition) override
    {
        log << QString("HookViewScrolled(%1,%2,%3)").arg(direction).arg(oldPosition).arg(newPosition);
    }
    void HookSelectionChanged(int right, int top, int left, int bottom, int count) override
    {
        log << QString("HookSelectionChanged(%1,%2,%3,%4,%5)")
                   .arg(right)
                   .arg(top)
                   .arg(left)
                   .arg(bottom)
                   .arg(count);
    }
    void HookCellRead(int col, int row, CUGCell *cell) override
    {
        if (!readHookText.isEmpty() && !cell->Has(CellProp::Text))
            cell->AssignText(readHookText);
        if (readHookColor) {
            cell->m_backColor = readHookColor;
            cell->m_properties |= CellProp::BackColor;
        }
        Q_UNUSED(col);
        Q_UNUSED(row);
    }
    void HookCellWrite(int col, int row, CUGCell *) override
    {
        log << QString("HookCellWrite(%1,%2)").arg(col).arg(row);
    }
    int HookMayStartEdit(int col, int row, QWidget **) override
    {
        log << QString("HookMayStartEdit(%1,%2)").arg(col).arg(row);
        return refuseStartEdit ? 0 : 1;
    }
    int HookEditFinished(int col, int row, QWidget *, const QString &text, int cancelled) override
    {
        log << QString("HookEditFinished(%1,%2,%3,%4)").arg(col).arg(row).arg(text).arg(cancelled);
        return refuseEditFinished ? 0 : 1;
    }
    int HookEditMoveOn(int oldCol, int oldRow, int *newCol, int *newRow) override
    {
        log << QString("HookEditMoveOn(%1,%2,%3,%4)").arg(oldCol).arg(oldRow).arg(*newCol).arg(*newRow);
        return 1;
    }
    void HookMenuCommand(int col, int row, int section, int id) override
    {
        log << QString("HookMenuCommand(%1,%2,%3,%4)").arg(col).arg(row).arg(section).arg(id);
    }
    int HookMayShowMenu(int col, int row, int section) override
    {
        log << QString("HookMayShowMenu(%1,%2,%3)").arg(col).arg(row).arg(section);
        return refuseMenu ? 0 : 1;
    }
    void HookAdjustLayout(UgRect *grid, UgRect *, UgRect *, UgRect *, UgRect *, UgRect *, UgRect *) override
    {
        log << "HookAdjustLayout";
        lastGridRect = *grid;
    }

    // The log from `from` on, without the layout entries.
    QStringList movesSince(qsizetype from) const
    {
        QStringList moves = log.mid(from);
        moves.removeAll("HookAdjustLayout");
        return moves;
    }

    UgRect lastGridRect;
};

// A probe grid attached in an offscreen dialog of 400 x 300.
struct AttachedProbe
{
    AttachedProbe()
    {
        dialog.resize(400, 300);
        grid = new ProbeGrid(&dialog);
        grid->setGeometry(0, 0, 400, 300);
        grid->InitAttachedWindow(&dialog);
    }
    QDialog dialog;
    ProbeGrid *grid;
};
