#include "reports/ReportSources.h"

#include "engine/EngineHost.h"
#include "ports/ModuleInfodlg.h"

ReportSources &ReportSources::instance()
{
    static ReportSources sources;
    return sources;
}

void ReportSources::reset()
{
    *this = ReportSources();
}

CModuleInfodlg *ReportSources::readModuleInfo(QWidget *parent) const
{
    CModuleInfodlg *window = moduleInfoWindow ? moduleInfoWindow(parent) : nullptr;
    if (!window)
        return nullptr;
    window->ReadBoardInfo();
    if (EngineHost::instance().isDemoMode())
        window->FillDemoInfo();
    else
        window->FillHardwareInfo();
    return window;
}
