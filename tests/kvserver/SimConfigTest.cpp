// The simulator's configuration file and the chassis it describes.
#include "kvserver/SimConfig.h"
#include "kvserver/SimChassis.h"

#include <QTemporaryDir>
#include <fstream>
#include <gtest/gtest.h>

namespace {

// Each text gets a file of its own: QSettings keeps what it read of a path while its size and time stay.
std::string writeConfig(const QTemporaryDir &folder, const std::string &text)
{
    static int written = 0;
    const std::string path = folder.filePath(QString("sim%1.ini").arg(++written)).toStdString();
    std::ofstream(path) << text;
    return path;
}

} // namespace

TEST(SimConfigTest, ReadsChassisAndModules)
{
    QTemporaryDir folder;
    SimConfig config;
    std::string error;
    ASSERT_TRUE(loadSimConfig(writeConfig(folder, "[Chassis]\nNumber=3\nController=_\nRequireLock=0\n"
                                                  "[Modules]\nCard5=67,2\nCard2=88\n"),
                              config, error))
        << error;
    EXPECT_EQ(config.chassis, 3);
    EXPECT_EQ(config.controller, '_');
    EXPECT_FALSE(config.requireLock);
    ASSERT_EQ(config.modules.size(), 2u);
    EXPECT_EQ(config.modules[0].card, 2);
    EXPECT_EQ(config.modules[0].ports, 4);
    EXPECT_EQ(config.modules[1].type, 67);
    EXPECT_EQ(config.modules[1].ports, 2);

    // The inventory lists the controller and then each port.
    const std::vector<uint8_t> inventory = SimChassis(config).inventoryMessage();
    ASSERT_EQ(inventory.size(), 22u + 6 * 7);
    EXPECT_EQ(inventory[21], 7);
    EXPECT_EQ(inventory[22 + 4], '_');
    EXPECT_EQ(inventory[22 + 6 * 6 + 2], 5); // last port on card 5
}

TEST(SimConfigTest, RefusesBadValues)
{
    const char *bad[] = {
        "[Modules]\nCard2=70\n", // a module type the simulator does not offer
        "[Modules]\nCard17=53\n",
        "[Modules]\nCard1=53\n", // the controller's card
        "[Modules]\nCard3=53,5\n",
        "[Chassis]\nController=4\n",
        "[Chassis]\nNumber=256\n",
        "[Chassis]\nRequireLock=yes\n",
        "[Chassis]\nTimeScale=-1\n",
        "[Chassis]\nTimeScale=nan\n",
        "[Chassis]\nTimeScale=0.5\n",
        "[Chassis]\nTimeScale=1000001\n",
        "[Modules]\nCard2=53\ncard2=55\n", // one slot under two spellings
        "[Modules]\nCard2=53\nCard02=55\n",
        "\x89PNG\r\n\x1a\n\x01\x02 not an INI file\n",
        "[Device]\nProfile=perfect\n",
        "[Device]\nSmallFrameForwardingPercent=0\n",
        "[Device]\nFastLeave=2\n",
    };
    QTemporaryDir folder;
    for (const char *text : bad) {
        SimConfig config;
        std::string error;
        EXPECT_FALSE(loadSimConfig(writeConfig(folder, text), config, error)) << text;
        EXPECT_FALSE(error.empty());
    }
    SimConfig config;
    std::string error;
    EXPECT_FALSE(loadSimConfig(folder.filePath("missing.ini").toStdString(), config, error));
    EXPECT_FALSE(isSimulatedModuleType(70));
}

TEST(SimConfigTest, DeviceProfileWithOverridesAndRecording)
{
    QTemporaryDir folder;
    SimConfig config;
    std::string error;
    ASSERT_TRUE(loadSimConfig(writeConfig(folder, "[Chassis]\nTimeScale=1\nPcapFile=/tmp/x.pcapng\n"
                                                  "[Device]\nProfile=realistic\nGroupTableSize=100\n"
                                                  "JoinDelayUs=2500\n"),
                              config, error))
        << error;
    EXPECT_EQ(config.timeScale, 1.0);
    EXPECT_EQ(config.pcapFile, "/tmp/x.pcapng");
    EXPECT_EQ(config.device.name, "realistic");
    EXPECT_EQ(config.device.groupTableSize, 100u);
    EXPECT_EQ(config.device.joinDelay, 2'500'000'000); // picoseconds
    EXPECT_FALSE(config.device.fastLeave);             // from the profile
    EXPECT_EQ(config.device.smallFrameForwardingPercent, 90u);

    SimDeviceProfile faulty;
    ASSERT_TRUE(simDeviceProfile("faulty", faulty));
    EXPECT_TRUE(faulty.floodUnregistered);
    EXPECT_FALSE(faulty.sourceFiltering);
    EXPECT_EQ(faulty.groupTableSize, 128u);
}

// What the checks of repeated keys and of spelling leave alone: comments, line ends, a section taken up
// again with other keys.
TEST(SimConfigTest, ASectionTakenUpAgainAddsItsKeys)
{
    QTemporaryDir folder;
    SimConfig config;
    std::string error;
    ASSERT_TRUE(loadSimConfig(writeConfig(folder, "; Card2=53\r\n; Card2=53\r\n[Modules]\r\nCard2=53\r\n"
                                                  "[Chassis]\r\nNumber=4\r\n#Number=5\r\n#Number=5\r\n"
                                                  "[Modules]\r\nCard3=55,2\r\n"),
                              config, error))
        << error;
    EXPECT_EQ(config.chassis, 4);
    ASSERT_EQ(config.modules.size(), 2u);
    EXPECT_EQ(config.modules[0].type, 53);
    EXPECT_EQ(config.modules[1].ports, 2);
}
