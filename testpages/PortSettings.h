// A test page's own copy of the protocol settings of one port, and the conversions between those
// settings and the texts of the page's port-settings grid.
#pragma once

#include <QString>
#include <QStringView>
#include <cstdint>

struct UtPortRecord;

#pragma pack(push, 1)
struct UtPortProtocolSettings
{
    std::uint8_t IPAddress[4]; // a.b.c.d
    std::uint8_t GatewayIP[4];
    std::uint8_t Mask[4];
    std::uint8_t VLanState; // 1 = tagged
    std::uint8_t VLanPriority;
    std::uint8_t CFI;
    std::uint16_t VLanID;
    // The tag of the unicast traffic; only the Mixed Class page uses it.
    std::uint8_t UniVLanState;
    std::uint8_t UniVLanPriority;
    std::uint8_t UniCFI;
    std::uint16_t UniVLanID;
};
#pragma pack(pop)
static_assert(sizeof(UtPortProtocolSettings) == 22);

// The bounds of a VLAN tag's 12-bit id and 3-bit priority.
constexpr int kMaxVLanId = 4095;
constexpr int kMaxVLanPriority = 7;

// The settings a port record holds now (the unicast tag too). A record keeps each address as its
// four bytes a.b.c.d in memory order.
UtPortProtocolSettings PortSettingsOf(const UtPortRecord &record);

// Dotted text to four bytes: three times the number before the next '.' (that part and the '.' are
// then removed; with no '.' left the part is empty and reads 0), then the rest of the text; each
// number keeps its low 8 bits. "10.1.2" gives 10.1.0.2, "10.1" gives 10.0.0.1.
void ParseDottedText(QStringView text, std::uint8_t (&bytes)[4]);
// "%d.%d.%d.%d" of four bytes.
QString DottedText(const std::uint8_t (&bytes)[4]);
// Between the four bytes a.b.c.d and an address value with a in the most significant byte.
std::uint32_t AddressOfBytes(const std::uint8_t (&bytes)[4]);
void BytesOfAddress(std::uint32_t address, std::uint8_t (&bytes)[4]);
// A flag cell: 1 only for the exact text "Enable".
std::uint8_t FlagOfText(QStringView text);
// "Enable" or "Disable".
QString FlagText(std::uint8_t flag);
