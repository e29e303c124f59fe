// Automatic ARP replies and learning frames of the test ports.
#include "engine/IGMPTestPlan.h"

#include "engine/PlanWireFormat.h"

#include <cstring>

using namespace std::chrono_literals;

using namespace TestPlanSupport;

namespace {

void fillArpEntry(KvArpAddressEntry &entry, const UtPortRecord &record, bool tagged, std::uint8_t priority,
                  std::uint8_t cfi, std::uint16_t vlanId, std::int8_t prefix)
{
    std::memcpy(entry.MAC, record.MAC, 6);
    if (tagged)
        putTag(entry.VlanTag, priority, cfi, vlanId);
    std::memcpy(entry.IPAddress, &record.IPAddress, 4);
    std::memcpy(entry.GatewayIP, &record.GatewayIP, 4);
    entry.PrefixLength = static_cast<std::uint8_t>(prefix);
}

KvArpReplyTable arpReplyTable(const UtTestPort &port, const UtPortRecord &record)
{
    KvArpReplyTable table;
    std::memset(&table, 0xFF, sizeof table);
    table.Port = {port.Id.CID, port.Id.BID, port.Id.PID};
    const std::uint8_t options[4] = {1, 1, 0, 1};
    std::memcpy(table.Options, options, 4);
    table.Word8 = 0;
    table.EntryCount = unicastTagged(record) ? 2 : 1;
    const std::int8_t prefix = SubnetPrefixLength(port.PortIndex);
    fillArpEntry(table.Entry1, record, portTagged(record), record.VLanPriority, record.CFI, record.VLanID,
                 prefix);
    if (unicastTagged(record))
        fillArpEntry(table.Entry2, record, true, record.UniVLanPriority, record.UniCFI, record.UniVLanID,
                     prefix);
    table.ReplyMode = record.Flag == 1 ? 0x8801 : record.Flag == 2 ? 0x8081 : 0xFFFF;
    return table;
}

} // namespace

std::uint16_t CIGMPTestPlan::StartAutoArpReply()
{
    return walkTestPorts({.stopBeforeEachList = false}, [this](const UtTestPort &port) {
        const UtPortRecord *record = recordOf(port);
        if (!record)
            return PortVisit::Failed;
        if (Kv_TQModule_StartAutoARPReply(port.Id.CID, port.Id.BID, port.Id.PID,
                                          arpReplyTable(port, *record)) == 0)
            return PortVisit::Failed;
        return PortVisit::Next;
    });
}

std::uint16_t CIGMPTestPlan::SendLearningFrames()
{
    return walkTestPorts({.stopBeforeEachList = false}, [this](const UtTestPort &port) {
        const UtPortRecord *record = recordOf(port);
        UtTxEntry entry;
        std::memset(&entry, 0xFF, sizeof entry);
        if (!record || !BuildFrameTemplate(entry, port.PortIndex))
            return PortVisit::Failed;
        if (g_Session.DemoHardware)
            return PortVisit::Next;
        const UtPortId &id = port.Id;
        // A tag makes the 46-byte IPv4 packet 4 bytes too long for 60: the tagged frame is 64 bytes.
        if (portTagged(*record))
            entry.FrameLength = entry.FrameLength2 = 64;
        entry.EntryNumber = 0;
        entry.Word40 = 1;
        if (Kv_TQModule_FillTxPkt_AddEntry(id.CID, id.BID, id.PID, entry) == 0)
            return PortVisit::Abort;
        entry.EntryNumber = 1;
        entry.Word40 = 0;
        if (unicastTagged(*record)) {
            putTag(entry.Frame + 12, record->UniVLanPriority, record->UniCFI, record->UniVLanID);
            putBe16(entry.Frame + 16, 0xFFFF);
        } else {
            putBe16(entry.Frame + 12, 0xFFFF);
        }
        if (Kv_TQModule_FillTxPkt_AddEntry(id.CID, id.BID, id.PID, entry) == 0)
            return PortVisit::Abort;
        if (Kv_TQModule_FillTxPkt_TxConfig(id.CID, id.BID, id.PID, txConfig(0)) == 0)
            return PortVisit::Abort;
        WaitPumpingAbortable(500ms);
        if (Kv_TQModule_StartTxPkt(id.CID, id.BID, id.PID, startBlock(id, 0, 1, 10, 1)) == 0)
            return PortVisit::Failed;
        return PortVisit::Next;
    });
}
