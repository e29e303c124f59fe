// The spreadsheet report written from a report window whose pages and counter list the tests fill,
// read back with python3-xlrd: sheets and their order, the summary's layout, the benchmark sheets'
// merges and formats, the counter cells by their text, the split of long counter reports.
#include "ReportReadBack.h"
#include "common/EnglishTexts.h"
#include "controls/grid/MyCug.h"
#include "controls/widgets/SkinListCtrl.h"
#include "engine/EngineHost.h"
#include "engine/Session.h"
#include "ports/ModuleInfodlg.h"
#include "ports/PortInfoConfig.h"
#include "ports/SysInfoDlg.h"
#include "reports/CounterLog.h"
#include "reports/ReportLatency.h"
#include "reports/ReportMixClass.h"
#include "reports/ReportSources.h"
#include "run/TestReportDlg.h"

#include <QFile>
#include <QSet>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class ExcelReportTest : public testing::Test
{
protected:
    ExcelReportTest() { english.install(); }
    ~ExcelReportTest() override
    {
        EngineHost::instance().reset();
        ReportSources::instance().reset();
    }

    // The page's report header, then the table rows from row 11 on; each join is {column, first row,
    // last column, last row}.
    static void fillGrid(ReportPage *page, const std::vector<QStringList> &table,
                         const std::vector<std::array<int, 4>> &joins)
    {
        page->FillReportGrid();
        page->Grid->SetRowCount(ReportPage::kColumnTitleRow + int(table.size()));
        for (std::size_t r = 0; r < table.size(); ++r) {
            for (int c = 0; c < table[r].size(); ++c)
                page->SetCell(ReportPage::kColumnTitleRow + int(r), c, table[r][c]);
        }
        for (const auto &[column, row, lastColumn, lastRow] : joins)
            page->Grid->JoinCellRange(column, row, lastColumn, lastRow);
    }
    // Appends a counter row with the texts from column 0 on and the highlighted-column mask.
    void addCounterRow(const QStringList &texts, std::uint32_t highlight = 0)
    {
        CSkinListCtrl &list = *report.CounterPage->List;
        const int row = list.InsertRow(list.GetItemCount(), QString());
        list.SetItemTexts(row, 0, texts);
        list.Style(row)->HighlightMask = highlight;
    }
    QJsonObject saveAndRead(const QString &rows = QString())
    {
        EXPECT_TRUE(report.CounterPage->SaveExcelReport(path));
        return readReportBack(path, rows);
    }

    EnglishTexts english;
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("report.xls"));
    CTestReportDlg report;
};

const QStringList kMixTable[] = {
    {"Frame Size", "Resolution", "IGMP Version", "Test Pair", "Tx Port", "Group Address", "Last Pass Rate"},
    {"64", "1.00", "V2", "1", "(  1, 2,1)", "239.1.1.1", "55.00"},
    {"", "", "", "2", "(  1, 2,3)", "239.1.2.1", ""},
    {"", "2.00", "", "3", "(  1, 2,5)", "239.1.3.1", ""},
};

} // namespace

TEST_F(ExcelReportTest, SummaryAndBenchmarkSheetsFollowTheTestsThatRan)
{
    report.CounterPage->ResetCounterLog();
    // Mixed Class: the frame size joined over three rows, the resolution over two.
    fillGrid(report.MixClassPage, {std::begin(kMixTable), std::end(kMixTable)},
             {{0, 12, 0, 14}, {1, 12, 1, 13}, {6, 12, 6, 14}});
    fillGrid(report.LatencyPage, {{"Frame Size", "Rate"}, {"128", "10.00"}}, {});
    report.Results.Ran = {1, 0, 0, 1, 1, 1, 0};

    const QJsonObject read = saveAndRead();
    const QJsonArray sheets = read["sheets"].toArray();
    QStringList names;
    for (const QJsonValue &sheet : sheets)
        names << sheet["name"].toString();
    EXPECT_EQ(names, (QStringList{"Chassis Information", "System Information", "Port Information",
                                  "Test Summary", "Mixed Class Throughput", "Latency", "Counter Report P1"}));
    ASSERT_EQ(sheets.size(), 7);
    const QJsonArray formats = read["formats"].toArray();
    auto formatOf = [&](const QJsonArray &cell) { return formats[cell[4].toInt()].toObject(); };

    const QJsonObject summary = sheets[3].toObject();
    const QJsonArray title = xlsCell(summary, 0, 0);
    EXPECT_EQ(title[3].toString(), "Tavrix-IGMP-TQ Summary Test Result");
    EXPECT_EQ(formatOf(title)["fillColour"].toInt(), 40);
    EXPECT_EQ(formatOf(title)["alignV"].toInt(), 1);
    // Mixed Class: chart at row 2, the title block at 19 to 21, the table from 22 to 25; Latency after
    // one empty row: chart at 27, title block at 44 to 46, table at 47 and 48.
    EXPECT_EQ(summary["pictures"].toArray(), QJsonArray({QJsonArray{2, 0}, QJsonArray{27, 0}}));
    EXPECT_EQ(xlsCell(summary, 19, 0).at(3).toString(), QString(99, u'='));
    EXPECT_EQ(xlsCell(summary, 20, 0).at(3).toString(),
              "Tavrix-IGMP-TQ Mixed Class Mode Test By Frame Size Summary");
    EXPECT_EQ(xlsCell(summary, 21, 0).at(3).toString(), QString(198, u'-'));
    EXPECT_EQ(xlsCell(summary, 22, 6).at(3).toString(), "Last Pass Rate");
    EXPECT_EQ(xlsCell(summary, 23, 0).at(3).toString(), "64");
    EXPECT_EQ(formatOf(xlsCell(summary, 23, 0))["alignH"].toInt(), 2);
    EXPECT_EQ(formatOf(xlsCell(summary, 23, 0))["alignV"].toInt(), 4);
    EXPECT_TRUE(xlsCell(summary, 24, 0).isEmpty()) << "later rows of a block are not written";
    EXPECT_EQ(xlsCell(summary, 25, 1).at(3).toString(), "2.00");
    EXPECT_EQ(xlsCell(summary, 45, 0).at(3).toString(),
              "Tavrix-IGMP-TQ Latency Mode Test By Frame Size Summary");
    EXPECT_EQ(xlsCell(summary, 48, 0).at(3).toString(), "128");
    EXPECT_EQ(summary["rows"].toInt(), 49);
    // Each range once: the title row, the two section titles, the blocks column by column.
    EXPECT_EQ(summary["merged"].toArray(),
              QJsonArray({QJsonArray{0, 1, 0, 10}, QJsonArray{20, 21, 0, 10}, QJsonArray{23, 25, 1, 2},
                          QJsonArray{23, 26, 0, 1}, QJsonArray{23, 26, 6, 7}, QJsonArray{45, 46, 0, 10}}));

    // The benchmark sheet: the whole grid in place, blocks merged once, the chart below the grid.
    const QJsonObject mixed = sheets[4].toObject();
    const int gridRows = report.MixClassPage->Grid->GetRowCount();
    EXPECT_EQ(mixed["pictures"].toArray(), QJsonArray({QJsonArray{gridRows + 1, 0}}));
    const QJsonArray merged = mixed["merged"].toArray();
    for (const QJsonArray &range :
         {QJsonArray{0, 1, 0, 7}, QJsonArray{12, 15, 0, 1}, QJsonArray{12, 14, 1, 2}})
        EXPECT_TRUE(merged.contains(range)) << QJsonDocument(range).toJson().toStdString();
    QSet<QByteArray> distinct;
    for (const QJsonValue range : merged)
        distinct.insert(QJsonDocument(range.toArray()).toJson(QJsonDocument::Compact));
    EXPECT_EQ(distinct.size(), merged.size()) << "every range once";
    EXPECT_EQ(xlsCell(mixed, 2, 0).at(3).toString(), "Tester Name:");
    EXPECT_EQ(formatOf(xlsCell(mixed, 2, 0))["alignH"].toInt(), 3) << "header labels to the right";
    EXPECT_EQ(formatOf(xlsCell(mixed, 8, 0))["alignH"].toInt(), 0) << "the rule lines as they are";
    EXPECT_EQ(xlsCell(mixed, 13, 3).at(3).toString(), "2");
    EXPECT_EQ(formatOf(xlsCell(mixed, 13, 3))["alignH"].toInt(), 2);
    EXPECT_EQ(mixed["columnWidths"].toObject().size(), 10);
    const QJsonObject latency = sheets[5].toObject();
    EXPECT_EQ(latency["pictures"].toArray(), QJsonArray({QJsonArray{ReportPage::kColumnTitleRow + 3, 0}}));
    EXPECT_GT(latency["columnWidths"].toObject()["7"].toInt(),
              latency["columnWidths"].toObject()["6"].toInt());
}

TEST_F(ExcelReportTest, CapacityAndJoinLeaveAloneLeaveTheSummaryTitleOnly)
{
    report.Results.Ran = {0, 0, 0, 0, 1, 1, 0};
    const QJsonArray sheets = saveAndRead()["sheets"].toArray();
    ASSERT_EQ(sheets.size(), 5);
    const QJsonObject summary = sheets[3].toObject();
    EXPECT_EQ(summary["name"].toString(), "Test Summary");
    EXPECT_EQ(summary["cells"].toArray().size(), 1);
    EXPECT_TRUE(summary["pictures"].toArray().isEmpty());
    EXPECT_EQ(sheets[4].toObject()["name"].toString(), "Counter Report P1");
}

TEST_F(ExcelReportTest, CounterCellsAreWrittenByWhatTheirTextSays)
{
    report.CounterPage->ResetCounterLog();
    CSkinListCtrl &list = *report.CounterPage->List;
    list.RemoveAllRows();
    addCounterRow({"Benchmark:Mixed Class Throughput  Trial:1", "42", "43"});
    addCounterRow({"Test Pair - 1"});
    addCounterRow({"(  1, 2,1)", "Source Port", "64", "96", "55.00", "81521", "123 ", "1,000", "abc", "1e3"});
    addCounterRow({"(  1, 2,2)", "Host Port", "Host Port n/a", "", "", "", "7 "});
    addCounterRow({"(  1, 2,3)", "", "n/a", "Max Latency", "Min Latency", "Avg Latency"},
                  CCounterLog::kLatencyCells);
    addCounterRow({"(  1, 2,4)", "", "n/a", "12.50 ", "", "x"}, CCounterLog::kLatencyCells);
    addCounterRow({"Pass", "", "Failed"});
    addCounterRow({"Group - 239.1.1.1", "1"});
    addCounterRow({});
    // The last block starts at row 2, so rows up to 52 go out and no further.
    report.CounterPage->FirstRow = 2;
    while (list.GetItemCount() < 60)
        addCounterRow({"", "", "9"});

    const QJsonObject read = saveAndRead();
    const QJsonObject sheet = read["sheets"].toArray()[4].toObject();
    ASSERT_EQ(sheet["name"].toString(), "Counter Report P1");
    const QJsonArray formats = read["formats"].toArray();
    struct Expected
    {
        int row, column;
        const char *kind;
        QVariant value;
        int alignH, fillColour;
        const char *numFormat;
    };
    const Expected cases[] = {
        {1, 0, "text", "Benchmark:Mixed Class Throughput  Trial:1", 0, 64, "General"},
        {2, 0, "text", "Test Pair - 1", 3, 64, "General"},
        {3, 0, "text", "(  1, 2,1)", 0, 64, "General"},
        {3, 1, "text", "Source Port", 3, 64, "General"},
        {3, 2, "number", 64.0, 0, 64, "#,##0.00"},
        {3, 6, "number", 123.0, 0, 64, "#,##0.00"},
        {3, 7, "text", "1,000", 0, 64, "#,##0.00"},
        {3, 8, "text", "abc", 0, 64, "#,##0.00"},
        {3, 9, "number", 1000.0, 0, 64, "#,##0.00"},
        {4, 1, "text", "Host Port", 3, 64, "General"},
        {4, 2, "text", "n/a", 3, 64, "General"},
        {4, 6, "number", 7.0, 0, 64, "#,##0.00"},
        {5, 2, "text", "n/a", 3, 64, "General"},
        {5, 3, "text", "Max Latency", 2, 40, "General"},
        {6, 3, "number", 12.5, 2, 40, "#,##0.00"},
        {6, 4, "text", "", 2, 40, "#,##0.00"},
        {6, 5, "text", "x", 2, 40, "#,##0.00"},
        {7, 0, "text", "Pass", 0, 64, "General"},
        {7, 2, "text", "Failed", 0, 64, "General"},
        {8, 0, "text", "Group - 239.1.1.1", 0, 64, "General"},
        {52, 2, "number", 9.0, 0, 64, "#,##0.00"},
    };
    for (const Expected &c : cases) {
        SCOPED_TRACE(testing::Message() << "row " << c.row << " column " << c.column);
        const QJsonArray cell = xlsCell(sheet, c.row, c.column);
        ASSERT_FALSE(cell.isEmpty());
        EXPECT_EQ(cell[2].toString(), c.kind);
        EXPECT_EQ(cell[3].toVariant(), c.value);
        const QJsonObject format = formats[cell[4].toInt()].toObject();
        EXPECT_EQ(format["alignH"].toInt(), c.alignH);
        EXPECT_EQ(format["fillColour"].toInt() == 40 ? 40 : 64, c.fillColour);
        EXPECT_EQ(format["numFormat"].toString(), c.numFormat);
    }
    // The rest of a header or group row is left out; empty rows stay empty; nothing after row 52.
    for (const auto &[row, column] : {std::pair{1, 1}, {8, 1}, {9, 0}, {9, 2}, {53, 2}})
        EXPECT_TRUE(xlsCell(sheet, row, column).isEmpty()) << row << "," << column;
    EXPECT_EQ(sheet["rows"].toInt(), 53);
    // The title row: the list's captions, bold on periwinkle.
    const QJsonArray caption = xlsCell(sheet, 0, 25);
    EXPECT_EQ(caption[3].toString(), list.GetColumnCaption(25));
    EXPECT_TRUE(formats[caption[4].toInt()].toObject()["bold"].toBool());
    EXPECT_EQ(formats[caption[4].toInt()].toObject()["fillColour"].toInt(), 24);
    EXPECT_LT(sheet["columnWidths"].toObject()["0"].toInt(), sheet["columnWidths"].toObject()["1"].toInt());
}

TEST_F(ExcelReportTest, LongCounterReportsContinueOnTheNextSheetPastSevenMegabytes)
{
    // 65,535 rows fill the first sheet; the next two go to the second under the captions again.
    constexpr int kRows = 65'537;
    report.CounterPage->ResetCounterLog();
    CSkinListCtrl &list = *report.CounterPage->List;
    list.RemoveAllRows();
    QStringList texts{QString(), QStringLiteral("Host Port")};
    for (int column = 2; column < CCounterLog::kColumnCount; ++column)
        texts << QStringLiteral("%1 ").arg(1000 + column);
    for (int row = 0; row < kRows; ++row) {
        texts[0] = QStringLiteral("(%1, 2,1)").arg(row);
        addCounterRow(texts);
    }
    report.CounterPage->FirstRow = kRows;

    const QJsonArray sheets = saveAndRead(QStringLiteral("0-2,65534-65535"))["sheets"].toArray();
    EXPECT_GT(QFile(path).size(), 7'000'000);
    ASSERT_EQ(sheets.size(), 6);
    const QJsonObject first = sheets[4].toObject();
    const QJsonObject second = sheets[5].toObject();
    EXPECT_EQ(first["name"].toString(), "Counter Report P1");
    EXPECT_EQ(second["name"].toString(), "Counter Report P2");
    EXPECT_EQ(first["rows"].toInt(), 65'536);
    EXPECT_EQ(xlsCell(first, 65'535, 0).at(3).toString(), "(65534, 2,1)");
    EXPECT_EQ(xlsCell(first, 65'535, 25).at(3).toDouble(), 1025);
    EXPECT_EQ(second["rows"].toInt(), 3);
    EXPECT_EQ(xlsCell(second, 0, 0).at(3).toString(), xlsCell(first, 0, 0).at(3).toString());
    EXPECT_EQ(xlsCell(second, 1, 0).at(3).toString(), "(65535, 2,1)");
    EXPECT_EQ(xlsCell(second, 2, 0).at(3).toString(), "(65536, 2,1)");
}

TEST_F(ExcelReportTest, InformationSheetsCopyTheModuleSystemAndPortWindows)
{
    EngineHost::instance().demoMode = [] { return true; };
    ReportSources &sources = ReportSources::instance();
    CModuleInfodlg modules;
    sources.moduleInfoWindow = [&](QWidget *) { return &modules; };
    CSysInfoDlg system;
    system.ShowNotConnectedValues();
    sources.systemInfoPage = [&] { return &system; };
    CPortInfoConfig ports;
    auto *grid = new MyCug(&ports);
    grid->SetColumnCount(2);
    grid->SetRowCount(3);
    grid->SetSideHeadingColumnWidth(0, 20);
    for (int c = -1; c < 2; ++c) {
        for (int r = -1; r < 3; ++r)
            grid->SetCellText(c, r, QStringLiteral("%1/%2").arg(c).arg(r));
    }
    ports.SettingsGrid = grid;
    sources.portInfoPage = [&] { return &ports; };

    const QJsonObject read = saveAndRead();
    const QJsonArray sheets = read["sheets"].toArray();
    const QJsonArray formats = read["formats"].toArray();
    auto bold = [&](const QJsonArray &cell) { return formats[cell[4].toInt()].toObject()["bold"].toBool(); };

    const QJsonObject chassis = sheets[0].toObject();
    CUGCtrl &moduleGrid = *modules.Grid();
    ASSERT_GT(moduleGrid.GetRowCount(), 0) << "filled in demo mode";
    for (int c = -1; c < moduleGrid.GetColumnCount(); ++c) {
        for (int r = -1; r < moduleGrid.GetRowCount(); ++r) {
            QString text;
            moduleGrid.GetCellTextTo(c, r, text);
            const QJsonArray cell = xlsCell(chassis, r + 1, c + 1);
            EXPECT_EQ(cell[3].toString(), text) << c << "," << r;
            EXPECT_EQ(bold(cell), r == -1);
        }
    }
    EXPECT_EQ(chassis["rowHeights"].toObject()["0"].toInt(), 300);

    const QJsonObject info = sheets[1].toObject();
    for (int k = 0; k < CSysInfoDlg::FieldCount; ++k) {
        EXPECT_EQ(xlsCell(info, k, 0).at(3).toString(), system.labelText(k));
        EXPECT_TRUE(bold(xlsCell(info, k, 0)));
        EXPECT_EQ(xlsCell(info, k, 1).at(3).toString(), system.valueText(k));
    }
    EXPECT_EQ(xlsCell(info, 0, 0).at(3).toString(), "Model:");

    // The settings grid without its all-ports row 0: port row r on sheet row r, headings bold.
    const QJsonObject port = sheets[2].toObject();
    EXPECT_EQ(xlsCell(port, 0, 0).at(3).toString(), "-1/-1");
    EXPECT_EQ(xlsCell(port, 0, 2).at(3).toString(), "1/-1");
    EXPECT_EQ(xlsCell(port, 1, 0).at(3).toString(), "-1/1");
    EXPECT_TRUE(bold(xlsCell(port, 1, 0)));
    EXPECT_EQ(xlsCell(port, 2, 1).at(3).toString(), "0/2");
    EXPECT_FALSE(bold(xlsCell(port, 2, 1)));
    EXPECT_EQ(port["rows"].toInt(), 3);
    for (const QJsonValue cell : port["cells"].toArray())
        EXPECT_FALSE(cell.toArray().at(3).toString().endsWith("/0")) << "row 0 left out";
}

TEST_F(ExcelReportTest, AFileThatCannotBeWrittenFails)
{
    EXPECT_FALSE(report.CounterPage->SaveExcelReport(dir.filePath(QStringLiteral("missing/report.xls"))));
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("missing/report.xls"))));
}
