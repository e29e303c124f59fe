// What the simulated chassis answers to the port windows' calls: media changes and their negotiation,
// and the module records of a configuration with an outdated module.
#include "kvserver/SimChassis.h"
#include "kvserver/SimConfig.h"

#include <QTemporaryDir>
#include <fstream>
#include <gtest/gtest.h>

using KvProtocol::Op;

namespace {

class SimPortWindowsTest : public testing::Test
{
protected:
    SimPortWindowsTest() : chassis(config())
    {
        chassis.addClient(1);
        const UtPortSet all{1, {0x0F0F0F0F, 0, 0, 0}}; // cards 2 to 5, ports 1 to 4
        EXPECT_EQ(call(Op::Kv_LockPortStatus, &all, sizeof all).result, 1);
    }

    static SimConfig config()
    {
        SimConfig config;
        config.modules = {{2, 53, 4}, {3, 55, 4}, {4, 88, 4}, {5, 66, 4, true}};
        return config;
    }

    SimAnswer call(Op op, const void *arguments, size_t size)
    {
        return chassis.handle(1, op, static_cast<const uint8_t *>(arguments), size);
    }

    SimAnswer mediaType(uint8_t card, uint8_t media, uint8_t fibre)
    {
        std::vector<uint8_t> arguments;
        KvProtocol::Writer(arguments).u16(1).u8(card).u8(1).u8(media).u8(fibre);
        return call(Op::Kv_TQModule_MediaType, arguments.data(), arguments.size());
    }

    SimAnswer mediaChange(uint8_t card, uint16_t media, uint16_t role)
    {
        KvMediaChangeBlock block{};
        block.Media = media;
        block.Word6 = 0x20;
        block.Role = role;
        std::vector<uint8_t> arguments;
        KvProtocol::Writer(arguments).u16(1).u8(card).u8(1).bytes(&block, sizeof block).u8(0);
        return call(Op::Kv_TQModule_MediaTypeChange, arguments.data(), arguments.size());
    }

    // The link codes the answer's link messages report, in order.
    static std::vector<uint16_t> linkCodes(const SimAnswer &answer)
    {
        std::vector<uint16_t> codes;
        for (const SimOutput &output : answer.messages) {
            if (KvProtocol::readBigEndian16(output.message.data()) == 0x80FC)
                codes.push_back(KvProtocol::readBigEndian16(output.message.data() + 24));
        }
        return codes;
    }

    SimChassis chassis;
};

} // namespace

TEST_F(SimPortWindowsTest, MediaTypeNegotiatesWithTheDevice)
{
    const struct
    {
        uint8_t card, media, fibre;
        std::vector<uint16_t> codes;
    } cases[] = {
        {2, 3, 0, {3}},      // 100M full forced on a 1G copper port
        {2, 12, 0, {255}},   // 10G forced: the port does not run it, the link stays down
        {2, 13, 0, {11}},    // 10G auto: settles on the port's best
        {3, 9, 1, {0x8009}}, // 1G forced on the fibre interface
        {3, 3, 1, {255}},    // 100M cannot run on fibre
        {4, 13, 0, {13}},    // already 10G auto: no change, no message
        {2, 7, 0, {7}},
    };
    for (const auto &c : cases) {
        const SimAnswer answer = mediaType(c.card, c.media, c.fibre);
        EXPECT_EQ(answer.result, 1);
        if (c.card == 4)
            EXPECT_TRUE(linkCodes(answer).empty());
        else
            EXPECT_EQ(linkCodes(answer), c.codes) << int(c.card) << " " << int(c.media);
    }
    EXPECT_EQ(mediaType(2, 14, 0).result, 0);
    EXPECT_EQ(mediaType(2, 3, 2).result, 0);
}

TEST_F(SimPortWindowsTest, MediaChangeFlapsTheLinkAndTakesTheRole)
{
    const SimAnswer answer = mediaChange(2, 9, 2);
    EXPECT_EQ(answer.result, 1);
    EXPECT_EQ(linkCodes(answer), (std::vector<uint16_t>{255, 9}));
    EXPECT_EQ(mediaChange(2, 9, 3).result, 0) << "a role is master or slave";
}

TEST_F(SimPortWindowsTest, AnOutdatedModuleReportsOldFirmwareAndTheOthersCurrent)
{
    const auto firmwareOf = [this](uint8_t card) {
        std::vector<uint8_t> arguments;
        KvProtocol::Writer(arguments).u16(1).u8(card).u8(1);
        const SimAnswer answer = call(Op::Kv_TQModule_BoardStatus, arguments.data(), arguments.size());
        const uint8_t *message = answer.messages.at(0).message.data();
        return std::make_pair(KvProtocol::readBigEndian16(message + 28),
                              KvProtocol::readBigEndian16(message + 30));
    };
    EXPECT_EQ(firmwareOf(2), std::make_pair(uint16_t(1), uint16_t(8)));
    EXPECT_EQ(firmwareOf(5), std::make_pair(uint16_t(1), uint16_t(0)));
}

TEST(SimConfigModules, AModuleMayBeMarkedOutdated)
{
    QTemporaryDir folder;
    const std::string path = folder.filePath("sim.ini").toStdString();
    SimConfig config;
    std::string error;
    std::ofstream(path) << "[Modules]\nCard2=53,2,outdated\nCard3=55\n";
    ASSERT_TRUE(loadSimConfig(path, config, error)) << error;
    ASSERT_EQ(config.modules.size(), 2u);
    EXPECT_TRUE(config.modules[0].outdated);
    EXPECT_EQ(config.modules[0].ports, 2);
    EXPECT_FALSE(config.modules[1].outdated);
    std::ofstream(path) << "[Modules]\nCard2=53,2,old\n";
    EXPECT_FALSE(loadSimConfig(path, config, error));
}
