#include "engine/EngineUtils.h"

#include <QDir>
#include <QTemporaryDir>
#include <array>
#include <cstring>
#include <gtest/gtest.h>

namespace {

UtPortKey key(std::uint16_t chassis, std::uint8_t card, std::uint8_t port, std::uint8_t type)
{
    return UtPortKey{{chassis, card, port}, type};
}

QString label(const UtPortKey &k)
{
    QString text;
    EXPECT_TRUE(FormatPortLabel(k, text));
    return text;
}

} // namespace

TEST(PortLabel, FormatsAndParsesBack)
{
    struct Case
    {
        UtPortKey key;
        const char16_t *text;
        std::uint8_t parsedType;
    };
    const Case cases[] = {
        {key(1, 2, 3, 55), u"(  1, 2,3) - QM-M08", 55},
        {key(255, 16, 4, 148), u"(255,16,4) - QM-M23", 148},
        {key(7, 3, 1, 23), u"(  7, 3,1) - QM-M03", 23},
        {key(7, 3, 1, 33), u"(  7, 3,1) - QM-M04", 33}, // labels name 33 QM-M04
        {key(0, 0, 0, 57), u"(  0, 0,0) - ", 255},      // QM-M10 gets no model in a label
        {key(9, 5, 2, 200), u"(  9, 5,2) - ", 255},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(label(c.key), QStringView(c.text));
        UtPortKey parsed{};
        ASSERT_TRUE(ParsePortLabel(c.text, parsed)) << QString::fromUtf16(c.text).toStdString();
        EXPECT_EQ(parsed.Id.CID, c.key.Id.CID);
        EXPECT_EQ(parsed.Id.BID, c.key.Id.BID);
        EXPECT_EQ(parsed.Id.PID, c.key.Id.PID);
        EXPECT_EQ(parsed.TYPE, c.parsedType);
    }
}

TEST(PortLabel, ParsesLooseTextsAndRefusesMissingOrOutOfRangeNumbers)
{
    UtPortKey parsed{};
    ASSERT_TRUE(ParsePortLabel(u"(3, 4, 2)", parsed)); // a unicast-port text without a model
    EXPECT_EQ(parsed.Id.CID, 3);
    EXPECT_EQ(parsed.Id.BID, 4);
    EXPECT_EQ(parsed.Id.PID, 2);
    EXPECT_EQ(parsed.TYPE, 255);
    ASSERT_TRUE(ParsePortLabel(u"(  1, 2,3) - QM-M10", parsed));
    EXPECT_EQ(parsed.TYPE, 57);
    ASSERT_TRUE(ParsePortLabel(u"(  1, 2,3) - QM-M99", parsed));
    EXPECT_EQ(parsed.TYPE, 255);

    const UtPortKey untouched = key(11, 12, 1, 52);
    for (const char16_t *bad : {u"", u"()", u"(1,2)", u"(1,2) - QM-M08", u"(a,b,c) - QM-M08", u"(256,1,1)",
                                u"(1,17,1)", u"(1,2,5)", u"(-1,2,3)", u"(99999999999999999999,1,1)"}) {
        UtPortKey k = untouched;
        EXPECT_FALSE(ParsePortLabel(bad, k)) << QString::fromUtf16(bad).toStdString();
        EXPECT_EQ(std::memcmp(&k, &untouched, sizeof k), 0);
    }
}

TEST(PortLabel, ParsesPortIdTextWithSeparateModel)
{
    UtPortKey parsed{};
    ASSERT_TRUE(ParsePortIdText(u"( 12, 3, 4)", u"QM-M08", parsed));
    EXPECT_EQ(parsed.Id.CID, 12);
    EXPECT_EQ(parsed.Id.BID, 3);
    EXPECT_EQ(parsed.Id.PID, 4);
    EXPECT_EQ(parsed.TYPE, 55);
    ASSERT_TRUE(ParsePortIdText(u"(1,2,3)", u"", parsed));
    EXPECT_EQ(parsed.TYPE, 255);
    EXPECT_FALSE(ParsePortIdText(u"(1,2)", u"QM-M08", parsed));
    EXPECT_FALSE(ParsePortIdText(u"(1,20,3)", u"QM-M08", parsed));
}

TEST(ModelTable, MapsCodesAndNamesBothWays)
{
    EXPECT_EQ(ModelNameToModuleType(u"QM-M08"), 55);
    EXPECT_EQ(ModelNameToModuleType(u"QM-M03"), 33);
    EXPECT_EQ(ModelNameToModuleType(u"QM-M04"), 255);
    EXPECT_EQ(ModelNameToModuleType(u"qm-m08"), 255);
    EXPECT_EQ(ModuleTypeToModelName(33), u"QM-M03");
    EXPECT_EQ(ModuleTypeToModelName(70), u"QM-M15");
    EXPECT_TRUE(ModuleTypeToModelName(23).isEmpty());
    EXPECT_TRUE(ModuleTypeToModelName(20).isEmpty());
    EXPECT_TRUE(ModuleTypeToModelName(149).isEmpty());

    QString name = QStringLiteral("kept");
    EXPECT_TRUE(AssignModelNameOfType(148 - 52, name));
    EXPECT_EQ(name, u"QM-M23");
    EXPECT_FALSE(AssignModelNameOfType(21 - 52, name)); // not a test module
    EXPECT_FALSE(AssignModelNameOfType(60 - 52, name));
    EXPECT_EQ(name, u"QM-M23");

    char buffer[12];
    std::memset(buffer, 'x', sizeof buffer);
    EXPECT_TRUE(ModuleTypeToModelNameA(53 - 52, buffer, sizeof buffer));
    EXPECT_STREQ(buffer, "QM-M13");
    char small[4];
    EXPECT_TRUE(ModuleTypeToModelNameA(53 - 52, small, sizeof small));
    EXPECT_STREQ(small, "QM-");
    EXPECT_FALSE(ModuleTypeToModelNameA(-100, buffer, sizeof buffer));
}

TEST(MediaTable, RoundTripsEveryCodeAndRefusesOtherTriples)
{
    for (int code : {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 255}) {
        QString speed, duplex, mode;
        MediaCodeToText(std::uint8_t(code), speed, duplex, mode);
        const std::uint8_t back = ParseMediaText(speed, duplex, mode);
        EXPECT_EQ(back, code == 255 ? 15 : code) << code;
    }
    QString speed, duplex, mode;
    MediaCodeToText(3, speed, duplex, mode);
    EXPECT_EQ(speed, u"100M");
    EXPECT_EQ(duplex, u"Full");
    EXPECT_EQ(mode, u"Force");
    MediaCodeToText(255, speed, duplex, mode);
    EXPECT_EQ(speed, u"Link Down");
    MediaCodeToText(14, speed, duplex, mode); // untouched
    EXPECT_EQ(speed, u"Link Down");
    EXPECT_EQ(ParseMediaText(u"10G", u"Half", u"Force"), 15);
    EXPECT_EQ(ParseMediaText(u"100m", u"Full", u"Force"), 15);
}

TEST(MediaTable, LinkSpeedTextShowsTheTrueSpeed)
{
    const std::pair<int, const char16_t *> cases[] = {
        {0, u" 10M"}, {1, u" 10M"}, {4, u" 10M"}, {5, u" 10M"}, {2, u"100M"},        {7, u"100M"}, {8, u"1G"},
        {10, u"1G"},  {11, u"1G"},  {12, u"10G"}, {13, u"10G"}, {255, u"Link Down"}, {14, u"100M"}};
    for (const auto &[code, text] : cases)
        EXPECT_EQ(LinkSpeedText(std::uint8_t(code)), QStringView(text)) << code;
}

TEST(MediaTable, LineRateFollowsTheSpeedOfEachCode)
{
    // The high byte of a port's media word is not part of the code.
    const std::pair<std::uint16_t, std::uint64_t> cases[] = {
        {0, kLineRate10M}, {5, kLineRate10M}, {2, kLineRate100M}, {0x0107, kLineRate100M},
        {8, kLineRate1G},  {11, kLineRate1G}, {12, kLineRate10G}, {13, kLineRate10G},
        {14, 0},           {255, 0}};
    for (const auto &[media, rate] : cases)
        EXPECT_EQ(LineRateOfMedia(media), rate) << media;
}

TEST(MediaTable, SpeedChoices)
{
    EXPECT_EQ(SpeedChoiceList(52), u"1G\n100M\n10M\n");
    EXPECT_EQ(SpeedChoiceList(67), u"100M\n10M\n");
    EXPECT_EQ(SpeedChoiceList(147), u"10G\n");
    EXPECT_EQ(SpeedChoiceList(57), u"100M\n10M\n");
    EXPECT_EQ(SpeedChoiceList(0), u"100M\n10M\n");
    EXPECT_EQ(SpeedChoiceListOfPort(55, 0x800B), u"1G\n");
    EXPECT_EQ(SpeedChoiceListOfPort(55, 0x000B), u"1G\n100M\n10M\n");
    EXPECT_EQ(SpeedChoiceListOfPort(53, 0x800B), u"1G\n100M\n10M\n");
    EXPECT_EQ(SpeedChoiceListOfPort(84, 0x8000), u"10G\n");
    EXPECT_EQ(SpeedChoiceListOfPort(200, 0), u"100M\n10M\n");
}

TEST(InetChecksum, VerifiesToZeroAndHandlesOddLengths)
{
    // An IPv4 header with its checksum field cleared, then filled with the computed value.
    std::array<std::uint8_t, 20> header{0x45, 0x00, 0x00, 0x73, 0x00, 0x00, 0x40, 0x00, 0x40, 0x11,
                                        0x00, 0x00, 0xc0, 0xa8, 0x00, 0x01, 0xc0, 0xa8, 0x00, 0xc7};
    const std::uint16_t checksum = InetChecksum(header.size(), header.data());
    std::memcpy(&header[10], &checksum, 2);
    EXPECT_EQ(header[10], 0xb8);
    EXPECT_EQ(header[11], 0x61);
    EXPECT_EQ(InetChecksum(header.size(), header.data()), 0);

    const std::uint8_t odd[3] = {0x01, 0x02, 0x03}; // words 0x0201 and 0x03
    EXPECT_EQ(InetChecksum(3, odd), std::uint16_t(~0x0204));
    EXPECT_EQ(InetChecksum(0, odd), 0xFFFF);
    const std::vector<std::uint8_t> ones(200000, 0xFF); // carries beyond 32 bits of plain summing
    EXPECT_EQ(InetChecksum(ones.size(), ones.data()), 0);
}

TEST(Folders, CreateDirectoryTreeMakesEveryLevel)
{
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    const QString nested = root.path() + QStringLiteral("/Report/a/b/");
    EXPECT_TRUE(CreateDirectoryTree(nested));
    EXPECT_TRUE(QDir(root.path() + QStringLiteral("/Report/a/b")).exists());
    EXPECT_TRUE(CreateDirectoryTree(nested)); // already there
    EXPECT_FALSE(CreateDirectoryTree(QString()));
    EXPECT_TRUE(GetAppDirectory().endsWith(u'/'));
}

TEST(TextConversion, AnsiConversionsAreBoundedAndRoundTrip)
{
    const QString text = QStringLiteral("Tester 测试");
    char buffer[64];
    EXPECT_TRUE(CStringToAnsi(buffer, sizeof buffer, text));
    EXPECT_EQ(AnsiToCString(buffer), text);

    char small[9]; // "Tester " + the first byte of a 3-byte character would not fit whole
    std::memset(small, 'x', sizeof small);
    EXPECT_FALSE(CStringToAnsi(small, sizeof small, text));
    EXPECT_STREQ(small, "Tester ");

    const char unterminated[4] = {'a', 'b', 'c', 'd'};
    EXPECT_EQ(AnsiToCString(unterminated), u"abcd");
    EXPECT_TRUE(AnsiToCString(nullptr, 10).isEmpty());
    EXPECT_FALSE(CStringToAnsi(buffer, 0, text));
}

TEST(SmallHelpers, SwapBytesAndTimestampTicks)
{
    EXPECT_EQ(SwapBytes32(0x11223344u), 0x44332211u);
    EXPECT_FLOAT_EQ(TimestampTickUs(5), 0.4f);
    EXPECT_FLOAT_EQ(TimestampTickUs(11), 0.004f);
    EXPECT_FLOAT_EQ(TimestampTickUs(13), 0.0004f);
    EXPECT_FLOAT_EQ(TimestampTickUs(55), 0.04f);
}
