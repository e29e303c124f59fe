// A test page's section of the configuration file: its exact text, the round trip into fresh pages,
// and what the reader does with odd and hand-edited sections.
#include "PageFixture.h"

#include "controls/grid/MyCug.h"
#include "controls/widgets/NumEdit.h"
#include "platform/ScriptedPrompter.h"
#include "platform/XmlDocument.h"
#include "ports/PortCheckGrid.h"
#include "testpages/DlgCapacity.h"
#include "testpages/DlgJoinLeave.h"
#include "testpages/DlgLatency.h"
#include "testpages/DlgMixClass.h"

#include <QCheckBox>
#include <QComboBox>
#include <cstring>
#include <gtest/gtest.h>
#include <memory>

namespace {

const QString kEmptyRoot = QStringLiteral("<Tavrix-IGMP-TQ_Config>\r\n</Tavrix-IGMP-TQ_Config>\r\n");

void setAddress(std::uint8_t (&bytes)[4], std::initializer_list<int> parts)
{
    int i = 0;
    for (int part : parts)
        bytes[i++] = std::uint8_t(part);
}

// Pair 1: source (1,2,1), host (1,2,2); pair 2: host (2,2,2), source (2,2,1), the same card and port
// numbers on a second chassis; (1,3,1) in no pair.
struct SectionSession : PageFixture
{
    SectionSession()
    {
        addPort(1, 2, 1, 1, 0);
        addPort(1, 2, 2, 0, 1);
        addPort(2, 2, 2, 0, 2);
        addPort(2, 2, 1, 2, 0);
        addPort(1, 3, 1, 0, 0);
        for (std::uint16_t i = 0; i < g_Session.PortCount; ++i) {
            const UtPortId &id = g_Session.PortTable[i].Id;
            g_Session.PortIndex[id.CID][id.BID][id.PID] = std::int16_t(i);
        }
        usePairs({1, 2});
    }
    static QString label(std::size_t port) { return CTestPageBase::PortLabelOf(g_Session.Ports[port]); }

    // The page's section saved into a document holding only the root.
    static QString save(CTestPageBase &page, const char *section, bool selected)
    {
        XmlDocument xml;
        xml.ParseText(kEmptyRoot);
        xml.FindElement();
        xml.EnterElement();
        EXPECT_TRUE(CTestPageBase::SaveXml(page, section, selected, xml));
        return QString::fromStdU16String(xml.GetDocText());
    }
    ScriptedPrompter prompter;
};

// Distinct settings for every port, shown in the grid once the pairs are ticked.
void giveSettings(CTestPageBase &page)
{
    for (std::size_t i = 0; i < page.PortSettingsList.size(); ++i) {
        UtPortProtocolSettings &s = page.PortSettingsList[i];
        s.VLanState = 1;
        s.VLanID = std::uint16_t(100 + i);
        s.CFI = std::uint8_t(i % 2);
        s.VLanPriority = std::uint8_t(i + 1);
        setAddress(s.IPAddress, {192, 168, 1, int(200 + i)});
        setAddress(s.GatewayIP, {192, 168, 1, 1});
        setAddress(s.Mask, {255, 255, 255, 0});
        // Only the Mixed Class page keeps the unicast tag.
        if (page.GetPortLayout() != CTestPageBase::PortLayout::MixClass)
            continue;
        s.UniVLanState = 1;
        s.UniVLanID = std::uint16_t(300 + i);
        s.UniCFI = 1;
        s.UniVLanPriority = 6;
    }
}

QString settingsBlock(int number, std::size_t port, int id, int cfi, int priority, int address)
{
    return QString("<AvailablePortSettings%1>\r\n<ModuleName>%2</ModuleName>\r\n<VLanState>1</VLanState>\r\n"
                   "<VLanID>%3</VLanID>\r\n<CFI>%4</CFI>\r\n<VLanPriority>%5</VLanPriority>\r\n"
                   "<IPAddress>%6</IPAddress>\r\n<GatewayIP>16885952</GatewayIP>\r\n<Mask>16777215</Mask>\r\n"
                   "</AvailablePortSettings%1>\r\n")
        .arg(number)
        .arg(SectionSession::label(port))
        .arg(id)
        .arg(cfi)
        .arg(priority)
        .arg(address);
}

// The page's section read from the file text, parsed once as the loader does; the refused values.
QStringList loadSection(CTestPageBase &page, const char *section, QStringView text, bool &selected)
{
    XmlDocument xml;
    EXPECT_TRUE(xml.ParseText(text));
    QStringList refused;
    CTestPageBase::LoadXml(page, section, xml, selected, refused);
    return refused;
}

bool sameSettings(const UtPortProtocolSettings &a, const UtPortProtocolSettings &b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

} // namespace

TEST(PageConfigXml, CapacitySectionText)
{
    SectionSession s;
    CDlgCapacity page;
    giveSettings(page);
    page.PairChecked[2] = 1;
    page.FillPairGrid();
    page.Trials.Edit->setText("3");
    page.DelayAfterStart.Edit->clear();
    page.FrameSize.Edit->setText("128");
    page.InitialGroups.Edit->setText("10");
    page.MaxGroups.Edit->setText("20");
    page.GroupStep.Edit->setText("5");
    page.IgmpVersionCombo->setCurrentIndex(2);
    // 192.168.1.202 and .203: the last byte 128 or more gives a negative number.
    const QString expected =
        "<Tavrix-IGMP-TQ_Config>\r\n<CapacityConfig>\r\n<isSelected>1</isSelected>\r\n<PairSettings>\r\n"
        "<PairSel1>\r\n<Pair>2</Pair>\r\n</PairSel1>\r\n</PairSettings>\r\n<NumberOfTrails>3</"
        "NumberOfTrails>\r\n"
        "<DelayAfterStart/>\r\n<FrameSize>128</FrameSize>\r\n<NumberOfIniGroup>10</NumberOfIniGroup>\r\n"
        "<MaxNumberOfGroup>20</MaxNumberOfGroup>\r\n<GroupStep>5</GroupStep>\r\n<IGMPVer>2</IGMPVer>\r\n" +
        settingsBlock(1, 2, 102, 0, 3, -905860928) + settingsBlock(2, 3, 103, 1, 4, -889083712) +
        "</CapacityConfig>\r\n</Tavrix-IGMP-TQ_Config>\r\n";
    EXPECT_EQ(SectionSession::save(page, "CapacityConfig", true).toStdString(), expected.toStdString());

    // A document that does not stand inside the root takes no section.
    XmlDocument outside;
    outside.ParseText(kEmptyRoot);
    EXPECT_FALSE(CTestPageBase::SaveXml(page, "CapacityConfig", true, outside));
}

TEST(PageConfigXml, JoinLeaveAndCapacityComeBackIntoFreshPages)
{
    SectionSession s;
    QString joinLeaveText, capacityText;
    std::vector<UtPortProtocolSettings> saved;
    {
        CDlgJoinLeave page;
        giveSettings(page);
        page.PairChecked[1] = page.PairChecked[2] = 1;
        page.FillPairGrid();
        page.Trials.Edit->setText("4");
        page.DelayAfterJoin.Edit->setText("12");
        page.TestDuration.Edit->setText("250");
        page.IgmpVersionCombo->setCurrentIndex(0);
        page.MeasureJoinCheck->setChecked(false);
        // Typed into the grid: stored before the section is written.
        page.PortGrid->SetCellText(page.GetColumns().address, 0, "10.1.2.3");
        joinLeaveText = SectionSession::save(page, "JoinLeaveConfig", false);
        saved = page.PortSettingsList;
        CDlgCapacity capacity;
        capacity.PairChecked[2] = 1;
        capacity.FillPairGrid();
        capacity.MaxGroups.Edit->setText("7999");
        capacity.IgmpVersionCombo->setCurrentIndex(-1);
        capacityText = SectionSession::save(capacity, "CapacityConfig", true);
    }
    const QString file = joinLeaveText.replace("</Tavrix-IGMP-TQ_Config>\r\n", "") +
                         capacityText.replace("<Tavrix-IGMP-TQ_Config>\r\n", "");
    CDlgJoinLeave page;
    bool selected = true;
    EXPECT_EQ(loadSection(page, "JoinLeaveConfig", file, selected), QStringList());
    EXPECT_FALSE(selected);
    EXPECT_EQ(page.Trials.Edit->text(), "4");
    EXPECT_EQ(page.DelayAfterJoin.Edit->text(), "12");
    EXPECT_EQ(page.TestDuration.Edit->text(), "250");
    EXPECT_EQ(page.IgmpVersionCombo->currentIndex(), 0);
    EXPECT_FALSE(page.MeasureJoinCheck->isChecked());
    EXPECT_TRUE(page.MeasureLeaveCheck->isChecked());
    EXPECT_EQ(page.PairChecked[1], 1);
    EXPECT_EQ(page.PairChecked[2], 1);
    EXPECT_TRUE(IsRowChecked(page.PairGrid, 0) && IsRowChecked(page.PairGrid, 1));
    ASSERT_EQ(page.PortSettingsList.size(), saved.size());
    for (std::size_t i = 0; i < 4; ++i)
        EXPECT_TRUE(sameSettings(page.PortSettingsList[i], saved[i])) << i;
    EXPECT_EQ(page.PortSettingsList[0].IPAddress[3], 3);
    // The port of no pair was not in the grid: not written, not loaded.
    EXPECT_FALSE(sameSettings(page.PortSettingsList[4], saved[4]));

    CDlgCapacity capacity;
    selected = false;
    EXPECT_EQ(loadSection(capacity, "CapacityConfig", file, selected), QStringList());
    EXPECT_TRUE(selected);
    EXPECT_EQ(capacity.MaxGroups.Edit->text(), "7999");
    EXPECT_EQ(capacity.InitialGroups.Edit->text(), "100");
    EXPECT_EQ(capacity.IgmpVersionCombo->currentIndex(), -1);
    EXPECT_EQ(capacity.PairChecked[1], 0);
    EXPECT_EQ(capacity.PairChecked[2], 1);
}

TEST(PageConfigXml, MixedClassCarriesUnicastPortsAndTheFrameTableLatencyItsRateStep)
{
    SectionSession s;
    s.plan.TestPairs[0].UniCid = 1;
    s.plan.TestPairs[0].UniBid = 2;
    s.plan.TestPairs[0].UniPid = 2;
    QString text;
    std::vector<UtCustomFrame> table;
    {
        CDlgMixClass page;
        giveSettings(page);
        page.PairChecked[1] = 1;
        page.FillPairGrid();
        page.CustomFrameTable[0] = {12.5, 1.25, 99.99, 0.5, 128};
        page.CustomFrameTable[6] = {1, 2, 3, 4, 16100};
        table = page.CustomFrameTable;
        text = SectionSession::save(page, "MixedClassConfig", true);
    }
    EXPECT_TRUE(text.contains("<PairSel1>\r\n<Pair>1</Pair>\r\n<UniCastCID>1</UniCastCID>\r\n"
                              "<UniCastBID>2</UniCastBID>\r\n<UniCastPID>2</UniCastPID>\r\n</PairSel1>"));
    EXPECT_TRUE(
        text.contains("<CustomRecordNumber>7</CustomRecordNumber>\r\n<Item1>\r\n<CustomFrameSize>128"
                      "</CustomFrameSize>\r\n<CustomInitialRate>12.50</CustomInitialRate>\r\n"
                      "<CustomMinRate>1.25</CustomMinRate>\r\n<CustomMaxRate>99.99</CustomMaxRate>\r\n"
                      "<CustomResolution>0.50</CustomResolution>\r\n</Item1>"));
    EXPECT_TRUE(
        text.contains("<Mask>16777215</Mask>\r\n<UniVLanState>1</UniVLanState>\r\n<UniVLanID>300"
                      "</UniVLanID>\r\n<UniCFI>1</UniCFI>\r\n<UniVLanPriority>6</UniVLanPriority>\r\n"));

    s.plan.TestPairs[0].UniPid = 0xFF;
    CDlgMixClass page;
    bool selected = false;
    EXPECT_EQ(loadSection(page, "MixedClassConfig", text, selected), QStringList());
    EXPECT_EQ(s.plan.TestPairs[0].UniPid, 2);
    for (std::size_t i = 0; i < table.size(); ++i)
        EXPECT_EQ(std::memcmp(&page.CustomFrameTable[i], &table[i], sizeof(UtCustomFrame)), 0) << i;
    EXPECT_EQ(int(page.PortSettingsList[1].UniVLanID), 301);

    CDlgLatency latency;
    const QString latencyText = SectionSession::save(latency, "LatencyConfig", false);
    EXPECT_TRUE(latencyText.contains("<CustomRateStep>"));
    EXPECT_FALSE(latencyText.contains("<CustomMinRate>"));
    EXPECT_FALSE(latencyText.contains("<UniVLanState>"));
}

TEST(PageConfigXml, ReaderTakesWhatItCanOfHandEditedSections)
{
    SectionSession s;
    const auto section = [](const QString &body) {
        return "<Tavrix-IGMP-TQ_Config><JoinLeaveConfig>" + body +
               "</JoinLeaveConfig></Tavrix-IGMP-TQ_Config>";
    };
    const auto portBlock = [](int number, const QString &label, const QString &address) {
        return QString("<AvailablePortSettings%1><ModuleName>%2</ModuleName><VLanID>70001</VLanID>"
                       "<IPAddress>%3</IPAddress></AvailablePortSettings%1>")
            .arg(number)
            .arg(label, address);
    };
    struct Case
    {
        const char *name;
        QString body;
        QString trials, duration;
        std::array<std::uint8_t, 9> pairs;
        QStringList refused;
    };
    const Case cases[] = {
        {"out of order: the later element is read, the earlier one no longer found",
         "<TestDuration>9</TestDuration><NumberOfTrails>4</NumberOfTrails>",
         "4",
         "5",
         {},
         {}},
        {"missing elements are skipped", "<TestDuration>9</TestDuration>", "1", "9", {}, {}},
        {"a gap in the pair numbers costs no later pair",
         "<PairSettings><PairSel1><Pair>2</Pair></PairSel1><PairSel3><Pair>5</Pair></PairSel3></"
         "PairSettings>",
         "1",
         "5",
         {0, 0, 1, 0, 0, 1, 0, 0, 0},
         {}},
        {"pair numbers outside 1 to 8",
         "<PairSettings><PairSel1><Pair>0</Pair></PairSel1><PairSel2><Pair>9</Pair></PairSel2></"
         "PairSettings>",
         "1",
         "5",
         {},
         {"JoinLeaveConfig/PairSettings/PairSel1/Pair = 0",
          "JoinLeaveConfig/PairSettings/PairSel2/Pair = 9"}},
        {"typed fields outside their ranges keep the page's values",
         "<NumberOfTrails>-5</NumberOfTrails><TestDuration>10^23</TestDuration><IGMPVer>7</IGMPVer>",
         "1",
         "5",
         {},
         {"JoinLeaveConfig/NumberOfTrails = -5", "JoinLeaveConfig/TestDuration = 10^23",
          "JoinLeaveConfig/IGMPVer = 7"}},
        {"a text that is no number",
         "<NumberOfTrails>abc</NumberOfTrails><TestDuration>1e23</TestDuration>",
         "1",
         "5",
         {},
         {"JoinLeaveConfig/NumberOfTrails = abc", "JoinLeaveConfig/TestDuration = 1e23"}},
        {"a number with letters after it, a sign as the edit takes it",
         "<isSelected>1abc</isSelected><NumberOfTrails>+2</NumberOfTrails><EnableMeasureJoinDelay>0x"
         "</EnableMeasureJoinDelay>",
         "+2",
         "5",
         {},
         {"JoinLeaveConfig/isSelected = 1abc", "JoinLeaveConfig/EnableMeasureJoinDelay = 0x"}},
    };
    for (const Case &c : cases) {
        CDlgJoinLeave page;
        bool selected = false;
        EXPECT_EQ(loadSection(page, "JoinLeaveConfig", section(c.body), selected), c.refused) << c.name;
        EXPECT_EQ(page.Trials.Edit->text(), c.trials) << c.name;
        EXPECT_EQ(page.TestDuration.Edit->text(), c.duration) << c.name;
        EXPECT_EQ(page.PairChecked, c.pairs) << c.name;
        EXPECT_FALSE(selected) << c.name;
    }

    // Ports: matched by chassis, card and port; one not in the inventory is passed over; the element
    // after a gap is read; an address in either spelling, one beyond 32 bits refused; a VLAN id beyond
    // 12 bits refused, never cut to another id.
    CDlgJoinLeave page;
    const std::vector<UtPortProtocolSettings> before = page.PortSettingsList;
    bool selected = false;
    const QStringList refused =
        loadSection(page, "JoinLeaveConfig",
                    section("<isSelected>2</isSelected>" + portBlock(1, s.label(2), "33663168") +
                            portBlock(2, "(  9, 9,1) - x", "1") + portBlock(4, s.label(1), "3355551936") +
                            portBlock(5, s.label(3), "4294967296")),
                    selected);
    EXPECT_TRUE(selected);
    EXPECT_EQ(DottedText(page.PortSettingsList[2].IPAddress), "192.168.1.2");
    EXPECT_EQ(DottedText(page.PortSettingsList[1].IPAddress), "192.168.1.200");
    EXPECT_EQ(int(page.PortSettingsList[1].VLanID), int(before[1].VLanID));
    EXPECT_TRUE(sameSettings(page.PortSettingsList[0], before[0]));
    EXPECT_TRUE(sameSettings(page.PortSettingsList[3], before[3]));
    EXPECT_EQ(refused, QStringList({"JoinLeaveConfig/AvailablePortSettings1/VLanID = 70001",
                                    "JoinLeaveConfig/AvailablePortSettings4/VLanID = 70001",
                                    "JoinLeaveConfig/AvailablePortSettings5/VLanID = 70001",
                                    "JoinLeaveConfig/AvailablePortSettings5/IPAddress = 4294967296"}));
}

TEST(PageConfigXml, FrameTableRowsLoadOnlyWhenTheirCountFitsAndValuesOnlyWithinTheEditorsBounds)
{
    SectionSession s;
    const auto item = [](int number, const char *size, const char *rate) {
        return QString(
                   "<Item%1><CustomFrameSize>%2</CustomFrameSize><CustomInitialRate>%3</CustomInitialRate>"
                   "<CustomMinRate>%3</CustomMinRate><CustomMaxRate>%3</CustomMaxRate>"
                   "<CustomResolution>%3</CustomResolution></Item%1>")
            .arg(number)
            .arg(QLatin1String(size), QLatin1String(rate));
    };
    const QString items = item(1, "128.9", "12.345") + item(2, "70000", "250") + item(3, "-5", "-1");
    QStringList refused;
    const auto load = [&](int count) {
        auto page = std::make_unique<CDlgMixClass>();
        bool selected = false;
        refused = loadSection(*page, "MixedClassConfig",
                              "<Tavrix-IGMP-TQ_Config><MixedClassConfig><CustomRecordNumber>" +
                                  QString::number(count) + "</CustomRecordNumber>" + items +
                                  "</MixedClassConfig></Tavrix-IGMP-TQ_Config>",
                              selected);
        return page->CustomFrameTable;
    };
    const std::vector<UtCustomFrame> defaults = DefaultCustomFrames();
    const std::vector<UtCustomFrame> three = load(3);
    ASSERT_EQ(three.size(), 7u);
    EXPECT_EQ(three[0].FrameSize, 128);
    EXPECT_DOUBLE_EQ(three[0].InitialRate, 12.345);
    // Values beyond the editor's bounds are refused: the rows keep theirs.
    for (std::size_t i = 1; i < 7; ++i)
        EXPECT_EQ(std::memcmp(&three[i], &defaults[i], sizeof(UtCustomFrame)), 0) << i;
    ASSERT_EQ(refused.size(), 10);
    EXPECT_EQ(refused[0], "MixedClassConfig/Item2/CustomFrameSize = 70000");
    EXPECT_EQ(refused[4], "MixedClassConfig/Item2/CustomResolution = 250");
    EXPECT_EQ(refused[5], "MixedClassConfig/Item3/CustomFrameSize = -5");
    // A count the table cannot hold is named, and the table keeps every row.
    for (const int count : {9, 0, -1}) {
        const std::vector<UtCustomFrame> table = load(count);
        for (std::size_t i = 0; i < 7; ++i)
            EXPECT_EQ(std::memcmp(&table[i], &defaults[i], sizeof(UtCustomFrame)), 0) << count << " " << i;
        EXPECT_EQ(refused, QStringList{"MixedClassConfig/CustomRecordNumber = " + QString::number(count)});
    }
}
