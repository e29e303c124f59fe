#include "kvserver/SimChassis.h"

#include "kvserver/SimMessages.h"
#include "platform/kvapi/KvAPI.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>

using KvProtocol::Op;
using KvProtocol::Reader;

namespace {

// Link code a module reports after negotiating at its best speed.
uint8_t defaultMedia(uint8_t type)
{
    if (type >= 52 && type <= 55)
        return 11; // 1G full duplex, auto
    if (type == 84 || type == 88 || type == 89 || type == 147 || type == 148)
        return 13; // 10G full duplex, auto
    return 7;      // 100M full duplex, auto
}

// Link speeds of a media code: 0 10M, 1 100M, 2 1G, 3 10G. The simulator keeps its own table of the
// codes, apart from the program's media table, so that it checks the program rather than repeating it.
int speedOf(uint8_t media)
{
    if (media <= 7)
        return (media / 2) % 2; // 0, 1, 4, 5 10M; 2, 3, 6, 7 100M
    return media <= 11 ? 2 : 3;
}

bool isAutoNegotiated(uint8_t media)
{
    return (media >= 4 && media <= 7) || media == 10 || media == 11 || media == 13;
}

bool moduleRuns(uint8_t type, int speed, bool fibre)
{
    if (type >= 52 && type <= 55)
        return fibre ? speed == 2 : speed <= 2;
    if (type == 84 || type == 88 || type == 89 || type == 147 || type == 148)
        return speed == 3;
    return speed <= 1;
}

// What the link comes up with against the device, which runs every speed and duplex: a speed the
// module runs as asked; auto-negotiation of a speed it does not run settles on its best; a forced speed
// it does not run leaves the link down (255).
uint8_t negotiatedMedia(uint8_t type, uint8_t media, bool fibre)
{
    if (moduleRuns(type, speedOf(media), fibre))
        return media;
    if (!isAutoNegotiated(media))
        return 255;
    return fibre ? 11 : defaultMedia(type);
}

const char *modelName(uint8_t type)
{
    static const std::map<uint8_t, const char *> Names = {
        {52, "QM-M11"},  {53, "QM-M13"},  {54, "QM-M09"},  {55, "QM-M08"},  {57, "QM-M10"},
        {58, "QM-M12"},  {59, "QM-M14"},  {66, "QM-M05"},  {67, "QM-M06"},  {68, "QM-M07"},
        {84, "QM-M19"},  {87, "QM-M16"},  {88, "QM-M18"},  {89, "QM-M24"},  {100, "QM-M20"},
        {101, "QM-M17"}, {102, "QM-M21"}, {103, "QM-M25"}, {147, "QM-M22"}, {148, "QM-M23"}};
    const auto found = Names.find(type);
    return found == Names.end() ? "" : found->second;
}

// Which management-card character each family of calls talks to.
char familyOf(Op op)
{
    switch (op) {
    case Op::Kv_QMC2_BoardStatus:
    case Op::Kv_QMC2_93C56_Read:
    case Op::Kv_QMC2_GlobalCmd_StartTx:
    case Op::Kv_QMC2_GlobalCmd_StopTx:
    case Op::Kv_QMC2_GlobalCmd_ClearTS:
        return '1';
    case Op::Kv_QMC4_BoardStatus:
    case Op::Kv_QMC4_93C56_Read:
    case Op::Kv_QMC4_GlobalCmd_StartTx:
    case Op::Kv_QMC4_GlobalCmd_StopTx:
    case Op::Kv_QMC4_GlobalCmd_ClearTS:
        return '0';
    case Op::Kv_QMC6_BoardStatus:
    case Op::Kv_QMC6_93C56_Read:
    case Op::Kv_QMC6_GlobalCmd_StartTx:
    case Op::Kv_QMC6_GlobalCmd_StopTx:
    case Op::Kv_QMC6_GlobalCmd_ClearTS:
        return '_';
    default:
        return '\0'; // the oldest family, which no simulated card is
    }
}

// Bytes a per-port call carries after its port (chassis, card, port); -1 for other calls.
long portArgumentSize(Op op)
{
    switch (op) {
    case Op::Kv_TQModule_BoardStatus:
    case Op::Kv_TQModule_93C56_Read:
    case Op::Kv_TQModule_LinkStatus:
    case Op::Kv_TQModule_ClearCounterStatistics:
    case Op::Kv_TQModule_ClearAllStreamCounter:
    case Op::Kv_TQModule_StopStreamCounter:
    case Op::Kv_TQModule_StopCounterStatistics:
    case Op::Kv_TQModule_NICModeGetTimestampCap:
    case Op::Kv_TQModule_StopRxCapture:
    case Op::Kv_TQModule_StopRxCaptureLatest:
        return 0;
    case Op::Kv_TQModule_MediaType:
        return 2;
    case Op::Kv_TQModule_MediaTypeChange:
        return sizeof(KvMediaChangeBlock) + 1;
    case Op::Kv_TQModule_PortConfig:
        return sizeof(KvPortConfigBlock);
    case Op::Kv_TQModule_FillTxPkt_AddEntry:
        return sizeof(UtTxEntry);
    case Op::Kv_TQModule_FillTxPkt_TxConfig:
        return sizeof(UtTxConfig);
    case Op::Kv_TQModule_StartTxPkt:
        return sizeof(UtTxStartBlock);
    case Op::Kv_TQModule_NICModeSet:
        return sizeof(UtNicModeSettings);
    case Op::Kv_TQModule_NICModeSend:
        return sizeof(UtNicSendBlock);
    case Op::Kv_TQModule_NICModeSetTimestampCaptureNo:
    case Op::Kv_TQModule_StopRxCaptureNext:
        return 4;
    case Op::Kv_TQModule_StartAutoARPReply:
        return sizeof(KvArpReplyTable);
    case Op::Kv_TQModule_StartRxCapture:
        return sizeof(UtRxCaptureBlock);
    default:
        return -1;
    }
}

// Queries leave the port as it is; every other per-port call changes it and needs the caller's lock.
bool isQuery(Op op)
{
    return op == Op::Kv_TQModule_BoardStatus || op == Op::Kv_TQModule_93C56_Read ||
           op == Op::Kv_TQModule_LinkStatus;
}

// The test ports in chassis order, as the traffic simulation numbers them.
std::vector<SimPortInfo> portsOf(const SimConfig &config)
{
    std::vector<SimPortInfo> ports;
    for (const SimModule &module : config.modules) {
        for (uint8_t p = 1; p <= module.ports; ++p)
            ports.push_back({module.card, p, module.type});
    }
    return ports;
}

// Ports of a global command's mask: card b, port p is bit b * 4 + p - 9.
template <typename Visit> void forEachMaskBit(uint64_t mask, Visit visit)
{
    for (unsigned bit = 0; bit < 64; ++bit) {
        if (mask & (uint64_t(1) << bit))
            visit(static_cast<uint8_t>((bit + 8) / 4), static_cast<uint8_t>((bit + 8) % 4 + 1));
    }
}

constexpr int64_t PsPerSecond = 1'000'000'000'000;

} // namespace

SimChassis::SimChassis(SimConfig config)
    : m_config(std::move(config)),
      m_traffic(
          m_config, portsOf(m_config), [this](const std::string &line) { log(line); },
          [this](const std::string &line) { m_warningSink ? m_warningSink(line) : log(line); })
{
    for (const SimPortInfo &info : portsOf(m_config))
        m_ports.push_back({info.card, info.port, info.type, defaultMedia(info.type)});
    for (const Port &port : m_ports)
        updateLink(port);
}

void SimChassis::log(const std::string &line) const
{
    if (m_logSink)
        m_logSink(line);
}

void SimChassis::updateLink(const Port &port)
{
    m_traffic.setLink(indexOf(port), linkCode(port));
}

SimChassis::~SimChassis()
{
    m_traffic.advanceTo(now());
    m_traffic.closeRecording();
}

int64_t SimChassis::now() const
{
    if (m_config.timeScale <= 0)
        return m_addedTime;
    const auto real =
        std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now() - m_started);
    return int64_t(double(real.count()) * 1000.0 * m_config.timeScale) + m_addedTime;
}

SimAnswer SimChassis::advanceTime(int64_t picoseconds)
{
    m_addedTime += std::max<int64_t>(0, picoseconds);
    m_traffic.advanceTo(now());
    return dueReports();
}

void SimChassis::appendReports(CounterGroup &group, bool counters, SimAnswer &answer,
                               SimOutput::Target target)
{
    for (size_t index : group.ports) {
        const Port &port = m_ports[index];
        answer.messages.push_back({target, counters ? m_traffic.portCounterMessage(index, idOf(port))
                                                    : m_traffic.streamMessage(index, idOf(port))});
    }
}

SimAnswer SimChassis::dueReports()
{
    SimAnswer answer;
    const int64_t t = now();
    for (auto &[number, group] : m_groups) {
        for (Reporting *reporting : {&group.counters, &group.streams}) {
            if (reporting->period == 0 || reporting->nextDue > t)
                continue;
            m_traffic.advanceTo(t);
            appendReports(group, reporting == &group.counters, answer, SimOutput::Everyone);
            // Reports missed while nobody asked are not made up for.
            reporting->nextDue += ((t - reporting->nextDue) / reporting->period + 1) * reporting->period;
        }
    }
    return answer;
}

int SimChassis::msUntilNextReport() const
{
    if (m_config.timeScale <= 0)
        return -1;
    int64_t next = INT64_MAX;
    for (const auto &[number, group] : m_groups) {
        for (const Reporting *reporting : {&group.counters, &group.streams}) {
            if (reporting->period > 0)
                next = std::min(next, reporting->nextDue);
        }
    }
    if (next == INT64_MAX)
        return -1;
    const double ms = double(std::max<int64_t>(0, next - now())) / 1e9 / m_config.timeScale;
    return int(std::min(ms + 1, 60'000.0));
}

void SimChassis::addClient(int client)
{
    if (std::find(m_clients.begin(), m_clients.end(), client) == m_clients.end())
        m_clients.push_back(client);
}

SimAnswer SimChassis::removeClient(int client)
{
    m_traffic.advanceTo(now());
    SimAnswer answer = dueReports();
    m_clients.erase(std::remove(m_clients.begin(), m_clients.end(), client), m_clients.end());
    if (!m_config.releaseLocksOnDisconnect)
        return answer;
    for (Port &port : m_ports) {
        if (port.lockOwner == client) {
            port.lockOwner = 0;
            answer.messages.push_back(
                {SimOutput::Everyone,
                 SimMessages::portStatus({m_config.chassis, port.card, port.port}, false)});
        }
    }
    return answer;
}

std::vector<uint8_t> SimChassis::inventoryMessage() const
{
    std::vector<SimMessages::InventoryEntry> entries;
    entries.push_back({{m_config.chassis, m_config.controllerCard, m_config.controllerPort},
                       static_cast<uint8_t>(m_config.controller),
                       0});
    for (const Port &port : m_ports)
        entries.push_back(
            {{m_config.chassis, port.card, port.port}, port.type, port.lockOwner ? uint8_t(1) : uint8_t(0)});
    return SimMessages::inventory(entries);
}

SimChassis::Port *SimChassis::findPort(uint16_t chassis, uint8_t card, uint8_t port)
{
    if (chassis != m_config.chassis)
        return nullptr;
    const auto found = std::find_if(m_ports.begin(), m_ports.end(),
                                    [&](const Port &p) { return p.card == card && p.port == port; });
    return found == m_ports.end() ? nullptr : &*found;
}

bool SimChassis::isController(uint16_t chassis, uint8_t card, uint8_t port) const
{
    return chassis == m_config.chassis && card == m_config.controllerCard && port == m_config.controllerPort;
}

bool SimChassis::isOutdated(uint8_t card) const
{
    if (m_config.outdatedFirmware)
        return true;
    const auto module = std::find_if(m_config.modules.begin(), m_config.modules.end(),
                                     [card](const SimModule &each) { return each.card == card; });
    return module != m_config.modules.end() && module->outdated;
}

bool SimChassis::familyAnswers(char family) const
{
    return !m_config.familyMustMatch || family == m_config.controller;
}

bool SimChassis::takeFault(Op op, uint8_t card, uint8_t port)
{
    for (auto fault = m_faults.begin(); fault != m_faults.end(); ++fault) {
        if (fault->op == op && fault->card == card && fault->port == port && --fault->remaining == 0) {
            m_faults.erase(fault);
            return true;
        }
    }
    return false;
}

void SimChassis::failCall(Op op, uint8_t card, uint8_t port, unsigned nth)
{
    if (nth > 0)
        m_faults.push_back({op, card, port, nth});
}

uint16_t SimChassis::linkCode(const Port &port) const
{
    if (!port.linkUp || port.media == 255)
        return 255;
    return port.fibre ? uint16_t(0x8000 | port.media) : port.media;
}

SimOutput SimChassis::linkMessage(const Port &port, SimOutput::Target target) const
{
    return {target, SimMessages::linkStatus(m_config.chassis, {{port.card, port.port, linkCode(port)}})};
}

void SimChassis::setSourceDropped(uint32_t source, bool dropped)
{
    m_traffic.advanceTo(now());
    m_traffic.setSourceDropped(source, dropped);
}

SimAnswer SimChassis::setLinkUp(uint8_t card, uint8_t port, bool up)
{
    SimAnswer answer;
    Port *found = findPort(m_config.chassis, card, port);
    if (!found || found->linkUp == up)
        return answer;
    found->linkUp = up;
    updateLink(*found);
    answer.result = 1;
    answer.messages.push_back(linkMessage(*found, SimOutput::Everyone));
    return answer;
}

SimAnswer SimChassis::handle(int client, Op op, const uint8_t *arguments, size_t size)
{
    // Where only tests move the time, each request still takes its round trip's time: a command that
    // follows a start never meets the burst at the instant it began.
    if (m_config.timeScale <= 0)
        m_addedTime += RequestTime;
    m_traffic.advanceTo(now());
    SimAnswer answer = dispatch(client, op, arguments, size);
    SimAnswer reports = dueReports();
    answer.messages.insert(answer.messages.end(), reports.messages.begin(), reports.messages.end());
    return answer;
}

SimAnswer SimChassis::dispatch(int client, Op op, const uint8_t *arguments, size_t size)
{
    switch (op) {
    case Op::Hello:
    case Op::Count:
        return {};
    case Op::Kv_SYS_TerminateServer: {
        SimAnswer answer;
        answer.result = 1;
        answer.terminateServer = true;
        return answer;
    }
    case Op::Kv_SYS_QueryNumOfClient:
        return {
            1, {}, {{SimOutput::Caller, SimMessages::clientCount(static_cast<uint8_t>(m_clients.size()))}}};
    case Op::Kv_SYS_GetVerNum:
        return {1, std::vector<uint8_t>(m_config.versionText.begin(), m_config.versionText.end()), {}};
    case Op::Kv_LockPortStatus:
        return lock(client, arguments, size);
    case Op::Kv_UnLockPortStatus:
        return unlock(client, arguments, size);
    case Op::Kv_QMC1_BoardStatus:
    case Op::Kv_QMC2_BoardStatus:
    case Op::Kv_QMC4_BoardStatus:
    case Op::Kv_QMC6_BoardStatus:
        return controllerStatus(familyOf(op), arguments, size);
    case Op::Kv_QMC1_93C56_Read:
    case Op::Kv_QMC2_93C56_Read:
        return controllerEeprom(familyOf(op), false, arguments, size);
    case Op::Kv_QMC4_93C56_Read:
    case Op::Kv_QMC6_93C56_Read:
        return controllerEeprom(familyOf(op), true, arguments, size);
    case Op::Kv_SetupGroup:
    case Op::Kv_TQSetStreamCounter:
    case Op::Kv_TQStartStreamCounter:
    case Op::Kv_StartCounterStatistics:
    case Op::Kv_StopCounterStatistics:
    case Op::Kv_TQStopStreamCounter:
    case Op::Kv_TQReadCounterStatistics:
    case Op::Kv_TQReadStreamCounter:
        return takeFault(op, 0, 0) ? SimAnswer{} : groupCall(op, arguments, size);
    case Op::Kv_QMC2_GlobalCmd_StartTx:
    case Op::Kv_QMC2_GlobalCmd_StopTx:
    case Op::Kv_QMC2_GlobalCmd_ClearTS:
    case Op::Kv_QMC4_GlobalCmd_StartTx:
    case Op::Kv_QMC4_GlobalCmd_StopTx:
    case Op::Kv_QMC4_GlobalCmd_ClearTS:
    case Op::Kv_QMC6_GlobalCmd_StartTx:
    case Op::Kv_QMC6_GlobalCmd_StopTx:
    case Op::Kv_QMC6_GlobalCmd_ClearTS:
        return takeFault(op, 0, 0) ? SimAnswer{} : globalCall(op, arguments, size);
    default:
        return portCall(client, op, arguments, size);
    }
}

bool SimChassis::decodePortSet(const uint8_t *arguments, size_t size, std::vector<Port *> &ports)
{
    Reader in(arguments, size);
    UtPortSet set;
    in.bytes(&set, sizeof set);
    if (!in.ok() || !in.atEnd() || set.Chassis != m_config.chassis)
        return false;
    for (unsigned word = 0; word < 4; ++word) {
        for (unsigned bit = 0; bit < 32; ++bit) {
            if (!(set.Mask[word] & (1u << bit)))
                continue;
            Port *port = findPort(m_config.chassis, static_cast<uint8_t>(word * 4 + bit / 8 + 2),
                                  static_cast<uint8_t>(bit % 8 + 1));
            if (!port)
                return false;
            ports.push_back(port);
        }
    }
    return true;
}

SimAnswer SimChassis::lock(int client, const uint8_t *arguments, size_t size)
{
    std::vector<Port *> ports;
    if (!decodePortSet(arguments, size, ports))
        return {};
    for (const Port *port : ports) {
        if (port->lockOwner != 0 && port->lockOwner != client)
            return {};
    }
    SimAnswer answer;
    answer.result = 1;
    for (Port *port : ports) {
        if (port->lockOwner == client)
            continue;
        port->lockOwner = client;
        answer.messages.push_back(
            {SimOutput::Everyone, SimMessages::portStatus({m_config.chassis, port->card, port->port}, true)});
    }
    return answer;
}

SimAnswer SimChassis::unlock(int client, const uint8_t *arguments, size_t size)
{
    std::vector<Port *> ports;
    if (!decodePortSet(arguments, size, ports))
        return {};
    SimAnswer answer;
    answer.result = 1;
    for (Port *port : ports) {
        if (port->lockOwner != client)
            continue; // another client's lock stays
        port->lockOwner = 0;
        answer.messages.push_back(
            {SimOutput::Everyone,
             SimMessages::portStatus({m_config.chassis, port->card, port->port}, false)});
    }
    return answer;
}

SimAnswer SimChassis::controllerStatus(char family, const uint8_t *arguments, size_t size)
{
    Reader in(arguments, size);
    const KvPortId id{in.u16(), in.u8(), in.u8()};
    if (!in.ok() || !in.atEnd() || !isController(id.CID, id.BID, id.PID) || !familyAnswers(family))
        return {};
    // Firmware 2.1 build 12, hardware 1.3 build 2, further version 1.5 build 3, PCB 1; the chassis's MAC.
    SimMessages::BoardVersion version{};
    version.firmware = {2, 1, 12};
    version.secondary = {1, 3, 2};
    version.tertiary = {1, 5, 3};
    version.single = 1;
    version.word68 = 1;
    const uint8_t mac[6] = {0x00, 0x1A, 0x2B, 0x3C, 0x4D, static_cast<uint8_t>(m_config.chassis)};
    std::copy_n(mac, 6, version.mac);
    return {1,
            {},
            {{SimOutput::Caller,
              SimMessages::boardVersion(static_cast<uint8_t>(m_config.controller), id, version)}}};
}

SimAnswer SimChassis::controllerEeprom(char family, bool hasSelector, const uint8_t *arguments, size_t size)
{
    Reader in(arguments, size);
    const KvPortId id{in.u16(), in.u8(), in.u8()};
    const uint32_t selector = hasSelector ? in.u32() : 0;
    if (!in.ok() || !in.atEnd() || !isController(id.CID, id.BID, id.PID) || !familyAnswers(family))
        return {};
    const std::string number = std::to_string(1000 + m_config.chassis);
    SimMessages::EepromText text{"", "CS" + number, "202301150930", ""};
    switch (m_config.controller) {
    case '0':
        // Record 1 describes the controller board, record 0 the chassis and its second board.
        if (selector > 1)
            return {};
        if (selector == 1) {
            text = {"QM-C4", "CB" + number, "202212011200", ""};
        } else {
            text.modelName = m_config.chassisModelName;
            text.secondSerialNumber = "CX" + number;
        }
        break;
    case '1':
        text.modelName = "QM-C2";
        break;
    case '_':
        text.modelName = "QM-C6";
        break;
    default:
        text.modelName = "QM-C1";
        break;
    }
    return {1,
            {},
            {{SimOutput::Caller,
              SimMessages::eeprom(static_cast<uint8_t>(m_config.controller), id, selector, text)}}};
}

SimAnswer SimChassis::groupCall(Op op, const uint8_t *arguments, size_t size)
{
    if (op == Op::Kv_SetupGroup) {
        // Every caller sets up the one counter group, which the other calls name 1.
        std::vector<Port *> ports;
        if (size != sizeof(KvGroupBlock) || !decodePortSet(arguments, size - 1, ports))
            return {};
        CounterGroup &group = m_groups[1];
        group.ports.clear();
        for (const Port *port : ports)
            group.ports.push_back(indexOf(*port));
        return {1, {}, {}};
    }
    Reader in(arguments, size);
    const uint32_t number = in.u32();
    KvStreamCounterTable table{};
    uint32_t period = 0;
    if (op == Op::Kv_TQSetStreamCounter)
        in.bytes(&table, sizeof table);
    else if (op == Op::Kv_TQStartStreamCounter || op == Op::Kv_StartCounterStatistics)
        period = in.u32();
    const auto found = m_groups.find(number);
    if (!in.ok() || !in.atEnd() || found == m_groups.end())
        return {};
    CounterGroup &group = found->second;
    SimAnswer answer;
    answer.result = 1;
    switch (op) {
    case Op::Kv_TQSetStreamCounter:
        m_traffic.setStreamTable(table);
        break;
    case Op::Kv_TQStartStreamCounter:
    case Op::Kv_StartCounterStatistics: {
        Reporting &reporting = op == Op::Kv_StartCounterStatistics ? group.counters : group.streams;
        reporting.period = int64_t(std::clamp<uint32_t>(period, 1, 3600)) * PsPerSecond;
        reporting.nextDue = now() + reporting.period;
        break;
    }
    case Op::Kv_StopCounterStatistics:
        group.counters.period = 0;
        break;
    case Op::Kv_TQStopStreamCounter:
        group.streams.period = 0;
        break;
    case Op::Kv_TQReadCounterStatistics:
    case Op::Kv_TQReadStreamCounter:
        appendReports(group, op == Op::Kv_TQReadCounterStatistics, answer, SimOutput::Caller);
        break;
    default:
        break;
    }
    return answer;
}

SimAnswer SimChassis::globalCall(Op op, const uint8_t *arguments, size_t size)
{
    const char family = familyOf(op);
    Reader in(arguments, size);
    const uint16_t chassis = in.u16();
    uint64_t mask = in.u32();
    if (family != '1')
        mask |= uint64_t(in.u32()) << 32;
    if (!in.ok() || !in.atEnd() || chassis != m_config.chassis || !familyAnswers(family))
        return {};
    forEachMaskBit(mask, [&](uint8_t card, uint8_t portNumber) {
        Port *port = findPort(chassis, card, portNumber);
        if (!port)
            return;
        switch (op) {
        case Op::Kv_QMC2_GlobalCmd_StartTx:
        case Op::Kv_QMC4_GlobalCmd_StartTx:
        case Op::Kv_QMC6_GlobalCmd_StartTx:
            m_traffic.startArmed(indexOf(*port));
            break;
        case Op::Kv_QMC2_GlobalCmd_StopTx:
        case Op::Kv_QMC4_GlobalCmd_StopTx:
        case Op::Kv_QMC6_GlobalCmd_StopTx:
            m_traffic.stopTx(indexOf(*port));
            break;
        default:
            m_traffic.clearTimestamps(indexOf(*port));
            break;
        }
    });
    return {1, {}, {}};
}

SimAnswer SimChassis::portCall(int client, Op op, const uint8_t *arguments, size_t size)
{
    const long extra = portArgumentSize(op);
    if (extra < 0 || size != 4 + static_cast<size_t>(extra))
        return {};
    Reader in(arguments, size);
    const uint16_t chassis = in.u16();
    const uint8_t card = in.u8(), portNumber = in.u8();
    Port *port = findPort(chassis, card, portNumber);
    if (!port || takeFault(op, card, portNumber))
        return {};
    if (!isQuery(op) && m_config.requireLock && port->lockOwner != client)
        return {};

    const KvPortId id{chassis, card, portNumber};
    SimAnswer answer;
    answer.result = 1;
    switch (op) {
    case Op::Kv_TQModule_LinkStatus:
        answer.result = port->linkUp ? 1 : 0;
        answer.messages.push_back(linkMessage(*port, SimOutput::Caller));
        break;
    case Op::Kv_TQModule_BoardStatus: {
        // Firmware, FPGA and PROM versions and the hardware version; an outdated module runs firmware
        // and FPGA below every model's minimum.
        SimMessages::BoardVersion version{};
        if (isOutdated(card)) {
            version.firmware = {1, 0, 1};
            version.secondary = {1, 0, 1};
        } else {
            version.firmware = {1, 8, 5};
            version.secondary = {4, 1, 40};
        }
        version.tertiary = {1, 6, 1};
        version.single = 2;
        version.word68 = 0;
        const uint8_t mac[6] = {0x00, 0x1A, 0x2B, static_cast<uint8_t>(chassis), card, portNumber};
        std::copy_n(mac, 6, version.mac);
        answer.messages.push_back({SimOutput::Caller, SimMessages::boardVersion(port->type, id, version)});
        break;
    }
    case Op::Kv_TQModule_93C56_Read: {
        char serial[20];
        std::snprintf(serial, sizeof serial, "SN%03u%02u%02u", unsigned(chassis), unsigned(card),
                      unsigned(portNumber));
        answer.messages.push_back(
            {SimOutput::Caller,
             SimMessages::eeprom(port->type, id, 0, {modelName(port->type), serial, "202305201045", ""})});
        break;
    }
    case Op::Kv_TQModule_MediaType:
    case Op::Kv_TQModule_MediaTypeChange: {
        uint16_t media = 0;
        uint16_t role = port->role;
        if (op == Op::Kv_TQModule_MediaType) {
            media = in.u8();
        } else {
            KvMediaChangeBlock block;
            in.bytes(&block, sizeof block);
            media = block.Media;
            role = block.Role; // the word at 6 (0x0020) carries nothing the chassis uses
        }
        const uint8_t fibre = in.u8();
        if (media > 13 || fibre > 1 || (op == Op::Kv_TQModule_MediaTypeChange && role != 1 && role != 2))
            return {};
        const uint16_t before = linkCode(*port);
        port->fibre = fibre == 1 && (port->type == 54 || port->type == 55);
        port->media = negotiatedMedia(port->type, static_cast<uint8_t>(media), port->fibre);
        port->role = static_cast<uint8_t>(role);
        updateLink(*port);
        // A changed link goes down first, then comes up with the new code.
        if (op == Op::Kv_TQModule_MediaTypeChange && port->linkUp && before != 255)
            answer.messages.push_back(
                {SimOutput::Everyone,
                 SimMessages::linkStatus(m_config.chassis, {{port->card, port->port, 255}})});
        if (linkCode(*port) != before || op == Op::Kv_TQModule_MediaTypeChange)
            answer.messages.push_back(linkMessage(*port, SimOutput::Everyone));
        break;
    }
    case Op::Kv_TQModule_PortConfig: {
        KvPortConfigBlock block;
        in.bytes(&block, sizeof block);
        port->sfpMode = block.SfpMode;
        break;
    }
    default:
        return trafficCall(*port, op, in);
    }
    return answer;
}

SimAnswer SimChassis::trafficCall(Port &port, Op op, Reader &in)
{
    const size_t index = indexOf(port);
    const KvPortId id = idOf(port);
    SimAnswer answer;
    answer.result = 1;
    switch (op) {
    case Op::Kv_TQModule_ClearCounterStatistics:
        m_traffic.clearPortCounters(index);
        break;
    case Op::Kv_TQModule_ClearAllStreamCounter:
        m_traffic.clearStreamCounters(index);
        break;
    case Op::Kv_TQModule_FillTxPkt_AddEntry: {
        auto entry = std::make_unique<UtTxEntry>();
        in.bytes(entry.get(), sizeof *entry);
        answer.result = m_traffic.addEntry(index, *entry) ? 1 : 0;
        break;
    }
    case Op::Kv_TQModule_StartTxPkt: {
        UtTxStartBlock start;
        in.bytes(&start, sizeof start);
        answer.result = m_traffic.startTxPkt(index, start) ? 1 : 0;
        break;
    }
    case Op::Kv_TQModule_NICModeSend: {
        auto block = std::make_unique<UtNicSendBlock>();
        in.bytes(block.get(), sizeof *block);
        answer.result = m_traffic.nicSend(index, *block) ? 1 : 0;
        break;
    }
    case Op::Kv_TQModule_NICModeSetTimestampCaptureNo:
        m_traffic.armTxStamps(index, in.u32());
        break;
    case Op::Kv_TQModule_NICModeGetTimestampCap:
        answer.messages.push_back({SimOutput::Caller, m_traffic.txStampMessage(index, id)});
        break;
    case Op::Kv_TQModule_StartAutoARPReply: {
        auto table = std::make_unique<KvArpReplyTable>();
        in.bytes(table.get(), sizeof *table);
        answer.result = m_traffic.setArpTable(index, *table) ? 1 : 0;
        break;
    }
    case Op::Kv_TQModule_StartRxCapture: {
        UtRxCaptureBlock block;
        in.bytes(&block, sizeof block);
        m_traffic.startCapture(index, block);
        break;
    }
    case Op::Kv_TQModule_StopRxCapture:
    case Op::Kv_TQModule_StopRxCaptureLatest:
        answer.messages.push_back({SimOutput::Caller, m_traffic.stopCapture(index, id)});
        break;
    default:
        break; // transmit configuration, single-frame mode settings, per-port counter stops, next capture
    }
    return answer;
}
