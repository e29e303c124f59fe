// The simulated device under test cabled to every tester port: an 802.1Q L2 switch with IGMP
// snooping (v1, v2, v3 with source filtering) and no multicast router port. Ports are numbered by
// the chassis's port order. Times in picoseconds.
#pragma once

#include "kvserver/SimConfig.h"
#include "kvserver/SimFrame.h"

#include <cstdint>
#include <functional>
#include <map>
#include <random>
#include <set>
#include <string>
#include <tuple>
#include <unordered_map>
#include <vector>

class SimDevice
{
public:
    using Log = std::function<void(const std::string &)>;

    SimDevice(SimDeviceProfile profile, std::vector<std::string> portNames, Log log);

    const SimDeviceProfile &profile() const { return m_profile; }

    // A frame from the tester port `ingress` at time t: learns its source, takes in IGMP, and gives the
    // ports it leaves on. error is the parser's verdict; a malformed frame is dropped and logged.
    void receive(const SimFrame &frame, const std::string &error, size_t ingress, int64_t t,
                 std::vector<size_t> &egress);
    // The ports a frame leaves on, without taking it in.
    void forwardTargets(const SimFrame &frame, size_t ingress, int64_t t, std::vector<size_t> &egress) const;

    // Earliest time at which forwarding changes by itself (a delayed join or leave, a timeout); INT64_MAX
    // none.
    int64_t nextChangeTime() const;
    // Applies the changes due at or before t.
    void applyChanges(int64_t t);
    // Grows whenever forwarding may have changed; cached forwarding decisions compare it.
    uint64_t version() const { return m_version; }
    // A fault staged by tests: while set, multicast data from the source address (host order) goes
    // nowhere, whatever the memberships admit.
    void setSourceDropped(uint32_t source, bool dropped);

private:
    enum class Mode
    {
        Include,
        Exclude,
    };
    struct Membership
    {
        Mode mode = Mode::Exclude;
        std::set<uint32_t> sources;
        int64_t expires = 0;
    };
    using GroupKey = std::pair<uint16_t, uint32_t>; // (VLAN, group)
    struct Change
    {
        int64_t at;
        GroupKey key;
        size_t port;
        uint8_t record; // IGMPv3 record type; 0 leave
        std::vector<uint32_t> sources;
    };
    struct Learned
    {
        size_t port;
        int64_t seen;
    };

    uint16_t vlanOf(const SimFrame &frame) const { return frame.tagged ? frame.vlan : NativeVlan; }
    // A MAC address in a VLAN as one number.
    static uint64_t addressKey(uint16_t vlan, const std::array<uint8_t, 6> &mac);
    void takeIgmp(const SimFrame &frame, size_t ingress, int64_t t);
    void schedule(int64_t t, GroupKey key, size_t port, uint8_t record, std::vector<uint32_t> sources);
    void apply(const Change &change);
    // Sets when a membership times out, keeping the timeout index in step.
    void setExpiry(const GroupKey &key, size_t port, Membership &membership, int64_t expires);
    void forgetExpiry(const GroupKey &key, size_t port, const Membership &membership);
    void flood(size_t ingress, std::vector<size_t> &egress) const;
    bool admits(const Membership &membership, uint32_t source) const;
    void log(const std::string &line) const;

    static constexpr uint16_t NativeVlan = 1;
    SimDeviceProfile m_profile;
    std::vector<std::string> m_portNames; // "(card,port)" of each port, for the log
    Log m_log;
    std::mt19937 m_random;
    std::map<GroupKey, std::map<size_t, Membership>> m_groups;
    std::multimap<int64_t, Change> m_changes;
    size_t m_waitingLeaves = 0; // leaves among m_changes
    // Every membership by the moment it times out, so that each timeout costs a lookup, not a walk
    // over all groups.
    std::set<std::tuple<int64_t, GroupKey, size_t>> m_expiries;
    std::unordered_map<uint64_t, Learned> m_addresses; // by addressKey
    std::set<uint32_t> m_droppedSources;
    uint64_t m_version = 0;
};
