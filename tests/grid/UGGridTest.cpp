// The cell area: what it draws (through the cell types, on grabbed pictures) and how it answers
// keys, the mouse, the wheel and tool tips.
#include "ProbeGrid.h"

#include "controls/grid/UGGrid.h"
#include "controls/grid/UGSideHdg.h"
#include "platform/SysColor.h"

#include <QHelpEvent>
#include <QPaintEvent>
#include <QToolTip>
#include <QWheelEvent>
#include <gtest/gtest.h>

namespace {

// A cell type that records every Draw call.
class ProbeCellType : public CUGCellType
{
public:
    struct Call
    {
        int col, row;
        UgRect rect;
        int selected, current;
    };
    std::vector<Call> calls;
    void Draw(QPainter *painter, UgRect *rect, int col, int row, CUGCell *cell, int selected,
              int current) override
    {
        calls.push_back({col, row, *rect, selected, current});
        CUGCellType::Draw(painter, rect, col, row, cell, selected, current);
    }
    int OnLeftButton(int col, int row, int down, UgRect *, QPoint *) override
    {
        static_cast<ProbeGrid *>(Owner())->log
            << QString("OnLeftButton(%1,%2,%3)").arg(col).arg(row).arg(down);
        return 0;
    }
};

// Every cell of the sheet drawn by the probe type.
struct ProbedGrid : ShownProbe
{
    ProbedGrid() : ShownProbe(4, 10)
    {
        const int index = grid->AddCellType(&type);
        CUGCell defaults;
        defaults.m_properties = CellProp::CellType;
        defaults.m_cellTypeIndex = index;
        for (int col = 0; col < 4; ++col)
            grid->CurrentSheet()->m_columns[std::size_t(col)].defaultCell->MergeFrom(defaults);
    }
    ProbeCellType type;
};

QColor pixel(const QImage &image, int x, int y)
{
    return image.pixelColor(x, y);
}

// Whether the dotted focus frame runs along the row from x on.
bool frameAt(const QImage &image, int x, int y)
{
    for (int i = 0; i < 4; ++i) {
        if (image.pixelColor(x + i, y) == QColor(Qt::black))
            return true;
    }
    return false;
}

} // namespace

TEST(UGGridDrawing, NothingIsDrawnBeforeTheSheetIsCreated)
{
    ProbedGrid probe;
    probe.grid->CurrentSheet()->m_createdFlag = 0;
    probe.type.calls.clear();
    probe.grid->GridWindow()->repaint();
    EXPECT_TRUE(probe.type.calls.empty());
}

TEST(UGGridDrawing, JoinedBlockIsDrawnOnceWithItsRectangle)
{
    ProbedGrid probe;
    probe.grid->SetCellText(1, 1, "joined");
    probe.grid->JoinCellRange(1, 1, 2, 2);
    probe.type.calls.clear();
    probe.grid->GridWindow()->repaint();
    int blockDraws = 0;
    for (const ProbeCellType::Call &call : probe.type.calls) {
        EXPECT_FALSE(call.col >= 1 && call.col <= 2 && call.row >= 1 && call.row <= 2 &&
                     (call.col != 1 || call.row != 1));
        if (call.col == 1 && call.row == 1) {
            ++blockDraws;
            EXPECT_EQ(call.rect, (UgRect{75, 20, 225, 60}));
        }
    }
    EXPECT_EQ(blockDraws, 1);
}

// A joined cell whose text changes is repainted over its whole block: a repaint of its first row
// alone would draw part of the new, centred text over what is left of the old.
TEST(UGGridDrawing, ChangedJoinedCellRepaintsItsWholeBlock)
{
    struct PaintedRegion : QObject
    {
        QRegion region;
        bool eventFilter(QObject *, QEvent *event) override
        {
            if (event->type() == QEvent::Paint)
                region += static_cast<QPaintEvent *>(event)->region();
            return false;
        }
    };
    ShownProbe probe(4, 10);
    probe.grid->SetCellText(1, 1, "N/A");
    probe.grid->SetCellAlignment(1, 1, 4 | 32);
    probe.grid->JoinCellRange(1, 1, 1, 4);
    probe.grid->MoveCurrentCellTo(3, 8);
    PaintedRegion painted;
    probe.grid->GridWindow()->installEventFilter(&painted);
    probe.grid->SetCellText(1, 1, "Pass");
    probe.grid->RepaintCell(1, 1);
    probe.grid->GridWindow()->removeEventFilter(&painted);
    // Columns of 75 pixels, rows of 20: the block covers x 75..150, y 20..100.
    EXPECT_TRUE((QRegion(75, 20, 75, 80) - painted.region).isEmpty())
        << painted.region.boundingRect().height();
}

TEST(UGGridDrawing, LockLinesAreBlack)
{
    ShownProbe probe(6, 30);
    probe.grid->SetLockedColumnCount(1);
    probe.grid->SetLockedRowCount(1);
    probe.grid->ScrollLeftColumnTo(2);
    probe.grid->ScrollTopRowTo(3);
    const QImage image = probe.image();
    // One pixel left of the first scrolling column, one above the top row.
    EXPECT_EQ(pixel(image, 74, 30), QColor(Qt::black));
    EXPECT_EQ(pixel(image, 120, 19), QColor(Qt::black));
    EXPECT_NE(pixel(image, 120, 30), QColor(Qt::black));
}

TEST(UGGridDrawing, FillsGridLinesAndBlankArea)
{
    ShownProbe probe(2, 3);
    probe.grid->SetCellBackColor(0, 0, RGB(255, 0, 0));
    probe.grid->RepaintCell(0, 0);
    QImage image = probe.image();
    EXPECT_EQ(pixel(image, 10, 10), QColor(255, 0, 0));
    // Grid lines on the right and bottom edges.
    EXPECT_EQ(pixel(image, 74, 10), fromColorRef(0xDCDCDC));
    EXPECT_EQ(pixel(image, 10, 19), fromColorRef(0xDCDCDC));
    // Right of the last column and below the last row: the default back colour.
    EXPECT_EQ(pixel(image, 200, 10), fromColorRef(probe.grid->GetDefaultBackColor(CUGCtrl::SectionGrid)));
    EXPECT_EQ(pixel(image, 10, 100), fromColorRef(probe.grid->GetDefaultBackColor(CUGCtrl::SectionGrid)));

    probe.grid->CurrentSheet()->m_gridLines = 0;
    probe.grid->GridWindow()->repaint();
    image = probe.image();
    EXPECT_EQ(pixel(image, 74, 10), QColor(255, 0, 0));
}

TEST(UGGridDrawing, CurrentCellStyles)
{
    struct Case
    {
        int style;
        bool highlighted;
        bool frame;
    };
    for (const Case &c : {Case{0, false, false}, Case{1, false, true}, Case{2, true, true}}) {
        ShownProbe probe(3, 3);
        probe.grid->CurrentSheet()->m_currentCellMode = c.style;
        probe.grid->MoveCurrentCellTo(1, 1);
        probe.grid->GridWindow()->repaint();
        const QImage image = probe.image();
        EXPECT_EQ(pixel(image, 100, 30) == fromColorRef(sysColor(SysColor::Highlight)), c.highlighted)
            << c.style;
        // The dotted frame starts on the cell's top-left pixel.
        EXPECT_EQ(frameAt(image, 75, 20), c.frame) << c.style;
    }
}

TEST(UGGridDrawing, NoFocusFrameWithoutFocusOrWithAnEditor)
{
    ShownProbe probe(3, 3);
    probe.grid->MoveCurrentCellTo(1, 1);
    probe.grid->GridWindow()->repaint();
    EXPECT_TRUE(frameAt(probe.image(), 75, 20));
    probe.ok->setFocus();
    QCoreApplication::processEvents();
    probe.grid->GridWindow()->repaint();
    EXPECT_FALSE(frameAt(probe.image(), 75, 20));
    probe.grid->GridWindow()->setFocus();
    ASSERT_EQ(probe.grid->BeginCellEdit(2, 2), 0);
    probe.grid->GridWindow()->repaint();
    EXPECT_FALSE(frameAt(probe.image(), 75, 20));
}

TEST(UGGridDrawing, WholeRowHighlightMarksEveryCellCurrent)
{
    ProbedGrid probe;
    probe.grid->SelectWholeRows();
    probe.grid->MoveCurrentCellTo(1, 2);
    probe.type.calls.clear();
    probe.grid->GridWindow()->repaint();
    int currentCells = 0;
    for (const ProbeCellType::Call &call : probe.type.calls) {
        EXPECT_EQ(call.current == 1, call.row == 2) << call.col << "," << call.row;
        currentCells += call.current;
    }
    EXPECT_EQ(currentCells, 4);
    // The frame spans the row from x 0.
    EXPECT_TRUE(frameAt(probe.image(), 0, 40));
    EXPECT_TRUE(frameAt(probe.image(), 220, 40));
}

TEST(UGGridDrawing, VisibleEdgesComeFromTheGeometry)
{
    ShownProbe probe(10, 100);
    const CUGGridInfo *sheet = probe.grid->CurrentSheet();
    // 360 x 240 of cells (the bars take 17): columns of 75 and rows of 20.
    EXPECT_EQ(sheet->m_rightVisibleCol, (sheet->m_gridWidth) / 75);
    EXPECT_EQ(sheet->m_bottomVisibleRow, sheet->m_gridHeight / 20);
    probe.grid->ScrollTopRowTo(50);
    EXPECT_EQ(sheet->m_bottomVisibleRow, 50 + sheet->m_gridHeight / 20);
    // The painter reaches the same edges.
    ProbedGrid probed;
    probed.type.calls.clear();
    probed.grid->SetRowCount(100);
    probed.grid->GridWindow()->repaint();
    int lastRow = 0;
    for (const ProbeCellType::Call &call : probed.type.calls)
        lastRow = std::max(lastRow, call.row);
    EXPECT_EQ(lastRow, probed.grid->CurrentSheet()->m_bottomVisibleRow);
}

// ---- Input ----

TEST(UGGridInput, KeyAccelerationGrowsWithRepeatsAndResetsOnRelease)
{
    ShownProbe probe(2, 400);
    probe.grid->CurrentSheet()->m_keyAccelDivisor = 4;
    QWidget *area = probe.grid->GridWindow();
    std::vector<int> steps;
    for (int press = 1; press <= 13; ++press) {
        const int before = probe.grid->GetCurrentRow();
        QKeyEvent down(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier, QString(), press > 1);
        QCoreApplication::sendEvent(area, &down);
        // The release half of an auto-repeat pair keeps the count.
        QKeyEvent up(QEvent::KeyRelease, Qt::Key_Down, Qt::NoModifier, QString(), true);
        QCoreApplication::sendEvent(area, &up);
        steps.push_back(probe.grid->GetCurrentRow() - before);
    }
    EXPECT_EQ(steps, (std::vector<int>{1, 1, 1, 2, 2, 2, 2, 9, 9, 9, 9, 28, 28}));
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_Down, Qt::NoModifier);
    QCoreApplication::sendEvent(area, &release);
    const int before = probe.grid->GetCurrentRow();
    QTest::keyClick(area, Qt::Key_Up);
    EXPECT_EQ(before - probe.grid->GetCurrentRow(), 1);
}

TEST(UGGridInput, ArrowsHonourJoinsAndHomeEndMove)
{
    ShownProbe probe(8, 30);
    probe.grid->JoinCellRange(1, 0, 3, 0);
    QWidget *area = probe.grid->GridWindow();
    probe.grid->MoveCurrentCellTo(1, 0);
    QTest::keyClick(area, Qt::Key_Right);
    EXPECT_EQ(probe.grid->GetCurrentColumn(), 4);
    QTest::keyClick(area, Qt::Key_Left);
    EXPECT_EQ(probe.grid->GetCurrentColumn(), 1);
    probe.grid->MoveCurrentCellTo(0, 5);
    QTest::keyClick(area, Qt::Key_Left);
    EXPECT_EQ(probe.grid->GetCurrentColumn(), 0);
    QTest::keyClick(area, Qt::Key_End);
    EXPECT_EQ(probe.grid->GetCurrentColumn(), 7);
    QTest::keyClick(area, Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(probe.grid->GetCurrentRow(), 29);
    QTest::keyClick(area, Qt::Key_Home);
    EXPECT_EQ(probe.grid->GetCurrentColumn(), 0);
    QTest::keyClick(area, Qt::Key_Home, Qt::ControlModifier);
    EXPECT_EQ(probe.grid->GetCurrentRow(), 0);
}

TEST(UGGridInput, KeyDownAndCharacterReachTheHooks)
{
    ShownProbe probe;
    const qsizetype from = probe.grid->log.size();
    QTest::keyClick(probe.grid->GridWindow(), Qt::Key_A, Qt::NoModifier);
    QTest::keyClick(probe.grid->GridWindow(), Qt::Key_Return);
    EXPECT_EQ(probe.grid->movesSince(from), (QStringList{"HookKeyDown(65,0)", "HookCharacter(97,0)",
                                                         "HookKeyDown(13,0)", "HookCharacter(13,0)"}));
    EXPECT_TRUE(probe.dialog.isVisible());
}

TEST(UGGridInput, WheelScrollsByThreeRowsPerNotch)
{
    ShownProbe probe(2, 100);
    probe.grid->ScrollTopRowTo(20);
    struct Case
    {
        int delta;
        int top;
    };
    const qsizetype from = probe.grid->log.size();
    for (const Case &c : {Case{120, 17}, Case{-240, 23}, Case{60, 23}}) {
        QWheelEvent wheel(QPointF(10, 10), QPointF(10, 10), QPoint(), QPoint(0, c.delta), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(probe.grid->GridWindow(), &wheel);
        EXPECT_EQ(probe.grid->GetTopRow(), c.top) << c.delta;
    }
    EXPECT_EQ(probe.grid->movesSince(from).filter("TopRow"),
              (QStringList{"HookTopRowChanged(20,17)", "HookTopRowChanged(17,23)"}));
}

TEST(UGGridInput, ClicksCallTheTypeThenTheHook)
{
    ProbedGrid probe;
    QWidget *area = probe.grid->GridWindow();
    qsizetype from = probe.grid->log.size();
    QTest::mouseClick(area, Qt::LeftButton, Qt::NoModifier, QPoint(100, 50));
    QStringList moves = probe.grid->movesSince(from);
    const qsizetype mayMove = moves.indexOf("HookMayMoveCell(0,0,1,2)");
    const qsizetype type = moves.indexOf("OnLeftButton(1,2,1)");
    const qsizetype hook = moves.indexOf("HookCellLeftButton(1,2,1,0)");
    ASSERT_GE(mayMove, 0);
    EXPECT_LT(mayMove, type);
    EXPECT_LT(type, hook);
    EXPECT_TRUE(moves.contains("HookCellLeftButton(1,2,0,0)"));

    // Off the cells the hook still hears of the click, with (-1, -1).
    from = probe.grid->log.size();
    QTest::mousePress(area, Qt::LeftButton, Qt::NoModifier, QPoint(350, 50));
    EXPECT_TRUE(probe.grid->movesSince(from).contains("HookCellLeftButton(-1,-1,1,0)"));
    QTest::mouseRelease(area, Qt::LeftButton, Qt::NoModifier, QPoint(350, 50));

    // A double click does not fall through to a second button-down.
    from = probe.grid->log.size();
    QTest::mouseDClick(area, Qt::LeftButton, Qt::NoModifier, QPoint(100, 50));
    EXPECT_EQ(probe.grid->movesSince(from).filter("HookCellDoubleClick").size(), 1);
    EXPECT_EQ(probe.grid->movesSince(from).filter("HookCellLeftButton(1,2,1").size(), 0);
}

TEST(UGGridInput, ClickWhileEditingOnlyTakesTheFocus)
{
    ShownProbe probe;
    ASSERT_EQ(probe.grid->BeginCellEdit(0, 0), 0);
    const qsizetype from = probe.grid->log.size();
    QTest::mousePress(probe.grid->GridWindow(), Qt::LeftButton, Qt::NoModifier, QPoint(100, 50));
    EXPECT_TRUE(probe.grid->movesSince(from).filter("HookCellLeftButton").isEmpty());
    EXPECT_EQ(probe.grid->GetCurrentRow(), 0);
}

TEST(UGGridInput, ToolTipTextComesFromTheHook)
{
    ShownProbe probe;
    probe.grid->tipText = "tip";
    QWidget *area = probe.grid->GridWindow();
    QHelpEvent help(QEvent::ToolTip, QPoint(100, 50), area->mapToGlobal(QPoint(100, 50)));
    QCoreApplication::sendEvent(area, &help);
    EXPECT_FALSE(QToolTip::isVisible());
    probe.grid->GridWindow()->EnableToolTips(true);
    QCoreApplication::sendEvent(area, &help);
    EXPECT_EQ(QToolTip::text(), "tip 1,2,1");
    QToolTip::hideText();
}
