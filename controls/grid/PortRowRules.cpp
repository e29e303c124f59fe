#include "controls/grid/PortRowRules.h"

#include "controls/grid/MyCug.h"

namespace {

QString textOf(MyCug &grid, int col, int row)
{
    QString text;
    grid.GetCellTextTo(col, row, text);
    return text;
}

void lockMasterSlave(MyCug &grid, int row)
{
    grid.SetCellText(PortColumn::MasterSlave, row, QStringLiteral("Master"));
    grid.SetCellReadOnly(PortColumn::MasterSlave, row, 1);
}

void applySpeedRule(MyCug &grid, int row, const QString &speed)
{
    if (speed != u"1G" && speed != u"10G") {
        lockMasterSlave(grid, row);
        grid.SetCellReadOnly(PortColumn::Duplex, row, 0);
        return;
    }
    grid.SetCellText(PortColumn::Duplex, row, QStringLiteral("Full"));
    grid.SetCellReadOnly(PortColumn::Duplex, row, 1);
    if (speed == u"1G" && textOf(grid, PortColumn::Negotiation, row) == u"Force")
        grid.SetCellReadOnly(PortColumn::MasterSlave, row, 0);
    else
        lockMasterSlave(grid, row);
}

} // namespace

void ApplyPortRowRules(MyCug &grid, int row, int col, const QString &value)
{
    switch (col) {
    case PortColumn::Speed:
        applySpeedRule(grid, row, value);
        break;
    case PortColumn::Negotiation:
        if (value == u"Force" && textOf(grid, PortColumn::Speed, row) == u"1G")
            grid.SetCellReadOnly(PortColumn::MasterSlave, row, 0);
        else
            lockMasterSlave(grid, row);
        break;
    case PortColumn::Media:
        if (textOf(grid, PortColumn::Model, row) != u"QM-M08")
            break;
        if (value == u"Copper") {
            grid.SetCellLabel(PortColumn::Speed, row, QStringLiteral("1G\n100M\n10M\n"));
        } else {
            grid.SetCellText(PortColumn::Speed, row, QStringLiteral("1G"));
            grid.SetCellLabel(PortColumn::Speed, row, QStringLiteral("1G\n"));
            // Fibre runs at 1G only, so the 1G locks hold as when 1G is chosen.
            applySpeedRule(grid, row, QStringLiteral("1G"));
        }
        break;
    default:
        break;
    }
}
