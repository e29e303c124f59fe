// The "PortPairConfig" section of the configuration file.
#include "engine/EngineUtils.h"
#include "engine/IGMPTestPlan.h"
#include "engine/Session.h"
#include "platform/ConfigFieldReader.h"
#include "platform/NumberText.h"
#include "ports/PortConfig.h"

#include <QSignalBlocker>
#include <QTabBar>
#include <climits>
#include <cstring>

namespace {

const QString kRoot = QStringLiteral("Tavrix-IGMP-TQ_Config");
const QString kSection = QStringLiteral("PortPairConfig");

QString numbered(const char *name, int number)
{
    return QString::fromLatin1(name) + formatInt(number);
}

// The four address bytes a.b.c.d as one little-endian signed number, as the file keeps them.
std::int32_t groupNumber(const std::uint8_t bytes[4])
{
    std::int32_t value = 0;
    std::memcpy(&value, bytes, 4);
    return value;
}

void addPorts(XmlDocument &xml, const char *listName, const char *entryName, std::uint8_t pair, bool source)
{
    xml.AddElement(QString::fromLatin1(listName));
    xml.EnterElement();
    int count = 0;
    for (const UtPortRecord &record : g_Session.Ports) {
        if ((source ? record.SourcePair : record.HostPair) != pair)
            continue;
        xml.AddElement(numbered(entryName, ++count));
        xml.EnterElement();
        xml.AddElementInt(u"CID", record.CID);
        xml.AddElementInt(u"BID", record.BID);
        xml.AddElementInt(u"PID", record.PID);
        xml.AddElementInt(u"Select_state", record.Select_state);
        xml.LeaveElement();
    }
    xml.LeaveElement();
}

// Searches the children of the current element from the first one again.
void restartChildren(XmlDocument &xml)
{
    if (xml.LeaveElement())
        xml.EnterElement();
}

} // namespace

bool CPortConfig::SaveXml(XmlDocument &xml)
{
    if (xml.GetTagNameAt(xml.GetParentPos()) != kRoot)
        return false;
    xml.AddElement(kSection);
    xml.EnterElement();
    xml.AddElementInt(u"PairCount", m_pairCount);
    xml.AddElement(u"PairSettings");
    xml.EnterElement();
    const std::vector<UtTestPair> &pairs = Plan().TestPairs;
    for (int i = 1; i <= m_pairCount && std::size_t(i) <= pairs.size(); ++i) {
        const UtTestPair &pair = pairs[std::size_t(i - 1)];
        xml.AddElement(numbered("Pair", i));
        xml.EnterElement();
        xml.AddElementInt(u"PairID", pair.PairID);
        xml.AddElementInt(u"Status", pair.Status);
        xml.AddElementInt(u"num_of_destmember", pair.num_of_destmember);
        xml.AddElementInt(u"Src_Cid", pair.Src_Cid);
        xml.AddElementInt(u"Src_Bid", pair.Src_Bid);
        xml.AddElementInt(u"Src_Pid", pair.Src_Pid);
        xml.AddElementInt(u"mediatype", pair.mediatype);
        xml.AddElementInt(u"GroupIP", groupNumber(pair.GroupIP));
        xml.AddElementInt(u"NumofGroup", pair.NumofGroup);
        xml.AddElementInt(u"UniCid", pair.UniCid);
        xml.AddElementInt(u"UniBid", pair.UniBid);
        xml.AddElementInt(u"UniPid", pair.UniPid);
        addPorts(xml, "SourcePortConfig", "SourcePort", std::uint8_t(i), true);
        addPorts(xml, "DesPortConfig", "DesPort", std::uint8_t(i), false);
        xml.LeaveElement();
    }
    xml.LeaveElement();
    xml.LeaveElement();
    return true;
}

int CPortConfig::readPortEntries(ConfigFieldReader &reader, XmlDocument &xml, const QString &listName,
                                 const QString &entryName, int pair, bool source)
{
    restartChildren(xml);
    if (!xml.FindChildElement(listName))
        return 0;
    xml.EnterElement();
    int named = 0;
    for (int k = 1;; ++k) {
        restartChildren(xml);
        if (!xml.FindChildElement(entryName + formatInt(k)))
            break;
        xml.EnterElement();
        // An entry without its whole port id names no port.
        const auto cid = reader.readField<std::uint16_t>(u"CID");
        const auto bid = cid ? reader.readField<std::uint8_t>(u"BID") : std::nullopt;
        const auto pid = bid ? reader.readField<std::uint8_t>(u"PID") : std::nullopt;
        xml.LeaveElement();
        if (!pid)
            continue;
        ++named;
        if (*cid > kMaxChassis || *bid > kMaxCard || *pid > kMaxPort)
            continue;
        const std::uint16_t chassis = *cid;
        const std::uint8_t card = *bid, port = *pid;
        if (LookupPortIndex(chassis, g_Session.PortIndex, card, port) < 0)
            continue;
        const std::int32_t index = FindPortRecordIndex(chassis, card, port);
        if (index < 0 || std::size_t(index) >= g_Session.Ports.size())
            continue;
        UtPortRecord &record = g_Session.Ports[std::size_t(index)];
        (source ? record.SourcePair : record.HostPair) = std::uint8_t(pair);
        UpdatePairFields(record);
    }
    xml.LeaveElement();
    return named;
}

void CPortConfig::readPairSection(ConfigFieldReader &reader, XmlDocument &xml, int number)
{
    UtTestPair &pair = Plan().TestPairs[std::size_t(number - 1)];
    // The fields in file order: each search goes on after the one found before.
    if (const auto value = reader.readField<std::uint8_t>(u"PairID", 0, kMaxPairs))
        pair.PairID = *value;
    if (const auto value = reader.readField<std::uint8_t>(u"Status", 0, 1))
        pair.Status = *value;
    // The receiver count is checked against the host entries once they are read.
    int receiversElement = -1;
    if (const auto value = reader.readField<std::uint16_t>(u"num_of_destmember")) {
        pair.num_of_destmember = *value;
        receiversElement = xml.GetChildPos();
    }
    if (const auto value = reader.readField<std::uint16_t>(u"Src_Cid"))
        pair.Src_Cid = *value;
    if (const auto value = reader.readField<std::uint8_t>(u"Src_Bid"))
        pair.Src_Bid = *value;
    if (const auto value = reader.readField<std::uint8_t>(u"Src_Pid"))
        pair.Src_Pid = *value;
    if (const auto value = reader.readField<std::uint16_t>(u"mediatype"))
        pair.mediatype = *value;
    // The four address bytes as one number, signed or unsigned; the groups are multicast addresses.
    qint64 group = 0;
    if (reader.readInRange(u"GroupIP", INT_MIN, UINT_MAX, group)) {
        const auto bits = std::uint32_t(group);
        std::uint8_t first[4];
        std::memcpy(first, &bits, 4);
        if (IsMulticastGroupRange(first, 1))
            std::memcpy(pair.GroupIP, first, 4);
        else
            reader.refuseChild();
    }
    if (const auto value = reader.readField<std::uint16_t>(u"NumofGroup", kMinPairGroups, kMaxPairGroups)) {
        if (IsMulticastGroupRange(pair.GroupIP, *value))
            pair.NumofGroup = *value;
        else
            reader.refuseChild();
    }
    if (const auto value = reader.readField<std::uint16_t>(u"UniCid"))
        pair.UniCid = *value;
    if (const auto value = reader.readField<std::uint8_t>(u"UniBid"))
        pair.UniBid = *value;
    if (const auto value = reader.readField<std::uint8_t>(u"UniPid"))
        pair.UniPid = *value;
    readPortEntries(reader, xml, QStringLiteral("SourcePortConfig"), QStringLiteral("SourcePort"), number,
                    true);
    const int hosts = readPortEntries(reader, xml, QStringLiteral("DesPortConfig"), QStringLiteral("DesPort"),
                                      number, false);
    // A count other than the pair's host entries would misstate its receivers: the entries count.
    if (receiversElement >= 0 && hosts != pair.num_of_destmember) {
        reader.refuseElement(receiversElement);
        pair.num_of_destmember = std::uint16_t(hosts);
    }
}

void CPortConfig::LoadXml(XmlDocument &xml, QStringList &refused)
{
    ResetDialog();
    InitDefaultPairs();
    selectTab(0);
    ConfigFieldReader reader(xml, refused);
    xml.ResetPos();
    if (xml.FindElement(kRoot) && xml.FindChildElement(kSection)) {
        xml.EnterElement();
        qint64 count = 0;
        reader.readInRange(u"PairCount", 0, kMaxPairs, count);
        restartChildren(xml);
        if (xml.FindChildElement(u"PairSettings")) {
            xml.EnterElement();
            for (int i = 1; i <= count; ++i) {
                restartChildren(xml);
                if (!xml.FindChildElement(numbered("Pair", i)))
                    continue;
                xml.EnterElement();
                readPairSection(reader, xml, i);
                xml.LeaveElement();
            }
        }
        while (m_pairCount < count) {
            const QSignalBlocker blocker(TabCtrl);
            TabCtrl->insertTab(m_pairCount, QString());
            ++m_pairCount;
        }
        renameTabs();
    }
    RefreshPortGrids();
    AddTestPair();
    ApplyPairSettings(0, false);
}
