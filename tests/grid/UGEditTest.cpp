// The in-cell editors inside a dialog with a default button: the keys that end an edit, Esc, the
// key hook, and committing on focus loss.
#include "ProbeGrid.h"

#include "controls/grid/UGEdit.h"
#include "controls/grid/UGMaskedEdit.h"

#include <QKeyEvent>
#include <gtest/gtest.h>

namespace {

struct EditingDialog : ShownProbe
{
    EditingDialog() : ShownProbe(4, 6)
    {
        grid->SetCellText(1, 1, "old");
        grid->MoveCurrentCellTo(1, 1);
    }
    QWidget *editor() { return QApplication::focusWidget(); }
    // The masked editor opened on cell (2, 2) with the mask and text, focused; null when it did not open.
    CUGMaskedEdit *openMaskedEditor(const char *mask, const char *text)
    {
        CUGCell cell;
        grid->ReadCell(2, 2, &cell);
        cell.m_editMask = mask;
        cell.m_properties |= CellProp::EditMask;
        cell.AssignText(text);
        grid->WriteCell(2, 2, &cell);
        if (grid->BeginCellEdit(2, 2) != 0 || QApplication::focusWidget() != grid->MaskedEditWindow())
            return nullptr;
        return grid->MaskedEditWindow();
    }
    QStringList finished() const { return grid->log.filter("HookEditFinished"); }
};

} // namespace

TEST(UGEdit, EnterCommitsMovesDownAndLeavesTheDialogOpen)
{
    EditingDialog probe;
    ASSERT_EQ(probe.grid->BeginCellEdit(1, 1), 0);
    ASSERT_EQ(probe.editor(), probe.grid->EditWindow());
    QTest::keyClicks(probe.editor(), "new");
    QTest::keyClick(probe.editor(), Qt::Key_Return);
    EXPECT_TRUE(probe.dialog.isVisible());
    EXPECT_EQ(probe.dialog.result(), 0);
    QString text;
    probe.grid->GetCellTextTo(1, 1, text);
    EXPECT_EQ(text, "new");
    EXPECT_EQ(probe.finished(), (QStringList{"HookEditFinished(1,1,new,0)"}));
    // The edit moved on to the cell below.
    EXPECT_TRUE(probe.grid->IsEditing());
    EXPECT_EQ(probe.grid->EditRow(), 2);
    EXPECT_EQ(probe.grid->EditColumn(), 1);
}

TEST(UGEdit, EscCancelsAndLeavesTheDialogOpen)
{
    EditingDialog probe;
    ASSERT_EQ(probe.grid->BeginCellEdit(1, 1), 0);
    QTest::keyClicks(probe.editor(), "typed");
    QTest::keyClick(probe.editor(), Qt::Key_Escape);
    EXPECT_TRUE(probe.dialog.isVisible());
    QString text;
    probe.grid->GetCellTextTo(1, 1, text);
    EXPECT_EQ(text, "old");
    EXPECT_FALSE(probe.grid->IsEditing());
    EXPECT_EQ(probe.finished(), (QStringList{"HookEditFinished(1,1,typed,1)"}));
    EXPECT_EQ(QApplication::focusWidget(), probe.grid->GridWindow());
    EXPECT_EQ(probe.grid->GetCurrentColumn(), 1);
    EXPECT_EQ(probe.grid->GetCurrentRow(), 1);
}

TEST(UGEdit, NavigationKeysEndTheEditAndMoveOn)
{
    struct Case
    {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        int caret; // -1 leaves the whole text selected
        int col, row;
    };
    for (const Case &c :
         {Case{Qt::Key_Tab, Qt::NoModifier, -1, 2, 1}, Case{Qt::Key_Backtab, Qt::ShiftModifier, -1, 0, 1},
          Case{Qt::Key_Up, Qt::NoModifier, -1, 1, 0}, Case{Qt::Key_Down, Qt::NoModifier, -1, 1, 2},
          Case{Qt::Key_Left, Qt::NoModifier, 0, 0, 1}, Case{Qt::Key_Right, Qt::NoModifier, 3, 2, 1},
          Case{Qt::Key_Right, Qt::NoModifier, -1, 2, 1}}) {
        EditingDialog probe;
        ASSERT_EQ(probe.grid->BeginCellEdit(1, 1), 0);
        auto *edit = probe.grid->EditWindow();
        if (c.caret >= 0)
            edit->setCursorPosition(c.caret);
        QTest::keyClick(edit, c.key, c.modifiers);
        EXPECT_EQ(probe.grid->EditColumn(), c.col) << c.key;
        EXPECT_EQ(probe.grid->EditRow(), c.row) << c.key;
        EXPECT_EQ(probe.finished().size(), 1) << c.key;
        EXPECT_TRUE(probe.dialog.isVisible());
    }
}

TEST(UGEdit, LeftInsideTheTextOnlyMovesTheCaret)
{
    EditingDialog probe;
    ASSERT_EQ(probe.grid->BeginCellEdit(1, 1), 0);
    probe.grid->EditWindow()->setCursorPosition(2);
    QTest::keyClick(probe.grid->EditWindow(), Qt::Key_Left);
    EXPECT_EQ(probe.grid->EditWindow()->cursorPosition(), 1);
    EXPECT_TRUE(probe.finished().isEmpty());
}

TEST(UGEdit, FocusLossCommitsOnce)
{
    EditingDialog probe;
    ASSERT_EQ(probe.grid->BeginCellEdit(1, 1), 0);
    QTest::keyClicks(probe.editor(), "kept");
    probe.ok->setFocus();
    QCoreApplication::processEvents();
    EXPECT_EQ(probe.finished(), (QStringList{"HookEditFinished(1,1,kept,0)"}));
    EXPECT_TRUE(probe.grid->log.contains("HookFocusLost(1)"));
    QString text;
    probe.grid->GetCellTextTo(1, 1, text);
    EXPECT_EQ(text, "kept");
}

TEST(UGEdit, RefusedFinishKeepsTheEditorWithTheFocus)
{
    EditingDialog probe;
    ASSERT_EQ(probe.grid->BeginCellEdit(1, 1), 0);
    probe.grid->refuseEditFinished = true;
    QTest::keyClick(probe.editor(), Qt::Key_Return);
    EXPECT_TRUE(probe.grid->IsEditing());
    EXPECT_EQ(QApplication::focusWidget(), probe.grid->EditWindow());
    EXPECT_TRUE(probe.dialog.isVisible());
}

TEST(UGEdit, KeyHookRefusesAndSeesDeleteAs127)
{
    EditingDialog probe;
    probe.grid->refuseEditKey = "x";
    ASSERT_EQ(probe.grid->BeginCellEdit(1, 1), 0);
    auto *edit = probe.grid->EditWindow();
    edit->setCursorPosition(3);
    QTest::keyClicks(edit, "axb");
    EXPECT_EQ(edit->text(), "oldab");
    edit->setCursorPosition(0);
    QTest::keyClick(edit, Qt::Key_Delete);
    EXPECT_TRUE(probe.grid->log.contains("HookEditKey(1,1,127)"));
    EXPECT_EQ(edit->text(), "ldab");
    QTest::keyClick(edit, Qt::Key_Backspace);
    EXPECT_TRUE(probe.grid->log.contains("HookEditKey(1,1,8)"));
}

TEST(UGEdit, ReadOnlyCellOpensNoEditor)
{
    EditingDialog probe;
    CUGCell cell;
    probe.grid->ReadCell(2, 2, &cell);
    cell.m_readOnly = 1;
    cell.m_properties |= CellProp::ReadOnly;
    probe.grid->WriteCell(2, 2, &cell);
    EXPECT_EQ(probe.grid->BeginCellEdit(2, 2), 1);
}

TEST(UGMaskedEdit, TypingSkipsWrongClassesFillsLiteralsAndStopsWhenFull)
{
    EditingDialog probe;
    CUGMaskedEdit *edit = probe.openMaskedEditor("000-0000", "");
    ASSERT_NE(edit, nullptr);
    QTest::keyClicks(edit, "555a1234");
    EXPECT_EQ(edit->text(), "555-1234");
    QTest::keyClick(edit, Qt::Key_5);
    EXPECT_EQ(edit->text(), "555-1234");
}

TEST(UGMaskedEdit, EscapedMaskCharacterIsALiteral)
{
    EditingDialog probe;
    CUGMaskedEdit *edit = probe.openMaskedEditor("000-0000", "");
    ASSERT_NE(edit, nullptr);
    edit->SetMask("\\A00");
    EXPECT_EQ(edit->PositionClasses().size(), 3);
    EXPECT_EQ(edit->LiteralTemplate().size(), 3);
    EXPECT_EQ(edit->LiteralTemplate().at(0), 'A');
}

// Two literals in a row: one is typed for the user, the second position takes the key.
TEST(UGMaskedEdit, SecondLiteralInARowTakesTheKey)
{
    EditingDialog probe;
    CUGMaskedEdit *edit = probe.openMaskedEditor("000-0000", "");
    ASSERT_NE(edit, nullptr);
    edit->SetMask("0--0");
    edit->setText("");
    QTest::keyClicks(edit, "1x");
    EXPECT_EQ(edit->text(), "1-x");
}

// Digits and letters of every script.
TEST(UGMaskedEdit, ClassesAcceptDigitsAndLettersOfEveryScript)
{
    const struct
    {
        char maskChar;
        char16_t c;
        bool accepted;
    } cases[] = {
        {'0', 0x0663, true},  {'L', 0x00E9, true},  {'L', 0x4E2D, true},
        {'0', 0x00E9, false}, {'L', 0x0663, false}, {'C', 0x00E9, true},
    };
    for (const auto &c : cases)
        EXPECT_EQ(CUGMaskedEdit::ClassAccepts(QChar(c.maskChar), QChar(c.c)), c.accepted)
            << c.maskChar << " " << int(c.c);
}

TEST(UGMaskedEdit, ApplyMaskDropsWhatNoPositionTakes)
{
    EditingDialog probe;
    CUGMaskedEdit *edit = probe.openMaskedEditor("00-00", "");
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(edit->ApplyMask("1a234"), "12-34");
}

// A typed character is inserted; only a selection is replaced.
TEST(UGMaskedEdit, TypingInsertsAndReplacesOnlyTheSelection)
{
    EditingDialog probe;
    CUGMaskedEdit *edit = probe.openMaskedEditor("0000", "12");
    ASSERT_NE(edit, nullptr);
    edit->setCursorPosition(0);
    QTest::keyClick(edit, Qt::Key_9);
    EXPECT_EQ(edit->text(), "912");
    edit->setSelection(1, 1);
    QTest::keyClick(edit, Qt::Key_5);
    EXPECT_EQ(edit->text(), "952");
    // An Arabic-Indic digit is a digit.
    edit->end(false);
    QKeyEvent indic(QEvent::KeyPress, 0, Qt::NoModifier, QString(QChar(0x0663)));
    QCoreApplication::sendEvent(edit, &indic);
    EXPECT_EQ(edit->text(), QString("952") + QChar(0x0663));
}
