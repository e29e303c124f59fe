// The IGMPv3 source filter rule: which sources' traffic a host's filter for a group lets through.
#pragma once

#include "engine/SessionRecords.h"
#include "engine/TestPlanRecords.h"

#include <QString>
#include <vector>

// Whether the host's filter for the group admits the source's traffic: the host entry whose port label
// names the host, its group entry for the group, then include admits exactly the listed sources and
// exclude every other one. No host or group entry admits nothing; addresses compare as values.
bool SourceFilterAdmits(const UtPortId &source, const UtPortId &host, const QString &groupText,
                        const std::vector<UtFilterHost> &hosts);
