// The hardware-library calls the shell makes, behind one object so that tests can stand in for the
// server: the program uses the real library unless a test installed another link.
#pragma once

#include "platform/kvapi/KvAPI.h"

#include <cstdint>

class HardwareLink
{
public:
    virtual ~HardwareLink() = default;

    virtual std::uint16_t ConnectToServer(const char address[32]);
    virtual std::uint16_t TerminateProcess();
    // Whether the connection to the server stands (false once it broke or was closed).
    virtual bool IsConnected();
    virtual std::uint16_t TerminateServer();
    virtual std::uint16_t QueryNumOfClient();
    virtual std::uint16_t GetVerNum(char *buffer);
    virtual std::uint16_t UnLockPortStatus(UtPortSet ports);
    virtual std::uint16_t QMC2_BoardStatus(std::uint16_t chassis, std::uint8_t card, std::uint8_t port);
    virtual std::uint16_t QMC4_BoardStatus(std::uint16_t chassis, std::uint8_t card, std::uint8_t port);
    virtual std::uint16_t QMC6_BoardStatus(std::uint16_t chassis, std::uint8_t card, std::uint8_t port);
    virtual std::uint16_t QMC2_93C56_Read(std::uint16_t chassis, std::uint8_t card, std::uint8_t port);
    virtual std::uint16_t QMC4_93C56_Read(std::uint16_t chassis, std::uint8_t card, std::uint8_t port,
                                          std::uint32_t selector);
    virtual std::uint16_t QMC6_93C56_Read(std::uint16_t chassis, std::uint8_t card, std::uint8_t port,
                                          std::uint32_t selector);

    // The link in use: the real library unless another was installed.
    static HardwareLink &current();
    // Installs a link (null: the real one) and returns the one installed before.
    static HardwareLink *install(HardwareLink *link);
};
