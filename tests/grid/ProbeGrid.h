// A grid that logs its hook calls with their arguments and can be told to refuse.
#pragma once

#include "controls/grid/UGCtrl.h"
#include "controls/grid/UGGrid.h"
#include "controls/grid/UGGridInfo.h"

#include <QCoreApplication>
#include <QDialog>
#include <QImage>
#include <QPushButton>
#include <QStringList>
#include <QTest>
#include <functional>
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
    int headingTotalLimit = -1; // the heading sizing hooks cap the total to this when not negative
    bool refuseScrollTip = false;

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
    int HookEditFinished(int col, int row, QWidget *, QString &text, int cancelled) override
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
    // Hooks of the cell area, the headings, the cell types and the editors.
    int cellTypeEventAnswer = 1;
    int refuseChoice = 0;             // HookCellTypeEvent answers 0 to message 101
    std::function<void()> onChoosing; // runs inside message 101
    bool refuseSizing = false;
    QString refuseEditKey; // HookEditKey refuses this character
    QString tipText;
    int dropAnswer = 0;
    QString textAt101; // the cell's text while message 101 runs

    int HookCellTypeEvent(int typeId, int col, int row, int message, qint64 parameter) override
    {
        QString argument = QString::number(parameter);
        if (message == 101 || message == 103)
            argument = *reinterpret_cast<QString *>(parameter);
        if (message == 100)
            argument = reinterpret_cast<QStringList *>(parameter)->join('|');
        log << QString("HookCellTypeEvent(%1,%2,%3,%4,%5)")
                   .arg(typeId)
                   .arg(col)
                   .arg(row)
                   .arg(message)
                   .arg(argument);
        if (message == 101) {
            GetCellTextTo(col, row, textAt101);
            if (onChoosing)
                onChoosing();
            if (refuseChoice)
                return 0;
        }
        return cellTypeEventAnswer;
    }
    void HookKeyDown(int *key, int processed) override
    {
        log << QString("HookKeyDown(%1,%2)").arg(*key).arg(processed);
    }
    void HookCharacter(int *key, int processed) override
    {
        log << QString("HookCharacter(%1,%2)").arg(*key).arg(processed);
    }
    void HookCellLeftButton(int col, int row, int down, UgRect *, QPoint *, int processed) override
    {
        log << QString("HookCellLeftButton(%1,%2,%3,%4)").arg(col).arg(row).arg(down).arg(processed);
    }
    void HookCellDoubleClick(int col, int row, UgRect *, QPoint *, int processed) override
    {
        log << QString("HookCellDoubleClick(%1,%2,%3)").arg(col).arg(row).arg(processed);
    }
    void HookSideHeadingDoubleClick(int col, int row, UgRect *, QPoint *, int processed) override
    {
        log << QString("HookSideHeadingDoubleClick(%1,%2,%3)").arg(col).arg(row).arg(processed);
    }
    void HookColumnMoved(int fromCol, int toCol) override
    {
        log << QString("HookColumnMoved(%1,%2)").arg(fromCol).arg(toCol);
    }
    void HookTopHeadingLeftButton(int col, int row, int down, UgRect *, QPoint *, int processed) override
    {
        log << QString("HookTopHeadingLeftButton(%1,%2,%3,%4)").arg(col).arg(row).arg(down).arg(processed);
    }
    int HookMaySizeColumn(int col) override
    {
        log << QString("HookMaySizeColumn(%1)").arg(col);
        return refuseSizing ? 0 : 1;
    }
    int HookMaySizeRow(int row) override
    {
        log << QString("HookMaySizeRow(%1)").arg(row);
        return refuseSizing ? 0 : 1;
    }
    int HookMaySizeTopHeading() override
    {
        log << "HookMaySizeTopHeading";
        return refuseSizing ? 0 : 1;
    }
    int HookMaySizeSideHeading() override
    {
        log << "HookMaySizeSideHeading";
        return refuseSizing ? 0 : 1;
    }
    int HookVScrollTipText(int row, QString *text) override
    {
        log << QString("HookVScrollTipText(%1,%2)").arg(row).arg(*text);
        return refuseScrollTip ? 0 : 1;
    }
    int HookHScrollTipText(int col, QString *text) override
    {
        log << QString("HookHScrollTipText(%1,%2)").arg(col).arg(*text);
        return refuseScrollTip ? 0 : 1;
    }
    int HookTopHeadingSizing(int *height) override
    {
        if (headingTotalLimit >= 0)
            *height = std::min(*height, headingTotalLimit);
        return 1;
    }
    int HookSideHeadingSizing(int *width) override
    {
        if (headingTotalLimit >= 0)
            *width = std::min(*width, headingTotalLimit);
        return 1;
    }
    int HookEditKey(int col, int row, QWidget *, int *key) override
    {
        log << QString("HookEditKey(%1,%2,%3)").arg(col).arg(row).arg(*key);
        return !refuseEditKey.isEmpty() && *key == refuseEditKey.at(0).unicode() ? 0 : 1;
    }
    void HookFocusLost(int section, QWidget *) override { log << QString("HookFocusLost(%1)").arg(section); }
    int HookTipText(int col, int row, int section, QString *text) override
    {
        if (tipText.isEmpty())
            return CUGCtrl::HookTipText(col, row, section, text);
        *text = QString("%1 %2,%3,%4").arg(tipText).arg(col).arg(row).arg(section);
        return 1;
    }
    int HookDrop(const QMimeData *, int col, int row) override
    {
        log << QString("HookDrop(%1,%2)").arg(col).arg(row);
        return dropAnswer;
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

// A probe grid in a shown, active dialog of 400 x 300 with a default OK button; the cell area
// has the focus.
struct ShownProbe
{
    explicit ShownProbe(int cols = 4, int rows = 10)
    {
        dialog.resize(400, 300);
        ok = new QPushButton("OK", &dialog);
        ok->setDefault(true);
        ok->setGeometry(340, 270, 50, 24);
        QObject::connect(ok, &QPushButton::clicked, &dialog, &QDialog::accept);
        grid = new ProbeGrid(&dialog);
        grid->setGeometry(0, 0, 400, 260);
        grid->InitAttachedWindow(&dialog);
        grid->SetColumnCount(cols);
        grid->SetRowCount(rows);
        dialog.show();
        dialog.activateWindow();
        (void)QTest::qWaitForWindowActive(&dialog);
        grid->GridWindow()->setFocus();
        QCoreApplication::processEvents();
    }
    // The cell area's picture.
    QImage image() { return grid->GridWindow()->grab().toImage(); }
    QDialog dialog;
    QPushButton *ok;
    ProbeGrid *grid;
};
