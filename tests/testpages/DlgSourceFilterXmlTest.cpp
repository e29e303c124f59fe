// The Source Filter page's section of the configuration file: what it writes, and what loading it does
// to a page, hand-edited files included.
#include "PageFixture.h"
#include "common/PortGridRows.h"

#include "controls/grid/KvAvlGrid.h"
#include "controls/widgets/NumEdit.h"
#include "platform/ScriptedPrompter.h"
#include "platform/XmlDocument.h"
#include "testpages/DlgSourceFilter.h"
#include "testpages/Ipv4Edit.h"

#include <QTreeWidget>
#include <gtest/gtest.h>

namespace {

const QString kRootStart = QStringLiteral("<Tavrix-IGMP-TQ_Config>");
const QString kRootEnd = QStringLiteral("</Tavrix-IGMP-TQ_Config>");

class DlgSourceFilterXmlTest : public testing::Test, public PageFixture
{
protected:
    DlgSourceFilterXmlTest()
    {
        for (std::uint8_t port = 1; port <= 4; ++port)
            addPort(1, 2, port, 0, 0);
        EngineHost::instance().appendLog = [this](const QString &text) { log << text; };
    }

    static QString label(int port) { return CDlgSourceFilter::LockedPortLabels().at(port - 1); }
    // The file text with the page's section written into an otherwise empty root.
    static QString saved(CDlgSourceFilter &page, bool selected)
    {
        XmlDocument xml;
        EXPECT_TRUE(xml.ParseText(kRootStart + kRootEnd));
        xml.FindElement();
        xml.EnterElement();
        EXPECT_TRUE(CDlgSourceFilter::SaveXml(page, selected, xml));
        return QString::fromStdU16String(xml.GetDocText());
    }
    // The page's section read from the file text, parsed once as the loader does; the refused values.
    static QStringList load(CDlgSourceFilter &page, const QString &text, bool &selected)
    {
        XmlDocument xml;
        EXPECT_TRUE(xml.ParseText(text));
        QStringList refused;
        CDlgSourceFilter::LoadXml(page, xml, selected, refused);
        return refused;
    }
    // A file whose section holds the given children.
    static QString sectionFile(const QString &children)
    {
        return kRootStart + "<SourceFilterConfig>" + children + "</SourceFilterConfig>" + kRootEnd;
    }

    ScriptedPrompter prompter;
    QStringList log;
};

} // namespace

TEST_F(DlgSourceFilterXmlTest, TheAddressTreeIsWrittenWithAttributesAndLoadsBackWhole)
{
    CDlgSourceFilter page;
    page.SourceAvailableGrid->SetRowChecked(0, 1);
    page.OnAddSourcePorts();
    page.HostAvailableGrid->SetRowChecked(1, 1);
    page.OnAddHostPorts();
    page.AddressSettings[0].Groups[0].Sources = QStringList{"10.0.0.1", "10.0.0.2"};
    page.AddressSettings[0].Groups[1].Mode = 2;
    page.DurationEdit->setText(QStringLiteral("25"));
    const QString text = saved(page, true);
    const QString host = "<HostPort1 HostPort=\"" + label(3) + "\">";
    EXPECT_TRUE(text.contains(host)) << text.toStdString();
    EXPECT_TRUE(text.contains("<SourcePortNumber>1</SourcePortNumber>"));
    EXPECT_TRUE(text.contains("<HostPort1>" + label(3) + "</HostPort1>"));
    EXPECT_TRUE(text.contains("<TestDuration>25</TestDuration>"));
    EXPECT_TRUE(text.contains("<GroupIP>224.0.1.1</GroupIP>"));
    EXPECT_TRUE(text.contains("<AvailablePortSettings1>"));
    EXPECT_TRUE(text.contains("<GroupAddress1 GroupAddress=\"224.0.1.1\">"));
    EXPECT_TRUE(text.contains("<SourceAddrNumber>2</SourceAddrNumber>"));
    EXPECT_TRUE(text.contains("<SourceAddr2>10.0.0.2</SourceAddr2>"));
    EXPECT_TRUE(text.contains("<SourceAddrNumber>0</SourceAddrNumber>"));

    CDlgSourceFilter fresh;
    bool selected = false;
    EXPECT_EQ(load(fresh, text, selected), QStringList());
    EXPECT_TRUE(selected);
    EXPECT_EQ(rowNames(fresh.SelectedSourceGrid), QStringList{label(1)});
    EXPECT_EQ(fresh.SelectedHostList.Items(), QStringList{label(3)});
    EXPECT_EQ(rowNames(fresh.SourceAvailableGrid), (QStringList{label(2), label(4)}));
    EXPECT_EQ(rowNames(fresh.HostAvailableGrid), (QStringList{label(2), label(4)}));
    EXPECT_EQ(fresh.DurationEdit->text(), "25");
    ASSERT_EQ(fresh.AddressSettings.size(), 1u);
    const UtFilterHost &loaded = fresh.AddressSettings[0];
    EXPECT_EQ(loaded.PortLabel, label(3));
    ASSERT_EQ(loaded.Groups.size(), 2u);
    EXPECT_EQ(loaded.Groups[0].Sources, (QStringList{"10.0.0.1", "10.0.0.2"}));
    EXPECT_EQ(loaded.Groups[1].Mode, 2u);
    EXPECT_EQ(fresh.AddressTree->topLevelItem(0)->child(1)->text(0),
              "Group:224.0.1.2 - (Filter Mode:Exclude)");
    EXPECT_EQ(fresh.AddressTree->topLevelItem(0)->child(0)->child(1)->text(0), "10.0.0.2");
    EXPECT_TRUE(fresh.CheckFieldsValid());

    // Loading the same file again leaves every label once.
    EXPECT_EQ(load(fresh, text, selected), QStringList());
    EXPECT_EQ(fresh.SelectedSourceList.Items(), QStringList{label(1)});
    EXPECT_EQ(rowNames(fresh.SelectedHostGrid), QStringList{label(3)});
    EXPECT_EQ(fresh.AddressSettings.size(), 1u);
}

TEST_F(DlgSourceFilterXmlTest, HandEditedSectionsLoadWhatTheyHoldWithinTheLimits)
{
    CDlgSourceFilter page;
    QString sources;
    for (int i = 1; i <= 12; ++i)
        sources += QStringLiteral("<SourceAddr%1>10.0.0.%1</SourceAddr%1>").arg(i);
    QString groups;
    for (int g = 1; g <= 11; ++g)
        groups += QStringLiteral("<GroupAddress%1 GroupAddress=\"225.0.0.%1\"><FilterType>%3</FilterType>"
                                 "<SourceAddrNumber>1</SourceAddrNumber>%2</GroupAddress%1>")
                      .arg(g)
                      .arg(g == 1 ? sources : QStringLiteral("<SourceAddr1>1.1.1.1</SourceAddr1>"))
                      .arg(g == 2   ? "7"
                           : g == 3 ? "2abc"
                                    : "2"); // modes neither include nor exclude
    const QString file =
        sectionFile("<SourcePortNumber>3</SourcePortNumber><SourcePort1>" + label(1) +
                    "</SourcePort1><SourcePort3>(  9, 9,1) - QM-M13</SourcePort3>"
                    "<HostPortNumber>1</HostPortNumber><HostPort1>" +
                    label(2) +
                    "</HostPort1><TestDuration>70000</TestDuration><NumberGroup>3</NumberGroup>"
                    "<GroupIP>225.0.0.1</GroupIP>"
                    "<SourceAddressSettings><HostPort1 HostPort=\"" +
                    label(2) + "\">" + groups +
                    "<GroupAddress12 GroupAddress=\"225.0.0.12\"/></HostPort1>"
                    "<HostPort2 HostPort=\"" +
                    label(4) +
                    "\"><GroupAddress1 GroupAddress=\"225.0.0.1\">"
                    "<SourceAddr1>2.2.2.2</SourceAddr1></GroupAddress1></HostPort2></SourceAddressSettings>");
    bool selected = true;
    const QString duration = page.DurationEdit->text();
    // A field beyond its range keeps the page's value, a group's unknown mode the group's Include.
    EXPECT_EQ(
        load(page, file, selected),
        (QStringList{"SourceFilterConfig/TestDuration = 70000",
                     "SourceFilterConfig/SourceAddressSettings/HostPort1/GroupAddress2/FilterType = 7",
                     "SourceFilterConfig/SourceAddressSettings/HostPort1/GroupAddress3/FilterType = 2abc"}));
    EXPECT_EQ(page.DurationEdit->text(), duration);
    EXPECT_TRUE(selected); // no "isSelected": the flag stays
    // A missing number is skipped; a label outside the inventory is kept as it stands.
    EXPECT_EQ(rowNames(page.SelectedSourceGrid), (QStringList{label(1), "(  9, 9,1) - QM-M13"}));
    const QStringList groupList{"225.0.0.1", "225.0.0.2", "225.0.0.3"};
    EXPECT_EQ(page.GroupList.Items(), groupList);
    ASSERT_EQ(page.AddressSettings.size(), 2u);
    EXPECT_EQ(log.size(), 3) << log.join("").toStdString(); // the sources cut, groups 11 and 12 dropped
    // The hosts' groups follow the group list, what the file gave a listed group kept, and the user is told.
    for (const UtFilterHost &host : page.AddressSettings) {
        QStringList groups;
        for (const UtFilterGroup &group : host.Groups)
            groups << group.GroupAddress;
        EXPECT_EQ(groups, groupList) << host.PortLabel.toStdString();
    }
    const UtFilterHost &host = page.AddressSettings[0];
    EXPECT_EQ(host.Groups[0].Mode, 2u);
    EXPECT_EQ(host.Groups[1].Mode, 1u);
    EXPECT_EQ(host.Groups[2].Mode, 1u);
    EXPECT_EQ(host.Groups[0].Sources.size(), 10);
    EXPECT_EQ(host.Groups[0].Sources.back(), "10.0.0.10");
    EXPECT_EQ(host.Groups[1].Sources, QStringList{"1.1.1.1"});
    // Without "FilterType" a group loads as Include with no sources; a group the file lacks comes the same.
    for (const UtFilterGroup &group : page.AddressSettings[1].Groups) {
        EXPECT_EQ(group.Mode, 1u);
        EXPECT_TRUE(group.Sources.isEmpty());
    }
    ASSERT_EQ(prompter.messages().size(), 1);
    EXPECT_TRUE(prompter.messages()[0].contains(label(2) + ", " + label(4)))
        << prompter.messages()[0].toStdString();
    EXPECT_TRUE(prompter.messages()[0].contains("3 group(s) from 225.0.0.1"));

    // Only ports of the inventory make a run.
    page.SelectedSourceGrid->SetRowChecked(0, 1);
    page.OnRemoveSourcePorts();
    EXPECT_FALSE(page.CheckFieldsValid());
}

// The note on hosts whose groups were made to follow the group list, in each language; a count or a
// flag with letters after its number is named, not read as its number.
TEST_F(DlgSourceFilterXmlTest, AlignedHostsAreToldInTheLanguageOnShow)
{
    const struct
    {
        const char *languageFile;
        QString note;
    } cases[] = {
        {"LangEng.lng",
         "The groups of host port(s) " + label(2) +
             " in the configuration file differ from the 2 group(s) from 224.0.1.1. The hosts now have these "
             "groups: a group not among them was dropped, a missing one was added with filter mode Include "
             "and no source."},
        {"LangChs.lng",
         "配置文件中主机端口 " + label(2) +
             " 的组与组列表（2 个组，从 224.0.1.1 开始）不一致。这些主机现在使用这些组：不在其中的组已删除，"
             "缺少的组已按过滤模式“包含”添加，且没有源地址。"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.languageFile);
        g_LangMag.SetLangFile(QStringLiteral(KV_SOURCE_DIR "/resources/Language/") +
                              QLatin1String(c.languageFile));
        CDlgSourceFilter page;
        bool selected = false;
        const qsizetype before = prompter.messages().size();
        const QStringList refused = load(
            page,
            sectionFile("<isSelected>1abc</isSelected><SourcePortNumber>1x</SourcePortNumber><SourcePort1>" +
                        label(1) + "</SourcePort1><HostPortNumber>1</HostPortNumber><HostPort1>" + label(2) +
                        "</HostPort1><NumberGroup>2</NumberGroup><GroupIP>224.0.1.1</GroupIP>"
                        "<SourceAddressSettings><HostPort1 HostPort=\"" +
                        label(2) +
                        "\"><GroupAddress1 GroupAddress=\"225.9.9.9\"/></HostPort1></SourceAddressSettings>"),
            selected);
        EXPECT_EQ(refused, (QStringList{"SourceFilterConfig/isSelected = 1abc",
                                        "SourceFilterConfig/SourcePortNumber = 1x"}));
        EXPECT_FALSE(selected);
        EXPECT_TRUE(page.SelectedSourceList.Items().isEmpty());
        EXPECT_EQ(page.SelectedHostList.Items(), QStringList{label(2)});
        ASSERT_EQ(prompter.messages().size(), before + 1);
        EXPECT_EQ(prompter.messages().last().toStdString(), c.note.toStdString());
    }
}

TEST_F(DlgSourceFilterXmlTest, AFileWithoutTheSectionLeavesThePage)
{
    CDlgSourceFilter page;
    page.SourceAvailableGrid->SetRowChecked(0, 1);
    page.OnAddSourcePorts();
    page.OnAddAllHostPorts();
    bool selected = false;
    EXPECT_EQ(load(page, kRootStart + "<LatencyConfig/>" + kRootEnd, selected), QStringList());
    EXPECT_EQ(page.SelectedSourceList.Items(), QStringList{label(1)});
    EXPECT_EQ(page.AddressTree->topLevelItemCount(), 3);
    EXPECT_FALSE(selected);
    EXPECT_EQ(page.AddressSettings.size(), 3u);

    XmlDocument outside;
    outside.ParseText(kRootStart + kRootEnd);
    EXPECT_FALSE(CDlgSourceFilter::SaveXml(page, false, outside));
}
