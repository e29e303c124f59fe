// The Scale Group result page: groups from the initial to the maximum count.
#pragma once

#include "reports/ReportCountPage.h"

class CReportScale : public ReportCountPage
{
    Q_OBJECT

public:
    explicit CReportScale(QWidget *parent = nullptr);

protected:
    std::uint32_t firstCount() const override;
    std::uint32_t lastCount() const override;
};
