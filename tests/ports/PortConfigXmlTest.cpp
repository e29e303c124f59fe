// The "PortPairConfig" section: its exact text, a round trip, and files the loader must survive.
#include "FakePages.h"
#include "PortSessionFixture.h"

#include "controls/grid/KvAvlGrid.h"
#include "controls/grid/KvSelGrid.h"
#include "engine/IGMPTestPlan.h"
#include "platform/XmlDocument.h"
#include "ports/IpAddressEdit.h"
#include "ports/PortConfig.h"

#include <QComboBox>
#include <QTabBar>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QString kShell =
    QStringLiteral("<Tavrix-IGMP-TQ_Config>\r\n<SystemConfig/>\r\n</Tavrix-IGMP-TQ_Config>\r\n");

QString xmlPortLabel(std::uint8_t card, std::uint8_t port)
{
    QString text;
    FormatPortLabel({{1, card, port}, 53}, text);
    return text;
}

struct XmlPage : PortSession
{
    XmlPage() { page.SetPlan(&plan); }

    QString file(const QString &text)
    {
        const QString path = dir.filePath(QStringLiteral("config.xml"));
        EXPECT_TRUE(XmlDocument::WriteTextFile(path, text));
        return path;
    }
    QString read(const QString &path)
    {
        QString text;
        XmlDocument::ReadTextFile(path, text);
        return text;
    }
    // The section appended to the file's root and the file written back, as the whole save does it in
    // memory.
    bool save(const QString &path)
    {
        QString text;
        XmlDocument xml;
        if (!XmlDocument::ReadTextFile(path, text) || !xml.ParseText(text))
            return false;
        if (xml.FindElement())
            xml.EnterElement();
        return page.SaveXml(xml) &&
               XmlDocument::WriteTextFile(path, QString::fromStdU16String(xml.GetDocText()));
    }
    // The section read from the file, parsed once as the loader does; the refused values.
    QStringList load(const QString &path)
    {
        XmlDocument xml;
        EXPECT_TRUE(xml.ParseText(read(path)));
        QStringList refused;
        page.LoadXml(xml, refused);
        return refused;
    }
    void setPair(int tab, const QString &source, const QStringList &hosts)
    {
        page.TabCtrl->setCurrentIndex(tab);
        page.SourceCombo->setCurrentIndex(page.SourceCombo->findText(source));
        page.OnSourceComboChange();
        for (const QString &host : hosts)
            page.AvailableGrid->SetRowChecked(page.AvailableGrid->FindRowByKey(host), 1);
        page.OnAddHosts();
        page.OnSet();
    }
    const UtTestPair &pair(int number) const { return plan.TestPairs[std::size_t(number - 1)]; }

    QTemporaryDir dir;
    FakePages pages;
    CIGMPTestPlan plan;
    CPortConfig page;
};

QString pairXml(int number, const QString &fields,
                const QString &ports = "<SourcePortConfig/>\r\n<DesPortConfig/>\r\n")
{
    return QString("<Pair%1>\r\n%2%3</Pair%1>\r\n").arg(number).arg(fields, ports);
}

QString section(int count, const QString &pairs)
{
    return "<Tavrix-IGMP-TQ_Config>\r\n<PortPairConfig>\r\n<PairCount>" + QString::number(count) +
           "</PairCount>\r\n<PairSettings>\r\n" + pairs +
           "</PairSettings>\r\n</PortPairConfig>\r\n"
           "</Tavrix-IGMP-TQ_Config>\r\n";
}

} // namespace

TEST(PortConfigXml, DefaultPairIsWrittenAfterTheSections)
{
    XmlPage p;
    const QString path = p.file(kShell);
    ASSERT_TRUE(p.save(path));
    const QString expected =
        "<Tavrix-IGMP-TQ_Config>\r\n<SystemConfig/>\r\n<PortPairConfig>\r\n<PairCount>1</PairCount>\r\n"
        "<PairSettings>\r\n<Pair1>\r\n<PairID>1</PairID>\r\n<Status>0</Status>\r\n"
        "<num_of_destmember>0</num_of_destmember>\r\n<Src_Cid>0</Src_Cid>\r\n<Src_Bid>0</Src_Bid>\r\n"
        "<Src_Pid>0</Src_Pid>\r\n<mediatype>0</mediatype>\r\n<GroupIP>16842976</GroupIP>\r\n"
        "<NumofGroup>1</NumofGroup>\r\n<UniCid>65535</UniCid>\r\n<UniBid>255</UniBid>\r\n<UniPid>255</"
        "UniPid>\r\n"
        "<SourcePortConfig/>\r\n<DesPortConfig/>\r\n</Pair1>\r\n</PairSettings>\r\n</PortPairConfig>\r\n"
        "</Tavrix-IGMP-TQ_Config>\r\n";
    EXPECT_EQ(p.read(path).toStdString(), expected.toStdString());

    // A file without the root, or none at all, is not written.
    const QString other = p.file("<Other/>\r\n");
    EXPECT_FALSE(p.save(other));
    EXPECT_EQ(p.read(other), "<Other/>\r\n");
    EXPECT_FALSE(p.save(p.dir.filePath("missing.xml")));
}

TEST(PortConfigXml, PairsAndPortsComeBack)
{
    XmlPage p;
    p.setPair(0, xmlPortLabel(2, 1), {xmlPortLabel(2, 2)});
    p.page.TabCtrl->setCurrentIndex(1);
    const std::uint8_t address[4] = {239, 255, 255, 250};
    p.page.GroupAddress->SetAddress(address);
    p.setPair(1, xmlPortLabel(2, 3), {xmlPortLabel(3, 1), xmlPortLabel(3, 2)});
    p.setPair(2, xmlPortLabel(3, 3), {xmlPortLabel(3, 4)});
    const QString path = p.file(kShell);
    ASSERT_TRUE(p.save(path));
    const QString saved = p.read(path);
    EXPECT_TRUE(saved.contains("<GroupIP>-83886097</GroupIP>"));
    EXPECT_TRUE(saved.contains("<DesPort2>\r\n<CID>1</CID>\r\n<BID>3</BID>\r\n<PID>2</PID>\r\n"
                               "<Select_state>2</Select_state>\r\n</DesPort2>"));
    const std::vector<UtTestPair> pairs = p.plan.TestPairs;
    const std::vector<UtPortRecord> records = g_Session.Ports;

    // A fresh editor on the same session reads it all back, stream fields included.
    XmlPage q;
    EXPECT_EQ(q.load(path), QStringList());
    EXPECT_TRUE(q.prompter.messages().isEmpty());
    EXPECT_EQ(q.page.PairCount(), 3);
    EXPECT_EQ(q.page.TabCtrl->tabText(2), "Test Pair 3");
    ASSERT_EQ(q.plan.TestPairs.size(), 8u);
    for (std::size_t i = 0; i < 8; ++i)
        EXPECT_EQ(std::memcmp(&q.plan.TestPairs[i], &pairs[i], sizeof(UtTestPair)), 0) << i;
    for (std::size_t i = 0; i < records.size(); ++i) {
        const UtPortRecord &record = g_Session.Ports[i];
        EXPECT_EQ(record.SourcePair, records[i].SourcePair) << i;
        EXPECT_EQ(record.HostPair, records[i].HostPair) << i;
        EXPECT_EQ(record.Select_state, records[i].Select_state) << i;
        EXPECT_EQ(record.StreamItemA, records[i].StreamItemA) << i;
        EXPECT_EQ(record.StreamItemB, records[i].StreamItemB) << i;
        EXPECT_EQ(record.StreamNumber, records[i].StreamNumber) << i;
    }
    EXPECT_EQ(PortSession::record(3, 2).StreamNumber, 103);
    EXPECT_EQ(PortSession::record(3, 3).StreamNumber, 104);
}

TEST(PortConfigXml, LoaderSurvivesOddFiles)
{
    const QString fields = "<PairID>%1</PairID><Status>1</Status><num_of_destmember>1</num_of_destmember>"
                           "<Src_Cid>1</Src_Cid><Src_Bid>2</Src_Bid><Src_Pid>%2</Src_Pid>";
    const QString ports = "<SourcePortConfig><SourcePort1><CID>1</CID><BID>2</BID><PID>%1</PID>"
                          "<Select_state>1</Select_state></SourcePort1></SourcePortConfig>"
                          "<DesPortConfig><DesPort1><CID>1</CID><BID>3</BID><PID>%1</PID>"
                          "<Select_state>2</Select_state></DesPort1></DesPortConfig>";
    struct Case
    {
        const char *name;
        QString text;
        int pairCount;
        int status1, status2, status3;
        QStringList refused;
    };
    const Case cases[] = {
        {"no section", kShell, 1, 0, 0, 0, {}},
        {"Status before PairID",
         section(1, "<Pair1><Status>1</Status><PairID>1</PairID></Pair1>"),
         1,
         0,
         0,
         0,
         {}},
        {"three pairs",
         section(3, pairXml(1, fields.arg(1).arg(1), ports.arg(1)) +
                        pairXml(2, fields.arg(2).arg(2), ports.arg(2)) +
                        pairXml(3, fields.arg(3).arg(3), ports.arg(3))),
         3,
         1,
         1,
         1,
         {}},
        {"Pair2 missing",
         section(3, pairXml(1, fields.arg(1).arg(1), ports.arg(1)) +
                        pairXml(3, fields.arg(3).arg(3), ports.arg(3))),
         3,
         1,
         0,
         1,
         {}},
        {"PairCount 12",
         section(12, pairXml(1, fields.arg(1).arg(1), ports.arg(1))),
         1,
         0,
         0,
         0,
         {"PortPairConfig/PairCount = 12"}},
        {"PairID beyond the pairs",
         section(1, pairXml(1, fields.arg(300).arg(1), ports.arg(1))),
         1,
         1,
         0,
         0,
         {"PortPairConfig/PairSettings/Pair1/PairID = 300"}},
        {"ports outside the inventory",
         section(1,
                 pairXml(1, fields.arg(1).arg(1),
                         "<SourcePortConfig><SourcePort1><CID>300</CID><BID>2</BID><PID>1</PID></SourcePort1>"
                         "</SourcePortConfig><DesPortConfig><DesPort1><CID>1</CID><BID>20</BID><PID>1</PID>"
                         "</DesPort1><DesPort2><CID>1</CID><PID>2</PID></DesPort2></DesPortConfig>")),
         1,
         1,
         0,
         0,
         {}},
    };
    for (const Case &c : cases) {
        XmlPage p;
        EXPECT_EQ(p.load(p.file(c.text)), c.refused) << c.name;
        EXPECT_TRUE(p.prompter.messages().isEmpty()) << c.name;
        EXPECT_EQ(p.page.PairCount(), c.pairCount) << c.name;
        EXPECT_EQ(p.pair(1).PairID, 1) << c.name;
        // Pair 1 is stored again from the controls: a pair without hosts on the page stays as read.
        EXPECT_EQ(p.pair(1).Status, c.status1) << c.name;
        EXPECT_EQ(p.pair(2).Status, c.status2) << c.name;
        EXPECT_EQ(p.pair(3).Status, c.status3) << c.name;
        EXPECT_EQ(p.pair(8).PairID, 8) << c.name;
        if (c.status3) {
            EXPECT_EQ(PortSession::record(2, 3).SourcePair, 3) << c.name;
            EXPECT_EQ(PortSession::record(3, 3).StreamNumber, 105) << c.name;
            EXPECT_EQ(PortSession::record(3, 3).StreamItemA, 4) << c.name;
        }
        if (c.status1 == 0 || c.text.contains("<CID>300")) {
            for (const UtPortRecord &record : g_Session.Ports)
                EXPECT_EQ(record.Select_state, 0) << c.name;
        }
    }
}

// A group range that is not wholly multicast, a port id with letters after its number and a receiver
// count other than the pair's host entries are named; the pair keeps a sound value.
TEST(PortConfigXml, GroupsPortIdsAndReceiverCountsAreChecked)
{
    const QString host = "<DesPort%1><CID>1</CID><BID>3</BID><PID>%1</PID></DesPort%1>";
    const QString twoHosts =
        "<SourcePortConfig/><DesPortConfig>" + host.arg(1) + host.arg(2) + "</DesPortConfig>";
    const struct
    {
        const char *name;
        QString fields;
        QString ports;
        QStringList refused;
        std::uint8_t firstGroup[4];
        int groups;
        int receivers;
    } cases[] = {
        {"a unicast group",
         "<num_of_destmember>2</num_of_destmember><GroupIP>16777226</GroupIP><NumofGroup>4</NumofGroup>",
         twoHosts,
         {"PortPairConfig/PairSettings/Pair2/GroupIP = 16777226"},
         {224, 0, 2, 1},
         4,
         2},
        {"groups past 239.255.255.255",
         "<num_of_destmember>2</num_of_destmember><GroupIP>-83886097</GroupIP><NumofGroup>7</NumofGroup>",
         twoHosts,
         {"PortPairConfig/PairSettings/Pair2/NumofGroup = 7"},
         {239, 255, 255, 250},
         1,
         2},
        {"the last group 239.255.255.255",
         "<num_of_destmember>2</num_of_destmember><GroupIP>-83886097</GroupIP><NumofGroup>6</NumofGroup>",
         twoHosts,
         {},
         {239, 255, 255, 250},
         6,
         2},
        {"more receivers than hosts",
         "<num_of_destmember>5</num_of_destmember>",
         twoHosts,
         {"PortPairConfig/PairSettings/Pair2/num_of_destmember = 5"},
         {224, 0, 2, 1},
         1,
         2},
        {"a host id with letters",
         "<num_of_destmember>2</num_of_destmember>",
         "<DesPortConfig>" + host.arg(1) + "<DesPort2><CID>1abc</CID><BID>3</BID><PID>2</PID></DesPort2>" +
             "</DesPortConfig>",
         {"PortPairConfig/PairSettings/Pair2/DesPortConfig/DesPort2/CID = 1abc",
          "PortPairConfig/PairSettings/Pair2/num_of_destmember = 2"},
         {224, 0, 2, 1},
         1,
         1},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        XmlPage p;
        const QString text =
            section(2, pairXml(1, "<PairID>1</PairID>") +
                           pairXml(2, "<PairID>2</PairID><Status>1</Status>" + c.fields, c.ports));
        EXPECT_EQ(p.load(p.file(text)), c.refused);
        const UtTestPair &second = p.pair(2);
        EXPECT_EQ(std::memcmp(second.GroupIP, c.firstGroup, 4), 0)
            << int(second.GroupIP[0]) << "." << int(second.GroupIP[1]) << "." << int(second.GroupIP[2]) << "."
            << int(second.GroupIP[3]);
        EXPECT_EQ(second.NumofGroup, c.groups);
        EXPECT_EQ(second.num_of_destmember, c.receivers);
        EXPECT_EQ(PortSession::record(3, 1).HostPair, 2);
    }
}

// A value beyond its field's range is never cut into another value: the pair keeps its own.
TEST(PortConfigXml, GroupCountsAndTagsOutsideTheirRangesAreRefused)
{
    const char *counts[] = {"100000", "-1", "0", "65536", "abc"};
    for (const char *count : counts) {
        XmlPage p;
        const QString text = section(
            1, pairXml(1, QStringLiteral("<PairID>1</PairID><NumofGroup>%1</NumofGroup><UniBid>256</UniBid>")
                              .arg(QLatin1String(count))));
        EXPECT_EQ(p.load(p.file(text)),
                  QStringList({"PortPairConfig/PairSettings/Pair1/NumofGroup = " + QLatin1String(count),
                               "PortPairConfig/PairSettings/Pair1/UniBid = 256"}))
            << count;
        EXPECT_EQ(p.pair(1).NumofGroup, 1) << count;
        EXPECT_EQ(p.pair(1).UniBid, 0xFF) << count;
    }
    XmlPage p;
    EXPECT_EQ(p.load(p.file(section(1, pairXml(1, "<NumofGroup>256</NumofGroup>")))), QStringList());
    EXPECT_EQ(p.pair(1).NumofGroup, 256);
}
