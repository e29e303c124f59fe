#include "controls/widgets/SplitterControl.h"
#include "WidgetTestSupport.h"

#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace {

struct Drag
{
    QWidget parent;
    CSplitterControl *bar = new CSplitterControl;
    Drag()
    {
        parent.resize(600, 400);
        bar->CreateBar(QRect(238, 10, 10, 300), &parent); // centre line 240
        parent.show();
    }
    // Presses on the bar, moves to parent x and releases there.
    void to(int x, int *linesWhileDragging = nullptr)
    {
        QTest::mousePress(bar, Qt::LeftButton, {}, QPoint(2, 100));
        QMouseEvent move(QEvent::MouseMove, QPointF(bar->mapFromParent(QPoint(x, 110))), QPointF(),
                         Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(bar, &move);
        if (linesWhileDragging)
            *linesWhileDragging = bar->TrackingLines() ? bar->TrackingLines()->geometry().left() : -1;
        QTest::mouseRelease(bar, Qt::LeftButton, {}, bar->mapFromParent(QPoint(x, 110)));
    }
};

} // namespace

TEST(SplitterControlTest, CreateBarMakesAThinBarCentredRange)
{
    QWidget parent;
    CSplitterControl vertical;
    vertical.CreateBar(QRect(100, 0, 10, 300), &parent);
    EXPECT_EQ(vertical.GetOrientation(), CSplitterControl::Vertical);
    EXPECT_EQ(vertical.geometry(), QRect(100, 0, 5, 300));
    EXPECT_EQ(vertical.GetMinimum(), 102);
    EXPECT_EQ(vertical.GetMaximum(), 102);
    EXPECT_EQ(vertical.cursor().shape(), Qt::SizeHorCursor);

    CSplitterControl horizontal;
    horizontal.CreateBar(QRect(0, 50, 300, 10), &parent);
    EXPECT_EQ(horizontal.GetOrientation(), CSplitterControl::Horizontal);
    EXPECT_EQ(horizontal.geometry(), QRect(0, 50, 300, 5));
    EXPECT_EQ(horizontal.cursor().shape(), Qt::SizeVerCursor);
}

TEST(SplitterControlTest, DragIsClampedToTheRangeAndReported)
{
    Drag pinned;
    pinned.bar->SetRange(240, 240);
    QSignalSpy pinnedMoves(pinned.bar, &CSplitterControl::moved);
    int linesLeft = 0;
    pinned.to(400, &linesLeft);
    // The lines sit at 239 and 241 whatever the mouse does.
    EXPECT_EQ(linesLeft, 239);
    ASSERT_EQ(pinnedMoves.count(), 1);
    EXPECT_EQ(pinnedMoves.at(0).at(0).toInt(), 0);
    EXPECT_EQ(pinned.bar->x(), 238);
    EXPECT_EQ(pinned.bar->TrackingLines(), nullptr);

    Drag free;
    free.bar->SetRange(100, 300);
    QSignalSpy moves(free.bar, &CSplitterControl::moved);
    free.to(290);
    ASSERT_EQ(moves.count(), 1);
    EXPECT_EQ(moves.at(0).at(0).toInt(), 50);
    EXPECT_EQ(free.bar->x(), 288);
    free.to(900);
    EXPECT_EQ(moves.at(1).at(0).toInt(), 10);
}

TEST(SplitterControlTest, TrackingLinesAreDrawnBesideThePosition)
{
    Drag drag;
    drag.bar->SetRange(100, 300);
    QTest::mousePress(drag.bar, Qt::LeftButton, {}, QPoint(2, 100));
    const QImage image = grabImage(drag.parent);
    EXPECT_EQ(pixelRef(image, 239, 150), RGB(200, 200, 200));
    EXPECT_EQ(pixelRef(image, 241, 150), RGB(200, 200, 200));
    EXPECT_NE(pixelRef(image, 240, 150), RGB(200, 200, 200));
    QTest::mouseRelease(drag.bar, Qt::LeftButton, {}, QPoint(2, 100));
}

TEST(SplitterControlTest, BarPaintsItsFrameAndFill)
{
    QWidget parent;
    CSplitterControl bar;
    bar.CreateBar(QRect(0, 0, 10, 100), &parent);
    const QImage image = grabImage(bar);
    EXPECT_EQ(pixelRef(image, 0, 50), RGB(255, 255, 255));
    EXPECT_EQ(pixelRef(image, 4, 50), RGB(128, 128, 128));
    EXPECT_EQ(pixelRef(image, 1, 50), RGB(200, 200, 200));
    EXPECT_EQ(pixelRef(image, 2, 50), RGB(200, 220, 220));
}

TEST(SplitterControlTest, ResizeHorizontally)
{
    QWidget parent;
    QWidget window(&parent);
    window.setGeometry(50, 10, 100, 40);
    CSplitterControl::ResizeHorizontally(&window, 20, 1);
    EXPECT_EQ(window.geometry(), QRect(50, 10, 120, 40));
    CSplitterControl::ResizeHorizontally(&window, 20, 2);
    EXPECT_EQ(window.geometry(), QRect(30, 10, 140, 40));
    CSplitterControl::ResizeHorizontally(&window, 20, 3);
    EXPECT_EQ(window.geometry(), QRect(30, 10, 140, 40));
    QWidget orphan;
    orphan.setGeometry(0, 0, 10, 10);
    CSplitterControl::ResizeHorizontally(&orphan, 20, 1);
    EXPECT_EQ(orphan.geometry(), QRect(0, 0, 10, 10));
    CSplitterControl::ResizeHorizontally(nullptr, 20, 1);
}
