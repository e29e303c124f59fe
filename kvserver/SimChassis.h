// The simulated chassis: its ports, links and locks, and the answer to every library call.
// Not thread-safe: the server runs it on its one loop thread.
#pragma once

#include "kvserver/SimConfig.h"
#include "platform/kvapi/KvProtocol.h"

#include <cstdint>
#include <vector>

struct SimOutput
{
    enum Target
    {
        Caller,
        Everyone,
    };
    Target target;
    std::vector<uint8_t> message;
};

struct SimAnswer
{
    uint16_t result = 0;
    std::vector<uint8_t> data; // reply data (the version text)
    std::vector<SimOutput> messages;
    bool terminateServer = false;
};

class SimChassis
{
public:
    explicit SimChassis(SimConfig config);

    // Clients are counted once they greeted the server.
    void addClient(int client);
    SimAnswer removeClient(int client);
    int clientCount() const { return static_cast<int>(m_clients.size()); }

    // The answer to one request of a greeted client.
    SimAnswer handle(int client, KvProtocol::Op op, const uint8_t *arguments, size_t size);

    std::vector<uint8_t> inventoryMessage() const;

    // Test control: forces a port's link down or lets it come up again (0x80FC to every client).
    SimAnswer setLinkUp(uint8_t card, uint8_t port, bool up);
    // Test control: the nth call (1 = the next) of op on the port answers 0 and sends nothing.
    void failCall(KvProtocol::Op op, uint8_t card, uint8_t port, unsigned nth);

private:
    struct Port
    {
        uint8_t card;
        uint8_t port;
        uint8_t type;
        uint8_t media;
        bool linkUp = true;
        int lockOwner = 0; // client id, 0 free
        uint8_t sfpMode = 0;
    };
    struct Fault
    {
        KvProtocol::Op op;
        uint8_t card;
        uint8_t port;
        unsigned remaining;
    };

    Port *findPort(uint16_t chassis, uint8_t card, uint8_t port);
    bool isController(uint16_t chassis, uint8_t card, uint8_t port) const;
    bool familyAnswers(char family) const;
    bool takeFault(KvProtocol::Op op, uint8_t card, uint8_t port);
    bool decodePortSet(const uint8_t *arguments, size_t size, std::vector<Port *> &ports);
    uint16_t linkCode(const Port &port) const;
    SimOutput linkMessage(const Port &port, SimOutput::Target target) const;

    SimAnswer lock(int client, const uint8_t *arguments, size_t size);
    SimAnswer unlock(int client, const uint8_t *arguments, size_t size);
    SimAnswer controllerStatus(char family, const uint8_t *arguments, size_t size);
    SimAnswer controllerEeprom(char family, bool hasSelector, const uint8_t *arguments, size_t size);
    SimAnswer portCall(int client, KvProtocol::Op op, const uint8_t *arguments, size_t size);
    SimAnswer groupCall(KvProtocol::Op op, size_t size);
    SimAnswer globalCall(KvProtocol::Op op, const uint8_t *arguments, size_t size);

    SimConfig m_config;
    std::vector<Port> m_ports;
    std::vector<int> m_clients;
    std::vector<Fault> m_faults;
};
