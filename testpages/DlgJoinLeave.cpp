#include "testpages/DlgJoinLeave.h"

#include "controls/widgets/NumEdit.h"
#include "engine/EngineHost.h"
#include "engine/IGMPTestPlan.h"
#include "engine/LanguageText.h"
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

} // namespace

CDlgJoinLeave::CDlgJoinLeave(QWidget *parent) : CTestPageBase(PortLayout::Standard, parent)
{
    createFields();
    createResultWidgets();
    EngineHost::instance().joinLeavePage = this;
    SetLanguageText();
}

CDlgJoinLeave::~CDlgJoinLeave()
{
    if (EngineHost::instance().joinLeavePage == this)
        EngineHost::instance().joinLeavePage = nullptr;
}

void CDlgJoinLeave::createFields()
{
    auto *grid = new QGridLayout(ConfigBox);
    Trials.Create(grid, {.row = 0, .minimum = 1, .maximum = 5, .initial = 1, .editId = 1455, .spinId = 1462});
    DelayAfterJoin.Create(
        grid, {.row = 1, .minimum = 1, .maximum = 300, .initial = 1, .editId = 1456, .spinId = 1461});
    TestDuration.Create(
        grid, {.row = 2, .minimum = 1, .maximum = 300, .initial = 5, .editId = 1457, .spinId = 1460});
    AddIgmpVersionRow(grid, 3, QStringLiteral("ctl1463"), IgmpVersionLabel, IgmpVersionCombo);
    MeasureJoinCheck = new QCheckBox(ConfigBox);
    MeasureJoinCheck->setObjectName(QStringLiteral("ctl1454"));
    MeasureJoinCheck->setChecked(true);
    grid->addWidget(MeasureJoinCheck, 4, 0, 1, 3);
    MeasureLeaveCheck = new QCheckBox(ConfigBox);
    MeasureLeaveCheck->setObjectName(QStringLiteral("ctl1453"));
    MeasureLeaveCheck->setChecked(true);
    grid->addWidget(MeasureLeaveCheck, 5, 0, 1, 3);
    connect(MeasureJoinCheck, &QCheckBox::clicked, this, &CDlgJoinLeave::OnEnableMeasureJoin);
    connect(MeasureLeaveCheck, &QCheckBox::clicked, this, &CDlgJoinLeave::OnEnableMeasureLeave);
    SendLeaveCheck = new QCheckBox(ConfigBox);
    SendLeaveCheck->setObjectName(QStringLiteral("ctl1315"));
    SendLeaveCheck->hide();
    grid->setColumnStretch(3, 1);
}

void CDlgJoinLeave::createResultWidgets()
{
    // The result grid, and the two averages below it, stand beside the configuration box.
    QVBoxLayout *results = AddResultBesideConfig(ResultBox, ResultGrid, 3);
    AverageBox = new QGroupBox(this);
    AverageBox->setObjectName(QStringLiteral("ctl1273"));
    auto *averages = new QGridLayout(AverageBox);
    JoinAverageCaption = new QLabel(AverageBox);
    LeaveAverageCaption = new QLabel(AverageBox);
    JoinAverageLabel = new QLabel(QStringLiteral("n/a"), AverageBox);
    JoinAverageLabel->setObjectName(QStringLiteral("ctl1477"));
    LeaveAverageLabel = new QLabel(QStringLiteral("n/a"), AverageBox);
    LeaveAverageLabel->setObjectName(QStringLiteral("ctl1478"));
    StyleResultLabel(JoinAverageLabel, QColor(0, 128, 0), 20, QFont::DemiBold);
    StyleResultLabel(LeaveAverageLabel, QColor(250, 25, 25), 20, QFont::DemiBold);
    averages->addWidget(JoinAverageCaption, 0, 0);
    averages->addWidget(JoinAverageLabel, 0, 1);
    averages->addWidget(LeaveAverageCaption, 1, 0);
    averages->addWidget(LeaveAverageLabel, 1, 1);
    results->addWidget(AverageBox);
}

void CDlgJoinLeave::SetLanguageText()
{
    CTestPageBase::SetLanguageText();
    if (!ResultGrid)
        return;
    Trials.Label->setText(languageText("JoinLeave_Trials"));
    DelayAfterJoin.Label->setText(languageText("JoinLeave_Delay_After_Join"));
    TestDuration.Label->setText(languageText("JoinLeave_Test_Duration"));
    IgmpVersionLabel->setText(languageText("JoinLeave_IGMP_Version"));
    MeasureJoinCheck->setText(languageText("JoinLeave_Measure_Join"));
    MeasureLeaveCheck->setText(languageText("JoinLeave_Measure_Leave"));
    SendLeaveCheck->setText(languageText("JoinLeave_Send_Leave"));
    ResultBox->setTitle(languageText("JoinLeave_Result"));
    AverageBox->setTitle(languageText("JoinLeave_Average_Delay"));
    JoinAverageCaption->setText(languageText("JoinLeave_Join_Average"));
    LeaveAverageCaption->setText(languageText("JoinLeave_Leave_Average"));
    ResultGrid->setHorizontalHeaderLabels({languageText("Result_Test_Pair"),
                                           languageText("JoinLeave_Result_Join"),
                                           languageText("JoinLeave_Result_Leave")});
}

std::vector<CTestPageBase::SectionField> CDlgJoinLeave::SectionFields()
{
    return {{"NumberOfTrails", Trials.Edit},
            {"DelayAfterJoin", DelayAfterJoin.Edit},
            {"TestDuration", TestDuration.Edit},
            {"IGMPVer", IgmpVersionCombo},
            {"EnableMeasureJoinDelay", MeasureJoinCheck},
            {"EnableMeasureLeaveDelay", MeasureLeaveCheck}};
}

bool CDlgJoinLeave::CheckFieldsValid()
{
    clearRefusal();
    for (const PageNumberField *field : {&Trials, &DelayAfterJoin, &TestDuration}) {
        if (!field->IsInRange())
            return refuse(field->RangeRefusal());
    }
    // The capture runs from the delay to the end of the test: at or past the end it captures nothing.
    if (DelayAfterJoin.Value() >= TestDuration.Value())
        return refuse(NotBelowRefusal(DelayAfterJoin.Label, DelayAfterJoin.Edit->text(), TestDuration.Label,
                                      TestDuration.Edit->text()));
    if (!checkPairTicked())
        return false;
    if (!MeasureJoinCheck->isChecked() && !MeasureLeaveCheck->isChecked())
        return refuse(languageText("JoinLeave_Refuse_No_Measure")
                          .arg(MeasureJoinCheck->text().trimmed(), MeasureLeaveCheck->text().trimmed()));
    return checkPortTags();
}

void CDlgJoinLeave::OnEnableMeasureJoin()
{
    if (!MeasureJoinCheck->isChecked() && !MeasureLeaveCheck->isChecked())
        MeasureJoinCheck->setChecked(true);
}

void CDlgJoinLeave::OnEnableMeasureLeave()
{
    if (!MeasureJoinCheck->isChecked() && !MeasureLeaveCheck->isChecked())
        MeasureLeaveCheck->setChecked(true);
}

void CDlgJoinLeave::ApplyToTestConfig(CIGMPTestPlan &plan)
{
    ApplyPairsAndPorts(plan, nullptr);
    plan.CurrentRate = 100.0;
    plan.NumberOfTrials = std::uint32_t(Trials.Value());
    plan.TestDuration = std::uint32_t(TestDuration.Value());
    plan.DelayAfterStart = std::uint32_t(DelayAfterJoin.Value());
    RunList = {64};
    plan.InitialRate = 0.0;
    plan.MinRate = 0.0;
    plan.MaxRate = 0.0;
    plan.Resolution = 0.0;
    plan.PayloadPattern = 0;
    plan.IgmpVersion = IgmpVersionOfIndex(IgmpVersionCombo->currentIndex());
    plan.MeasureFlags =
        std::uint8_t((MeasureJoinCheck->isChecked() ? 1 : 0) | (MeasureLeaveCheck->isChecked() ? 2 : 0));
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
        ResultGrid->setItem(row++, 0, new QTableWidgetItem(ResultPairLabel(pair)));
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
    const std::uint32_t txBase = kind == 1 ? 40000 : 140000;
    const std::uint32_t rxBase = kind == 1 ? 45000 : 155000;
    for (const UtTestPort &host : plan.HostPorts) {
        const int index = LookupPortIndex(host.Id.CID, g_Session.PortIndex, host.Id.BID, host.Id.PID);
        if (index < 0 || std::size_t(index) >= g_Session.DelayStamps.size())
            continue;
        UtDelayStamp &stamp = g_Session.DelayStamps[std::size_t(index)];
        const int first = plan.Random();
        const int second = plan.Random();
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
