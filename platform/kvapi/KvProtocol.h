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
