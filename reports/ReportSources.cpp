#include "reports/ReportSources.h"

ReportSources &ReportSources::instance()
{
    static ReportSources sources;
    return sources;
}

void ReportSources::reset()
{
    *this = ReportSources();
}
