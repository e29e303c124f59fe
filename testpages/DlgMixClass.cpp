#include "testpages/DlgMixClass.h"

#include "engine/EngineHost.h"
#include "engine/EngineUtils.h"
#include "engine/IGMPTestPlan.h"
#include "engine/Session.h"
#include "ports/PortCheckGrid.h"

#include <QGroupBox>
#include <QLabel>
#include <QVBoxLayout>

namespace {

constexpr int kUnicastColumnWidth = 134;

// The pair a pair-grid label ends with (1 to 8), else 0.
std::uint32_t pairOfLabel(const QString &label)
{
    const int number = label.isEmpty() ? -1 : label.back().digitValue();
    return number >= 1 && number <= int(kMaxTestPairs) ? std::uint32_t(number) : 0;
}

} // namespace

CDlgMixClass::CDlgMixClass(QWidget *parent) : CRateTestPage({PortLayout::MixClass, 1, false, 2}, parent)
{
    auto *pairLayout = qobject_cast<QVBoxLayout *>(PairBox->layout());
    UnicastLabel = new QLabel(PairBox);
    UnicastLabel->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    UnicastGrid = new CUniPortCheck(PairBox);
    UnicastGrid->setObjectName(QStringLiteral("ctl1305"));
    pairLayout->addWidget(UnicastLabel);
    pairLayout->addWidget(UnicastGrid);
    UnicastGrid->InitAttachedWindow(this);
    UnicastGrid->ChangeColumnWidth(0, kUnicastColumnWidth);
    CDlgMixClass::SetLanguageText();
}

void CDlgMixClass::SetLanguageText()
{
    CRateTestPage::SetLanguageText();
    if (UnicastLabel)
        UnicastLabel->setText(EngineHost::instance().text(QStringLiteral("TestPage_Unicast_Port")));
}

void CDlgMixClass::ApplyToTestConfig(CIGMPTestPlan &plan)
{
    const EngineHost &host = EngineHost::instance();
    host.log(QStringLiteral("* Configuration Test Parameter... \n"));
    plan.ChartScale = 0;
    applyTiming(plan);
    host.log(QString::asprintf("* Test Duration :   %d secs,      Test Trails :  %d times\n",
                               int(plan.TestDuration), int(plan.NumberOfTrials)));
    LogRateParameters();
    applyPayloadAndVersion(plan);
    plan.DelayAfterJoin = std::uint32_t(intOf(DelayAfterJoinField));
    ApplyRatePage(plan);
    QString pairs = QStringLiteral("* Selected Test Pair =>");
    for (int row = 0; row < PairGrid->GetRowCount(); ++row) {
        QString label;
        PairGrid->GetRowText(row, label);
        if (IsRowChecked(PairGrid, row))
            pairs += QString::asprintf("Pair %d ,", int(pairOfLabel(label)));
    }
    pairs.chop(1);
    host.log(pairs + QStringLiteral(".\n"));
}

void CDlgMixClass::beforePairGridFill()
{
    if (UnicastGrid)
        DeleteAllRows(UnicastGrid);
}

void CDlgMixClass::onCheckedPairRow(int row)
{
    ShowUnicastPort(row);
}

void CDlgMixClass::afterPairGridFill()
{
    PairGrid->RepaintRow(0);
}

void CDlgMixClass::ShowUnicastPort(int row)
{
    QString label;
    PairGrid->GetRowText(row, label);
    if (label.isEmpty() || !UnicastGrid)
        return;
    CurrentPair = pairOfLabel(label);
    DeleteAllRows(UnicastGrid);
    const CIGMPTestPlan *plan = EngineHost::instance().testPlan();
    const UtTestPair *pair = plan && CurrentPair >= 1 && CurrentPair <= plan->TestPairs.size()
                                 ? &plan->TestPairs[CurrentPair - 1]
                                 : nullptr;
    int rows = 0;
    bool ticked = false;
    for (const UtPortRecord &record : g_Session.Ports) {
        if (CurrentPair == 0 || record.HostPair != CurrentPair)
            continue;
        const bool unicast =
            pair && pair->UniCid == record.CID && pair->UniBid == record.BID && pair->UniPid == record.PID;
        UnicastGrid->AddRow(
            rows++, QString::asprintf("(%d, %d, %d)", int(record.CID), int(record.BID), int(record.PID)),
            unicast ? 1 : 0, nullptr, kPairCheckStyle);
        ticked = ticked || unicast;
    }
    // A pair without a host keeps its unicast port.
    if (!ticked && rows > 0) {
        CUGCell check;
        UnicastGrid->ReadCell(0, 0, &check);
        check.AssignText(QStringLiteral("1"));
        UnicastGrid->WriteCell(0, 0, &check);
        SetUnicastPort(0);
    }
    UnicastGrid->RepaintAllParts();
}

void CDlgMixClass::SetUnicastPort(int row)
{
    CIGMPTestPlan *plan = EngineHost::instance().testPlan();
    QString text;
    UtPortKey key{};
    if (!plan || CurrentPair < 1 || CurrentPair > plan->TestPairs.size() ||
        !UnicastGrid->GetRowText(row, text) || !ParsePortLabel(text, key))
        return;
    UtTestPair &pair = plan->TestPairs[CurrentPair - 1];
    pair.UniCid = key.Id.CID;
    pair.UniBid = key.Id.BID;
    pair.UniPid = key.Id.PID;
}

std::uint8_t CDlgMixClass::FindPairOfUnicastPort(std::uint16_t chassis, std::uint8_t card, std::uint8_t port)
{
    const CIGMPTestPlan *plan = EngineHost::instance().testPlan();
    return plan ? plan->PairOfUnicastPort(UtPortId{chassis, card, port}) : 0;
}
