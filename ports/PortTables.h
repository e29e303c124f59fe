// Column titles of the port windows' grids in the current language; column 0 is the side heading's.
#pragma once

#include <QString>

// The port-settings grid: 0 "Port No." to 9 "SFP Management Interface Mode".
QString PortSettingTitle(int column);
// The module information grids: 0 "Slot No." to 8 "MAC".
QString ModuleInfoTitle(int column);

inline constexpr int kPortSettingTitleCount = 10;
inline constexpr int kModuleInfoTitleCount = 9;
