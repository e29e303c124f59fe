#include "testpages/DlgCapacity.h"

#include "controls/grid/MyCug.h"
#include "controls/widgets/NumEdit.h"
#include "engine/EngineHost.h"
#include "engine/EngineUtils.h"
#include "engine/IGMPTestPlan.h"
#include "engine/LanguageText.h"
#include "engine/PlanDemoCounters.h"
#include "engine/PlanPortLookup.h"
#include "engine/Session.h"
#include "ports/PortCheckGrid.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

// The monitor list's text as a port; false when the list is empty.
bool monitorPort(const QComboBox *combo, UtPortKey &key)
{
    return ParsePortIdText(combo->currentText(), QString(), key);
}

// The multicast frames a port received, -1 when it has no counter record.
std::int64_t multicastReceived(const UtPortId &id)
{
    const int index = TestPlanSupport::hardwareIndex(id);
    if (index < 0 || std::size_t(index) >= g_Session.PortStates.size())
        return -1;
    return std::int64_t(g_Session.PortStates[std::size_t(index)].RxCountA);
}

} // namespace

CDlgCapacity::CDlgCapacity(QWidget *parent) : CTestPageBase(PortLayout::Standard, parent)
{
    createFields();
    createResultWidgets();
    EngineHost::instance().capacityPage = this;
    FillMonitorPortCombo();
    SetLanguageText();
}

CDlgCapacity::~CDlgCapacity()
{
    if (EngineHost::instance().capacityPage == this)
        EngineHost::instance().capacityPage = nullptr;
}

void CDlgCapacity::createFields()
{
    auto *grid = new QGridLayout(ConfigBox);
    Trials.Create(grid, {.row = 0, .minimum = 1, .maximum = 5, .initial = 1, .editId = 1473, .spinId = 1474});
    DelayAfterStart.Create(
        grid, {.row = 1, .minimum = 1, .maximum = 300, .initial = 10, .editId = 1475, .spinId = 1476});
    FrameSize.Create(grid, {.row = 2,
                            .minimum = kMinFrameSize,
                            .maximum = kMaxFrameSize,
                            .initial = 64,
                            .editId = 1471,
                            .spinId = 1472});
    InitialGroups.Create(
        grid,
        {.row = 3, .minimum = 1, .maximum = kMaxGroupCount, .initial = 100, .editId = 1478, .spinId = 1479});
    GroupStep.Create(
        grid,
        {.row = 4, .minimum = 1, .maximum = kMaxGroupCount, .initial = 10, .editId = 1481, .spinId = 1482});
    MaxGroups.Create(
        grid,
        {.row = 5, .minimum = 1, .maximum = kMaxGroupCount, .initial = 110, .editId = 1483, .spinId = 1484});
    AddIgmpVersionRow(grid, 6, QStringLiteral("ctl1469"), IgmpVersionLabel, IgmpVersionCombo);
    MonitorLabel = new QLabel(ConfigBox);
    MonitorCombo = new QComboBox(ConfigBox);
    MonitorCombo->setObjectName(QStringLiteral("ctl1146"));
    grid->addWidget(MonitorLabel, 7, 0);
    grid->addWidget(MonitorCombo, 7, 1, 1, 2);
    SendLeaveCheck = new QCheckBox(ConfigBox);
    SendLeaveCheck->setObjectName(QStringLiteral("ctl1315"));
    SendLeaveCheck->hide();
    grid->setColumnStretch(3, 1);
}

void CDlgCapacity::createResultWidgets()
{
    // The result grid, and the last passing count below it, stand beside the configuration box.
    QVBoxLayout *results = AddResultBesideConfig(ResultBox, ResultGrid, 2);
    LastPassBox = new QGroupBox(this);
    LastPassBox->setObjectName(QStringLiteral("ctl1273"));
    auto *lastLayout = new QVBoxLayout(LastPassBox);
    CapacityLabel = new QLabel(QStringLiteral("0"), LastPassBox);
    CapacityLabel->setObjectName(QStringLiteral("ctl1465"));
    CapacityLabel->setAlignment(Qt::AlignCenter);
    StyleResultLabel(CapacityLabel, QColor(0, 128, 0), 32, QFont::Medium);
    lastLayout->addWidget(CapacityLabel);
    results->addWidget(LastPassBox);
}

void CDlgCapacity::SetLanguageText()
{
    CTestPageBase::SetLanguageText();
    if (!ResultGrid)
        return;
    Trials.Label->setText(languageText("Capacity_Trials"));
    DelayAfterStart.Label->setText(languageText("Capacity_Delay_After_Start"));
    FrameSize.Label->setText(languageText("Capacity_Frame_Size"));
    InitialGroups.Label->setText(languageText("Capacity_Initial_Groups"));
    GroupStep.Label->setText(languageText("Capacity_Group_Step"));
    MaxGroups.Label->setText(languageText("Capacity_Max_Groups"));
    IgmpVersionLabel->setText(languageText("Capacity_IGMP_Version"));
    MonitorLabel->setText(languageText("Capacity_Monitor_Port"));
    SendLeaveCheck->setText(languageText("Capacity_Send_Leave"));
    ResultBox->setTitle(languageText("Capacity_Result"));
    LastPassBox->setTitle(languageText("Capacity_Last_Pass"));
    ResultGrid->setHorizontalHeaderLabels(
        {languageText("Result_Test_Pair"), languageText("Capacity_Result_Groups")});
}

std::vector<CTestPageBase::SectionField> CDlgCapacity::SectionFields()
{
    return {{"NumberOfTrails", Trials.Edit},      {"DelayAfterStart", DelayAfterStart.Edit},
            {"FrameSize", FrameSize.Edit},        {"NumberOfIniGroup", InitialGroups.Edit},
            {"MaxNumberOfGroup", MaxGroups.Edit}, {"GroupStep", GroupStep.Edit},
            {"IGMPVer", IgmpVersionCombo}};
}

bool CDlgCapacity::CheckFieldsValid()
{
    clearRefusal();
    // A loaded file may hold any text; a step of 0 would never end the group search, and the streams
    // take no frame below the engine's minimum.
    for (const PageNumberField *field :
         {&Trials, &DelayAfterStart, &FrameSize, &InitialGroups, &GroupStep, &MaxGroups}) {
        if (!field->IsInRange())
            return refuse(field->RangeRefusal());
    }
    if (InitialGroups.Value() > MaxGroups.Value())
        return refuse(AboveRefusal(InitialGroups.Label, InitialGroups.Edit->text(), MaxGroups.Label,
                                   MaxGroups.Edit->text()));
    if (!checkPairTicked())
        return false;
    // Every locked port a source: no port can watch for stray traffic.
    UtPortKey monitor{};
    if (!monitorPort(MonitorCombo, monitor))
        return refuse(languageText("Capacity_Refuse_No_Monitor"));
    int rows = 0;
    bool monitorShown = false;
    for (; rows < PortGrid->GetRowCount(); ++rows) {
        QString label;
        PortGrid->GetCellTextTo(0, rows, label);
        if (label.isEmpty())
            break;
        UtPortKey key{};
        if (ParsePortLabel(label, key) && key.Id == monitor.Id)
            monitorShown = true;
    }
    if (monitorShown && rows <= 2)
        return refuse(languageText("Capacity_No_Other_Rx"));
    return checkPortTags();
}

void CDlgCapacity::ApplyToTestConfig(CIGMPTestPlan &plan)
{
    ApplyPairsAndPorts(plan, nullptr);
    plan.TestDuration = 0;
    plan.NumberOfTrials = std::uint32_t(Trials.Value());
    plan.DelayAfterStart = std::uint32_t(DelayAfterStart.Value());
    RunList = {std::uint32_t(FrameSize.Value())};
    plan.InitialRate = 0.0;
    plan.MinRate = 0.0;
    plan.MaxRate = 0.0;
    plan.Resolution = 0.0;
    plan.PayloadPattern = 0;
    plan.IgmpVersion = IgmpVersionOfIndex(IgmpVersionCombo->currentIndex());
    plan.InitialGroups = std::uint32_t(InitialGroups.Value());
    plan.GroupStep = std::uint32_t(GroupStep.Value());
    plan.MaxGroups = std::uint32_t(MaxGroups.Value());

    UtPortKey monitor{};
    if (!monitorPort(MonitorCombo, monitor))
        return;
    for (UtTestPort &host : plan.HostPorts) {
        if (host.Id == monitor.Id) {
            host.Monitor = 1;
            return;
        }
    }
    // A monitor of no pair joins the hosts only to be watched.
    const std::int32_t index = FindPortRecordIndex(monitor.Id.CID, monitor.Id.BID, monitor.Id.PID);
    if (index < 0 || std::size_t(index) >= g_Session.Ports.size())
        return;
    UtTestPort port{};
    port.Id = monitor.Id;
    port.PortIndex = std::uint16_t(index);
    port.Monitor = 1;
    plan.HostPorts.push_back(port);
}

void CDlgCapacity::afterPairGridFill()
{
    if (MonitorCombo)
        FillMonitorPortCombo();
}

void CDlgCapacity::FillMonitorPortCombo()
{
    const QString chosen = MonitorCombo->currentText();
    const bool hadChoice = MonitorCombo->currentIndex() >= 0;
    MonitorCombo->clear();
    for (const UtPortRecord &record : g_Session.Ports) {
        const int table = LookupPortIndex(record.CID, g_Session.PortIndex, record.BID, record.PID);
        if (table < 0 || std::size_t(table) >= g_Session.LockedFlags.size() ||
            g_Session.LockedFlags[std::size_t(table)] != 1 || record.SourcePair != 0)
            continue;
        const QString text =
            QString::asprintf("(%d, %d, %d)", int(record.CID), int(record.BID), int(record.PID));
        // Kept in text order: "(1, 10, 1)" before "(1, 2, 1)".
        int at = 0;
        while (at < MonitorCombo->count() &&
               QString::compare(MonitorCombo->itemText(at), text, Qt::CaseInsensitive) <= 0)
            ++at;
        MonitorCombo->insertItem(at, text);
    }
    const int again = hadChoice ? MonitorCombo->findText(chosen, Qt::MatchFixedString) : -1;
    MonitorCombo->setCurrentIndex(again >= 0 ? again : (MonitorCombo->count() > 0 ? 0 : -1));
    MonitorCombo->update();
}

void CDlgCapacity::LayOutResults(const CIGMPTestPlan &plan)
{
    CapacityLabel->setText(QStringLiteral("n/a"));
    fillResultGrid(plan, false);
}

void CDlgCapacity::ShowResults(CIGMPTestPlan &plan)
{
    for (UtTestPort &host : plan.HostPorts) {
        const std::int64_t received = multicastReceived(host.Id);
        if (received >= 0)
            host.RxMulticast = std::uint64_t(received);
    }
    fillResultGrid(plan, true);
}

void CDlgCapacity::fillResultGrid(const CIGMPTestPlan &plan, bool withCounts)
{
    ResultGrid->clearContents();
    ResultGrid->setRowCount(int(plan.SourcePorts.size() + plan.HostPorts.size()));
    int row = 0;
    // One host's row: its label and, once read, its received frames.
    const auto hostRow = [&](const UtTestPort &host) {
        const QString label = QString::asprintf(host.Monitor ? "Monitor:(%3d,%2d,%1d)" : "(%3d,%2d,%1d)",
                                                int(host.Id.CID), int(host.Id.BID), int(host.Id.PID));
        auto *name = new QTableWidgetItem(label);
        name->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        auto *count = new QTableWidgetItem(withCounts ? QString::number(host.RxMulticast) + QLatin1Char(' ')
                                                      : QString());
        count->setTextAlignment(Qt::AlignCenter);
        for (QTableWidgetItem *item : {name, count})
            item->setForeground(host.Monitor ? QColor(255, 0, 0) : QColor(0, 0, 0));
        if (row >= ResultGrid->rowCount())
            ResultGrid->setRowCount(row + 1);
        ResultGrid->setItem(row, 0, name);
        ResultGrid->setItem(row, 1, count);
        ++row;
    };
    bool monitorShown = false;
    for (const UtTestPort &source : plan.SourcePorts) {
        const std::uint8_t pair =
            source.PortIndex < g_Session.Ports.size() ? g_Session.Ports[source.PortIndex].SourcePair : 0;
        ResultGrid->setItem(row++, 0, new QTableWidgetItem(ResultPairLabel(pair)));
        for (const UtTestPort &host : plan.HostPorts) {
            if (host.PortIndex < g_Session.Ports.size() && g_Session.Ports[host.PortIndex].HostPair == pair) {
                monitorShown = monitorShown || host.Monitor;
                hostRow(host);
            }
        }
    }
    if (!monitorShown) {
        for (const UtTestPort &host : plan.HostPorts) {
            if (host.Monitor)
                hostRow(host);
        }
    }
    ResultGrid->viewport()->update();
}

bool CDlgCapacity::CheckGroupStepPassed(const CIGMPTestPlan &plan, std::uint32_t groups)
{
    for (std::size_t index = 0; index < kMaxTestPairs; ++index) {
        if (plan.PairSelected[index] != 1)
            continue;
        const auto pair = std::uint8_t(index + 1);
        for (const UtTestPort &host : plan.HostPorts) {
            if (host.Monitor) {
                if (host.RxMulticast != 0)
                    return false;
            } else if (host.PortIndex < g_Session.Ports.size() &&
                       g_Session.Ports[host.PortIndex].HostPair == pair && host.RxMulticast != groups) {
                return false;
            }
        }
    }
    CapacityLabel->setText(QString::number(groups));
    return true;
}

bool CDlgCapacity::FillSyntheticCounters(const CIGMPTestPlan &plan, std::uint32_t groups)
{
    for (const auto *ports : {&plan.SourcePorts, &plan.HostPorts}) {
        const bool sources = ports == &plan.SourcePorts;
        for (const UtTestPort &port : *ports) {
            const int index = TestPlanSupport::hardwareIndex(port.Id);
            if (index < 0 || std::size_t(index) >= g_Session.PortCounters.size() ||
                std::size_t(index) >= g_Session.PortStates.size())
                continue;
            UtPortCounters &counters = g_Session.PortCounters[std::size_t(index)];
            UtPortState &state = g_Session.PortStates[std::size_t(index)];
            TestPlanSupport::clearReceiveSide(counters, state);
            if (sources) {
                counters.TxPackets = groups;
                state.TxCountA = groups;
                state.TxCountB = 0;
                counters.TxBytes = (plan.FrameSize + 4ull) * groups;
                continue;
            }
            counters.TxPackets = counters.TxBytes = 0;
            state.TxCountA = state.TxCountB = 0;
            const std::uint64_t received = port.Monitor ? 0 : groups;
            counters.MulticastRx = state.RxCountA = counters.RxPackets = received;
            TestPlanSupport::setReceivedSizes(counters, plan.FrameSize, received);
        }
    }
    return true;
}
