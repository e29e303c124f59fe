// The scroll bars: their ranges, the thumb that scrolls on release, and updates that change
// nothing.
#include "ProbeGrid.h"

#include "controls/grid/UGHScroll.h"
#include "controls/grid/UGVScroll.h"

#include "controls/grid/UGHint.h"

#include <QMouseEvent>
#include <QRegularExpression>
#include <QStyle>
#include <QStyleOptionSlider>
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

namespace {

void sendToBar(QScrollBar *bar, QEvent::Type type, QPoint point, Qt::MouseButton button,
               Qt::MouseButtons buttons)
{
    QMouseEvent event(type, QPointF(point), QPointF(bar->mapToGlobal(point)), button, buttons,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(bar, &event);
}

QPoint thumbCentre(QScrollBar *bar)
{
    QStyleOptionSlider option;
    option.initFrom(bar);
    option.orientation = bar->orientation();
    option.minimum = bar->minimum();
    option.maximum = bar->maximum();
    option.pageStep = bar->pageStep();
    option.singleStep = bar->singleStep();
    option.sliderPosition = option.sliderValue = bar->sliderPosition();
    option.subControls = QStyle::SC_All;
    return bar->style()
        ->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarSlider, bar)
        .center();
}

} // namespace

// While a thumb is dragged, the hint beside it names the row or column under it, as the grid's
// hook words it; releasing the thumb scrolls and takes the hint away.
TEST(GridScrollBar, DraggedThumbShowsTheHookTip)
{
    for (Qt::Orientation orientation : {Qt::Vertical, Qt::Horizontal}) {
        ShownProbe probe(60, 200);
        const bool vertical = orientation == Qt::Vertical;
        QScrollBar *bar = vertical ? static_cast<QScrollBar *>(probe.grid->VScrollWindow())
                                   : static_cast<QScrollBar *>(probe.grid->HScrollWindow());
        const QPoint from = thumbCentre(bar);
        const QPoint to = from + (vertical ? QPoint(0, 60) : QPoint(60, 0));
        const qsizetype logged = probe.grid->log.size();
        sendToBar(bar, QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
        sendToBar(bar, QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton);
        ASSERT_GT(bar->sliderPosition(), 0);
        const int under = bar->sliderPosition();
        const QString tip = vertical ? QString("Row:%1").arg(under) : QString("Col:%1").arg(under);
        const QString hook = vertical ? "HookVScrollTipText" : "HookHScrollTipText";
        EXPECT_EQ(probe.grid->movesSince(logged).filter(hook).value(0),
                  QString("%1(%2,%3)").arg(hook).arg(under).arg(tip));
        CUGHint *hint = probe.grid->HintWindow();
        EXPECT_TRUE(hint->isVisible()) << vertical;
        EXPECT_EQ(hint->Text(), tip);
        // Beside the thumb, on the cells' side of the bar.
        const QRect onGrid(probe.grid->mapFromGlobal(hint->geometry().topLeft()), hint->size());
        const QPoint thumb = bar->mapTo(probe.grid, thumbCentre(bar));
        if (vertical) {
            EXPECT_LE(onGrid.right(), bar->x());
            EXPECT_LE(std::abs(onGrid.center().y() - thumb.y()), 1);
        } else {
            EXPECT_LE(onGrid.bottom(), bar->y());
            EXPECT_LE(std::abs(onGrid.center().x() - thumb.x()), 1);
        }
        sendToBar(bar, QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
        EXPECT_FALSE(hint->isVisible());
        EXPECT_EQ(vertical ? probe.grid->GetTopRow() : probe.grid->GetLeftColumn(), under);
        // A hook that refuses shows no tip.
        probe.grid->refuseScrollTip = true;
        sendToBar(bar, QEvent::MouseButtonPress, thumbCentre(bar), Qt::LeftButton, Qt::LeftButton);
        sendToBar(bar, QEvent::MouseMove, thumbCentre(bar) + (to - from), Qt::NoButton, Qt::LeftButton);
        EXPECT_FALSE(hint->isVisible());
        sendToBar(bar, QEvent::MouseButtonRelease, thumbCentre(bar), Qt::LeftButton, Qt::NoButton);
    }
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
