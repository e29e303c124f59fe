// The base behaviour of the grid's hooks: notifications do nothing and policy questions allow.
#include "controls/grid/GridPaint.h"
#include "controls/grid/UGCtrl.h"
#include "controls/grid/UGGridInfo.h"
#include "platform/SysColor.h"

void CUGCtrl::HookSetUpGrid() {}
void CUGCtrl::HookSetUpSheet(int) {}
int CUGCtrl::HookMayMoveCell(int, int, int, int)
{
    return 1;
}
int CUGCtrl::HookMayMoveView(int, int, int, int)
{
    return 1;
}
void CUGCtrl::HookRowsPastEnd(int, int, int) {}
int CUGCtrl::HookMaySizeColumn(int)
{
    return 1;
}
void CUGCtrl::HookColumnSizing(int, int *) {}
void CUGCtrl::HookColumnSized(int, int *) {}
int CUGCtrl::HookMaySizeRow(int)
{
    return 1;
}
void CUGCtrl::HookRowSizing(int, int *) {}
void CUGCtrl::HookRowSized(int, int *) {}
int CUGCtrl::HookMaySizeTopHeading()
{
    return 1;
}
int CUGCtrl::HookMaySizeSideHeading()
{
    return 1;
}
int CUGCtrl::HookTopHeadingSizing(int *)
{
    return 1;
}
int CUGCtrl::HookSideHeadingSizing(int *)
{
    return 1;
}
int CUGCtrl::HookTopHeadingSized(int *)
{
    return 1;
}
int CUGCtrl::HookSideHeadingSized(int *)
{
    return 1;
}
void CUGCtrl::HookCurrentColumnChanged(int, int) {}
void CUGCtrl::HookCurrentRowChanged(int, int) {}
void CUGCtrl::HookCurrentCellChanged(int, int, int, int) {}
void CUGCtrl::HookLeftColumnChanged(int, int) {}
void CUGCtrl::HookTopRowChanged(int, int) {}
void CUGCtrl::HookViewScrolled(int, int, int) {}
void CUGCtrl::HookSelectionChanged(int, int, int, int, int) {}
void CUGCtrl::HookCellLeftButton(int, int, int, UgRect *, QPoint *, int) {}
void CUGCtrl::HookCellRightButton(int, int, int, UgRect *, QPoint *, int) {}
void CUGCtrl::HookCellDoubleClick(int, int, UgRect *, QPoint *, int) {}
void CUGCtrl::HookCellMouseMove(int, int, QPoint *, unsigned int, int) {}
void CUGCtrl::HookTopHeadingLeftButton(int, int, int, UgRect *, QPoint *, int) {}
void CUGCtrl::HookTopHeadingRightButton(int, int, int, UgRect *, QPoint *, int) {}
void CUGCtrl::HookTopHeadingDoubleClick(int, int, UgRect *, QPoint *, int) {}
void CUGCtrl::HookSideHeadingLeftButton(int, int, int, UgRect *, QPoint *, int) {}
void CUGCtrl::HookSideHeadingRightButton(int, int, int, UgRect *, QPoint *, int) {}
void CUGCtrl::HookSideHeadingDoubleClick(int, int, UgRect *, QPoint *, int) {}
void CUGCtrl::HookCornerLeftButton(int, UgRect *, QPoint *, int) {}
void CUGCtrl::HookCornerRightButton(int, UgRect *, QPoint *, int) {}
void CUGCtrl::HookCornerDoubleClick(UgRect *, QPoint *, int) {}
void CUGCtrl::HookKeyDown(int *, int) {}
void CUGCtrl::HookKeyUp(int *, int) {}
void CUGCtrl::HookCharacter(int *, int) {}
void CUGCtrl::HookCellRead(int, int, CUGCell *) {}
void CUGCtrl::HookCellWrite(int, int, CUGCell *) {}
int CUGCtrl::HookCellTypeEvent(int, int, int, int, qint64)
{
    return 1;
}
int CUGCtrl::HookMayStartEdit(int, int, QWidget **)
{
    return 1;
}
int CUGCtrl::HookEditKey(int, int, QWidget *, int *)
{
    return 1;
}
int CUGCtrl::HookEditFinished(int, int, QWidget *, QString &, int)
{
    return 1;
}
int CUGCtrl::HookEditMoveOn(int, int, int *, int *)
{
    return 1;
}
void CUGCtrl::HookMenuCommand(int, int, int, int) {}
int CUGCtrl::HookMayShowMenu(int, int, int)
{
    return 1;
}
int CUGCtrl::HookHelpTopic(int, int, int)
{
    return 0;
}
int CUGCtrl::HookTipText(int col, int row, int, QString *text)
{
    *text = QString::asprintf("Col:%d Row:%ld", col, long(row));
    return 1;
}
int CUGCtrl::HookVScrollTipText(int, QString *)
{
    return 1;
}
int CUGCtrl::HookHScrollTipText(int, QString *)
{
    return 1;
}
int CUGCtrl::HookDragEnter(const QMimeData *)
{
    return 0;
}
int CUGCtrl::HookDragOver(const QMimeData *, int, int)
{
    return 0;
}
int CUGCtrl::HookDrop(const QMimeData *, int, int)
{
    return 0;
}
void CUGCtrl::HookPaintDC(QPainter *, QPainter *, int) {}
void CUGCtrl::HookAdjustLayout(UgRect *, UgRect *, UgRect *, UgRect *, UgRect *, UgRect *, UgRect *) {}
void CUGCtrl::HookSheetTabClicked(int) {}

COLORREF CUGCtrl::GetDefaultBackColor(int section)
{
    return section == SectionGrid ? sysColor(SysColor::Window) : sysColor(SysColor::BtnFace);
}

void CUGCtrl::DrawFocusFrame(QPainter *painter, UgRect *rect)
{
    const int col = m_GI->m_reportedCol;
    const int row = m_GI->m_reportedRow;
    if (col >= 0 && row >= 0 && GetCellTypeOfCell(col, row)->DrawFocusFrame(painter, rect, col, row))
        return;
    UgRect frame = *rect;
    --frame.right;
    --frame.bottom;
    GridPaint::drawFocusRect(*painter, frame);
}

void CUGCtrl::HookFocusLost(int section, QWidget *)
{
    HookFocusLostSection(section);
}
void CUGCtrl::HookFocusLostSection(int) {}
int CUGCtrl::HookMayDragColumn(int)
{
    return 1;
}
int CUGCtrl::HookMayDropColumn(int, int)
{
    return 1;
}
void CUGCtrl::HookColumnMoved(int, int) {}
void CUGCtrl::HookTrackingWindowMoved(UgRect *, UgRect *) {}
