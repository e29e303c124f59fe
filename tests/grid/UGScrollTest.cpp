// The scroll bars: their ranges, the thumb that scrolls on release, and updates that change
// nothing.
#include "ProbeGrid.h"

#include "controls/grid/UGHScroll.h"
#include "controls/grid/UGVScroll.h"

#include <QRegularExpression>
#include <gtest/gtest.h>

TEST(UGVScroll, LongSheetsScaleToAThousandSteps)
{
    ShownProbe probe(2, 5000);
    CUGVScroll *bar = probe.grid->VScrollWindow();
    EXPECT_EQ(bar->minimum(), 0);
    EXPECT_EQ(bar->maximum(), 1000);
    EXPECT_EQ(bar->pageStep(), 1);
    // Dragging the thumb moves nothing until it is released.
    bar->setSliderDown(true);
    bar->setSliderPosition(500);
    EXPECT_EQ(probe.grid->GetTopRow(), 0);
    bar->setSliderDown(false);
    EXPECT_EQ(probe.grid->GetTopRow(), 2500);
}

TEST(UGVScroll, ShortSheetRangeAndLineMoves)
{
    ShownProbe probe(2, 10);
    probe.grid->setGeometry(0, 0, 400, 20 + 4 * 20 + kScrollBarSize);
    probe.grid->LayOutChildWindows();
    CUGVScroll *bar = probe.grid->VScrollWindow();
    // The bar's range 0..13 with a page of 4 is Qt's 0..10.
    EXPECT_EQ(bar->pageStep(), 4);
    EXPECT_EQ(bar->maximum(), 10);
    const qsizetype from = probe.grid->log.size();
    bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(probe.grid->GetTopRow(), 1);
    EXPECT_EQ(bar->value(), 1);
    EXPECT_EQ(
        probe.grid->movesSince(from).filter(QRegularExpression("^Hook(MayMoveView|TopRow|ViewScrolled)")),
        (QStringList{"HookMayMoveView(0,0,0,1)", "HookTopRowChanged(0,1)", "HookViewScrolled(6,0,1)"}));
    bar->triggerAction(QAbstractSlider::SliderToMaximum);
    EXPECT_EQ(probe.grid->GetTopRow(), probe.grid->CurrentSheet()->m_maxTopRow);
    EXPECT_EQ(bar->sliderPosition(), probe.grid->GetTopRow());
}

TEST(UGVScroll, UnchangedUpdateTouchesNothing)
{
    ShownProbe probe(2, 50);
    CUGVScroll *bar = probe.grid->VScrollWindow();
    int changes = 0;
    QObject::connect(bar, &QAbstractSlider::valueChanged, [&] { ++changes; });
    const qsizetype from = probe.grid->log.size();
    bar->Update();
    bar->Update();
    EXPECT_EQ(changes, 0);
    EXPECT_TRUE(probe.grid->movesSince(from).isEmpty());
}

TEST(UGHScroll, ScrollsColumnsAndSurvivesAZeroDefaultWidth)
{
    ShownProbe probe(20, 5);
    CUGHScroll *bar = probe.grid->HScrollWindow();
    bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(probe.grid->GetLeftColumn(), 1);
    bar->setSliderDown(true);
    bar->setSliderPosition(5);
    EXPECT_EQ(probe.grid->GetLeftColumn(), 1);
    bar->setSliderDown(false);
    EXPECT_EQ(probe.grid->GetLeftColumn(), 5);
    probe.grid->CurrentSheet()->m_defColWidth = 0;
    probe.grid->SetColumnCount(25);
    EXPECT_GE(bar->pageStep(), 1);
}
