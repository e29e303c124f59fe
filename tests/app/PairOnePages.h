// Test set-up of the main view's pages for runs of test pair 1: the session's ports, the pair in the
// plan, and every page ready to run it through its own fields.
#pragma once

#include "app/MainFormView.h"
#include "common/TestPlanPorts.h"
#include "controls/grid/KvAvlGrid.h"
#include "controls/widgets/NumEdit.h"
#include "engine/IGMPTestPlan.h"
#include "engine/Session.h"
#include "engine/SessionRecords.h"
#include "testpages/DlgAggregate.h"
#include "testpages/DlgCapacity.h"
#include "testpages/DlgJoinLeave.h"
#include "testpages/DlgLatency.h"
#include "testpages/DlgMixClass.h"
#include "testpages/DlgScale.h"
#include "testpages/DlgSourceFilter.h"

#include <QComboBox>
#include <array>

namespace PairOnePages {

// Pair 1 in use: source (1,2,1), host (1,2,2). Nothing happens when the session already has ports.
inline void addPairOne(CIGMPTestPlan &plan)
{
    if (g_Session.PortCount != 0)
        return;
    for (std::uint8_t port = 1; port <= 2; ++port) {
        const UtPortId id{1, 2, port};
        g_Session.PortTable[g_Session.PortCount++] = {id, 53, 0};
        UtPortRecord record = MakePortRecord(id, 53, 11);
        (port == 1 ? record.SourcePair : record.HostPair) = 1;
        g_Session.Ports.push_back(record);
    }
    // The plan starts with its eight pairs, none in use: pair 1 takes the two ports.
    const UtTestPair pairOne = pairOf({});
    if (plan.TestPairs.empty())
        plan.TestPairs.push_back(pairOne);
    else
        plan.TestPairs[0] = pairOne;
}

inline std::array<CRateTestPage *, 4> ratePages(const CMainFormView &view)
{
    return {view.MixClassPage, view.AggregatePage, view.ScalePage, view.LatencyPage};
}

// Pair 1 ticked on the four rate pages, with trials of 2 seconds at fixed rates: 100 % on the
// throughput pages, 10 % on the Latency page.
inline void readyRatePages(CMainFormView &view, CIGMPTestPlan &plan)
{
    addPairOne(plan);
    for (CRateTestPage *page : ratePages(view)) {
        page->PairChecked[1] = 1;
        page->DurationField.edit->setText("2");
        const bool latency = page == view.LatencyPage;
        page->InitialRateField.edit->setText(latency ? "10" : "100");
        page->MaxRateField.edit->setText(latency ? "10" : "100");
        if (page->ResolutionField.edit)
            page->ResolutionField.edit->setText("1");
    }
}

// The Group Capacity and Join/Leave pages run pair 1, and Capacity watches (1,2,3), a locked port of no
// pair: without a ticked pair and a port to watch these pages refuse to run.
inline void groupPagesRunPairOne(CMainFormView &view, CIGMPTestPlan &plan)
{
    addPairOne(plan);
    const UtPortId monitor{1, 2, 3};
    g_Session.PortTable[g_Session.PortCount++] = {monitor, 53, 0};
    g_Session.Ports.push_back(MakePortRecord(monitor, 53, 11));
    g_Session.allocatePortArrays(g_Session.PortCount);
    for (std::uint16_t i = 0; i < g_Session.PortCount; ++i) {
        const UtPortId &id = g_Session.PortTable[i].Id;
        g_Session.PortIndex[id.CID][id.BID][id.PID] = std::int16_t(i);
        g_Session.LockedFlags[i] = 1;
    }
    for (CTestPageBase *page : {static_cast<CTestPageBase *>(view.CapacityPage),
                                static_cast<CTestPageBase *>(view.JoinLeavePage)}) {
        page->PairChecked[1] = 1;
        page->FillPairGrid();
    }
    QComboBox *monitors = view.CapacityPage->MonitorCombo;
    monitors->setCurrentIndex(monitors->findText(QStringLiteral("(1, 2, 3)")));
}

// The Source Filter page sends from pair 1's source port to its host port (both locked).
inline void sourceFilterRunsPairOne(CMainFormView &view)
{
    CDlgSourceFilter *page = view.SourceFilterPage;
    page->InitPortLists();
    const auto tickPort = [](CKvAvlGrid *grid, std::uint8_t port) {
        const QString prefix = QString::asprintf("(  1, 2,%d)", port);
        for (int row = 0; row < grid->GetRowCount(); ++row) {
            QString label;
            grid->GetRowName(row, label);
            if (label.startsWith(prefix))
                grid->SetRowChecked(row, 1);
        }
    };
    tickPort(page->SourceAvailableGrid, 1);
    page->OnAddSourcePorts();
    tickPort(page->HostAvailableGrid, 2);
    page->OnAddHostPorts();
    page->DurationEdit->setText(QStringLiteral("2"));
}

// Every page of the view ready to run pair 1.
inline void readyEveryPage(CMainFormView &view, CIGMPTestPlan &plan)
{
    readyRatePages(view, plan);
    groupPagesRunPairOne(view, plan);
    sourceFilterRunsPairOne(view);
}

} // namespace PairOnePages
