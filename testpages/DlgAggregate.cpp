#include "testpages/DlgAggregate.h"

#include "controls/widgets/NumEdit.h"
#include "controls/widgets/NumSpinCtrl.h"
#include "engine/IGMPTestPlan.h"
#include "platform/NumberText.h"

namespace {
constexpr int kAggregateClientLimit = 32;
} // namespace

CDlgAggregate::CDlgAggregate(QWidget *parent) : CRateTestPage({PortLayout::Standard, 2, false, 2}, parent)
{
    InitialClientsField = addField(0, "TestPage_Initial_Clients",
                                   {.minimum = 1, .maximum = kAggregateClientLimit, .initial = 1});
    MaxClientsField =
        addField(0, "TestPage_Max_Clients", {.minimum = 1, .maximum = kAggregateClientLimit, .initial = 1});
}

bool CDlgAggregate::countsValid() const
{
    if (intOf(InitialClientsField) > intOf(MaxClientsField))
        return refuse(aboveRefusal(InitialClientsField, MaxClientsField));
    return true;
}

void CDlgAggregate::ApplyToTestConfig(CIGMPTestPlan &plan)
{
    ApplyRatePage(plan);
    applyTiming(plan);
    LogRateParameters();
    applyPayloadAndVersion(plan);
    plan.DelayAfterJoin = std::uint32_t(intOf(DelayAfterJoinField));
    plan.InitialClients = std::uint8_t(intOf(InitialClientsField));
    plan.MaxClients = std::uint8_t(intOf(MaxClientsField));
}

std::vector<CTestPageBase::SectionField> CDlgAggregate::SectionFields()
{
    std::vector<SectionField> fields = CRateTestPage::SectionFields();
    fields.push_back({"InitialClient", InitialClientsField.edit});
    fields.push_back({"MaxClient", MaxClientsField.edit});
    return fields;
}

void CDlgAggregate::SetClientLimit(int limit)
{
    if (limit <= 0)
        return;
    for (const NumberField &field : {InitialClientsField, MaxClientsField}) {
        field.edit->SetIntRange(1, limit);
        field.edit->setToolTip(field.edit->GetRangeText());
        field.spin->SetRangeAndStep(1, limit, 1);
        if (intOf(field) > limit)
            field.edit->setText(formatInt(limit));
    }
}
