// The hardware library: the calls through which the program drives the chassis server.
//
// Conventions shared by every call:
// - A result is 16-bit: non-zero = success, 0 = failure. Every call is answered by the server; no
//   connection, or no answer within about three seconds, gives 0 (a call never hangs).
// - A port is passed as u16 chassis, u8 card, u8 port. Blocks are passed by value, little-endian,
//   and a per-port block begins with the port's KvPortId.
// - Queries (inventory, link status, board status, EEPROM, counters, time stamps) only request:
//   the answer arrives later as a server message (big-endian) through the one callback registered
//   with Kv_SYS_Init. Messages are handed to it on the user-interface thread, in the order the
//   server sent them, while that thread runs its event loop; a call may be made from inside it.
// - A call's reply is always read before any message the server sent after it.
#pragma once

#include <cstdint>

#pragma pack(push, 1)

// A port: the program's port id, with which every per-port block of the library begins.
struct UtPortId
{
    uint16_t CID; // chassis
    uint8_t BID;  // card slot
    uint8_t PID;  // port on the card
};
static_assert(sizeof(UtPortId) == 4);
inline bool operator==(const UtPortId &a, const UtPortId &b)
{
    return a.CID == b.CID && a.BID == b.BID && a.PID == b.PID;
}
using KvPortId = UtPortId;

// Ports of one chassis as a bit set: card slot s (2-17), port p (1-8) is bit ((s - 2) % 4) * 8 + (p - 1)
// of Mask[(s - 2) / 4].
struct UtPortSet
{
    uint32_t Chassis;
    uint32_t Mask[4];
};
static_assert(sizeof(UtPortSet) == 20);

// The ports of a counter group (Kv_SetupGroup).
struct KvGroupBlock
{
    UtPortSet Ports;
    uint8_t Flag; // 1 from every caller
};
static_assert(sizeof(KvGroupBlock) == 21);

// One address the port answers ARP requests for; bytes not named stay 0xFF.
struct KvArpAddressEntry
{
    uint8_t MAC[6];
    uint8_t VlanTag[4]; // 0x81, 0x00, tag control big-endian; 0xFF when the VLAN is off
    uint8_t Reserved10[4];
    uint8_t IPAddress[4]; // as stored in the port record
    uint8_t GatewayIP[4];
    uint8_t Reserved22[32];
    uint8_t PrefixLength;
    uint8_t Reserved55;
};
static_assert(sizeof(KvArpAddressEntry) == 56);

// Automatic ARP replies of one port (Kv_TQModule_StartAutoARPReply); filled with 0xFF first.
struct KvArpReplyTable
{
    KvPortId Port;
    uint8_t Options[4];  // 1, 1, 0, 1
    uint16_t Word8;      // 0
    uint16_t EntryCount; // 1, or 2 with the unicast VLAN entry
    KvArpAddressEntry Entry1;
    uint8_t Entry1Tail[2];
    KvArpAddressEntry Entry2;
    uint16_t ReplyMode; // 0x8801, 0x8081 or 0xFFFF
    uint8_t Reserved128[3596];
};
static_assert(sizeof(KvArpReplyTable) == 3724);

// Which streams a counter group counts (Kv_TQSetStreamCounter); zero-filled first.
struct KvStreamCounterTable
{
    uint32_t BaseStream; // 100
    uint8_t Reserved4[4];
    uint8_t EnableBits[64];      // two bits per enabled test pair, four pairs per byte
    uint8_t EnableBitsCopy[576]; // the same bytes again from its start
    uint8_t Byte648;             // 14
    uint8_t Reserved649[5];
};
static_assert(sizeof(KvStreamCounterTable) == 654);

// One entry of a port's transmit table: its timing, fill and frame (Kv_TQModule_FillTxPkt_AddEntry).
struct UtTxEntry
{
    KvPortId Port;
    uint32_t EntryNumber;
    uint32_t Gap; // inter-frame gap in bit times; 96 is full line rate
    uint32_t Word12;
    uint32_t Word16;
    uint32_t Word20;
    uint16_t Word24;
    uint16_t PayloadPattern;
    uint16_t Words28[3];
    uint16_t Word34;
    uint16_t Word36;
    uint16_t FrameLength; // without the 4-byte frame check sequence
    uint16_t Word40;
    uint16_t Word42;
    uint16_t StreamNumber;
    uint16_t Word46;
    uint8_t Reserved48[30];
    uint16_t FrameLength2; // second copy of the frame length
    uint8_t Byte80;
    uint8_t Byte81;
    uint16_t Word82;
    uint32_t Words84[4];
    uint8_t Reserved100[8];
    uint8_t Frame[2048]; // wire order
};
static_assert(sizeof(UtTxEntry) == 2156);

// Transmit configuration of a port (Kv_TQModule_FillTxPkt_TxConfig): 0xFF but for the mode byte.
struct UtTxConfig
{
    uint8_t Head[13];
    uint8_t Mode; // 1 control frames (IGMP), 0 data frames
    uint8_t Tail[46];
};
static_assert(sizeof(UtTxConfig) == 60);

// Starts (or arms) the entries first..last of a port's transmit table (Kv_TQModule_StartTxPkt).
struct UtTxStartBlock
{
    KvPortId Port;
    uint16_t FirstEntry;
    uint16_t LastEntry;
    uint64_t FrameCount;
    uint32_t Reserved16;
    uint16_t Reserved20;
    uint16_t Final; // 1 transmit now, 0 arm for the global start command
};
static_assert(sizeof(UtTxStartBlock) == 24);

// Single-frame mode of a port (Kv_TQModule_NICModeSet).
struct UtNicModeSettings
{
    KvPortId Port;
    uint16_t Word4;     // 0
    uint16_t Word6;     // 16
    uint32_t Word8;     // 96
    uint8_t DestMac[6]; // FF FF FF FF FF FF
    uint8_t PortMac[6];
    uint8_t Reserved24[5];
};
static_assert(sizeof(UtNicModeSettings) == 29);

// One frame sent at once in single-frame mode (Kv_TQModule_NICModeSend); filled with 0xFF first.
struct UtNicSendBlock
{
    KvPortId Port;
    uint16_t FrameLength; // without the frame check sequence
    uint8_t Reserved6[2];
    uint8_t Frame[1514];
};
static_assert(sizeof(UtNicSendBlock) == 1522);

// Receive capture of a port (Kv_TQModule_StartRxCapture); 0xFF but for the named fields.
struct UtRxCaptureBlock
{
    KvPortId Port;
    uint8_t Reserved4[120];
    uint32_t MacFilter; // low four bytes of the group's multicast MAC
    uint32_t Reserved128;
    uint32_t Word132; // 0x80000000
    uint8_t Reserved136[12];
    uint32_t Flags; // bit 31: keep the latest matching frame, else the first
    uint8_t Reserved152[8];
    uint16_t Word160;
    uint16_t Word162;
};
static_assert(sizeof(UtRxCaptureBlock) == 164);

// Physical configuration of a port (Kv_TQModule_PortConfig); 0xFF but for the named fields.
struct KvPortConfigBlock
{
    KvPortId Port;
    uint8_t Settings[49];
    uint8_t SfpMode; // 1 shadow, 0 normal
};
static_assert(sizeof(KvPortConfigBlock) == 54);

// Media, speed and master/slave role of a port (Kv_TQModule_MediaTypeChange).
struct KvMediaChangeBlock
{
    uint8_t Reserved0[4];
    uint16_t Media; // media code
    uint16_t Word6; // 0x0020
    uint16_t Role;  // 1 master, 2 slave
    uint8_t Reserved10[2];
};
static_assert(sizeof(KvMediaChangeBlock) == 12);

#pragma pack(pop)

// The one server event callback: the message and its length in bytes.
using KvEventCallbackFunc = void (*)(const uint8_t *message, uint32_t length);

// Library and connection.
uint16_t Kv_SYS_Init_API();
uint16_t Kv_SYS_Init(KvEventCallbackFunc callback, uint32_t eventMask);
uint16_t Kv_SYS_ConnectToServer(const char address[32]); // then the inventory (0x80FE) arrives
uint16_t Kv_SYS_TerminateProcess();                      // closes the connection; harmless when closed
uint16_t Kv_SYS_TerminateServer();
uint16_t Kv_SYS_QueryNumOfClient(); // answered by 0x80F9
// The server's version text, or the library's own while no server is connected: at most 10 characters
// and the terminator, so the buffer holds at least 11 bytes.
uint16_t Kv_SYS_GetVerNum(char *buffer);

// Port reservation; every client receives 0x0E00 for each port whose lock changed. Locking takes the
// whole set or nothing: 0 when a port of it is unknown or locked by another client. Unlocking frees
// the caller's own locks of the set; the server also frees them when the caller disconnects.
uint16_t Kv_LockPortStatus(UtPortSet ports);
uint16_t Kv_UnLockPortStatus(UtPortSet ports);

// Management card of each controller family (QMC2 for card character '1', QMC4 for '0', QMC6 for
// '_'): version (0x0500) and EEPROM (0x1E00). A call of another family than the card's gives 0.
// QMC4's selector names the EEPROM record: 1 the controller board's, 0 the chassis's.
uint16_t Kv_QMC1_BoardStatus(uint16_t chassis, uint8_t card, uint8_t port);
uint16_t Kv_QMC2_BoardStatus(uint16_t chassis, uint8_t card, uint8_t port);
uint16_t Kv_QMC4_BoardStatus(uint16_t chassis, uint8_t card, uint8_t port);
uint16_t Kv_QMC6_BoardStatus(uint16_t chassis, uint8_t card, uint8_t port);
uint16_t Kv_QMC1_93C56_Read(uint16_t chassis, uint8_t card, uint8_t port);
uint16_t Kv_QMC2_93C56_Read(uint16_t chassis, uint8_t card, uint8_t port);
uint16_t Kv_QMC4_93C56_Read(uint16_t chassis, uint8_t card, uint8_t port, uint32_t selector);
uint16_t Kv_QMC6_93C56_Read(uint16_t chassis, uint8_t card, uint8_t port, uint32_t selector);

// Test modules: version (0x0500) and EEPROM (0x1E00) of a card, asked of its port 1; link status
// (0x80FC, also sent to every client whenever a link changes); physical settings. Calls that change
// a port need the caller's lock on it.
uint16_t Kv_TQModule_BoardStatus(uint16_t chassis, uint8_t card, uint8_t port);
uint16_t Kv_TQModule_93C56_Read(uint16_t chassis, uint8_t card, uint8_t port);
uint16_t Kv_TQModule_LinkStatus(uint16_t chassis, uint8_t card, uint8_t port); // non-zero: link up
uint16_t Kv_TQModule_MediaType(uint16_t chassis, uint8_t card, uint8_t port, uint8_t media, uint8_t fibre);
uint16_t Kv_TQModule_MediaTypeChange(uint16_t chassis, uint8_t card, uint8_t port, KvMediaChangeBlock block,
                                     uint8_t fibre);
uint16_t Kv_TQModule_PortConfig(uint16_t chassis, uint8_t card, uint8_t port, KvPortConfigBlock block);

// Counter groups, port counters (0x0100) and stream counters (0x1500).
uint16_t Kv_SetupGroup(KvGroupBlock group);
uint16_t Kv_TQModule_ClearCounterStatistics(uint16_t chassis, uint8_t card, uint8_t port);
uint16_t Kv_TQModule_ClearAllStreamCounter(uint16_t chassis, uint8_t card, uint8_t port);
uint16_t Kv_TQModule_StopStreamCounter(uint16_t chassis, uint8_t card, uint8_t port);
uint16_t Kv_TQModule_StopCounterStatistics(uint16_t chassis, uint8_t card, uint8_t port);
uint16_t Kv_TQSetStreamCounter(uint32_t group, KvStreamCounterTable table);
uint16_t Kv_TQStartStreamCounter(uint32_t group, uint32_t periodSeconds);
uint16_t Kv_StartCounterStatistics(uint32_t group, uint32_t periodSeconds);
uint16_t Kv_StopCounterStatistics(uint32_t group);
uint16_t Kv_TQStopStreamCounter(uint32_t group);
uint16_t Kv_TQReadCounterStatistics(uint32_t group);
uint16_t Kv_TQReadStreamCounter(uint32_t group);

// Transmit tables.
uint16_t Kv_TQModule_FillTxPkt_AddEntry(uint16_t chassis, uint8_t card, uint8_t port, UtTxEntry entry);
uint16_t Kv_TQModule_FillTxPkt_TxConfig(uint16_t chassis, uint8_t card, uint8_t port, UtTxConfig config);
uint16_t Kv_TQModule_StartTxPkt(uint16_t chassis, uint8_t card, uint8_t port, UtTxStartBlock start);

// Chassis-wide commands of each controller family over a port mask (card b, port p: bit b * 4 + p - 9).
uint16_t Kv_QMC2_GlobalCmd_StartTx(uint16_t chassis, uint32_t mask);
uint16_t Kv_QMC2_GlobalCmd_StopTx(uint16_t chassis, uint32_t mask);
uint16_t Kv_QMC2_GlobalCmd_ClearTS(uint16_t chassis, uint32_t mask);
uint16_t Kv_QMC4_GlobalCmd_StartTx(uint16_t chassis, uint32_t maskLow, uint32_t maskHigh);
uint16_t Kv_QMC4_GlobalCmd_StopTx(uint16_t chassis, uint32_t maskLow, uint32_t maskHigh);
uint16_t Kv_QMC4_GlobalCmd_ClearTS(uint16_t chassis, uint32_t maskLow, uint32_t maskHigh);
uint16_t Kv_QMC6_GlobalCmd_StartTx(uint16_t chassis, uint32_t maskLow, uint32_t maskHigh);
uint16_t Kv_QMC6_GlobalCmd_StopTx(uint16_t chassis, uint32_t maskLow, uint32_t maskHigh);
uint16_t Kv_QMC6_GlobalCmd_ClearTS(uint16_t chassis, uint32_t maskLow, uint32_t maskHigh);

// Single-frame mode and its transmit time stamp (0x1A00).
uint16_t Kv_TQModule_NICModeSet(uint16_t chassis, uint8_t card, uint8_t port, UtNicModeSettings settings);
uint16_t Kv_TQModule_NICModeSend(uint16_t chassis, uint8_t card, uint8_t port, UtNicSendBlock frame);
uint16_t Kv_TQModule_NICModeSetTimestampCaptureNo(uint16_t chassis, uint8_t card, uint8_t port,
                                                  uint32_t count);
uint16_t Kv_TQModule_NICModeGetTimestampCap(uint16_t chassis, uint8_t card, uint8_t port);

// Automatic ARP replies.
uint16_t Kv_TQModule_StartAutoARPReply(uint16_t chassis, uint8_t card, uint8_t port, KvArpReplyTable table);

// Receive capture and its time stamp (0x0200).
uint16_t Kv_TQModule_StartRxCapture(uint16_t chassis, uint8_t card, uint8_t port, UtRxCaptureBlock capture);
uint16_t Kv_TQModule_StopRxCapture(uint16_t chassis, uint8_t card, uint8_t port);
uint16_t Kv_TQModule_StopRxCaptureLatest(uint16_t chassis, uint8_t card, uint8_t port);
uint16_t Kv_TQModule_StopRxCaptureNext(uint16_t chassis, uint8_t card, uint8_t port, uint32_t count);
