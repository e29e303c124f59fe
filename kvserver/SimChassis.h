// The simulated chassis: its ports, links and locks, and the answer to every library call.
// Not thread-safe: the server runs it on its one loop thread.
#pragma once

#include "kvserver/SimConfig.h"
#include "kvserver/SimTraffic.h"
#include "platform/kvapi/KvProtocol.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
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
    // Simulated time a request takes when only tests move the time (picoseconds): a round trip to a
    // chassis on the local network.
    static constexpr int64_t RequestTime = 20'000'000;

    explicit SimChassis(SimConfig config);
    // Shutting down sends and records what is due by the present before the recording closes.
    ~SimChassis();

    // Where the chassis and its device write what they do (drops, refusals, clamped gaps).
    void setLog(std::function<void(const std::string &)> log) { m_logSink = std::move(log); }
    // Where the faults of the simulator itself go (a capture file that can no longer be written); to the
    // log when none is set.
    void setWarningLog(std::function<void(const std::string &)> warn) { m_warningSink = std::move(warn); }

    // Why the configured capture file could not be created; empty when fine.
    const std::string &recordingError() const { return m_traffic.recordingError(); }

    // Simulated time in picoseconds: real time times the time scale, plus what tests added.
    int64_t now() const;
    // Test control: moves simulated time on and runs what falls due; periodic reports to every client.
    SimAnswer advanceTime(int64_t picoseconds);
    // Periodic counter reports that are due (to every client), and the real milliseconds until the
    // next one (-1 none, or time only moves by test control).
    SimAnswer dueReports();
    int msUntilNextReport() const;

    // Clients are counted once they greeted the server. A client that leaves (disconnect or terminate)
    // first has everything due by the present sent and recorded: time moves lazily, by requests.
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
    // Test control: the device drops multicast from the source address (host order) from now on, or
    // forwards it again.
    void setSourceDropped(uint32_t source, bool dropped);

private:
    struct Port
    {
        uint8_t card;
        uint8_t port;
        uint8_t type;
        uint8_t media; // 255: no link the device agrees to
        bool linkUp = true;
        bool fibre = false; // a port of type 54 or 55 set to its fibre interface
        uint8_t role = 1;   // 1 master, 2 slave
        int lockOwner = 0;  // client id, 0 free
        uint8_t sfpMode = 0;
    };
    struct Reporting
    {
        int64_t period = 0; // 0 off
        int64_t nextDue = 0;
    };
    struct CounterGroup
    {
        std::vector<size_t> ports; // indices of m_ports
        Reporting counters;
        Reporting streams;
    };
    struct Fault
    {
        KvProtocol::Op op;
        uint8_t card;
        uint8_t port;
        unsigned remaining;
    };

    Port *findPort(uint16_t chassis, uint8_t card, uint8_t port);
    size_t indexOf(const Port &port) const { return size_t(&port - m_ports.data()); }
    KvPortId idOf(const Port &port) const { return {m_config.chassis, port.card, port.port}; }
    void log(const std::string &line) const;
    void updateLink(const Port &port);
    void appendReports(CounterGroup &group, bool counters, SimAnswer &answer, SimOutput::Target target);
    SimAnswer dispatch(int client, KvProtocol::Op op, const uint8_t *arguments, size_t size);
    SimAnswer trafficCall(Port &port, KvProtocol::Op op, KvProtocol::Reader &in);
    bool isController(uint16_t chassis, uint8_t card, uint8_t port) const;
    bool familyAnswers(char family) const;
    bool isOutdated(uint8_t card) const;
    bool takeFault(KvProtocol::Op op, uint8_t card, uint8_t port);
    bool decodePortSet(const uint8_t *arguments, size_t size, std::vector<Port *> &ports);
    uint16_t linkCode(const Port &port) const;
    SimOutput linkMessage(const Port &port, SimOutput::Target target) const;

    SimAnswer lock(int client, const uint8_t *arguments, size_t size);
    SimAnswer unlock(int client, const uint8_t *arguments, size_t size);
    SimAnswer controllerStatus(char family, const uint8_t *arguments, size_t size);
    SimAnswer controllerEeprom(char family, bool hasSelector, const uint8_t *arguments, size_t size);
    SimAnswer portCall(int client, KvProtocol::Op op, const uint8_t *arguments, size_t size);
    SimAnswer groupCall(KvProtocol::Op op, const uint8_t *arguments, size_t size);
    SimAnswer globalCall(KvProtocol::Op op, const uint8_t *arguments, size_t size);

    SimConfig m_config;
    std::vector<Port> m_ports;
    std::vector<int> m_clients;
    std::vector<Fault> m_faults;
    std::function<void(const std::string &)> m_logSink;
    std::function<void(const std::string &)> m_warningSink;
    SimTraffic m_traffic;
    std::map<uint32_t, CounterGroup> m_groups;
    std::chrono::steady_clock::time_point m_started = std::chrono::steady_clock::now();
    int64_t m_addedTime = 0;
};
