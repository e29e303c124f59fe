// The 20-byte port set of the lock calls and its one builder.
#include "engine/PortSet.h"
#include "engine/Session.h"

#include <gtest/gtest.h>

TEST(PortSet, EachPortLandsOnItsBit)
{
    const struct
    {
        std::uint8_t slot, port;
        int word;
        std::uint32_t mask;
    } cases[] = {
        {2, 1, 0, 0x00000001},  {5, 8, 0, 0x80000000}, {6, 1, 1, 0x00000001},
        {17, 8, 3, 0x80000000}, {3, 1, 0, 0x00000100}, {13, 4, 2, 0x08000000},
    };
    for (const auto &c : cases) {
        UtPortSet set{};
        ASSERT_TRUE(EnterPortSet(set, {7, c.slot, c.port})) << int(c.slot) << "/" << int(c.port);
        for (int word = 0; word < 4; ++word)
            EXPECT_EQ(std::uint32_t(set.Mask[word]), word == c.word ? c.mask : 0u)
                << int(c.slot) << "/" << int(c.port);
        EXPECT_EQ(std::uint32_t(set.Chassis), 7u);
    }
}

TEST(PortSet, PortsOfOneWordCombineAndTheBytesAreLittleEndian)
{
    UtPortSet set{};
    for (const UtPortId &port : {UtPortId{3, 2, 1}, UtPortId{3, 2, 2}, UtPortId{3, 3, 1}, UtPortId{3, 7, 3}})
        ASSERT_TRUE(EnterPortSet(set, port));
    EXPECT_EQ(std::uint32_t(set.Mask[0]), 0x00000103u);
    const std::array<std::uint8_t, 20> expected{3, 0, 0, 0, 0x03, 0x01, 0, 0, 0x00, 0x04,
                                                0, 0, 0, 0, 0,    0,    0, 0, 0,    0};
    EXPECT_EQ(PortSetBytes(set), expected);
}

TEST(PortSet, PortsTheBlockCannotNameAreRefusedAndNotCounted)
{
    PortSetBuilder builder;
    for (const UtPortId &port :
         {UtPortId{1, 1, 1}, UtPortId{1, 18, 1}, UtPortId{1, 2, 0}, UtPortId{1, 2, 9}}) {
        UtPortSet set{};
        EXPECT_FALSE(EnterPortSet(set, port));
        EXPECT_EQ(PortSetBytes(set), (std::array<std::uint8_t, 20>{}));
        EXPECT_FALSE(builder.Enter(port));
    }
    EXPECT_TRUE(builder.IsEmpty());
    EXPECT_EQ(builder.Count(), 0);
}

TEST(PortSet, TheBuilderKeepsOneSetPerChassis)
{
    PortSetBuilder builder;
    EXPECT_TRUE(builder.Enter({1, 2, 1}));
    EXPECT_TRUE(builder.Enter({4, 2, 2}));
    EXPECT_TRUE(builder.Enter({1, 6, 1}));
    ASSERT_EQ(builder.Sets().size(), 2u);
    const auto &one = builder.Sets().at(1);
    EXPECT_EQ(std::uint32_t(one.Set.Chassis), 1u);
    EXPECT_EQ(std::uint32_t(one.Set.Mask[0]), 0x1u);
    EXPECT_EQ(std::uint32_t(one.Set.Mask[1]), 0x1u);
    EXPECT_EQ(one.Count, 2);
    EXPECT_EQ(std::uint32_t(builder.Sets().at(4).Set.Mask[0]), 0x2u);
    EXPECT_EQ(builder.Count(), 3);
}

TEST(PortSet, TheLockedSetHoldsTheFlaggedPortsOnly)
{
    g_Session.resetTables();
    g_Session.PortCount = 3;
    g_Session.PortTable[0] = {{2, 2, 1}, 55, 0};
    g_Session.PortTable[1] = {{2, 2, 2}, 55, 0};
    g_Session.PortTable[2] = {{2, 7, 3}, 66, 0};
    g_Session.allocatePortArrays(3);
    EXPECT_TRUE(BuildLockedPortSets(g_Session).IsEmpty()) << "no flagged port: no call";
    g_Session.LockedFlags = {1, 0, 1};
    const PortSetBuilder sets = BuildLockedPortSets(g_Session);
    ASSERT_EQ(sets.Sets().size(), 1u);
    const UtPortSet &set = sets.Sets().at(2).Set;
    EXPECT_EQ(std::uint32_t(set.Mask[0]), 0x1u);
    EXPECT_EQ(std::uint32_t(set.Mask[1]), 0x00000400u);
    EXPECT_EQ(sets.Count(), 2);
    g_Session.resetTables();
}
