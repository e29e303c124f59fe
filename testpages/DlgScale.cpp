#include "testpages/DlgScale.h"

#include "controls/widgets/NumEdit.h"
#include "engine/IGMPTestPlan.h"

namespace {
constexpr int kScaleGroupLimit = 32;
} // namespace

CDlgScale::CDlgScale(QWidget *parent) : CRateTestPage({PortLayout::Standard, 3, false, 1}, parent)
{
    InitialGroupsField =
        addField(0, "TestPage_Initial_Groups", {.minimum = 1, .maximum = kScaleGroupLimit, .initial = 1});
    MaxGroupsField =
        addField(0, "TestPage_Max_Groups", {.minimum = 1, .maximum = kScaleGroupLimit, .initial = 1});
}

bool CDlgScale::countsValid() const
{
    // The run steps the groups up from the initial count: above the maximum it would run none.
    if (intOf(InitialGroupsField) > intOf(MaxGroupsField))
        return refuse(aboveRefusal(InitialGroupsField, MaxGroupsField));
    return true;
}

void CDlgScale::ApplyToTestConfig(CIGMPTestPlan &plan)
{
    ApplyRatePage(plan);
    applyTiming(plan);
    LogRateParameters();
    applyPayloadAndVersion(plan);
    plan.InitialGroups = std::uint32_t(intOf(InitialGroupsField));
    plan.MaxGroups = std::uint32_t(intOf(MaxGroupsField));
}

std::vector<CTestPageBase::SectionField> CDlgScale::SectionFields()
{
    std::vector<SectionField> fields = CRateTestPage::SectionFields();
    fields.push_back({"InitialGroup", InitialGroupsField.edit});
    fields.push_back({"MaxGroup", MaxGroupsField.edit});
    return fields;
}
