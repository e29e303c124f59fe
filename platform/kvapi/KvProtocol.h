// The wire protocol between the hardware library and the chassis server, shared by both ends.
//
// Every frame is a u32 little-endian length followed by that many bytes.
// Client to server, a request: u16 operation, u32 sequence, then the call's arguments in order
// (u16/u32 little-endian, u8 as a byte, blocks as their raw bytes).
// Server to client: u8 kind, then
//   kind Reply:   u32 sequence, u16 result, optional data (the version text of GetVerNum);
//   kind Message: one server event message (big-endian fields, see MessageCode). An EEPROM answer
//                 (0x1E00) echoes the request's selector in its u32 at offset 4.
// A request's reply is sent before any message it causes for its caller; messages it causes for
// other clients are sent before the reply.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string_view>
#include <vector>

namespace KvProtocol {

// Port the server listens on unless told otherwise (KV_SERVER_PORT overrides it for both ends).
constexpr uint16_t DefaultPort = 5168;
// The port number a text names: decimal digits only, at most 65535; nullopt for anything else.
inline std::optional<uint16_t> portFromText(std::string_view text)
{
    if (text.empty() || text.size() > 5)
        return std::nullopt;
    uint32_t port = 0;
    for (const char digit : text) {
        if (digit < '0' || digit > '9')
            return std::nullopt;
        port = port * 10 + uint32_t(digit - '0');
    }
    if (port > 65535)
        return std::nullopt;
    return static_cast<uint16_t>(port);
}

// Largest frame either end accepts; a larger length closes the connection.
constexpr uint32_t MaxFrameSize = 64 * 1024;
constexpr uint32_t ProtocolVersion = 1;
// The client library's own version, which Kv_SYS_GetVerNum names while no server is connected.
constexpr std::string_view LibraryVersion = "1.0.3";

enum class FrameKind : uint8_t
{
    Reply = 1,
    Message = 2,
};

#define KV_PROTOCOL_OPERATIONS(X)                                                                            \
    X(Hello)                                                                                                 \
    X(Kv_SYS_TerminateServer)                                                                                \
    X(Kv_SYS_QueryNumOfClient)                                                                               \
    X(Kv_SYS_GetVerNum)                                                                                      \
    X(Kv_LockPortStatus)                                                                                     \
    X(Kv_UnLockPortStatus)                                                                                   \
    X(Kv_QMC1_BoardStatus)                                                                                   \
    X(Kv_QMC2_BoardStatus)                                                                                   \
    X(Kv_QMC4_BoardStatus)                                                                                   \
    X(Kv_QMC6_BoardStatus)                                                                                   \
    X(Kv_QMC1_93C56_Read)                                                                                    \
    X(Kv_QMC2_93C56_Read)                                                                                    \
    X(Kv_QMC4_93C56_Read)                                                                                    \
    X(Kv_QMC6_93C56_Read)                                                                                    \
    X(Kv_TQModule_BoardStatus)                                                                               \
    X(Kv_TQModule_93C56_Read)                                                                                \
    X(Kv_TQModule_LinkStatus)                                                                                \
    X(Kv_TQModule_MediaType)                                                                                 \
    X(Kv_TQModule_MediaTypeChange)                                                                           \
    X(Kv_TQModule_PortConfig)                                                                                \
    X(Kv_SetupGroup)                                                                                         \
    X(Kv_TQModule_ClearCounterStatistics)                                                                    \
    X(Kv_TQModule_ClearAllStreamCounter)                                                                     \
    X(Kv_TQModule_StopStreamCounter)                                                                         \
    X(Kv_TQModule_StopCounterStatistics)                                                                     \
    X(Kv_TQSetStreamCounter)                                                                                 \
    X(Kv_TQStartStreamCounter)                                                                               \
    X(Kv_StartCounterStatistics)                                                                             \
    X(Kv_StopCounterStatistics)                                                                              \
    X(Kv_TQStopStreamCounter)                                                                                \
    X(Kv_TQReadCounterStatistics)                                                                            \
    X(Kv_TQReadStreamCounter)                                                                                \
    X(Kv_TQModule_FillTxPkt_AddEntry)                                                                        \
    X(Kv_TQModule_FillTxPkt_TxConfig)                                                                        \
    X(Kv_TQModule_StartTxPkt)                                                                                \
    X(Kv_QMC2_GlobalCmd_StartTx)                                                                             \
    X(Kv_QMC2_GlobalCmd_StopTx)                                                                              \
    X(Kv_QMC2_GlobalCmd_ClearTS)                                                                             \
    X(Kv_QMC4_GlobalCmd_StartTx)                                                                             \
    X(Kv_QMC4_GlobalCmd_StopTx)                                                                              \
    X(Kv_QMC4_GlobalCmd_ClearTS)                                                                             \
    X(Kv_QMC6_GlobalCmd_StartTx)                                                                             \
    X(Kv_QMC6_GlobalCmd_StopTx)                                                                              \
    X(Kv_QMC6_GlobalCmd_ClearTS)                                                                             \
    X(Kv_TQModule_NICModeSet)                                                                                \
    X(Kv_TQModule_NICModeSend)                                                                               \
    X(Kv_TQModule_NICModeSetTimestampCaptureNo)                                                              \
    X(Kv_TQModule_NICModeGetTimestampCap)                                                                    \
    X(Kv_TQModule_StartAutoARPReply)                                                                         \
    X(Kv_TQModule_StartRxCapture)                                                                            \
    X(Kv_TQModule_StopRxCapture)                                                                             \
    X(Kv_TQModule_StopRxCaptureLatest)                                                                       \
    X(Kv_TQModule_StopRxCaptureNext)

enum class Op : uint16_t
{
#define KV_PROTOCOL_ENUM(name) name,
    KV_PROTOCOL_OPERATIONS(KV_PROTOCOL_ENUM)
#undef KV_PROTOCOL_ENUM
        Count
};

inline constexpr std::string_view OpNames[] = {
#define KV_PROTOCOL_NAME(name) #name,
    KV_PROTOCOL_OPERATIONS(KV_PROTOCOL_NAME)
#undef KV_PROTOCOL_NAME
};
static_assert(std::size(OpNames) == static_cast<size_t>(Op::Count));

inline std::string_view opName(Op op)
{
    const auto index = static_cast<size_t>(op);
    return index < std::size(OpNames) ? OpNames[index] : std::string_view("unknown");
}

// The operation of a name, Op::Count when there is none.
inline Op opFromName(std::string_view name)
{
    for (size_t i = 0; i < std::size(OpNames); ++i) {
        if (OpNames[i] == name)
            return static_cast<Op>(i);
    }
    return Op::Count;
}

// Codes of the server event messages (u16 big-endian at offset 0 of each message).
enum MessageCode : uint16_t
{
    MsgPortCounters = 0x0100,
    MsgRxTimestamp = 0x0200,
    MsgBoardVersion = 0x0500,
    MsgPortStatus = 0x0E00,
    MsgStreamStatistics = 0x1500,
    MsgTxTimestamp = 0x1A00,
    MsgEeprom = 0x1E00,
    MsgClientCount = 0x80F9,
    MsgLinkStatus = 0x80FC,
    MsgInventory = 0x80FE,
};

// Ends the entry list of a link status message; also marks a message to ignore in its chassis field.
constexpr uint16_t LinkListEnd = 0xFFAB;

// Where the fields of the server event messages lie: byte offsets from the message's start (big-endian
// values), for the server that writes them and the program that reads them.
namespace Layout {

// Every message starts with its code; a per-port message names its port at PortChassis..PortNumber.
constexpr size_t Code = 0;         // u16, a MessageCode
constexpr size_t Selector = 4;     // u32: an EEPROM answer echoes the request's selector here
constexpr size_t ModuleType = 8;   // u16: module type code, or the management card's character
constexpr size_t CounterKind = 10; // u16 of a port counter message: 0 for the counter record
constexpr size_t PortChassis = 20; // u16
constexpr size_t PortCard = 22;    // u8
constexpr size_t PortNumber = 23;  // u8
constexpr size_t ShortestMessage = 22;

namespace Inventory {
constexpr size_t Count = 20; // u16 entries; 0xFFFF: none to take
constexpr size_t Entries = 22;
constexpr size_t EntrySize = 6;
// Within an entry: u16 chassis, u8 card, u8 port, the type (module code or card character), the status.
constexpr size_t EntryChassis = 0, EntryCard = 2, EntryPort = 3, EntryType = 4, EntryStatus = 5;
} // namespace Inventory

namespace LinkStatus {
constexpr size_t Chassis = 20; // u16; LinkListEnd marks a message to ignore
constexpr size_t Entries = 22; // the list ends with LinkListEnd (u16) in place of a further entry
constexpr size_t EntrySize = 4;
constexpr size_t EntryCard = 0, EntryPort = 1, EntryCode = 2; // u8, u8, u16 link code (255 down)
} // namespace LinkStatus

namespace PortStatus {
constexpr size_t Status = 24;  // u16: 0x0100 locked by some client
constexpr size_t Status2 = 26; // u16
constexpr size_t Length = 28;
} // namespace PortStatus

namespace ClientCount {
constexpr size_t Count = 24; // u8
constexpr size_t Length = 25;
} // namespace ClientCount

namespace BoardVersion {
constexpr size_t Value24 = 24;             // u32
constexpr size_t Words = 28;               // ten u16: W1..W10, see VersionWords
constexpr size_t Values48 = 48;            // five u32
constexpr size_t Word68 = 68;              // u16
constexpr size_t Mac = 70;                 // six bytes
constexpr size_t Value76 = 76;             // u32
constexpr size_t Word80 = 80, Word82 = 82; // u16
constexpr size_t Length = 84;
} // namespace BoardVersion

// The words W1..W10 of a version record (W[0]..W[9]) and what they carry. A test module's record:
// firmware W1.W2 build W8, FPGA W5.W6 build W7, PROM W3.W4 build W9, hardware version W10. The
// controller's record: firmware W1.W2 build W8, hardware W5.W6 build W7, the further version W3.W4
// build W9 and the PCB version W10. The MAC address is the record's MAC field in both.
namespace VersionWords {
constexpr int FirmwareMajor = 0, FirmwareMinor = 1, FirmwareBuild = 7;
constexpr int FpgaMajor = 4, FpgaMinor = 5, FpgaBuild = 6;
constexpr int PromMajor = 2, PromMinor = 3, PromBuild = 8;
constexpr int Hardware = 9;
// The controller's words in the same places.
constexpr int ControllerHardwareMajor = FpgaMajor, ControllerHardwareMinor = FpgaMinor,
              ControllerHardwareBuild = FpgaBuild;
constexpr int FurtherMajor = PromMajor, FurtherMinor = PromMinor, FurtherBuild = PromBuild;
constexpr int Pcb = Hardware;
constexpr int Count = 10;
} // namespace VersionWords

// The board's 256-byte EEPROM record follows the header; its texts, zero-ended when shorter than
// their fields (the date fills its field).
namespace Eeprom {
constexpr size_t Record = 26;
constexpr size_t ModelName = 58, ModelNameSize = 16;
constexpr size_t SerialNumber = 102, SerialNumberSize = 20;
constexpr size_t ManufactureDate = 122, ManufactureDateSize = 12;
constexpr size_t SecondSerialNumber = 134, SecondSerialNumberSize = 20; // a chassis record's second board
constexpr size_t Length = 282;
} // namespace Eeprom

// The port's 1,372-byte counter record follows the header; its fields are u64 at these offsets within
// the record, apart from the port (u16 chassis, u8 card, u8 port) and the u32 values at the end.
namespace PortCounters {
constexpr size_t Record = 20;
constexpr size_t RecordLength = 1372;
constexpr size_t Length = Record + RecordLength;
constexpr size_t Port = 0;
constexpr size_t Counter1 = 4, RxMulticast = 12, RxUnicast = 20, PauseFrames = 28, RxVlan = 36, RxIpv4 = 44;
constexpr size_t CrcErrors = 68, Undersize = 76, Oversize = 84, NormalSize = 92, Counter4 = 100,
                 Counter5 = 108;
// Frames by size: 64, 65-127, 128-255, 256-511, 512-1023, 1024-1522 bytes, one u64 each.
constexpr size_t Buckets = 116, BucketCount = 6;
constexpr size_t Counter6 = 172, Counter7 = 180, Counter8 = 188, RxPackets = 236, Counter10 = 348,
                 RxBytes = 428;
constexpr size_t TxPackets = 904, Counter11 = 936, TxBytes = 944;
constexpr size_t Value1 = 960, Values2To9 = 1304, Value10 = 1368; // u32
} // namespace PortCounters

// Items follow the header; each starts with a u16 of its kind (top four bits) and number, then its
// 48-bit frame count. Transmit items count a table entry's frames, receive items a counter item's.
namespace StreamStatistics {
constexpr size_t Items = 24;
constexpr unsigned TxItem = 1, RxItem = 2;
constexpr size_t ItemCode = 0, ItemFrames = 2;
constexpr size_t ItemLatencyTicks = 24; // u32 of a receive item: the interval's largest latency
// Bytes of an item of a kind; 0 for a kind of no known size.
constexpr size_t itemSize(unsigned kind)
{
    switch (kind) {
    case 1:
        return 22;
    case 2:
    case 4:
        return 50;
    case 3:
    case 5:
        return 44;
    case 6:
    case 7:
        return 42;
    case 8:
        return 18;
    default:
        return 0;
    }
}
} // namespace StreamStatistics

namespace RxTimestamp {
constexpr size_t Captured = 26; // u16: 1 when a frame matched
constexpr size_t Stamp = 36;    // u32
constexpr size_t Length = 40;
} // namespace RxTimestamp

namespace TxTimestamp {
constexpr size_t Stamp = 28; // u32
constexpr size_t Length = 32;
} // namespace TxTimestamp

} // namespace Layout

// Appends little-endian values and raw blocks to a byte buffer.
class Writer
{
public:
    explicit Writer(std::vector<uint8_t> &out) : m_out(out) {}
    Writer &u8(uint8_t value)
    {
        m_out.push_back(value);
        return *this;
    }
    Writer &u16(uint16_t value) { return u8(value & 0xFF).u8(value >> 8); }
    Writer &u32(uint32_t value) { return u16(value & 0xFFFF).u16(value >> 16); }
    Writer &bytes(const void *data, size_t size)
    {
        const size_t at = m_out.size();
        m_out.resize(at + size);
        if (size > 0)
            std::memcpy(m_out.data() + at, data, size);
        return *this;
    }

private:
    std::vector<uint8_t> &m_out;
};

// Reads little-endian values from a byte range; a read past the end fails and leaves ok() false.
class Reader
{
public:
    Reader(const uint8_t *data, size_t size) : m_data(data), m_size(size) {}
    bool ok() const { return m_ok; }
    size_t remaining() const { return m_size - m_pos; }
    bool atEnd() const { return m_pos == m_size; }
    uint8_t u8()
    {
        uint8_t value = 0;
        bytes(&value, 1);
        return value;
    }
    uint16_t u16()
    {
        const uint16_t low = u8();
        return static_cast<uint16_t>(low | (u8() << 8));
    }
    uint32_t u32()
    {
        const uint32_t low = u16();
        return low | (static_cast<uint32_t>(u16()) << 16);
    }
    bool bytes(void *out, size_t size)
    {
        if (!m_ok || size > remaining()) {
            m_ok = false;
            std::memset(out, 0, size);
            return false;
        }
        std::memcpy(out, m_data + m_pos, size);
        m_pos += size;
        return true;
    }

private:
    const uint8_t *m_data;
    size_t m_size;
    size_t m_pos = 0;
    bool m_ok = true;
};

// Big-endian access to the fields of a server event message.
inline uint16_t readBigEndian16(const uint8_t *at)
{
    return static_cast<uint16_t>((at[0] << 8) | at[1]);
}
inline uint32_t readBigEndian32(const uint8_t *at)
{
    return (static_cast<uint32_t>(at[0]) << 24) | (static_cast<uint32_t>(at[1]) << 16) |
           (static_cast<uint32_t>(at[2]) << 8) | at[3];
}
inline void writeBigEndian16(uint8_t *at, uint16_t value)
{
    at[0] = static_cast<uint8_t>(value >> 8);
    at[1] = static_cast<uint8_t>(value);
}
inline void writeBigEndian32(uint8_t *at, uint32_t value)
{
    writeBigEndian16(at, static_cast<uint16_t>(value >> 16));
    writeBigEndian16(at + 2, static_cast<uint16_t>(value));
}

} // namespace KvProtocol
