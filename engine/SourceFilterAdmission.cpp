#include "engine/SourceFilterAdmission.h"

#include "engine/EngineUtils.h"
#include "engine/IGMPTestPlan.h"
#include "engine/Session.h"

#include <cstring>

bool SourceFilterAdmits(const UtPortId &source, const UtPortId &host, const QString &groupText,
                        const std::vector<UtFilterHost> &hosts)
{
    const UtPortRecord *record = nullptr;
    for (const UtPortRecord &candidate : g_Session.Ports) {
        if (candidate.Id() == source) {
            record = &candidate;
            break;
        }
    }
    if (!record)
        return false;
    std::uint8_t bytes[4];
    std::memcpy(bytes, &record->IPAddress, 4);
    const std::uint32_t sourceAddress = std::uint32_t(bytes[0]) << 24 | std::uint32_t(bytes[1]) << 16 |
                                        std::uint32_t(bytes[2]) << 8 | bytes[3];
    std::uint32_t group = 0;
    if (!ParseIpv4Text(groupText, group))
        return false;
    for (const UtFilterHost &entry : hosts) {
        UtPortKey key{};
        if (!ParsePortLabel(entry.PortLabel, key) || key.Id != host)
            continue;
        for (const UtFilterGroup &filter : entry.Groups) {
            std::uint32_t address = 0;
            if (!ParseIpv4Text(filter.GroupAddress, address) || address != group)
                continue;
            // Addresses compare as values, as the membership report carries them.
            bool listed = false;
            for (const QString &text : filter.Sources) {
                std::uint32_t listedAddress = 0;
                if (ParseIpv4Text(text, listedAddress) && listedAddress == sourceAddress)
                    listed = true;
            }
            return filter.Mode == 1 ? listed : !listed;
        }
        return false;
    }
    return false;
}
