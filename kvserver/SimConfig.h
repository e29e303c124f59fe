// The layout and behaviour of the simulated chassis, with defaults and an INI file to change them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct SimModule
{
    uint8_t card = 0;
    uint8_t type = 0;      // module type code
    uint8_t ports = 4;     // 1 to 4
    bool outdated = false; // reports firmware and FPGA versions below its model's minimum
};

// Behaviour of the simulated device under test. Times in picoseconds.
struct SimDeviceProfile
{
    std::string name = "ideal";
    int64_t joinDelay = 1'000'000'000;  // 1 ms from a report's arrival to forwarding
    int64_t joinJitter = 0;             // +/- uniformly around the join delay
    int64_t leaveDelay = 1'000'000'000; // fast leave: from the leave's arrival to the last frame
    bool fastLeave = true;              // otherwise leaves wait for the unanswered last-member queries
    int64_t lastMemberQueryInterval = 1'000'000'000'000;
    unsigned lastMemberQueryCount = 2;
    int64_t baseLatency = 2'000'000; // 2 us through the device
    int64_t queueingLatency = 0;     // added at full egress load, in proportion to the load squared
    unsigned groupTableSize = 4096;  // (VLAN, group) entries; a new group beyond it is ignored
    bool sourceFiltering = true;     // IGMPv3 source lists honoured
    bool floodUnregistered = false;  // multicast of unknown groups flooded instead of dropped
    unsigned smallFrameForwardingPercent = 100; // multicast of 64-byte frames forwarded at most at this share
    unsigned lossPpm = 0;                       // frames lost per million delivered
    uint32_t seed = 1;                          // of the random parts (join jitter)
    int64_t membershipTimeout = 260'000'000'000'000;
    int64_t macAging = 300'000'000'000'000;
};

// The profile of a name ("ideal", "realistic", "faulty"); false for another name.
bool simDeviceProfile(const std::string &name, SimDeviceProfile &profile);

struct SimConfig
{
    uint16_t chassis = 1;
    char controller = '0'; // management card character: '0', '1', '_', '2' or '3'
    uint8_t controllerCard = 1;
    uint8_t controllerPort = 1;
    std::vector<SimModule> modules{{2, 53, 4}, {3, 55, 4}, {4, 88, 4}};
    std::string versionText = "2.0.1";
    std::string chassisModelName = "QM-H4";
    bool outdatedFirmware = false;
    bool requireLock = true;              // port-changing calls need the caller's lock
    bool releaseLocksOnDisconnect = true; // a leaving client's locks are freed
    bool familyMustMatch = true;          // calls of another controller family fail
    double timeScale = 1.0;              // simulated seconds per real second; 0: only test control moves time
    std::string pcapFile;                // records every frame sent and delivered when not empty
    uint64_t pcapFrameLimit = 1'000'000; // frames recorded at most
    SimDeviceProfile device;
};

// True for a time scale the simulator runs at: 0 (test control only), or 1 up to a million; never NaN.
// Below 1 simulated time lags real time, and the program's real-time waits would end before the
// traffic they wait for.
bool isValidTimeScale(double scale);
// The time scales taken, as a message names them.
inline constexpr const char *TimeScaleRange = "0, or 1 to 1000000";

// True when the module type code is one the simulator offers.
bool isSimulatedModuleType(uint8_t type);

// Reads an INI file over the defaults of config. Sections and keys:
//   [Chassis] Number, Controller (character), ControllerCard, ControllerPort, Version, ModelName,
//             OutdatedFirmware, RequireLock, ReleaseLocksOnDisconnect, FamilyMustMatch
//             TimeScale, PcapFile, PcapFrameLimit
//   [Modules] CardN=<type code>[,<ports>[,outdated]] for card slots 2 to 16
//   [Device]  Profile (ideal, realistic, faulty) first, then over it: JoinDelayUs, JoinJitterUs,
//             LeaveDelayUs, FastLeave, LastMemberQueryMs, LastMemberQueryCount, BaseLatencyNs,
//             QueueingLatencyNs, GroupTableSize, SourceFiltering, FloodUnregistered,
//             SmallFrameForwardingPercent, LossPpm, Seed
// Returns false with a reason for a file that cannot be read or is no INI file, a key written twice in
// a section, a section spelled in another case ("[modules]"), a module slot named twice, or a value out
// of range.
bool loadSimConfig(const std::string &path, SimConfig &config, std::string &error);
