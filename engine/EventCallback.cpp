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
        return 20 + 1372;
    case KvProtocol::MsgRxTimestamp:
        return 40;
    case KvProtocol::MsgBoardVersion:
        return 84;
    case KvProtocol::MsgPortStatus:
        return 28;
    case KvProtocol::MsgStreamStatistics:
        return 24;
    case KvProtocol::MsgTxTimestamp:
        return 32;
    case KvProtocol::MsgEeprom:
        return 122 + 12;
    case KvProtocol::MsgClientCount:
        return 25;
    default:
        return 22;
    }
}

void ignore(const char *why, const std::uint8_t *message, std::uint32_t length)
{
    qWarning("server message 0x%04x (%u bytes) ignored: %s", length >= 2 ? readBigEndian16(message) : 0,
             length, why);
}

UtPortId portOf(const std::uint8_t *message)
{
    return {readBigEndian16(message + 20), message[22], message[23]};
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
    const std::uint16_t count = readBigEndian16(message + 20);
    if (count == 0xFFFF)
        return;
    if (length < 22 + 6u * count)
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
        const std::uint8_t *at = message + 22 + 6 * i;
        const Entry entry{{readBigEndian16(at), at[2], at[3]}, at[4], at[5]};
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
    const std::uint16_t chassis = readBigEndian16(message + 20);
    if (chassis == KvProtocol::LinkListEnd)
        return;
    UtSession &session = g_Session;
    std::uint32_t at = 22;
    for (int entries = 0; entries < session.PortCount && at + 4 <= length; ++entries, at += 4) {
        const std::uint8_t card = message[at], port = message[at + 1];
        const std::uint16_t code = readBigEndian16(message + at + 2);
        const std::uint16_t following =
            at + 6 <= length ? readBigEndian16(message + at + 4) : KvProtocol::LinkListEnd;
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
    for (std::uint32_t at = 24; at + 2 <= length;) {
        const std::uint8_t *item = message + at;
        const unsigned type = readBigEndian16(item) >> 12;
        const unsigned stream = readBigEndian16(item) & 0x0FFF;
        std::uint32_t size = 0;
        switch (type) {
        case 1:
            size = 22;
            break;
        case 2:
        case 4:
            size = 50;
            break;
        case 3:
        case 5:
            size = 44;
            break;
        case 6:
        case 7:
            size = 42;
            break;
        case 8:
            size = 18;
            break;
        default:
            return; // no known size: the rest cannot be walked
        }
        if (at + size > length)
            return;
        if (type == 1 && stream == 0) {
            UnpackWireCounter48C(item, state);
        } else if (type == 1 && stream == 1) {
            UnpackWireCounter48D(item, state);
        } else if ((type == 2 || type == 4) && record &&
                   (stream == record->StreamItemA || stream == record->StreamItemB)) {
            if (stream == record->StreamItemA)
                UnpackWireCounter48A(item, state);
            else
                UnpackWireCounter48B(item, state);
            const std::uint32_t ticks = readBigEndian32(item + 24);
            if (ticks > state.MaxLatencyTicks)
                state.MaxLatencyTicks = ticks;
        }
        at += size;
    }
}

UtBoardVersion decodeBoardVersion(const std::uint8_t *message)
{
    UtBoardVersion version{};
    version.Id = portOf(message);
    version.Value24 = readBigEndian32(message + 24);
    for (int i = 0; i < 10; ++i)
        version.W[i] = readBigEndian16(message + 28 + 2 * i);
    for (int i = 0; i < 5; ++i)
        version.Values48[i] = readBigEndian32(message + 48 + 4 * i);
    version.Word68 = readBigEndian16(message + 68);
    std::memcpy(version.MAC, message + 70, 6);
    version.Value76 = readBigEndian32(message + 76);
    version.Word80 = readBigEndian16(message + 80);
    version.Word82 = readBigEndian16(message + 82);
    return version;
}

void handleBoardVersion(const std::uint8_t *message)
{
    const std::uint16_t type = readBigEndian16(message + 8);
    const UtBoardVersion version = decodeBoardVersion(message);
    if (IsCardSlotTypeChar(type)) {
        g_Session.ControllerVersion = version;
        g_Session.ControllerVersionSeen = 1;
    }
    const int index = portIndexOf(message);
    if (isTestModule(type) && index >= 0) {
        g_Session.BoardVersions[index] = version;
        const auto &w = version.W;
        g_Session.FirmwareOutdated[index] =
            IsFirmwareOlderThanRequired(type, w[0], w[1], w[7], w[4], w[5], w[6]);
    }
}

void copyEepromFields(const std::uint8_t *message, UtEepromRecord &record)
{
    std::memcpy(record.ModelName, message + 58, sizeof record.ModelName);
    std::memcpy(record.SerialNumber, message + 102, sizeof record.SerialNumber);
    std::memcpy(record.ManufactureDate, message + 122, sizeof record.ManufactureDate);
}

void handleEeprom(const std::uint8_t *message)
{
    UtSession &session = g_Session;
    const std::uint16_t type = readBigEndian16(message + 8);
    if (IsCardSlotTypeChar(type)) {
        if (type == '1' || type == '_') {
            copyEepromFields(message, session.ChassisEeprom[0]);
        } else if (type == '0') {
            // The server echoes the request's selector: 1 the controller board's record, 0 the chassis's.
            const std::uint32_t selector = readBigEndian32(message + 4);
            copyEepromFields(message, session.ChassisEeprom[selector == 1 ? 1 : 2]);
            session.EepromAnswerCount = session.EepromAnswerCount == 0 ? 1 : 0;
            session.EepromArrived = 1;
        }
        session.ControllerEepromArrived = 1;
        return;
    }
    const int index = portIndexOf(message);
    if (isTestModule(type) && index >= 0)
        copyEepromFields(message, session.PortEeprom[index]);
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
        session.ClientCount = message[24];
        return;
    case KvProtocol::MsgBoardVersion:
        return handleBoardVersion(message);
    case KvProtocol::MsgEeprom:
        return handleEeprom(message);
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
        if (readBigEndian16(message + 10) == 0)
            ConvertPortCounters(message + 20, session.PortCounters[index]);
        break;
    case KvProtocol::MsgRxTimestamp:
        session.DelayStamps[index].RxStamp = readBigEndian32(message + 36);
        session.DelayStamps[index].CaptureWord = readBigEndian16(message + 26);
        break;
    case KvProtocol::MsgPortStatus:
        session.PortAddr[index] = {portOf(message), readBigEndian16(message + 24),
                                   readBigEndian16(message + 26)};
        break;
    case KvProtocol::MsgStreamStatistics:
        handleStreamStatistics(message, length, index);
        break;
    case KvProtocol::MsgTxTimestamp:
        session.DelayStamps[index].TxStamp = readBigEndian32(message + 28);
        break;
    default:
        break;
    }
}

void ConvertPortCounters(const std::uint8_t *record, UtPortCounters &counters)
{
    counters.Id = {readBigEndian16(record), record[2], record[3]};
    // (record offset, field offset): the fields are packed, so they are written by copying bytes.
    static constexpr std::pair<std::uint32_t, std::size_t> fields[] = {
        {4, offsetof(UtPortCounters, Counter1)},          {12, offsetof(UtPortCounters, MulticastRx)},
        {20, offsetof(UtPortCounters, UnicastRx)},        {28, offsetof(UtPortCounters, PauseFrames)},
        {36, offsetof(UtPortCounters, VlanFrames)},       {44, offsetof(UtPortCounters, Ipv4Frames)},
        {68, offsetof(UtPortCounters, CrcErrors)},        {76, offsetof(UtPortCounters, Undersize)},
        {84, offsetof(UtPortCounters, Oversize)},         {92, offsetof(UtPortCounters, NormalSize)},
        {100, offsetof(UtPortCounters, Counter4)},        {108, offsetof(UtPortCounters, Counter5)},
        {116, offsetof(UtPortCounters, Bucket64)},        {124, offsetof(UtPortCounters, Bucket65To127)},
        {132, offsetof(UtPortCounters, Bucket128To255)},  {140, offsetof(UtPortCounters, Bucket256To511)},
        {148, offsetof(UtPortCounters, Bucket512To1023)}, {156, offsetof(UtPortCounters, Bucket1024To1522)},
        {172, offsetof(UtPortCounters, Counter6)},        {180, offsetof(UtPortCounters, Counter7)},
        {188, offsetof(UtPortCounters, Counter8)},        {236, offsetof(UtPortCounters, RxPackets)},
        {348, offsetof(UtPortCounters, Counter10)},       {428, offsetof(UtPortCounters, RxBytes)},
        {904, offsetof(UtPortCounters, TxPackets)},       {936, offsetof(UtPortCounters, Counter11)},
        {944, offsetof(UtPortCounters, TxBytes)}};
    auto *destination = reinterpret_cast<std::uint8_t *>(&counters);
    for (const auto &[from, to] : fields) {
        const std::uint64_t value = readBigEndian64(record + from);
        std::memcpy(destination + to, &value, sizeof value);
    }
    // Packed members are copied, never referenced.
    counters.Value1 = readBigEndian32(record + 960);
    std::uint32_t values[8];
    for (int i = 0; i < 8; ++i)
        values[i] = readBigEndian32(record + 1304 + 4 * i);
    std::memcpy(counters.Values2To9, values, sizeof values);
    counters.Value10 = readBigEndian32(record + 1368);
}

void UnpackWireCounter48A(const std::uint8_t *item, UtPortState &state)
{
    state.RxCountA = readCounter48(item + 2);
}

void UnpackWireCounter48B(const std::uint8_t *item, UtPortState &state)
{
    state.RxCountB = readCounter48(item + 2);
}

void UnpackWireCounter48C(const std::uint8_t *item, UtPortState &state)
{
    state.TxCountA = readCounter48(item + 2);
}

void UnpackWireCounter48D(const std::uint8_t *item, UtPortState &state)
{
    state.TxCountB = readCounter48(item + 2);
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
