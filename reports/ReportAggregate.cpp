#include "reports/ReportAggregate.h"

#include "engine/IGMPTestPlan.h"

CReportAggregate::CReportAggregate(QWidget *parent)
    : ReportCountPage(AggregatePage,
                      {"ResultPage_Grid_Title_Aggregate", "ResultPage_Chart_Title_Aggregate",
                       "ResultPage_Col_Client_Number", "ResultPage_Col_Group_Address",
                       "ResultPage_Label_Aggregate", "ResultPage_Caption_Clients",
                       "ResultPage_Caption_Client", 100, 10},
                      parent)
{
}

std::uint32_t CReportAggregate::firstCount() const
{
    return plan() ? plan()->InitialClients : 0;
}

std::uint32_t CReportAggregate::lastCount() const
{
    return plan() ? plan()->MaxClients : 0;
}
