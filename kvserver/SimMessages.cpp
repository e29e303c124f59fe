#include "kvserver/SimMessages.h"

#include "platform/kvapi/KvProtocol.h"

#include <algorithm>

using namespace KvProtocol;

namespace SimMessages {

namespace {

// A zeroed message of the given length with the common header filled in.
std::vector<uint8_t> header(uint16_t code, size_t length, uint16_t type, KvPortId port)
{
    std::vector<uint8_t> message(length, 0);
    writeBigEndian16(&message[0], code);
    writeBigEndian16(&message[8], type);
    writeBigEndian16(&message[20], port.CID);
    message[22] = port.BID;
    message[23] = port.PID;
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
    auto message = header(MsgInventory, 22 + 6 * entries.size(), 0, {});
    writeBigEndian16(&message[20], static_cast<uint16_t>(entries.size()));
    size_t at = 22;
    for (const InventoryEntry &entry : entries) {
        writeBigEndian16(&message[at], entry.port.CID);
        message[at + 2] = entry.port.BID;
        message[at + 3] = entry.port.PID;
        message[at + 4] = entry.type;
        message[at + 5] = entry.status;
        at += 6;
    }
    return message;
}

std::vector<uint8_t> linkStatus(uint16_t chassis, const std::vector<LinkEntry> &entries)
{
    auto message = header(MsgLinkStatus, 24 + 4 * entries.size(), 0, {});
    writeBigEndian16(&message[20], chassis);
    size_t at = 22;
    for (const LinkEntry &entry : entries) {
        message[at] = entry.card;
        message[at + 1] = entry.port;
        writeBigEndian16(&message[at + 2], entry.code);
        at += 4;
    }
    writeBigEndian16(&message[at], LinkListEnd);
    return message;
}

std::vector<uint8_t> portStatus(KvPortId port, bool locked)
{
    auto message = header(MsgPortStatus, 28, 0, port);
    // The same value the inventory's status byte gives (status x 256).
    writeBigEndian16(&message[24], locked ? 0x0100 : 0);
    return message;
}

std::vector<uint8_t> clientCount(uint8_t count)
{
    auto message = header(MsgClientCount, 25, 0, {});
    message[24] = count;
    return message;
}

std::vector<uint8_t> boardVersion(uint16_t type, KvPortId port, const BoardVersion &version)
{
    auto message = header(MsgBoardVersion, 84, type, port);
    const uint16_t words[10] = {version.firmware.major,  version.firmware.minor,  version.tertiary.major,
                                version.tertiary.minor,  version.secondary.major, version.secondary.minor,
                                version.secondary.build, version.firmware.build,  version.tertiary.build,
                                version.single};
    for (size_t i = 0; i < 10; ++i)
        writeBigEndian16(&message[28 + 2 * i], words[i]);
    writeBigEndian16(&message[68], version.word68);
    std::copy_n(version.mac, 6, message.begin() + 70);
    return message;
}

std::vector<uint8_t> eeprom(uint16_t type, KvPortId port, uint32_t selector, const EepromText &text)
{
    auto message = header(MsgEeprom, 282, type, port);
    writeBigEndian32(&message[4], selector);
    putText(message, 58, 15, text.modelName);
    putText(message, 102, 19, text.serialNumber);
    putText(message, 122, 12, text.manufactureDate);
    putText(message, 134, 19, text.secondSerialNumber);
    return message;
}

std::vector<uint8_t> portCounters(uint16_t type, KvPortId port, const PortCounters &counters)
{
    constexpr size_t Record = 20; // the 1,372-byte counter record follows the header
    auto message = header(MsgPortCounters, Record + 1372, type, port);
    const std::pair<size_t, uint64_t> fields[] = {
        {12, counters.rxMulticast}, {20, counters.rxUnicast},   {36, counters.rxVlan},
        {44, counters.rxIpv4},      {76, counters.undersize},   {84, counters.oversize},
        {92, counters.normalSize},  {116, counters.buckets[0]}, {124, counters.buckets[1]},
        {132, counters.buckets[2]}, {140, counters.buckets[3]}, {148, counters.buckets[4]},
        {156, counters.buckets[5]}, {236, counters.rxPackets},  {428, counters.rxBytes},
        {904, counters.txPackets},  {944, counters.txBytes}};
    for (const auto &[offset, value] : fields)
        putBigEndian64(message, Record + offset, value);
    return message;
}

std::vector<uint8_t> streamStatistics(uint16_t type, KvPortId port, const std::vector<TxStreamItem> &tx,
                                      const std::vector<RxStreamItem> &rx)
{
    constexpr size_t TxItemSize = 22, RxItemSize = 50;
    auto message =
        header(MsgStreamStatistics, 24 + TxItemSize * tx.size() + RxItemSize * rx.size(), type, port);
    size_t at = 24;
    for (const TxStreamItem &item : tx) {
        writeBigEndian16(&message[at], static_cast<uint16_t>(0x1000 | (item.slot & 0x0FFF)));
        putCounter48(message, at + 2, item.frames);
        at += TxItemSize;
    }
    for (const RxStreamItem &item : rx) {
        writeBigEndian16(&message[at], static_cast<uint16_t>(0x2000 | (item.item & 0x0FFF)));
        putCounter48(message, at + 2, item.frames);
        writeBigEndian32(&message[at + 24], item.latencyTicks);
        at += RxItemSize;
    }
    return message;
}

std::vector<uint8_t> rxTimestamp(uint16_t type, KvPortId port, bool captured, uint32_t stamp)
{
    auto message = header(MsgRxTimestamp, 40, type, port);
    writeBigEndian16(&message[26], captured ? 1 : 0);
    writeBigEndian32(&message[36], stamp);
    return message;
}

std::vector<uint8_t> txTimestamp(uint16_t type, KvPortId port, uint32_t stamp)
{
    auto message = header(MsgTxTimestamp, 32, type, port);
    writeBigEndian32(&message[28], stamp);
    return message;
}

} // namespace SimMessages
