// Paths of the grid that reach its hooks: a column move, the editor's focus loss, keys without a
// letter or digit, a double click on a side-heading border, heading fitting and heading edits.
#include "ProbeGrid.h"

#include "controls/grid/UGEdit.h"
#include "controls/grid/UGSideHdg.h"
#include "controls/grid/UGTopHdg.h"

#include <QMouseEvent>
#include <gtest/gtest.h>

namespace {

void send(QWidget *widget, QEvent::Type type, QPoint point, Qt::MouseButton button, Qt::MouseButtons buttons)
{
    QMouseEvent event(type, QPointF(point), QPointF(widget->mapToGlobal(point)), button, buttons,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &event);
}

} // namespace

TEST(UGCtrlWiring, MovingAColumnIsReported)
{
    ShownProbe probe(4, 3);
    ASSERT_EQ(probe.grid->MoveColumn(0, 3), 0);
    EXPECT_TRUE(probe.grid->log.contains("HookColumnMoved(0,3)"));
    // No move, no report.
    probe.grid->log.clear();
    ASSERT_EQ(probe.grid->MoveColumn(1, 2), 0);
    EXPECT_TRUE(probe.grid->log.filter("HookColumnMoved").isEmpty());
}

TEST(UGCtrlWiring, EditorLosingTheFocusToTheCellsIsReported)
{
    ShownProbe probe(4, 6);
    probe.grid->SetCellText(1, 1, "old");
    ASSERT_EQ(probe.grid->BeginCellEdit(1, 1), 0);
    QTest::keyClicks(probe.grid->EditWindow(), "new");
    probe.grid->log.clear();
    QTest::mouseClick(probe.grid->GridWindow(), Qt::LeftButton, Qt::NoModifier, QPoint(200, 70));
    const QStringList lost = probe.grid->log.filter("HookFocusLost");
    ASSERT_FALSE(lost.isEmpty());
    EXPECT_EQ(lost.first(), "HookFocusLost(1)");
    QString shown;
    probe.grid->GetCellTextTo(1, 1, shown);
    EXPECT_EQ(shown, "new");
}

TEST(UGCtrlWiring, PunctuationAndNumberPadKeysReachTheKeyHook)
{
    ShownProbe probe(4, 6);
    struct Case
    {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        int code;
    };
    for (const Case &c :
         {Case{Qt::Key_Semicolon, Qt::NoModifier, 186}, Case{Qt::Key_Comma, Qt::NoModifier, 188},
          Case{Qt::Key_Minus, Qt::NoModifier, 189}, Case{Qt::Key_Slash, Qt::NoModifier, 191},
          Case{Qt::Key_BracketLeft, Qt::NoModifier, 219}, Case{Qt::Key_5, Qt::KeypadModifier, 101},
          Case{Qt::Key_Minus, Qt::KeypadModifier, 109}, Case{Qt::Key_Asterisk, Qt::KeypadModifier, 106},
          Case{Qt::Key_Exclam, Qt::ShiftModifier, '1'}}) {
        probe.grid->log.clear();
        QTest::keyClick(probe.grid->GridWindow(), c.key, c.modifiers);
        EXPECT_TRUE(probe.grid->log.contains(QString("HookKeyDown(%1,0)").arg(c.code)))
            << c.code << " " << probe.grid->log.join(' ').toStdString();
    }
}

TEST(UGCtrlWiring, DoubleClickOnAnArmedSideHeadingBorderGoesToTheCell)
{
    ShownProbe probe(4, 10);
    QWidget *side = probe.grid->SideHeadingWindow();
    // The border below row 0 lies at y 20 of the side heading.
    send(side, QEvent::MouseMove, QPoint(10, 18), Qt::NoButton, Qt::NoButton);
    ASSERT_NE(probe.grid->SideHeadingWindow()->m_armed, 0);
    send(side, QEvent::MouseButtonDblClick, QPoint(10, 18), Qt::LeftButton, Qt::LeftButton);
    send(side, QEvent::MouseButtonRelease, QPoint(10, 18), Qt::LeftButton, Qt::NoButton);
    EXPECT_TRUE(probe.grid->log.contains("HookSideHeadingDoubleClick(-1,0,0)"));
    EXPECT_EQ(probe.grid->GetRowHeight(0), 20);
}

TEST(UGCtrlWiring, RepaintingAllPartsFitsTheOuterHeadingRowAndColumn)
{
    ShownProbe probe(4, 6);
    CUGGridInfo *sheet = probe.grid->CurrentSheet();
    sheet->m_topHdgRowCount = 2;
    sheet->m_topHdgRowHeights = {20, 10};
    sheet->m_topHdgHeight = 30;
    sheet->m_sideHdgColCount = 2;
    sheet->m_sideHdgColWidths = {30, 10};
    sheet->m_sideHdgWidth = 40;
    ASSERT_EQ(probe.grid->SetTopHeadingRowHeight(-1, 24), 0);
    ASSERT_EQ(probe.grid->SetSideHeadingColumnWidth(-1, 33), 0);
    // Any change that repaints every part, here a new column count.
    ASSERT_EQ(probe.grid->SetColumnCount(5), 0);
    EXPECT_EQ(sheet->m_topHdgRowHeights, (std::vector<int>{24, 6}));
    EXPECT_EQ(sheet->m_sideHdgColWidths, (std::vector<int>{33, 7}));
}

TEST(UGCtrlWiring, HeadingCellsAreEditedInTheirHeading)
{
    ShownProbe probe(4, 6);
    probe.grid->SetCellText(1, -1, "Name");
    probe.grid->MoveCurrentCellTo(2, 2);
    ASSERT_EQ(probe.grid->BeginCellEdit(1, -1), 0);
    QWidget *editor = QApplication::focusWidget();
    ASSERT_EQ(editor, probe.grid->EditWindow());
    EXPECT_EQ(editor->parentWidget(), probe.grid->TopHeadingWindow());
    EXPECT_EQ(probe.grid->GetCurrentColumn(), 2);
    QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(editor, "Port");
    QTest::keyClick(editor, Qt::Key_Escape);
    QString shown;
    probe.grid->GetCellTextTo(1, -1, shown);
    EXPECT_EQ(shown, "Name");
    ASSERT_EQ(probe.grid->BeginCellEdit(1, -1), 0);
    editor = QApplication::focusWidget();
    QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(editor, "Port");
    QTest::keyClick(editor, Qt::Key_Return);
    probe.grid->GetCellTextTo(1, -1, shown);
    EXPECT_EQ(shown, "Port");
    EXPECT_FALSE(probe.grid->IsEditing());
}
