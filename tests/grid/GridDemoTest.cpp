// A small demo grid with every kind of cell, for looking at on screen: run
// `KV_GRID_DEMO=1 QT_QPA_PLATFORM=xcb test_grid --gtest_filter=GridDemo.*` under Xvfb (or a desktop)
// and the dialog stays open until closed; KV_GRID_DEMO_PNG=file saves its picture. Without them it
// only checks that it paints.
#include "ProbeGrid.h"

#include "controls/grid/UGTopHdg.h"

#include <gtest/gtest.h>

TEST(GridDemo, PaintsEveryKindOfCell)
{
    ShownProbe probe(6, 40);
    ProbeGrid &grid = *probe.grid;
    grid.SetLockedColumnCount(1);
    grid.SetLockedRowCount(1);
    grid.CurrentSheet()->m_currentCellMode = 2;
    for (int col = 0; col < 6; ++col)
        grid.SetCellText(col, -1, QString("Column %1").arg(col));
    for (int row = 0; row < 40; ++row) {
        grid.SetCellNumber(-1, row, row + 1);
        grid.SetCellText(0, row, QString("Port %1").arg(row + 1));
        grid.SetCellText(1, row, row % 2 ? "1G" : "100M");
        grid.MakeCellDropList(1, row);
        grid.SetCellLabel(1, row, "1G\n100M\n10M\n");
        CUGCell check;
        grid.ReadCell(2, row, &check);
        check.m_properties |= CellProp::CellType;
        check.m_cellTypeIndex = CUGCtrl::CellTypeCheckBox;
        check.SetNumber(row % 3 == 0 ? 1 : 0);
        grid.WriteCell(2, row, &check);
    }
    grid.SetCellText(3, 2, "A text that runs on into the empty cells");
    grid.SetCellText(3, 5, "Joined");
    grid.JoinCellRange(3, 5, 4, 6);
    grid.SetCellBackColor(3, 5, RGB(255, 240, 200));
    grid.SetCellTypeParam(5, 3, 0x40);
    CUGCell arrow;
    grid.ReadCell(5, 3, &arrow);
    arrow.m_properties |= CellProp::CellType;
    arrow.m_cellTypeIndex = CUGCtrl::CellTypeArrow;
    grid.WriteCell(5, 3, &arrow);
    grid.MoveCurrentCellTo(2, 3);
    grid.RepaintAllParts();

    const QImage image = probe.image();
    int colours = 0;
    QList<QRgb> seen;
    for (int x = 0; x < image.width(); x += 3) {
        for (int y = 0; y < image.height(); y += 3) {
            if (!seen.contains(image.pixel(x, y))) {
                seen << image.pixel(x, y);
                ++colours;
            }
        }
    }
    EXPECT_GT(colours, 5);
    // KV_GRID_DEMO_PNG names a file for the whole grid's picture.
    if (const QString path = qEnvironmentVariable("KV_GRID_DEMO_PNG"); !path.isEmpty())
        grid.grab().save(path);
    if (qEnvironmentVariableIsSet("KV_GRID_DEMO"))
        probe.dialog.exec();
}
