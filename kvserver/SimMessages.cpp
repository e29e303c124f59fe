#include "kvserver/SimMessages.h"

#include "platform/kvapi/KvProtocol.h"

#include <algorithm>

using namespace KvProtocol;

namespace SimMessages {

namespace L = KvProtocol::Layout;

namespace {

// A zeroed message of the given length with the common header filled in.
std::vector<uint8_t> header(uint16_t code, size_t length, uint16_t type, KvPortId port)
{
    std::vector<uint8_t> message(length, 0);
    writeBigEndian16(&message[L::Code], code);
    writeBigEndian16(&message[L::ModuleType], type);
    writeBigEndian16(&message[L::PortChassis], port.CID);
    message[L::PortCard] = port.BID;
    message[L::PortNumber] = port.PID;
    return message;
}

void putText(std::vector<uint8_t> &message, size_t offset, size_t field, const std::string &text)
{
    std::copy_n(text.begin(), std::min(text.size(), field), message.begin() + static_cast<long>(offset));
}

void putBigEndian64(std::vector<uint8_t> &message, size_t at, uint64_t value)
{
    writeBigEndian32(&message[at], static_cast<uint32_t>(value >> 32));
    writeBigEndian32(&message[at + 4], static_cast<uint32_t>(value));
}

void putCounter48(std::vector<uint8_t> &message, size_t at, uint64_t value)
{
    writeBigEndian16(&message[at], static_cast<uint16_t>(value >> 32));
    writeBigEndian32(&message[at + 2], static_cast<uint32_t>(value));
}

} // namespace

std::vector<uint8_t> inventory(const std::vector<InventoryEntry> &entries)
{
    using namespace L::Inventory;
    auto message = header(MsgInventory, Entries + EntrySize * entries.size(), 0, {});
    writeBigEndian16(&message[Count], static_cast<uint16_t>(entries.size()));
    size_t at = Entries;
    for (const InventoryEntry &entry : entries) {
        writeBigEndian16(&message[at + EntryChassis], entry.port.CID);
        message[at + EntryCard] = entry.port.BID;
        message[at + EntryPort] = entry.port.PID;
        message[at + EntryType] = entry.type;
        message[at + EntryStatus] = entry.status;
        at += EntrySize;
    }
    return message;
}

std::vector<uint8_t> linkStatus(uint16_t chassis, const std::vector<LinkEntry> &entries)
{
    using namespace L::LinkStatus;
    auto message = header(MsgLinkStatus, Entries + EntrySize * entries.size() + sizeof LinkListEnd, 0, {});
    writeBigEndian16(&message[Chassis], chassis);
    size_t at = Entries;
    for (const LinkEntry &entry : entries) {
        message[at + EntryCard] = entry.card;
        message[at + EntryPort] = entry.port;
        writeBigEndian16(&message[at + EntryCode], entry.code);
        at += EntrySize;
    }
    writeBigEndian16(&message[at], LinkListEnd);
    return message;
}

std::vector<uint8_t> portStatus(KvPortId port, bool locked)
{
    auto message = header(MsgPortStatus, L::PortStatus::Length, 0, port);
    // The same value the inventory's status byte gives (status x 256).
    writeBigEndian16(&message[L::PortStatus::Status], locked ? 0x0100 : 0);
    return message;
}

std::vector<uint8_t> clientCount(uint8_t count)
{
    auto message = header(MsgClientCount, L::ClientCount::Length, 0, {});
    message[L::ClientCount::Count] = count;
    return message;
}

std::vector<uint8_t> boardVersion(uint16_t type, KvPortId port, const BoardVersion &version)
{
    using namespace L::BoardVersion;
    namespace W = L::VersionWords;
    auto message = header(MsgBoardVersion, Length, type, port);
    uint16_t words[W::Count] = {};
    words[W::FirmwareMajor] = version.firmware.major;
    words[W::FirmwareMinor] = version.firmware.minor;
    words[W::FirmwareBuild] = version.firmware.build;
    words[W::FpgaMajor] = version.secondary.major;
    words[W::FpgaMinor] = version.secondary.minor;
    words[W::FpgaBuild] = version.secondary.build;
    words[W::PromMajor] = version.tertiary.major;
    words[W::PromMinor] = version.tertiary.minor;
    words[W::PromBuild] = version.tertiary.build;
    words[W::Hardware] = version.single;
    for (size_t i = 0; i < std::size(words); ++i)
        writeBigEndian16(&message[Words + 2 * i], words[i]);
    writeBigEndian16(&message[Word68], version.word68);
    std::copy_n(version.mac, 6, message.begin() + Mac);
    return message;
}

std::vector<uint8_t> eeprom(uint16_t type, KvPortId port, uint32_t selector, const EepromText &text)
{
    using namespace L::Eeprom;
    auto message = header(MsgEeprom, Length, type, port);
    writeBigEndian32(&message[L::Selector], selector);
    // The texts keep their zero end; the date fills its field.
    putText(message, ModelName, ModelNameSize - 1, text.modelName);
    putText(message, SerialNumber, SerialNumberSize - 1, text.serialNumber);
    putText(message, ManufactureDate, ManufactureDateSize, text.manufactureDate);
    putText(message, SecondSerialNumber, SecondSerialNumberSize - 1, text.secondSerialNumber);
    return message;
}

std::vector<uint8_t> portCounters(uint16_t type, KvPortId port, const PortCounters &counters)
{
    namespace C = L::PortCounters;
    auto message = header(MsgPortCounters, C::Length, type, port);
    const std::pair<size_t, uint64_t> fields[] = {
        {C::RxMulticast, counters.rxMulticast}, {C::RxUnicast, counters.rxUnicast},
        {C::RxVlan, counters.rxVlan},           {C::RxIpv4, counters.rxIpv4},
        {C::Undersize, counters.undersize},     {C::Oversize, counters.oversize},
        {C::NormalSize, counters.normalSize},   {C::RxPackets, counters.rxPackets},
        {C::RxBytes, counters.rxBytes},         {C::TxPackets, counters.txPackets},
        {C::TxBytes, counters.txBytes}};
    for (const auto &[offset, value] : fields)
        putBigEndian64(message, C::Record + offset, value);
    static_assert(std::size(PortCounters{}.buckets) == C::BucketCount);
    for (size_t i = 0; i < C::BucketCount; ++i)
        putBigEndian64(message, C::Record + C::Buckets + 8 * i, counters.buckets[i]);
    return message;
}

std::vector<uint8_t> streamStatistics(uint16_t type, KvPortId port, const std::vector<TxStreamItem> &tx,
                                      const std::vector<RxStreamItem> &rx)
{
    using namespace L::StreamStatistics;
    constexpr size_t TxItemSize = itemSize(TxItem), RxItemSize = itemSize(RxItem);
    auto message =
        header(MsgStreamStatistics, Items + TxItemSize * tx.size() + RxItemSize * rx.size(), type, port);
    size_t at = Items;
    for (const TxStreamItem &item : tx) {
        writeBigEndian16(&message[at + ItemCode], static_cast<uint16_t>(TxItem << 12 | (item.slot & 0x0FFF)));
        putCounter48(message, at + ItemFrames, item.frames);
        at += TxItemSize;
    }
    for (const RxStreamItem &item : rx) {
        writeBigEndian16(&message[at + ItemCode], static_cast<uint16_t>(RxItem << 12 | (item.item & 0x0FFF)));
        putCounter48(message, at + ItemFrames, item.frames);
        writeBigEndian32(&message[at + ItemLatencyTicks], item.latencyTicks);
        at += RxItemSize;
    }
    return message;
}

std::vector<uint8_t> rxTimestamp(uint16_t type, KvPortId port, bool captured, uint32_t stamp)
{
    using namespace L::RxTimestamp;
    auto message = header(MsgRxTimestamp, Length, type, port);
    writeBigEndian16(&message[Captured], captured ? 1 : 0);
    writeBigEndian32(&message[Stamp], stamp);
    return message;
}

std::vector<uint8_t> txTimestamp(uint16_t type, KvPortId port, uint32_t stamp)
{
    auto message = header(MsgTxTimestamp, L::TxTimestamp::Length, type, port);
    writeBigEndian32(&message[L::TxTimestamp::Stamp], stamp);
    return message;
}

} // namespace SimMessages
