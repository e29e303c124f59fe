#include "reports/CounterLog.h"

#include "engine/EngineUtils.h"
#include "engine/IGMPTestPlan.h"
#include "engine/Session.h"

#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

// Result, port, the four counters, then the maximum, minimum and average latency.
constexpr int kColumnCount = 9;
constexpr int kMaxLatencyColumn = 6;
const char *const kTestNames[] = {"Mixed Class",    "Aggregate",  "Scale Group",  "Latency",
                                  "Group Capacity", "Join/Leave", "Source Filter"};

QString portText(const UtPortId &id)
{
    return QString::asprintf("(%3d,%2d,%d)", int(id.CID), int(id.BID), int(id.PID));
}

} // namespace

CCounterLog::CCounterLog(QWidget *parent)
    : QWidget(parent), List(new QTableWidget(0, kColumnCount, this)), ClearButton(new QPushButton(this))
{
    List->verticalHeader()->hide();
    List->setEditTriggers(QAbstractItemView::NoEditTriggers);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(List);
    layout->addWidget(ClearButton, 0, Qt::AlignRight);
    connect(ClearButton, &QPushButton::clicked, this, &CCounterLog::ResetCounterLog);
}

void CCounterLog::SetCaptions(const QStringList &columns, const QString &clear)
{
    List->setHorizontalHeaderLabels(columns.mid(0, kColumnCount));
    ClearButton->setText(clear);
}

void CCounterLog::ResetCounterLog()
{
    List->setRowCount(0);
    FirstRow = 0;
    LastRow = 0;
    m_portRowsStart = 0;
}

void CCounterLog::InsertTrialRows(const CIGMPTestPlan &plan, const QString &caption, std::uint32_t trial,
                                  std::uint32_t repetition, std::uint32_t duration)
{
    const QString test =
        plan.TestType < std::size(kTestNames) ? QString::fromLatin1(kTestNames[plan.TestType]) : QString();
    QString header =
        QString::asprintf("Benchmark:%s  Trial:%d  Repetition:%d  Duration:%d sec.",
                          test.toLatin1().constData(), int(trial + 1), int(repetition), int(duration));
    if (!caption.isEmpty())
        header = caption + QStringLiteral("  ") + header;
    int row = List->rowCount();
    List->insertRow(row);
    List->setItem(row, 1, new QTableWidgetItem(header));
    m_portRowsStart = row + 1;
    for (const auto *ports : {&plan.SourcePorts, &plan.HostPorts}) {
        for (const UtTestPort &port : *ports) {
            List->insertRow(++row);
            List->setItem(row, 1, new QTableWidgetItem(portText(port.Id)));
        }
    }
    LastRow = std::uint32_t(row);
}

void CCounterLog::UpdateCounterRows(const CIGMPTestPlan &plan)
{
    int row = m_portRowsStart;
    for (const auto *ports : {&plan.SourcePorts, &plan.HostPorts}) {
        for (const UtTestPort &port : *ports) {
            if (row >= List->rowCount())
                return;
            const int index = LookupPortIndex(port.Id.CID, g_Session.PortIndex, port.Id.BID, port.Id.PID);
            if (index >= 0 && std::size_t(index) < g_Session.PortCounters.size() &&
                std::size_t(index) < g_Session.PortStates.size()) {
                const UtPortCounters &counters = g_Session.PortCounters[std::size_t(index)];
                const UtPortState &state = g_Session.PortStates[std::size_t(index)];
                const std::uint64_t values[] = {counters.TxPackets, counters.RxPackets, state.RxCountA,
                                                state.RxCountB};
                for (int column = 0; column < int(std::size(values)); ++column)
                    List->setItem(row, column + 2, new QTableWidgetItem(QString::number(values[column])));
            }
            ++row;
        }
    }
}

void CCounterLog::UpdateLatencyColumns(CIGMPTestPlan &plan)
{
    int row = m_portRowsStart + int(plan.SourcePorts.size());
    for (UtTestPort &host : plan.HostPorts) {
        const int thisRow = row++;
        const int index = LookupPortIndex(host.Id.CID, g_Session.PortIndex, host.Id.BID, host.Id.PID);
        if (index < 0 || std::size_t(index) >= g_Session.PortStates.size())
            continue;
        const double sample = g_Session.PortStates[std::size_t(index)].MaxLatencyTicks * 0.04;
        // The count is a byte: a full one takes no more samples, so the average stays right.
        if (sample - LatencyCompensation(host.SpeedMedia, host.Id.PID, host.TYPE) <= 0 ||
            host.LatencyCount == UINT8_MAX)
            continue;
        if (sample > host.LatencyMax || host.LatencyMax == 0)
            host.LatencyMax = sample;
        if (sample < host.LatencyMin || host.LatencyMin == 0)
            host.LatencyMin = sample;
        host.LatencySum += sample;
        ++host.LatencyCount;
        if (thisRow >= List->rowCount())
            continue;
        const double values[] = {host.LatencyMax, host.LatencyMin, host.LatencySum / host.LatencyCount};
        for (int i = 0; i < int(std::size(values)); ++i)
            List->setItem(thisRow, kMaxLatencyColumn + i,
                          new QTableWidgetItem(QString::asprintf("%.2f ", values[i])));
    }
}

void CCounterLog::SetRowResult(int row, const QString &text, COLORREF color)
{
    if (row < 0 || row >= List->rowCount())
        return;
    auto *item = new QTableWidgetItem(text);
    List->setItem(row, 0, item);
    for (int column = 0; column < List->columnCount(); ++column) {
        if (QTableWidgetItem *cell = List->item(row, column))
            cell->setForeground(fromColorRef(color));
    }
}

QString CCounterLog::CellText(int row, int column) const
{
    const QTableWidgetItem *item = List->item(row, column);
    return item ? item->text() : QString();
}

COLORREF CCounterLog::RowColor(int row) const
{
    const QTableWidgetItem *item = List->item(row, 0);
    return item ? toColorRef(item->foreground().color()) : 0;
}

int CCounterLog::RowCount() const
{
    return List->rowCount();
}
