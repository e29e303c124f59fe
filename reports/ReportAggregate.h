// The Aggregate result page: clients from the initial to the maximum count.
#pragma once

#include "reports/ReportCountPage.h"

class CReportAggregate : public ReportCountPage
{
    Q_OBJECT

public:
    explicit CReportAggregate(QWidget *parent = nullptr);

protected:
    std::uint32_t firstCount() const override;
    std::uint32_t lastCount() const override;
};
