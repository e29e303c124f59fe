#include "ports/DlgPortCfgSet.h"

#include "controls/grid/MyCug.h"
#include "controls/grid/PortRowRules.h"
#include "ports/PortInfoConfig.h"

CDlgPortCfgSet::CDlgPortCfgSet(QWidget *parent) : QDialog(parent) {}

void CDlgPortCfgSet::ApplyToCheckedPorts(const QString &value, int column)
{
    if (!Owner || !Owner->SettingsGrid)
        return;
    MyCug &grid = *Owner->SettingsGrid;
    const int rows = grid.GetRowCount();
    for (int row = 1; row < rows; ++row) {
        const std::size_t flag = std::size_t(row - 1);
        if (flag >= Owner->RowFlags.size() || !Owner->RowFlags[flag])
            continue;
        grid.SetCellText(column, row, value);
        ApplyPortRowRules(grid, row, column, value);
    }
    grid.RepaintAllParts();
}
