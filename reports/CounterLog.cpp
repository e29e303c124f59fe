#include "reports/CounterLog.h"

#include "controls/widgets/ButtonST.h"
#include "controls/widgets/SkinListCtrl.h"
#include "engine/EngineHost.h"
#include "engine/EngineUtils.h"
#include "engine/IGMPTestPlan.h"
#include "engine/Session.h"
#include "reports/CounterDlg.h"

#include <QVBoxLayout>
#include <algorithm>
#include <array>

namespace {

struct CounterColumn
{
    const char *key;
    int width;
};

const std::array<CounterColumn, CCounterLog::kColumnCount> kCounterColumns{{
    {"CounterLog_Port", 100},
    {"CounterLog_Alias", 150},
    {"CounterLog_Packet_Size", 80},
    {"CounterLog_Frame_Gap", 80},
    {"CounterLog_Percent", 80},
    {"CounterLog_Rate", 100},
    {"CounterLog_Tx_Packet", 120},
    {"CounterLog_Tx_Byte", 120},
    {"CounterLog_Rx_Packet", 120},
    {"CounterLog_Rx_Byte", 120},
    {"CounterLog_Good_Packet", 120},
    {"CounterLog_Unicast_Packet", 120},
    {"CounterLog_Multicast_Packet", 120},
    {"CounterLog_IPv4_Packet", 120},
    {"CounterLog_Collision", 120},
    {"CounterLog_CRC_Error", 110},
    {"CounterLog_Pause_Packet", 110},
    {"CounterLog_VLAN_Packet", 110},
    {"CounterLog_Under_Size", 110},
    {"CounterLog_Size_64", 110},
    {"CounterLog_Size_65_127", 150},
    {"CounterLog_Size_128_255", 150},
    {"CounterLog_Size_256_511", 150},
    {"CounterLog_Size_512_1023", 150},
    {"CounterLog_Size_1024_1522", 150},
    {"CounterLog_Over_Size", 120},
}};

// The block header by the running test (the plan's test type); none for a test without a block.
QString counterHeaderFormat(std::uint32_t testType)
{
    switch (testType) {
    case TestMixClass:
        return QStringLiteral("Benchmark:Mixed Class Throughput  Trial:%1  Repetition:%2  Duration:%3 sec.");
    case TestAggregate:
        return QStringLiteral(
            "Benchmark:Aggregate Multicast Throughput  Trial:%1  Repetition:%2  Duration:%3 sec.");
    case TestScale:
        return QStringLiteral("Benchmark:Scale Group Throughput  Trial:%1  Repetition:%2  Duration:%3 sec.");
    case TestLatency:
        return QStringLiteral("Benchmark:Latency Test Trial:%1  Repetition:%2  Duration:%3 sec.");
    case TestCapacity:
        return QStringLiteral("Benchmark:Capacity Test  Trial:%1  Repetition:%2  Duration:%3 sec.");
    case TestSourceFilter:
        return QStringLiteral(
            "Benchmark:IGMP V3 Source Filter Test  Trial:%1  Repetition:%2  Duration:%3 sec.");
    default:
        return QString();
    }
}

QString counterPortText(std::uint16_t chassis, std::uint8_t card, std::uint8_t port)
{
    return QString::asprintf("(%3d,%2d,%d)", int(chassis), int(card), int(port));
}

int counterHardwareIndex(std::uint16_t chassis, std::uint8_t card, std::uint8_t port)
{
    return LookupPortIndex(chassis, g_Session.PortIndex, card, port);
}

// A count as decimal digits, with the trailing blank of the columns that carry one.
QString counterCountText(std::uint64_t value, bool blank)
{
    QString text = QString::number(qulonglong(value));
    if (blank)
        text += u' ';
    return text;
}

} // namespace

CCounterLog::CCounterLog(QWidget *parent)
    : QWidget(parent), SaveButton(new CButtonST(this)), ClearButton(new CButtonST(this)),
      List(new CSkinListCtrl(this))
{
    SaveButton->AssignStateBitmaps(CCounterDlg::ButtonBitmap(CCounterDlg::kSaveBitmap), 0xFFFFFF);
    ClearButton->AssignStateBitmaps(CCounterDlg::ButtonBitmap(CCounterDlg::kClearBitmap), 0xFFFFFF);
    for (CButtonST *button : {SaveButton, ClearButton}) {
        button->LightenBackColor();
        button->hide();
    }
    connect(ClearButton, &QPushButton::clicked, this, &CCounterLog::OnClear);
    // The list alone fills the page.
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(List);
    InitColumns();
    ResetCounterLog();
}

void CCounterLog::InitColumns()
{
    QList<CSkinListCtrl::NewColumn> columns;
    for (const CounterColumn &c : kCounterColumns)
        columns.append({EngineHost::instance().text(QString::fromLatin1(c.key)), Qt::AlignLeft, c.width});
    List->InsertColumns(0, columns);
}

void CCounterLog::SetLanguageText()
{
    const EngineHost &host = EngineHost::instance();
    for (int column = 0; column < kColumnCount; ++column) {
        List->SetColumnCaption(column,
                               host.text(QString::fromLatin1(kCounterColumns[std::size_t(column)].key)));
    }
    SaveButton->setText(host.text(QStringLiteral("CounterDlg_Save")));
    ClearButton->setText(host.text(QStringLiteral("CounterDlg_Clear")));
}

void CCounterLog::ResetCounterLog()
{
    FirstRow = 0;
    LastRow = 0;
    List->RemoveAllRows();
    for (int row = 0; row < kEmptyRows; ++row)
        List->InsertRow(row, QString());
}

int CCounterLog::putRow(int row, const QString &text)
{
    if (row < List->GetItemCount()) {
        List->SetItemText(row, ColPort, text);
        return row;
    }
    while (List->GetItemCount() < row)
        List->InsertRow(List->GetItemCount(), QString());
    return List->InsertRow(row, text);
}

void CCounterLog::ensureRow(int row)
{
    if (row >= List->GetItemCount())
        putRow(row, QString());
}

void CCounterLog::setStyle(int row, std::uint32_t textFormat, std::uint8_t headerRow,
                           std::uint32_t highlightMask)
{
    if (UtListRowStyle *style = List->Style(row)) {
        style->TextFormat = textFormat;
        style->HeaderRow = headerRow;
        style->HighlightMask = highlightMask;
        List->RefreshRow(row);
    }
}

void CCounterLog::writeRateCells(int row, const CIGMPTestPlan &plan, const UtPortId &port, bool withFrameSize)
{
    std::int32_t packetsPerSecond = 0;
    std::int32_t gapBits = 0;
    ComputeFrameGap(plan, port.CID, port.BID, port.PID, packetsPerSecond, gapBits);
    if (withFrameSize)
        List->SetItemText(row, ColPacketSize, QString::number(plan.FrameSize));
    List->SetItemTexts(row, ColFrameGap,
                       {QString::number(gapBits), QString::asprintf("%.2f", plan.CurrentRate),
                        QString::number(packetsPerSecond)});
}

void CCounterLog::InsertTrialRows(const CIGMPTestPlan &plan, const QString &caption, std::uint32_t trial,
                                  std::uint32_t repetition, std::uint32_t duration)
{
    const bool sourceFilter = plan.TestType == TestSourceFilter;
    const bool latency = plan.TestType == TestLatency;
    int row = int(FirstRow);

    QString header = counterHeaderFormat(plan.TestType);
    if (!header.isEmpty())
        header = header.arg(qulonglong(trial) + 1).arg(repetition).arg(duration);
    putRow(row, header);
    // A header row is a band whatever its text.
    setStyle(row++, 0, 1, 0);
    if (sourceFilter) {
        putRow(row, QStringLiteral("Group - %1").arg(caption));
        setStyle(row++, 0, 1, 0);
    }

    for (const UtTestPort &source : plan.SourcePorts) {
        const UtPortRecord *sourceRecord = g_Session.RecordOf(source);
        const std::uint8_t pair = sourceRecord ? sourceRecord->SourcePair : 0;
        if (!sourceFilter)
            putRow(row++, QStringLiteral("Test Pair - %1").arg(pair));

        putRow(row, counterPortText(source.Id.CID, source.Id.BID, source.Id.PID));
        setStyle(row, kAlignRight, 0, 0);
        if (sourceRecord)
            g_Session.Ports[source.PortIndex].CounterRow = std::uint32_t(row);
        List->SetItemText(row, ColAlias, QStringLiteral("Source Port"));
        writeRateCells(row++, plan, source.Id, true);

        if (latency) {
            ensureRow(row);
            setStyle(row, kAlignCentre, 0, kLatencyCells);
            List->SetItemTexts(row++, ColFrameGap,
                               {QStringLiteral("Max Latency"), QStringLiteral("Min Latency"),
                                QStringLiteral("Avg Latency")});
        }
        // A source without a record has no pair, and pair 0 would take every port that hosts none.
        if (sourceFilter || pair == 0)
            continue;
        const UtTestPair *testPair = pair <= plan.TestPairs.size() ? &plan.TestPairs[pair - 1] : nullptr;
        for (UtPortRecord &host : g_Session.Ports) {
            if (!IsHostOfPair(host, pair))
                continue;
            putRow(row, counterPortText(host.CID, host.BID, host.PID));
            host.CounterRow = std::uint32_t(row);
            const bool unicastPort = testPair && testPair->UniCid == host.CID &&
                                     testPair->UniBid == host.BID && testPair->UniPid == host.PID;
            if (plan.TestType == TestMixClass && unicastPort)
                List->SetItemText(row, ColAlias, QStringLiteral("Unicast Port"));
            List->SetItemText(row, ColPacketSize, QStringLiteral("n/a"));
            if (latency) {
                setStyle(row, kAlignRight, 0, kLatencyCells);
            } else {
                setStyle(row, kAlignRight, 0, 0);
                writeRateCells(row, plan, source.Id, false);
            }
            ++row;
        }
    }

    if (sourceFilter) {
        for (const UtTestPort &host : plan.HostPorts) {
            putRow(row, counterPortText(host.Id.CID, host.Id.BID, host.Id.PID));
            setStyle(row, kAlignRight, 0, 0);
            List->SetItemTexts(row, ColAlias, {QStringLiteral("Host Port"), QStringLiteral("n/a")});
            if (g_Session.RecordOf(host))
                g_Session.Ports[host.PortIndex].CounterRow = std::uint32_t(row);
            writeRateCells(row++, plan, host.Id, false);
        }
    }

    LastRow = std::uint32_t(row);
    ensureRow(row);
}

void CCounterLog::UpdateCounterRows(const CIGMPTestPlan &plan)
{
    const bool sourceFilter = plan.TestType == TestSourceFilter;
    for (const UtTestPort &source : plan.SourcePorts) {
        UpdateCounterRow(plan, counterHardwareIndex(source.Id.CID, source.Id.BID, source.Id.PID),
                         source.PortIndex);
        const UtPortRecord *sourceRecord = g_Session.RecordOf(source);
        if (sourceFilter || !sourceRecord || sourceRecord->SourcePair == 0)
            continue;
        for (std::size_t index = 0; index < g_Session.Ports.size(); ++index) {
            const UtPortRecord &host = g_Session.Ports[index];
            if (IsHostOfPair(host, sourceRecord->SourcePair))
                UpdateCounterRow(plan, counterHardwareIndex(host.CID, host.BID, host.PID), index);
        }
    }
    if (sourceFilter) {
        for (const UtTestPort &host : plan.HostPorts)
            UpdateCounterRow(plan, counterHardwareIndex(host.Id.CID, host.Id.BID, host.Id.PID),
                             host.PortIndex);
    }
}

void CCounterLog::UpdateCounterRow(const CIGMPTestPlan &plan, int hardwareIndex, std::size_t recordIndex)
{
    if (hardwareIndex < 0 || std::size_t(hardwareIndex) >= g_Session.PortCounters.size() ||
        std::size_t(hardwareIndex) >= g_Session.PortStates.size() || recordIndex >= g_Session.Ports.size())
        return;
    const UtPortCounters &cnt = g_Session.PortCounters[std::size_t(hardwareIndex)];
    const UtPortState &st = g_Session.PortStates[std::size_t(hardwareIndex)];
    const std::uint64_t txPackets = plan.TestType == TestCapacity ? cnt.TxPackets : st.TxCountA + st.TxCountB;
    List->SetItemTexts(int(g_Session.Ports[recordIndex].CounterRow), ColTxPacket,
                       {
                           counterCountText(txPackets, true),
                           counterCountText(cnt.TxBytes, false),
                           counterCountText(cnt.Undersize + cnt.Oversize + cnt.NormalSize, true),
                           counterCountText(cnt.RxBytes, false),
                           counterCountText(st.RxCountA + st.RxCountB, true),
                           counterCountText(st.RxCountB, false),
                           counterCountText(st.RxCountA, false),
                           counterCountText(cnt.Ipv4Frames, false),
                           counterCountText(cnt.Collisions, true),
                           counterCountText(cnt.CrcErrors, false),
                           counterCountText(cnt.PauseFrames, true),
                           counterCountText(cnt.VlanFrames, false),
                           counterCountText(cnt.Undersize, false),
                           counterCountText(cnt.Bucket64, true),
                           counterCountText(cnt.Bucket65To127, false),
                           counterCountText(cnt.Bucket128To255, true),
                           counterCountText(cnt.Bucket256To511, false),
                           counterCountText(cnt.Bucket512To1023, true),
                           counterCountText(cnt.Bucket1024To1522, false),
                           counterCountText(cnt.Oversize, true),
                       });
}

void CCounterLog::UpdateLatencyColumns(CIGMPTestPlan &plan)
{
    for (UtTestPort &host : plan.HostPorts) {
        const int index = counterHardwareIndex(host.Id.CID, host.Id.BID, host.Id.PID);
        if (index < 0 || std::size_t(index) >= g_Session.PortStates.size())
            continue;
        const double sample = g_Session.PortStates[std::size_t(index)].MaxLatencyTicks * 0.04;
        // Only a sample above the module's own latency is one: a reading of 0 ticks is no measurement.
        if (!(sample - LatencyCompensation(host.SpeedMedia, host.Id.PID, host.TYPE) > 0))
            continue;
        if (sample > host.LatencyMax || host.LatencyMax == 0)
            host.LatencyMax = sample;
        if (sample < host.LatencyMin || host.LatencyMin == 0)
            host.LatencyMin = sample;
        host.LatencySum += sample;
        ++host.LatencyCount;
        const auto record = std::find_if(g_Session.Ports.begin(), g_Session.Ports.end(),
                                         [&](const UtPortRecord &r) { return r.Id() == host.Id; });
        if (record == g_Session.Ports.end())
            continue;
        List->SetItemTexts(int(record->CounterRow), ColFrameGap,
                           {QString::asprintf("%.2f ", host.LatencyMax),
                            QString::asprintf("%.2f ", host.LatencyMin),
                            QString::asprintf("%.2f ", host.LatencySum / host.LatencyCount)});
    }
}

void CCounterLog::OnClear()
{
    List->RemoveAllRows();
}

void CCounterLog::SetRowResult(int row, const QString &text, COLORREF color)
{
    if (UtListRowStyle *style = List->Style(row)) {
        List->SetItemText(row, ColPort, text);
        style->TextColor = color;
        List->RefreshRow(row);
    }
}

QString CCounterLog::CellText(int row, int column) const
{
    return List->GetItemText(row, column);
}

COLORREF CCounterLog::RowColor(int row) const
{
    return RowStyle(row).TextColor;
}

UtListRowStyle CCounterLog::RowStyle(int row) const
{
    const UtListRowStyle *style = static_cast<const CSkinListCtrl *>(List)->Style(row);
    return style ? *style : UtListRowStyle{};
}

int CCounterLog::RowCount() const
{
    return List->GetItemCount();
}

void CCounterLog::SetResultPages(const ReportResultPages &pages)
{
    m_resultPages = pages;
}

const ReportResultPages &CCounterLog::ResultPages() const
{
    return m_resultPages;
}
