#include "testpages/DlgJoinLeave.h"

#include "engine/EngineHost.h"
#include "engine/IGMPTestPlan.h"
#include "engine/Session.h"

#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <cstdlib>

CDlgJoinLeave::CDlgJoinLeave(QWidget *parent) : CTestPageBase(PortLayout::Standard, parent)
{
    installResultWidgets();
}

CDlgJoinLeave::~CDlgJoinLeave()
{
    if (EngineHost::instance().joinLeavePage == this)
        EngineHost::instance().joinLeavePage = nullptr;
}

bool CDlgJoinLeave::CheckFieldsValid() const
{
    return true;
}

void CDlgJoinLeave::installResultWidgets()
{
    ResultGrid = new QTableWidget(1, 3, this);
    const int widths[] = {78, 86, 86};
    for (int column = 0; column < 3; ++column)
        ResultGrid->setColumnWidth(column, widths[column]);
    ResultGrid->verticalHeader()->hide();
    ResultGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ResultGrid->setGeometry(10, 10, 270, 200);
    JoinAverageLabel = new QLabel(QStringLiteral("n/a"), this);
    JoinAverageLabel->setStyleSheet(QStringLiteral("color: rgb(0, 128, 0); font-weight: 600;"));
    JoinAverageLabel->setGeometry(10, 220, 130, 30);
    LeaveAverageLabel = new QLabel(QStringLiteral("n/a"), this);
    LeaveAverageLabel->setStyleSheet(QStringLiteral("color: rgb(250, 25, 25); font-weight: 600;"));
    LeaveAverageLabel->setGeometry(150, 220, 130, 30);
    Random = [] { return std::rand(); };
    EngineHost::instance().joinLeavePage = this;
    SetLanguageText();
}

void CDlgJoinLeave::SetLanguageText()
{
    CTestPageBase::SetLanguageText();
    if (ResultGrid) {
        const EngineHost &host = EngineHost::instance();
        ResultGrid->setHorizontalHeaderLabels({host.text(QStringLiteral("Result_Test_Pair")),
                                               host.text(QStringLiteral("JoinLeave_Result_Join")),
                                               host.text(QStringLiteral("JoinLeave_Result_Leave"))});
    }
}

void CDlgJoinLeave::ShowResults(const CIGMPTestPlan &plan)
{
    ResultGrid->clearContents();
    ResultGrid->setRowCount(int(plan.SourcePorts.size() + plan.HostPorts.size()));
    int row = 0;
    for (const UtTestPort &source : plan.SourcePorts) {
        const std::uint8_t pair =
            source.PortIndex < g_Session.Ports.size() ? g_Session.Ports[source.PortIndex].SourcePair : 0;
        if (row >= ResultGrid->rowCount())
            ResultGrid->setRowCount(row + 1);
        ResultGrid->setItem(row++, 0, new QTableWidgetItem(QString::asprintf("Test Pair -%d", int(pair))));
        // The procedure writes the delays in the same order: the inventory's ports of the pair.
        for (const UtPortRecord &record : g_Session.Ports) {
            if (record.HostPair != pair)
                continue;
            if (row >= ResultGrid->rowCount())
                ResultGrid->setRowCount(row + 1);
            auto *name = new QTableWidgetItem(
                QString::asprintf("(%3d,%2d,%1d)", int(record.CID), int(record.BID), int(record.PID)));
            name->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            ResultGrid->setItem(row, 0, name);
            for (const int column : {kJoinColumn, kLeaveColumn}) {
                auto *cell = new QTableWidgetItem(QStringLiteral("n/a"));
                cell->setTextAlignment(Qt::AlignCenter);
                ResultGrid->setItem(row, column, cell);
            }
            ++row;
        }
    }
    ResultGrid->viewport()->update();
}

bool CDlgJoinLeave::FillSyntheticDelayStamps(const CIGMPTestPlan &plan, std::uint8_t kind)
{
    // Join delays of 0.18 to 0.22 ms, leave delays of 0.58 to 0.62 ms.
    const std::uint32_t txBase = kind == 1 ? 40000 : 140000;
    const std::uint32_t rxBase = kind == 1 ? 45000 : 155000;
    for (const UtTestPort &host : plan.HostPorts) {
        const int index = LookupPortIndex(host.Id.CID, g_Session.PortIndex, host.Id.BID, host.Id.PID);
        if (index < 0 || std::size_t(index) >= g_Session.DelayStamps.size())
            continue;
        UtDelayStamp &stamp = g_Session.DelayStamps[std::size_t(index)];
        const int first = Random();
        const int second = Random();
        stamp.TxStamp = std::uint32_t(first % 500) + txBase;
        stamp.RxStamp = std::uint32_t(second % 500) + rxBase;
    }
    return true;
}

void CDlgJoinLeave::SetDelayCell(int row, int column, const QString &text)
{
    if (row < 0 || column < 0 || column >= ResultGrid->columnCount())
        return;
    if (row >= ResultGrid->rowCount())
        ResultGrid->setRowCount(row + 1);
    auto *cell = new QTableWidgetItem(text);
    cell->setTextAlignment(Qt::AlignCenter);
    ResultGrid->setItem(row, column, cell);
}

void CDlgJoinLeave::SetAverageText(int column, const QString &text)
{
    (column == kJoinColumn ? JoinAverageLabel : LeaveAverageLabel)->setText(text);
}

void CDlgJoinLeave::ApplyToTestConfig(CIGMPTestPlan &plan)
{
    ApplyPairsAndPorts(plan, nullptr);
    plan.InitialRate = 0.0;
    plan.MinRate = 0.0;
    plan.MaxRate = 0.0;
    plan.Resolution = 0.0;
    plan.CurrentRate = 100.0;
    plan.PayloadPattern = 0;
}
