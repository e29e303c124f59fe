#include "testpages/PacketCustomGrid.h"

#include "controls/grid/UGCnrBtn.h"
#include "controls/grid/UGGrid.h"
#include "controls/grid/UGGridInfo.h"
#include "controls/grid/UGSideHdg.h"
#include "controls/grid/UGTopHdg.h"
#include "engine/EngineHost.h"
#include "platform/NumberText.h"
#include "testpages/CustomFrame.h"

#include <QLineEdit>

CPacketCustomGrid::CPacketCustomGrid(QWidget *parent) : CUGCtrl(parent) {}

void CPacketCustomGrid::InitGridOptions()
{
    CUGCell *cell = CurrentSheet()->m_gridDefaultCell.get();
    cell->m_readOnly = 0;
    cell->m_properties |= CellProp::ReadOnly;
    CurrentSheet()->m_toolTips = 1;
    GridWindow()->EnableToolTips(true);
    TopHeadingWindow()->EnableToolTips(true);
    SideHeadingWindow()->EnableToolTips(true);
    CornerButtonWindow()->EnableToolTips(true);
}

double CPacketCustomGrid::shownNumber(int col, int row)
{
    QString text;
    GetCellTextTo(col, row, text);
    return toDoublePrefix(text);
}

void CPacketCustomGrid::RestoreEditedCell(int col, int row)
{
    CUGCell cell;
    GetCellComposite(col, row, &cell);
    WriteCell(col, row, &cell);
    BeginCellEdit(GetCurrentColumn(), GetCurrentRow());
}

int CPacketCustomGrid::FilterEditKey(int, int, QWidget *editor, int *key)
{
    const auto *edit = qobject_cast<QLineEdit *>(editor);
    if (!edit || !key)
        return 1;
    return AcceptFrameEditKey(edit->text(), *key, edit->hasSelectedText()) ? 1 : 0;
}

// An edit ended with Escape is held and stored too: the cell is written here.
int CPacketCustomGrid::ValidateEditedCell(int col, int row, QWidget *, QString &text, int)
{
    if (col == 0) {
        text = NormaliseFrameSizeText(text);
    } else if (col >= 1 && col <= 4) {
        text = NormaliseRateText(col, text, shownNumber(1, row), shownNumber(2, row), shownNumber(3, row));
    } else {
        return 1;
    }
    CUGCell cell;
    ReadCell(col, row, &cell);
    cell.AssignText(text);
    cell.m_dataType = CellData::Text;
    cell.m_properties |= CellProp::DataType;
    WriteCell(col, row, &cell);
    RepaintCell(col, row);
    RepaintAllParts();
    return 1;
}

int CPacketCustomGrid::GetColumnHint(int col, int, int, QString *text)
{
    static const char *const kHints[] = {"PacketDlg_Hint_Size", "PacketDlg_Hint_Initial",
                                         "PacketDlg_Hint_Min", "PacketDlg_Hint_Max",
                                         "PacketDlg_Hint_Resolution"};
    if (text && col >= 0 && col < 5)
        *text = EngineHost::instance().text(QString::fromLatin1(kHints[col]));
    return 1;
}
