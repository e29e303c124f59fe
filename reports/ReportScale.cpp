#include "reports/ReportScale.h"

#include "engine/IGMPTestPlan.h"

CReportScale::CReportScale(QWidget *parent)
    : ReportCountPage(ScalePage,
                      {"ResultPage_Grid_Title_Scale", "ResultPage_Chart_Title_Scale",
                       "ResultPage_Col_Group_Number", "ResultPage_Col_Initial_Group_Address",
                       "ResultPage_Label_Scale", "ResultPage_Caption_Groups", "ResultPage_Caption_Group", 150,
                       30},
                      parent)
{
}

std::uint32_t CReportScale::firstCount() const
{
    return plan() ? plan()->InitialGroups : 0;
}

std::uint32_t CReportScale::lastCount() const
{
    return plan() ? plan()->MaxGroups : 0;
}
