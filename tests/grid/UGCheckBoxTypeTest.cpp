// The check-box cell type: clicks in the box, the space bar, disabled and read-only cells.
#include "ProbeGrid.h"

#include "controls/grid/UGCheckBoxType.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {

struct CheckGrid : ShownProbe
{
    CheckGrid(int param, double number) : ShownProbe(3, 4)
    {
        CUGCell cell;
        cell.m_properties |= CellProp::CellType | CellProp::CellTypeParam;
        cell.m_cellTypeIndex = CUGCtrl::CellTypeCheckBox;
        cell.m_cellTypeParam = param;
        cell.SetNumber(number);
        grid->WriteCell(1, 1, &cell);
    }
    double number()
    {
        CUGCell cell;
        grid->GetCellComposite(1, 1, &cell);
        return cell.GetNumber();
    }
    // A click at the box of cell (1, 1): x 75 + 3, rows 20 high with a 12-pixel box from y 24.
    void clickBox(int dx = 5)
    {
        QTest::mouseClick(grid->GridWindow(), Qt::LeftButton, Qt::NoModifier, QPoint(78 + dx, 30));
    }
};

} // namespace

TEST(UGCheckBoxType, ClicksCycleTheStates)
{
    struct Case
    {
        int param;
        std::vector<double> states;
    };
    for (const Case &c : {Case{0, {1, 0, 1}}, Case{0x2000, {1, 2, 0}}}) {
        CheckGrid probe(c.param, 0);
        std::vector<double> seen;
        for (int i = 0; i < 3; ++i) {
            probe.clickBox();
            seen.push_back(probe.number());
        }
        EXPECT_EQ(seen, c.states) << c.param;
        EXPECT_TRUE(
            probe.grid->log.contains(QString("HookCellTypeEvent(2,1,1,53,%1)").arg(int(c.states.back()))));
        EXPECT_TRUE(probe.grid->log.contains("HookCellLeftButton(1,1,1,1)"));
    }
}

TEST(UGCheckBoxType, IgnoredClicks)
{
    {
        CheckGrid probe(0, 0);
        probe.clickBox(50); // in the cell, outside the box
        EXPECT_EQ(probe.number(), 0);
        EXPECT_TRUE(probe.grid->log.contains("HookCellLeftButton(1,1,1,0)"));
    }
    {
        CheckGrid probe(0x4000, 0); // disabled
        probe.clickBox();
        EXPECT_EQ(probe.number(), 0);
    }
    {
        CheckGrid probe(0, 1);
        CUGCell cell;
        probe.grid->ReadCell(1, 1, &cell);
        cell.m_readOnly = 1;
        cell.m_properties |= CellProp::ReadOnly;
        probe.grid->WriteCell(1, 1, &cell);
        probe.clickBox();
        EXPECT_EQ(probe.number(), 1);
    }
}

TEST(UGCheckBoxType, SpaceTogglesTheCurrentCell)
{
    CheckGrid probe(0, 0);
    probe.grid->MoveCurrentCellTo(1, 1);
    QTest::keyClick(probe.grid->GridWindow(), Qt::Key_Space);
    EXPECT_EQ(probe.number(), 1);
}

TEST(UGCheckBoxType, NextStateOfOddNumbers)
{
    EXPECT_EQ(CUGCheckBoxType::NextState(std::nan(""), false), 1);
    EXPECT_EQ(CUGCheckBoxType::NextState(INFINITY, true), 1);
    EXPECT_EQ(CUGCheckBoxType::NextState(-2, true), 2);
    EXPECT_EQ(CUGCheckBoxType::NextState(1.9, false), 0);
}

// The click test uses the box as drawn: inside the grid lines, so one pixel higher in a 20-pixel row.
TEST(UGCheckBoxType, ClickAreaIsTheDrawnBox)
{
    CheckGrid probe(0, 0);
    const QImage image = probe.grid->GridWindow()->grab().toImage();
    // The drawn box's frame: the dark rows within x 78..90 of row 1 (y 20..40).
    int top = -1, bottom = -1;
    for (int y = 20; y < 40; ++y) {
        if (qGray(image.pixel(84, y)) < 100) {
            if (top < 0)
                top = y;
            bottom = y;
        }
    }
    ASSERT_GE(top, 0);
    QTest::mouseClick(probe.grid->GridWindow(), Qt::LeftButton, Qt::NoModifier, QPoint(84, top));
    EXPECT_EQ(probe.number(), 1) << "top edge " << top;
    QTest::mouseClick(probe.grid->GridWindow(), Qt::LeftButton, Qt::NoModifier, QPoint(84, bottom + 1));
    EXPECT_EQ(probe.number(), 1) << "below the box " << bottom + 1;
}
