// The top and side headings: arming a border by hovering, dragging it, hidden columns, sizing
// mode 0, uniform rows, right clicks off the cells and the order of a heading click.
#include "ProbeGrid.h"

#include "controls/grid/UGSideHdg.h"
#include "controls/grid/UGTopHdg.h"

#include "platform/SysColor.h"
#include <QMenu>
#include <QMouseEvent>

#include <gtest/gtest.h>

namespace {

void sendToHeading(QWidget *widget, QEvent::Type type, QPoint point, Qt::MouseButton button,
                   Qt::MouseButtons buttons)
{
    QMouseEvent event(type, QPointF(point), QPointF(widget->mapToGlobal(point)), button, buttons,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &event);
}

void hover(QWidget *widget, QPoint point)
{
    sendToHeading(widget, QEvent::MouseMove, point, Qt::NoButton, Qt::NoButton);
}

void drag(QWidget *widget, QPoint from, QPoint to)
{
    hover(widget, from);
    sendToHeading(widget, QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
    sendToHeading(widget, QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton);
    sendToHeading(widget, QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
}

} // namespace

TEST(UGHeading, BordersArmStrictlyWithinThreePixels)
{
    ShownProbe probe(4, 10);
    struct Case
    {
        QPoint point;
        bool armed;
    };
    // The border after column 0 lies at x 75 of the top heading.
    for (const Case &c :
         {Case{{72, 10}, false}, Case{{73, 10}, true}, Case{{77, 10}, true}, Case{{78, 10}, false}}) {
        hover(probe.grid->TopHeadingWindow(), c.point);
        EXPECT_EQ(probe.grid->TopHeadingWindow()->m_armed != 0, c.armed) << c.point.x();
    }
    // The border below row 0 lies at y 20 of the side heading.
    for (const Case &c : {Case{{10, 17}, false}, Case{{10, 18}, true}, Case{{10, 23}, false}}) {
        hover(probe.grid->SideHeadingWindow(), c.point);
        EXPECT_EQ(probe.grid->SideHeadingWindow()->m_armed != 0, c.armed) << c.point.y();
    }
}

TEST(UGHeading, DraggingAColumnBorderNeverGivesANegativeWidth)
{
    ShownProbe probe(4, 10);
    drag(probe.grid->TopHeadingWindow(), QPoint(150, 10), QPoint(40, 10));
    EXPECT_EQ(probe.grid->GetColumnWidth(1), 0);
    // The border now sizes the hidden column right of column 0, which can be pulled open again.
    drag(probe.grid->TopHeadingWindow(), QPoint(75, 10), QPoint(105, 10));
    EXPECT_EQ(probe.grid->GetColumnWidth(1), 30);
    EXPECT_EQ(probe.grid->GetColumnWidth(0), 75);
}

TEST(UGHeading, DraggingTheSideHeadingBorderSizesTheHeading)
{
    ShownProbe probe(4, 10);
    // The side heading's right border lies at x 40.
    drag(probe.grid->SideHeadingWindow(), QPoint(39, 50), QPoint(60, 50));
    EXPECT_EQ(probe.grid->CurrentSheet()->m_sideHdgWidth, 61);
    EXPECT_EQ(probe.grid->CurrentSheet()->m_sideHdgColWidths.front(), 61);
    EXPECT_EQ(probe.grid->GridWindow()->x(), 61);
}

// With two heading parts, dragging the border next to the cells gives that part exactly the
// dragged size and the heading the total the hook answers; nothing is rescaled.
TEST(UGHeading, DraggingOneHeadingPartSetsItAndTheTotal)
{
    ShownProbe probe(4, 10);
    CUGGridInfo *sheet = probe.grid->CurrentSheet();
    sheet->m_sideHdgColCount = 2;
    sheet->m_sideHdgColWidths = {40, 30};
    sheet->m_sideHdgWidth = 70;
    sheet->m_topHdgRowCount = 2;
    sheet->m_topHdgRowHeights = {20, 20};
    sheet->m_topHdgHeight = 40;
    probe.grid->LayOutChildWindows();
    probe.grid->headingTotalLimit = 80;
    drag(probe.grid->SideHeadingWindow(), QPoint(70, 50), QPoint(90, 50));
    EXPECT_EQ(sheet->m_sideHdgColWidths.front(), 60);
    EXPECT_EQ(sheet->m_sideHdgWidth, 80);
    EXPECT_EQ(probe.grid->GridWindow()->x(), 80);
    probe.grid->headingTotalLimit = 50;
    drag(probe.grid->TopHeadingWindow(), QPoint(110, 40), QPoint(110, 55));
    EXPECT_EQ(sheet->m_topHdgRowHeights.front(), 35);
    EXPECT_EQ(sheet->m_topHdgHeight, 50);
    EXPECT_EQ(probe.grid->GridWindow()->y(), 50);
}

TEST(UGHeading, SizingModeZeroAsksNothing)
{
    ShownProbe probe(4, 10);
    probe.grid->CurrentSheet()->m_userSizingMode = 0;
    const qsizetype from = probe.grid->log.size();
    hover(probe.grid->TopHeadingWindow(), QPoint(75, 10));
    hover(probe.grid->SideHeadingWindow(), QPoint(10, 20));
    EXPECT_TRUE(probe.grid->movesSince(from).filter("HookMaySize").isEmpty());
    EXPECT_EQ(probe.grid->TopHeadingWindow()->m_armed, 0);
    EXPECT_EQ(probe.grid->TopHeadingWindow()->cursor().shape(), Qt::ArrowCursor);
}

TEST(UGHeading, UniformRowsFollowTheDraggedBorder)
{
    ShownProbe probe(4, 100000);
    ASSERT_EQ(probe.grid->CurrentSheet()->m_uniformRowHeight, 1);
    drag(probe.grid->SideHeadingWindow(), QPoint(10, 60), QPoint(10, 90));
    EXPECT_EQ(probe.grid->GetRowHeight(0), 30);
    EXPECT_EQ(probe.grid->GetRowHeight(5000), 30);
}

TEST(UGHeading, RightClickOffTheCellsOffersTheMenu)
{
    ShownProbe probe(1, 10);
    probe.grid->CurrentSheet()->m_menuOn = 1;
    probe.grid->AppendMenuItem(1000, "Item");
    sendToHeading(probe.grid->TopHeadingWindow(), QEvent::MouseButtonPress, QPoint(300, 10), Qt::RightButton,
                  Qt::RightButton);
    EXPECT_TRUE(probe.grid->log.contains("HookMayShowMenu(-1,-1,2)"));
    probe.grid->GetPopupMenu()->close();
}

TEST(UGHeading, ClickGoesToTheTypeBeforeTheHook)
{
    ShownProbe probe(4, 10);
    const qsizetype from = probe.grid->log.size();
    QTest::mouseClick(probe.grid->TopHeadingWindow(), Qt::LeftButton, Qt::NoModifier, QPoint(100, 10));
    EXPECT_EQ(probe.grid->movesSince(from).filter("HookTopHeading"),
              (QStringList{"HookTopHeadingLeftButton(1,-1,1,0)", "HookTopHeadingLeftButton(1,-1,0,0)"}));
    EXPECT_EQ(QApplication::focusWidget(), probe.grid->GridWindow());
}

TEST(UGHeading, HeadingsPaintTheirCellsAndBlankStrips)
{
    ShownProbe probe(2, 3);
    probe.grid->SetCellText(0, -1, "Name");
    QImage top = probe.grid->TopHeadingWindow()->grab().toImage();
    // The heading default cell: button face with a recessed edge (dark top-left).
    EXPECT_EQ(top.pixelColor(4, 10), fromColorRef(sysColor(SysColor::BtnFace)));
    EXPECT_EQ(top.pixelColor(30, 0), fromColorRef(sysColor(SysColor::BtnShadow)));
    // Right of the last column: the heading's default back colour.
    EXPECT_EQ(top.pixelColor(300, 10),
              fromColorRef(probe.grid->GetDefaultBackColor(CUGCtrl::SectionTopHeading)));
    QImage side = probe.grid->SideHeadingWindow()->grab().toImage();
    // The single side-heading column is as wide as the heading: no unpainted strip.
    EXPECT_EQ(side.pixelColor(side.width() - 1, 10), fromColorRef(sysColor(SysColor::BtnHighlight)));
    EXPECT_EQ(side.pixelColor(10, 150),
              fromColorRef(probe.grid->GetDefaultBackColor(CUGCtrl::SectionSideHeading)));
}
