#include "engine/EventCallback.h"

#include "engine/ModuleVersionTable.h"
#include "engine/Session.h"
#include "platform/kvapi/KvAPI.h"
#include "platform/kvapi/KvProtocol.h"

#include <QDebug>
#include <QRegularExpression>
#include <algorithm>
#include <cstddef>
#include <cstring>
#include <map>
#include <tuple>

using KvProtocol::readBigEndian16;
using KvProtocol::readBigEndian32;
namespace Layout = KvProtocol::Layout;

namespace {

using Version = std::tuple<unsigned, unsigned, unsigned>;

std::uint64_t readBigEndian64(const std::uint8_t *at)
{
    return (std::uint64_t(readBigEndian32(at)) << 32) | readBigEndian32(at + 4);
}

std::uint64_t readCounter48(const std::uint8_t *at)
{
    return (std::uint64_t(readBigEndian16(at)) << 32) | readBigEndian32(at + 2);
}

bool isTestModule(std::uint16_t type)
{
    return type == 66 || IsPortModuleTypeCode(type);
}

// Shortest length of each message this program reads; fields beyond it are never read.
std::uint32_t minimumLength(std::uint16_t code)
{
    switch (code) {
    case KvProtocol::MsgPortCounters:
        return Layout::PortCounters::Length;
    case KvProtocol::MsgRxTimestamp:
        return Layout::RxTimestamp::Length;
    case KvProtocol::MsgBoardVersion:
        return Layout::BoardVersion::Length;
    case KvProtocol::MsgPortStatus:
        return Layout::PortStatus::Length;
    case KvProtocol::MsgStreamStatistics:
        return Layout::StreamStatistics::Items;
    case KvProtocol::MsgTxTimestamp:
        return Layout::TxTimestamp::Length;
    case KvProtocol::MsgEeprom:
        return Layout::Eeprom::SecondSerialNumber; // an answer may end before the second serial number
    case KvProtocol::MsgClientCount:
        return Layout::ClientCount::Length;
    default:
        return Layout::ShortestMessage;
    }
}

void ignore(const char *why, const std::uint8_t *message, std::uint32_t length)
{
    qWarning("server message 0x%04x (%u bytes) ignored: %s", length >= 2 ? readBigEndian16(message) : 0,
             length, why);
}

UtPortId portOf(const std::uint8_t *message)
{
    return {readBigEndian16(message + Layout::PortChassis), message[Layout::PortCard],
            message[Layout::PortNumber]};
}

// Index of the port a per-port message names, -1 when it is not in the inventory.
int portIndexOf(const std::uint8_t *message)
{
    const UtPortId id = portOf(message);
    const int index = LookupPortIndex(id.CID, g_Session.PortIndex, id.BID, id.PID);
    return index < g_Session.PortCount ? index : -1;
}

std::uint32_t portKey(const UtPortId &id)
{
    return (std::uint32_t(id.CID) << 16) | (std::uint32_t(id.BID) << 8) | id.PID;
}

bool isInPortIndexRange(const UtPortId &id)
{
    return id.CID <= kMaxChassis && id.BID <= kMaxCard && id.PID <= kMaxPort;
}

void handleInventory(const std::uint8_t *message, std::uint32_t length)
{
    using namespace Layout::Inventory;
    const std::uint16_t count = readBigEndian16(message + Count);
    if (count == 0xFFFF)
        return;
    if (length < Entries + EntrySize * count)
        return ignore("shorter than its entries", message, length);

    struct Entry
    {
        UtPortId id;
        std::uint8_t type;
        std::uint8_t status;
    };
    std::vector<Entry> testPorts;
    UtControllerId controller = g_Session.Controller;
    for (std::uint16_t i = 0; i < count; ++i) {
        const std::uint8_t *at = message + Entries + EntrySize * i;
        const Entry entry{{readBigEndian16(at + EntryChassis), at[EntryCard], at[EntryPort]},
                          at[EntryType],
                          at[EntryStatus]};
        if (IsCardSlotTypeChar(entry.type)) {
            controller = {entry.id, entry.type, 0};
        } else if (isTestModule(entry.type)) {
            if (isInPortIndexRange(entry.id))
                testPorts.push_back(entry);
            else
                qWarning("inventory entry (%u,%u,%u) outside the port table skipped", entry.id.CID,
                         entry.id.BID, entry.id.PID);
        }
    }
    if (testPorts.size() >= kMaxTestPorts)
        return ignore("too many test ports", message, length);

    UtSession &session = g_Session;
    // This program's locks and the firmware marks stay with their ports across inventories.
    std::map<std::uint32_t, std::pair<std::uint8_t, std::uint8_t>> kept;
    for (int i = 0; i < session.PortCount; ++i)
        kept[portKey(session.PortTable[i].Id)] = {session.LockedFlags[i], session.FirmwareOutdated[i]};

    session.Controller = controller;
    session.PortCount = static_cast<std::uint16_t>(testPorts.size());
    std::fill_n(&session.PortIndex[0][0][0], sizeof session.PortIndex / sizeof(std::int16_t),
                std::int16_t(-1));
    std::fill(std::begin(session.PortTable), std::end(session.PortTable), UtPortTableEntry{});
    session.allocatePortArrays(session.PortCount);

    bool anyFree = false;
    for (std::uint16_t i = 0; i < session.PortCount; ++i) {
        const Entry &entry = testPorts[i];
        const UtPortId &id = entry.id;
        session.PortTable[i] = {id, entry.type, 0};
        session.PortIndex[id.CID][id.BID][id.PID] = static_cast<std::int16_t>(i);
        Kv_TQModule_LinkStatus(id.CID, id.BID, id.PID); // the answer comes as a link status list
        if (FindPortRecordIndex(id.CID, id.BID, id.PID) == static_cast<std::int32_t>(session.Ports.size()))
            session.Ports.push_back(MakePortRecord(id, entry.type, 0));
        session.PortAddr[i] = {id, static_cast<std::uint16_t>(entry.status * 256), 0};
        if (const auto found = kept.find(portKey(id)); found != kept.end())
            std::tie(session.LockedFlags[i], session.FirmwareOutdated[i]) = found->second;
        anyFree = anyFree || entry.status == 0;
    }
    session.InventoryReceived = 1;
    session.InventoryReady = anyFree ? 1 : 0;
}

void handleLinkStatus(const std::uint8_t *message, std::uint32_t length)
{
    using namespace Layout::LinkStatus;
    const std::uint16_t chassis = readBigEndian16(message + Chassis);
    if (chassis == KvProtocol::LinkListEnd)
        return;
    UtSession &session = g_Session;
    std::uint32_t at = Entries;
    for (int entries = 0; entries < session.PortCount && at + EntrySize <= length;
         ++entries, at += EntrySize) {
        const std::uint8_t card = message[at + EntryCard], port = message[at + EntryPort];
        const std::uint16_t code = readBigEndian16(message + at + EntryCode);
        // The next entry's card and port, or the list's end.
        const std::uint16_t following = at + EntrySize + sizeof KvProtocol::LinkListEnd <= length
                                            ? readBigEndian16(message + at + EntrySize)
                                            : KvProtocol::LinkListEnd;
        const int index = LookupPortIndex(chassis, session.PortIndex, card, port);
        if (index < 0 || index >= session.PortCount)
            continue;
        if (isTestModule(session.PortTable[index].TYPE)) {
            UtPortHwInfo &info = session.PortHwInfo[index];
            info.Id = {chassis, card, port};
            info.SpeedMedia = code;
            info.Status2 = following;
            const std::int32_t record = FindPortRecordIndex(chassis, card, port);
            if (record < static_cast<std::int32_t>(session.Ports.size()))
                session.Ports[record].SpeedMedia = code;
        }
        if (following == KvProtocol::LinkListEnd)
            break;
    }
    if (session.PortGridRefresh)
        session.PortGridRefresh();
}

void handleStreamStatistics(const std::uint8_t *message, std::uint32_t length, int index)
{
    UtPortState &state = g_Session.PortStates[index];
    const UtPortId id = portOf(message);
    const std::int32_t recordIndex = FindPortRecordIndex(id.CID, id.BID, id.PID);
    const UtPortRecord *record = recordIndex < static_cast<std::int32_t>(g_Session.Ports.size())
                                     ? &g_Session.Ports[recordIndex]
                                     : nullptr;
    using namespace Layout::StreamStatistics;
    for (std::size_t at = Items; at + 2 <= length;) {
        const std::uint8_t *item = message + at;
        const unsigned type = readBigEndian16(item + ItemCode) >> 12;
        const unsigned stream = readBigEndian16(item + ItemCode) & 0x0FFF;
        const std::size_t size = itemSize(type);
        if (size == 0)
            return; // no known size: the rest cannot be walked
        if (at + size > length)
            return;
        if (type == TxItem && stream == 0) {
            UnpackWireCounter48C(item, state);
        } else if (type == TxItem && stream == 1) {
            UnpackWireCounter48D(item, state);
        } else if ((type == RxItem || type == 4) && record &&
                   (stream == record->StreamItemA || stream == record->StreamItemB)) {
            if (stream == record->StreamItemA)
                UnpackWireCounter48A(item, state);
            else
                UnpackWireCounter48B(item, state);
            const std::uint32_t ticks = readBigEndian32(item + ItemLatencyTicks);
            if (ticks > state.MaxLatencyTicks)
                state.MaxLatencyTicks = ticks;
        }
        at += size;
    }
}

UtBoardVersion decodeBoardVersion(const std::uint8_t *message)
{
    using namespace Layout::BoardVersion;
    UtBoardVersion version{};
    static_assert(std::size(version.W) == Layout::VersionWords::Count);
    version.Id = portOf(message);
    version.Value24 = readBigEndian32(message + Value24);
    for (std::size_t i = 0; i < std::size(version.W); ++i)
        version.W[i] = readBigEndian16(message + Words + 2 * i);
    for (std::size_t i = 0; i < std::size(version.Values48); ++i)
        version.Values48[i] = readBigEndian32(message + Values48 + 4 * i);
    version.Word68 = readBigEndian16(message + Word68);
    std::memcpy(version.MAC, message + Mac, sizeof version.MAC);
    version.Value76 = readBigEndian32(message + Value76);
    version.Word80 = readBigEndian16(message + Word80);
    version.Word82 = readBigEndian16(message + Word82);
    return version;
}

void handleBoardVersion(const std::uint8_t *message)
{
    const std::uint16_t type = readBigEndian16(message + Layout::ModuleType);
    const UtBoardVersion version = decodeBoardVersion(message);
    if (IsCardSlotTypeChar(type)) {
        g_Session.ControllerVersion = version;
        g_Session.ControllerVersionSeen = 1;
    }
    const int index = portIndexOf(message);
    if (isTestModule(type) && index >= 0) {
        g_Session.BoardVersions[index] = version;
        const auto &w = version.W;
        using namespace Layout::VersionWords;
        g_Session.FirmwareOutdated[index] =
            IsFirmwareOlderThanRequired(type, w[FirmwareMajor], w[FirmwareMinor], w[FirmwareBuild],
                                        w[FpgaMajor], w[FpgaMinor], w[FpgaBuild]);
    }
}

// The session's record is the message's EEPROM record, field for field.
static_assert(Layout::Eeprom::Record + offsetof(UtEepromRecord, ModelName) == Layout::Eeprom::ModelName);
static_assert(Layout::Eeprom::Record + offsetof(UtEepromRecord, SerialNumber) ==
              Layout::Eeprom::SerialNumber);
static_assert(Layout::Eeprom::Record + offsetof(UtEepromRecord, ManufactureDate) ==
              Layout::Eeprom::ManufactureDate);
static_assert(Layout::Eeprom::Record + offsetof(UtEepromRecord, SecondSerialNumber) ==
              Layout::Eeprom::SecondSerialNumber);
static_assert(sizeof UtEepromRecord::ModelName == Layout::Eeprom::ModelNameSize &&
              sizeof UtEepromRecord::SerialNumber == Layout::Eeprom::SerialNumberSize &&
              sizeof UtEepromRecord::ManufactureDate == Layout::Eeprom::ManufactureDateSize &&
              sizeof UtEepromRecord::SecondSerialNumber == Layout::Eeprom::SecondSerialNumberSize);

void copyEepromFields(const std::uint8_t *message, std::uint32_t length, UtEepromRecord &record)
{
    using namespace Layout::Eeprom;
    std::memcpy(record.ModelName, message + ModelName, ModelNameSize);
    std::memcpy(record.SerialNumber, message + SerialNumber, SerialNumberSize);
    std::memcpy(record.ManufactureDate, message + ManufactureDate, ManufactureDateSize);
    // A shorter answer carries no second serial number.
    if (length >= SecondSerialNumber + SecondSerialNumberSize)
        std::memcpy(record.SecondSerialNumber, message + SecondSerialNumber, SecondSerialNumberSize);
    else
        std::memset(record.SecondSerialNumber, 0, sizeof record.SecondSerialNumber);
}

void handleEeprom(const std::uint8_t *message, std::uint32_t length)
{
    UtSession &session = g_Session;
    const std::uint16_t type = readBigEndian16(message + Layout::ModuleType);
    if (IsCardSlotTypeChar(type)) {
        if (type == '1' || type == '_') {
            copyEepromFields(message, length, session.ChassisEeprom[0]);
        } else if (type == '0') {
            // The server echoes the request's selector: 1 the controller board's record, 0 the chassis's.
            const std::uint32_t selector = readBigEndian32(message + Layout::Selector);
            copyEepromFields(message, length, session.ChassisEeprom[selector == 1 ? 1 : 2]);
            session.EepromAnswerCount = session.EepromAnswerCount == 0 ? 1 : 0;
            session.EepromArrived = 1;
        }
        session.ControllerEepromArrived = 1;
        return;
    }
    const int index = portIndexOf(message);
    if (isTestModule(type) && index >= 0)
        copyEepromFields(message, length, session.PortEeprom[index]);
}

bool parseVersion(const QString &text, Version &version)
{
    static const QRegularExpression pattern(QStringLiteral("^v(\\d+)\\.(\\d+)b(\\d+)$"));
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch())
        return false;
    version = {match.captured(1).toUInt(), match.captured(2).toUInt(), match.captured(3).toUInt()};
    return true;
}

} // namespace

void KvEventCallback(const std::uint8_t *message, std::uint32_t length)
{
    if (!message || length < 2)
        return;
    const std::uint16_t code = readBigEndian16(message);
    if (length < minimumLength(code))
        return ignore("shorter than its fields", message, length);
    UtSession &session = g_Session;
    switch (code) {
    case KvProtocol::MsgInventory:
        return handleInventory(message, length);
    case KvProtocol::MsgLinkStatus:
        return handleLinkStatus(message, length);
    case KvProtocol::MsgClientCount:
        session.ClientCount = message[Layout::ClientCount::Count];
        return;
    case KvProtocol::MsgBoardVersion:
        return handleBoardVersion(message);
    case KvProtocol::MsgEeprom:
        return handleEeprom(message, length);
    case KvProtocol::MsgPortCounters:
    case KvProtocol::MsgRxTimestamp:
    case KvProtocol::MsgPortStatus:
    case KvProtocol::MsgStreamStatistics:
    case KvProtocol::MsgTxTimestamp:
        break;
    default:
        return;
    }

    const int index = portIndexOf(message);
    if (index < 0)
        return;
    switch (code) {
    case KvProtocol::MsgPortCounters:
        if (readBigEndian16(message + Layout::CounterKind) == 0)
            ConvertPortCounters(message + Layout::PortCounters::Record, session.PortCounters[index]);
        break;
    case KvProtocol::MsgRxTimestamp:
        session.DelayStamps[index].RxStamp = readBigEndian32(message + Layout::RxTimestamp::Stamp);
        session.DelayStamps[index].CaptureWord = readBigEndian16(message + Layout::RxTimestamp::Captured);
        break;
    case KvProtocol::MsgPortStatus:
        session.PortAddr[index] = {portOf(message), readBigEndian16(message + Layout::PortStatus::Status),
                                   readBigEndian16(message + Layout::PortStatus::Status2)};
        break;
    case KvProtocol::MsgStreamStatistics:
        handleStreamStatistics(message, length, index);
        break;
    case KvProtocol::MsgTxTimestamp:
        session.DelayStamps[index].TxStamp = readBigEndian32(message + Layout::TxTimestamp::Stamp);
        break;
    default:
        break;
    }
}

void ConvertPortCounters(const std::uint8_t *record, UtPortCounters &counters)
{
    namespace C = Layout::PortCounters;
    counters.Id = {readBigEndian16(record + C::Port), record[C::Port + 2], record[C::Port + 3]};
    // (record offset, field offset): the fields are packed, so they are written by copying bytes.
    static constexpr std::pair<std::size_t, std::size_t> fields[] = {
        {C::Counter1, offsetof(UtPortCounters, Counter1)},
        {C::RxMulticast, offsetof(UtPortCounters, MulticastRx)},
        {C::RxUnicast, offsetof(UtPortCounters, UnicastRx)},
        {C::PauseFrames, offsetof(UtPortCounters, PauseFrames)},
        {C::RxVlan, offsetof(UtPortCounters, VlanFrames)},
        {C::RxIpv4, offsetof(UtPortCounters, Ipv4Frames)},
        {C::CrcErrors, offsetof(UtPortCounters, CrcErrors)},
        {C::Undersize, offsetof(UtPortCounters, Undersize)},
        {C::Oversize, offsetof(UtPortCounters, Oversize)},
        {C::NormalSize, offsetof(UtPortCounters, NormalSize)},
        {C::Counter4, offsetof(UtPortCounters, Counter4)},
        {C::Counter5, offsetof(UtPortCounters, Counter5)},
        {C::Buckets, offsetof(UtPortCounters, Bucket64)},
        {C::Buckets + 8, offsetof(UtPortCounters, Bucket65To127)},
        {C::Buckets + 16, offsetof(UtPortCounters, Bucket128To255)},
        {C::Buckets + 24, offsetof(UtPortCounters, Bucket256To511)},
        {C::Buckets + 32, offsetof(UtPortCounters, Bucket512To1023)},
        {C::Buckets + 40, offsetof(UtPortCounters, Bucket1024To1522)},
        {C::Counter6, offsetof(UtPortCounters, Counter6)},
        {C::Counter7, offsetof(UtPortCounters, Counter7)},
        {C::Counter8, offsetof(UtPortCounters, Counter8)},
        {C::RxPackets, offsetof(UtPortCounters, RxPackets)},
        {C::Counter10, offsetof(UtPortCounters, Counter10)},
        {C::RxBytes, offsetof(UtPortCounters, RxBytes)},
        {C::TxPackets, offsetof(UtPortCounters, TxPackets)},
        {C::Counter11, offsetof(UtPortCounters, Counter11)},
        {C::TxBytes, offsetof(UtPortCounters, TxBytes)}};
    auto *destination = reinterpret_cast<std::uint8_t *>(&counters);
    for (const auto &[from, to] : fields) {
        const std::uint64_t value = readBigEndian64(record + from);
        std::memcpy(destination + to, &value, sizeof value);
    }
    // Packed members are copied, never referenced.
    counters.Value1 = readBigEndian32(record + C::Value1);
    std::uint32_t values[8];
    for (std::size_t i = 0; i < std::size(values); ++i)
        values[i] = readBigEndian32(record + C::Values2To9 + 4 * i);
    std::memcpy(counters.Values2To9, values, sizeof values);
    counters.Value10 = readBigEndian32(record + C::Value10);
}

void UnpackWireCounter48A(const std::uint8_t *item, UtPortState &state)
{
    state.RxCountA = readCounter48(item + Layout::StreamStatistics::ItemFrames);
}

void UnpackWireCounter48B(const std::uint8_t *item, UtPortState &state)
{
    state.RxCountB = readCounter48(item + Layout::StreamStatistics::ItemFrames);
}

void UnpackWireCounter48C(const std::uint8_t *item, UtPortState &state)
{
    state.TxCountA = readCounter48(item + Layout::StreamStatistics::ItemFrames);
}

void UnpackWireCounter48D(const std::uint8_t *item, UtPortState &state)
{
    state.TxCountB = readCounter48(item + Layout::StreamStatistics::ItemFrames);
}

bool LookupRequiredFirmware(std::uint16_t moduleType, QString &fpga, QString &firmware)
{
    if (moduleType < 52 || moduleType > 148)
        return false;
    QString model;
    if (!AssignModelNameOfType(moduleType - 52, model) || model.isEmpty() || model == QLatin1String("N/A"))
        return false;
    const UtModuleVersion *row = FindModuleVersion(model);
    if (!row)
        return false;
    fpga = row->Fpga;
    firmware = row->Firmware;
    return true;
}

bool IsFirmwareOlderThanRequired(std::uint16_t moduleType, std::uint16_t aMajor, std::uint16_t aMinor,
                                 std::uint16_t aBuild, std::uint16_t bMajor, std::uint16_t bMinor,
                                 std::uint16_t bBuild)
{
    QString fpgaText, firmwareText;
    Version fpga, firmware;
    if (!LookupRequiredFirmware(moduleType, fpgaText, firmwareText) || !parseVersion(fpgaText, fpga) ||
        !parseVersion(firmwareText, firmware))
        return false;
    // Compared as (major, minor, build): a minor of 10 or more still orders correctly.
    const Version versionA{aMajor, aMinor, aBuild};
    const Version versionB{bMajor, bMinor, bBuild};
    return versionB < fpga || versionA < firmware;
}
