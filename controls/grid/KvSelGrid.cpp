#include "controls/grid/KvSelGrid.h"

CKvSelGrid::CKvSelGrid(QWidget *parent) : CKvPortlistGrid(parent) {}

QString CKvSelGrid::SpeedChoices(int portTypeCode)
{
    switch (portTypeCode) {
    case 1:
        return QStringLiteral("1G\n 100M\n  10M\n");
    case 2:
        return QStringLiteral("1G\n");
    case 4:
        return QStringLiteral("10G\n");
    default:
        return QStringLiteral("100M\n 10M\n");
    }
}

int CKvSelGrid::AddCheckRow(int row, const QString &text, int checked, const QFont *font, int value)
{
    return CKvPortlistGrid::AddCheckRow(row, text, checked, font, value);
}

int CKvSelGrid::SetRowSpeedChoices(int row, int portTypeCode, const QString &current)
{
    CUGCell cell;
    cell.m_properties = CellProp::CellType | CellProp::Label | CellProp::DataType;
    cell.m_cellTypeIndex = CellTypeDropList;
    cell.m_label = SpeedChoices(portTypeCode);
    cell.m_dataType = CellData::Text;
    if (!current.isEmpty()) {
        cell.m_text = current;
        cell.m_properties |= CellProp::Text;
    }
    if (WriteCell(m_speedCol, row, &cell) != 0 || RepaintCell(m_speedCol, row) != 0)
        return 0;
    return 1;
}

int CKvSelGrid::GetRowSpeed(int row, QString &text)
{
    CUGCell cell;
    if (ReadCell(m_speedCol, row, &cell) != 0 || !cell.Has(CellProp::Text))
        return 0;
    text = cell.m_text;
    return 1;
}

void CKvSelGrid::HookSetUpGrid()
{
    CKvPortlistGrid::HookSetUpGrid();
    m_colCount = 4;
    m_nameCol = 0;
    m_speedCol = 1;
    m_keyCol = 2;
    m_modelCol = 3;
    SetColumnCount(m_colCount);
    ChangeColumnWidth(m_nameCol, 140);
    ChangeColumnWidth(m_keyCol, 0);
    ChangeColumnWidth(m_modelCol, 0);
    ChangeColumnWidth(m_speedCol, 60);
}
