#include "ports/PortTables.h"

#include "engine/EngineHost.h"

namespace {

const char *const kPortSettingTitleKeys[kPortSettingTitleCount] = {
    "PortSet_Title_Port",        "PortSet_Title_Card_Type",    "PortSet_Title_Alias",
    "PortSet_Title_Media_Speed", "PortSet_Title_Duplex",       "PortSet_Title_Flow_Control",
    "PortSet_Title_Auto_Nego",   "PortSet_Title_Copper_Fiber", "PortSet_Title_Master_Slave",
    "PortSet_Title_SFP_Mode",
};

const char *const kModuleInfoTitleKeys[kModuleInfoTitleCount] = {
    "ModuleInfo_Title_Slot", "ModuleInfo_Title_Module_Name", "ModuleInfo_Title_Firmware",
    "ModuleInfo_Title_FPGA", "ModuleInfo_Title_PROM",        "ModuleInfo_Title_Hardware",
    "ModuleInfo_Title_Lock", "ModuleInfo_Title_Serial",      "ModuleInfo_Title_MAC",
};

QString titleOf(const char *const keys[], int count, int column)
{
    if (column < 0 || column >= count)
        return QString();
    return EngineHost::instance().text(QString::fromLatin1(keys[column]));
}

} // namespace

QString PortSettingTitle(int column)
{
    return titleOf(kPortSettingTitleKeys, kPortSettingTitleCount, column);
}

QString ModuleInfoTitle(int column)
{
    return titleOf(kModuleInfoTitleKeys, kModuleInfoTitleCount, column);
}
