// The PDF test report read back with pdftotext and rendered with pdftoppm: the contents list counts only
// the tests that ran, each section shows its title, chart heading and table, the counter log keeps its
// trial bands, the port table leaves out the all-ports row, and every table stays inside its page.
#include "common/EnglishTexts.h"
#include "common/PdfReadBack.h"
#include "controls/grid/MyCug.h"
#include "controls/widgets/SkinListCtrl.h"
#include "engine/EngineHost.h"
#include "ports/ModuleInfodlg.h"
#include "ports/PortInfoConfig.h"
#include "ports/SysInfoDlg.h"
#include "reports/CounterLog.h"
#include "reports/ReportFilter.h"
#include "reports/ReportLatency.h"
#include "reports/ReportMixClass.h"
#include "reports/ReportSources.h"
#include "run/TestReportDlg.h"

#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <algorithm>
#include <map>

namespace {

// The words of one page as lines, top to bottom: a word within 6 units of a line's top joins that
// line; the words of a line go left to right.
QStringList pageLines(const PdfReadBack &read, int page)
{
    std::vector<const PdfWord *> words;
    for (const PdfWord &word : read.Words)
        if (word.Page == page)
            words.push_back(&word);
    std::stable_sort(words.begin(), words.end(),
                     [](const PdfWord *a, const PdfWord *b) { return a->Top < b->Top; });
    std::vector<std::vector<const PdfWord *>> lines;
    for (const PdfWord *word : words) {
        if (lines.empty() || word->Top - lines.back().front()->Top > 6)
            lines.emplace_back();
        lines.back().push_back(word);
    }
    QStringList texts;
    for (std::vector<const PdfWord *> &line : lines) {
        std::stable_sort(line.begin(), line.end(),
                         [](const PdfWord *a, const PdfWord *b) { return a->Left < b->Left; });
        QStringList parts;
        for (const PdfWord *word : line)
            parts << word->Text;
        texts << parts.join(u' ');
    }
    return texts;
}

// The page whose lines hold this line, or -1.
int pageOfLine(const PdfReadBack &read, const QString &line)
{
    for (int page = 0; page < read.Pages; ++page)
        if (pageLines(read, page).contains(line))
            return page;
    return -1;
}

class PdfReportTest : public testing::Test
{
protected:
    PdfReportTest()
    {
        EngineHost::instance().demoMode = [] { return true; };
        ReportSources &sources = ReportSources::instance();
        sources.runStartTime = [] { return QDateTime(QDate(2026, 12, 11), QTime(9, 8, 7)); };
        sources.moduleInfoWindow = [this](QWidget *parent) {
            if (!modules)
                modules = new CModuleInfodlg(parent);
            return modules;
        };
        sources.systemInfoPage = [this] { return &system; };
        sources.portInfoPage = [this] { return &ports; };
        system.ShowNotConnectedValues();
        fillPortGrid();
    }
    ~PdfReportTest() override
    {
        ReportSources::instance().reset();
        EngineHost::instance().reset();
    }

    // Two ports below the all-ports row.
    void fillPortGrid()
    {
        MyCug &grid = *ports.SettingsGrid;
        grid.SetColumnCount(2);
        grid.SetRowCount(3);
        grid.SetCellText(-1, -1, QStringLiteral("Port"));
        grid.SetCellText(0, -1, QStringLiteral("Speed"));
        grid.SetCellText(1, -1, QStringLiteral("Duplex"));
        const QStringList rows{"AllPorts", "(1,2,1)", "(1,2,2)"};
        for (int row = 0; row < rows.size(); ++row) {
            grid.SetCellText(-1, row, rows[row]);
            grid.SetCellText(0, row, row == 0 ? QStringLiteral("AnySpeed") : QStringLiteral("1G"));
            grid.SetCellText(1, row, QStringLiteral("Full"));
        }
    }

    // Grid rows 0 to 10 of a report header, the column titles in row 11 and `rows` result rows.
    static void fillResultGrid(ReportPage &page, const QStringList &titles, const QList<QStringList> &rows)
    {
        CUGCtrl &grid = *page.Grid;
        grid.SetColumnCount(int(titles.size()));
        grid.SetRowCount(12 + int(rows.size()));
        grid.SetCellText(0, 0, QStringLiteral("HeaderRowText"));
        for (int c = 0; c < titles.size(); ++c)
            grid.SetCellText(c, 11, titles[c]);
        for (int r = 0; r < rows.size(); ++r)
            for (int c = 0; c < rows[r].size(); ++c)
                grid.SetCellText(c, 12 + r, rows[r][c]);
    }

    // A trial band, a latency caption row and `ports` port rows.
    void fillCounterList(int ports)
    {
        CSkinListCtrl &list = *report.CounterPage->List;
        list.RemoveAllRows();
        list.InsertRow(0, QStringLiteral("Benchmark:Latency Test Trial:1  Repetition:1  Duration:10 sec."));
        list.Style(0)->HeaderRow = 1;
        list.InsertRow(1, QString());
        list.SetItemTexts(
            1, 3,
            {QStringLiteral("Max Latency"), QStringLiteral("Min Latency"), QStringLiteral("Avg Latency")});
        for (int port = 0; port < ports; ++port) {
            const int row = list.InsertRow(2 + port, QStringLiteral("(  1, 2,%1)").arg(port + 1));
            list.SetItemText(row, 6, QStringLiteral("TxCount%1").arg(port));
            list.SetItemText(row, 17, QStringLiteral("Vlan%1").arg(port));
            list.SetItemText(row, 13, QStringLiteral("NotShown"));
        }
        list.InsertRow(2 + ports, QStringLiteral("Pass"));
    }

    PdfReadBack save(const QString &name)
    {
        const QString file = dir.filePath(name);
        EXPECT_TRUE(report.CounterPage->SavePdfReport(file));
        return readPdfBack(file);
    }

    // English texts from before the pages are made, so that they carry them.
    struct Texts
    {
        Texts()
        {
            EngineHost::instance().reset();
            english.install();
        }
        EnglishTexts english;
    } texts;
    QTemporaryDir dir;
    CTestReportDlg report;
    CModuleInfodlg *modules = nullptr;
    CSysInfoDlg system;
    CPortInfoConfig ports;
};

TEST_F(PdfReportTest, ContentsCountOnlyTheTestsThatRanAndEachSectionFollows)
{
    report.Results.Ran[TestLatency] = 1;
    report.Results.Ran[TestSourceFilter] = 1;
    fillResultGrid(*report.LatencyPage, {"Frame Size", "Rx Port", "CT (Max/Min/Avg)"},
                   {{"64", "(1,2,2)", "1.00/0.50/0.75"}, {"", "(1,2,3)", "2.00/1.50/1.75"}});
    report.LatencyPage->Grid->JoinCellRange(0, 12, 0, 13);
    fillResultGrid(*report.FilterPage, {"Group Index", "Test Result"}, {});
    fillCounterList(3);

    const PdfReadBack read = save(QStringLiteral("report.pdf"));
    ASSERT_EQ(read.Pages, 7);
    const QStringList title = pageLines(read, 0);
    EXPECT_EQ(title, QStringList({"Tavrix-IGMP-TQ Test Report", "Test Content:", "1. Latency Test",
                                  "2. IGMP v3 Source Filter Test", "Test Time: 2026/12/11 - 09:08:07"}));

    const QStringList sections{"Tavrix-IGMP-TQ Latency Test Result by per Frame Size",
                               "Tavrix-IGMP-TQ IGMPv3 Source Filter Test Result",
                               "Tavrix-IGMP-TQ Counter Report",
                               "Chassis Information",
                               "System Information",
                               "Port Information"};
    for (int section = 0; section < sections.size(); ++section)
        EXPECT_EQ(pageOfLine(read, sections[section]), section + 1) << sections[section].toStdString();

    // The latency table: titles, the merged frame size once, the results; none of the report header.
    const QStringList latency = pageLines(read, 1);
    EXPECT_TRUE(latency.contains("Chart Report"));
    EXPECT_TRUE(latency.contains("Result"));
    EXPECT_TRUE(latency.contains("Frame Size Rx Port CT (Max/Min/Avg)"));
    EXPECT_TRUE(latency.contains("(1,2,2) 1.00/0.50/0.75"));
    EXPECT_TRUE(latency.contains("(1,2,3) 2.00/1.50/1.75"));
    EXPECT_EQ(read.find("HeaderRowText"), nullptr);
    const PdfWord *merged = read.find("64");
    const PdfWord *first = read.find("1.00/0.50/0.75");
    const PdfWord *second = read.find("2.00/1.50/1.75");
    ASSERT_TRUE(merged && first && second);
    EXPECT_NEAR((merged->Top + merged->Bottom) / 2, (first->Top + second->Bottom) / 2, 3)
        << "a joined block is one cell over its rows";

    // The filter grid holds no result row: its table shows its column titles only.
    const QStringList filter = pageLines(read, 2);
    EXPECT_EQ(filter.last(), "Group Index Test Result");

    const QStringList counter = pageLines(read, 3);
    EXPECT_TRUE(counter.contains("Benchmark:Latency Test Trial:1 Repetition:1 Duration:10 sec."));
    EXPECT_TRUE(counter.contains(
        "Port Alias Packet Size Frame Gap Percent(%) Rate Tx Packet Tx Byte Rx Packet Rx Byte "
        "Good Packet Unicast Packet Multicast Packet VLAN Packet"));
    EXPECT_TRUE(counter.contains("Max Latency Min Latency Avg Latency"));
    EXPECT_TRUE(counter.contains("( 1, 2,1) TxCount0 Vlan0"));
    EXPECT_TRUE(counter.contains("Pass"));
    EXPECT_EQ(read.find("NotShown"), nullptr) << "the table shows list columns 0 to 12 and 17";

    EXPECT_TRUE(pageLines(read, 4).join('\n').contains("QM-H1"));
    EXPECT_TRUE(pageLines(read, 4).join('\n').contains("Module Name"));
    EXPECT_TRUE(pageLines(read, 5).contains(system.labelText(CSysInfoDlg::Model) + u' ' +
                                            system.valueText(CSysInfoDlg::Model)));
    const QStringList portPage = pageLines(read, 6);
    EXPECT_TRUE(portPage.contains("Port Speed Duplex"));
    EXPECT_TRUE(portPage.contains("(1,2,2) 1G Full"));
    EXPECT_EQ(read.find("AllPorts"), nullptr) << "the all-ports row is left out";
    EXPECT_EQ(read.find("AnySpeed"), nullptr);

    // Every page renders, and the watermark shows below the system table.
    QProcess render;
    render.start(QStringLiteral("pdftoppm"),
                 {QStringLiteral("-r"), QStringLiteral("72"), QStringLiteral("-png"),
                  dir.filePath("report.pdf"), dir.filePath("page")});
    ASSERT_TRUE(render.waitForFinished(60000) && render.exitCode() == 0);
    for (int page = 1; page <= read.Pages; ++page)
        EXPECT_FALSE(QImage(dir.filePath(QStringLiteral("page-%1.png").arg(page))).isNull()) << page;
    const QImage systemPage(dir.filePath(QStringLiteral("page-6.png")));
    int marked = 0;
    for (int y = 300; y < systemPage.height(); ++y)
        for (int x = 0; x < systemPage.width(); ++x)
            marked += qGray(systemPage.pixel(x, y)) < 250;
    EXPECT_GT(marked, 1000);
}

TEST_F(PdfReportTest, WithNoTestRunTheTimeFollowsTheContentsHeading)
{
    const PdfReadBack read = save(QStringLiteral("empty.pdf"));
    EXPECT_EQ(read.Pages, 5) << "title, counter, chassis, system and port";
    const PdfWord *content = read.find("Content:");
    const PdfWord *time = read.find("Time:");
    ASSERT_TRUE(content && time);
    EXPECT_NEAR(time->Top - content->Top, 45, 3);
}

// Long lists and wide texts break into pages and narrow their columns: every word stays on its page
// inside the 15-unit margins.
TEST_F(PdfReportTest, LongCounterListsBreakIntoPagesAndEveryTableFitsItsPage)
{
    fillCounterList(3);
    const int shortPages = save(QStringLiteral("short.pdf")).Pages;
    fillCounterList(140);
    CSkinListCtrl &list = *report.CounterPage->List;
    list.SetItemText(5, 6,
                     QStringLiteral("AVeryLongCounterTextThatWidensItsColumnWellPastTheFiftyEightUnits"));
    report.Results.Ran[TestMixClass] = 1;
    fillResultGrid(
        *report.MixClassPage, {"Frame Size", "Resolution", "Version", "Pair", "Tx Port", "Rx Port"},
        {{"1518", "1.00", "V2", "1", "(1,2,1)", "AnExtremelyLongReceivePortDescriptionWiderThanTheColumn"}});

    const PdfReadBack read = save(QStringLiteral("long.pdf"));
    EXPECT_EQ(read.Pages, shortPages + 1 + 2) << "a Mixed Class section and two more counter pages";
    const int firstCounterPage = pageOfLine(read, "Tavrix-IGMP-TQ Counter Report");
    const PdfWord *last = read.find("TxCount139");
    ASSERT_TRUE(last);
    EXPECT_EQ(last->Page, firstCounterPage + 2);
    EXPECT_TRUE(read.find("AVeryLongCounterTextThatWidensItsColumnWellPastTheFiftyEightUnits"));
    for (const PdfWord &word : read.Words) {
        EXPECT_GE(word.Left, 14) << word.Text.toStdString();
        EXPECT_LE(word.Right, read.PageWidth - 14) << word.Text.toStdString();
        EXPECT_LE(word.Bottom, read.PageHeight) << word.Text.toStdString();
    }
}

TEST_F(PdfReportTest, AFileThatCannotBeWrittenFailsAndLeavesNothing)
{
    const QString file = dir.filePath(QStringLiteral("missing/report.pdf"));
    EXPECT_FALSE(report.CounterPage->SavePdfReport(file));
    EXPECT_FALSE(QFile::exists(file));
}

} // namespace
