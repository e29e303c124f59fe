// The library's calls: each one sends its arguments to the server and returns the server's result.
#include "platform/kvapi/KvAPI.h"
#include "platform/kvapi/KvClient.h"

#include <algorithm>
#include <cstring>
#include <type_traits>

using KvProtocol::Op;

namespace {

// Arguments go out little-endian, blocks as their bytes, each right after the one before.
void put(uint8_t *&at, uint8_t value)
{
    *at++ = value;
}
void put(uint8_t *&at, uint16_t value)
{
    put(at, static_cast<uint8_t>(value));
    put(at, static_cast<uint8_t>(value >> 8));
}
void put(uint8_t *&at, uint32_t value)
{
    put(at, static_cast<uint16_t>(value));
    put(at, static_cast<uint16_t>(value >> 16));
}
template <typename Block>
requires std::is_class_v<Block> && std::is_trivially_copyable_v<Block>
void put(uint8_t *&at, const Block &block)
{
    std::memcpy(at, &block, sizeof block);
    at += sizeof block;
}

template <typename... Arguments> uint16_t request(Op op, const Arguments &...arguments)
{
    std::vector<uint8_t> payload((sizeof(Arguments) + ... + 0));
    [[maybe_unused]] uint8_t *at = payload.data();
    (put(at, arguments), ...);
    return KvClient::instance().call(op, payload);
}

} // namespace

uint16_t Kv_SYS_Init_API()
{
    return 1;
}

uint16_t Kv_SYS_Init(KvEventCallbackFunc callback, uint32_t)
{
    // Every message is delivered; the event mask of the callers (0xFF) selects all of them anyway.
    KvClient::instance().setCallback(callback);
    return 1;
}

uint16_t Kv_SYS_ConnectToServer(const char address[32])
{
    if (!address)
        return 0;
    const std::string host(address, strnlen(address, 32));
    return KvClient::instance().connectToServer(host) ? 1 : 0;
}

uint16_t Kv_SYS_TerminateProcess()
{
    KvClient::instance().disconnect();
    return 1;
}

uint16_t Kv_SYS_TerminateServer()
{
    return request(Op::Kv_SYS_TerminateServer);
}

uint16_t Kv_SYS_QueryNumOfClient()
{
    return request(Op::Kv_SYS_QueryNumOfClient);
}

uint16_t Kv_SYS_GetVerNum(char *buffer)
{
    if (!buffer)
        return 0;
    constexpr size_t MaxLength = 10;
    std::vector<uint8_t> text;
    if (!KvClient::instance().isConnected()) {
        // Without a server the library names its own version.
        const std::string_view own = KvProtocol::LibraryVersion;
        const size_t length = std::min(own.size(), MaxLength);
        std::memcpy(buffer, own.data(), length);
        buffer[length] = '\0';
        return 1;
    }
    const uint16_t result = KvClient::instance().call(Op::Kv_SYS_GetVerNum, {}, &text);
    const size_t length = result ? std::min(text.size(), MaxLength) : 0;
    std::memcpy(buffer, text.data(), length);
    buffer[length] = '\0';
    return result;
}

uint16_t Kv_LockPortStatus(UtPortSet ports)
{
    return request(Op::Kv_LockPortStatus, ports);
}

uint16_t Kv_UnLockPortStatus(UtPortSet ports)
{
    return request(Op::Kv_UnLockPortStatus, ports);
}

uint16_t Kv_QMC1_BoardStatus(uint16_t chassis, uint8_t card, uint8_t port)
{
    return request(Op::Kv_QMC1_BoardStatus, chassis, card, port);
}

uint16_t Kv_QMC2_BoardStatus(uint16_t chassis, uint8_t card, uint8_t port)
{
    return request(Op::Kv_QMC2_BoardStatus, chassis, card, port);
}

uint16_t Kv_QMC4_BoardStatus(uint16_t chassis, uint8_t card, uint8_t port)
{
    return request(Op::Kv_QMC4_BoardStatus, chassis, card, port);
}

uint16_t Kv_QMC6_BoardStatus(uint16_t chassis, uint8_t card, uint8_t port)
{
    return request(Op::Kv_QMC6_BoardStatus, chassis, card, port);
}

uint16_t Kv_QMC1_93C56_Read(uint16_t chassis, uint8_t card, uint8_t port)
{
    return request(Op::Kv_QMC1_93C56_Read, chassis, card, port);
}

uint16_t Kv_QMC2_93C56_Read(uint16_t chassis, uint8_t card, uint8_t port)
{
    return request(Op::Kv_QMC2_93C56_Read, chassis, card, port);
}

uint16_t Kv_QMC4_93C56_Read(uint16_t chassis, uint8_t card, uint8_t port, uint32_t selector)
{
    return request(Op::Kv_QMC4_93C56_Read, chassis, card, port, selector);
}

uint16_t Kv_QMC6_93C56_Read(uint16_t chassis, uint8_t card, uint8_t port, uint32_t selector)
{
    return request(Op::Kv_QMC6_93C56_Read, chassis, card, port, selector);
}

uint16_t Kv_TQModule_BoardStatus(uint16_t chassis, uint8_t card, uint8_t port)
{
    return request(Op::Kv_TQModule_BoardStatus, chassis, card, port);
}

uint16_t Kv_TQModule_93C56_Read(uint16_t chassis, uint8_t card, uint8_t port)
{
    return request(Op::Kv_TQModule_93C56_Read, chassis, card, port);
}

uint16_t Kv_TQModule_LinkStatus(uint16_t chassis, uint8_t card, uint8_t port)
{
    return request(Op::Kv_TQModule_LinkStatus, chassis, card, port);
}

uint16_t Kv_TQModule_MediaType(uint16_t chassis, uint8_t card, uint8_t port, uint8_t media, uint8_t fibre)
{
    return request(Op::Kv_TQModule_MediaType, chassis, card, port, media, fibre);
}

uint16_t Kv_TQModule_MediaTypeChange(uint16_t chassis, uint8_t card, uint8_t port, KvMediaChangeBlock block,
                                     uint8_t fibre)
{
    return request(Op::Kv_TQModule_MediaTypeChange, chassis, card, port, block, fibre);
}

uint16_t Kv_TQModule_PortConfig(uint16_t chassis, uint8_t card, uint8_t port, KvPortConfigBlock block)
{
    return request(Op::Kv_TQModule_PortConfig, chassis, card, port, block);
}

uint16_t Kv_SetupGroup(KvGroupBlock group)
{
    return request(Op::Kv_SetupGroup, group);
}

uint16_t Kv_TQModule_ClearCounterStatistics(uint16_t chassis, uint8_t card, uint8_t port)
{
    return request(Op::Kv_TQModule_ClearCounterStatistics, chassis, card, port);
}

uint16_t Kv_TQModule_ClearAllStreamCounter(uint16_t chassis, uint8_t card, uint8_t port)
{
    return request(Op::Kv_TQModule_ClearAllStreamCounter, chassis, card, port);
}

uint16_t Kv_TQModule_StopStreamCounter(uint16_t chassis, uint8_t card, uint8_t port)
{
    return request(Op::Kv_TQModule_StopStreamCounter, chassis, card, port);
}

uint16_t Kv_TQModule_StopCounterStatistics(uint16_t chassis, uint8_t card, uint8_t port)
{
    return request(Op::Kv_TQModule_StopCounterStatistics, chassis, card, port);
}

uint16_t Kv_TQSetStreamCounter(uint32_t group, KvStreamCounterTable table)
{
    return request(Op::Kv_TQSetStreamCounter, group, table);
}

uint16_t Kv_TQStartStreamCounter(uint32_t group, uint32_t periodSeconds)
{
    return request(Op::Kv_TQStartStreamCounter, group, periodSeconds);
}

uint16_t Kv_StartCounterStatistics(uint32_t group, uint32_t periodSeconds)
{
    return request(Op::Kv_StartCounterStatistics, group, periodSeconds);
}

uint16_t Kv_StopCounterStatistics(uint32_t group)
{
    return request(Op::Kv_StopCounterStatistics, group);
}

uint16_t Kv_TQStopStreamCounter(uint32_t group)
{
    return request(Op::Kv_TQStopStreamCounter, group);
}

uint16_t Kv_TQReadCounterStatistics(uint32_t group)
{
    return request(Op::Kv_TQReadCounterStatistics, group);
}

uint16_t Kv_TQReadStreamCounter(uint32_t group)
{
    return request(Op::Kv_TQReadStreamCounter, group);
}

uint16_t Kv_TQModule_FillTxPkt_AddEntry(uint16_t chassis, uint8_t card, uint8_t port, UtTxEntry entry)
{
    return request(Op::Kv_TQModule_FillTxPkt_AddEntry, chassis, card, port, entry);
}

uint16_t Kv_TQModule_FillTxPkt_TxConfig(uint16_t chassis, uint8_t card, uint8_t port, UtTxConfig config)
{
    return request(Op::Kv_TQModule_FillTxPkt_TxConfig, chassis, card, port, config);
}

uint16_t Kv_TQModule_StartTxPkt(uint16_t chassis, uint8_t card, uint8_t port, UtTxStartBlock start)
{
    return request(Op::Kv_TQModule_StartTxPkt, chassis, card, port, start);
}

uint16_t Kv_QMC2_GlobalCmd_StartTx(uint16_t chassis, uint32_t mask)
{
    return request(Op::Kv_QMC2_GlobalCmd_StartTx, chassis, mask);
}

uint16_t Kv_QMC2_GlobalCmd_StopTx(uint16_t chassis, uint32_t mask)
{
    return request(Op::Kv_QMC2_GlobalCmd_StopTx, chassis, mask);
}

uint16_t Kv_QMC2_GlobalCmd_ClearTS(uint16_t chassis, uint32_t mask)
{
    return request(Op::Kv_QMC2_GlobalCmd_ClearTS, chassis, mask);
}

uint16_t Kv_QMC4_GlobalCmd_StartTx(uint16_t chassis, uint32_t maskLow, uint32_t maskHigh)
{
    return request(Op::Kv_QMC4_GlobalCmd_StartTx, chassis, maskLow, maskHigh);
}

uint16_t Kv_QMC4_GlobalCmd_StopTx(uint16_t chassis, uint32_t maskLow, uint32_t maskHigh)
{
    return request(Op::Kv_QMC4_GlobalCmd_StopTx, chassis, maskLow, maskHigh);
}

uint16_t Kv_QMC4_GlobalCmd_ClearTS(uint16_t chassis, uint32_t maskLow, uint32_t maskHigh)
{
    return request(Op::Kv_QMC4_GlobalCmd_ClearTS, chassis, maskLow, maskHigh);
}

uint16_t Kv_QMC6_GlobalCmd_StartTx(uint16_t chassis, uint32_t maskLow, uint32_t maskHigh)
{
    return request(Op::Kv_QMC6_GlobalCmd_StartTx, chassis, maskLow, maskHigh);
}

uint16_t Kv_QMC6_GlobalCmd_StopTx(uint16_t chassis, uint32_t maskLow, uint32_t maskHigh)
{
    return request(Op::Kv_QMC6_GlobalCmd_StopTx, chassis, maskLow, maskHigh);
}

uint16_t Kv_QMC6_GlobalCmd_ClearTS(uint16_t chassis, uint32_t maskLow, uint32_t maskHigh)
{
    return request(Op::Kv_QMC6_GlobalCmd_ClearTS, chassis, maskLow, maskHigh);
}

uint16_t Kv_TQModule_NICModeSet(uint16_t chassis, uint8_t card, uint8_t port, UtNicModeSettings settings)
{
    return request(Op::Kv_TQModule_NICModeSet, chassis, card, port, settings);
}

uint16_t Kv_TQModule_NICModeSend(uint16_t chassis, uint8_t card, uint8_t port, UtNicSendBlock frame)
{
    return request(Op::Kv_TQModule_NICModeSend, chassis, card, port, frame);
}

uint16_t Kv_TQModule_NICModeSetTimestampCaptureNo(uint16_t chassis, uint8_t card, uint8_t port,
                                                  uint32_t count)
{
    return request(Op::Kv_TQModule_NICModeSetTimestampCaptureNo, chassis, card, port, count);
}

uint16_t Kv_TQModule_NICModeGetTimestampCap(uint16_t chassis, uint8_t card, uint8_t port)
{
    return request(Op::Kv_TQModule_NICModeGetTimestampCap, chassis, card, port);
}

uint16_t Kv_TQModule_StartAutoARPReply(uint16_t chassis, uint8_t card, uint8_t port, KvArpReplyTable table)
{
    return request(Op::Kv_TQModule_StartAutoARPReply, chassis, card, port, table);
}

uint16_t Kv_TQModule_StartRxCapture(uint16_t chassis, uint8_t card, uint8_t port, UtRxCaptureBlock capture)
{
    return request(Op::Kv_TQModule_StartRxCapture, chassis, card, port, capture);
}

uint16_t Kv_TQModule_StopRxCapture(uint16_t chassis, uint8_t card, uint8_t port)
{
    return request(Op::Kv_TQModule_StopRxCapture, chassis, card, port);
}

uint16_t Kv_TQModule_StopRxCaptureLatest(uint16_t chassis, uint8_t card, uint8_t port)
{
    return request(Op::Kv_TQModule_StopRxCaptureLatest, chassis, card, port);
}

uint16_t Kv_TQModule_StopRxCaptureNext(uint16_t chassis, uint8_t card, uint8_t port, uint32_t count)
{
    return request(Op::Kv_TQModule_StopRxCaptureNext, chassis, card, port, count);
}
