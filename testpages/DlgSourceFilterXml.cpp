// The Source Filter page's section of the configuration file, "SourceFilterConfig": the two port
// selections, the page's fields, the port block and the address settings (the only section with
// attributes: a host's label and a group's address).
#include "controls/grid/KvAvlGrid.h"
#include "engine/EngineHost.h"
#include "engine/LanguageText.h"
#include "engine/SessionRecords.h"
#include "platform/ConfigFieldReader.h"
#include "platform/NumberText.h"
#include "platform/Prompter.h"
#include "ports/PortCheckGrid.h"
#include "testpages/DlgSourceFilter.h"

#include <QLineEdit>
#include <algorithm>
#include <climits>

namespace {

const QString kFilterConfigRoot = QStringLiteral("Tavrix-IGMP-TQ_Config");
const QString kFilterSection = QStringLiteral("SourceFilterConfig");

QString filterElement(const char *name, int number)
{
    return QString::fromLatin1(name) + formatInt(number);
}

void writeSelection(XmlDocument &xml, const char *countName, const char *entryName, CKvAvlGrid *grid)
{
    const int rows = grid->GetRowCount();
    xml.AddElementInt(QString::fromLatin1(countName), rows);
    for (int row = 0; row < rows; ++row) {
        QString label;
        grid->GetRowName(row, label);
        xml.AddElement(filterElement(entryName, row + 1), label);
    }
}

// Entries 1..N that are present, in order, as unchecked rows of the grid and into its list.
void readSelection(XmlDocument &xml, ConfigFieldReader &reader, const char *countName, const char *entryName,
                   CKvAvlGrid *grid, SortedStringList &list)
{
    qint64 count = 0;
    if (!reader.readInRange(QString::fromLatin1(countName), 0, INT_MAX, count))
        return;
    // A count beyond the inventory's size names no more ports than that.
    for (int i = 1; i <= std::min<qint64>(count, kMaxTestPorts); ++i) {
        if (!xml.FindChildElement(filterElement(entryName, i)))
            continue;
        const QString label = xml.GetChildText();
        grid->AddCheckRow(grid->GetRowCount(), label, 0, nullptr, CTestPageBase::kPairCheckStyle);
        list.AddString(label);
    }
}

} // namespace

bool CDlgSourceFilter::SaveXml(CDlgSourceFilter &page, bool selected, XmlDocument &xml)
{
    page.StorePortSettings();
    if (xml.GetTagNameAt(xml.GetParentPos()) != kFilterConfigRoot)
        return false;
    xml.AddElement(kFilterSection);
    xml.EnterElement();
    xml.AddElementInt(u"isSelected", selected ? 1 : 0);
    writeSelection(xml, "SourcePortNumber", "SourcePort", page.SelectedSourceGrid);
    writeSelection(xml, "HostPortNumber", "HostPort", page.SelectedHostGrid);
    for (const SectionField &field : page.SectionFields())
        xml.AddElement(QString::fromLatin1(field.element), static_cast<QLineEdit *>(field.control)->text());
    page.WritePortBlock(xml);

    xml.AddElement(u"SourceAddressSettings");
    xml.EnterElement();
    int hostNumber = 0;
    for (const UtFilterHost &host : page.AddressSettings) {
        xml.AddElement(filterElement("HostPort", ++hostNumber));
        xml.SetAttributeAt(xml.GetCurrentPos(), u"HostPort", host.PortLabel);
        xml.EnterElement();
        int groupNumber = 0;
        for (const UtFilterGroup &group : host.Groups) {
            xml.AddElement(filterElement("GroupAddress", ++groupNumber));
            xml.SetAttributeAt(xml.GetCurrentPos(), u"GroupAddress", group.GroupAddress);
            xml.EnterElement();
            xml.AddElementInt(u"FilterType", int(group.Mode));
            xml.AddElementInt(u"SourceAddrNumber", int(group.Sources.size()));
            for (int i = 0; i < group.Sources.size(); ++i)
                xml.AddElement(filterElement("SourceAddr", i + 1), group.Sources[i]);
            xml.LeaveElement();
        }
        xml.LeaveElement();
    }
    xml.LeaveElement();
    xml.LeaveElement();
    return true;
}

void CDlgSourceFilter::readAddressSettings(XmlDocument &xml, ConfigFieldReader &reader)
{
    const EngineHost &engine = EngineHost::instance();
    for (int h = 1; xml.FindChildElement(filterElement("HostPort", h)); ++h) {
        UtFilterHost host{xml.GetChildAttribute(u"HostPort"), {}};
        xml.EnterElement();
        for (int g = 1; xml.FindChildElement(filterElement("GroupAddress", g)); ++g) {
            UtFilterGroup group{xml.GetChildAttribute(u"GroupAddress"), kIncludeMode, {}};
            xml.EnterElement();
            if (xml.FindChildElement(u"FilterType")) {
                // Include or exclude, the two modes a report can carry; any other keeps the group's mode.
                qint64 mode = 0;
                if (reader.readFoundChild(kIncludeMode, kExcludeMode, mode))
                    group.Mode = std::uint32_t(mode);
                for (int s = 1; xml.FindChildElement(filterElement("SourceAddr", s)); ++s)
                    group.Sources << xml.GetChildText();
            }
            xml.LeaveElement();
            // One report carries at most this many groups of this many sources.
            if (group.Sources.size() > kMaxSources) {
                engine.log(
                    QStringLiteral("* Source Filter: %1, group %2 holds %3 source addresses; the first %4 "
                                   "are kept.\n")
                        .arg(host.PortLabel, group.GroupAddress)
                        .arg(group.Sources.size())
                        .arg(kMaxSources));
                group.Sources.resize(kMaxSources);
            }
            if (host.Groups.size() == std::size_t(kMaxGroups)) {
                engine.log(
                    QStringLiteral("* Source Filter: %1 holds more than %2 groups; group %3 is dropped.\n")
                        .arg(host.PortLabel)
                        .arg(kMaxGroups)
                        .arg(group.GroupAddress));
                continue;
            }
            host.Groups.push_back(std::move(group));
        }
        xml.LeaveElement();
        AddressSettings.push_back(std::move(host));
    }
}

QStringList CDlgSourceFilter::alignHostGroups()
{
    QStringList changedHosts;
    for (UtFilterHost &host : AddressSettings) {
        std::vector<UtFilterGroup> aligned;
        for (const QString &address : GroupList.Items()) {
            const auto kept =
                std::find_if(host.Groups.begin(), host.Groups.end(),
                             [&](const UtFilterGroup &group) { return group.GroupAddress == address; });
            aligned.push_back(kept != host.Groups.end() ? *kept : UtFilterGroup{address, kIncludeMode, {}});
        }
        const bool same = std::equal(
            aligned.begin(), aligned.end(), host.Groups.begin(), host.Groups.end(),
            [](const UtFilterGroup &a, const UtFilterGroup &b) { return a.GroupAddress == b.GroupAddress; });
        if (!same) {
            changedHosts << host.PortLabel;
            host.Groups = std::move(aligned);
        }
    }
    return changedHosts;
}

void CDlgSourceFilter::LoadXml(CDlgSourceFilter &page, XmlDocument &xml, bool &selected, QStringList &refused)
{
    ConfigFieldReader reader(xml, refused);
    xml.ResetPos();
    if (!xml.FindElement() || !xml.FindChildElement(kFilterSection)) {
        page.FillPortInfoGrid();
        page.StorePortSettings();
        return;
    }
    page.ClearPortListsAndAddresses();
    page.InitPortLists();
    xml.EnterElement();
    if (const auto flag = reader.readFlag(u"isSelected"))
        selected = *flag;
    // Labels are taken as they stand; only the available lists follow the inventory.
    readSelection(xml, reader, "SourcePortNumber", "SourcePort", page.SelectedSourceGrid,
                  page.SelectedSourceList);
    readSelection(xml, reader, "HostPortNumber", "HostPort", page.SelectedHostGrid, page.SelectedHostList);
    page.m_loading = true;
    for (const SectionField &field : page.SectionFields()) {
        if (!xml.FindChildElement(QString::fromLatin1(field.element)))
            continue;
        LoadFieldText(*static_cast<QLineEdit *>(field.control), xml.GetChildText(), reader);
    }
    page.m_loading = false;
    page.ReadPortBlock(xml, reader);
    // The port block's search runs to the section's end: the address settings are looked up afresh.
    if (xml.LeaveElement())
        xml.EnterElement();
    if (xml.FindChildElement(u"SourceAddressSettings")) {
        xml.EnterElement();
        page.readAddressSettings(xml, reader);
        xml.LeaveElement();
    }
    // The group list follows the loaded fields; the host records follow the group list.
    page.readGroupFields();
    page.BuildGroupList();
    if (const QStringList changed = page.alignHostGroups(); !changed.isEmpty())
        Prompter::current().messageBox(languageText("SourceFilter_Groups_Aligned")
                                           .arg(changed.join(QStringLiteral(", ")))
                                           .arg(page.GroupList.Count())
                                           .arg(page.GroupAddressCtrl->text()),
                                       MB_OK);
    page.PruneAvailablePortLists();
    page.RefreshAddressTree();
    page.FillPortInfoGrid();
    page.StorePortSettings();
}
