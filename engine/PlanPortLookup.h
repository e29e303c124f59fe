// A tested port in the session tables, and its text in the log.
#pragma once

#include "engine/EngineUtils.h"
#include "engine/Session.h"

namespace TestPlanSupport {

// Index of the port in the per-port session arrays, -1 when it has none.
inline int hardwareIndex(const UtPortId &id)
{
    const int index = LookupPortIndex(id.CID, g_Session.PortIndex, id.BID, id.PID);
    return index >= 0 && static_cast<std::size_t>(index) < g_Session.PortHwInfo.size() ? index : -1;
}

inline QString portText(const UtPortId &id)
{
    return QString::asprintf("(%3d,%2d,%d)", id.CID, id.BID, id.PID);
}

} // namespace TestPlanSupport
