// The layout and behaviour of the simulated chassis, with defaults and an INI file to change them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct SimModule
{
    uint8_t card = 0;
    uint8_t type = 0;  // module type code
    uint8_t ports = 4; // 1 to 4
};

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
};

// True when the module type code is one the simulator offers.
bool isSimulatedModuleType(uint8_t type);

// Reads an INI file over the defaults of config. Sections and keys:
//   [Chassis] Number, Controller (character), ControllerCard, ControllerPort, Version, ModelName,
//             OutdatedFirmware, RequireLock, ReleaseLocksOnDisconnect, FamilyMustMatch
//   [Modules] CardN=<type code>[,<ports>] for card slots 2 to 16
// Returns false with a reason for a missing file or a value out of range.
bool loadSimConfig(const std::string &path, SimConfig &config, std::string &error);
