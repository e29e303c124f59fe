#include "testpages/DlgCapacity.h"

#include "engine/EngineHost.h"
#include "engine/IGMPTestPlan.h"
#include "engine/Session.h"
#include "engine/TestPlanSupport.h"

#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>

CDlgCapacity::CDlgCapacity(QWidget *parent) : CTestPageBase(PortLayout::Standard, parent)
{
    installResultWidgets();
}

CDlgCapacity::~CDlgCapacity()
{
    if (EngineHost::instance().capacityPage == this)
        EngineHost::instance().capacityPage = nullptr;
}

bool CDlgCapacity::CheckFieldsValid() const
{
    for (const std::uint32_t frameSize : RunList) {
        if ((frameSize & 0xFFFF) < kMinFrameSize || (frameSize & 0xFFFF) > kMaxFrameSize)
            return false;
    }
    return true;
}

void CDlgCapacity::installResultWidgets()
{
    ResultGrid = new QTableWidget(1, 2, this);
    ResultGrid->setColumnWidth(0, 100);
    ResultGrid->setColumnWidth(1, 150);
    ResultGrid->verticalHeader()->hide();
    ResultGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ResultGrid->setGeometry(10, 10, 270, 200);
    CapacityLabel = new QLabel(QStringLiteral("0"), this);
    CapacityLabel->setStyleSheet(QStringLiteral("color: rgb(0, 128, 0); font-size: 24px;"));
    CapacityLabel->setGeometry(10, 220, 270, 40);
    EngineHost::instance().capacityPage = this;
    SetLanguageText();
}

void CDlgCapacity::SetLanguageText()
{
    CTestPageBase::SetLanguageText();
    if (ResultGrid) {
        const EngineHost &host = EngineHost::instance();
        ResultGrid->setHorizontalHeaderLabels(
            {host.text(QStringLiteral("Result_Test_Pair")), host.text(QStringLiteral("Capacity_Result_Groups"))});
    }
}

namespace {

// The multicast frames a port received, -1 when it has no counter record.
std::int64_t multicastReceived(const UtPortId &id)
{
    const int index = TestPlanSupport::hardwareIndex(id);
    if (index < 0 || std::size_t(index) >= g_Session.PortStates.size())
        return -1;
    return std::int64_t(g_Session.PortStates[std::size_t(index)].RxCountA);
}

} // namespace

void CDlgCapacity::ShowResults(CIGMPTestPlan &plan)
{
    ResultGrid->clearContents();
    ResultGrid->setRowCount(int(plan.SourcePorts.size() + plan.HostPorts.size()));
    int row = 0;
    // One host's row: its label and received frames, also stored as the host's received count.
    const auto hostRow = [&](UtTestPort &host) {
        const QString label = QString::asprintf(host.Monitor ? "Monitor:(%3d,%2d,%1d)" : "(%3d,%2d,%1d)",
                                                int(host.Id.CID), int(host.Id.BID), int(host.Id.PID));
        const std::int64_t received = multicastReceived(host.Id);
        if (received >= 0)
            host.RxMulticast = std::uint64_t(received);
        auto *name = new QTableWidgetItem(label);
        name->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        auto *count = new QTableWidgetItem(QString::number(host.RxMulticast) + QLatin1Char(' '));
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
        ResultGrid->setItem(row++, 0, new QTableWidgetItem(QString::asprintf("Test Pair -%d", int(pair))));
        for (UtTestPort &host : plan.HostPorts) {
            if (host.PortIndex < g_Session.Ports.size() && g_Session.Ports[host.PortIndex].HostPair == pair) {
                monitorShown = monitorShown || host.Monitor;
                hostRow(host);
            }
        }
    }
    if (!monitorShown) {
        for (UtTestPort &host : plan.HostPorts) {
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

void CDlgCapacity::SetCapacityText(const QString &text)
{
    CapacityLabel->setText(text);
}

void CDlgCapacity::ApplyToTestConfig(CIGMPTestPlan &plan)
{
    ApplyPairsAndPorts(plan, nullptr);
    plan.TestDuration = 0;
    plan.InitialRate = 0.0;
    plan.MinRate = 0.0;
    plan.MaxRate = 0.0;
    plan.Resolution = 0.0;
    plan.PayloadPattern = 0;
}
