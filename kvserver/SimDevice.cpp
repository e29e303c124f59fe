#include "kvserver/SimDevice.h"

#include <algorithm>

namespace {

bool isMulticastAddress(uint32_t address)
{
    return (address >> 28) == 0xE;
}

bool isLinkLocalGroup(uint32_t address)
{
    return (address >> 8) == 0xE00000; // 224.0.0.0/24 is always flooded
}

bool isLeaveRecord(uint8_t type, const std::vector<uint32_t> &sources)
{
    return (type == 1 || type == 3) && sources.empty();
}

} // namespace

SimDevice::SimDevice(SimDeviceProfile profile, std::vector<std::string> portNames, Log log)
    : m_profile(std::move(profile)), m_portNames(std::move(portNames)), m_log(std::move(log)),
      m_random(m_profile.seed)
{
}

void SimDevice::log(const std::string &line) const
{
    if (m_log)
        m_log("device: " + line);
}

uint64_t SimDevice::addressKey(uint16_t vlan, const std::array<uint8_t, 6> &mac)
{
    uint64_t key = vlan;
    for (uint8_t byte : mac)
        key = key << 8 | byte;
    return key;
}

void SimDevice::receive(const SimFrame &frame, const std::string &error, size_t ingress, int64_t t,
                        std::vector<size_t> &egress)
{
    egress.clear();
    if (!error.empty()) {
        log("dropped a malformed frame from " + m_portNames[ingress] + ": " + error);
        return;
    }
    if (!(frame.src[0] & 1)) {
        const auto [learned, added] =
            m_addresses.try_emplace(addressKey(vlanOf(frame), frame.src), Learned{ingress, t});
        if (added || learned->second.port != ingress)
            ++m_version; // unicast to this address goes elsewhere from now on
        learned->second = {ingress, t};
    }
    if (frame.igmp) {
        takeIgmp(frame, ingress, t);
        return; // reports go to no tester port: there is no multicast router port
    }
    forwardTargets(frame, ingress, t, egress);
}

void SimDevice::flood(size_t ingress, std::vector<size_t> &egress) const
{
    for (size_t port = 0; port < m_portNames.size(); ++port) {
        if (port != ingress)
            egress.push_back(port);
    }
}

bool SimDevice::admits(const Membership &membership, uint32_t source) const
{
    if (!m_profile.sourceFiltering)
        return true;
    const bool listed = membership.sources.count(source) != 0;
    return membership.mode == Mode::Include ? listed : !listed;
}

void SimDevice::setSourceDropped(uint32_t source, bool dropped)
{
    const bool changed =
        dropped ? m_droppedSources.insert(source).second : m_droppedSources.erase(source) != 0;
    if (!changed)
        return;
    log(std::string(dropped ? "drops" : "forwards again") + " multicast from " + simIpText(source));
    ++m_version;
}

void SimDevice::forwardTargets(const SimFrame &frame, size_t ingress, int64_t t,
                               std::vector<size_t> &egress) const
{
    egress.clear();
    if (frame.igmp)
        return;
    if (frame.ipv4 && isMulticastAddress(frame.ipDestination) && frame.isMulticast()) {
        if (isLinkLocalGroup(frame.ipDestination))
            return flood(ingress, egress);
        if (m_droppedSources.count(frame.ipSource) != 0)
            return;
        const auto group = m_groups.find({vlanOf(frame), frame.ipDestination});
        if (group == m_groups.end()) {
            if (m_profile.floodUnregistered)
                flood(ingress, egress);
            return;
        }
        for (const auto &[port, membership] : group->second) {
            if (port != ingress && t < membership.expires && admits(membership, frame.ipSource))
                egress.push_back(port);
        }
        return;
    }
    if (frame.isMulticast())
        return flood(ingress, egress); // broadcast and other multicast
    const auto known = m_addresses.find(addressKey(vlanOf(frame), frame.dst));
    if (known == m_addresses.end() || t - known->second.seen > m_profile.macAging)
        return flood(ingress, egress);
    if (known->second.port != ingress)
        egress.push_back(known->second.port);
}

void SimDevice::takeIgmp(const SimFrame &frame, size_t ingress, int64_t t)
{
    const uint16_t vlan = vlanOf(frame);
    switch (frame.igmpType) {
    case 0x12:
    case 0x16:
        schedule(t, {vlan, frame.igmpGroup}, ingress, 2, {});
        break;
    case 0x17:
        schedule(t, {vlan, frame.igmpGroup}, ingress, 0, {});
        break;
    case 0x22:
        for (const SimIgmpRecord &record : frame.records) {
            if (record.type < 1 || record.type > 6) {
                log("ignored IGMPv3 record type " + std::to_string(record.type) + " from " +
                    m_portNames[ingress]);
                continue;
            }
            schedule(t, {vlan, record.group}, ingress, record.type, record.sources);
        }
        break;
    default:
        break; // queries and other messages change nothing
    }
}

void SimDevice::schedule(int64_t t, GroupKey key, size_t port, uint8_t record, std::vector<uint32_t> sources)
{
    if (!isMulticastAddress(key.second) || isLinkLocalGroup(key.second)) {
        log("ignored a report for " + simIpText(key.second) + " from " + m_portNames[port]);
        return;
    }
    if (!m_profile.sourceFiltering && record >= 1 && record <= 6) {
        // Without source filtering a record either joins the whole group or leaves it.
        if (record == 6)
            return;
        if (!isLeaveRecord(record, sources)) {
            record = 2;
            sources.clear();
        }
    }
    const bool leave = record == 0 || isLeaveRecord(record, sources);
    const auto group = m_groups.find(key);
    Membership *current = nullptr;
    if (group != m_groups.end()) {
        const auto found = group->second.find(port);
        if (found != group->second.end())
            current = &found->second;
    }
    if (!leave) {
        // A report refreshes the membership at once and cancels a leave still waiting.
        if (current)
            setExpiry(key, port, *current, t + m_profile.membershipTimeout);
        for (auto change = m_changes.begin(); m_waitingLeaves > 0 && change != m_changes.end();) {
            const bool waitingLeave =
                change->second.record == 0 && change->second.key == key && change->second.port == port;
            if (waitingLeave)
                --m_waitingLeaves;
            change = waitingLeave ? m_changes.erase(change) : std::next(change);
        }
        std::sort(sources.begin(), sources.end());
        sources.erase(std::unique(sources.begin(), sources.end()), sources.end());
        const bool same =
            current && (record == 2 || record == 4) && current->mode == Mode::Exclude &&
            std::equal(current->sources.begin(), current->sources.end(), sources.begin(), sources.end());
        if (same)
            return;
    }
    int64_t delay = m_profile.joinDelay;
    if (leave) {
        delay = m_profile.fastLeave ? m_profile.leaveDelay
                                    : m_profile.lastMemberQueryInterval * m_profile.lastMemberQueryCount;
    } else if (m_profile.joinJitter > 0) {
        std::uniform_int_distribution<int64_t> jitter(-m_profile.joinJitter, m_profile.joinJitter);
        delay = std::max<int64_t>(0, delay + jitter(m_random));
    }
    if (leave)
        ++m_waitingLeaves;
    m_changes.insert({t + delay, {t + delay, key, port, leave ? uint8_t(0) : record, std::move(sources)}});
}

int64_t SimDevice::nextChangeTime() const
{
    const int64_t change = m_changes.empty() ? INT64_MAX : m_changes.begin()->first;
    return std::min(change, m_expiries.empty() ? INT64_MAX : std::get<0>(*m_expiries.begin()));
}

void SimDevice::setExpiry(const GroupKey &key, size_t port, Membership &membership, int64_t expires)
{
    forgetExpiry(key, port, membership);
    membership.expires = expires;
    m_expiries.emplace(expires, key, port);
}

void SimDevice::forgetExpiry(const GroupKey &key, size_t port, const Membership &membership)
{
    m_expiries.erase({membership.expires, key, port});
}

void SimDevice::applyChanges(int64_t t)
{
    while (!m_changes.empty() && m_changes.begin()->first <= t) {
        const Change change = std::move(m_changes.begin()->second);
        m_changes.erase(m_changes.begin());
        if (change.record == 0)
            --m_waitingLeaves;
        apply(change);
    }
    while (!m_expiries.empty() && std::get<0>(*m_expiries.begin()) <= t) {
        const auto [expires, key, port] = *m_expiries.begin();
        m_expiries.erase(m_expiries.begin());
        const auto group = m_groups.find(key);
        log("membership of " + m_portNames[port] + " in " + simIpText(key.second) + " timed out");
        group->second.erase(port);
        if (group->second.empty())
            m_groups.erase(group);
        ++m_version;
    }
}

void SimDevice::apply(const Change &change)
{
    auto group = m_groups.find(change.key);
    if (change.record == 0) {
        if (group == m_groups.end())
            return;
        const auto member = group->second.find(change.port);
        if (member == group->second.end())
            return;
        forgetExpiry(change.key, change.port, member->second);
        group->second.erase(member);
        if (group->second.empty())
            m_groups.erase(group);
        ++m_version;
        return;
    }
    if (group == m_groups.end()) {
        if (change.record == 6)
            return;
        if (m_groups.size() >= m_profile.groupTableSize) {
            log("group table full (" + std::to_string(m_profile.groupTableSize) + " entries): " +
                simIpText(change.key.second) + " from " + m_portNames[change.port] + " ignored");
            return;
        }
        group = m_groups.emplace(change.key, std::map<size_t, Membership>{}).first;
    }
    auto &members = group->second;
    const bool existed = members.count(change.port) != 0;
    if (change.record == 6 && !existed)
        return;
    Membership &membership = members[change.port];
    const std::set<uint32_t> listed(change.sources.begin(), change.sources.end());
    switch (change.record) {
    case 1:
    case 3:
        membership.mode = Mode::Include;
        membership.sources = listed;
        break;
    case 2:
    case 4:
        membership.mode = Mode::Exclude;
        membership.sources = listed;
        break;
    case 5: // ALLOW: more sources admitted
        if (!existed)
            membership.mode = Mode::Include;
        for (uint32_t source : listed) {
            if (membership.mode == Mode::Include)
                membership.sources.insert(source);
            else
                membership.sources.erase(source);
        }
        break;
    case 6: // BLOCK: fewer sources admitted
        for (uint32_t source : listed) {
            if (membership.mode == Mode::Include)
                membership.sources.erase(source);
            else
                membership.sources.insert(source);
        }
        break;
    default:
        break;
    }
    if (membership.mode == Mode::Include && membership.sources.empty()) {
        forgetExpiry(change.key, change.port, membership);
        members.erase(change.port);
        if (members.empty())
            m_groups.erase(group);
    } else {
        setExpiry(change.key, change.port, membership, change.at + m_profile.membershipTimeout);
    }
    ++m_version;
}
