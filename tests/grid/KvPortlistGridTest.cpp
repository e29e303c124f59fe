// The port-list grids: port labels split into hidden port and model columns, rows found and sorted
// by port, pairs moved between an available and a selected list.
#include "ShownGrid.h"

#include "controls/grid/KvAvlGrid.h"
#include "controls/grid/KvPortlistGrid.h"
#include "controls/grid/KvSelGrid.h"
#include "controls/grid/UGGridInfo.h"
#include "engine/EngineUtils.h"

#include <gtest/gtest.h>

namespace {

QString label(int chassis, int card, int port, std::uint8_t type = 55)
{
    UtPortKey key{{std::uint16_t(chassis), std::uint8_t(card), std::uint8_t(port)}, type};
    QString text;
    FormatPortLabel(key, text);
    return text;
}

struct PortList : ShownGrid<CKvAvlGrid>
{
    void add(const QString &text, int checked, int value)
    {
        ASSERT_EQ(grid->AddCheckRow(grid->GetRowCount(), text, checked, nullptr, value), 1);
    }
    QString name(int row)
    {
        QString text;
        grid->GetRowName(row, text);
        return text;
    }
};

} // namespace

TEST(KvPortlistGrid, SplitsALabelAtItsFirstQM)
{
    struct Case
    {
        QString text, key, model;
    };
    for (const Case &c : {Case{label(1, 2, 1), "(  1, 2,1) -", "QM-M08"}, Case{"abc", "", ""},
                          Case{"QM-M08", "", "QM-M08"}, Case{"x QM QM-M08", "x", "QM QM-M08"}}) {
        QString key = "stale", model = "stale";
        CKvPortlistGrid::SplitPortText(c.text, key, model);
        EXPECT_EQ(key, c.key) << c.text.toStdString();
        EXPECT_EQ(model, c.model) << c.text.toStdString();
    }
}

TEST(KvPortlistGrid, SetUpGivesHiddenPortAndModelColumns)
{
    PortList list;
    CUGGridInfo *sheet = list.grid->CurrentSheet();
    EXPECT_EQ(list.grid->GetColumnCount(), 3);
    EXPECT_EQ(list.grid->GetColumnWidth(1), 0);
    EXPECT_EQ(list.grid->GetColumnWidth(2), 0);
    EXPECT_EQ(sheet->m_currentCellMode, 0);
    EXPECT_EQ(sheet->m_multiSelectFlag, 0);
    EXPECT_EQ(sheet->m_highlightRow, 1);
    EXPECT_EQ(sheet->m_gridLines, 0);
    // The fit flag stays on: column 0 follows the width.
    EXPECT_EQ(list.grid->GetFirstColumnWidth(), 140);
    list.show();
    list.grid->resize(220, 200);
    EXPECT_EQ(list.grid->GetFirstColumnWidth(), 219);

    ShownGrid<CKvSelGrid> selected;
    EXPECT_EQ(selected.grid->GetColumnCount(), 4);
    EXPECT_EQ(selected.grid->SpeedColumn(), 1);
    EXPECT_EQ(selected.grid->KeyColumn(), 2);
    EXPECT_EQ(selected.grid->ModelColumn(), 3);
    EXPECT_EQ(selected.grid->GetColumnWidth(1), 60);
    EXPECT_EQ(selected.grid->GetColumnWidth(2), 0);
}

TEST(KvPortlistGrid, RowsKeepThePortAndModelParts)
{
    PortList list;
    list.add(label(1, 2, 1), 0, 4096);
    list.add("abc", 1, 5);
    EXPECT_EQ(list.text(1, 0), "(  1, 2,1) -");
    EXPECT_EQ(list.text(2, 0), "QM-M08");
    EXPECT_EQ(list.text(1, 1), "");
    EXPECT_EQ(list.text(2, 1), "");
    EXPECT_EQ(list.name(0), label(1, 2, 1));
    EXPECT_EQ(list.grid->GetRowValue(0), 4096);
    QString untouched = "kept";
    EXPECT_EQ(list.grid->GetRowName(7, untouched), 0);
    EXPECT_EQ(untouched, "kept");
}

TEST(KvPortlistGrid, FindRowByKeyMatchesThePortWhateverTheModel)
{
    PortList list;
    list.add(label(1, 2, 1), 0, 1);
    list.add(label(1, 2, 2), 0, 2);
    list.add("abc", 0, 3);
    EXPECT_EQ(list.grid->FindRowByKey(label(1, 2, 2, 52)), 1);
    EXPECT_EQ(list.grid->FindRowByKey(label(1, 2, 1)), 0);
    EXPECT_EQ(list.grid->FindRowByKey(label(3, 2, 1)), -1);
    EXPECT_EQ(list.grid->FindRowByKey("abc"), -1);
    EXPECT_EQ(list.grid->FindRowByKey("QM-M08"), -1);
    // Only whole texts match: a shorter port text is not a prefix match.
    EXPECT_EQ(list.grid->FindRowByKey("(  1, 2,1) QM-M08"), -1);
}

TEST(KvPortlistGrid, SortByPortMovesWholeRows)
{
    PortList list;
    list.add(label(2, 1, 1), 1, 21);
    list.add(label(1, 3, 2), 0, 132);
    list.add(label(1, 2, 1), 1, 121);
    list.grid->SortByHiddenColumn();
    EXPECT_EQ(list.name(0), label(1, 2, 1));
    EXPECT_EQ(list.name(1), label(1, 3, 2));
    EXPECT_EQ(list.name(2), label(2, 1, 1));
    EXPECT_EQ(list.grid->GetRowValue(0), 121);
    EXPECT_EQ(list.grid->GetRowValue(1), 132);
    EXPECT_EQ(list.grid->GetRowValue(2), 21);
    EXPECT_EQ(list.grid->IsRowChecked(0), 1);
    EXPECT_EQ(list.grid->IsRowChecked(1), 0);
    EXPECT_EQ(list.grid->IsRowChecked(2), 1);
    EXPECT_EQ(list.text(2, 2), "QM-M08");
    EXPECT_EQ(list.grid->FindRowByKey(label(2, 1, 1)), 2);
    // Appending after the sort still works.
    list.add(label(1, 1, 1), 0, 111);
    EXPECT_EQ(list.grid->GetRowCount(), 4);
    EXPECT_EQ(list.grid->FindRowByKey(label(1, 1, 1)), 3);
}

TEST(KvPortlistGrid, AFullChassisSetMovesBetweenLists)
{
    PortList available;
    ShownGrid<CKvSelGrid> selected;
    // 640 ports added in reverse order, then sorted by port.
    for (int i = 639; i >= 0; --i)
        available.add(label(1 + i / 64, 1 + (i / 4) % 16, 1 + i % 4), 0, i);
    available.grid->SortByHiddenColumn();
    ASSERT_EQ(available.grid->GetRowCount(), 640);
    EXPECT_EQ(available.grid->GetRowValue(0), 0);
    EXPECT_EQ(available.grid->GetRowValue(639), 639);

    // Move every checked row to the selected list, as the pair editor does.
    for (int row = 0; row < 640; row += 2)
        available.grid->SetRowChecked(row, 1);
    for (int row = available.grid->GetRowCount() - 1; row >= 0; --row) {
        if (!available.grid->IsRowChecked(row))
            continue;
        QString text;
        ASSERT_EQ(available.grid->GetRowName(row, text), 1);
        const int value = available.grid->GetRowValue(row);
        ASSERT_EQ(selected.grid->AddCheckRow(selected.grid->GetRowCount(), text, 0, nullptr, value), 1);
        ASSERT_EQ(available.grid->RemoveRow(available.grid->FindRowByKey(text), 0), 1);
    }
    selected.grid->SortByHiddenColumn();
    EXPECT_EQ(available.grid->GetRowCount(), 320);
    EXPECT_EQ(selected.grid->GetRowCount(), 320);
    EXPECT_EQ(selected.grid->GetRowValue(0), 0);
    EXPECT_EQ(selected.grid->GetRowValue(319), 638);
    EXPECT_EQ(available.grid->GetRowValue(0), 1);
    EXPECT_EQ(selected.grid->FindRowByKey(label(10, 16, 3)), 319);
}

TEST(KvSelGrid, SpeedChoicesByPortType)
{
    struct Case
    {
        int code;
        QString choices;
    };
    for (const Case &c : {Case{1, "1G\n 100M\n  10M\n"}, Case{2, "1G\n"}, Case{4, "10G\n"},
                          Case{0, "100M\n 10M\n"}, Case{3, "100M\n 10M\n"}, Case{-7, "100M\n 10M\n"}})
        EXPECT_EQ(CKvSelGrid::SpeedChoices(c.code), c.choices) << c.code;
}

TEST(KvSelGrid, SpeedCellIsADropListWhoseChoiceIsStored)
{
    ShownGrid<CKvSelGrid> selected;
    selected.grid->SetTag(0);
    selected.show();
    ASSERT_EQ(selected.grid->AddCheckRow(0, label(1, 1, 1), 0, nullptr, 1), 1);
    ASSERT_EQ(selected.grid->AddCheckRow(1, label(1, 1, 2), 0, nullptr, 2), 1);
    EXPECT_EQ(selected.text(2, 1), "(  1, 1,2) -");

    ASSERT_EQ(selected.grid->SetRowSpeedChoices(0, 3, ""), 1);
    CUGCell cell;
    ASSERT_EQ(selected.grid->ReadCell(1, 0, &cell), 0);
    EXPECT_EQ(cell.m_cellTypeIndex, CUGCtrl::CellTypeDropList);
    EXPECT_EQ(cell.m_label, "100M\n 10M\n");
    EXPECT_FALSE(cell.Has(CellProp::Text));
    QString speed = "none";
    EXPECT_EQ(selected.grid->GetRowSpeed(0, speed), 0);
    EXPECT_EQ(speed, "none");

    ASSERT_EQ(selected.grid->SetRowSpeedChoices(1, 1, "1G"), 1);
    EXPECT_EQ(selected.grid->GetRowSpeed(1, speed), 1);
    EXPECT_EQ(speed, "1G");
    ASSERT_TRUE(selected.choose(1, 1, "  10M"));
    EXPECT_TRUE(selected.dialog.isVisible());
    EXPECT_EQ(selected.grid->GetRowSpeed(1, speed), 1);
    EXPECT_EQ(speed, "  10M");
}

TEST(KvPortlistGrid, ColumnZeroFitsBesideTheVerticalScrollBar)
{
    PortList list;
    list.show();
    for (int i = 0; i < 40; ++i)
        list.add(label(1, 1 + i / 4, 1 + i % 4), 0, i);
    list.grid->resize(300, 200);
    QCoreApplication::processEvents();
    const CUGGridInfo *sheet = list.grid->CurrentSheet();
    EXPECT_EQ(sheet->m_vScrollRect.width(), kScrollBarSize);
    EXPECT_EQ(list.grid->GetFirstColumnWidth(), 300 - kScrollBarSize - 1);
    // No horizontal scroll bar takes room.
    EXPECT_EQ(sheet->m_hScrollRect.height(), 0);
}
