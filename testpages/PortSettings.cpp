#include "testpages/PortSettings.h"

#include "engine/SessionRecords.h"
#include "platform/NumberText.h"

#include <cstring>

UtPortProtocolSettings PortSettingsOf(const UtPortRecord &record)
{
    UtPortProtocolSettings settings{};
    // A port record keeps each address as its bytes a.b.c.d in memory order, as frames carry it.
    std::memcpy(settings.IPAddress, &record.IPAddress, 4);
    std::memcpy(settings.GatewayIP, &record.GatewayIP, 4);
    std::memcpy(settings.Mask, &record.Mask, 4);
    settings.VLanState = record.VLanState;
    settings.VLanPriority = record.VLanPriority;
    settings.CFI = record.CFI;
    settings.VLanID = record.VLanID;
    settings.UniVLanState = record.UniVLanState;
    settings.UniVLanPriority = record.UniVLanPriority;
    settings.UniCFI = record.UniCFI;
    settings.UniVLanID = record.UniVLanID;
    return settings;
}

void ParseDottedText(QStringView text, std::uint8_t (&bytes)[4])
{
    QStringView rest = text;
    for (int i = 0; i < 3; ++i) {
        const qsizetype dot = rest.indexOf(u'.');
        if (dot < 0) {
            bytes[i] = 0;
            continue;
        }
        bytes[i] = std::uint8_t(toIntPrefix(rest.left(dot)));
        rest = rest.mid(dot + 1);
    }
    bytes[3] = std::uint8_t(toIntPrefix(rest));
}

QString DottedText(const std::uint8_t (&bytes)[4])
{
    return QString::asprintf("%d.%d.%d.%d", bytes[0], bytes[1], bytes[2], bytes[3]);
}

std::uint32_t AddressOfBytes(const std::uint8_t (&bytes)[4])
{
    return std::uint32_t(bytes[0]) << 24 | std::uint32_t(bytes[1]) << 16 | std::uint32_t(bytes[2]) << 8 |
           bytes[3];
}

void BytesOfAddress(std::uint32_t address, std::uint8_t (&bytes)[4])
{
    for (int i = 0; i < 4; ++i)
        bytes[i] = std::uint8_t(address >> (24 - 8 * i));
}

std::uint8_t FlagOfText(QStringView text)
{
    return text == u"Enable" ? 1 : 0;
}

QString FlagText(std::uint8_t flag)
{
    return flag == 1 ? QStringLiteral("Enable") : QStringLiteral("Disable");
}
