// The four rate pages (Mixed Class, Aggregate, Scale, Latency): their fields, the frame-size rows and
// log lines built from them, the checks before a run, the copy into the test plan, the Mixed Class
// unicast ports and the Aggregate client limit.
#include "PageFixture.h"

#include "controls/grid/MyCug.h"
#include "controls/widgets/NumEdit.h"
#include "platform/ScriptedPrompter.h"
#include "ports/PortCheckGrid.h"
#include "testpages/DlgAggregate.h"
#include "testpages/DlgLatency.h"
#include "testpages/DlgMixClass.h"
#include "testpages/DlgScale.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <functional>
#include <gtest/gtest.h>

namespace {

QList<int> sizesOf(const std::vector<UtCustomFrame> &rows)
{
    QList<int> sizes;
    for (const UtCustomFrame &row : rows)
        sizes << int(row.FrameSize);
    return sizes;
}

QStringList unicastRows(CDlgMixClass &page)
{
    QStringList rows;
    for (int row = 0; row < page.UnicastGrid->GetRowCount(); ++row) {
        QString label;
        page.UnicastGrid->GetRowText(row, label);
        rows << label + (IsRowChecked(page.UnicastGrid, row) ? "*" : "");
    }
    return rows;
}

struct RatePagesTest : testing::Test, PageFixture
{
    RatePagesTest()
    {
        EngineHost::instance().appendLog = [this](const QString &text) { log << text; };
    }
    // Pair 1: source (1,2,1), hosts (1,2,2) and (1,2,3). Pair 2: source (1,3,1), host (1,3,2). The pair
    // flags of a page come later.
    void twoPairs()
    {
        usePairs({1, 2});
        addPort(1, 2, 1, 1, 0);
        addPort(1, 2, 2, 0, 1);
        addPort(1, 2, 3, 0, 1);
        addPort(1, 3, 1, 2, 0);
        addPort(1, 3, 2, 0, 2);
    }
    static void tick(CTestPageBase &page, std::initializer_list<int> pairs)
    {
        for (int pair : pairs)
            page.PairChecked[std::size_t(pair)] = 1;
        page.FillPairGrid();
    }

    ScriptedPrompter prompter;
    QStringList log;
};

} // namespace

TEST_F(RatePagesTest, FreshPagesShowTheirDefaultsRangesAndChoices)
{
    CDlgMixClass mixed;
    CDlgAggregate aggregate;
    CDlgScale scale;
    CDlgLatency latency;
    for (CRateTestPage *page : std::initializer_list<CRateTestPage *>{&mixed, &aggregate, &scale, &latency}) {
        EXPECT_EQ(page->DurationField.edit->text(), "10");
        EXPECT_EQ(page->DurationField.edit->toolTip(), "Range is 1~300000");
        EXPECT_EQ(page->TrialsField.edit->text(), "1");
        EXPECT_EQ(page->DelayAfterStartField.edit->text(), "10");
        EXPECT_EQ(page->InitialRateField.edit->text(), "50");
        EXPECT_EQ(page->InitialRateField.edit->toolTip(), "Range is 0.01~100.00");
        EXPECT_EQ(page->MinRateField.edit->text(), "10");
        EXPECT_EQ(page->MaxRateField.edit->text(), "100");
        EXPECT_EQ(page->FrameStartField.edit->toolTip(), "Range is 60~16100");
        for (const auto *field : {&page->FrameStartField, &page->FrameStopField, &page->FrameStepField})
            EXPECT_EQ(field->edit->text(), "64");
        EXPECT_EQ(page->IgmpVersionCombo->currentText(), "v2");
        EXPECT_EQ(page->PayloadCombo->currentText(), "Random");
        EXPECT_EQ(page->PayloadCombo->count(), 6);
        EXPECT_FALSE(page->CustomCheck->isChecked());
        EXPECT_EQ(page->CustomFrameTable.size(), 7u);
    }
    EXPECT_EQ(mixed.ResolutionField.edit->text(), "0.01");
    EXPECT_EQ(latency.ResolutionField.edit, nullptr);
    EXPECT_EQ(latency.MinRateField.label->text(), "Step Rate (%):");
    EXPECT_EQ(mixed.DelayAfterJoinField.edit->text(), "2");
    EXPECT_EQ(aggregate.DelayAfterJoinField.edit->text(), "2");
    EXPECT_EQ(scale.DelayAfterJoinField.edit->text(), "1");
    EXPECT_EQ(latency.DelayAfterJoinField.edit->text(), "1");
    EXPECT_EQ(aggregate.MaxClientsField.edit->toolTip(), "Range is 1~32");
    EXPECT_EQ(scale.InitialGroupsField.edit->text(), "1");
}

TEST_F(RatePagesTest, SectionFieldsNameEachPagesControlsInFileOrder)
{
    const auto names = [](CRateTestPage &page) {
        QStringList list;
        for (const CTestPageBase::SectionField &field : page.SectionFields())
            list << field.element;
        return list;
    };
    const QStringList common = {"TestDuration", "NumberOfTrails", "DelayAfterStart", "FrameStartFrom",
                                "FrameEnd",     "FrameStep",      "FramePayload",    "InitialRate"};
    CDlgMixClass mixed;
    CDlgAggregate aggregate;
    CDlgScale scale;
    CDlgLatency latency;
    const QStringList rates = {"MinRate",       "MaxRate", "Resolution", "IGMPVer", "DelayTimeAfterJoin",
                               "SelectedCustom"};
    EXPECT_EQ(names(mixed), common + rates);
    const QStringList clients = {"InitialClient", "MaxClient"};
    const QStringList groups = {"InitialGroup", "MaxGroup"};
    const QStringList latencyRates = {"RateStep", "MaxRate", "IGMPVer", "DelayTimeAfterJoin",
                                      "SelectedCustom"};
    EXPECT_EQ(names(aggregate), common + rates + clients);
    EXPECT_EQ(names(scale), common + rates + groups);
    EXPECT_EQ(names(latency), common + latencyRates);
    const std::vector<CTestPageBase::SectionField> fields = latency.SectionFields();
    EXPECT_EQ(fields[0].control, latency.DurationField.edit);
    EXPECT_EQ(fields[6].control, latency.PayloadCombo);
    EXPECT_EQ(fields[8].control, latency.MinRateField.edit);
    EXPECT_EQ(fields.back().control, latency.CustomCheck);
}

// The rows and the log lines of the frame-size fields; "Custom" copies the table and logs nothing.
TEST_F(RatePagesTest, FrameRowsRunFromStartByStepAndAlwaysEndWithTheStop)
{
    struct Case
    {
        const char *start, *stop, *step;
        QList<int> sizes;
    };
    QList<int> by128;
    for (int size = 64; size <= 1472; size += 128)
        by128 << size;
    QList<int> by64;
    for (int size = 64; size <= 1472; size += 64)
        by64 << size;
    const Case cases[] = {
        {"64", "64", "64", {64}},
        {"64", "1518", "128", by128 << 1518},
        {"64", "1518", "64", by64 << 1518},
        {"64", "256", "64", {64, 128, 192, 256}},
        {"128", "128", "100", {128}},
        {"64", "256", "-64", {}}, // a loaded step that would never end builds nothing
    };
    CDlgMixClass page;
    for (const Case &c : cases) {
        page.FrameStartField.edit->setText(c.start);
        page.FrameStopField.edit->setText(c.stop);
        page.FrameStepField.edit->setText(c.step);
        page.LogRateParameters();
        EXPECT_EQ(sizesOf(page.FrameRows), c.sizes) << c.start << " " << c.stop << " " << c.step;
    }

    log.clear();
    page.FrameStepField.edit->setText("128");
    page.FrameStopField.edit->setText("1518");
    page.LogRateParameters();
    EXPECT_EQ(log,
              (QStringList{"* Initial Rate:   50.00%   Minimum Rate: 10.00 %   Maximum Rate:  100.00%   Rate "
                           "Resoultion: 0.01%\n",
                           "* \n",
                           "* Frame Length Start:   64kb   Frame Length Stop:  1518 kb   Frame Length Step:  "
                           "128   Total Tested Frame : 13\n"}));
    const UtCustomFrame &first = page.FrameRows.front();
    EXPECT_EQ((std::vector<double>{first.InitialRate, first.MinRate, first.MaxRate, first.Resolution}),
              (std::vector<double>{50, 10, 100, 0.01}));

    log.clear();
    page.CustomCheck->setChecked(true);
    page.CustomFrameTable[2].FrameSize = 300;
    page.LogRateParameters();
    EXPECT_EQ(sizesOf(page.FrameRows), sizesOf(page.CustomFrameTable));
    EXPECT_TRUE(log.isEmpty());
}

// Each case spoils one thing of a page that passes; a loaded file can put any text in any field.
TEST_F(RatePagesTest, CheckFailsOnPortsOfUntickedPairsBadFrameRangesAndFieldsOutOfRange)
{
    twoPairs();
    using Spoil = std::function<void(CRateTestPage &)>;
    const auto text = [](CRateTestPage::NumberField CRateTestPage::*field, const char *value) -> Spoil {
        return [field, value](CRateTestPage &page) { (page.*field).edit->setText(value); };
    };
    const std::pair<const char *, Spoil> cases[] = {
        {"no pair ticked",
         [](CRateTestPage &page) {
             page.PairChecked.fill(0);
             page.FillPairGrid();
         }},
        {"a host that is the source of an unticked pair",
         [](CRateTestPage &) { g_Session.Ports[2].SourcePair = 2; }},
        {"start above stop", text(&CRateTestPage::FrameStopField, "63")},
        {"step 0", text(&CRateTestPage::FrameStepField, "0")},
        {"negative step", text(&CRateTestPage::FrameStepField, "-64")},
        {"stop above the range", text(&CRateTestPage::FrameStopField, "70000")},
        {"resolution 0", text(&CRateTestPage::ResolutionField, "0")},
        {"initial rate above 100", text(&CRateTestPage::InitialRateField, "100.5")},
        {"empty duration", text(&CRateTestPage::DurationField, "")},
        {"six trials", text(&CRateTestPage::TrialsField, "6")},
        {"delay after start 0", text(&CRateTestPage::DelayAfterStartField, "0")},
        {"delay after join 301", text(&CRateTestPage::DelayAfterJoinField, "301")},
    };
    {
        CDlgMixClass page;
        tick(page, {1});
        EXPECT_TRUE(page.CheckFieldsValid());
    }
    for (const auto &[name, spoil] : cases) {
        CDlgMixClass page;
        tick(page, {1});
        spoil(page);
        EXPECT_FALSE(page.CheckFieldsValid()) << name;
        g_Session.Ports[2].SourcePair = 0;
    }
    EXPECT_TRUE(prompter.messages().isEmpty());

    CDlgLatency latency;
    tick(latency, {1, 2});
    EXPECT_TRUE(latency.CheckFieldsValid());
    latency.MinRateField.edit->setText("0"); // a step that would never reach the maximum
    EXPECT_FALSE(latency.CheckFieldsValid());
}

TEST_F(RatePagesTest, RefusedFrameRowsAreNamedInTheReason)
{
    twoPairs();
    CDlgMixClass page;
    tick(page, {1});
    page.FrameStartField.edit->setText("60");
    EXPECT_FALSE(page.CheckFieldsValid());
    EXPECT_EQ(page.RefusalReason(),
              "Row 1 of the frame sizes holds 60 bytes, below the minimum of 64 bytes.");
    page.FrameStartField.edit->setText("64");
    page.CustomCheck->setChecked(true);
    page.CustomFrameTable[1].FrameSize = 60;
    EXPECT_FALSE(page.CheckFieldsValid());
    EXPECT_EQ(page.RefusalReason(),
              "Row 2 of the frame sizes holds 60 bytes, below the minimum of 64 bytes.");
    page.CustomFrameTable[1].FrameSize = 16100;
    page.CustomFrameTable[2].MinRate = 80; // above the row's initial rate
    EXPECT_FALSE(page.CheckFieldsValid());
    EXPECT_TRUE(page.RefusalReason().startsWith("Row 3 of the frame sizes (256 bytes) cannot run"))
        << page.RefusalReason().toStdString();
    page.CustomFrameTable[2].MinRate = 10;
    EXPECT_TRUE(page.CheckFieldsValid());
    EXPECT_TRUE(page.RefusalReason().isEmpty());
    EXPECT_TRUE(prompter.messages().isEmpty()) << "the view shows the reason";
}

TEST_F(RatePagesTest, MixedClassApplyCopiesItsFieldsAndLogsItsConfigurationBlock)
{
    twoPairs();
    plan.TestPairs[0].UniCid = 1;
    plan.TestPairs[0].UniBid = 2;
    plan.TestPairs[0].UniPid = 3;
    plan.ChartScale = 7;
    CDlgMixClass page;
    tick(page, {1, 2});
    page.DurationField.edit->setText("30");
    page.TrialsField.edit->setText("3");
    page.DelayAfterJoinField.edit->setText("5");
    page.PayloadCombo->setCurrentIndex(5); // "All 0"
    page.IgmpVersionCombo->setCurrentIndex(0);
    log.clear();
    page.ApplyToTestConfig(plan);
    EXPECT_EQ(
        log, (QStringList{"* Configuration Test Parameter... \n",
                          "* Test Duration :   30 secs,      Test Trails :  3 times\n",
                          "* Initial Rate:   50.00%   Minimum Rate: 10.00 %   Maximum Rate:  100.00%   Rate "
                          "Resoultion: 0.01%\n",
                          "* \n",
                          "* Frame Length Start:   64kb   Frame Length Stop:  64 kb   Frame Length Step:  64 "
                          "  Total Tested Frame : 1\n",
                          "* Selected Test Pair =>Pair 1 ,Pair 2 .\n"}));
    EXPECT_EQ(plan.ChartScale, 0);
    EXPECT_EQ(plan.TestDuration, 30u);
    EXPECT_EQ(plan.NumberOfTrials, 3u);
    EXPECT_EQ(plan.DelayAfterJoin, 5u);
    EXPECT_EQ(plan.PayloadPattern, 0);
    EXPECT_EQ(plan.IgmpVersion, 1);
    EXPECT_EQ(plan.PairSelected[0], 1);
    EXPECT_EQ(plan.PairSelected[1], 1);
    ASSERT_EQ(plan.HostPorts.size(), 3u);
    EXPECT_EQ((QList<int>{plan.HostPorts[0].Flag, plan.HostPorts[1].Flag}), (QList<int>{0, 1}))
        << "only the pair's unicast port carries the flag";
    EXPECT_EQ(page.HostPortList.size(), 3u);
}

TEST_F(RatePagesTest, AggregateApplyWritesClientsAndOnlyTheRateLines)
{
    twoPairs();
    CDlgAggregate page;
    tick(page, {2});
    page.FrameStopField.edit->setText("1518");
    page.InitialClientsField.edit->setText("2");
    page.MaxClientsField.edit->setText("4");
    page.DelayAfterJoinField.edit->setText("7");
    page.PayloadCombo->setCurrentIndex(0);
    log.clear();
    page.ApplyToTestConfig(plan);
    ASSERT_EQ(log.size(), 3);
    EXPECT_TRUE(log[2].endsWith("Total Tested Frame : 24\n")) << log[2].toStdString();
    EXPECT_EQ(page.FrameRows.size(), 24u);
    EXPECT_EQ(plan.InitialClients, 2);
    EXPECT_EQ(plan.MaxClients, 4);
    EXPECT_EQ(plan.DelayAfterJoin, 7u);
    EXPECT_EQ(plan.PayloadPattern, 14);
    EXPECT_EQ(plan.IgmpVersion, 2);
    EXPECT_EQ((QList<int>{plan.PairSelected[0], plan.PairSelected[1]}), (QList<int>{0, 1}));
    EXPECT_EQ(plan.SourcePorts.size(), 1u);

    EXPECT_TRUE(page.CheckFieldsValid());
    page.InitialClientsField.edit->setText("5");
    EXPECT_FALSE(page.CheckFieldsValid()) << "more initial than max clients";
}

TEST_F(RatePagesTest, ClientLimitNarrowsBothClientFields)
{
    CDlgAggregate page;
    page.InitialClientsField.edit->setText("2");
    page.MaxClientsField.edit->setText("4");
    for (const int none : {-1, 0}) {
        page.SetClientLimit(none);
        EXPECT_EQ(page.MaxClientsField.edit->text(), "4");
        EXPECT_EQ(page.MaxClientsField.edit->toolTip(), "Range is 1~32");
    }
    page.SetClientLimit(3);
    EXPECT_EQ(page.InitialClientsField.edit->text(), "2");
    EXPECT_EQ(page.MaxClientsField.edit->text(), "3");
    EXPECT_EQ(page.MaxClientsField.edit->toolTip(), "Range is 1~3");
    EXPECT_EQ(page.InitialClientsField.edit->config().maximum, 3);
}

TEST_F(RatePagesTest, ScaleWritesGroupCountsAndNoDelayAfterJoin)
{
    twoPairs();
    CDlgScale page;
    tick(page, {1});
    page.InitialGroupsField.edit->setText("5");
    page.MaxGroupsField.edit->setText("3");
    EXPECT_FALSE(page.CheckFieldsValid()) << "no group step would run";
    page.InitialGroupsField.edit->setText("3");
    page.MaxGroupsField.edit->setText("5");
    EXPECT_TRUE(page.CheckFieldsValid());
    EXPECT_TRUE(page.RefusalReason().isEmpty());
    plan.DelayAfterJoin = 77;
    page.ApplyToTestConfig(plan);
    EXPECT_EQ(plan.InitialGroups, 3u);
    EXPECT_EQ(plan.MaxGroups, 5u);
    EXPECT_EQ(plan.DelayAfterJoin, 77u);
}

TEST_F(RatePagesTest, LatencyWritesItsRatesAndRowsCarryNoResolution)
{
    twoPairs();
    CDlgLatency page;
    tick(page, {1});
    page.InitialRateField.edit->setText("12.5");
    page.MinRateField.edit->setText("2.5");
    page.MaxRateField.edit->setText("20");
    page.FrameStopField.edit->setText("128");
    plan.Resolution = 5;
    log.clear();
    page.ApplyToTestConfig(plan);
    ASSERT_FALSE(log.isEmpty());
    EXPECT_EQ(log[0], "* Initial Rate:   12.50%   Step Rate: 2.50 %   Maximum Rate:  20.00%\n");
    EXPECT_EQ((std::vector<double>{plan.InitialRate, plan.MinRate, plan.MaxRate, plan.Resolution}),
              (std::vector<double>{12.5, 2.5, 20, 0}));
    ASSERT_EQ(page.FrameRows.size(), 2u);
    const UtCustomFrame &row = page.FrameRows[1];
    EXPECT_EQ((std::vector<double>{row.InitialRate, row.MinRate, row.MaxRate, row.Resolution}),
              (std::vector<double>{12.5, 2.5, 20, 0}));
    EXPECT_EQ(int(row.FrameSize), 128);
}

TEST_F(RatePagesTest, UnicastPortOfAPairIsOneOfItsHosts)
{
    twoPairs();
    usePairs({3}); // pair 3 has no host
    addPort(1, 4, 1, 3, 0);
    plan.TestPairs[2].UniCid = 9;
    CDlgMixClass page;
    tick(page, {1, 2, 3});
    EXPECT_EQ(page.CurrentPair, 3u) << "the last ticked pair is shown";
    EXPECT_TRUE(unicastRows(page).isEmpty());
    EXPECT_EQ(int(plan.TestPairs[2].UniCid), 9) << "a pair without a host keeps its unicast port";

    // Pair 1 stored no unicast port: its first host became it when the grid was filled.
    page.ShowUnicastPort(0);
    EXPECT_EQ(page.CurrentPair, 1u);
    EXPECT_EQ(unicastRows(page), (QStringList{"(1, 2, 2)*", "(1, 2, 3)"}));
    EXPECT_EQ((QList<int>{plan.TestPairs[0].UniCid, plan.TestPairs[0].UniBid, plan.TestPairs[0].UniPid}),
              (QList<int>{1, 2, 2}));
    page.SetUnicastPort(1);
    page.ShowUnicastPort(1);
    page.ShowUnicastPort(0);
    EXPECT_EQ(unicastRows(page), (QStringList{"(1, 2, 2)", "(1, 2, 3)*"}));
    EXPECT_EQ(int(plan.TestPairs[0].UniPid), 3);

    plan.TestPairs[1].UniCid = 1;
    plan.TestPairs[1].UniBid = 2;
    plan.TestPairs[1].UniPid = 3;
    EXPECT_EQ(CDlgMixClass::FindPairOfUnicastPort(1, 2, 3), 0) << "no pair selected for a run";
    plan.PairSelected[1] = 1;
    EXPECT_EQ(CDlgMixClass::FindPairOfUnicastPort(1, 2, 3), 2);
    plan.PairSelected[0] = 1;
    EXPECT_EQ(CDlgMixClass::FindPairOfUnicastPort(1, 2, 3), 1);
    EXPECT_EQ(CDlgMixClass::FindPairOfUnicastPort(1, 2, 2), 0);
}
