// The port-settings grid: the dependent cells of a drop-list choice, the all-ports row's hand-off
// to "Select Ports to Modify", typed VLAN ids and addresses normalised through the real editor,
// which cells a double-click opens, the media code and the heading sort.
#include "ShownGrid.h"

#include "controls/grid/MyCug.h"
#include "controls/grid/UGGridInfo.h"
#include "engine/EngineUtils.h"
#include "platform/ColorRef.h"
#include "ports/DlgPortCfgSet.h"
#include "ports/PortInfoConfig.h"

#include <gtest/gtest.h>

namespace {

// The physical-settings grid of a port-information page: the all-ports row 0, a QM-M08 port in row 1
// and a QM-M05 port in row 2.
struct SettingsGrid : ShownGrid<MyCug>
{
    SettingsGrid() : ShownGrid<MyCug>(QSize(700, 260), new CPortInfoConfig)
    {
        page = qobject_cast<CPortInfoConfig *>(grid->parentWidget());
        page->AttachSettingsGrid(grid);
        grid->SetGridKind(MyCug::PhysicalSettings);
        grid->SetColumnCount(9);
        grid->SetRowCount(3);
        for (int col = 0; col < 9; ++col)
            grid->ChangeColumnWidth(col, 70);
        const QString all[9] = {"",
                                "",
                                "10M\n100M\n1G\n10G\n",
                                "Full\nHalf\n",
                                "",
                                "Auto\nForce\n",
                                "Copper\nFiber\n",
                                "Master\nSlave\n",
                                "Normal Mode\nShadow Mode\n"};
        for (int col : {2, 3, 5, 6, 7, 8}) {
            grid->MakeCellDropList(col, 0);
            grid->SetCellLabel(col, 0, all[col]);
            grid->SetCellText(col, 0, "All");
        }
        const QString model[3] = {"", "QM-M08", "QM-M05"};
        for (int row = 1; row < 3; ++row) {
            grid->SetCellText(0, row, model[row]);
            const QString texts[9] = {model[row], "",       "100M",   "Half",       "",
                                      "Auto",     "Copper", "Master", "Normal Mode"};
            for (int col : {2, 3, 5, 6, 7, 8}) {
                grid->MakeCellDropList(col, row);
                grid->SetCellLabel(col, row, all[col]);
                grid->SetCellText(col, row, texts[col]);
            }
            grid->SetCellReadOnly(7, row, 1);
        }
        page->RowFlags = {true, false};
        page->SetPortCfgSetRunner([this](CDlgPortCfgSet &dialog) {
            opened << QString("%1:%2").arg(dialog.Column).arg(dialog.Value);
            ownerSeen = dialog.Owner;
            return answer;
        });
        show();
    }
    QString state(int col, int row)
    {
        return text(col, row) + (grid->IsCellReadOnly(col, row) ? " locked" : "");
    }

    CPortInfoConfig *page = nullptr;
    QStringList opened;
    CPortInfoConfig *ownerSeen = nullptr;
    int answer = QDialog::Accepted;
};

// A test page's port grid: the row's model in column 0, VLAN in 8, addresses in 11 to 13.
struct PagePortGrid : ShownGrid<MyCug>
{
    explicit PagePortGrid(MyCug::GridKind kind, int columns = 18) : ShownGrid<MyCug>(QSize(700, 200))
    {
        grid->SetGridKind(kind);
        grid->SetColumnCount(columns);
        grid->SetRowCount(3);
        for (int col = 0; col < columns; ++col)
            grid->ChangeColumnWidth(col, 30);
        grid->SetCellText(0, 1, "QM-M05");
        show();
    }
    // Types the text into the cell through the grid's editor and ends the edit with Return.
    QString typed(int col, const QString &input)
    {
        if (grid->BeginCellEdit(col, 1) != 0)
            return "<no editor>";
        QTest::keyClicks(QApplication::focusWidget(), input);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        if (grid->IsEditing())
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        return text(col, 1);
    }
    QPoint centre(int col, int row) { return QPoint(col * 30 + 15, row * 20 + 10); }
};

} // namespace

TEST(MyCug, SpeedAndNegotiationLockDuplexAndMasterSlave)
{
    SettingsGrid s;
    struct Step
    {
        int col;
        QString value;
        QString duplex, masterSlave;
    };
    const Step steps[] = {
        {2, "1G", "Full locked", "Master locked"}, {5, "Force", "Full locked", "Master"},
        {2, "100M", "Full", "Master locked"},      {2, "1G", "Full locked", "Master"},
        {7, "Slave", "Full locked", "Slave"},      {5, "Auto", "Full locked", "Master locked"},
        {5, "Force", "Full locked", "Master"},     {2, "10G", "Full locked", "Master locked"},
    };
    for (const Step &step : steps) {
        ASSERT_TRUE(s.choose(step.col, 1, step.value)) << step.value.toStdString();
        EXPECT_EQ(s.text(step.col, 1), step.value);
        EXPECT_EQ(s.state(3, 1), step.duplex) << step.col << " " << step.value.toStdString();
        EXPECT_EQ(s.state(7, 1), step.masterSlave) << step.col << " " << step.value.toStdString();
    }
    EXPECT_TRUE(s.dialog.isVisible());
    EXPECT_TRUE(s.opened.isEmpty());
}

TEST(MyCug, FibreOnAQmM08PortRunsAt1GOnly)
{
    SettingsGrid s;
    ASSERT_TRUE(s.choose(5, 1, "Force"));
    ASSERT_TRUE(s.choose(6, 1, "Fiber"));
    EXPECT_EQ(s.text(2, 1), "1G");
    EXPECT_EQ(s.grid->GetCellLabel(2, 1), "1G\n");
    // The 1G rule holds as when 1G is chosen: duplex Full and locked, master/slave open under Force.
    EXPECT_EQ(s.state(3, 1), "Full locked");
    EXPECT_EQ(s.state(7, 1), "Master");
    ASSERT_TRUE(s.choose(6, 1, "Copper"));
    EXPECT_EQ(s.grid->GetCellLabel(2, 1), "1G\n100M\n10M\n");
    EXPECT_EQ(s.text(2, 1), "1G");

    // Another card keeps its speed.
    ASSERT_TRUE(s.choose(6, 2, "Fiber"));
    EXPECT_EQ(s.text(2, 2), "100M");
    EXPECT_EQ(s.grid->GetCellLabel(2, 2), "10M\n100M\n1G\n10G\n");
}

TEST(MyCug, AllPortsRowHandsTheChoiceToTheDialogAfterTheListCloses)
{
    for (int answer : {int(QDialog::Accepted), int(QDialog::Rejected)}) {
        SettingsGrid s;
        s.answer = answer;
        ASSERT_TRUE(s.choose(2, 0, "1G"));
        // Nothing runs inside the list's choice handler.
        EXPECT_TRUE(s.opened.isEmpty());
        QTRY_COMPARE(s.opened.size(), 1);
        EXPECT_EQ(s.opened, QStringList{"2:1G"});
        EXPECT_EQ(s.ownerSeen, s.page);
        EXPECT_EQ(s.text(2, 0), "All");
        // Only the flagged row 1 takes the value, with its dependent cells.
        const bool ok = answer == QDialog::Accepted;
        EXPECT_EQ(s.text(2, 1), ok ? "1G" : "100M");
        EXPECT_EQ(s.state(3, 1), ok ? "Full locked" : "Half");
        EXPECT_EQ(s.text(2, 2), "100M");
        EXPECT_TRUE(s.dialog.isVisible());
    }
}

TEST(MyCug, OtherColumnsOfTheAllPortsRowTakeTheChoice)
{
    SettingsGrid s;
    s.grid->MakeCellDropList(4, 0);
    s.grid->SetCellLabel(4, 0, "A\nB\n");
    ASSERT_TRUE(s.choose(4, 0, "B"));
    QCoreApplication::processEvents();
    EXPECT_EQ(s.text(4, 0), "B");
    EXPECT_TRUE(s.opened.isEmpty());
}

TEST(MyCug, EnableAndDisableColourAndLockTheNextThreeCells)
{
    struct Case
    {
        MyCug::GridKind kind;
        int col;
    };
    for (const Case &c :
         {Case{MyCug::Other, 7}, Case{MyCug::MixClassPorts, 7}, Case{MyCug::MixClassPorts, 11}}) {
        PagePortGrid p(c.kind, 22);
        p.grid->MakeCellDropList(c.col, 1);
        p.grid->SetCellLabel(c.col, 1, "Enable\nDisable\n");
        p.grid->SetCellText(c.col + 2, 1, "5");
        ASSERT_TRUE(p.choose(c.col, 1, "Disable"));
        QImage image = p.image();
        for (int col = c.col + 1; col <= c.col + 3; ++col) {
            EXPECT_EQ(p.grid->IsCellReadOnly(col, 1), 1) << col;
            EXPECT_EQ(image.pixel(p.centre(col, 1) + QPoint(10, 0)), fromColorRef(0xE6E6E6).rgb()) << col;
        }
        EXPECT_EQ(p.grid->IsCellReadOnly(c.col + 4, 1), 0);
        EXPECT_NE(p.grid->BeginCellEdit(c.col + 1, 1), 0);

        ASSERT_TRUE(p.choose(c.col, 1, "Enable"));
        image = p.image();
        for (int col = c.col + 1; col <= c.col + 3; ++col) {
            EXPECT_EQ(p.grid->IsCellReadOnly(col, 1), 0) << col;
            EXPECT_EQ(image.pixel(p.centre(col, 1) + QPoint(10, 0)), fromColorRef(0xFFFFFF).rgb()) << col;
        }
    }
    // Column 11 means nothing in the other pages' grids.
    PagePortGrid other(MyCug::Other);
    other.grid->MakeCellDropList(11, 1);
    other.grid->SetCellLabel(11, 1, "Enable\nDisable\n");
    ASSERT_TRUE(other.choose(11, 1, "Disable"));
    EXPECT_EQ(other.grid->IsCellReadOnly(12, 1), 0);
}

TEST(MyCug, TypedVlanIdsAndAddressesAreNormalised)
{
    struct Case
    {
        MyCug::GridKind kind;
        int col;
        QString typed, stored;
    };
    const Case cases[] = {
        {MyCug::Other, 8, "5000", "4095"},
        {MyCug::Other, 8, "-3", "0"},
        {MyCug::Other, 8, "12abc", "12"},
        {MyCug::Other, 11, "300.1.2.3", "44.1.2.3"},
        {MyCug::Other, 12, "-1.2.3.4", "255.2.3.4"},
        {MyCug::Other, 13, "1.2", "1.2.0.0"},
        {MyCug::Other, 13, "1.2.3.4.5", "1.2.3.4"},
        {MyCug::Other, 11, "99999999999.0.0.1", "255.0.0.1"},
        {MyCug::Other, 10, "5000", "5000"},
        {MyCug::MixClassPorts, 12, "4096", "4095"},
        {MyCug::MixClassPorts, 16, "256.257.1.1", "0.1.1.1"},
        {MyCug::MixClassPorts, 11, "300.1.2.3", "300.1.2.3"},
        {MyCug::PhysicalSettings, 8, "5000", "5000"},
    };
    for (const Case &c : cases) {
        PagePortGrid p(c.kind);
        EXPECT_EQ(p.typed(c.col, c.typed), c.stored)
            << c.kind << " " << c.col << " " << c.typed.toStdString();
    }
    // A cancelled edit keeps the old text.
    PagePortGrid p(MyCug::Other);
    p.grid->SetCellText(8, 1, "7");
    ASSERT_EQ(p.grid->BeginCellEdit(8, 1), 0);
    QTest::keyClicks(QApplication::focusWidget(), "5000");
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    EXPECT_EQ(p.text(8, 1), "7");
}

TEST(MyCug, DoubleClickOpensOnlyTheGridsTypingColumns)
{
    struct Case
    {
        MyCug::GridKind kind;
        int col, row;
        bool opens;
    };
    const Case cases[] = {
        {MyCug::Other, 8, 1, true},
        {MyCug::Other, 12, 1, true},
        {MyCug::Other, 8, 2, false},
        {MyCug::Other, 9, 1, false},
        {MyCug::Other, 15, 1, false},
        {MyCug::MixClassPorts, 12, 1, true},
        {MyCug::MixClassPorts, 17, 1, true},
        {MyCug::MixClassPorts, 11, 1, false},
        {MyCug::PhysicalSettings, 1, 2, true},
        {MyCug::PhysicalSettings, 8, 1, false},
    };
    for (const Case &c : cases) {
        PagePortGrid p(c.kind);
        QTest::mouseDClick(p.grid->GridWindow(), Qt::LeftButton, Qt::NoModifier, p.centre(c.col, c.row));
        EXPECT_EQ(p.grid->IsEditing(), c.opens) << c.kind << " " << c.col << "," << c.row;
        if (p.grid->IsEditing()) {
            EXPECT_EQ(p.grid->EditColumn(), c.col);
        }
    }
    // A locked VLAN cell opens no editor.
    PagePortGrid p(MyCug::Other);
    p.grid->SetCellReadOnly(8, 1, 1);
    QTest::mouseDClick(p.grid->GridWindow(), Qt::LeftButton, Qt::NoModifier, p.centre(8, 1));
    EXPECT_FALSE(p.grid->IsEditing());
}

TEST(MyCug, LinkModeCodeOfTheMediaColumns)
{
    for (MyCug::GridKind kind : {MyCug::Other, MyCug::MixClassPorts}) {
        PagePortGrid p(kind, 22);
        const int first = kind == MyCug::MixClassPorts ? 19 : 15;
        for (int code = 0; code <= 13; ++code) {
            QString speed, duplex, mode;
            MediaCodeToText(std::uint8_t(code), speed, duplex, mode);
            p.grid->SetCellText(first, 1, speed);
            p.grid->SetCellText(first + 1, 1, duplex);
            p.grid->SetCellText(first + 2, 1, mode);
            EXPECT_EQ(p.grid->GetLinkModeCode(1), code) << kind;
        }
        p.grid->SetCellText(first, 1, "2G");
        EXPECT_EQ(p.grid->GetLinkModeCode(1), 15);
        EXPECT_EQ(p.grid->GetLinkModeCode(2), 15);
    }
}

TEST(MyCug, SortByHeadingNumberMovesWholeRows)
{
    PagePortGrid p(MyCug::Other, 3);
    p.grid->SetRowCount(4);
    const QString headings[4] = {"3", "Chassis", "1", ""};
    for (int row = 0; row < 4; ++row) {
        p.grid->SetCellText(-1, row, headings[row]);
        p.grid->SetCellText(0, row, QString("row %1").arg(row));
    }
    // Properties only some rows have must move with them and leave nothing behind.
    p.grid->SetCellBackColor(1, 0, 0x0000FF);
    p.grid->SetCellText(2, 2, "only row 2");
    p.grid->SortRowsByHeadingNumber();
    QStringList order, firsts;
    for (int row = 0; row < 4; ++row) {
        order << p.text(-1, row);
        firsts << p.text(0, row);
    }
    EXPECT_EQ(order, (QStringList{"Chassis", "1", "3", ""}));
    EXPECT_EQ(firsts, (QStringList{"row 1", "row 2", "row 0", "row 3"}));
    EXPECT_EQ(p.text(2, 1), "only row 2");
    EXPECT_EQ(p.text(2, 0), "");
    CUGCell cell;
    ASSERT_EQ(p.grid->ReadCell(1, 2, &cell), 0);
    EXPECT_TRUE(cell.Has(CellProp::BackColor));
    EXPECT_EQ(cell.m_backColor, 0x0000FFu);
    EXPECT_NE(p.grid->ReadCell(1, 0, &cell), 0);
    // The picture shows the moved colour where the row now is: red, not blue.
    const QImage image = p.image();
    EXPECT_EQ(image.pixel(p.centre(1, 2)), fromColorRef(0x0000FF).rgb());
}

TEST(MyCug, ClearAllTextKeepsHeadingsAndOtherProperties)
{
    PagePortGrid p(MyCug::Other, 4);
    p.grid->SetCellText(-1, 1, "(1,1,1)");
    p.grid->SetCellText(1, -1, "Speed");
    p.grid->SetCellText(3, 2, "x");
    p.grid->SetCellBackColor(3, 2, 0xE6E6E6);
    p.grid->ClearAllText();
    EXPECT_EQ(p.text(0, 1), "");
    EXPECT_EQ(p.text(3, 2), "");
    EXPECT_EQ(p.text(-1, 1), "(1,1,1)");
    EXPECT_EQ(p.text(1, -1), "Speed");
    CUGCell cell;
    ASSERT_EQ(p.grid->ReadCell(3, 2, &cell), 0);
    EXPECT_EQ(cell.m_backColor, 0xE6E6E6u);
}

TEST(MyCug, SortComparisonAndDefaults)
{
    MyCug grid;
    CUGCell a, b, noText, number1, number2;
    a.AssignText("a");
    b.AssignText("b");
    noText.m_properties = 0;
    number1.SetNumber(10);
    number2.SetNumber(9);
    EXPECT_EQ(grid.CompareCellsForSort(nullptr, &a, 0), 1);
    EXPECT_EQ(grid.CompareCellsForSort(nullptr, nullptr, 0), 0);
    EXPECT_EQ(grid.CompareCellsForSort(&a, nullptr, 0), -1);
    EXPECT_EQ(grid.CompareCellsForSort(&a, &b, 0), -1);
    EXPECT_EQ(grid.CompareCellsForSort(&a, &b, 2), 1);
    EXPECT_EQ(grid.CompareCellsForSort(&noText, &a, 0), 1);
    EXPECT_EQ(grid.CompareCellsForSort(&a, &noText, 0), -1);
    EXPECT_EQ(grid.CompareCellsForSort(&noText, &noText, 0), 0);
    // Numbers by value, not by text: 10 after 9.
    EXPECT_EQ(grid.CompareCellsForSort(&number1, &number2, 0), 1);
    EXPECT_EQ(grid.GetDefaultBackColor(CUGCtrl::SectionTopHeading), 0xFFFFFFu);
    QString tip;
    EXPECT_EQ(grid.HookTipText(2, 5, CUGCtrl::SectionGrid, &tip), 1);
    EXPECT_EQ(tip, "Col:2 Row:5");
}
