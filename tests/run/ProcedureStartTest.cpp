// The start the procedures share (link check, port group, time stamps, learning) as each procedure words
// and paces it, in virtual time against the recording server.
#include "RecordedProcedureTest.h"
#include "run/TestReportDlg.h"

#include <functional>

namespace {

using namespace std::chrono_literals;

// Only the start: no trial follows it.
class ProcedureStartTest : public RecordedProcedureTest
{
protected:
    void SetUp() override
    {
        RecordedProcedureTest::SetUp();
        plan.NumberOfTrials = 0;
        plan.InitialClients = plan.MaxClients = 1;
        plan.InitialGroups = plan.MaxGroups = 1;
    }
};

} // namespace

TEST_F(ProcedureStartTest, EachProcedureStartsWithItsOwnTextsAndWaits)
{
    const QString mixedLine = "* Checking link status of all ports...";
    const QString line = "* Checking link status of all ports ...";
    const QStringList learning = {"* Start learning procedure of all ports.", ".", ". Done!\n"};
    struct Case
    {
        const char *name;
        std::function<bool(CTestReportDlg &)> perform;
        QStringList log;    // from the first line on
        QStringList status; // from the first text on
        // From the start to the first join: the settle after the port group (2 s, none in Source Filter)
        // and the wait after learning (1 s in Mixed Class, else 100 ms) show here; 0: not checked.
        std::chrono::milliseconds untilJoin;
    };
    const Case cases[] = {
        {"Mixed Class",
         [](CTestReportDlg &r) { return r.PerformMixedClassTest(); },
         QStringList{mixedLine, "Success!\n"} + learning + QStringList{"* Start Join Group of all ports ..."},
         {key("Stat_Check_Link"), key("Stat_Check_Link"), key("Stat_Send_Join")},
         6500ms},
        {"Aggregate",
         [](CTestReportDlg &r) { return r.PerformAggregateTest(); },
         QStringList{line, "Success!\n"} + learning,
         {key("Stat_Check_Link"), key("Stat_Check_Link"), key("Stat_Send_Learning"), key("Stat_Send_Join")},
         5600ms},
        {"Scale Group",
         [](CTestReportDlg &r) { return r.PerformScaleGroupTest(); },
         QStringList{line, "Success!\n"} + learning,
         {key("Stat_Check_Link"), key("Stat_Check_Link"), key("Stat_Send_Learning"), key("Stat_Send_Join")},
         5600ms},
        {"Source Filter",
         [](CTestReportDlg &r) { return r.PerformSourceFilterTest(); },
         QStringList{line, "Success!\n"} + learning + QStringList{"* Start Join Group of all ports ..."},
         {key("Stat_Check_Link"), key("Stat_Check_Link"), key("Stat_Send_Join")},
         3600ms},
        {"Join/Leave",
         [](CTestReportDlg &r) { return r.PerformJoinLeaveDelayTest(); },
         {line, "Success!\n", "* Start learning procedure of all ports."},
         {key("Check_Link"), key("Stat_Check_Link"), key("Stat_Send_Learning")},
         0ms},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        log.clear();
        status.clear();
        std::chrono::milliseconds joinAt{-1};
        const std::chrono::milliseconds start = clock.now();
        EngineHost::instance().setStatusText = [&](const QString &text) {
            status << text;
            if (text == key("Stat_Send_Join") && joinAt.count() < 0)
                joinAt = clock.now() - start;
        };
        ASSERT_TRUE(c.perform(report));
        EXPECT_EQ(log.mid(0, c.log.size()), c.log);
        EXPECT_EQ(status.mid(0, c.status.size()), c.status);
        if (c.untilJoin.count() > 0) {
            EXPECT_EQ(joinAt, c.untilJoin);
        }
    }
}
