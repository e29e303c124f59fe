#include "testpages/DlgSourceFilter.h"

#include "controls/grid/MyCug.h"
#include "engine/EngineUtils.h"
#include "engine/IGMPTestPlan.h"
#include "engine/Session.h"
#include "platform/NumberText.h"

#include <algorithm>

namespace {
// The IGMPv3 report the Source Filter test sends, in bytes.
constexpr std::uint32_t kV3ReportSize = 540;
constexpr unsigned short kFilterCentred = 0x24;
} // namespace

CDlgSourceFilter::CDlgSourceFilter(QWidget *parent) : CTestPageBase(PortLayout::SourceFilter, parent) {}

QStringList CDlgSourceFilter::LockedPortLabels()
{
    QStringList labels;
    const std::size_t count = std::min(
        {std::size_t(g_Session.PortCount), std::size_t(kMaxTestPorts), g_Session.LockedFlags.size()});
    for (std::size_t i = 0; i < count; ++i) {
        if (g_Session.LockedFlags[i] == 1)
            FormatPortLabel({g_Session.PortTable[i].Id, g_Session.PortTable[i].TYPE}, labels.emplace_back());
    }
    return labels;
}

void CDlgSourceFilter::FillPortInfoGrid(int)
{
    FillPortInfoGrid();
}

void CDlgSourceFilter::FillPortInfoGrid()
{
    SnapshotPortSettings();
    PortGrid->ClearAllText();
    for (const QString &item : LockedPortLabels()) {
        for (std::size_t i = 0; i < g_Session.Ports.size(); ++i) {
            if (PortLabelOf(g_Session.Ports[i]) != item)
                continue;
            int row = FindPortInfoRow(item);
            if (row < 0) {
                row = AddPortInfoRow(item);
            } else {
                QString times;
                PortGrid->GetCellTextTo(kAddTimesColumn, row, times);
                PortGrid->SetCellText(kAddTimesColumn, row, formatInt(toIntPrefix(times) + 1));
                PortGrid->SetCellAlignment(kAddTimesColumn, row, kFilterCentred);
            }
            SetPortInfoRow(row, i, -1);
        }
    }
    PortGrid->RepaintAllParts();
}

bool CDlgSourceFilter::CheckFieldsValid() const
{
    return true;
}

void CDlgSourceFilter::ApplyToTestConfig(CIGMPTestPlan &plan)
{
    plan.DelayAfterJoin = 2;
    plan.FrameSize = 64;
    plan.IgmpVersion = 3;
    plan.V3ReportSize = kV3ReportSize;
    plan.ChartScale = 0;
    plan.PayloadPattern = 0;
}
