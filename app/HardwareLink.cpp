#include "app/HardwareLink.h"

#include "platform/kvapi/KvClient.h"

#include <utility>

namespace {
HardwareLink *installedLink = nullptr;
}

std::uint16_t HardwareLink::ConnectToServer(const char address[32])
{
    return Kv_SYS_ConnectToServer(address);
}

std::uint16_t HardwareLink::TerminateProcess()
{
    return Kv_SYS_TerminateProcess();
}

bool HardwareLink::IsConnected()
{
    return KvClient::instance().isConnected();
}

std::uint16_t HardwareLink::TerminateServer()
{
    return Kv_SYS_TerminateServer();
}

std::uint16_t HardwareLink::QueryNumOfClient()
{
    return Kv_SYS_QueryNumOfClient();
}

std::uint16_t HardwareLink::GetVerNum(char *buffer)
{
    return Kv_SYS_GetVerNum(buffer);
}

std::uint16_t HardwareLink::UnLockPortStatus(UtPortSet ports)
{
    return Kv_UnLockPortStatus(ports);
}

std::uint16_t HardwareLink::QMC2_BoardStatus(std::uint16_t chassis, std::uint8_t card, std::uint8_t port)
{
    return Kv_QMC2_BoardStatus(chassis, card, port);
}

std::uint16_t HardwareLink::QMC4_BoardStatus(std::uint16_t chassis, std::uint8_t card, std::uint8_t port)
{
    return Kv_QMC4_BoardStatus(chassis, card, port);
}

std::uint16_t HardwareLink::QMC6_BoardStatus(std::uint16_t chassis, std::uint8_t card, std::uint8_t port)
{
    return Kv_QMC6_BoardStatus(chassis, card, port);
}

std::uint16_t HardwareLink::QMC2_93C56_Read(std::uint16_t chassis, std::uint8_t card, std::uint8_t port)
{
    return Kv_QMC2_93C56_Read(chassis, card, port);
}

std::uint16_t HardwareLink::QMC4_93C56_Read(std::uint16_t chassis, std::uint8_t card, std::uint8_t port,
                                            std::uint32_t selector)
{
    return Kv_QMC4_93C56_Read(chassis, card, port, selector);
}

std::uint16_t HardwareLink::QMC6_93C56_Read(std::uint16_t chassis, std::uint8_t card, std::uint8_t port,
                                            std::uint32_t selector)
{
    return Kv_QMC6_93C56_Read(chassis, card, port, selector);
}

HardwareLink &HardwareLink::current()
{
    static HardwareLink realLink;
    return installedLink ? *installedLink : realLink;
}

HardwareLink *HardwareLink::install(HardwareLink *link)
{
    return std::exchange(installedLink, link);
}
