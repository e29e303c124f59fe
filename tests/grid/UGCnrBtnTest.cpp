// The corner button, the sheet tabs and the drop target.
#include "ProbeGrid.h"

#include "controls/grid/UGCnrBtn.h"
#include "controls/grid/UGDropTarget.h"
#include "controls/grid/UGTab.h"

#include <QMimeData>
#include <QMouseEvent>
#include <gtest/gtest.h>

namespace {

void sendMouse(QWidget *widget, QEvent::Type type, QPoint point, Qt::MouseButton button,
               Qt::MouseButtons buttons)
{
    QMouseEvent event(type, QPointF(point), QPointF(widget->mapToGlobal(point)), button, buttons,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &event);
}

} // namespace

TEST(UGCnrBtn, RefusingHooksShowNoSizingCursor)
{
    ShownProbe probe;
    probe.grid->refuseSizing = true;
    CUGCnrBtn *corner = probe.grid->CornerButtonWindow();
    sendMouse(corner, QEvent::MouseMove, QPoint(38, 18), Qt::NoButton, Qt::NoButton);
    EXPECT_EQ(corner->m_onEdge, 0);
    EXPECT_EQ(corner->cursor().shape(), Qt::ArrowCursor);
}

TEST(UGCnrBtn, DraggingTheBottomEdgeSizesTheTopHeading)
{
    ShownProbe probe;
    CUGCnrBtn *corner = probe.grid->CornerButtonWindow();
    sendMouse(corner, QEvent::MouseMove, QPoint(10, 18), Qt::NoButton, Qt::NoButton);
    ASSERT_EQ(corner->m_heightEdge, 1);
    EXPECT_EQ(corner->cursor().shape(), Qt::SizeVerCursor);
    sendMouse(corner, QEvent::MouseButtonPress, QPoint(10, 18), Qt::LeftButton, Qt::LeftButton);
    sendMouse(corner, QEvent::MouseMove, QPoint(10, 2000), Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(probe.grid->CurrentSheet()->m_topHdgHeight, 20); // above 1024: refused
    sendMouse(corner, QEvent::MouseMove, QPoint(10, -5), Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(probe.grid->CurrentSheet()->m_topHdgHeight, 0);
    sendMouse(corner, QEvent::MouseButtonRelease, QPoint(10, -5), Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(corner->m_dragging, 0);
}

TEST(UGTab, AreaWidthAndTabLimit)
{
    ShownProbe probe;
    CUGTab *tabs = probe.grid->TabWindow();
    tabs->SetTabAreaWidth(10);
    EXPECT_EQ(probe.grid->CurrentSheet()->m_tabWidth, 40);
    for (int i = 0; i < CUGTab::kMaxTabs; ++i)
        ASSERT_EQ(tabs->AddTab(QString::number(i), i), 0);
    EXPECT_EQ(tabs->AddTab("one too many", 99), 1);
    EXPECT_EQ(tabs->GetTabCount(), CUGTab::kMaxTabs);
}

TEST(UGDropTarget, DropsPasteOnlyTextOnACell)
{
    struct Case
    {
        bool withText;
        QPoint point;
        int answer;
        QString logged;
        QString cellText;
    };
    for (const Case &c :
         {Case{false, {100, 50}, 1, "HookDrop(1,2)", ""},
          Case{true, {100, 50}, 1, "HookDrop(1,2)", "dropped"}, Case{true, {100, 50}, 0, "HookDrop(1,2)", ""},
          Case{true, {350, 230}, 1, "HookDrop(-1,-1)", ""}}) {
        ShownProbe probe(4, 5);
        probe.grid->dropAnswer = c.answer;
        probe.grid->GridWindow()->RegisterDropTarget();
        QMimeData data;
        if (c.withText)
            data.setText("dropped");
        else
            data.setData("application/octet-stream", "x");
        QDropEvent drop(QPointF(c.point), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        EXPECT_EQ(probe.grid->GridWindow()->DropTarget()->OnDrop(&drop), c.answer);
        EXPECT_EQ(probe.grid->log.filter("HookDrop"), QStringList{c.logged});
        QString text;
        probe.grid->GetCellTextTo(1, 2, text);
        EXPECT_EQ(text, c.cellText) << c.withText << c.answer;
    }
}
