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
    for (size_t i = 0; i < 10; ++i)
        writeBigEndian16(&message[28 + 2 * i], version.words[i]);
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
    return message;
}

} // namespace SimMessages
