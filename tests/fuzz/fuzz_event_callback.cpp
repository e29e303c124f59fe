// Feeds random and mutated server messages to the event callback. The input is a sequence of
// messages, each a u16 little-endian length and that many bytes; every run starts from a known
// inventory so the per-port messages find ports.
#include "engine/EventCallback.h"
#include "engine/Session.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace {

std::vector<uint8_t> knownInventory()
{
    // Controller '0' on (1,1,1), test ports (1,2,1) type 53 and (1,3,2) type 66.
    std::vector<uint8_t> message(22 + 3 * 6, 0);
    message[0] = 0x80;
    message[1] = 0xFE;
    message[21] = 3;
    const uint8_t entries[3][6] = {{0, 1, 1, 1, '0', 0}, {0, 1, 2, 1, 53, 0}, {0, 1, 3, 2, 66, 1}};
    for (int i = 0; i < 3; ++i)
        std::copy(entries[i], entries[i] + 6, message.begin() + 22 + 6 * i);
    return message;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const std::vector<uint8_t> inventory = knownInventory();
    g_Session.resetTables();
    KvEventCallback(inventory.data(), static_cast<uint32_t>(inventory.size()));
    g_Session.Ports[0].StreamItemA = 4;
    g_Session.Ports[0].StreamItemB = 5;
    size_t at = 0;
    while (at + 2 <= size) {
        const size_t length = std::min<size_t>(data[at] | (data[at + 1] << 8), size - at - 2);
        // A copy of exactly the message's length, so reading past it is caught.
        const std::vector<uint8_t> message(data + at + 2, data + at + 2 + length);
        KvEventCallback(message.data(), static_cast<uint32_t>(message.size()));
        at += 2 + length;
    }
    return 0;
}
