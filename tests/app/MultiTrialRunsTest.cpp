// Runs of the rate tests from their pages with three trials and two pairs at once, against the chassis
// simulator in simulated time: what the result grid, the counter page, the chart, the spreadsheet and
// the PDF report show is the same figure, and it is what the simulated device is configured to do.
#include "MainWindowSimulator.h"
#include "MainWindowTest.h"
#include "app/KvIGMPTQApp.h"
#include "app/LangMag.h"
#include "app/LogDlg.h"
#include "app/MainFormView.h"
#include "app/MainFrame.h"
#include "common/PdfReadBack.h"
#include "common/XlsReadBack.h"
#include "controls/grid/UGCtrl.h"
#include "controls/widgets/NumEdit.h"
#include "engine/EngineUtils.h"
#include "kvserver/KvServer.h"
#include "platform/ScriptedPrompter.h"
#include "platform/chart/ChartViewer.h"
#include "reports/CounterLog.h"
#include "reports/ReportAggregate.h"
#include "reports/ReportLatency.h"
#include "reports/ReportMixClass.h"
#include "reports/ReportScale.h"
#include "run/TestReportDlg.h"
#include "testpages/DlgAggregate.h"
#include "testpages/DlgLatency.h"
#include "testpages/DlgMixClass.h"
#include "testpages/DlgScale.h"

#include <QCheckBox>
#include <QJsonArray>
#include <QJsonObject>
#include <QRegularExpression>
#include <array>
#include <gtest/gtest.h>
#include <map>
#include <ostream>

namespace {

constexpr int kHostsPerPair = 2;
constexpr int kTrials = 3;
// Microseconds through the simulated device: its own latency, and what full load adds.
constexpr double kDeviceUs = 3.0;
constexpr double kQueueingUs = 4.0;

// The main view in hardware mode against the simulator: pair 1 sends from (2,1) to (2,2) and (2,3),
// pair 2 from (3,1) to (3,2) and (3,3); every rate page runs both pairs with 1-second trials, three
// of them. The device forwards 64-byte multicast at most at smallFramePercent of line rate.
class MultiTrialRuns : public MainWindowTest
{
protected:
    MultiTrialRuns() : MainWindowTest({.shown = false}) {}

    void start(unsigned smallFramePercent)
    {
        SimConfig config;
        config.device.smallFrameForwardingPercent = smallFramePercent;
        config.device.baseLatency = std::int64_t(kDeviceUs * 1e6);
        config.device.queueingLatency = std::int64_t(kQueueingUs * 1e6);
        ASSERT_NO_FATAL_FAILURE(simulator.start(config, app->TestPlan));
        for (const std::uint8_t index : {4, 5, 6}) {
            UtPortRecord &record = g_Session.Ports[index];
            (index == 4 ? record.SourcePair : record.HostPair) = 2;
            // Pair 2's streams and counter items follow pair 1's.
            record.StreamNumber = index == 4 ? 102 : 103;
            record.StreamItemA = 2;
            record.StreamItemB = 3;
        }
        std::vector<UtTestPair> &pairs = app->TestPlan.TestPairs;
        pairs.resize(std::max<std::size_t>(pairs.size(), 2));
        pairs[1] = pairOf({.id = 2, .hosts = kHostsPerPair, .source = {1, 3, 1}, .group = {239, 1, 2, 1}});
        for (CRateTestPage *page : std::initializer_list<CRateTestPage *>{
                 view->MixClassPage, view->AggregatePage, view->ScalePage, view->LatencyPage}) {
            page->PairChecked[1] = 1;
            page->PairChecked[2] = 1;
            set(page->DurationField, "1");
            set(page->TrialsField, "3");
            set(page->DelayAfterJoinField, "1");
            set(page->FrameStartField, "64");
            set(page->FrameStopField, "64");
        }
    }

    void TearDown() override { simulator.stop(frame); }

    static void set(const CRateTestPage::NumberField &field, const char *text) { field.edit->setText(text); }

    void run(int test)
    {
        view->TestSelected[test] = 1;
        view->OnRunTest();
        ASSERT_EQ(prompter.messages(), QStringList{"Test Finished!"}) << logText();
        ASSERT_EQ(report().Results.Ran[std::size_t(test)], 1);
    }

    std::string logText() const { return view->LogDlg->text().toStdString(); }
    CTestReportDlg &report() const { return *view->ReportDlg; }
    const CIGMPTestPlan &plan() const { return app->TestPlan; }

    // The last bars of the chart are in view after the run: the view followed the steps.
    static void expectLastStepInView(const ReportPage &page)
    {
        const double bars = page.BarCount;
        const auto left = std::int64_t(page.Viewer->getViewPortLeft() * bars + 0.5);
        const auto right = left + std::int64_t(page.Viewer->getViewPortWidth() * bars + 0.5);
        EXPECT_GT(page.BarCount, ReportPage::kMaxBarsInView) << "a run wider than the view";
        EXPECT_LE(left, page.BarCount - std::int64_t(page.ReceiverTotal));
        EXPECT_GE(right, page.BarCount);
    }

    // The report files of the run, read back: the benchmark's sheet of the spreadsheet and every word
    // of the PDF file.
    QJsonObject savedSheet(const char *sheetKey)
    {
        const QString path = folder.path() + QStringLiteral("report.xls");
        EXPECT_TRUE(report().CounterPage->SaveExcelReport(path));
        const QString name = g_LangMag.GetString(QString::fromLatin1(sheetKey));
        for (const QJsonValue sheet : readXlsBack(path)[QStringLiteral("sheets")].toArray()) {
            if (sheet.toObject()[QStringLiteral("name")].toString() == name)
                return sheet.toObject();
        }
        ADD_FAILURE() << "no sheet " << name.toStdString();
        return {};
    }
    QStringList savedPdfWords()
    {
        const QString path = folder.path() + QStringLiteral("report.pdf");
        EXPECT_TRUE(report().CounterPage->SavePdfReport(path));
        QStringList words;
        for (const PdfWord &word : readPdfBack(path).Words)
            words << word.Text;
        return words;
    }

    // Every cell of the result grid's table is in the spreadsheet's sheet, in its place.
    static void expectSheetCopiesTheGrid(const ReportPage &page, const QJsonObject &sheet)
    {
        for (int row = ReportPage::kColumnTitleRow; row < page.Grid->GetRowCount(); ++row) {
            for (int column = 0; column < page.Grid->GetColumnCount(); ++column) {
                const QString text = page.Cell(row, column);
                if (text.isEmpty())
                    continue;
                EXPECT_EQ(xlsCell(sheet, row, column).at(3).toString(), text) << row << "," << column;
            }
        }
    }

    // The passing rates of each rate search on the counter page, in run order: a search starts at its
    // trial's first repetition, the source rows give the rate and the row after a block its verdict.
    std::vector<QList<double>> counterSearches() const
    {
        static const QRegularExpression header(QStringLiteral("^Benchmark:.*Repetition:(\\d+) "));
        std::vector<QList<double>> searches;
        const CCounterLog &counters = *report().CounterPage;
        double rate = -1;
        for (int row = 0; row < counters.RowCount(); ++row) {
            const QString first = counters.CellText(row, CCounterLog::ColPort);
            const QRegularExpressionMatch block = header.match(first);
            if (block.hasMatch()) {
                if (block.captured(1) == QLatin1String("1"))
                    searches.emplace_back();
                rate = -1;
            } else if (rate < 0 &&
                       counters.CellText(row, CCounterLog::ColAlias) == QLatin1String("Source Port")) {
                rate = counters.CellText(row, CCounterLog::ColPercent).toDouble();
            } else if (first == QLatin1String("Pass") && !searches.empty()) {
                searches.back() << rate;
            }
        }
        return searches;
    }

    // A throughput run of `truths.size()` steps (frame size and count), rowsPerStep grid rows each:
    // every trial's search settles on the same rate, the step's grid cell shows it, within the
    // resolution below the device's limit, and both report files show the grid.
    void expectPassedRates(const ReportPage &page, int column, int rowsPerStep,
                           const std::vector<double> &truths, double resolution, const char *sheetKey)
    {
        const std::vector<QList<double>> searches = counterSearches();
        ASSERT_EQ(searches.size(), truths.size() * kTrials) << logText();
        const QJsonObject sheet = savedSheet(sheetKey);
        const QStringList pdfWords = savedPdfWords();
        for (std::size_t step = 0; step < truths.size(); ++step) {
            SCOPED_TRACE(step);
            const QString cell = page.Cell(ReportPage::kFirstResultRow + int(step) * rowsPerStep, column);
            EXPECT_LE(cell.toDouble(), truths[step] + 0.001) << cell.toStdString();
            EXPECT_GE(cell.toDouble(), truths[step] - resolution) << cell.toStdString();
            for (int trial = 0; trial < kTrials; ++trial) {
                const QList<double> &passes = searches[step * kTrials + std::size_t(trial)];
                ASSERT_FALSE(passes.isEmpty()) << trial;
                EXPECT_EQ(QString::asprintf("%.2f", passes.last()), cell) << trial;
            }
            EXPECT_TRUE(pdfWords.contains(cell)) << cell.toStdString();
        }
        expectSheetCopiesTheGrid(page, sheet);
    }

    // The bars of the hosts that received in the last repetition of a step stand at the tested rate,
    // which is within the resolution of the step's limit.
    static void expectBarsNear(const std::vector<double> &measured, const std::vector<double> &full,
                               const std::vector<double> &truthOfBar, double resolution)
    {
        ASSERT_EQ(measured.size(), truthOfBar.size());
        for (std::size_t bar = 0; bar < measured.size(); ++bar) {
            const double percent = full[bar] > 0 ? 100 * measured[bar] / full[bar] : -1;
            EXPECT_LE(percent, truthOfBar[bar] + 0.5) << bar;
            EXPECT_GE(percent, truthOfBar[bar] == 0 ? 0 : truthOfBar[bar] - resolution - 0.5) << bar;
        }
    }

    MainWindowSimulator simulator;
};

// Maximum, minimum and average of a "%.2f/%.2f/%.2f" cell.
std::array<double, 3> latencyValues(const QString &cell)
{
    const QStringList parts = cell.split(u'/');
    if (parts.size() != 3)
        return {-1, -1, -1};
    return {parts[0].toDouble(), parts[1].toDouble(), parts[2].toDouble()};
}

} // namespace

// Custom rows run 10-70 % at 64 bytes and 30-90 % at 128 bytes, by the page's step of 30. Each rate's
// rows show that rate's latency over its three trials, and the latency grows with the load as the
// device is set to.
TEST_F(MultiTrialRuns, LatencyOfCustomRowsShowsEachRowsOwnRatesOverAllTrials)
{
    ASSERT_NO_FATAL_FAILURE(start(100));
    CDlgLatency *page = view->LatencyPage;
    set(page->InitialRateField, "10");
    set(page->MinRateField, "30");
    set(page->MaxRateField, "70");
    page->CustomCheck->setChecked(true);
    page->CustomFrameTable = {{10, 30, 70, 0, 64}, {30, 30, 90, 0, 128}};
    ASSERT_NO_FATAL_FAILURE(run(TestLatency));

    struct Step
    {
        std::uint16_t frameSize;
        double rate;
    };
    const std::vector<Step> steps = {{64, 10}, {64, 40}, {64, 70}, {128, 30}, {128, 60}, {128, 90}};
    const CReportLatency &result = *report().LatencyPage;
    const std::vector<UtTestPort> &hosts = plan().HostPorts;
    ASSERT_EQ(hosts.size(), std::size_t(2 * kHostsPerPair));
    ASSERT_EQ(result.Grid->GetRowCount(), ReportPage::kFirstResultRow + int(steps.size() * hosts.size()));
    ASSERT_EQ(result.Records.size(), steps.size() * 2);
    ASSERT_EQ(result.BarCount, int(steps.size() * hosts.size()));

    // The counter page: per host, the latency cells of each trial block in run order.
    std::map<QString, QStringList> counterCells;
    const CCounterLog &counters = *report().CounterPage;
    // A host's row holds its latency (maximum, minimum, average) in the gap, percent and rate columns.
    for (int row = 0; row < counters.RowCount(); ++row) {
        const QString port = counters.CellText(row, CCounterLog::ColPort);
        if (counters.CellText(row, CCounterLog::ColFrameGap).endsWith(u' ') && port.startsWith(u'('))
            counterCells[port] << QStringList{counters.CellText(row, CCounterLog::ColFrameGap),
                                              counters.CellText(row, CCounterLog::ColPercent),
                                              counters.CellText(row, CCounterLog::ColRate)}
                                      .join(u'/')
                                      .remove(u' ');
    }

    const QJsonObject sheet = savedSheet("XlsReport_Sheet_Latency");
    const QStringList pdfWords = savedPdfWords();
    for (std::size_t s = 0; s < steps.size(); ++s) {
        const Step &step = steps[s];
        SCOPED_TRACE(step.rate);
        const int firstRow = ReportPage::kFirstResultRow + int(s * hosts.size());
        EXPECT_EQ(result.Cell(firstRow, 1), QString::asprintf("%.2f", step.rate));
        const double load = step.rate / 100;
        const double deviceUs = kDeviceUs + (step.frameSize + 4) * 8 / 1000.0 + kQueueingUs * load * load;
        // The step's records, in pair order, and their bars.
        std::size_t bar = s * hosts.size();
        for (std::size_t r = s * 2; r < s * 2 + 2; ++r) {
            const UtLatencyResult &record = result.Records[r];
            EXPECT_EQ(record.FrameSize, step.frameSize);
            EXPECT_EQ(record.Rate, step.rate);
            for (std::size_t h = 0; h < hosts.size(); ++h) {
                const UtTestPort &host = hosts[h];
                if (g_Session.Ports[host.PortIndex].HostPair != record.PairNo)
                    continue;
                SCOPED_TRACE(result.Cell(firstRow + int(h), 2).toStdString());
                const int row = firstRow + int(h);
                EXPECT_EQ(result.Cell(row, 2),
                          QString::asprintf("(1,%d,%d)", int(host.Id.BID), int(host.Id.PID)));
                const QString measured = result.Cell(row, CReportLatency::kMeasuredColumn);
                const QString compensated = result.Cell(row, CReportLatency::kCompensatedColumn);
                const double moduleUs = LatencyCompensation(host.SpeedMedia, host.Id.PID, host.TYPE);
                // Time stamps count 40 ns ticks, and a rate is sent with a gap of whole bytes.
                for (const double value : latencyValues(measured))
                    EXPECT_NEAR(value, deviceUs + moduleUs, 0.08) << measured.toStdString();
                for (const double value : latencyValues(compensated))
                    EXPECT_NEAR(value, deviceUs, 0.08) << compensated.toStdString();

                const auto [max, min, average] = latencyValues(measured);
                EXPECT_NEAR(result.MaxData[bar], max, 0.011);
                EXPECT_NEAR(result.MinData[bar], min, 0.011);
                EXPECT_NEAR(result.AvgCtData[bar], average, 0.011);
                EXPECT_NEAR(result.AvgSfData[bar], latencyValues(compensated)[2], 0.011);
                EXPECT_TRUE(result.BarLabels[bar].endsWith(QString::asprintf("%.2f%%", step.rate)))
                    << result.BarLabels[bar].toStdString();
                EXPECT_TRUE(
                    result.BarLabels[bar].contains(QString::asprintf(" %d / Pair", int(step.frameSize))));
                ++bar;

                // The counter page's last trial of the rate; the report files copy the grid.
                const QStringList &blocks =
                    counterCells[QString::asprintf("(  1, %d,%d)", int(host.Id.BID), int(host.Id.PID))];
                ASSERT_EQ(blocks.size(), qsizetype(steps.size() * kTrials));
                EXPECT_EQ(blocks[int(s) * kTrials + kTrials - 1], measured);
                EXPECT_TRUE(pdfWords.contains(measured)) << measured.toStdString();
                EXPECT_TRUE(pdfWords.contains(compensated)) << compensated.toStdString();
            }
        }
    }
    expectSheetCopiesTheGrid(result, sheet);
    expectLastStepInView(result);
}

namespace {

// A benchmark that steps a count per frame size: its page's count fields and the truths of its bars.
struct CountStepRun
{
    const char *name;
    TestIndex test;
    const char *sheetKey;
    // The test's page, its count's first and last value set.
    CRateTestPage *(*pageWithCounts)(CMainFormView &view);
    const ReportCountPage &(*result)(CTestReportDlg &report);
    // The device's limit for each bar of the run, 64-byte steps first.
    std::vector<double> barTruths;
};

class MultiTrialCountRuns : public MultiTrialRuns, public testing::WithParamInterface<CountStepRun>
{
};

void PrintTo(const CountStepRun &run, std::ostream *out)
{
    *out << run.name;
}

// Per step the pairs' two hosts: one client, the first host of each pair; two, both.
std::vector<double> aggregateBarTruths()
{
    std::vector<double> truths;
    for (const double limit : {60.0, 100.0}) {
        for (const double first : {limit, limit})
            truths.insert(truths.end(), {first, 0});
        for (int bar = 0; bar < 4; ++bar)
            truths.push_back(limit);
    }
    return truths;
}

// Two and three groups of each frame size, every host in every step.
std::vector<double> scaleBarTruths()
{
    std::vector<double> truths(8, 60.0);
    truths.resize(16, 100.0);
    return truths;
}

const CountStepRun kCountStepRuns[] = {
    {"Aggregate", TestAggregate, "XlsReport_Sheet_Aggregate",
     [](CMainFormView &view) -> CRateTestPage * {
         view.AggregatePage->InitialClientsField.edit->setText("1");
         view.AggregatePage->MaxClientsField.edit->setText("2");
         return view.AggregatePage;
     },
     [](CTestReportDlg &report) -> const ReportCountPage & { return *report.AggregatePage; },
     aggregateBarTruths()},
    {"ScaleGroup", TestScale, "XlsReport_Sheet_Scale",
     [](CMainFormView &view) -> CRateTestPage * {
         view.ScalePage->InitialGroupsField.edit->setText("2");
         view.ScalePage->MaxGroupsField.edit->setText("3");
         return view.ScalePage;
     },
     [](CTestReportDlg &report) -> const ReportCountPage & { return *report.ScalePage; }, scaleBarTruths()},
};

} // namespace

// 64-byte multicast is forwarded at 60 % of line rate at most, 128-byte frames at the full rate. Two counts
// of each frame size: 16 bars, more than the view holds.
TEST_P(MultiTrialCountRuns, ThreeTrialsFindEachFrameSizesLimit)
{
    const CountStepRun &c = GetParam();
    ASSERT_NO_FATAL_FAILURE(start(60));
    CRateTestPage *page = c.pageWithCounts(*view);
    set(page->FrameStopField, "128");
    set(page->FrameStepField, "64");
    set(page->InitialRateField, "100");
    set(page->MinRateField, "10");
    set(page->ResolutionField, "5");
    ASSERT_NO_FATAL_FAILURE(run(c.test));
    const ReportCountPage &result = c.result(report());
    expectPassedRates(result, ReportCountPage::kPassedRateColumn, 2, {60, 60, 100, 100}, 5, c.sheetKey);
    expectBarsNear(result.MeasuredData, result.ExpectedData, c.barTruths, 5);
    expectLastStepInView(result);
}

INSTANTIATE_TEST_SUITE_P(AggregateAndScaleGroup, MultiTrialCountRuns, testing::ValuesIn(kCountStepRuns),
                         [](const testing::TestParamInfo<CountStepRun> &info) { return info.param.name; });

// The first host of each pair takes the pair's unicast half of the load besides the multicast half: at
// 64 bytes the multicast counts 100/60 times on its link, which is full at 75 % of line rate.
TEST_F(MultiTrialRuns, MixedClassWithThreeTrialsFindsEachFrameSizesLimit)
{
    ASSERT_NO_FATAL_FAILURE(start(60));
    CDlgMixClass *page = view->MixClassPage;
    set(page->FrameStopField, "128");
    set(page->FrameStepField, "64");
    set(page->InitialRateField, "100");
    set(page->MinRateField, "10");
    set(page->ResolutionField, "5");
    ASSERT_NO_FATAL_FAILURE(run(TestMixClass));
    const CReportMixClass &result = *report().MixClassPage;
    expectPassedRates(result, CReportMixClass::kPassedRateColumn, 2, {75, 100}, 5,
                      "XlsReport_Sheet_Mix_Class");
}
