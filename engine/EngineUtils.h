// Free helpers the whole program shares: port labels, module and media tables, the message-pumping
// waits, the Internet checksum, the application folder and text conversions. None keeps state.
#pragma once

#include "platform/kvapi/KvAPI.h"

#include <QString>
#include <QStringView>
#include <algorithm>
#include <chrono>
#include <cstddef>
#include <cstdint>

class CIGMPTestPlan;
struct UtTestPort;

#pragma pack(push, 1)
// A port together with the type code of its module.
struct UtPortKey
{
    UtPortId Id;
    std::uint8_t TYPE; // module type code
};
static_assert(sizeof(UtPortKey) == 5);
#pragma pack(pop)

// Bounds of the port-index table.
constexpr int kMaxChassis = 255;
constexpr int kMaxCard = 16;
constexpr int kMaxPort = 4;

// Line rates of the link speeds, in bytes per second.
constexpr std::uint64_t kLineRate10M = 1'250'000;
constexpr std::uint64_t kLineRate100M = 12'500'000;
constexpr std::uint64_t kLineRate1G = 125'000'000;
constexpr std::uint64_t kLineRate10G = 1'250'000'000;

// Module type code of an unknown model.
constexpr std::uint8_t kUnknownModuleType = 255;
// Media code of a (speed, duplex, mode) triple that is not in the media table.
constexpr std::uint8_t kUnknownMediaCode = 15;
// Media (link) code of a port whose link is down.
constexpr std::uint8_t kLinkDownMediaCode = 255;

// "(%3d,%2d,%d) - " followed by the module's model name for the codes that have one in a label.
bool FormatPortLabel(const UtPortKey &key, QString &text);
// Chassis, card and port from the first three numbers of a label (separated by '(', ' ', ',' and ')'),
// and the module type code of the model name from the first "QM-" on (255 when unknown). False, with
// the key untouched, when a number is missing or outside the port-index table.
bool ParsePortLabel(QStringView text, UtPortKey &key);
// "(chassis,card,port)" and a separate model name. False, with the key untouched, when the text does
// not hold the three numbers or they are outside the port-index table.
bool ParsePortIdText(QStringView portText, QStringView modelText, UtPortKey &key);

std::uint8_t ModelNameToModuleType(QStringView name);
// Empty for codes outside 21..148 and codes the table does not know.
QString ModuleTypeToModelName(std::uint8_t code);
// The test-module tables, indexed by module type code - 52. False (output untouched) when unknown.
bool AssignModelNameOfType(int typeIndex, QString &name);
// The same as 8-bit text into a buffer of bufferSize bytes (at most 11 used), always terminated.
bool ModuleTypeToModelNameA(int typeIndex, char *buffer, std::size_t bufferSize);

// Media code of a (speed, duplex, mode) triple, 15 when the table has no such row.
std::uint8_t ParseMediaText(QStringView speed, QStringView duplex, QStringView mode);
// The three texts of a media code; codes 14..254 leave them untouched.
void MediaCodeToText(std::uint8_t code, QString &speed, QString &duplex, QString &mode);
// Line rate in bytes per second of a media code (its low byte); 0 when the code names no running speed.
std::uint64_t LineRateOfMedia(std::uint16_t media);
// Speed of a link code: " 10M" (with a leading blank), "100M", "1G", "10G" or "Link Down".
QString LinkSpeedText(std::uint8_t linkCode);
// Speed choices of a module type, each ended by a line feed.
QString SpeedChoiceList(std::uint8_t moduleType);
// Speed choices of one port: a fibre port (bit 0x8000 of its link word) of type 54 or 55 runs 1G only.
QString SpeedChoiceListOfPort(std::uint8_t moduleType, std::uint16_t linkWord);

// Wait a number of milliseconds while the event loop keeps running (timers, buttons, server events).
// Neither spins; both go through the installed WaitClock. Call them on the user-interface thread only.
void WaitPumping(std::uint32_t ms);
// The same, but returns at once, or as soon as it is set during the wait, when the main view's stop
// flag is set (CMainFormView::RequestStop).
void WaitPumpingAbortable(std::uint32_t ms);
// Both with a duration, so that a call reads WaitPumpingAbortable(2s); held to what one wait takes.
inline std::uint32_t WaitMilliseconds(std::chrono::milliseconds wait)
{
    return std::uint32_t(std::clamp<std::chrono::milliseconds::rep>(wait.count(), 0, UINT32_MAX));
}
inline void WaitPumping(std::chrono::milliseconds wait)
{
    WaitPumping(WaitMilliseconds(wait));
}
inline void WaitPumpingAbortable(std::chrono::milliseconds wait)
{
    WaitPumpingAbortable(WaitMilliseconds(wait));
}

// Whether the count groups that follow one another from the first address (bytes a.b.c.d; a count
// below 1 taken as 1) are all IPv4 multicast addresses, 224.0.0.0 to 239.255.255.255.
bool IsMulticastGroupRange(const std::uint8_t (&first)[4], std::uint32_t count);

// The 16-bit one's-complement sum of the data as 16-bit words in memory order.
std::uint16_t InetChecksum(std::size_t length, const void *data);

// True when the packet-capture library is present on this machine.
bool IsWinPcapInstalled();
// The program's folder, with a trailing '/'.
QString GetAppDirectory();
// Creates a folder and every missing parent. True when the folder exists afterwards.
bool CreateDirectoryTree(const QString &path);

// 8-bit text (terminated, or ended by the buffer size) as wide text.
QString AnsiToCString(const char *text, std::size_t bufferSize);
template <std::size_t N> QString AnsiToCString(const char (&text)[N])
{
    return AnsiToCString(text, N);
}
// Wide text as 8-bit text into a buffer of bufferSize bytes, always terminated and never cut inside a
// character. True when the whole text fitted.
bool CStringToAnsi(char *buffer, std::size_t bufferSize, const QString &text);

std::uint32_t SwapBytes32(std::uint32_t value);
// Microseconds per time-stamp tick of a module type.
float TimestampTickUs(std::uint16_t moduleType);
// The fixed latency, in microseconds, that a test module adds to what it measures, by the port's speed
// code (low byte the line speed), port number and module type; 0 when none applies.
double LatencyCompensation(std::uint16_t speedCode, std::uint8_t portNumber, std::uint8_t moduleType);
// A latency of a tested port less its module's compensation, never below 0.
double CompensatedLatency(const UtTestPort &port, double latencyUs);
// The packet rate of a port at the plan's current load and frame size, and the gap between its frames
// in bit times, from the port's line rate (10 Mbit/s for a port the session does not know). At exactly
// 100 % the gap is the minimum of 96; a load that gives no packet at all gives 0 and 0.
void ComputeFrameGap(const CIGMPTestPlan &plan, std::uint16_t chassis, std::uint8_t card, std::uint8_t port,
                     std::int32_t &packetsPerSecond, std::int32_t &gapBits);
