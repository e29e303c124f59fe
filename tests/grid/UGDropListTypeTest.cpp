// The drop-list cell type inside a dialog with a default button: opening the list, choosing,
// Esc, refused choices, and a hook that opens a modal dialog while a choice is made.
#include "ProbeGrid.h"

#include "controls/grid/UGDropListType.h"
#include "controls/grid/UGLstBox.h"

#include <QTimer>
#include <gtest/gtest.h>

namespace {

struct ListGrid : ShownProbe
{
    explicit ListGrid(const QString &label) : ShownProbe(3, 6)
    {
        grid->SetCellText(1, 1, "Old");
        grid->MakeCellDropList(1, 1);
        grid->SetCellLabel(1, 1, label);
        grid->MoveCurrentCellTo(1, 1);
    }
    CUGDropListType *type()
    {
        return static_cast<CUGDropListType *>(grid->GetCellTypeByIndex(CUGCtrl::CellTypeDropList));
    }
    CUGLstBox *list() { return type()->ListBox(); }
    QString text()
    {
        QString shown;
        grid->GetCellTextTo(1, 1, shown);
        return shown;
    }
    // Enter on the current cell opens its list.
    void open() { QTest::keyClick(grid->GridWindow(), Qt::Key_Return); }
};

} // namespace

TEST(UGDropListType, ChoicesAreTheLinesEndedByALineFeed)
{
    EXPECT_EQ(CUGDropListType::Choices("Enable\nDisable\n"), (QStringList{"Enable", "Disable"}));
    EXPECT_EQ(CUGDropListType::Choices("A\nB"), QStringList{"A"});
    EXPECT_TRUE(CUGDropListType::Choices("").isEmpty());
}

TEST(UGDropListType, AChoiceIsReportedInOrderAndStored)
{
    ListGrid probe("Enable\nDisable\n");
    probe.open();
    ASSERT_TRUE(probe.list() && probe.list()->isVisible());
    EXPECT_EQ(probe.list()->count(), 2);
    EXPECT_EQ(QApplication::focusWidget(), probe.list());
    const qsizetype from = probe.grid->log.size();
    probe.list()->setCurrentRow(1);
    QTest::keyClick(probe.list(), Qt::Key_Return);
    EXPECT_TRUE(probe.dialog.isVisible());
    EXPECT_EQ(probe.text(), "Disable");
    EXPECT_EQ(probe.grid->textAt101, "Old");
    const QStringList events = probe.grid->movesSince(from).filter("HookCellTypeEvent");
    EXPECT_EQ(events, (QStringList{"HookCellTypeEvent(1,1,1,102,1)", "HookCellTypeEvent(1,1,1,101,Disable)",
                                   "HookCellTypeEvent(1,1,1,103,Disable)"}));
    EXPECT_TRUE(probe.grid->log.contains("HookCellTypeEvent(1,1,1,100,Enable|Disable)"));
    EXPECT_FALSE(probe.list()->isVisible());
    EXPECT_EQ(QApplication::focusWidget(), probe.grid->GridWindow());
    EXPECT_EQ(probe.type()->m_listCol, -1);
}

TEST(UGDropListType, RefusedChoiceKeepsTheText)
{
    ListGrid probe("A\nB\n");
    probe.grid->refuseChoice = 1;
    probe.open();
    probe.list()->setCurrentRow(0);
    QTest::keyClick(probe.list(), Qt::Key_Return);
    EXPECT_EQ(probe.text(), "Old");
    EXPECT_FALSE(probe.grid->log.filter(",103,").size());
}

TEST(UGDropListType, EscClosesWithoutAChoiceAndLeavesTheDialogOpen)
{
    ListGrid probe("A\nB\n");
    probe.open();
    QTest::keyClick(probe.list(), Qt::Key_Escape);
    EXPECT_TRUE(probe.dialog.isVisible());
    EXPECT_EQ(probe.text(), "Old");
    EXPECT_FALSE(probe.list()->isVisible());
    EXPECT_EQ(probe.type()->m_listCol, -2);
    // A later click elsewhere in the cell resets the mark.
    QTest::mouseClick(probe.grid->GridWindow(), Qt::LeftButton, Qt::NoModifier, QPoint(80, 30));
    EXPECT_EQ(probe.type()->m_listCol, -1);
}

TEST(UGDropListType, LongListsShowFifteenRows)
{
    QString label;
    for (int i = 0; i < 20; ++i)
        label += QString("Item%1\n").arg(i);
    ListGrid probe(label);
    probe.open();
    const int itemHeight = QFontMetrics(probe.list()->font()).height();
    EXPECT_EQ(probe.list()->height(), itemHeight * 15 + 6);
}

TEST(UGDropListType, HookOpeningAModalDialogDuringAChoice)
{
    ListGrid probe("A\nB\n");
    bool modalRan = false;
    probe.grid->onChoosing = [&] {
        QDialog modal(&probe.dialog);
        QTimer::singleShot(0, &modal, [&] {
            modalRan = true;
            QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : &modal,
                            Qt::Key_Escape);
            modal.reject();
        });
        modal.exec();
    };
    probe.open();
    probe.list()->setCurrentRow(0);
    // The choice by mouse: the list's button-up.
    const QRect item = probe.list()->visualItemRect(probe.list()->item(0));
    QTest::mouseClick(probe.list()->viewport(), Qt::LeftButton, Qt::NoModifier, item.center());
    EXPECT_TRUE(modalRan);
    EXPECT_EQ(probe.text(), "A");
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
    EXPECT_TRUE(probe.dialog.isVisible());
    // The same list serves the next opening.
    CUGLstBox *first = probe.list();
    probe.grid->onChoosing = nullptr;
    probe.grid->GridWindow()->setFocus();
    probe.open();
    EXPECT_EQ(probe.list(), first);
    EXPECT_TRUE(first->isVisible());
}

TEST(UGDropListType, ButtonClickOpensAndReadOnlyOpensNothing)
{
    ListGrid probe("A\nB\n");
    // The button is the right 17 pixels of the cell (75..150).
    QTest::mouseClick(probe.grid->GridWindow(), Qt::LeftButton, Qt::NoModifier, QPoint(145, 30));
    ASSERT_TRUE(probe.list());
    EXPECT_TRUE(probe.list()->isVisible());
    QTest::keyClick(probe.list(), Qt::Key_Escape);

    CUGCell cell;
    probe.grid->ReadCell(1, 1, &cell);
    cell.m_readOnly = 1;
    cell.m_properties |= CellProp::ReadOnly;
    probe.grid->WriteCell(1, 1, &cell);
    probe.grid->GridWindow()->setFocus();
    probe.open();
    EXPECT_FALSE(probe.list()->isVisible());
}

// A press on the button of the open list closes it: the press takes the focus from the list first.
TEST(UGDropListType, ButtonClosesTheOpenList)
{
    ListGrid probe("A\nB\n");
    UgRect rect;
    int col = 1, row = 1;
    probe.grid->GetCellRect(&col, &row, &rect);
    const QPoint button(rect.right - 4, (rect.top + rect.bottom) / 2);
    QTest::mouseClick(probe.grid->GridWindow(), Qt::LeftButton, Qt::NoModifier, button);
    ASSERT_TRUE(probe.list() && probe.list()->isVisible());
    ASSERT_EQ(QApplication::focusWidget(), probe.list());
    QTest::mouseClick(probe.grid->GridWindow(), Qt::LeftButton, Qt::NoModifier, button);
    QCoreApplication::processEvents();
    EXPECT_FALSE(probe.list()->isVisible());
    EXPECT_EQ(probe.grid->log.filter(",100,").size(), 1);
    EXPECT_EQ(probe.type()->m_listCol, -1);
    EXPECT_EQ(probe.text(), "Old");
    // The next press opens it again.
    QTest::mouseClick(probe.grid->GridWindow(), Qt::LeftButton, Qt::NoModifier, button);
    EXPECT_TRUE(probe.list()->isVisible());
    EXPECT_EQ(probe.grid->log.filter(",100,").size(), 2);
    // A press elsewhere closes it, and a later press on the button opens it.
    QTest::mouseClick(probe.grid->GridWindow(), Qt::LeftButton, Qt::NoModifier, QPoint(20, 70));
    QCoreApplication::processEvents();
    EXPECT_FALSE(probe.list()->isVisible());
    QTest::mouseClick(probe.grid->GridWindow(), Qt::LeftButton, Qt::NoModifier, button);
    EXPECT_TRUE(probe.list()->isVisible());
}

// The open list answers a click that ends outside it, even on a widget that takes no focus: the
// release closes it, or chooses the item it ends on. The pressed widget gets its release too.
TEST(UGDropListType, ReleaseOutsideClosesAndReleaseOnAnItemChooses)
{
    ListGrid probe("A\nB\n");
    auto *other = new QPushButton("Other", &probe.dialog);
    other->setFocusPolicy(Qt::NoFocus);
    other->setGeometry(10, 270, 80, 24);
    other->show();
    probe.open();
    ASSERT_TRUE(probe.list()->isVisible());
    QTest::mouseClick(other, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    EXPECT_FALSE(probe.list()->isVisible());
    EXPECT_FALSE(other->isDown());
    EXPECT_EQ(probe.text(), "Old");
    EXPECT_EQ(QApplication::focusWidget(), probe.grid->GridWindow());

    probe.open();
    ASSERT_TRUE(probe.list()->isVisible());
    const QRect item = probe.list()->visualItemRect(probe.list()->item(1));
    const QPoint onItem = other->mapFromGlobal(probe.list()->viewport()->mapToGlobal(item.center()));
    QTest::mousePress(other, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    QTest::mouseRelease(other, Qt::LeftButton, Qt::NoModifier, onItem);
    EXPECT_FALSE(probe.list()->isVisible());
    EXPECT_FALSE(other->isDown());
    EXPECT_EQ(probe.text(), "B");
}
